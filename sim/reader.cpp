#include "sim/reader.h"

#include <algorithm>
#include <cstdio>

namespace zt::sim {
namespace {

constexpr Micros kSplitGap = 2'000;

bool has(const std::vector<Fault>& faults, FaultKind kind) {
    return std::any_of(faults.begin(), faults.end(), [kind](const Fault& f) { return f.kind == kind; });
}

const Fault* find(const std::vector<Fault>& faults, FaultKind kind) {
    for (const auto& f : faults)
        if (f.kind == kind) return &f;
    return nullptr;
}

std::string num(int v) {
    return std::to_string(v);
}

std::string statusText(std::uint8_t answer, std::uint8_t status) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", status);
    std::string s = std::string("status ") + buf;
    if (status == 0) return s + (answer == 0x91 ? " no card" : " ok");
    switch (answer) {
        case 0x91:
            return s + (status == 1   ? " 1K card"
                        : status == 2 ? " 4K card"
                        : status == 3 ? " Mini card"
                                      : "");
        case 0x92:
            return s + " no selected card";
        case 0xA0:
            return s + " no such key slot";
        case 0xA1:
            switch (status) {
                case 1:
                    return s + " no selected card";
                case 2:
                    return s + " authentication failed";
                case 3:
                    return s + " sector locked";
                case 4:
                    return s + " block beyond the card";
                case 5:
                    return s + " bad key slot or key type";
                default:
                    return s;
            }
        case 0xA2:
        case 0xA3:
            switch (status) {
                case 1:
                    return s + " no selected card";
                case 2:
                    return s + " block outside the authenticated sector";
                case 3:
                    return s + " refused by the access conditions";
                case 4:
                    return s + " block beyond the card";
                default:
                    return s;
            }
        default:
            return s;
    }
}

const char* outputName(int n) {
    switch (n) {
        case 0:
            return "green LED";
        case 1:
            return "red LED";
        case 2:
            return "beeper";
        default:
            return "output";
    }
}

std::string requestDetail(const Frame& f) {
    const auto& d = f.data;
    switch (f.code) {
        case code::DOutTemp:
        case code::DOutPerm:
            return std::string("output ") + num(d[0]) + " (" + outputName(d[0]) + "), " +
                   (d[1] == 0                                 ? std::string("off")
                    : d[1] == 255 || f.code == code::DOutPerm ? std::string("on")
                                                              : num(d[1] * 10) + " ms");
        case code::WriteKeyE2P:
            return "slot " + num(d[0]) + ", key " + hexBytes(std::span(d).subspan(1), "");
        case code::Login:
            return "block " + num(d[0]) + ", key " +
                   (d[1] == 0   ? "A"
                    : d[1] == 1 ? "B"
                                : "?" + num(d[1])) +
                   ", slot " + num(d[2]);
        case code::Read:
            return "block " + num(d[0]);
        case code::Write:
            return "block " + num(d[0]) + ": " + hexBytes(std::span(d).subspan(1));
        default:
            return {};
    }
}

}  // namespace

bool KeyStore::set(int slot, const Key& key) {
    if (slot < 0 || slot >= kSlots) return false;
    keys_[static_cast<std::size_t>(slot)] = key;
    return true;
}

Reader::Reader(ReaderOptions opts) : opts_(opts), rng_(opts.seed) {
    if (opts_.autoFeed) scheduleFeed(0);
}

void Reader::setTiming(Timing timing, int baud) {
    opts_.timing = timing;
    opts_.baud = baud > 0 ? baud : 9600;
}

Micros Reader::wire(std::size_t bytes) const {
    if (opts_.timing == Timing::Instant) return 0;
    return static_cast<Micros>((static_cast<long double>(bytes) * 10 * 1'000'000) / opts_.baud + 0.5L);
}

Micros Reader::workTime(std::uint8_t c) const {
    if (opts_.timing == Timing::Instant) return 0;
    switch (c) {
        case code::Select:
            return 2'500;
        case code::Login:
            return 2'000;
        case code::Read:
            return 2'500;
        case code::Write:
            return 5'500;
        case code::Halt:
            return 1'000;
        case code::WriteKeyE2P:
            return 3'000;
        default:
            return 500;
    }
}

