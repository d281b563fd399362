#include "platform/Os.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <random>

#include "platform/OsThread.h"
#include "platform/ZeroPages.h"

namespace {

// The sink is called with the lock held, so once RegisterMainWindow returns
// the sink it replaced is never called again, even by a worker posting at
// that moment. A sink only hands the message over and never calls back here.
std::mutex sinkLock;
MessageSink mainWindow;

std::mutex randomLock;
std::mt19937 generator;

}  // namespace

void RegisterMainWindow(MessageSink sink) {
    std::lock_guard<std::mutex> lock(sinkLock);
    mainWindow = std::move(sink);
}

void PostToMainWindow(uint32_t message) {
    std::lock_guard<std::mutex> lock(sinkLock);
    if (mainWindow) mainWindow(message);
}

void EndProcessNow(int code) {
    std::fflush(nullptr);
    // Every thread must run once more to end, and the last one frees the
    // process's memory: raise them where the system lets us (Windows always,
    // Linux only with privilege), and give the tables' pages back here.
    OsThread::RaiseAll();
    GiveBackAllZeroPages();
#ifdef _WIN32
    // No DLL's detach code runs either, nor any other thread's.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
#endif
    std::_Exit(code);
}

void SeedRandomFromClock() {
    SeedRandom(static_cast<uint32_t>(std::time(nullptr)));
}

void SeedRandom(uint32_t seed) {
    std::lock_guard<std::mutex> lock(randomLock);
    generator.seed(seed);
}

int32_t RandomNext() {
    std::lock_guard<std::mutex> lock(randomLock);
    return static_cast<int32_t>(generator() >> 1);
}
