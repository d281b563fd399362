#include "tests/photos/Fixtures.h"

#include <unistd.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "photos/Jpeg.h"

Image TestPicture(int32_t width, int32_t height, uint32_t seed) {
    Image image;
    image.width = width;
    image.height = height;
    image.rgb.resize(size_t(width) * size_t(height) * 3);
    // smooth shapes keep JPEG's error small, so decoded pictures can be
    // compared with the source
    const float fx = 1.5f + float(seed % 5), fy = 1 + float(seed % 3);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const float u = float(x) / float(width), v = float(y) / float(height);
            uint8_t* p = &image.rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
            p[0] = uint8_t(128 + 100 * std::sin(u * fx * 3.14159f + float(seed)));
            p[1] = uint8_t(128 + 100 * std::cos(v * fy * 3.14159f));
            p[2] = uint8_t((seed * 37 + uint32_t(x + y)) % 256 / 2 + 64);
        }
    }
    return image;
}

std::vector<uint8_t> TestJpeg(int32_t width, int32_t height, uint32_t seed) {
    return EncodeJpeg(TestPicture(width, height, seed), 95);
}

double MeanDifference(const Image& a, const Image& b) {
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return sum / double(a.rgb.size());
}

Bytes& Bytes::U8(uint8_t v) {
    data.push_back(v);
    return *this;
}

Bytes& Bytes::I32(int32_t v) {
    const uint32_t u = uint32_t(v);
    for (int i = 0; i < 4; ++i) data.push_back(uint8_t(u >> (8 * i)));
    return *this;
}

Bytes& Bytes::Raw(const std::vector<uint8_t>& v) {
    data.insert(data.end(), v.begin(), v.end());
    return *this;
}

std::vector<uint8_t> PlainArchive(const EngineParams& p, const std::vector<uint8_t>& thumb,
                                  const std::vector<std::vector<uint8_t>>& photos) {
    Bytes b;
    b.U8(0).I32(int32_t(thumb.size())).Raw(thumb);
    b.I32(p.searchDepth)
        .I32(p.promotionBonus)
        .I32(p.firstKingBonus)
        .I32(p.kingValue)
        .I32(p.manValue);
    b.I32(int32_t(photos.size()));
    for (const auto& photo : photos) b.I32(int32_t(photo.size())).Raw(photo);
    return b.data;
}

TempDir::TempDir() {
    static std::atomic<int> serial{0};
    path_ =
        std::filesystem::temp_directory_path() /
        PathFromUtf8("Мои соперники " + std::to_string(getpid()) + "-" + std::to_string(serial++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void TempDir::Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(path_ / PathFromUtf8(name), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

int32_t OpenDescriptors() {
    int32_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

ToolRun RunTool(const std::string& program, const std::string& arguments, bool withErrors) {
#ifdef _WIN32
    // cmd.exe keeps the outer quotes' contents whole; the wide string comes
    // from the path type, which converts UTF-8 exactly.
    const std::string line =
        "\"" + Quote(program) + " " + arguments + (withErrors ? " 2>&1" : " 2>NUL") + "\"";
    FILE* pipe = _wpopen(PathFromUtf8(line).c_str(), L"r");
#else
    const std::string line =
        Quote(program) + " " + arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = popen(line.c_str(), "r");
#endif
    ToolRun run;
    if (!pipe) return run;
    std::array<char, 512> buffer;
    while (std::fgets(buffer.data(), int(buffer.size()), pipe)) run.output += buffer.data();
#ifdef _WIN32
    run.status = _pclose(pipe);  // the program's exit status itself
#else
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    return run;
}

Image Decoded(const Photo& photo) {
    Image pixels;
    std::string reason;
    DecodeJpeg(photo.jpeg, pixels, reason);
    return pixels;
}
