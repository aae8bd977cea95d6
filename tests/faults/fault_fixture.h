// The window on the virtual clock with the simulated reader, seen the way the fault tests need it:
// lines with their times, the colour history of the user-card box, runs driven until they rest.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "support/harness.h"

namespace zt::test::faults {

enum class Link { Com, Tcp };
enum class RunKind { Encode, Read };

inline const char* LinkName(Link l) {
    return l == Link::Com ? "Com" : "Tcp";
}

// Request codes.
constexpr std::uint8_t kTestLink = 0x00, kStartUp = 0x01, kDOutTemp = 0x06, kDOutPerm = 0x07, kSelect = 0x11,
                       kHalt = 0x12, kWriteKey = 0x20, kLogin = 0x21, kRead = 0x22, kWrite = 0x23;

constexpr int kUserType = 30;  // USUARIO BASICO, the one type ticked on the user tab

// The first block of a USUARIO BASICO card of installation 0000: type code, installation, user
// number, check digit, 22 "F".
inline std::string UserBlock(int user) {
    std::string head = "100000" +
                       std::string(user < 10    ? "00"
                                   : user < 100 ? "0"
                                                : "") +
                       std::to_string(user);
    int sum = 0;
    for (char c : head) sum += c - '0';
    return head + static_cast<char>('0' + (10 - sum % 10) % 10) + std::string(22, 'F');
}
inline const std::string kWrittenTrailer = "FFFFFFFFFFFFFF0780FFFFFFFFFFFFFF";
inline const std::string kFactoryTrailer = "FFFFFFFFFFFFFF078069FFFFFFFFFFFF";

struct Line {
    Micros at;
    std::string text;
};

class FaultFixture {
public:
    explicit FaultFixture(Link link) : link_(link) {
        h.load();
        h.m().listInfo.observe([this](Control& c, Prop p, int) {
            if (p == Prop::ItemAdded) lines.push_back(Line{h.clock.now(), c.items().back()});
        });
        h.m().cSelTar(kUserType).observe([this](Control& c, Prop p, int) {
            if (p == Prop::ForeColor) colours.push_back(c.foreColor());
        });
        open();
    }

    Harness h;
    std::vector<Line> lines;      // every line logged after start-up, with its time
    std::vector<Colour> colours;  // ForeColor changes of cSelTar(30)

    Link link() const { return link_; }
    void open() {
        if (link_ == Link::Com) {
            h.openCom();
        } else {
            h.openTcp();
        }
    }
    bool linkUp() const { return link_ == Link::Com ? h.serial.isOpen() : h.socket.connected; }
    bool idle() { return h.st().ActiveRun == kNoRun; }
    std::string mis(int n) { return h.mis(n); }

    // A fresh blank card in the field, the old one taken away first.
    std::shared_ptr<sim::Card> freshCard() {
        h.removeCard();
        return remember(
            h.present(sim::CardKind::Classic1K, {0x04, 0x11, 0x22, static_cast<std::uint8_t>(++uid_)}));
    }
    // A card made earlier for user `user` (sector 1, factory keys), the old one taken away first.
    std::shared_ptr<sim::Card> userCard(int user) {
        auto card = std::make_shared<sim::Card>(sim::Card::blank(
            sim::CardKind::Classic1K, {0x08, 0x77, 0x66, static_cast<std::uint8_t>(++uid_)}));
        sim::Block b{};
        const ByteVec bytes = hexBytes(UserBlock(user));
        std::copy(bytes.begin(), bytes.end(), b.begin());
        card->setBlock(4, b);
        h.removeCard();
        h.present(card);
        return remember(card);
    }
    const std::vector<std::shared_ptr<sim::Card>>& cards() const { return cards_; }

    // Runs the clock until the run is over, or until nothing has been logged and no box has been
    // open for eight seconds (the run then waits for a card that nobody lays on the reader).
    void settle(double limit = 180) {
        double quiet = 0;
        std::size_t n = lines.size();
        for (double t = 0; t < limit; t += 0.5) {
            if (idle() && h.box.open == 0) return;
            h.runFor(0.5);
            if (lines.size() != n || h.box.open > 0) {
                n = lines.size();
                quiet = 0;
            } else if ((quiet += 0.5) >= 8) {
                return;
            }
        }
        ADD_FAILURE() << "the run did not come to rest within " << limit << " s";
    }

