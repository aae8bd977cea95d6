// Every fault of the simulated reader at every exchange of both runs where it can strike, on the
// serial and on the TCP link: what the run does next, that it comes to an end, and that afterwards
// the link closes, opens again and a clean card is made and read back. Then the window closed at
// every wait.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app/log.h"
#include "fault_fixture.h"

namespace zt::test::faults {
namespace {

using sim::FaultKind;

// What the run does once the fault has struck.
enum class Then {
    Clean,        // as if nothing had happened
    RunEnds,      // the run gives up: it ends by itself, nothing written or read
    CardFails,    // encoding: the card fails (red, box 190), the same type waits for another card
    ReadFails,    // reading: the failure ending (red LED), then the next card is read
    NextKey,      // reading: the next test key is tried on the card's next report
    HaltTimesOut  // the Halt wait ends after its ticks with message 280; the card counts as done
};

// A line the run must log: a message number or a literal text.
struct Expect {
    int mis = 0;
    std::string text;
    std::string suffix;  // appended to the message text
};
Expect M(int n, std::string suffix = {}) {
    return Expect{n, {}, std::move(suffix)};
}
Expect T(std::string t) {
    return Expect{0, std::move(t), {}};
}

// One exchange of a run and what a lost answer there leads to.
struct Step {
    const char* name;
    RunKind run;
    std::uint8_t code;
    int nth;                    // the nth request of this code since the run started
    const char* request;        // the line logged just before the request goes out
    Then lost;                  // no usable answer within the wait
    std::vector<Expect> said;   // lines logged then
    int box = 0;                // the box shown then (message number)
    int ticks = 0;              // the wait's length in ticks (0: not waited on)
    bool statusAnswer = false;  // the answer carries one status byte
};

// How a fault acts on the answer of the request it strikes.
enum class Acts { Loses, Harmless, Special };

struct Fault {
    const char* name;
    FaultKind kind;
    int value;
    Acts acts;
};

const std::vector<Fault> kLosing{
    {"Silent", FaultKind::NoAnswer, 0, Acts::Loses},
    {"FrameError", FaultKind::FrameError, 0, Acts::Loses},
    {"BadChecksum", FaultKind::BadChecksum, 0, Acts::Loses},
    {"WrongLen", FaultKind::StatusLen2, 0, Acts::Loses},
};
const std::vector<Fault> kHarmless{
    {"Split", FaultKind::SplitBytes, 3000, Acts::Harmless},
    {"Garbage", FaultKind::Garbage, 0, Acts::Harmless},
    {"Duplicate", FaultKind::Duplicate, 0, Acts::Harmless},
};
const Fault kLinkDrop{"LinkDrop", FaultKind::LinkDrop, 0, Acts::Special};
const Fault kCardRemoved{"CardRemoved", FaultKind::CardRemoved, 0, Acts::Special};

// clang-format off
const std::vector<Step> kSteps{
    {"TestLink", RunKind::Encode, kTestLink, 1, "TestNodeLink", Then::RunEnds, {M(174)}, 191, 4},
    {"StartUp", RunKind::Encode, kStartUp, 1, "StartUp", Then::RunEnds, {M(175)}, 191, 4},
    {"Select", RunKind::Encode, kSelect, 1, "Select", Then::CardFails, {M(179)}, 190, 5, true},
    {"WriteKey", RunKind::Encode, kWriteKey, 1, "WriteKeyE2P", Then::RunEnds, {M(186)}, 191, 4, true},
    {"Login", RunKind::Encode, kLogin, 1, "Login", Then::CardFails, {M(187)}, 190, 4, true},
    {"WriteData", RunKind::Encode, kWrite, 1, "Write Block: 04---", Then::CardFails, {M(189)}, 190, 4, true},
    {"WriteTrailer", RunKind::Encode, kWrite, 2, "Write Protection Block: 07", Then::CardFails, {M(189)}, 190, 4, true},
    {"Halt", RunKind::Encode, kHalt, 1, "Halt", Then::HaltTimesOut, {M(280), T("Led green"), T("Beeper")}, 0, 4, true},
    {"LedYellow", RunKind::Encode, kDOutPerm, 2, "Led yellow On", Then::Clean, {}, 0, 0},
    {"LedGreen", RunKind::Encode, kDOutTemp, 2, "Led green", Then::Clean, {}, 0, 0},

    {"WriteKey7", RunKind::Read, kWriteKey, 1, "WriteKeyE2P[7]", Then::RunEnds, {M(196, "[7]")}, 0, 4, true},
    {"WriteKey8", RunKind::Read, kWriteKey, 2, "WriteKeyE2P[8]", Then::RunEnds, {M(196, "[8]")}, 0, 4, true},
    {"WriteKey9", RunKind::Read, kWriteKey, 3, "WriteKeyE2P[9]", Then::RunEnds, {M(196, "[9]")}, 0, 4, true},
    {"Select", RunKind::Read, kSelect, 1, "Select", Then::ReadFails, {T("Error de Select"), T("Halt")}, 0, 5, true},
    {"Login", RunKind::Read, kLogin, 1, "Login[1]", Then::NextKey, {}, 0, 4, true},
    {"Read0", RunKind::Read, kRead, 1, "ReadBlock[0]", Then::ReadFails, {T("Halt")}, 0, 4},
    {"Read1", RunKind::Read, kRead, 2, "ReadBlock[1]", Then::ReadFails, {T("Halt")}, 0, 4},
    {"Read2", RunKind::Read, kRead, 3, "ReadBlock[2]", Then::ReadFails, {T("Halt")}, 0, 4},
    {"Halt", RunKind::Read, kHalt, 1, "Halt", Then::HaltTimesOut, {M(280), T("Led green"), T("Beeper")}, 0, 4, true},
    {"LedRedOrGreen", RunKind::Read, kDOutTemp, 1, "Led green", Then::Clean, {}, 0, 0},
};
// clang-format on

struct Case {
    std::string name;
    Step step;
    Fault fault;
    Then then;
    std::vector<Expect> said;
    int box;
    bool waitsFull;  // the failure line comes when the wait's ticks have run out
    Link link;
};

// The faults that can strike at a step, each with what must follow.
std::vector<Case> CasesOf(const Step& s, Link link) {
    std::vector<Case> out;
    auto add = [&](const Fault& f, Then then, std::vector<Expect> said, int box, bool waitsFull) {
        if (then == Then::ReadFails) {
            // The failure ending. Without a selected card or a link nobody confirms the Halt.
            if (f.kind == FaultKind::LinkDrop || f.kind == FaultKind::CardRemoved ||
                (s.code == kSelect && (f.kind == FaultKind::FrameError || f.kind == FaultKind::SelectStatus) &&
                 f.value == 0))
                said.push_back(M(280));
            said.push_back(T("Led red"));
            said.push_back(T("Beeper"));
        }
        out.push_back(Case{std::string(s.run == RunKind::Encode ? "Encode" : "Read") + s.name + "_" + f.name +
                               "_" + LinkName(link),
                           s, f, then, std::move(said), box, waitsFull, link});
    };
    for (const auto& f : kLosing) {
        // A wrong LEN only exists for one-byte status answers.
        if (f.kind == FaultKind::StatusLen2 && !s.statusAnswer) continue;
        add(f, s.lost, s.said, s.box, s.ticks > 0);
    }
    for (const auto& f : kHarmless) add(f, Then::Clean, {}, 0, false);
    if (s.ticks > 0) add(kLinkDrop, s.lost, s.said, s.box, true);

    const bool encode = s.run == RunKind::Encode;
    // What the runs say to a Select status they do not take; the read run then halts the card.
    auto refusedSelect = [&](int status) {
        return encode ? std::vector<Expect>{M(180 + status)}
                      : std::vector<Expect>{T("Select Error: " + std::to_string(status)), T("Halt")};
    };
    if (s.code == kSelect) {
        add({"Status0", FaultKind::SelectStatus, 0, Acts::Special},
            encode ? Then::CardFails : Then::ReadFails, refusedSelect(0), encode ? 190 : 0, false);
        // Status 2 and 3 (4K card, Mini) are written by the encoding run; the read run takes only 1.
        for (int st : {2, 3}) {
            add({st == 2 ? "Status2" : "Status3", FaultKind::SelectStatus, st, Acts::Special},
                encode ? Then::Clean : Then::ReadFails, refusedSelect(st), 0, false);
        }
    }
    if (s.code == kLogin) {
        // A refused Login ends its wait at once.
        add({"Refused", FaultKind::LoginRefused, 0, Acts::Special}, s.lost, s.said, s.box, false);
    }
    if (s.code == kHalt) add({"Refused", FaultKind::HaltRefused, 0, Acts::Special}, s.lost, s.said, 0, true);
    // The card taken away while the reader works on it: Select then finds no card (status 0), a
    // Login none to open (at once); the other answers say so and the wait runs out.
    if (s.code == kSelect || s.code == kLogin || s.code == kWrite || s.code == kRead || s.code == kHalt) {
        add(kCardRemoved, s.lost, s.code == kSelect ? refusedSelect(0) : s.said, s.box,
            s.code != kSelect && s.code != kLogin);
    }
    return out;
}

std::vector<Case> AllCases() {
    std::vector<Case> all;
    for (Link link : {Link::Com, Link::Tcp}) {
        for (const auto& s : kSteps) {
            auto c = CasesOf(s, link);
            all.insert(all.end(), c.begin(), c.end());
        }
    }
    return all;
}

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

struct Delivery;
void PrintTo(const Delivery& d, std::ostream* os);

class FaultMatrix : public ::testing::TestWithParam<Case> {
protected:
    FaultMatrix() : f(GetParam().link) {}
    FaultFixture f;

