#pragma once

// The 32 playable squares as bit numbers 0..31 in scan order (a1 = 0, c1 = 1,
// ..., h8 = 31) with their diagonal neighbours, for the fast search's boards
// of three 32-bit masks.

#include <array>
#include <bit>
#include <cstdint>

#include "rules/Hdoska.h"

namespace squares {

inline constexpr int8_t kNone = -1;

// Bit number of cell (x, y), kNone for border and light cells.
inline constexpr std::array<std::array<int8_t, 10>, 10> kIndex = [] {
    std::array<std::array<int8_t, 10>, 10> index{};
    for (auto& column : index) column.fill(kNone);
    for (int8_t i = 0; i < 32; ++i) index[kSquareOrder[i].x][kSquareOrder[i].y] = i;
    return index;
}();

// The neighbour of square s in direction d (the rules' direction order), or kNone.
inline constexpr std::array<std::array<int8_t, 4>, 32> kStep = [] {
    std::array<std::array<int8_t, 4>, 32> step{};
    for (int s = 0; s < 32; ++s)
        for (int d = 0; d < 4; ++d) {
            const int32_t x = kSquareOrder[s].x + kDirX[d], y = kSquareOrder[s].y + kDirY[d];
            step[s][d] = kIndex[x][y];  // the border cells hold kNone
        }
    return step;
}();

inline constexpr std::array<int8_t, 32> kRow = [] {
    std::array<int8_t, 32> row{};
    for (int s = 0; s < 32; ++s) row[s] = static_cast<int8_t>(kSquareOrder[s].y);
    return row;
}();

// Squares on row 8 (Bottom crowns there) and on row 1 (Top crowns there).
inline constexpr uint32_t kRow8 = 0xF0000000u;
inline constexpr uint32_t kRow1 = 0x0000000Fu;
constexpr uint32_t CrowningMask(uint8_t side) {
    return side == Bottom ? kRow8 : kRow1;
}

constexpr uint32_t Bit(int32_t s) {
    return 1u << s;
}
inline int32_t PopLowest(uint32_t& mask) {
    const int32_t s = std::countr_zero(mask);
    mask &= mask - 1;
    return s;
}

}  // namespace squares
