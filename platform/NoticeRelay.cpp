#include "platform/NoticeRelay.h"

#include <atomic>
#include <thread>

#include "platform/AtomicWait.h"
#include "platform/Os.h"

namespace {

class Relay {
public:
    static Relay& Instance() {
        static Relay relay;
        return relay;
    }

    void Post() {
        pending_.fetch_add(1);
        AtomicNotifyOne(pending_);
    }

private:
    Relay() : thread_([this] { Loop(); }) {}
    ~Relay() {
        quit_.store(1);
        Post();
        thread_.join();
    }

    void Loop() {
        for (;;) {
            uint32_t n = pending_.exchange(0);
            if (quit_.load() != 0) return;
            for (; n > 0; --n) PostToMainWindow(kMsgWorkerReady);
            AtomicWait(pending_, 0);
        }
    }

    std::atomic<uint32_t> pending_{0};
    std::atomic<uint8_t> quit_{0};
    std::thread thread_;
};

}  // namespace

void StartNoticeRelay() {
    Relay::Instance();
}

void RelayWorkerReady() {
    Relay::Instance().Post();
}
