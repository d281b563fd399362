// Move generation throughput: perft in leaf paths per second, counted two
// ways. "bulk" counts the last ply from the position without making its moves;
// "made" plays and takes back every leaf move. The list generator (Perft...)
// and the bit-board generator (FastPerft...) run the same cases in one process,
// so their ratio holds on whatever machine load there is.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/FastPerft.h"
#include "rules/Notation.h"
#include "rules/Perft.h"

namespace {

// Kings on both sides, with long diagonals open: the generator's slow paths.
constexpr const char* kKingEndgame = "W:WKa1,Kc1,e3,g3,Kb6:BKh8,Kf8,d6,b8,Kg5";

void RunPerft(benchmark::State& state, const char* fen, int depth, bool bulk) {
    std::string error;
    Position position = *ParseFen(fen, error);
    Perft perft(depth);
    uint64_t leaves = 0;
    for (auto _ : state) {
        leaves += perft.Count(position.board, position.sideToMove, depth, bulk);
    }
    state.counters["leaves/s"] =
        benchmark::Counter(static_cast<double>(leaves), benchmark::Counter::kIsRate);
}

void RunFastPerft(benchmark::State& state, const char* fen, int depth, bool bulk) {
    std::string error;
    const Position position = *ParseFen(fen, error);
    Board32 board;
    board.Load(position.board);
    FastPerft perft;
    uint64_t leaves = 0;
    for (auto _ : state) {
        uint64_t count = 0;
        perft.Count(board, position.sideToMove, depth, bulk, count);
        leaves += count;
    }
    state.counters["leaves/s"] =
        benchmark::Counter(static_cast<double>(leaves), benchmark::Counter::kIsRate);
}

void BM_PerftStartBulk(benchmark::State& s) {
    RunPerft(s, "start", 8, true);
}
void BM_PerftStartMade(benchmark::State& s) {
    RunPerft(s, "start", 8, false);
}
void BM_PerftKingsBulk(benchmark::State& s) {
    RunPerft(s, kKingEndgame, 7, true);
}
void BM_PerftKingsMade(benchmark::State& s) {
    RunPerft(s, kKingEndgame, 7, false);
}
void BM_FastPerftStartBulk(benchmark::State& s) {
    RunFastPerft(s, "start", 8, true);
}
void BM_FastPerftStartMade(benchmark::State& s) {
    RunFastPerft(s, "start", 8, false);
}
void BM_FastPerftKingsBulk(benchmark::State& s) {
    RunFastPerft(s, kKingEndgame, 7, true);
}
void BM_FastPerftKingsMade(benchmark::State& s) {
    RunFastPerft(s, kKingEndgame, 7, false);
}

}  // namespace

BENCHMARK(BM_PerftStartBulk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PerftStartMade)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PerftKingsBulk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PerftKingsMade)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastPerftStartBulk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastPerftStartMade)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastPerftKingsBulk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastPerftKingsMade)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
