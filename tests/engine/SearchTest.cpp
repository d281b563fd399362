#include <gtest/gtest.h>

#include "engine/Search.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

constexpr EngineParams kZeroWeights{25, 0, 0, 0, 0};
constexpr EngineParams kOpponentWeights{25, 5, 7, 1, 3};

// Each root move's value at one depth limit, as the engine's search gives it.
std::vector<int32_t> SearchValues(Position& position, int32_t depthLimit,
                                  SearchKind kind = SearchKind::FullWidth) {
    auto search = std::make_unique<HSearch>();
    search->kind = kind;
    search->params = engineParams;
    search->board = position.board;
    search->depthLimit = depthLimit;
    HListMoves list;
    const int32_t n = list.Generate(position.sideToMove, position.board);
    std::vector<int32_t> values;
    for (int32_t i = 0; i < n; ++i) {
        const HMove& move = list.Move(i);
        search->board.ApplyMove(move);
        values.push_back(move.score - search->Value(Opponent(position.sideToMove)));
        search->board.UndoMove(move);
    }
    return values;
}

std::vector<int32_t> SlowValues(Position& position, int32_t depthLimit) {
    SlowNegamax slow;
    HListMoves list;
    const int32_t n = list.Generate(position.sideToMove, position.board);
    std::vector<int32_t> values;
    for (int32_t i = 0; i < n; ++i) {
        const HMove move = list.Move(i);
        position.board.ApplyMove(move);
        values.push_back(move.score -
                         slow.Value(position.board, Opponent(position.sideToMove), depthLimit));
        position.board.UndoMove(move);
    }
    return values;
}

// The side to move's value by the full-width search, checked against the
// fast one.
int32_t SideValue(const std::string& fen, int32_t depthLimit) {
    Position position = Fen(fen);
    int32_t values[2];
    for (const SearchKind kind : {SearchKind::FullWidth, SearchKind::AlphaBeta}) {
        auto search = std::make_unique<HSearch>();
        search->kind = kind;
        search->params = engineParams;
        search->board = position.board;
        search->depthLimit = depthLimit;
        values[kind == SearchKind::FullWidth ? 0 : 1] = search->Value(position.sideToMove);
    }
    EXPECT_EQ(values[0], values[1]) << fen;
    return values[0];
}

class SearchAgreesWithSlowNegamax
    : public ::testing::TestWithParam<std::tuple<EngineParams, SearchKind>> {};

TEST_P(SearchAgreesWithSlowNegamax, AtDepthLimitsOneAndThree) {
    ParamsScope scope(std::get<0>(GetParam()));
    const SearchKind kind = std::get<1>(GetParam());
    std::vector<Position> positions = MixedPositions(20261209, 400);
    int32_t nonZero = 0;
    for (Position& position : positions) {
        const std::string fen = ToFen(position.board, position.sideToMove);
        for (const int32_t depthLimit : {1, 3}) {
            const std::vector<int32_t> expected = SlowValues(position, depthLimit);
            ASSERT_EQ(SearchValues(position, depthLimit), expected)
                << fen << " limit " << depthLimit;
            for (const int32_t v : expected) nonZero += v != 0 ? 1 : 0;
        }
        // The search puts its board back exactly.
        Position again = position;
        SearchValues(again, 3, kind);
        EXPECT_EQ(ToFen(again.board, again.sideToMove), fen);
    }
    EXPECT_GT(nonZero, 40) << "the positions must tell moves apart";
}

INSTANTIATE_TEST_SUITE_P(
    Weights, SearchAgreesWithSlowNegamax,
    ::testing::Combine(::testing::Values(kZeroWeights, kOpponentWeights),
                       ::testing::Values(SearchKind::FullWidth, SearchKind::AlphaBeta)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param) == kZeroWeights ? "Zero" : "Opponent") +
               (std::get<1>(info.param) == SearchKind::FullWidth ? "FullWidth" : "AlphaBeta");
    });

TEST(Search, SideWithoutPieceOrMoveHasLost) {
    ParamsScope scope(kOpponentWeights);
    EXPECT_EQ(SideValue("B:Wc3,e3:B", 1), kLostValue);
    EXPECT_EQ(SideValue("B:Wc3,e3:B", 5), kLostValue);
    // Top's men on b2 and d2 face Bottom pieces on a1, c1 and e1, which
    // cannot be taken: nothing lies beyond the first row.
    EXPECT_EQ(SideValue("B:Wa1,c1,e1:Bb2,d2", 3), kLostValue);
}

