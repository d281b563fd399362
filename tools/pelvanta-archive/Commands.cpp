#include "tools/pelvanta-archive/Commands.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "photos/Archive.h"
#include "photos/Hdata.h"
#include "photos/Jpeg.h"
#include "platform/Utf8Path.h"
#include "tools/pelvanta-archive/Gallery.h"

namespace {

constexpr int kJpegQuality = 90;
constexpr int32_t kMaxDepth = 99;

// A JPEG input of pack: read whole and decoded once, so a file that is not a
// JPEG, or a broken one, never gets into an archive.
bool ReadJpeg(const std::string& fileName, std::vector<uint8_t>& jpeg) {
    std::string reason;
    Image image;
    if (!ReadArchiveFile(fileName.c_str(), jpeg, reason) || !DecodeJpeg(jpeg, image, reason)) {
        std::fprintf(stderr, "pelvanta-archive: %s is not a usable JPEG file: %s\n",
                     fileName.c_str(), reason.c_str());
        return false;
    }
    return true;
}

// Writes beside the target and renames, so a running game never reads half a file.
// Names are UTF-8, and messages give them as the player typed them.
bool WriteFile(const std::string& fileName, const std::vector<uint8_t>& bytes, std::string& error) {
    const std::string temporary = fileName + ".tmp";
    const std::filesystem::path temporaryPath = PathFromUtf8(temporary);
    std::error_code ec;
    {
        std::ofstream out(temporaryPath, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.close();
        if (!out) {
            error = "cannot write " + temporary;
            std::filesystem::remove(temporaryPath, ec);
            return false;
        }
    }
    std::filesystem::rename(temporaryPath, PathFromUtf8(fileName), ec);
    if (ec) {
        error = "cannot rename " + temporary + " to " + fileName + ": " + ec.message();
        std::filesystem::remove(temporaryPath, ec);
        return false;
    }
    return true;
}

std::string Dimensions(const Image& image) {
    return std::to_string(image.width) + "x" + std::to_string(image.height);
}

}  // namespace

int RunPack(Args& args) {
    EngineParams params = kNewOpponentParams;
    TakeWeights(args, params);
    const std::string output = TakeOption(args, "-o").value_or("");
    const std::string thumbnail = TakeOption(args, "--thumb").value_or("");
    uint8_t kind = kScrambledKind;
    if (const auto text = TakeOption(args, "--kind"))
        kind = uint8_t(RequireRange(*text, "--kind", 0, 1));
    if (const auto text = TakeOption(args, "--depth"))
        params.searchDepth = RequireRange(*text, "--depth", 0, kMaxDepth);
    for (const std::string& arg : args)
        if (arg.size() > 1 && arg[0] == '-') throw UsageError{"unknown option " + arg};
    const std::vector<std::string>& photoFiles = args;
    if (output.empty()) throw UsageError{"pack needs -o FILE"};
    if (thumbnail.empty()) throw UsageError{"pack needs --thumb THUMB.jpg"};
    if (photoFiles.size() < size_t(kMinPhotos))
        throw UsageError{"pack needs at least " + std::to_string(kMinPhotos) + " photos"};

    std::vector<uint8_t> thumbJpeg;
    if (!ReadJpeg(thumbnail, thumbJpeg)) return 1;
    std::vector<std::vector<uint8_t>> photos(photoFiles.size());
    for (size_t i = 0; i < photoFiles.size(); ++i)
        if (!ReadJpeg(photoFiles[i], photos[i])) return 1;
    const std::vector<uint8_t> file = WriteArchive(kind, params, thumbJpeg, photos);
    if (file.size() > kMaxArchiveBytes) {
        std::fprintf(stderr, "pelvanta-archive: the archive would be larger than %zu bytes\n",
                     kMaxArchiveBytes);
        return 1;
    }
    std::string error;
    if (!WriteFile(output, file, error)) {
        std::fprintf(stderr, "pelvanta-archive: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int RunInspect(Args& args) {
    if (args.empty()) throw UsageError{"inspect needs at least one FILE"};
    bool allLoad = true;
    for (const std::string& fileName : args) {
        HData entry;
        std::string reason;
        if (!entry.Load(fileName.c_str(), reason)) {
            std::printf("%s: does not load: %s\n", fileName.c_str(), reason.c_str());
            allLoad = false;
            continue;
        }
        std::printf("%s: loads\n", fileName.c_str());
        std::printf("  kind %d\n", int(entry.kind));
        std::printf(
            "  searchDepth %d promotionBonus %d firstKingBonus %d manValue %d kingValue %d\n",
            entry.searchDepth, entry.promotionBonus, entry.firstKingBonus, entry.manValue,
            entry.kingValue);
        std::printf("  thumbnail %s\n", Dimensions(*entry.icon).c_str());
        std::printf("  photos %d:", entry.photos.Count());
        for (int32_t i = 0; i < entry.photos.Count(); ++i)
            std::printf(" %dx%d", (*entry.photos[i])->width, (*entry.photos[i])->height);
        std::printf("\n");
    }
    return allLoad ? 0 : 1;
}

bool WriteDemoGallery(const std::string& dir, std::string& error, int32_t count) {
    std::error_code ec;
    std::filesystem::create_directories(PathFromUtf8(dir), ec);
    if (ec) {
        error = "cannot create " + dir + ": " + ec.message();
        return false;
    }
    const std::vector<Opponent>& opponents = DemoOpponents();
    if (count <= 0) count = int32_t(opponents.size());
    std::vector<std::vector<uint8_t>> files;
    for (int32_t i = 0; i < count; ++i) {
        // past the end of the ladder the files repeat it
        const size_t which = size_t(i) % opponents.size();
        if (which == files.size()) {
            const OpponentPictures pictures = PaintOpponent(opponents[which], int32_t(which) + 1);
            const std::vector<uint8_t> thumb = EncodeJpeg(pictures.thumbnail, kJpegQuality);
            std::vector<std::vector<uint8_t>> photos;
            for (const Image& photo : pictures.photos)
                photos.push_back(EncodeJpeg(photo, kJpegQuality));
            files.push_back(WriteArchive(kScrambledKind, opponents[which].params, thumb, photos));
        }
        const std::string name = Utf8FromPath(PathFromUtf8(dir) / GalleryFileName(i));
        if (!WriteFile(name, files[which], error)) return false;
    }
    return true;
}

int RunDemo(Args& args) {
    int32_t count = 0;
    if (const auto text = TakeOption(args, "--count"))
        count = RequireRange(*text, "--count", 1, kGalleryFiles);
    if (args.size() != 1 || args[0].rfind("-", 0) == 0)
        throw UsageError{"usage: pelvanta-archive demo DIR [--count N]"};
    std::string error;
    if (!WriteDemoGallery(args[0], error, count)) {
        std::fprintf(stderr, "pelvanta-archive: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
