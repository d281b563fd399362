// The worker on its own thread: notices, aborts, joins, the random choice.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#endif

#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "engine/Hanalyzthread.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/platform/TestProbe.h"

namespace {

using namespace std::chrono_literals;

// A thread's scheduling policy, or on Windows its priority, and the lowest.
#ifdef _WIN32
using ThreadHandle = void*;
constexpr int kIdlePolicy = THREAD_PRIORITY_IDLE;
ThreadHandle OwnThread() {
    return GetCurrentThread();
}
bool SameThread(ThreadHandle a, ThreadHandle b) {
    return a == b;
}
int PolicyOf(ThreadHandle thread) {
    return GetThreadPriority(thread);
}
int KernelPolicyOf(OsThread& thread) {
    return GetThreadPriority(thread.Handle());
}
#else
using ThreadHandle = pthread_t;
constexpr int kIdlePolicy = SCHED_IDLE;
ThreadHandle OwnThread() {
    return pthread_self();
}
bool SameThread(ThreadHandle a, ThreadHandle b) {
    return pthread_equal(a, b) != 0;
}
int PolicyOf(ThreadHandle thread) {
    int policy = -1;
    sched_param param{};
    EXPECT_EQ(pthread_getschedparam(thread, &policy, &param), 0);
    return policy;
}
// The library keeps its own note of a policy it set; a raise by id is not in it.
int KernelPolicyOf(OsThread& thread) {
    return thread.KernelId() == 0 ? -1 : sched_getscheduler(thread.KernelId());
}
#endif

constexpr auto kPatience = 120s;  // idle-priority threads on a busy machine can be slow
constexpr const char* kMiddlegame =
    "W:Wa1,c1,e1,b2,f2,c3,e3,g3,d4,h4:Bb6,d6,f6,h6,a7,c7,e7,g7,b8,f8";

struct Game {
    Position position;
    HListMoves list;
    explicit Game(const std::string& fen) : position(Fen(fen)) {
        list.Generate(position.sideToMove, position.board);
    }
};

int32_t SlowRootValue(Position position, const HMove& move, int32_t depthLimit) {
    SlowNegamax slow;
    position.board.ApplyMove(move);
    return move.score - slow.Value(position.board, Opponent(position.sideToMove), depthLimit);
}

TEST(Worker, OneMoveStartsNoThreadAndAnswersAtOnce) {
    MessageQueue queue;
    ParamsScope scope(EngineParams{9, 5, 7, 1, 3});
    Game game("W:Wc3,e1:Bd4");  // the capture is compulsory: one move
    ASSERT_EQ(game.list.Count(), 1);
    auto worker = std::make_unique<HAnalyzThread>();
    const int32_t live = OsThread::LiveCount();
    worker->Start(game.list);
    EXPECT_EQ(OsThread::LiveCount(), live);
    EXPECT_FALSE(worker->Thread().Joinable());
    EXPECT_TRUE(worker->Stopped());
    worker->RequestNotice();
    EXPECT_EQ(queue.CountOf(kMsgWorkerReady), 1) << "posted on the calling thread, at once";
    ASSERT_NE(worker->PickMove(), nullptr);
    EXPECT_EQ(worker->PickMove()->PathText(), game.list.Move(0).PathText());
    EXPECT_TRUE(worker->Finished());
}

TEST(Worker, NoMoveGivesNoChoice) {
    MessageQueue queue;
    Game game("W:Wa1,c1,e1:Bb2,d2");
    game.list.Generate(Top, game.position.board);
    ASSERT_EQ(game.list.Count(), 0);
    auto worker = std::make_unique<HAnalyzThread>();
    worker->Start(game.list);
    EXPECT_EQ(worker->PickMove(), nullptr);
    worker->RequestNotice();
    EXPECT_EQ(queue.Count(), 1);
}

TEST(Worker, PostsExactlyOneNoticeWhenAskedBeforeTheEnd) {
    MessageQueue queue;
    const EngineParams params{3, 5, 7, 1, 3};
    ParamsScope scope(params);
    Game game(kMiddlegame);
    auto worker = std::make_unique<HAnalyzThread>();
    worker->Start(game.list);
    worker->RequestNotice();
    ASSERT_TRUE(queue.WaitFor(1, kPatience));
    worker->Join();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(queue.Count(), 1);
    EXPECT_EQ(queue.CountOf(kMsgWorkerReady), 1);
    EXPECT_EQ(worker->CompletedDepth(), 3);
    EXPECT_TRUE(worker->Finished());
    for (int32_t i = 0; i < worker->CandidateCount(); ++i) {
        const HMove& move = game.list.Move(worker->Candidate(i));
        EXPECT_EQ(worker->Value(worker->Candidate(i)), SlowRootValue(game.position, move, 3))
            << move.PathText();
    }
}

TEST(Worker, FinishedSilentlyThenAskedPostsAtOnce) {
    MessageQueue queue;
    ParamsScope scope(EngineParams{3, 5, 7, 1, 3});
    Game game(kMiddlegame);
    auto worker = std::make_unique<HAnalyzThread>();
    worker->Start(game.list);
    worker->Join();
    EXPECT_TRUE(worker->Stopped());
    EXPECT_EQ(queue.Count(), 0) << "nobody asked";
    worker->RequestNotice();
    EXPECT_EQ(queue.Count(), 1);
}

TEST(Worker, AbortBeforeTheEndPostsNothing) {
    MessageQueue queue;
    ParamsScope scope(EngineParams{HSearch::kMaxDepthLimit, 5, 7, 1, 3});
    Game game(kMiddlegame);
    auto worker = std::make_unique<HAnalyzThread>();
    worker->Start(game.list);
    worker->RequestNotice();
    std::this_thread::sleep_for(5ms);
    worker->Abort();
    EXPECT_TRUE(worker->Stopped());
    worker->Join();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_LT(worker->CompletedDepth(), HSearch::kMaxDepthLimit);
    EXPECT_NE(worker->PickMove(), nullptr) << "an aborted search still leaves a choice";
}

TEST(Worker, DestructorOfARunningWorkerWaitsForItsThread) {
    ParamsScope scope(EngineParams{HSearch::kMaxDepthLimit, 5, 7, 1, 3});
    Game game(kMiddlegame);
    const int32_t live = OsThread::LiveCount();
    {
        auto worker = std::make_unique<HAnalyzThread>();
        worker->Start(game.list);
        EXPECT_EQ(OsThread::LiveCount(), live + 1);
        std::this_thread::sleep_for(5ms);
        EXPECT_FALSE(worker->Stopped()) << "the deepest search cannot be done yet";
    }
    EXPECT_EQ(OsThread::LiveCount(), live);
}

// Waits until the thread has put itself in the idle class; it does so as it
// takes a task, and an idle thread may wait long to run.
bool LowersItself(HAnalyzThread& worker) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (PolicyOf(worker.Thread().Handle()) != kIdlePolicy)
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        else
            std::this_thread::sleep_for(1ms);
    return true;
}

