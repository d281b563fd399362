#include <gtest/gtest.h>
#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <QAction>
#include <QLineEdit>
#include <QWidget>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/PiecePictures.h"
#include "engine/EngineParams.h"
#include "platform/MainWindow.h"
#include "platform/Os.h"
#include "rules/Hparty.h"
#include "rules/Notation.h"
#include "tests/app/GuiTestSupport.h"
#include "tests/platform/TestProbe.h"

using namespace gui_test;

namespace {

// A stand-in for the main window: it owns the controls the game draws on and
// relays the game's messages as the window does.
class Host : public QWidget {
public:
    Host() : board(this), party(this, &board) {
        board.SetCanvasSize(QSize(384, 384));
        const qreal ratio = board.CanvasRatio();
        bottomMan = PaintPiece(Bottom, false, ratio);
        topMan = PaintPiece(Top, false, ratio);
        bottomKing = PaintPiece(Bottom, true, ratio);
        topKing = PaintPiece(Top, true, ratio);
        cell = PaintEmptySquare(ratio);
        party.bottomManPicture = &bottomMan;
        party.topManPicture = &topMan;
        party.bottomKingPicture = &bottomKing;
        party.topKingPicture = &topKing;
        party.cellPicture = &cell;
        party.movesList = &movesLine;
        party.handicapItem = &handicap;
        party.ClearBoard();
        EXPECT_TRUE(AttachMainWindowMessages(this));
        show();
    }
    ~Host() override { DetachMainWindowMessages(); }

    std::vector<uint32_t> ends;  // 1026 and 1027 as they arrive

    // Sets a position with its side to move and starts that side's turn.
    void SetPosition(const char* fen, uint8_t duel) {
        party.Halt();
        party.duel = duel;
        gui_test::SetPosition(party, fen);
    }

    // Clicks every square of a path, as a player enters a move.
    void Enter(const std::vector<const char*>& squares) {
        for (const char* s : squares) ClickSquare(&board, Sq(s));
    }

    bool AllWorkersStopped() const {
        for (const HAnalyzThread& worker : party.workers)
            if (!worker.Stopped()) return false;
        return true;
    }

    bool AnyWorkerSearching() const { return !AllWorkersStopped(); }

    ImageControl board;
    QLineEdit movesLine;
    QAction handicap{"Фора"};
    QPixmap bottomMan, topMan, bottomKing, topKing, cell;
    HParty party;

protected:
    bool event(QEvent* event) override {
        if (!IsAppMessage(event->type())) return QWidget::event(event);
        if (event->type() == QEvent::Type(kMsgWorkerReady)) {
            party.OnWorkerReady();
        } else {
            ends.push_back(uint32_t(event->type()));
        }
        return true;
    }
};

class PartyTest : public ::testing::Test {
protected:
    void SetUp() override { saved = engineParams; }
    void TearDown() override { engineParams = saved; }

    // Texts of every legal move of side in the position given.
    static std::set<std::string> LegalTexts(HDoska board, uint8_t side) {
        HListMoves list;
        list.Generate(side, board);
        std::set<std::string> texts;
        for (int32_t i = 0; i < list.Count(); ++i) texts.insert(list.Move(i).Text());
        return texts;
    }

