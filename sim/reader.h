// The emulated card reader: it takes request frames from the host, works the card in its field
// and sends answers and card reports back, each at the time its timing model gives.
//
// Driving it: the front (a TCP or serial link, or a test on a virtual clock) hands every byte from
// the host to receive() with the time it arrived, asks nextDue() when something is due next, and
// calls collect(now) at (or after) that time to get the bytes to send. Nothing is answered from
// inside receive(): answers, card reports and link drops come out of collect() only.
//
// Requests answered (anything else, a bad checksum, a wrong ETX, a LEN that does not fit the
// request or LEN above 31 answers FrameError 0xFE with LEN 0; a LEN above 31 is answered as soon
// as the length byte is in, and the reader then hunts for the next STX):
//
//   TestLink 00, StartUp 01             -> 80 / 81, LEN 0
//   DOutTemp 06 (output, duration)      -> 86, LEN 0. Output 0 green LED, 1 red LED, 2 beeper;
//                                          duration in 10 ms units, 0 = off, 255 = on for good
//   DOutPerm 07 (output, value)         -> 87, LEN 0. value 0 = off, anything else = on for good
//   Select 11                           -> 91 status: 0 no card answered (none in the field, or
//                                          it is halted), 1 = 1K card, 2 = 4K card, 3 = Mini
//   Halt 12                             -> 92 status: 0 halted, 1 no selected card
//   WriteKeyE2P 20 (slot, 6 key bytes)  -> A0 status: 0 stored, 1 slot outside 0-15
//   Login 21 (block, key type, slot)    -> A1 status: 0 sector open
//                                            1 no selected card (none, idle or halted)
//                                            2 authentication failed (wrong key, key B where the
//                                              access conditions leave it readable)
//                                            3 sector locked by inconsistent access bytes
//                                            4 block beyond the card
//                                            5 key slot above 15 or key type above 1
//                                          key type 0 = key A, 1 = key B. With 2, 3 and 4 the
//                                          card drops back to idle.
//   Read 22 (block)                     -> A2 with the 16 bytes, or A2 with one status byte:
//   Write 23 (block, 16 bytes)          -> A3 status, 0 written, otherwise as for Read:
//                                            1 no selected card (also: card left during the
//                                              operation)
//                                            2 block outside the authenticated sector
//                                            3 refused by the access conditions (block 0 always)
//                                            4 block beyond the card
//                                          With 2, 3 and 4 the card drops back to idle.
//                                          The lying-write fault stores other bytes than those
//                                          sent and still answers as the true write would.
//
// Key slots hold FFFFFFFFFFFF (the factory key) until written.
//
// Card report (0x90), sent on its own: when a card enters the field, and then every poll interval
// while the card in the field is idle (never selected, or dropped back after a failed login or a
// refused read or write). A halted card is not reported again until it leaves the field and comes
// back. The report is the marker byte (UID size class: 1 = 4 bytes, 2 = 7, 3 = 10) and the UID,
// or, for a card that reports its ATQA, the marker + 0xA0, the two ATQA bytes and the UID.
//
// Timing: Instant answers at the time the request is complete. Realistic puts every byte on the
// wire for 10 bits at the baud rate, in both directions, and adds the card's working time: select
// 2.5 ms, authentication 2 ms, read 2.5 ms, write 5.5 ms, halt 1 ms, key store 3 ms, anything
// else 0.5 ms. The reader does one request at a time. A card removed while a Write is under way
// keeps either its old or its new block (chosen by the seeded random source).
//
// Auto-feed: after a successful Halt the card leaves the field, and a fresh blank card enters
// after the feed delay (also when auto-feed is switched on with no card in the field).
#pragma once

#include "sim/card.h"
#include "sim/faults.h"
#include "sim/frame.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace zt::sim {

using Micros = std::int64_t;  // virtual or real time in microseconds

struct Emission {
    Micros at = 0;
    std::vector<std::uint8_t> bytes;
    bool dropLink = false;  // the front resets the TCP connection / hangs up the pty now
    bool operator==(const Emission&) const = default;
};

enum class Timing { Instant, Realistic };

struct ReaderOptions {
    Timing timing = Timing::Instant;
    int baud = 9600;  // realistic timing only
    Micros pollInterval = 300'000;
    std::uint64_t seed = 1;  // torn writes, fed cards' UIDs, garbage bytes
    bool autoFeed = false;   // with it the first card enters at time 0
    Micros feedDelay = 1'500'000;
    CardKind feedKind = CardKind::Classic1K;
    std::size_t feedUidLength = 4;
    bool feedReportsAtqa = true;
    bool repeatIdleReports = true;  // false: report once on entry, once after a drop to idle
};

