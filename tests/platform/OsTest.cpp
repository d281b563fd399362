#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/Os.h"
#include "platform/OsThread.h"
#include "platform/ResidentCode.h"
#include "platform/ZeroPages.h"
#include "tests/platform/TestProbe.h"

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
    std::atomic<bool> lowerFirst{false};
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

#ifdef _WIN32
constexpr int kIdle = THREAD_PRIORITY_IDLE;
int KernelPolicyOf(const OsThread& thread) {
    return GetThreadPriority(thread.Handle());
}
// Any process may raise its own threads on Windows.
bool MayLeaveIdle() {
    return true;
}
constexpr int kRaised = THREAD_PRIORITY_TIME_CRITICAL;
#else
constexpr int kIdle = SCHED_IDLE;
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
constexpr int kRaised = SCHED_OTHER;
#endif

void Record(void* object) {
    auto* probe = static_cast<Probe*>(object);
    if (probe->lowerFirst.load()) OsThread::LowerCallingThread();
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

TEST(OsThreadThreads, RunsTheRoutineAtTheCallersPriorityAndJoinWaitsForIt) {
    const int callerPolicy = OwnPolicy();
    Probe probe;
    OsThread thread;
    const int32_t live = OsThread::LiveCount();
    ASSERT_TRUE(thread.Start(&Record, &probe));
    EXPECT_TRUE(thread.Joinable());
    EXPECT_EQ(OsThread::LiveCount(), live + 1);
    AwaitRecord(probe);
    // A thread's start (and, on Windows, every DLL's thread-attach code under
    // the loader lock) never runs at the lowest priority.
    EXPECT_EQ(probe.policy.load(), callerPolicy);
    EXPECT_EQ(probe.ran.load(), 0) << "held until released";
    probe.release.store(true);
    thread.Join();
    EXPECT_FALSE(thread.Joinable());
    EXPECT_EQ(probe.ran.load(), 1) << "Join returned before the routine did";
    EXPECT_EQ(OsThread::LiveCount(), live);
    EXPECT_EQ(OwnPolicy(), callerPolicy) << "starting a thread leaves the caller as it was";
}

TEST(OsThreadThreads, ALoweredThreadIsRaisedWhereTheSystemAllowsIt) {
    const int callerPolicy = OwnPolicy();
    const int raised = MayLeaveIdle() ? kRaised : kIdle;
    Probe probe;
    probe.lowerFirst.store(true);
    OsThread thread;
    ASSERT_TRUE(thread.Start(&Record, &probe));
    AwaitRecord(probe);
    EXPECT_EQ(probe.policy.load(), kIdle);
    thread.RaiseToHighest();  // refused without privilege; either way harmless
    EXPECT_EQ(KernelPolicyOf(thread), raised);
    probe.release.store(true);
    thread.Join();
    EXPECT_EQ(probe.ran.load(), 1);
    EXPECT_EQ(probe.policyAtEnd.load(), raised);
    EXPECT_EQ(OwnPolicy(), callerPolicy);
}

TEST(OsThreadThreads, LowerAndRaiseCallingThreadChangeOnlyTheCaller) {
    const int callerPolicy = OwnPolicy();
    int lowered = -1, reported = -1, raised = -1;
    std::thread other([&] {
        OsThread::LowerCallingThread();
        lowered = OwnPolicy();  // the kernel's word
#ifdef _WIN32
        reported = lowered;
#else
        sched_param param{};
        pthread_getschedparam(pthread_self(), &reported, &param);  // the library's
#endif
        OsThread::RaiseCallingThread();
        raised = OwnPolicy();
    });
    other.join();
    EXPECT_EQ(lowered, kIdle);
    EXPECT_EQ(reported, kIdle);
    EXPECT_EQ(raised, MayLeaveIdle() ? kRaised : kIdle);
    EXPECT_EQ(OwnPolicy(), callerPolicy);
}

// What the process's end does before it ends: every thread still listed,
// and only those, is raised. The middle one is joined and destroyed first,
// so a list left pointing at it is a use after scope under the sanitizers.
TEST(OsThreadThreads, RaiseAllRaisesEveryThreadStartedAndNotJoined) {
    const int raised = MayLeaveIdle() ? kRaised : kIdle;
    Probe first, last;
    first.lowerFirst.store(true);
    last.lowerFirst.store(true);
    OsThread firstThread, lastThread;
    ASSERT_TRUE(firstThread.Start(&Record, &first));
    {
        Probe middle;
        middle.release.store(true);
        OsThread middleThread;
        ASSERT_TRUE(middleThread.Start(&Record, &middle));
        ASSERT_TRUE(lastThread.Start(&Record, &last));
        middleThread.Join();
    }
    AwaitRecord(first);
    AwaitRecord(last);
    OsThread::RaiseAll();
    EXPECT_EQ(KernelPolicyOf(firstThread), raised);
    EXPECT_EQ(KernelPolicyOf(lastThread), raised);
    first.release.store(true);
    last.release.store(true);
    firstThread.Join();
    lastThread.Join();
    EXPECT_EQ(first.policyAtEnd.load(), raised);
    EXPECT_EQ(last.policyAtEnd.load(), raised);
    OsThread::RaiseAll();  // nothing listed: nothing to do
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
    TestProbe::Get().RefuseThreads(1);
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

#ifndef _WIN32
// How many of the pages of [memory, memory + bytes) are resident.
size_t ResidentPages(const void* memory, size_t bytes) {
    std::vector<unsigned char> pages((bytes + 4095) / 4096);
    EXPECT_EQ(mincore(const_cast<void*>(memory), bytes, pages.data()), 0);
    size_t n = 0;
    for (const unsigned char page : pages) n += page & 1;
    return n;
}

// At the process's end the tables' pages go back to the system on the
// ending thread; a search still using a table reads zeros and writes on.
TEST(ZeroPages, PagesGivenBackAtTheEndAreFreedAndReadAsZeros) {
    constexpr size_t kCount = size_t{1} << 17;  // 1 MiB
    constexpr size_t kBytes = kCount * sizeof(uint64_t);
    ZeroPagesArray<uint64_t> table(kCount);
    { ZeroPagesArray<uint64_t> freedBefore(kCount); }  // no longer listed
    for (size_t i = 0; i < kCount; ++i) table[i] = i + 1;
    EXPECT_EQ(ResidentPages(table.get(), kBytes), kBytes / 4096);
    GiveBackAllZeroPages();
    EXPECT_EQ(ResidentPages(table.get(), kBytes), 0u);
    size_t nonZero = 0;
    for (size_t i = 0; i < kCount; ++i) nonZero += table[i] != 0;
    EXPECT_EQ(nonZero, 0u);
    table[7] = 7;
    EXPECT_EQ(table[7], 7u);
}

// The readable mappings of the running program's file whose pages are not all
// in the process's page tables (Rss below Size in /proc/self/smaps).
int ProgramMappingsNotResident() {
    struct stat program {};
    EXPECT_EQ(stat("/proc/self/exe", &program), 0);
    std::ifstream smaps("/proc/self/smaps");
    int count = 0;
    bool mine = false;
    long size = 0;
    for (std::string line; std::getline(smaps, line);) {
        unsigned long start = 0, end = 0, inode = 0;
        unsigned major = 0, minor = 0;
        char access[5] = "";
        long kb = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx %4s %*s %x:%x %lu", &start, &end, access, &major,
                        &minor, &inode) == 6)
            mine = access[0] == 'r' && inode == program.st_ino &&
                   makedev(major, minor) == program.st_dev;
        else if (mine && std::sscanf(line.c_str(), "Size: %ld kB", &kb) == 1)
            size = kb;
        else if (mine && std::sscanf(line.c_str(), "Rss: %ld kB", &kb) == 1)
            count += kb < size;
    }
    return count;
}

