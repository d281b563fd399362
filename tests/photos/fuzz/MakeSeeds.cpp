// Writes a small starting corpus for the archive fuzzer: valid archives of
// both kinds with tiny pictures, and a few near misses.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "photos/Archive.h"
#include "photos/Jpeg.h"

namespace {

std::vector<uint8_t> Picture(int32_t w, int32_t h, uint8_t tone, int quality) {
    Image image;
    image.width = w;
    image.height = h;
    image.rgb.resize(size_t(w) * size_t(h) * 3);
    for (size_t i = 0; i < image.rgb.size(); ++i) image.rgb[i] = uint8_t(tone + i * 13 % 97);
    return EncodeJpeg(image, quality);
}

void Save(const std::filesystem::path& dir, const std::string& name,
          const std::vector<uint8_t>& bytes) {
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_archive_seeds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    const std::vector<uint8_t> thumb = Picture(8, 8, 10, 50);
    const std::vector<std::vector<uint8_t>> photos = {
        Picture(8, 16, 40, 50), Picture(16, 8, 90, 75), Picture(8, 8, 200, 30)};
    const EngineParams params{3, 1, 2, 1, 3};
    Save(dir, "plain2", WriteArchive(kPlainKind, params, thumb, {photos[0], photos[1]}));
    Save(dir, "plain3", WriteArchive(kPlainKind, params, thumb, photos));
    Save(dir, "scrambled2", WriteArchive(kScrambledKind, params, thumb, {photos[1], photos[2]}));
    std::vector<uint8_t> trailing = WriteArchive(kPlainKind, kNewOpponentParams, thumb, photos);
    trailing.insert(trailing.end(), {0xFF, 0xD8, 0xFF, 0xE0});
    Save(dir, "trailing", trailing);
    std::vector<uint8_t> cut = WriteArchive(kScrambledKind, params, thumb, photos);
    cut.resize(cut.size() - 9);
    Save(dir, "cut", cut);
    return 0;
}
