#pragma once

#include <QTimer>
#include <functional>

// A window timer: an interval, an enabled flag and a tick handler, all used on
// the thread that made it. Enabling a running timer changes nothing, so a
// second "on" does not push the next tick further away.
class Timer {
public:
    Timer(int intervalMs, std::function<void()> onTick);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void SetEnabled(bool enabled);
    bool Enabled() const { return timer_.isActive(); }

    // Takes effect at the next enabling when the timer runs.
    void SetInterval(int intervalMs) { timer_.setInterval(intervalMs); }
    int Interval() const { return timer_.interval(); }

    // Ticks delivered so far; tests read it to learn what drove an event.
    int Ticks() const { return ticks_; }

private:
    QTimer timer_;
    std::function<void()> onTick_;
    int ticks_ = 0;
};
