// The search's speed on the bench positions, both searches in one run: the
// time to complete iteration 7, and the deepest iteration completed within
// 1000 ms, each with its nodes per second.
#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/BenchPositions.h"
#include "engine/Hanalyzthread.h"
#include "rules/Hlistmoves.h"
#include "rules/Notation.h"
#include "tools/pelvanta-engine/Cli.h"

namespace {

SearchKind KindOf(const benchmark::State& state) {
    return state.range(0) == 0 ? SearchKind::FullWidth : SearchKind::AlphaBeta;
}

struct BenchGame {
    Position position;
    HListMoves list;
    explicit BenchGame(const BenchPosition& bench) {
        std::string error;
        position = *ParseFen(bench.fen, error);
    }
    HListMoves& Moves(int32_t searchDepth) {
        engineParams = kNewOpponentParams;
        engineParams.searchDepth = searchDepth;
        list.Generate(position.sideToMove, position.board);
        return list;
    }
};

void Label(benchmark::State& state, const BenchPosition& bench) {
    state.SetLabel(
        std::string(KindOf(state) == SearchKind::FullWidth ? "full-width " : "alpha-beta ") +
        bench.name);
}

// Iterations 1, 3, 5 and 7 to the end, as a worker runs them.
void IterationSeven(benchmark::State& state) {
    const BenchPosition& bench = kBenchPositions[state.range(1)];
    BenchGame game(bench);
    std::unique_ptr<HAnalyzThread> worker;
    uint64_t nodes = 0;
    for (auto _ : state) {
        // A fresh worker each time: its table must not remember the last run.
        state.PauseTiming();
        worker = std::make_unique<HAnalyzThread>();
        worker->searchKind = KindOf(state);
        HListMoves& moves = game.Moves(7);
        state.ResumeTiming();
        worker->SearchHere(moves);
        nodes += worker->Nodes();
    }
    Label(state, bench);
    state.counters["depth"] = worker->CompletedDepth();
    state.counters["nodes/s"] =
        benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}

// As deep as 1000 ms allow: a watchdog aborts the worker.
void OneSecond(benchmark::State& state) {
    const BenchPosition& bench = kBenchPositions[state.range(1)];
    BenchGame game(bench);
    auto worker = std::make_unique<HAnalyzThread>();
    worker->searchKind = KindOf(state);
    uint64_t nodes = 0;
    for (auto _ : state) {
        HListMoves& moves = game.Moves(HSearch::kMaxDepthLimit);
        SearchWithin(*worker, moves, 1000, [] {
            return std::chrono::duration<double, std::milli>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        });
        nodes += worker->Nodes();
    }
    Label(state, bench);
    state.counters["depth"] = worker->CompletedDepth();
    state.counters["nodes/s"] =
        benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}

BENCHMARK(IterationSeven)->ArgsProduct({{0, 1}, {0, 1, 2}})->Unit(benchmark::kMillisecond);
BENCHMARK(OneSecond)
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
