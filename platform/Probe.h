#pragma once

// The one seam through which tests watch the program's threads and timers,
// and hold or refuse them at moments a scheduler gives only rarely: a thread
// of the idle class can be kept from running at any step for seconds, and a
// system can refuse a thread. The programs never set a probe, so each point
// costs them the load of a null pointer.

#include <cstdint>

enum class ProbePoint : uint8_t {
    WorkerStart,      // a search thread, before it first looks for a task
    WorkerWoken,      // woken with a task's number, before it looks at quit
    WorkerTaskTaken,  // the task taken, before its first step
    WorkerFinishing,  // the search has ended by itself; its notice is not yet posted
    WorkerTaskEnd,    // the task is over; the worker not yet handed back
    ThreadCreate,     // OsThread::Start, before it asks the system: false refuses
    TimerStart,       // a timer starts; value: the interval it runs at
};

class Probe {
public:
    // Called on the thread that reaches the point; the subject is the object
    // concerned (the OsThread, the Timer). False refuses what was about to be
    // done, where the point allows it.
    virtual bool Reached(ProbePoint point, const void* subject, int32_t value) = 0;

protected:
    ~Probe() = default;
};

// Set by tests alone, to a probe that outlives every thread that may call it.
void SetProbe(Probe* probe);

// Reports the point to the probe, if any; true unless the probe refuses.
bool ProbeAt(ProbePoint point, const void* subject = nullptr, int32_t value = 0);
