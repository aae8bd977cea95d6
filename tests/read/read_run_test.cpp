// The read run end to end: the window logic on the virtual clock, the simulated reader on COM 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "support/harness.h"

namespace zt::test {
namespace {

constexpr std::uint8_t kWriteKey = 0x20, kLogin = 0x21, kRead = 0x22, kSelect = 0x11, kHalt = 0x12;
constexpr std::uint8_t kDOutTemp = 0x06, kDOutPerm = 0x07;

const std::string kFs22(22, 'F');

sim::Block BlockOf(std::string_view hex) {
    const ByteVec bytes = hexBytes(hex);
    sim::Block b{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), b.size()), b.begin());
    return b;
}

// Gives a sector of the card a key A (access bytes FF 07 80, key B all FF) and its three data blocks.
void WriteSector(sim::Card& card, int sector, std::string_view keyA, const std::array<std::string, 3>& data) {
    const int first = card.firstBlock(sector);
    for (int b = 0; b < 3; ++b) card.setBlock(first + b, BlockOf(data[static_cast<std::size_t>(b)]));
    card.setBlock(first + 3, BlockOf(std::string(keyA) + "FF078069FFFFFFFFFFFF"));
}

class ReadRun : public ::testing::Test {
protected:
    void SetUp() override {
        h.load();
        h.openCom();
    }

    std::string separator() {
        const std::string d(20, '-');
        return d + " " + h.mis(197) + " " + d;
    }
    std::size_t count(const std::string& line) const {
        return static_cast<std::size_t>(std::count(h.log().begin(), h.log().end(), line));
    }
    // Presses Start and lets the run get to its first wait for a card (or to its end).
    void start() {
        logMark = h.log().size();
        sentMark = h.sent().size();
        ASSERT_TRUE(h.click("cmdLecTar"));
        ASSERT_TRUE(h.runUntil([&] {
            const auto lines = h.logFrom(logMark);
            return std::find(lines.begin(), lines.end(), separator()) != lines.end() ||
                   h.st().ActiveRun == kNoRun;
        }));
    }
    // Until the card loop has come round to its wait for the next card.
    void untilNextCard() {
        const std::size_t n = count(separator());
        ASSERT_TRUE(h.runUntil([&] { return count(separator()) > n; }));
    }
    void stopAndFinish() {
        ASSERT_TRUE(h.click("cmdStop(3)"));
        ASSERT_TRUE(h.runUntilIdle());
    }
    // The run's own lines since start(), without the decoder's answer lines.
    std::vector<std::string> runLines() const {
        std::vector<std::string> out;
        for (auto& l : h.logFrom(logMark)) {
            if (l.rfind(">>> ", 0) != 0) out.push_back(l);
        }
        return out;
    }
    // The run's lines after the three key loads and the first invitation.
    std::vector<std::string> cardLines() const {
        const auto all = runLines();
        return all.size() < 4 ? std::vector<std::string>{}
                              : std::vector<std::string>(all.begin() + 4, all.end());
    }
    // Payloads of the frames of one request code sent since start().
    std::vector<ByteVec> payloads(std::uint8_t code) const {
        std::vector<ByteVec> out;
        const auto all = h.sent();
        for (std::size_t i = sentMark; i < all.size(); ++i) {
            const ByteVec& f = all[i];
            if (f.size() >= 5 && f[1] == code) out.emplace_back(f.begin() + 3, f.begin() + 3 + f[2]);
        }
        return out;
    }
    void setKeys(const std::string& k1, const std::string& k2, const std::string& k3) {
        h.m().txtKeyMF.setText(k1);
        h.m().txtOldKeyMF.setText(k2);
        h.m().txtKeyTar.setText(k3);
    }
    std::vector<std::string> readLines(const std::shared_ptr<sim::Card>& card, int sector) {
        std::vector<std::string> out;
        for (int b = 0; b < 3; ++b) {
            out.push_back("ReadBlock[" + std::to_string(b) + "]");
            out.push_back("Read Block[" + std::to_string(b) +
                          "]: " + Harness::blockHex(*card, card->firstBlock(sector) + b));
        }
        return out;
    }

    Harness h;
    std::size_t logMark = 0;
    std::size_t sentMark = 0;
    const std::string ident = "ATQA:  04 00  --  UID:  1A 2B 3C 4D";
    const std::vector<std::string> greenEnd{"Halt", "Led green", "Beeper"};
    const std::vector<std::string> redEnd{"Halt", "Led red", "Beeper"};
};

