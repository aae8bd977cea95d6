// The window's floor: start-up, the activity log's selection rule, which controls a link and a run
// enable, and the waits on the virtual clock.
#include <gtest/gtest.h>

#include "core/app/log.h"
#include "core/link/ticks.h"
#include "support/harness.h"

namespace zt::test {
namespace {

TEST(Window, StartsClicksAndLogs) {
    Harness h;
    h.load();
    auto& m = h.m();
    EXPECT_EQ(m.cEditCfg1.text() + " " + m.cCombo1.text() + " " + m.cEditCfg3.text(), "1 9600 192.168.123.10");
    EXPECT_EQ(h.log(), Lines("{170}|{171}", &h));
    EXPECT_FALSE(h.click("cmdClose"));  // no link open: Close is disabled
    EXPECT_TRUE(h.click("cTarvex"));
    EXPECT_EQ(h.shell.opened, std::vector<std::string>{std::string(kMakerUrl)});
    // The newest line is selected until the operator picks one; Borrar empties the log.
    for (int i = 0; i < 8; ++i) AddInfo(h.ctx(), "x");
    EXPECT_EQ(m.listInfo.listIndex(), 9);
    m.listInfo.setListIndex(0);
    for (const char* line : {"y", "z"}) AddInfo(h.ctx(), line);
    EXPECT_EQ(std::pair(m.listInfo.listIndex(), m.listInfo.itemCount()), std::pair(2, 12));
    h.click("cBorrar");
    EXPECT_EQ(m.listInfo.itemCount() * 10 + m.listInfo.listIndex(), -1);
    AddInfo(h.ctx(), "first");
    EXPECT_EQ(m.listInfo.listIndex(), 0);
    for (int i = 0; i < 40000; ++i) AddInfo(h.ctx(), std::to_string(i));
    EXPECT_EQ(m.listInfo.listIndex(), 40000);
    EXPECT_EQ(m.listInfo.items()[32769], "32768");
}

// Expected enabled flags: no link, link idle, link + run.
TEST(Window, ControlStatesFollowLinkAndRun) {
    const std::pair<const char*, const char*> rows[] = {
        {"cmdOpenCom cmdOpenTCP cmdScanCom cEditCfg1 cCombo1", "100"},
        {"cmdClose cmdStart(0) cmdStart(1) cmdStart(2) cmdLecTar", "010"},
        {"cmdDeSel cmdSelTot txtNumInst txtSector txtKeyMF", "110"},
        {"cEditCfg3 cBorrar cSelTar(30) txtKeyTar cIdioma(0)", "111"}};
    Ctx ctx{Platform{}};
    bool stopOnWhenLineCame = false;
    ctx.m.listInfo.observe([&](Control&, Prop, int) { stopOnWhenLineCame = ctx.m.cmdStop(1).enabled(); });
    for (std::int16_t link : {0, 1, 2}) {
        for (int run : {255, 0, 1, 2, 3}) {
            ctx.st.LinkType = link;
            ctx.st.ActiveRun = static_cast<std::uint8_t>(run);
            AddInfo(ctx, "line");
            const int col = link == 0 ? 0 : run == 255 ? 1 : 2;
            for (const auto& [names, flags] : rows)
                for (const auto& n : Lines(names, nullptr, ' '))
                    EXPECT_EQ(ctx.m.find(n)->enabled(), flags[col] == '1') << n << " link " << link << " run " << run;
            for (int s = 0; s <= 3; ++s) EXPECT_EQ(ctx.m.cmdStop(s).enabled(), link != 0 && run == s) << s;
            EXPECT_EQ(stopOnWhenLineCame, link != 0 && run == 1);
        }
    }
}

// A wait of one tick ends at the next tick; a condition already true still yields once; the first
// condition decides when flag and time-out come in the same event; a wait begun during an event
// ends at the next one at the earliest.
TEST(Waits, OnTheVirtualClock) {
    VirtualClock clock;
    VirtualTimer timer{clock};
    Platform pf;
    pf.timer = &timer;
    Ctx ctx{pf};
    clock.runFor(123'000);  // the first tick comes at an arbitrary moment after the wait starts
    timer.start(kTickMs, [&] { Timer1_Timer(ctx); });
    std::vector<std::string> order;
    ctx.sched.spawn([](Ctx& c, std::vector<std::string>& o, VirtualClock& clk) -> Co<> {
        o.push_back("start");
        co_await c.sched.until([] { return true; });
        o.push_back("yielded");
        co_await WaitTicks(c, 1);
        o.push_back(std::to_string(clk.now()));
        auto& st = c.st;
        st.iTicks = 2;
        co_await c.sched.until([&st] { return st.bSelectRx || st.iTicks == 0 || st.bStop; });
        o.push_back(st.bSelectRx ? "answer" : "other");
        co_await c.sched.until([] { return true; });  // parked during an event: resumed by the next one
        o.push_back("next");
    }(ctx, order, clock));
    EXPECT_EQ(order, Lines("start"));
    ctx.sched.pump();
    EXPECT_EQ(order, Lines("start|yielded"));
    clock.runFor(1'000'000);  // the tick at 623 ms, then one more: iTicks 1
    EXPECT_EQ(order, Lines("start|yielded|623000"));
    ctx.st.bSelectRx = kTrue;
    ctx.st.bStop = kTrue;
    ctx.sched.pump();
    EXPECT_EQ(order, Lines("start|yielded|623000|answer"));
    ctx.sched.pump();
    EXPECT_EQ(order, Lines("start|yielded|623000|answer|next"));
    EXPECT_EQ(ctx.sched.running(), 0u);
}

}  // namespace
}  // namespace zt::test