void Reader::schedule(Micros at, Event ev) {
    events_.emplace(Key2{at, seq_++}, std::move(ev));
}

void Reader::enqueue(Micros at, std::vector<std::uint8_t> bytes, bool dropLink) {
    emissions_.emplace(Key2{at, seq_++}, Emission{at, std::move(bytes), dropLink});
}

std::optional<Micros> Reader::nextDue() const {
    std::optional<Micros> due;
    if (!events_.empty()) due = events_.begin()->first.first;
    if (!emissions_.empty() && (!due || emissions_.begin()->first.first < *due))
        due = emissions_.begin()->first.first;
    return due;
}

void Reader::receive(std::span<const std::uint8_t> bytes, Micros now) {
    for (auto b : bytes) {
        Micros at = now;
        if (opts_.timing == Timing::Realistic) {
            rxFree_ = std::max(now, rxFree_) + wire(1);
            at = rxFree_;
        }
        byteIn(b, at);
    }
}

void Reader::byteIn(std::uint8_t b, Micros at) {
    if (rx_.empty()) {
        if (b == kStx) rx_.push_back(b);
        return;
    }
    rx_.push_back(b);
    if (rx_.size() == 3 && rx_[2] > kMaxRequestLen) {
        reject(at, "LEN above 31", std::move(rx_));
        rx_.clear();
        return;
    }
    if (rx_.size() >= 3 && rx_.size() == static_cast<std::size_t>(rx_[2]) + 5) frameIn(at);
}

void Reader::frameIn(Micros at) {
    std::vector<std::uint8_t> bytes = std::move(rx_);
    rx_.clear();
    const std::uint8_t c = bytes[1], len = bytes[2];
    Frame f{c, std::vector<std::uint8_t>(bytes.begin() + 3, bytes.begin() + 3 + len)};
    if (frameChecksum(c, f.data) != bytes[3 + len]) return reject(at, "bad checksum", std::move(bytes));
    if (bytes[4 + len] != kEtx) return reject(at, "no ETX", std::move(bytes));
    const int want = requestPayloadLength(c);
    if (want < 0) return reject(at, "unknown request " + requestName(c), std::move(bytes));
    if (want != len) return reject(at, requestName(c) + " with LEN " + num(len), std::move(bytes));

    if (onFrame)
        onFrame(
            FrameLogEntry{at, FrameLogEntry::Kind::Request, c, bytes, requestName(c), requestDetail(f), {}});
    Execute ex{std::move(f), faults_.take(c), {}};
    busyUntil_ = std::max(at, busyUntil_) + workTime(c);
    schedule(busyUntil_, std::move(ex));
}

void Reader::reject(Micros at, std::string reason, std::vector<std::uint8_t> bytes) {
    if (onFrame) {
        const std::uint8_t c = bytes.size() > 1 ? bytes[1] : 0;
        onFrame(FrameLogEntry{at, FrameLogEntry::Kind::Rejected, c, bytes, requestName(c), reason, {}});
    }
    busyUntil_ = std::max(at, busyUntil_) + workTime(0xFF);
    schedule(busyUntil_, Execute{Frame{}, {}, std::move(reason)});
}

std::vector<Emission> Reader::collect(Micros now) {
    while (!events_.empty() && events_.begin()->first.first <= now) {
        auto node = events_.extract(events_.begin());
        const Micros t = node.key().first;
        Event& ev = node.mapped();
        if (auto* ex = std::get_if<Execute>(&ev)) {
            run(t, *ex);
        } else if (auto* rep = std::get_if<Report>(&ev)) {
            if (rep->token == reportToken_) runReport(t);
        } else if (auto* feed = std::get_if<Feed>(&ev)) {
            if (feed->token == feedToken_ && opts_.autoFeed && !card_) {
                auto card =
                    std::make_shared<Card>(Card::blank(opts_.feedKind, randomUid(opts_.feedUidLength)));
                card->reportWithAtqa = opts_.feedReportsAtqa;
                present(std::move(card), t);
            }
        } else if (auto* leave = std::get_if<LeaveAfterHalt>(&ev)) {
            if (card_ && card_ == leave->card) {
                remove(t);
                if (opts_.autoFeed) scheduleFeed(t + opts_.feedDelay);
            }
        }
    }
    std::vector<Emission> out;
    while (!emissions_.empty() && emissions_.begin()->first.first <= now) {
        out.push_back(std::move(emissions_.begin()->second));
        emissions_.erase(emissions_.begin());
    }
    return out;
}

