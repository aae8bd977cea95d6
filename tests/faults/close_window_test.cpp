// Closing the window in the middle of every wait of every run: the stop flag goes up before the link
// is closed, "ClosePort:" is logged, and the window can be destroyed with the run still parked
// without anything reaching it afterwards.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/app/log.h"
#include "fault_fixture.h"

namespace zt::test::faults {
namespace {

struct Wait {
    std::string name;
    Link link;
    // Starts what is to be interrupted.
    std::function<void(FaultFixture&)> start;
    // True once the window waits where this case wants it.
    std::function<bool(FaultFixture&)> reached;
};

bool LoggedPrefix(FaultFixture& f, const std::string& prefix) {
    for (const auto& l : f.lines) {
        if (l.text.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

void StartEncode(FaultFixture& f) {
    f.freshCard();
    ASSERT_TRUE(f.h.click("cmdStart(2)"));
}
void StartRead(FaultFixture& f) {
    f.userCard(7);
    ASSERT_TRUE(f.h.click("cmdLecTar"));
}
// A request whose answer never comes, so that the run sits in that wait.
std::function<void(FaultFixture&)> Silent(std::uint8_t code, int nth, void (*start)(FaultFixture&)) {
    return [=](FaultFixture& f) {
        f.h.reader.faults().nth(code, sim::FaultKind::NoAnswer, nth);
        start(f);
    };
}
std::function<bool(FaultFixture&)> AfterLine(std::string line) {
    return [line](FaultFixture& f) { return LoggedPrefix(f, line); };
}

std::vector<Wait> AllWaits() {
    std::vector<Wait> out;
    for (Link link : {Link::Com, Link::Tcp}) {
        const std::string l = LinkName(link);
        auto add = [&](const char* name, std::function<void(FaultFixture&)> start,
                       std::function<bool(FaultFixture&)> reached) {
            out.push_back(Wait{std::string(name) + "_" + l, link, std::move(start), std::move(reached)});
        };
        // The encoding run.
        add("EncodeTestLink", Silent(kTestLink, 1, StartEncode), AfterLine("TestNodeLink"));
        add("EncodeStartUp", Silent(kStartUp, 1, StartEncode), AfterLine("StartUp"));
        add(
            "EncodeCard", [](FaultFixture& f) { ASSERT_TRUE(f.h.click("cmdStart(2)")); },
            [](FaultFixture& f) { return LoggedPrefix(f, f.mis(176) + ": "); });
        add("EncodeSelect", Silent(kSelect, 1, StartEncode), AfterLine("Select"));
        add("EncodeWriteKey", Silent(kWriteKey, 1, StartEncode), AfterLine("WriteKeyE2P"));
        add("EncodeLogin", Silent(kLogin, 1, StartEncode), AfterLine("Login"));
        add("EncodeWriteData", Silent(kWrite, 1, StartEncode), AfterLine("Write Block: "));
        add("EncodeWriteTrailer", Silent(kWrite, 2, StartEncode), AfterLine("Write Protection Block: "));
        add("EncodeHalt", Silent(kHalt, 1, StartEncode), AfterLine("Halt"));
        add("EncodeLedTick", StartEncode, AfterLine("Led green"));
        add("EncodeFailureBox", Silent(kLogin, 1, StartEncode),
            [](FaultFixture& f) { return f.h.box.open > 0; });
        add("EncodeLinkBox", Silent(kTestLink, 1, StartEncode),
            [](FaultFixture& f) { return f.h.box.open > 0; });
        // The read run.
        add("ReadKey7", Silent(kWriteKey, 1, StartRead), AfterLine("WriteKeyE2P[7]"));
        add("ReadKey8", Silent(kWriteKey, 2, StartRead), AfterLine("WriteKeyE2P[8]"));
        add("ReadKey9", Silent(kWriteKey, 3, StartRead), AfterLine("WriteKeyE2P[9]"));
        add(
            "ReadCard", [](FaultFixture& f) { ASSERT_TRUE(f.h.click("cmdLecTar")); },
            [](FaultFixture& f) { return LoggedPrefix(f, std::string(20, '-') + " "); });
        add("ReadSelect", Silent(kSelect, 1, StartRead), AfterLine("Select"));
        add("ReadLogin", Silent(kLogin, 1, StartRead), AfterLine("Login[1]"));
        add("ReadBlock0", Silent(kRead, 1, StartRead), AfterLine("ReadBlock[0]"));
        add("ReadBlock1", Silent(kRead, 2, StartRead), AfterLine("ReadBlock[1]"));
        add("ReadBlock2", Silent(kRead, 3, StartRead), AfterLine("ReadBlock[2]"));
        add("ReadHalt", Silent(kHalt, 1, StartRead), AfterLine("Halt"));
        add("ReadLedTick", StartRead, AfterLine("Led green"));
        add("ReadFailureLedTick", Silent(kRead, 1, StartRead), AfterLine("Led red"));
    }
    // The TCP open waiting for its connection, and the port scan's box.
    out.push_back(Wait{"TcpOpenWait", Link::Com,
                       [](FaultFixture& f) {
                           ASSERT_TRUE(f.h.click("cmdClose"));
                           f.h.socket.mode = FakeSocket::Mode::Never;
                           ASSERT_TRUE(f.h.click("cmdOpenTCP"));
                       },
                       [](FaultFixture& f) { return f.h.clock.now() > 5'000'000; }});
    out.push_back(Wait{"ScanBox", Link::Com,
                       [](FaultFixture& f) {
                           ASSERT_TRUE(f.h.click("cmdClose"));
                           ASSERT_TRUE(f.h.click("cmdScanCom"));
                       },
                       [](FaultFixture& f) { return f.h.box.open > 0; }});
    return out;
}

void PrintTo(const Wait& w, std::ostream* os) {
    *os << w.name;
}

class CloseWindow : public ::testing::TestWithParam<Wait> {};

TEST_P(CloseWindow, StopsBeforeTheLinkClosesAndGoesQuietly) {
    const Wait& w = GetParam();
    FaultFixture f(w.link);
    auto& h = f.h;
    // Boxes stay open until the window goes, as a modal box would.
    h.box.autoCloseAfter = -1;
    ASSERT_NO_FATAL_FAILURE(w.start(f));
    ASSERT_TRUE(h.runUntil([&] { return w.reached(f); }, 60)) << "the wait was never reached";
    ASSERT_GE(h.ctx().sched.waiting(), 1u) << "nothing is waiting";

    // At the moment the close is logged the stop flag must already be up and the link closed.
    const bool hadLink = h.st().LinkType != 0;
    std::string closeLine;
    bool logged = false, stopFirst = false, closed = false;
    h.m().listInfo.observe([&](Control& c, Prop p, int i) {
        if (p != Prop::ItemAdded || c.items()[static_cast<std::size_t>(i)].rfind("ClosePort:", 0) != 0)
            return;
        logged = true;
        closeLine = c.items()[static_cast<std::size_t>(i)];
        stopFirst = h.st().bStop != 0;
        closed = !h.serial.isOpen() && !h.socket.connected;
    });
    const std::size_t closeAt = f.lines.size();
    h.form->Form_QueryUnload();
    h.form->Form_Unload();
    EXPECT_TRUE(h.tips.live.empty());
    EXPECT_TRUE(logged) << "no ClosePort: line";
    EXPECT_TRUE(stopFirst) << "the link closed before the stop flag went up";
    EXPECT_TRUE(closed);
    EXPECT_EQ(closeLine, hadLink ? "ClosePort: OK" : "ClosePort: ERROR( 1)");
    EXPECT_EQ(h.st().LinkType, 0);
    if (w.name.starts_with("EncodeCard") || w.name.starts_with("ReadCard")) {
        // A run waiting for a card sees the stop flag at once and ends its way.
        EXPECT_EQ(f.texts(closeAt), (std::vector<std::string>{"ClosePort: OK", f.mis(177), Dashes60()}));
        EXPECT_EQ(h.ctx().sched.running(), 0u);
    }

    // The window goes with whatever is still parked; then time passes: the reader keeps talking,
    // the timer must not tick into the dead window, a connection must not arrive in it.
    const std::size_t linesBefore = f.lines.size();
    h.form.reset();
    h.present(sim::CardKind::Classic1K, {1, 2, 3, 4});
    if (h.box.open == 0) h.runFor(30);
    EXPECT_EQ(f.lines.size(), linesBefore);
    EXPECT_FALSE(h.serial.isOpen());
    EXPECT_FALSE(h.socket.connected);
}

INSTANTIATE_TEST_SUITE_P(Faults, CloseWindow, ::testing::ValuesIn(AllWaits()),
                         [](const ::testing::TestParamInfo<Wait>& p) { return p.param.name; });

}  // namespace
}  // namespace zt::test::faults
