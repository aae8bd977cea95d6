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

class ProgramWindow : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        program = std::make_unique<Program>();
        program->start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&program->window()));
        program->window().logView()->flush();
    }
    void TearDown() override { program.reset(); }

    QString mis(int n) { return PlainText(GetMis(program->form().ctx(), n)); }
    QWidget* widget(const char* name) { return program->window().widgetNamed(name); }

    std::unique_ptr<Program> program;
};

TEST_F(ProgramWindow, OpensWithFourTabsAndTheStartLanguage) {
    MainWindow& w = program->window();
    ASSERT_FALSE(mis(2).isEmpty()) << "language files missing beside the test program";
    EXPECT_EQ(w.windowTitle(), mis(2));
    ASSERT_EQ(w.tabWidget()->count(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(w.tabWidget()->tabText(i), mis(95 + i)) << "tab " << i;
    EXPECT_EQ(qobject_cast<QAbstractButton*>(widget("cmdOpenCom"))->text(), mis(130));
    // Start-up's two log lines, the second selected; only the link controls are enabled.
    EXPECT_EQ(w.logView()->model()->rowCount(), 2);
    EXPECT_EQ(w.logView()->currentIndex().row(), 1);
    EXPECT_TRUE(widget("cmdOpenCom")->isEnabled());
    EXPECT_FALSE(widget("cmdStart(0)")->isEnabled());
    EXPECT_FALSE(widget("cmdClose")->isEnabled());
}

TEST_F(ProgramWindow, LanguageLabelSwitchesTitleTabsAndTooltips) {
    const QString titleBefore = program->window().windowTitle();
    const QString tabBefore = program->window().tabWidget()->tabText(0);
    QWidget* english = widget("cIdioma(1)");
    QTest::mouseClick(english, Qt::LeftButton, {}, english->rect().center());
    ASSERT_EQ(program->form().state().iIdioma, 2);
    EXPECT_EQ(program->window().windowTitle(), mis(2));
    EXPECT_NE(program->window().windowTitle(), titleBefore);
    EXPECT_EQ(program->window().tabWidget()->tabText(0), mis(95));
    EXPECT_NE(program->window().tabWidget()->tabText(0), tabBefore);
    // Tooltips carry the new language's text (as rich text, with HTML escapes).
    const QString tip = widget("cmdOpenCom")->toolTip();
    EXPECT_TRUE(tip.contains(mis(150).toHtmlEscaped())) << tip.toStdString();
    EXPECT_EQ(widget("cmdOpenCom")->toolTipDuration(), 30000);
    // The log has no visible label: it is named after its tooltip.
    EXPECT_FALSE(program->window().logView()->accessibleName().isEmpty())
        << program->window().logView()->toolTip().toStdString();
}

TEST_F(ProgramWindow, ClosingTheWindowRunsTheShutdown) {
    const int before = program->form().model().listInfo.itemCount();
    program->window().close();
    // The link is closed as at every shutdown, and that is logged.
    EXPECT_GT(program->form().model().listInfo.itemCount(), before);
    EXPECT_NE(program->form().state().bStop, 0);
}

}  // namespace
}  // namespace zt::ui::test
