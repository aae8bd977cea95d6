#include <gtest/gtest.h>

#include <random>

#include "core/link/decode.h"
#include "core/link/linkmgr.h"
#include "link_fixture.h"

namespace zt::test {
namespace {

ByteVec answer(std::uint8_t code, const ByteVec& data) {
    ByteVec f{0x02, code, static_cast<std::uint8_t>(data.size())};
    f.insert(f.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (std::size_t i = 1; i < f.size(); ++i) sum += f[i];
    f.push_back(static_cast<std::uint8_t>(sum));
    f.push_back(0x03);
    return f;
}

class ReceiveTest : public ::testing::Test, public LinkFixture {
protected:
    ReceiveTest() {
        serial.openPort = 1;
        socket.connected = true;
        ctx.st.LinkType = 1;
    }
};

TEST_F(ReceiveTest, StreamCases) {
    const std::tuple<const char*, std::vector<const char*>, std::vector<std::string>> cases[] = {
        {"one answer", {"02 80 00 80 03"}, {">>> AnsTestLink"}},
        {"two in one piece, in order",
         {"02 81 00 81 03 02 80 00 80 03"},
         {">>> AnsStartUp", ">>> AnsTestLink"}},
        {"one over three pieces", {"02 91", "01", "01 93 03"}, {">>> AnsSelect: 0x01"}},
        {"bytes before the first STX", {"00 FF 03 80 00 80 03 02 80 00 80 03"}, {">>> AnsTestLink"}},
        {"STX inside the data is data", {"02 91 01 02 94 03"}, {">>> AnsSelect: 0x02"}},
        {"wrong checksum, then a good frame", {"02 A1 01 00 A3 03 02 81 00 81 03"}, {">>> AnsStartUp"}},
        {"any last byte once the checksum holds", {"02 80 00 80 FF"}, {">>> AnsTestLink"}},
        {"a byte slipped into a frame spoils only that frame",
         {"02 91 01 00 EE 92 03 02 A3 01 00 A4 03"},
         {">>> AnsWrite: 0x00"}},
        {"a lost byte: the next frame's STX completes the damaged one, the frame after is decoded",
         {"02 80 00 03", "02 81 00 81 03", "02 80 00 80 03"},
         {">>> AnsTestLink"}},
    };
    for (const auto& [name, pieces, lines] : cases) {
        ctx.m.listInfo.clearItems();
        for (const char* p : pieces) serial.deliver(wire(p));
        EXPECT_EQ(log(), lines) << name;
        EXPECT_EQ(ctx.st.iRxState, 0) << name;
    }
    EXPECT_EQ(ctx.st.bLoginOk, kFalse) << "a rejected frame sets nothing";

    ByteVec longest(255);
    for (std::size_t i = 0; i < longest.size(); ++i) longest[i] = static_cast<std::uint8_t>(i);
    serial.deliver(answer(0xBA, longest));
    EXPECT_EQ(log().back().size(), std::string(">>> AnsReadCFGByte: ").size() + 255 * 5);
}

TEST_F(ReceiveTest, CheckFrameResults) {
    EXPECT_EQ(CheckFrame(ctx, std::string("\x02\x80\x00\x80", 4)), 1);
    EXPECT_EQ(CheckFrame(ctx, std::string("\x02\x80\x00\x81\x03", 5)), 2);
    EXPECT_EQ(CheckFrame(ctx, std::string("\x02\x80\x01\x81\x03", 5)), 2);  // checksum right, LEN not
    EXPECT_TRUE(log().empty());
    EXPECT_EQ(CheckFrame(ctx, std::string("\x02\x80\x00\x80\x03", 5)), 0);
}

TEST_F(ReceiveTest, OnlyTheOpenLinkIsHeard) {
    // LinkType, bytes by socket, decoded.
    const std::tuple<std::int16_t, bool, bool> cases[] = {{1, false, true},  {1, true, false},
                                                          {2, true, true},   {2, false, false},
                                                          {0, false, false}, {0, true, false}};
    for (const auto& [linkType, viaSocket, decoded] : cases) {
        ctx.m.listInfo.clearItems();
        ctx.st.LinkType = linkType;
        const ByteVec f = wire("02 80 00 80 03");
        viaSocket ? socket.deliver(f) : serial.deliver(f);
        EXPECT_EQ(log().size(), decoded ? 1u : 0u) << linkType << (viaSocket ? " tcp" : " com");
    }

    // Closing and opening leave a half frame where it was.
    ctx.st.LinkType = 1;
    serial.deliver(wire("02 81 00"));
    cmdClose_Click(ctx);
    ctx.st.LinkType = 2;
    socket.deliver(wire("81 03"));
    EXPECT_EQ(log().back(), ">>> AnsStartUp");
}

TEST_F(ReceiveTest, AnySplitDecodesTheSameSequence) {
    const std::uint8_t codes[] = {0x80, 0x86, 0x90, 0x91, 0x92, 0xA1, 0xA2, 0xA3, 0xBA, 0xFE, 0x94};
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        auto byte = [&] { return static_cast<std::uint8_t>(rng()); };
        // Valid answers of every shape, with garbage that holds no STX before and between them.
        LinkFixture ref;
        ByteVec stream;
        for (int i = 0; i < 60; ++i) {
            for (unsigned g = rng() % 4; g > 0; --g) stream.push_back(byte() | 0x80);
            const std::uint8_t code = codes[rng() % std::size(codes)];
            ByteVec data(code == 0xA2 ? 16 : code >= 0x91 && code <= 0xA3 ? 1 : rng() % 14);
            for (auto& b : data) b = byte();
            const ByteVec f = answer(code, data);
            stream.insert(stream.end(), f.begin(), f.end());
            data.insert(data.begin(), 0);
            DecodeAnswer(ref.ctx, code, f[2], data);
        }
        LinkFixture got;
        got.ctx.st.LinkType = seed % 2 ? 1 : 2;
        got.serial.openPort = 1;
        got.socket.connected = true;
        for (std::size_t at = 0, n = 0; at < stream.size(); at += n) {
            n = std::min<std::size_t>(1 + rng() % (seed % 3 ? 300 : 3), stream.size() - at);
            const ByteVec piece(stream.begin() + static_cast<std::ptrdiff_t>(at),
                                stream.begin() + static_cast<std::ptrdiff_t>(at + n));
            seed % 2 ? got.serial.deliver(piece) : got.socket.deliver(piece);
        }
        ASSERT_EQ(got.log(), ref.log()) << "seed " << seed;
        EXPECT_EQ(got.ctx.st.aUid, ref.ctx.st.aUid) << "seed " << seed;
        EXPECT_EQ(got.ctx.st.sReadData, ref.ctx.st.sReadData) << "seed " << seed;
    }
}

}  // namespace
}  // namespace zt::test