TEST(Search, DepthLimitOneIsTheBestImmediateGain) {
    ParamsScope scope(kOpponentWeights);
    // Bottom takes one man with c3:a5 or two with c3:e5:c7.
    const std::string fen = "W:Wc3,g1:Bb4,d4,d6,h8";
    Position position = Fen(fen);
    HListMoves list;
    list.Generate(Bottom, position.board);
    int32_t best = INT32_MIN;
    for (int32_t i = 0; i < list.Count(); ++i) best = std::max(best, list.Move(i).score);
    EXPECT_EQ(best, 2);
    EXPECT_EQ(SideValue(fen, 1), best);
    EXPECT_EQ(SideValue(fen, 0), 0) << "past the limit a position is worth 0";
}

TEST(Search, ManCrownedDuringCaptureGoesOnAsKingWithOneBonus) {
    ParamsScope scope(kOpponentWeights);
    // b6:d8 crowns, then the king goes on over e7: two men, one promotion, first king.
    EXPECT_EQ(SideValue("W:Wb6:Bc7,e7", 1), 1 + 5 + 7 + 1);
}

TEST(Search, KingContinuesOnlyFromTheLandingThatGoesOn) {
    ParamsScope scope(EngineParams{25, 0, 0, 1, 3});
    // a1 jumps c3 with landings d4, e5, f6, g7, h8; only e5 goes on over f4.
    // Stopping short would leave f4 to be taken back; every legal move takes both.
    Position position = Fen("W:WKa1:Bc3,f4,h6");
    HListMoves list;
    ASSERT_EQ(list.Generate(Bottom, position.board), 2);
    for (const int32_t v : SearchValues(position, 1)) EXPECT_EQ(v, 2);
    EXPECT_EQ(SearchValues(position, 3), SlowValues(position, 3));
}

TEST(Search, LongCapturesAgreeWithTheRules) {
    ParamsScope scope(kOpponentWeights);
    // A king's ring capture that may end on its own start square, and a man's
    // four-piece capture around a ring.
    for (const char* fen :
         {"W:WKb4:Bc3,e3,e5,c5,h8", "W:Wc1:Bd2,f4,f6,d6,b4,h8", "W:WKa1:Bb2,c3,e5,g5,f2,d6,h8"}) {
        Position position = Fen(fen);
        for (const int32_t limit : {1, 2, 3}) {
            const std::vector<int32_t> expected = SlowValues(position, limit);
            EXPECT_EQ(SearchValues(position, limit), expected) << fen;
            EXPECT_EQ(SearchValues(position, limit, SearchKind::AlphaBeta), expected) << fen;
        }
    }
}

TEST(Search, DeepestIterationFitsTheFrames) {
    ParamsScope scope(EngineParams{99, 0, 0, -50, 0});
    // A small position whose tree ends within the limit along every line.
    Position position = Fen("W:Wg1:Bh4");
    const std::vector<int32_t> expected = SlowValues(position, HSearch::kMaxDepthLimit);
    EXPECT_EQ(SearchValues(position, HSearch::kMaxDepthLimit), expected);
    EXPECT_EQ(SearchValues(position, HSearch::kMaxDepthLimit, SearchKind::AlphaBeta), expected);
}

TEST(Search, StopFlagEndsTheSearchAndRestoresTheBoard) {
    ParamsScope scope(kOpponentWeights);
    for (const SearchKind kind : {SearchKind::FullWidth, SearchKind::AlphaBeta}) {
        Position position = Fen("start");
        auto search = std::make_unique<HSearch>();
        search->kind = kind;
        std::atomic<uint8_t> stop{1};
        search->params = engineParams;
        search->board = position.board;
        search->depthLimit = 9;
        search->stop = &stop;
        EXPECT_EQ(search->Value(Bottom), 0);
        EXPECT_LE(search->nodes, 1u);
        EXPECT_EQ(ToFen(search->board, Bottom), ToFen(position.board, Bottom));
    }
}

}  // namespace
