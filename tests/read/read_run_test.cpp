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
        h.box.answer = 0;  // fields as typed: the operator goes on past the Start check
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
    // A card with a 10-byte UID whose sector opens with key A `key` and holds `blocks` ("hex|hex|hex"),
    // read until the run waits for the next card.
    std::shared_ptr<sim::Card> read(int sector, const std::string& key, const std::string& blocks) {
        auto card = std::make_shared<sim::Card>(sim::Card::blank(sim::CardKind::Classic1K, hexBytes(uid10)));
        const auto b = Lines(blocks);
        for (int i = 0; i < 3; ++i) Harness::setBlock(*card, 4 * sector + i, b[static_cast<std::size_t>(i)]);
        Harness::setBlock(*card, 4 * sector + 3, key + "FF078069FFFFFFFFFFFF");
        h.removeCard();
        h.present(card);
        const auto n = h.count(invite());
        EXPECT_TRUE(h.runUntil([&] { return h.count(invite()) > n; }));
        return card;
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
    static constexpr const char* uid10 = "1A 2B 3C 4D 5E 6F 70 81 92 A3";
    const std::string ident = "ATQA:  84 00  --  UID:  " + std::string(uid10) + "|Select|Led yellow On";
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
        {2, 15, "|" + ident + "|Login[2]" + readLines(b0, b1, Z32) + "|Halt|Led green", "04 00 07|3C 00 08",
         "3C|3D|3E", "01 00|00 32|02 0A"},
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
        EXPECT_EQ(m.txtInfoRead(0).text() + m.txtInfoRead(1).text() + m.txtInfoRead(2).text(), opens ? b0 + b1 + Z32 : "");
        EXPECT_EQ(m.txtInfoDetail.text().find(h.mis(338) + ": " + uid10 + "\r\n") != std::string::npos, opens != 0);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(m.txtUsaKey(k).text(), keys[k]);
        EXPECT_EQ(card->state(), sim::CardState::Halted);
        // The halted card is not seen again; the run waits until Stop.
        const auto n = h.own().size();
        h.runFor(5);
        EXPECT_EQ(h.own().size(), n);
        ASSERT_TRUE(h.click("cmdStop(3)"));
        ASSERT_TRUE(h.runUntilIdle());
        EXPECT_EQ(h.logFrom(h.log().size() - 2), want("{177}|" + std::string(60, '-')));
        h.m().txtKeyTar.setText("666666666666");
        EXPECT_EQ(h.m().txtUsaKey(2).text(), "666666666666");
    }
}

// The read tab shows the type and installation of the first block, for every code the encoding run
// writes and for those it never writes.
TEST_F(ReadRun, FirstBlockInWords) {
    const std::pair<const char*, const char*> cases[] = {
        {"1300003210", "{209} - 321|{198}: 0000"}, {"6912340206", "{201}|{198}: 1234"},
        {"53ABCD0000", "{203}|{198}: ABCD"},       {"5500000000", "{205}|{198}: 0000"},
        {"0000000000", "{216}|{198}: 0000"},       {"99ABCD0000", "{216}|{198}: ABCD"},
        {"1A00000000", "{216}|{198}: 0000"},       {"4500070004", "{210}|{198}: 0007"},
        {"4600000000", "{211}|{198}: 0000"},       {"2800000000", "{212}|{198}: 0000"},
        {"2900000009", "{213}|{198}: 0000"},       {"4700009992", "{214}|{198}: 0000"},
        {"8300009000", "{215} 9|{198}: 0000"},     {"5200000201", "{202}|{198}: 0000"},
        {"1100000576", "{207} - 057|{198}: 0000"}, {"1200000007", "{208} - 000|{198}: 0000"}};
    start();
    for (const auto& [block, shown] : cases) {
        read(1, "FFFFFFFFFFFF", block + F22 + "|" + Z32 + "|" + Z32);
        EXPECT_EQ(Lines(h.m().txtInfoCard.text() + "|" + h.m().txtInfoInst.text()), want(shown)) << block;
    }
}

// A test key that is not twelve upper-case hex digits ends the run before anything is sent.
TEST_F(ReadRun, RefusedKeyEndsTheRunBeforeAnythingIsSent) {
    const std::pair<const char*, int> cases[] = {{"txtKeyMF=0123456789ab", 193}, {"txtKeyMF=~", 193},
                                                 {"txtOldKeyMF=FFFFFFFFFFF", 194}, {"txtKeyTar=FFFFFFFFFFG0", 195}};
    for (const auto& [key, message] : cases) {
        h.set(std::string("txtKeyMF=FFFFFFFFFFFF|txtOldKeyMF=FFFFFFFFFFFF|txtKeyTar=FFFFFFFFFFFF|") + key);
        start();
        EXPECT_EQ(h.own(mark), want("{" + std::to_string(message) + "}|" + std::string(60, '-'))) << key;
        EXPECT_EQ(h.sent().size(), sentMark) << key;
    }
}

// Stop is heard at once during the Select and Read waits (the failure ending follows, then the run
// ends without 177); a sector beyond 63 is refused at the login; a 7-byte UID is shown whole.
TEST_F(ReadRun, StopAtItsWaitsSectorRefusalAndLongUid) {
    const std::string end = "|Halt|Led red|Beeper|" + std::string(60, '-');
    const std::tuple<std::uint8_t, const char*, const char*, std::string> cases[] = {
        {kSelect, "", "Select", "Error de Select" + end}, {kRead, "", "ReadBlock[0]", "ReadBlock[0]" + end},
        {0, "txtSector=64", "", "Login[1]|{282}|Halt|Led red|Beeper|I"}};
    for (const auto& [silent, typed, stopAfter, lines] : cases) {
        SCOPED_TRACE(lines);
        if (silent) h.reader.faults().next(silent, sim::FaultKind::NoAnswer);
        h.set(typed);
        start();
        h.present(sim::CardKind::Classic1K, {1, 2, 3, 4, 5, 6, 7});
        ASSERT_TRUE(h.runUntil([&] { return h.own(mark).back() == (*stopAfter ? stopAfter : invite()); }));
        if (*stopAfter) h.click("cmdStop(3)");
        h.runFor(1.2);  // less than the reader's time-out: Stop does not wait for it
        const auto own = h.own(mark);
        EXPECT_EQ(own[4], "ATQA:  44 00  --  UID:  01 02 03 04 05 06 07");
        EXPECT_EQ(std::vector(own.end() - static_cast<long>(Lines(lines).size()), own.end()), want(lines));
        h.click("cmdStop(3)");
        ASSERT_TRUE(h.runUntilIdle());
        h.removeCard();
    }
}

}  // namespace
}  // namespace zt::test
