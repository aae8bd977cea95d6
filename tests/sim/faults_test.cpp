// The fault switches whose effect the program's own runs cannot tell apart from a clean answer, and
// when the switches fire.
#include "sim/reader.h"
#include "sim_host.h"

#include <gtest/gtest.h>

namespace zt::sim {
namespace {

using testing::Host;
using Bytes = std::vector<std::uint8_t>;

class FaultTest : public ::testing::Test {
protected:
    FaultTest() : h(r) {
        card = std::make_shared<Card>(Card::blank(CardKind::Classic1K, {1, 2, 3, 4}));
        r.present(card, 0);
        h.runFor(1000);
    }
    static ReaderOptions opts() {
        ReaderOptions o;
        o.repeatIdleReports = false;
        return o;
    }
    Reader r{opts()};
    Host h;
    std::shared_ptr<Card> card;
};

// The answer still gets through, only differently cut or wrapped.
TEST_F(FaultTest, HarmlessAnswerShapes) {
    const Bytes testLinkAnswer{0x02, 0x80, 0x00, 0x80, 0x03};
    for (const FaultKind kind : {FaultKind::SplitBytes, FaultKind::Garbage, FaultKind::Duplicate}) {
        SCOPED_TRACE(faultName(kind));
        r.faults().next(code::TestLink, kind, 3000);
        const auto emitted = h.emissions.size();
        const auto frames = h.got.size();
        h.send(code::TestLink);
        h.runFor(100'000);
        ASSERT_GT(h.got.size(), frames);
        EXPECT_EQ(h.got.back().frame, (Frame{0x80, {}}));
        if (kind == FaultKind::SplitBytes) {
            ASSERT_EQ(h.emissions.size(), emitted + 5);
            for (std::size_t i = emitted; i < h.emissions.size(); ++i) {
                EXPECT_EQ(h.emissions[i].bytes, Bytes{testLinkAnswer[i - emitted]});
                if (i > emitted) {
                    EXPECT_EQ(h.emissions[i].at - h.emissions[i - 1].at, 3000);
                }
            }
        } else if (kind == FaultKind::Garbage) {
            const Bytes& b = h.emissions.at(emitted).bytes;
            ASSERT_GT(b.size(), 5u);
            EXPECT_NE(b[0], kStx);
            EXPECT_GT(h.assembler.skipped(), 0);
        } else {
            ASSERT_EQ(h.got.size(), frames + 2);
            EXPECT_EQ(h.got[frames].frame, h.got[frames + 1].frame);
        }
        EXPECT_TRUE(r.faults().rules().empty());
        // The fault was for one answer only.
        const auto after = h.emissions.size();
        EXPECT_EQ(h.ask(code::TestLink), (Frame{0x80, {}}));
        EXPECT_EQ(h.emissions.size(), after + 1);
    }
}

TEST_F(FaultTest, HaltUnansweredStillHaltsTheCard) {
    ASSERT_EQ(h.select(), 1);
    r.faults().next(code::Halt, FaultKind::NoAnswer);
    EXPECT_EQ(h.status(code::Halt), -1);
    EXPECT_EQ(card->state(), CardState::Halted);
}

TEST_F(FaultTest, WhenTheyFire) {
    r.faults().nth(code::TestLink, FaultKind::NoAnswer, 3);
    std::vector<bool> answered;
    for (int i = 0; i < 5; ++i) answered.push_back(h.ask(code::TestLink).has_value());
    EXPECT_EQ(answered, (std::vector<bool>{true, true, false, true, true}));

    r.faults().always(code::StartUp, FaultKind::FrameError);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(h.ask(code::StartUp), (Frame{0xFE, {}}));
    EXPECT_EQ(h.ask(code::TestLink), (Frame{0x80, {}}));  // other codes untouched
    r.faults().clear(code::StartUp);
    EXPECT_EQ(h.ask(code::StartUp), (Frame{0x81, {}}));

    // Card reports can be lost too.
    r.faults().next(code::CardReport, FaultKind::NoAnswer);
    const int before = h.reports();
    r.present(std::make_shared<Card>(Card::blank(CardKind::Classic1K, {5, 6, 7, 8})), h.now);
    h.runFor(1000);
    EXPECT_EQ(h.reports(), before);
}

}  // namespace
}  // namespace zt::sim
