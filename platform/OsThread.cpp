#include "platform/OsThread.h"

#include <sched.h>
#include <unistd.h>

#include <atomic>

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
    if (pthread_create(&handle_, nullptr, &OsThread::Body, this) != 0) {
        liveThreads.fetch_sub(1);
        return false;
    }
    started_ = true;
    return true;
}

void* OsThread::Body(void* self) {
    auto* thread = static_cast<OsThread*>(self);
    // The thread lowers itself before any work, so it never competes with the
    // window at normal priority. SCHED_IDLE needs no privilege.
    thread->tid_.store(gettid());
    LowerCallingThread();
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
    const pid_t tid = tid_.load();
    if (!started_ || tid == 0) return;
    const sched_param normal{0};
    sched_setscheduler(tid, SCHED_OTHER, &normal);  // EPERM is expected and ignored
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
