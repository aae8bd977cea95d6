// The read tab's card display: type code, installation code, key and sector, the raw blocks.
#include <gtest/gtest.h>

#include <string>

#include "core/app/ctx.h"
#include "core/read/display.h"

namespace zt {
namespace {

// A window whose messages read "M<n>", so every expected text shows which message it uses.
class DisplayTest : public ::testing::Test {
protected:
    DisplayTest() : ctx(Platform{}) {
        ctx.st.iIdioma = 1;
        for (int n = 198; n <= 216; ++n) ctx.st.Mis[1][n] = "M" + std::to_string(n);
    }
    Ctx ctx;
};

const std::string kFs22(22, 'F');

struct Decoded {
    const char* name;
    std::string block0;
    std::string card;
    std::string inst;
    std::int16_t sector;  // shown as a plain decimal
};

// Every type the encoding run makes is also read back end to end (round_trip_test.cpp); here the
// codes it never writes and the texts shorter than a block.
TEST_F(DisplayTest, DecodesTypeAndInstallationFromFirstBlockAndShowsKeyAndSector) {
    const Decoded cases[] = {
        {"basic user 000", "1000000009" + kFs22, "M206 - 000", "M198: 0000", 0},
        {"basic user 057", "1012340577" + kFs22, "M206 - 057", "M198: 1234", 15},
        {"user code 13", "1300003210" + kFs22, "M209 - 321", "M198: 0000", 63},
        {"numeric 5", "8300005004" + kFs22, "M215 5", "M198: 0000", -3},
        {"master", "6912340206" + std::string(22, '1'), "M201", "M198: 1234", 1},
        {"code 53", "53ABCD0000" + kFs22, "M203", "M198: ABCD", 1},
        {"code 55", "5500000000" + kFs22, "M205", "M198: 0000", 1},
        {"blank card", std::string(32, '0'), "M216", "M198: 0000", 1},
        {"unknown code keeps its installation", "99ABCD0000" + kFs22, "M216", "M198: ABCD", 1},
        {"code compared as text", "1A00000000" + kFs22, "M216", "M198: 0000", 1},
        // Texts shorter than the fields give what they have.
        {"one character", "1", "M216", "M198: ", 1},
        {"code only", "10", "M206 - ", "M198: ", 1},
        {"half an installation", "1012", "M206 - ", "M198: 12", 1},
        {"one value character", "1012345", "M206 - 5", "M198: 1234", 1},
        {"numeric without digit", "830000", "M215 ", "M198: 0000", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShowCardInfo(ctx, "A0A1A2A3A4A5", c.sector, c.block0, "B1", "B2");
        EXPECT_EQ(ctx.m.txtInfoCard.text(), c.card);
        EXPECT_EQ(ctx.m.txtInfoInst.text(), c.inst);
        EXPECT_EQ(ctx.m.txtInfoKey.text(), "M199: A0A1A2A3A4A5     M200: " + std::to_string(c.sector));
        EXPECT_EQ(ctx.m.txtInfoRead(0).text(), c.block0);
        EXPECT_EQ(ctx.m.txtInfoRead(1).text(), "B1");
        EXPECT_EQ(ctx.m.txtInfoRead(2).text(), "B2");
    }
}

TEST_F(DisplayTest, EmptyFirstBlockGivesEmptyFormWhateverElseIsGiven) {
    ShowCardInfo(ctx, "FFFFFFFFFFFF", 5, "1000000009" + kFs22, "AA", "BB");
    ShowCardInfo(ctx, "FFFFFFFFFFFF", 5, "", "AA", "BB");
    EXPECT_EQ(ctx.m.txtInfoCard.text(), "----");
    EXPECT_EQ(ctx.m.txtInfoInst.text(), "M198: ----");
    EXPECT_EQ(ctx.m.txtInfoKey.text(), "M199: ------------     M200: --");
    for (int i = 0; i <= 2; ++i) EXPECT_EQ(ctx.m.txtInfoRead(i).text(), "") << i;
}

}  // namespace
}  // namespace zt