    std::string text(const Expect& e) { return e.mis ? f.mis(e.mis) + e.suffix : e.text; }
    // The line the request is logged with (the data block's line goes on with the block text).
    std::size_t requestLine(const Case& c, std::size_t from) {
        for (std::size_t i = from; i < f.lines.size(); ++i) {
            if (f.lines[i].text.rfind(c.step.request, 0) == 0) return i;
        }
        return std::string::npos;
    }
};

TEST_P(FaultMatrix, RunGoesOnAsItShouldAndTheWindowStaysFitForWork) {
    const Case& c = GetParam();
    const RunKind run = c.step.run;
    const bool encode = run == RunKind::Encode;
    const bool linkDrop = c.fault.kind == FaultKind::LinkDrop;
    // Over a link that is gone no card can be reported any more; after a lost Halt answer the card
    // was done all the same.
    const bool linkGoneEarly = linkDrop && c.step.code != kHalt;

    f.h.reader.faults().nth(c.step.code, c.fault.kind, c.step.nth, c.fault.value);
    auto first = encode ? f.freshCard() : f.userCard(57);
    const std::size_t start = f.lines.size();
    ASSERT_TRUE(f.h.click(FaultFixture::startButton(run)));
    f.settle();

    if (linkDrop) {
        EXPECT_TRUE(f.has(f.mis(283), start)) << "the lost link is not logged";
        EXPECT_FALSE(f.linkUp());
        EXPECT_NE(f.h.st().LinkType, 0) << "the window forgot its link before Close";
    }
    switch (c.then) {
        case Then::RunEnds:
            EXPECT_TRUE(f.idle()) << "the run should have ended by itself";
            EXPECT_EQ(f.lastOwnLine(), Dashes60());
            if (encode) {
                EXPECT_EQ(Harness::blockHex(*first, 4), std::string(32, '0')) << "a card was written";
                EXPECT_EQ(Harness::blockHex(*first, 7), kFactoryTrailer) << "the trailer was touched";
            } else {
                EXPECT_EQ(f.h.m().txtInfoCard.text(), "----") << "a card was shown";
            }
            break;
        case Then::ReadFails:
            // A card that failed half read is not shown (one whose Select failed is read again).
            if (c.step.code == kRead) {
                EXPECT_EQ(f.h.m().txtInfoCard.text(), "----");
            }
            break;
        case Then::CardFails:
            EXPECT_NE(std::find(f.colours.begin(), f.colours.end(), kRed), f.colours.end())
                << "the box did not turn red";
            break;
        default:
            break;
    }

    // A run still going waits for a card nobody lays on the reader: give it one (over a dead link
    // it never hears of it).
    if (!f.idle() && c.then != Then::RunEnds) {
        if (encode) {
            f.freshCard();
        } else {
            f.userCard(57);
        }
        f.settle();
    }

    // The request went out, the lines that follow it came in order, and a lost answer was given up
    // only when its wait was over (a refused Login or a vanished card: at once).
    const std::size_t req = requestLine(c, start);
    ASSERT_NE(req, std::string::npos) << "request line \"" << c.step.request << "\" missing";
    // The run's own lines after the request: no decoded answers, no lost-link line.
    std::vector<std::string> own;
    for (std::size_t i = req + 1; i < f.lines.size(); ++i) {
        const auto& t = f.lines[i].text;
        if (t.rfind(">>> ", 0) != 0 && t != f.mis(283)) own.push_back(t);
    }
    const std::vector<Expect>& said = c.said;
    ASSERT_GE(own.size(), said.size());
    for (std::size_t i = 0; i < said.size(); ++i) {
        EXPECT_EQ(own[i], text(said[i])) << "line " << i + 1 << " after \"" << f.lines[req].text << "\"";
    }
    if (c.then == Then::CardFails || c.then == Then::RunEnds) {
        // Nothing more of this card: the next line starts the next card, or ends the run.
        ASSERT_GT(own.size(), said.size());
        EXPECT_EQ(own[said.size()], Dashes60()) << "the card went on after it had failed";
    }
    if (c.then == Then::NextKey && own.size() > 0) {
        // The next key waits for the card to be reported again; nothing is read meanwhile.
        EXPECT_TRUE(own[0].rfind("ATQA: ", 0) == 0 || own[0].rfind("UID: ", 0) == 0) << own[0];
        if (!linkGoneEarly) {
            EXPECT_TRUE(f.has("Login[2]", req));
        }
    }
    if (!said.empty() && c.then != Then::NextKey && c.then != Then::Clean) {
        const double waited =
            static_cast<double>(f.lines[f.find(text(said.front()), req)].at - f.lines[req].at) / 1e6;
        if (c.waitsFull) {
            EXPECT_GE(waited, (c.step.ticks - 1) * 0.5) << "gave up before the wait was over";
            EXPECT_LE(waited, c.step.ticks * 0.5) << "waited longer than its ticks";
        } else {
            EXPECT_LT(waited, 0.5) << "should not have waited for a time-out";
        }
    }
    std::vector<std::string> wantBoxes;
    if (c.box) wantBoxes.push_back(f.mis(c.box));
    EXPECT_EQ(f.boxes(), wantBoxes);

    if (encode && c.then != Then::RunEnds) {
        if (!linkGoneEarly) {
            EXPECT_TRUE(f.idle()) << "a one-card batch should end once the card is written";
            bool written = false;
            for (const auto& card : f.cards())
                written = written || Harness::blockHex(*card, 4) == UserBlock(0);
            EXPECT_TRUE(written) << "no card was written";
            ASSERT_FALSE(f.colours.empty());
            EXPECT_EQ(f.colours.back(), kGreen);
        } else {
            EXPECT_FALSE(f.idle()) << "over a dead link the run waits for a card until Stop";
        }
    }
    if (!encode && c.then != Then::RunEnds) {
        if (!linkGoneEarly) {
            EXPECT_EQ(f.h.m().txtInfoCard.text(), f.mis(206) + " - 057") << "the card was not read";
        }
        if (c.then == Then::ReadFails) {
            const auto red = f.find("Led red", start);
            ASSERT_NE(red, std::string::npos);
            if (!linkGoneEarly) {
                EXPECT_NE(f.find("Led green", red), std::string::npos) << "no card read after it";
            }
        } else {
            EXPECT_FALSE(f.has("Led red", start));
        }
    }

    const std::size_t beforeStop = f.lines.size();
    const bool waiting = !f.idle();
    f.stopRun(run);
    if (waiting) {
        EXPECT_TRUE(f.has(f.mis(177), beforeStop)) << "Stop while waiting for a card logs 177";
    }
    EXPECT_EQ(f.lastOwnLine(), Dashes60());

    f.closeReopenAndMakeACard(42);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& p) { return p.param.name; });

// Answers that reach the window in other pieces than they left in: the receive path must not care.
struct Delivery {
    const char* name;
    Link link;
    bool merge;  // pieces arriving within 20 ms of each other reach the window as one
    bool split;  // every answer leaves byte by byte
};

void PrintTo(const Delivery& d, std::ostream* os) {
    *os << d.name;
}

class Pieces : public ::testing::TestWithParam<Delivery> {};

TEST_P(Pieces, BothRunsWorkWhateverThePieces) {
    const Delivery& d = GetParam();
    FaultFixture f(d.link);
    auto& h = f.h;
    if (d.merge) {
        // Collect what the link delivers and hand it on as one piece 20 ms after the first byte.
        auto held = std::make_shared<ByteVec>();
        auto wrap = [&h, held](std::function<void(Bytes)>& slot) {
            auto inner = slot;
            slot = [&h, held, inner](Bytes b) {
                const bool first = held->empty();
                held->insert(held->end(), b.begin(), b.end());
                if (!first) return;
                h.clock.after(20'000, [held, inner] {
                    const ByteVec piece = std::move(*held);
                    held->clear();
                    if (inner) inner(Bytes(piece.data(), piece.size()));
                });
            };
        };
        wrap(d.link == Link::Com ? h.serial.onData : h.socket.onData);
    }
    if (d.split) {
        for (std::uint8_t code :
             {kTestLink, kStartUp, kSelect, kHalt, kWriteKey, kLogin, kRead, kWrite, kDOutTemp, kDOutPerm}) {
            h.reader.faults().always(code, FaultKind::SplitBytes, 1500);
        }
    }
    // Two cards in one batch, then both read back.
    h.m().txtNumTar.setText("2");
    auto a = f.freshCard();
    ASSERT_TRUE(h.click("cmdStart(2)"));
    ASSERT_TRUE(h.runUntil([&] { return f.count("Beeper") == 1; }, 30));
    auto b = f.freshCard();
    ASSERT_TRUE(h.runUntil([&] { return f.idle(); }, 30));
    EXPECT_EQ(Harness::blockHex(*a, 4), UserBlock(0));
    EXPECT_EQ(Harness::blockHex(*b, 4), UserBlock(1));
    EXPECT_TRUE(f.boxes().empty());

