// Every fault of the simulated reader at every exchange of both runs where it can strike, on the
// serial and on the TCP link: what the run does next, that it comes to an end, and that afterwards
// the link closes, opens again and a clean card is made. Then the window closed at every wait.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/app/log.h"
#include "support/harness.h"

namespace zt::test {
namespace {

using sim::FaultKind;
enum class Link { Com, Tcp };
enum class RunKind { Encode, Read };
const char* LinkName(Link l) { return l == Link::Com ? "Com" : "Tcp"; }

// The first block of a USUARIO BASICO card of installation 0000 for users 0, 42 and 57.
const std::string kUser0 = "1000000009" + std::string(22, 'F'), kUser42 = "1000000423" + std::string(22, 'F'),
                  kUser57 = "1000000577" + std::string(22, 'F');
const std::string kWrittenTrailer = "FFFFFFFFFFFFFF0780FFFFFFFFFFFFFF";
const std::string kFactoryTrailer = "FFFFFFFFFFFFFF078069FFFFFFFFFFFF";

// The window on one link, with the colour history of the user-card box.
struct Fixture {
    explicit Fixture(Link link) : link(link) {
        h.load();
        h.m().cSelTar(30).observe([this](Control& c, Prop p, int) {
            if (p == Prop::ForeColor) colours.push_back(c.foreColor());
        });
        open();
    }
    Harness h;
    Link link;
    std::vector<Colour> colours;
    std::vector<std::shared_ptr<sim::Card>> cards;
    void open() { link == Link::Com ? h.openCom() : h.openTcp(); }
    bool linkUp() const { return link == Link::Com ? h.serial.isOpen() : h.socket.connected; }
    std::shared_ptr<sim::Card> fresh() { return cards.emplace_back(h.fresh()); }
    // A card made earlier for user 57 (sector 1, factory keys).
    std::shared_ptr<sim::Card> userCard() {
        auto card = fresh();
        Harness::setBlock(*card, 4, kUser57);
        return card;
    }
    std::size_t find(const std::string& text, std::size_t from = 0) const {
        for (std::size_t i = from; i < h.lines.size(); ++i)
            if (h.lines[i].text == text) return i;
        return std::string::npos;
    }
    // The last line that is not a decoded answer (cards lying idle on the reader keep reporting).
    std::string lastOwnLine() const { return h.own().empty() ? "" : h.own().back(); }
    // Runs the clock until the run is over, or until nothing has been logged and no box has been
    // open for eight seconds (the run then waits for a card that nobody lays on the reader).
    void settle(double limit = 180) {
        std::size_t n = h.lines.size();
        for (double t = 0, quiet = 0; quiet < 8; t += 0.5) {
            ASSERT_LT(t, limit) << "the run did not come to rest";
            if (h.idle() && h.box.open == 0) return;
            h.runFor(0.5);
            quiet = h.lines.size() != n || h.box.open > 0 ? 0 : quiet + 0.5;
            n = h.lines.size();
        }
    }
    // Stops a run that waits, and checks that it ends and leaves nothing parked.
    void stopRun(RunKind r) {
        if (!h.idle()) {
            ASSERT_TRUE(h.click(r == RunKind::Encode ? "cmdStop(2)" : "cmdStop(3)"));
            ASSERT_TRUE(h.runUntil([&] { return h.idle(); }, 20)) << "Stop did not end the run";
        }
        h.runFor(1);
        EXPECT_EQ(h.ctx().sched.running(), 0u) << "a run is left without an end";
        EXPECT_EQ(h.ctx().sched.waiting(), 0u) << "a wait is left without an end";
    }
    // The link closed and opened again, then a clean card made for user 42: whatever happened before,
    // the window must be fit for work.
    void closeReopenAndMakeACard() {
        h.reader.faults().clearAll();
        ASSERT_TRUE(h.click("cmdClose"));
        EXPECT_EQ(lastOwnLine(), "ClosePort: OK");
        EXPECT_EQ(h.st().LinkType, 0);
        open();
        EXPECT_EQ(lastOwnLine(), link == Link::Com ? "OpenPortCOM: OK" : "OpenPortTCP OK");
        const std::size_t boxesBefore = h.box.shown.size();
        h.m().txtUser.setText("42");
        auto card = fresh();
        ASSERT_TRUE(h.click("cmdStart(2)"));
        ASSERT_TRUE(h.runUntil([&] { return h.idle(); }, 30)) << "the clean card was not made";
        EXPECT_EQ(Harness::blockHex(*card, 4) + Harness::blockHex(*card, 7), kUser42 + kWrittenTrailer);
        EXPECT_EQ(h.m().cSelTar(30).foreColor(), kGreen);
        EXPECT_EQ(h.box.shown.size(), boxesBefore);
    }
};

// What the run does once the fault has struck.
enum class Then {
    Clean,        // as if nothing had happened
    RunEnds,      // the run gives up: it ends by itself, nothing written or read
    CardFails,    // encoding: the card fails (red, box 190), the same type waits for another card
    ReadFails,    // reading: the failure ending (red LED), then the next card is read
    NextKey,      // reading: the next test key is tried on the card's next report
    HaltTimesOut  // the Halt wait ends after its ticks with message 280; the card counts as done
};

// One exchange of a run and what a lost answer there leads to: the lines logged then ("{n}" is
// message n), the box shown, the wait's length in ticks (0: not waited on), whether the answer
// carries one status byte.
struct Step {
    const char* name;
    RunKind run;
    std::uint8_t code;
    int nth;              // the nth request of this code since the run started
    const char* request;  // the line logged just before the request goes out
    Then lost;
    std::string said;
    int box, ticks;
    bool statusAnswer;
};
struct Fault {
    const char* name;
    FaultKind kind;
    int value;
};
const Fault kLosing[] = {{"Silent", FaultKind::NoAnswer, 0}, {"FrameError", FaultKind::FrameError, 0},
                         {"BadChecksum", FaultKind::BadChecksum, 0}, {"WrongLen", FaultKind::StatusLen2, 0}};
const Fault kHarmless[] = {{"Split", FaultKind::SplitBytes, 3000}, {"Garbage", FaultKind::Garbage, 0}, {"Duplicate", FaultKind::Duplicate, 0}};
constexpr auto E = RunKind::Encode, R = RunKind::Read;
// clang-format off
const Step kSteps[] = {
    {"TestLink", E, kTestLink, 1, "TestNodeLink", Then::RunEnds, "{174}", 191, 4, false},
    {"StartUp", E, kStartUp, 1, "StartUp", Then::RunEnds, "{175}", 191, 4, false},
    {"Select", E, kSelect, 1, "Select", Then::CardFails, "{179}", 190, 5, true},
    {"WriteKey", E, kWriteKey, 1, "WriteKeyE2P", Then::RunEnds, "{186}", 191, 4, true},
    {"Login", E, kLogin, 1, "Login", Then::CardFails, "{187}", 190, 4, true},
    {"WriteData", E, kWrite, 1, "Write Block: 04---", Then::CardFails, "{189}", 190, 4, true},
    {"WriteTrailer", E, kWrite, 2, "Write Protection Block: 07", Then::CardFails, "{189}", 190, 4, true},
    {"Halt", E, kHalt, 1, "Halt", Then::HaltTimesOut, "{280}|Led green|Beeper", 0, 4, true},
    {"LedYellow", E, kDOutPerm, 2, "Led yellow On", Then::Clean, "", 0, 0, false},
    {"LedGreen", E, kDOutTemp, 2, "Led green", Then::Clean, "", 0, 0, false},
    {"WriteKey7", R, kWriteKey, 1, "WriteKeyE2P[7]", Then::RunEnds, "{196}[7]", 0, 4, true},
    {"WriteKey8", R, kWriteKey, 2, "WriteKeyE2P[8]", Then::RunEnds, "{196}[8]", 0, 4, true},
    {"WriteKey9", R, kWriteKey, 3, "WriteKeyE2P[9]", Then::RunEnds, "{196}[9]", 0, 4, true},
    {"Select", R, kSelect, 1, "Select", Then::ReadFails, "Error de Select|Halt", 0, 5, true},
    {"Login", R, kLogin, 1, "Login[1]", Then::NextKey, "", 0, 4, true},
    {"Read0", R, kRead, 1, "ReadBlock[0]", Then::ReadFails, "Halt", 0, 4, false},
    {"Read1", R, kRead, 2, "ReadBlock[1]", Then::ReadFails, "Halt", 0, 4, false},
    {"Read2", R, kRead, 3, "ReadBlock[2]", Then::ReadFails, "Halt", 0, 4, false},
    {"Halt", R, kHalt, 1, "Halt", Then::HaltTimesOut, "{280}|Led green|Beeper", 0, 4, true},
    {"LedRedOrGreen", R, kDOutTemp, 1, "Led green", Then::Clean, "", 0, 0, false},
};
// clang-format on

struct Case {
    std::string name;
    Step step;
    Fault fault;
    Then then;
    std::string said;
    int box;
    bool waitsFull;  // the failure line comes when the wait's ticks have run out
    Link link;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::vector<Case> AllCases() {
    std::vector<Case> out;
    for (Link link : {Link::Com, Link::Tcp}) {
        for (const Step& s : kSteps) {
            const bool encode = s.run == RunKind::Encode;
            auto add = [&](const Fault& f, Then then, std::string said, int box, bool waitsFull) {
                // The failure ending. Without a selected card or a link nobody confirms the Halt.
                if (then == Then::ReadFails)
                    said += std::string(f.kind == FaultKind::LinkDrop || f.kind == FaultKind::CardRemoved ||
                                                (s.code == kSelect && (f.kind == FaultKind::FrameError || f.kind == FaultKind::SelectStatus) && f.value == 0)
                                            ? "|{280}" : "") + "|Led red|Beeper";
                out.push_back(Case{std::string(encode ? "Encode" : "Read") + s.name + "_" + f.name + "_" + LinkName(link), s, f, then,
                                   said, box, waitsFull, link});
            };
            for (const auto& f : kLosing)  // a wrong LEN only exists for one-byte status answers
                if (f.kind != FaultKind::StatusLen2 || s.statusAnswer) add(f, s.lost, s.said, s.box, s.ticks > 0);
            for (const auto& f : kHarmless) add(f, Then::Clean, "", 0, false);
            if (s.ticks > 0) add({"LinkDrop", FaultKind::LinkDrop, 0}, s.lost, s.said, s.box, true);
            // What the runs say to a Select status they do not take; the read run then halts the card.
            auto refused = [&](int st) { return encode ? "{" + std::to_string(180 + st) + "}" : "Select Error: " + std::to_string(st) + "|Halt"; };
            if (s.code == kSelect) {
                add({"Status0", FaultKind::SelectStatus, 0}, encode ? Then::CardFails : Then::ReadFails, refused(0), encode ? 190 : 0, false);
                // Status 2 and 3 (4K card, Mini) are written by the encoding run; the read run takes only 1.
                for (int st : {2, 3})
                    add({st == 2 ? "Status2" : "Status3", FaultKind::SelectStatus, st}, encode ? Then::Clean : Then::ReadFails, refused(st), 0, false);
            }
            // A refused Login ends its wait at once.
            if (s.code == kLogin) add({"Refused", FaultKind::LoginRefused, 0}, s.lost, s.said, s.box, false);
            if (s.code == kHalt) add({"Refused", FaultKind::HaltRefused, 0}, s.lost, s.said, 0, true);
            // The card taken away while the reader works on it: Select then finds no card (status 0), a
            // Login none to open (at once); the other answers say so and the wait runs out.
            if (s.code == kSelect || s.code == kLogin || s.code == kWrite || s.code == kRead || s.code == kHalt)
                add({"CardRemoved", FaultKind::CardRemoved, 0}, s.lost, s.code == kSelect ? refused(0) : s.said, s.box,
                    s.code != kSelect && s.code != kLogin);
        }
    }
    return out;
}

class FaultMatrix : public ::testing::TestWithParam<Case> {};

TEST_P(FaultMatrix, RunGoesOnAsItShouldAndTheWindowStaysFitForWork) {
    const Case& c = GetParam();
    Fixture f(c.link);
    Harness& h = f.h;
    const RunKind run = c.step.run;
    const bool encode = run == RunKind::Encode, linkDrop = c.fault.kind == FaultKind::LinkDrop;
    // Over a link that is gone no card can be reported any more; after a lost Halt answer the card
    // was done all the same.
    const bool linkGoneEarly = linkDrop && c.step.code != kHalt;
    h.reader.faults().nth(c.step.code, c.fault.kind, c.step.nth, c.fault.value);
    auto first = encode ? f.fresh() : f.userCard();
    const std::size_t start = h.lines.size();
    ASSERT_TRUE(h.click(encode ? "cmdStart(2)" : "cmdLecTar"));
    f.settle();
    if (linkDrop) {
        EXPECT_NE(f.find(h.mis(283), start), std::string::npos) << "the lost link is not logged";
        EXPECT_FALSE(f.linkUp());
        EXPECT_NE(h.st().LinkType, 0) << "the window forgot its link before Close";
    }
    if (c.then == Then::RunEnds) {
        EXPECT_TRUE(h.idle()) << "the run should have ended by itself";
        EXPECT_EQ(f.lastOwnLine(), Dashes60());
        if (encode) { EXPECT_EQ(Harness::blockHex(*first, 4) + Harness::blockHex(*first, 7), std::string(32, '0') + kFactoryTrailer); }
    }
    // A card that failed half read is not shown (one whose Select failed is read again).
    if ((c.then == Then::RunEnds && !encode) || (c.then == Then::ReadFails && c.step.code == kRead)) {
        EXPECT_EQ(h.m().txtInfoCard.text(), "----");
    }
    if (c.then == Then::CardFails) { EXPECT_NE(std::find(f.colours.begin(), f.colours.end(), kRed), f.colours.end()); }
    // A run still going waits for a card nobody lays on the reader: give it one (over a dead link
    // it never hears of it).
    if (!h.idle() && c.then != Then::RunEnds) {
        encode ? f.fresh() : f.userCard();
        f.settle();
    }
    // The request went out, the lines that follow it came in order, and a lost answer was given up
    // only when its wait was over (a refused Login or a vanished card: at once).
    std::size_t req = start;
    while (req < h.lines.size() && !h.lines[req].text.starts_with(c.step.request)) ++req;
    ASSERT_LT(req, h.lines.size()) << "request line \"" << c.step.request << "\" missing";
    // The run's own lines after the request: no decoded answers, no lost-link line.
    std::vector<std::string> own;
    for (std::size_t i = req + 1; i < h.lines.size(); ++i)
        if (!h.lines[i].text.starts_with(">>> ") && h.lines[i].text != h.mis(283)) own.push_back(h.lines[i].text);
    const auto said = Lines(c.said, &h);
    ASSERT_GE(own.size(), said.size());
    EXPECT_EQ(std::vector<std::string>(own.begin(), own.begin() + static_cast<std::ptrdiff_t>(said.size())), said);
    // Nothing more of a failed card: the next line starts the next card, or ends the run.
    if (c.then == Then::CardFails || c.then == Then::RunEnds) {
        ASSERT_GT(own.size(), said.size());
        EXPECT_EQ(own[said.size()], Dashes60()) << "the card went on after it had failed";
    }
    // The next key waits for the card to be reported again; nothing is read meanwhile.
    if (c.then == Then::NextKey && own.size() > 0) {
        EXPECT_TRUE(own[0].starts_with("ATQA: ") || own[0].starts_with("UID: ")) << own[0];
        if (!linkGoneEarly) { EXPECT_NE(f.find("Login[2]", req), std::string::npos); }
    }
    if (!said.empty() && c.then != Then::NextKey && c.then != Then::Clean) {
        const double waited = static_cast<double>(h.lines[f.find(said.front(), req)].at - h.lines[req].at) / 1e6;
        if (c.waitsFull) {
            EXPECT_GE(waited, (c.step.ticks - 1) * 0.5) << "gave up before the wait was over";
            EXPECT_LE(waited, c.step.ticks * 0.5) << "waited longer than its ticks";
        } else {
            EXPECT_LT(waited, 0.5) << "should not have waited for a time-out";
        }
    }
    const std::string box = c.box ? "{" + std::to_string(c.box) + "}" : "";  // after the lost link's own
    EXPECT_EQ(h.boxes(), Lines(linkDrop ? "{475}" + std::string(c.box ? "|" : "") + box : box, &h));
    if (encode && c.then != Then::RunEnds) {
        EXPECT_EQ(h.idle(), !linkGoneEarly) << "a one-card batch ends once the card is written; over a dead link it waits";
        if (!linkGoneEarly) {
            EXPECT_TRUE(std::any_of(f.cards.begin(), f.cards.end(),
                                    [](auto& card) { return Harness::blockHex(*card, 4) == kUser0; }))
                << "no card was written";
            ASSERT_FALSE(f.colours.empty());
            EXPECT_EQ(f.colours.back(), kGreen);
        }
    }
    if (!encode && c.then != Then::RunEnds) {
        if (!linkGoneEarly) { EXPECT_EQ(h.m().txtInfoCard.text(), h.mis(206) + " - 057") << "the card was not read"; }
        const auto red = f.find("Led red", start);
        EXPECT_EQ(red != std::string::npos, c.then == Then::ReadFails);
        if (c.then == Then::ReadFails && !linkGoneEarly && red != std::string::npos) {
            EXPECT_NE(f.find("Led green", red), std::string::npos) << "no card read after it";
        }
    }
    const std::size_t beforeStop = h.lines.size();
    const bool waiting = !h.idle();
    f.stopRun(run);
    if (waiting) {
        EXPECT_NE(f.find(h.mis(177), beforeStop), std::string::npos) << "Stop while waiting for a card logs 177";
    }
    EXPECT_EQ(f.lastOwnLine(), Dashes60());
    f.closeReopenAndMakeACard();
}

// A lost link's box: once however often the loss is reported, again for the next link, never without a run.
TEST(LinkLoss, BoxOncePerLossUnderARun) {
    Fixture f(Link::Com);
    for (const char* run : {"cmdLecTar", "cmdLecTar", "cBorrar"}) {
        f.h.click(run);
        f.h.serial.lose();
        f.h.serial.onLost();
        f.stopRun(RunKind::Read);
        f.h.click("cmdClose");
        f.open();
    }
    EXPECT_EQ(f.h.boxes(), std::vector<std::string>(2, f.h.mis(475)));
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& p) { return p.param.name; });

// Closing the window in the middle of every wait of every run: the stop flag goes up before the link
// is closed, "ClosePort:" is logged, and the window can be destroyed with the run still parked
// without anything reaching it afterwards.
struct Wait {
    std::string name;
    Link link;
    enum Start { Encode, Read, EncodeNoCard, ReadNoCard, TcpOpen, Scan } start;
    std::uint8_t silent;  // a request whose answer never comes (its nth one), so that the run sits there
    int nth;
    std::string after;  // the run waits once a line starting so is logged ("": once a box is open)
};
void PrintTo(const Wait& w, std::ostream* os) { *os << w.name; }

std::vector<Wait> AllWaits() {
    std::vector<Wait> out;
    for (Link link : {Link::Com, Link::Tcp}) {
        const std::string l = std::string("_") + LinkName(link);
        for (const auto& s : kSteps)
            if (s.ticks > 0)
                out.push_back({std::string(s.run == E ? "Encode" : "Read") + s.name + l, link, s.run == E ? Wait::Encode : Wait::Read, s.code,
                               s.nth, s.request});
        // Waits for a card, for the LED's ticks and for the failure boxes.
        for (const Wait& w : {Wait{"EncodeCard", link, Wait::EncodeNoCard, 0xFF, 0, "{176}: "}, {"EncodeLedTick", link, Wait::Encode, 0xFF, 0, "Led green"},
                              {"EncodeFailureBox", link, Wait::Encode, kLogin, 1, ""}, {"EncodeLinkBox", link, Wait::Encode, kTestLink, 1, ""},
                              {"ReadCard", link, Wait::ReadNoCard, 0xFF, 0, std::string(20, '-') + " "}, {"ReadLedTick", link, Wait::Read, 0xFF, 0, "Led green"},
                              {"ReadFailureLedTick", link, Wait::Read, kRead, 1, "Led red"}})
            out.push_back({w.name + l, link, w.start, w.silent, w.nth, w.after});
    }
    // The TCP open waiting for its connection, and the port scan's box.
    out.push_back({"TcpOpenWait", Link::Com, Wait::TcpOpen, 0xFF, 0, "-"});
    out.push_back({"ScanBox", Link::Com, Wait::Scan, 0xFF, 0, ""});
    return out;
}

class CloseWindow : public ::testing::TestWithParam<Wait> {};

TEST_P(CloseWindow, StopsBeforeTheLinkClosesAndGoesQuietly) {
    const Wait& w = GetParam();
    Fixture f(w.link);
    auto& h = f.h;
    h.box.autoCloseAfter = -1;  // boxes stay open until the window goes, as a modal box would
    if (w.nth) h.reader.faults().nth(w.silent, sim::FaultKind::NoAnswer, w.nth);
    if (w.start == Wait::Encode) f.fresh();
    if (w.start == Wait::Read) f.userCard();
    if (w.start >= Wait::TcpOpen) { ASSERT_TRUE(h.click("cmdClose")); }
    if (w.start == Wait::TcpOpen) h.socket.mode = FakeSocket::Mode::Never;
    const char* buttons[] = {"cmdStart(2)", "cmdLecTar", "cmdStart(2)", "cmdLecTar", "cmdOpenTCP", "cmdScanCom"};
    ASSERT_TRUE(h.click(buttons[w.start]));
    const std::string after = Lines(w.after, &h).empty() ? "" : Lines(w.after, &h)[0];
    ASSERT_TRUE(h.runUntil([&] {
        if (w.start == Wait::TcpOpen) return h.clock.now() > 5'000'000;
        if (after.empty()) return h.box.open > 0;
        return std::any_of(h.lines.begin(), h.lines.end(), [&](const Harness::Line& l) { return l.text.starts_with(after); });
    })) << "the wait was never reached";
    ASSERT_GE(h.ctx().sched.waiting(), 1u) << "nothing is waiting";
    // At the moment the close is logged the stop flag must already be up and the link closed.
    const bool hadLink = h.st().LinkType != 0;
    std::string closeLine, state;
    h.m().listInfo.observe([&](Control& c, Prop p, int i) {
        if (p != Prop::ItemAdded) return;
        const std::string& line = c.items()[static_cast<std::size_t>(i)];
        if (line.starts_with("ClosePort:"))
            closeLine = line, state = std::string(h.st().bStop ? "stop " : "") + (h.serial.isOpen() || h.socket.connected ? "open" : "closed");
    });
    const std::size_t closeAt = h.lines.size();
    h.form->Form_QueryUnload();
    h.form->Form_Unload();
    EXPECT_TRUE(h.tips.live.empty());
    EXPECT_EQ(state, "stop closed") << "the stop flag goes up before the link closes";
    EXPECT_EQ(closeLine, hadLink ? "ClosePort: OK" : "ClosePort: ERROR( 1)");
    EXPECT_EQ(h.st().LinkType, 0);
    if (w.start == Wait::EncodeNoCard || w.start == Wait::ReadNoCard) {
        // A run waiting for a card sees the stop flag at once and ends its way.
        EXPECT_EQ(h.own(closeAt), Lines("ClosePort: OK|{177}|" + Dashes60(), &h));
        EXPECT_EQ(h.ctx().sched.running(), 0u);
    }
    // The window goes with whatever is still parked; then time passes: the reader keeps talking,
    // the timer must not tick into the dead window, a connection must not arrive in it.
    const std::size_t linesBefore = h.lines.size();
    h.form.reset();
    h.present(sim::CardKind::Classic1K, {1, 2, 3, 4});
    if (h.box.open == 0) h.runFor(30);
    EXPECT_EQ(h.lines.size(), linesBefore);
    EXPECT_FALSE(h.serial.isOpen() || h.socket.connected);
}

INSTANTIATE_TEST_SUITE_P(Faults, CloseWindow, ::testing::ValuesIn(AllWaits()),
                         [](const ::testing::TestParamInfo<Wait>& p) { return p.param.name; });

}  // namespace
}  // namespace zt::test
