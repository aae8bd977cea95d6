// Timer1: a periodic tick on the window's thread.
#pragma once

#include <QTimer>

#include "core/platform/interfaces.h"

namespace zt {

class QtTimer final : public Timer {
public:
    QtTimer();
    ~QtTimer() override;
    QtTimer(const QtTimer&) = delete;
    QtTimer& operator=(const QtTimer&) = delete;

    // Restarting replaces the previous interval and handler.
    void start(int intervalMs, std::function<void()> onTick) override;
    void stop() override;
    bool isActive() const { return timer_.isActive(); }
    int interval() const { return timer_.interval(); }

private:
    QTimer timer_;
    std::function<void()> onTick_;
};

}  // namespace zt