    EngineParams saved;
};

std::string LastMove(const QLineEdit& line) {
    const QString text = line.text();
    return text.mid(text.lastIndexOf(" > ")).toStdString();
}

int MoveCount(const QLineEdit& line) {
    return int(line.text().count(" > "));
}

// Twelve flying kings give Bottom 66 quiet moves.
const char kManyMoves[] = "W:WKg1,Kf8,Kd8,Ka1,Kh6,Ke1,Ka7,Kh4,Ka5,Ka3,Ke5,Kc1:Bh8";

// ---------------------------------------------------------------- drawing

TEST_F(PartyTest, EmptyBoardShowsOnlyGreySquares) {
    Host host;
    for (const Point& square : kSquareOrder) EXPECT_EQ(Shown(host.party, square), "empty");
    // Light squares keep the window's colour.
    const QImage& canvas = host.board.Canvas();
    EXPECT_EQ(canvas.pixelColor(HParty::SquareTopLeft(Sq("b1")) + QPoint(24, 24)),
              host.board.palette().color(QPalette::Window));
}

TEST_F(PartyTest, RedrawShowsEveryPieceWhereTheBoardHoldsIt) {
    Host host;
    host.SetPosition("W:WKa1,c3,e3,g5:Bb6,Kd8,f6,Kh2", 1);
    for (const Point& square : kSquareOrder)
        EXPECT_EQ(Shown(host.party, square), Held(host.party.board, square)) << square.Text();
    EXPECT_EQ(Shown(host.party, Sq("a1")), "bottom king");
    EXPECT_EQ(Shown(host.party, Sq("d8")), "top king");
}

TEST_F(PartyTest, SquaresAreLaidOutWithRowEightAtTheTop) {
    EXPECT_EQ(HParty::SquareTopLeft(Sq("a1")), QPoint(0, 336));
    EXPECT_EQ(HParty::SquareTopLeft(Sq("h8")), QPoint(336, 0));
    EXPECT_EQ(HParty::SquareTopLeft(Sq("c3")), QPoint(96, 240));
}

// ---------------------------------------------------------------- turns and pondering

TEST_F(PartyTest, PlayersTurnPondersEveryMoveOnThePositionAfterIt) {
    engineParams.searchDepth = 25;
    Host host;
    host.party.NewGame(Bottom, 0);
    HParty& party = host.party;
    ASSERT_EQ(party.moves.Count(), 7);
    EXPECT_EQ(party.ponderCount, 7);
    EXPECT_EQ(host.board.CursorKindShown(), CursorKind::Hand);
    EXPECT_TRUE(host.AnyWorkerSearching());

    HDoska start;
    start.SetInitial();
    EXPECT_EQ(ToFen(party.board, Bottom), ToFen(start, Bottom));  // every move taken back
    for (int32_t i = 0; i < 7; ++i) {
        HDoska after = start;
        after.ApplyMove(party.moves.Move(i));
        ASSERT_NE(party.ponderWorkers[i], nullptr);
        const HListMoves& list = party.ponderWorkers[i]->RootList();
        std::set<std::string> replies;
        for (int32_t j = 0; j < list.Count(); ++j) replies.insert(list.Move(j).Text());
        EXPECT_EQ(replies, LegalTexts(after, Top)) << party.moves.Move(i).Text();
    }
    EXPECT_EQ(party.LiveSearches(), 7);
    std::set<const HAnalyzThread*> distinct(party.ponderWorkers, party.ponderWorkers + 7);
    EXPECT_EQ(distinct.size(), 7u) << "one worker per move";
}

TEST_F(PartyTest, QuietClickMovePlaysAtOnceAndTheComputerAnswers) {
    engineParams.searchDepth = 3;
    Host host;
    host.party.NewGame(Bottom, 0);
    host.party.SetThinkTime(100);
    host.Enter({"c3", "d4"});
    EXPECT_EQ(host.movesLine.text().toStdString(), " > c3-d4");
    EXPECT_EQ(Shown(host.party, Sq("c3")), "empty");
    EXPECT_EQ(Shown(host.party, Sq("d4")), "bottom man");
    EXPECT_EQ(host.party.sideToMove, Top);
    EXPECT_EQ(host.board.CursorKindShown(), CursorKind::HourGlass);

    ASSERT_TRUE(WaitFor([&] { return MoveCount(host.movesLine) == 2; }));
    HDoska expected;
    expected.SetInitial();
    HListMoves bottom;
    bottom.Generate(Bottom, expected);
    expected.ApplyMove(bottom.Move(2));
    EXPECT_EQ(LegalTexts(expected, Top).count(LastMove(host.movesLine)), 1u)
        << LastMove(host.movesLine);
    ASSERT_TRUE(WaitFor(
        [&] { return host.party.sideToMove == Bottom && !host.party.animTimer.Enabled(); }));
    EXPECT_EQ(host.board.CursorKindShown(), CursorKind::Hand);
    for (const Point& square : kSquareOrder)
        EXPECT_EQ(Shown(host.party, square), Held(host.party.board, square)) << square.Text();
}

TEST_F(PartyTest, FinishedKeptWorkerAnswersWithoutTheThinkingTimer) {
    engineParams.searchDepth = 3;
    Host host;
    host.party.NewGame(Bottom, 0);
    host.party.SetThinkTime(600000);  // the timer cannot be what moves
    ASSERT_TRUE(WaitFor([&] { return host.AllWorkersStopped(); }));

    host.Enter({"c3", "d4"});
    // The computer's turn has begun and its notice waits in the queue.
    EXPECT_TRUE(host.party.thinkTimer.Enabled());
    EXPECT_EQ(MoveCount(host.movesLine), 1);
    DeliverPosted();
    EXPECT_EQ(MoveCount(host.movesLine), 2);
    EXPECT_EQ(host.party.thinkTimer.Ticks(), 0);
    EXPECT_FALSE(host.party.thinkTimer.Enabled());
    EXPECT_EQ(host.party.activeWorker, nullptr);
}

TEST_F(PartyTest, UnfinishedSearchIsTakenAtTheTimersTick) {
    engineParams.searchDepth = 25;
    Host host;
    host.party.NewGame(Bottom, 0);
    host.party.SetThinkTime(50);
    host.Enter({"c3", "d4"});
    ASSERT_NE(host.party.activeWorker, nullptr);
    EXPECT_FALSE(host.party.activeWorker->Stopped());
    ASSERT_TRUE(WaitFor([&] { return MoveCount(host.movesLine) == 2; }));
    EXPECT_EQ(host.party.thinkTimer.Ticks(), 1);
    EXPECT_EQ(host.party.activeWorker, nullptr);
    EXPECT_TRUE(host.AllWorkersStopped());  // nothing thinks during the animation
}

TEST_F(PartyTest, ALateNoticeChangesNothing) {
    engineParams.searchDepth = 25;
    Host host;
    host.party.NewGame(Bottom, 0);
    host.party.SetThinkTime(30);
    host.Enter({"c3", "d4"});
    ASSERT_TRUE(WaitFor([&] { return MoveCount(host.movesLine) == 2; }));
    const std::string fen = ToFen(host.party.board, host.party.sideToMove);
    PostToMainWindow(kMsgWorkerReady);
    DeliverPosted();
    EXPECT_EQ(ToFen(host.party.board, host.party.sideToMove), fen);
    EXPECT_EQ(MoveCount(host.movesLine), 2);
}

TEST_F(PartyTest, EquallyGoodRepliesAreChosenAtRandom) {
    // With every weight 0 all seven openings of Top are worth the same, on a
    // finished search or an unfinished one: the computer's choice among them
    // must vary from game to game.
    engineParams = EngineParams{1, 0, 0, 0, 0};
    SeedRandom(2024);
    Host host;
    host.party.SetThinkTime(1);
    std::set<std::string> chosen;
    for (int game = 0; game < 30; ++game) {
        host.movesLine.clear();
        host.SetPosition(
            "B:Wa1,c1,e1,g1,b2,d2,f2,h2,a3,c3,e3,g3:Bb6,d6,f6,h6,a7,c7,e7,g7,b8,d8,f8,h8", 0);
        ASSERT_TRUE(WaitFor([&] { return MoveCount(host.movesLine) == 1; }));
        chosen.insert(LastMove(host.movesLine));
    }
    host.party.Halt();
    EXPECT_GE(chosen.size(), 4u);
    HDoska start;
    start.SetInitial();
    const std::set<std::string> legal = LegalTexts(start, Top);
    for (const std::string& move : chosen) EXPECT_EQ(legal.count(move), 1u) << move;
}

TEST_F(PartyTest, SingleReplyNeedsNoThreadAndFollowsTheAnimation) {
    engineParams.searchDepth = 25;
    Host host;
    // After c3-d4 Top must take with e5 (its only move); the other Bottom move
    // leaves Top two quiet moves.
    host.SetPosition("W:Wc3,h2:Be5,h8", 0);
    host.party.SetThinkTime(600000);
    const int32_t n = host.party.moves.Count();
    ASSERT_GE(n, 2);
    int32_t c3d4 = -1;
    for (int32_t i = 0; i < n; ++i)
        if (host.party.moves.Move(i).Text() == " > c3-d4") c3d4 = i;
    ASSERT_GE(c3d4, 0);
    const HAnalyzThread* forced = host.party.ponderWorkers[c3d4];
    ASSERT_EQ(forced->RootList().Count(), 1);
    EXPECT_TRUE(forced->Stopped());  // no thread for a forced reply
    EXPECT_FALSE(forced->Busy());

    host.Enter({"c3", "d4"});
    DeliverPosted();
    EXPECT_EQ(LastMove(host.movesLine), " > e5:c3");
}

TEST_F(PartyTest, MoveBeyondTheFiftiethIsAnsweredByAFreshSearch) {
    engineParams.searchDepth = 3;
    Host host;
    host.SetPosition(kManyMoves, 0);
    HParty& party = host.party;
    const int32_t n = party.moves.Count();
    ASSERT_GT(n, HParty::kWorkers + 10);
    EXPECT_EQ(party.ponderCount, HParty::kWorkers);
    party.SetThinkTime(50);

    const HMove late = party.moves.Move(n - 1);  // a move nobody pondered
    ClickSquare(&host.board, late.steps[0].pos);
    ClickSquare(&host.board, late.steps[late.stepCount - 1].pos);
    ASSERT_EQ(party.humanMoveIndex, n - 1);
    ASSERT_NE(party.activeWorker, nullptr);
    EXPECT_EQ(party.LiveSearches(), 1);
    for (const HAnalyzThread& worker : party.workers)
        EXPECT_TRUE(&worker == party.activeWorker || worker.Stopped());

    HDoska after = party.board;  // Top to move, the player's move applied
    std::set<std::string> searched;
    for (int32_t i = 0; i < party.activeWorker->RootList().Count(); ++i)
        searched.insert(party.activeWorker->RootList().Move(i).Text());
    EXPECT_EQ(searched, LegalTexts(after, Top));
    ASSERT_TRUE(WaitFor([&] { return MoveCount(host.movesLine) == 2; }));
    EXPECT_EQ(LegalTexts(after, Top).count(LastMove(host.movesLine)), 1u);
    ASSERT_TRUE(WaitFor([&] { return party.sideToMove == Bottom && !party.animTimer.Enabled(); }));
    EXPECT_EQ(party.ponderCount, std::min(party.moves.Count(), HParty::kWorkers));
}

TEST_F(PartyTest, PonderedMoveAmongMoreThanFiftyKeepsItsWorker) {
    engineParams.searchDepth = 25;
    Host host;
    host.SetPosition(kManyMoves, 0);
    HParty& party = host.party;
    ASSERT_GT(party.moves.Count(), HParty::kWorkers);
    const HMove first = party.moves.Move(0);
    ClickSquare(&host.board, first.steps[0].pos);
    ClickSquare(&host.board, first.steps[1].pos);
    ASSERT_EQ(party.humanMoveIndex, 0);
    EXPECT_EQ(party.activeWorker, party.ponderWorkers[0]);
    EXPECT_EQ(party.LiveSearches(), 1);
    for (const HAnalyzThread& worker : party.workers)
        EXPECT_TRUE(&worker == party.activeWorker || worker.Stopped());
    party.Halt();
    EXPECT_EQ(party.LiveSearches(), 0);
}

TEST_F(PartyTest, NewGameWhileTheComputerThinksStopsEveryWorkerFirst) {
    engineParams.searchDepth = 25;
    Host host;
    host.party.NewGame(Bottom, 0);
    host.Enter({"c3", "d4"});
    ASSERT_NE(host.party.activeWorker, nullptr);
    ASSERT_TRUE(host.AnyWorkerSearching());

    host.party.Halt();
    EXPECT_TRUE(host.AllWorkersStopped());
    EXPECT_EQ(host.party.LiveSearches(), 0);
    EXPECT_EQ(host.party.activeWorker, nullptr);
    EXPECT_EQ(host.party.ponderCount, 0);
    EXPECT_FALSE(host.party.thinkTimer.Enabled());
    EXPECT_FALSE(host.party.animTimer.Enabled());
    EXPECT_FALSE(host.party.blinkTimer.Enabled());

    host.movesLine.clear();
    host.party.NewGame(Bottom, 0);
    EXPECT_EQ(host.party.ponderCount, 7);  // the player moves first: pondering at once
    QTest::qWait(1200);                    // a stale notice or tick would move now
    HDoska start;
    start.SetInitial();
    EXPECT_EQ(ToFen(host.party.board, host.party.sideToMove), ToFen(start, Bottom));
    EXPECT_TRUE(host.movesLine.text().isEmpty());
}

TEST_F(PartyTest, AStaleNoticeCannotTakeALaterTurnsMoveEarly) {
    engineParams.searchDepth = 25;
    Host host;
    host.party.NewGame(Bottom, 0);
    host.party.SetThinkTime(600000);
    host.Enter({"c3", "d4"});
    HAnalyzThread* kept = host.party.activeWorker;
    ASSERT_NE(kept, nullptr);
    ASSERT_FALSE(kept->Finished());  // the deepest search goes on
    // A notice left over from an earlier turn or game arrives now.
    PostToMainWindow(kMsgWorkerReady);
    DeliverPosted();
    EXPECT_EQ(MoveCount(host.movesLine), 1);
    EXPECT_EQ(host.party.activeWorker, kept);
    EXPECT_TRUE(host.party.thinkTimer.Enabled());
    // The tick still takes the best published reply.
    host.party.TakeResult();
    EXPECT_EQ(MoveCount(host.movesLine), 2);
    EXPECT_EQ(host.party.activeWorker, nullptr);
    EXPECT_EQ(host.party.LiveSearches(), 0) << "nothing thinks during the animation";
    host.party.Halt();
}

TEST_F(PartyTest, TakeResultWithoutAReplyEndsTheGameInsteadOfPlayingNothing) {
    engineParams.searchDepth = 25;
    Host host;
    // Top, to move against the computer, is shut in: its list is empty.
    host.party.Halt();
    host.party.duel = 0;
    gui_test::SetPosition(host.party, "W:Wa5,b6,c5,g3,f2:Ba7,h4");
    host.party.Halt();
    host.party.sideToMove = Top;
    host.party.moves.Generate(Top, host.party.board);
    ASSERT_EQ(host.party.moves.Count(), 0);
    const std::string fen = ToFen(host.party.board, Top);
    host.party.ComputerTurn();  // nothing pondered: a fresh search of no moves
    ASSERT_NE(host.party.activeWorker, nullptr);
    EXPECT_EQ(host.party.activeWorker->PickMove(), nullptr);
    host.party.TakeResult();
    EXPECT_EQ(ToFen(host.party.board, host.party.sideToMove), fen);
    EXPECT_FALSE(host.party.thinkTimer.Enabled());
    EXPECT_FALSE(host.party.animTimer.Enabled());
    EXPECT_EQ(host.party.activeWorker, nullptr);
    EXPECT_EQ(host.party.LiveSearches(), 0);
    EXPECT_TRUE(host.movesLine.text().isEmpty());
    DeliverPosted();
    EXPECT_EQ(host.ends, std::vector<uint32_t>{kMsgTopCannotMove});
}

TEST_F(PartyTest, ManyRestartsDuringPonderingNeverWaitForAThread) {
    engineParams.searchDepth = 25;
    Host host;
    HParty& party = host.party;
    for (int round = 0; round < 40; ++round) {
        host.movesLine.clear();
        party.NewGame(Bottom, 0);
        // Only free workers ponder; the rest of the pool may still be
        // finishing searches abandoned by the rounds before.
        ASSERT_LE(party.ponderCount, 7);
        EXPECT_EQ(party.LiveSearches(), party.ponderCount);
        for (int32_t i = 0; i < party.ponderCount; ++i) {
            const HAnalyzThread* worker = party.ponderWorkers[i];
            ASSERT_NE(worker, nullptr);
            EXPECT_TRUE(worker->Claimed());
            for (int32_t j = i + 1; j < party.ponderCount; ++j)
                EXPECT_NE(worker, party.ponderWorkers[j]);
        }
        if (round % 3 == 1) {
            host.Enter({"c3", "d4"});  // and again while the computer thinks
            EXPECT_EQ(party.LiveSearches(), 1);
        }
        party.Halt();
        EXPECT_EQ(party.LiveSearches(), 0);
        EXPECT_TRUE(host.AllWorkersStopped());
    }
    // The last game is played on: the computer answers.
    party.NewGame(Bottom, 0);
    party.SetThinkTime(50);
    host.movesLine.clear();
    host.Enter({"c3", "d4"});
    ASSERT_TRUE(WaitFor([&] { return MoveCount(host.movesLine) == 2; }));
    ASSERT_TRUE(WaitFor([&] { return party.sideToMove == Bottom && !party.animTimer.Enabled(); }));
    EXPECT_EQ(party.LiveSearches(), party.ponderCount);
}

// Held threads stand for a machine too busy to run them: wherever they stop,
// every call of the game returns and the game goes on. Each of the three
// points keeps its worker busy: a thread held at its start (the game's first
// fifty, and those made at first use once they run out), one held as it
// wakes for a task, one held as its task ends.
TEST_F(PartyTest, WhenEveryWorkerIsStillFinishingAbandonedSearchesTheGameGoesOn) {
    engineParams.searchDepth = 25;
    for (const ProbePoint point :
         {ProbePoint::WorkerStart, ProbePoint::WorkerTaskTaken, ProbePoint::WorkerTaskEnd}) {
        SCOPED_TRACE(int(point));
        std::optional<HoldScope> hold(point);
        Host host;
        HParty& party = host.party;
        int32_t rounds = 0;
        for (; rounds < HParty::kSearchWorkers; ++rounds) {
            party.NewGame(Bottom, 0);
            if (party.ponderCount < 7) break;
            party.Halt();
        }
        // 7 workers a round, all abandoned and busy: the pool runs dry on time.
        EXPECT_EQ(rounds, HParty::kSearchWorkers / 7);
        EXPECT_EQ(party.ponderCount, HParty::kSearchWorkers % 7);
        EXPECT_EQ(party.LiveSearches(), party.ponderCount);

        // The player's move was not pondered and no worker is free: the moves'
        // own gains choose the reply, at the tick.
        party.SetThinkTime(20);
        host.movesLine.clear();
        const HMove late = party.moves.Move(party.moves.Count() - 1);
        ASSERT_GE(party.moves.Count() - 1, party.ponderCount);
        ClickSquare(&host.board, late.steps[0].pos);
        ClickSquare(&host.board, late.steps[late.stepCount - 1].pos);
        ASSERT_NE(party.activeWorker, nullptr);
        EXPECT_TRUE(party.activeWorker->Finished());
        EXPECT_FALSE(party.activeWorker->Busy());
        EXPECT_EQ(party.LiveSearches(), 1);
        HDoska after = party.board;
        ASSERT_TRUE(WaitFor([&] { return MoveCount(host.movesLine) == 2; }));
        EXPECT_EQ(LegalTexts(after, Top).count(LastMove(host.movesLine)), 1u);
        ASSERT_TRUE(
            WaitFor([&] { return party.sideToMove == Bottom && !party.animTimer.Enabled(); }));
        EXPECT_EQ(party.ponderCount, 0) << "still nothing free";

        // Once the threads run again, pondering resumes.
        hold.reset();
        ASSERT_TRUE(WaitFor(
            [&] {
                for (const HAnalyzThread& worker : party.workers)
                    if (worker.Busy()) return false;
                return true;
            },
            120000));
        party.Halt();
        party.NewGame(Bottom, 0);
        EXPECT_EQ(party.ponderCount, 7);
        party.Halt();
    }
}

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// The process's size as the kernel counts it against RLIMIT_AS.
rlim_t VirtualBytes() {
    std::ifstream status("/proc/self/statm");
    rlim_t pages = 0;
    status >> pages;
    return pages * rlim_t(sysconf(_SC_PAGESIZE));
}

TEST_F(PartyTest, WhenMemoryRunsOutTheGameGoesOnAsWhenNoWorkerIsFree) {
    engineParams.searchDepth = 25;
    Host host;
    HParty& party = host.party;
    std::optional<HoldScope> hold(ProbePoint::WorkerTaskEnd);  // abandoned workers stay busy
    for (int round = 0; round < 7; ++round) {                  // 49 of the first fifty workers
        party.NewGame(Bottom, 0);
        ASSERT_EQ(party.ponderCount, 7);
    }
    // The next workers are made at their first task: their tables no longer fit.
    rlimit saved{};
    getrlimit(RLIMIT_AS, &saved);
    rlimit tight = saved;
    tight.rlim_cur = VirtualBytes() + 256 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    party.NewGame(Bottom, 0);
    EXPECT_EQ(party.ponderCount, 1) << "the fiftieth worker ponders, the next cannot be made";
    party.SetThinkTime(20);
    host.movesLine.clear();
    const HMove late = party.moves.Move(party.moves.Count() - 1);
    ClickSquare(&host.board, late.steps[0].pos);
    ClickSquare(&host.board, late.steps[late.stepCount - 1].pos);
    const HDoska after = party.board;
    ASSERT_TRUE(WaitFor([&] { return MoveCount(host.movesLine) == 2; }));
    setrlimit(RLIMIT_AS, &saved);
    EXPECT_EQ(LegalTexts(after, Top).count(LastMove(host.movesLine)), 1u);
    party.Halt();
    hold.reset();
}
#endif

TEST_F(PartyTest, TheWinningMoveStopsAllPondering) {
    engineParams.searchDepth = 25;
    Host host;
    // a5-b6 blocks both Top men; after the other moves Top can still move.
    host.SetPosition("W:Wa5,c5,g3,f2:Ba7,h4", 0);
    ASSERT_EQ(host.party.ponderCount, host.party.moves.Count());
    host.Enter({"a5", "b6"});
    EXPECT_TRUE(host.AllWorkersStopped());
    EXPECT_EQ(host.party.LiveSearches(), 0);
    EXPECT_EQ(host.party.ponderCount, 0);
    DeliverPosted();
    EXPECT_EQ(host.ends, std::vector<uint32_t>{kMsgTopCannotMove});
}

TEST_F(PartyTest, BlockedSideLosesLikeASideWithoutPieces) {
    Host host;
    host.SetPosition("B:Wa5,b6,c5,g3,f2:Ba7,h4", 1);
    DeliverPosted();
    EXPECT_EQ(host.ends, std::vector<uint32_t>{kMsgTopCannotMove});
    host.ends.clear();
    host.SetPosition("W:W:Ba7", 1);
    DeliverPosted();
    EXPECT_EQ(host.ends, std::vector<uint32_t>{kMsgBottomCannotMove});
}

TEST_F(PartyTest, DuelStartsNoWorkerAndBothSidesGetTheHand) {
    engineParams.searchDepth = 25;
    Host host;
    host.party.NewGame(Bottom, 1);
    EXPECT_TRUE(host.AllWorkersStopped());
    EXPECT_EQ(host.board.CursorKindShown(), CursorKind::Hand);
    host.Enter({"c3", "d4"});
    EXPECT_EQ(host.party.sideToMove, Top);
    EXPECT_TRUE(host.AllWorkersStopped());
    EXPECT_EQ(host.board.CursorKindShown(), CursorKind::Hand);
    host.Enter({"f6", "e5"});
    EXPECT_EQ(host.movesLine.text().toStdString(), " > c3-d4 > f6-e5");
    EXPECT_TRUE(host.AllWorkersStopped());
}

TEST_F(PartyTest, AcceptsDrawOnlyWithABottomKingAndNoLosingValue) {
    Host host;
    host.SetPosition("W:Wc3:Bf6", 1);
    host.party.lastComputerValue = 100;
    EXPECT_FALSE(host.party.AcceptsDraw());
    host.SetPosition("W:WKc3:Bf6", 1);
    EXPECT_TRUE(host.party.AcceptsDraw());
    host.party.lastComputerValue = -1;
    EXPECT_FALSE(host.party.AcceptsDraw());
    host.party.lastComputerValue = 0;
    EXPECT_TRUE(host.party.AcceptsDraw());
}

TEST_F(PartyTest, ClearBoardKeepsTheSideToMove) {
    Host host;
    host.SetPosition("B:Wc3:Bf6", 1);
    host.party.Halt();
    host.party.ClearBoard();
    EXPECT_EQ(host.party.sideToMove, Top);
    for (const Point& square : kSquareOrder) EXPECT_EQ(Shown(host.party, square), "empty");
}

// ---------------------------------------------------------------- move input

TEST_F(PartyTest, TwoJumpCaptureIsEnteredLandingByLanding) {
    Host host;
    host.SetPosition("W:Wc3,h2:Bd4,f6,a7", 1);
    host.party.animTimer.SetInterval(60000);  // the final tick comes when the test says
    ClickSquare(&host.board, Sq("c3"));
    EXPECT_TRUE(host.party.blinkTimer.Enabled());
    ClickSquare(&host.board, Sq("e5"));
    EXPECT_EQ(Shown(host.party, Sq("c3")), "empty");  // lifted from its square
    EXPECT_EQ(Shown(host.party, Sq("d4")), "top man");
    EXPECT_EQ(Shown(host.party, Sq("f6")), "top man");
    EXPECT_TRUE(host.movesLine.text().isEmpty());
    ASSERT_TRUE(WaitFor([&] { return Shown(host.party, Sq("e5")) == "bottom man"; }));
    ASSERT_TRUE(WaitFor([&] { return Shown(host.party, Sq("e5")) == "empty"; }));

    ClickSquare(&host.board, Sq("g7"));
    EXPECT_EQ(host.movesLine.text().toStdString(), " > c3:e5:g7");
    EXPECT_FALSE(host.party.blinkTimer.Enabled());
    EXPECT_EQ(Shown(host.party, Sq("g7")), "bottom man");
    EXPECT_EQ(Shown(host.party, Sq("e5")), "empty");
    EXPECT_EQ(Shown(host.party, Sq("d4")), "top man");  // taken pieces stay until the tick
    EXPECT_EQ(Shown(host.party, Sq("f6")), "top man");
    EXPECT_EQ(host.party.sideToMove, Top);

    host.party.AnimateStep();  // the tick
    EXPECT_EQ(Shown(host.party, Sq("d4")), "empty");
    EXPECT_EQ(Shown(host.party, Sq("f6")), "empty");
    EXPECT_FALSE(host.party.animTimer.Enabled());
    for (const Point& square : kSquareOrder)
        EXPECT_EQ(Shown(host.party, square), Held(host.party.board, square)) << square.Text();
}

TEST_F(PartyTest, ClicksDuringTheCaptureAnimationChangeNothing) {
    Host host;
    host.SetPosition("W:Wc3,h2:Bd4,f6,a7", 1);
    host.party.animTimer.SetInterval(60000);
    host.Enter({"c3", "e5", "g7"});
    const std::string fen = ToFen(host.party.board, host.party.sideToMove);
    host.Enter({"a7", "b6", "g7", "h8", "h2", "g3"});
    EXPECT_EQ(ToFen(host.party.board, host.party.sideToMove), fen);
    EXPECT_EQ(host.movesLine.text().toStdString(), " > c3:e5:g7");
}

TEST_F(PartyTest, SelectingAnotherPiecePutsTheFirstBack) {
    Host host;
    host.SetPosition("W:Wc3,e3:Bh8", 1);
    host.party.blinkTimer.SetInterval(60000);  // no blink between the clicks
    ClickSquare(&host.board, Sq("c3"));
    host.party.BlinkTick();
    host.party.BlinkTick();  // one of the two phases left c3 empty
    ClickSquare(&host.board, Sq("e3"));
    EXPECT_EQ(Shown(host.party, Sq("c3")), "bottom man");
    EXPECT_EQ(host.party.currentMove->steps[0].pos, Sq("e3"));
    host.party.BlinkTick();
    const std::string first = Shown(host.party, Sq("e3"));
    host.party.BlinkTick();
    const std::string second = Shown(host.party, Sq("e3"));
    EXPECT_NE(first, second);  // e3 now blinks
    EXPECT_EQ(std::set<std::string>({first, second}),
              std::set<std::string>({"empty", "bottom man"}));
    ClickSquare(&host.board, Sq("f4"));
    EXPECT_EQ(host.movesLine.text().toStdString(), " > e3-f4");
}

TEST_F(PartyTest, IgnoredClicks) {
    Host host;
    host.SetPosition("W:Wc3,e3:Bf6,h8", 0);
    host.party.Halt();  // no thinking needed here; the hand stays
    host.handicap.setVisible(true);
    const std::string fen = ToFen(host.party.board, host.party.sideToMove);

    ClickSquare(&host.board, Sq("c3"), Qt::RightButton);
    EXPECT_FALSE(host.handicap.isVisible());  // any press hides the handicap
    EXPECT_FALSE(host.party.blinkTimer.Enabled());

    QTest::mouseClick(&host.board, Qt::LeftButton, {}, QPoint(48 + 24, 336 + 24));  // b1, light
    ClickSquare(&host.board, Sq("f6"));                                             // Top's piece
    ClickSquare(&host.board, Sq("d4"));  // an empty square, nothing selected
    EXPECT_FALSE(host.party.blinkTimer.Enabled());
    EXPECT_TRUE(host.movesLine.text().isEmpty());

    host.board.SetCursorKind(CursorKind::HourGlass);  // the computer's turn
    host.Enter({"c3", "d4"});
    EXPECT_TRUE(host.movesLine.text().isEmpty());
    EXPECT_EQ(ToFen(host.party.board, host.party.sideToMove), fen);
}

TEST_F(PartyTest, KingCaptureReturningToItsSquareIsEnteredByClickingIt) {
    Host host;
    host.SetPosition("W:WKb4:Bc3,e3,e5,c5,h8", 1);
    host.Enter({"b4", "d2", "f4", "d6", "b4"});
    EXPECT_EQ(host.movesLine.text().toStdString(), " > b4:d2:f4:d6:b4");
    ASSERT_TRUE(WaitFor([&] { return !host.party.animTimer.Enabled(); }));
    EXPECT_EQ(Held(host.party.board, Sq("b4")), "bottom king");
    EXPECT_EQ(Shown(host.party, Sq("b4")), "bottom king");
    for (const char* taken : {"c3", "e3", "e5", "c5"})
        EXPECT_EQ(Shown(host.party, Sq(taken)), "empty") << taken;
}

TEST_F(PartyTest, ComputerCaptureShowsOneLandingPerTick) {
    engineParams.searchDepth = 1;
    Host host;
    host.party.SetThinkTime(10);
    host.party.animTimer.SetInterval(60000);
    // Top to move against the computer; its only move is the double capture.
    host.SetPosition("B:Wg5,e3,a1:Bh6", 0);
    ASSERT_NE(host.party.activeWorker, nullptr);
    ASSERT_TRUE(WaitFor([&] { return MoveCount(host.movesLine) == 1; }));
    EXPECT_EQ(LastMove(host.movesLine), " > h6:f4:d2");
    // Nothing is shown moving until the first tick.
    EXPECT_EQ(Shown(host.party, Sq("h6")), "top man");
    host.party.AnimateStep();
    EXPECT_EQ(Shown(host.party, Sq("h6")), "empty");
    EXPECT_EQ(Shown(host.party, Sq("f4")), "top man");
    EXPECT_EQ(Shown(host.party, Sq("g5")), "bottom man");
    host.party.AnimateStep();
    EXPECT_EQ(Shown(host.party, Sq("f4")), "empty");
    EXPECT_EQ(Shown(host.party, Sq("d2")), "top man");
    EXPECT_EQ(Shown(host.party, Sq("g5")), "bottom man");
    host.party.AnimateStep();
    EXPECT_EQ(Shown(host.party, Sq("g5")), "empty");
    EXPECT_EQ(Shown(host.party, Sq("e3")), "empty");
    EXPECT_EQ(host.party.sideToMove, Bottom);
    EXPECT_EQ(host.board.CursorKindShown(), CursorKind::Hand);
}

TEST_F(PartyTest, ComputerCrownsOnTheSquareWhereItArrives) {
    Host host;
    host.party.SetThinkTime(10);
    host.party.animTimer.SetInterval(60000);
    host.SetPosition("B:Wa1,h2:Bb2", 0);  // b2-c1 is the only move
    ASSERT_TRUE(WaitFor([&] { return MoveCount(host.movesLine) == 1; }));
    const Point to = host.party.currentMove->To().pos;
    EXPECT_EQ(to, Sq("c1"));
    EXPECT_EQ(Shown(host.party, to), "empty");  // shown only at the first tick
    host.party.AnimateStep();
    EXPECT_EQ(Shown(host.party, to), "top king");
}

TEST_F(PartyTest, LongMovesLineShowsItsEnd) {
    Host host;
    host.movesLine.resize(120, 25);
    HMove move;
    HListMoves list;
    HDoska board;
    board.SetInitial();
    list.Generate(Bottom, board);
    for (int i = 0; i < 30; ++i) host.party.AppendMoveText(list.Move(i % list.Count()));
    EXPECT_EQ(host.movesLine.cursorPosition(), host.movesLine.text().size());
    EXPECT_EQ(MoveCount(host.movesLine), 30);
}

// The searches still wanted, counted the way the game's end is checked.
TEST_F(PartyTest, LiveSearchesCountsTheSearchesStillWanted) {
    engineParams.searchDepth = 25;
    Host host;
    EXPECT_EQ(host.party.LiveSearches(), 0);
    host.party.NewGame(Bottom, 0);
    EXPECT_GT(host.party.LiveSearches(), 1);  // one per pondered move
    EXPECT_LE(host.party.LiveSearches(), 7);
    host.Enter({"c3", "d4"});
    EXPECT_LE(host.party.LiveSearches(), 1);  // the kept worker alone, if still searching
    host.party.Halt();
    EXPECT_EQ(host.party.LiveSearches(), 0);

    host.party.NewGame(Bottom, 1);  // a duel searches nothing
    EXPECT_EQ(host.party.LiveSearches(), 0);

    host.SetPosition("W:Wa5,c5,g3,f2:Ba7,h4", 0);
    EXPECT_GT(host.party.LiveSearches(), 0);
    host.Enter({"a5", "b6"});  // the game ends: nothing may go on thinking
    EXPECT_EQ(host.party.LiveSearches(), 0);
}

// ---------------------------------------------------------------- keyboard

// Keys to the board: < > ^ v step the frame, . is Return.
void Press(Host& host, std::string_view keys) {
    const Qt::Key named[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Return};
    for (char c : keys) QTest::keyClick(&host.board, named[std::string_view("<>^v.").find(c)]);
}

QString Framed(const Host& host) {
    const QPoint at = host.board.FocusMark().topLeft() / HParty::kSquare;
    return host.party.SquareName(Point{at.x() + 1, 8 - at.y()});
}

TEST_F(PartyTest, TheFrameStartsOnAPieceThatCanMoveAndStopsAtTheEdges) {
    Host host;
    host.party.NewGame(Bottom, 1);
    EXPECT_EQ(Framed(host), "a3, нижняя шашка");
    EXPECT_EQ(host.accessibleName(), "Pelvanta: ход нижних");
    Press(host, "vvvv<<");
    EXPECT_EQ(Framed(host), "a1, нижняя шашка");
    Press(host, "^^^^^^^^>>>>>>>>");
    EXPECT_EQ(Framed(host), "h8, верхняя шашка");
}

TEST_F(PartyTest, ReturnEntersACaptureLandingByLandingAsClicksDo) {
    Host host;
    host.SetPosition("W:Wc3:Bd4,f6,h8", 1);
    Press(host, ">.>^^.");  // from a1: a light square, then the piece
    EXPECT_EQ(Framed(host), "c3, нижняя шашка, выбрана");
    Press(host, "^^>>.");
    EXPECT_EQ(Framed(host), "e5, нижняя шашка, выбрана");
    EXPECT_EQ(host.party.SquareName(Sq("c3")), "c3, пусто");
    Press(host, "^^>>.");
    EXPECT_EQ(host.movesLine.text(), " > c3:e5:g7");
    EXPECT_EQ(Shown(host.party, Sq("g7")), "bottom man");
    EXPECT_TRUE(WaitFor([&] { return host.accessibleName() == "Pelvanta: ход верхних"; }));
}

TEST_F(PartyTest, ReturnDoesNothingUnderTheHourglass) {
    engineParams.searchDepth = 25;
    Host host;
    host.party.NewGame(Bottom, 0);
    Press(host, ".^>.v>.");  // a3-b4, then c3 while the computer thinks
    EXPECT_EQ(host.board.CursorKindShown(), CursorKind::HourGlass);
    EXPECT_EQ(host.accessibleName(), "Pelvanta: ход соперницы");
    EXPECT_EQ(Framed(host), "c3, нижняя шашка");
    EXPECT_EQ(host.movesLine.text(), " > a3-b4");
}

}  // namespace
