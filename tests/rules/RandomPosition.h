#pragma once

#include <random>

#include "rules/Hdoska.h"

// A legal-looking random position: up to 12 pieces a side on dark squares,
// no man on its own crowning row, king counters that match the board.
inline HDoska RandomPosition(std::mt19937& rng, int maxPerSide = 12, int kingPercent = 25) {
    HDoska board;
    std::uniform_int_distribution<int> count(1, maxPerSide);
    std::uniform_int_distribution<int> square(0, 31);
    std::uniform_int_distribution<int> percent(0, 99);
    for (const uint8_t side : {Bottom, Top}) {
        const int n = count(rng);
        for (int placed = 0; placed < n;) {
            const Point p = kSquareOrder[square(rng)];
            HFigura& cell = board.At(p);
            if (cell.owner != Empty) continue;
            uint8_t king = percent(rng) < kingPercent ? 1 : 0;
            if (p.y == CrowningRow(side)) king = 1;
            cell = HFigura(side, king, p);
            if (king) ++board.Kings(side);
            ++placed;
        }
    }
    return board;
}

// Every playable cell's owner, and the whole record of every occupied cell,
// plus both king counters: what apply-then-undo must restore.
inline bool SamePosition(const HDoska& a, const HDoska& b) {
    if (a.topKings != b.topKings || a.bottomKings != b.bottomKings) return false;
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y) {
            const HFigura& p = a.cells[x][y];
            const HFigura& q = b.cells[x][y];
            if (p.owner != q.owner) return false;
            if (p.owner != Empty && !(p == q)) return false;
        }
    return true;
}
