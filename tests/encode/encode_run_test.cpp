// The encoding run end to end on the virtual clock against the simulated reader: what lands on the
// card, what the read tab then shows of it, the log and the frames, and the fields the run refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/harness.h"

namespace zt::test {
namespace {

const std::string F22(22, 'F'), Z32(32, '0');
const std::string kFactoryTrailer = "FFFFFFFFFFFFFF078069FFFFFFFFFFFF";
const std::string kWrittenTrailer = "FFFFFFFFFFFFFF0780FFFFFFFFFFFFFF";

struct Encoder : ::testing::Test {
    Harness h;
    void SetUp() override {
        h.load();
        h.openCom();
        h.box.answer = 0;  // fields as typed: the operator goes on past the Start check
    }
    // Only `index` ticked among the boxes of its tab.
    void only(int index) {
        for (int i : h.m().cSelTar.indexes())
            if ((i < 10) == (index < 10) && (i >= 30) == (index >= 30)) h.m().cSelTar(i).setValue(i == index);
    }
};

// One card of every kind: the fields, the blocks written ("n=hex|..."), the nodes moved to the
// permitted list (by their place in the list that is left).
struct Made {
    std::string name;
    int type;
    std::string fields, blocks;
    std::vector<int> permitted = {};
};
void PrintTo(const Made& w, std::ostream* os) { *os << w.name; }

struct Cards : Encoder, ::testing::WithParamInterface<Made> {};

TEST_P(Cards, Written) {
    const auto& w = GetParam();
    only(w.type);
    h.set("txtUser=057|txtOldNumInst=4321|txtOldKeyMF=0A0B0C0D0E0F|txtOldSector=2");
    h.set(w.fields);
    for (int n : w.permitted) {
        h.m().listNoPermit.setListIndex(n);
        h.click("cAddListPermit");
    }
    const auto& permit = h.m().listPermit.items();
    EXPECT_TRUE(std::is_sorted(permit.begin(), permit.end())) << "moved nodes keep their order";
    h.click(w.type < 10 ? "cmdStart(0)" : w.type < 30 ? "cmdStart(1)" : "cmdStart(2)");
    const auto card = h.fresh();
    ASSERT_TRUE(h.runUntilIdle());  // a one-card batch
    for (const auto& b : Lines(w.blocks)) {
        const int n = std::stoi(b);
        EXPECT_EQ(Harness::blockHex(*card, n), b.substr(b.find('=') + 1)) << "block " << n;
    }
    EXPECT_EQ(h.m().cSelTar(w.type).foreColor(), kGreen);
    EXPECT_TRUE(h.boxes().empty());
}

const std::string kKey0A = "0A0B0C0D0E0FFF0780FFFFFFFFFFFFFF";
std::string cfg(const char* params) { return "4=5200000201" + std::string(params); }
INSTANTIATE_TEST_SUITE_P(
    Table, Cards,
    ::testing::Values(
        // clang-format off
        Made{"Basic", 30, "txtUser=000", ("4=1000000009" + F22 + "|5=" + Z32 + "|7=" + kWrittenTrailer)},
        Made{"Basic1234_57", 30, "txtNumInst=1234|txtUser=57", ("4=1012340577" + F22)},
        Made{"InstallationPadded", 10, "txtNumInst=7", ("4=4500070004" + F22)},
        Made{"HexLettersCountZero", 30, "txtNumInst=00AB|txtUser=000", ("4=1000AB0009" + F22)},
        // The trailer carries the installation key, not the key that opened the card.
        Made{"AltaOwnKey", 10, "txtKeyMF=A1B2C3D4E5F6", ("4=4500000001" + F22 + "|7=A1B2C3D4E5F6FF0780FFFFFFFFFFFFFF")},
        Made{"AltaBlock", 11, "", ("4=4600000000" + F22)},
        Made{"Baja", 12, "", ("4=2800000000" + F22)},
        Made{"BajaBlock", 13, "", ("4=2900000009" + F22)},
        Made{"Nuevo", 14, "", ("4=4700009992" + F22)},
        Made{"Num0IgnoresInstallation", 15, "txtNumInst=9999", ("4=8300000009" + F22)},
        Made{"Num5Sector3", 20, "txtNumInst=4321|txtSector=3", ("12=8300005004" + F22 + "|4=" + Z32)},
        // MASTER: the current key and sector on the card, the new installation inside it.
        Made{"Master", 0, "txtNumInst=1234|txtOldNumInst=0000",
             ("8=69000002031234FFFFFFFFFFFF000141|11=" + kKey0A + "|4=" + Z32 + "|7=" + kFactoryTrailer)},
        Made{"MasterShortKeySector15", 0, "txtNumInst=1234|txtKeyMF=1234|txtSector=15|txtOldNumInst=0000",
             "8=69000002031234FFFFFFFF123400159D"},
        // A short current code: no data block, the trailer all the same.
        Made{"MasterShortCode", 0, "txtOldNumInst=000", ("8=" + Z32 + "|11=" + kKey0A)},
        Made{"Config", 1, "", (cfg("1010000002001000005082") + "|5=" + Z32)},
        Made{"ConfigRelayFrame", 1, "chkCfgRelExt=1",
             "4=52000002011010000002001014005096|5=0234303030303230303041463703FFFF|6=FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"},
        // Time unit without a match writes 5 (255 cut to one character), list type 255.
        Made{"ConfigNoComboMatch", 1, "cUnitTime=Horas|cTipList=~", cfg("5010025502001000005019")},
        Made{"ConfigLongValuesKeepLastDigits", 1, "txtCfgTRele=1000|txtTScan=100", cfg("1000000002000000005062")},
        Made{"ConfigNodeFromCards", 1, "chkEspNodoTar=1|txtCfgNode=12", cfg("10100000FFFF100000507E")},
        Made{"ConfigClearBlackList", 1, "chkEspResList=1|cTipList={111}", cfg("1010100102001000005093")},
        Made{"ConfigFrameCutAt32", 1, "chkCfgRelExt=1|txtTramaRelExt=" + std::string(40, 'A'),
             "4=520000020110100000020010320050B4|5=41414141414141414141414141414141|6=41414141414141414141414141414141"},
        Made{"ConfigFrameCodePage", 1, "chkCfgRelExt=1|txtTramaRelExt=&H41\xC3\xA9\xE2\x82\xAC",
             "5=41E980FFFFFFFFFFFFFFFFFFFFFFFFFF"},
        Made{"Advanced1_2_9", 31, "", ("4=1100000576" + F22 + "|5=0602" + std::string(28, '0') + "|6=" + Z32), {9, 2, 1}},
        Made{"Advanced0_7_8_255", 31, "", ("5=8101" + std::string(28, '0') + "|6=" + std::string(30, '0') + "80"), {255, 8, 7, 0}},
        Made{"Saldo500", 32, "txtUser=0", "4=1200000007FFFFFFFFFFFFFFFFFFFFFF|5=F40100000BFEFFFFF401000006F906F9|6=F40100000BFEFFFFF401000005FA05FA"},
        Made{"Saldo500Sector2", 32, "txtSector=2",
             ("9=F40100000BFEFFFFF40100000AF50AF5|10=F40100000BFEFFFFF401000009F609F6|11=" + kWrittenTrailer + "|4=" + Z32)},
        Made{"SaldoEmptyOrText", 32, "txtSalVal=abc", "5=00000000FFFFFFFF0000000006F906F9"},
        Made{"SaldoMinus1", 32, "txtSalVal=-1", "5=FFFFFFFF00000000FFFFFFFF06F906F9|6=FFFFFFFF00000000FFFFFFFF05FA05FA"},
        Made{"SaldoHalfToEven", 32, "txtSalVal=2.5", "5=02000000FDFFFFFF0200000006F906F9"},
        Made{"SaldoLowest", 32, "txtSalVal=-2147483648", "5=00000080FFFFFF7F0000008006F906F9"}),
    // clang-format on
    [](const auto& p) { return std::string(p.param.name); });

// One card, line by line and frame by frame. With chkVerify ticked (locked while the run is on) the
// card's key goes to slot 10 once, after StartUp, and the card is read back between trailer and Halt.
TEST_F(Encoder, WholeLogAndFramesOfOneBasicCard) {
    const std::string d = std::string(60, '-') + "|", ff = " 0xFF 0xFF 0xFF 0xFF 0xFF 0xFF";
    for (const bool verify : {false, true}) {
        SCOPED_TRACE(verify);
        h.set(verify ? "chkVerify=1|txtKeyMF=A0A1A2A3A4A5" : "");
        const auto from = h.log().size();
        const auto sentFrom = h.sent().size();
        const auto waits = h.count(h.mis(176) + ": USUARIO BASICO - 000");
        h.click("cmdStart(2)");
        EXPECT_FALSE(h.m().chkVerify.enabled());
        ASSERT_TRUE(h.runUntil([&] { return h.count(h.mis(176) + ": USUARIO BASICO - 000") > waits; }));
        h.fresh();
        ASSERT_TRUE(h.runUntilIdle());
        h.runFor(1);
        EXPECT_TRUE(h.m().chkVerify.enabled());
        // The UID's last byte, the key on the card, and what only a ticked chkVerify adds.
        const std::string u = verify ? "2" : "1", key = verify ? "A0 A1 A2 A3 A4 A5" : "FF FF FF FF FF FF";
        std::string slot10, check, slot10Frame, checkFrames;
        if (verify) {
            const std::string rd = ">>> AnsRead:  0x";
            slot10 = "{401} 10|>>> AnsWriteKeyE2P: 0x00|";
            check = "{403} 10|>>> AnsLogin: 0x00|{404} 04|" + rd + "10 0x00 0x00 0x00 0x09" + ff +
                    " 0xFF 0xFF 0xFF 0xFF 0xFF|{404} 07|" + rd + "00 0x00 0x00 0x00 0x00 0x00 0xFF 0x07 0x80" +
                    " 0xFF" + ff + "|{405}|";
            slot10Frame = "02 20 07 0A A0 A1 A2 A3 A4 A5 00 03|";
            checkFrames = "02 21 03 04 00 0A 32 03|02 22 01 04 27 03|02 22 01 07 2A 03|";
        }
        const auto log = h.logFrom(from);
        EXPECT_EQ(log, Lines(d + "TestNodeLink|>>> AnsTestLink|AnsTestLink|StartUp|>>> AnsStartUp|" +
                             "AnsStartUp|" + slot10 + d + "{176}: USUARIO BASICO - 000|" +
                             ">>> AnsGetUID:  0xA1 0x04 0x00 0x10 0x20 0x30 0x0" + u + "|ATQA:  04 00|" +
                             "UID:  10 20 30 0" + u + "|Select|>>> AnsSelect: 0x01|{181}|Led yellow On|" +
                             "WriteKeyE2P|>>> AnsDOutPerm|>>> AnsDOutPerm|>>> AnsWriteKeyE2P: 0x00|" +
                             "AnsWriteKey|Login|>>> AnsLogin: 0x00|AnsLogin|Write Block: 04---1000000009" +
                             F22 + "|>>> AnsWrite: 0x00|AnsWrite|Write Protection Block: 07|" +
                             ">>> AnsWrite: 0x00|AnsWrite|" + check + "Halt|>>> AnsHalt: 0x00|Led green|" +
                             ">>> AnsDOutTemp|>>> AnsDOutTemp|Beeper|" + d + ">>> AnsDOutTemp",
                             &h));
        const auto sent = h.sent();
        std::vector<std::string> frames;
        for (auto i = sentFrom; i < sent.size(); ++i) frames.push_back(spaced(sent[i]));
        EXPECT_EQ(frames, Lines("02 00 00 00 03|02 01 00 01 03|" + slot10Frame +
                                "02 11 00 11 03|02 07 02 00 FF 08 03|02 07 02 01 FF 09 03|"
                                "02 20 07 05 FF FF FF FF FF FF 26 03|02 21 03 04 00 05 2D 03|"
                                "02 23 11 04 10 00 00 00 09 FF FF FF FF FF FF FF FF FF FF FF 46 03|"
                                "02 23 11 07 " + key + " FF 07 80 FF FF FF FF FF FF FF " +
                                (verify ? "89" : "B4") + " 03|" + checkFrames + "02 12 00 12 03|" +
                                "02 06 02 01 00 09 03|02 06 02 00 32 3A 03|02 06 02 02 0A 14 03"));
    }
}

// The card's kind and UID as the run logs them; a MASTER's login key goes to slot 6.
TEST_F(Encoder, CardKindsAndTheMasterKeySlot) {
    h.m().txtNumTar.setText("3");
    h.click("cmdStart(2)");
    const std::pair<sim::CardKind, std::vector<std::uint8_t>> cards[] = {
        {sim::CardKind::Classic4K, {1, 2, 3, 4, 5, 6, 7}}, {sim::CardKind::Mini, {1, 2, 3, 4}},
        {sim::CardKind::Classic1K, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}};
    for (const auto& [kind, uid] : cards) {
        const auto beeps = h.count("Beeper");
        h.removeCard();
        h.present(kind, uid);
        ASSERT_TRUE(h.runUntil([&] { return h.count("Beeper") > beeps; }));
    }
    const auto got = h.own();
    for (const char* l : {"ATQA:  42 00|UID:  01 02 03 04 05 06 07|Select|{182}",
                          "ATQA:  04 00|UID:  01 02 03 04|Select|{183}",
                          "ATQA:  84 00|UID:  01 02 03 04 05 06 07 08 09 0A|Select|{181}"}) {
        const auto want = Lines(l, &h);
        EXPECT_NE(std::search(got.begin(), got.end(), want.begin(), want.end()), got.end()) << l;
    }
    ASSERT_TRUE(h.runUntilIdle());
    only(0);
    h.set("txtKeyTar=0123456789AB|txtOldNumInst=0000");
    const auto card = h.fresh();
    Harness::setBlock(*card, 7, "0123456789ABFF078069FFFFFFFFFFFF");
    h.click("cmdStart(0)");
    ASSERT_TRUE(h.runUntilIdle());
    EXPECT_EQ(h.reader.keys().get(6), (sim::Key{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB}));
    EXPECT_EQ(h.m().cSelTar(0).foreColor(), kGreen);
}

// A field that cannot go on the card: the message, box 192 and the end of the run, with the card
// untouched. Only a data block that is not hex is noticed after the key went to the reader.
TEST(RefusedFields, EndTheRun) {
    const std::pair<const char*, int> cases[] = {
        {"txtKeyTar=FFFFFFFFFFFf", 184},    {"txtKeyMF=FFFFFFFFFFF", 185},   {"txtSector=64", 282},
        {"txtSector=-1", 282},              {"txtSector=&H10000", 282},      {"txtNumInst=00G0", 188},
        {"cSelTar(32)=1|txtSalVal=3000000000", 281}, {"txtUser=32768", 291}, {"txtNumTar=&H8000", 290}};
    for (const auto& [fields, message] : cases) {
        Harness h;
        h.load();
        h.openCom();
        h.box.answer = 0;
        h.set(std::string("txtNumTar=2|") + fields);
        const auto from = h.lines.size();
        h.click("cmdStart(2)");
        const auto card = h.fresh();
        ASSERT_TRUE(h.runUntilIdle()) << fields;
        EXPECT_EQ(h.boxes(), Lines("{192}", &h)) << fields;
        const auto own = h.own(from);
        ASSERT_GE(own.size(), 2u);
        EXPECT_EQ(own[own.size() - 2], h.mis(message)) << fields;
        EXPECT_EQ(h.logHas("WriteKeyE2P"), message == 188) << fields;
        EXPECT_EQ(Harness::blockHex(*card, 4), Z32) << fields;
        EXPECT_EQ(Harness::blockHex(*card, 7), kFactoryTrailer) << fields;
    }
}

// Stop at every wait. Where the run listens it logs 177 and ends at once; elsewhere it goes on to its
// own end (a card made, or the failure) without 177 and stops before the next type. Halt's wait runs
// its own course, Stop or not.
TEST_F(Encoder, StopAtEachWait) {
    // The request the fault strikes on its nth use (none: no card is laid), the fault and its value,
    // the line after which Stop is pressed, the message the run ends with (0: the card is made).
    using FK = sim::FaultKind;
    const std::tuple<std::uint8_t, int, FK, int, std::string, int> cases[] = {
        {0, 0, FK::NoAnswer, 0, "{176}: ALTA", 177},
        {kSelect, 1, FK::NoAnswer, 0, "Select", 177},
        {kLogin, 1, FK::NoAnswer, 0, "Login", 177},
        {kWrite, 1, FK::NoAnswer, 0, "Write Block: 04---4500000001" + F22, 177},
        {kStartUp, 1, FK::SplitBytes, 200'000, "StartUp", 0},
        {kWriteKey, 1, FK::NoAnswer, 0, "WriteKeyE2P", 186},
        {kHalt, 1, FK::Garbage, 0, "Led green", 0},
        {kHalt, 1, FK::NoAnswer, 0, "Halt", 280}};
    only(10);
    for (const auto& [code, nth, fault, value, line, ends] : cases) {
        const auto after = Lines(line, &h)[0];
        SCOPED_TRACE(after);
        if (code != 0) h.reader.faults().nth(code, fault, nth, value);
        const auto from = h.lines.size();
        h.click("cmdStart(1)");
        const auto card = code != 0 ? h.fresh() : nullptr;
        ASSERT_TRUE(h.runUntil([&] { return h.own(from).size() && h.own(from).back() == after; }));
        if (ends == 177) h.runFor(0.2);  // Stop comes while the run sits in that wait
        EXPECT_TRUE(h.click("cmdStop(1)"));
        EXPECT_EQ(h.idle(), ends == 177);
        if (ends == 280) {
            h.runFor(1);
            EXPECT_FALSE(h.logHas(h.mis(280))) << "Stop cut the Halt wait short";
        }
        ASSERT_TRUE(h.runUntilIdle());
        const auto own = h.own(from);
        EXPECT_EQ(std::count(own.begin(), own.end(), h.mis(177)), ends == 177 ? 1 : 0);
        if (ends == 177) {
            EXPECT_EQ(std::vector(own.end() - 2, own.end()), Lines("{177}|" + std::string(60, '-'), &h));
        } else {
            EXPECT_TRUE(ends == 0 || h.logHas(h.mis(ends)));
            EXPECT_EQ(Harness::blockHex(*card, 4), ends == 186 ? Z32 : "4500000001" + F22);
            EXPECT_EQ(h.m().cSelTar(11).foreColor(), code == kStartUp ? kDarkYellow : kBlack);
        }
        h.removeCard();
    }
    EXPECT_EQ(h.boxes(), Lines("{191}", &h));
    EXPECT_TRUE(h.m().cmdStart(0).enabled());
}

// The type boxes, through the window's clicks (the node lists: the USUARIO AVANZADO rows above).
TEST(Selection, Boxes) {
    Harness h;
    h.load();
    auto& m = h.m();
    auto ticked = [&] {
        std::string s;
        for (int i : m.cSelTar.indexes()) s += m.cSelTar(i).value() == 1 ? std::to_string(i) + " " : "";
        return s;
    };
    const std::string generic = "10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 ";
    EXPECT_EQ(ticked(), "0 1 " + generic + "30 ");
    for (int u : {31, 32, 30}) {
        m.cSelTar(u).setValue(1);
        EXPECT_EQ(ticked(), "0 1 " + generic + std::to_string(u) + " ");
    }
    m.cSelTar(30).setValue(0);  // cleared by hand: no user type at all
    m.cSelTar(0).setValue(0);
    h.click("cmdDeSel");
    EXPECT_EQ(ticked(), "1 ");
    h.click("cmdSelTot");
    EXPECT_EQ(ticked(), "1 " + generic);
}

}  // namespace
}  // namespace zt::test
