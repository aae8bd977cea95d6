// The real window over the real window logic, with the language files beside the test program.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTabWidget>
#include <QTest>

#include "core/app/ctx.h"
#include "ui/caption.h"
#include "ui/log_view.h"
#include "ui/program.h"
#include "ui_support.h"

namespace zt::ui::test {
namespace {

TEST(ProgramWindow, OpensSwitchesLanguageAndShutsDown) {
    App();
    Program program;
    program.start();
    MainWindow& w = program.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.logView()->flush();
    auto mis = [&](int n) { return PlainText(GetMis(program.form().ctx(), n)); };
    ASSERT_FALSE(mis(2).isEmpty()) << "language files missing beside the test program";
    EXPECT_EQ(w.windowTitle(), mis(2));
    ASSERT_EQ(w.tabWidget()->count(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(w.tabWidget()->tabText(i), mis(95 + i)) << "tab " << i;
    EXPECT_EQ(qobject_cast<QAbstractButton*>(w.widgetNamed("cmdOpenCom"))->text(), mis(130));
    // Start-up's two log lines, the second selected; only the link controls are enabled.
    EXPECT_EQ(w.logView()->model()->rowCount() * 10 + w.logView()->currentIndex().row(), 21);
    EXPECT_TRUE(w.widgetNamed("cmdOpenCom")->isEnabled());
    EXPECT_FALSE(w.widgetNamed("cmdStart(0)")->isEnabled() || w.widgetNamed("cmdClose")->isEnabled());
    // The English label switches title, tabs and tooltips (rich text, with HTML escapes).
    const QString titleBefore = w.windowTitle();
    QWidget* english = w.widgetNamed("cIdioma(1)");
    QTest::mouseClick(english, Qt::LeftButton, {}, english->rect().center());
    ASSERT_EQ(program.form().state().iIdioma, 2);
    EXPECT_EQ(w.windowTitle(), mis(2));
    EXPECT_NE(w.windowTitle(), titleBefore);
    EXPECT_EQ(w.tabWidget()->tabText(0), mis(95));
    EXPECT_TRUE(w.widgetNamed("cmdOpenCom")->toolTip().contains(mis(150).toHtmlEscaped()));
    EXPECT_EQ(w.widgetNamed("cmdOpenCom")->toolTipDuration(), 30000);
    // The log has no visible label: it is named after its tooltip.
    EXPECT_FALSE(w.logView()->accessibleName().isEmpty()) << w.logView()->toolTip().toStdString();
    // Closing the window closes the link as at every shutdown, and logs it.
    const int before = program.form().model().listInfo.itemCount();
    w.close();
    EXPECT_GT(program.form().model().listInfo.itemCount(), before);
    EXPECT_NE(program.form().state().bStop, 0);
}

}  // namespace
}  // namespace zt::ui::test
