#include <gtest/gtest.h>

#include <random>

#include "core/link/decode.h"
#include "core/link/linkmgr.h"
#include "core/link/receive.h"
#include "link_fixture.h"

namespace zt::test {
namespace {

// A well-formed answer frame.
ByteVec answer(std::uint8_t code, const ByteVec& data) {
    ByteVec f{0x02, code, static_cast<std::uint8_t>(data.size())};
    unsigned sum = code + data.size();
    for (auto b : data) {
        f.push_back(b);
        sum += b;
    }
    f.push_back(static_cast<std::uint8_t>(sum));
    f.push_back(0x03);
    return f;
}

class ReceiveTest : public ::testing::Test, public LinkFixture {
protected:
    ReceiveTest() {
        serial.openPort = 1;
        ctx.st.LinkType = 1;
    }
    void rx(const ByteVec& bytes) { serial.deliver(bytes); }
};

TEST_F(ReceiveTest, StreamCases) {
    struct Case {
        const char* name;
        std::vector<ByteVec> pieces;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"one answer", {wire("02 80 00 80 03")}, {">>> AnsTestLink"}},
        {"two answers in one piece, in order",
         {wire("02 81 00 81 03 02 80 00 80 03")},
         {">>> AnsStartUp", ">>> AnsTestLink"}},
        {"an answer over three pieces",
         {wire("02 91"), wire("01"), wire("01 93 03")},
         {">>> AnsSelect: 0x01"}},
        {"bytes before the first STX", {wire("00 FF 03 80 00 80 03 02 80 00 80 03")}, {">>> AnsTestLink"}},
        {"STX inside the data is data", {wire("02 91 01 02 94 03")}, {">>> AnsSelect: 0x02"}},
        {"wrong checksum, then a good frame", {wire("02 80 00 81 03 02 81 00 81 03")}, {">>> AnsStartUp"}},
        {"any last byte once the checksum holds", {wire("02 80 00 80 FF")}, {">>> AnsTestLink"}},
        {"a byte slipped into a frame spoils only that frame",
         {wire("02 91 01 00 EE 92 03 02 A3 01 00 A4 03")},
         {">>> AnsWrite: 0x00"}},
        {"a lost checksum byte swallows the next frame's STX; the one after is decoded",
         {wire("02 80 00 03"), wire("02 81 00 81 03"), wire("02 80 00 80 03")},
         {">>> AnsTestLink"}},
    };
    for (const auto& c : cases) {
        ctx.m.listInfo.clearItems();
        ctx.st.iRxState = 0;
        ctx.st.sRxBuf.clear();
        for (const auto& p : c.pieces) rx(p);
        EXPECT_EQ(log(), c.lines) << c.name;
        EXPECT_EQ(ctx.st.iRxState, 0) << c.name;
    }
}

TEST_F(ReceiveTest, RejectedFrameChangesNothing) {
    rx(wire("02 A1 01 00 A3 03"));  // AnsLogin status 0, checksum off by one
    EXPECT_TRUE(log().empty());
    EXPECT_EQ(ctx.st.bLoginOk, kFalse);
    rx(wire("02 A1 01 00 A2 03"));
    EXPECT_EQ(ctx.st.bLoginOk, kTrue);
}

TEST_F(ReceiveTest, LongestAnswer) {
    ByteVec data(255);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
    const ByteVec f = answer(0xBA, data);
    ASSERT_EQ(f.size(), 260u);
    rx(f);
    ASSERT_EQ(log().size(), 1u);
    EXPECT_EQ(log()[0].size(), std::string(">>> AnsReadCFGByte: ").size() + 255 * 5);
    EXPECT_EQ(log()[0].substr(0, 30), ">>> AnsReadCFGByte:  0x00 0x01");
}

TEST_F(ReceiveTest, CheckFrameResults) {
    EXPECT_EQ(CheckFrame(ctx, std::string("\x02\x80\x00\x80", 4)), 1);
    EXPECT_EQ(CheckFrame(ctx, std::string("\x02\x80\x00\x81\x03", 5)), 2);
    // Right checksum, LEN that does not match the frame.
    EXPECT_EQ(CheckFrame(ctx, std::string("\x02\x80\x01\x81\x03", 5)), 2);
    EXPECT_TRUE(log().empty());
    EXPECT_EQ(CheckFrame(ctx, std::string("\x02\x80\x00\x80\x03", 5)), 0);
    EXPECT_EQ(log(), std::vector<std::string>{">>> AnsTestLink"});
}

TEST_F(ReceiveTest, BytesOfTheOtherLinkAreDropped) {
    struct Case {
        std::int16_t linkType;
        bool viaSocket;
        bool decoded;
    };
    const Case cases[] = {
        {1, false, true},  {1, true, false},  {2, true, true},
        {2, false, false}, {0, false, false}, {0, true, false},
    };
    serial.openPort = 1;
    socket.connected = true;
    for (const auto& c : cases) {
        ctx.m.listInfo.clearItems();
        ctx.st.LinkType = c.linkType;
        const ByteVec f = wire("02 80 00 80 03");
        if (c.viaSocket) {
            socket.deliver(f);
        } else {
            serial.deliver(f);
        }
        EXPECT_EQ(log().size(), c.decoded ? 1u : 0u)
            << "LinkType " << c.linkType << (c.viaSocket ? " tcp" : " com");
    }
}

TEST_F(ReceiveTest, AssemblerSurvivesClosingAndOpening) {
    rx(wire("02 81 00"));
    cmdClose_Click(ctx);
    ctx.st.LinkType = 2;
    socket.connected = true;
    socket.deliver(wire("81 03"));
    EXPECT_EQ(log().back(), ">>> AnsStartUp");
}

// Answers of every shape the decoder knows, with garbage between them that holds no STX.
ByteVec randomStream(std::mt19937& rng, std::vector<ByteVec>& frames) {
    const std::uint8_t status[] = {0x91, 0x92, 0xA0, 0xA1, 0xA3, 0xA4, 0xA5, 0xA6, 0xA8, 0xA9, 0xAA};
    const std::uint8_t any[] = {0x80, 0x81, 0x84, 0x86, 0x89, 0x93, 0xBA, 0xBB, 0xFE, 0x94};
    const std::uint8_t uidLens[] = {2, 5, 6, 7, 8, 10, 11, 13};
    auto byte = [&] { return static_cast<std::uint8_t>(rng() & 0xFF); };
    ByteVec stream;
    for (int i = 0; i < 60; ++i) {
        const int garbage = static_cast<int>(rng() % 4);
        for (int g = 0; g < garbage; ++g) {
            std::uint8_t b = byte();
            stream.push_back(b == 0x02 ? 0x03 : b);
        }
        ByteVec data;
        std::uint8_t code = 0;
        switch (rng() % 4) {
            case 0:
                code = status[rng() % std::size(status)];
                data = {byte()};
                break;
            case 1:
                code = any[rng() % std::size(any)];
                data.resize(rng() % 40);
                break;
            case 2:
                code = 0x90;
                data.resize(uidLens[rng() % std::size(uidLens)]);
                break;
            default:
                code = 0xA2;
                data.resize(16);
                break;
        }
        for (auto& b : data) b = byte();
        frames.push_back(answer(code, data));
        stream.insert(stream.end(), frames.back().begin(), frames.back().end());
    }
    return stream;
}

TEST_F(ReceiveTest, AnySplitDecodesTheSameSequence) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        std::vector<ByteVec> frames;
        const ByteVec stream = randomStream(rng, frames);

