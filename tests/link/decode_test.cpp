#include <gtest/gtest.h>

#include "core/link/decode.h"
#include "link_fixture.h"

namespace zt::test {
namespace {

class DecodeTest : public ::testing::Test, public LinkFixture {
protected:
    void decode(std::uint8_t code, const ByteVec& bytes) {
        std::vector<std::uint8_t> data{0};
        data.insert(data.end(), bytes.begin(), bytes.end());
        DecodeAnswer(ctx, code, static_cast<std::uint8_t>(bytes.size()), data);
    }
    std::vector<std::string> lines(std::uint8_t code, const ByteVec& bytes) {
        ctx.m.listInfo.clearItems();
        decode(code, bytes);
        return log();
    }
};

using Lines = std::vector<std::string>;

TEST_F(DecodeTest, LogLineOfEveryAnswer) {
    struct Case {
        std::uint8_t code;
        ByteVec data;
        Lines want;
    };
    const Case cases[] = {
        {0x80, {}, {">>> AnsTestLink"}},
        {0x80, {1, 2}, {">>> AnsTestLink"}},
        {0x81, {}, {">>> AnsStartUp"}},
        {0x82, {0x01, 0x2A, 0x33}, {">>> FW Version: 0x01 0x2A"}},
        {0x82, {0x01}, {">>> FW Version: 0x01"}},
        {0x82, {}, {">>> FW Version: "}},
        {0x83, {1, 2, 3, 4, 5, 6, 7}, {">>> AnsReadCFG: 0x01 0x02 0x03 0x04 0x05 0x06"}},
        {0x83, {0xAB, 0xCD}, {">>> AnsReadCFG: 0xAB 0xCD"}},
        {0x84, {9}, {">>> AnsWriteCfg"}},
        {0x85, {}, {">>> AnsShutDown"}},
        {0x86, {}, {">>> AnsDOutTemp"}},
        {0xBC, {}, {">>> AnsDOutTemp"}},
        {0x87, {}, {">>> AnsDOutPerm"}},
        {0xBD, {}, {">>> AnsDOutPerm"}},
        {0x88, {}, {">>> AnsFactoryCfg"}},
        {0xB8, {}, {">>> AnsFactoryCfg"}},
        {0x89, {0x10, 0xFF}, {">>> AnsReadAutoCFG:  0x10 0xFF"}},
        {0x89, {}, {">>> AnsReadAutoCFG: "}},
        {0x8A, {0x00}, {">>> AnsWriteAutoCFG:  0x00"}},
        {0x8F, {0x5C, 0x01}, {">>> AnsSecureAutoCFG: 5C"}},
        {0x8F, {}, {">>> AnsSecureAutoCFG: "}},
        {0x91, {0x01}, {">>> AnsSelect: 0x01"}},
        {0x92, {0x00}, {">>> AnsHalt: 0x00"}},
        {0x92, {0x01}, {">>> AnsHalt: 0x01"}},
        {0x93, {}, {">>> AnsWakeUp"}},
        {0x93, {0x04, 0x00}, {">>> AnsWakeUp:  0x04 0x00"}},
        {0x95, {}, {">>> AnsGetATQA"}},
        {0x95, {0x44, 0x00}, {">>> AnsGetATQA:  0x44 0x00"}},
        {0xA0, {0x00}, {">>> AnsWriteKeyE2P: 0x00"}},
        {0xA1, {0x00}, {">>> AnsLogin: 0x00"}},
        {0xA1, {0x04}, {">>> AnsLogin: 0x04"}},
        {0xA2, {0x07}, {">>> AnsRead:  0x07"}},
        {0xA2, {}, {">>> AnsRead"}},
        {0xA3, {0x00}, {">>> AnsWrite: 0x00"}},
        {0xA4, {0x00}, {">>> AnsIncrement: 0x00"}},
        {0xA5, {0x01}, {">>> AnsDecrement: 0x01"}},
        {0xA6, {0x02}, {">>> AnsBackup: 0x02"}},
        {0xA8, {0x03}, {">>> AnsWriteRead: 0x03"}},
        {0xA9, {0x04}, {">>> AnsBackupRead: 0x04"}},
        {0xAA, {0xFF}, {">>> AnsRestore: 0xFF"}},
        {0xB9, {}, {">>> AnsApply"}},
        {0xBA, {0x01, 0x02}, {">>> AnsReadCFGByte:  0x01 0x02"}},
        {0xBA, {}, {">>> AnsReadCFGByte: "}},
        {0xBB, {0xEE}, {">>> AnsWriteCFGByte:  0xEE"}},
        {0xBE, {}, {">>> AnsReleTemp"}},
        {0xBF, {}, {">>> AnsRelePerm"}},
        {0xFE, {0x11}, {">>> FrameError"}},
        {0x90, {0x01, 0xA1, 0xB2, 0xC3, 0xD4}, {">>> AnsGetUID:  0x01 0xA1 0xB2 0xC3 0xD4"}},
        {0x90, {}, {">>> AnsGetUID: Corrupt UID", ">>> AnsGetUID: "}},
        // Not answers of this reader: ignored.
        {0x94, {0x00}, {}},
        {0x00, {}, {}},
        {0x8B, {}, {}},
        {0xA7, {0x00}, {}},
        {0xFF, {}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lines(c.code, c.data), c.want)
            << "code 0x" << std::hex << int(c.code) << " LEN " << std::dec << c.data.size();
    }
}

TEST_F(DecodeTest, StatusAnswersNeedLenOne) {
    for (std::uint8_t code : {0x91, 0x92, 0xA0, 0xA1, 0xA3, 0xA4, 0xA5, 0xA6, 0xA8, 0xA9, 0xAA}) {
        for (const ByteVec& data : {ByteVec{}, ByteVec{0x00, 0x00}}) {
            ctx.st.iTicks = 7;
            EXPECT_TRUE(lines(code, data).empty()) << std::hex << int(code);
            EXPECT_EQ(ctx.st.bSelectRx, kFalse);
            EXPECT_EQ(ctx.st.bHaltOk, kFalse);
            EXPECT_EQ(ctx.st.bWriteKeyOk, kFalse);
            EXPECT_EQ(ctx.st.bLoginOk, kFalse);
            EXPECT_EQ(ctx.st.bWriteOk, kFalse);
            EXPECT_EQ(ctx.st.iTicks, 7);
        }
    }
}

TEST_F(DecodeTest, FlagsFollowTheStatus) {
    auto& st = ctx.st;
    struct Case {
        std::uint8_t code;
        VBool WindowState::*flag;
    };
    const Case cases[] = {{0x92, &WindowState::bHaltOk},
                          {0xA0, &WindowState::bWriteKeyOk},
                          {0xA1, &WindowState::bLoginOk},
                          {0xA3, &WindowState::bWriteOk}};
    for (const auto& c : cases) {
        st.*c.flag = kFalse;
        st.iTicks = 4;
        decode(c.code, {0x01});
        EXPECT_EQ(st.*c.flag, kFalse) << std::hex << int(c.code);
        EXPECT_EQ(st.iTicks, c.code == 0xA1 ? 0 : 4) << "only a refused Login ends the wait";
        st.iTicks = 4;
        decode(c.code, {0x00});
        EXPECT_EQ(st.*c.flag, kTrue) << std::hex << int(c.code);
        EXPECT_EQ(st.iTicks, 4);
    }
    // Select takes every status; the runs judge it.
    decode(0x91, {0x00});
    EXPECT_EQ(st.bSelectRx, kTrue);
    EXPECT_EQ(st.iSelectStatus, 0);
    decode(0x91, {0x03});
    EXPECT_EQ(st.iSelectStatus, 3);

    decode(0x80, {});
    decode(0x81, {0x55});
    EXPECT_EQ(st.bTestLinkOk, kTrue);
    EXPECT_EQ(st.bStartUpOk, kTrue);
}

TEST_F(DecodeTest, ReadKeepsTheSixteenBytes) {
    ByteVec block(16);
    for (std::size_t i = 0; i < 16; ++i) block[i] = static_cast<std::uint8_t>(i * 17);  // 00 11 .. FF
    const Lines got = lines(0xA2, block);
    EXPECT_EQ(ctx.st.bReadOk, kTrue);
    EXPECT_EQ(ctx.st.sReadData, std::string(block.begin(), block.end()));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0],
              ">>> AnsRead:  0x00 0x11 0x22 0x33 0x44 0x55 0x66 0x77 0x88 0x99 0xAA 0xBB 0xCC 0xDD "
              "0xEE 0xFF");

