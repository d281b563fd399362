#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

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
    int policy = -1;
    std::atomic<bool> release{false};
};

void Record(void* object) {
    auto* probe = static_cast<Probe*>(object);
    sched_param param{};
    pthread_getschedparam(pthread_self(), &probe->policy, &param);
    while (!probe->release.load()) std::this_thread::yield();
    probe->ran.fetch_add(1);
}

TEST(OsThreadThreads, RunsTheRoutineAtIdlePriorityAndJoinWaitsForIt) {
    int callerPolicy = -1;
    sched_param param{};
    pthread_getschedparam(pthread_self(), &callerPolicy, &param);
    Probe probe;
    OsThread thread;
    const int32_t live = OsThread::LiveCount();
    ASSERT_TRUE(thread.Start(&Record, &probe));
    EXPECT_TRUE(thread.Joinable());
    EXPECT_EQ(OsThread::LiveCount(), live + 1);
    thread.RaiseToHighest();  // refused without privilege; either way harmless
    probe.release.store(true);
    thread.Join();
    EXPECT_FALSE(thread.Joinable());
    EXPECT_EQ(probe.ran.load(), 1);
    EXPECT_EQ(probe.policy, SCHED_IDLE);
    EXPECT_EQ(OsThread::LiveCount(), live);
    int policy = -1;
    pthread_getschedparam(pthread_self(), &policy, &param);
    EXPECT_EQ(policy, callerPolicy) << "starting a thread leaves the caller as it was";
}

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

}  // namespace
