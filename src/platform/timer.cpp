#include "platform/timer.h"

namespace zt {

QtTimer::QtTimer() {
    // The waits count ticks of 500 ms; a coarse timer would stretch a 20 s time-out noticeably.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (onTick_) onTick_();
    });
}

QtTimer::~QtTimer() {
    timer_.stop();
}

void QtTimer::start(int intervalMs, std::function<void()> onTick) {
    onTick_ = std::move(onTick);
    timer_.start(intervalMs);
}

void QtTimer::stop() {
    timer_.stop();
    onTick_ = nullptr;
}

}  // namespace zt