TEST(Worker, SearchesAtIdlePriorityAndLeavesTheCallerAlone) {
    const int callerPolicy = PolicyOf(OwnThread());
    ParamsScope scope(EngineParams{HSearch::kMaxDepthLimit, 5, 7, 1, 3});
    Game game(kMiddlegame);
    auto worker = std::make_unique<HAnalyzThread>();
    ASSERT_TRUE(worker->MakeReady());
    // Made at the caller's priority, so that its start never waits on the
    // lowest one; it lowers itself when it takes its first task.
    EXPECT_EQ(PolicyOf(worker->Thread().Handle()), callerPolicy);
    worker->Start(game.list);
    EXPECT_TRUE(LowersItself(*worker));
    worker->Abort();  // tries to raise it; Linux usually refuses, which is fine
    worker->Join();
    EXPECT_EQ(PolicyOf(OwnThread()), callerPolicy);
}

TEST(Worker, WithoutAThreadTheMovesOwnGainsDecide) {
    MessageQueue queue;
    ParamsScope scope(EngineParams{9, 5, 7, 1, 3});
    Game game("W:Wc3,g1:Bb4,d4,d6,h8");  // c3:a5 takes one man, c3:e5:c7 two
    ASSERT_EQ(game.list.Count(), 2);
    auto worker = std::make_unique<HAnalyzThread>();
    TestProbe::Get().RefuseThreads(1);
    worker->Start(game.list);
    EXPECT_TRUE(worker->ThreadFailed());
    EXPECT_TRUE(worker->Stopped());
    for (int32_t i = 0; i < game.list.Count(); ++i)
        EXPECT_EQ(worker->Value(i), game.list.Move(i).score);
    EXPECT_TRUE(worker->Finished());
    worker->RequestNotice();
    EXPECT_EQ(queue.Count(), 1) << "behaves as finished";
    const HMove* chosen = worker->PickMove();
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->PathText(), "c3:e5:c7");
    // The next start has a thread again.
    worker->Start(game.list);
    worker->Join();
    EXPECT_FALSE(worker->ThreadFailed());
}

