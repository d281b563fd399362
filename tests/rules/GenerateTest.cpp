#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "rules/Hlistmoves.h"
#include "rules/Notation.h"
#include "rules/Perft.h"
#include "tests/rules/RandomPosition.h"

namespace {

std::vector<std::string> Paths(const char* fen) {
    std::string error;
    auto position = ParseFen(fen, error);
    EXPECT_TRUE(position) << error;
    HListMoves list;
    const HDoska before = position->board;
    const int32_t n = list.Generate(position->sideToMove, position->board);
    EXPECT_TRUE(SamePosition(before, position->board)) << "the board must be left as found";
    std::vector<std::string> paths;
    for (int32_t i = 0; i < n; ++i) paths.push_back(list.Move(i).PathText());
    return paths;
}

using V = std::vector<std::string>;

TEST(Generate, StartingPositionInOrder) {
    EXPECT_EQ(Paths("start"), (V{"a3-b4", "c3-b4", "c3-d4", "e3-d4", "e3-f4", "g3-f4", "g3-h4"}));
    HDoska board;
    board.SetInitial();
    HListMoves list;
    list.Generate(Top, board);
    V top;
    for (int32_t i = 0; i < list.Count(); ++i) top.push_back(list.Move(i).PathText());
    EXPECT_EQ(top, (V{"b6-a5", "b6-c5", "d6-c5", "d6-e5", "f6-e5", "f6-g5", "h6-g5"}));
}

TEST(Generate, CaptureIsCompulsoryForTheWholeSide) {
    EXPECT_EQ(Paths("W:Wc3,a1,g1:Bd4,h8"), (V{"c3:e5"}));
}

TEST(Generate, ManGoesOnAfterLanding) {
    EXPECT_EQ(Paths("W:We3:Bd4,d6"), (V{"e3:c5:e7"}));
}

TEST(Generate, ManCrownedMidCaptureGoesOnAsKing) {
    EXPECT_EQ(Paths("W:Wb6:Bc7,e7"), (V{"b6:d8:h4", "b6:d8:g5", "b6:d8:f6"}));
    EXPECT_EQ(Paths("W:Wb6:Bc7"), (V{"b6:d8"}));  // crowned, nothing more to take
}

TEST(Generate, ManCapturesRunDownRightDownLeftUpRightUpLeft) {
    // A man with a capture in each of the four directions: the list follows
    // the fixed direction order, which the clicks and the tie-break rely on.
    EXPECT_EQ(Paths("W:Wd4:Bc5,e5,c3,e3"), (V{"d4:f2", "d4:b2", "d4:f6", "d4:b6"}));
    EXPECT_EQ(Paths("B:Wf4,d4,f6,d6:Be5"), (V{"e5:g3", "e5:c3", "e5:g7", "e5:c7"}));
    // The same order at each later jump of a sequence.
    EXPECT_EQ(Paths("W:Wa5:Bb6,d6,d4,f4,f6"), (V{"a5:c7:e5:g3", "a5:c7:e5:c3", "a5:c7:e5:g7"}));
}

TEST(Generate, KingQuietMovesInDirectionOrder) {
    EXPECT_EQ(Paths("W:WKd4:B"), (V{"d4-e3", "d4-f2", "d4-g1", "d4-c3", "d4-b2", "d4-a1", "d4-e5",
                                    "d4-f6", "d4-g7", "d4-h8", "d4-c5", "d4-b6", "d4-a7"}));
}

TEST(Generate, MatchFindsTheFirstCaptureInDirectionOrder) {
    // Clicking the man selects the move listed first; its second click
    // completes whichever capture it names.
    std::string error;
    auto p = ParseFen("W:Wd4:Bc5,e5,c3,e3", error);
    HListMoves list;
    list.Generate(Bottom, p->board);
    int32_t index = -1;
    EXPECT_EQ(list.Match(Point{4, 4}, 0, index), 1);
    EXPECT_EQ(list.Move(index).PathText(), "d4:f2");
    const char* landings[] = {"f2", "b2", "f6", "b6"};
    for (const char* landing : landings) {
        int32_t at = index;
        ASSERT_EQ(list.Match(Point{landing[0] - 'a' + 1, landing[1] - '0'}, 1, at), 2) << landing;
        EXPECT_EQ(list.Move(at).PathText(), std::string("d4:") + landing);
    }
}

TEST(Generate, KingLandingsFarthestFirst) {
    EXPECT_EQ(Paths("W:WKa1:Bc3"), (V{"a1:h8", "a1:g7", "a1:f6", "a1:e5", "a1:d4"}));
}

TEST(Generate, KingMustLandWhereItCanGoOn) {
    EXPECT_EQ(Paths("W:WKa1:Bc3,f4"), (V{"a1:e5:h2", "a1:e5:g3"}));
}

TEST(Generate, KingQuietMovesNearestFirstByDirection) {
    EXPECT_EQ(Paths("W:WKh2:B"),
              (V{"h2-g1", "h2-g3", "h2-f4", "h2-e5", "h2-d6", "h2-c7", "h2-b8"}));
}

TEST(Generate, KingMayCrossAndEndOnItsOwnSquare) {
    EXPECT_EQ(Paths("W:WKb4:Bc3,e3,e5,c5"),
              (V{"b4:d2:f4:d6:a3", "b4:d2:f4:d6:b4", "b4:d6:f4:d2:a5", "b4:d6:f4:d2:b4"}));
}

TEST(Generate, MiddleLandingThatGoesOnIsTheOnlyWay) {
    // After taking b2 the king may land on c1 only... from the other side:
    // the king on h8 takes e5 and may land on d4, c3 or b2; only c3 lets it
    // take d2 as well, so every move goes through c3.
    EXPECT_EQ(Paths("W:WKh8:Be5,d2"), (V{"h8:c3:e1"}));
    EXPECT_EQ(Paths("W:WKh8:Be5"), (V{"h8:a1", "h8:b2", "h8:c3", "h8:d4"}));
}

TEST(Generate, JumpedPieceBlocksTheLine) {
    // After taking c3 and f6 the king on g7 or h8 looks back down the long
    // diagonal: f6 is still on the board, but jumped, so it can be neither
    // taken again nor crossed to reach c3.
    EXPECT_EQ(Paths("W:WKa1:Bc3,f6"), (V{"a1:d4:h8", "a1:d4:g7", "a1:e5:h8", "a1:e5:g7"}));
}

TEST(Generate, NoMoveGivesZero) {
    EXPECT_TRUE(Paths("W:W:Bb8").empty());
    EXPECT_TRUE(Paths("W:Wa1:Bb2,c3").empty());  // blocked in the corner
    EXPECT_TRUE(Paths("B:Wa1:Bh8").size() == 1);
}

TEST(Generate, MatchFollowsClicks) {
    HDoska board;
    board.SetInitial();
    HListMoves list;
    list.Generate(Bottom, board);
    int32_t index = -1;
    EXPECT_EQ(list.Match(Point{3, 3}, 0, index), 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(list.Match(Point{4, 4}, 1, index), 2);
    EXPECT_EQ(index, 2);
    int32_t unchanged = 5;
    EXPECT_EQ(list.Match(Point{5, 5}, 1, unchanged), 0);
    EXPECT_EQ(unchanged, 5);
    EXPECT_EQ(list.Match(Point{4, 4}, 1, unchanged = 99), 0);  // no move at that index
}

TEST(Generate, MatchEntersACaptureLandingByLanding) {
    std::string error;
    auto p = ParseFen("W:WKb4:Bc3,e3,e5,c5", error);
    HListMoves list;
    list.Generate(Bottom, p->board);
    int32_t index = 0;
    const Point clicks[] = {{2, 4}, {6, 4}};  // b4 is ambiguous, f4 after d2 or d6
    EXPECT_EQ(list.Match(clicks[0], 0, index), 1);
    EXPECT_EQ(list.Match(Point{4, 6}, 1, index), 1);  // d6
    EXPECT_EQ(index, 2);
    EXPECT_EQ(list.Match(clicks[1], 2, index), 1);
    EXPECT_EQ(list.Match(Point{4, 2}, 3, index), 1);
    EXPECT_EQ(list.Match(Point{2, 4}, 4, index), 2);  // back home
    EXPECT_EQ(list.Move(index).PathText(), "b4:d6:f4:d2:b4");
}

TEST(Generate, PerftFromTheStartCountsEveryPath) {
    const uint64_t expected[] = {1, 7, 49, 302, 1469, 7482, 37986, 190146};
    HDoska board;
    board.SetInitial();
    Perft perft(8);
    for (int depth = 0; depth <= 7; ++depth) {
        EXPECT_EQ(perft.Count(board, Bottom, depth, true), expected[depth]) << depth;
        if (depth <= 6) {
            EXPECT_EQ(perft.Count(board, Bottom, depth, false), expected[depth]);
        }
    }
}

// Counts distinct positions instead of paths: moves of one node that lead to
// the same position count once. The published table gives 929899 at depth 8
// where paths give 929905.
uint64_t PerftByPosition(HDoska& board, uint8_t side, int depth) {
    if (depth == 0) return 1;
    HListMoves list;
    const int32_t n = list.Generate(side, board);
    std::set<std::string> seen;
    uint64_t total = 0;
    for (int32_t i = 0; i < n; ++i) {
        board.ApplyMove(list.Move(i));
        if (seen.insert(ToFen(board, side)).second)
            total += PerftByPosition(board, Opponent(side), depth - 1);
        board.UndoMove(list.Move(i));
    }
    return total;
}

TEST(Generate, PerftByPositionMatchesThePublishedTable) {
    HDoska board;
    board.SetInitial();
    EXPECT_EQ(PerftByPosition(board, Bottom, 7), 190146u);  // no merge yet at 7
    Perft perft(8);
    EXPECT_EQ(perft.Count(board, Bottom, 8), 929905u);
    EXPECT_EQ(PerftByPosition(board, Bottom, 8), 929899u);
}

TEST(Generate, ListInvariantsOnRandomPositions) {
    std::mt19937 rng(11);
    HListMoves list;
    int longest = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        HDoska board = RandomPosition(rng, 12, trial % 3 == 0 ? 70 : 20);
        const uint8_t side = trial % 2 ? Top : Bottom;
        const HDoska before = board;
        const int32_t n = list.Generate(side, board);
        ASSERT_TRUE(SamePosition(before, board));
        ASSERT_EQ(list.CountMoves(side, board), n) << ToFen(board, side);
        std::set<std::string> paths;
        bool anyCapture = false;
        for (int32_t i = 0; i < n; ++i) {
            const HMove& m = list.Move(i);
            anyCapture |= m.IsCapture();
            ASSERT_EQ(m.IsCapture(), anyCapture) << "captures and quiet moves never mix";
            ASSERT_EQ(m.stepCount, m.IsCapture() ? m.capturedCount + 1 : 2);
            ASSERT_EQ(m.From(), board.At(m.From().pos));
            std::set<std::pair<int, int>> taken;
            for (int c = 0; c < m.capturedCount; ++c) {
                ASSERT_EQ(m.captured[c].owner, Opponent(side));
                ASSERT_TRUE(taken.insert({m.captured[c].pos.x, m.captured[c].pos.y}).second);
            }
            longest = std::max(longest, m.capturedCount);
            ASSERT_TRUE(paths.insert(m.PathText()).second) << "duplicate " << m.PathText();
        }
        for (const std::string& p : paths) {
            for (const std::string& q : paths)
                ASSERT_FALSE(p != q && q.rfind(p + ":", 0) == 0) << p << " prefixes " << q;
        }
    }
    EXPECT_GE(longest, 4);
}

TEST(Generate, LongestCapturesFitTheRecord) {
    // A king that can take eight men in one go; the record holds up to twelve.
    const std::vector<std::string> paths = Paths("W:WKa1:Bb2,d2,f2,b4,f4,b6,d6,f6,h6");
    ASSERT_FALSE(paths.empty());
    size_t most = 0;
    for (const std::string& p : paths)
        most = std::max<size_t>(most, std::count(p.begin(), p.end(), ':'));
    EXPECT_GE(most, 5u);
}

}  // namespace
