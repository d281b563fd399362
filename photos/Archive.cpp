#include "photos/Archive.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "photos/Jpeg.h"
#include "platform/Utf8Path.h"

namespace {

constexpr uint64_t kKeystreamSeed = 0x70656C76616E7461ull;
constexpr size_t kMinPhotoRecordBytes = 5;  // a length and at least one byte

int32_t GetInt32(const uint8_t* p) {
    const uint32_t v =
        uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    return int32_t(v);
}

void PutInt32(std::vector<uint8_t>& out, int32_t value) {
    const uint32_t v = uint32_t(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(v >> shift));
}

uint64_t SplitMix64(uint64_t& state) {
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

bool Fail(std::string& reason, std::string text) {
    reason = std::move(text);
    return false;
}

// The engine sums weights along whole search lines; out-of-range weights
// would make it misbehave rather than play differently. Any depth is sound:
// the engine caps it, and at 0 or below runs no iteration, so every reply is
// valued by its own gain (a greedy opponent).
bool CheckParams(const EngineParams& p, std::string& reason) {
    const int32_t weights[] = {p.promotionBonus, p.firstKingBonus, p.manValue, p.kingValue};
    for (const int32_t w : weights)
        if (w < -kMaxWeight || w > kMaxWeight)
            return Fail(reason, "weight " + std::to_string(w) + " out of range");
    return true;
}

bool ReadPhotos(std::span<const uint8_t> body, int32_t count, ArchiveLayout& out,
                std::string& reason) {
    size_t offset = kFixedBodyBytes;
    out.photos.reserve(size_t(count));
    for (int32_t i = 0; i < count; ++i) {
        const size_t left = body.size() - offset;
        if (left < 4)
            return Fail(reason, "body ends before the length of photo " + std::to_string(i));
        const int32_t length = GetInt32(body.data() + offset);
        offset += 4;
        if (length <= 0)
            return Fail(reason, "photo " + std::to_string(i) + " length " + std::to_string(length) +
                                    " is not positive");
        if (size_t(length) > left - 4)
            return Fail(reason, "photo " + std::to_string(i) + " length " + std::to_string(length) +
                                    " runs past the end of the body (" + std::to_string(left - 4) +
                                    " bytes left)");
        out.photos.push_back(body.subspan(offset, size_t(length)));
        offset += size_t(length);
    }
    out.usedBytes = kHeaderBytes + out.thumbnail.size() + offset;
    return true;
}

}  // namespace

bool ReadLayout(std::span<const uint8_t> file, ArchiveLayout& out, std::string& reason) {
    if (file.empty()) return Fail(reason, "empty file");
    if (file.size() < kHeaderBytes)
        return Fail(reason,
                    "file of " + std::to_string(file.size()) + " bytes too short for its header");
    out.kind = file[0];
    if (out.kind != kPlainKind && out.kind != kScrambledKind)
        return Fail(reason, "unknown kind " + std::to_string(out.kind));
    const int32_t thumbLength = GetInt32(file.data() + 1);
    const size_t left = file.size() - kHeaderBytes;
    if (thumbLength <= 0)
        return Fail(reason, "thumbnail length " + std::to_string(thumbLength) + " is not positive");
    if (size_t(thumbLength) > left)
        return Fail(reason, "thumbnail length " + std::to_string(thumbLength) +
                                " runs past the end of the file (" + std::to_string(left) +
                                " bytes left)");
    out.thumbnail = file.subspan(kHeaderBytes, size_t(thumbLength));

    std::span<const uint8_t> body = file.subspan(kHeaderBytes + size_t(thumbLength));
    if (body.size() < kFixedBodyBytes)
        return Fail(reason, "body of " + std::to_string(body.size()) +
                                " bytes too short for the engine numbers and photo count");
    if (out.kind == kScrambledKind) {
        out.plainBody.assign(body.begin(), body.end());
        ScrambleBody(out.plainBody, thumbLength);
        body = out.plainBody;
    }

    const uint8_t* p = body.data();
    out.params.searchDepth = GetInt32(p);
    out.params.promotionBonus = GetInt32(p + 4);
    out.params.firstKingBonus = GetInt32(p + 8);
    out.params.kingValue = GetInt32(p + 12);  // the file keeps the king before the man
    out.params.manValue = GetInt32(p + 16);
    const int32_t count = GetInt32(p + 20);
    if (!CheckParams(out.params, reason)) return false;
    if (count < 0) return Fail(reason, "negative photo count " + std::to_string(count));
    if (count < kMinPhotos)
        return Fail(reason, "only " + std::to_string(count) + " photos; an opponent needs " +
                                std::to_string(kMinPhotos) + " at least");
    const size_t room = body.size() - kFixedBodyBytes;
    if (size_t(count) > room / kMinPhotoRecordBytes)
        return Fail(reason, "photo count " + std::to_string(count) + " more than the body's " +
                                std::to_string(room) + " bytes could hold");
    return ReadPhotos(body, count, out, reason);
}

bool ParseArchive(std::span<const uint8_t> file, ArchiveContents& out, std::string& reason) {
    ArchiveLayout layout;
    if (!ReadLayout(file, layout, reason)) return false;
    // Headers first: a file whose pictures could not all be held is refused
    // before any of them is decoded.
    std::string why;
    int64_t total = JpegDecodedBytes(layout.thumbnail, why);
    if (total < 0) return Fail(reason, "thumbnail: " + why);
    for (size_t i = 0; i < layout.photos.size(); ++i) {
        const int64_t bytes = JpegDecodedBytes(layout.photos[i], why);
        if (bytes < 0) return Fail(reason, "photo " + std::to_string(i) + ": " + why);
        total += bytes;
        if (total > kMaxDecodedBytes)
            return Fail(reason, "pictures would take more than " +
                                    std::to_string(kMaxDecodedBytes >> 20) + " MiB decoded");
    }
    ArchiveContents contents;
    contents.kind = layout.kind;
    contents.params = layout.params;
    if (!DecodeJpeg(layout.thumbnail, contents.icon, why)) return Fail(reason, "thumbnail: " + why);
    Image pixels;
    for (size_t i = 0; i < layout.photos.size(); ++i) {
        if (!DecodeJpeg(layout.photos[i], pixels, why))
            return Fail(reason, "photo " + std::to_string(i) + ": " + why);
        const std::span<const uint8_t> jpeg = layout.photos[i];
        contents.photos.push_back(Photo{pixels.width, pixels.height, {jpeg.begin(), jpeg.end()}});
    }
    out = std::move(contents);
    return true;
}

std::vector<uint8_t> WriteArchive(uint8_t kind, const EngineParams& params,
                                  std::span<const uint8_t> thumbnail,
                                  const std::vector<std::vector<uint8_t>>& photos) {
    std::vector<uint8_t> file;
    file.push_back(kind);
    PutInt32(file, int32_t(thumbnail.size()));
    file.insert(file.end(), thumbnail.begin(), thumbnail.end());
    const size_t bodyStart = file.size();
    PutInt32(file, params.searchDepth);
    PutInt32(file, params.promotionBonus);
    PutInt32(file, params.firstKingBonus);
    PutInt32(file, params.kingValue);
    PutInt32(file, params.manValue);
    PutInt32(file, int32_t(photos.size()));
    for (const std::vector<uint8_t>& photo : photos) {
        PutInt32(file, int32_t(photo.size()));
        file.insert(file.end(), photo.begin(), photo.end());
    }
    if (kind == kScrambledKind)
        ScrambleBody(std::span<uint8_t>(file).subspan(bodyStart), int32_t(thumbnail.size()));
    return file;
}

void ScrambleBody(std::span<uint8_t> body, int32_t thumbnailLength) {
    uint64_t state = kKeystreamSeed ^ uint64_t(uint32_t(thumbnailLength));
    for (size_t i = 0; i < body.size(); i += 8) {
        const uint64_t key = SplitMix64(state);
        const size_t n = std::min<size_t>(8, body.size() - i);
        for (size_t k = 0; k < n; ++k) body[i + k] ^= uint8_t(key >> (8 * k));
    }
}

bool ReadArchiveFile(const char* fileName, std::vector<uint8_t>& bytes, std::string& reason) {
    namespace fs = std::filesystem;
    const fs::path path = PathFromUtf8(fileName);
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) return Fail(reason, "cannot open: no such file");
    if (error) return Fail(reason, "cannot open: " + error.message());
    if (!fs::is_regular_file(status)) return Fail(reason, "not a regular file");
    const uintmax_t size = fs::file_size(path, error);
    if (error) return Fail(reason, "cannot read its size: " + error.message());
    if (size == 0) return Fail(reason, "empty file");
    if (size > kMaxArchiveBytes)
        return Fail(reason, "file of " + std::to_string(size) + " bytes is larger than " +
                                std::to_string(kMaxArchiveBytes) + " bytes");
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail(reason, "cannot open for reading");
    std::vector<uint8_t> data(size_t(size), 0);
    in.read(reinterpret_cast<char*>(data.data()), std::streamsize(size));
    if (size_t(in.gcount()) != size) return Fail(reason, "read error or file changed while read");
    bytes = std::move(data);
    return true;
}
