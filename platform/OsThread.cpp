#include "platform/OsThread.h"

#include <sched.h>
#include <unistd.h>

namespace {

void RaiseThread(pid_t tid) {
    const sched_param normal{0};
    sched_setscheduler(tid, SCHED_OTHER, &normal);  // EPERM is expected and ignored
}

}  // namespace

// The new thread inherits its creator's scheduling class: call it from a
// thread of normal priority.
bool OsThread::Start(Routine routine, void* object) {
    if (!BeginStart(routine, object)) return false;
    if (pthread_create(&handle_, nullptr, &OsThread::Body, this) != 0) {
        StartRefused();
        return false;
    }
    started_ = true;
    Enlist();
    return true;
}

void* OsThread::Body(void* self) {
    auto* thread = static_cast<OsThread*>(self);
    thread->tid_.store(gettid());
    thread->RunRoutine();
    thread->tid_.store(0);
    return nullptr;
}

void OsThread::Join() {
    if (!started_) return;
    Unlist();
    pthread_join(handle_, nullptr);
    started_ = false;
}

// The system call itself, by thread id: the library's wrapper locks the
// thread's descriptor, which the thread holds while it lowers itself, and
// once lowered it may not run again for a long time.
void OsThread::RaiseToHighest() {
    const pid_t tid = started_ ? tid_.load() : 0;
    if (tid != 0) RaiseThread(tid);
}

// The calling thread's own changes go through the library, which keeps what
// it reports about the thread true; only the thread itself takes its
// descriptor's lock here.
void OsThread::RaiseCallingThread() {
    const sched_param normal{0};
    pthread_setschedparam(pthread_self(), SCHED_OTHER, &normal);  // EPERM ignored
}

void OsThread::RestoreCallingThread() {
    RaiseCallingThread();  // the highest an ordinary thread has is normal
}

void OsThread::LowerCallingThread() {
    const sched_param idle{0};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
}
