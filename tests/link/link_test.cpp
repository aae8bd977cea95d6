// The link on its own: what the receive path makes of the bytes that come in, the numbers read
// from the fields, and opening, scanning, losing and closing links.
#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "core/link/linkmgr.h"
#include "core/link/numeric.h"
#include "core/link/receive.h"
#include "sim/frame.h"
#include "support/harness.h"

namespace zt::test {
namespace {

struct Link : ::testing::Test {
    Harness h;
    std::size_t mark = 0;
    void SetUp() override { h.load(); }
    std::vector<std::string> since() {
        auto l = h.logFrom(mark);
        mark = h.log().size();
        return l;
    }
};

// Every answer code and the line it logs, whatever the data; status answers with another LEN and
// codes this reader does not have log nothing (">>> " left out below).
TEST_F(Link, LogLineOfEveryAnswer) {
    h.openCom();
    // The answers the encoding and reading runs get are compared there line by line; of the others,
    // those whose data is shown and a few of the names.
    const std::pair<const char*, const char*> cases[] = {
        {"80 01 02", "AnsTestLink"}, {"82 01 2A 33", "FW Version: 0x01 0x2A"}, {"82 01", "FW Version: 0x01"},
        {"83 01 02 03 04 05 06 07", "AnsReadCFG: 0x01 0x02 0x03 0x04 0x05 0x06"}, {"83", "AnsReadCFG: "},
        {"86", "AnsDOutTemp"}, {"BC", "AnsDOutTemp"}, {"BD", "AnsDOutPerm"}, {"B8", "AnsFactoryCfg"},
        {"89 10 FF", "AnsReadAutoCFG:  0x10 0xFF"}, {"8A", "AnsWriteAutoCFG: "},
        {"8F 5C 01", "AnsSecureAutoCFG: 5C"}, {"8F", "AnsSecureAutoCFG: "},
        {"93 04 00", "AnsWakeUp:  0x04 0x00"}, {"95 44", "AnsGetATQA:  0x44"}, {"A2 07", "AnsRead:  0x07"},
        {"A2", "AnsRead"}, {"BA 01 02", "AnsReadCFGByte:  0x01 0x02"}, {"BB", "AnsWriteCFGByte: "},
        {"FE 11", "FrameError"}, {"90", "AnsGetUID: Corrupt UID|AnsGetUID: "},
        {"90 01 02 03", "AnsGetUID: Corrupt UID|AnsGetUID:  0x01 0x02 0x03"}, {"91 01 02", ""}, {"92", ""},
        {"A0 00 00", ""}, {"A1", ""}, {"A3 00 00", ""}, {"A4", ""}, {"AA 00 00", ""}, {"94 00", ""},
        {"00", ""}, {"A7 00", ""}};
    since();
    for (const auto& [frame, lines] : cases) {
        const ByteVec f = hexBytes(frame);  // code and data, framed with length and checksum
        h.serial.deliver(sim::makeFrame(f[0], std::span(f).subspan(1)));
        auto want = Lines(lines);
        for (auto& line : want) line = ">>> " + line;
        EXPECT_EQ(since(), want) << frame;
    }
}

// The receive path: frames found in the byte stream however it comes in pieces.
TEST_F(Link, StreamCases) {
    h.openCom();
    const std::tuple<const char*, std::vector<const char*>, const char*> cases[] = {
        {"two in one piece, in order", {"02 81 00 81 03 02 80 00 80 03"}, ">>> AnsStartUp|>>> AnsTestLink"},
        {"one over three pieces", {"02 91", "01", "01 93 03"}, ">>> AnsSelect: 0x01"},
        {"bytes before the first STX", {"00 FF 03 80 00 80 03 02 80 00 80 03"}, ">>> AnsTestLink"},
        {"STX inside the data is data", {"02 91 01 02 94 03"}, ">>> AnsSelect: 0x02"},
        {"wrong checksum, then a good frame", {"02 A1 01 00 A3 03 02 81 00 81 03"}, ">>> AnsStartUp"},
        {"any last byte once the checksum holds", {"02 80 00 80 FF"}, ">>> AnsTestLink"},
        {"a byte slipped into a frame spoils only that frame", {"02 91 01 00 EE 92 03 02 A3 01 00 A4 03"}, ">>> AnsWrite: 0x00"},
        {"a lost byte: the next STX completes the damaged frame", {"02 80 00 03", "02 81 00 81 03", "02 80 00 80 03"}, ">>> AnsTestLink"}};
    since();
    for (const auto& [name, pieces, lines] : cases) {
        for (const char* p : pieces) h.serial.deliver(hexBytes(p));
        EXPECT_EQ(since(), Lines(lines)) << name;
        EXPECT_EQ(h.st().iRxState, 0) << name;
    }
}

// Only the open link is heard; a half frame waits across Close and Open.
TEST_F(Link, OnlyTheOpenLinkIsHeard) {
    h.serial.openPort = 1;
    h.socket.connected = true;
    for (const auto& [link, viaSocket, heard] : {std::tuple{1, false, true}, {1, true, false}, {2, true, true},
                                                 {2, false, false}, {0, false, false}, {0, true, false}}) {
        since();
        h.st().LinkType = static_cast<std::int16_t>(link);
        const ByteVec f = hexBytes("02 80 00 80 03");
        viaSocket ? h.socket.deliver(f) : h.serial.deliver(f);
        EXPECT_EQ(since().size(), heard ? 1u : 0u) << link << viaSocket;
    }
    h.st().LinkType = 1;
    h.serial.deliver(hexBytes("02 81 00"));
    h.st().LinkType = 2;
    h.socket.deliver(hexBytes("81 03"));
    EXPECT_EQ(h.log().back(), ">>> AnsStartUp");
}

// The leading decimal number (a fraction, no exponent) or the digits after "&H" (never negative);
// blanks, tabs and line feeds skipped, a carriage return not. Where 16 bits are needed: halves to
// even, and a value beyond them refused.
TEST(Numeric, ValueOfAText) {
    const std::pair<const char*, double> values[] = {
        {"&HFF", 255}, {"  12abc", 12}, {"2.5", 2.5}, {"", 0},        {"abc", 0},     {"\t1\n2", 12},  {"&H", 0},
        {"&h1f", 31},  {"-7", -7},      {"0015", 15}, {"1 000", 1000}, {"&HFFFF", 65535}, {"&H10000", 65536}, {".5", 0.5},
        {"1\r2", 1},   {"1E3", 1},      {"2e1", 2},   {"1.5E1", 1.5},  {"&HFFFFFFFF", 4294967295.0}};
    for (const auto& [text, value] : values) EXPECT_DOUBLE_EQ(NumVal(text), value) << '"' << text << '"';
    const std::pair<const char*, std::optional<std::int16_t>> sixteen[] = {
        {"2.5", 2},         {"3.5", 4},           {"-2.5", -2},         {"0.5", 0},          {"1.5", 2},
        {"32767", 32767},   {"32767.5", std::nullopt}, {"-32768", -32768}, {"65536", std::nullopt}, {"x", 0},
        {"&H7FFF", 32767},  {"&H8000", std::nullopt},  {"4E4", 4}};
    for (const auto& [text, value] : sixteen) EXPECT_EQ(NumVal16(text), value) << text;
    EXPECT_EQ(std::tuple(NumVal32("&H8000"), NumVal32("-2147483648"), NumVal32("2147483648")),  // balances
              std::tuple(32768, INT32_MIN, std::nullopt));
}

TEST_F(Link, OpenCom) {
    // Port text, baud text, port asked of the serial port (-1: none), result line, settings.
    const std::tuple<const char*, const char*, int, const char*, const char*> cases[] = {
        {"1", "9600", 1, "OpenPortCOM: OK", "9600,n,8,1"},
        {" 3", "  19200", 3, "OpenPortCOM: OK", "19200,n,8,1"},
        {"2.5", "9600", 2, "OpenPortCOM: ERROR( 255)", "9600,n,8,1"},  // halves go to the even number
        {"COM1", "9600", 0, "OpenPortCOM: ERROR( 255)", "9600,n,8,1"},
        {"70000", "9600", -1, "OpenPortCOM: ERROR( 255)", ""}};  // does not fit 16 bits
    h.serial.freePorts = {1, 3};
    for (const auto& [port, baud, asked, line, settings] : cases) {
        since();
        h.serial.opens.clear();
        h.set(std::string("cEditCfg1=") + port + "|cCombo1=" + baud);
        h.click("cmdOpenCom");
        EXPECT_EQ(since(), Lines(line)) << port;
        EXPECT_EQ(h.serial.opens, (asked < 0 ? decltype(h.serial.opens){} : decltype(h.serial.opens){{asked, settings}}));
        const bool ok = std::string(line).ends_with("OK");  // the controls follow the result line
        EXPECT_EQ(std::pair(int{h.st().LinkType}, h.m().cmdClose.enabled()), std::pair(ok ? 1 : 0, ok))
            << port;
        h.click("cmdClose");
    }
    // Opens refused while a link is open; the scan does nothing then.
    h.openCom();
    since();
    cmdOpenCom_Click(h.ctx());
    h.ctx().sched.spawn(cmdOpenTCP_Click(h.ctx()));
    h.ctx().sched.spawn(cmdScanCom_Click(h.ctx()));
    EXPECT_EQ(since(), Lines("OpenPortCOM: ERROR( 1)|OpenPortTCP ERROR( 1)"));
    EXPECT_EQ(h.socket.attempts, 0);
    EXPECT_TRUE(h.box.shown.empty());
}

TEST_F(Link, TcpOpens) {
    h.m().cEditCfg3.setText("10.0.0.7");
    // Connected after 1.3 s: the connect event ends the wait, not a tick. Closed twice.
    h.socket.connectDelay = 1'300'000;
    since();
    h.click("cmdOpenTCP");
    ASSERT_TRUE(h.runUntil([&] { return h.st().LinkType == 2; }));
    EXPECT_EQ(h.clock.now(), 1'300'000);
    EXPECT_EQ(h.socket.host + ":" + std::to_string(h.socket.port), "10.0.0.7:1001");
    h.click("cmdClose");
    cmdClose_Click(h.ctx());
    EXPECT_EQ(since(), Lines("OpenPortTCP OK|ClosePort: OK|ClosePort: ERROR( 1)"));
    // Never connected: given up after 20 s. A connect event after that does not count for the next
    // attempt, and a connection that would come just too late is aborted with the attempt.
    h.socket.mode = FakeSocket::Mode::Never;
    for (int i = 0; i < 3; ++i) {
        const Micros t = h.clock.now();
        if (i == 1) h.st().TcpConnected = kTrue;
        if (i == 2) h.socket.mode = FakeSocket::Mode::Accept, h.socket.connectDelay = 20'200'000;
        const auto n = h.log().size();
        h.click("cmdOpenTCP");
        ASSERT_TRUE(h.runUntil([&] { return h.log().size() > n; }, 30));
        EXPECT_TRUE(h.clock.now() - t > 19'500'000 && h.clock.now() - t <= 20'000'000) << h.clock.now() - t;
    }
    h.runFor(1);
    EXPECT_EQ(since(), Lines("OpenPortTCP ERROR( 2)|OpenPortTCP ERROR( 2)|OpenPortTCP ERROR( 2)"));
    EXPECT_FALSE(h.socket.connected || h.st().LinkType != 0);
    // Refused at once; a second open while one waits is refused, and so is COM.
    h.socket.mode = FakeSocket::Mode::Fail;
    h.click("cmdOpenTCP");
    h.socket.mode = FakeSocket::Mode::Accept;
    h.socket.connectDelay = 3'000'000;
    h.click("cmdOpenTCP");
    h.ctx().sched.spawn(cmdOpenTCP_Click(h.ctx()));
    h.serial.opens.clear();
    cmdOpenCom_Click(h.ctx());
    EXPECT_TRUE(h.serial.opens.empty());
    ASSERT_TRUE(h.runUntil([&] { return h.st().LinkType == 2; }));
    EXPECT_EQ(since(), Lines("OpenPortTCP ERROR( 255)|OpenPortTCP ERROR( 1)|OpenPortCOM: ERROR( 1)|OpenPortTCP OK"));
    EXPECT_FALSE(TcpOpening(h.ctx()));
}

TEST_F(Link, Scan) {
    // Free ports, baud text, log lines, box text, settings asked.
    const std::tuple<std::set<int>, const char*, const char*, const char*, const char*> cases[] = {
        {{1, 3, 64}, "9600", "ClosePort: ERROR( 1)|ClosePort: OK|ClosePort: OK|ClosePort: OK", "1 3 64 ", "9600,n,8,1"},
        {{}, " 4800", "ClosePort: ERROR( 1)", "", " 4800,n,8,1"}};  // no blanks removed here
    for (const auto& [free, baud, lines, ports, settings] : cases) {
        since();
        h.serial.opens.clear();
        h.box.shown.clear();
        h.serial.freePorts = free;
        h.m().cCombo1.setText(baud);
        h.click("cmdScanCom");
        EXPECT_EQ(since(), Lines(lines));
        ASSERT_EQ(h.serial.opens.size(), 64u);
        for (int p = 1; p <= 64; ++p) EXPECT_EQ(h.serial.opens[p - 1], (std::pair<int, std::string>{p, settings}));
        EXPECT_EQ(h.st().LinkType, 0);
        ASSERT_EQ(h.boxes(), std::vector<std::string>{h.mis(172) + ": " + ports});
        EXPECT_TRUE(h.box.shown[0].title == h.mis(173) && h.box.shown[0].icon == BoxIcon::Information);
        EXPECT_EQ(h.ctx().sched.running(), 1u) << "the scan waits for the box";
        ASSERT_TRUE(h.runUntil([&] { return h.ctx().sched.running() == 0; }, 5));
    }
}

}  // namespace
}  // namespace zt::test
