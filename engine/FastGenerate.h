#pragma once

// The bit-board move generator: the same moves as the list generator, a move
// per path, found on three 32-bit masks. Which pieces can capture is found for
// all men at once by shifting the masks and for each king by its four rays;
// when nothing captures, the quiet moves are listed (or, at the last ply of a
// count, counted by popcount) from the same shifts and rays.
//
// A capture is built depth-first exactly as the rules build it: jumped pieces
// stay on the board, blocking, until the move is complete; the moving piece's
// start square counts as empty; a man that lands on its crowning row goes on
// as a king; a king that can go on capturing after a jump must, from every
// landing that allows it, and may otherwise stop on any landing. So a ring
// taken either way round, or a king stopping on either side of a piece it
// takes next, gives two moves, as it does in the list.
//
// Where the moves go is the Sink's business: a list of FastMove for the
// search and perft, a count for the last ply, or whole paths for checking.

#include <bit>
#include <cstdint>

#include "engine/FastMoves.h"
#include "engine/Rays.h"

namespace fastgen {

using rays::kDownLeft;
using rays::kDownRight;
using rays::kUpLeft;
using rays::kUpRight;

// kJump[d][s]: the square two steps from s in direction d as a mask, 0 when
// either step leaves the board.
inline constexpr std::array<std::array<uint32_t, 32>, 4> kJump = [] {
    std::array<std::array<uint32_t, 32>, 4> jump{};
    for (int d = 0; d < 4; ++d)
        for (int s = 0; s < 32; ++s) {
            const int a = squares::kStep[s][d];
            const int b = a == squares::kNone ? squares::kNone : squares::kStep[a][d];
            jump[d][s] = b == squares::kNone ? 0 : squares::Bit(b);
        }
    return jump;
}();

// The four neighbours of each square.
inline constexpr std::array<uint32_t, 32> kAround = [] {
    std::array<uint32_t, 32> around{};
    for (int s = 0; s < 32; ++s)
        for (int d = 0; d < 4; ++d) around[s] |= rays::kNext[d][s];
    return around;
}();

// The capture being built from one lifted piece.
template <class Sink>
struct Capture {
    Sink& sink;
    uint32_t empty;     // the start square included, jumped pieces not
    uint32_t prey;      // opponent pieces not yet jumped
    uint32_t kings;     // of both sides, to tell which jumped pieces were kings
    uint32_t crowning;  // the mover's crowning row
    uint32_t jumped = 0;
    uint8_t from = 0;
    uint8_t promoted = 0;

    // to: the last landing, as a mask.
    void Emit(uint32_t to) {
        const uint32_t start = squares::Bit(from);
        const uint32_t moverFlip = (kings & start) ? start ^ to : promoted ? to : 0;
        sink.Emit(from, static_cast<uint8_t>(std::countr_zero(to)), jumped,
                  (jumped & kings) ^ moverFlip, promoted);
    }

    template <int D>
    bool ManJump(int s);
    template <int D>
    bool KingJump(int s);
    template <int D>
    void CountKingOn(uint32_t landings);

