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
    bool tcpDone() const { return !log().empty() && log().back().rfind("OpenPortTCP", 0) == 0; }
};

TEST_F(LinkMgrTest, OpenComResults) {
    struct Case {
        const char* port;
        const char* baud;
        int opened;  // the port number asked of the serial port; -1: none asked
        const char* line;
        const char* settings;
    };
    const Case cases[] = {
        {"1", "9600", 1, "OpenPortCOM: OK", "9600,n,8,1"},
        {" 3", "  19200", 3, "OpenPortCOM: OK", "19200,n,8,1"},
        {"2.5", "9600", 2, "OpenPortCOM: ERROR( 255)", "9600,n,8,1"},  // halves to even: 2, not free
        {"3.5", "9600", 4, "OpenPortCOM: ERROR( 255)", "9600,n,8,1"},
        {"&H3", "9600", 3, "OpenPortCOM: OK", "9600,n,8,1"},
        {"COM1", "9600", 0, "OpenPortCOM: ERROR( 255)", "9600,n,8,1"},  // no number: port 0
        {"70000", "9600", -1, "OpenPortCOM: ERROR( 255)", ""},          // does not fit 16 bits
        {"5", "9600", 5, "OpenPortCOM: ERROR( 255)", "9600,n,8,1"},
    };
    serial.freePorts = {1, 3};
    for (const auto& c : cases) {
        ctx.m.listInfo.clearItems();
        serial.opens.clear();
        ctx.m.cEditCfg1.setText(c.port);
        ctx.m.cCombo1.setText(c.baud);
        cmdOpenCom_Click(ctx);
        EXPECT_EQ(log(), Lines{c.line}) << c.port;
        if (c.opened < 0) {
            EXPECT_TRUE(serial.opens.empty()) << c.port;
        } else {
            ASSERT_EQ(serial.opens.size(), 1u) << c.port;
            EXPECT_EQ(serial.opens[0].first, c.opened) << c.port;
            EXPECT_EQ(serial.opens[0].second, c.settings) << c.port;
        }
        const bool ok = std::string(c.line).ends_with("OK");
        EXPECT_EQ(ctx.st.LinkType, ok ? 1 : 0) << c.port;
        EXPECT_EQ(ctx.m.cmdClose.enabled(), ok) << c.port << ": controls follow the result line";
        if (ok) {
            serial.close();
            ctx.st.LinkType = 0;
        }
    }
}

