#pragma once

#include <array>
#include <cstdint>

#include "rules/Hfigura.h"
#include "rules/Hmove.h"

// The 32 playable squares in scan order: row 1 to row 8, columns ascending.
inline constexpr std::array<Point, 32> kSquareOrder = [] {
    std::array<Point, 32> squares{};
    int32_t n = 0;
    for (int32_t y = 1; y <= 8; ++y)
        for (int32_t x = (y % 2 == 1) ? 1 : 2; x <= 8; x += 2) squares[n++] = Point{x, y};
    return squares;
}();

// The four diagonals in the order every loop walks them, as (column, row) steps.
inline constexpr int32_t kDirX[4] = {+1, -1, +1, -1};
inline constexpr int32_t kDirY[4] = {-1, -1, +1, +1};

// The board: 10 x 10 cells indexed [column][row], with a Blocked border so a
// walk along a diagonal always stops without a bounds check. A plain value:
// copying it copies the whole position.
struct HDoska {
    HFigura cells[10][10];
    int32_t topKings = 0;
    int32_t bottomKings = 0;

    HDoska();

    HFigura& At(Point p) { return cells[p.x][p.y]; }
    const HFigura& At(Point p) const { return cells[p.x][p.y]; }
    int32_t& Kings(uint8_t side) { return side == Top ? topKings : bottomKings; }

    void Clear();
    void SetInitial();

    // Plays a move from its record alone; captured pieces leave only now.
    void ApplyMove(const HMove& move);
    // The exact inverse of ApplyMove for the move last applied.
    void UndoMove(const HMove& move);

    // Takes one Top man off Top's front row: b6, d6, f6, the first holding a Top
    // piece; otherwise h6, whatever stands there, and the handicap is used up.
    // A king taken off is taken off its side's counter too.
    bool RemoveHandicapMan();

    // Whether both counters equal the kings on the board. Every operation
    // above keeps this true (the move generator trusts the counters); only
    // code that writes cells directly can break it.
    bool KingCountersHold() const;

private:
    void TakeOff(Point p);
};

// Inline: the search and perft apply and take back a move at every node.
inline void HDoska::ApplyMove(const HMove& move) {
    for (int32_t i = 0; i < move.capturedCount; ++i) {
        const HFigura& piece = move.captured[i];
        if (piece.king == 1) --Kings(piece.owner);
        At(piece.pos).owner = Empty;
    }
    const HFigura& from = move.From();
    const HFigura& to = move.To();
    if (from.king == 0 && to.king == 1) ++Kings(from.owner);
    // Empty the start first: a king's capture may end on its own start square.
    At(from.pos).owner = Empty;
    At(to.pos) = to;
}

inline void HDoska::UndoMove(const HMove& move) {
    for (int32_t i = 0; i < move.capturedCount; ++i) {
        const HFigura& piece = move.captured[i];
        if (piece.king == 1) ++Kings(piece.owner);
        At(piece.pos) = piece;
    }
    const HFigura& from = move.From();
    const HFigura& to = move.To();
    if (from.king == 0 && to.king == 1) --Kings(from.owner);
    At(to.pos).owner = Empty;
    At(from.pos) = from;
}
