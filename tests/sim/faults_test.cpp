// Every fault switch, seen from the host's side of the link.
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
    void selectAndLogin() {
        ASSERT_EQ(h.select(), 1);
        ASSERT_EQ(h.login(4, 0, 0), 0);
    }

    ReaderOptions opts() {
        ReaderOptions o;
        o.repeatIdleReports = false;
        return o;
    }
    Reader r{opts()};
    Host h;
    std::shared_ptr<Card> card;
};

TEST_F(FaultTest, AnswerShapes) {
    struct Case {
        FaultKind kind;
        int value;
        std::uint8_t code;
        std::function<void(Host&, std::size_t emitted, std::size_t framesBefore)> check;
    };
    const Bytes testLinkAnswer{0x02, 0x80, 0x00, 0x80, 0x03};
    const Case cases[] = {
        {FaultKind::NoAnswer, 0, code::TestLink,
         [](Host& host, std::size_t emitted, std::size_t) { EXPECT_EQ(host.emissions.size(), emitted); }},
        {FaultKind::BadChecksum, 0, code::TestLink,
         [](Host& host, std::size_t, std::size_t frames) {
             EXPECT_EQ(host.got.size(), frames);
             EXPECT_EQ(host.assembler.rejected(), 1);
         }},
        {FaultKind::FrameError, 0, code::TestLink,
         [](Host& host, std::size_t, std::size_t) {
             EXPECT_EQ(host.got.back().frame, (Frame{0xFE, {}}));
         }},
        {FaultKind::SplitBytes, 3000, code::TestLink,
         [&](Host& host, std::size_t emitted, std::size_t) {
             ASSERT_EQ(host.emissions.size(), emitted + 5);
             Bytes joined;
             for (std::size_t i = emitted; i < host.emissions.size(); ++i) {
                 ASSERT_EQ(host.emissions[i].bytes.size(), 1u);
                 joined.push_back(host.emissions[i].bytes[0]);
                 if (i > emitted) {
                     EXPECT_EQ(host.emissions[i].at - host.emissions[i - 1].at, 3000);
                 }
             }
             EXPECT_EQ(joined, testLinkAnswer);
             EXPECT_EQ(host.got.back().frame, (Frame{0x80, {}}));
         }},
        {FaultKind::Garbage, 0, code::TestLink,
         [](Host& host, std::size_t emitted, std::size_t) {
             const Bytes& b = host.emissions.at(emitted).bytes;
             ASSERT_GT(b.size(), 5u);
             EXPECT_NE(b[0], kStx);
             EXPECT_GT(host.assembler.skipped(), 0);
             EXPECT_EQ(host.got.back().frame, (Frame{0x80, {}}));
         }},
        {FaultKind::Duplicate, 0, code::TestLink,
         [](Host& host, std::size_t, std::size_t frames) {
             ASSERT_EQ(host.got.size(), frames + 2);
             EXPECT_EQ(host.got[frames].frame, host.got[frames + 1].frame);
         }},
        {FaultKind::StatusLen2, 0, code::Select,
         [](Host& host, std::size_t, std::size_t) {
             EXPECT_EQ(host.got.back().frame, (Frame{0x91, {1, 0}}));
         }},
        {FaultKind::SelectStatus, 2, code::Select,
         [](Host& host, std::size_t, std::size_t) {
             EXPECT_EQ(host.got.back().frame, (Frame{0x91, {2}}));
         }},
        {FaultKind::SelectStatus, 0, code::Select,
         [&](Host& host, std::size_t, std::size_t) {
             EXPECT_EQ(host.got.back().frame, (Frame{0x91, {0}}));
             EXPECT_EQ(host.login(4, 0, 0), 1);  // nothing was selected
         }},
        {FaultKind::HaltRefused, 0, code::Halt,
         [&](Host& host, std::size_t, std::size_t) {
             EXPECT_EQ(host.got.back().frame, (Frame{0x92, {1}}));
             EXPECT_EQ(card->state(), CardState::Selected);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(faultName(c.kind) + std::string(" ") + std::to_string(c.value));
        card->leaveField();
        if (c.code == code::Halt) {
            ASSERT_EQ(h.select(), 1);
        }
        r.faults().next(c.code, c.kind, c.value);
        const auto emitted = h.emissions.size();
        const auto frames = h.got.size();
        h.send(c.code);
        h.runFor(100'000);
        c.check(h, emitted, frames);
        EXPECT_TRUE(r.faults().rules().empty());
        // The fault was for one answer only.
        EXPECT_EQ(h.ask(code::TestLink), (Frame{0x80, {}}));
    }
}

TEST_F(FaultTest, HaltUnansweredStillHaltsTheCard) {
    ASSERT_EQ(h.select(), 1);
    r.faults().next(code::Halt, FaultKind::NoAnswer);
    EXPECT_EQ(h.status(code::Halt), -1);
    EXPECT_EQ(card->state(), CardState::Halted);
}

TEST_F(FaultTest, LoginRefusedDropsTheCardWhichIsReportedAgain) {
    ASSERT_EQ(h.select(), 1);
    r.faults().next(code::Login, FaultKind::LoginRefused);
    const int reports = h.reports();
    EXPECT_EQ(h.login(4, 0, 0), 2);
    EXPECT_EQ(card->state(), CardState::Idle);
    h.runFor(300'000);
    EXPECT_EQ(h.reports(), reports + 1);
    selectAndLogin();
}

TEST_F(FaultTest, CardRemovedAtWriteTearsIt) {
    selectAndLogin();
    r.faults().next(code::Write, FaultKind::CardRemoved);
    Bytes req(17, 0x5A);
    req[0] = 5;
    EXPECT_EQ(h.status(code::Write, req), 1);
    EXPECT_FALSE(r.cardInField());
    const Block& b = card->block(5);
    EXPECT_TRUE(b == Block{} || b[0] == 0x5A);
    EXPECT_EQ(h.select(), 0);
}

TEST_F(FaultTest, LinkDropInsteadOfTheAnswer) {
    r.faults().next(code::StartUp, FaultKind::LinkDrop);
    EXPECT_FALSE(h.ask(code::StartUp));
    EXPECT_EQ(h.drops, 1);
    EXPECT_TRUE(h.emissions.back().bytes.empty());
    EXPECT_TRUE(h.ask(code::StartUp));
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
}

TEST_F(FaultTest, CardReportCanBeLostToo) {
    r.faults().next(code::CardReport, FaultKind::NoAnswer);
    auto other = std::make_shared<Card>(Card::blank(CardKind::Classic1K, {5, 6, 7, 8}));
    const int before = h.reports();
    r.present(other, h.now);
    h.runFor(1000);
    EXPECT_EQ(h.reports(), before);
}

}  // namespace
}  // namespace zt::sim