TEST_F(LinkMgrTest, OpensRefusedWhileALinkIsOpen) {
    ctx.m.cEditCfg1.setText("1");
    cmdOpenCom_Click(ctx);
    ASSERT_EQ(ctx.st.LinkType, 1);
    const std::size_t before = log().size();

    cmdOpenCom_Click(ctx);
    openTcp();
    ctx.sched.spawn(cmdScanCom_Click(ctx));  // does nothing at all
    EXPECT_EQ(Lines(log().begin() + static_cast<std::ptrdiff_t>(before), log().end()),
              (Lines{"OpenPortCOM: ERROR( 1)", "OpenPortTCP ERROR( 1)"}));
    EXPECT_EQ(OpenPortCOM(ctx, 2, "9600,n,8,1"), 1);
    EXPECT_EQ(ctx.st.LinkType, 1);
    EXPECT_EQ(serial.openPort, 1);
    EXPECT_EQ(serial.opens.size(), 1u);
    EXPECT_EQ(socket.attempts, 0);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(LinkMgrTest, TcpConnects) {
    ctx.m.cEditCfg3.setText("10.0.0.7");
    socket.connectDelay = 1'300'000;
    openTcp();
    EXPECT_TRUE(log().empty()) << "nothing logged while waiting";
    ASSERT_TRUE(runUntil([&] { return tcpDone(); }));
    EXPECT_EQ(log(), Lines{"OpenPortTCP OK"});
    EXPECT_NEAR(seconds(), 1.3, 1e-9) << "the connect event ends the wait, not a tick";
    EXPECT_EQ(socket.host, "10.0.0.7");
    EXPECT_EQ(socket.port, 1001);
    EXPECT_EQ(ctx.st.LinkType, 2);
    EXPECT_EQ(ctx.m.cmdClose.enabled(), true);

    cmdClose_Click(ctx);
    cmdClose_Click(ctx);
    EXPECT_EQ(log(), (Lines{"OpenPortTCP OK", "ClosePort: OK", "ClosePort: ERROR( 1)"}));
    EXPECT_FALSE(socket.connected);
    EXPECT_EQ(ctx.st.LinkType, 0);
}

TEST_F(LinkMgrTest, TcpGivesUpAfterTwentySeconds) {
    socket.mode = FakeSocket::Mode::Never;
    openTcp();
    ASSERT_TRUE(runUntil([&] { return tcpDone(); }, 30));
    EXPECT_EQ(log(), Lines{"OpenPortTCP ERROR( 2)"});
    EXPECT_GT(seconds(), 19.5);
    EXPECT_LE(seconds(), 20.0);
    EXPECT_EQ(ctx.st.LinkType, 0);

    // A connect event that comes after the wait gave up does not count for the next attempt.
    ctx.st.TcpConnected = kTrue;
    openTcp();
    ASSERT_TRUE(runUntil([&] { return log().size() == 2; }, 30));
    EXPECT_EQ(log().back(), "OpenPortTCP ERROR( 2)");
    EXPECT_EQ(ctx.st.LinkType, 0);
    EXPECT_EQ(socket.attempts, 2);
}

TEST_F(LinkMgrTest, TcpLateConnectIsAborted) {
    socket.connectDelay = 20'500'000;  // just after the wait gives up
    openTcp();
    ASSERT_TRUE(runUntil([&] { return tcpDone(); }, 30));
    EXPECT_EQ(log().back(), "OpenPortTCP ERROR( 2)");
    clock.runFor(2'000'000);
    EXPECT_FALSE(socket.connected);
    EXPECT_EQ(ctx.st.TcpConnected, kFalse);
    EXPECT_EQ(ctx.st.LinkType, 0);
}

TEST_F(LinkMgrTest, TcpRefusedAtOnce) {
    socket.mode = FakeSocket::Mode::Fail;
    openTcp();
    EXPECT_EQ(log(), Lines{"OpenPortTCP ERROR( 255)"});
    EXPECT_EQ(ctx.st.LinkType, 0);
    EXPECT_FALSE(TcpOpening(ctx));
}

TEST_F(LinkMgrTest, SecondOpenWhileTcpWaits) {
    ctx.m.cEditCfg1.setText("1");
    socket.connectDelay = 3'000'000;
    openTcp();
    EXPECT_TRUE(TcpOpening(ctx));
    openTcp();
    cmdOpenCom_Click(ctx);
    ctx.sched.spawn(cmdScanCom_Click(ctx));
    EXPECT_EQ(log(), (Lines{"OpenPortTCP ERROR( 1)", "OpenPortCOM: ERROR( 1)"}));
    EXPECT_TRUE(serial.opens.empty());
    ASSERT_TRUE(runUntil([&] { return log().size() == 3; }));
    EXPECT_EQ(log().back(), "OpenPortTCP OK");
    EXPECT_EQ(socket.attempts, 1);
    EXPECT_FALSE(TcpOpening(ctx));
}

TEST_F(LinkMgrTest, ScanWithPortsOneAndThreeFree) {
    serial.freePorts = {1, 3};
    ctx.sched.spawn(cmdScanCom_Click(ctx));
    EXPECT_EQ(log(), (Lines{"ClosePort: ERROR( 1)", "ClosePort: OK", "ClosePort: OK"}));
    ASSERT_EQ(serial.opens.size(), 64u);
    for (int p = 1; p <= 64; ++p) {
        EXPECT_EQ(serial.opens[static_cast<std::size_t>(p - 1)],
                  (std::pair<int, std::string>{p, "9600,n,8,1"}));
    }
    EXPECT_EQ(ctx.st.LinkType, 0);
    EXPECT_EQ(serial.openPort, 0);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "Ports: 1 3 ");
    EXPECT_EQ(box.shown[0].title, "Scan");
    EXPECT_EQ(box.shown[0].icon, BoxIcon::Information);
    EXPECT_EQ(ctx.sched.running(), 1u) << "the scan waits for the box";
    ASSERT_TRUE(runUntil([&] { return ctx.sched.running() == 0; }, 5));
}

