#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "photos/Image.h"

// Pictures may be no larger than this on either side.
inline constexpr int32_t kMaxPictureSide = 8192;
// Decoded bytes per byte of JPEG data that we believe. A Huffman-coded JPEG
// needs at least one bit per 8x8 block, which caps its honest expansion near
// 1536; a header that claims more is lying, and we refuse it before the pixel
// buffer is allocated.
inline constexpr int64_t kMaxJpegExpansion = 2048;

// Reads the picture size from a JPEG header and checks it against the limits
// above, without decoding. Answers the decoded size in bytes, or -1 with a
// reason.
int64_t JpegDecodedBytes(std::span<const uint8_t> jpeg, std::string& reason);

// Decodes one complete JPEG file held in memory into `out`. Fails with a
// reason on a bad header, implausible dimensions, any decoder error, and any
// warning but stray bytes before a marker in a file whose scans are all
// followed by its end marker (a truncated or corrupt stream only warns, so
// other warnings count as failure). `out` is left alone on failure.
bool DecodeJpeg(std::span<const uint8_t> jpeg, Image& out, std::string& reason);

// Encodes a picture as a baseline JPEG with 4:2:0 chroma at the given quality
// (1-100). Empty when the picture is empty or the encoder fails.
std::vector<uint8_t> EncodeJpeg(const Image& image, int quality);
