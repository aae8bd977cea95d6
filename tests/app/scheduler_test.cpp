// Waits on the virtual clock: when they end and in which order their conditions are tested.
#include <gtest/gtest.h>

#include "core/app/ctx.h"
#include "core/app/virtual_clock.h"
#include "core/link/ticks.h"

namespace zt {
namespace {

struct Clocked : ::testing::Test {
    VirtualClock clock;
    VirtualTimer timer{clock};
    Ctx ctx{[this] {
        Platform p;
        p.timer = &timer;
        return p;
    }()};
    void SetUp() override {
        clock.runFor(123'000);  // the first tick comes at an arbitrary moment after the wait starts
        timer.start(kTickMs, [this] { Timer1_Timer(ctx); });
    }
};

TEST_F(Clocked, WaitTicksOfOneEndsAtTheNextTick) {
    bool done = false;
    Micros endedAt = 0;
    ctx.sched.spawn([](Ctx& c, bool& d, Micros& at, VirtualClock& clk) -> Co<> {
        co_await WaitTicks(c, 1);
        d = true;
        at = clk.now();
    }(ctx, done, endedAt, clock));
    EXPECT_FALSE(done);
    clock.runUntil([&] { return done; }, 10'000'000);
    EXPECT_TRUE(done);
    EXPECT_EQ(endedAt, 123'000 + 500'000);
    EXPECT_EQ(ctx.st.iTicks, 0);
}

TEST_F(Clocked, WaitEndsOnFlagBeforeTimeOutAndTestsConditionsInOrder) {
    // Flag and time-out become true in the same event: the first condition decides.
    std::string outcome;
    ctx.st.iTicks = 2;
    ctx.st.bSelectRx = kFalse;
    ctx.sched.spawn([](Ctx& c, std::string& out) -> Co<> {
        auto& st = c.st;
        co_await c.sched.until([&st] { return st.bSelectRx || st.iTicks == 0 || st.bStop; });
        if (st.bSelectRx)
            out = "answer";
        else if (st.iTicks == 0)
            out = "timeout";
        else
            out = "stop";
    }(ctx, outcome));
    clock.runFor(600'000);  // one tick: iTicks 1
    EXPECT_EQ(outcome, "");
    clock.at(clock.now() + 300'000, [this] {  // before the second tick
        ctx.st.bSelectRx = kTrue;
        ctx.st.bStop = kTrue;
        ctx.sched.pump();
    });
    clock.runFor(1'000'000);
    EXPECT_EQ(outcome, "answer");
}

TEST_F(Clocked, AConditionAlreadyTrueStillYieldsOnce) {
    int steps = 0;
    ctx.sched.spawn([](Ctx& c, int& s) -> Co<> {
        s = 1;
        co_await c.sched.until([] { return true; });
        s = 2;
    }(ctx, steps));
    EXPECT_EQ(steps, 1);
    ctx.sched.pump();
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(ctx.sched.running(), 0u);
}

TEST_F(Clocked, NestedCoroutinesResumeTheirCaller) {
    std::vector<int> order;
    auto inner = [](Ctx& c, std::vector<int>& o) -> Co<int> {
        o.push_back(2);
        co_await WaitTicks(c, 1);
        o.push_back(3);
        co_return 7;
    };
    ctx.sched.spawn([](Ctx& c, std::vector<int>& o, auto in) -> Co<> {
        o.push_back(1);
        const int v = co_await in(c, o);
        o.push_back(v);
    }(ctx, order, inner));
    clock.runFor(2'000'000);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 7}));
}

}  // namespace
}  // namespace zt
