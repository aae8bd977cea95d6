#include <gtest/gtest.h>

#include "core/link/decode.h"
#include "core/link/hexlib.h"
#include "link_fixture.h"

namespace zt::test {
namespace {

using Lines = std::vector<std::string>;

class DecodeTest : public ::testing::Test, public LinkFixture {
protected:
    Lines decode(std::uint8_t code, const ByteVec& bytes) {
        ctx.m.listInfo.clearItems();
        std::vector<std::uint8_t> data{0};
        data.insert(data.end(), bytes.begin(), bytes.end());
        DecodeAnswer(ctx, code, static_cast<std::uint8_t>(bytes.size()), data);
        return log();
    }
};

TEST_F(DecodeTest, LogLineOfEveryAnswer) {
    const std::tuple<std::uint8_t, ByteVec, Lines> cases[] = {
        {0x80, {1, 2}, {">>> AnsTestLink"}},
        {0x81, {}, {">>> AnsStartUp"}},
        {0x82, {0x01, 0x2A, 0x33}, {">>> FW Version: 0x01 0x2A"}},
        {0x82, {0x01}, {">>> FW Version: 0x01"}},
        {0x83, {1, 2, 3, 4, 5, 6, 7}, {">>> AnsReadCFG: 0x01 0x02 0x03 0x04 0x05 0x06"}},
        {0x83, {}, {">>> AnsReadCFG: "}},
        {0x84, {9}, {">>> AnsWriteCfg"}},
        {0x85, {}, {">>> AnsShutDown"}},
        {0x86, {}, {">>> AnsDOutTemp"}},
        {0xBC, {}, {">>> AnsDOutTemp"}},
        {0x87, {}, {">>> AnsDOutPerm"}},
        {0xBD, {}, {">>> AnsDOutPerm"}},
        {0x88, {}, {">>> AnsFactoryCfg"}},
        {0xB8, {}, {">>> AnsFactoryCfg"}},
        {0x89, {0x10, 0xFF}, {">>> AnsReadAutoCFG:  0x10 0xFF"}},
        {0x8A, {}, {">>> AnsWriteAutoCFG: "}},
        {0x8F, {0x5C, 0x01}, {">>> AnsSecureAutoCFG: 5C"}},
        {0x8F, {}, {">>> AnsSecureAutoCFG: "}},
        {0x91, {0x01}, {">>> AnsSelect: 0x01"}},
        {0x92, {0x00}, {">>> AnsHalt: 0x00"}},
        {0x93, {}, {">>> AnsWakeUp"}},
        {0x93, {0x04, 0x00}, {">>> AnsWakeUp:  0x04 0x00"}},
        {0x95, {0x44}, {">>> AnsGetATQA:  0x44"}},
        {0xA0, {0x00}, {">>> AnsWriteKeyE2P: 0x00"}},
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
        {0xBB, {}, {">>> AnsWriteCFGByte: "}},
        {0xBE, {}, {">>> AnsReleTemp"}},
        {0xBF, {}, {">>> AnsRelePerm"}},
        {0xFE, {0x11}, {">>> FrameError"}},
        {0x90, {0x01, 0xA1, 0xB2, 0xC3, 0xD4}, {">>> AnsGetUID:  0x01 0xA1 0xB2 0xC3 0xD4"}},
        {0x90, {}, {">>> AnsGetUID: Corrupt UID", ">>> AnsGetUID: "}},
        // Status answers with a LEN other than 1, and codes this reader does not have: nothing.
        {0x91, {1, 2}, {}},
        {0x92, {}, {}},
        {0xA0, {0, 0}, {}},
        {0xA1, {}, {}},
        {0xA3, {0, 0}, {}},
        {0xA4, {}, {}},
        {0xAA, {0, 0}, {}},
        {0x94, {0x00}, {}},
        {0x00, {}, {}},
        {0xA7, {0}, {}},
    };
    for (const auto& [code, data, want] : cases) {
        EXPECT_EQ(decode(code, data), want)
            << "code 0x" << std::hex << int(code) << std::dec << " LEN " << data.size();
    }
}

TEST_F(DecodeTest, AnswerState) {
    auto& st = ctx.st;
    const std::pair<std::uint8_t, VBool WindowState::*> flags[] = {{0x92, &WindowState::bHaltOk},
                                                                   {0xA0, &WindowState::bWriteKeyOk},
                                                                   {0xA1, &WindowState::bLoginOk},
                                                                   {0xA3, &WindowState::bWriteOk}};
    for (const auto& [code, flag] : flags) {
        st.iTicks = 4;
        decode(code, {0x01, 0x00});  // wrong LEN: ignored whatever the status
        decode(code, {0x01});
        EXPECT_EQ(st.*flag, kFalse) << std::hex << int(code);
        EXPECT_EQ(st.iTicks, code == 0xA1 ? 0 : 4) << "only a refused Login ends the wait";
        st.iTicks = 4;
        decode(code, {0x00});
        EXPECT_EQ(st.*flag, kTrue) << std::hex << int(code);
        EXPECT_EQ(st.iTicks, 4);
    }
    decode(0x91, {0x00});  // Select takes every status; the runs judge it
    EXPECT_EQ(st.bSelectRx, kTrue);
    decode(0x91, {0x03});
    EXPECT_EQ(st.iSelectStatus, 3);
    decode(0x80, {});
    decode(0x81, {0x55});
    EXPECT_EQ(st.bTestLinkOk, kTrue);
    EXPECT_EQ(st.bStartUpOk, kTrue);

    ByteVec block(16);
    for (std::size_t i = 0; i < 16; ++i) block[i] = static_cast<std::uint8_t>(i * 17);  // 00 11 .. FF
    EXPECT_EQ(decode(0xA2, block),
              Lines{">>> AnsRead:  0x00 0x11 0x22 0x33 0x44 0x55 0x66 0x77 0x88 0x99 0xAA "
                    "0xBB 0xCC 0xDD 0xEE 0xFF"});
    EXPECT_EQ(st.bReadOk, kTrue);
    EXPECT_EQ(st.sReadData, std::string(block.begin(), block.end()));
    st.bReadOk = kFalse;
    decode(0xA2, ByteVec(15, 0x42));
    EXPECT_EQ(st.bReadOk, kFalse) << "15 bytes are logged, not taken";
    EXPECT_EQ(st.sReadData, std::string(block.begin(), block.end()));
}

TEST_F(DecodeTest, CardReportLengths) {
    // By LEN 0..14: a card at all, its size class, ATQA in front.
    const std::tuple<bool, std::uint8_t, bool> want[] = {
        {false, 0, false}, {false, 0, false}, {true, 0, false},  {false, 0, false}, {false, 0, false},
        {true, 1, false},  {false, 0, false}, {true, 1, true},   {true, 2, false},  {false, 0, false},
        {true, 2, true},   {true, 3, false},  {false, 0, false}, {true, 3, true},   {false, 0, false},
    };
    auto& st = ctx.st;
    for (std::uint8_t len = 0; len <= 14; ++len) {
        const auto [card, sizeClass, atqa] = want[len];
        ByteVec data(len);
        for (std::size_t i = 0; i < len; ++i) data[i] = static_cast<std::uint8_t>(0xB0 + i);
        st.aUid.assign(12, 0xEE);
        st.aAtqa.assign(3, 0xEE);
        st.bCardRx = kFalse;
        st.bAtqaRx = kTrue;
        st.iUidSize = 9;
        std::string raw = ">>> AnsGetUID: ";
        for (auto b : data) raw += " 0x" + HexByte(b);

        const Lines lines = card ? Lines{raw} : Lines{">>> AnsGetUID: Corrupt UID", raw};
        EXPECT_EQ(decode(0x90, data), lines) << int(len);
        EXPECT_EQ(st.bCardRx, card ? kTrue : kFalse) << int(len);
        EXPECT_EQ(st.bAtqaRx, atqa ? kTrue : kFalse) << int(len);
        EXPECT_EQ(st.iUidSize, card ? sizeClass : 9) << int(len);
        std::vector<std::uint8_t> uid(12, 0xEE), atqaBytes(3, 0xEE);
        if (card && atqa) {
            atqaBytes = {0xEE, 0xB1, 0xB2};
            uid[1] = 0xB0 - 0xA0;
            for (std::size_t i = 4; i <= len; ++i) uid[i - 2] = data[i - 1];
        } else if (card) {
            for (std::size_t i = 1; i <= len; ++i) uid[i] = data[i - 1];
        }
        EXPECT_EQ(st.aUid, uid) << int(len) << ": elements past the report keep their values";
        EXPECT_EQ(st.aAtqa, atqaBytes) << int(len);
    }
    decode(0x90, {0x05, 0x44, 0x00, 1, 2, 3, 4});
    EXPECT_EQ(st.aUid[1], 0x65) << "a marker below 0xA0 wraps around";
}

}  // namespace
}  // namespace zt::test
