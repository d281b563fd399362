#pragma once

// The fast search's position and moves: three 32-bit masks, and moves that
// know their start, their end and the squares they take. A move's gain is not
// stored: Gain works it out from the position it is made on, only where the
// search needs it.

#include <bit>
#include <cstdint>

#include "engine/EngineParams.h"
#include "engine/Squares.h"
#include "rules/Hdoska.h"

// Without a popcount instruction in the target, the compiler calls a library
// routine for std::popcount; these few operations are faster than that call.
constexpr int32_t CountBits(uint32_t x) {
    x = x - ((x >> 1) & 0x55555555u);
    x = (x & 0x33333333u) + ((x >> 2) & 0x33333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0Fu;
    return static_cast<int32_t>((x * 0x01010101u) >> 24);
}

constexpr int32_t CountBits64(uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int32_t>((x * 0x0101010101010101ull) >> 56);
}

struct FastMove {
    uint32_t captured;  // squares of the pieces taken
    uint32_t
        kingsFlip;  // the king squares that change: taken kings, the king's or crowned man's path
    uint8_t from;
    uint8_t to;        // may equal from: a king's ring capture
    uint8_t promotes;  // a man crowned by this move
    uint8_t index;     // its place in the generated list (255 from 255 on)
};

struct Board32 {
    uint32_t pieces[4] = {0, 0, 0, 0};  // by side code: Bottom 2, Top 3
    uint32_t kings = 0;

    // False when the board's king counters disagree with its pieces.
    bool Load(const HDoska& board);
    int32_t KingCount(uint8_t side) const { return CountBits(kings & pieces[side]); }

    // Its own inverse: every change is an exclusive or.
    void Make(const FastMove& m, uint8_t side) {
        pieces[side] ^= squares::Bit(m.from) ^ squares::Bit(m.to);  // 0 when it ends at home
        pieces[Opponent(side)] ^= m.captured;
        kings ^= m.kingsFlip;
    }
    void Unmake(const FastMove& m, uint8_t side) { Make(m, side); }
};

// The gain of m for side, made on board, scored as the move generator scores
// it step by step: each man and king taken, a bonus when the opponent's last
// king goes, and the crowning with its bonus when side had no king yet. The
// counts only ever fall by the move's captures and rise by its one crowning,
// so the masks give the same sum as the steps.
inline int32_t Gain(const Board32& board, const FastMove& m, uint8_t side,
                    const EngineParams& params) {
    int32_t gain = 0;
    if (m.captured != 0) {
        const uint32_t capturedKings = m.captured & board.kings;
        gain = params.manValue * CountBits(m.captured & ~capturedKings) +
               params.kingValue * CountBits(capturedKings);
        if (capturedKings != 0 &&
            (board.kings & board.pieces[Opponent(side)] & ~capturedKings) == 0)
            gain += params.firstKingBonus;
    }
    if (m.promotes)
        gain += params.promotionBonus +
                ((board.kings & board.pieces[side]) == 0 ? params.firstKingBonus : 0);
    return gain;
}