// Run by the test below in a copy of this program whose file is deleted as it
// runs: it waits for that, then makes its code resident.
TEST(ResidentCode, DISABLED_ACopyWhoseFileIsGone) {
    char exe[4096] = "";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (std::string name;; std::this_thread::sleep_for(std::chrono::milliseconds(1))) {
        const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
        name.assign(exe, n > 0 ? size_t(n) : 0);
        if (name.ends_with(" (deleted)")) break;
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << name;
    }
    MakeCodeResident();
    EXPECT_EQ(ProgramMappingsNotResident(), 0);
}

// Whatever the program's path holds (here a space), and though the file has
// been replaced since it started, its code is made resident.
TEST(ResidentCode, TheProgramIsMadeResidentWhateverItsPathAndThoughItsFileIsGone) {
    MakeCodeResident();
    EXPECT_EQ(ProgramMappingsNotResident(), 0);

    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("pelvanta resident " + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path copy = folder / "test platform";
    fs::copy_file("/proc/self/exe", copy, fs::copy_options::overwrite_existing);
    int output[2];
    ASSERT_EQ(pipe(output), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(output[1], 1);
        execl(copy.c_str(), copy.c_str(), "--gtest_also_run_disabled_tests",
              "--gtest_filter=ResidentCode.DISABLED_ACopyWhoseFileIsGone", nullptr);
        _exit(127);
    }
    close(output[1]);
    const std::string proc = "/proc/" + std::to_string(child) + "/exe";
    int status = 0;
    std::error_code ignored;
    while (fs::read_symlink(proc, ignored) != copy) {
        ASSERT_EQ(waitpid(child, &status, WNOHANG), 0) << "the copy ended before it ran";
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    fs::remove_all(folder);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(output[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, size_t(n));
    close(output[0]);
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;
    EXPECT_NE(text.find("[  PASSED  ] 1 test."), std::string::npos) << text;
}
#endif

}  // namespace
