// make_test_photos DIR: writes thumb.jpg (137 x 137) and photo1.jpg,
// photo2.jpg (291 x 433), plain gradients, for packing an archive of the
// player's own in the install tests.
#include <cstdio>
#include <fstream>
#include <string>

#include "photos/Image.h"
#include "photos/Jpeg.h"

namespace {

Image Gradient(int32_t width, int32_t height, uint8_t blue) {
    Image image;
    image.width = width;
    image.height = height;
    image.rgb.resize(size_t(3) * width * height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* pixel = &image.rgb[size_t(3) * (size_t(y) * width + x)];
            pixel[0] = uint8_t(255 * x / width);
            pixel[1] = uint8_t(255 * y / height);
            pixel[2] = blue;
        }
    return image;
}

bool Write(const std::string& name, const Image& image) {
    const std::vector<uint8_t> jpeg = EncodeJpeg(image, 90);
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
    return !jpeg.empty() && out.good();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_test_photos DIR\n", stderr);
        return 2;
    }
    const std::string dir = argv[1];
    const bool written = Write(dir + "/thumb.jpg", Gradient(137, 137, 40)) &&
                         Write(dir + "/photo1.jpg", Gradient(291, 433, 120)) &&
                         Write(dir + "/photo2.jpg", Gradient(291, 433, 200));
    if (!written) std::fprintf(stderr, "make_test_photos: cannot write into %s\n", dir.c_str());
    return written ? 0 : 1;
}
