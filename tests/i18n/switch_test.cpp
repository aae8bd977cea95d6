// The language switch in the whole window, with the shipped language files (every text it sets:
// texts_test.cpp).
#include <gtest/gtest.h>

#include "support/harness.h"

namespace zt {
namespace {

using test::Harness;

TEST(LanguageSwitch, OneClickChangesEveryTextButTheLog) {
    Harness h;
    h.load();
    const auto& mis = h.st().Mis;
    ASSERT_EQ(h.st().iIdioma, 1);
    const auto startLog = h.log();
    for (int i : {1, 4, 2, 3, 0}) {
        const auto& lang = mis[static_cast<std::size_t>(i + 1)];
        EXPECT_TRUE(h.click("cIdioma(" + std::to_string(i) + ")"));
        EXPECT_EQ(h.st().iIdioma, i + 1);
        EXPECT_EQ(h.m().frmZentap.text(), lang[2]);
        EXPECT_EQ(h.tips.of("txtTScan")->tip.text, lang[273]);
    }
    EXPECT_EQ(h.log(), startLog);
}

TEST(LanguageSwitch, PortTipFollowsTheNumberTyped) {
    Harness h;
    h.load();
    const auto& es = h.st().Mis[1];
    EXPECT_EQ(h.tips.of("cEditCfg1")->tip.text, es[230] + "\r\n" + es[284] + ": /dev/ttyS0");
    h.m().cEditCfg1.setText("4");
    EXPECT_EQ(h.tips.of("cEditCfg1")->tip.text, es[230] + "\r\n" + es[284] + ": /dev/ttyS3");
    h.click("cIdioma(1)");
    const auto& en = h.st().Mis[2];
    EXPECT_EQ(h.tips.of("cEditCfg1")->tip.text, en[230] + "\r\n" + en[284] + ": /dev/ttyS3");
}

// A switch while a run waits for a card: the run goes on and logs in the new language from then on.
TEST(LanguageSwitch, DuringARunTheRunGoesOn) {
    Harness h;
    h.load();
    h.openCom();
    h.click("cmdStart(2)");
    const std::string heading = h.mis(176) + ": ";
    ASSERT_TRUE(h.runUntil([&] { return !h.log().empty() && h.log().back().starts_with(heading); }, 10));
    h.click("cIdioma(1)");
    EXPECT_EQ(h.st().ActiveRun, 2);
    EXPECT_TRUE(h.m().cmdStop(2).enabled());
    EXPECT_EQ(h.m().cmdStop(2).text(), h.st().Mis[2][140]);
    h.click("cmdStop(2)");
    EXPECT_TRUE(h.runUntilIdle(30));
    EXPECT_TRUE(h.logHas(h.st().Mis[2][177]));
}

}  // namespace
}  // namespace zt
