#include "core/i18n/texts.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/app/log.h"
#include "core/i18n/catalogue.h"
#include "fakes.h"

namespace zt {
namespace {

struct Ref {
    std::string control;
    int mis;
};

// Every caption the language sets, with its message.
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
    for (int i = 1; i <= 21; ++i) r.push_back({"cLabel(" + std::to_string(i) + ")", 5 + i});
    for (int i = 0; i <= 6; ++i) r.push_back({"cFrame(" + std::to_string(i) + ")", 45 + i});
    for (int i = 10; i <= 24; ++i) r.push_back({"cSelTar(" + std::to_string(i) + ")", 55 + i});
    for (int i = 30; i <= 32; ++i) r.push_back({"cSelTar(" + std::to_string(i) + ")", 55 + i});
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

// A language file whose every message names its file and number ("L3-M130"); `override` replaces some.
std::string SyntheticFile(int n, const std::map<int, std::string>& override = {}) {
    std::string s;
    for (int k = 1; k <= 290; ++k) {
        const auto it = override.find(k);
        s +=
            (it != override.end() ? it->second : "L" + std::to_string(n) + "-M" + std::to_string(k)) + "\r\n";
    }
    return s;
}

class WindowTexts : public ::testing::Test {
protected:
    void load(const std::vector<int>& files, bool real = false) {
        for (int n : files) real ? fs.putReal(n) : fs.put(n, SyntheticFile(n));
        start();
    }
    void start() {
        ctx = std::make_unique<Ctx>(Platform{.serial = serial, .tips = &host, .files = &fs});
        tips = std::make_unique<Tooltip>(&host);
        tips->IniMaxTip(150);
        LoadMessages(*ctx);
        ApplyTexts(*ctx, *tips);
    }
    std::vector<std::string> tipOrder(std::size_t from) const {
        std::vector<std::string> names;
        for (std::size_t i = from; i < host.created.size(); ++i)
            names.push_back(host.live.at(host.created[i]).control);
        return names;
    }
    const std::string& caption(const std::string& name) const { return ctx->m.find(name)->text(); }