struct FrameLogEntry {
    enum class Kind { Request, Answer, Report, Rejected };
    Micros at = 0;  // when the frame was complete (request) or delivered (answer)
    Kind kind = Kind::Request;
    std::uint8_t code = 0;
    std::vector<std::uint8_t> bytes;  // the frame as on the wire
    std::string name;                 // "Login", "AnsLogin", "AnsGetUID", "FrameError" ...
    std::string detail;               // "block 4, key A, slot 5", "status 0x02 authentication failed"
    std::string fault;                // faults applied to the answer, if any
};

class KeyStore {
public:
    static constexpr int kSlots = 16;
    KeyStore() { keys_.fill(Key{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}); }
    bool set(int slot, const Key& key);
    const Key& get(int slot) const { return keys_.at(static_cast<std::size_t>(slot)); }

private:
    std::array<Key, kSlots> keys_{};
};

struct OutputState {
    bool on = false;
    bool permanent = false;
    Micros until = 0;  // when a timed output goes off
};

class Reader {
public:
    static constexpr int kOutputs = 3;  // green LED, red LED, beeper

    explicit Reader(ReaderOptions opts = {});

    /// Bytes from the host, in any chunking, with the time they arrived.
    void receive(std::span<const std::uint8_t> bytes, Micros now);
    /// Earliest pending emission or internal event (poll, auto-feed, request under way).
    std::optional<Micros> nextDue() const;
    /// Everything due at or before `now`, in order; runs the internal events on the way.
    std::vector<Emission> collect(Micros now);
    /// The link went down or a new client came: forget a half-received frame, requests under way
    /// and unsent answers; an idle card in the field is reported again at once.
    void linkReset(Micros now);

    // The field: one card at a time. present() with another card in the field removes it first.
    void present(std::shared_ptr<Card> card, Micros now);
    void remove(Micros now);
    std::shared_ptr<Card> cardInField() const { return card_; }

    Faults& faults() { return faults_; }
    const KeyStore& keys() const { return keys_; }
    const ReaderOptions& options() const { return opts_; }
    void setAutoFeed(bool on, Micros now);
    void setFeedDelay(Micros delay) { opts_.feedDelay = delay; }
    void setTiming(Timing timing, int baud);
    OutputState output(int n, Micros now) const;

    // Observers for the window and tests.
    std::function<void(int output, int duration, bool permanent, Micros now)> onOutput;
    std::function<void(const FrameLogEntry&)> onFrame;
    /// A card entered (true) or left (false) the field, including the cards of auto-feed.
    std::function<void(const std::shared_ptr<Card>&, bool inField, Micros now)> onField;

private:
    struct Execute {
        Frame frame;
        std::vector<Fault> faults;
        std::string reject;  // non-empty: answer FrameError for this reason
    };
    struct Report {
        std::uint64_t token;
    };
    struct Feed {
        std::uint64_t token;
    };
    struct LeaveAfterHalt {
        std::shared_ptr<Card> card;
    };
    using Event = std::variant<Execute, Report, Feed, LeaveAfterHalt>;
    using Key2 = std::pair<Micros, std::uint64_t>;

    Micros wire(std::size_t bytes) const;
    Micros workTime(std::uint8_t code) const;
    void schedule(Micros at, Event ev);
    void byteIn(std::uint8_t b, Micros at);
    void frameIn(Micros at);
    void reject(Micros at, std::string reason, std::vector<std::uint8_t> bytes);
    void run(Micros t, Execute& ex);
    void runReport(Micros t);
    void transmit(Micros t, std::uint8_t code, std::vector<std::uint8_t> data,
                  const std::vector<Fault>& faults, std::string detail);
    void enqueue(Micros at, std::vector<std::uint8_t> bytes, bool dropLink = false);
    void scheduleReport(Micros at);
    void scheduleFeed(Micros at);
    void droppedToIdle(Micros t);
    std::vector<std::uint8_t> answerFor(Micros t, const Frame& f, std::vector<Fault>& faults,
                                        std::string& detail);
    void setOutput(int n, int duration, bool permanent, Micros t);
    std::vector<std::uint8_t> randomUid(std::size_t len);

    ReaderOptions opts_;
    KeyStore keys_;
    Faults faults_;
    std::shared_ptr<Card> card_;
    std::array<OutputState, kOutputs> outputs_{};
    std::mt19937_64 rng_;

    std::vector<std::uint8_t> rx_;  // frame being received
    Micros rxFree_ = 0;             // when the receive line is free again (realistic timing)
    Micros txFree_ = 0;             // when the send line is free again
    Micros busyUntil_ = 0;          // when the reader can start on the next request

    std::map<Key2, Event> events_;
    std::map<Key2, Emission> emissions_;
    std::uint64_t seq_ = 0;
    std::uint64_t reportToken_ = 0;
    std::uint64_t feedToken_ = 0;
};

}  // namespace zt::sim
