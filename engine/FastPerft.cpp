#include "engine/FastPerft.h"

namespace {

// The men's steps in direction D, each made on board and the replies
// counted.
template <int D>
[[gnu::always_inline]] inline int64_t CountAfterSteps(Board32& board, uint8_t side, uint32_t men,
                                                      uint32_t empty) {
    const uint32_t crowning = squares::CrowningMask(side);
    int64_t total = 0;
    for (uint32_t targets = rays::Step<D>(men) & empty; targets != 0; targets &= targets - 1) {
        const uint32_t to = targets & -targets;
        const uint32_t step = to | rays::Step<rays::kOpposite[D]>(to);
        const uint32_t crowned = to & crowning;
        board.pieces[side] ^= step;
        board.kings ^= crowned;
        total += CountMoves(board, Opponent(side));
        board.pieces[side] ^= step;
        board.kings ^= crowned;
    }
    return total;
}

// The copies are chosen by a resolver that runs while the program loads,
// before ThreadSanitizer's runtime is ready, so that build keeps one copy;
// so does every processor family but x86-64, and Windows, whose program files
// have no such resolver.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define PELVANTA_NO_CPU_COPIES
#endif
#endif
#if defined(__SANITIZE_THREAD__) || !defined(__x86_64__) || defined(_WIN32)
#define PELVANTA_NO_CPU_COPIES
#endif
#ifdef PELVANTA_NO_CPU_COPIES
#define PELVANTA_CPU_COPIES
#else
#define PELVANTA_CPU_COPIES [[gnu::target_clones("arch=x86-64-v3", "popcnt", "default")]]
#endif

// The last two plies of a bulk count: side's moves made one by one, the
// replies to each only counted. Nearly all of a bulk perft's time is spent
// here, much of it counting and finding bits, so on processors with the
// instructions for that (popcount; and x86-64-v3's bit scans) a copy built
// for them runs; the default build must run without.
// -1 when the moves do not fit into capacity entries.
PELVANTA_CPU_COPIES int64_t CountTwoPlies(Board32& board, uint8_t side, FastMove* moves,
                                          int32_t capacity) {
    const fastgen::Sides p = fastgen::SidesOf(board, side);
    const uint32_t men = p.own & ~p.kings;
    bool capture =
        (men & (fastgen::JumpFrom<0>(p.opp, p.empty) | fastgen::JumpFrom<1>(p.opp, p.empty) |
                fastgen::JumpFrom<2>(p.opp, p.empty) | fastgen::JumpFrom<3>(p.opp, p.empty))) != 0;
    uint32_t opens[32];
    int32_t kings = 0;
    for (uint32_t k = p.own & p.kings; k != 0 && !capture; k &= k - 1) {
        const int s = std::countr_zero(k);
        uint32_t open = 0;
        const bool a = fastgen::KingRay<rays::kDownRight>(s, p, open);
        const bool b = fastgen::KingRay<rays::kDownLeft>(s, p, open);
        const bool c = fastgen::KingRay<rays::kUpRight>(s, p, open);
        const bool d = fastgen::KingRay<rays::kUpLeft>(s, p, open);
        capture = a | b | c | d;
        opens[kings++] = open;
    }
    if (!capture) {
        // No capture: each quiet move made straight from the masks, with no
        // list in between.
        int64_t total = side == Bottom
                            ? CountAfterSteps<rays::kUpLeft>(board, side, men, p.empty) +
                                  CountAfterSteps<rays::kUpRight>(board, side, men, p.empty)
                            : CountAfterSteps<rays::kDownLeft>(board, side, men, p.empty) +
                                  CountAfterSteps<rays::kDownRight>(board, side, men, p.empty);
        int32_t i = 0;
        for (uint32_t k = p.own & p.kings; k != 0; k &= k - 1) {
            const uint32_t from = k & -k;
            for (uint32_t open = opens[i++]; open != 0; open &= open - 1) {
                const uint32_t step = from | (open & -open);
                board.pieces[side] ^= step;
                board.kings ^= step;
                total += CountMoves(board, Opponent(side));
                board.pieces[side] ^= step;
                board.kings ^= step;
            }
        }
        return total;
    }
    // A capture is known to exist: list the captures without asking again.
    fastgen::ListSink sink{moves, capacity};
    fastgen::AllCaptures(p, side, sink);
    const int32_t n = sink.count;
    if (n > capacity) return -1;
    int64_t total = 0;
    for (int32_t i = 0; i < n; ++i) {
        board.Make(moves[i], side);
        total += CountMoves(board, Opponent(side));
        board.Unmake(moves[i], side);
    }
    return total;
}

}  // namespace

uint64_t FastPerft::Walk(uint8_t side, int32_t depth, int32_t top, bool bulk) {
    if (depth == 0) return 1;
    if (depth == 1 && bulk) return static_cast<uint64_t>(CountMoves(board_, side));
    FastMove* moves = stack_.get() + top;
    if (depth == 2 && bulk) {
        const int64_t total = CountTwoPlies(board_, side, moves, kStackMoves - top);
        if (total < 0) overflow_ = true;
        return total < 0 ? 0 : static_cast<uint64_t>(total);
    }
    const int32_t n = GenerateMoves(board_, side, moves, kStackMoves - top);
    if (n < 0) {
        overflow_ = true;
        return 0;
    }
    if (depth == 1) {
        // The leaves, made and taken back without a call each. The barrier
        // keeps the compiler from folding a make and its take-back away.
        for (int32_t i = 0; i < n; ++i) {
            board_.Make(moves[i], side);
            asm volatile("" : : "m"(board_));
            board_.Unmake(moves[i], side);
        }
        return static_cast<uint64_t>(n);
    }
    uint64_t total = 0;
    for (int32_t i = 0; i < n; ++i) {
        board_.Make(moves[i], side);
        total += Walk(Opponent(side), depth - 1, top + n, bulk);
        board_.Unmake(moves[i], side);
    }
    return total;
}
