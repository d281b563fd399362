#pragma once

// The fast search: the same values as the full-width search, found by
// alpha-beta with the full window at each root move, a table of positions,
// and move ordering (the table's best move, killer moves, history). Works on
// a board of three masks with make/unmake by a few bit operations and
// allocates nothing while it searches.

#include <atomic>
#include <cstdint>

#include "engine/FastMoves.h"
#include "engine/Transposition.h"

class AlphaBeta {
public:
    // Room for the moves of every ply of the deepest line; a position whose
    // moves do not fit is handed back to the full-width search.
    static constexpr int32_t kStackMoves = 4096;
    static constexpr int32_t kMaxPly = 40;
    static constexpr size_t kTableBytes = size_t{1} << 20;

    AlphaBeta();

    // The value for side of board with depthLimit plies. False when the
    // search could not give it: stopped, or more moves than the stack holds.
    bool Value(const Board32& board, uint8_t side, int32_t depthLimit, const EngineParams& params,
               const std::atomic<uint8_t>* stop, int32_t& value);

    // A new search: keeps the table (values depend only on the position, the
    // side, the depth and the weights) but ages its entries.
    void NewSearch();

    uint64_t nodes = 0;
    size_t Bytes() const;

private:
    int32_t Node(uint8_t side, int32_t depth, int32_t alpha, int32_t beta, int32_t ply);
    int32_t Horizon(uint8_t side, int32_t beta);
    void Order(FastMove* moves, int32_t* scores, int32_t n, uint8_t ttMove, int32_t ply,
               uint8_t side) const;
    void RewardQuiet(const FastMove& m, int32_t ply, uint8_t side, int32_t depth);

    Board32 board_;
    const EngineParams* params_ = nullptr;
    EngineParams tableParams_{};  // the weights the table's values were found with
    const std::atomic<uint8_t>* stop_ = nullptr;
    bool failed_ = false;
    int32_t top_ = 0;
    // Written whole when made, so that every page is resident before the
    // search thread first runs.
    FastMove stack_[kStackMoves]{};
    int32_t scores_[kStackMoves]{};
    uint16_t killers_[kMaxPly][2]{};
    int32_t history_[2][32][32]{};
    TranspositionTable table_;
};
