// Runs as coroutines on the window's one thread.
//
// A run (encoding run, read run, the TCP open wait, WaitTicks) is a coroutine of type Co<>. Each of its
// waits is `co_await sched.until(cond)`: the coroutine is parked and, after every event that the loop
// delivers (timer tick, received bytes, click, closed message box), its condition is tested again; it
// resumes once the condition holds. A wait always lets at least one event pass first, like a loop that
// yields before it tests. The event loop is never nested and nothing spins.
#pragma once

#include <coroutine>
#include <cstdint>
#include <exception>
#include <functional>
#include <list>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace zt {

template <typename T = void>
class Co;

namespace detail {

struct PromiseBase {
    std::coroutine_handle<> continuation;
    std::exception_ptr error;

    std::suspend_always initial_suspend() noexcept { return {}; }
    struct FinalAwaiter {
        bool await_ready() noexcept { return false; }
        template <typename P>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<P> h) noexcept {
            auto next = h.promise().continuation;
            return next ? next : std::noop_coroutine();
        }
        void await_resume() noexcept {}
    };
    FinalAwaiter final_suspend() noexcept { return {}; }
    void unhandled_exception() { error = std::current_exception(); }
};

}  // namespace detail

namespace detail {

template <typename T>
struct Promise : PromiseBase {
    T value{};
    void return_value(T v) { value = std::move(v); }
    T take() { return std::move(value); }
};

template <>
struct Promise<void> : PromiseBase {
    void return_void() {}
    void take() {}
};

}  // namespace detail

// A lazily started coroutine that can be awaited by another one or handed to Scheduler::spawn.
template <typename T>
class Co {
public:
    struct promise_type : detail::Promise<T> {
        Co get_return_object() { return Co(std::coroutine_handle<promise_type>::from_promise(*this)); }
    };
    using Handle = std::coroutine_handle<promise_type>;

    Co(Co&& o) noexcept : h_(std::exchange(o.h_, {})) {}
    Co& operator=(Co&& o) noexcept {
        if (this != &o) {
            if (h_) h_.destroy();
            h_ = std::exchange(o.h_, {});
        }
        return *this;
    }
    ~Co() {
        if (h_) h_.destroy();
    }

    bool await_ready() const noexcept { return false; }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> caller) noexcept {
        h_.promise().continuation = caller;
        return h_;
    }
    T await_resume() {
        if (h_.promise().error) std::rethrow_exception(h_.promise().error);
        return h_.promise().take();
    }
    Handle release() { return std::exchange(h_, {}); }

private:
    explicit Co(Handle h) : h_(h) {}
    Handle h_;
};

class Scheduler {
public:
    using Cond = std::function<bool()>;

    Scheduler() = default;
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;
    ~Scheduler();

    // Starts a top-level coroutine at once; it runs until its first wait. The scheduler owns it and
    // frees it when it ends (or when the scheduler goes).
    void spawn(Co<> co);

    // Awaitable: park the calling coroutine until `cond` holds, tested after each later event.
    //
    // The condition must be trivially destructible (capture pointers and references only): g++ 12
    // destroys temporaries of a co_await expression twice, which is harmless only for those. The
    // awaiter itself holds nothing but pointers for the same reason.
    struct Until {
        Scheduler* sched;
        Cond* cond;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> h) { sched->park(h, cond); }
        void await_resume() const noexcept {}
    };
    template <typename F>
    Until until(F cond) {
        static_assert(std::is_trivially_destructible_v<F>,
                      "a wait condition may capture pointers and references only");
        return Until{this, new Cond(std::move(cond))};
    }

    // Called by the event sources after every event they delivered: resumes each parked coroutine
    // whose condition now holds, in the order they were parked.
    void pump();

    std::size_t waiting() const { return waiters_.size(); }
    std::size_t running() const { return roots_.size(); }
    // Number of events delivered so far.
    std::uint64_t events() const { return epoch_; }

private:
    struct Waiter {
        std::coroutine_handle<> h;
        std::unique_ptr<Cond> cond;
        std::uint64_t epoch;
    };
    struct Root {
        Co<>::Handle h;
    };
    void park(std::coroutine_handle<> h, Cond* cond);
    void reap();

    std::list<Waiter> waiters_;
    std::vector<Root> roots_;
    std::uint64_t epoch_ = 0;
    bool pumping_ = false;
    bool again_ = false;
};

}  // namespace zt
