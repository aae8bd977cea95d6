// The read run end to end: the window logic on the virtual clock, the simulated reader on COM 1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/harness.h"

namespace zt::test {
namespace {

const std::string F22(22, 'F'), Z32(32, '0');

struct ReadRun : ::testing::Test {
    Harness h;
    std::size_t mark = 0, sentMark = 0;
    void SetUp() override {
        h.load();
        h.openCom();
    }
    std::string invite() { return std::string(20, '-') + " " + h.mis(197) + " " + std::string(20, '-'); }
    // Presses Start and lets the run get to its first wait for a card (or to its end); the fields
    // `typed` are typed in while the run stores its keys.
    void start(const std::string& typed = "") {
        mark = h.lines.size();
        sentMark = h.sent().size();
        const auto n = h.count(invite());
        ASSERT_TRUE(h.click("cmdLecTar"));
        h.set(typed);
        ASSERT_TRUE(h.runUntil([&] { return h.count(invite()) > n || h.idle(); }));
    }
    // A card whose sector opens with key A `key` and holds `blocks` ("hex|hex|hex"), read until the
    // run waits for the next card.
    std::shared_ptr<sim::Card> read(int sector, const std::string& key, const std::string& blocks) {
        auto card = std::make_shared<sim::Card>(sim::Card::blank(sim::CardKind::Classic1K, {0x1A, 0x2B, 0x3C, 0x4D}));
        const auto b = Lines(blocks);
        for (int i = 0; i < 3; ++i) Harness::setBlock(*card, 4 * sector + i, b[static_cast<std::size_t>(i)]);
        Harness::setBlock(*card, 4 * sector + 3, key + "FF078069FFFFFFFFFFFF");
        h.removeCard();
        h.present(card);
        const auto n = h.count(invite());
        EXPECT_TRUE(h.runUntil([&] { return h.count(invite()) > n; }));
        return card;
    }
    void stop() {
        ASSERT_TRUE(h.click("cmdStop(3)"));
        ASSERT_TRUE(h.runUntilIdle());
    }
    // The run's own lines since start(), "{n}" for message n and "I" for the invitation.
    std::vector<std::string> want(const std::string& lines) {
        auto out = Lines(lines, &h);
        for (auto& l : out)
            if (l == "I") l = invite();
        return out;
    }
    static std::string readLines(const std::string& b0, const std::string& b1, const std::string& b2) {
        return "|ReadBlock[0]|Read Block[0]: " + b0 + "|ReadBlock[1]|Read Block[1]: " + b1 + "|ReadBlock[2]|Read Block[2]: " + b2;
    }
    const std::string ident = "ATQA:  04 00  --  UID:  1A 2B 3C 4D|Select|Led yellow On";
};

// The test keys tried in turn, each on the card's next report; the card halted and not seen again.
// Keys typed while the run is on reach neither the run nor the keys it shows, until it ends.
TEST_F(ReadRun, KeysTriedInTurnThenTheCardIsShownAndSignalled) {
    const std::string b0 = "1012340577" + F22, b1 = "00112233445566778899AABBCCDDEEFF", none = "123456789ABC";
    const std::string keys[] = {"A0A1A2A3A4A5", "B0B1B2B3B4B5", "C0C1C2C3C4C5"};
    // The key that opens the card (none: 0) and its sector, the lines after the first Login, the Login
    // and Read payloads, the LEDs.
    const std::tuple<int, int, std::string, const char*, const char*, const char*> cases[] = {
        {1, 1, readLines(b0, b1, Z32) + "|Halt|Led green", "04 00 07", "04|05|06", "01 00|00 32|02 0A"},
        {2, 3, "|" + ident + "|Login[2]" + readLines(b0, b1, Z32) + "|Halt|Led green", "04 00 07|0C 00 08",
         "0C|0D|0E", "01 00|00 32|02 0A"},
        {0, 1, "|" + ident + "|Login[2]|" + ident + "|Login[3]|" + ident + "|Halt|Led red",
         "04 00 07|04 00 08|04 00 09", "", "01 32|00 00|02 0A"}};
    for (const auto& [opens, sector, lines, logins, reads, leds] : cases) {
        SCOPED_TRACE(opens);
        h.set("txtKeyMF=" + keys[0] + "|txtOldKeyMF=" + keys[1] + "|txtKeyTar=" + keys[2] +
              "|txtOldSector=" + std::to_string(sector));
        start("txtKeyTar=444444444444|txtOldKeyMF=555555555555");
        const auto card = read(sector, opens ? keys[opens - 1] : none, b0 + "|" + b1 + "|" + Z32);
        EXPECT_EQ(h.own(mark), want("WriteKeyE2P[7]|WriteKeyE2P[8]|WriteKeyE2P[9]|I|" + ident + "|Login[1]" +
                                    lines + "|Beeper|I"));
        EXPECT_EQ(h.payloads(kWriteKey, sentMark),
                  Lines("07 A0 A1 A2 A3 A4 A5|08 B0 B1 B2 B3 B4 B5|09 C0 C1 C2 C3 C4 C5"));
        EXPECT_EQ(h.payloads(kDOutPerm, sentMark)[1], "01 FF");
        EXPECT_EQ(h.payloads(kLogin, sentMark), Lines(logins));
        EXPECT_EQ(h.payloads(kRead, sentMark), Lines(reads));
        EXPECT_EQ(h.payloads(kDOutTemp, sentMark), Lines(leds));
        auto& m = h.m();
        EXPECT_EQ(m.txtInfoCard.text(), opens ? h.mis(206) + " - 057" : "----");
        const std::string key = opens ? keys[opens - 1] : "------------";
        const std::string sec = opens ? std::to_string(sector) : "--";
        EXPECT_EQ(m.txtInfoInst.text(), h.mis(198) + ": " + (opens ? "1234" : "----"));
        EXPECT_EQ(m.txtInfoKey.text(), h.mis(199) + ": " + key + "     " + h.mis(200) + ": " + sec);
        EXPECT_EQ(m.txtInfoRead(1).text(), opens ? b1 : "");
        for (int k = 0; k < 3; ++k) EXPECT_EQ(m.txtUsaKey(k).text(), keys[k]);
        EXPECT_EQ(card->state(), sim::CardState::Halted);
        // The halted card is not seen again; the run waits until Stop.
        const auto n = h.own().size();
        h.runFor(5);
        EXPECT_EQ(h.own().size(), n);
        stop();
        EXPECT_EQ(h.logFrom(h.log().size() - 2), want("{177}|" + std::string(60, '-')));
        h.m().txtKeyTar.setText("666666666666");
        EXPECT_EQ(h.m().txtUsaKey(2).text(), "666666666666");
    }
}

// The read tab shows the type and installation of the first block, also for codes the encoding run
// never writes.
TEST_F(ReadRun, FirstBlockInWords) {
    const std::pair<const char*, const char*> cases[] = {
        {"1300003210", "{209} - 321|{198}: 0000"}, {"6912340206", "{201}|{198}: 1234"},
        {"53ABCD0000", "{203}|{198}: ABCD"},       {"5500000000", "{205}|{198}: 0000"},
        {"0000000000", "{216}|{198}: 0000"},       {"99ABCD0000", "{216}|{198}: ABCD"},
        {"1A00000000", "{216}|{198}: 0000"}};
    start();
    for (const auto& [block, shown] : cases) {
        read(1, "FFFFFFFFFFFF", block + F22 + "|" + Z32 + "|" + Z32);
        EXPECT_EQ(Lines(h.m().txtInfoCard.text() + "|" + h.m().txtInfoInst.text()), want(shown)) << block;
    }
}

// The sector box addresses Login and Read; a sector whose blocks do not fit in a byte never leaves.
TEST_F(ReadRun, SectorBoxAddressesLoginAndBlocks) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"0", "00 00 07", "00|01|02"}, {"15", "3C 00 07", "3C|3D|3E"}, {"64", "", ""}, {"-1", "", ""}, {"99999", "", ""}};
    for (const auto& [sector, login, reads] : cases) {
        SCOPED_TRACE(sector);
        h.m().txtSector.setText(sector);
        start();
        h.removeCard();
        h.present();
        const auto n = h.count(invite());
        ASSERT_TRUE(h.runUntil([&] { return h.count(invite()) > n; }));
        EXPECT_EQ(h.payloads(kLogin, sentMark), Lines(login));
        EXPECT_EQ(h.payloads(kRead, sentMark), Lines(reads));
        if (!*login) {
            EXPECT_EQ(h.own(mark), want("WriteKeyE2P[7]|WriteKeyE2P[8]|WriteKeyE2P[9]|I|" + ident + "|Login[1]|{282}|Halt|Led red|Beeper|I"));
        }
        stop();
    }
}