TEST_F(LinkMgrTest, ScanFindingNothingKeepsTheBlanks) {
    serial.freePorts = {};
    ctx.m.cCombo1.setText(" 4800");
    ctx.sched.spawn(cmdScanCom_Click(ctx));
    EXPECT_EQ(log(), Lines{"ClosePort: ERROR( 1)"});
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "Ports: ");
    EXPECT_EQ(serial.opens.front().second, " 4800,n,8,1") << "the scan keeps leading blanks";
}

TEST_F(LinkMgrTest, LostLinkKeepsTheWindowStateUntilClosed) {
    struct Case {
        const char* name;
        int linkType;
    };
    for (const Case& c : {Case{"serial", 1}, Case{"tcp", 2}}) {
        ctx.m.listInfo.clearItems();
        if (c.linkType == 1) {
            cmdOpenCom_Click(ctx);
        } else {
            openTcp();
            ASSERT_TRUE(runUntil([&] { return tcpDone(); }));
        }
        ASSERT_EQ(ctx.st.LinkType, c.linkType) << c.name;

        // The other link's loss is not ours.
        OnLinkLost(ctx, 3 - c.linkType);
        EXPECT_EQ(log().size(), 1u) << c.name;

        if (c.linkType == 1) {
            serial.lose();
        } else {
            socket.reset();
        }
        EXPECT_EQ(log().back(), "Link lost") << c.name;
        EXPECT_EQ(ctx.st.LinkType, c.linkType) << c.name;
        EXPECT_TRUE(ctx.m.cmdClose.enabled()) << c.name;
        EXPECT_EQ(EnviaTrama(ctx, 0x00, 0, {}), 3) << c.name << ": the closed link refuses";

        cmdClose_Click(ctx);
        EXPECT_EQ(log().back(), "ClosePort: OK") << c.name;
        EXPECT_TRUE(ctx.m.cmdOpenCom.enabled()) << c.name;
    }
    cmdOpenCom_Click(ctx);
    EXPECT_EQ(log().back(), "OpenPortCOM: OK");
}

TEST_F(LinkMgrTest, RunWaitingWhenTheLinkGoesEndsByItsTimeOut) {
    cmdOpenCom_Click(ctx);
    ctx.st.ActiveRun = 0;
    bool ended = false;
    auto run = [&]() -> Co<> {
        ctx.st.bSelectRx = kFalse;
        ctx.st.iTicks = 5;
        EnviaTrama(ctx, 0x11, 0, {});
        WindowState* s = &ctx.st;
        co_await ctx.sched.until(
            [s] { return s->bSelectRx != kFalse || s->iTicks == 0 || s->bStop != kFalse; });
        ended = true;
    };
    ctx.sched.spawn(run());
    serial.lose();
    EXPECT_TRUE(ctx.m.cmdStop(0).enabled()) << "Stop stays available during the run";
    ASSERT_TRUE(runUntil([&] { return ended; }, 3));
    EXPECT_EQ(ctx.st.bSelectRx, kFalse);
}

TEST_F(LinkMgrTest, DeviceNameOfThePortField) {
    const std::pair<const char*, const char*> cases[] = {
        {"1", "/dev/ttyS0"}, {"64", "/dev/ttyS63"}, {"0", ""}, {"65", ""}, {"x", ""}};
    for (const auto& [text, dev] : cases) {
        ctx.m.cEditCfg1.setText(text);
        EXPECT_EQ(PortDeviceName(ctx), dev) << text;
    }
}

}  // namespace
}  // namespace zt::test