    // Lines from `from` on.
    std::vector<std::string> texts(std::size_t from = 0) const {
        std::vector<std::string> out;
        for (std::size_t i = from; i < lines.size(); ++i) out.push_back(lines[i].text);
        return out;
    }
    // Index of the first line equal to `text` at or after `from`; npos when none.
    std::size_t find(const std::string& text, std::size_t from = 0) const {
        for (std::size_t i = from; i < lines.size(); ++i) {
            if (lines[i].text == text) return i;
        }
        return std::string::npos;
    }
    bool has(const std::string& text, std::size_t from = 0) const {
        return find(text, from) != std::string::npos;
    }
    std::size_t count(const std::string& text) const {
        return static_cast<std::size_t>(
            std::count_if(lines.begin(), lines.end(), [&](const Line& l) { return l.text == text; }));
    }
    // The last line that is not a decoded answer (cards lying idle on the reader keep reporting).
    std::string lastOwnLine() const {
        for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
            if (it->text.rfind(">>> ", 0) != 0) return it->text;
        }
        return {};
    }
    std::vector<std::string> boxes() const {
        std::vector<std::string> out;
        for (const auto& b : h.box.shown) out.push_back(b.text);
        return out;
    }

    // The button that stops the run in progress.
    static const char* stopButton(RunKind r) { return r == RunKind::Encode ? "cmdStop(2)" : "cmdStop(3)"; }
    static const char* startButton(RunKind r) { return r == RunKind::Encode ? "cmdStart(2)" : "cmdLecTar"; }

    // Stops a run that waits, and checks that it ends and leaves nothing parked.
    void stopRun(RunKind r) {
        if (!idle()) {
            ASSERT_TRUE(h.click(stopButton(r)));
            ASSERT_TRUE(h.runUntil([&] { return idle(); }, 20)) << "Stop did not end the run";
        }
        h.runFor(1);
        EXPECT_EQ(h.ctx().sched.running(), 0u) << "a run is left without an end";
        EXPECT_EQ(h.ctx().sched.waiting(), 0u) << "a wait is left without an end";
    }

    // The link closed and opened again, then a clean card made with user number `user` and read
    // back: whatever happened before, the window must be fit for work.
    void closeReopenAndMakeACard(int user) {
        h.reader.faults().clearAll();
        ASSERT_TRUE(h.click("cmdClose"));
        EXPECT_EQ(lastOwnLine(), "ClosePort: OK");
        EXPECT_EQ(h.st().LinkType, 0);
        open();
        EXPECT_EQ(lastOwnLine(), link_ == Link::Com ? "OpenPortCOM: OK" : "OpenPortTCP OK");

        const std::size_t boxesBefore = h.box.shown.size();
        h.m().txtUser.setText(std::to_string(user));
        auto card = freshCard();
        ASSERT_TRUE(h.click("cmdStart(2)"));
        ASSERT_TRUE(h.runUntil([&] { return idle(); }, 30)) << "the clean card was not made";
        EXPECT_EQ(Harness::blockHex(*card, 4), UserBlock(user));
        EXPECT_EQ(Harness::blockHex(*card, 7), kWrittenTrailer);
        EXPECT_EQ(h.m().cSelTar(kUserType).foreColor(), kGreen);
        EXPECT_EQ(h.box.shown.size(), boxesBefore);

        // The same card read back (the reader reports it again once it is back in the field).
        h.removeCard();
        ASSERT_TRUE(h.click("cmdLecTar"));
        h.present(card);
        ASSERT_TRUE(h.runUntil([&] { return h.m().txtInfoCard.text() != "----"; }, 30)) << "not read back";
        EXPECT_EQ(h.m().txtInfoCard.text(), mis(206) + " - " + UserBlock(user).substr(6, 3));
        stopRun(RunKind::Read);
    }

private:
    std::shared_ptr<sim::Card> remember(std::shared_ptr<sim::Card> c) {
        cards_.push_back(c);
        return c;
    }
    Link link_;
    int uid_ = 0;
    std::vector<std::shared_ptr<sim::Card>> cards_;
};

}  // namespace zt::test::faults
