#pragma once

#include <cstdint>
#include <vector>

#include "rules/Hlistmoves.h"

// Counts the move paths of a given length from a position: the standard check
// of a move generator. Two different paths to the same position count twice.
class Perft {
public:
    explicit Perft(int32_t maxDepth) : lists_(maxDepth > 0 ? maxDepth : 1) {}

    // bulk: count the last ply from the list's length without making its moves.
    uint64_t Count(HDoska& board, uint8_t side, int32_t depth, bool bulk = true) {
        return Walk(board, side, depth, 0, bulk);
    }

private:
    uint64_t Walk(HDoska& board, uint8_t side, int32_t depth, size_t ply, bool bulk) {
        if (depth == 0) return 1;
        HListMoves& list = lists_[ply];
        if (depth == 1 && bulk) return static_cast<uint64_t>(list.CountMoves(side, board));
        const int32_t n = list.Generate(side, board);
        uint64_t total = 0;
        for (int32_t i = 0; i < n; ++i) {
            const HMove& move = list.Move(i);
            board.ApplyMove(move);
            total += Walk(board, Opponent(side), depth - 1, ply + 1, bulk);
            board.UndoMove(move);
        }
        return total;
    }

    std::vector<HListMoves> lists_;
};
