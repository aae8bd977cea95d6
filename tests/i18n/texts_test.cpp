#include "core/i18n/texts.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "core/app/log.h"
#include "core/i18n/catalogue.h"
#include "lang_dir.h"
#include "support/fakes.h"

namespace zt {
namespace {

struct Ref {
    std::string control;
    int mis;
};

std::string Idx(const char* base, int i) {
    return std::string(base) + "(" + std::to_string(i) + ")";
}

// Every caption a language sets, with its message.
std::vector<Ref> Captions() {
    std::vector<Ref> r{{"frmZentap", 2},           {"cLabel(22)", 39},        {"cSelTar(0)", 60},
                       {"cSelTar(1)", 61},         {"chkEspResList", 90},     {"chkEspNodoTar", 91},
                       {"chkCfgRelExt", 92},       {"cmdOpenCom", 130},       {"cmdOpenTCP", 131},
                       {"cmdClose", 132},          {"cmdScanCom", 133},       {"cBorrar", 134},
                       {"cmdStart(0)", 135},       {"cmdStop(0)", 136},       {"cmdStart(1)", 137},
                       {"cmdStop(1)", 138},        {"cmdStart(2)", 139},      {"cmdStop(2)", 140},
                       {"cmdLecTar", 141},         {"cmdStop(3)", 142},       {"cmdDeSel", 143},
                       {"cmdSelTot", 144},         {"cAddListPermit", 145},   {"cDelListPermit", 146},
                       {"cDelAllListPermit", 147}, {"cAddAllListPermit", 148}};
    for (int i = 1; i <= 21; ++i) r.push_back({Idx("cLabel", i), 5 + i});
    for (int i = 0; i <= 6; ++i) r.push_back({Idx("cFrame", i), 45 + i});
    for (int i : {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 30, 31, 32})
        r.push_back({Idx("cSelTar", i), 55 + i});
    r.insert(r.end(), {{"lblCom", 285}, {"lblBaud", 286}, {"lblHost", 287}});
    return r;
}

// The tooltips in the order they are made.
const std::vector<Ref> kTips{
    {"cmdOpenCom", 150},     {"cmdOpenTCP", 151},        {"cmdClose", 152},          {"cmdScanCom", 153},
    {"cBorrar", 154},        {"cmdStart(0)", 155},       {"cmdStop(0)", 156},        {"cmdStart(1)", 157},
    {"cmdStop(1)", 158},     {"cmdStart(2)", 159},       {"cmdStop(2)", 160},        {"cmdLecTar", 161},
    {"cmdStop(3)", 162},     {"cmdDeSel", 163},          {"cmdSelTot", 164},         {"cAddListPermit", 165},
    {"cDelListPermit", 166}, {"cDelAllListPermit", 167}, {"cAddAllListPermit", 168}, {"cEditCfg1", 230},
    {"cCombo1", 231},        {"cEditCfg3", 232},         {"txtNumInst", 233},        {"txtSector", 234},
    {"txtKeyMF", 235},       {"txtKeyTar", 236},         {"listInfo", 237},          {"txtOldNumInst", 238},
    {"txtOldSector", 239},   {"txtOldKeyMF", 240},       {"txtCfgTRele", 241},       {"cUnitTime", 242},
    {"cTipList", 243},       {"chkEspResList", 244},     {"chkEspNodoTar", 245},     {"txtCfgNode", 246},
    {"chkCfgRelExt", 247},   {"txtTramaRelExt", 248},    {"txtVendDec", 249},        {"txtUser", 250},
    {"listNoPermit", 251},   {"listPermit", 252},        {"txtSalVal", 253},         {"txtNumTar", 254},
    {"txtUsaKey(0)", 255},   {"txtUsaKey(1)", 256},      {"txtUsaKey(2)", 257},      {"txtInfoRead(0)", 258},
    {"txtInfoRead(1)", 259}, {"txtInfoRead(2)", 260},    {"txtTScan", 273}};

// A language file whose every message tells its file and number ("L3-M130"), some replaced.
std::string SyntheticFile(int n, const std::map<int, std::string>& replaced = {}) {
    std::string s;
    for (int k = 1; k <= 290; ++k) {
        const auto it = replaced.find(k);
        s +=
            (it != replaced.end() ? it->second : "L" + std::to_string(n) + "-M" + std::to_string(k)) + "\r\n";
    }
    return s;
}

class WindowTexts : public ::testing::Test {
protected:
    void start() {
        ctx = std::make_unique<Ctx>(Platform{.serial = &serial, .tips = &host, .files = &fs});
        tips = std::make_unique<Tooltip>(&host);
        tips->IniMaxTip(150);
        LoadMessages(*ctx);
        ApplyTexts(*ctx, *tips);
    }
    void put(int n, std::string text) {
        fs.files["/zentap/MisI0" + std::to_string(n) + ".dat"] = std::move(text);
    }
    const std::string& caption(const std::string& name) const { return ctx->m.find(name)->text(); }
    const std::string& tip(const std::string& name) const { return host.of(name)->tip.text; }

