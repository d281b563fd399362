#include "rules/Hlistmoves.h"

#include <bit>
#include <utility>

namespace {

// The four diagonals as steps of the flat cell index x * 10 + y, in the fixed
// order (+1,-1), (-1,-1), (+1,+1), (-1,+1).
constexpr int32_t kStep[4] = {10 * kDirX[0] + kDirY[0], 10 * kDirX[1] + kDirY[1],
                              10 * kDirX[2] + kDirY[2], 10 * kDirX[3] + kDirY[3]};

// Bit masks over the 64 squares, bit (y - 1) * 8 + (x - 1): ascending bits
// run in scan order. They only tell the generator where to look; the moves
// themselves are always built on the cells.
constexpr int Bit(Point p) {
    return (p.y - 1) * 8 + (p.x - 1);
}

constexpr std::array<int32_t, 64> kFlatOfBit = [] {
    std::array<int32_t, 64> flat{};
    for (int b = 0; b < 64; ++b) flat[b] = (b % 8 + 1) * 10 + (b / 8 + 1);
    return flat;
}();

constexpr uint64_t kFileA = 0x0101010101010101ull;
constexpr uint64_t kNotA = ~kFileA, kNotAB = ~(kFileA | kFileA << 1);
constexpr uint64_t kNotH = ~(kFileA << 7), kNotGH = ~(kFileA << 6 | kFileA << 7);

// The squares whose neighbour `shift` bits away is in set.
constexpr uint64_t Back(uint64_t set, int shift) {
    return shift > 0 ? set >> shift : set << -shift;
}

struct Masks {
    uint64_t own, opponent, empty, kings;
};

constexpr uint64_t kDark = [] {
    uint64_t dark = 0;
    for (const Point p : kSquareOrder) dark |= uint64_t{1} << Bit(p);
    return dark;
}();

// Square I of the scan order into the owner bit planes.
template <size_t I>
inline void GatherOwner(const HFigura* cells, uint64_t& low, uint64_t& high) {
    constexpr Point p = kSquareOrder[I];
    const uint8_t owner = cells[p.x * 10 + p.y].owner;
    low |= static_cast<uint64_t>(owner & 1u) << Bit(p);
    high |= static_cast<uint64_t>(owner >> 1u) << Bit(p);
}

template <size_t I>
inline void GatherKing(const HFigura* cells, uint64_t& king) {
    constexpr Point p = kSquareOrder[I];
    king |= static_cast<uint64_t>(cells[p.x * 10 + p.y].king & 1u) << Bit(p);
}

// One gather over the 32 cells, without a branch per square. The king plane
// is read only when the board's counter says the side has a king.
Masks TakeMasks(const HFigura* cells, uint8_t side, bool sideHasKings) {
    uint64_t low = 0, high = 0, king = 0;
    [&]<size_t... I>(std::index_sequence<I...>) {
        (GatherOwner<I>(cells, low, high), ...);
        if (sideHasKings) (GatherKing<I>(cells, king), ...);
    }
    (std::make_index_sequence<32>());
    // Owner codes: Empty 00, Blocked 01, Bottom 10, Top 11 (high bit, low bit).
    const uint64_t top = high & low, bottom = high & ~low;
    const uint64_t own = side == Top ? top : bottom;
    return Masks{own, side == Top ? bottom : top, kDark & ~high & ~low, king & own};
}

// Men of the side that have a first jump in some direction.
uint64_t ManJumpers(const Masks& m) {
    const uint64_t men = m.own & ~m.kings;
    return (men & kNotGH & Back(m.opponent, -7) & Back(m.empty, -14)) |  // (+1,-1)
           (men & kNotAB & Back(m.opponent, -9) & Back(m.empty, -18)) |  // (-1,-1)
           (men & kNotGH & Back(m.opponent, 9) & Back(m.empty, 18)) |    // (+1,+1)
           (men & kNotAB & Back(m.opponent, 7) & Back(m.empty, 14));     // (-1,+1)
}

bool KingCanJump(const HFigura* cells, int32_t from, uint8_t opponent) {
    for (const int32_t step : kStep) {
        int32_t at = from + step;
        while (cells[at].owner == Empty) at += step;
        if (cells[at].owner == opponent && cells[at + step].owner == Empty) return true;
    }
    return false;
}

// Which pieces have a first jump: masks for the men, a walk for each king.
uint64_t Jumpers(const HFigura* cells, const Masks& m, uint8_t side) {
    uint64_t jumpers = ManJumpers(m);
    for (uint64_t k = m.own & m.kings; k != 0; k &= k - 1) {
        const int b = std::countr_zero(k);
        if (KingCanJump(cells, kFlatOfBit[b], Opponent(side))) jumpers |= uint64_t{1} << b;
    }
    return jumpers;
}

}  // namespace

int32_t HListMoves::Generate(uint8_t side, HDoska& board) {
    this->side = side;
    this->board = &board;
    cells_ = &board.cells[0][0];
    kings[Top] = board.topKings;
    kings[Bottom] = board.bottomKings;
    Clear();

    const Masks masks = TakeMasks(cells_, side, board.Kings(side) > 0);
    const uint64_t jumpers = Jumpers(cells_, masks, side);
    // A capture anywhere forbids every quiet move.
    for (uint64_t rest = jumpers ? jumpers : masks.own; rest != 0; rest &= rest - 1) {
        const int32_t from = kFlatOfBit[std::countr_zero(rest)];
        HFigura& cell = cells_[from];
        work.Clear();
        HFigura piece = cell;
        work.AddStep(piece, kings[side]);  // a piece never crowns where it stands
        if (jumpers) {
            // Lift the piece: a capture may cross or end on its own start square.
            cell.owner = Empty;
            piece.king ? KingCaptures(from) : ManCaptures(from);
            cell = piece;
        } else {
            piece.king ? KingMoves(from) : ManMoves(from);
        }
    }
    return count;
}

int32_t HListMoves::CountMoves(uint8_t side, HDoska& board) {
    this->side = side;
    this->board = &board;
    cells_ = &board.cells[0][0];
    const Masks masks = TakeMasks(cells_, side, board.Kings(side) > 0);
    if (Jumpers(cells_, masks, side)) return Generate(side, board);
    // No capture: every quiet move is a man's step forward onto an empty
    // square or an empty square on a king's diagonal, as ManMoves and
    // KingMoves list them.
    const uint64_t men = masks.own & ~masks.kings;
    int32_t n = side == Bottom ? std::popcount(men & kNotA & Back(masks.empty, 7)) +
                                     std::popcount(men & kNotH & Back(masks.empty, 9))
                               : std::popcount(men & kNotA & Back(masks.empty, -9)) +
                                     std::popcount(men & kNotH & Back(masks.empty, -7));
    for (uint64_t k = masks.own & masks.kings; k != 0; k &= k - 1) {
        const int32_t from = kFlatOfBit[std::countr_zero(k)];
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
