// The bit-board generator against the list generator: the same moves, path
// for path, on positions reached by play, and the same perft counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/FastPaths.h"
#include "engine/FastPerft.h"
#include "engine/Rays.h"
#include "rules/Perft.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

uint32_t MaskOf(Point p) {
    return squares::Bit(squares::kIndex[p.x][p.y]);
}

// A move as both generators can describe it: the path, the squares taken,
// and whether a man is crowned.
std::string Key(const std::string& path, uint32_t captured, bool crowns) {
    return path + " x" + std::to_string(captured) + (crowns ? " crowns" : "");
}

std::vector<std::string> ListKeys(Position position) {
    HListMoves list;
    const int32_t n = list.Generate(position.sideToMove, position.board);
    std::vector<std::string> keys;
    for (int32_t i = 0; i < n; ++i) {
        const HMove& m = list.Move(i);
        uint32_t captured = 0;
        for (int32_t c = 0; c < m.capturedCount; ++c) captured |= MaskOf(m.captured[c].pos);
        keys.push_back(Key(m.PathText(), captured, m.From().king == 0 && m.To().king == 1));
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

std::vector<std::string> FastKeys(const Position& position) {
    Board32 board;
    EXPECT_TRUE(board.Load(position.board));
    std::vector<std::string> keys;
    for (const FastPath& p : GeneratePaths(board, position.sideToMove)) {
        keys.push_back(Key(p.Text(), p.move.captured, p.move.promotes != 0));
        // The path's end is the move's end, as make needs it.
        EXPECT_EQ(p.move.to, p.landings[p.landingCount - 1]);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Play from the start: random moves, captures preferred now and then so that
// kings, crowning captures and long sequences turn up.
std::vector<Position> PlayedPositions(uint32_t seed, int games) {
    std::mt19937 rng(seed);
    std::vector<Position> positions;
    HListMoves list;
    for (int g = 0; g < games; ++g) {
        Position position = Fen("start");
        for (int ply = 0; ply < 200; ++ply) {
            const int32_t n = list.Generate(position.sideToMove, position.board);
            if (n == 0) break;
            positions.push_back(position);
            position.board.ApplyMove(list.Move(static_cast<int32_t>(rng() % n)));
            position.sideToMove = Opponent(position.sideToMove);
        }
    }
    return positions;
}

struct Seen {
    int kings = 0, crowningCaptures = 0, samePathEnds = 0, captures = 0;
};

// Notes which hard cases a position's moves contain.
void Tally(const Position& position, Seen& seen) {
    Board32 board;
    board.Load(position.board);
    if (board.kings != 0) ++seen.kings;
    const std::vector<FastPath> paths = GeneratePaths(board, position.sideToMove);
    for (size_t i = 0; i < paths.size(); ++i) {
        const FastMove& m = paths[i].move;
        if (m.captured == 0) continue;
        ++seen.captures;
        if (m.promotes) ++seen.crowningCaptures;
        for (size_t j = i + 1; j < paths.size(); ++j)
            if (paths[j].move.captured == m.captured && paths[j].move.from == m.from &&
                paths[j].move.to == m.to)
                ++seen.samePathEnds;  // a ring, or a king stopping on either side
    }
}

TEST(FastMoves, StepsAndRaysAgreeWithTheSquareTable) {
    for (int s = 0; s < 32; ++s) {
        const uint32_t bit = squares::Bit(s);
        const auto expect = [&](int d) {
            return squares::kStep[s][d] == squares::kNone ? 0u : squares::Bit(squares::kStep[s][d]);
        };
        EXPECT_EQ(rays::Step<rays::kDownRight>(bit), expect(rays::kDownRight)) << s;
        EXPECT_EQ(rays::Step<rays::kDownLeft>(bit), expect(rays::kDownLeft)) << s;
        EXPECT_EQ(rays::Step<rays::kUpRight>(bit), expect(rays::kUpRight)) << s;
        EXPECT_EQ(rays::Step<rays::kUpLeft>(bit), expect(rays::kUpLeft)) << s;
        for (int d = 0; d < 4; ++d) {
            const int a = squares::kStep[s][d];
            const int b = a == squares::kNone ? squares::kNone : squares::kStep[a][d];
            const uint32_t two = b == squares::kNone ? 0u : squares::Bit(b);
            const uint32_t jump = d == 0   ? fastgen::Jump<0>(bit)
                                  : d == 1 ? fastgen::Jump<1>(bit)
                                  : d == 2 ? fastgen::Jump<2>(bit)
                                           : fastgen::Jump<3>(bit);
            EXPECT_EQ(jump, two) << s << " direction " << d;
            EXPECT_EQ(fastgen::kJump[d][s], two);
        }
    }
}

TEST(FastMoves, RulesExamplesGiveTheListsMoves) {
    for (const char* fen :
         {"start", "W:We3:Bd4,d6", "W:Wb6:Bc7,e7", "W:WKa1:Bc3", "W:WKa1:Bc3,f4", "W:WKh2:Ba7",
          "W:WKb4:Bc3,e3,e5,c5", "W:WKa1:Bc3,e5,g3", "W:Wc3,e3:BKh8,f6",
          "B:WKa1,Kc1,e3,g3,Kb6:BKh8,Kf8,d6,b8,Kg5", "W:WKa1,Kc1,e3,g3,Kb6:BKh8,Kf8,d6,b8,Kg5"}) {
        const Position position = Fen(fen);
        EXPECT_EQ(FastKeys(position), ListKeys(position)) << fen;
    }
}

TEST(FastMoves, RingCaptureGivesBothWaysRound) {
    const Position position = Fen("W:WKb4:Bc3,e3,e5,c5");
    const std::vector<std::string> keys = FastKeys(position);
    EXPECT_EQ(keys.size(), 4u);
    Board32 board;
    board.Load(position.board);
    int home = 0;
    for (const FastPath& p : GeneratePaths(board, Bottom)) home += p.move.to == p.move.from;
    EXPECT_EQ(home, 2) << "the king ends on its own square both ways round";
}

TEST(FastMoves, EveryPositionReachedByPlayHasTheListsPaths) {
    const std::vector<Position> positions = PlayedPositions(1101, Scaled(120));
    Seen seen;
    for (const Position& position : positions) {
        ASSERT_EQ(FastKeys(position), ListKeys(position))
            << ToFen(position.board, position.sideToMove);
        Tally(position, seen);
    }
    std::printf(
        "positions %zu, with kings %d, captures %d, crowning captures %d, paths sharing "
        "their ends %d\n",
        positions.size(), seen.kings, seen.captures, seen.crowningCaptures, seen.samePathEnds);
    EXPECT_GT(positions.size(), 2000u / (kSanitized ? 4 : 1));
    EXPECT_GT(seen.kings, 100 / (kSanitized ? 4 : 1));
    EXPECT_GT(seen.crowningCaptures, 0);
}

TEST(FastMoves, EveryRandomEndgameHasTheListsPaths) {
    std::mt19937 rng(77);
    int samePathEnds = 0;
    for (int i = 0; i < Scaled(4000); ++i) {
        const Position position = RandomEndgame(rng, 8, 5);
        ASSERT_EQ(FastKeys(position), ListKeys(position))
            << ToFen(position.board, position.sideToMove);
        Seen seen;
        Tally(position, seen);
        samePathEnds += seen.samePathEnds;
    }
    EXPECT_GT(samePathEnds, 0) << "no ring capture or double landing met";
}

TEST(FastMoves, CountAndListAgreeWithTheListGenerator) {
    for (const Position& position : PlayedPositions(2202, Scaled(40))) {
        Board32 board;
        board.Load(position.board);
        FastMove moves[1024];
        const int32_t n = GenerateMoves(board, position.sideToMove, moves, 1024);
        HListMoves list;
        Position copy = position;
        ASSERT_EQ(n, list.Generate(copy.sideToMove, copy.board));
        ASSERT_EQ(CountMoves(board, position.sideToMove), n);
        EXPECT_EQ(GenerateMoves(board, position.sideToMove, moves, n - 1), n > 0 ? -1 : 0)
            << "a list that does not fit must say so";
    }
}

// Make then unmake of every move gives the board back; make gives the board
// that the list generator's apply gives.
TEST(FastMoves, MakeMatchesApplyAndUnmakeRestores) {
    std::vector<Position> positions = PlayedPositions(3303, Scaled(40));
    std::mt19937 rng(3303);
    for (int i = 0; i < Scaled(2000); ++i) positions.push_back(RandomEndgame(rng, 8, 5));
    for (const Position& position : positions) {
        Board32 board;
        board.Load(position.board);
        HListMoves list;
        Position copy = position;
        const int32_t n = list.Generate(copy.sideToMove, copy.board);
        std::vector<std::string> applied, made;
        for (int32_t i = 0; i < n; ++i) {
            copy.board.ApplyMove(list.Move(i));
            applied.push_back(ToFen(copy.board, Opponent(copy.sideToMove)));
            copy.board.UndoMove(list.Move(i));
        }
        for (const FastPath& p : GeneratePaths(board, position.sideToMove)) {
            Board32 after = board;
            after.Make(p.move, position.sideToMove);
            HDoska shown;
            for (int s = 0; s < 32; ++s) {
                for (const uint8_t side : {Bottom, Top}) {
                    if (!(after.pieces[side] & squares::Bit(s))) continue;
                    const uint8_t king = (after.kings >> s) & 1u;
                    shown.At(kSquareOrder[s]) = HFigura(side, king, kSquareOrder[s]);
                }
            }
            made.push_back(ToFen(shown, Opponent(position.sideToMove)));
            after.Unmake(p.move, position.sideToMove);
            EXPECT_EQ(after.pieces[Bottom], board.pieces[Bottom]);
            EXPECT_EQ(after.pieces[Top], board.pieces[Top]);
            EXPECT_EQ(after.kings, board.kings);
        }
        std::sort(applied.begin(), applied.end());
        std::sort(made.begin(), made.end());
        ASSERT_EQ(made, applied) << ToFen(position.board, position.sideToMove);
    }
}

// The gain worked out from the masks is the score the list generator's
// step operations add up, for every weight set.
TEST(FastMoves, GainEqualsTheListsScore) {
    for (const EngineParams weights : {EngineParams{25, 5, 7, 1, 3}, EngineParams{25, 2, 11, 4, 9},
                                       EngineParams{25, -3, 5, 2, -7}}) {
        ParamsScope scope(weights);
        for (const Position& position : PlayedPositions(4404, Scaled(30))) {
            Board32 board;
            board.Load(position.board);
            HListMoves list;
            Position copy = position;
            const int32_t n = list.Generate(copy.sideToMove, copy.board);
            std::vector<std::string> expected, got;
            for (int32_t i = 0; i < n; ++i)
                expected.push_back(list.Move(i).PathText() + " " +
                                   std::to_string(list.Move(i).score));
            for (const FastPath& p : GeneratePaths(board, position.sideToMove))
                got.push_back(p.Text() + " " +
                              std::to_string(Gain(board, p.move, position.sideToMove, weights)));
            std::sort(expected.begin(), expected.end());
            std::sort(got.begin(), got.end());
            ASSERT_EQ(got, expected) << ToFen(position.board, position.sideToMove);
        }
    }
}

uint64_t FastCount(const Position& position, int32_t depth, bool bulk) {
    Board32 board;
    EXPECT_TRUE(board.Load(position.board));
    static FastPerft perft;
    uint64_t count = 0;
    EXPECT_TRUE(perft.Count(board, position.sideToMove, depth, bulk, count));
    return count;
}

TEST(FastMoves, PerftFromTheStartCountsEveryPath) {
    // By path: two paths to one position count twice.
    const uint64_t expected[] = {1, 7, 49, 302, 1469, 7482, 37986, 190146, 929905};
    const Position start = Fen("start");
    const int32_t deepest = kSanitized ? 7 : 8;
    for (int32_t depth = 0; depth <= deepest; ++depth) {
        EXPECT_EQ(FastCount(start, depth, true), expected[depth]) << depth;
        EXPECT_EQ(FastCount(start, depth, false), expected[depth]) << depth;
    }
}

// Positions full of kings: both generators' perft, the bit-board one counted
// in bulk and made.
TEST(FastMoves, PerftOfKingPositionsEqualsTheListGenerators) {
    const char* fens[] = {
        "W:WKa1,Kc1,e3,g3,Kb6:BKh8,Kf8,d6,b8,Kg5",       "B:WKa1,Kc1,e3,g3,Kb6:BKh8,Kf8,d6,b8,Kg5",
        "W:WKb2,Kg1,c3,e5,a5:BKa7,Kh6,d8,f6,c7,e7",      "B:WKd4,c1,g3,Kh2,a3:BKe7,Kb8,f6,Kc5,h8",
        "B:WKc1,Ka5,e3,g3,Kf4,b2:BKh8,Kd8,Kb6,f6,h6,e7",
    };
    for (const char* fen : fens) {
        Position position = Fen(fen);
        const int32_t depth = kSanitized ? 4 : 5;
        Perft perft(depth);
        const uint64_t expected = perft.Count(position.board, position.sideToMove, depth);
        EXPECT_EQ(FastCount(position, depth, true), expected) << fen;
        EXPECT_EQ(FastCount(position, depth, false), expected) << fen;
    }
}

}  // namespace

namespace {

// Every node of a king-rich tree, not only its counts: the first position
// where the two lists differ is named.
void CompareTree(Position& position, int32_t depth, std::string& first) {
    if (!first.empty()) return;
    if (FastKeys(position) != ListKeys(position)) {
        first = ToFen(position.board, position.sideToMove);
        return;
    }
    if (depth == 0) return;
    HListMoves list;
    const int32_t n = list.Generate(position.sideToMove, position.board);
    for (int32_t i = 0; i < n && first.empty(); ++i) {
        const HMove move = list.Move(i);
        position.board.ApplyMove(move);
        position.sideToMove = Opponent(position.sideToMove);
        CompareTree(position, depth - 1, first);
        position.sideToMove = Opponent(position.sideToMove);
        position.board.UndoMove(move);
    }
}

TEST(FastMoves, EveryNodeOfAKingTreeHasTheListsPaths) {
    Position position = Fen("W:WKa1,Kc1,e3,g3,Kb6:BKh8,Kf8,d6,b8,Kg5");
    std::string first;
    CompareTree(position, kSanitized ? 3 : 5, first);
    EXPECT_EQ(first, "");
}

}  // namespace