TEST(Worker, TiesAreBrokenAtRandomOverEveryTiedMove) {
    SeedRandom(12345);
    ParamsScope scope(EngineParams{1, 0, 0, 0, 0});
    Game game("start");  // with weights 0 all seven openings are worth 0
    auto worker = std::make_unique<HAnalyzThread>();
    worker->Start(game.list);
    worker->Join();
    std::map<std::string, int> chosen;
    for (int i = 0; i < 700; ++i) ++chosen[worker->PickMove()->PathText()];
    EXPECT_EQ(worker->RankedCount(), 7);
    ASSERT_EQ(chosen.size(), 7u);
    for (const auto& [move, times] : chosen) EXPECT_GT(times, 30) << move;
}

TEST(Worker, NeverPicksAMoveBelowTheBest) {
    ParamsScope scope(EngineParams{1, 5, 7, 1, 3});
    // Top's h8 is shut in after a5-b6 only: the winning move stands alone.
    Game game("W:Wa5,c5,g1:Ba7,h8");
    auto worker = std::make_unique<HAnalyzThread>();
    worker->Start(game.list);
    worker->Join();
    int32_t best = INT32_MIN;
    for (int32_t i = 0; i < game.list.Count(); ++i) best = std::max(best, worker->Value(i));
    for (int i = 0; i < 200; ++i) EXPECT_EQ(worker->PickMove()->value, best);
}

TEST(Worker, SearchReadsTheParametersItStartedWith) {
    const EngineParams first{3, 5, 7, 1, 3};
    ParamsScope scope(first);
    Game game(kMiddlegame);
    auto worker = std::make_unique<HAnalyzThread>();
    worker->Start(game.list);
    engineParams = EngineParams{3, 100, 100, 100,
                                100};  // the window's thread writes; the search must not see it
    worker->Join();
    engineParams = first;
    for (int32_t i = 0; i < worker->CandidateCount(); ++i) {
        const HMove& move = game.list.Move(worker->Candidate(i));
        EXPECT_EQ(worker->Value(worker->Candidate(i)), SlowRootValue(game.position, move, 3))
            << move.PathText();
    }
}

TEST(Worker, ManyWorkersAtOnceEachWithItsOwnList) {
    MessageQueue queue;
    const EngineParams params{3, 5, 7, 1, 3};
    ParamsScope scope(params);
    std::vector<Position> positions = MixedPositions(77, 20);
    std::vector<std::unique_ptr<HListMoves>> lists;
    std::vector<std::unique_ptr<HAnalyzThread>> workers;
    int32_t asked = 0;
    for (Position& position : positions) {
        lists.push_back(std::make_unique<HListMoves>());
        lists.back()->Generate(position.sideToMove, position.board);
        workers.push_back(std::make_unique<HAnalyzThread>());
    }
    for (size_t i = 0; i < workers.size(); ++i) {
        workers[i]->Start(*lists[i]);
        workers[i]->RequestNotice();
        ++asked;
    }
    ASSERT_TRUE(queue.WaitFor(asked, kPatience));
    for (size_t i = 0; i < workers.size(); ++i) {
        workers[i]->Join();
        HListMoves& list = *lists[i];
        if (workers[i]->CompletedDepth() != 3) continue;  // ended early: a win or one move left
        for (int32_t c = 0; c < workers[i]->CandidateCount(); ++c) {
            const HMove& move = list.Move(workers[i]->Candidate(c));
            EXPECT_EQ(workers[i]->Value(workers[i]->Candidate(c)),
                      SlowRootValue(positions[i], move, 3));
        }
    }
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(queue.Count(), asked);
}