// Card reports made by hand: every length the reader may send. No card lies on the reader: nothing
// answers the Select.
TEST_F(ReadRun, IdentificationLineFollowsTheCardReport) {
    const std::pair<const char*, const char*> cases[] = {
        {"02 90 02 00 55 E7 03", "UID: "},
        {"02 90 05 01 1A 2B 3C 4D 64 03", "UID:  1A 2B 3C 4D"},
        {"02 90 07 A1 04 00 1A 2B 3C 4D 0A 03", "ATQA:  04 00  --  UID:  1A 2B 3C 4D"},
        {"02 90 08 02 01 02 03 04 05 06 07 B6 03", "UID:  01 02 03 04 05 06 07"},
        {"02 90 0A A2 44 00 01 02 03 04 05 06 07 9C 03", "ATQA:  44 00  --  UID:  01 02 03 04 05 06 07"},
        {"02 90 0B 03 01 02 03 04 05 06 07 08 09 0A D5 03", "UID:  01 02 03 04 05 06 07 08 09 0A"},
        {"02 90 0D A3 42 00 01 02 03 04 05 06 07 08 09 0A B9 03",
         "ATQA:  42 00  --  UID:  01 02 03 04 05 06 07 08 09 0A"}};
    start();
    for (const auto& [report, line] : cases) {
        const std::size_t from = h.lines.size();
        const auto n = h.count(invite());
        h.serial.deliver(hexBytes(report));
        ASSERT_TRUE(h.runUntil([&] { return h.count(invite()) > n; }));
        const auto own = h.own(from);
        EXPECT_EQ(std::vector(own.begin(), own.begin() + 3), Lines(line + std::string("|Select|Select Error: 0")));
    }
}

