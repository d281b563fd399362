#pragma once

// A thread of the operating system running one routine on one object.
// Qt-free. Two implementations, chosen at build time: OsThread.cpp (POSIX
// threads, Linux scheduling classes) and OsThreadWin.cpp (Win32 threads and
// priorities).

#ifndef _WIN32
#include <pthread.h>
#include <sys/types.h>
#endif

#include <atomic>
#include <cstddef>
#include <cstdint>

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

    // The part of a new thread's stack made resident before its routine runs:
    // a search's deepest line takes under 20 KiB.
    static constexpr size_t kResidentStackBytes = 64 * 1024;

    OsThread() = default;
    // A thread still running is waited for: none outlives its object.
    ~OsThread() { Join(); }
    OsThread(const OsThread&) = delete;
    OsThread& operator=(const OsThread&) = delete;

    // Creates the thread at once, at the priority of a normal thread, and
    // runs routine(object) once the thread's start and the first
    // kResidentStackBytes of its stack are done. A thread that lowers itself
    // later (LowerCallingThread) thus never holds the system's loader lock or
    // takes a page fault of its stack at the lowest priority. False when the
    // system refuses to create a thread.
    bool Start(Routine routine, void* object);

    // Waits until the thread has ended; nothing to do when none was started.
    void Join();
    bool Joinable() const { return started_; }

    // Best effort: Linux lets an unprivileged process leave SCHED_IDLE only
    // when RLIMIT_NICE allows it, which it usually does not; Windows lets
    // anyone raise a thread of their own to THREAD_PRIORITY_TIME_CRITICAL. A
    // refusal is ignored; nothing may wait for the thread anyway. Takes no
    // lock the thread could hold, so the caller never waits for it. Before
    // the thread has begun there is nothing to raise: it still runs at the
    // priority it was made with.
    void RaiseToHighest();

    // RaiseToHighest for every thread of this class that has been started and
    // not yet joined. For the process's end: each thread must run once more
    // to end, and an idle-class one on a busy machine may not run for
    // seconds. Takes only a lock its owners take in Start and Join, never one
    // the threads themselves take.
    static void RaiseAll();
    // Puts the calling thread at the lowest priority: SCHED_IDLE on Linux,
    // THREAD_PRIORITY_IDLE on Windows.
    static void LowerCallingThread();
    // The calling thread's own RaiseToHighest.
    static void RaiseCallingThread();
    // Puts the calling thread back at normal priority, where the system lets
    // it (Windows always; Linux leaves SCHED_IDLE only with privilege).
    static void RestoreCallingThread();

    NativeHandle Handle() const { return handle_; }
    // The kernel's id once the thread has begun; 0 before and after.
    NativeId KernelId() const { return tid_.load(); }

    // Threads of this class whose routine has not yet returned.
    static int32_t LiveCount();

private:
#ifdef _WIN32
    static unsigned __stdcall Body(void* self);
#else
    static void* Body(void* self);
#endif
    // Shared by both systems: false when a test's probe refuses the start.
    bool BeginStart(Routine routine, void* object);
    void StartRefused();
    // The thread's start: its stack made resident, then the routine; its end
    // at normal priority, so that the system's code for a thread's end (on
    // Windows every DLL's detach code, under the loader lock) never runs in
    // the idle class.
    void RunRoutine();
    // The list of started threads that RaiseAll walks; called by the owner
    // once the thread is made and before it is waited for.
    void Enlist();
    void Unlist();

    NativeHandle handle_{};
    bool started_ = false;
    Routine routine_ = nullptr;
    void* object_ = nullptr;
    std::atomic<NativeId> tid_{0};
    OsThread* previous_ = nullptr;
    OsThread* next_ = nullptr;
};
