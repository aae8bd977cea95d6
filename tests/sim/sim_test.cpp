// The simulator's own rules where the program's runs do not reach them: the card's access
// conditions, the reader's refusals, its timing, outputs, reports and auto-feed. What a card does
// with keys and trailers the program's encoding and reading runs show.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "sim/access.h"
#include "sim/card.h"
#include "sim/reader.h"

namespace zt::sim {
namespace {

TEST(Access, TriplesDecodeAndEncode) {
    // Bytes 6..8 of a trailer and the conditions of groups 0..3 (none: inconsistent).
    const std::pair<std::array<std::uint8_t, 3>, const char*> cases[] = {
        {{0xFF, 0x07, 0x80}, "0001"},  // transport configuration
        {{0x08, 0x77, 0x8F}, "6663"},  // value blocks with recharge by key B
        {{0x78, 0x77, 0x88}, "4443"}, {{0x7F, 0x07, 0x88}, "0003"},
        {{0xFF, 0x07, 0x81}, ""},  // C2 of block 0 set without its inverted copy
        {{0xFF, 0x0F, 0x80}, ""}};
    for (const auto& [t, want] : cases) {
        const auto ac = decodeAccess(t[0], t[1], t[2]);
        std::string got;
        for (int g = 0; ac && g < 4; ++g) got += std::to_string(ac->cond[g]);
        EXPECT_EQ(got, want) << int(t[0]) << " " << int(t[1]) << " " << int(t[2]);
        if (ac) { EXPECT_TRUE(encodeAccess(*ac) == t); }
    }
    // Every one of the 4096 condition sets round-trips, and no other byte triple decodes.
    std::vector<bool> valid(1 << 24);
    for (unsigned bits = 0; bits < 4096; ++bits) {
        AccessConditions ac;
        for (unsigned g = 0; g < 4; ++g) ac.cond[g] = static_cast<std::uint8_t>((bits >> (3 * g)) & 7);
        const auto t = encodeAccess(ac);
        const auto back = decodeAccess(t[0], t[1], t[2]);
        ASSERT_TRUE(back && *back == ac) << bits;
        valid[static_cast<std::size_t>(t[0] << 16 | t[1] << 8 | t[2])] = true;
    }
    const auto byte = [](unsigned v, int shift) { return static_cast<std::uint8_t>(v >> shift); };
    for (unsigned v = 0; v < (1u << 24); ++v)
        if (decodeAccess(byte(v, 16), byte(v, 8), byte(v, 0)).has_value() != valid[v])
            FAIL() << std::hex << v;
}

// One row per condition C1C2C3; entries: '-' never, 'A', 'B', '*' A|B.
TEST(Access, PermissionTables) {
    const char* data[8] = {"****", "*--*", "*---", "BB--", "*B--", "B---", "*BB*", "----"};
    const DataOp ops[4] = {DataOp::Read, DataOp::Write, DataOp::Increment, DataOp::Decrement};
    // Key A read/write, access bits read/write, key B read/write.
    const char* trailer[8] = {"-AA-AA", "-AAAAA", "--A-A-", "-B*B-B", "-B*--B", "--*B--", "--*---", "--*---"};
    const TrailerField fields[3] = {TrailerField::KeyA, TrailerField::AccessBits, TrailerField::KeyB};
    auto may = [](char w, KeyType k) { return w == '*' || w == (k == KeyType::A ? 'A' : 'B'); };
    for (std::uint8_t cond = 0; cond < 8; ++cond) {
        for (KeyType k : {KeyType::A, KeyType::B}) {
            for (int op = 0; op < 4; ++op) EXPECT_EQ(dataAllowed(cond, k, ops[op]), may(data[cond][op], k)) << int(cond) << op;
            for (int i = 0; i < 6; ++i)
                EXPECT_EQ(trailerAllowed(cond, k, fields[i / 2], i % 2), may(trailer[cond][i], k)) << int(cond) << i;
        }
        EXPECT_EQ(keyBReadable(cond), cond <= 2) << int(cond);
    }
}

// A host on a virtual clock: sends requests, lets time pass, keeps the frames that came back with
// the time each one was complete.
struct Host {
    explicit Host(ReaderOptions o = {}) : r(o) {}
    void send(std::vector<std::uint8_t> bytes) { r.receive(bytes, now); }
    void runUntil(Micros until) {
        for (std::optional<Micros> due; (due = r.nextDue()) && *due <= until;)
            for (auto& e : r.collect(now = std::max(now, *due)))
                for (auto& f : assembler.feed(e.bytes)) got.push_back({e.at, std::move(f)});
        now = std::max(now, until);
    }
    void runFor(Micros d) { runUntil(now + d); }
    // The status byte of the answer to a request within 100 ms (-1: none); card reports stay in `got`.
    int status(std::uint8_t c, std::vector<std::uint8_t> data = {}) {
        const std::size_t from = got.size();
        send(makeFrame(c, data));
        runFor(100'000);
        for (std::size_t i = from; i < got.size(); ++i)
            if (got[i].second.code == c + 0x80 && got[i].second.data.size() == 1) return got[i].second.data[0];
        return -1;
    }
    int reports() const {
        return static_cast<int>(std::count_if(got.begin(), got.end(), [](auto& g) { return g.second.code == code::CardReport; }));
    }
    std::shared_ptr<Card> present(CardKind kind = CardKind::Classic1K) {
        auto card = std::make_shared<Card>(Card::blank(kind, {1, 2, 3, 4}));
        r.present(card, now);
        runFor(1000);
        return card;
    }
    Reader r;
    Micros now = 0;
    FrameAssembler assembler;
    std::vector<std::pair<Micros, Frame>> got;
};

TEST(Reader, FramesAndTheStatusOfEveryRefusal) {
    // A request, the frame that answers it: FrameError for a bad frame, and the reader stays in step.
    for (const auto& [request, answer] : {std::pair{"02 07 02 00 FF 08 03", "02 87 00 87 03"}, {"55 03 02 00 00 00 03", "02 80 00 80 03"},
                                          {"02 11 00 11 03", "02 91 01 00 92 03"}, {"02 00 00 01 03", "02 FE 00 FE 03"},
                                          {"02 00 00 00 04", "02 FE 00 FE 03"}, {"02 13 00 13 03", "02 FE 00 FE 03"},
                                          {"02 21 02 04 00 27 03", "02 FE 00 FE 03"}, {"02 00 20", "02 FE 00 FE 03"}}) {
        Host h;
        h.send(*parseHex(request));
        h.runFor(10'000);
        ASSERT_EQ(h.got.size(), 1u) << request;
        EXPECT_EQ(hexBytes(makeFrame(h.got[0].second.code, h.got[0].second.data)), answer) << request;
        EXPECT_EQ(h.status(code::TestLink), -1) << "out of step after " << request;
        EXPECT_EQ(h.got.back().second.code, 0x80);
    }
    // Card kind, whether selected first, requests ("code:hex bytes"; the last one judged), status.
    const std::tuple<CardKind, bool, const char*, int> cases[] = {
        {CardKind::Classic4K, false, "11:", 2}, {CardKind::Mini, false, "11:", 3}, {CardKind::Classic1K, false, "21:04 00 00", 1},
        {CardKind::Classic1K, true, "20:01 01 02 03 04 05 06|21:04 00 01", 2}, {CardKind::Classic1K, true, "21:04 01 00", 2},
        {CardKind::Classic1K, true, "21:40 00 00", 4}, {CardKind::Mini, true, "21:14 00 00", 4}, {CardKind::Classic1K, true, "21:04 00 10", 5},
        {CardKind::Classic1K, true, "21:04 02 00", 5}, {CardKind::Classic1K, false, "20:10 00 00 00 00 00 00", 1},
        {CardKind::Classic1K, false, "22:04", 1}, {CardKind::Classic1K, true, "22:04", 2}, {CardKind::Classic1K, true, "21:04 00 00|22:08", 2},
        {CardKind::Classic1K, true, "21:04 00 00|22:40", 4}, {CardKind::Classic1K, true, "21:00 00 00|23:00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00", 3},
        // Block 200 lies in the 16-block sector 36 of a 4K card: blocks 192-207.
        {CardKind::Classic4K, true, "21:C8 00 00|23:C0 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00", 0},
        {CardKind::Classic4K, true, "21:C8 00 00|22:D0", 2}, {CardKind::Classic1K, false, "12:", 1}};
    for (const auto& [kind, select, requests, want] : cases) {
        Host h;
        h.present(kind);
        if (select) {
            ASSERT_GE(h.status(code::Select), 1);
        }
        int got = -1;
        std::istringstream parts(requests);
        for (std::string one; std::getline(parts, one, '|');)
            got = h.status(static_cast<std::uint8_t>(std::stoi(one.substr(0, 2), nullptr, 16)), *parseHex(one.substr(3)));
        EXPECT_EQ(got, want) << requests;
    }
}

TEST(Reader, ReportsOutputsAndTiming) {
    Host h;
    h.present();
    h.runUntil(900'000);
    EXPECT_EQ(h.reports(), 4);  // an idle card every 300 ms: 0, 300, 600, 900 ms
    // Outputs: 10 ms steps, 255 or DOutPerm for good, 0 off.
    h.status(code::DOutTemp, {0, 50});
    const Micros t = h.now - 100'000;
    EXPECT_EQ(std::pair(h.r.output(0, t + 499'999).on, h.r.output(0, t + 500'000).on), std::pair(true, false));
    h.status(code::DOutPerm, {1, 255});
    EXPECT_TRUE(h.r.output(1, h.now + 100'000'000).permanent);
    h.status(code::DOutTemp, {1, 0});
    EXPECT_FALSE(h.r.output(1, h.now).on);
    // Realistic timing: each request byte a byte time after the previous, the work, the answer's bytes.
    Host slow({.timing = Timing::Realistic, .baud = 9600});
    auto wire = [](int bytes) { return static_cast<Micros>(bytes * 10'000'000.0 / 9600 + 0.5); };
    slow.send(makeFrame(code::TestLink));
    slow.runFor(100'000);
    EXPECT_EQ(slow.got.at(0).first, 5 * wire(1) + 500 + wire(5));
}

TEST(Reader, AutoFeedReplacesAHaltedCard) {
    Host h({.seed = 7, .autoFeed = true});
    h.runFor(1);
    const auto first = h.r.cardInField();
    ASSERT_TRUE(first && h.status(code::Select) == 1);
    const Micros haltAt = h.now;
    ASSERT_EQ(h.status(code::Halt), 0);
    h.runUntil(haltAt + 1'499'999);
    EXPECT_FALSE(h.r.cardInField());
    h.runUntil(haltAt + 1'500'000);
    ASSERT_TRUE(h.r.cardInField());
    EXPECT_NE(h.r.cardInField()->uid(), first->uid());
}

}  // namespace
}  // namespace zt::sim