void Reader::run(Micros t, Execute& ex) {
    if (!ex.reject.empty()) {
        transmit(t, code::FrameError, {}, {}, ex.reject);
        return;
    }
    if (has(ex.faults, FaultKind::FrameError)) {
        transmit(t, code::FrameError, {}, {}, "fault frame-error");
        return;
    }
    std::string detail;
    auto data = answerFor(t, ex.frame, ex.faults, detail);
    if (has(ex.faults, FaultKind::LinkDrop)) {
        enqueue(t, {}, true);
        rx_.clear();
        if (onFrame)
            onFrame(FrameLogEntry{t,
                                  FrameLogEntry::Kind::Answer,
                                  static_cast<std::uint8_t>(ex.frame.code + 0x80),
                                  {},
                                  answerName(static_cast<std::uint8_t>(ex.frame.code + 0x80)),
                                  "link dropped instead",
                                  "link-drop"});
        return;
    }
    transmit(t, static_cast<std::uint8_t>(ex.frame.code + 0x80), std::move(data), ex.faults,
             std::move(detail));
}

std::vector<std::uint8_t> Reader::answerFor(Micros t, const Frame& f, std::vector<Fault>& faults,
                                            std::string& detail) {
    const auto& d = f.data;
    auto status = [&](std::uint8_t s) {
        detail = statusText(static_cast<std::uint8_t>(f.code + 0x80), s);
        return std::vector<std::uint8_t>{s};
    };

    if (has(faults, FaultKind::CardRemoved) && card_) {
        if (f.code == code::Write && (rng_() & 1)) {
            Block b;
            std::copy_n(d.begin() + 1, 16, b.begin());
            card_->write(d[0], b);  // the new content made it before the card left
        }
        remove(t);
    }

    switch (f.code) {
        case code::TestLink:
        case code::StartUp:
            return {};
        case code::DOutTemp:
            setOutput(d[0], d[1], d[1] == 255, t);
            return {};
        case code::DOutPerm:
            setOutput(d[0], d[1], true, t);
            return {};
        case code::Select: {
            if (const Fault* forced = find(faults, FaultKind::SelectStatus)) {
                if (forced->value != 0 && card_) card_->select();
                return status(static_cast<std::uint8_t>(forced->value));
            }
            if (!card_ || !card_->select()) return status(0);
            switch (card_->kind()) {
                case CardKind::Classic1K:
                    return status(1);
                case CardKind::Classic4K:
                    return status(2);
                case CardKind::Mini:
                    return status(3);
            }
            return status(0);
        }
        case code::Halt: {
            if (has(faults, FaultKind::HaltRefused) || !card_ ||
                (card_->state() != CardState::Selected && card_->state() != CardState::Authenticated))
                return status(1);
            card_->halt();
            if (opts_.autoFeed) schedule(t, LeaveAfterHalt{card_});
            return status(0);
        }
        case code::WriteKeyE2P: {
            Key k;
            std::copy_n(d.begin() + 1, 6, k.begin());
            return status(keys_.set(d[0], k) ? 0 : 1);
        }
        case code::Login: {
            if (has(faults, FaultKind::LoginRefused)) {
                if (card_ && card_->state() != CardState::Halted) {
                    card_->dropToIdle();
                    droppedToIdle(t);
                }
                return status(2);
            }
            if (d[2] >= KeyStore::kSlots || d[1] > 1) return status(5);
            if (!card_) return status(1);
            const auto r = card_->authenticate(d[0], d[1] == 0 ? KeyType::A : KeyType::B, keys_.get(d[2]));
            switch (r) {
                case AuthResult::Ok:
                    return status(0);
                case AuthResult::NotSelected:
                    return status(1);
                case AuthResult::WrongKey:
                    droppedToIdle(t);
                    return status(2);
                case AuthResult::Locked:
                    droppedToIdle(t);
                    return status(3);
                case AuthResult::NoSuchBlock:
                    droppedToIdle(t);
                    return status(4);
            }
            return status(2);
        }
        case code::Read:
        case code::Write: {
            if (!card_) return status(1);
            Block b{};
            AccessResult r;
            if (f.code == code::Read) {
                r = card_->read(d[0], b);
            } else {
                std::copy_n(d.begin() + 1, 16, b.begin());
                if (const Fault* lie = find(faults, FaultKind::LyingWrite)) {
                    // Rules and answer as for the true write; only the stored bytes differ.
                    if (lie->value >= 1 && lie->value <= 16)
                        b[static_cast<std::size_t>(lie->value - 1)] ^= 0xFF;
                    else if (d[0] < card_->blockCount())
                        b = card_->block(d[0]);
                }
                r = card_->write(d[0], b);
            }
            switch (r) {
                case AccessResult::Ok:
                    if (f.code == code::Write) return status(0);
                    detail = "block " + num(d[0]);
                    return std::vector<std::uint8_t>(b.begin(), b.end());
                case AccessResult::NotSelected:
                    return status(1);
                case AccessResult::NotAuthenticated:
                    droppedToIdle(t);
                    return status(2);
                case AccessResult::Denied:
                    droppedToIdle(t);
                    return status(3);
                case AccessResult::NoSuchBlock:
                    droppedToIdle(t);
                    return status(4);
            }
            return status(1);
        }
        default:
            return {};
    }
}

