#include "engine/FastMoves.h"

using namespace squares;

bool Board32::Load(const HDoska& board) {
    pieces[Bottom] = pieces[Top] = kings = 0;
    for (int32_t s = 0; s < 32; ++s) {
        const HFigura& cell = board.At(kSquareOrder[s]);
        if (cell.owner != Bottom && cell.owner != Top) continue;
        pieces[cell.owner] |= Bit(s);
        if (cell.king) kings |= Bit(s);
    }
    return KingCount(Bottom) == board.bottomKings && KingCount(Top) == board.topKings;
}

namespace {

// The state of the capture being built, as the rules build it: jumped pieces
// stay on the board (not empty, no longer prey) until the move is complete,
// and the moving piece's start square counts as empty.
struct Builder {
    FastMove* out;
    int32_t count;
    int32_t capacity;
    bool overflow;
    const EngineParams* params;
    uint32_t empty;
    uint32_t prey;
    uint32_t kings;
    uint32_t crowning;
    uint32_t jumped;
    int32_t gain;
    int32_t moverKings;
    int32_t opponentKings;
    uint8_t from;
    uint8_t promoted;

    void Emit(int32_t to) {
        if (count == capacity) {
            overflow = true;
            return;
        }
        out[count] = FastMove{jumped,
                              jumped & kings,
                              gain,
                              from,
                              static_cast<uint8_t>(to),
                              promoted,
                              static_cast<uint8_t>(count < 255 ? count : 255)};
        ++count;
    }

    void Take(int32_t s) {
        jumped |= Bit(s);
        prey &= ~Bit(s);
        if (kings & Bit(s)) {
            gain += params->kingValue;
            if (--opponentKings == 0) gain += params->firstKingBonus;
        } else {
            gain += params->manValue;
        }
    }

    void GiveBack(int32_t s) {
        jumped &= ~Bit(s);
        prey |= Bit(s);
        if (kings & Bit(s)) {
            if (opponentKings == 0) gain -= params->firstKingBonus;
            ++opponentKings;
            gain -= params->kingValue;
        } else {
            gain -= params->manValue;
        }
    }

    bool ManCaptures(int32_t s);
    bool KingCaptures(int32_t s);
};

bool Builder::ManCaptures(int32_t s) {
    bool found = false;
    for (int d = 0; d < 4; ++d) {
        const int32_t a = kStep[s][d];
        if (a == kNone || !(prey & Bit(a))) continue;
        const int32_t b = kStep[a][d];
        if (b == kNone || !(empty & Bit(b))) continue;
        found = true;
        Take(a);
        bool more;
        if (crowning & Bit(b)) {
            // Crowned on the way: the capture goes on as a king's.
            const int32_t bonus =
                params->promotionBonus + (moverKings == 0 ? params->firstKingBonus : 0);
            gain += bonus;
            ++moverKings;
            promoted = 1;
            more = KingCaptures(b);
            if (!more) Emit(b);
            promoted = 0;
            --moverKings;
            gain -= bonus;
        } else {
            more = ManCaptures(b);
            if (!more) Emit(b);
        }
        GiveBack(a);
    }
    return found;
}

bool Builder::KingCaptures(int32_t s) {
    bool found = false;
    for (int d = 0; d < 4; ++d) {
        int32_t a = kStep[s][d];
        while (a != kNone && (empty & Bit(a))) a = kStep[a][d];
        if (a == kNone || !(prey & Bit(a))) continue;
        const int32_t first = kStep[a][d];
        if (first == kNone || !(empty & Bit(first))) continue;
        found = true;
        Take(a);
        // Every landing is tried; a king that can go on capturing must.
        bool more = false;
        for (int32_t l = first; l != kNone && (empty & Bit(l)); l = kStep[l][d])
            if (KingCaptures(l)) more = true;
        if (!more)
            for (int32_t l = first; l != kNone && (empty & Bit(l)); l = kStep[l][d]) Emit(l);
        GiveBack(a);
    }
    return found;
}

}  // namespace

int32_t GenerateMoves(const Board32& board, uint8_t side, const EngineParams& params, FastMove* out,
                      int32_t capacity) {
    const uint8_t opp = Opponent(side);
    const uint32_t own = board.pieces[side];
    const uint32_t occupied = own | board.pieces[opp];
    Builder builder{out,
                    0,
                    capacity,
                    false,
                    &params,
                    ~occupied,
                    board.pieces[opp],
                    board.kings,
                    CrowningMask(side),
                    0,
                    0,
                    board.KingCount(side),
                    board.KingCount(opp),
                    0,
                    0};

    for (uint32_t rest = own; rest;) {
        const int32_t s = PopLowest(rest);
        builder.from = static_cast<uint8_t>(s);
        builder.empty = ~occupied | Bit(s);  // lifted: the capture may cross or end here
        (board.kings & Bit(s)) ? builder.KingCaptures(s) : builder.ManCaptures(s);
    }
    if (builder.overflow) return -1;
    if (builder.count > 0) return builder.count;

    // No capture anywhere: the quiet moves.
    builder.empty = ~occupied;
    const int forward[2] = {side == Bottom ? 3 : 1, side == Bottom ? 2 : 0};  // column -1, then +1
    for (uint32_t rest = own; rest;) {
        const int32_t s = PopLowest(rest);
        builder.from = static_cast<uint8_t>(s);
        if (board.kings & Bit(s)) {
            for (int d = 0; d < 4; ++d)
                for (int32_t t = kStep[s][d]; t != kNone && (builder.empty & Bit(t));
                     t = kStep[t][d])
                    builder.Emit(t);
            continue;
        }
        for (const int d : forward) {
            const int32_t t = kStep[s][d];
            if (t == kNone || !(builder.empty & Bit(t))) continue;
            if (builder.crowning & Bit(t)) {
                builder.gain =
                    params.promotionBonus + (builder.moverKings == 0 ? params.firstKingBonus : 0);
                builder.promoted = 1;
                builder.Emit(t);
                builder.gain = 0;
                builder.promoted = 0;
            } else {
                builder.Emit(t);
            }
        }
    }
    return builder.overflow ? -1 : builder.count;
}
