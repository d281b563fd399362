// The fast search must give every root move exactly the full-width value.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/Hanalyzthread.h"
#include "engine/Search.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

constexpr EngineParams kWeightSets[] = {
    {25, 0, 0, 0, 0},
    {25, 5, 7, 1, 3},
    {25, 2, 11, 4, 9},
};

// How much full-width work one position may cost before deeper limits are
// skipped for it; PELVANTA_IDENTITY_BUDGET raises it for a long run.
uint64_t NodeBudget() {
    const char* text = std::getenv("PELVANTA_IDENTITY_BUDGET");
    if (text != nullptr) return std::strtoull(text, nullptr, 10);
    return kSanitized ? 40000 : 600000;
}

struct Searchers {
    std::unique_ptr<HSearch> full = std::make_unique<HSearch>();
    std::unique_ptr<HSearch> fast = std::make_unique<HSearch>();
    Searchers() {
        full->kind = SearchKind::FullWidth;
        fast->kind = SearchKind::AlphaBeta;
    }
};

std::vector<int32_t> RootValues(HSearch& search, const Position& position, HListMoves& list,
                                int32_t depthLimit) {
    search.params = engineParams;
    search.board = position.board;
    search.depthLimit = depthLimit;
    std::vector<int32_t> values;
    for (int32_t i = 0; i < list.Count(); ++i) {
        const HMove& move = list.Move(i);
        search.board.ApplyMove(move);
        values.push_back(move.score - search.Value(Opponent(position.sideToMove)));
        search.board.UndoMove(move);
    }
    return values;
}

class Identity : public ::testing::TestWithParam<int> {};

TEST_P(Identity, EveryRootValueEqualsTheFullWidthValueAtLimitsOneToSeven) {
    ParamsScope scope(kWeightSets[GetParam()]);
    Searchers s;
    std::vector<Position> positions = MixedPositions(9000 + GetParam(), Scaled(300));
    int32_t reached[8] = {0};
    int32_t compared = 0;
    for (const Position& position : positions) {
        HListMoves list;
        Position copy = position;
        list.Generate(copy.sideToMove, copy.board);
        for (int32_t limit = 1; limit <= 7; ++limit) {
            s.full->nodes = 0;
            const std::vector<int32_t> expected = RootValues(*s.full, position, list, limit);
            ASSERT_EQ(RootValues(*s.fast, position, list, limit), expected)
                << ToFen(position.board, position.sideToMove) << " limit " << limit;
            ++reached[limit];
            compared += static_cast<int32_t>(expected.size());
            if (s.full->nodes > NodeBudget()) break;
        }
    }
    for (int32_t limit = 1; limit <= 7; ++limit)
        std::printf("limit %d: %d positions\n", limit, reached[limit]);
    EXPECT_EQ(reached[1], static_cast<int32_t>(positions.size()));
    EXPECT_GE(reached[7], static_cast<int32_t>(positions.size()) / (kSanitized ? 5 : 3))
        << "too few positions reached the deepest limit";
    EXPECT_GT(compared, 1000);
}

INSTANTIATE_TEST_SUITE_P(WeightSets, Identity, ::testing::Values(0, 1, 2));

// Runs a worker on the calling thread to a fixed depth with one search.
struct WorkerRun {
    std::unique_ptr<HAnalyzThread> worker = std::make_unique<HAnalyzThread>();
    HListMoves list;
    std::vector<int32_t> values;
    std::vector<int32_t> candidates;
    std::vector<int32_t> choosable;
    int32_t depth = 0;

    WorkerRun(Position position, SearchKind kind) {
        list.Generate(position.sideToMove, position.board);
        worker->searchKind = kind;
        worker->SearchHere(list);
        for (int32_t i = 0; i < list.Count(); ++i) values.push_back(list.Move(i).value);
        for (int32_t i = 0; i < worker->CandidateCount(); ++i)
            candidates.push_back(worker->Candidate(i));
        depth = worker->CompletedDepth();
        worker->PickMove();
        for (int32_t i = 0; i < worker->RankedCount(); ++i)
            choosable.push_back(worker->Candidate(i));
        std::sort(choosable.begin(), choosable.end());
    }
};

TEST(Identity, WorkerToAFixedDepthEndsTheSameWithBothSearches) {
    for (const EngineParams& weights : kWeightSets) {
        EngineParams params = weights;
        params.searchDepth = 5;
        ParamsScope scope(params);
        for (const Position& position : MixedPositions(4242, Scaled(60))) {
            const WorkerRun full(position, SearchKind::FullWidth);
            const WorkerRun fast(position, SearchKind::AlphaBeta);
            const std::string fen = ToFen(position.board, position.sideToMove);
            EXPECT_EQ(fast.values, full.values) << fen;
            EXPECT_EQ(fast.candidates, full.candidates) << fen;
            EXPECT_EQ(fast.choosable, full.choosable) << fen;
            EXPECT_EQ(fast.depth, full.depth) << fen;
        }
    }
}

TEST(Identity, BoardWithWrongKingCountersFallsBackToTheFullWidthSearch) {
    ParamsScope scope(kWeightSets[1]);
    // Counters saying Top has no king while it has one: the fast search's
    // board of masks cannot express that, so the full-width search answers.
    Position position = Fen("W:Wc3,e3:BKh8,f6");
    position.board.topKings = 0;
    Searchers s;
    HListMoves list;
    list.Generate(position.sideToMove, position.board);
    for (int32_t limit = 1; limit <= 5; ++limit)
        EXPECT_EQ(RootValues(*s.fast, position, list, limit),
                  RootValues(*s.full, position, list, limit));
}

}  // namespace
