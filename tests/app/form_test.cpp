// Start-up of the window, with every subsystem in place (closing it: faults/close_window_test.cpp).
#include <gtest/gtest.h>

#include "core/link/receive.h"
#include "support/harness.h"

namespace zt {
namespace {

using test::Harness;

TEST(FormLoad, FreshStart) {
    Harness h;
    h.load();
    auto& m = h.m();
    EXPECT_EQ(m.cEditCfg1.text(), "1");
    EXPECT_EQ(m.cCombo1.text(), "9600");
    EXPECT_EQ(m.cEditCfg3.text(), "192.168.123.10");
    ASSERT_EQ(h.log().size(), 2u);
    EXPECT_EQ(h.log()[0], h.mis(170));
    EXPECT_EQ(h.log()[1], h.mis(171));
    EXPECT_FALSE(h.mis(170).empty());
    EXPECT_EQ(m.listInfo.listIndex(), 1);
    for (int i = 0; i <= 2; ++i) EXPECT_FALSE(m.cmdStart(i).enabled());
    for (int i = 0; i <= 3; ++i) EXPECT_FALSE(m.cmdStop(i).enabled());
    EXPECT_FALSE(m.cmdClose.enabled());
    EXPECT_TRUE(m.cmdOpenCom.enabled());
    EXPECT_EQ(h.st().iIdioma, 1);
    EXPECT_EQ(h.m().frmZentap.text(), h.mis(2));
    EXPECT_EQ(m.txtInfoCard.text(), "----");
}

TEST(FormLoad, WithoutLanguageFilesTheWindowStillWorks) {
    test::HarnessOptions o;
    o.noLanguageFiles = true;
    Harness h(o);
    h.load();
    ASSERT_EQ(h.log().size(), 2u);
    h.openCom();
    EXPECT_TRUE(h.m().cmdStart(0).enabled());
}

TEST(FormClicks, DisabledControlsTakeNoClicks) {
    Harness h;
    h.load();
    EXPECT_FALSE(h.click("cmdClose"));  // no link open: Close is disabled
    EXPECT_EQ(h.log().size(), 2u);
    EXPECT_TRUE(h.click("cTarvex"));
    ASSERT_EQ(h.shell.opened.size(), 1u);
    EXPECT_EQ(h.shell.opened[0], std::string(kMakerUrl));
    EXPECT_FALSE(h.click("noSuchControl"));
}

}  // namespace
}  // namespace zt
