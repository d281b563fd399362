#pragma once

// Perft through the bit-board generator: the number of move paths of a given
// length, as the list generator's perft counts them. "bulk" counts the last
// ply without making its moves; otherwise every leaf move is made and taken
// back.

#include <cstdint>
#include <memory>

#include "engine/FastGenerate.h"

class FastPerft {
public:
    // Room for the moves of every ply of the deepest line.
    static constexpr int32_t kStackMoves = 1 << 16;

    FastPerft() : stack_(std::make_unique<FastMove[]>(kStackMoves)) {}

    // False (and count 0) only when a line's moves outgrow the stack.
    bool Count(const Board32& board, uint8_t side, int32_t depth, bool bulk, uint64_t& count) {
        board_ = board;
        overflow_ = false;
        count = Walk(side, depth, 0, bulk);
        if (overflow_) count = 0;
        return !overflow_;
    }

private:
    uint64_t Walk(uint8_t side, int32_t depth, int32_t top, bool bulk);

    Board32 board_;
    bool overflow_ = false;
    std::unique_ptr<FastMove[]> stack_;
};
