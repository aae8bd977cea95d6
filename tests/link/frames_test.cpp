#include <gtest/gtest.h>

#include "core/link/frames.h"
#include "core/link/requests.h"
#include "link_fixture.h"

namespace zt::test {
namespace {

class FramesTest : public ::testing::Test, public LinkFixture {
protected:
    void openSerial() {
        serial.openPort = 1;
        ctx.st.LinkType = 1;
    }
    static Payload payload(std::initializer_list<std::uint8_t> bytes) {
        Payload p{};
        std::size_t i = 1;
        for (auto b : bytes) p[i++] = b;
        return p;
    }
};

struct FrameCase {
    const char* name;
    std::uint8_t cmd;
    std::uint8_t len;
    std::vector<std::uint8_t> data;
    const char* wire;
};

TEST_F(FramesTest, RequestsLeaveAsTheseBytes) {
    const FrameCase cases[] = {
        {"TestLink", 0x00, 0, {}, "02 00 00 00 03"},
        {"Select", 0x11, 0, {}, "02 11 00 11 03"},
        {"Read block 4", 0x22, 1, {0x04}, "02 22 01 04 27 03"},
        {"Read block 6", 0x22, 1, {0x06}, "02 22 01 06 29 03"},
        {"DOutPerm, checksum wraps", 0x07, 2, {0x00, 0xFF}, "02 07 02 00 FF 08 03"},
        {"Login sector 1 slot 5", 0x21, 3, {0x04, 0x00, 0x05}, "02 21 03 04 00 05 2D 03"},
        {"STX and ETX in the data unescaped", 0x23, 2, {0x02, 0x03}, "02 23 02 02 03 2A 03"},
        {"Only LEN elements are sent", 0x22, 1, {0x06, 0x99, 0x98}, "02 22 01 06 29 03"},
    };
    openSerial();
    for (const auto& c : cases) {
        serial.writes.clear();
        Payload p{};
        for (std::size_t i = 0; i < c.data.size(); ++i) p[i + 1] = c.data[i];
        EXPECT_EQ(EnviaTrama(ctx, c.cmd, c.len, p), 0) << c.name;
        ASSERT_EQ(serial.writes.size(), 1u) << c.name << ": one write per frame";
        EXPECT_EQ(serial.writes[0], wire(c.wire)) << c.name;
    }
    EXPECT_TRUE(log().empty()) << "sending logs nothing";
}

TEST_F(FramesTest, LengthLimitAndNoLink) {
    // No link: nothing leaves on either transport.
    EXPECT_EQ(EnviaTrama(ctx, 0x00, 0, {}), 1);
    serial.openPort = 1;
    ctx.st.LinkType = 0;
    EXPECT_EQ(EnviaTrama(ctx, 0x00, 0, {}), 1);
    EXPECT_TRUE(serial.writes.empty());

    ctx.st.LinkType = 1;
    EXPECT_EQ(EnviaTrama(ctx, 0x23, 32, payload({1, 2, 3})), 2);
    EXPECT_TRUE(serial.writes.empty()) << "LEN 32 builds nothing";

    // LEN 31: 36 bytes; the buffer's 17 elements, then zeros.
    Payload p{};
    for (std::size_t i = 1; i <= 17; ++i) p[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(EnviaTrama(ctx, 0x23, 31, p), 0);
    ASSERT_EQ(serial.writes.size(), 1u);
    const auto& f = serial.writes[0];
    ASSERT_EQ(f.size(), 36u);
    EXPECT_EQ(f[0], 0x02);
    EXPECT_EQ(f[2], 31);
    EXPECT_EQ(f[3 + 16], 17);
    EXPECT_EQ(f[3 + 17], 0);
    EXPECT_EQ(f[34], (0x23 + 31 + 17 * 18 / 2) & 0xFF);
    EXPECT_EQ(f[35], 0x03);
}

TEST_F(FramesTest, TcpLinkAndRefusedWrite) {
    socket.connected = true;
    ctx.st.LinkType = 2;
    EXPECT_EQ(EnviaTrama(ctx, 0x11, 0, {}), 0);
    ASSERT_EQ(socket.sends.size(), 1u);
    EXPECT_EQ(socket.sends[0], wire("02 11 00 11 03"));
    EXPECT_TRUE(serial.writes.empty());

    // A socket closed underneath refuses: no exception, no line, a distinct result.
    socket.connected = false;
    EXPECT_EQ(EnviaTrama(ctx, 0x11, 0, {}), 3);
    EXPECT_TRUE(log().empty());
}

TEST(CalcChecksum, PairsSummedModulo256) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "00"},     {"2103040005", "2D"}, {"070200FF", "08"},
        {"FF01", "00"}, {"ABC", "B7"},  // odd length: the last character is a one-digit number
        {"G1", "00"},   {"1G", "01"},         {"ff", "FF"},
    };
    for (const auto& [hex, chk] : cases) EXPECT_EQ(CalcChecksum(hex), chk) << '"' << hex << '"';
}

TEST_F(FramesTest, NamedRequestsAndSequences) {
    openSerial();
    EXPECT_EQ(Send(ctx, Req::Login, payload({0x04, 0x00, 0x05})), 0);
    EXPECT_EQ(Send(ctx, Req::Read, payload({0x06, 0x55})), 0);
    LedYellowOn(ctx);
    Beeper(ctx);
    const std::vector<ByteVec> want = {
        wire("02 21 03 04 00 05 2D 03"), wire("02 22 01 06 29 03"),    wire("02 07 02 00 FF 08 03"),
        wire("02 07 02 01 FF 09 03"),    wire("02 06 02 02 0A 14 03"),
    };
    EXPECT_EQ(serial.writes, want);
    EXPECT_EQ(log(), (std::vector<std::string>{"Led yellow On", "Beeper"}));
}

TEST_F(FramesTest, LedFlashesSpreadOverTicks) {
    struct Case {
        const char* word;
        Co<> (*seq)(Ctx&);
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {"Led green", LedGreen, "02 06 02 01 00 09 03", "02 06 02 00 32 3A 03"},
        {"Led red", LedRed, "02 06 02 01 32 3B 03", "02 06 02 00 00 08 03"},
    };
    openSerial();
    for (const auto& c : cases) {
        serial.writes.clear();
        ctx.m.listInfo.clearItems();
        bool done = false;
        auto run = [&]() -> Co<> {
            co_await c.seq(ctx);
            done = true;
        };
        ctx.sched.spawn(run());
        ASSERT_EQ(serial.writes.size(), 1u) << c.word << ": the first frame leaves at once";
        EXPECT_EQ(serial.writes[0], wire(c.first));
        ASSERT_TRUE(runUntil([&] { return serial.writes.size() == 2; }, 1)) << c.word;
        EXPECT_EQ(serial.writes[1], wire(c.second));
        EXPECT_FALSE(done) << c.word << ": a second tick follows the second frame";
        ASSERT_TRUE(runUntil([&] { return done; }, 1)) << c.word;
        EXPECT_EQ(log(), std::vector<std::string>{c.word});
    }
}

}  // namespace
}  // namespace zt::test
