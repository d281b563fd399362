#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#endif

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "platform/Os.h"
#include "platform/OsThread.h"

namespace {

TEST(PostToMainWindow, WithoutARegisteredWindowMessagesAreDropped) {
    RegisterMainWindow({});
    PostToMainWindow(kMsgWorkerReady);  // must neither crash nor block
    std::vector<uint32_t> got;
    RegisterMainWindow([&](uint32_t m) { got.push_back(m); });
    PostToMainWindow(kMsgTopCannotMove);
    RegisterMainWindow({});
    PostToMainWindow(kMsgBottomCannotMove);
    EXPECT_EQ(got, std::vector<uint32_t>{kMsgTopCannotMove});
}

TEST(PostToMainWindow, MessageNumbersAreTheApplicationOnes) {
    EXPECT_EQ(kMsgWorkerReady, 1025u);
    EXPECT_EQ(kMsgBottomCannotMove, 1026u);
    EXPECT_EQ(kMsgTopCannotMove, 1027u);
}

TEST(PostToMainWindowThreads, EveryMessageFromManyThreadsArrivesOnce) {
    std::mutex lock;
    std::multiset<uint32_t> got;
    RegisterMainWindow([&](uint32_t m) {
        std::lock_guard<std::mutex> guard(lock);
        got.insert(m);
    });
    std::vector<std::thread> posters;
    for (int t = 0; t < 8; ++t)
        posters.emplace_back([t] {
            for (int i = 0; i < 500; ++i) PostToMainWindow(static_cast<uint32_t>(t));
        });
    for (std::thread& poster : posters) poster.join();
    RegisterMainWindow({});
    EXPECT_EQ(got.size(), 4000u);
    for (uint32_t t = 0; t < 8; ++t) EXPECT_EQ(got.count(t), 500u);
}

TEST(PostToMainWindowThreads, AnUnregisteredSinkIsNeverCalledAgain) {
    std::atomic<bool> registered{true};
    std::atomic<int> lateCalls{0};
    std::atomic<bool> stop{false};
    RegisterMainWindow([&](uint32_t) {
        if (!registered.load()) lateCalls.fetch_add(1);
    });
    std::thread poster([&] {
        while (!stop.load()) PostToMainWindow(kMsgWorkerReady);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    RegisterMainWindow({});
    registered.store(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    stop.store(true);
    poster.join();
    EXPECT_EQ(lateCalls.load(), 0);
}

TEST(Random, SameSeedSameDrawsAndNeverNegative) {
    SeedRandom(42);
    std::vector<int32_t> first;
    for (int i = 0; i < 100; ++i) first.push_back(RandomNext());
    SeedRandom(42);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(RandomNext(), first[i]);
    for (const int32_t v : first) EXPECT_GE(v, 0);
    EXPECT_GT(std::set<int32_t>(first.begin(), first.end()).size(), 90u);
}

TEST(Random, DrawsCoverEverySmallRemainder) {
    SeedRandomFromClock();
    int seen[3] = {0, 0, 0};
    for (int i = 0; i < 300; ++i) ++seen[RandomNext() % 3];
    for (const int n : seen) EXPECT_GT(n, 50);
}

struct Probe {
    std::atomic<int> ran{0};
    std::atomic<int> policy{-1};       // the routine's own policy, as it found it on entry
    std::atomic<int> policyAtEnd{-1};  // and as it was when the routine was let go
    std::atomic<bool> recorded{false};
    std::atomic<bool> release{false};
};

// The calling thread's scheduling policy, or on Windows its priority.
int OwnPolicy() {
#ifdef _WIN32
    return GetThreadPriority(GetCurrentThread());
#else
    // The kernel's word: a raise by thread id bypasses what the library
    // remembers of the thread's policy.
    return sched_getscheduler(0);
#endif
}

void Record(void* object) {
    auto* probe = static_cast<Probe*>(object);
    probe->policy.store(OwnPolicy());
    probe->recorded.store(true);
    while (!probe->release.load()) std::this_thread::yield();
    probe->policyAtEnd.store(OwnPolicy());
    probe->ran.fetch_add(1);
}

// Waits, without a deadline, until the routine has looked at its policy: an
// idle-class thread on a busy machine may take long to get there.
void AwaitRecord(const Probe& probe) {
    while (!probe.recorded.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

#ifdef _WIN32

TEST(OsThreadThreads, RunsTheRoutineAtIdlePriorityAndJoinWaitsForIt) {
    const int callerPriority = OwnPolicy();
    Probe probe;
    OsThread thread;
    const int32_t live = OsThread::LiveCount();
    ASSERT_TRUE(thread.Start(&Record, &probe));
    EXPECT_EQ(OsThread::LiveCount(), live + 1);
    AwaitRecord(probe);
    EXPECT_EQ(probe.policy.load(), THREAD_PRIORITY_IDLE);
    EXPECT_EQ(probe.ran.load(), 0) << "held until released";
    probe.release.store(true);
    thread.Join();
    EXPECT_FALSE(thread.Joinable());
    EXPECT_EQ(probe.ran.load(), 1) << "Join returned before the routine did";
    EXPECT_EQ(OsThread::LiveCount(), live);
    EXPECT_EQ(OwnPolicy(), callerPriority) << "starting a thread leaves the caller as it was";
}

TEST(OsThreadThreads, ARaiseRightAfterTheStartLiftsTheThreadToTheHighest) {
    for (int i = 0; i < 20; ++i) {
        Probe probe;
        OsThread thread;
        ASSERT_TRUE(thread.Start(&Record, &probe));
        thread.RaiseToHighest();
        EXPECT_EQ(GetThreadPriority(thread.Handle()), THREAD_PRIORITY_TIME_CRITICAL);
        probe.release.store(true);
        thread.Join();
        EXPECT_EQ(probe.policyAtEnd.load(), THREAD_PRIORITY_TIME_CRITICAL) << "round " << i;
    }
}

TEST(OsThreadThreads, LowerCallingThreadLowersOnlyTheCaller) {
    const int callerPriority = OwnPolicy();
    int lowered = 0;
    std::thread other([&] {
        OsThread::LowerCallingThread();
        lowered = OwnPolicy();
    });
    other.join();
    EXPECT_EQ(lowered, THREAD_PRIORITY_IDLE);
    EXPECT_EQ(OwnPolicy(), callerPriority);
}

#else

int PolicyOf(pthread_t thread) {
    int policy = -1;
    sched_param param{};
    EXPECT_EQ(pthread_getschedparam(thread, &policy, &param), 0);
    return policy;
}

// A started thread's policy as the kernel has it; known once its routine runs.
int KernelPolicyOf(const OsThread& thread) {
    const pid_t id = thread.KernelId();
    EXPECT_NE(id, 0);
    return id == 0 ? -1 : sched_getscheduler(id);
}

// Whether this process may move a thread out of the idle class: root may, a
// player usually may not (RLIMIT_NICE). Asked of a thread of our own, so the
// tests expect what the system grants rather than what the user is.
bool MayLeaveIdle() {
    bool may = false;
    std::thread probe([&] {
        const sched_param zero{0};
        if (pthread_setschedparam(pthread_self(), SCHED_IDLE, &zero) != 0) return;
        may = pthread_setschedparam(pthread_self(), SCHED_OTHER, &zero) == 0;
    });
    probe.join();
    return may;
}

TEST(OsThreadThreads, RunsTheRoutineAtIdlePriorityAndJoinWaitsForIt) {
    const int callerPolicy = PolicyOf(pthread_self());
    Probe probe;
    OsThread thread;
    const int32_t live = OsThread::LiveCount();
    ASSERT_TRUE(thread.Start(&Record, &probe));
    EXPECT_TRUE(thread.Joinable());
    EXPECT_EQ(OsThread::LiveCount(), live + 1);
    AwaitRecord(probe);  // the raise below must not land before the routine looked
    EXPECT_EQ(probe.policy.load(), SCHED_IDLE);
    EXPECT_EQ(probe.ran.load(), 0) << "held until released";
    probe.release.store(true);
    thread.Join();
    EXPECT_FALSE(thread.Joinable());
    EXPECT_EQ(probe.ran.load(), 1) << "Join returned before the routine did";
    EXPECT_EQ(OsThread::LiveCount(), live);
    EXPECT_EQ(PolicyOf(pthread_self()), callerPolicy)
        << "starting a thread leaves the caller as it was";
}

TEST(OsThreadThreads, RaiseLiftsTheThreadWhereTheSystemAllowsIt) {
    const int callerPolicy = PolicyOf(pthread_self());
    const int raised = MayLeaveIdle() ? SCHED_OTHER : SCHED_IDLE;
    Probe probe;
    OsThread thread;
    ASSERT_TRUE(thread.Start(&Record, &probe));
    AwaitRecord(probe);
    EXPECT_EQ(probe.policy.load(), SCHED_IDLE);
    thread.RaiseToHighest();  // refused without privilege; either way harmless
    EXPECT_EQ(KernelPolicyOf(thread), raised);
    probe.release.store(true);
    thread.Join();
    EXPECT_EQ(probe.ran.load(), 1);
    EXPECT_EQ(PolicyOf(pthread_self()), callerPolicy);
}

TEST(OsThreadThreads, ARaiseRightAfterTheStartIsNotUndoneByTheThread) {
    // An abort can follow a start at once; the thread must not lower itself
    // again after it was raised, whenever it gets to run. (What the routine
    // sees on entry depends on which comes first, the raise or its first
    // step; from its first step on, nothing may lower it.)
    const int raised = MayLeaveIdle() ? SCHED_OTHER : SCHED_IDLE;
    for (int i = 0; i < 20; ++i) {
        Probe probe;
        OsThread thread;
        ASSERT_TRUE(thread.Start(&Record, &probe));
        thread.RaiseToHighest();
        AwaitRecord(probe);
        EXPECT_EQ(KernelPolicyOf(thread), raised) << "round " << i;
        probe.release.store(true);
        thread.Join();
        EXPECT_EQ(probe.policyAtEnd.load(), raised) << "as the routine ended, round " << i;
    }
}

TEST(OsThreadThreads, LowerCallingThreadLowersOnlyTheCaller) {
    const int callerPolicy = sched_getscheduler(0);
    int lowered = -1, reported = -1;
    std::thread other([&] {
        OsThread::LowerCallingThread();
        lowered = sched_getscheduler(0);  // the kernel's word
        sched_param param{};
        pthread_getschedparam(pthread_self(), &reported, &param);  // the library's
    });
    other.join();
    EXPECT_EQ(lowered, SCHED_IDLE);
    EXPECT_EQ(reported, SCHED_IDLE);
    EXPECT_EQ(sched_getscheduler(0), callerPolicy);
}

#endif

TEST(OsThreadThreads, DestructorJoinsARunningThread) {
    Probe probe;
    const int32_t live = OsThread::LiveCount();
    std::thread releaser;
    {
        OsThread thread;
        ASSERT_TRUE(thread.Start(&Record, &probe));
        releaser = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            probe.release.store(true);
        });
    }
    EXPECT_EQ(probe.ran.load(), 1);
    EXPECT_EQ(OsThread::LiveCount(), live);
    releaser.join();
}

TEST(OsThreadThreads, RefusedCreationIsReported) {
    Probe probe;
    probe.release.store(true);
    OsThread thread;
    OsThread::FailNextStartsForTesting(1);
    EXPECT_FALSE(thread.Start(&Record, &probe));
    EXPECT_FALSE(thread.Joinable());
    thread.Join();  // nothing to wait for
    EXPECT_TRUE(thread.Start(&Record, &probe));
    thread.Join();
    EXPECT_EQ(probe.ran.load(), 1);
}

TEST(OsThreadThreads, StartAgainWaitsForThePreviousThread) {
    Probe probe;
    probe.release.store(true);
    OsThread thread;
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(thread.Start(&Record, &probe));
    thread.Join();
    EXPECT_EQ(probe.ran.load(), 20);
}

}  // namespace
