// Card contents on a bare window object: the cases the end-to-end runs do not reach.
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
        // Time units and list types as a language file gives them; unused places are "-".
        const char* units[] = {"Decimas", "Segundos", "Minutos", "-", "-", "-"};
        const char* lists[] = {"Lista blanca", "Lista negra", "-", "-", "-", "-"};
        for (std::size_t k = 0; k < 6; ++k) {
            ctx.st.Mis[0][100 + k] = units[k];
            ctx.st.Mis[0][110 + k] = lists[k];
        }
        m.cUnitTime.setText("Segundos");
        m.cTipList.setText("Lista blanca");
    }
};

struct Case {
    const char* name;
    std::function<void(FormModel&)> set;
    std::function<std::string(Ctx&)> make;
    std::string expected;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Contents : public ::testing::TestWithParam<Case> {};

TEST_P(Contents, Built) {
    Window w;
    if (GetParam().set) GetParam().set(w.m);
    EXPECT_EQ(GetParam().make(w.ctx), GetParam().expected);
}

auto card(int index) {
    return [index](Ctx& ctx) { return GetCardData(ctx, index); };
}
auto text(Control FormModel::*c, std::string t) {
    return [c, t](FormModel& m) { (m.*c).setText(t); };
}
auto tick(Control FormModel::*c) {
    return [c](FormModel& m) { (m.*c).setValue(1); };
}
template <typename... F>
auto all(F... f) {
    return [=](FormModel& m) { (f(m), ...); };
}
std::string cfg(const std::string& params) {
    return "5200000201" + params;
}

INSTANTIATE_TEST_SUITE_P(
    Cards, Contents,
    ::testing::Values(
        Case{"AltaBlock", nullptr, card(11), "4600000000" + F22},
        Case{"Baja", nullptr, card(12), "2800000000" + F22},
        Case{"BajaBlock", nullptr, card(13), "2900000009" + F22},
        Case{"Num0IgnoresInstallation", text(&FormModel::txtNumInst, "9999"), card(15), "8300000009" + F22},
        Case{"InstallationPadded", text(&FormModel::txtNumInst, "7"), card(10), "4500070004" + F22},
        Case{"HexLettersCountZero", text(&FormModel::txtNumInst, "00AB"), card(30), "1000AB0009" + F22},
        Case{"UserBlanksSkipped", text(&FormModel::txtUser, " 7"), card(30), "1000000072" + F22},
        Case{"UserHex", text(&FormModel::txtUser, "&H1F"), card(30), "1000000315" + F22},
        Case{"UserFractionKept", text(&FormModel::txtUser, "2.5"), card(30), "1000002.52" + F22},
        Case{"NoTypeAt2", nullptr, card(2), ""}, Case{"NoTypeAt25", nullptr, card(25), ""},
        // 12 + 34 + FF x 4 + 12 + 34 + 00 + 15 = 49Dh
        Case{"MasterShortKeySector15",
             all(text(&FormModel::txtNumInst, "1234"), text(&FormModel::txtKeyMF, "1234"),
                 text(&FormModel::txtSector, "15")),
             card(0), "69000002031234FFFFFFFF123400159D"},
        Case{"MasterShortNewCode", text(&FormModel::txtNumInst, "123"), card(0), ""},
        Case{"SaldoBeyond32Bits", text(&FormModel::txtSalVal, "3000000000"), card(32), ""}),
    [](const auto& p) { return std::string(p.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Config, Contents,
    ::testing::Values(
        // Time unit without a match writes 5 (255 cut to one character), list type 255.
        Case{"NoComboMatch", all(text(&FormModel::cUnitTime, "Horas"), text(&FormModel::cTipList, "")),
             card(1), cfg("5010025502001000005019")},
        Case{"LongValuesKeepLastDigits",
             all(text(&FormModel::txtCfgTRele, "1000"), text(&FormModel::txtTScan, "100")), card(1),
             cfg("1000000002000000005062")},
        Case{"HexNodeInDecimal", text(&FormModel::txtCfgNode, "&HFF"), card(1),
             cfg("10100000025510000050D7")},
        Case{"NodeFromNumericCards", all(tick(&FormModel::chkEspNodoTar), text(&FormModel::txtCfgNode, "12")),
             card(1), cfg("10100000FFFF100000507E")},
        Case{"ClearListBlackList",
             all(tick(&FormModel::chkEspResList), text(&FormModel::cTipList, "Lista negra")), card(1),
             cfg("1010100102001000005093")},
        Case{"CheckedEmptyFrame", all(tick(&FormModel::chkCfgRelExt), text(&FormModel::txtTramaRelExt, "")),
             card(1), cfg("1010000002001000005082")},
        Case{"FractionLeftForTheRun", text(&FormModel::txtVendDec, "2.5"), card(1),
             cfg("101000000200100002.534")},
        Case{"FrameCutAt32",
             all(tick(&FormModel::chkCfgRelExt), text(&FormModel::txtTramaRelExt, std::string(40, 'A'))),
             [](Ctx& c) { return GetCfgData(c).substr(14, 2) + GetCfgData(c).substr(22); },
             "32" +
                 [] {
                     std::string s;
                     for (int i = 0; i < 32; ++i) s += "41";
                     return s;
                 }()},
        Case{
            "FrameNonAsciiIsItsCodePageByte",
            all(tick(&FormModel::chkCfgRelExt), text(&FormModel::txtTramaRelExt, "&H41\xC3\xA9\xE2\x82\xAC")),
            [](Ctx& c) { return GetCfgData(c).substr(14, 2) + GetCfgData(c).substr(22, 8); }, "0341E980FF"}),
    [](const auto& p) { return std::string(p.param.name); });

std::string saldo(Ctx& ctx) {
    return GetSaldoBlocks(ctx);
}
const std::string kZeroSaldo = "00000000FFFFFFFF0000000006F906F900000000FFFFFFFF0000000005FA05FA";

INSTANTIATE_TEST_SUITE_P(
    Extras, Contents,
    ::testing::Values(Case{"SaldoEmpty", text(&FormModel::txtSalVal, ""), saldo, kZeroSaldo},
                      Case{"SaldoNotANumber", text(&FormModel::txtSalVal, "abc"), saldo, kZeroSaldo},
                      Case{"SaldoHalfToEven", text(&FormModel::txtSalVal, "2.5"), saldo,
                           "02000000FDFFFFFF0200000006F906F902000000FDFFFFFF0200000005FA05FA"},
                      Case{"SaldoLowest", text(&FormModel::txtSalVal, "-2147483648"), saldo,
                           "00000080FFFFFF7F0000008006F906F900000080FFFFFF7F0000008005FA05FA"},
                      Case{"SaldoTooLow", text(&FormModel::txtSalVal, "-2147483649"), saldo, ""},
                      // 4 x 64 + 2 = 258: the low byte 02.
                      Case{"SaldoAddressLowByte",
                           all(text(&FormModel::txtSalVal, "0"), text(&FormModel::txtSector, "64")), saldo,
                           "00000000FFFFFFFF0000000002FD02FD00000000FFFFFFFF0000000001FE01FE"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CheckDigitAndHexSum, Examples) {
    EXPECT_EQ(CalcCheckDigit("100000000"), '9');
    EXPECT_EQ(CalcCheckDigit("550000000"), '0');
    EXPECT_EQ(CalcHexSum("FFFFFFFFFFFFFFFFFFFFAAAA"), "F6");  // only the first twenty characters
    EXPECT_EQ(CalcHexSum("1G"), "01");                        // a pair reads its leading hex digits
}

TEST(NodeMap, BitsLandInTheirBytes) {
    const std::string zeros(64, '0');
    auto with = [&](std::size_t at, const char* b) { return zeros.substr(0, at) + b + zeros.substr(at + 2); };
    const std::pair<std::vector<int>, std::string> cases[] = {
        {{7}, with(0, "80")}, {{8}, with(2, "01")}, {{128}, with(32, "01")}, {{127}, with(30, "80")}};
    for (const auto& [nodes, expected] : cases) {
        Window w;
        for (int n : nodes) w.m.listPermit.addItem(NodeEntry(n));
        EXPECT_EQ(GetNodeMap(w.ctx), expected) << nodes[0];
    }
    Window w;
    cAddAllListPermit_Click(w.ctx);
    EXPECT_EQ(GetNodeMap(w.ctx), std::string(64, 'F'));
    w.m.listPermit.setItem(1, "");  // the walk stops at the first empty entry
    EXPECT_EQ(GetNodeMap(w.ctx), "01" + zeros.substr(2));
}

TEST(Trama, Converts) {
    const std::pair<std::string, std::string> cases[] = {
        {"&h41", "&h41"},                         // upper-case H only
        {"&Hff", "\xFF"},                         // the digits in either case
        {"A&H41&H42", "AAB"},                     // tokens one after the other
        {"&H26H41", "&H41"},                      // the inserted character is not scanned again
        {"&H4G", "\x04"},                         // leading hex digits only
        {"&H&H41", std::string("\0", 1) + "41"},  // none: code 0
        {"AB&H", std::string("AB\0", 3)},         // a token at the very end
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(ConvTramaText(in), out) << in;
}

TEST(AnsiText, FieldsAsCodePageBytes) {
    EXPECT_EQ(ToAnsi("\xC3\xA9"), "\xE9");      // é
    EXPECT_EQ(ToAnsi("\xE2\x80\x94"), "\x97");  // em dash
    EXPECT_EQ(ToAnsi("\xE4\xB8\xAD"), "?");     // not in the code page
    EXPECT_EQ(ToAnsi("\xE9x"), "\xE9x");        // not UTF-8: taken as it is
    EXPECT_EQ(DecText(3.5), "3.5");
    EXPECT_EQ(DecText(1e20), "1E+20");
}

}  // namespace
}  // namespace zt
