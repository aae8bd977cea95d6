#include "platform/tooltips.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QToolTip>
#include <functional>
#include <memory>
#include <set>

#include "support/qt_app.h"

namespace zt {
namespace {

using test::App;

TipSpec Spec(std::string text, std::string title = {}) {
    TipSpec t;
    t.text = std::move(text);
    t.title = std::move(title);
    return t;
}

class QtTips : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        first = std::make_unique<QWidget>();
        second = std::make_unique<QWidget>();
        host = std::make_unique<QtTooltipHost>([this](const Control& c) -> QWidget* {
            return c.name() == "cmdOpenCom" ? first.get() : c.name() == "cmdClose" ? second.get() : nullptr;
        });
    }
    void TearDown() override { QToolTip::hideText(); }

    Control open{"cmdOpenCom", Kind::Button, "cFrame(0)"};
    Control close{"cmdClose", Kind::Button, "cFrame(0)"};
    Control noWidget{"Picture4", Kind::Picture, "Picture3"};
    std::unique_ptr<QWidget> first, second;
    std::unique_ptr<QtTooltipHost> host;
};

TEST_F(QtTips, CreateUpdateDestroy) {
    const auto h = host->create(open, Spec("Opens <the> port & more\r\nSecond line", "Port"));
    EXPECT_EQ(first->toolTipDuration(), 30000);
    const QString tip = first->toolTip();
    EXPECT_TRUE(tip.contains("Opens &lt;the&gt; port &amp; more<br>Second line")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("<b>Port</b>"));

    host->update(h, Spec("new"));
    EXPECT_FALSE(first->toolTip().contains("Opens"));
    EXPECT_TRUE(first->toolTip().contains("new"));

    // A tip on screen goes with its tooltip (Qt lets it fade for a moment).
    QToolTip::showText(QPoint(10, 10), first->toolTip(), first.get());
    host->destroy(h);
    EXPECT_TRUE(first->toolTip().isEmpty());
    EXPECT_EQ(first->toolTipDuration(), -1);
    test::RunUntil([] { return !QToolTip::isVisible(); }, 2000);
    EXPECT_FALSE(QToolTip::isVisible());
    host->destroy(h);  // a second time does nothing

    // No text, no balloon: not the icon alone.
    host->create(close, Spec(""));
    EXPECT_TRUE(second->toolTip().isEmpty());
}

TEST_F(QtTips, EndingTheHostRemovesEveryTipButKeepsTheNewestOfAWidget) {
    const auto a = host->create(open, Spec("first"));
    const auto b = host->create(open, Spec("second"));
    const auto c = host->create(close, Spec("other widget"));
    const auto d = host->create(noWidget, Spec("nowhere"));
    EXPECT_EQ(std::set<std::uint32_t>({a, b, c, d}).size(), 4u);
    host->destroy(a);
    EXPECT_TRUE(first->toolTip().contains("second"));
    second.reset();  // a widget that went first is no error
    host.reset();
    EXPECT_TRUE(first->toolTip().isEmpty());
}

QLabel* Shown(QWidget* owner, const TipSpec& tip) {
    QToolTip::showText(QPoint(50, 50), QtTooltipHost::html(tip), owner, QRect(), tip.autoPopMs);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "qtooltip_label" && w->isVisible()) return qobject_cast<QLabel*>(w);
    }
    return nullptr;
}

int Pixels(const QImage& img, const std::function<bool(const QColor&)>& of) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += of(img.pixelColor(x, y)) ? 1 : 0;
    return n;
}
// The information icon: a brighter blue than the text (0, 0, 150) and its smoothing give.
bool IconBlue(const QColor& c) {
    return c.blue() >= 230 && c.red() < 180 && c.green() < 180;
}

// What the operator sees: dark blue text on white, the icon at the left, the text's own line breaks.
TEST_F(QtTips, RendersDarkBlueOnWhiteOnTwoLines) {
    QLabel* one = Shown(first.get(), Spec("Wide text on a single line of its own"));
    ASSERT_NE(one, nullptr);
    const int oneLine = one->sizeHint().height();
    QLabel* two = Shown(first.get(), Spec("Wide text on a single line\r\nand a second line"));
    ASSERT_NE(two, nullptr);
    EXPECT_GE(two->sizeHint().height() - oneLine, two->fontMetrics().lineSpacing() * 4 / 5);

    const QImage img = two->grab().toImage();
    const int white = Pixels(img, [](const QColor& c) { return c == QColor(Qt::white); });
    EXPECT_GT(white, img.width() * img.height() * 2 / 3);
    EXPECT_EQ(img.pixelColor(2, img.height() / 2), QColor(Qt::white)) << "the margin is white too";
    EXPECT_GT(Pixels(img,
                     [](const QColor& c) {
                         return c.red() < 60 && c.green() < 60 && c.blue() > 110 && c.blue() < 190;
                     }),
              20);
    EXPECT_GT(Pixels(img, IconBlue), 10);

    TipSpec noIcon = Spec("Wide text on a single line\r\nand a second line");
    noIcon.icon = 0;
    EXPECT_EQ(Pixels(Shown(first.get(), noIcon)->grab().toImage(), IconBlue), 0);
}

}  // namespace
}  // namespace zt
