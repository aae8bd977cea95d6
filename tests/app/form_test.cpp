// Start-up and shutdown of the window, with every subsystem in place.
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
    EXPECT_EQ(m.listNoPermit.itemCount(), 256);
    EXPECT_EQ(m.listNoPermit.items().front(), "Nodo 000");
    EXPECT_EQ(m.listNoPermit.items().back(), "Nodo 255");
    EXPECT_EQ(m.listPermit.itemCount(), 0);
    for (int i = 0; i <= 2; ++i) EXPECT_FALSE(m.cmdStart(i).enabled());
    for (int i = 0; i <= 3; ++i) EXPECT_FALSE(m.cmdStop(i).enabled());
    EXPECT_FALSE(m.cmdClose.enabled());
    EXPECT_TRUE(m.cmdOpenCom.enabled());
    EXPECT_TRUE(m.cmdOpenTCP.enabled());
    EXPECT_EQ(h.st().LinkType, 0);
    EXPECT_EQ(h.st().ActiveRun, kNoRun);
    EXPECT_EQ(h.st().iIdioma, 1);
    EXPECT_EQ(h.st().aUid.size(), 12u);
    EXPECT_EQ(h.m().frmZentap.text(), h.mis(2));
    EXPECT_EQ(h.tips.live.size(), 51u);
    EXPECT_EQ(m.txtInfoCard.text(), "----");
}

TEST(FormLoad, TimerTicksEveryHalfSecond) {
    Harness h;
    h.load();
    h.runFor(5.0);
    EXPECT_EQ(h.timer.ticks(), 10u);
}

TEST(FormLoad, WithoutLanguageFilesEverythingIsBlankButWorks) {
    test::HarnessOptions o;
    o.noLanguageFiles = true;
    Harness h(o);
    h.load();
    EXPECT_EQ(h.st().iIdioma, 0);
    EXPECT_EQ(h.m().frmZentap.text(), "");
    EXPECT_EQ(h.m().cmdOpenCom.text(), "");
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

TEST(FormShutdown, ClosingWithoutLinkStillLogsTheClose) {
    Harness h;
    h.load();
    h.form->Form_QueryUnload();
    EXPECT_TRUE(h.tips.live.empty());
    h.form->Form_Unload();
    EXPECT_EQ(h.log().back(), "ClosePort: ERROR( 1)");
}

TEST(FormShutdown, ClosingMidRunRaisesStopBeforeTheLinkCloses) {
    Harness h;
    h.load();
    h.openCom();
    ASSERT_TRUE(h.click("cmdStart(2)"));
    // The run waits for a card (no card in the field).
    ASSERT_TRUE(h.runUntil(
        [&] { return h.m().cSelTar(30).foreColor() == kBlue && h.ctx().sched.waiting() > 0; }, 10));
    bool stopWhenClosed = false;
    h.serial.onClose = [&] { stopWhenClosed = h.st().bStop != 0; };
    const auto closeAt = h.log().size();
    h.form->Form_QueryUnload();
    h.form->Form_Unload();
    EXPECT_TRUE(stopWhenClosed);
    EXPECT_EQ(h.serial.openPort, 0);
    const auto after = h.logFrom(closeAt);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], "ClosePort: OK");
    EXPECT_EQ(after[1], h.mis(177));  // the run notices the stop flag and ends its way
    EXPECT_EQ(after[2], std::string(60, '-'));
    EXPECT_EQ(h.ctx().sched.running(), 0u);
    h.form.reset();  // the window goes while nothing is left waiting
}

}  // namespace
}  // namespace zt