TEST(Worker, StartIsRefusedWhileTheThreadIsOnATaskAndNothingWaits) {
    MessageQueue queue;
    ParamsScope scope(EngineParams{HSearch::kMaxDepthLimit, 5, 7, 1, 3});
    Game deep(kMiddlegame);
    Game other("W:Wc3,g1:Bb4,d4,d6,h8");
    auto worker = std::make_unique<HAnalyzThread>();
    ASSERT_TRUE(worker->Start(deep.list));
    EXPECT_TRUE(worker->Busy());
    EXPECT_TRUE(worker->Claimed());
    // The deepest search cannot be done: the thread is still on it.
    EXPECT_FALSE(worker->Start(other.list));
    EXPECT_EQ(worker->RootList().Count(), deep.list.Count()) << "its list was left alone";
    // The values published so far are there at once, without waiting.
    const HMove* chosen = worker->PickMove();
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(deep.position.board.At(chosen->steps[0].pos).owner, deep.position.sideToMove);
    EXPECT_FALSE(worker->Finished());
    worker->Abort();
    EXPECT_FALSE(worker->Claimed());
    worker->Join();
    EXPECT_FALSE(worker->Busy());
    EXPECT_FALSE(worker->Finished()) << "an aborted search is not final";
    engineParams.searchDepth = 3;
    ASSERT_TRUE(worker->Start(other.list));
    worker->RequestNotice();
    ASSERT_TRUE(queue.WaitFor(1, kPatience));
    worker->Join();
    EXPECT_TRUE(worker->Finished());
    EXPECT_EQ(queue.Count(), 1);
    EXPECT_EQ(worker->PickMove()->PathText(), "c3:e5:c7");
}

TEST(Worker, OneThreadServesTaskAfterTaskAtIdlePriority) {
    MessageQueue queue;
    ParamsScope scope(EngineParams{3, 5, 7, 1, 3});
    std::vector<Position> positions = MixedPositions(91, 6);
    auto worker = std::make_unique<HAnalyzThread>();
    const int32_t live = OsThread::LiveCount();
    int32_t asked = 0;
    ThreadHandle first{};
    for (Position& position : positions) {
        HListMoves list;
        if (list.Generate(position.sideToMove, position.board) < 2) continue;
        ASSERT_TRUE(worker->Start(list));
        if (asked == 0) first = worker->Thread().Handle();
        EXPECT_TRUE(SameThread(first, worker->Thread().Handle()));
        EXPECT_TRUE(LowersItself(*worker));
        worker->RequestNotice();
        ++asked;
        ASSERT_TRUE(queue.WaitFor(asked, kPatience));
        worker->Abort();  // raises it where allowed; the next task lowers it again
        worker->Join();
        for (int32_t c = 0; c < worker->CandidateCount(); ++c) {
            const HMove& move = list.Move(worker->Candidate(c));
            if (worker->CompletedDepth() == 3) {
                EXPECT_EQ(worker->Value(worker->Candidate(c)), SlowRootValue(position, move, 3));
            }
        }
    }
    EXPECT_GE(asked, 2);
    EXPECT_EQ(OsThread::LiveCount(), live + 1) << "the same thread throughout";
    worker.reset();
    EXPECT_EQ(OsThread::LiveCount(), live);
}

