#include "photos/Jpeg.h"

#include <turbojpeg.h>

#include <memory>

namespace {

struct HandleCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

}  // namespace

namespace {

// Stray bytes where a marker belongs, common in pictures from cameras and
// editors: the decoder skips them and the picture is whole.
bool HarmlessWarning(const std::string& message) {
    return message.find("extraneous bytes before marker") != std::string::npos;
}

// Walks the markers from the start and copies the file without the stray
// bytes found where a marker belongs. Empty unless an end-of-image marker
// follows the last scan: a truncated file also only warns, so the warning
// alone cannot tell it apart. Stray bytes at the tail of a scan's data stay:
// only the decoder knows where the data ends.
std::vector<uint8_t> WithoutStrayBytes(std::span<const uint8_t> jpeg) {
    std::vector<uint8_t> clean(jpeg.begin(), jpeg.begin() + 2);  // start of image
    size_t i = 2;
    const size_t n = jpeg.size();
    while (i < n) {
        while (i < n && jpeg[i] != 0xFF) ++i;  // stray bytes, skipped as the decoder does
        while (i < n && jpeg[i] == 0xFF) ++i;  // fill bytes
        if (i >= n) return {};
        const uint8_t marker = jpeg[i++];
        clean.push_back(0xFF);
        clean.push_back(marker);
        if (marker == 0xD9) return clean;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
        if (i + 2 > n) return {};
        const size_t length = size_t(jpeg[i]) << 8 | jpeg[i + 1];
        if (length < 2 || i + length > n) return {};
        size_t next = i + length;
        if (marker == 0xDA) {
            // Entropy-coded data runs to the next marker that is neither a
            // stuffed 0xFF nor a restart.
            while (next + 1 < n && !(jpeg[next] == 0xFF && jpeg[next + 1] != 0x00 &&
                                     (jpeg[next + 1] < 0xD0 || jpeg[next + 1] > 0xD7)))
                ++next;
            if (next + 1 >= n) return {};
        }
        clean.insert(clean.end(), jpeg.begin() + std::ptrdiff_t(i),
                     jpeg.begin() + std::ptrdiff_t(next));
        i = next;
    }
    return {};
}

// 0: a clean decode; 1: only a harmless warning; 2: anything worse.
int Decompress(void* handle, std::span<const uint8_t> jpeg, int width, int height,
               std::vector<uint8_t>& rgb, std::string& message) {
    const int flags = TJFLAG_LIMITSCANS | TJFLAG_ACCURATEDCT;
    if (tjDecompress2(handle, jpeg.data(), jpeg.size(), rgb.data(), width, 0, height, TJPF_RGB,
                      flags) == 0)
        return 0;
    // The decoder keeps the text of its first warning; an error replaces it.
    message = tjGetErrorStr2(handle);
    return tjGetErrorCode(handle) == TJERR_WARNING && HarmlessWarning(message) ? 1 : 2;
}

// The header's dimensions, checked; false with a reason when they are not sane.
bool ReadHeader(void* handle, std::span<const uint8_t> jpeg, int& width, int& height,
                std::string& reason) {
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) {
        reason = "not a JPEG picture";
        return false;
    }
    int subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &width, &height, &subsampling,
                            &colorspace) != 0 &&
        (tjGetErrorCode(handle) != TJERR_WARNING || !HarmlessWarning(tjGetErrorStr2(handle)))) {
        reason = std::string("bad JPEG header: ") + tjGetErrorStr2(handle);
        return false;
    }
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) {
        reason = "JPEG dimensions " + size + " out of range";
        return false;
    }
    if (int64_t(width) * height * 3 > kMaxJpegExpansion * int64_t(jpeg.size())) {
        reason = "JPEG dimensions " + size + " too large for its " + std::to_string(jpeg.size()) +
                 " bytes";
        return false;
    }
    return true;
}

}  // namespace

int64_t JpegDecodedBytes(std::span<const uint8_t> jpeg, std::string& reason) {
    Handle handle(tjInitDecompress());
    if (!handle) {
        reason = "cannot start the JPEG decoder";
        return -1;
    }
    int width = 0, height = 0;
    if (!ReadHeader(handle.get(), jpeg, width, height, reason)) return -1;
    return int64_t(width) * height * 3;
}

bool DecodeJpeg(std::span<const uint8_t> jpeg, Image& out, std::string& reason) {
    Handle handle(tjInitDecompress());
    if (!handle) {
        reason = "cannot start the JPEG decoder";
        return false;
    }
    int width = 0, height = 0;
    if (!ReadHeader(handle.get(), jpeg, width, height, reason)) return false;
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    std::string message;
    int result = Decompress(handle.get(), jpeg, width, height, rgb, message);
    if (result == 1) {
        // Only the first warning is known. Decoding again without the stray
        // bytes shows any damage that followed them.
        const std::vector<uint8_t> clean = WithoutStrayBytes(jpeg);
        result = clean.empty() ? 2 : Decompress(handle.get(), clean, width, height, rgb, message);
    }
    if (result == 2) {
        reason = "corrupt JPEG: " + message;
        return false;
    }
    out.width = width;
    out.height = height;
    out.rgb = std::move(rgb);
    return true;
}

std::vector<uint8_t> EncodeJpeg(const Image& image, int quality) {
    if (image.width < 1 || image.height < 1 ||
        image.rgb.size() != size_t(image.width) * size_t(image.height) * 3)
        return {};
    Handle handle(tjInitCompress());
    if (!handle) return {};
    unsigned char* buffer = nullptr;  // the encoder allocates it; freed below either way
    unsigned long size = 0;
    const int result = tjCompress2(handle.get(), image.rgb.data(), image.width, 0, image.height,
                                   TJPF_RGB, &buffer, &size, TJSAMP_420, quality, 0);
    std::vector<uint8_t> jpeg;
    if (result == 0) jpeg.assign(buffer, buffer + size);
    tjFree(buffer);
    return jpeg;
}
