#include "platform/OsThread.h"

#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace {

std::atomic<int32_t> liveThreads{0};
std::atomic<int32_t> failuresToSimulate{0};

void RaiseThread(pid_t tid) {
    const sched_param normal{0};
    sched_setscheduler(tid, SCHED_OTHER, &normal);  // EPERM is expected and ignored
}

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
    // A raise that came before the id was published is carried out here; one
    // that reads the id after this store raises the thread itself.
    thread->tid_.store(gettid());
    if (thread->raiseAsked_.exchange(false)) RaiseThread(gettid());
    thread->routine_(thread->object_);
    thread->tid_.store(0);
    liveThreads.fetch_sub(1);
    return nullptr;
}

void OsThread::Join() {
    if (!started_) return;
    pthread_join(handle_, nullptr);
    started_ = false;
}

// The system call itself, by thread id: the library's wrapper locks the
// thread's descriptor, which the thread holds while it lowers itself, and
// once lowered it may not run again for a long time.
void OsThread::RaiseToHighest() {
    if (!started_) return;
    raiseAsked_.store(true);
    const pid_t tid = tid_.load();
    if (tid != 0) RaiseThread(tid);
}

// Through the library, which keeps what it reports about the thread true;
// only the thread itself takes its descriptor's lock here.
void OsThread::LowerCallingThread() {
    const sched_param idle{0};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
}

int32_t OsThread::LiveCount() {
    return liveThreads.load();
}

void OsThread::FailNextStartsForTesting(int32_t n) {
    failuresToSimulate.store(n);
}
