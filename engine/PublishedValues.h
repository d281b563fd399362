#pragma once

// What a search has found, handed from its thread to the window's without a
// lock and without either side waiting: three sets handed round. The thread
// fills its back set and swaps it with the middle one, marked fresh (and
// final with the search's last word); the window swaps its front set with a
// fresh middle one before reading. Each side only ever touches its own set.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

struct RootValues {
    std::vector<int32_t> values;      // one per root move
    std::vector<int32_t> candidates;  // the moves still in play, first candidateCount
    int32_t candidateCount = 0;
    int32_t completedDepth = 0;  // the deepest iteration completed; 0: none

    // Grows only; every element is written, so its pages are resident.
    void Reserve(size_t moves) {
        values.resize(std::max(values.size(), moves));
        candidates.resize(std::max(candidates.size(), moves));
    }
    void CopyFrom(const RootValues& other, int32_t moves) {
        candidateCount = other.candidateCount;
        completedDepth = other.completedDepth;
        std::copy_n(other.candidates.begin(), candidateCount, candidates.begin());
        std::copy_n(other.values.begin(), moves, values.begin());
    }
    // Gathers the best-valued candidates at the front by overwriting entries
    // (a candidate overwritten is gone, another may stand twice) and returns
    // their number.
    int32_t Rank() {
        int32_t t = 1;
        for (int32_t i = 1; i < candidateCount; ++i) {
            const int32_t v = values[candidates[i]];
            const int32_t w = values[candidates[0]];
            if (v > w) {
                candidates[0] = candidates[i];
                t = 1;
            } else if (v == w) {
                candidates[t++] = candidates[i];
            }
        }
        return t;
    }
};

class PublishedValues {
public:
    // ---- while the thread is not on a task
    void Reserve(size_t moves) {
        for (RootValues& set : sets_) set.Reserve(moves);
    }
    // Every set becomes first; final: no search will follow.
    void Reset(const RootValues& first, int32_t moves, bool final) {
        for (RootValues& set : sets_) set.CopyFrom(first, moves);
        front_ = 0;
        frontFinal_ = final;
        middle_.store(1);
        back_ = 2;
    }

    // ---- on the search's thread
    void Publish(const RootValues& work, int32_t moves, bool final) {
        sets_[back_].CopyFrom(work, moves);
        back_ = middle_.exchange(back_ | kFresh | (final ? kFinal : 0)) & kIndexMask;
    }

    // ---- on the window's thread
    // Takes in the last set published, if it has not already.
    void TakeLatest() {
        if ((middle_.load(std::memory_order_relaxed) & kFresh) == 0) return;
        const uint8_t taken = middle_.exchange(front_, std::memory_order_acq_rel);
        front_ = taken & kIndexMask;
        frontFinal_ = (taken & kFinal) != 0;
    }
    RootValues& Front() { return sets_[front_]; }
    const RootValues& Front() const { return sets_[front_]; }
    // The search's last word has been published, taken in or not. Sequentially
    // consistent, as the worker's notice needs.
    bool Final() const { return frontFinal_ || (middle_.load() & kFinal) != 0; }

private:
    static constexpr uint8_t kIndexMask = 3;
    static constexpr uint8_t kFresh = 4;
    static constexpr uint8_t kFinal = 8;

    RootValues sets_[3];
    uint8_t back_ = 2;   // the thread's
    uint8_t front_ = 0;  // the window's
    bool frontFinal_ = true;
    std::atomic<uint8_t> middle_{1};
};