std::vector<std::string> Cat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST_F(ReadRun, CardOpenedByFirstKeyIsReadShownAndSignalledGreen) {
    setKeys("A0A1A2A3A4A5", "B0B1B2B3B4B5", "C0C1C2C3C4C5");
    start();
    EXPECT_EQ(h.st().ActiveRun, 3);
    auto card =
        std::make_shared<sim::Card>(sim::Card::blank(sim::CardKind::Classic1K, {0x1A, 0x2B, 0x3C, 0x4D}));
    WriteSector(*card, 1, "A0A1A2A3A4A5",
                {"1012340577" + kFs22, "00112233445566778899AABBCCDDEEFF", std::string(32, '0')});
    h.present(card);
    untilNextCard();

    const std::string sep = separator();
    EXPECT_EQ(runLines(), Cat({{"WriteKeyE2P[7]", "WriteKeyE2P[8]", "WriteKeyE2P[9]", sep, ident, "Select",
                                "Led yellow On", "Login[1]"},
                               readLines(card, 1),
                               greenEnd,
                               {sep}}));

    EXPECT_EQ(payloads(kWriteKey),
              (std::vector<ByteVec>{hexBytes("07 A0 A1 A2 A3 A4 A5"), hexBytes("08 B0 B1 B2 B3 B4 B5"),
                                    hexBytes("09 C0 C1 C2 C3 C4 C5")}));
    EXPECT_EQ(payloads(kSelect), std::vector<ByteVec>{ByteVec{}});
    EXPECT_EQ(payloads(kDOutPerm), (std::vector<ByteVec>{hexBytes("00 FF"), hexBytes("01 FF")}));
    EXPECT_EQ(payloads(kLogin), std::vector<ByteVec>{hexBytes("04 00 07")});
    EXPECT_EQ(payloads(kRead), (std::vector<ByteVec>{{0x04}, {0x05}, {0x06}}));
    EXPECT_EQ(payloads(kHalt), std::vector<ByteVec>{ByteVec{}});
    EXPECT_EQ(payloads(kDOutTemp),
              (std::vector<ByteVec>{hexBytes("01 00"), hexBytes("00 32"), hexBytes("02 0A")}));
    const auto all = h.sent();
    EXPECT_NE(std::find(all.begin(), all.end(), hexBytes("02 21 03 04 00 07 2F 03")), all.end());

    auto& m = h.m();
    EXPECT_EQ(m.txtInfoCard.text(), h.mis(206) + " - 057");
    EXPECT_EQ(m.txtInfoInst.text(), h.mis(198) + ": 1234");
    EXPECT_EQ(m.txtInfoKey.text(), h.mis(199) + ": A0A1A2A3A4A5     " + h.mis(200) + ": 1");
    EXPECT_EQ(m.txtInfoRead(1).text(), "00112233445566778899AABBCCDDEEFF");
    EXPECT_EQ(m.txtUsaKey(0).text(), "A0A1A2A3A4A5");
    EXPECT_EQ(m.txtUsaKey(1).text(), "B0B1B2B3B4B5");
    EXPECT_EQ(m.txtUsaKey(2).text(), "C0C1C2C3C4C5");
    EXPECT_EQ(card->state(), sim::CardState::Halted);

    // The halted card is not seen again; the run waits until Stop.
    h.runFor(5);
    EXPECT_EQ(h.st().ActiveRun, 3);
    EXPECT_EQ(count("Select"), 1u);
    stopAndFinish();
    const auto lines = runLines();
    EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
              (std::vector<std::string>{h.mis(177), std::string(60, '-')}));
}

TEST_F(ReadRun, CardOpenedOnlyBySecondKeyIsTriedAgainAfterItsNextReport) {
    setKeys("111111111111", "222222222222", "333333333333");
    h.m().txtOldSector.setText("3");
    start();
    auto card =
        std::make_shared<sim::Card>(sim::Card::blank(sim::CardKind::Classic1K, {0x1A, 0x2B, 0x3C, 0x4D}));
    WriteSector(*card, 3, "222222222222", {"8300005004" + kFs22, std::string(32, '0'), std::string(32, '0')});
    h.present(card);
    untilNextCard();

    const std::vector<std::string> approach{ident, "Select", "Led yellow On"};
    EXPECT_EQ(
        cardLines(),
        Cat({approach, {"Login[1]"}, approach, {"Login[2]"}, readLines(card, 3), greenEnd, {separator()}}));
    EXPECT_EQ(payloads(kLogin), (std::vector<ByteVec>{hexBytes("04 00 07"), hexBytes("0C 00 08")}));
    EXPECT_EQ(payloads(kRead), (std::vector<ByteVec>{{0x0C}, {0x0D}, {0x0E}}));
    EXPECT_EQ(h.m().txtInfoCard.text(), h.mis(215) + " 5");
    EXPECT_EQ(h.m().txtInfoInst.text(), h.mis(198) + ": 0000");
    EXPECT_EQ(h.m().txtInfoKey.text(), h.mis(199) + ": 222222222222     " + h.mis(200) + ": 3");
}

