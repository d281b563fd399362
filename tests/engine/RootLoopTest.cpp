// The worker's root loop, run on the test's own thread through SearchHere.
#include <gtest/gtest.h>

#include "engine/Hanalyzthread.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

struct Searched {
    std::unique_ptr<HAnalyzThread> worker = std::make_unique<HAnalyzThread>();
    Position position;
    HListMoves list;

    int32_t IndexOf(const std::string& path) const {
        for (int32_t i = 0; i < list.Count(); ++i)
            if (list.Move(i).PathText() == path) return i;
        return -1;
    }
};

std::unique_ptr<Searched> Prepared(const std::string& fen, const EngineParams& params) {
    ParamsScope scope(params);
    auto s = std::make_unique<Searched>();
    s->position = Fen(fen);
    s->list.Generate(s->position.sideToMove, s->position.board);
    return s;
}

std::unique_ptr<Searched> SearchedHere(const std::string& fen, const EngineParams& params) {
    auto s = Prepared(fen, params);
    ParamsScope scope(params);
    s->worker->SearchHere(s->list);
    return s;
}

int32_t SlowRootValue(Position position, const HMove& move, int32_t depthLimit) {
    SlowNegamax slow;
    position.board.ApplyMove(move);
    return move.score - slow.Value(position.board, Opponent(position.sideToMove), depthLimit);
}

constexpr const char* kMiddlegame =
    "W:Wa1,c1,e1,b2,f2,c3,e3,g3,d4,h4:Bb6,d6,f6,h6,a7,c7,e7,g7,b8,f8";
// Ten Bottom kings with 60 quiet moves between them.
constexpr const char* kManyKings = "W:WKa1,Kg1,Kd2,Ka3,Kg3,Kb6,Kh6,Kb8,Kd8,Kh8:Bf8";

TEST(RootLoop, SearchDepthFourRunsLimitsOneAndThree) {
    const EngineParams params{4, 5, 7, 1, 3};
    auto s = SearchedHere(kMiddlegame, params);
    EXPECT_EQ(s->worker->CompletedDepth(), 3);
    EXPECT_TRUE(s->worker->Stopped());
    ParamsScope scope(params);
    ASSERT_GE(s->worker->CandidateCount(), 1);
    // Every move still a candidate was searched last at limit 3.
    for (int32_t i = 0; i < s->worker->CandidateCount(); ++i) {
        const HMove& move = s->list.Move(s->worker->Candidate(i));
        EXPECT_EQ(move.value, SlowRootValue(s->position, move, 3)) << move.PathText();
    }
}

TEST(RootLoop, SearchDepthTwoLeavesTheValuesOfLimitOne) {
    // Limits go 1, 3, 5, ...: with searchDepth 2 only limit 1 runs, so no
    // value may come from a look two plies deep. The position is one where a
    // second iteration at limit 2 would show: every root move starts as a
    // candidate, none wins or loses, and a move that is among the best at
    // limit 1 is worth something else at limit 2.
    const EngineParams params{2, 5, 7, 1, 3};
    ParamsScope scope(params);
    std::optional<Position> chosen;
    for (Position position : MixedPositions(21, 80)) {
        HListMoves list;
        const int32_t n = list.Generate(position.sideToMove, position.board);
        if (n < 2) continue;
        bool fit = true;
        int32_t best = INT32_MIN;
        std::vector<int32_t> one, two;
        for (int32_t i = 0; i < n && fit; ++i) {
            const HMove& move = list.Move(i);
            fit = move.score == list.Move(0).score;
            one.push_back(SlowRootValue(position, move, 1));
            two.push_back(SlowRootValue(position, move, 2));
            fit = fit && std::abs(one.back() - move.score) <= 80 &&
                  std::abs(two.back() - move.score) <= 80;
            best = std::max(best, one.back());
        }
        bool shows = false;
        for (size_t i = 0; fit && i < one.size(); ++i) shows |= one[i] == best && two[i] != one[i];
        if (fit && shows) {
            chosen = position;
            break;
        }
    }
    ASSERT_TRUE(chosen) << "no position among the sample tells limit 1 from limit 2";
    auto s = SearchedHere(ToFen(chosen->board, chosen->sideToMove), params);
    EXPECT_EQ(s->worker->CandidateCount(), s->list.Count());
    for (int32_t i = 0; i < s->list.Count(); ++i) {
        const HMove& move = s->list.Move(i);
        EXPECT_EQ(move.value, SlowRootValue(s->position, move, 1)) << move.PathText();
    }
}

TEST(RootLoop, SearchDepthBelowOneRunsNoIteration) {
    for (const int32_t depth : {0, -3}) {
        auto s = SearchedHere("W:Wc3,g1:Bb4,d4,d6,h8", EngineParams{depth, 5, 7, 1, 3});
        EXPECT_EQ(s->worker->CompletedDepth(), 0);
        EXPECT_EQ(s->worker->Nodes(), 0u);
        ASSERT_EQ(s->list.Count(), 2);
        for (int32_t i = 0; i < s->list.Count(); ++i)
            EXPECT_EQ(s->list.Move(i).value, s->list.Move(i).score);
    }
}

