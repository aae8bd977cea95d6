// The Qt pieces of the window: the timer, the message box and the window placement; then the real
// window and the record window over the real window logic, with the language files beside the test
// program.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QTableView>
#include <QTest>

#include "core/app/cards.h"
#include "platform/message_box.h"
#include "platform/save_file.h"
#include "platform/timer.h"
#include "platform/window_host.h"
#include "support/qt_app.h"
#include "ui/caption.h"
#include "ui/log_view.h"
#include "ui/program.h"
#include "ui/record_window.h"

namespace zt::ui::test {
namespace {

using zt::test::App;
using zt::test::RunUntil;

TEST(QtTimerTest, TicksUntilStoppedAndRestartsWithTheNewHandler) {
    App();
    QtTimer timer;
    int first = 0, second = 0;
    timer.start(5, [&] { ++first; });
    ASSERT_TRUE(RunUntil([&] { return first >= 3; }));
    timer.start(5, [&] { ++second; });
    const int firstAtRestart = first;
    ASSERT_TRUE(RunUntil([&] { return second >= 2; }));
    timer.stop();
    const int secondAtStop = second;
    QTest::qWait(30);
    EXPECT_EQ(std::pair(first, second), std::pair(firstAtRestart, secondAtStop));
    EXPECT_FALSE(timer.isActive());
}

TEST(QtMessageBoxTest, OpensWithoutBlockingReportsOkAndBoxesLeftAtTheEndTellNobody) {
    App();
    QWidget owner;
    owner.show();
    int closed = 0;
    {
        QtMessageBox host(&owner);
        host.show("first line\r\nsecond line", "Title", BoxIcon::Warning, [&] { ++closed; });
        // show() returned at once; the box is up and modal for the window.
        ASSERT_EQ(host.openBoxes().size(), 1u);
        QMessageBox* box = host.openBoxes().front();
        EXPECT_EQ(box->text() + "|" + box->windowTitle(), "first line\nsecond line|Title");
        EXPECT_TRUE(box->icon() == QMessageBox::Warning && box->isModal() && closed == 0);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        ASSERT_TRUE(RunUntil([&] { return closed == 1; }));
        // Without a title the box carries the program's name.
        host.show("text", "", BoxIcon::None, [&] { ++closed; });
        EXPECT_EQ(host.openBoxes().front()->windowTitle(), QApplication::applicationDisplayName());
        host.openBoxes().front()->accept();
        ASSERT_TRUE(RunUntil([&] { return closed == 2; }));
        host.show("a", "b", BoxIcon::Critical, [&] { ++closed; });
        host.show("c", "d", BoxIcon::Information, [&] { ++closed; });
        ASSERT_EQ(host.openBoxes().size(), 2u);
    }
    QApplication::processEvents();
    EXPECT_EQ(closed, 2);
    EXPECT_TRUE(owner.findChildren<QMessageBox*>().isEmpty());
}

TEST(QtWindowHostTest, CentresTheWindowOnTheScreen) {
    App();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // A window wider than the screen keeps its left edge on it.
    for (const QSize size :
         {QSize(300, 200), QSize(area.width() / 2 + 1, area.height() / 3), QSize(area.width() + 200, 100)}) {
        QWidget window;
        window.resize(size);
        QtWindowHost(&window).centre();
        EXPECT_EQ(window.pos(), QPoint(std::max(area.x(), area.x() + (area.width() - size.width()) / 2),
                                       area.y() + (area.height() - size.height()) / 2))
            << size.width() << "x" << size.height();
    }
    // Centred before it is shown, a window that grows on the way is centred again as it appears.
    QWidget later;
    later.resize(200, 100);
    QtWindowHost host(&later);
    host.centre();
    later.setMinimumSize(400, 300);
    later.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&later));
    EXPECT_EQ(later.frameGeometry().center().x() / 2, area.center().x() / 2);
    EXPECT_EQ(later.frameGeometry().center().y() / 2, area.center().y() / 2);
}