    ctx.st.bReadOk = kFalse;
    lines(0xA2, ByteVec(15, 0x42));
    EXPECT_EQ(ctx.st.bReadOk, kFalse) << "15 bytes are logged, not taken";
    EXPECT_EQ(ctx.st.sReadData, std::string(block.begin(), block.end()));
}

TEST_F(DecodeTest, CardReportLengths) {
    struct Want {
        bool card;
        std::uint8_t sizeClass;
        bool atqa;
    };
    // By LEN 0..14.
    const Want want[] = {
        {false, 0, false}, {false, 0, false}, {true, 0, false},  {false, 0, false}, {false, 0, false},
        {true, 1, false},  {false, 0, false}, {true, 1, true},   {true, 2, false},  {false, 0, false},
        {true, 2, true},   {true, 3, false},  {false, 0, false}, {true, 3, true},   {false, 0, false},
    };
    auto& st = ctx.st;
    for (std::uint8_t len = 0; len <= 14; ++len) {
        const Want& w = want[len];
        ByteVec data(len);
        for (std::size_t i = 0; i < len; ++i) data[i] = static_cast<std::uint8_t>(0xB0 + i);
        st.aUid.assign(12, 0xEE);
        st.aAtqa.assign(3, 0xEE);
        st.bCardRx = kFalse;
        st.bAtqaRx = kTrue;
        st.iUidSize = 9;
        const Lines got = lines(0x90, data);

        std::string raw = ">>> AnsGetUID: ";
        for (auto b : data)
            raw += " 0x" + std::string{"0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]};
        const Lines wantLines = w.card ? Lines{raw} : Lines{">>> AnsGetUID: Corrupt UID", raw};
        EXPECT_EQ(got, wantLines) << "LEN " << int(len);
        EXPECT_EQ(st.bCardRx, w.card ? kTrue : kFalse) << "LEN " << int(len);
        EXPECT_EQ(st.bAtqaRx, w.atqa ? kTrue : kFalse) << "LEN " << int(len);
        if (!w.card) {
            EXPECT_EQ(st.iUidSize, 9) << "LEN " << int(len);
            EXPECT_EQ(st.aUid, std::vector<std::uint8_t>(12, 0xEE)) << "LEN " << int(len);
            continue;
        }
        EXPECT_EQ(st.iUidSize, w.sizeClass) << "LEN " << int(len);
        std::vector<std::uint8_t> uid(12, 0xEE);
        if (w.atqa) {
            EXPECT_EQ(st.aAtqa, (std::vector<std::uint8_t>{0xEE, 0xB1, 0xB2})) << "LEN " << int(len);
            uid[1] = 0xB0 - 0xA0;
            for (std::size_t i = 4; i <= len; ++i) uid[i - 2] = data[i - 1];
        } else {
            EXPECT_EQ(st.aAtqa, std::vector<std::uint8_t>(3, 0xEE)) << "LEN " << int(len);
            for (std::size_t i = 1; i <= len; ++i) uid[i] = data[i - 1];
        }
        EXPECT_EQ(st.aUid, uid) << "LEN " << int(len) << ": later elements keep their values";
    }
}

TEST_F(DecodeTest, CardReportExamples) {
    auto& st = ctx.st;
    decode(0x90, {0xA1, 0x04, 0x00, 0xA1, 0xB2, 0xC3, 0xD4});
    EXPECT_EQ(st.aAtqa[1], 0x04);
    EXPECT_EQ(st.aAtqa[2], 0x00);
    EXPECT_EQ(st.bAtqaRx, kTrue);
    EXPECT_EQ(st.iUidSize, 1);
    EXPECT_EQ((std::vector<std::uint8_t>(st.aUid.begin() + 1, st.aUid.begin() + 6)),
              (std::vector<std::uint8_t>{0x01, 0xA1, 0xB2, 0xC3, 0xD4}));

    // A marker below 0xA0 wraps around.
    decode(0x90, {0x05, 0x44, 0x00, 1, 2, 3, 4});
    EXPECT_EQ(st.aUid[1], 0x65);

    // A corrupt report after a good one: the card stays flagged, the ATQA does not.
    decode(0x90, ByteVec(6, 0x11));
    EXPECT_EQ(st.bCardRx, kTrue);
    EXPECT_EQ(st.bAtqaRx, kFalse);
}

}  // namespace
}  // namespace zt::test
