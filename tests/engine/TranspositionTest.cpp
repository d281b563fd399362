// The table of positions on its own: a hit must be the position, side and
// depth asked for, however the keys collide. A table of two buckets makes
// every probe meet entries of other positions.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "engine/Transposition.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

constexpr size_t kTwoBuckets = 128;

Board32 Load(const Position& position) {
    Board32 board;
    EXPECT_TRUE(board.Load(position.board));
    return board;
}

TranspositionTable::Hit ProbeFor(const TranspositionTable& table, const Board32& board,
                                 uint8_t side, int32_t depth) {
    TranspositionTable::Hit hit;
    table.Probe(PositionKey(board, side), board, side, depth, hit);
    return hit;
}

TEST(Transposition, ATinyTableStillHoldsWhatItWasGiven) {
    TranspositionTable table(1);  // rounds up to the smallest table there is
    EXPECT_GE(table.Bytes(), 64u);
    const Board32 board = Load(Fen("start"));
    table.Store(PositionKey(board, Bottom), board, Bottom, 3, 5, kBoundExact, 2);
    const TranspositionTable::Hit hit = ProbeFor(table, board, Bottom, 3);
    EXPECT_EQ(hit.bound, kBoundExact);
    EXPECT_EQ(hit.value, 5);
    EXPECT_EQ(hit.move, 2);
}

TEST(Transposition, AnEntryForOneSideIsNeverTheOtherSidesAnswer) {
    // The same pieces with the other side to move are another position. Even
    // under the very same key the table must tell them apart.
    for (const Position& position : MixedPositions(5, 40)) {
        TranspositionTable table(kTwoBuckets);
        const Board32 board = Load(position);
        const uint64_t key = PositionKey(board, Bottom);
        table.Store(key, board, Bottom, 4, 17, kBoundExact, 3);
        TranspositionTable::Hit hit;
        table.Probe(key, board, Top, 4, hit);
        EXPECT_EQ(hit.bound, kBoundNone) << ToFen(position.board, Top);
        EXPECT_EQ(hit.move, TranspositionTable::kNoMove) << "not even its move, for ordering";
        // With its own key, wherever that falls in the table.
        TranspositionTable::Hit own = ProbeFor(table, board, Top, 4);
        EXPECT_EQ(own.bound, kBoundNone);
        EXPECT_EQ(own.move, TranspositionTable::kNoMove);

        // Both stored: each side gets its own value back.
        table.Store(PositionKey(board, Top), board, Top, 4, -9, kBoundLower, 1);
        own = ProbeFor(table, board, Top, 4);
        EXPECT_EQ(own.bound, kBoundLower);
        EXPECT_EQ(own.value, -9);
        const TranspositionTable::Hit bottom = ProbeFor(table, board, Bottom, 4);
        EXPECT_EQ(bottom.bound, kBoundExact);
        EXPECT_EQ(bottom.value, 17);
    }
}

TEST(Transposition, EveryHitInACrowdedTableIsWhatWasStoredForIt) {
    // Many positions, both sides, two depths into two buckets: most entries
    // are pushed out, and whatever is still found must be exactly what was
    // stored for that position, side and depth (a later store replaces).
    TranspositionTable table(kTwoBuckets);
    std::map<std::tuple<uint32_t, uint32_t, uint32_t, uint8_t, int32_t>, int32_t> stored;
    const std::vector<Position> positions = MixedPositions(11, 60);
    int32_t value = 0;
    int hits = 0;
    for (const Position& position : positions) {
        const Board32 board = Load(position);
        for (const uint8_t side : {Bottom, Top})
            for (const int32_t depth : {2, 3}) {
                ++value;
                table.Store(PositionKey(board, side), board, side, depth, value, kBoundExact, 0);
                stored[{board.pieces[Bottom], board.pieces[Top], board.kings, side, depth}] = value;
            }
        for (const Position& earlier : positions) {
            const Board32 probe = Load(earlier);
            for (const uint8_t side : {Bottom, Top})
                for (const int32_t depth : {2, 3}) {
                    const TranspositionTable::Hit hit = ProbeFor(table, probe, side, depth);
                    if (hit.bound == kBoundNone) continue;
                    ++hits;
                    const auto it = stored.find(
                        {probe.pieces[Bottom], probe.pieces[Top], probe.kings, side, depth});
                    ASSERT_NE(it, stored.end()) << "a hit for a position never stored";
                    EXPECT_EQ(hit.value, it->second) << ToFen(earlier.board, side);
                }
            if (&earlier == &position) break;
        }
    }
    EXPECT_GT(hits, 0) << "the latest entries at least must be found";
}

}  // namespace
