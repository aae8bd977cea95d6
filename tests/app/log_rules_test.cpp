// The activity log's selection rule and the enabled state of the controls.
#include <gtest/gtest.h>

#include "core/app/ctx.h"
#include "core/app/log.h"

namespace zt {
namespace {

struct Fixture : ::testing::Test {
    Ctx ctx{Platform{}};
};

TEST_F(Fixture, SelectionFollowsNewestLineUntilUserPicksOne) {
    AddInfo(ctx, "a");
    EXPECT_EQ(ctx.m.listInfo.listIndex(), 0);
    AddInfo(ctx, "b");
    EXPECT_EQ(ctx.m.listInfo.listIndex(), 1);
    for (int i = 0; i < 8; ++i) AddInfo(ctx, "x");
    ctx.m.listInfo.setListIndex(0);  // the operator clicks the first of ten lines
    AddInfo(ctx, "y");
    AddInfo(ctx, "z");
    EXPECT_EQ(ctx.m.listInfo.listIndex(), 2);
    EXPECT_EQ(ctx.m.listInfo.itemCount(), 12);
    EXPECT_EQ(ctx.m.listInfo.items().back(), "z");
}

TEST_F(Fixture, BorrarEmptiesAndNextLineIsSelectedAgain) {
    for (int i = 0; i < 5; ++i) AddInfo(ctx, "x");
    cBorrar_Click(ctx);
    EXPECT_EQ(ctx.m.listInfo.itemCount(), 0);
    EXPECT_EQ(ctx.m.listInfo.listIndex(), -1);
    AddInfo(ctx, "first");
    EXPECT_EQ(ctx.m.listInfo.listIndex(), 0);
}

TEST_F(Fixture, LogKeepsEveryLinePastSixteenBits) {
    for (int i = 0; i < 40000; ++i) AddInfo(ctx, std::to_string(i));
    EXPECT_EQ(ctx.m.listInfo.itemCount(), 40000);
    EXPECT_EQ(ctx.m.listInfo.listIndex(), 39999);
    EXPECT_EQ(ctx.m.listInfo.items()[32768], "32768");
}

// Expected enabled flags: {no link, link idle, link + run}.
struct Row {
    const char* control;
    bool noLink, idle, running;
};
const Row kRows[] = {
    {"cmdOpenCom", true, false, false},  {"cmdOpenTCP", true, false, false},
    {"cmdScanCom", true, false, false},  {"cEditCfg1", true, false, false},
    {"cCombo1", true, false, false},     {"cmdClose", false, true, false},
    {"cmdDeSel", true, true, false},     {"cmdSelTot", true, true, false},
    {"cmdStart(0)", false, true, false}, {"cmdStart(1)", false, true, false},
    {"cmdStart(2)", false, true, false}, {"cmdLecTar", false, true, false},
    {"txtNumInst", true, true, false},   {"txtSector", true, true, false},
    {"txtKeyMF", true, true, false},     {"cEditCfg3", true, true, true},
    {"cBorrar", true, true, true},       {"cSelTar(30)", true, true, true},
    {"txtKeyTar", true, true, true},     {"cIdioma(0)", true, true, true},
};

TEST_F(Fixture, ControlStatesFollowLinkAndRun) {
    for (std::int16_t link : {0, 1, 2}) {
        for (int run : {255, 0, 1, 2, 3}) {
            ctx.st.LinkType = link;
            ctx.st.ActiveRun = static_cast<std::uint8_t>(run);
            UpdateControls(ctx);
            for (const auto& r : kRows) {
                const bool want = link == 0 ? r.noLink : (run == 255 ? r.idle : r.running);
                EXPECT_EQ(ctx.m.find(r.control)->enabled(), want)
                    << r.control << " link " << link << " run " << run;
            }
            for (int s = 0; s <= 3; ++s) {
                EXPECT_EQ(ctx.m.cmdStop(s).enabled(), link != 0 && run == s)
                    << "cmdStop(" << s << ") link " << link << " run " << run;
            }
        }
    }
}

TEST_F(Fixture, AddInfoRefreshesControlsBeforeAppending) {
    ctx.st.LinkType = 1;
    ctx.st.ActiveRun = 1;
    bool stopEnabledWhenLineArrived = false;
    ctx.m.listInfo.observe([&](Control&, Prop p, int) {
        if (p == Prop::ItemAdded) stopEnabledWhenLineArrived = ctx.m.cmdStop(1).enabled();
    });
    AddInfo(ctx, "line");
    EXPECT_TRUE(stopEnabledWhenLineArrived);
}

}  // namespace
}  // namespace zt
