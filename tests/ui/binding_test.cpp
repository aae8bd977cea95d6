// The window bound to a bare window model: every control has its widget in its frame, and values
// travel both ways. Last, the read tab's detail field filled by a read against the simulated reader.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "core/app/ctx.h"
#include "core/app/log.h"
#include "support/harness.h"
#include "support/qt_app.h"
#include "ui/caption.h"
#include "ui/log_view.h"
#include "ui/main_window.h"
#include "ui/widgets.h"

namespace zt::ui::test {
namespace {

using zt::test::App;
using zt::test::RunUntil;

// Only records what the window reported.
struct RecordingActions final : WindowActions {
    std::vector<std::string> clicks, edits;
    int closings = 0;
    void click(const std::string& name) override { clicks.push_back(name); }
    void edited(const std::string& name) override { edits.push_back(name); }
    void closing() override { ++closings; }
};

class WindowBinding : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        w = std::make_unique<MainWindow>(ctx.m, actions);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    template <typename T = QWidget>
    T* widget(const std::string& name) {
        auto* found = qobject_cast<T*>(w->widgetNamed(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    Ctx ctx{Platform{}};
    FormModel& m = ctx.m;
    RecordingActions actions;
    std::unique_ptr<MainWindow> w;
};

// The widget class of each kind of control, in the order of Kind; a picture may be any widget.
constexpr const char* kClassOf[] = {
    "QWidget",           "QLabel",          "QLineEdit", "QCheckBox", "QComboBox",
    "QAbstractItemView", "QAbstractButton", "QGroupBox", "QWidget",   "QTabWidget"};

TEST_F(WindowBinding, EveryControlHasOneWidgetOfItsKindInsideItsContainer) {
    for (Control* c : m.all()) {
        const QString name = QString::fromStdString(c->name());
        const auto found = w->findChildren<QWidget*>(name);
        const int count = static_cast<int>(found.size()) + (w->objectName() == name ? 1 : 0);
        ASSERT_EQ(count, 1) << c->name();
        QWidget* widget = w->widgetOf(*c);
        ASSERT_NE(widget, nullptr) << c->name();
        EXPECT_TRUE(widget->inherits(kClassOf[static_cast<int>(c->kind())])) << c->name();
        EXPECT_EQ(widget->isWindow(), c->kind() == Kind::Window) << c->name();
        // Fields carry their labels for screen readers.
        const bool field =
            c->kind() == Kind::TextBox || c->kind() == Kind::ComboBox || qobject_cast<QListWidget*>(widget);
        EXPECT_TRUE(!field || !widget->accessibleName().isEmpty()) << c->name();
        if (c->container().empty()) continue;
        // Frames and tab pages are named after their controls ("cFrame(3)", "SSTab1(2)").
        const QString container = QString::fromStdString(c->container());
        QWidget* box = w->objectName() == container ? w.get() : w->findChild<QWidget*>(container);
        ASSERT_NE(box, nullptr) << c->container();
        EXPECT_TRUE(box->isAncestorOf(widget)) << c->name() << " not inside " << c->container();
    }
}

TEST_F(WindowBinding, ModelChangesShowAtOnce) {
    // The text each kind of widget shows; a window shows its title.
    auto shown = [](QWidget* x) {
        for (const char* property : {"text", "title", "currentText"})
            if (x->property(property).isValid()) return x->property(property).toString();
        return x->windowTitle();
    };
    // Control, text set, text shown (when it differs): labels drop the access-key marks.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"txtInfoKey", "Key: FFFFFFFFFFFF     Sector: 1", nullptr},
        {"cmdOpenCom", "Open &COM", nullptr},
        {"cFrame(4)", "Numeric cards", nullptr},
        {"txtKeyTar", "A0A1A2A3A4A5", nullptr},
        {"cCombo1", "19200", nullptr},
        {"cTipList", "Lista negra", nullptr},
        {"frmZentap", "Zentap - test", nullptr},
        {"cLabel(10)", "Nota: '&&H' delante", "Nota: '&H' delante"},
        {"cLabel(1)", "C&ódigo:", "Código:"},
    };
    for (const auto& [control, text, display] : cases) {
        m.find(control)->setText(text);
        EXPECT_EQ(shown(widget(control)), QString::fromUtf8(display ? display : text)) << control;
    }
    // Two ways to get a tab caption into the window: the whole list, or one item.
    m.SSTab1.setItem(2, "Users");
    EXPECT_EQ(w->tabWidget()->tabText(2), "Users");
    m.SSTab1.clearItems();
    for (const char* t : {"A", "B", "C", "D"}) m.SSTab1.addItem(t);
    EXPECT_EQ(w->tabWidget()->tabText(3), "D");
    // A field's accessible name follows its label.
    EXPECT_EQ(widget("txtNumInst")->accessibleName(), "Código:");
    m.cLabel(1).setText("Installation &code:");
    EXPECT_EQ(widget("txtNumInst")->accessibleName(), "Installation code:");
    EXPECT_EQ(widget("txtTramaRelExt")->accessibleName(), QString::fromStdString(m.chkCfgRelExt.text()));
    // Ticks, enabled flags and colours.
    auto* box = widget<QCheckBox>("cSelTar(31)");
    EXPECT_EQ(box->checkState(), Qt::Unchecked);
    m.cSelTar(31).setValue(1);
    EXPECT_EQ(box->checkState(), Qt::Checked);
    for (const char* name : {"cmdStart(0)", "txtKeyMF", "cCombo1", "cEditCfg1", "listInfo", "cSelTar(0)"}) {
        for (const bool on : {false, true}) {
            m.find(name)->setEnabled(on);
            EXPECT_EQ(widget(name)->isEnabled(), on) << name;
        }
    }
    // The run colours a card type's caption (stored red in the low byte); the default colour is the
    // style's own again.
    auto* alta = widget<QCheckBox>("cSelTar(10)");
    auto text = [](QWidget* x) { return x->palette().color(QPalette::Active, QPalette::WindowText); };
    QCheckBox plain;
    for (const auto& [c, colour] : {std::pair{kBlue, QColor(0, 0, 255)},
                                    {kDarkYellow, QColor(192, 192, 0)},
                                    {kDefaultColour, text(&plain)}}) {
        m.cSelTar(10).setForeColor(c);
        EXPECT_EQ(text(alta), colour);
    }
    // Light-yellow boxes from the start; a back colour set later replaces it.
    auto* key = widget<QLineEdit>("txtUsaKey(1)");
    EXPECT_EQ(key->palette().color(QPalette::Base), QColor(255, 255, 192));
    m.txtUsaKey(1).setBackColor(kWhite);
    EXPECT_EQ(key->palette().color(QPalette::Base), QColor(255, 255, 255));
    // List and combo items.
    auto* list = widget<QListWidget>("listPermit");
    for (int i = 0; i < 4; ++i) m.listPermit.addItem("Nodo 00" + std::to_string(i));
    m.listPermit.setListIndex(3);
    EXPECT_EQ(list->count() * 10 + list->currentRow(), 43);
    // Removing the selected last line moves the model's selection without a notification of its own.
    m.listPermit.removeItem(3);
    EXPECT_EQ(list->count() * 10 + list->currentRow(), 30 + m.listPermit.listIndex());
    m.listPermit.removeItem(0);
    EXPECT_EQ(list->item(0)->text(), "Nodo 001");
    m.listPermit.clearItems();
    EXPECT_EQ(list->count() * 10 + list->currentRow(), -1);
    auto* unit = widget<QComboBox>("cUnitTime");
    for (const char* t : {"Décimas", "Segundos", "Minutos"}) m.cUnitTime.addItem(t);
    m.cUnitTime.clearItems();
    for (const char* t : {"Tenths", "Seconds"}) m.cUnitTime.addItem(t);
    m.cUnitTime.setText("Seconds");
    EXPECT_EQ(unit->count() * 10 + unit->currentIndex(), 21);
    // A text that is not an item still shows.
    m.cUnitTime.setText("Hours");
    EXPECT_EQ(unit->currentIndex(), -1);
    EXPECT_EQ(unit->placeholderText(), "Hours");
}

TEST_F(WindowBinding, OperatorInputReachesTheModelWithinTheTypingLimits) {
    auto* key = widget<QLineEdit>("txtKeyTar");
    key->setFocus();
    key->selectAll();
    QTest::keyClicks(key, "a0a1a2a3a4a5");
    EXPECT_EQ(m.txtKeyTar.text(), "a0a1a2a3a4a5");
    EXPECT_EQ(actions.edits.back(), "txtKeyTar");
    auto* adv = widget<QCheckBox>("cSelTar(31)");
    QTest::mouseClick(adv, Qt::LeftButton, {}, QPoint(8, adv->height() / 2));
    EXPECT_EQ(m.cSelTar(31).value(), 1);
    adv->setFocus();
    QTest::keyClick(adv, Qt::Key_Space);
    EXPECT_EQ(m.cSelTar(31).value(), 0);
    auto* baud = widget<QComboBox>("cCombo1");
    baud->lineEdit()->selectAll();
    QTest::keyClicks(baud->lineEdit(), "38400");
    EXPECT_EQ(m.cCombo1.text() + std::to_string(m.cCombo1.listIndex()), "384002");
    m.cTipList.setText("Lista blanca");
    widget("cTipList")->setFocus();
    QTest::keyClick(widget("cTipList"), Qt::Key_Down);
    EXPECT_EQ(m.cTipList.text() + std::to_string(m.cTipList.listIndex()), "Lista negra1");
    for (int i = 0; i < 8; ++i) m.listNoPermit.addItem("Nodo 00" + std::to_string(i));
    w->tabWidget()->setCurrentIndex(2);
    auto* nodes = widget<QListWidget>("listNoPermit");
    QTest::mouseClick(nodes->viewport(), Qt::LeftButton, {}, nodes->visualItemRect(nodes->item(3)).center());
    EXPECT_EQ(m.listNoPermit.listIndex(), 3);
    QTabBar* bar = w->tabWidget()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
    EXPECT_EQ(m.SSTab1.listIndex(), 3);
    EXPECT_EQ(actions.edits.back(), "SSTab1");
    // The typing limit holds for the operator only.
    // Control, text set by the program, keys typed at its end, text after.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"txtSector", "1", "234", "12"},
        {"txtUser", "000", "1", "000"},
        {"txtUser", "1000", "5", "1000"},    // longer than the limit, kept whole, no growth
        {"txtUser", "1000", "\b79", "100"},  // deleting below the limit makes it hold again
        {"txtNumInst", "", "123456", "1234"},
        {"txtTramaRelExt", "", "&H02&H03&H02&H03&H02&H03&H02&H03", "&H02&H03&H02&H03&H02&H03&H02&H03"},
    };
    w->tabWidget()->setCurrentIndex(2);
    for (const auto& [control, before, typed, after] : cases) {
        m.find(control)->setText(before);
        auto* edit = widget<QLineEdit>(control);
        EXPECT_EQ(edit->text(), QString::fromUtf8(before)) << control;
        edit->setFocus();
        edit->end(false);
        QTest::keyClicks(edit, typed);
        EXPECT_EQ(edit->text(), QString::fromUtf8(after)) << control << " + " << typed;
        EXPECT_EQ(m.find(control)->text(), after) << control;
    }
    // A paste longer than the room left is cut, as a length limit would.
    key->clear();
    QApplication::clipboard()->setText("0123456789ABCDEF");
    key->setFocus();
    key->paste();
    EXPECT_EQ(m.txtKeyTar.text(), "0123456789AB");
}

TEST_F(WindowBinding, ClicksOnButtonsAndLinkLabelsGoToTheLogic) {
    m.cmdStop(3).setEnabled(false);
    w->tabWidget()->setCurrentIndex(3);
    for (const char* name : {"cmdLecTar", "cmdStop(3)", "cBorrar", "cIdioma(2)", "cTarvex", "cLabel(1)"}) {
        QWidget* x = widget(name);
        QTest::mouseClick(x, Qt::LeftButton, {}, x->rect().center());
    }
    // A disabled button and a plain label take no click.
    EXPECT_EQ(actions.clicks, (std::vector<std::string>{"cmdLecTar", "cBorrar", "cIdioma(2)", "cTarvex"}));
    // Language labels look like links while they have a caption.
    auto* lang = widget<ClickLabel>("cIdioma(4)");
    auto look = [&] { return std::pair(lang->font().underline(), lang->cursor().shape()); };
    EXPECT_EQ(look(), std::pair(true, Qt::PointingHandCursor));
    m.cIdioma(4).setText("");
    EXPECT_EQ(look(), std::pair(false, Qt::ArrowCursor));
}

TEST_F(WindowBinding, LogBurstReachesTheViewInBatches) {
    LogView* view = w->logView();
    AddInfo(ctx, "first");
    ASSERT_TRUE(RunUntil([&] { return view->model()->rowCount() == 1; }));
    constexpr int kBurst = 100'000;
    for (int i = 0; i < kBurst; ++i) AddInfo(ctx, "line " + std::to_string(i));
    // The burst ran without the view taking each line on its own.
    EXPECT_LT(view->model()->rowCount(), kBurst + 1);
    ASSERT_TRUE(RunUntil([&] { return view->model()->rowCount() == kBurst + 1; }));
    EXPECT_EQ(view->currentIndex().data().toString(), QString("line %1").arg(kBurst - 1));
    // The newest line is in sight, and the widest line can be scrolled to its end.
    EXPECT_TRUE(view->viewport()->rect().contains(view->visualRect(view->currentIndex())));
    AddInfo(ctx, std::string(300, 'W'));
    view->flush();
    EXPECT_GE(view->horizontalScrollBar()->maximum() + view->viewport()->width(),
              view->fontMetrics().horizontalAdvance(QString(300, 'W')));
}

TEST_F(WindowBinding, LogSelectionFollowsTheOperatorAndBorrar) {
    LogView* view = w->logView();
    for (int i = 0; i < 10; ++i) AddInfo(ctx, "line " + std::to_string(i));
    view->flush();
    // The operator picks line 0.
    view->scrollToTop();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(0, 0)).center());
    EXPECT_EQ(m.listInfo.listIndex(), 0);
    // Taking out the selected line leaves no line selected: the view must not pick a neighbour.
    m.listInfo.setListIndex(4);
    view->flush();
    m.listInfo.removeItem(4);
    view->flush();
    EXPECT_EQ(m.listInfo.listIndex(), -1);
    EXPECT_FALSE(view->selectionModel()->hasSelection());
    EXPECT_EQ(view->model()->rowCount(), m.listInfo.itemCount());
    // "Borrar" empties the view at once; the next line is line 0 and selected.
    cBorrar_Click(ctx);
    EXPECT_EQ(view->model()->rowCount(), 0);
    AddInfo(ctx, "again");
    ASSERT_TRUE(RunUntil([&] { return view->model()->rowCount() == 1; }));
    EXPECT_EQ(view->currentIndex().row(), 0);
}

