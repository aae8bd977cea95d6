// The read tab's detail field on the real window: filled by a read, said again on a language switch.
#include <gtest/gtest.h>

#include <QLabel>

#include "support/harness.h"
#include "ui/caption.h"
#include "ui/main_window.h"
#include "ui_support.h"

namespace zt::ui::test {
namespace {

TEST(CardDetail, ReadingAnAdvancedUserCardShowsItsNodesAndFollowsTheLanguage) {
    App();
    zt::test::Harness h;
    h.load();
    RecordingActions actions;
    MainWindow w(h.m(), actions);
    auto* detail = qobject_cast<QLabel*>(w.widgetNamed("txtInfoDetail"));
    ASSERT_NE(detail, nullptr);
    h.openCom();

    // USUARIO AVANZADO, installation 0000, user 000, nodes 1, 2 and 9, in sector 1.
    ASSERT_TRUE(h.click("cmdLecTar"));
    auto card = h.present(sim::CardKind::Classic1K, {1, 2, 3, 4});
    card->setBlock(4, {0x11, 0, 0, 0, 0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    card->setBlock(5, {0x06, 0x02});
    ASSERT_TRUE(h.runUntil([&] { return !h.m().txtInfoDetail.text().empty(); }));
    const QString spanish = detail->text();
    EXPECT_TRUE(spanish.contains(PlainText(h.mis(309) + " (3): 001, 002, 009"))) << spanish.toStdString();
    EXPECT_TRUE(spanish.contains(PlainText(h.mis(338) + ": 01 02 03 04"))) << spanish.toStdString();

    ASSERT_TRUE(h.click("cIdioma(1)"));
    const QString english = detail->text();
    EXPECT_NE(english, spanish);
    EXPECT_TRUE(english.contains(PlainText(h.mis(309) + " (3): 001, 002, 009"))) << english.toStdString();

    // A blank card next.
    h.removeCard();
    h.present(sim::CardKind::Classic1K, {5, 6, 7, 8});
    ASSERT_TRUE(h.runUntil([&] { return detail->text().contains("05 06 07 08"); }));
    EXPECT_TRUE(detail->text().contains(PlainText(h.mis(300)))) << detail->text().toStdString();
    ASSERT_TRUE(h.click("cmdStop(3)"));
    ASSERT_TRUE(h.runUntilIdle());
}

}  // namespace
}  // namespace zt::ui::test
