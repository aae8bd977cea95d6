#include "sim/reader.h"
#include "sim_host.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zt::sim {
namespace {

using testing::blockOf;
using testing::Host;
using Bytes = std::vector<std::uint8_t>;

std::shared_ptr<Card> card1k(Bytes uid = {0xA1, 0xB2, 0xC3, 0xD4}) {
    return std::make_shared<Card>(Card::blank(CardKind::Classic1K, std::move(uid)));
}

Bytes answerBytes(Host& h, Bytes request) {
    const auto before = h.emissions.size();
    h.sendRaw(std::move(request));
    h.runFor(10'000);
    Bytes out;
    for (auto i = before; i < h.emissions.size(); ++i)
        out.insert(out.end(), h.emissions[i].bytes.begin(), h.emissions[i].bytes.end());
    return out;
}

TEST(ReaderFrames, AnswersOnTheWire) {
    const Bytes frameError{0x02, 0xFE, 0x00, 0xFE, 0x03};
    struct Case {
        const char* what;
        Bytes request, answer;
    };
    const Case cases[] = {
        {"TestLink", {0x02, 0x00, 0x00, 0x00, 0x03}, {0x02, 0x80, 0x00, 0x80, 0x03}},
        {"StartUp", {0x02, 0x01, 0x00, 0x01, 0x03}, {0x02, 0x81, 0x00, 0x81, 0x03}},
        {"DOutPerm wraps CHK", {0x02, 0x07, 0x02, 0x00, 0xFF, 0x08, 0x03}, {0x02, 0x87, 0x00, 0x87, 0x03}},
        {"noise before STX", {0x55, 0x03, 0x02, 0x00, 0x00, 0x00, 0x03}, {0x02, 0x80, 0x00, 0x80, 0x03}},
        {"Select, no card", {0x02, 0x11, 0x00, 0x11, 0x03}, {0x02, 0x91, 0x01, 0x00, 0x92, 0x03}},
        {"bad checksum", {0x02, 0x00, 0x00, 0x01, 0x03}, frameError},
        {"no ETX", {0x02, 0x00, 0x00, 0x00, 0x04}, frameError},
        {"unknown code", {0x02, 0x13, 0x00, 0x13, 0x03}, frameError},
        {"Login with LEN 2", {0x02, 0x21, 0x02, 0x04, 0x00, 0x27, 0x03}, frameError},
        {"LEN 32, answered at once", {0x02, 0x00, 0x20}, frameError},
    };
    for (const auto& c : cases) {
        Reader r;
        Host h(r);
        EXPECT_EQ(answerBytes(h, c.request), c.answer) << c.what;
        EXPECT_EQ(answerBytes(h, {0x02, 0x00, 0x00, 0x00, 0x03}), (Bytes{0x02, 0x80, 0x00, 0x80, 0x03}))
            << "reader still in step after " << c.what;
    }
}

TEST(ReaderFrames, AnyChunkingNothingInsideReceive) {
    Reader r;
    Host h(r);
    Bytes two = makeFrame(code::TestLink);
    const Bytes login = makeFrame(code::Login, {4, 0, 5});
    ASSERT_EQ(login, (Bytes{0x02, 0x21, 0x03, 0x04, 0x00, 0x05, 0x2D, 0x03}));
    two.insert(two.end(), login.begin(), login.end());
    for (auto b : two) r.receive(std::span(&b, 1), 0);
    EXPECT_EQ(r.nextDue(), 0);  // queued, not yet handed out
    h.runFor(1000);
    ASSERT_EQ(h.got.size(), 2u);
    EXPECT_EQ(h.got[0].frame, (Frame{0x80, {}}));
    EXPECT_EQ(h.got[1].frame, (Frame{0xA1, {1}}));  // no card
}

TEST(ReaderFrames, CardReportForms) {
    struct Case {
        CardKind kind;
        Bytes uid;
        bool atqa;
        Bytes report;
    };
    const Case cases[] = {
        {CardKind::Classic1K, {0x01, 0xA1, 0xB2, 0xC3}, false, {0x01, 0x01, 0xA1, 0xB2, 0xC3}},
        {CardKind::Classic1K, {0xA1, 0xB2, 0xC3, 0xD4}, true, {0xA1, 0x04, 0x00, 0xA1, 0xB2, 0xC3, 0xD4}},
        {CardKind::Classic1K, {1, 2, 3, 4, 5, 6, 7}, true, {0xA2, 0x44, 0x00, 1, 2, 3, 4, 5, 6, 7}},
        {CardKind::Classic4K, {1, 2, 3, 4, 5, 6, 7}, false, {0x02, 1, 2, 3, 4, 5, 6, 7}},
        {CardKind::Classic4K,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
         true,
         {0xA3, 0x82, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    };
    for (const auto& c : cases) {
        Reader r;
        Host h(r);
        auto card = std::make_shared<Card>(Card::blank(c.kind, c.uid));
        card->reportWithAtqa = c.atqa;
        r.present(card, 0);
        h.runFor(1);
        ASSERT_EQ(h.got.size(), 1u);
        EXPECT_EQ(h.got[0].frame, (Frame{0x90, c.report}));
    }
}

TEST(Reader, StatusesOfEveryRefusal) {
    struct Case {
        const char* what;
        CardKind kind;
        bool select;
        std::vector<std::pair<std::uint8_t, Bytes>> steps;  // the last one is judged
        int status;
    };
    const Bytes otherKey{1, 1, 2, 3, 4, 5, 6};
    // clang-format off
    const Case cases[] = {
        {"Select 4K", CardKind::Classic4K, false, {{code::Select, {}}}, 2},
        {"Select Mini", CardKind::Mini, false, {{code::Select, {}}}, 3},
        {"Login not selected", CardKind::Classic1K, false, {{code::Login, {4, 0, 0}}}, 1},
        {"Login wrong key", CardKind::Classic1K, true, {{code::WriteKeyE2P, otherKey}, {code::Login, {4, 0, 1}}}, 2},
        {"Login key B readable", CardKind::Classic1K, true, {{code::Login, {4, 1, 0}}}, 2},
        {"Login beyond 1K", CardKind::Classic1K, true, {{code::Login, {64, 0, 0}}}, 4},
        {"Login beyond Mini", CardKind::Mini, true, {{code::Login, {20, 0, 0}}}, 4},
        {"Login slot 16", CardKind::Classic1K, true, {{code::Login, {4, 0, 16}}}, 5},
        {"Login key type 2", CardKind::Classic1K, true, {{code::Login, {4, 2, 0}}}, 5},
        {"WriteKeyE2P slot 16", CardKind::Classic1K, false, {{code::WriteKeyE2P, {16, 0, 0, 0, 0, 0, 0}}}, 1},
        {"Read not selected", CardKind::Classic1K, false, {{code::Read, {4}}}, 1},
        {"Read not authenticated", CardKind::Classic1K, true, {{code::Read, {4}}}, 2},
        {"Read other sector", CardKind::Classic1K, true, {{code::Login, {4, 0, 0}}, {code::Read, {8}}}, 2},
        {"Read beyond", CardKind::Classic1K, true, {{code::Login, {4, 0, 0}}, {code::Read, {64}}}, 4},
        {"Write block 0", CardKind::Classic1K, true, {{code::Login, {0, 0, 0}}, {code::Write, Bytes(17, 0)}}, 3},
        // Block 200 lies in the 16-block sector 36 of a 4K card: blocks 192-207.
        {"Write 4K large sector", CardKind::Classic4K, true, {{code::Login, {200, 0, 0}}, {code::Write, Bytes(17, 192)}}, 0},
        {"Read 4K next sector", CardKind::Classic4K, true, {{code::Login, {200, 0, 0}}, {code::Read, {208}}}, 2},
        {"Halt not selected", CardKind::Classic1K, false, {{code::Halt, {}}}, 1},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Reader r;
        Host h(r);
        r.present(std::make_shared<Card>(Card::blank(c.kind, {1, 2, 3, 4})), 0);
        h.runFor(1000);
        if (c.select) {
            ASSERT_GE(h.select(), 1);
        }
        for (std::size_t i = 0; i + 1 < c.steps.size(); ++i) h.ask(c.steps[i].first, c.steps[i].second);
        EXPECT_EQ(h.status(c.steps.back().first, c.steps.back().second), c.status);
    }
}

TEST(Reader, FailedLoginReportsTheCardAgainAfterThePollInterval) {
    ReaderOptions o;
    o.repeatIdleReports = false;
    Reader r(o);
    Host h(r);
    auto card = card1k();
    r.present(card, 0);
    h.runFor(1000);
    ASSERT_EQ(h.reports(), 1);
    ASSERT_EQ(h.select(), 1);
    ASSERT_EQ(h.status(code::WriteKeyE2P, {3, 1, 1, 1, 1, 1, 1}), 0);
    const Micros failedAt = h.now;
    ASSERT_EQ(h.login(4, 0, 3), 2);
    EXPECT_EQ(card->state(), CardState::Idle);
    h.runUntil(failedAt + 299'999);
    EXPECT_EQ(h.reports(), 1);
    h.runUntil(failedAt + 300'000);
    EXPECT_EQ(h.reports(), 2);
    EXPECT_EQ(h.got.back().at, failedAt + 300'000);
    EXPECT_EQ(h.select(), 1);
    EXPECT_EQ(h.login(4, 0, 0), 0);
    h.runFor(2'000'000);
    EXPECT_EQ(h.reports(), 2);  // selected and authenticated: nothing more
}

TEST(Reader, IdleCardIsReportedEveryPollIntervalHaltedCardNever) {
    Reader r;
    Host h(r);
    auto card = card1k();
    r.present(card, 0);
    h.runUntil(900'000);
    EXPECT_EQ(h.reports(), 4);  // 0, 300, 600, 900 ms
    ASSERT_EQ(h.select(), 1);
    ASSERT_EQ(h.status(code::Halt), 0);
    h.runFor(5'000'000);
    EXPECT_EQ(h.reports(), 4);
    EXPECT_EQ(h.select(), 0);  // a halted card does not answer
    r.remove(h.now);
    h.runFor(1'000'000);
    EXPECT_EQ(h.reports(), 4);
    r.present(card, h.now);
    h.runFor(1);
    EXPECT_EQ(h.reports(), 5);
}

TEST(Reader, OutputsAndTheirDurations) {
    Reader r;
    Host h(r);
    h.ask(code::DOutTemp, {0, 50});
    const Micros t = h.now - 100'000;  // ask() ran 100 ms past the request
    EXPECT_TRUE(r.output(0, t + 499'999).on);
    EXPECT_FALSE(r.output(0, t + 500'000).on);
    h.ask(code::DOutPerm, {1, 255});
    EXPECT_TRUE(r.output(1, h.now + 100'000'000).permanent);
    h.ask(code::DOutTemp, {1, 0});
    EXPECT_FALSE(r.output(1, h.now).on);
    h.ask(code::DOutTemp, {2, 255});
    EXPECT_TRUE(r.output(2, h.now + 100'000'000).on);
}

TEST(Reader, RealisticTimingPutsBytesOnTheWire) {
    ReaderOptions o;
    o.timing = Timing::Realistic;
    o.baud = 9600;
    Reader r(o);
    Host h(r);
    auto wire = [](int bytes) { return static_cast<Micros>(bytes * 10'000'000.0 / 9600 + 0.5); };
    h.send(code::TestLink);
    h.runFor(100'000);
    ASSERT_EQ(h.got.size(), 1u);
    // Each request byte arrives a byte time after the previous one, then 0.5 ms of work.
    EXPECT_EQ(h.got[0].at, 5 * wire(1) + 500 + wire(5));

    r.present(card1k(), h.now);
    h.runFor(100'000);
    ASSERT_EQ(h.select(), 1);
    ASSERT_EQ(h.login(4, 0, 0), 0);
    const Micros sent = h.now;
    h.send(code::Write, Bytes(17, 4));
    h.runFor(100'000);
    // 22 request bytes arrive one after the other, 5.5 ms of card work, a 6-byte answer.
    EXPECT_NEAR(static_cast<double>(h.got.back().at - sent), double(wire(22) + 5'500 + wire(6)), 22);
}

TEST(Reader, AutoFeedReplacesAHaltedCard) {
    ReaderOptions o;
    o.autoFeed = true;
    o.seed = 7;
    Reader r(o);
    Host h(r);
    std::vector<std::pair<bool, Micros>> field;
    r.onField = [&](const std::shared_ptr<Card>&, bool in, Micros t) { field.emplace_back(in, t); };
    h.runFor(1);
    ASSERT_EQ(h.reports(), 1);
    auto first = r.cardInField();
    ASSERT_TRUE(first);
    ASSERT_EQ(h.select(), 1);
    const Micros haltAt = h.now;
    ASSERT_EQ(h.status(code::Halt), 0);
    EXPECT_FALSE(r.cardInField());
    h.runUntil(haltAt + 1'499'999);
    EXPECT_EQ(h.reports(), 1);
    h.runUntil(haltAt + 1'500'000);
    ASSERT_EQ(h.reports(), 2);
    ASSERT_TRUE(r.cardInField());
    EXPECT_NE(r.cardInField()->uid(), first->uid());
    EXPECT_EQ(field,
              (std::vector<std::pair<bool, Micros>>{{true, 0}, {false, haltAt}, {true, haltAt + 1'500'000}}));
    r.setAutoFeed(false, h.now);
    ASSERT_EQ(h.select(), 1);
    ASSERT_EQ(h.status(code::Halt), 0);
    h.runFor(5'000'000);
    EXPECT_TRUE(r.cardInField());  // without auto-feed the halted card stays
}

TEST(Reader, RemovalDuringWriteLeavesOldOrNewBlock) {
    int oldSeen = 0, newSeen = 0;
    const Block fresh = blockOf({0xAB}, 0xCD);
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        ReaderOptions o;
        o.seed = seed;
        Reader r(o);
        Host h(r);
        auto card = card1k();
        r.present(card, 0);
        h.runFor(1);
        ASSERT_EQ(h.select(), 1);
        ASSERT_EQ(h.login(4, 0, 0), 0);
        Bytes req(1 + fresh.size());
        req[0] = 5;
        std::copy(fresh.begin(), fresh.end(), req.begin() + 1);
        h.send(code::Write, req);
        r.remove(h.now);  // before the reader got to it
        h.runFor(10'000);
        EXPECT_EQ(h.got.back().frame, (Frame{0xA3, {1}}));
        if (card->block(5) == fresh)
            ++newSeen;
        else if (card->block(5) == Block{})
            ++oldSeen;
        else
            ADD_FAILURE() << "block neither old nor new";
    }
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 0);
}

TEST(Reader, LinkResetForgetsHalfFramesAndUnsentAnswers) {
    ReaderOptions o;
    o.timing = Timing::Realistic;
    Reader r(o);
    Host h(r);
    h.send(code::TestLink);
    h.sendRaw({0x02, 0x00});
    r.linkReset(h.now);
    h.runFor(100'000);
    EXPECT_TRUE(h.got.empty());
    EXPECT_EQ(h.ask(code::TestLink), (Frame{0x80, {}}));
}

}  // namespace
}  // namespace zt::sim
