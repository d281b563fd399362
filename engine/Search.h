#pragma once

// The search of one worker. The full-width search is negamax over running
// gains on the worker's own board, generating moves directly on it by the
// rules, with no pruning and no table: the reference. The alpha-beta search
// finds exactly the same values much faster; the game uses it.

#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/AlphaBeta.h"
#include "engine/EngineParams.h"
#include "rules/Hdoska.h"
#include "rules/Hmove.h"

// A side to move with no legal move has lost.
inline constexpr int32_t kLostValue = -90;
// Thresholds on the opponent's value after a root move.
inline constexpr int32_t kWinThreshold = -80;  // below: the opponent has lost
inline constexpr int32_t kLossThreshold = 80;  // above: the root move loses

enum class SearchKind : uint8_t { FullWidth, AlphaBeta };

class HSearch {
public:
    // Ply p uses frames[p], and the node past the limit touches one more, so
    // an iteration may go at most this deep.
    static constexpr int32_t kFrames = 35;
    static constexpr int32_t kMaxDepthLimit = kFrames - 2;

    HSearch() = default;

    // The value, for side, of the position on board with the running
    // depthLimit (at most kMaxDepthLimit): the best over side's moves of
    // (gain - the opponent's value after it), -90 with no move, 0 past the
    // limit. King counts are taken from the board's counters. Returns 0 as
    // soon as *stop is seen set.
    int32_t Value(uint8_t side);

    // Called when a new search starts: ages the alpha-beta table.
    void NewSearch() { fast->NewSearch(); }
    size_t Bytes() const { return sizeof(*this) + fast->Bytes(); }

    EngineParams params;  // the worker's snapshot; nothing else is read
    HDoska board;
    int32_t depthLimit = 1;
    const std::atomic<uint8_t>* stop = &kNeverStop;
    uint64_t nodes = 0;
    SearchKind kind = SearchKind::AlphaBeta;

private:
    static constexpr std::atomic<uint8_t> kNeverStop{0};

    int32_t FullWidthValue(uint8_t side);
    int32_t Search(uint8_t side);
    void ManMoves(uint8_t side, int32_t x, int32_t y);
    void KingMoves(uint8_t side, int32_t x, int32_t y);
    bool ManCaptures(uint8_t side, int32_t x, int32_t y);
    bool KingCaptures(uint8_t side, int32_t x, int32_t y);

    bool Stopped() const { return stop->load(std::memory_order_relaxed) != 0; }
    // Keeps the best value seen at the current node.
    void Record(int32_t v) {
        HMove& frame = frames[ply];
        if (v > frame.value || frame.valueSet == 0) {
            frame.value = v;
            frame.valueSet = 1;
        }
    }
    int32_t PromotionGain(uint8_t side) const {
        return params.promotionBonus + (kings[side] == 0 ? params.firstKingBonus : 0);
    }
    void LiftCaptured(uint8_t owner);

    HMove frames[kFrames];
    int32_t ply = 0;
    int32_t kings[4] = {0, 0, 0, 0};
    std::unique_ptr<AlphaBeta> fast = std::make_unique<AlphaBeta>();
};
