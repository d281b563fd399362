#include "tools/pelvanta-engine/Cli.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

Position RequirePosition(const std::string& text) {
    std::string error;
    std::optional<Position> position = ParseFen(text, error);
    if (!position) throw UsageError{"bad position: " + error};
    return *position;
}

SearchKind TakeKind(Args& args) {
    return TakeFlag(args, "--full-width") ? SearchKind::FullWidth : SearchKind::AlphaBeta;
}

const char* KindName(SearchKind kind) {
    return kind == SearchKind::FullWidth ? "full-width" : "alpha-beta";
}

void SearchWithin(HAnalyzThread& worker, HListMoves& list, double ms,
                  const std::function<double()>& clockMs) {
    const double start = clockMs();
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::atomic<uint8_t> stop{0};
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            const double left = ms - (clockMs() - start);
            if (left <= 0) {
                stop.store(1);
                return;
            }
            const auto wait = std::chrono::microseconds(int64_t(left * 1000.0) + 100);
            if (done.wait_for(lock, wait, [&] { return finished; })) return;
        }
    });
    worker.SearchHere(list, stop);
    {
        std::lock_guard<std::mutex> lock(mutex);
        finished = true;
    }
    done.notify_all();
    watchdog.join();
}
