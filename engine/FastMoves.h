#pragma once

// The fast search's position and moves: three 32-bit masks, moves that know
// their captured squares, and a generator that follows the rules of the move
// generator exactly while it scores each move as it is built.

#include <bit>
#include <cstdint>

#include "engine/EngineParams.h"
#include "engine/Squares.h"
#include "rules/Hdoska.h"

struct FastMove {
    uint32_t captured;       // squares of the pieces taken
    uint32_t capturedKings;  // those of them that were kings
    int32_t gain;            // the move's score for the side making it
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

// Lists every legal move of side into out and returns the count, or -1 when
// they do not fit into capacity entries.
int32_t GenerateMoves(const Board32& board, uint8_t side, const EngineParams& params, FastMove* out,
                      int32_t capacity);
