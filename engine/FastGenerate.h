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

    void Emit(uint32_t to) {
        sink.Emit(from, static_cast<uint8_t>(std::countr_zero(to)), jumped, jumped & kings,
                  promoted);
    }

    template <int D>
    bool ManJump(int s);
    template <int D>
    bool KingJump(int s);

    bool Man(int s) {
        // Every direction is tried, whatever the others found.
        const bool a = ManJump<kDownRight>(s);
        const bool b = ManJump<kDownLeft>(s);
        const bool c = ManJump<kUpRight>(s);
        const bool d = ManJump<kUpLeft>(s);
        return a | b | c | d;
    }
    bool King(int s) {
        const bool a = KingJump<kDownRight>(s);
        const bool b = KingJump<kDownLeft>(s);
        const bool c = KingJump<kUpRight>(s);
        const bool d = KingJump<kUpLeft>(s);
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
        if (!King(b)) Emit(land);
        promoted = 0;
    } else if (!Man(b)) {
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
    jumped ^= over;
    // A king that can go on capturing from some landing must go on.
    bool more = false;
    for (uint32_t rest = landings; rest != 0; rest &= rest - 1) {
        const int l = std::countr_zero(rest);
        sink.Push(static_cast<uint8_t>(l));
        if (King(l)) more = true;
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

// The squares a side's pieces stand on and the rest of the board, seen from
// the side to move.
struct Sides {
    uint32_t own, opp, empty, kings;
    Sides(const Board32& board, uint8_t side)
        : own(board.pieces[side]),
          opp(board.pieces[Opponent(side)]),
          empty(~(board.pieces[Bottom] | board.pieces[Top])),
          kings(board.kings) {}
};

// Men of the side with a first jump in direction D.
template <int D>
inline uint32_t ManJumpers(uint32_t men, uint32_t opp, uint32_t empty) {
    constexpr int back = rays::kOpposite[D];
    return men & rays::Step<back>(rays::Step<back>(empty) & opp);
}

template <int D>
inline bool KingCanJump(int s, uint32_t opp, uint32_t empty) {
    const uint32_t occupied = ~empty;
    const int a = rays::Nearest<D>(s, occupied);
    return (rays::kRay[D][s] & opp & squares::Bit(a)) != 0 && (rays::kNext[D][a] & empty) != 0;
}

// The pieces of the side to move that can capture.
inline uint32_t Jumpers(const Sides& p) {
    const uint32_t men = p.own & ~p.kings;
    uint32_t jumpers =
        ManJumpers<kDownRight>(men, p.opp, p.empty) | ManJumpers<kDownLeft>(men, p.opp, p.empty) |
        ManJumpers<kUpRight>(men, p.opp, p.empty) | ManJumpers<kUpLeft>(men, p.opp, p.empty);
    for (uint32_t k = p.own & p.kings; k != 0; k &= k - 1) {
        const int s = std::countr_zero(k);
        if (KingCanJump<kDownRight>(s, p.opp, p.empty) ||
            KingCanJump<kDownLeft>(s, p.opp, p.empty) || KingCanJump<kUpRight>(s, p.opp, p.empty) ||
            KingCanJump<kUpLeft>(s, p.opp, p.empty))
            jumpers |= squares::Bit(s);
    }
    return jumpers;
}

template <class Sink>
void GenerateCaptures(const Sides& p, uint8_t side, uint32_t jumpers, Sink& sink) {
    Capture<Sink> capture{sink, p.empty, p.opp, p.kings, squares::CrowningMask(side)};
    for (; jumpers != 0; jumpers &= jumpers - 1) {
        const int s = std::countr_zero(jumpers);
        capture.from = static_cast<uint8_t>(s);
        capture.empty = p.empty | squares::Bit(s);  // lifted: a capture may cross or end here
        sink.Start(static_cast<uint8_t>(s));
        (p.kings & squares::Bit(s)) ? capture.King(s) : capture.Man(s);
    }
}

// Quiet steps of men in direction D: each target with the square it comes from.
template <int D, class Sink>
inline void ManSteps(uint32_t men, uint32_t empty, uint32_t crowning, Sink& sink) {
    for (uint32_t t = rays::Step<D>(men) & empty; t != 0; t &= t - 1) {
        const int to = std::countr_zero(t);
        const uint8_t from = static_cast<uint8_t>(squares::kStep[to][rays::kOpposite[D]]);
        sink.Start(from);
        sink.Push(static_cast<uint8_t>(to));
        sink.Emit(from, static_cast<uint8_t>(to), 0, 0, (crowning >> to) & 1u);
        sink.Pop();
    }
}

template <int D, class Sink>
inline void KingSteps(int s, uint32_t empty, Sink& sink) {
    for (uint32_t t = rays::Open<D>(s, ~empty); t != 0; t &= t - 1) {
        const int to = std::countr_zero(t);
        sink.Push(static_cast<uint8_t>(to));
        sink.Emit(static_cast<uint8_t>(s), static_cast<uint8_t>(to), 0, 0, 0);
        sink.Pop();
    }
}

template <class Sink>
void GenerateQuiet(const Sides& p, uint8_t side, Sink& sink) {
    const uint32_t men = p.own & ~p.kings;
    const uint32_t crowning = squares::CrowningMask(side);
    if (side == Bottom) {
        ManSteps<kUpLeft>(men, p.empty, crowning, sink);
        ManSteps<kUpRight>(men, p.empty, crowning, sink);
    } else {
        ManSteps<kDownLeft>(men, p.empty, crowning, sink);
        ManSteps<kDownRight>(men, p.empty, crowning, sink);
    }
    for (uint32_t k = p.own & p.kings; k != 0; k &= k - 1) {
        const int s = std::countr_zero(k);
        sink.Start(static_cast<uint8_t>(s));
        KingSteps<kDownRight>(s, p.empty, sink);
        KingSteps<kDownLeft>(s, p.empty, sink);
        KingSteps<kUpRight>(s, p.empty, sink);
        KingSteps<kUpLeft>(s, p.empty, sink);
    }
}

// Every legal move of side into sink: the captures when there is one, else
// the quiet moves.
template <class Sink>
void Generate(const Board32& board, uint8_t side, Sink& sink) {
    const Sides p(board, side);
    const uint32_t jumpers = Jumpers(p);
    if (jumpers != 0) {
        GenerateCaptures(p, side, jumpers, sink);
    } else {
        GenerateQuiet(p, side, sink);
    }
}

// Sinks. Start names the piece a path begins with, Push and Pop follow its
// landings, Emit ends a move at its last landing.

// The moves as FastMove records, with room for capacity of them.
struct ListSink {
    FastMove* out;
    int32_t capacity;
    int32_t count = 0;

    void Start(uint8_t) {}
    void Push(uint8_t) {}
    void Pop() {}
    void Emit(uint8_t from, uint8_t to, uint32_t captured, uint32_t capturedKings,
              uint32_t promotes) {
        if (count < capacity)
            out[count] = FastMove{captured,
                                  capturedKings,
                                  from,
                                  to,
                                  static_cast<uint8_t>(promotes),
                                  static_cast<uint8_t>(count < 255 ? count : 255)};
        ++count;
    }
};

struct CountSink {
    int32_t count = 0;
    void Start(uint8_t) {}
    void Push(uint8_t) {}
    void Pop() {}
    void Emit(uint8_t, uint8_t, uint32_t, uint32_t, uint32_t) { ++count; }
};

}  // namespace fastgen

// Lists every legal move of side into out and returns the count, or -1 when
// they do not fit into capacity entries.
inline int32_t GenerateMoves(const Board32& board, uint8_t side, FastMove* out, int32_t capacity) {
    fastgen::ListSink sink{out, capacity};
    fastgen::Generate(board, side, sink);
    return sink.count <= capacity ? sink.count : -1;
}

// The number of legal moves of side: captures are followed path by path,
// quiet moves only counted.
inline int32_t CountMoves(const Board32& board, uint8_t side) {
    const fastgen::Sides p(board, side);
    const uint32_t jumpers = fastgen::Jumpers(p);
    if (jumpers != 0) {
        fastgen::CountSink sink;
        fastgen::GenerateCaptures(p, side, jumpers, sink);
        return sink.count;
    }
    const uint32_t men = p.own & ~p.kings;
    int32_t n = side == Bottom ? std::popcount(rays::Step<rays::kUpLeft>(men) & p.empty) +
                                     std::popcount(rays::Step<rays::kUpRight>(men) & p.empty)
                               : std::popcount(rays::Step<rays::kDownLeft>(men) & p.empty) +
                                     std::popcount(rays::Step<rays::kDownRight>(men) & p.empty);
    for (uint32_t k = p.own & p.kings; k != 0; k &= k - 1) {
        const int s = std::countr_zero(k);
        const uint32_t occupied = ~p.empty;
        n += std::popcount(
            rays::Open<rays::kDownRight>(s, occupied) | rays::Open<rays::kDownLeft>(s, occupied) |
            rays::Open<rays::kUpRight>(s, occupied) | rays::Open<rays::kUpLeft>(s, occupied));
    }
    return n;
}
