#include <gtest/gtest.h>

#include "core/link/frames.h"
#include "exchanges.h"
#include "link_fixture.h"

namespace zt::test {
namespace {

class FramesTest : public ::testing::Test, public LinkFixture {
protected:
    FramesTest() {
        serial.openPort = 1;
        ctx.st.LinkType = 1;
    }
};

TEST_F(FramesTest, EveryRequestLeavesInOneWrite) {
    for (const auto& ex : allExchanges()) {
        serial.writes.clear();
        ctx.m.listInfo.clearItems();
        ex.send(ctx);
        ByteVec sent;
        for (const auto& w : serial.writes) sent.insert(sent.end(), w.begin(), w.end());
        EXPECT_EQ(sent, ex.wire) << ex.name;
        EXPECT_EQ(serial.writes.size(), ex.frames) << ex.name << ": one write per frame";
        EXPECT_EQ(log(), ex.logWord ? std::vector<std::string>{ex.logWord} : std::vector<std::string>{})
            << ex.name;
    }
}

TEST_F(FramesTest, ResultCodes) {
    Payload p{};
    for (std::size_t i = 1; i <= 17; ++i) p[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(EnviaTrama(ctx, 0x23, 32, p), 2);
    EXPECT_TRUE(serial.writes.empty()) << "LEN 32 builds nothing";

    // LEN 31: 36 bytes, the buffer's 17 elements and then zeros.
    EXPECT_EQ(EnviaTrama(ctx, 0x23, 31, p), 0);
    ASSERT_EQ(serial.writes.size(), 1u);
    const ByteVec& f = serial.writes[0];
    ASSERT_EQ(f.size(), 36u);
    EXPECT_EQ(f[3 + 16], 17);
    EXPECT_EQ(f[3 + 17], 0);
    EXPECT_EQ(f[34], (0x23 + 31 + 153) & 0xFF);
    EXPECT_EQ(f[35], 0x03);

    ctx.st.LinkType = 0;
    EXPECT_EQ(EnviaTrama(ctx, 0x00, 0, {}), 1);
    ctx.st.LinkType = 2;  // the socket is not connected: refused, quietly
    EXPECT_EQ(EnviaTrama(ctx, 0x00, 0, {}), 3);
    socket.connected = true;
    EXPECT_EQ(EnviaTrama(ctx, 0x11, 0, {}), 0);
    EXPECT_EQ(socket.sends, std::vector<ByteVec>{wire("02 11 00 11 03")});
    EXPECT_EQ(serial.writes.size(), 1u);
    EXPECT_TRUE(log().empty());
}

TEST(CalcChecksum, PairsSummedModulo256) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "00"}, {"070200FF", "08"}, {"ABC", "B7"}, {"G11G", "01"}, {"ff", "FF"}};
    for (const auto& [hex, chk] : cases) EXPECT_EQ(CalcChecksum(hex), chk) << '"' << hex << '"';
}

TEST_F(FramesTest, LedFlashesSpreadOverTwoTicks) {
    const std::tuple<const char*, Co<> (*)(Ctx&), const char*, const char*> cases[] = {
        {"Led green", LedGreen, "02 06 02 01 00 09 03", "02 06 02 00 32 3A 03"},
        {"Led red", LedRed, "02 06 02 01 32 3B 03", "02 06 02 00 00 08 03"},
    };
    for (const auto& [word, seq, first, second] : cases) {
        serial.writes.clear();
        ctx.m.listInfo.clearItems();
        bool done = false;
        auto run = [&, seq = seq]() -> Co<> {
            co_await seq(ctx);
            done = true;
        };
        ctx.sched.spawn(run());
        EXPECT_EQ(serial.writes, std::vector<ByteVec>{wire(first)}) << word;
        ASSERT_TRUE(runUntil([&] { return serial.writes.size() == 2; }, 0.5)) << word;
        EXPECT_EQ(serial.writes[1], wire(second)) << word;
        EXPECT_FALSE(done) << word;
        ASSERT_TRUE(runUntil([&] { return done; }, 0.5)) << word;
        EXPECT_EQ(log(), std::vector<std::string>{word});
    }
}

}  // namespace
}  // namespace zt::test
