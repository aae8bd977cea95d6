#include "support/harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "core/link/hexlib.h"

namespace zt::test {

namespace {
std::string defaultLangDir() {
    if (const char* src = std::getenv("ZT_SOURCE_DIR")) return std::string(src) + "/lang";
#ifdef ZT_SOURCE_DIR_DEFAULT
    return std::string(ZT_SOURCE_DIR_DEFAULT) + "/lang";
#else
    return "lang";
#endif
}
}  // namespace

Harness::Harness(HarnessOptions opts) : reader(opts.reader) {
    if (opts.noLanguageFiles) {
        files.dir = "/nowhere";
    } else {
        files.realDir = defaultLangDir();
    }
    Platform pf;
    pf.serial = &serial;
    pf.socket = &socket;
    pf.box = &box;
    pf.shell = &shell;
    pf.tips = &tips;
    pf.files = &files;
    pf.timer = &timer;
    form = std::make_unique<Form>(pf);

    // Bytes the program sends reach the simulated reader at the moment they leave.
    auto toReader = [this](Bytes b) {
        reader.receive(b, clock.now());
        armReader();
    };
    serial.sink = toReader;
    socket.sink = toReader;
}

Harness::~Harness() {
    // The window goes before the fakes it points to.
    form.reset();
}

void Harness::armReader() {
    const auto due = reader.nextDue();
    if (!due) return;
    const Micros t = std::max(*due, clock.now());
    if (armedAt_ >= 0 && armedAt_ <= t && armedAt_ >= clock.now()) return;
    armedAt_ = t;
    clock.at(t, [this] {
        armedAt_ = -1;
        deliverDue();
    });
}

void Harness::deliverDue() {
    for (auto& e : reader.collect(clock.now())) {
        if (!e.bytes.empty()) {
            if (serial.isOpen()) serial.deliver(e.bytes);
            if (socket.connected) socket.deliver(e.bytes);
        }
        if (e.dropLink) {
            serial.lose();
            socket.reset();
            reader.linkReset(clock.now());
        }
    }
    armReader();
}

void Harness::load() {
    form->Form_Load();
}

void Harness::openCom() {
    serial.freePorts.insert(1);
    m().cEditCfg1.setText("1");
    ASSERT_TRUE(click("cmdOpenCom"));
    ASSERT_EQ(st().LinkType, 1) << "COM 1 did not open";
    reader.linkReset(clock.now());
    armReader();
}

void Harness::openTcp() {
    socket.mode = FakeSocket::Mode::Accept;
    m().cEditCfg3.setText("127.0.0.1");
    ASSERT_TRUE(click("cmdOpenTCP"));
    ASSERT_TRUE(runUntil([this] { return st().LinkType == 2; }, 25)) << "TCP did not open";
    reader.linkReset(clock.now());
    armReader();
}

bool Harness::runUntil(const std::function<bool()>& done, double seconds) {
    const Micros limit = clock.now() + static_cast<Micros>(seconds * 1e6);
    return clock.runUntil(done, limit);
}

void Harness::runFor(double seconds) {
    clock.runFor(static_cast<Micros>(seconds * 1e6));
}

bool Harness::runUntilIdle(double seconds) {
    return runUntil([this] { return st().ActiveRun == kNoRun && ctx().sched.running() == 0; }, seconds);
}

std::shared_ptr<sim::Card> Harness::present(sim::CardKind kind, std::vector<std::uint8_t> uid,
                                            bool withAtqa) {
    auto card = std::make_shared<sim::Card>(sim::Card::blank(kind, std::move(uid)));
    card->reportWithAtqa = withAtqa;
    present(card);
    return card;
}

void Harness::present(std::shared_ptr<sim::Card> card) {
    reader.present(std::move(card), clock.now());
    armReader();
}

void Harness::removeCard() {
    reader.remove(clock.now());
    armReader();
}

bool Harness::logHas(std::string_view line) const {
    return std::find(log().begin(), log().end(), line) != log().end();
}

std::vector<std::string> Harness::logFrom(std::size_t from) const {
    const auto& l = log();
    if (from >= l.size()) return {};
    return {l.begin() + static_cast<std::ptrdiff_t>(from), l.end()};
}

std::vector<ByteVec> Harness::sent() const {
    std::vector<ByteVec> out = serial.writes;
    out.insert(out.end(), socket.sends.begin(), socket.sends.end());
    return out;
}

std::string Harness::blockHex(const sim::Card& card, int block) {
    const auto& b = card.block(block);
    return StrToHex(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
}

ByteVec hexBytes(std::string_view spaced) {
    ByteVec out;
    int nib = -1;
    for (char c : spaced) {
        const int d = HexDigit(c);
        if (d < 0) continue;
        if (nib < 0) {
            nib = d;
        } else {
            out.push_back(static_cast<std::uint8_t>(nib * 16 + d));
            nib = -1;
        }
    }
    return out;
}

}  // namespace zt::test