    // Back: the direction the piece came from, -1 at the start. That way lies
    // the piece just taken, still on the board and no longer prey, so nothing
    // can be jumped there and it is not tried.
    template <int Back>
    bool Man(int s) {
        // Most landings have no prey next to them.
        if ((prey & kAround[s]) == 0) return false;
        // Every direction is tried, whatever the others found.
        const bool a = Back != kDownRight && ManJump<kDownRight>(s);
        const bool b = Back != kDownLeft && ManJump<kDownLeft>(s);
        const bool c = Back != kUpRight && ManJump<kUpRight>(s);
        const bool d = Back != kUpLeft && ManJump<kUpLeft>(s);
        return a | b | c | d;
    }
    // The prey a king can take going direction D: pieces with an empty
    // square behind them that way.
    template <int D>
    uint32_t Takeable() const {
        return prey & rays::Step<rays::kOpposite[D]>(empty);
    }
    // King, with the rays that hold nothing takeable skipped.
    template <int Back>
    bool KingFiltered(int s, const uint32_t (&takeable)[4]) {
        const bool a = Back != kDownRight && (rays::kRay[kDownRight][s] & takeable[kDownRight]) &&
                       KingJump<kDownRight>(s);
        const bool b = Back != kDownLeft && (rays::kRay[kDownLeft][s] & takeable[kDownLeft]) &&
                       KingJump<kDownLeft>(s);
        const bool c = Back != kUpRight && (rays::kRay[kUpRight][s] & takeable[kUpRight]) &&
                       KingJump<kUpRight>(s);
        const bool d =
            Back != kUpLeft && (rays::kRay[kUpLeft][s] & takeable[kUpLeft]) && KingJump<kUpLeft>(s);
        return a | b | c | d;
    }
    template <int Back>
    bool King(int s) {
        const bool a = Back != kDownRight && KingJump<kDownRight>(s);
        const bool b = Back != kDownLeft && KingJump<kDownLeft>(s);
        const bool c = Back != kUpRight && KingJump<kUpRight>(s);
        const bool d = Back != kUpLeft && KingJump<kUpLeft>(s);
        return a | b | c | d;
    }
};

template <class Sink>
template <int D>
bool Capture<Sink>::ManJump(int s) {
    const uint32_t over = rays::kNext[D][s];
    const uint32_t land = kJump[D][s];
    if ((prey & over) == 0 || (empty & land) == 0) return false;
    const int b = std::countr_zero(land);
    prey ^= over;
    jumped ^= over;
    sink.Push(static_cast<uint8_t>(b));
    if (crowning & land) {
        // Crowned on the way: the capture goes on as a king's.
        promoted = 1;
        if (!King<rays::kOpposite[D]>(b)) Emit(land);
        promoted = 0;
    } else if (!Man<rays::kOpposite[D]>(b)) {
        Emit(land);
    }
    sink.Pop();
    prey ^= over;
    jumped ^= over;
    return true;
}

template <class Sink>
template <int D>
bool Capture<Sink>::KingJump(int s) {
    const uint32_t occupied = ~empty;
    const int a = rays::Nearest<D>(s, occupied);
    const uint32_t over = squares::Bit(a);
    if ((rays::kRay[D][s] & prey & over) == 0) return false;
    const uint32_t landings = rays::Open<D>(a, occupied);
    if (landings == 0) return false;
    prey ^= over;
    if constexpr (Sink::kCountOnly) {
        CountKingOn<D>(landings);
        prey ^= over;
        return true;
    }
    jumped ^= over;
    const uint32_t takeable[4] = {Takeable<0>(), Takeable<1>(), Takeable<2>(), Takeable<3>()};
    // A king that can go on capturing from some landing must go on.
    bool more = false;
    for (uint32_t rest = landings; rest != 0; rest &= rest - 1) {
        const int l = std::countr_zero(rest);
        sink.Push(static_cast<uint8_t>(l));
        if (KingFiltered<rays::kOpposite[D]>(l, takeable)) more = true;
        sink.Pop();
    }
    if (!more) {
        for (uint32_t rest = landings; rest != 0; rest &= rest - 1) {
            sink.Push(static_cast<uint8_t>(std::countr_zero(rest)));
            Emit(rest & -rest);
            sink.Pop();
        }
    }
    prey ^= over;
    jumped ^= over;
    return true;
}

// Counting only, the paths on from the landings of a king's jump in
// direction D. Going on the same way, every landing meets the same next piece
// with the same squares behind it, so that part is built once and counted for
// each landing; only the two crossing directions differ from landing to
// landing.
template <class Sink>
template <int D>
void Capture<Sink>::CountKingOn(uint32_t landings) {
    constexpr int side1 = D == kDownRight || D == kUpLeft ? kDownLeft : kDownRight;
    constexpr int side2 = D == kDownRight || D == kUpLeft ? kUpRight : kUpLeft;
    const int32_t before = sink.count;
    const int32_t n = CountBits(landings);
    bool more = KingJump<D>(std::countr_zero(landings));
    sink.count += (sink.count - before) * (n - 1);
    // A piece can only be taken that way with an empty square behind it;
    // most landings see none on their crossing rays and skip the walk.
    const uint32_t prey1 = Takeable<side1>();
    const uint32_t prey2 = Takeable<side2>();
    for (uint32_t rest = landings; rest != 0; rest &= rest - 1) {
        const int l = std::countr_zero(rest);
        const bool a = (rays::kRay[side1][l] & prey1) != 0 && KingJump<side1>(l);
        const bool b = (rays::kRay[side2][l] & prey2) != 0 && KingJump<side2>(l);
        more = more | a | b;
    }
    if (!more) sink.count += n;
}

// The squares a side's pieces stand on and the rest of the board, seen from
// the side to move. An aggregate made by SidesOf, not a constructor: clang 19
// generates target_clones copies after it has folded complete-object
// constructors into base-object ones, and a copy's call to one stays undefined.
struct Sides {
    uint32_t own, opp, empty, kings;
};

[[gnu::always_inline]] inline Sides SidesOf(const Board32& board, uint8_t side) {
    return Sides{board.pieces[side], board.pieces[Opponent(side)],
                 ~(board.pieces[Bottom] | board.pieces[Top]), board.kings};
}

// Two steps in direction D, off-board ones dropped: the same shift from every
// row (up-right 9, up-left 7), once the columns that would leave are cut.
inline constexpr uint32_t kLastColumn = 0x88888888u;   // g and h
inline constexpr uint32_t kFirstColumn = 0x11111111u;  // a and b
template <int D>
constexpr uint32_t Jump(uint32_t m) {
    if constexpr (D == kUpRight) return (m & ~kLastColumn) << 9;
    if constexpr (D == kUpLeft) return (m & ~kFirstColumn) << 7;
    if constexpr (D == kDownRight) return (m & ~kLastColumn) >> 7;
    if constexpr (D == kDownLeft) return (m & ~kFirstColumn) >> 9;
    return 0;
}

// The squares from which a man would jump in direction D: an opponent's
// piece next to it that way and an empty square behind.
template <int D>
inline uint32_t JumpFrom(uint32_t opp, uint32_t empty) {
    constexpr int back = rays::kOpposite[D];
    return rays::Step<back>(opp) & Jump<back>(empty);
}

// The single captures of men in direction D, from the squares in from.
template <int D, class Sink>
inline void SingleCaptures(uint32_t from, uint32_t kings, Sink& sink) {
    for (; from != 0; from &= from - 1) {
        const int s = std::countr_zero(from);
        const uint32_t to = Jump<D>(from & -from);
        sink.Start(static_cast<uint8_t>(s));
        sink.Push(static_cast<uint8_t>(std::countr_zero(to)));
        sink.Emit(static_cast<uint8_t>(s), static_cast<uint8_t>(std::countr_zero(to)),
                  rays::kNext[D][s], rays::kNext[D][s] & kings, 0);
        sink.Pop();
    }
}

// The men's captures whose first jump goes in direction D. A landing where
// the man can neither go on nor crown ends a single capture, read straight
// off the masks; from the others the capture is built square by square.
// goesOn: the landings where it may go on.
template <int D, class Sink>
inline void MenCaptures(uint32_t jumping, uint32_t goesOn, Capture<Sink>& capture, uint32_t empty,
                        Sink& sink) {
    constexpr int back = rays::kOpposite[D];
    const uint32_t landings = Jump<D>(jumping);
    const uint32_t single = landings & ~goesOn;
    if constexpr (Sink::kCountOnly) {
        sink.count += CountBits(single);
    } else {
        SingleCaptures<D>(Jump<back>(single), capture.kings, sink);
    }
    for (uint32_t rest = Jump<back>(landings & goesOn); rest != 0; rest &= rest - 1) {
        const int s = std::countr_zero(rest);
        capture.from = static_cast<uint8_t>(s);
        capture.empty = empty | squares::Bit(s);  // lifted: a capture may cross or end here
        sink.Start(static_cast<uint8_t>(s));
        capture.template ManJump<D>(s);
    }
}

// The captures, once side is known to have some.
template <class Sink>
[[gnu::always_inline]] inline void CapturesInline(const Sides& p, uint8_t side, Sink& sink) {
    const uint32_t crowning = squares::CrowningMask(side);
    Capture<Sink> capture{sink, p.empty, p.opp, p.kings, crowning};
    const uint32_t men = p.own & ~p.kings;
    if (men != 0) {
        const uint32_t j0 = JumpFrom<0>(p.opp, p.empty), j1 = JumpFrom<1>(p.opp, p.empty);
        const uint32_t j2 = JumpFrom<2>(p.opp, p.empty), j3 = JumpFrom<3>(p.opp, p.empty);
        // A landing may go on in any direction but back over the piece just
        // taken, the only way the lifted start square lies: so j0..j3 still
        // hold there. Crowning landings go on as a king's, built in full.
        MenCaptures<0>(men & j0, crowning | j0 | j1 | j2, capture, p.empty, sink);
        MenCaptures<1>(men & j1, crowning | j0 | j1 | j3, capture, p.empty, sink);
        MenCaptures<2>(men & j2, crowning | j0 | j2 | j3, capture, p.empty, sink);
        MenCaptures<3>(men & j3, crowning | j1 | j2 | j3, capture, p.empty, sink);
    }
    // A king's first jump never lands on its own start square, so what it
    // can take is read off the board as it stands.
    const uint32_t takeable[4] = {capture.template Takeable<0>(), capture.template Takeable<1>(),
                                  capture.template Takeable<2>(), capture.template Takeable<3>()};
    for (uint32_t k = p.own & p.kings; k != 0; k &= k - 1) {
        const int s = std::countr_zero(k);
        capture.from = static_cast<uint8_t>(s);
        capture.empty = p.empty | squares::Bit(s);
        sink.Start(static_cast<uint8_t>(s));
        capture.template KingFiltered<-1>(s, takeable);
    }
}

template <class Sink>
[[gnu::noinline]] void AllCaptures(const Sides& p, uint8_t side, Sink& sink) {
    CapturesInline(p, side, sink);
}

// Quiet steps of men in direction D: each target with the square it comes from.
template <int D, class Sink>
inline void ManSteps(uint32_t men, uint32_t empty, uint32_t crowning, Sink& sink) {
    for (uint32_t t = rays::Step<D>(men) & empty; t != 0; t &= t - 1) {
        const int to = std::countr_zero(t);
        const uint8_t from = static_cast<uint8_t>(squares::kStep[to][rays::kOpposite[D]]);
        sink.Start(from);
        sink.Push(static_cast<uint8_t>(to));
        sink.Emit(from, static_cast<uint8_t>(to), 0, crowning & (t & -t), (crowning >> to) & 1u);
        sink.Pop();
    }
}

// One ray of a king: its open squares into open, and whether it jumps there.
template <int D>
[[gnu::always_inline]] inline bool KingRay(int s, const Sides& p, uint32_t& open) {
    const uint32_t occupied = ~p.empty;
    const int a = rays::Nearest<D>(s, occupied);
    open |= (rays::kRay[D][s] ^ rays::kRay[D][a]) & p.empty;
    return (rays::kRay[D][s] & p.opp & squares::Bit(a)) != 0 && (rays::kNext[D][a] & p.empty) != 0;
}

template <class Sink>
inline void KingQuiet(int s, uint32_t open, Sink& sink) {
    sink.Start(static_cast<uint8_t>(s));
    for (; open != 0; open &= open - 1) {
        const int to = std::countr_zero(open);
        sink.Push(static_cast<uint8_t>(to));
        sink.Emit(static_cast<uint8_t>(s), static_cast<uint8_t>(to), 0,
                  squares::Bit(s) ^ squares::Bit(to), 0);
        sink.Pop();
    }
}

// Every legal move of side into sink: the captures when there is one, else
// the quiet moves. Each king's rays are walked once, for its jumps and its
// quiet moves both.
template <class Sink>
[[gnu::always_inline]] inline void Generate(const Board32& board, uint8_t side, Sink& sink) {
    const Sides p = SidesOf(board, side);
    const uint32_t men = p.own & ~p.kings;
    bool capture = (men & (JumpFrom<0>(p.opp, p.empty) | JumpFrom<1>(p.opp, p.empty) |
                           JumpFrom<2>(p.opp, p.empty) | JumpFrom<3>(p.opp, p.empty))) != 0;
    uint32_t opens[32];
    int32_t kings = 0;
    for (uint32_t k = p.own & p.kings; k != 0 && !capture; k &= k - 1) {
        const int s = std::countr_zero(k);
        uint32_t open = 0;
        const bool a = KingRay<kDownRight>(s, p, open);
        const bool b = KingRay<kDownLeft>(s, p, open);
        const bool c = KingRay<kUpRight>(s, p, open);
        const bool d = KingRay<kUpLeft>(s, p, open);
        capture = a | b | c | d;
        opens[kings++] = open;
    }
    if (capture) {
        AllCaptures(p, side, sink);
        return;
    }
    const uint32_t crowning = squares::CrowningMask(side);
    if (side == Bottom) {
        ManSteps<kUpLeft>(men, p.empty, crowning, sink);
        ManSteps<kUpRight>(men, p.empty, crowning, sink);
    } else {
        ManSteps<kDownLeft>(men, p.empty, crowning, sink);
        ManSteps<kDownRight>(men, p.empty, crowning, sink);
    }
    int32_t i = 0;
    for (uint32_t k = p.own & p.kings; k != 0; k &= k - 1)
        KingQuiet(std::countr_zero(k), opens[i++], sink);
}

// Sinks. Start names the piece a path begins with, Push and Pop follow its
// landings, Emit ends a move at its last landing.

// The moves as FastMove records, with room for capacity of them.
struct ListSink {
    static constexpr bool kCountOnly = false;
    FastMove* out;
    int32_t capacity;
    int32_t count = 0;