void Reader::transmit(Micros t, std::uint8_t c, std::vector<std::uint8_t> data,
                      const std::vector<Fault>& faults, std::string detail) {
    std::string applied;
    auto note = [&](FaultKind k) {
        if (!applied.empty()) applied += ", ";
        applied += faultName(k);
    };
    if (has(faults, FaultKind::StatusLen2) && data.size() == 1) {
        data.push_back(0x00);
        note(FaultKind::StatusLen2);
    }
    if (has(faults, FaultKind::LyingWrite) && c == code::Write + 0x80) note(FaultKind::LyingWrite);
    auto frame = makeFrame(c, data);
    if (has(faults, FaultKind::BadChecksum)) {
        frame[frame.size() - 2] = static_cast<std::uint8_t>(frame[frame.size() - 2] + 1);
        note(FaultKind::BadChecksum);
    }
    const auto kind = c == code::CardReport ? FrameLogEntry::Kind::Report : FrameLogEntry::Kind::Answer;
    if (has(faults, FaultKind::NoAnswer)) {
        note(FaultKind::NoAnswer);
        if (onFrame) onFrame(FrameLogEntry{t, kind, c, frame, answerName(c), detail, applied});
        return;
    }
    std::vector<std::uint8_t> bytes;
    if (has(faults, FaultKind::Garbage)) {
        static constexpr std::uint8_t kNoise[] = {0xFF, 0x00, 0x55, 0xAA, 0x03, 0x80, 0x7E};
        const std::size_t n = 3 + rng_() % 5;
        for (std::size_t i = 0; i < n; ++i) bytes.push_back(kNoise[rng_() % std::size(kNoise)]);
        note(FaultKind::Garbage);
    }
    bytes.insert(bytes.end(), frame.begin(), frame.end());

    Micros at = std::max(t, txFree_);
    if (const Fault* split = find(faults, FaultKind::SplitBytes)) {
        const Micros gap = split->value > 0 ? split->value : kSplitGap;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            at += wire(1) + (i ? gap : 0);
            enqueue(at, {bytes[i]});
        }
        note(FaultKind::SplitBytes);
    } else {
        at += wire(bytes.size());
        enqueue(at, bytes);
    }
    if (has(faults, FaultKind::Duplicate)) {
        at += wire(frame.size());
        enqueue(at, frame);
        note(FaultKind::Duplicate);
    }
    txFree_ = at;
    if (onFrame) onFrame(FrameLogEntry{at, kind, c, frame, answerName(c), std::move(detail), applied});
}

