#pragma once

// The tests' probe: holds every search thread that reaches a chosen point
// until released, refuses the next thread starts it is told to, and notes
// timer starts. One for the whole test program, set at its first use and
// never destroyed, since a thread may still be on its way out of it.

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/AtomicWait.h"
#include "platform/Probe.h"

class TestProbe final : public Probe {
public:
    static TestProbe& Get() {
        static TestProbe* probe = [] {
            auto* made = new TestProbe;
            SetProbe(made);
            return made;
        }();
        return *probe;
    }

    // Holds threads at point until Release (or another Hold).
    void Hold(ProbePoint point) {
        hold_.store(uint32_t(point) + 1);
        AtomicNotifyAll(hold_);
    }
    void Release() {
        hold_.store(kNone);
        AtomicNotifyAll(hold_);
    }
    // Times a thread has stopped at a held point.
    uint32_t HeldCount() const { return held_.load(); }

    void RefuseThreads(int32_t n) { refusals_.store(n); }

    // Timer starts since the last call, with their intervals.
    std::vector<std::pair<const void*, int>> TakeTimerStarts() {
        std::lock_guard<std::mutex> lock(lock_);
        return std::exchange(timerStarts_, {});
    }

    bool Reached(ProbePoint point, const void* subject, int32_t value) override {
        if (point == ProbePoint::ThreadCreate) {
            int32_t n = refusals_.load();
            while (n > 0)
                if (refusals_.compare_exchange_weak(n, n - 1)) return false;
        } else if (point == ProbePoint::TimerStart) {
            std::lock_guard<std::mutex> lock(lock_);
            timerStarts_.push_back({subject, value});
        } else if (hold_.load() == uint32_t(point) + 1) {
            held_.fetch_add(1);
            AtomicWait(hold_, uint32_t(point) + 1);
        }
        return true;
    }

private:
    static constexpr uint32_t kNone = 0xff;
    TestProbe() = default;
    std::atomic<uint32_t> hold_{kNone};
    std::atomic<uint32_t> held_{0};
    std::atomic<int32_t> refusals_{0};
    std::mutex lock_;
    std::vector<std::pair<const void*, int>> timerStarts_;
};

// Holds every search thread that reaches a point for the scope, until released.
class HoldScope {
public:
    explicit HoldScope(ProbePoint point) : before_(TestProbe::Get().HeldCount()) {
        TestProbe::Get().Hold(point);
    }
    ~HoldScope() { Release(); }
    HoldScope(const HoldScope&) = delete;
    HoldScope& operator=(const HoldScope&) = delete;

    // Waits until some thread has reached the point.
    bool Reached(std::chrono::seconds patience = std::chrono::seconds(120)) const {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (TestProbe::Get().HeldCount() == before_)
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            else
                std::this_thread::sleep_for(std::chrono::microseconds(100));
        return true;
    }
    void Release() { TestProbe::Get().Release(); }

private:
    uint32_t before_;
};
