#include <gtest/gtest.h>

#include <random>

#include "rules/Hdoska.h"
#include "rules/Hlistmoves.h"
#include "rules/Notation.h"
#include "tests/rules/RandomPosition.h"

namespace {

Position Parse(const char* fen) {
    std::string error;
    auto position = ParseFen(fen, error);
    EXPECT_TRUE(position) << error;
    return *position;
}

TEST(Board, StartingPositionAndBorder) {
    HDoska board;
    board.SetInitial();
    EXPECT_EQ(ToFen(board, Bottom),
              "W:Wa1,c1,e1,g1,b2,d2,f2,h2,a3,c3,e3,g3:Bb6,d6,f6,h6,a7,c7,e7,g7,b8,d8,f8,h8");
    EXPECT_EQ(board.topKings + board.bottomKings, 0);
    for (int i = 0; i < 10; ++i) {
        for (const Point p : {Point{0, i}, Point{9, i}, Point{i, 0}, Point{i, 9}})
            EXPECT_EQ(board.At(p).owner, Blocked);
    }
    for (const Point p : kSquareOrder) EXPECT_EQ(board.At(p).pos, p);
    board.Clear();
    EXPECT_EQ(ToFen(board, Bottom), "W:W:B");
    EXPECT_EQ(board.At(Point{0, 5}).owner, Blocked);
}

TEST(Board, ApplyThenUndoRestoresEverythingOverRandomGames) {
    std::mt19937 rng(7);
    HListMoves lists[40];
    int crownings = 0, kingCaptures = 0, crownedInCapture = 0;
    for (int game = 0; game < 300; ++game) {
        HDoska board = RandomPosition(rng);
        HDoska before[40];
        const HMove* played[40];
        uint8_t side = game % 2 ? Top : Bottom;
        int ply = 0;
        for (; ply < 40; ++ply) {
            const int32_t n = lists[ply].Generate(side, board);
            if (n == 0) break;
            const HMove& move = lists[ply].Move(static_cast<int32_t>(rng() % n));
            before[ply] = board;
            board.ApplyMove(move);
            played[ply] = &move;
            crownings += move.From().king == 0 && move.To().king == 1;
            crownedInCapture += move.From().king == 0 && move.To().king == 1 && move.IsCapture();
            for (int i = 0; i < move.capturedCount; ++i) kingCaptures += move.captured[i].king;
            // The counters always count the kings on the board.
            int kings[4] = {0, 0, 0, 0};
            for (const Point p : kSquareOrder)
                if (board.At(p).owner >= Bottom) kings[board.At(p).owner] += board.At(p).king;
            ASSERT_EQ(kings[Bottom], board.bottomKings);
            ASSERT_EQ(kings[Top], board.topKings);
            side = Opponent(side);
        }
        while (ply-- > 0) {
            board.UndoMove(*played[ply]);
            ASSERT_TRUE(SamePosition(board, before[ply])) << "game " << game << " ply " << ply;
        }
    }
    // The walk must have met the cases that matter.
    EXPECT_GT(crownings, 50);
    EXPECT_GT(crownedInCapture, 3);
    EXPECT_GT(kingCaptures, 50);
}

TEST(Board, KingCaptureReturningToItsSquareStaysThere) {
    Position p = Parse("W:WKb4:Bc3,e3,e5,c5");
    HListMoves list;
    ASSERT_EQ(list.Generate(Bottom, p.board), 4);
    const HMove& ring = list.Move(1);
    ASSERT_EQ(ring.PathText(), "b4:d2:f4:d6:b4");
    const HDoska before = p.board;
    p.board.ApplyMove(ring);
    EXPECT_EQ(ToFen(p.board, Top), "B:WKb4:B");
    p.board.UndoMove(ring);
    EXPECT_TRUE(SamePosition(p.board, before));
}

TEST(Board, CrowningAndKingCaptureMoveTheCounters) {
    Position p = Parse("W:Wb6,Ka1:Bc7,Ke7,Kh8");
    HListMoves list;
    list.Generate(Bottom, p.board);
    // The man jumps c7 to d8, is crowned, and takes e7 on as a king.
    ASSERT_EQ(list.Move(0).PathText(), "b6:d8:h4");
    p.board.ApplyMove(list.Move(0));
    EXPECT_EQ(p.board.bottomKings, 2);
    EXPECT_EQ(p.board.topKings, 1);
    EXPECT_EQ(p.board.At(Point{8, 4}).king, 1);
}

TEST(Board, HandicapTakesTheFrontRowThenH6) {
    HDoska board;
    board.SetInitial();
    const Point order[] = {{2, 6}, {4, 6}, {6, 6}};
    for (const Point p : order) {
        EXPECT_TRUE(board.RemoveHandicapMan());
        EXPECT_EQ(board.At(p).owner, Empty);
        EXPECT_EQ(board.At(Point{8, 6}).owner, Top);
    }
    EXPECT_FALSE(board.RemoveHandicapMan());
    EXPECT_EQ(board.At(Point{8, 6}).owner, Empty);
    EXPECT_FALSE(board.RemoveHandicapMan());  // a fifth call empties h6 again
    EXPECT_EQ(board.At(Point{8, 6}).owner, Empty);
    EXPECT_EQ(ToFen(board, Bottom).find("b6"), std::string::npos);
}

// The handicap may be asked for in any position: a king it takes off leaves
// its side's counter too, and the generator still sees every king move.
TEST(Board, HandicapTakingAKingTakesItOffTheCounter) {
    Position top = Parse("W:Wa1:BKb6,Kg7");
    EXPECT_TRUE(top.board.RemoveHandicapMan());
    EXPECT_EQ(top.board.topKings, 1);
    EXPECT_TRUE(top.board.KingCountersHold());

    Position bottom = Parse("W:WKh6,Kc1:Ba7");
    EXPECT_FALSE(bottom.board.RemoveHandicapMan());
    EXPECT_EQ(bottom.board.At(Point{8, 6}).owner, Empty);
    EXPECT_EQ(bottom.board.bottomKings, 1);
    EXPECT_TRUE(bottom.board.KingCountersHold());
    HListMoves list;
    EXPECT_EQ(list.Generate(Bottom, bottom.board), 7);  // the king on c1: b2, a3, d2 ... h6
}

// Random play from the start with the handicap taken at random moments,
// moves taken back at random: after every board operation the counters
// count the kings on the board, and the moves listed equal those listed from
// a copy whose counters are worked out from its cells.
TEST(Board, KingCountersHoldOverRandomPlayWithTheHandicap) {
    std::mt19937 rng(11);
    HListMoves lists[120];
    HListMoves recount;
    int handicapKings = 0, kingMoves = 0;
    for (int game = 0; game < 200; ++game) {
        HDoska board;
        board.SetInitial();
        const HMove* played[120];
        uint8_t side = Bottom;
        int ply = 0;
        while (ply < 120) {
            if (rng() % 12 == 0) {
                const int32_t kingsBefore = board.topKings + board.bottomKings;
                board.RemoveHandicapMan();
                handicapKings += kingsBefore != board.topKings + board.bottomKings;
                ASSERT_TRUE(board.KingCountersHold()) << "game " << game << " handicap";
                ply = 0;  // moves before the handicap can no longer be taken back
            }
            const int32_t n = lists[ply].Generate(side, board);
            HDoska copy = board;
            copy.topKings = copy.bottomKings = 0;
            for (const Point p : kSquareOrder)
                if (copy.At(p).owner >= Bottom && copy.At(p).king == 1)
                    ++copy.Kings(copy.At(p).owner);
            ASSERT_EQ(recount.Generate(side, copy), n) << "game " << game;
            for (int32_t i = 0; i < n; ++i)
                ASSERT_EQ(recount.Move(i).PathText(), lists[ply].Move(i).PathText());
            if (n == 0) break;
            const HMove& move = lists[ply].Move(int32_t(rng() % uint32_t(n)));
            kingMoves += move.From().king;
            board.ApplyMove(move);
            played[ply++] = &move;
            ASSERT_TRUE(board.KingCountersHold()) << "game " << game << " ply " << ply;
            side = Opponent(side);
            if (ply > 2 && rng() % 10 == 0) {  // take two plies back
                for (int k = 0; k < 2; ++k) {
                    board.UndoMove(*played[--ply]);
                    ASSERT_TRUE(board.KingCountersHold()) << "game " << game << " undo";
                    side = Opponent(side);
                }
            }
        }
    }
    EXPECT_GT(kingMoves, 100);    // kings were met,
    EXPECT_GT(handicapKings, 0);  // and the handicap took some of them off
}

}  // namespace