    test::FakeFileSystem fs;
    test::FakeTooltipHost host;
    SerialPort* serial = nullptr;
    std::unique_ptr<Ctx> ctx;
    std::unique_ptr<Tooltip> tips;
};

TEST_F(WindowTexts, EveryCaptionAndTooltipTakesItsOwnMessage) {
    load({1, 2, 3, 4, 5});
    for (const Ref& r : Captions())
        EXPECT_EQ(caption(r.control), "L1-M" + std::to_string(r.mis)) << r.control;
    for (int t = 0; t <= 3; ++t) EXPECT_EQ(ctx->m.SSTab1.items()[t], "L1-M" + std::to_string(95 + t));
    for (int i = 0; i <= 4; ++i) EXPECT_EQ(ctx->m.cIdioma(i).text(), "L" + std::to_string(i + 1) + "-M1");

    std::vector<std::string> expectedOrder;
    for (const Ref& r : kTips) {
        expectedOrder.push_back(r.control);
        ASSERT_NE(host.of(r.control), nullptr) << r.control;
        EXPECT_EQ(host.of(r.control)->spec.text, "L1-M" + std::to_string(r.mis)) << r.control;
        EXPECT_EQ(host.of(r.control)->spec.title, "");
    }
    EXPECT_EQ(tipOrder(0), expectedOrder);
}

TEST_F(WindowTexts, EachSelectorSwitchesToItsOwnSlot) {
    load({1, 2, 3, 4, 5});
    ctx->m.cSelTar(31).setValue(1);
    AddInfo(*ctx, GetMis(*ctx, 170));
    for (int i : {2, 4, 0, 1, 3}) {
        const std::string L = "L" + std::to_string(i + 1) + "-M";
        cIdioma_Click(*ctx, *tips, i);
        EXPECT_EQ(ctx->st.iIdioma, i + 1);
        EXPECT_EQ(caption("frmZentap"), L + "2");
        EXPECT_EQ(caption("cmdStart(2)"), L + "139");
        EXPECT_EQ(ctx->m.SSTab1.items()[3], L + "98");
        EXPECT_EQ(host.of("txtTScan")->spec.text, L + "273");
        EXPECT_EQ(ctx->m.cUnitTime.items(), (std::vector<std::string>{L + "100", L + "101", L + "102",
                                                                      L + "103", L + "104", L + "105"}));
        EXPECT_EQ(ctx->m.cUnitTime.text(), L + "101");
        EXPECT_EQ(ctx->m.cTipList.text(), L + "110");
        EXPECT_EQ(ctx->m.cTipList.listIndex(), 0);
        // Selector labels always name their own slot; no tooltip of another language is left.
        EXPECT_EQ(ctx->m.cIdioma(0).text(), "L1-M1");
        EXPECT_EQ(host.live.size(), 51u);
    }
    // The log keeps the language it was written in; the ticks stay as they were.
    EXPECT_EQ(ctx->m.listInfo.items().back(), "L1-M170");
    EXPECT_EQ(ctx->m.cSelTar(31).value(), 1);
}

TEST_F(WindowTexts, DashAndEmptyTextsLeaveNoGapInTheDropDowns) {
    fs.put(1, SyntheticFile(
                  1, {{100, "-"}, {103, ""}, {104, "-"}, {112, "-"}, {113, "-"}, {114, "-"}, {115, "-"}}));
    start();
    EXPECT_EQ(ctx->m.cUnitTime.items(), (std::vector<std::string>{"L1-M101", "L1-M102", "L1-M105"}));
    EXPECT_EQ(ctx->m.cUnitTime.text(), "L1-M101");
    EXPECT_EQ(ctx->m.cUnitTime.listIndex(), 0);
    EXPECT_EQ(ctx->m.cTipList.items(), (std::vector<std::string>{"L1-M110", "L1-M111"}));
    EXPECT_EQ(ctx->m.cTipList.text(), "L1-M110");
}

TEST_F(WindowTexts, OnlyFileTwoShowsOnTheLastSelector) {
    load({2});
    EXPECT_EQ(ctx->st.iIdioma, 5);
    EXPECT_EQ(caption("frmZentap"), "L2-M2");
    for (int i = 0; i <= 3; ++i) EXPECT_EQ(ctx->m.cIdioma(i).text(), "") << i;
    EXPECT_EQ(ctx->m.cIdioma(4).text(), "L2-M1");

    const auto made = host.created.size();
    for (int i = 0; i <= 3; ++i) cIdioma_Click(*ctx, *tips, i);
    EXPECT_EQ(ctx->st.iIdioma, 5);
    EXPECT_EQ(host.created.size(), made);
    cIdioma_Click(*ctx, *tips, 4);
    EXPECT_EQ(ctx->st.iIdioma, 5);
    EXPECT_EQ(host.live.size(), 51u);
}

TEST_F(WindowTexts, WithoutLanguageFilesEveryCaptionIsBlank) {
    load({});
    EXPECT_EQ(ctx->st.iIdioma, 0);
    for (const Ref& r : Captions()) EXPECT_EQ(caption(r.control), "") << r.control;
    for (const auto& tab : ctx->m.SSTab1.items()) EXPECT_EQ(tab, "");
    for (int i = 0; i <= 4; ++i) EXPECT_EQ(ctx->m.cIdioma(i).text(), "");
    EXPECT_TRUE(ctx->m.cUnitTime.items().empty());
    EXPECT_TRUE(ctx->m.cTipList.items().empty());
    EXPECT_EQ(host.live.size(), 51u);
    for (const auto& [h, tip] : host.live) EXPECT_EQ(tip.spec.text, "") << tip.control;
    // Nothing to select: the selectors do nothing, and the log still takes lines.
    for (int i = 0; i <= 4; ++i) cIdioma_Click(*ctx, *tips, i);
    EXPECT_EQ(ctx->st.iIdioma, 0);
    EXPECT_EQ(host.created.size(), 51u);
    AddInfo(*ctx, GetMis(*ctx, 170));
    EXPECT_EQ(ctx->m.listInfo.itemCount(), 1);
}

TEST_F(WindowTexts, RealFilesFillEveryCaptionInEveryLanguage) {
    load({1, 2, 3, 4, 5}, true);
    std::set<std::string> names;
    for (int i = 0; i <= 4; ++i) {
        cIdioma_Click(*ctx, *tips, i);
        ASSERT_EQ(ctx->st.iIdioma, i + 1);
        names.insert(ctx->m.cIdioma(i).text());
        for (const Ref& r : Captions()) {
            EXPECT_EQ(caption(r.control), GetMis(*ctx, r.mis)) << r.control;
            EXPECT_FALSE(caption(r.control).empty()) << "file " << i + 1 << ": " << r.control;
        }
        for (int t = 0; t <= 3; ++t) EXPECT_EQ(ctx->m.SSTab1.items()[t], GetMis(*ctx, 95 + t));
        ASSERT_EQ(host.live.size(), 51u);
        for (const Ref& r : kTips) {
            EXPECT_EQ(host.of(r.control)->spec.text, GetMis(*ctx, r.mis)) << r.control;
            EXPECT_FALSE(host.of(r.control)->spec.text.empty()) << "file " << i + 1 << ": " << r.control;
        }
        // Relay time unit: tenths, seconds, minutes, with seconds shown; list type: white shown.
        ASSERT_EQ(ctx->m.cUnitTime.itemCount(), 3) << "file " << i + 1;
        EXPECT_EQ(ctx->m.cUnitTime.items()[1], GetMis(*ctx, 101));
        EXPECT_EQ(ctx->m.cUnitTime.text(), GetMis(*ctx, 101));
        EXPECT_EQ(ctx->m.cUnitTime.listIndex(), 1);
        ASSERT_EQ(ctx->m.cTipList.itemCount(), 2) << "file " << i + 1;
        EXPECT_EQ(ctx->m.cTipList.text(), GetMis(*ctx, 110));
        EXPECT_EQ(ctx->m.cTipList.listIndex(), 0);
    }
    EXPECT_EQ(names.size(), 5u) << "every language has a name of its own";
}

struct PortCase {
    const char* name;
    std::string typed;
    std::string tip;  // after message 230
    friend void PrintTo(const PortCase& c, std::ostream* os) { *os << c.name; }
};

class PortTip : public WindowTexts, public ::testing::WithParamInterface<PortCase> {};

TEST_P(PortTip, NamesTheDeviceBehindTheNumberTyped) {
    test::FakeSerialPort port;
    serial = &port;
    load({1, 2});
    ctx->m.cEditCfg1.setText(GetParam().typed);
    cEditCfg1_Change(*ctx, *tips);
    EXPECT_EQ(host.of("cEditCfg1")->spec.text, "L1-M230" + GetParam().tip);
    EXPECT_EQ(host.live.size(), 51u);
}

INSTANTIATE_TEST_SUITE_P(WindowTexts, PortTip,
                         ::testing::Values(PortCase{"First", "1", "\r\nL1-M284: /dev/ttyS0"},
                                           PortCase{"Usb", "33", "\r\nL1-M284: /dev/ttyUSB0"},
                                           PortCase{"HalfRoundsToEven", "2.5", "\r\nL1-M284: /dev/ttyS1"},
                                           PortCase{"Hex", "&H21", "\r\nL1-M284: /dev/ttyUSB0"},
                                           PortCase{"NotANumber", "abc", ""}, PortCase{"NoDevice", "65", ""},
                                           PortCase{"TooLarge", "70000", ""}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(WindowTexts, PortTipFollowsTheLanguage) {
    test::FakeSerialPort port;
    serial = &port;
    load({1, 2});
    EXPECT_EQ(host.of("cEditCfg1")->spec.text, "L1-M230\r\nL1-M284: /dev/ttyS0");
    ctx->m.cEditCfg1.setText("3");
    cEditCfg1_Change(*ctx, *tips);
    cIdioma_Click(*ctx, *tips, 4);  // file 2 lies in the top slot
    EXPECT_EQ(host.of("cEditCfg1")->spec.text, "L2-M230\r\nL2-M284: /dev/ttyS2");
}

}  // namespace
}  // namespace zt
