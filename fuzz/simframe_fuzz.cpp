#include <array>
#include <memory>
#include <vector>

#include "harnesses.h"
#include "sim/reader.h"

namespace zt::fuzz {

namespace {

using sim::Micros;
namespace code = sim::code;

constexpr std::array<std::uint8_t, 10> kRequests{
    code::TestLink, code::StartUp,     code::DOutTemp, code::DOutPerm, code::Select,
    code::Halt,     code::WriteKeyE2P, code::Login,    code::Read,     code::Write};
constexpr std::array<int, 3> kBauds{9600, 19200, 38400};
constexpr std::array<sim::CardKind, 3> kKinds{sim::CardKind::Mini, sim::CardKind::Classic1K,
                                              sim::CardKind::Classic4K};
constexpr std::array<std::size_t, 3> kUidLengths{4, 7, 10};

// The answer's LEN is the one its code allows.
bool AnswerShapeOk(const sim::Frame& f) {
    const std::size_t n = f.data.size();
    switch (f.code) {
        case 0x80: case 0x81: case 0x86: case 0x87: case code::FrameError: return n == 0;
        case 0x91: case 0x92: case 0xA0: case 0xA1: case 0xA3: return n == 1;
        case 0xA2: return n == 1 || n == 16;
        case code::CardReport: return n == 5 || n == 7 || n == 8 || n == 10 || n == 11 || n == 13;
        default: return false;
    }
}

}  // namespace

std::string CheckSimFrameInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t flags = in.byte(), shape = in.byte();
    sim::ReaderOptions opts;
    opts.timing = flags & 1 ? sim::Timing::Realistic : sim::Timing::Instant;
    opts.baud = kBauds[((flags >> 1) & 3) % 3];
    opts.autoFeed = (flags & 8) != 0;
    opts.feedReportsAtqa = (flags & 0x20) != 0;
    opts.repeatIdleReports = (flags & 0x40) != 0;
    opts.feedKind = kKinds[shape % 3];
    opts.feedUidLength = kUidLengths[(shape / 3) % 3];
    opts.seed = shape;
    sim::Reader reader(opts);
    Micros now = 0, lastAt = 0;
    std::vector<std::uint8_t> wire;  // everything the reader sent, in order
    bool linkDropped = false;
    std::string error;
    const auto collect = [&](Micros t) {
        for (auto& e : reader.collect(now = t)) {
            if (e.at > now) error = "an emission due later came out early";
            if (e.at < lastAt) error = "emissions out of time order";
            lastAt = e.at;
            wire.insert(wire.end(), e.bytes.begin(), e.bytes.end());
            linkDropped = linkDropped || e.dropLink;
        }
        if (auto due = reader.nextDue(); due && *due <= now) error = "something due was not collected";
    };
    // Every card that was ever in the field, with the block 0 it came with.
    std::vector<std::pair<std::shared_ptr<sim::Card>, sim::Block>> cards;
    reader.onField = [&cards](const std::shared_ptr<sim::Card>& card, bool inField, Micros) {
        if (inField) cards.emplace_back(card, card->block(0));
    };
    int requests = 0;
    reader.onFrame = [&requests](const sim::FrameLogEntry& e) {
        if (e.kind == sim::FrameLogEntry::Kind::Request || e.kind == sim::FrameLogEntry::Kind::Rejected)
            ++requests;
    };
    auto newCard = [&in] {
        std::vector<std::uint8_t> uid(kUidLengths[in.pick(3)]);
        for (auto& b : uid) b = in.byte();
        auto card = std::make_shared<sim::Card>(sim::Card::blank(kKinds[in.pick(3)], uid));
        card->reportWithAtqa = in.flag();
        return card;
    };
    if (flags & 0x10) reader.present(newCard(), 0);
    bool faulty = false;
    for (std::size_t i = 0, n = flags & 0x80 ? in.pick(4) : 0; i < n; ++i, faulty = true) {
        const std::uint8_t c = kRequests[in.pick(kRequests.size())];
        const auto kind = static_cast<sim::FaultKind>(in.pick(13));
        const auto when = static_cast<sim::FaultWhen>(in.pick(3));
        const int nth = 1 + static_cast<int>(in.pick(4));
        reader.faults().arm(c, kind, when, nth, in.byte());
    }
    bool resets = false;
    while (!in.empty() && error.empty()) {
        const std::uint8_t op = in.byte();
        switch (op >> 6) {
            case 0:
            case 1: {  // a raw piece
                std::vector<std::uint8_t> piece(1 + (op & 0x3F));
                for (auto& b : piece) b = in.byte();
                reader.receive(piece, now);
                break;
            }
            case 2: {  // a well-formed request with a fuzzed payload
                const std::uint8_t c = kRequests[(op & 0x1F) % kRequests.size()];
                std::vector<std::uint8_t> payload(static_cast<std::size_t>(sim::requestPayloadLength(c)));
                for (auto& b : payload) b = in.byte();
                // Mostly sensible block numbers and key slots, so that cards get opened and written.
                const bool sensible = (op & 0x20) == 0;
                if (sensible && (c == code::Login || c == code::Read || c == code::Write)) payload[0] %= 8;
                if (sensible && c == code::Login) payload[1] &= 1, payload[2] %= 16;
                if (sensible && c == code::WriteKeyE2P) payload[0] %= 16;
                reader.receive(sim::makeFrame(c, payload), now);
                break;
            }
            default: {  // the world around the reader
                switch (op & 7) {
                    case 0: reader.remove(now); break;
                    case 1: reader.present(newCard(), now); break;
                    case 2: reader.linkReset(now), resets = true; break;
                    case 3: reader.setAutoFeed(!reader.options().autoFeed, now); break;
                    case 4: {
                        const auto timing = in.flag() ? sim::Timing::Realistic : sim::Timing::Instant;
                        reader.setTiming(timing, kBauds[in.pick(3)]);
                        break;
                    }
                    default: collect(now + 1'000'000); break;
                }
                break;
            }
        }
        collect(now + static_cast<Micros>(in.byte()) * 250);
    }
    // Every answer under way leaves within ten seconds (inputs up to 2 kB at 9600 baud).
    if (error.empty()) collect(now + 10'000'000);
    if (!error.empty()) return error;
    for (const auto& [card, block0] : cards)
        if (card->block(0) != block0) return "block 0 of a card changed";
    if (faulty || linkDropped) return {};
    sim::FrameAssembler frames;
    const auto got = frames.feed(wire);
    if (frames.rejected() != 0 || frames.skipped() != 0)
        return "the reader sent a damaged frame or stray bytes";
    if (frames.inFrame()) return "the reader stopped in the middle of a frame";
    int answers = 0;
    for (const auto& f : got) {
        if (!AnswerShapeOk(f))
            return "answer " + sim::answerName(f.code) + " with LEN " + std::to_string(f.data.size());
        if (f.code != code::CardReport) ++answers;
    }
    if (resets ? answers > requests : answers != requests)
        return std::to_string(requests) + " requests drew " + std::to_string(answers) + " answers";
    return {};
}

}  // namespace zt::fuzz