    ASSERT_TRUE(h.click("cmdLecTar"));
    for (const auto& card : {a, b}) {
        h.removeCard();
        h.present(card);
        const auto beeps = f.count("Beeper");
        ASSERT_TRUE(h.runUntil([&] { return f.count("Beeper") > beeps; }, 30));
    }
    EXPECT_EQ(h.m().txtInfoCard.text(), f.mis(206) + " - 001");
    f.stopRun(RunKind::Read);
    EXPECT_FALSE(f.has("Led red"));
}

INSTANTIATE_TEST_SUITE_P(Faults, Pieces,
                         ::testing::Values(Delivery{"MergedCom", Link::Com, true, false},
                                           Delivery{"MergedTcp", Link::Tcp, true, false},
                                           Delivery{"SplitCom", Link::Com, false, true},
                                           Delivery{"SplitAndMergedTcp", Link::Tcp, true, true}),
                         [](const ::testing::TestParamInfo<Delivery>& p) {
                             return std::string(p.param.name);
                         });

// Closing the window in the middle of every wait of every run: the stop flag goes up before the link
// is closed, "ClosePort:" is logged, and the window can be destroyed with the run still parked
// without anything reaching it afterwards.
struct Wait {
    std::string name;
    Link link;
    // Starts what is to be interrupted.
    std::function<void(FaultFixture&)> start;
    // True once the window waits where this case wants it.
    std::function<bool(FaultFixture&)> reached;
};

