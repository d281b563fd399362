#pragma once

// Diagonal steps of whole 32-square masks, and each square's four rays, for
// the bit-board generator. Squares are numbered in scan order (Squares.h), so
// the rows alternate between two shapes: in rows 1, 3, 5, 7 the squares sit
// on columns a, c, e, g, in rows 2, 4, 6, 8 on b, d, f, h, and one step along
// a diagonal adds 3, 4 or 5 depending on the row.

#include <array>
#include <bit>
#include <cstdint>

#include "engine/Squares.h"

namespace rays {

// Directions in the rules' order: D1 (+1,-1), D2 (-1,-1), D3 (+1,+1), D4 (-1,+1).
inline constexpr int kDownRight = 0, kDownLeft = 1, kUpRight = 2, kUpLeft = 3;

inline constexpr uint32_t kOddRows = 0x0F0F0F0Fu;   // rows 1, 3, 5, 7
inline constexpr uint32_t kEvenRows = 0xF0F0F0F0u;  // rows 2, 4, 6, 8
inline constexpr uint32_t kFileA = 0x01010101u;
inline constexpr uint32_t kFileH = 0x80808080u;

// The neighbours, in direction d, of the squares of m; steps off the board vanish.
template <int D>
constexpr uint32_t Step(uint32_t m) {
    if constexpr (D == kUpRight) return ((m & kOddRows) << 4) | ((m & kEvenRows & ~kFileH) << 5);
    if constexpr (D == kUpLeft) return ((m & kOddRows & ~kFileA) << 3) | ((m & kEvenRows) << 4);
    if constexpr (D == kDownRight) return ((m & kOddRows) >> 4) | ((m & kEvenRows & ~kFileH) >> 3);
    if constexpr (D == kDownLeft) return ((m & kOddRows & ~kFileA) >> 5) | ((m & kEvenRows) >> 4);
    return 0;
}

// The opposite direction: D1 <-> D4, D2 <-> D3.
inline constexpr int kOpposite[4] = {kUpLeft, kUpRight, kDownLeft, kDownRight};

// kRay[d][s]: the squares from s in direction d, s itself excluded, up to the edge.
inline constexpr std::array<std::array<uint32_t, 32>, 4> kRay = [] {
    std::array<std::array<uint32_t, 32>, 4> ray{};
    for (int d = 0; d < 4; ++d)
        for (int s = 0; s < 32; ++s)
            for (int t = squares::kStep[s][d]; t != squares::kNone; t = squares::kStep[t][d])
                ray[d][s] |= squares::Bit(t);
    return ray;
}();

// kNext[d][s]: the neighbour of s in direction d as a mask, 0 off the board.
inline constexpr std::array<std::array<uint32_t, 32>, 4> kNext = [] {
    std::array<std::array<uint32_t, 32>, 4> next{};
    for (int d = 0; d < 4; ++d)
        for (int s = 0; s < 32; ++s)
            next[d][s] =
                squares::kStep[s][d] == squares::kNone ? 0 : squares::Bit(squares::kStep[s][d]);
    return next;
}();

// The first square of occupied met from s in direction d. With none met it
// answers the corner square that ends every ray of that direction (h8 going
// up, a1 going down), whose own ray is empty, so Open below still holds.
template <int D>
inline int Nearest(int s, uint32_t occupied) {
    const uint32_t hit = kRay[D][s] & occupied;
    if constexpr (D == kUpRight || D == kUpLeft) return std::countr_zero(hit | 0x80000000u);
    return 31 - std::countl_zero(hit | 1u);
}

// The squares from s in direction d before the first occupied one.
template <int D>
inline uint32_t Open(int s, uint32_t occupied) {
    return (kRay[D][s] ^ kRay[D][Nearest<D>(s, occupied)]) & ~occupied;
}

}  // namespace rays
