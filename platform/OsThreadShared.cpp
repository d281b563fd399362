// What both implementations of OsThread share: the count of live threads,
// the list of started ones, the probe's say before a start, and the thread's
// start before its routine.
#include <atomic>
#include <mutex>

#include "platform/OsThread.h"
#include "platform/Probe.h"

namespace {

std::atomic<int32_t> liveThreads{0};

// Started and not yet joined, newest first. Only owners and RaiseAll take
// the lock, so a thread of the idle class never holds it.
std::mutex startedLock;
OsThread* newestStarted = nullptr;

// Writes one byte in every page of the stack the next calls will use, from
// the top down (Windows commits a stack one guard page at a time).
[[gnu::noinline]] void TouchStack() {
    volatile unsigned char pages[OsThread::kResidentStackBytes];
    for (size_t end = sizeof pages; end >= 4096; end -= 4096) pages[end - 1] = 0;
}

}  // namespace

bool OsThread::BeginStart(Routine routine, void* object) {
    Join();
    if (!ProbeAt(ProbePoint::ThreadCreate, this)) return false;  // a refusal, as the system's
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
    RestoreCallingThread();
    liveThreads.fetch_sub(1);
}

void OsThread::Enlist() {
    std::lock_guard<std::mutex> lock(startedLock);
    next_ = newestStarted;
    if (next_ != nullptr) next_->previous_ = this;
    newestStarted = this;
}

void OsThread::Unlist() {
    std::lock_guard<std::mutex> lock(startedLock);
    if (previous_ != nullptr)
        previous_->next_ = next_;
    else
        newestStarted = next_;
    if (next_ != nullptr) next_->previous_ = previous_;
    previous_ = next_ = nullptr;
}

void OsThread::RaiseAll() {
    std::lock_guard<std::mutex> lock(startedLock);
    for (OsThread* thread = newestStarted; thread != nullptr; thread = thread->next_)
        thread->RaiseToHighest();
}

int32_t OsThread::LiveCount() {
    return liveThreads.load();
}