TEST_F(ReadRun, CardNoKeyOpensIsSelectedOnceMoreAndSignalledRed) {
    start();
    auto card =
        std::make_shared<sim::Card>(sim::Card::blank(sim::CardKind::Classic1K, {0x1A, 0x2B, 0x3C, 0x4D}));
    WriteSector(*card, 1, "123456789ABC", {"1000000009" + kFs22, std::string(32, '0'), std::string(32, '0')});
    h.present(card);
    untilNextCard();

    const std::vector<std::string> approach{ident, "Select", "Led yellow On"};
    EXPECT_EQ(cardLines(), Cat({approach,
                                {"Login[1]"},
                                approach,
                                {"Login[2]"},
                                approach,
                                {"Login[3]"},
                                approach,
                                redEnd,
                                {separator()}}));
    EXPECT_EQ(payloads(kLogin),
              (std::vector<ByteVec>{hexBytes("04 00 07"), hexBytes("04 00 08"), hexBytes("04 00 09")}));
    EXPECT_EQ(payloads(kSelect).size(), 4u);
    EXPECT_EQ(payloads(kDOutTemp),
              (std::vector<ByteVec>{hexBytes("01 32"), hexBytes("00 00"), hexBytes("02 0A")}));
    EXPECT_EQ(h.m().txtInfoCard.text(), "----");
    EXPECT_EQ(h.m().txtInfoRead(0).text(), "");
    EXPECT_EQ(card->state(), sim::CardState::Halted);
}

// The sector box addresses Login and Read; a sector whose blocks do not fit in a byte never leaves.
TEST_F(ReadRun, SectorBoxAddressesLoginAndBlocks) {
    struct Case {
        const char* sector;
        int loginBlock;  // -1: refused
    };
    for (const Case c : {Case{"0", 0}, Case{"15", 60}, Case{"64", -1}, Case{"-1", -1}, Case{"99999", -1}}) {
        SCOPED_TRACE(c.sector);
        h.m().txtSector.setText(c.sector);
        start();
        auto card = h.present();
        untilNextCard();
        if (c.loginBlock < 0) {
            EXPECT_EQ(
                cardLines(),
                Cat({{ident, "Select", "Led yellow On", "Login[1]", h.mis(282)}, redEnd, {separator()}}));
            EXPECT_TRUE(payloads(kLogin).empty());
        } else {
            const auto b = static_cast<std::uint8_t>(c.loginBlock);
            EXPECT_EQ(payloads(kLogin), (std::vector<ByteVec>{{b, 0x00, 0x07}}));
            EXPECT_EQ(payloads(kRead),
                      (std::vector<ByteVec>{{b}, {std::uint8_t(b + 1)}, {std::uint8_t(b + 2)}}));
            EXPECT_EQ(h.m().txtInfoRead(2).text(), Harness::blockHex(*card, c.loginBlock + 2));
        }
        stopAndFinish();
        h.removeCard();
    }
}

// Card reports made by hand: every length the reader may send.
TEST_F(ReadRun, IdentificationLineFollowsTheCardReport) {
    struct Case {
        const char* report;  // data bytes of the 0x90 report
        const char* line;
    };
    const Case cases[] = {
        {"00 55", "UID: "},
        {"01 1A 2B 3C 4D", "UID:  1A 2B 3C 4D"},
        {"A1 04 00 1A 2B 3C 4D", "ATQA:  04 00  --  UID:  1A 2B 3C 4D"},
        {"02 01 02 03 04 05 06 07", "UID:  01 02 03 04 05 06 07"},
        {"A2 44 00 01 02 03 04 05 06 07", "ATQA:  44 00  --  UID:  01 02 03 04 05 06 07"},
        {"03 01 02 03 04 05 06 07 08 09 0A", "UID:  01 02 03 04 05 06 07 08 09 0A"},
        {"A3 42 00 01 02 03 04 05 06 07 08 09 0A", "ATQA:  42 00  --  UID:  01 02 03 04 05 06 07 08 09 0A"},
    };
    start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        const ByteVec data = hexBytes(c.report);
        ByteVec frame{0x02, 0x90, static_cast<std::uint8_t>(data.size())};
        unsigned sum = 0x90 + data.size();
        for (auto d : data) {
            frame.push_back(d);
            sum += d;
        }
        frame.push_back(static_cast<std::uint8_t>(sum));
        frame.push_back(0x03);
        const std::size_t from = h.log().size();
        h.serial.deliver(frame);
        untilNextCard();
        // No card lies on the reader: nothing answers the Select.
        const auto lines = h.logFrom(from);
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[1], c.line);
        EXPECT_EQ(lines[2], "Select");
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Select Error: 0"), lines.end());
    }
}

