// The encoding run end to end: the window logic on the virtual clock against the simulated reader.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/encode/selection.h"
#include "support/harness.h"

namespace zt::test {
namespace {

using CardPtr = std::shared_ptr<sim::Card>;
const std::string F22(22, 'F');
const std::string Zero32(32, '0');
const std::string kFactoryTrailer = "FFFFFFFFFFFFFF078069FFFFFFFFFFFF";
const std::string kWrittenTrailer = "FFFFFFFFFFFFFF0780FFFFFFFFFFFFFF";

constexpr std::uint8_t kSelect = 0x11, kHalt = 0x12, kWriteKey = 0x20, kLogin = 0x21, kWrite = 0x23;

class EncodeRun : public ::testing::Test {
public:
    Harness h;
    int uidSeed = 0;

    void SetUp() override {
        h.load();
        h.openCom();
    }

    bool idle() { return h.st().ActiveRun == kNoRun; }
    const std::string& lastLine() const { return h.log().back(); }
    bool finish(double seconds = 60) {
        return h.runUntil([&] { return idle(); }, seconds);
    }
    // Only `index` ticked among the boxes of its tab.
    void only(int index) {
        for (int i : h.m().cSelTar.indexes()) {
            const bool sameTab = (i < 10) == (index < 10) && (i >= 30) == (index >= 30);
            if (sameTab) h.m().cSelTar(i).setValue(i == index ? 1 : 0);
        }
    }
    CardPtr fresh() {
        ++uidSeed;
        return h.present(sim::CardKind::Classic1K, {0x10, 0x20, 0x30, static_cast<std::uint8_t>(uidSeed)});
    }
    // Starts a run and lays a fresh card on the reader whenever it waits for one, until it ends.
    std::vector<CardPtr> run(const std::string& start, int maxCards = 20) {
        std::vector<CardPtr> cards;
        h.click(start);
        while (!idle() && static_cast<int>(cards.size()) < maxCards) {
            // After "Beeper" or a failure box the run either ends or waits for the next card.
            const auto beeps = count("Beeper");
            cards.push_back(fresh());
            h.runUntil([&] { return idle() || count("Beeper") > beeps || h.box.open > 0; });
            h.runUntil([&] { return idle() || h.box.open == 0; });
        }
        EXPECT_TRUE(finish());
        return cards;
    }
    std::string block(const CardPtr& c, int n) const { return Harness::blockHex(*c, n); }
    std::size_t count(const std::string& line) const {
        return static_cast<std::size_t>(std::count(h.log().begin(), h.log().end(), line));
    }
    std::vector<std::string> boxes() const {
        std::vector<std::string> out;
        for (const auto& b : h.box.shown) out.push_back(b.text);
        return out;
    }
    void permit(const std::vector<int>& nodes) {
        for (int n : nodes) {
            const auto& items = h.m().listNoPermit.items();
            const auto it = std::find(items.begin(), items.end(), NodeEntry(n));
            h.m().listNoPermit.setListIndex(static_cast<int>(it - items.begin()));
            h.click("cAddListPermit");
        }
    }
};

// ---- Worked contents, read back from the card ----

struct Worked {
    const char* name;
    int type;
    std::vector<std::pair<const char*, const char*>> fields;  // text, or tick state of a check box
    std::map<int, std::string> blocks;                        // block number -> contents
    std::vector<int> permitted = {};
};
// Named in test output by its name alone (its raw bytes include padding).
void PrintTo(const Worked& w, std::ostream* os) { *os << w.name; }

class WorkedResults : public EncodeRun, public ::testing::WithParamInterface<Worked> {};

TEST_P(WorkedResults, WrittenOnTheCard) {
    const auto& w = GetParam();
    only(w.type);
    for (const auto& [name, value] : w.fields) {
        Control* c = h.m().find(name);
        ASSERT_NE(c, nullptr) << name;
        if (c->kind() == Kind::CheckBox)
            c->setValue(std::stoi(value));
        else
            c->setText(value);
    }
    permit(w.permitted);
    const auto cards = run(w.type < 10 ? "cmdStart(0)" : w.type < 30 ? "cmdStart(1)" : "cmdStart(2)");
    ASSERT_EQ(cards.size(), 1u);
    for (const auto& [n, hex] : w.blocks) EXPECT_EQ(block(cards[0], n), hex) << "block " << n;
    EXPECT_EQ(h.m().cSelTar(w.type).foreColor(), kGreen);
}

const std::string kUser0 = "1000000009" + F22;
const std::string kKeyA0 = "A0A1A2A3A4A5FF0780FFFFFFFFFFFFFF";
INSTANTIATE_TEST_SUITE_P(
    Cards, WorkedResults,
    ::testing::Values(
        // clang-format off
        Worked{"Basic000", 30, {}, {{4, kUser0}, {5, Zero32}, {7, kWrittenTrailer}}},
        Worked{"Basic1234_57", 30, {{"txtNumInst", "1234"}, {"txtUser", "57"}}, {{4, "1012340577" + F22}}},
        // The trailer carries the installation key, not the key that opened the card.
        Worked{"AltaOwnKey", 10, {{"txtKeyMF", "A1B2C3D4E5F6"}},
               {{4, "4500000001" + F22}, {7, "A1B2C3D4E5F6FF0780FFFFFFFFFFFFFF"}}},
        Worked{"Nuevo", 14, {}, {{4, "4700009992" + F22}}},
        Worked{"Num5", 20, {{"txtNumInst", "4321"}}, {{4, "8300005004" + F22}}},
        // MASTER: the current key and sector (2) on the card, the new installation inside it.
        Worked{"Master", 0, {{"txtNumInst", "1234"}, {"txtOldKeyMF", "A0A1A2A3A4A5"}, {"txtOldSector", "2"}},
               {{8, "69000002031234FFFFFFFFFFFF000141"}, {11, kKeyA0}, {4, Zero32}, {7, kFactoryTrailer}}},
        // A short current code: no data block, the trailer all the same.
        Worked{"MasterWrongLength", 0, {{"txtOldNumInst", "000"}, {"txtOldKeyMF", "A0A1A2A3A4A5"}},
               {{4, Zero32}, {7, kKeyA0}}},
        Worked{"Config", 1, {}, {{4, "52000002011010000002001000005082"}, {5, Zero32}}},
        Worked{"ConfigRelayFrame", 1, {{"chkCfgRelExt", "1"}},
               {{4, "52000002011010000002001014005096"}, {5, "0234303030303230303041463703FFFF"},
                {6, std::string(32, 'F')}}},
        Worked{"Advanced1_2_9", 31, {}, {{4, "1100000008" + F22}, {5, "0602" + std::string(28, '0')}, {6, Zero32}},
               {9, 1, 2}},
        Worked{"Advanced0_255", 31, {}, {{5, "01" + std::string(30, '0')}, {6, std::string(30, '0') + "80"}},
               {0, 255}},
        Worked{"Saldo500", 32, {},
               {{4, "1200000007" + F22}, {5, "F40100000BFEFFFFF401000006F906F9"},
                {6, "F40100000BFEFFFFF401000005FA05FA"}}},
        Worked{"Saldo500Sector2", 32, {{"txtSector", "2"}},
               {{8, "1200000007" + F22}, {9, "F40100000BFEFFFFF40100000AF50AF5"},
                {10, "F40100000BFEFFFFF401000009F609F6"}, {11, kWrittenTrailer}, {4, Zero32}}},
        Worked{"Saldo0", 32, {{"txtSalVal", "0"}}, {{5, "00000000FFFFFFFF0000000006F906F9"}}},
        Worked{"SaldoMinus1", 32, {{"txtSalVal", "-1"}},
               {{5, "FFFFFFFF00000000FFFFFFFF06F906F9"}, {6, "FFFFFFFF00000000FFFFFFFF05FA05FA"}}},
        Worked{"Saldo100000Sector2", 32, {{"txtSalVal", "100000"}, {"txtSector", "2"}},
               {{9, "A08601005F79FEFFA08601000AF50AF5"}, {10, "A08601005F79FEFFA086010009F609F6"}}}),
    // clang-format on
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(EncodeRun, MasterLoadsTheLoginKeyIntoSlot6) {
    only(0);
    h.m().txtKeyTar.setText("0123456789AB");
    const auto card = fresh();
    // A card that opens with that key only.
    card->setBlock(7, sim::Block{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xFF, 0x07, 0x80, 0x69, 0xFF, 0xFF, 0xFF,
                                 0xFF, 0xFF, 0xFF});
    h.click("cmdStart(0)");
    ASSERT_TRUE(h.runUntil([&] { return card->state() == sim::CardState::Halted; }));
    EXPECT_EQ(h.reader.keys().get(6), (sim::Key{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB}));
    EXPECT_EQ(h.reader.keys().get(5), (sim::Key{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

// ---- One card, line by line and frame by frame ----

TEST_F(EncodeRun, WholeLogAndFramesOfOneBasicCard) {
    const auto from = h.log().size();
    const auto sentFrom = h.sent().size();
    h.click("cmdStart(2)");
    ASSERT_TRUE(h.runUntil([&] { return h.logHas("AnsStartUp"); }));
    fresh();
    ASSERT_TRUE(finish());
    h.runFor(1);
    const std::string dashes(60, '-');
    const std::vector<std::string> expected = {dashes,
                                               "TestNodeLink",
                                               ">>> AnsTestLink",
                                               "AnsTestLink",
                                               "StartUp",
                                               ">>> AnsStartUp",
                                               "AnsStartUp",
                                               dashes,
                                               h.mis(176) + ": USUARIO BASICO - 000",
                                               ">>> AnsGetUID:  0xA1 0x04 0x00 0x10 0x20 0x30 0x01",
                                               "ATQA:  04 00",
                                               "UID:  10 20 30 01",
                                               "Select",
                                               ">>> AnsSelect: 0x01",
                                               h.mis(181),
                                               "Led yellow On",
                                               "WriteKeyE2P",
                                               ">>> AnsDOutPerm",
                                               ">>> AnsDOutPerm",
                                               ">>> AnsWriteKeyE2P: 0x00",
                                               "AnsWriteKey",
                                               "Login",
                                               ">>> AnsLogin: 0x00",
                                               "AnsLogin",
                                               "Write Block: 04---1000000009FFFFFFFFFFFFFFFFFFFFFF",
                                               ">>> AnsWrite: 0x00",
                                               "AnsWrite",
                                               "Write Protection Block: 07",
                                               ">>> AnsWrite: 0x00",
                                               "AnsWrite",
                                               "Halt",
                                               ">>> AnsHalt: 0x00",
                                               "Led green",
                                               ">>> AnsDOutTemp",
                                               ">>> AnsDOutTemp",
                                               "Beeper",
                                               dashes,
                                               ">>> AnsDOutTemp"};
    EXPECT_EQ(h.logFrom(from), expected);

    const std::vector<std::string> frames = {
        "02 00 00 00 03",
        "02 01 00 01 03",
        "02 11 00 11 03",
        "02 07 02 00 FF 08 03",
        "02 07 02 01 FF 09 03",
        "02 20 07 05 FF FF FF FF FF FF 26 03",
        "02 21 03 04 00 05 2D 03",
        "02 23 11 04 10 00 00 00 09 FF FF FF FF FF FF FF FF FF FF FF 46 03",
        "02 23 11 07 FF FF FF FF FF FF FF 07 80 FF FF FF FF FF FF FF B4 03",
        "02 12 00 12 03",
        "02 06 02 01 00 09 03",
        "02 06 02 00 32 3A 03",
        "02 06 02 02 0A 14 03"};
    const auto sent = h.sent();
    ASSERT_EQ(sent.size() - sentFrom, frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(sent[sentFrom + i], hexBytes(frames[i])) << i;
}

TEST_F(EncodeRun, SkippedWrittenAndFailedColours) {
    h.click("cmdDeSel");
    h.m().cSelTar(10).setValue(1);
    h.m().cSelTar(14).setValue(1);
    const auto cards = run("cmdStart(1)");
    EXPECT_EQ(cards.size(), 2u);
    for (int i = 10; i <= 24; ++i)
        EXPECT_EQ(h.m().cSelTar(i).foreColor(), i == 10 || i == 14 ? kGreen : kDarkYellow) << i;
    EXPECT_EQ(h.m().cSelTar(0).foreColor(), kDefaultColour);  // other tabs untouched
}

TEST_F(EncodeRun, NoBoxTickedStillTestsTheLink) {
    h.click("cmdDeSel");
    const auto from = h.log().size();
    EXPECT_TRUE(run("cmdStart(1)").empty() || idle());
    EXPECT_TRUE(h.logHas("AnsStartUp"));
    EXPECT_EQ(h.logFrom(from).size(), 9u);  // dashes, link test, start-up, dashes
    for (int i = 10; i <= 24; ++i) EXPECT_EQ(h.m().cSelTar(i).foreColor(), kDarkYellow);
}

// ---- Batches of user cards ----

TEST_F(EncodeRun, BatchesNumberTheUsers) {
    struct Case {
        const char* numTar;
        const char* user;
        std::vector<std::string> values;  // value fields on the cards
        const char* after;
    };
    const Case cases[] = {
        {"3", "005", {"005", "006", "007"}, "7"},
        {"0", "005", {"005"}, "005"},
        {"", "005", {"005"}, "005"},
        {"2", "999", {"999", "000"}, "1000"},
    };
    for (const auto& c : cases) {
        h.m().txtNumTar.setText(c.numTar);
        h.m().txtUser.setText(c.user);
        const auto cards = run("cmdStart(2)");
        ASSERT_EQ(cards.size(), c.values.size()) << c.numTar;
        for (std::size_t i = 0; i < cards.size(); ++i)
            EXPECT_EQ(block(cards[i], 4).substr(6, 3), c.values[i]) << c.numTar << " card " << i;
        EXPECT_EQ(h.m().txtUser.text(), c.after);
    }
    EXPECT_TRUE(h.logHas(h.mis(176) + ": USUARIO BASICO - 6"));
}

// ---- Fields the run refuses ----

// A field that cannot go on the card: the message, box 192 and the end of the run, with the trailer
// untouched. Only a data block that is not hex is noticed after the key went to the reader.
struct Refusal {
    const char* name;
    std::function<void(EncodeRun&)> set;
    int message;
};
void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class Refused : public EncodeRun, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refused, LogBoxAndEnd) {
    const auto& r = GetParam();
    h.m().txtNumTar.setText("2");
    r.set(*this);
    const auto from = h.log().size();
    const auto cards = run("cmdStart(2)");
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(boxes(), std::vector<std::string>{h.mis(192)});
    std::vector<std::string> own;  // the run's lines without the decoded answers
    for (const auto& l : h.logFrom(from))
        if (!l.starts_with(">>> ")) own.push_back(l);
    ASSERT_GE(own.size(), 2u);
    EXPECT_EQ(own[own.size() - 2], h.mis(r.message));
    EXPECT_EQ(own.back(), std::string(60, '-'));
    EXPECT_EQ(h.logHas("WriteKeyE2P"), r.message == 188);
    EXPECT_EQ(block(cards[0], 4), Zero32);
    EXPECT_EQ(block(cards[0], 7), kFactoryTrailer);
}

auto field(Control FormModel::*c, const char* text) {
    return [=](EncodeRun& r) { (r.h.m().*c).setText(text); };
}

INSTANTIATE_TEST_SUITE_P(
    Table, Refused,
    ::testing::Values(Refusal{"KeyTarNotHex", field(&FormModel::txtKeyTar, "FFFFFFFFFFFf"), 184},
                      Refusal{"KeyMFShort", field(&FormModel::txtKeyMF, "FFFFFFFFFFF"), 185},
                      Refusal{"SectorTooHigh", field(&FormModel::txtSector, "64"), 282},
                      Refusal{"SectorNegative", field(&FormModel::txtSector, "-1"), 282},
                      Refusal{"SectorBeyond16Bits", field(&FormModel::txtSector, "&H10000"), 282},
                      Refusal{"UserBeyond16Bits", field(&FormModel::txtUser, "32768"), 291},
                      Refusal{"CardCountBeyond16Bits", field(&FormModel::txtNumTar, "&H8000"), 290},
                      Refusal{"BalanceBeyond32Bits",
                              [](EncodeRun& r) {
                                  r.only(32);
                                  r.h.m().txtSalVal.setText("3000000000");
                              },
                              281},
                      Refusal{"BlockNotHex", field(&FormModel::txtNumInst, "00G0"), 188}),
    [](const auto& p) { return std::string(p.param.name); });

// A card that fails: red box, green LED off while the failure box is up, red LED after it, and the
// same type waits for the next card under the same heading.
TEST_F(EncodeRun, CardFailureSignalsAndWaitsForTheNextCard) {
    h.reader.faults().next(kWrite, sim::FaultKind::NoAnswer);
    h.click("cmdStart(2)");
    fresh();
    ASSERT_TRUE(h.runUntil([&] { return h.box.open > 0; }));
    EXPECT_EQ(h.sent().back(), hexBytes("02 06 02 00 00 08 03"));
    ASSERT_TRUE(h.runUntil([&] { return h.box.open == 0; }));
    h.runFor(0.1);
    EXPECT_EQ(h.sent().back(), hexBytes("02 06 02 01 0A 13 03"));
    EXPECT_EQ(count(h.mis(176) + ": USUARIO BASICO - 000"), 2u);
    EXPECT_FALSE(idle());
}

// Stop at every wait that listens to it: the run logs 177 and ends, no box.
TEST_F(EncodeRun, StopAtEachWait) {
    struct Case {
        std::uint8_t code;  // request left unanswered (0: none, the wait for a card)
        int nth;
        std::string waitingAfter;
    };
    const Case cases[] = {
        {0, 0, h.mis(176) + ": USUARIO BASICO - 000"},
        {kSelect, 1, "Select"},
        {kLogin, 1, "Login"},
        {kWrite, 1, "Write Block: 04---1000000009" + F22},
        {kWrite, 2, "Write Protection Block: 07"},
    };
    for (const auto& c : cases) {
        if (c.code != 0) h.reader.faults().nth(c.code, sim::FaultKind::NoAnswer, c.nth);
        h.click("cmdStart(2)");
        if (c.code != 0) fresh();
        ASSERT_TRUE(h.runUntil([&] { return lastLine() == c.waitingAfter; })) << c.waitingAfter;
        h.runFor(0.2);
        EXPECT_EQ(lastLine(), c.waitingAfter);
        EXPECT_TRUE(h.click("cmdStop(2)"));
        EXPECT_TRUE(idle());
        const auto tail = h.logFrom(h.log().size() - 2);
        EXPECT_EQ(tail, (std::vector<std::string>{h.mis(177), std::string(60, '-')})) << c.waitingAfter;
        h.removeCard();
    }
    EXPECT_TRUE(h.box.shown.empty());
}

// Stop once the card is written: Halt's wait gives up (280), the card is finished and the run
// ends before the next type, without message 177.
TEST_F(EncodeRun, StopAfterTheWritesEndsBeforeTheNextType) {
    for (const char* after : {"Halt", "Led green"}) {
        const bool atHalt = std::string(after) == "Halt";
        if (atHalt) h.reader.faults().next(kHalt, sim::FaultKind::HaltRefused);
        only(10);
        h.m().cSelTar(14).setValue(1);
        const auto from = h.log().size();
        h.click("cmdStart(1)");
        fresh();
        ASSERT_TRUE(h.runUntil([&] { return lastLine() == after; }));
        h.click("cmdStop(1)");
        ASSERT_TRUE(finish());
        const auto log = h.logFrom(from);
        EXPECT_EQ(std::count(log.begin(), log.end(), h.mis(280)), atHalt ? 1 : 0);
        EXPECT_EQ(std::count(log.begin(), log.end(), h.mis(177)), 0);
        EXPECT_TRUE(h.logHas("Beeper"));
        EXPECT_EQ(h.m().cSelTar(10).foreColor(), kGreen);
        EXPECT_EQ(h.m().cSelTar(11).foreColor(), kBlack);
    }
}

// Stop before the start-up answer and during the key's and Halt's waits is not heard: the wait runs
// its course and the run goes on to its own end (a card made, or the key's failure), without 177.
TEST_F(EncodeRun, StopWhereTheRunDoesNotListen) {
    struct Case {
        std::uint8_t code;
        sim::FaultKind fault;
        int value;
        const char* stopAfter;
        int logged;  // message the wait ends with once its ticks have run (0: none)
        bool made;
    };
    const Case cases[] = {{0x01, sim::FaultKind::SplitBytes, 200'000, "StartUp", 0, true},
                          {kWriteKey, sim::FaultKind::NoAnswer, 0, "WriteKeyE2P", 186, false},
                          {kHalt, sim::FaultKind::NoAnswer, 0, "Halt", 280, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopAfter);
        h.reader.faults().next(c.code, c.fault, c.value);
        const auto from = h.log().size();
        h.click("cmdStart(2)");
        const auto card = fresh();
        ASSERT_TRUE(h.runUntil([&] {
            const auto log = h.logFrom(from);
            return std::find(log.begin(), log.end(), c.stopAfter) != log.end();
        }));
        h.click("cmdStop(2)");
        h.runFor(1.0);
        EXPECT_TRUE(c.logged == 0 || !h.logHas(h.mis(c.logged))) << "Stop cut the wait short";
        ASSERT_TRUE(finish());
        EXPECT_FALSE(h.logHas(h.mis(177)));
        EXPECT_TRUE(c.logged == 0 || h.logHas(h.mis(c.logged)));
        EXPECT_EQ(block(card, 4), c.made ? "1000000009" + F22 : Zero32);
        h.removeCard();
    }
}

// ---- Controls during a run ----

// The window's controls follow the run (which controls, for which run: log_rules_test.cpp).
TEST_F(EncodeRun, ControlsFollowTheRun) {
    h.click("cmdStart(1)");
    ASSERT_TRUE(h.runUntil([&] { return h.logHas("AnsStartUp"); }));
    EXPECT_TRUE(h.m().cmdStop(1).enabled());
    EXPECT_FALSE(h.click("cmdStart(0)"));
    h.click("cmdStop(1)");
    ASSERT_TRUE(finish());
    EXPECT_TRUE(h.m().cmdStart(0).enabled());
}

}  // namespace
}  // namespace zt::test
