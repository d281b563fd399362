#include "rules/Hlistmoves.h"

#include <bit>
#include <utility>

namespace {

// The four diagonals as steps of the flat cell index x * 10 + y, in the fixed
// order (+1,-1), (-1,-1), (+1,+1), (-1,+1).
constexpr int32_t kStep[4] = {10 * kDirX[0] + kDirY[0], 10 * kDirX[1] + kDirY[1],
                              10 * kDirX[2] + kDirY[2], 10 * kDirX[3] + kDirY[3]};

constexpr std::array<int32_t, 32> kSquareIndex = [] {
    std::array<int32_t, 32> index{};
    for (size_t i = 0; i < 32; ++i) index[i] = kSquareOrder[i].x * 10 + kSquareOrder[i].y;
    return index;
}();

}  // namespace

inline uint32_t HListMoves::OwnSquares() const {
    // Built without a branch per square, which the processor could not
    // predict, and unrolled: this runs once per generated position.
    return [this]<size_t... I>(std::index_sequence<I...>) {
        return ((static_cast<uint32_t>(cells_[kSquareIndex[I]].owner == side) << I) | ...);
    }(std::make_index_sequence<32>());
}

inline bool HListMoves::CanJump(int32_t from, uint8_t king) const {
    const uint8_t opponent = Opponent(side);
    if (!king) {
        bool jump = false;
        for (const int32_t step : kStep)
            jump |=
                (cells_[from + step].owner == opponent) & (cells_[from + 2 * step].owner == Empty);
        return jump;
    }
    for (const int32_t step : kStep) {
        int32_t at = from + step;
        while (cells_[at].owner == Empty) at += step;
        if (cells_[at].owner == opponent && cells_[at + step].owner == Empty) return true;
    }
    return false;
}

int32_t HListMoves::Generate(uint8_t side, HDoska& board) {
    this->side = side;
    this->board = &board;
    cells_ = &board.cells[0][0];
    kings[Top] = board.topKings;
    kings[Bottom] = board.bottomKings;
    Clear();

    const uint32_t own = OwnSquares();
    for (uint32_t rest = own; rest != 0; rest &= rest - 1) {
        const int32_t from = kSquareIndex[std::countr_zero(rest)];
        HFigura& cell = cells_[from];
        if (!CanJump(from, cell.king)) continue;
        work.Clear();
        HFigura piece = cell;
        work.AddStep(piece, kings[side]);  // a piece never crowns where it stands
        // Lift the piece: a capture may cross or end on its own start square.
        cell.owner = Empty;
        piece.king ? KingCaptures(from) : ManCaptures(from);
        cell = piece;
    }
    if (count > 0) return count;  // a capture anywhere forbids every quiet move

    for (uint32_t rest = own; rest != 0; rest &= rest - 1) {
        const int32_t from = kSquareIndex[std::countr_zero(rest)];
        work.Clear();
        HFigura piece = cells_[from];
        work.AddStep(piece, kings[side]);
        // No lift needed: a quiet move never comes back to its start square.
        piece.king ? KingMoves(from) : ManMoves(from);
    }
    return count;
}

int32_t HListMoves::CountMoves(uint8_t side, HDoska& board) {
    this->side = side;
    this->board = &board;
    cells_ = &board.cells[0][0];
    const uint32_t own = OwnSquares();
    for (uint32_t rest = own; rest != 0; rest &= rest - 1) {
        const int32_t from = kSquareIndex[std::countr_zero(rest)];
        if (CanJump(from, cells_[from].king)) return Generate(side, board);
    }
    // No capture: every quiet move is one step of a man forward or one empty
    // square on a king's diagonal, exactly as ManMoves and KingMoves list them.
    int32_t n = 0;
    const int32_t forward[2] = {side == Bottom ? -9 : -11, side == Bottom ? 11 : 9};
    for (uint32_t rest = own; rest != 0; rest &= rest - 1) {
        const int32_t from = kSquareIndex[std::countr_zero(rest)];
        if (!cells_[from].king) {
            n += (cells_[from + forward[0]].owner == Empty) +
                 (cells_[from + forward[1]].owner == Empty);
            continue;
        }
        for (const int32_t step : kStep)
            for (int32_t to = from + step; cells_[to].owner == Empty; to += step) ++n;
    }
    return n;
}

void HListMoves::ManMoves(int32_t from) {
    // Forward is up the rows for Bottom; toward column a first.
    const int32_t targets[2] = {side == Bottom ? from - 9 : from - 11,
                                side == Bottom ? from + 11 : from + 9};
    for (const int32_t to : targets) {
        if (cells_[to].owner != Empty) continue;
        HFigura piece(side, 0, cells_[to].pos);
        work.AddStep(piece, kings[side]);
        Append(work);
        work.UndoStep(kings[side]);
    }
}

void HListMoves::KingMoves(int32_t from) {
    for (const int32_t step : kStep) {
        for (int32_t to = from + step; cells_[to].owner == Empty; to += step) {
            work.steps[work.stepCount++] = HFigura(side, 1, cells_[to].pos);  // never crowns
            Append(work);
            --work.stepCount;
        }
    }
}

bool HListMoves::ManCaptures(int32_t from) {
    const uint8_t opponent = Opponent(side);
    bool found = false;
    for (const int32_t step : kStep) {
        HFigura& jumped = cells_[from + step];
        const int32_t landing = from + 2 * step;
        if (jumped.owner != opponent || cells_[landing].owner != Empty) continue;
        found = true;
        work.AddCapture(jumped, kings[opponent]);
        jumped.owner = Blocked;

        HFigura piece(side, 0, cells_[landing].pos);
        work.AddStep(piece, kings[side]);  // crowns on the far row
        const bool more = piece.king ? KingCaptures(landing) : ManCaptures(landing);
        if (!more) Append(work);

        jumped.owner = opponent;
        work.UndoCapture(kings[opponent]);
        work.UndoStep(kings[side]);
    }
    return found;
}

bool HListMoves::KingCaptures(int32_t from) {
    const uint8_t opponent = Opponent(side);
    bool found = false;
    for (const int32_t step : kStep) {
        int32_t at = from + step;
        while (cells_[at].owner == Empty) at += step;
        HFigura& jumped = cells_[at];
        const int32_t first = at + step;
        if (jumped.owner != opponent || cells_[first].owner != Empty) continue;
        found = true;
        work.AddCapture(jumped, kings[opponent]);
        jumped.owner = Blocked;

        // Landing squares run from first to just before end.
        bool more = false;
        int32_t end = first;
        for (; cells_[end].owner == Empty; end += step) {
            work.steps[work.stepCount++] = HFigura(side, 1, cells_[end].pos);
            if (KingCaptures(end)) more = true;
            --work.stepCount;  // a king's step never crowns
        }
        // A king that can go on capturing must; otherwise it may stop on any
        // landing square, listed farthest first.
        if (!more) {
            for (int32_t l = end - step;; l -= step) {
                work.steps[work.stepCount++] = HFigura(side, 1, cells_[l].pos);
                Append(work);
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
        for (int32_t j = 0; j < k && same; ++j) same = move.steps[j].pos == reference->steps[j].pos;
        if (!same || !(move.steps[k].pos == point)) continue;
        index = i;
        return move.stepCount == k + 1 ? 2 : 1;
    }
    return 0;
}
