#pragma once

// A thread of the operating system running one routine on one object, with
// the lowest priority the system grants an unprivileged process. Qt-free.
// Two implementations, chosen at build time: OsThread.cpp (POSIX threads,
// Linux scheduling classes) and OsThreadWin.cpp (Win32 threads and
// priorities).

#ifndef _WIN32
#include <pthread.h>
#include <sys/types.h>
#endif

#include <atomic>
#include <cstdint>
#include <mutex>

#ifdef _WIN32
using OsThreadHandle = void*;  // the thread's HANDLE
using OsThreadId = unsigned long;
#else
using OsThreadHandle = pthread_t;
using OsThreadId = pid_t;
#endif

class OsThread {
public:
    using Routine = void (*)(void* object);
    using NativeHandle = OsThreadHandle;
    using NativeId = OsThreadId;

    OsThread() = default;
    // A thread still running is waited for: none outlives its object.
    ~OsThread() { Join(); }
    OsThread(const OsThread&) = delete;
    OsThread& operator=(const OsThread&) = delete;

    // Creates the thread at once, running routine(object) at the lowest
    // priority (SCHED_IDLE on Linux, THREAD_PRIORITY_IDLE on Windows) from its
    // first step. Call it from a thread of normal priority. False when the
    // system refuses to create a thread.
    bool Start(Routine routine, void* object);

    // Waits until the thread has ended; nothing to do when none was started.
    void Join();
    bool Joinable() const { return started_; }

    // Best effort: Linux lets an unprivileged process leave SCHED_IDLE only
    // when RLIMIT_NICE allows it, which it usually does not; Windows lets
    // anyone raise a thread of their own to THREAD_PRIORITY_TIME_CRITICAL. A
    // refusal is ignored; nothing may wait for the thread anyway. Takes no
    // lock the thread could hold, so the caller never waits for it.
    void RaiseToHighest();

    // Puts the calling thread back at the lowest priority. The only lock it
    // takes is the thread's own, which RaiseToHighest never takes: a thread
    // of the idle class may be kept from running for seconds.
    static void LowerCallingThread();

    NativeHandle Handle() const { return handle_; }
    // The kernel's id: on Linux 0 until the routine runs, on Windows set by Start.
    NativeId KernelId() const { return tid_.load(); }

    // Threads of this class whose routine has not yet returned.
    static int32_t LiveCount();
    // Makes the next n calls of Start fail as if the system had refused.
    static void FailNextStartsForTesting(int32_t n);

private:
#ifdef _WIN32
    static unsigned __stdcall Body(void* self);
#else
    static void* Body(void* self);
#endif

    NativeHandle handle_{};
    bool started_ = false;
    Routine routine_ = nullptr;
    void* object_ = nullptr;
    std::atomic<NativeId> tid_{0};
#ifndef _WIN32
    std::mutex gate_;  // held by Start until the new thread is in the idle class
    std::atomic<bool> raiseAsked_{false};  // a raise came before the id was known
#endif
};