bool LoggedPrefix(FaultFixture& f, const std::string& prefix) {
    for (const auto& l : f.lines) {
        if (l.text.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

void StartEncode(FaultFixture& f) {
    f.freshCard();
    ASSERT_TRUE(f.h.click("cmdStart(2)"));
}
void StartRead(FaultFixture& f) {
    f.userCard(7);
    ASSERT_TRUE(f.h.click("cmdLecTar"));
}
// A request whose answer never comes, so that the run sits in that wait.
std::function<void(FaultFixture&)> Silent(std::uint8_t code, int nth, void (*start)(FaultFixture&)) {
    return [=](FaultFixture& f) {
        f.h.reader.faults().nth(code, sim::FaultKind::NoAnswer, nth);
        start(f);
    };
}
std::function<bool(FaultFixture&)> AfterLine(std::string line) {
    return [line](FaultFixture& f) { return LoggedPrefix(f, line); };
}

std::vector<Wait> AllWaits() {
    std::vector<Wait> out;
    for (Link link : {Link::Com, Link::Tcp}) {
        const std::string l = LinkName(link);
        auto add = [&](const std::string& name, std::function<void(FaultFixture&)> start,
                       std::function<bool(FaultFixture&)> reached) {
            out.push_back(Wait{name + "_" + l, link, std::move(start), std::move(reached)});
        };
        // A request whose answer never comes, at every exchange that is waited on.
        for (const auto& s : kSteps) {
            if (s.ticks == 0) continue;
            const bool encode = s.run == RunKind::Encode;
            add(std::string(encode ? "Encode" : "Read") + s.name,
                Silent(s.code, s.nth, encode ? StartEncode : StartRead), AfterLine(s.request));
        }
        // Waits for a card, for the LED's ticks and for the failure boxes.
        add(
            "EncodeCard", [](FaultFixture& f) { ASSERT_TRUE(f.h.click("cmdStart(2)")); },
            [](FaultFixture& f) { return LoggedPrefix(f, f.mis(176) + ": "); });
        add("EncodeLedTick", StartEncode, AfterLine("Led green"));
        add("EncodeFailureBox", Silent(kLogin, 1, StartEncode),
            [](FaultFixture& f) { return f.h.box.open > 0; });
        add("EncodeLinkBox", Silent(kTestLink, 1, StartEncode),
            [](FaultFixture& f) { return f.h.box.open > 0; });
        add(
            "ReadCard", [](FaultFixture& f) { ASSERT_TRUE(f.h.click("cmdLecTar")); },
            [](FaultFixture& f) { return LoggedPrefix(f, std::string(20, '-') + " "); });
        add("ReadLedTick", StartRead, AfterLine("Led green"));
        add("ReadFailureLedTick", Silent(kRead, 1, StartRead), AfterLine("Led red"));
    }
    // The TCP open waiting for its connection, and the port scan's box.
    out.push_back(Wait{"TcpOpenWait", Link::Com,
                       [](FaultFixture& f) {
                           ASSERT_TRUE(f.h.click("cmdClose"));
                           f.h.socket.mode = FakeSocket::Mode::Never;
                           ASSERT_TRUE(f.h.click("cmdOpenTCP"));
                       },
                       [](FaultFixture& f) { return f.h.clock.now() > 5'000'000; }});
    out.push_back(Wait{"ScanBox", Link::Com,
                       [](FaultFixture& f) {
                           ASSERT_TRUE(f.h.click("cmdClose"));
                           ASSERT_TRUE(f.h.click("cmdScanCom"));
                       },
                       [](FaultFixture& f) { return f.h.box.open > 0; }});
    return out;
}

void PrintTo(const Wait& w, std::ostream* os) {
    *os << w.name;
}

class CloseWindow : public ::testing::TestWithParam<Wait> {};

TEST_P(CloseWindow, StopsBeforeTheLinkClosesAndGoesQuietly) {
    const Wait& w = GetParam();
    FaultFixture f(w.link);
    auto& h = f.h;
    // Boxes stay open until the window goes, as a modal box would.
    h.box.autoCloseAfter = -1;
    ASSERT_NO_FATAL_FAILURE(w.start(f));
    ASSERT_TRUE(h.runUntil([&] { return w.reached(f); }, 60)) << "the wait was never reached";
    ASSERT_GE(h.ctx().sched.waiting(), 1u) << "nothing is waiting";

    // At the moment the close is logged the stop flag must already be up and the link closed.
    const bool hadLink = h.st().LinkType != 0;
    std::string closeLine;
    bool logged = false, stopFirst = false, closed = false;
    h.m().listInfo.observe([&](Control& c, Prop p, int i) {
        if (p != Prop::ItemAdded || c.items()[static_cast<std::size_t>(i)].rfind("ClosePort:", 0) != 0)
            return;
        logged = true;
        closeLine = c.items()[static_cast<std::size_t>(i)];
        stopFirst = h.st().bStop != 0;
        closed = !h.serial.isOpen() && !h.socket.connected;
    });
    const std::size_t closeAt = f.lines.size();
    h.form->Form_QueryUnload();
    h.form->Form_Unload();
    EXPECT_TRUE(h.tips.live.empty());
    EXPECT_TRUE(logged) << "no ClosePort: line";
    EXPECT_TRUE(stopFirst) << "the link closed before the stop flag went up";
    EXPECT_TRUE(closed);
    EXPECT_EQ(closeLine, hadLink ? "ClosePort: OK" : "ClosePort: ERROR( 1)");
    EXPECT_EQ(h.st().LinkType, 0);
    if (w.name.starts_with("EncodeCard") || w.name.starts_with("ReadCard")) {
        // A run waiting for a card sees the stop flag at once and ends its way.
        EXPECT_EQ(f.texts(closeAt), (std::vector<std::string>{"ClosePort: OK", f.mis(177), Dashes60()}));
        EXPECT_EQ(h.ctx().sched.running(), 0u);
    }

    // The window goes with whatever is still parked; then time passes: the reader keeps talking,
    // the timer must not tick into the dead window, a connection must not arrive in it.
    const std::size_t linesBefore = f.lines.size();
    h.form.reset();
    h.present(sim::CardKind::Classic1K, {1, 2, 3, 4});
    if (h.box.open == 0) h.runFor(30);
    EXPECT_EQ(f.lines.size(), linesBefore);
    EXPECT_FALSE(h.serial.isOpen());
    EXPECT_FALSE(h.socket.connected);
}

INSTANTIATE_TEST_SUITE_P(Faults, CloseWindow, ::testing::ValuesIn(AllWaits()),
                         [](const ::testing::TestParamInfo<Wait>& p) { return p.param.name; });

}  // namespace
}  // namespace zt::test::faults
