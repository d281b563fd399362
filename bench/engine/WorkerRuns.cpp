// pelvanta-engine's workers measured from outside: load, many workers
// searching at once beside the calling thread; selfplay, games against the
// computer as the game object plays them.
#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on
#else
#include <sys/resource.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "engine/BenchPositions.h"
#include "engine/Hanalyzthread.h"
#include "engine/Search.h"
#include "platform/MessageQueue.h"
#include "platform/Os.h"
#include "tools/pelvanta-engine/Cli.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Latency {
    double median = 0, p99 = 0, max = 0;
};

Latency Summarize(std::vector<double>& samples) {
    std::sort(samples.begin(), samples.end());
    Latency l;
    if (samples.empty()) return l;
    l.median = samples[samples.size() / 2];
    l.p99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    l.max = samples.back();
    return l;
}

// The calling thread's trivial tasks for ms milliseconds: how late a 1 ms
// sleep wakes, and how long listing the opening's moves 100 times takes.
void MeasureTasks(int64_t ms, Latency& wake, Latency& task) {
    std::vector<double> wakes, tasks;
    HDoska board;
    board.SetInitial();
    HListMoves list;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        Clock::time_point t = Clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        wakes.push_back(MillisecondsSince(t) - 1.0);
        t = Clock::now();
        for (int i = 0; i < 100; ++i) list.Generate(Bottom, board);
        tasks.push_back(MillisecondsSince(t));
    }
    wake = Summarize(wakes);
    task = Summarize(tasks);
}

void PrintLatency(const char* what, const Latency& wake, const Latency& task) {
    std::printf(
        "%s wake-late ms median %.3f p99 %.3f max %.3f; task ms median %.3f p99 %.3f "
        "max %.3f\n",
        what, wake.median, wake.p99, wake.max, task.median, task.p99, task.max);
}

// The process's largest resident size so far.
long PeakResidentKiB() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return long(counters.PeakWorkingSetSize / 1024);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#endif
}

// Many workers searching at once, as while the player thinks: the calling
// thread's responsiveness with and without them, and how fast they stop.
int Load(Args& args) {
    int32_t workers = 50;
    int64_t ms = 3000;
    if (const auto text = TakeOption(args, "--workers")) workers = RequireCount(*text, "--workers");
    if (const auto text = TakeOption(args, "--ms")) ms = RequireCount(*text, "--ms");
    const SearchKind kind = TakeKind(args);
    RequireArgCount(args, 0, "load [--workers N] [--ms T] [--full-width]");
    EngineParams params = kNewOpponentParams;
    params.searchDepth = HSearch::kMaxDepthLimit;
    engineParams = params;

    Latency wake, task;
    MeasureTasks(ms, wake, task);
    PrintLatency("idle", wake, task);

    std::string error;
    const Position middlegame = *ParseFen(kBenchPositions[1].fen, error);
    std::vector<std::unique_ptr<HDoska>> boards;
    std::vector<std::unique_ptr<HListMoves>> lists;
    std::vector<std::unique_ptr<HAnalyzThread>> pool;
    for (int32_t i = 0; i < workers; ++i) {
        boards.push_back(std::make_unique<HDoska>(middlegame.board));
        lists.push_back(std::make_unique<HListMoves>());
        lists.back()->Generate(middlegame.sideToMove, *boards.back());
        pool.push_back(std::make_unique<HAnalyzThread>());
        pool.back()->searchKind = kind;
        pool.back()->MakeReady();  // as the game's own workers are
    }
    const Clock::time_point started = Clock::now();
    for (int32_t i = 0; i < workers; ++i) pool[i]->Start(*lists[i]);
    const double startMs = MillisecondsSince(started);
    MeasureTasks(ms, wake, task);
    PrintLatency("loaded", wake, task);
    int32_t running = 0;
    for (const auto& worker : pool) running += worker->Stopped() ? 0 : 1;
    const Clock::time_point aborting = Clock::now();
    for (const auto& worker : pool) worker->Abort();
    for (const auto& worker : pool) worker->Join();
    const double stopMs = MillisecondsSince(aborting);
    std::printf("%s workers %d running %d start ms %.3f abort-and-join ms %.3f\n", KindName(kind),
                workers, running, startMs, stopMs);
    std::printf("memory per worker KiB %zu peak resident KiB %ld\n", pool[0]->Bytes() / 1024,
                PeakResidentKiB());
    return 0;
}

// The game against the computer, as the game object plays it: while Bottom,
// the player, thinks, one worker per legal move searches Top's replies; when
// the player moves, the worker of that move is kept and the others aborted,
// and the computer's reply is taken at the kept worker's notice or after
// 1000 ms. The player chooses by a three-ply search, ties at random.
struct SelfPlayStats {
    int32_t replies = 0;
    int32_t ready = 0;
    int32_t searched = 0;
    int64_t depthSum = 0;
    std::vector<double> waits;
    int32_t bottomWins = 0, topWins = 0, unfinished = 0;
};

constexpr int32_t kPonderWorkers = 50;
constexpr int64_t kComputerMs = 1000;
constexpr int32_t kMaxGamePlies = 80;

int32_t PlayerChoice(HSearch& search, HDoska& board, HListMoves& moves) {
    search.board = board;
    search.depthLimit = 3;
    int32_t best = INT32_MIN;
    std::vector<int32_t> tied;
    for (int32_t i = 0; i < moves.Count(); ++i) {
        const HMove& move = moves.Move(i);
        search.board.ApplyMove(move);
        const int32_t v = move.score - search.Value(Top);
        search.board.UndoMove(move);
        if (v > best) tied.clear(), best = v;
        if (v == best) tied.push_back(i);
    }
    return tied[RandomNext() % static_cast<int32_t>(tied.size())];
}

