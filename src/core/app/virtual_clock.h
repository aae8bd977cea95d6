// A clock and event queue that jumps from one event to the next: the runs' coroutines are driven
// exactly as by the window's event loop, but a 20-second wait takes microseconds and the order of
// events is always the same.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "core/platform/interfaces.h"

namespace zt {

using Micros = std::int64_t;

class VirtualClock {
public:
    Micros now() const { return now_; }

    // Runs `fn` at time `t` (not before now); events at the same time run in the order scheduled.
    void at(Micros t, std::function<void()> fn);
    void after(Micros dt, std::function<void()> fn) { at(now_ + dt, std::move(fn)); }

    // Runs the earliest event; false when none is left.
    bool step();
    // Steps until `done` holds (tested before each step) or the clock would pass `limit`.
    // Returns whether `done` held.
    bool runUntil(const std::function<bool()>& done, Micros limit);
    // Runs every event up to and including now + d, then sets the clock to now + d.
    void runFor(Micros d);
    bool idle() const { return events_.empty(); }

private:
    Micros now_ = 0;
    std::uint64_t seq_ = 0;
    std::map<std::pair<Micros, std::uint64_t>, std::function<void()>> events_;
};

// Timer1 on the virtual clock.
class VirtualTimer : public Timer {
public:
    explicit VirtualTimer(VirtualClock& clock) : clock_(clock) {}
    void start(int intervalMs, std::function<void()> onTick) override;
    void stop() override { ++generation_; }
    std::uint64_t ticks() const { return ticks_; }

private:
    void arm(std::uint64_t gen);
    VirtualClock& clock_;
    Micros period_ = 0;
    std::function<void()> onTick_;
    std::uint64_t generation_ = 0;
    std::uint64_t ticks_ = 0;
};

}  // namespace zt