        // What each frame decodes to on its own.
        LinkFixture ref;
        for (const auto& f : frames) {
            std::vector<std::uint8_t> data(f.begin() + 2, f.end() - 2);
            data[0] = 0;
            DecodeAnswer(ref.ctx, f[1], f[2], data);
        }

        LinkFixture got;
        const bool tcp = seed % 2 == 0;
        got.ctx.st.LinkType = tcp ? 2 : 1;
        got.serial.openPort = 1;
        got.socket.connected = true;
        std::size_t at = 0;
        while (at < stream.size()) {
            const std::size_t n =
                std::min<std::size_t>(1 + rng() % (seed % 3 == 0 ? 3 : 300), stream.size() - at);
            const ByteVec piece(stream.begin() + static_cast<std::ptrdiff_t>(at),
                                stream.begin() + static_cast<std::ptrdiff_t>(at + n));
            if (tcp) {
                got.socket.deliver(piece);
            } else {
                got.serial.deliver(piece);
            }
            at += n;
        }
        ASSERT_EQ(got.log(), ref.log()) << "seed " << seed;
        EXPECT_EQ(got.ctx.st.aUid, ref.ctx.st.aUid) << "seed " << seed;
        EXPECT_EQ(got.ctx.st.sReadData, ref.ctx.st.sReadData) << "seed " << seed;
        EXPECT_EQ(got.ctx.st.iRxState, 0) << "seed " << seed;
    }
}

}  // namespace
}  // namespace zt::test
