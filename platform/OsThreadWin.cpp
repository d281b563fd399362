#include <process.h>
#include <windows.h>

#include <atomic>

#include "platform/AtomicWait.h"
#include "platform/OsThread.h"

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
    // Made suspended and put at idle priority before it runs a single step.
    // Any process may raise its own threads again, so nothing here has to
    // order a lowering against a raise that follows at once.
    unsigned id = 0;
    const uintptr_t handle =
        _beginthreadex(nullptr, 0, &OsThread::Body, this, CREATE_SUSPENDED, &id);
    if (handle == 0) {
        liveThreads.fetch_sub(1);
        return false;
    }
    handle_ = reinterpret_cast<void*>(handle);
    tid_.store(id);
    SetThreadPriority(handle_, THREAD_PRIORITY_IDLE);
    started_ = true;
    ResumeThread(handle_);
    return true;
}

unsigned __stdcall OsThread::Body(void* self) {
    auto* thread = static_cast<OsThread*>(self);
    thread->routine_(thread->object_);
    liveThreads.fetch_sub(1);
    return 0;
}

void OsThread::Join() {
    if (!started_) return;
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(handle_);
    handle_ = nullptr;
    tid_.store(0);
    started_ = false;
}

// A call on the handle: the kernel changes the priority at once and takes no
// lock of the thread's, so the window never waits for an idle thread here.
void OsThread::RaiseToHighest() {
    if (!started_) return;
    SetThreadPriority(handle_, THREAD_PRIORITY_TIME_CRITICAL);
}

void OsThread::LowerCallingThread() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
}

int32_t OsThread::LiveCount() {
    return liveThreads.load();
}

void OsThread::FailNextStartsForTesting(int32_t n) {
    failuresToSimulate.store(n);
}

// WaitOnAddress compares the word with old and sleeps as one step against
// WakeByAddress*, so no wake-up is lost.
void AtomicWait(const std::atomic<uint32_t>& word, uint32_t old, std::memory_order order) {
    static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t));
    while (word.load(order) == old)
        WaitOnAddress(const_cast<std::atomic<uint32_t>*>(&word), &old, sizeof old, INFINITE);
}

void AtomicNotifyOne(std::atomic<uint32_t>& word) {
    WakeByAddressSingle(&word);
}

void AtomicNotifyAll(std::atomic<uint32_t>& word) {
    WakeByAddressAll(&word);
}
