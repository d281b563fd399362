#include "platform/Timer.h"

#include <utility>

#include "platform/Probe.h"

Timer::Timer(int intervalMs, std::function<void()> onTick) : onTick_(std::move(onTick)) {
    timer_.setInterval(intervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        ++ticks_;
        if (onTick_) onTick_();
    });
}

void Timer::SetEnabled(bool enabled) {
    if (!enabled) {
        timer_.stop();
    } else if (!timer_.isActive()) {
        timer_.start();
        ProbeAt(ProbePoint::TimerStart, this, timer_.interval());
    }
}