TEST_F(ReadRun, RefusedKeyEndsTheRunBeforeAnythingIsSent) {
    const std::tuple<const char*, const char*, const char*, int> cases[] = {
        {"0123456789ab", "FFFFFFFFFFFF", "FFFFFFFFFFFF", 193}, {"~", "~", "~", 193},
        {"FFFFFFFFFFFF", "FFFFFFFFFFF", "FFFFFFFFFFFF", 194},  {"FFFFFFFFFFFF", "ffffffffffff", "FFFFFFFFFFFF", 194},
        {"FFFFFFFFFFFF", "FFFFFFFFFFFF", "FFFFFFFFFFFFF", 195}, {"FFFFFFFFFFFF", "FFFFFFFFFFFF", "FFFFFFFFFFG0", 195}};
    for (const auto& [k1, k2, k3, message] : cases) {
        h.set(std::string("txtKeyMF=") + k1 + "|txtOldKeyMF=" + k2 + "|txtKeyTar=" + k3);
        start();
        EXPECT_EQ(h.own(mark), want("{" + std::to_string(message) + "}|" + std::string(60, '-'))) << k1 << k2 << k3;
        EXPECT_EQ(h.sent().size(), sentMark);
        EXPECT_TRUE(h.idle());
        EXPECT_EQ(h.m().txtUsaKey(1).text(), h.m().txtOldKeyMF.text());
    }
}

TEST_F(ReadRun, StopEndsTheRunAtTheWaitsThatLookAtIt) {
    // Request left unanswered (none: the wait for a card), line after which Stop is pressed, last lines.
    const std::string d = "|" + std::string(60, '-');
    const std::tuple<std::uint8_t, std::string, std::string> cases[] = {
        {0, "I", "I|{177}" + d}, {kSelect, "Select", "Select|Error de Select|Halt|Led red|Beeper" + d},
        {kRead, "ReadBlock[0]", "ReadBlock[0]|Halt|Led red|Beeper" + d}};
    for (const auto& [silent, stopAfter, tail] : cases) {
        SCOPED_TRACE(stopAfter);
        if (silent != 0) h.reader.faults().always(silent, sim::FaultKind::NoAnswer);
        start();
        h.present();
        const auto after = want(stopAfter)[0];
        ASSERT_TRUE(h.runUntil([&] { return h.own(mark).back() == after; }));
        stop();
        const auto own = h.own(mark), end = want(tail);
        ASSERT_GE(own.size(), end.size());
        EXPECT_EQ(std::vector<std::string>(own.end() - static_cast<std::ptrdiff_t>(end.size()), own.end()), end);
        EXPECT_EQ(std::count(own.begin(), own.end(), h.mis(177)), silent == 0 ? 1 : 0);
        h.reader.faults().clearAll();
        h.removeCard();
    }
}

}  // namespace
}  // namespace zt::test