TEST(ProgramWindow, OpensShowsTheRecordSwitchesLanguageAndShutsDown) {
    App();
    Program program;
    program.start();
    MainWindow& w = program.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    Ctx& ctx = program.form().ctx();
    auto raw = [&](int n) { return QString::fromStdString(GetMis(ctx, n)); };
    auto mis = [&](int n) { return PlainText(GetMis(ctx, n)); };
    ASSERT_FALSE(mis(2).isEmpty()) << "language files missing beside the test program";
    EXPECT_EQ(w.windowTitle(), mis(2));

    // cmdRecord opens frmRecord with a written and a failed card.
    ctx.st.aUid = {0, 0, 0x1A, 0x2B, 0x3C, 0x4D};
    ctx.st.iUidSize = 1;
    CardSeen(ctx);
    CardWritten(ctx, 30);
    CardFailed(ctx, 30);
    qobject_cast<QAbstractButton*>(w.widgetNamed("cmdRecord"))->click();
    RecordWindow& record = program.recordWindow();
    ASSERT_TRUE(RunUntil([&] { return record.isVisible() && record.objectName() == "frmRecord"; }));
    const QAbstractItemModel* grid = record.findChild<QTableView*>("gridRecord")->model();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->index(1, 1).data().toString(), "1A 2B 3C 4D");
    EXPECT_EQ(grid->index(1, 6).data().toString(), raw(375));
    // Saved into a folder that is not there.
    record.findChild<QAbstractButton*>("cmdRecordCsv")->click();
    ASSERT_TRUE(RunUntil([&] { return program.saves().openDialog() != nullptr; }));
    program.saves().openDialog()->selectFile(QCoreApplication::applicationDirPath() + "/no-folder/record.csv");
    static_cast<QDialog*>(program.saves().openDialog())->accept();
    ASSERT_TRUE(RunUntil([&] { return !program.boxes().openBoxes().empty(); }));
    EXPECT_TRUE(program.boxes().openBoxes().front()->text().startsWith(raw(389)));
    program.boxes().openBoxes().front()->accept();

    // The node lists through the window's buttons: every node stands in one list, once.
    FormModel& m = program.form().model();
    const std::pair<const char*, int> clicks[] = {{"cAddListPermit", 1}, {"cDelListPermit", 0}, {"cAddAllListPermit", 256},
                                                  {"cDelListPermit", 255}, {"cDelAllListPermit", 0}};
    for (const auto& [button, permitted] : clicks) {
        for (Control* list : {&m.listPermit, &m.listNoPermit}) list->setListIndex(0);
        qobject_cast<QAbstractButton*>(w.widgetNamed(button))->click();
        EXPECT_EQ(std::pair(m.listPermit.itemCount(), m.listNoPermit.itemCount()), std::pair(permitted, 256 - permitted));
    }

    // The English label switches title and tooltips (rich text, with HTML escapes).
    QWidget* english = w.widgetNamed("cIdioma(1)");
    QTest::mouseClick(english, Qt::LeftButton, {}, english->rect().center());
    ASSERT_EQ(program.form().state().iIdioma, 2);
    EXPECT_EQ(w.windowTitle(), mis(2));
    EXPECT_TRUE(w.widgetNamed("cmdOpenCom")->toolTip().contains(mis(150).toHtmlEscaped()));
    // The log has no visible label: it is named after its tooltip.
    EXPECT_FALSE(w.logView()->accessibleName().isEmpty()) << w.logView()->toolTip().toStdString();
    // At 1280 x 640 nothing with a text is cut short or off its page; no language resizes the window.
    EXPECT_TRUE(w.screen()->availableGeometry().contains(w.frameGeometry()));
    for (const QSize size : {QSize(1280, 640), w.minimumSize()}) {
        w.resize(size);
        for (int lang = 0; lang < 5; ++lang) {
            program.form().click("cIdioma(" + std::to_string(lang) + ")");
            for (int tab = 0; tab < 4 && size.height() == 640; ++tab) {
                w.tabWidget()->setCurrentIndex(tab);
                QApplication::processEvents();
                QWidget* page = static_cast<QScrollArea*>(w.tabWidget()->widget(tab))->widget();
                for (QWidget* c : w.findChildren<QWidget*>()) {
                    const bool box = c->inherits("QGroupBox");  // a frame needs only its smallest size
                    if (!c->isVisible() || !c->property(box ? "title" : "text").isValid() ||
                        c->inherits("QLineEdit") || c->property("wordWrap").toBool())
                        continue;
                    QWidget* top = page->isAncestorOf(c) ? page : &w;
                    EXPECT_TRUE(QRect({}, c->size())
                                    .contains(QRect({}, box ? c->minimumSizeHint() : c->sizeHint())) &&
                                top->rect().contains(QRect(c->mapTo(top, QPoint()), c->size())))
                        << lang << c->objectName().toStdString();
                }
            }
            EXPECT_EQ(w.size(), size) << lang;
        }
    }
    // With the rows unsaved, closing asks first; closing without saving closes the link as at every
    // shutdown, and logs it.
    const int before = program.form().model().listInfo.itemCount();
    w.close();
    ASSERT_TRUE(RunUntil([&] { return !program.boxes().openBoxes().empty(); }));
    program.boxes().openBoxes().front()->findChild<QAbstractButton*>("boxButton1")->click();
    ASSERT_TRUE(RunUntil([&] { return program.form().model().listInfo.itemCount() > before; }));
    EXPECT_NE(program.form().state().bStop, 0);
}

}  // namespace
}  // namespace zt::ui::test
