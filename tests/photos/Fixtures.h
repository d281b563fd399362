#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/EngineParams.h"
#include "photos/Image.h"
#include "platform/Utf8Path.h"

// Test pictures and archive files, built here independently of the writer
// under test.

// A picture with a pattern of its own, so pictures can be told apart.
Image TestPicture(int32_t width, int32_t height, uint32_t seed);
std::vector<uint8_t> TestJpeg(int32_t width, int32_t height, uint32_t seed);

// Mean absolute difference per channel between two pictures of one size.
double MeanDifference(const Image& a, const Image& b);
// A kept photo's pixels; empty when it does not decode.
Image Decoded(const Photo& photo);

// Builds archive bytes field by field, little-endian.
struct Bytes {
    std::vector<uint8_t> data;
    Bytes& U8(uint8_t v);
    Bytes& I32(int32_t v);
    Bytes& Raw(const std::vector<uint8_t>& v);
};

// A kind 0 file in the documented layout: depth, promotion, first king, KING,
// MAN, count, then the records.
std::vector<uint8_t> PlainArchive(const EngineParams& p, const std::vector<uint8_t>& thumb,
                                  const std::vector<std::vector<uint8_t>>& photos);

// A folder of its own under the system's temporary folder, removed at the end.
// Its name is Cyrillic with a space, as a player's folders are. Names are
// UTF-8, as the program holds them.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& Path() const { return path_; }
    std::string Name() const { return Utf8FromPath(path_); }
    std::string File(const std::string& name) const {
        return Utf8FromPath(path_ / PathFromUtf8(name));
    }
    bool Exists(const std::string& name) const {
        return std::filesystem::exists(path_ / PathFromUtf8(name));
    }
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) const;

private:
    std::filesystem::path path_;
};

// Number of file descriptors this process holds open.
int32_t OpenDescriptors();

// A command-line tool run through the shell, as a player types it: its exit
// status and what it printed (stderr too when `withErrors`). On Windows the
// command line goes as UTF-16, as a console hands it on.
struct ToolRun {
    int status = -1;
    std::string output;
};
ToolRun RunTool(const std::string& program, const std::string& arguments, bool withErrors = true);

// One word for the shell, spaces and all.
inline std::string Quote(const std::string& word) {
    return "\"" + word + "\"";
}