TEST_F(ReadRun, RefusedKeyEndsTheRunBeforeAnythingIsSent) {
    struct Case {
        const char *k1, *k2, *k3;
        int message;
    };
    const std::string ok = "0123456789AB";
    const Case cases[] = {
        {"0123456789ab", "FFFFFFFFFFFF", "FFFFFFFFFFFF", 193},
        {"", "", "", 193},
        {"FFFFFFFFFFFF", "FFFFFFFFFFF", "FFFFFFFFFFFF", 194},
        {"FFFFFFFFFFFF", "ffffffffffff", "FFFFFFFFFFFF", 194},
        {"FFFFFFFFFFFF", "FFFFFFFFFFFF", "FFFFFFFFFFFFF", 195},
        {"FFFFFFFFFFFF", "FFFFFFFFFFFF", "FFFFFFFFFFG0", 195},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.k1) + "/" + c.k2 + "/" + c.k3);
        setKeys(c.k1, c.k2, c.k3);
        start();
        EXPECT_EQ(runLines(), (std::vector<std::string>{h.mis(c.message), std::string(60, '-')}));
        EXPECT_EQ(h.sent().size(), sentMark);
        EXPECT_EQ(h.st().ActiveRun, kNoRun);
        EXPECT_EQ(h.m().txtUsaKey(1).text(), c.k2);
    }
}

TEST_F(ReadRun, StopEndsTheRunAtTheWaitsThatLookAtIt) {
    struct Case {
        const char* where;
        std::uint8_t silent;  // request left unanswered (0: none)
        std::string stopAfter;
        std::vector<std::string> tail;
    };
    const std::string dashes(60, '-');
    const Case cases[] = {
        {"waiting for a card", 0, separator(), {separator(), h.mis(177), dashes}},
        {"waiting for the Select answer", kSelect, "Select",
         Cat({{"Select", "Error de Select"}, redEnd, {dashes}})},
        {"waiting for a block", kRead, "ReadBlock[0]", Cat({{"ReadBlock[0]"}, redEnd, {dashes}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        if (c.silent != 0) h.reader.faults().always(c.silent, sim::FaultKind::NoAnswer);
        start();
        h.present();
        ASSERT_TRUE(h.runUntil([&] { return !runLines().empty() && runLines().back() == c.stopAfter; }));
        stopAndFinish();
        const auto lines = runLines();
        ASSERT_GE(lines.size(), c.tail.size());
        EXPECT_EQ(
            std::vector<std::string>(lines.end() - static_cast<std::ptrdiff_t>(c.tail.size()), lines.end()),
            c.tail);
        EXPECT_EQ(count(h.mis(177)), c.silent == 0 ? 1u : 0u);
        h.reader.faults().clearAll();
        h.removeCard();
        h.m().listInfo.clearItems();
    }
}

TEST_F(ReadRun, KeyBoxesEditedDuringTheRunReachNeitherTheShownKeysNorTheRun) {
    setKeys("FFFFFFFFFFFF", "FFFFFFFFFFFF", "333333333333");
    ASSERT_TRUE(h.click("cmdLecTar"));
    // The run is storing its first key; the operator types on.
    h.m().txtKeyTar.setText("444444444444");
    h.m().txtOldKeyMF.setText("555555555555");
    auto card =
        std::make_shared<sim::Card>(sim::Card::blank(sim::CardKind::Classic1K, {0x1A, 0x2B, 0x3C, 0x4D}));
    WriteSector(*card, 1, "333333333333", {"4500000000" + kFs22, std::string(32, '0'), std::string(32, '0')});
    h.present(card);
    ASSERT_TRUE(h.runUntil([&] { return h.logHas("Beeper"); }));

    EXPECT_EQ(h.m().txtUsaKey(2).text(), "333333333333");
    EXPECT_EQ(h.m().txtUsaKey(1).text(), "FFFFFFFFFFFF");
    EXPECT_EQ(h.reader.keys().get(9), (sim::Key{0x33, 0x33, 0x33, 0x33, 0x33, 0x33}));
    EXPECT_EQ(h.m().txtInfoCard.text(), h.mis(210));
    EXPECT_EQ(h.m().txtInfoKey.text(), h.mis(199) + ": 333333333333     " + h.mis(200) + ": 1");

    stopAndFinish();
    h.m().txtKeyTar.setText("666666666666");
    EXPECT_EQ(h.m().txtUsaKey(2).text(), "666666666666");
}

}  // namespace
}  // namespace zt::test
