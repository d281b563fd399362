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

// The header's dimensions, checked; false with a reason when they are not sane.
bool ReadHeader(void* handle, std::span<const uint8_t> jpeg, int& width, int& height,
                std::string& reason) {
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) {
        reason = "not a JPEG picture";
        return false;
    }
    int subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &width, &height, &subsampling,
                            &colorspace) != 0) {
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
    const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS | TJFLAG_ACCURATEDCT;
    if (tjDecompress2(handle.get(), jpeg.data(), jpeg.size(), rgb.data(), width, 0, height,
                      TJPF_RGB, flags) != 0) {
        reason = std::string("corrupt JPEG: ") + tjGetErrorStr2(handle.get());
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