TEST(Worker, HeldThreadKeepsItsWorkerBusyUntilReleased) {
    ParamsScope scope(EngineParams{3, 5, 7, 1, 3});
    Game game(kMiddlegame);
    auto worker = std::make_unique<HAnalyzThread>();
    TestProbe::Get().Hold(ProbePoint::WorkerTaskEnd);
    ASSERT_TRUE(worker->Start(game.list));
    worker->Abort();
    EXPECT_TRUE(worker->Busy()) << "held: never handed back";
    EXPECT_FALSE(worker->Start(game.list));
    TestProbe::Get().Release();
    worker->Join();
    EXPECT_FALSE(worker->Busy());
    EXPECT_TRUE(worker->Start(game.list));
}

TEST(Worker, EveryReadDuringTheSearchSeesOneWholePublishedSet) {
    const EngineParams params{5, 5, 7, 1, 3};
    ParamsScope scope(params);
    Game game(kMiddlegame);
    const int32_t n = game.list.Count();
    ASSERT_GE(n, 2);
    auto worker = std::make_unique<HAnalyzThread>();
    ASSERT_TRUE(worker->Start(game.list));
    int32_t lastDepth = 0;
    int32_t reads = 0;
    while (worker->Busy() || reads == 0) {
        ++reads;
        const int32_t depth = worker->CompletedDepth();
        EXPECT_TRUE(depth == 0 || depth % 2 == 1) << depth;
        EXPECT_GE(depth, lastDepth) << "published sets come in order";
        lastDepth = depth;
        const int32_t count = worker->CandidateCount();
        ASSERT_GE(count, 1);
        ASSERT_LE(count, n);
        for (int32_t c = 0; c < count; ++c) {
            ASSERT_GE(worker->Candidate(c), 0);
            ASSERT_LT(worker->Candidate(c), n);
        }
        const HMove* chosen = worker->PickMove();
        ASSERT_NE(chosen, nullptr);
        EXPECT_EQ(game.position.board.At(chosen->steps[0].pos).owner, game.position.sideToMove);
        std::this_thread::sleep_for(1ms);
    }
    worker->Join();
    EXPECT_TRUE(worker->Finished());
    // The last set is the search's final word: at a completed depth 5 every
    // candidate carries its value at limit 5.
    if (worker->CompletedDepth() == 5) {
        for (int32_t c = 0; c < worker->CandidateCount(); ++c) {
            const int32_t i = worker->Candidate(c);
            EXPECT_EQ(worker->Value(i), SlowRootValue(game.position, game.list.Move(i), 5));
        }
    }
}

TEST(Worker, MakeReadyMakesTheThreadAheadOfTheFirstTask) {
    MessageQueue queue;
    ParamsScope scope(EngineParams{3, 5, 7, 1, 3});
    Game game(kMiddlegame);
    const int32_t live = OsThread::LiveCount();
    {
        auto worker = std::make_unique<HAnalyzThread>();
        ASSERT_TRUE(worker->MakeReady());
        EXPECT_EQ(OsThread::LiveCount(), live + 1);
        EXPECT_FALSE(worker->Busy());
        EXPECT_FALSE(worker->Claimed());
        EXPECT_TRUE(worker->Stopped());
        EXPECT_GT(worker->Bytes(), sizeof(HAnalyzThread)) << "its search state is made too";
        const ThreadHandle made = worker->Thread().Handle();
        ASSERT_TRUE(worker->MakeReady());  // a second call changes nothing
        EXPECT_EQ(OsThread::LiveCount(), live + 1);
        ASSERT_TRUE(worker->Start(game.list));
        EXPECT_TRUE(SameThread(made, worker->Thread().Handle()));
        worker->RequestNotice();
        ASSERT_TRUE(queue.WaitFor(1, kPatience));
        worker->Join();
        EXPECT_TRUE(worker->Finished());
        EXPECT_EQ(worker->CompletedDepth(), 3);
    }
    EXPECT_EQ(OsThread::LiveCount(), live);
}