void Reader::runReport(Micros t) {
    if (!card_ || card_->state() != CardState::Idle) return;
    const auto& uid = card_->uid();
    const std::uint8_t cls = uid.size() == 4 ? 1 : uid.size() == 7 ? 2 : 3;
    std::vector<std::uint8_t> data;
    if (card_->reportWithAtqa) {
        const auto atqa = card_->atqa();
        data = {static_cast<std::uint8_t>(0xA0 + cls), atqa[0], atqa[1]};
    } else {
        data = {cls};
    }
    data.insert(data.end(), uid.begin(), uid.end());
    const auto faults = faults_.take(code::CardReport);
    transmit(t, code::CardReport, std::move(data), faults, "UID " + hexBytes(uid, ""));
    if (opts_.repeatIdleReports) scheduleReport(t + opts_.pollInterval);
}

void Reader::scheduleReport(Micros at) {
    schedule(at, Report{++reportToken_});
}

void Reader::scheduleFeed(Micros at) {
    schedule(at, Feed{++feedToken_});
}

void Reader::droppedToIdle(Micros t) {
    scheduleReport(t + opts_.pollInterval);
}

void Reader::present(std::shared_ptr<Card> card, Micros now) {
    if (card_) remove(now);
    if (!card) return;
    card->leaveField();
    card_ = std::move(card);
    if (onField) onField(card_, true, now);
    scheduleReport(now + workTime(code::Select));
}

void Reader::remove(Micros now) {
    if (!card_) return;
    // A Write under way is torn: its block keeps the old or gets the new content.
    for (auto& [key, ev] : events_) {
        auto* ex = std::get_if<Execute>(&ev);
        if (ex && ex->reject.empty() && ex->frame.code == code::Write && (rng_() & 1)) {
            Block b;
            std::copy_n(ex->frame.data.begin() + 1, 16, b.begin());
            card_->write(ex->frame.data[0], b);
        }
    }
    auto old = std::move(card_);
    card_.reset();
    old->leaveField();
    ++reportToken_;
    if (onField) onField(old, false, now);
}

void Reader::setAutoFeed(bool on, Micros now) {
    opts_.autoFeed = on;
    if (on && !card_)
        scheduleFeed(now + opts_.feedDelay);
    else if (!on)
        ++feedToken_;
}

void Reader::linkReset(Micros now) {
    rx_.clear();
    std::erase_if(events_, [](const auto& e) { return std::holds_alternative<Execute>(e.second); });
    emissions_.clear();
    rxFree_ = txFree_ = busyUntil_ = now;
    if (card_ && card_->state() == CardState::Idle) scheduleReport(now);
}

void Reader::setOutput(int n, int duration, bool permanent, Micros t) {
    if (n >= 0 && n < kOutputs) {
        OutputState& o = outputs_[static_cast<std::size_t>(n)];
        o.on = duration != 0;
        o.permanent = o.on && (permanent || duration == 255);
        o.until = o.on && !o.permanent ? t + Micros{duration} * 10'000 : 0;
    }
    if (onOutput) onOutput(n, duration, permanent, t);
}

OutputState Reader::output(int n, Micros now) const {
    if (n < 0 || n >= kOutputs) return {};
    OutputState o = outputs_[static_cast<std::size_t>(n)];
    if (o.on && !o.permanent && now >= o.until) o = {};
    return o;
}

std::vector<std::uint8_t> Reader::randomUid(std::size_t len) {
    if (len != 7 && len != 10) len = 4;
    std::vector<std::uint8_t> uid(len);
    for (auto& b : uid) b = static_cast<std::uint8_t>(rng_());
    if (uid[0] == 0x88)  // the cascade tag never starts a UID
        uid[0] = 0x04;
    return uid;
}

}  // namespace zt::sim
