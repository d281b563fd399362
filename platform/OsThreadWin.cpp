#include <process.h>
#include <windows.h>

#include <atomic>

#include "platform/AtomicWait.h"
#include "platform/OsThread.h"

// Made running, at normal priority: the thread's start (the runtime's and
// every DLL's thread-attach code, under the loader lock) runs before it
// lowers itself, so a busy machine cannot starve it while it holds that lock.
bool OsThread::Start(Routine routine, void* object) {
    if (!BeginStart(routine, object)) return false;
    unsigned id = 0;
    const uintptr_t handle = _beginthreadex(nullptr, 0, &OsThread::Body, this, 0, &id);
    if (handle == 0) {
        StartRefused();
        return false;
    }
    handle_ = reinterpret_cast<void*>(handle);
    tid_.store(id);
    started_ = true;
    Enlist();
    return true;
}

unsigned __stdcall OsThread::Body(void* self) {
    static_cast<OsThread*>(self)->RunRoutine();
    return 0;
}

void OsThread::Join() {
    if (!started_) return;
    Unlist();
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

void OsThread::RaiseCallingThread() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

void OsThread::RestoreCallingThread() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
}

void OsThread::LowerCallingThread() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
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
