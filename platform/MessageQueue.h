#pragma once

// A main window without a window: registers itself as the receiver of posted
// messages and keeps them in order, for the command-line tools and the tests.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/Os.h"

class MessageQueue {
public:
    MessageQueue() {
        RegisterMainWindow([this](uint32_t message) {
            std::lock_guard<std::mutex> lock(mutex_);
            messages_.push_back(message);
            arrived_.notify_all();
        });
    }
    ~MessageQueue() { RegisterMainWindow({}); }
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // Waits until at least count messages are held.
    bool WaitFor(int32_t count, std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        return arrived_.wait_for(lock, timeout,
                                 [&] { return static_cast<int32_t>(messages_.size()) >= count; });
    }

    // Waits for a message up to ms milliseconds (forever when ms < 0) and
    // takes the oldest from the queue.
    bool Take(int64_t ms) {
        std::unique_lock<std::mutex> lock(mutex_);
        auto arrived = [this] { return !messages_.empty(); };
        if (ms < 0) {
            arrived_.wait(lock, arrived);
        } else if (!arrived_.wait_for(lock, std::chrono::milliseconds(ms), arrived)) {
            return false;
        }
        messages_.pop_front();
        return true;
    }

    int32_t Count() {
        std::lock_guard<std::mutex> lock(mutex_);
        return static_cast<int32_t>(messages_.size());
    }

    int32_t CountOf(uint32_t message) {
        std::lock_guard<std::mutex> lock(mutex_);
        int32_t n = 0;
        for (const uint32_t m : messages_) n += m == message ? 1 : 0;
        return n;
    }

    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.clear();
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<uint32_t> messages_;
};
