#include "platform/OsThread.h"

#include <sched.h>

#include <atomic>
#include <mutex>

namespace {

std::atomic<int32_t> liveThreads{0};
std::atomic<int32_t> failuresToSimulate{0};

bool TakeSimulatedFailure() {
    int32_t n = failuresToSimulate.load();
    while (n > 0)
        if (failuresToSimulate.compare_exchange_weak(n, n - 1)) return true;
    return false;
}

}  // namespace

bool OsThread::Start(Routine routine, void* object) {
    Join();
    if (TakeSimulatedFailure()) return false;
    routine_ = routine;
    object_ = object;
    liveThreads.fetch_add(1);
    // The new thread waits at the gate until it has been put in the idle
    // class, so it never competes with the window at normal priority. The
    // creator lowers it, not the thread itself: a raise that follows the start
    // at once (an abort) is then never undone by a late lowering. SCHED_IDLE
    // needs no privilege; glibc will not create a thread in it directly.
    std::lock_guard<std::mutex> gate(gate_);
    if (pthread_create(&handle_, nullptr, &OsThread::Body, this) != 0) {
        liveThreads.fetch_sub(1);
        return false;
    }
    const sched_param idle{0};
    pthread_setschedparam(handle_, SCHED_IDLE, &idle);
    started_ = true;
    return true;
}

void* OsThread::Body(void* self) {
    auto* thread = static_cast<OsThread*>(self);
    { std::lock_guard<std::mutex> gate(thread->gate_); }
    thread->routine_(thread->object_);
    liveThreads.fetch_sub(1);
    return nullptr;
}

void OsThread::Join() {
    if (!started_) return;
    pthread_join(handle_, nullptr);
    started_ = false;
}

void OsThread::RaiseToHighest() {
    if (!started_) return;
    const sched_param normal{0};
    pthread_setschedparam(handle_, SCHED_OTHER, &normal);  // EPERM is expected and ignored
}

int32_t OsThread::LiveCount() {
    return liveThreads.load();
}

void OsThread::FailNextStartsForTesting(int32_t n) {
    failuresToSimulate.store(n);
}
