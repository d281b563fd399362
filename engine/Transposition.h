#pragma once

// A table of searched positions for one worker. An entry holds the whole
// position (both sides' pieces and the kings), the side to move and the
// remaining depth it was searched to, so a hit can never be another position:
// a node's value depends on nothing else once the weights are fixed. The value
// is exact or one bound, as alpha-beta left it. The table's size is fixed
// when it is made; nothing is allocated while searching.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/FastMoves.h"
#include "platform/ZeroPages.h"

enum Bound : uint8_t { kBoundNone = 0, kBoundUpper = 1, kBoundLower = 2, kBoundExact = 3 };

class TranspositionTable {
public:
    static constexpr uint8_t kNoMove = 255;

    // Rounded down to a power of two buckets of 64 bytes, two at least; a
    // small table lets tests force collisions. Its memory comes as the
    // system's zero pages, resident from the start: the thread that searches
    // with it takes no page fault.
    explicit TranspositionTable(size_t bytes);

    struct Hit {
        Bound bound = kBoundNone;  // of an entry searched to exactly the asked depth
        int32_t value = 0;
        uint8_t move = kNoMove;  // best move found at any depth, for ordering
    };

    // Fills hit from the entries of this position and side.
    void Probe(uint64_t key, const Board32& board, uint8_t side, int32_t depth, Hit& hit) const;
    void Store(uint64_t key, const Board32& board, uint8_t side, int32_t depth, int32_t value,
               Bound bound, uint8_t move);

    // Entries of earlier searches are replaced first.
    void NewSearch() { ++generation_; }
    // Forgets everything: values found with other weights are worthless. A
    // table that holds nothing is left alone.
    void Clear();

    size_t Bytes() const { return buckets_ * sizeof(Bucket); }

private:
    // Packed: three entries fill one cache line.
    struct __attribute__((packed)) Entry {
        uint32_t bottom;
        uint32_t top;
        uint32_t kings;
        int32_t value;
        uint8_t depth;  // 0: unused
        uint8_t side;
        uint8_t bound;
        uint8_t move;
        uint8_t generation;
    };
    struct alignas(64) Bucket {
        Entry entries[3];
        uint8_t padding[64 - 3 * sizeof(Entry)];
    };
    static_assert(sizeof(Bucket) == 64);

    static bool Same(const Entry& e, const Board32& board, uint8_t side) {
        return e.bottom == board.pieces[Bottom] && e.top == board.pieces[Top] &&
               e.kings == board.kings && e.side == side && e.depth != 0;
    }
    Bucket& At(uint64_t key) const { return table_[key >> shift_]; }

    size_t buckets_;
    ZeroPagesArray<Bucket> table_;
    int shift_;
    uint8_t generation_ = 1;
    bool empty_ = true;
};

// The position's key: its three masks and the side to move, well mixed.
inline uint64_t PositionKey(const Board32& board, uint8_t side) {
    uint64_t x = (static_cast<uint64_t>(board.pieces[Bottom]) << 32) | board.pieces[Top];
    x ^= (static_cast<uint64_t>(board.kings) << 1 | (side & 1)) * 0x9E3779B97F4A7C15ull;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 31;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 29;
    return x;
}
