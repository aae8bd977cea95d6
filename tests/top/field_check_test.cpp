// The fields a run reads, looked at when Start is pressed and while the operator types.
#include <gtest/gtest.h>

#include "core/top/field_check.h"
#include "support/harness.h"

namespace zt::test {
namespace {

struct Started : Harness {
    Started() {
        load();
        openCom();
    }
    // Start pressed with `fields`: the question asked ("" when none) and whether anything went out.
    std::string start(std::string_view fields, const std::string& button, int answer = -1) {
        set(fields);
        box.answer = answer;
        const std::size_t frames = sent().size(), logged = log().size(), asked = box.asked.size();
        click(button);
        if (answer < 0) {
            EXPECT_EQ(sent().size(), frames) << "going back sends nothing";
            EXPECT_EQ(log().size(), logged) << "and logs nothing";
            EXPECT_TRUE(idle());
        }
        return box.asked.size() == asked ? "" : box.asked.back().text;
    }
};

struct Bad {
    std::string fields, button, says;  // says: the paragraphs after the first line
};
void PrintTo(const Bad& b, std::ostream* os) { *os << b.fields; }
struct Malformed : ::testing::TestWithParam<Bad> {};

TEST_P(Malformed, TheBoxNamesEachFieldAndWhatTheCardWouldGet) {
    Started h;
    const auto& b = GetParam();
    EXPECT_EQ(h.start(b.fields, b.button), h.mis(421) + Lines(b.says, &h)[0]);
}

const std::string kGives = ".\r\n{424}: ";
INSTANTIATE_TEST_SUITE_P(
    Table, Malformed,
    ::testing::Values(
        // clang-format off
        Bad{"txtUser=abc", "cmdStart(2)", "\r\n\r\n{17} \"abc\" - {426} (0-999)" + kGives + "000"},
        Bad{"txtUser=~|txtNumTar=0", "cmdStart(2)",
            "\r\n\r\n{17} \"\" - {426} (0-999)" + kGives + "000\r\n\r\n{21} \"0\" - {426} (1-999)" + kGives + "{437}: 1"},
        Bad{"txtUser=998|txtNumTar=5", "cmdStart(2)", "\r\n\r\n{21} \"5\" - {432}" + kGives + "998-002"},
        Bad{"cSelTar(32)=1|txtSalVal=12,50", "cmdStart(2)", "\r\n\r\n{20} \"12,50\" - {426}" + kGives + "12"},
        Bad{"txtNumInst=~", "cmdStart(1)", "\r\n\r\n{6} \"\" - {427}" + kGives + "0000"},
        Bad{"txtKeyMF=ffffffffffff", "cmdStart(1)", "\r\n\r\n{8} \"ffffffffffff\" - {425}" + kGives + "{433}"},
        Bad{"txtNumInst=12", "cmdStart(0)", "\r\n\r\n{6} \"12\" - {427}" + kGives + "{436}"},
        Bad{"cSelTar(0)=0|txtCfgNode=300|txtTScan=100", "cmdStart(0)",
            "\r\n\r\n{14} \"300\" - {426} (0-255)" + kGives + "300\r\n\r\n{39} \"100\" - {426} (0-99)" + kGives + "00"},
        Bad{"cSelTar(0)=0|chkCfgRelExt=1|txtTramaRelExt=&HG1A", "cmdStart(0)",
            "\r\n\r\n{439}: \"&HG1A\" - {428}" + kGives + "0041 (2 {440})"},
        Bad{"txtOldSector=64", "cmdStart(0)", "\r\n\r\n{48}, {10} \"64\" - {426} (0-63)" + kGives + "{433}"},
        Bad{"txtKeyTar=FFFFFFFFFFF", "cmdLecTar", "\r\n\r\n{25} \"FFFFFFFFFFF\" - {425}" + kGives + "{434}"},
        Bad{"txtSector=x", "cmdLecTar", "\r\n\r\n{7} \"x\" - {426} (0-63)" + kGives + "0"}
        // clang-format on
        ));

// Going on starts today's run: the frames are those of the same card typed well formed, which asks nothing.
TEST(StartCheck, GoingOnSendsTodaysFrames) {
    std::vector<ByteVec> frames[2];
    for (int bad = 0; bad <= 1; ++bad) {
        Started h;
        EXPECT_EQ(h.start(bad ? "txtUser=abc" : "txtUser=000", "cmdStart(2)", 0).empty(), !bad);
        h.fresh();
        ASSERT_TRUE(h.runUntilIdle());
        frames[bad] = h.sent();
    }
    EXPECT_EQ(frames[0], frames[1]);
}

TEST(StartCheck, AUserNumberWrittenBeforeIsPointedOut) {
    Started h;
    ASSERT_EQ(h.start("txtUser=057", "cmdStart(2)", 0), "");
    h.fresh();
    ASSERT_TRUE(h.runUntilIdle());
    EXPECT_EQ(h.start("txtUser=056|txtNumTar=3", "cmdStart(2)"),
              h.mis(421) + Lines("\r\n\r\n{17} \"056\" - {431}" + kGives + "057", &h)[0]);
    EXPECT_EQ(h.start("txtUser=058|txtNumTar=1", "cmdStart(2)", 0), "");
}

// A field is marked while it is not well formed, in the language shown, and gets its colour back.
TEST(FieldMarks, FollowTheTextAndTheLanguage) {
    Started h;
    auto tip = [&h](const char* c) { return h.tips.of(c)->tip.text; };
    const std::string plain = tip("txtUsaKey(0)");
    h.set("txtKeyMF=abcdefABCDEF");
    EXPECT_EQ(h.m().txtKeyMF.backColor(), kMarkColour);
    EXPECT_EQ(h.m().txtUsaKey(0).backColor(), kMarkColour);
    h.click("cIdioma(1)");
    EXPECT_EQ(tip("txtUsaKey(0)"), h.mis(255) + "\r\n" + h.mis(438) + " " + h.mis(425));
    h.set("txtKeyMF=ABCDEFABCDEF");
    EXPECT_EQ(h.m().txtKeyMF.backColor(), kDefaultColour);
    EXPECT_EQ(h.m().txtUsaKey(0).backColor(), kLightYellow);
    EXPECT_EQ(tip("txtUsaKey(0)"), h.mis(255));
    EXPECT_NE(tip("txtUsaKey(0)"), plain) << "another language";
    EXPECT_EQ(h.m().txtUsaKey(0).text(), "ABCDEFABCDEF");
}

}  // namespace
}  // namespace zt::test
