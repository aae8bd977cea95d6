#include "core/app/virtual_clock.h"

namespace zt {

void VirtualClock::at(Micros t, std::function<void()> fn) {
    if (t < now_) t = now_;
    events_.emplace(std::make_pair(t, seq_++), std::move(fn));
}

bool VirtualClock::step() {
    if (events_.empty()) return false;
    auto it = events_.begin();
    now_ = it->first.first;
    auto fn = std::move(it->second);
    events_.erase(it);
    fn();
    return true;
}

bool VirtualClock::runUntil(const std::function<bool()>& done, Micros limit) {
    while (!done()) {
        if (events_.empty() || events_.begin()->first.first > limit) return false;
        step();
    }
    return true;
}

void VirtualClock::runFor(Micros d) {
    const Micros end = now_ + d;
    while (!events_.empty() && events_.begin()->first.first <= end) step();
    now_ = end;
}

void VirtualTimer::start(int intervalMs, std::function<void()> onTick) {
    period_ = static_cast<Micros>(intervalMs) * 1000;
    onTick_ = std::move(onTick);
    arm(++generation_);
}

void VirtualTimer::arm(std::uint64_t gen) {
    clock_.after(period_, [this, gen] {
        if (gen != generation_) return;
        ++ticks_;
        arm(gen);
        if (onTick_) onTick_();
    });
}

}  // namespace zt