    void Start(uint8_t) {}
    void Push(uint8_t) {}
    void Pop() {}
    void Emit(uint8_t from, uint8_t to, uint32_t captured, uint32_t kingsFlip, uint32_t promotes) {
        if (count < capacity)
            out[count] = FastMove{captured,
                                  kingsFlip,
                                  from,
                                  to,
                                  static_cast<uint8_t>(promotes),
                                  static_cast<uint8_t>(count < 255 ? count : 255)};
        ++count;
    }
};

struct CountSink {
    static constexpr bool kCountOnly = true;
    int32_t count = 0;
    void Start(uint8_t) {}
    void Push(uint8_t) {}
    void Pop() {}
    void Emit(uint8_t, uint8_t, uint32_t, uint32_t, uint32_t) { ++count; }
};

}  // namespace fastgen

// Lists every legal move of side into out and returns the count, or -1 when
// they do not fit into capacity entries.
[[gnu::always_inline]] inline int32_t GenerateMoves(const Board32& board, uint8_t side,
                                                    FastMove* out, int32_t capacity) {
    fastgen::ListSink sink{out, capacity};
    fastgen::Generate(board, side, sink);
    return sink.count <= capacity ? sink.count : -1;
}

namespace fastgen {

inline constexpr uint32_t kOddNotA = rays::kOddRows & ~rays::kFileA;
inline constexpr uint32_t kEvenNotH = rays::kEvenRows & ~rays::kFileH;

// The number of quiet moves, and of them the men's steps that crown; -1 when
// side can capture, so that no quiet move counts. Each king's rays are walked
// once for both questions.
[[gnu::always_inline]] inline int32_t CountQuiet(const Sides& p, uint8_t side, int32_t& crowning) {
    const uint32_t men = p.own & ~p.kings;
    if ((men & (JumpFrom<0>(p.opp, p.empty) | JumpFrom<1>(p.opp, p.empty) |
                JumpFrom<2>(p.opp, p.empty) | JumpFrom<3>(p.opp, p.empty))) != 0)
        return -1;
    int32_t n = 0;
    for (uint32_t k = p.own & p.kings; k != 0; k &= k - 1) {
        const int s = std::countr_zero(k);
        uint32_t open = 0;
        const bool a = KingRay<kDownRight>(s, p, open);
        const bool b = KingRay<kDownLeft>(s, p, open);
        const bool c = KingRay<kUpRight>(s, p, open);
        const bool d = KingRay<kUpLeft>(s, p, open);
        if (a | b | c | d) return -1;
        n += CountBits(open);
    }
    // A step of 4 is one of the two forward steps from every row; the
    // other is 3 from rows 1, 3, 5, 7 and 5 from rows 2, 4, 6, 8, whose
    // targets lie on different rows. So the steps fall into two masks of
    // targets, each target once, without telling the directions apart.
    const uint32_t straight = (side == Bottom ? men << 4 : men >> 4) & p.empty;
    const uint32_t skew = (side == Bottom ? ((men & kOddNotA) << 3) | ((men & kEvenNotH) << 5)
                                          : ((men & kOddNotA) >> 5) | ((men & kEvenNotH) >> 3)) &
                          p.empty;
    n += CountBits64(uint64_t{straight} << 32 | skew);
    crowning = 0;
    const uint32_t row = squares::CrowningMask(side);
    if (((straight | skew) & row) != 0)
        crowning = CountBits64(uint64_t{straight & row} << 32 | (skew & row));
    return n;
}

}  // namespace fastgen

// The number of legal moves of side: captures are followed path by path,
// quiet moves only counted.
[[gnu::always_inline]] inline int32_t CountMoves(const Board32& board, uint8_t side) {
    const fastgen::Sides p = fastgen::SidesOf(board, side);
    int32_t crowning;
    const int32_t quiet = fastgen::CountQuiet(p, side, crowning);
    if (quiet >= 0) return quiet;
    // Built in place: the count is the common case at the last ply.
    fastgen::CountSink sink;
    fastgen::CapturesInline(p, side, sink);
    return sink.count;
}
