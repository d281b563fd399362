#pragma once

#include <cstdint>

#include "containers/POrderList.h"
#include "rules/Hdoska.h"
#include "rules/Hmove.h"

// Every legal move of one side in one position, in a fixed order: by start
// square in scan order, then depth-first by direction at each jump; a king's
// landings that go on capturing nearest first, its final landings farthest
// first. Captures are compulsory: when any exists no quiet move is listed.
//
// No listed path is the beginning of another and no two paths are equal, so
// clicked squares alone pick a move (Match).
class HListMoves final : public POrderList<HMove> {
public:
    HListMoves() : POrderList<HMove>(1000) {}

    // Replaces the list by all legal moves of side on board. The board is
    // marked while captures are built and left exactly as it was found.
    int32_t Generate(uint8_t side, HDoska& board);

    // The number of legal moves, as Generate would return it; a position
    // without a capture is counted without listing its moves.
    int32_t CountMoves(uint8_t side, HDoska& board);

    // The first move whose squares before k are those of the move at index and
    // whose square k is point. On a match index becomes its position; returns
    // 2 when that square completes the move, 1 when more follow, 0 for none.
    int32_t Match(Point point, int32_t k, int32_t& index) const;

    // Unchecked access for the engine's inner loops; the list's own Move
    // (from, to) stays callable beside it.
    using POrderList<HMove>::Move;
    HMove& Move(int32_t i) { return *At(i); }
    const HMove& Move(int32_t i) const { return *At(i); }

    HMove work;                       // the move being built
    uint8_t side = Bottom;            // whose moves are listed
    HDoska* board = nullptr;          // the position they were generated on; not owned
    int32_t kings[4] = {0, 0, 0, 0};  // working king counts, by side code

private:
    // Whether the piece on s has a first jump; most pieces have none, and this
    // spares them the work of building captures.
    // Squares are flat cell indexes x * 10 + y, so a diagonal step is one add.
    void ManMoves(int32_t from);
    void KingMoves(int32_t from);
    bool ManCaptures(int32_t from);
    bool KingCaptures(int32_t from);

    HFigura* cells_ = nullptr;  // &board->cells[0][0]
};