TEST(RootLoop, MoveThatLeavesTheOpponentNoMoveEndsTheSearchAtOnce) {
    // a5-b6 shuts Top's a7 in: it can neither step to b6 nor jump it onto c5.
    auto s = SearchedHere("W:Wa5,c5:Ba7", EngineParams{9, 5, 7, 1, 3});
    const int32_t winning = s->IndexOf("a5-b6");
    ASSERT_EQ(winning, 0);
    EXPECT_EQ(s->list.Move(winning).value, s->list.Move(winning).score + 90);
    EXPECT_EQ(s->worker->CompletedDepth(), 0) << "the first iteration ended early";
    // The moves after it were never searched.
    for (int32_t i = 1; i < s->list.Count(); ++i)
        EXPECT_EQ(s->list.Move(i).value, s->list.Move(i).score);
    ASSERT_NE(s->worker->PickMove(), nullptr);
    EXPECT_EQ(s->worker->PickMove()->PathText(), "a5-b6");
    EXPECT_EQ(s->worker->PickMove()->value, s->list.Move(winning).value);
}

TEST(RootLoop, LosingMovesAreDroppedUntilOneIsLeft) {
    // c3-d4 is taken back by e5 and leaves Bottom without a piece.
    auto s = SearchedHere("W:Wc3:Be5", EngineParams{9, 0, 0, 0, 0});
    EXPECT_EQ(s->worker->CandidateCount(), 1);
    EXPECT_EQ(s->worker->Candidate(0), s->IndexOf("c3-b4"));
    EXPECT_EQ(s->list.Move(s->IndexOf("c3-d4")).value, -90);
    EXPECT_EQ(s->worker->CompletedDepth(), 1);
    ASSERT_NE(s->worker->PickMove(), nullptr);
    EXPECT_EQ(s->worker->PickMove()->PathText(), "c3-b4");
}

TEST(RootLoop, RankingOverwritesInsteadOfExchanging) {
    // Three root moves valued 3, 1, 3.
    RootValues set{{3, 1, 3}, {0, 1, 2}, 3, 0};
    EXPECT_EQ(set.Rank(), 2);
    EXPECT_EQ(set.candidates, (std::vector<int32_t>{0, 2, 2}));
    // A better value later in the list takes the front and starts the count anew.
    RootValues later{{1, 4, 4}, {0, 1, 2}, 3, 0};
    EXPECT_EQ(later.Rank(), 2);
    EXPECT_EQ(later.candidates[0], 1);
    EXPECT_EQ(later.candidates[1], 2);
}

TEST(RootLoop, ValuesAreWrittenToTheCallersListAndPublished) {
    const EngineParams params{3, 5, 7, 1, 3};
    auto s = SearchedHere(kMiddlegame, params);
    ASSERT_GE(s->list.Count(), 2);
    for (int32_t i = 0; i < s->list.Count(); ++i)
        EXPECT_EQ(s->worker->Value(i), s->list.Move(i).value) << i;
    EXPECT_TRUE(s->worker->Finished());
    // The worker searched its own copy: its list is the caller's, move for move.
    ASSERT_EQ(s->worker->RootList().Count(), s->list.Count());
    for (int32_t i = 0; i < s->list.Count(); ++i)
        EXPECT_EQ(s->worker->RootList().Move(i).PathText(), s->list.Move(i).PathText());
}

TEST(RootLoop, RootListOfMoreThanFiftyMoves) {
    const EngineParams params{1, 5, 7, 1, 3};
    auto s = SearchedHere(kManyKings, params);
    ASSERT_EQ(s->list.Count(), 60);
    EXPECT_EQ(s->worker->CompletedDepth(), 1);
    ASSERT_EQ(s->worker->CandidateCount(), 60);
    ParamsScope scope(params);
    for (int32_t i = 0; i < 60; ++i) {
        const HMove& move = s->list.Move(i);
        EXPECT_EQ(move.value, SlowRootValue(s->position, move, 1)) << move.PathText();
    }
    const HMove* chosen = s->worker->PickMove();
    ASSERT_NE(chosen, nullptr);
    for (int32_t i = 0; i < s->list.Count(); ++i) EXPECT_LE(s->list.Move(i).value, chosen->value);
}

TEST(RootLoop, RootListLongerThanTheUsualCandidatesArray) {
    // Each of the 60 moves listed five times over: 300 root moves.
    const EngineParams params{1, 0, 0, 0, 0};
    auto s = Prepared(kManyKings, params);
    for (int32_t i = 60; i < 300; ++i) s->list.Add(s->list.Move(i % 60));
    ParamsScope scope(params);
    s->worker->SearchHere(s->list);
    EXPECT_EQ(s->worker->CompletedDepth(), 1);
    ASSERT_EQ(s->worker->CandidateCount(), 300);
    std::vector<int32_t> seen(300, 0);
    for (int32_t i = 0; i < 300; ++i) ++seen[s->worker->Candidate(i)];
    for (int32_t i = 0; i < 300; ++i) {
        EXPECT_EQ(seen[i], 1);
        EXPECT_EQ(s->list.Move(i).value, SlowRootValue(s->position, s->list.Move(i), 1));
    }
}

TEST(RootLoop, SearchDepthBeyondTheFramesStopsAtTheDeepestLimit) {
    // Opponent files carry 99. This small position's tree ends everywhere
    // within the deepest limit, and with a negative man value no root value
    // crosses the thresholds, so every iteration up to the frames runs.
    const EngineParams params{99, 0, 0, -50, 0};
    auto s = SearchedHere("W:Wg1:Bh4", params);
    EXPECT_EQ(s->worker->CompletedDepth(), HSearch::kMaxDepthLimit);
    ParamsScope scope(params);
    for (int32_t i = 0; i < s->list.Count(); ++i)
        EXPECT_EQ(s->list.Move(i).value,
                  SlowRootValue(s->position, s->list.Move(i), HSearch::kMaxDepthLimit));
}

}  // namespace
