// The simulator's own rules where the program's runs do not reach them: the card's access
// conditions, the reader's refusals, its timing, outputs, reports and auto-feed. What a card does
// with keys and trailers the program's encoding and reading runs show.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "sim/access.h"
#include "sim/card.h"
#include "sim/reader.h"
#include "support/harness.h"

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
    }
    // Every consistent triple encodes back to itself, and there are as many as condition sets: so
    // every set round-trips and no other triple decodes.
    int consistent = 0;
    for (unsigned v = 0; v < (1u << 24); ++v) {
        const std::array<std::uint8_t, 3> t{std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
        const auto ac = decodeAccess(t[0], t[1], t[2]);
        if (!ac) continue;
        ++consistent;
        if (encodeAccess(*ac) != t) FAIL() << std::hex << v;
    }
    EXPECT_EQ(consistent, 4096);
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

// The reader on the program's serial port: requests go out as they are, and what comes back is read
// off the lines the program logs for it.
struct Host : test::Harness {
    explicit Host(ReaderOptions o = {}) : Harness({true, o}) {
        load();
        openCom();
    }
    // The lines logged within 100 ms of a request.
    std::vector<std::string> send(const std::vector<std::uint8_t>& bytes) {
        const std::size_t from = log().size();
        serial.write(bytes);
        clock.runFor(100'000);
        return logFrom(from);
    }
    // The status byte of the answer to a request (-1: none).
    int status(std::uint8_t c, const std::vector<std::uint8_t>& data = {}) {
        for (const auto& line : send(makeFrame(c, data)))
            if (!line.starts_with(">>> AnsGetUID") && line.find("0x") + 4 == line.size())
                return std::stoi(line.substr(line.size() - 2), nullptr, 16);
        return -1;
    }
};

TEST(Reader, FramesAndTheStatusOfEveryRefusal) {
    // A request, the answer logged: FrameError for a bad frame, and the reader stays in step.
    const std::pair<const char*, const char*> frames[] = {
        {"02 07 02 00 FF 08 03", ">>> AnsDOutPerm"}, {"55 03 02 00 00 00 03", ">>> AnsTestLink"},
        {"02 11 00 11 03", ">>> AnsSelect: 0x00"},   {"02 00 00 01 03", ">>> FrameError"},
        {"02 00 00 00 04", ">>> FrameError"},        {"02 13 00 13 03", ">>> FrameError"},
        {"02 21 02 04 00 27 03", ">>> FrameError"},  {"02 00 20", ">>> FrameError"}};
    Host framing;
    for (const auto& [request, answer] : frames) {
        EXPECT_EQ(framing.send(*parseHex(request)), test::Lines(answer)) << request;
        EXPECT_EQ(framing.send(makeFrame(code::TestLink)), test::Lines(">>> AnsTestLink")) << request;
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
        ASSERT_TRUE(!select || h.status(code::Select) >= 1);
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
    h.clock.runFor(900'000);
    // An idle card is reported every 300 ms: at 0, 300, 600 and 900 ms.
    EXPECT_EQ(h.count(">>> AnsGetUID:  0xA1 0x04 0x00 0x1A 0x2B 0x3C 0x4D"), 4u);
    // Outputs: 10 ms steps, 255 or DOutPerm for good, 0 off.
    const Micros t = h.clock.now();
    h.status(code::DOutTemp, {0, 50});
    const auto& r = h.reader;
    EXPECT_EQ(std::pair(r.output(0, t + 499'999).on, r.output(0, t + 500'000).on), std::pair(true, false));
    h.status(code::DOutPerm, {1, 255});
    EXPECT_TRUE(h.reader.output(1, h.clock.now() + 100'000'000).permanent);
    h.status(code::DOutTemp, {1, 0});
    EXPECT_FALSE(h.reader.output(1, h.clock.now()).on);
    // Realistic timing: each request byte a byte time after the previous, the work, the answer's bytes.
    Host slow({.timing = Timing::Realistic, .baud = 9600});
    auto wire = [](int bytes) { return static_cast<Micros>(bytes * 10'000'000.0 / 9600 + 0.5); };
    const Micros sent = slow.clock.now();
    slow.send(makeFrame(code::TestLink));
    EXPECT_EQ(slow.lines.back().at - sent, 5 * wire(1) + 500 + wire(5));
}

TEST(Reader, AutoFeedReplacesAHaltedCard) {
    Host h({.seed = 7, .autoFeed = true});
    h.clock.runFor(1);
    const auto first = h.reader.cardInField();
    ASSERT_TRUE(first && h.status(code::Select) == 1);
    const Micros haltAt = h.clock.now();
    ASSERT_EQ(h.status(code::Halt), 0);
    h.clock.runFor(haltAt + 1'499'999 - h.clock.now());
    EXPECT_FALSE(h.reader.cardInField());
    h.clock.runFor(1);
    ASSERT_TRUE(h.reader.cardInField());
    EXPECT_NE(h.reader.cardInField()->uid(), first->uid());
}

}  // namespace
}  // namespace zt::sim
