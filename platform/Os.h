#pragma once

// Operating-system services for the Qt-free core: posting numbered messages to
// whoever registered as the main window, the runtime's random generator, and
// (platform/OsThread.h) threads with priorities.

#include <cstdint>
#include <functional>

// Application messages, posted to the main window with no data.
enum : uint32_t {
    kMsgWorkerReady = 1025,       // a search worker has finished
    kMsgBottomCannotMove = 1026,  // Bottom, to move, has no legal move: Top wins
    kMsgTopCannotMove = 1027,     // Top, to move, has no legal move: Bottom wins
};

// The receiver of posted messages. It is called on the posting thread and must
// hand the message over to its own thread without waiting (the window posts a
// Qt event; tests push onto a queue).
using MessageSink = std::function<void(uint32_t message)>;

// Registers the main window's sink (or a test's); an empty sink unregisters.
void RegisterMainWindow(MessageSink sink);

// Posts a message to the registered main window from any thread; dropped when
// nothing is registered.
void PostToMainWindow(uint32_t message);

// Ends the process at once with code, its standard streams flushed: no
// destructor runs and no thread is waited for, so nothing is freed under a
// search still running. Search threads of the idle class, which a busy
// machine may run only a few milliseconds a second, hold up the end as little
// as the system allows: each still has to run once to end, so they are
// raised where that is allowed (OsThread::RaiseAll), and the search tables'
// pages are given back on this thread rather than by whichever ends last.
[[noreturn]] void EndProcessNow(int code);

// The runtime's pseudo-random generator, seeded once from the clock at
// start-up; draws are non-negative.
void SeedRandomFromClock();
void SeedRandom(uint32_t seed);
int32_t RandomNext();
