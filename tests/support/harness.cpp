#include "support/harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "core/link/hexlib.h"

namespace zt::test {

Harness::Harness(HarnessOptions opts) : reader(opts.reader) {
    const char* src = std::getenv("ZT_SOURCE_DIR");
    files.dir = "/nowhere";
    if (!opts.noLanguageFiles) files.realDir = std::string(src ? src : ZT_SOURCE_DIR_DEFAULT) + "/lang";
    form = std::make_unique<Form>(Platform{&serial, &socket, &box, &shell, &tips, &files, &timer, nullptr, nullptr, &save});
    // Bytes the program sends reach the simulated reader at the moment they leave.
    auto toReader = [this](Bytes b) {
        reader.receive(b, clock.now());
        armReader();
    };
    serial.sink = toReader;
    socket.sink = toReader;
    m().listInfo.observe([this](Control& c, Prop p, int) {
        if (p == Prop::ItemAdded) lines.push_back(Line{clock.now(), c.items().back()});
    });
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

std::shared_ptr<sim::Card> Harness::present(sim::CardKind kind, std::vector<std::uint8_t> uid,
                                            bool withAtqa) {
    auto card = std::make_shared<sim::Card>(sim::Card::blank(kind, std::move(uid)));
    card->reportWithAtqa = withAtqa;
    present(card);
    return card;
}

void Harness::Set(FormModel& m, std::string_view fields, Harness* h) {
    for (const auto& f : Lines(fields, h)) {
        if (f.empty()) continue;
        const auto eq = f.find('=');
        Control* c = m.find(f.substr(0, eq));
        ASSERT_NE(c, nullptr) << f;
        const std::string v = f.substr(eq + 1) == "~" ? "" : f.substr(eq + 1);
        if (c->kind() == Kind::CheckBox)
            c->setValue(std::stoi(v));
        else
            c->setText(v);
    }
}

std::vector<std::string> Harness::own(std::size_t from) const {
    std::vector<std::string> out;
    for (std::size_t i = from; i < lines.size(); ++i)
        if (!lines[i].text.starts_with(">>> ")) out.push_back(lines[i].text);
    return out;
}

std::vector<std::string> Harness::payloads(std::uint8_t code, std::size_t from) const {
    std::vector<std::string> out;
    const auto all = sent();
    for (std::size_t i = from; i < all.size(); ++i)
        if (all[i].size() >= 5 && all[i][1] == code)
            out.push_back(spaced(ByteVec(all[i].begin() + 3, all[i].end() - 2)));
    return out;
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

void Harness::setBlock(sim::Card& card, int block, std::string_view hex) {
    const ByteVec bytes = hexBytes(hex);
    sim::Block b{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), b.size()), b.begin());
    card.setBlock(block, b);
}

std::string spaced(const ByteVec& bytes) {
    std::string s;
    for (auto b : bytes) s += (s.empty() ? "" : " ") + HexByte(b);
    return s;
}

std::vector<std::string> Lines(std::string_view text, Harness* h, char sep) {
    std::vector<std::string> out;
    if (text.empty()) return out;
    for (std::size_t at = 0;;) {
        const auto bar = text.find(sep, at);
        std::string piece(text.substr(at, bar - at));
        for (std::size_t b = 0; h && (b = piece.find('{', b)) != std::string::npos;) {
            const auto e = piece.find('}', b);
            const std::string said = h->mis(std::stoi(piece.substr(b + 1, e - b - 1)));
            piece.replace(b, e - b + 1, said);
            b += said.size();
        }
        out.push_back(piece);
        if (bar == std::string_view::npos) return out;
        at = bar + 1;
    }
}

ByteVec hexBytes(std::string_view spaced) {
    std::string digits;
    for (char c : spaced)
        if (HexDigit(c) >= 0) digits += c;
    ByteVec out;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(HexDigit(digits[i]) * 16 + HexDigit(digits[i + 1])));
    return out;
}

}  // namespace zt::test