// Whatever its thread is doing when the worker is destroyed, the thread ends
// and the destructor returns. A thread that took the destructor's wake-up for
// a task would wait for another for ever, and the test's time limit would
// name it.
TEST(Worker, DestroyedAtAnyMomentOfItsThreadItEnds) {
    ParamsScope scope(EngineParams{3, 5, 7, 1, 3});
    Game game(kMiddlegame);
    using P = ProbePoint;
    for (const std::optional<P> point :
         {std::optional<P>(P::WorkerStart), std::optional<P>(P::WorkerWoken),
          std::optional<P>(P::WorkerTaskTaken), std::optional<P>(P::WorkerFinishing),
          std::optional<P>(P::WorkerTaskEnd), std::optional<P>()}) {
        SCOPED_TRACE(point ? int(*point) : -1);
        const int32_t live = OsThread::LiveCount();
        auto worker = std::make_unique<HAnalyzThread>();
        std::optional<HoldScope> hold;
        if (point) hold.emplace(*point);
        ASSERT_TRUE(worker->MakeReady());
        if (point != P::WorkerStart) {
            ASSERT_TRUE(worker->Start(game.list));
        }
        if (!point) worker->Join();  // idle again, after a search
        ASSERT_TRUE(!hold || hold->Reached());
        // The destructor's steps before it waits take microseconds; the held
        // thread goes on long after them.
        std::thread destroy([&] { worker.reset(); });
        std::this_thread::sleep_for(50ms);
        hold.reset();
        destroy.join();
        EXPECT_EQ(OsThread::LiveCount(), live);
    }
}

TEST(Worker, SearchHereEndsWhateverTheMomentItsStopFlagIsSet) {
    ParamsScope scope(EngineParams{HSearch::kMaxDepthLimit, 5, 7, 1, 3});
    Game game(kMiddlegame);
    auto worker = std::make_unique<HAnalyzThread>();
    // The caller's own flag, set before the call, at once or at any moment
    // after; the search never clears it, so no setting is lost. One that
    // were lost would never end, and the test's time limit would name it.
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        const auto delay = std::chrono::microseconds(random() % 1000);
        std::atomic<uint8_t> stop{uint8_t(i % 100 == 0 ? 1 : 0)};
        std::thread watchdog([&] {
            std::this_thread::sleep_for(delay);
            stop.store(1);
        });
        worker->SearchHere(game.list, stop);
        watchdog.join();
        EXPECT_FALSE(worker->Finished());
    }
}

TEST(Worker, ValuesReadAfterPickMoveAreTheSetItRanked) {
    SeedRandom(3);
    ParamsScope scope(EngineParams{HSearch::kMaxDepthLimit, 5, 7, 1, 3});
    Game game(kMiddlegame);
    auto worker = std::make_unique<HAnalyzThread>();
    for (int round = 0; round < 10; ++round) {
        // As the game's turn ends: abort, pick; the thread publishes once more
        // as it unwinds, and what is read afterwards must still be the set
        // that was ranked.
        HoldScope hold(ProbePoint::WorkerTaskEnd);
        ASSERT_TRUE(worker->Start(game.list));
        std::this_thread::sleep_for(std::chrono::milliseconds(round * 3));
        worker->Abort();
        const HMove* chosen = worker->PickMove();
        ASSERT_NE(chosen, nullptr);
        ASSERT_TRUE(hold.Reached());  // the last set is published by now
        ASSERT_GE(worker->RankedCount(), 1);
        bool chosenRanked = false;
        for (int32_t i = 0; i < worker->RankedCount(); ++i) {
            const int32_t move = worker->Candidate(i);
            EXPECT_EQ(worker->Value(move), chosen->value) << "round " << round;
            chosenRanked |= game.list.Move(move).PathText() == chosen->PathText();
        }
        EXPECT_TRUE(chosenRanked) << "round " << round;
        for (int32_t i = 0; i < worker->CandidateCount(); ++i)
            EXPECT_LE(worker->Value(worker->Candidate(i)), chosen->value) << "round " << round;
        hold.Release();
        worker->Join();
    }
}

#ifdef __linux__
// Field n (from 3 on) of a thread's line in /proc: 3 its state, 10 the minor
// page faults it has taken.
std::string ThreadStat(pid_t tid, int n) {
    std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= n; ++i) fields >> field;
    return field;
}

