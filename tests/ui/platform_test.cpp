// The Qt side of the timer, the message box and the window placement.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <memory>

#include "platform/message_box.h"
#include "platform/timer.h"
#include "platform/window_host.h"
#include "support/qt_app.h"

namespace zt::test {
namespace {

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
    EXPECT_EQ(first, firstAtRestart);
    EXPECT_EQ(second, secondAtStop);
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
        EXPECT_TRUE(host.openBoxes().empty());
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

}  // namespace
}  // namespace zt::test
