#pragma once

// Waiting until an atomic word changes, and waking its waiters: what the
// search threads and the notice relay sleep on. On Linux this is
// std::atomic's own wait (a futex). On Windows it is WaitOnAddress: MinGW's
// libstdc++ 12 falls back to a condition variable that it notifies without
// taking the waiters' lock, so a wake-up that comes between a waiter's last
// look and its sleep is lost for good.

#include <atomic>
#include <cstdint>

#ifdef _WIN32

// Returns once word no longer holds old.
void AtomicWait(const std::atomic<uint32_t>& word, uint32_t old,
                std::memory_order order = std::memory_order_seq_cst);
void AtomicNotifyOne(std::atomic<uint32_t>& word);
void AtomicNotifyAll(std::atomic<uint32_t>& word);

#else

inline void AtomicWait(const std::atomic<uint32_t>& word, uint32_t old,
                       std::memory_order order = std::memory_order_seq_cst) {
    word.wait(old, order);
}
inline void AtomicNotifyOne(std::atomic<uint32_t>& word) {
    word.notify_one();
}
inline void AtomicNotifyAll(std::atomic<uint32_t>& word) {
    word.notify_all();
}

#endif