// The faults the worker's thread takes during one task on list, counted from
// the moment it sleeps, woken for the task.
long FaultsOfTask(HAnalyzThread& worker, const HListMoves& list) {
    HoldScope hold(ProbePoint::WorkerTaskTaken);
    EXPECT_TRUE(worker.Start(list));
    EXPECT_TRUE(hold.Reached());
    const pid_t tid = worker.Thread().KernelId();
    while (ThreadStat(tid, 3) != "S") std::this_thread::sleep_for(100us);
    const long before = std::stol(ThreadStat(tid, 10));
    hold.Release();
    worker.Join();
    return std::stol(ThreadStat(tid, 10)) - before;
}

TEST(Worker, ASearchThreadTouchesOnlyResidentMemory) {
    if (kSanitized) GTEST_SKIP() << "the sanitizers' shadow memory is touched on the way";
    // A page fault of a search thread, descheduled inside it, would hold the
    // process's memory-map lock that the window takes to map memory.
    ParamsScope scope(EngineParams{9, 5, 7, 1, 3});
    Game opening("start");
    Game kings("B:WKa1,Kc1,Ke1,Kg1,Kb2,Kd2:BKb8,Kd8,Kf8,Kh8,Kg7,Ke7");
    Game middlegame(kMiddlegame);
    auto worker = std::make_unique<HAnalyzThread>();
    ASSERT_TRUE(worker->MakeReady());
    for (const Game* game : {&opening, &kings, &opening, &middlegame}) {
        EXPECT_EQ(FaultsOfTask(*worker, game->list), 0) << game->list.Count() << " moves";
        EXPECT_GT(worker->CompletedDepth(), 1);
    }
    // One whose thread is made at its first task, as the game makes its
    // workers beyond the fiftieth mid-game, on the full-width search.
    auto late = std::make_unique<HAnalyzThread>();
    late->searchKind = SearchKind::FullWidth;
    engineParams.searchDepth = 3;
    EXPECT_EQ(FaultsOfTask(*late, kings.list), 0);
    engineParams.searchDepth = 5;
    EXPECT_EQ(FaultsOfTask(*late, opening.list), 0);
}
#endif

TEST(Worker, ANoticeAskedForAsTheSearchEndsFindsItFinal) {
    MessageQueue queue;
    ParamsScope scope(EngineParams{3, 5, 7, 1, 3});
    Game game(kMiddlegame);
    auto worker = std::make_unique<HAnalyzThread>();
    HoldScope hold(ProbePoint::WorkerFinishing);
    ASSERT_TRUE(worker->Start(game.list));
    ASSERT_TRUE(hold.Reached());
    // The search has ended by itself but not yet posted: asked now, the
    // notice is posted here, and its receiver must find the result final.
    worker->RequestNotice();
    ASSERT_EQ(queue.Count(), 1);
    EXPECT_TRUE(worker->Finished());
    hold.Release();
    worker->Join();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(queue.Count(), 1) << "exactly one notice";
}

TEST(Worker, ARaiseBeforeTheTasksFirstStepIsNotUndone) {
    ParamsScope scope(EngineParams{3, 5, 7, 1, 3});
    Game game(kMiddlegame);
    auto worker = std::make_unique<HAnalyzThread>();
    // A first task leaves the thread in the idle class.
    ASSERT_TRUE(worker->Start(game.list));
    worker->Join();
    ASSERT_EQ(KernelPolicyOf(worker->Thread()), kIdlePolicy);
    engineParams.searchDepth = HSearch::kMaxDepthLimit;
    HoldScope hold(ProbePoint::WorkerTaskTaken);
    ASSERT_TRUE(worker->Start(game.list));
    ASSERT_TRUE(hold.Reached());
    worker->Abort();  // raises the thread where the system allows it
    const bool raised = KernelPolicyOf(worker->Thread()) != kIdlePolicy;
    hold.Release();
    worker->Join();
    const int policy = KernelPolicyOf(worker->Thread());
    if (raised) {
        EXPECT_NE(policy, kIdlePolicy) << "the thread lowered itself after the raise";
    } else {
        EXPECT_EQ(policy, kIdlePolicy) << "an ordinary user cannot raise it";
    }
    EXPECT_FALSE(worker->Finished());
}

}  // namespace
