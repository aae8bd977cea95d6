// Card contents built from the window's fields, on a bare window object.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/app/ctx.h"
#include "core/encode/ansi.h"
#include "core/encode/config_card.h"
#include "core/encode/layouts.h"
#include "core/encode/selection.h"
#include "core/encode/user_extras.h"

namespace zt {
namespace {

const std::string F22(22, 'F');

struct Window {
    Ctx ctx{Platform{}};
    FormModel& m = ctx.m;
    Window() {
        // Time units and list types as the language files give them; unused places are "-".
        auto& mis = ctx.st.Mis[0];
        const char* units[] = {"Decimas", "Segundos", "Minutos", "-", "-", "-"};
        const char* lists[] = {"Lista blanca", "Lista negra", "-", "-", "-", "-"};
        for (int k = 0; k < 6; ++k) {
            mis[static_cast<std::size_t>(100 + k)] = units[k];
            mis[static_cast<std::size_t>(110 + k)] = lists[k];
        }
        m.cUnitTime.setText("Segundos");
        m.cTipList.setText("Lista blanca");
    }
};

TEST(CheckDigitAndHexSum, Examples) {
    EXPECT_EQ(CalcCheckDigit("100000000"), '9');
    EXPECT_EQ(CalcCheckDigit("1000AB000"), '9');  // letters count 0
    EXPECT_EQ(CalcCheckDigit("000000000"), '0');
    EXPECT_EQ(CalcCheckDigit("550000000"), '0');
    EXPECT_EQ(CalcHexSum("1234FFFFFFFFFFFF0001"), "41");
    EXPECT_EQ(CalcHexSum("FFFFFFFFFFFFFFFFFFFFAAAA"), "F6");  // only the first twenty characters
    EXPECT_EQ(CalcHexSum("1G"), "01");                        // a pair reads its leading hex digits
    EXPECT_EQ(CalcHexSum(""), "00");
}

struct CardCase {
    const char* name;
    int index;
    const char* numInst;
    const char* user;
    const char* expected;
};

class CardDataTest : public ::testing::TestWithParam<CardCase> {};

TEST_P(CardDataTest, FirstBlock) {
    const auto& c = GetParam();
    Window w;
    w.m.txtNumInst.setText(c.numInst);
    w.m.txtUser.setText(c.user);
    EXPECT_EQ(GetCardData(w.ctx, c.index), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Types, CardDataTest,
    ::testing::Values(
        CardCase{"BasicUser000", 30, "0000", "000", "1000000009FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"BasicUser1234_57", 30, "1234", "57", "1012340577FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"Alta", 10, "0000", "000", "4500000001FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"AltaBlock", 11, "0000", "000", "4600000000FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"Baja", 12, "0000", "000", "2800000000FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"BajaBlock", 13, "0000", "000", "2900000009FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"Nuevo", 14, "0000", "000", "4700009992FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"Num5IgnoresInstallation", 20, "1234", "000", "8300005004FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"Num0", 15, "9999", "000", "8300000009FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"ShortInstallationPadded", 10, "7", "000", "4500070004FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"HexLettersCountZero", 30, "00AB", "000", "1000AB0009FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"User1000Wraps", 30, "0000", "1000", "1000000009FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"UserLeadingBlanks", 30, "0000", " 7", "1000000072FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"UserHex", 30, "0000", "&H1F", "1000000315FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"UserFractionKept", 30, "0000", "2.5", "1000002.52FFFFFFFFFFFFFFFFFFFFFF"},
        CardCase{"NoTypeAt2", 2, "0000", "000", ""},
        CardCase{"NoTypeAt25", 25, "0000", "000", ""}),
    [](const auto& p) { return std::string(p.param.name); });

struct MasterCase {
    const char* name;
    const char* oldInst;
    const char* newInst;
    const char* key;
    const char* sector;
    const char* expected;
};

class MasterTest : public ::testing::TestWithParam<MasterCase> {};

TEST_P(MasterTest, Block) {
    const auto& c = GetParam();
    Window w;
    w.m.txtOldNumInst.setText(c.oldInst);
    w.m.txtNumInst.setText(c.newInst);
    w.m.txtKeyMF.setText(c.key);
    w.m.txtSector.setText(c.sector);
    EXPECT_EQ(GetCardData(w.ctx, 0), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Master, MasterTest,
    ::testing::Values(
        MasterCase{"Worked", "0000", "1234", "FFFFFFFFFFFF", "1", "69000002031234FFFFFFFFFFFF000141"},
        // 12 + 34 + FF x 4 + 12 + 34 + 00 + 15 = 49Dh
        MasterCase{"ShortKeyAndSector15", "0000", "1234", "1234", "15", "69000002031234FFFFFFFF123400159D"},
        MasterCase{"ShortOldCode", "000", "1234", "FFFFFFFFFFFF", "1", ""},
        MasterCase{"ShortNewCode", "0000", "123", "FFFFFFFFFFFF", "1", ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CardData, UserExtrasMakeThreeBlocks) {
    Window w;
    cDelAllListPermit_Click(w.ctx);
    const std::string advanced = GetCardData(w.ctx, 31);
    ASSERT_EQ(advanced.size(), 96u);
    EXPECT_EQ(advanced.substr(0, 32), "1100000008" + F22);
    EXPECT_EQ(advanced.substr(32), std::string(64, '0'));  // no node permitted at start-up

    const std::string balance = GetCardData(w.ctx, 32);
    ASSERT_EQ(balance.size(), 96u);
    EXPECT_EQ(balance.substr(0, 32), "1200000007" + F22);
    EXPECT_EQ(balance.substr(32), GetSaldoBlocks(w.ctx));

    // A balance the value block cannot hold gives no content at all, never a lone first block.
    w.m.txtSalVal.setText("3000000000");
    EXPECT_EQ(GetCardData(w.ctx, 32), "");
}

// ---- CONFIG card ----

struct CfgCase {
    const char* name;
    std::function<void(FormModel&)> set;
    const char* expected;  // GetCardData(1)
};

class ConfigTest : public ::testing::TestWithParam<CfgCase> {};

TEST_P(ConfigTest, Content) {
    Window w;
    GetParam().set(w.m);
    EXPECT_EQ(GetCardData(w.ctx, 1), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Config, ConfigTest,
    ::testing::Values(
        CfgCase{"Worked", [](FormModel&) {}, "52000002011010000002001000005082"},
        CfgCase{"WorkedWithFrame", [](FormModel& m) { m.chkCfgRelExt.setValue(1); },
                "52000002011010000002001014005096"
                "0234303030303230303041463703FFFF"
                "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"},
        // Time unit without a match writes 5 (255 cut to one character), list type 255.
        CfgCase{"NoComboMatch",
                [](FormModel& m) {
                    m.cUnitTime.setText("Horas");
                    m.cTipList.setText("");
                },
                "52000002015010025502001000005019"},
        CfgCase{"LongValuesKeepLastDigits",
                [](FormModel& m) {
                    m.txtCfgTRele.setText("1000");
                    m.txtTScan.setText("100");
                },
                "52000002011000000002000000005062"},
        CfgCase{"HexNodeWrittenInDecimal", [](FormModel& m) { m.txtCfgNode.setText("&HFF"); },
                "520000020110100000025510000050D7"},
        CfgCase{"NodeFromNumericCards",
                [](FormModel& m) {
                    m.chkEspNodoTar.setValue(1);
                    m.txtCfgNode.setText("12");
                },
                "520000020110100000FFFF100000507E"},
        CfgCase{"ClearListAndBlackList",
                [](FormModel& m) {
                    m.chkEspResList.setValue(1);
                    m.cTipList.setText("Lista negra");
                },
                "52000002011010100102001000005093"},
        CfgCase{"CheckedEmptyFrameIsOneBlock",
                [](FormModel& m) {
                    m.chkCfgRelExt.setValue(1);
                    m.txtTramaRelExt.setText("");
                },
                "52000002011010000002001000005082"},
        CfgCase{"FractionLeftForTheRunToRefuse", [](FormModel& m) { m.txtVendDec.setText("2.5"); },
                "5200000201101000000200100002.534"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Config, FrameLongerThan32IsCut) {
    Window w;
    w.m.chkCfgRelExt.setValue(1);
    w.m.txtTramaRelExt.setText(std::string(40, 'A'));
    const std::string cfg = GetCfgData(w.ctx);
    ASSERT_EQ(cfg.size(), 86u);
    EXPECT_EQ(cfg.substr(14, 2), "32");
    std::string frame;
    for (int i = 0; i < 32; ++i) frame += "41";
    EXPECT_EQ(cfg.substr(22), frame);
}

TEST(Config, NonAsciiFrameCharacterIsItsCodePageByte) {
    Window w;
    w.m.chkCfgRelExt.setValue(1);
    w.m.txtTramaRelExt.setText("&H41\xC3\xA9\xE2\x82\xAC");  // "&H41é€"
    const std::string cfg = GetCfgData(w.ctx);
    EXPECT_EQ(cfg.substr(14, 2), "03");
    EXPECT_EQ(cfg.substr(22, 8), "41E980FF");
}

struct TramaCase {
    const char* name;
    std::string in;
    std::string out;
};

class TramaTest : public ::testing::TestWithParam<TramaCase> {};

TEST_P(TramaTest, Converts) { EXPECT_EQ(ConvTramaText(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(
    Trama, TramaTest,
    ::testing::Values(
        TramaCase{"Default", "&H02400002000AF7&H03", std::string("\x02") + "400002000AF7" + "\x03"},
        TramaCase{"LowerCaseHIsText", "&h41", "&h41"},
        TramaCase{"LowerCaseDigits", "&Hff", "\xFF"},
        TramaCase{"Adjacent", "A&H41&H42", "AAB"},
        TramaCase{"InsertedCharacterNotRescanned", "&H26H41", "&H41"},
        TramaCase{"OneDigit", "&H4G", "\x04"},
        TramaCase{"NoDigits", "&H&H41", std::string("\0", 1) + "41"},
        TramaCase{"TokenAtEnd", "AB&H", std::string("AB") + std::string("\0", 1)},
        TramaCase{"ShortTokenAtEnd", "&H7", "\x07"}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- User extras ----

TEST(NodeMap, BitsLandInTheirBytes) {
    struct Case {
        std::vector<int> nodes;
        std::string expected;
    };
    const std::string zeros(64, '0');
    auto with = [&](std::size_t at, const char* byte) { return zeros.substr(0, at) + byte + zeros.substr(at + 2); };
    const Case cases[] = {
        {{}, zeros},
        {{1, 2, 9}, "0602" + zeros.substr(4)},
        {{0}, with(0, "01")},
        {{7}, with(0, "80")},
        {{8}, with(2, "01")},
        {{128}, with(32, "01")},  // first byte of the second extra block
        {{255}, with(62, "80")},
    };
    for (const auto& c : cases) {
        Window w;
        for (int n : c.nodes) w.m.listPermit.addItem(NodeEntry(n));
        EXPECT_EQ(GetNodeMap(w.ctx), c.expected) << ::testing::PrintToString(c.nodes);
    }
    Window all;
    cAddAllListPermit_Click(all.ctx);
    EXPECT_EQ(GetNodeMap(all.ctx), std::string(64, 'F'));
}

TEST(NodeMap, StopsAtTheFirstEmptyEntry) {
    Window w;
    w.m.listPermit.addItem(NodeEntry(1));
    w.m.listPermit.addItem("");
    w.m.listPermit.addItem(NodeEntry(2));
    EXPECT_EQ(GetNodeMap(w.ctx), "02" + std::string(62, '0'));
}

TEST(SaldoBlocks, ValueBlocks) {
    struct Case {
        const char* balance;
        const char* sector;
        const char* expected;
    };
    const Case cases[] = {
        {"500", "1", "F40100000BFEFFFFF401000006F906F9F40100000BFEFFFFF401000005FA05FA"},
        {"0", "1", "00000000FFFFFFFF0000000006F906F900000000FFFFFFFF0000000005FA05FA"},
        {"", "1", "00000000FFFFFFFF0000000006F906F900000000FFFFFFFF0000000005FA05FA"},
        {"abc", "1", "00000000FFFFFFFF0000000006F906F900000000FFFFFFFF0000000005FA05FA"},
        {"-1", "1", "FFFFFFFF00000000FFFFFFFF06F906F9FFFFFFFF00000000FFFFFFFF05FA05FA"},
        {"100000", "1", "A08601005F79FEFFA086010006F906F9A08601005F79FEFFA086010005FA05FA"},
        {"500", "2", "F40100000BFEFFFFF40100000AF50AF5F40100000BFEFFFFF401000009F609F6"},
        {"2.5", "1", "02000000FDFFFFFF0200000006F906F902000000FDFFFFFF0200000005FA05FA"},
        {"-2147483648", "1", "00000080FFFFFF7F0000008006F906F900000080FFFFFF7F0000008005FA05FA"},
        // 4 x 64 + 2 = 258: the low byte 02.
        {"0", "64", "00000000FFFFFFFF0000000002FD02FD00000000FFFFFFFF0000000001FE01FE"},
    };
    for (const auto& c : cases) {
        Window w;
        w.m.txtSalVal.setText(c.balance);
        w.m.txtSector.setText(c.sector);
        EXPECT_EQ(GetSaldoBlocks(w.ctx), c.expected) << c.balance << " sector " << c.sector;
    }
}

TEST(SaldoBlocks, OutsideThe32BitValueIsRefused) {
    for (const char* text : {"2147483648", "-2147483649", "999999999", "-99999999"}) {
        Window w;
        w.m.txtSalVal.setText(text);
        const bool fits = std::string(text) == "999999999" || std::string(text) == "-99999999";
        EXPECT_EQ(SaldoValue(w.ctx).has_value(), fits) << text;
        EXPECT_EQ(GetSaldoBlocks(w.ctx).empty(), !fits) << text;
    }
}

TEST(AnsiText, Utf8FieldsBecomeCodePageBytes) {
    EXPECT_EQ(ToAnsi("abc"), "abc");
    EXPECT_EQ(ToAnsi("\xC3\xA9"), "\xE9");            // é
    EXPECT_EQ(ToAnsi("\xE2\x82\xAC"), "\x80");        // €
    EXPECT_EQ(ToAnsi("\xE2\x80\x94"), "\x97");        // em dash
    EXPECT_EQ(ToAnsi("\xE4\xB8\xAD"), "?");           // not in the code page
    EXPECT_EQ(ToAnsi("\xE9x"), "\xE9x");              // not UTF-8: taken as it is
    EXPECT_EQ(DecText(6), "6");
    EXPECT_EQ(DecText(-1), "-1");
    EXPECT_EQ(DecText(3.5), "3.5");
    EXPECT_EQ(DecText(1e20), "1E+20");
    EXPECT_EQ(DecChars(255, 2), "55");
    EXPECT_EQ(DecChars(7, 3), "007");
}

}  // namespace
}  // namespace zt
