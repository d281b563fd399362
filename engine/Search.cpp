#include "engine/Search.h"

#include <algorithm>

int32_t HSearch::Value(uint8_t side) {
    depthLimit = std::min(depthLimit, kMaxDepthLimit);
    if (kind == SearchKind::AlphaBeta) {
        // A board whose king counters disagree with its pieces, or a position
        // with more moves than the fast search has room for, is left to the
        // full-width search, which takes the board exactly as it is.
        Board32 masks;
        if (masks.Load(board)) {
            const uint64_t before = fast->nodes;
            int32_t value = 0;
            const bool done = fast->Value(masks, side, depthLimit, params, stop, value);
            nodes += fast->nodes - before;
            if (done) return value;
            if (Stopped()) return 0;
        }
    }
    return FullWidthValue(side);
}

int32_t HSearch::FullWidthValue(uint8_t side) {
    kings[Top] = board.topKings;
    kings[Bottom] = board.bottomKings;
    ply = 0;
    return Search(side);
}

int32_t HSearch::Search(uint8_t side) {
    ++nodes;
    ++ply;
    HMove& frame = frames[ply];
    if (ply > depthLimit) {
        frame.value = 0;
        --ply;
        return 0;
    }
    frame.value = kLostValue;
    frame.valueSet = 0;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1 && frame.valueSet != 0) break;  // a capture anywhere forbids quiet moves
        for (const Point s : kSquareOrder) {
            if (Stopped()) {
                --ply;
                return 0;
            }
            HFigura& cell = board.cells[s.x][s.y];
            if (cell.owner != side) continue;
            const uint8_t king = cell.king;
            // Lifted, so a capture may cross or end on its own start square.
            cell.owner = Empty;
            if (pass == 0) {
                frame.capturedCount = 0;
                frame.score = 0;
                king ? KingCaptures(side, s.x, s.y) : ManCaptures(side, s.x, s.y);
            } else {
                king ? KingMoves(side, s.x, s.y) : ManMoves(side, s.x, s.y);
            }
            cell.king = king;
            cell.owner = side;
        }
    }
    --ply;
    return frame.value;
}

void HSearch::ManMoves(uint8_t side, int32_t x, int32_t y) {
    const int32_t forward = side == Bottom ? 1 : -1;
    for (const int32_t dx : {-1, +1}) {
        HFigura& to = board.cells[x + dx][y + forward];
        if (to.owner != Empty) continue;
        to.owner = side;
        const bool promotes = y + forward == CrowningRow(side);
        int32_t gain = 0;
        to.king = 0;
        if (promotes) {
            to.king = 1;
            gain = PromotionGain(side);
            ++kings[side];
        }
        Record(gain - Search(Opponent(side)));
        if (promotes) --kings[side];
        to.owner = Empty;
    }
}

void HSearch::KingMoves(uint8_t side, int32_t x, int32_t y) {
    for (int d = 0; d < 4; ++d) {
        const int32_t dx = kDirX[d], dy = kDirY[d];
        for (int32_t tx = x + dx, ty = y + dy; board.cells[tx][ty].owner == Empty;
             tx += dx, ty += dy) {
            HFigura& to = board.cells[tx][ty];
            to.owner = side;
            to.king = 1;
            Record(-Search(Opponent(side)));
            to.owner = Empty;
        }
    }
}

// Taken pieces stay on the board as Blocked while the capture is built; they
// leave only for the search of the position after the complete move.
void HSearch::LiftCaptured(uint8_t owner) {
    const HMove& frame = frames[ply];
    for (int32_t i = 0; i < frame.capturedCount; ++i) board.At(frame.captured[i].pos).owner = owner;
}

bool HSearch::ManCaptures(uint8_t side, int32_t x, int32_t y) {
    const uint8_t opp = Opponent(side);
    HMove& frame = frames[ply];
    bool found = false;
    for (int d = 0; d < 4; ++d) {
        const int32_t dx = kDirX[d], dy = kDirY[d];
        HFigura& jumped = board.cells[x + dx][y + dy];
        if (jumped.owner != opp) continue;
        // The jumped piece is on the board proper, so the landing is inside the border.
        const int32_t bx = x + 2 * dx, by = y + 2 * dy;
        HFigura& landing = board.cells[bx][by];
        if (landing.owner != Empty) continue;
        // Never true with at most 12 pieces a side: then every one is Blocked.
        if (frame.capturedCount == HMove::kMaxCaptured) continue;
        found = true;
        frame.AddCapture(jumped, kings[opp], params);
        jumped.owner = Blocked;

        const bool promotes = by == CrowningRow(side);
        bool more;
        if (promotes) {
            frame.score += PromotionGain(side);
            ++kings[side];
            more = KingCaptures(side, bx, by);  // crowned on the way: goes on as a king
            landing.king = 1;
        } else {
            more = ManCaptures(side, bx, by);
            landing.king = 0;
        }
        if (!more) {
            landing.owner = side;
            LiftCaptured(Empty);
            Record(frame.score - Search(opp));
            landing.owner = Empty;
            LiftCaptured(Blocked);
        }
        if (promotes) {
            frame.score -= params.promotionBonus;
            --kings[side];
            if (kings[side] == 0) frame.score -= params.firstKingBonus;
        }
        frame.UndoCapture(kings[opp], params);
        const HFigura& taken = frame.captured[frame.capturedCount];
        jumped.owner = taken.owner;
        jumped.king = taken.king;
    }
    return found;
}

bool HSearch::KingCaptures(uint8_t side, int32_t x, int32_t y) {
    const uint8_t opp = Opponent(side);
    HMove& frame = frames[ply];
    bool found = false;
    for (int d = 0; d < 4; ++d) {
        const int32_t dx = kDirX[d], dy = kDirY[d];
        int32_t ax = x + dx, ay = y + dy;
        while (board.cells[ax][ay].owner == Empty) ax += dx, ay += dy;
        HFigura& jumped = board.cells[ax][ay];
        if (jumped.owner != opp) continue;
        if (board.cells[ax + dx][ay + dy].owner != Empty) continue;
        if (frame.capturedCount == HMove::kMaxCaptured) continue;  // see ManCaptures
        found = true;
        frame.AddCapture(jumped, kings[opp], params);
        jumped.owner = Blocked;

        // Every landing square is tried, also after one has shown that the
        // capture goes on: each continuation is a move of its own.
        bool more = false;
        int32_t lx = ax + dx, ly = ay + dy;
        for (; board.cells[lx][ly].owner == Empty; lx += dx, ly += dy)
            if (KingCaptures(side, lx, ly)) more = true;
        // A king that can go on capturing must; else it may stop on any landing.
        if (!more) {
            LiftCaptured(Empty);
            for (lx -= dx, ly -= dy; lx != ax || ly != ay; lx -= dx, ly -= dy) {
                HFigura& to = board.cells[lx][ly];
                to.owner = side;
                to.king = 1;
                Record(frame.score - Search(opp));
                to.owner = Empty;
            }
            LiftCaptured(Blocked);
        }
        frame.UndoCapture(kings[opp], params);
        const HFigura& taken = frame.captured[frame.capturedCount];
        jumped.owner = taken.owner;
        jumped.king = taken.king;
    }
    return found;
}
