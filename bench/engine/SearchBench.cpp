// The search's speed on the bench positions: one full iteration at a fixed
// depth limit over every root move, reported as nodes per second.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/BenchPositions.h"
#include "engine/Search.h"
#include "rules/Hlistmoves.h"
#include "rules/Notation.h"

namespace {

void FullWidthIteration(benchmark::State& state) {
    const BenchPosition& bench = kBenchPositions[state.range(0)];
    const int32_t depthLimit = static_cast<int32_t>(state.range(1));
    engineParams = kNewOpponentParams;
    std::string error;
    Position position = *ParseFen(bench.fen, error);
    HListMoves list;
    const int32_t n = list.Generate(position.sideToMove, position.board);
    auto search = std::make_unique<HSearch>();
    search->params = kNewOpponentParams;
    search->board = position.board;
    search->depthLimit = depthLimit;
    for (auto _ : state) {
        for (int32_t i = 0; i < n; ++i) {
            search->board.ApplyMove(list.Move(i));
            benchmark::DoNotOptimize(search->Value(Opponent(position.sideToMove)));
            search->board.UndoMove(list.Move(i));
        }
    }
    state.SetLabel(bench.name);
    state.counters["nodes/s"] =
        benchmark::Counter(static_cast<double>(search->nodes), benchmark::Counter::kIsRate);
}

BENCHMARK(FullWidthIteration)->ArgsProduct({{0, 1, 2}, {5}})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
