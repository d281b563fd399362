// What both implementations of OsThread share: the count of live threads,
// simulated refusals, and the thread's start before its routine.
#include <atomic>

#include "platform/OsThread.h"

namespace {

std::atomic<int32_t> liveThreads{0};
std::atomic<int32_t> failuresToSimulate{0};

// Writes one byte in every page of the stack the next calls will use, from
// the top down (Windows commits a stack one guard page at a time).
[[gnu::noinline]] void TouchStack() {
    volatile unsigned char pages[OsThread::kResidentStackBytes];
    for (size_t end = sizeof pages; end >= 4096; end -= 4096) pages[end - 1] = 0;
}

}  // namespace

bool OsThread::BeginStart(Routine routine, void* object) {
    Join();
    int32_t n = failuresToSimulate.load();
    while (n > 0)
        if (failuresToSimulate.compare_exchange_weak(n, n - 1)) return false;
    routine_ = routine;
    object_ = object;
    liveThreads.fetch_add(1);
    return true;
}

void OsThread::StartRefused() {
    liveThreads.fetch_sub(1);
}

void OsThread::RunRoutine() {
    TouchStack();
    routine_(object_);
    liveThreads.fetch_sub(1);
}

int32_t OsThread::LiveCount() {
    return liveThreads.load();
}

void OsThread::FailNextStartsForTesting(int32_t n) {
    failuresToSimulate.store(n);
}