void PlayGames(SearchKind kind, int64_t thinkMs, int32_t games, SelfPlayStats& stats) {
    MessageQueue queue;
    std::vector<std::unique_ptr<HAnalyzThread>> workers;
    std::vector<std::unique_ptr<HListMoves>> ponderLists;
    for (int32_t i = 0; i < kPonderWorkers; ++i) {
        workers.push_back(std::make_unique<HAnalyzThread>());
        workers.back()->searchKind = kind;
        ponderLists.push_back(std::make_unique<HListMoves>());
    }
    auto player = std::make_unique<HSearch>();
    player->params = engineParams;
    HListMoves moves, replies;
    for (int32_t game = 0; game < games; ++game) {
        HDoska board;
        board.SetInitial();
        int32_t ply = 0;
        for (;; ply += 2) {
            if (ply >= kMaxGamePlies) {
                ++stats.unfinished;
                break;
            }
            const int32_t n = moves.Generate(Bottom, board);
            if (n == 0) {
                ++stats.topWins;
                break;
            }
            const int32_t pondered = std::min(n, kPonderWorkers);
            for (int32_t i = 0; i < pondered; ++i) {
                board.ApplyMove(moves.Move(i));
                ponderLists[i]->Generate(Top, board);
                workers[i]->Join();  // an abandoned search of the last turn
                workers[i]->Start(*ponderLists[i]);
                board.UndoMove(moves.Move(i));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(thinkMs));
            const int32_t choice = PlayerChoice(*player, board, moves);

            const Clock::time_point moved = Clock::now();
            HAnalyzThread* kept = workers[0].get();
            bool ready = false;
            if (choice < pondered) {
                kept = workers[choice].get();
                ready = kept->Stopped();
                for (int32_t i = 0; i < pondered; ++i)
                    if (i != choice) workers[i]->Abort();
                board.ApplyMove(moves.Move(choice));
                queue.Clear();
                kept->RequestNotice();
                queue.Take(kComputerMs);
            } else {
                // Not pondered: a fresh search, taken when the thinking time is up.
                for (int32_t i = 0; i < pondered; ++i) workers[i]->Abort();
                board.ApplyMove(moves.Move(choice));
                replies.Generate(Top, board);
                kept->Join();
                kept->Start(replies);
                std::this_thread::sleep_for(std::chrono::milliseconds(kComputerMs));
            }
            kept->Abort();
            const HMove* reply = kept->PickMove();
            kept->Join();  // for its node count
            const double wait = MillisecondsSince(moved);
            if (reply == nullptr) {
                ++stats.bottomWins;
                break;
            }
            ++stats.replies;
            stats.ready += ready ? 1 : 0;
            stats.waits.push_back(wait);
            if (kept->CandidateCount() > 1 || kept->Nodes() > 0) {
                ++stats.searched;
                stats.depthSum += kept->CompletedDepth();
            }
            const HMove played = *reply;
            board.ApplyMove(played);
        }
        for (const auto& worker : workers) worker->Abort();
        for (const auto& worker : workers) worker->Join();
    }
}

int SelfPlay(Args& args) {
    EngineParams params = kNewOpponentParams;
    params.searchDepth = 9;
    TakeWeights(args, params);
    if (const auto depth = TakeOption(args, "--depth"))
        params.searchDepth = RequireCount(*depth, "depth");
    int64_t thinkMs = 3000;
    if (const auto text = TakeOption(args, "--think-ms"))
        thinkMs = RequireCount(*text, "--think-ms");
    int32_t games = 1;
    if (const auto text = TakeOption(args, "--games")) games = RequireCount(*text, "--games");
    RequireArgCount(args, 0, "selfplay [--depth D] [--weights P,F,M,K] [--think-ms T] [--games N]");
    engineParams = params;
    for (const SearchKind kind : {SearchKind::AlphaBeta, SearchKind::FullWidth}) {
        SeedRandom(20261209);  // both searches meet the same player
        SelfPlayStats stats;
        PlayGames(kind, thinkMs, games, stats);
        std::vector<double> waits = stats.waits;
        std::sort(waits.begin(), waits.end());
        const auto at = [&](double q) {
            return waits.empty()
                       ? 0.0
                       : waits[std::min(waits.size() - 1, static_cast<size_t>(q * waits.size()))];
        };
        std::printf(
            "%s replies %d ready %.1f%% wait ms median %.1f p90 %.1f mean depth %.2f games %d "
            "(player won %d, computer won %d, stopped at %d plies %d)\n",
            KindName(kind), stats.replies,
            stats.replies ? 100.0 * stats.ready / stats.replies : 0.0, at(0.5), at(0.9),
            stats.searched ? static_cast<double>(stats.depthSum) / stats.searched : 0.0, games,
            stats.bottomWins, stats.topWins, kMaxGamePlies, stats.unfinished);
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<Command> commands = {
        {"load", "load [--workers N] [--ms T] [--full-width]", Load},
        {"selfplay", "selfplay [--depth D] [--weights P,F,M,K] [--think-ms T] [--games N]",
         SelfPlay},
    };
    return RunCommands("bench_workers", commands, argc, argv, kFenNote);
}