    test::FakeFiles fs;
    test::FakeTips host;
    test::FakeSerial serial;
    std::unique_ptr<Ctx> ctx;
    std::unique_ptr<Tooltip> tips;
};

TEST_F(WindowTexts, EveryCaptionAndTooltipTakesItsOwnMessage) {
    for (int n = 1; n <= 5; ++n) put(n, SyntheticFile(n));
    start();
    for (int i : {2, 0}) {  // a switch, and back to the start language
        cIdioma_Click(*ctx, *tips, i);
        const std::string L = "L" + std::to_string(i + 1) + "-M";
        for (const Ref& r : Captions()) EXPECT_EQ(caption(r.control), L + std::to_string(r.mis)) << r.control;
        EXPECT_EQ(ctx->m.SSTab1.items(), (std::vector<std::string>{L + "95", L + "96", L + "97", L + "98"}));
        for (int k = 0; k <= 4; ++k) EXPECT_EQ(ctx->m.cIdioma(k).text(), "L" + std::to_string(k + 1) + "-M1");

        // Made in increasing message order (handles rise), no title, none of the previous language left.
        std::vector<std::string> order;
        for (const auto& [h, t] : host.live) order.push_back(t.control);
        ASSERT_EQ(order.size(), kTips.size());
        for (std::size_t k = 0; k < kTips.size(); ++k) {
            EXPECT_EQ(order[k], kTips[k].control);
            const std::string expected = L + std::to_string(kTips[k].mis);
            EXPECT_EQ(tip(kTips[k].control).substr(0, expected.size()), expected) << kTips[k].control;
        }
    }
}

TEST_F(WindowTexts, DropDownsSkipDashesAndEmptyTexts) {
    put(1,
        SyntheticFile(1, {{100, "-"}, {103, ""}, {104, "-"}, {112, "-"}, {113, ""}, {114, "-"}, {115, "-"}}));
    put(2, SyntheticFile(2));
    start();
    EXPECT_EQ(ctx->m.cUnitTime.items(), (std::vector<std::string>{"L1-M101", "L1-M102", "L1-M105"}));
    EXPECT_EQ(ctx->m.cUnitTime.text(), "L1-M101");
    EXPECT_EQ(ctx->m.cUnitTime.listIndex(), 0);
    EXPECT_EQ(ctx->m.cTipList.items(), (std::vector<std::string>{"L1-M110", "L1-M111"}));
    EXPECT_EQ(ctx->m.cTipList.text(), "L1-M110");

    cIdioma_Click(*ctx, *tips, 4);  // file 2 lies in the top slot
    EXPECT_EQ(ctx->m.cUnitTime.itemCount(), 6);
    EXPECT_EQ(ctx->m.cUnitTime.text(), "L2-M101");
    EXPECT_EQ(ctx->m.cUnitTime.listIndex(), 1);
}

TEST_F(WindowTexts, OnlyFileTwoShowsOnTheLastSelector) {
    put(2, SyntheticFile(2));
    start();
    EXPECT_EQ(ctx->st.iIdioma, 5);
    EXPECT_EQ(caption("frmZentap"), "L2-M2");
    for (int i = 0; i <= 4; ++i) EXPECT_EQ(ctx->m.cIdioma(i).text(), i == 4 ? "L2-M1" : "") << i;
    for (int i = 0; i <= 3; ++i) cIdioma_Click(*ctx, *tips, i);
    EXPECT_EQ(ctx->st.iIdioma, 5);
    EXPECT_EQ(host.created, 51u) << "an empty selector does nothing";
}

TEST_F(WindowTexts, WithoutLanguageFilesEveryTextIsBlank) {
    start();
    for (const Ref& r : Captions()) EXPECT_EQ(caption(r.control), "") << r.control;
    EXPECT_EQ(ctx->m.SSTab1.items(), (std::vector<std::string>(4)));
    EXPECT_TRUE(ctx->m.cUnitTime.items().empty());
    EXPECT_TRUE(ctx->m.cTipList.items().empty());
    EXPECT_EQ(host.live.size(), 51u);
    for (const auto& [h, t] : host.live) EXPECT_EQ(t.tip.text, "") << t.control;
    for (int i = 0; i <= 4; ++i) cIdioma_Click(*ctx, *tips, i);
    EXPECT_EQ(ctx->st.iIdioma, 0);
    EXPECT_EQ(host.created, 51u);
}

TEST_F(WindowTexts, ShippedFilesFillEveryCaptionInEveryLanguage) {
    fs.realDir = test::LangDir();
    start();
    std::set<std::string> names;
    for (int i = 0; i <= 4; ++i) {
        cIdioma_Click(*ctx, *tips, i);
        ASSERT_EQ(ctx->st.iIdioma, i + 1);
        names.insert(ctx->m.cIdioma(i).text());
        for (const Ref& r : Captions()) {
            EXPECT_EQ(caption(r.control), GetMis(*ctx, r.mis)) << r.control;
            EXPECT_FALSE(caption(r.control).empty()) << "file " << i + 1 << ": " << r.control;
        }
        for (const Ref& r : kTips)
            EXPECT_FALSE(tip(r.control).empty()) << "file " << i + 1 << ": " << r.control;
        // Relay time in tenths, seconds or minutes, seconds shown; white or black list, white shown.
        ASSERT_EQ(ctx->m.cUnitTime.itemCount(), 3) << "file " << i + 1;
        EXPECT_EQ(ctx->m.cUnitTime.listIndex(), 1);
        ASSERT_EQ(ctx->m.cTipList.itemCount(), 2) << "file " << i + 1;
        EXPECT_EQ(ctx->m.cTipList.listIndex(), 0);
    }
    EXPECT_EQ(names.size(), 5u) << "every language has a name of its own";
}

// The port-number tooltip names the device behind the number typed, in the current language.
TEST_F(WindowTexts, PortTipNamesTheDevice) {
    put(1, SyntheticFile(1));
    start();
    const std::map<std::string, std::string> cases{{"1", "\r\nL1-M284: /dev/ttyS0"},
                                                   {"2.5", "\r\nL1-M284: /dev/ttyS1"},  // halves to even
                                                   {"&H21", "\r\nL1-M284: /dev/ttyS32"},
                                                   {"64", "\r\nL1-M284: /dev/ttyS63"},
                                                   {"0", ""},
                                                   {"abc", ""},
                                                   {"65", ""},
                                                   {"70000", ""}};
    for (const auto& [typed, device] : cases) {
        ctx->m.cEditCfg1.setText(typed);
        cEditCfg1_Change(*ctx, *tips);
        EXPECT_EQ(tip("cEditCfg1"), "L1-M230" + device) << typed;
    }
    EXPECT_EQ(host.live.size(), 51u);
}

}  // namespace
}  // namespace zt
