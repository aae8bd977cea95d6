// The language files and every text they give the window: captions, drop-downs, tooltips, the
// language switch, with files made for the test and with the shipped ones.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <iterator>

#include "core/i18n/catalogue.h"
#include "core/i18n/tooltip.h"
#include "support/harness.h"

namespace zt::test {
namespace {

// Every caption a language sets and every tooltip in the order they are made: "control=message".
std::string Captions() {
    std::string s = "frmZentap=2 cLabel(22)=39 cSelTar(0)=60 cSelTar(1)=61 chkEspResList=90 chkEspNodoTar=91 "
                    "chkCfgRelExt=92 cmdOpenCom=130 cmdOpenTCP=131 cmdClose=132 cmdScanCom=133 cBorrar=134 "
                    "cmdStart(0)=135 cmdStop(0)=136 cmdStart(1)=137 cmdStop(1)=138 cmdStart(2)=139 cmdStop(2)=140 "
                    "cmdLecTar=141 cmdStop(3)=142 cmdDeSel=143 cmdSelTot=144 cAddListPermit=145 cDelListPermit=146 "
                    "cDelAllListPermit=147 cAddAllListPermit=148 lblCom=285 lblBaud=286 lblHost=287 cmdRecord=360 chkVerify=400 "
                    "cmdSaveLog=463";
    for (int i = 1; i <= 21; ++i) s += " cLabel(" + std::to_string(i) + ")=" + std::to_string(5 + i);
    for (int i = 0; i <= 6; ++i) s += " cFrame(" + std::to_string(i) + ")=" + std::to_string(45 + i);
    for (int i : {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 30, 31, 32})
        s += " cSelTar(" + std::to_string(i) + ")=" + std::to_string(55 + i);
    return s;
}
const char* kTips =
    "cmdOpenCom=150 cmdOpenTCP=151 cmdClose=152 cmdScanCom=153 cBorrar=154 cmdStart(0)=155 cmdStop(0)=156 "
    "cmdStart(1)=157 cmdStop(1)=158 cmdStart(2)=159 cmdStop(2)=160 cmdLecTar=161 cmdStop(3)=162 cmdDeSel=163 "
    "cmdSelTot=164 cAddListPermit=165 cDelListPermit=166 cDelAllListPermit=167 cAddAllListPermit=168 cEditCfg1=230 "
    "cCombo1=231 cEditCfg3=232 txtNumInst=233 txtSector=234 txtKeyMF=235 txtKeyTar=236 listInfo=237 "
    "txtOldNumInst=238 txtOldSector=239 txtOldKeyMF=240 txtCfgTRele=241 cUnitTime=242 cTipList=243 "
    "chkEspResList=244 chkEspNodoTar=245 txtCfgNode=246 chkCfgRelExt=247 txtTramaRelExt=248 txtVendDec=249 "
    "txtUser=250 listNoPermit=251 listPermit=252 txtSalVal=253 txtNumTar=254 txtUsaKey(0)=255 txtUsaKey(1)=256 "
    "txtUsaKey(2)=257 txtInfoRead(0)=258 txtInfoRead(1)=259 txtInfoRead(2)=260 txtTScan=273 cmdRecord=361 "
    "chkVerify=450 cmdRecordCsv=451 cmdLogSave=452 cmdSaveLog=452";
std::vector<std::pair<std::string, int>> Refs(const std::string& s) {
    std::vector<std::pair<std::string, int>> out;
    for (const auto& r : Lines(s, nullptr, ' '))
        out.emplace_back(r.substr(0, r.find('=')), std::stoi(r.substr(r.find('=') + 1)));
    return out;
}

// A window whose language files tell their file and number in every message ("L3-M130"), some
// replaced ({n, text} in `replaced`).
struct Texts {
    explicit Texts(std::set<int> files, std::map<int, std::string> replaced = {}) : h(HarnessOptions{true}) {
        h.files.dir = "/zentap";
        for (int n : files) {
            std::string s;
            for (int k = 1; k <= 470; ++k)
                s += (n == 1 && replaced.count(k) ? replaced[k] : "L" + std::to_string(n) + "-M" + std::to_string(k)) + "\r\n";
            h.files.files["/zentap/MisI0" + std::to_string(n) + ".dat"] = s;
        }
        h.load();
    }
    std::string caption(const std::string& c) { return h.m().find(c)->text(); }
    Harness h;
};

// Drop-downs skip dashes and empty texts (file 1's items replaced; no caption or tooltip uses them).
TEST(Texts, EveryCaptionAndTooltipTakesItsOwnMessage) {
    Texts t({1, 2, 3, 4, 5},
            {{100, "-"}, {103, ""}, {104, "-"}, {112, "-"}, {113, ""}, {114, "-"}, {115, "-"}});
    auto& m = t.h.m();
    EXPECT_EQ(m.cUnitTime.items(), Lines("L1-M101|L1-M102|L1-M105"));
    EXPECT_EQ(m.cTipList.items(), Lines("L1-M110|L1-M111"));
    EXPECT_EQ(m.cUnitTime.text() + " " + m.cTipList.text(), "L1-M101 L1-M110");
    for (int i : {2, 0}) {  // a switch, and back to the start language
        t.h.click("cIdioma(" + std::to_string(i) + ")");
        const std::string L = "L" + std::to_string(i + 1) + "-M";
        for (const auto& [c, n] : Refs(Captions())) EXPECT_EQ(t.caption(c), L + std::to_string(n)) << c;
        EXPECT_EQ(t.h.m().SSTab1.items(), Lines(L + "95|" + L + "96|" + L + "97|" + L + "98"));
        for (int k = 0; k <= 4; ++k) EXPECT_EQ(t.caption("cIdioma(" + std::to_string(k) + ")"), "L" + std::to_string(k + 1) + "-M1");
        // Made in increasing message order, none of the previous language left.
        std::string made, want;
        for (const auto& [handle, tip] : t.h.tips.live)
            made += " " + tip.control + "=" + tip.tip.text.substr(0, tip.tip.text.find('\r'));
        for (const auto& [c, n] : Refs(kTips)) want += " " + c + "=" + L + std::to_string(n);
        EXPECT_EQ(made, want);
        const int units = m.cUnitTime.itemCount() * 10 + m.cUnitTime.listIndex();
        EXPECT_EQ(m.cUnitTime.text() + " " + std::to_string(units), L + (i == 0 ? "101 30" : "101 61"));
    }
    // The port-number tooltip names the device behind the number typed, in the current language.
    for (const auto& [typed, device] : std::map<std::string, std::string>{
             {"1", "/dev/ttyS0"}, {"2.5", "/dev/ttyS1"}, {"64", "/dev/ttyS63"}, {"0", ""}, {"65", ""}}) {
        t.h.m().cEditCfg1.setText(typed);
        EXPECT_EQ(t.h.tips.of("cEditCfg1")->tip.text,
                  "L1-M230" + (device.empty() ? "" : "\r\nL1-M284: " + device)) << typed;
    }
}

// Files beside the program fill the language slots from the top, in the order of their numbers.
TEST(Texts, MissingFilesLeaveTheirSelectorsEmpty) {
    Texts two({1, 3});
    const char* names[] = {"", "", "", "L1-M1", "L3-M1"};
    for (int i = 0; i <= 4; ++i) EXPECT_EQ(two.caption("cIdioma(" + std::to_string(i) + ")"), names[i]) << i;
    for (int i = 0; i <= 2; ++i) two.h.click("cIdioma(" + std::to_string(i) + ")");
    EXPECT_EQ(two.h.st().iIdioma, 4);
    EXPECT_EQ(two.h.tips.created, 56u) << "an empty selector does nothing";
    Texts none({});
    for (const auto& [c, n] : Refs(Captions())) EXPECT_EQ(none.caption(c), "") << c;
    EXPECT_EQ(none.h.m().SSTab1.items(), std::vector<std::string>(4));
    EXPECT_TRUE(none.h.m().cUnitTime.items().empty() && none.h.m().cTipList.items().empty());
    for (const auto& [handle, t] : none.h.tips.live) EXPECT_EQ(t.tip.text, "") << t.control;
    for (int i = 0; i <= 4; ++i) none.h.click("cIdioma(" + std::to_string(i) + ")");
    EXPECT_EQ(none.h.st().iIdioma, 0);
    EXPECT_EQ(none.h.tips.created, 56u);
    // The program still works, logging empty lines where its texts would be.
    EXPECT_EQ(none.h.log(), Lines("|"));
    none.h.openCom();
    EXPECT_TRUE(none.h.m().cmdStart(0).enabled());
}

// The shipped files: every caption and tooltip filled in every language, the same numbers filled
// as in file 1, lines ending in CR LF and never in "~", drop-down items that differ.
TEST(Texts, ShippedFiles) {
    Harness h;
    h.load();
    std::set<int> filled1;
    for (int i = 0; i <= 4; ++i) {
        SCOPED_TRACE("file " + std::to_string(i + 1));
        h.click("cIdioma(" + std::to_string(i) + ")");
        ASSERT_EQ(h.st().iIdioma, i + 1);
        for (const auto& [c, n] : Refs(Captions() + " " + kTips)) EXPECT_FALSE(h.mis(n).empty()) << c;
        for (int k : {1, 177, 190, 197, 216, 280, 283, 284}) EXPECT_FALSE(h.mis(k).empty()) << k;
        std::set<int> filled;
        for (int k = 0; k < kMessages; ++k)
            if (!h.mis(k).empty()) filled.insert(k);
        if (i == 0) filled1 = filled;
        EXPECT_EQ(filled, filled1);
        // Relay time in tenths, seconds or minutes, seconds shown; white or black list, white shown.
        EXPECT_EQ(h.m().cUnitTime.itemCount() * 10 + h.m().cUnitTime.listIndex(), 31);
        EXPECT_EQ(h.m().cTipList.itemCount() * 10 + h.m().cTipList.listIndex(), 20);
        EXPECT_EQ(std::set<std::string>(h.m().cUnitTime.items().begin(), h.m().cUnitTime.items().end()).size(), 3u);
        std::ifstream in(h.files.realDir + "/MisI0" + std::to_string(i + 1) + ".dat", std::ios::binary);
        const std::string f{std::istreambuf_iterator<char>(in), {}};
        ASSERT_TRUE(f.ends_with("\r\n"));
        for (std::size_t k = 0; k < f.size(); ++k) {
            EXPECT_EQ(f[k] == '\n', k > 0 && f[k - 1] == '\r') << "a bare LF or CR at byte " << k;
            EXPECT_FALSE(f[k] == '\n' && k > 1 && f[k - 2] == '~') << "a line ending in ~ at byte " << k;
        }
    }
}

// The message numbers of a file: a "~" is a line break, and at a line's end it takes the next line in.
TEST(Catalogue, ContinuationKeepsTheNumbers) {
    const std::pair<const char*, const char*> cases[] = {
        {"Uno~Dos\r\nTres\r\n", "Uno\r\nDos|Tres"},  {"Uno~\r\nDos\r\nTres\r\n", "Uno\r\nDos|Tres"},
        {"a~\r\nb~\r\nc\r\nd", "a\r\nb\r\nc|d"},     {"a~\r\n\r\nb\r\nc", "a\r\nb|c"},
        {"a\r\nb~\r\n", "a|b\r\n"},                   {"a\r\n\r\n\r\nd\r\n", "a|||d"},
        {"a\nb~\nc\r\nd", "a|b\r\nc|d"},              {"", ""}};
    for (const auto& [file, messages] : cases) {
        const auto mis = ParseMessages(file);
        auto want = Lines(messages);
        want.insert(want.begin(), "");
        want.resize(kMessages);
        EXPECT_EQ(std::vector<std::string>(mis.begin(), mis.end()), want) << file;
    }
}

// A root folder ends in its separator already; every other one gets it.
TEST(Catalogue, FilesAreLookedForBesideTheProgram) {
    struct Lookups : FakeFiles {
        bool exists(const std::string& path) const override { return asked += path + " ", false; }
        mutable std::string asked;
    };
    const std::map<std::string, std::string> prefixes{{"/opt", "/opt/"}, {"/", "/"}, {"C:/", "C:/"}};
    for (const auto& [dir, prefix] : prefixes) {
        Lookups fs;
        fs.dir = dir;
        Ctx ctx{Platform{.files = &fs}};
        LoadMessages(ctx);
        EXPECT_TRUE(fs.asked.starts_with(prefix + "MisI05.dat " + prefix + "MisI04.dat ")) << fs.asked;
    }
}

// The table takes as many tooltips as it was made for and no more, until IniTip empties it; the
// manager going takes every tooltip with it.
TEST(TooltipTable, HoldsItsCapacityAndStartsAgainAfterIniTip) {
    Control button{"cmdOpenCom", Kind::Button, "cFrame(0)"};
    FakeTips host;
    {
        Tooltip tips(&host);
        tips.IniMaxTip(3);
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(tips.CreateTip(button, "old")) << i;
        EXPECT_FALSE(tips.CreateTip(button, "one too many"));
        tips.IniTip();
        EXPECT_TRUE(host.live.empty());
        EXPECT_TRUE(tips.CreateTip(button, "new"));
    }
    EXPECT_TRUE(host.live.empty());
}

}  // namespace
}  // namespace zt::test
