#include "core/app/run.h"

namespace zt {

Scheduler::~Scheduler() {
    waiters_.clear();
    // Destroying a root frame destroys the frames of the coroutines it awaits as well.
    for (auto& r : roots_) {
        if (r.h) r.h.destroy();
    }
}

void Scheduler::spawn(Co<> co) {
    auto h = co.release();
    roots_.push_back(Root{h});
    h.resume();
    if (h.done()) {
        auto err = h.promise().error;
        reap();
        if (err) std::rethrow_exception(err);
    }
}

void Scheduler::park(std::coroutine_handle<> h, Cond* cond) {
    waiters_.push_back(Waiter{h, std::unique_ptr<Cond>(cond), epoch_});
}

void Scheduler::pump() {
    ++epoch_;
    if (pumping_) {
        // An event arrived from inside a resumed coroutine: test again once the current pass ends.
        again_ = true;
        return;
    }
    pumping_ = true;
    do {
        again_ = false;
        const std::uint64_t now = epoch_;
        bool progressed = true;
        while (progressed) {
            progressed = false;
            for (auto it = waiters_.begin(); it != waiters_.end();) {
                // A coroutine parked during this event waits for the next one.
                if (it->epoch >= now || !(*it->cond)()) {
                    ++it;
                    continue;
                }
                auto h = it->h;
                waiters_.erase(it);
                h.resume();
                progressed = true;
                break;
            }
        }
        reap();
    } while (again_);
    pumping_ = false;
}

void Scheduler::reap() {
    std::exception_ptr err;
    for (auto it = roots_.begin(); it != roots_.end();) {
        if (it->h.done()) {
            if (!err) err = it->h.promise().error;
            it->h.destroy();
            it = roots_.erase(it);
        } else {
            ++it;
        }
    }
    if (err) std::rethrow_exception(err);
}

}  // namespace zt
