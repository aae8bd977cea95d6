#include "core/i18n/tooltip.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace zt {
namespace {

TEST(TooltipTable, HoldsItsCapacityRefusesTheNextAndStartsAgainAfterIniTip) {
    Control button{"cmdOpenCom", Kind::Button, "cFrame(0)"};
    Control box{"txtUser", Kind::TextBox, "SSTab1(2)"};
    test::FakeTips host;
    {
        Tooltip tips(&host);
        tips.IniMaxTip(150);
        EXPECT_EQ(tips.tips().size(), 151u);
        for (int i = 0; i < 150; ++i) ASSERT_TRUE(tips.CreateTip(button, "old")) << i;
        EXPECT_FALSE(tips.CreateTip(button, "one too many"));
        EXPECT_EQ(host.live.size(), 150u);
        EXPECT_EQ(tips.tips()[150].hwndTip, 0u);

        tips.IniTip();
        EXPECT_TRUE(host.live.empty());
        ASSERT_TRUE(tips.CreateTip(box, "new", "Title"));
        EXPECT_EQ(tips.iNumTip(), 1);
        EXPECT_EQ(tips.tips()[0].owner, &box);
        EXPECT_EQ(tips.tips()[1].hwndTip, 0u);
        ASSERT_EQ(host.live.size(), 1u);
        const TipSpec& tip = host.of("txtUser")->tip;
        EXPECT_EQ(tip.text, "new");
        EXPECT_EQ(tip.title, "Title");

        // A tip's text can follow what is typed, without a new tooltip.
        EXPECT_TRUE(tips.UpdateTip(box, "newer"));
        EXPECT_EQ(host.of("txtUser")->tip.text, "newer");
        EXPECT_FALSE(tips.UpdateTip(button, "no tip of its own"));
        EXPECT_EQ(host.created, 151u);
    }
    // The manager going takes every tooltip with it.
    EXPECT_TRUE(host.live.empty());
}

}  // namespace
}  // namespace zt
