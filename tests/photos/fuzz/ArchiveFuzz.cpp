// libFuzzer target for the archive reader: any bytes at all must be read or
// refused with a reason, never crash, and whatever is read must be exactly
// what the writer would have written.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "photos/Archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> file(data, size);
    std::string reason;
    ArchiveLayout layout;
    if (ReadLayout(file, layout, reason)) {
        std::vector<std::vector<uint8_t>> photos;
        for (const auto& photo : layout.photos) photos.emplace_back(photo.begin(), photo.end());
        const std::vector<uint8_t> rebuilt =
            WriteArchive(layout.kind, layout.params, layout.thumbnail, photos);
        if (rebuilt.size() != layout.usedBytes || !std::equal(rebuilt.begin(), rebuilt.end(), data))
            __builtin_trap();
    } else if (reason.empty()) {
        __builtin_trap();
    }
    ArchiveContents contents;
    reason.clear();
    if (ParseArchive(file, contents, reason)) {
        if (contents.photos.size() < size_t(kMinPhotos)) __builtin_trap();
        const auto whole = [](const Image& i) {
            return i.width > 0 && i.rgb.size() == size_t(i.width) * size_t(i.height) * 3;
        };
        if (!whole(contents.icon)) __builtin_trap();
        for (const Photo& photo : contents.photos)
            if (photo.width <= 0 || photo.height <= 0 || photo.jpeg.empty()) __builtin_trap();
    } else if (reason.empty()) {
        __builtin_trap();
    }
    return 0;
}
