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

struct FastMove {
    uint32_t captured;       // squares of the pieces taken
    uint32_t capturedKings;  // those of them that were kings
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
    int32_t KingCount(uint8_t side) const { return std::popcount(kings & pieces[side]); }

    void Make(const FastMove& m, uint8_t side) {
        const uint32_t path = squares::Bit(m.from) ^ squares::Bit(m.to);  // 0 when it ends at home
        pieces[Opponent(side)] &= ~m.captured;
        kings &= ~m.capturedKings;
        if (m.promotes) {
            kings |= squares::Bit(m.to);
        } else if (kings & squares::Bit(m.from)) {
            kings ^= path;
        }
        pieces[side] ^= path;
    }

    void Unmake(const FastMove& m, uint8_t side) {
        const uint32_t path = squares::Bit(m.from) ^ squares::Bit(m.to);
        if (m.promotes) {
            kings &= ~squares::Bit(m.to);
        } else if (kings & squares::Bit(m.to)) {
            kings ^= path;
        }
        pieces[side] ^= path;
        pieces[Opponent(side)] |= m.captured;
        kings |= m.capturedKings;
    }
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
        gain = params.manValue * std::popcount(m.captured & ~m.capturedKings) +
               params.kingValue * std::popcount(m.capturedKings);
        if (m.capturedKings != 0 &&
            (board.kings & board.pieces[Opponent(side)] & ~m.capturedKings) == 0)
            gain += params.firstKingBonus;
    }
    if (m.promotes)
        gain += params.promotionBonus +
                ((board.kings & board.pieces[side]) == 0 ? params.firstKingBonus : 0);
    return gain;
}
