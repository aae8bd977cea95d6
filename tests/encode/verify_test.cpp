// Encoding runs with chkVerify ticked, on the virtual clock against the simulated reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/harness.h"

namespace zt::test {
namespace {

constexpr const char* kFF = "FFFFFFFFFFFF";
const std::string kSaldo = "1200000007FFFFFFFFFFFFFFFFFFFFFF";  // three data blocks, all compared

struct Bad {
    const char* name;
    const char* keyMF;  // txtKeyMF
    std::uint8_t code;  // the request the fault strikes, on its nth use
    sim::FaultKind fault;
    int nth, value;
    int mis;                 // the line that names the failure: 406, or 407 / 408 with the block
    const char* block = "";  // and for 408 the bytes that differ and how the block reads
    const char* bytes = "";
    const char* read = "";
};
void PrintTo(const Bad& b, std::ostream* os) {
    *os << b.name;
}

struct Verify : ::testing::TestWithParam<Bad> {
    Harness h;
    void SetUp() override {
        h.load();
        h.openCom();
        h.m().chkVerify.setValue(1);
        h.m().cSelTar(32).setValue(1);
    }
};

// A card the check finds wrong takes the card failure ending: green LED off while the red box is up,
// red LED after it; the same type waits for the next card, which is written and verified.
TEST_P(Verify, CaughtThenNextCardVerified) {
    const Bad& b = GetParam();
    h.m().txtKeyMF.setText(b.keyMF);
    h.reader.faults().nth(b.code, b.fault, b.nth, b.value);
    h.click("cmdStart(2)");
    h.fresh();
    ASSERT_TRUE(h.runUntil([&] { return h.box.open > 0; }));
    EXPECT_EQ(h.box.shown.back().text, h.mis(190));
    EXPECT_EQ(h.m().cSelTar(32).foreColor(), kRed);
    std::string line = h.mis(b.mis);
    if (b.mis != 406) line += std::string(" ") + b.block;
    if (b.mis == 408) line += " (" + h.mis(409) + ": " + b.bytes + ")";
    EXPECT_TRUE(h.logHas(line)) << line;
    if (b.mis == 408) {
        EXPECT_TRUE(h.logHas(h.mis(411) + ": " + b.read));
    }
    EXPECT_EQ(h.count(h.mis(405)), 0u);
    EXPECT_EQ(h.count("Halt"), 0u);
    EXPECT_EQ(h.sent().back(), hexBytes("02 06 02 00 00 08 03")) << "green LED off";

    ASSERT_TRUE(h.runUntil([&] { return h.box.open == 0; }));
    h.runFor(0.1);
    EXPECT_EQ(h.sent().back(), hexBytes("02 06 02 01 0A 13 03")) << "red LED";
    const auto next = h.fresh();
    ASSERT_TRUE(h.runUntilIdle());
    EXPECT_EQ(h.box.shown.size(), 1u);
    EXPECT_EQ(h.count(h.mis(405)), 1u);
    EXPECT_EQ(h.m().cSelTar(32).foreColor(), kGreen);
    EXPECT_EQ(Harness::blockHex(*next, 4), kSaldo);
    EXPECT_EQ(h.count(h.mis(176) + ": USUARIO CON SALDO - 000"), 2u);
}

INSTANTIATE_TEST_SUITE_P(Faults, Verify,
                         ::testing::Values(
                             // clang-format off
        Bad{"LyingLastDataWrite", kFF, kWrite, sim::FaultKind::LyingWrite, 3, 16, 408, "06", "15", "F40100000BFEFFFFF401000005FA0505"},
        Bad{"TrailerDidNotTake", kFF, kWrite, sim::FaultKind::LyingWrite, 4, 0, 408, "07", "9", "000000000000FF078069FFFFFFFFFFFF"},
        Bad{"TrailerKeyDidNotTake", "A0A1A2A3A4A5", kWrite, sim::FaultKind::LyingWrite, 4, 0, 406},
        Bad{"CardTakenAway", kFF, kLogin, sim::FaultKind::CardRemoved, 2, 0, 406},
        Bad{"ReadUnanswered", kFF, kRead, sim::FaultKind::NoAnswer, 4, 0, 407, "07"}),
                         // clang-format on
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace zt::test
