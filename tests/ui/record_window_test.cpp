// The card record window on the real window logic, headless.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTableView>

#include "core/app/cards.h"
#include "platform/message_box.h"
#include "platform/save_file.h"
#include "ui/program.h"
#include "ui/record_window.h"
#include "ui_support.h"

namespace zt::ui::test {
namespace {

TEST(RecordWindow, OpensWithTheRowsAndSaysWhenASaveFails) {
    App();
    Program p(Program::Options{.link = false});
    p.start();
    Ctx& ctx = p.form().ctx();
    ctx.st.aUid = {0, 0, 0x1A, 0x2B, 0x3C, 0x4D};
    ctx.st.iUidSize = 1;
    CardSeen(ctx);
    CardWritten(ctx, 30);
    CardFailed(ctx, 30);

    qobject_cast<QPushButton*>(p.window().widgetNamed("cmdRecord"))->click();
    RecordWindow& w = p.recordWindow();
    ASSERT_TRUE(RunUntil([&] { return w.isVisible() && w.objectName() == "frmRecord"; }));
    const QAbstractItemModel* grid = w.findChild<QTableView*>("gridRecord")->model();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->index(1, 1).data().toString(), "1A 2B 3C 4D");
    EXPECT_EQ(grid->index(1, 6).data().toString().toStdString(), GetMis(ctx, 375));

    // The "folder" is the test program itself: nothing can be saved in it.
    w.findChild<QPushButton*>("cmdRecordCsv")->click();
    ASSERT_TRUE(RunUntil([&] { return p.saves().openDialog() != nullptr; }));
    p.saves().openDialog()->selectFile(QCoreApplication::applicationFilePath() + "/record.csv");
    static_cast<QDialog*>(p.saves().openDialog())->accept();
    ASSERT_TRUE(RunUntil([&] { return !p.boxes().openBoxes().empty(); }));
    EXPECT_TRUE(p.boxes().openBoxes().front()->text().startsWith(QString::fromStdString(GetMis(ctx, 389))));
}

}  // namespace
}  // namespace zt::ui::test
