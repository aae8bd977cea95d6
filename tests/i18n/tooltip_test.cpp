#include "core/i18n/tooltip.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace zt {
namespace {

class TooltipTable : public ::testing::Test {
protected:
    Control button{"cmdOpenCom", Kind::Button, "cFrame(0)"};
    Control box{"txtUser", Kind::TextBox, "SSTab1(2)"};
    test::FakeTooltipHost host;
};

TEST_F(TooltipTable, HoldsItsCapacityAndRefusesTheNext) {
    Tooltip tips(&host);
    tips.IniMaxTip(150);
    EXPECT_EQ(tips.tips().size(), 151u);
    for (int i = 0; i < 150; ++i) ASSERT_TRUE(tips.CreateTip(button, "t" + std::to_string(i))) << i;
    EXPECT_FALSE(tips.CreateTip(button, "one too many"));
    EXPECT_EQ(tips.iNumTip(), 150);
    EXPECT_EQ(host.live.size(), 150u);
    EXPECT_EQ(tips.tips()[150].hwndTip, 0u);
    EXPECT_EQ(tips.tips()[150].owner, nullptr);
}

TEST_F(TooltipTable, IniTipDestroysEveryTipAndStartsAgainAtZero) {
    Tooltip tips(&host);
    tips.IniMaxTip(3);
    tips.CreateTip(button, "old 1");
    tips.CreateTip(box, "old 2");
    const auto oldHandles = host.created;
    tips.IniTip();
    EXPECT_TRUE(host.live.empty());
    EXPECT_EQ(host.destroyed, oldHandles);
    EXPECT_EQ(tips.iNumTip(), 0);

    ASSERT_TRUE(tips.CreateTip(box, "new"));
    EXPECT_EQ(tips.tips()[0].owner, &box);
    EXPECT_EQ(tips.tips()[0].spec.text, "new");
    EXPECT_EQ(tips.tips()[1].hwndTip, 0u);
    ASSERT_EQ(host.live.size(), 1u);
    EXPECT_EQ(host.live.begin()->second.spec.text, "new");
    // A full table only fills up again after IniTip.
    EXPECT_TRUE(tips.CreateTip(box, "2"));
    EXPECT_TRUE(tips.CreateTip(box, "3"));
    EXPECT_FALSE(tips.CreateTip(box, "4"));
}

TEST_F(TooltipTable, TeardownLeavesNoTipBehind) {
    {
        Tooltip tips(&host);
        tips.IniMaxTip(150);
        for (int i = 0; i < 51; ++i) tips.CreateTip(button, "t");
        EXPECT_EQ(host.live.size(), 51u);
    }
    EXPECT_TRUE(host.live.empty());
    EXPECT_EQ(host.destroyed.size(), 51u);
}

TEST_F(TooltipTable, TipsAreInformationBalloonsInDarkBlueOnWhiteForThirtySeconds) {
    Tooltip tips(&host);
    tips.IniMaxTip(150);
    tips.CreateTip(button, "Line one\r\nLine two", "Title");
    ASSERT_EQ(host.live.size(), 1u);
    const auto& [control, spec] = host.live.begin()->second;
    EXPECT_EQ(control, "cmdOpenCom");
    EXPECT_EQ(spec.text, "Line one\r\nLine two");
    EXPECT_EQ(spec.title, "Title");
    EXPECT_EQ(spec.icon, 1);
    EXPECT_EQ(spec.textColour, rgb(0, 0, 150));
    EXPECT_EQ(spec.backColour, rgb(255, 255, 255));
    EXPECT_EQ(spec.style, 67);
    EXPECT_FALSE(spec.centre);
    EXPECT_EQ(spec.autoPopMs, 30000);
    EXPECT_TRUE(spec.multiline);
}

TEST_F(TooltipTable, UpdateTipChangesOnlyTheTipOfThatControl) {
    Tooltip tips(&host);
    tips.IniMaxTip(150);
    tips.CreateTip(button, "button");
    tips.CreateTip(box, "box");
    EXPECT_TRUE(tips.UpdateTip(box, "box, now"));
    EXPECT_EQ(host.of("txtUser")->spec.text, "box, now");
    EXPECT_EQ(host.of("cmdOpenCom")->spec.text, "button");
    EXPECT_EQ(tips.tips()[1].spec.text, "box, now");

    Control other{"txtSector", Kind::TextBox, "cFrame(1)"};
    EXPECT_FALSE(tips.UpdateTip(other, "x"));
    tips.IniTip();
    EXPECT_FALSE(tips.UpdateTip(box, "gone"));
}

TEST_F(TooltipTable, WorksWithoutADesktop) {
    Tooltip tips(nullptr);
    tips.IniMaxTip(2);
    EXPECT_TRUE(tips.CreateTip(button, "a"));
    EXPECT_TRUE(tips.CreateTip(button, "b"));
    EXPECT_FALSE(tips.CreateTip(button, "c"));
    tips.IniTip();
    EXPECT_EQ(tips.iNumTip(), 0);
}

}  // namespace
}  // namespace zt
