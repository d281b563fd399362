// values, think, bench, load: the engine seen from outside.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/BenchPositions.h"
#include "engine/Hanalyzthread.h"
#include "engine/Search.h"
#include "platform/Os.h"
#include "tools/pelvanta-engine/Cli.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Weights beyond this could overflow a line's sum of gains.
constexpr int32_t kMaxWeight = 1000000;

// "--weights P,F,M,K": promotion bonus, first-king bonus, man value, king value.
void TakeWeights(Args& args, EngineParams& params) {
    const std::optional<std::string> text = TakeOption(args, "--weights");
    if (!text) return;
    int32_t w[4];
    const char* p = text->data();
    const char* end = p + text->size();
    for (int i = 0; i < 4; ++i) {
        const auto [next, ec] = std::from_chars(p, end, w[i]);
        const bool last = i == 3;
        if (ec != std::errc() || (last ? next != end : (next == end || *next != ',')) ||
            w[i] < -kMaxWeight || w[i] > kMaxWeight)
            throw UsageError{
                "--weights needs four numbers P,F,M,K between -1000000 and 1000000: '" + *text +
                "'"};
        p = next + 1;
    }
    params.promotionBonus = w[0];
    params.firstKingBonus = w[1];
    params.manValue = w[2];
    params.kingValue = w[3];
}

int32_t TakeDepthLimit(const std::string& text) {
    const int32_t depth = RequireCount(text, "depth limit");
    if (depth > HSearch::kMaxDepthLimit)
        throw UsageError{"depth limit must be at most " + std::to_string(HSearch::kMaxDepthLimit)};
    return depth;
}

// Collects posted messages, as the window's queue would.
class MessageQueue {
public:
    MessageQueue() {
        RegisterMainWindow([this](uint32_t message) {
            std::lock_guard<std::mutex> lock(mutex_);
            messages_.push_back(message);
            ready_.notify_all();
        });
    }
    ~MessageQueue() { RegisterMainWindow({}); }

    // Waits for a message up to ms milliseconds (forever when ms < 0).
    bool Wait(int64_t ms) {
        std::unique_lock<std::mutex> lock(mutex_);
        auto arrived = [this] { return !messages_.empty(); };
        if (ms < 0) {
            ready_.wait(lock, arrived);
            return true;
        }
        return ready_.wait_for(lock, std::chrono::milliseconds(ms), arrived);
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<uint32_t> messages_;
};

int Values(Args& args) {
    EngineParams params = engineParams;
    TakeWeights(args, params);
    RequireArgCount(args, 2, "values FEN DEPTHLIMIT [--weights P,F,M,K]");
    Position position = RequirePosition(args[0]);
    const int32_t depthLimit = TakeDepthLimit(args[1]);
    engineParams = params;  // the root moves' gains are scored with these too

    HListMoves list;
    const int32_t n = list.Generate(position.sideToMove, position.board);
    auto search = std::make_unique<HSearch>();
    search->params = params;
    search->board = position.board;
    search->depthLimit = depthLimit;
    for (int32_t i = 0; i < n; ++i) {
        const HMove& move = list.Move(i);
        search->board.ApplyMove(move);
        const int32_t r = search->Value(Opponent(position.sideToMove));
        search->board.UndoMove(move);
        std::printf("%s %d\n", move.PathText().c_str(), move.score - r);
    }
    return 0;
}

int Think(Args& args) {
    EngineParams params = engineParams;
    TakeWeights(args, params);
    if (const auto depth = TakeOption(args, "--depth"))
        params.searchDepth = RequireCount(*depth, "depth");
    int64_t ms = -1;
    if (const auto text = TakeOption(args, "--ms")) ms = RequireCount(*text, "--ms");
    RequireArgCount(args, 1, "think FEN [--depth D] [--weights P,F,M,K] [--ms T]");
    Position position = RequirePosition(args[0]);
    engineParams = params;

    HListMoves list;
    if (list.Generate(position.sideToMove, position.board) == 0) return 0;
    SeedRandomFromClock();  // as the game does at start-up
    MessageQueue queue;
    auto worker = std::make_unique<HAnalyzThread>();
    worker->Start(list);
    worker->RequestNotice();
    queue.Wait(ms);
    worker->Abort();
    const HMove* chosen = worker->PickMove();

    for (int32_t i = 0; i < list.Count(); ++i)
        std::printf("%s %d\n", list.Move(i).PathText().c_str(), list.Move(i).value);
    std::printf("depth %d\n", worker->CompletedDepth());
    std::printf("best");
    for (int32_t i = 0; i < worker->RankedCount(); ++i)
        std::printf(" %s", list.Move(worker->Candidate(i)).PathText().c_str());
    std::printf("\nchosen %s\n", chosen->PathText().c_str());
    return 0;
}

// Runs a worker's whole search on this thread, aborted from a watchdog after
// ms milliseconds. Returns the time it took.
double SearchFor(HAnalyzThread& worker, HListMoves& list, int64_t ms) {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(mutex);
        if (!done.wait_for(lock, std::chrono::milliseconds(ms), [&] { return finished; }))
            worker.Abort();
    });
    const Clock::time_point start = Clock::now();
    worker.SearchHere(list);
    const double elapsed = MillisecondsSince(start);
    {
        std::lock_guard<std::mutex> lock(mutex);
        finished = true;
    }
    done.notify_all();
    watchdog.join();
    return elapsed;
}

int Bench(Args& args) {
    int64_t ms = 1000;
    if (const auto text = TakeOption(args, "--ms")) ms = RequireCount(*text, "--ms");
    RequireArgCount(args, 0, "bench [--ms T]");
    EngineParams params = kNewOpponentParams;
    params.searchDepth = HSearch::kMaxDepthLimit;
    engineParams = params;
    auto worker = std::make_unique<HAnalyzThread>();
    for (const BenchPosition& bench : kBenchPositions) {
        std::string error;
        Position position = *ParseFen(bench.fen, error);
        HListMoves list;
        list.Generate(position.sideToMove, position.board);
        const double elapsed = SearchFor(*worker, list, ms);
        const bool finished = worker->Stopped() && elapsed < static_cast<double>(ms);
        std::printf("%s depth %d nodes %llu ms %.0f nps %.0f%s\n", bench.name,
                    worker->CompletedDepth(), static_cast<unsigned long long>(worker->Nodes()),
                    elapsed, static_cast<double>(worker->Nodes()) * 1000.0 / elapsed,
                    finished ? " finished" : "");
    }
    return 0;
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

// Many workers searching at once, as while the player thinks: the calling
// thread's responsiveness with and without them, and how fast they stop.
int Load(Args& args) {
    int32_t workers = 50;
    int64_t ms = 3000;
    if (const auto text = TakeOption(args, "--workers")) workers = RequireCount(*text, "--workers");
    if (const auto text = TakeOption(args, "--ms")) ms = RequireCount(*text, "--ms");
    RequireArgCount(args, 0, "load [--workers N] [--ms T]");
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
    std::printf("workers %d running %d start ms %.3f abort-and-join ms %.3f\n", workers, running,
                startMs, MillisecondsSince(aborting));
    return 0;
}

}  // namespace

const std::vector<Command>& EngineCommands() {
    static const std::vector<Command> commands = {
        {"values", "values FEN DEPTHLIMIT [--weights P,F,M,K]", Values},
        {"think", "think FEN [--depth D] [--weights P,F,M,K] [--ms T]", Think},
        {"bench", "bench [--ms T]", Bench},
        {"load", "load [--workers N] [--ms T]", Load},
    };
    return commands;
}
