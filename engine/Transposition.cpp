#include "engine/Transposition.h"

#include <algorithm>
#include <bit>
#include <cstring>

// At least two buckets: the bucket is the key's top bits, and a shift by all
// 64 of them would be undefined. Zero pages are an empty table already.
TranspositionTable::TranspositionTable(size_t bytes)
    : buckets_(std::bit_floor(std::max(bytes / sizeof(Bucket), size_t{2}))),
      table_(buckets_),
      shift_(64 - std::countr_zero(buckets_)) {}

void TranspositionTable::Clear() {
    if (empty_) return;
    empty_ = true;
    std::memset(static_cast<void*>(table_.get()), 0, buckets_ * sizeof(Bucket));
}

void TranspositionTable::Probe(uint64_t key, const Board32& board, uint8_t side, int32_t depth,
                               Hit& hit) const {
    const Bucket& bucket = At(key);
    int32_t nearest = 0;
    for (const Entry& e : bucket.entries) {
        if (!Same(e, board, side)) continue;
        if (e.depth == depth) {
            hit.bound = static_cast<Bound>(e.bound);
            hit.value = e.value;
            hit.move = e.move;
            return;
        }
        if (e.move != kNoMove && e.depth > nearest) {
            nearest = e.depth;
            hit.move = e.move;
        }
    }
}

void TranspositionTable::Store(uint64_t key, const Board32& board, uint8_t side, int32_t depth,
                               int32_t value, Bound bound, uint8_t move) {
    empty_ = false;
    Bucket& bucket = At(key);
    Entry* victim = &bucket.entries[0];
    for (Entry& e : bucket.entries) {
        if (Same(e, board, side) && e.depth == depth) {
            victim = &e;
            break;
        }
        // Prefer an empty slot, then one from an earlier search, then the shallowest.
        const auto worth = [this](const Entry& x) {
            return x.depth == 0 ? -1 : (x.generation != generation_ ? 0 : x.depth);
        };
        if (worth(e) < worth(*victim)) victim = &e;
    }
    *victim = Entry{board.pieces[Bottom],
                    board.pieces[Top],
                    board.kings,
                    value,
                    static_cast<uint8_t>(depth),
                    side,
                    bound,
                    move,
                    generation_};
}