TEST_F(WindowBinding, ClosingRunsShutdownOnceAndTheModelOutlivesTheWindow) {
    QSignalSpy closed(w.get(), &MainWindow::closed);
    w->close();
    EXPECT_EQ(actions.closings * 10 + closed.count(), 11);
    w.reset();
    // Changes after the window is gone reach nothing.
    for (Control* c : m.all()) {
        c->setText("x");
        c->setEnabled(false);
        c->addItem("y");
    }
    AddInfo(ctx, "after");
    QApplication::processEvents();
    EXPECT_TRUE(actions.edits.empty());
}

// A read of a USUARIO AVANZADO card fills the read tab's detail field; a language switch says it again.
TEST(CardDetail, ReadingAnAdvancedUserCardShowsItsNodesAndFollowsTheLanguage) {
    App();
    zt::test::Harness h;
    h.load();
    RecordingActions actions;
    MainWindow w(h.m(), actions);
    auto* detail = qobject_cast<QLabel*>(w.widgetNamed("txtInfoDetail"));
    ASSERT_NE(detail, nullptr);
    h.openCom();
    // Installation 0000, user 000, nodes 1, 2 and 9, in sector 1.
    ASSERT_TRUE(h.click("cmdLecTar"));
    auto card = h.present(sim::CardKind::Classic1K, {1, 2, 3, 4});
    card->setBlock(4,
                   {0x11, 0, 0, 0, 0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    card->setBlock(5, {0x06, 0x02});
    ASSERT_TRUE(h.runUntil([&] { return !h.m().txtInfoDetail.text().empty(); }));
    auto nodes = [&] { return PlainText(h.mis(309) + " (3): 001, 002, 009"); };
    const QString spanish = detail->text();
    EXPECT_TRUE(spanish.contains(nodes()) && spanish.contains(PlainText(h.mis(338) + ": 01 02 03 04")))
        << spanish.toStdString();
    ASSERT_TRUE(h.click("cIdioma(1)"));
    EXPECT_NE(detail->text(), spanish);
    EXPECT_TRUE(detail->text().contains(nodes())) << detail->text().toStdString();
    ASSERT_TRUE(h.click("cmdStop(3)"));
    ASSERT_TRUE(h.runUntilIdle());
}

}  // namespace
}  // namespace zt::ui::test
