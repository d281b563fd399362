#include "rules/Hlistmoves.h"

int32_t HListMoves::Generate(uint8_t side, HDoska& board) {
    this->side = side;
    this->board = &board;
    kings[Top] = board.topKings;
    kings[Bottom] = board.bottomKings;
    Clear();

    for (int pass = 0; pass < 2; ++pass) {
        for (const Point s : kSquareOrder) {
            HFigura& cell = board.cells[s.x][s.y];
            if (cell.owner != side) continue;
            work.Clear();
            HFigura piece = cell;
            work.AddStep(piece, kings[side]);  // a piece never crowns where it stands
            // Lift the piece: a capture may cross or end on its own start square.
            cell.owner = Empty;
            if (pass == 0) {
                piece.king ? KingCaptures(s.x, s.y) : ManCaptures(s.x, s.y);
            } else {
                piece.king ? KingMoves(s.x, s.y) : ManMoves(s.x, s.y);
            }
            cell = piece;
        }
        if (count > 0) break;  // a capture anywhere forbids every quiet move
    }
    return count;
}

void HListMoves::ManMoves(int32_t x, int32_t y) {
    const int32_t forward = side == Bottom ? 1 : -1;
    for (const int32_t dx : {-1, +1}) {
        const Point to{x + dx, y + forward};
        if (board->At(to).owner != Empty) continue;
        HFigura piece(side, 0, to);
        work.AddStep(piece, kings[side]);
        Add(work);
        work.UndoStep(kings[side]);
    }
}

void HListMoves::KingMoves(int32_t x, int32_t y) {
    for (int d = 0; d < 4; ++d) {
        Point to{x + kDirX[d], y + kDirY[d]};
        for (; board->At(to).owner == Empty; to.x += kDirX[d], to.y += kDirY[d]) {
            HFigura piece(side, 1, to);
            work.AddStep(piece, kings[side]);
            Add(work);
            work.UndoStep(kings[side]);
        }
    }
}

bool HListMoves::ManCaptures(int32_t x, int32_t y) {
    const uint8_t opponent = Opponent(side);
    bool found = false;
    for (int d = 0; d < 4; ++d) {
        HFigura& jumped = board->cells[x + kDirX[d]][y + kDirY[d]];
        const Point landing{x + 2 * kDirX[d], y + 2 * kDirY[d]};
        if (jumped.owner != opponent || board->At(landing).owner != Empty) continue;
        found = true;
        work.AddCapture(jumped, kings[opponent]);
        jumped.owner = Blocked;

        HFigura piece(side, 0, landing);
        work.AddStep(piece, kings[side]);  // crowns on the far row
        const bool more = piece.king ? KingCaptures(landing.x, landing.y)
                                     : ManCaptures(landing.x, landing.y);
        if (!more) Add(work);

        jumped.owner = opponent;
        work.UndoCapture(kings[opponent]);
        work.UndoStep(kings[side]);
    }
    return found;
}

bool HListMoves::KingCaptures(int32_t x, int32_t y) {
    const uint8_t opponent = Opponent(side);
    bool found = false;
    for (int d = 0; d < 4; ++d) {
        const int32_t dx = kDirX[d], dy = kDirY[d];
        Point at{x + dx, y + dy};
        while (board->At(at).owner == Empty) at.x += dx, at.y += dy;
        HFigura& jumped = board->At(at);
        const Point first{at.x + dx, at.y + dy};
        if (jumped.owner != opponent || board->At(first).owner != Empty) continue;
        found = true;
        work.AddCapture(jumped, kings[opponent]);
        jumped.owner = Blocked;

        // Landing squares run from first to just before last.
        Point last = first;
        bool more = false;
        for (; board->At(last).owner == Empty; last.x += dx, last.y += dy) {
            HFigura piece(side, 1, last);
            work.AddStep(piece, kings[side]);
            if (KingCaptures(last.x, last.y)) more = true;
            --work.stepCount;  // a king's step never crowns
        }
        // A king that can go on capturing must; otherwise it may stop on any
        // landing square, listed farthest first.
        if (!more) {
            for (Point l{last.x - dx, last.y - dy};; l.x -= dx, l.y -= dy) {
                HFigura piece(side, 1, l);
                work.AddStep(piece, kings[side]);
                Add(work);
                --work.stepCount;
                if (l == first) break;
            }
        }

        jumped.owner = opponent;
        work.UndoCapture(kings[opponent]);
    }
    return found;
}

int32_t HListMoves::Match(Point point, int32_t k, int32_t& index) const {
    const HMove* reference = (k > 0 && index >= 0 && index < count) ? At(index) : nullptr;
    if (k > 0 && reference == nullptr) return 0;
    for (int32_t i = 0; i < count; ++i) {
        const HMove& move = *At(i);
        if (move.stepCount < k + 1) continue;
        bool same = true;
        for (int32_t j = 0; j < k && same; ++j)
            same = move.steps[j].pos == reference->steps[j].pos;
        if (!same || !(move.steps[k].pos == point)) continue;
        index = i;
        return move.stepCount == k + 1 ? 2 : 1;
    }
    return 0;
}
