#pragma once

#include <cstdint>
#include <vector>

// A decoded picture: 8-bit RGB, rows from the top, each row 3 * width bytes
// with no padding, so a toolkit can wrap the pixels without copying them.
struct Image {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;

    bool operator==(const Image&) const = default;
};

// A photo as its archive holds it: the JPEG bytes, known to decode, and the
// picture's size. A player sees one photo at a time, so it is decoded when
// it is shown.
struct Photo {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> jpeg;

    bool operator==(const Photo&) const = default;
};
