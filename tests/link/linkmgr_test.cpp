#include <gtest/gtest.h>

#include "core/link/frames.h"
#include "core/link/linkmgr.h"
#include "link_fixture.h"

namespace zt::test {
namespace {

using Lines = std::vector<std::string>;

class LinkMgrTest : public ::testing::Test, public LinkFixture {
protected:
    LinkMgrTest() { ctx.m.cCombo1.setText("9600"); }
    void openTcp() { ctx.sched.spawn(cmdOpenTCP_Click(ctx)); }
    bool tcpDone() const { return !log().empty() && log().back().starts_with("OpenPortTCP"); }
    void scan() { ctx.sched.spawn(cmdScanCom_Click(ctx)); }
};

TEST_F(LinkMgrTest, OpenCom) {
    // Port text, baud text, port asked of the serial port (-1: none), result line, settings.
    const std::tuple<const char*, const char*, int, const char*, const char*> cases[] = {
        {"1", "9600", 1, "OpenPortCOM: OK", "9600,n,8,1"},
        {" 3", "  19200", 3, "OpenPortCOM: OK", "19200,n,8,1"},
        {"2.5", "9600", 2, "OpenPortCOM: ERROR( 255)", "9600,n,8,1"},  // halves go to the even number
        {"3.5", "9600", 4, "OpenPortCOM: ERROR( 255)", "9600,n,8,1"},
        {"&H3", "9600", 3, "OpenPortCOM: OK", "9600,n,8,1"},
        {"COM1", "9600", 0, "OpenPortCOM: ERROR( 255)", "9600,n,8,1"},
        {"70000", "9600", -1, "OpenPortCOM: ERROR( 255)", ""},  // does not fit 16 bits
    };
    serial.freePorts = {1, 3};
    for (const auto& [port, baud, asked, line, settings] : cases) {
        ctx.m.listInfo.clearItems();
        serial.opens.clear();
        ctx.m.cEditCfg1.setText(port);
        ctx.m.cCombo1.setText(baud);
        cmdOpenCom_Click(ctx);
        EXPECT_EQ(log(), Lines{line}) << port;
        if (asked >= 0) {
            EXPECT_EQ(serial.opens, (std::vector<std::pair<int, std::string>>{{asked, settings}})) << port;
        } else {
            EXPECT_TRUE(serial.opens.empty()) << port;
        }
        const bool ok = std::string(line).ends_with("OK");
        EXPECT_EQ(ctx.st.LinkType, ok ? 1 : 0) << port;
        EXPECT_EQ(ctx.m.cmdClose.enabled(), ok) << port << ": the controls follow the result line";
        if (ok) cmdClose_Click(ctx);
    }
}

TEST_F(LinkMgrTest, OpensRefusedWhileALinkIsOpen) {
    cmdOpenCom_Click(ctx);
    ASSERT_EQ(ctx.st.LinkType, 1);
    cmdOpenCom_Click(ctx);
    openTcp();
    scan();  // does nothing at all
    EXPECT_EQ(log(), (Lines{"OpenPortCOM: OK", "OpenPortCOM: ERROR( 1)", "OpenPortTCP ERROR( 1)"}));
    EXPECT_EQ(ctx.st.LinkType, 1);
    EXPECT_EQ(serial.opens.size(), 1u);
    EXPECT_EQ(socket.attempts, 0);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(LinkMgrTest, TcpConnectsAndClosesTwice) {
    ctx.m.cEditCfg3.setText("10.0.0.7");
    socket.connectDelay = 1'300'000;
    openTcp();
    EXPECT_TRUE(log().empty()) << "nothing logged while waiting";
    ASSERT_TRUE(runUntil([&] { return tcpDone(); }));
    EXPECT_DOUBLE_EQ(seconds(), 1.3) << "the connect event ends the wait, not a tick";
    EXPECT_EQ(socket.host, "10.0.0.7");
    EXPECT_EQ(socket.port, 1001);
    EXPECT_EQ(ctx.st.LinkType, 2);
    cmdClose_Click(ctx);
    cmdClose_Click(ctx);
    EXPECT_EQ(log(), (Lines{"OpenPortTCP OK", "ClosePort: OK", "ClosePort: ERROR( 1)"}));
    EXPECT_FALSE(socket.connected);
}

TEST_F(LinkMgrTest, TcpGivesUpAfterTwentySeconds) {
    socket.mode = FakeSocket::Mode::Never;
    openTcp();
    ASSERT_TRUE(runUntil([&] { return tcpDone(); }, 30));
    EXPECT_EQ(log(), Lines{"OpenPortTCP ERROR( 2)"});
    EXPECT_GT(seconds(), 19.5);
    EXPECT_LE(seconds(), 20.0);

    // A connect event after the wait gave up does not count for the next attempt.
    ctx.st.TcpConnected = kTrue;
    openTcp();
    ASSERT_TRUE(runUntil([&] { return log().size() == 2; }, 30));
    EXPECT_EQ(log().back(), "OpenPortTCP ERROR( 2)");
    EXPECT_EQ(ctx.st.LinkType, 0);

    // A connection that would come just too late is aborted with the attempt.
    socket.mode = FakeSocket::Mode::Accept;
    socket.connectDelay = 20'200'000;
    openTcp();
    ASSERT_TRUE(runUntil([&] { return log().size() == 3; }, 30));
    clock.runFor(1'000'000);
    EXPECT_EQ(log().back(), "OpenPortTCP ERROR( 2)");
    EXPECT_FALSE(socket.connected);
    EXPECT_EQ(ctx.st.TcpConnected, kFalse);
}

TEST_F(LinkMgrTest, TcpRefusedAtOnceAndSecondOpenWhileWaiting) {
    socket.mode = FakeSocket::Mode::Fail;
    openTcp();
    EXPECT_EQ(log(), Lines{"OpenPortTCP ERROR( 255)"});

    socket.mode = FakeSocket::Mode::Accept;
    socket.connectDelay = 3'000'000;
    openTcp();
    openTcp();
    cmdOpenCom_Click(ctx);
    scan();
    EXPECT_EQ(log(), (Lines{"OpenPortTCP ERROR( 255)", "OpenPortTCP ERROR( 1)", "OpenPortCOM: ERROR( 1)"}));
    EXPECT_TRUE(serial.opens.empty());
    ASSERT_TRUE(runUntil([&] { return log().size() == 4; }));
    EXPECT_EQ(log().back(), "OpenPortTCP OK");
    EXPECT_EQ(socket.attempts, 2);
    EXPECT_FALSE(TcpOpening(ctx));
}

TEST_F(LinkMgrTest, Scan) {
    // Free ports, baud text, log lines, box text, settings asked.
    const std::tuple<std::set<int>, const char*, Lines, const char*, const char*> cases[] = {
        {{1, 3},
         "9600",
         {"ClosePort: ERROR( 1)", "ClosePort: OK", "ClosePort: OK"},
         "Ports: 1 3 ",
         "9600,n,8,1"},
        {{}, " 4800", {"ClosePort: ERROR( 1)"}, "Ports: ", " 4800,n,8,1"},  // no blanks removed here
    };
    for (const auto& [free, baud, lines, text, settings] : cases) {
        ctx.m.listInfo.clearItems();
        serial.opens.clear();
        box.shown.clear();
        serial.freePorts = free;
        ctx.m.cCombo1.setText(baud);
        scan();
        EXPECT_EQ(log(), lines);
        ASSERT_EQ(serial.opens.size(), 64u);
        for (int p = 1; p <= 64; ++p)
            EXPECT_EQ(serial.opens[p - 1], (std::pair<int, std::string>{p, settings}));
        EXPECT_EQ(ctx.st.LinkType, 0);
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].text, text);
        EXPECT_EQ(box.shown[0].title, "Scan");
        EXPECT_EQ(box.shown[0].icon, BoxIcon::Information);
        EXPECT_EQ(ctx.sched.running(), 1u) << "the scan waits for the box";
        ASSERT_TRUE(runUntil([&] { return ctx.sched.running() == 0; }, 5));
    }
}

TEST_F(LinkMgrTest, LostLinkKeepsTheWindowStateUntilClosed) {
    for (const int linkType : {1, 2}) {
        ctx.m.listInfo.clearItems();
        if (linkType == 1) {
            cmdOpenCom_Click(ctx);
        } else {
            openTcp();
            ASSERT_TRUE(runUntil([&] { return tcpDone(); }));
        }
        ctx.st.ActiveRun = 0;
        bool ended = false;
        auto run = [&]() -> Co<> {  // a run waiting for an answer
            ctx.st.iTicks = 5;
            WindowState* s = &ctx.st;
            co_await ctx.sched.until([s] { return s->bSelectRx != kFalse || s->iTicks == 0; });
            ended = true;
        };
        ctx.sched.spawn(run());

        OnLinkLost(ctx, 3 - linkType);  // not the open link
        EXPECT_EQ(log().size(), 1u);
        linkType == 1 ? serial.lose() : socket.reset();
        EXPECT_EQ(log().back(), "Link lost") << linkType;
        EXPECT_EQ(ctx.st.LinkType, linkType);
        EXPECT_TRUE(ctx.m.cmdStop(0).enabled()) << "Stop stays available to the run";
        EXPECT_EQ(EnviaTrama(ctx, 0x11, 0, {}), 3) << "the closed link refuses";
        ASSERT_TRUE(runUntil([&] { return ended; }, 3)) << "the run's wait ends through its time-out";

        ctx.st.ActiveRun = kNoRun;
        cmdClose_Click(ctx);
        EXPECT_EQ(log().back(), "ClosePort: OK") << linkType;
    }
    cmdOpenCom_Click(ctx);
    EXPECT_EQ(log().back(), "OpenPortCOM: OK");
}

}  // namespace
}  // namespace zt::test
