#include "platform/tooltips.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QThread>
#include <QToolTip>
#include <functional>
#include <memory>
#include <set>

namespace zt {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "zt_platform_i18n_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

void WaitUntil(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

class QtTips : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        first = std::make_unique<QWidget>();
        second = std::make_unique<QWidget>();
        first->resize(200, 40);
        host = std::make_unique<QtTooltipHost>([this](const Control& c) -> QWidget* {
            if (c.name() == "cmdOpenCom") return first.get();
            if (c.name() == "cmdClose") return second.get();
            return nullptr;
        });
    }
    void TearDown() override { QToolTip::hideText(); }

    TipSpec spec(std::string text, std::string title = {}) {
        TipSpec t;
        t.text = std::move(text);
        t.title = std::move(title);
        return t;
    }

    Control open{"cmdOpenCom", Kind::Button, "cFrame(0)"};
    Control close{"cmdClose", Kind::Button, "cFrame(0)"};
    Control noWidget{"Picture4", Kind::Picture, "Picture3"};
    std::unique_ptr<QWidget> first, second;
    std::unique_ptr<QtTooltipHost> host;
};

TEST_F(QtTips, ShowsTheTextForThirtySecondsWithItsIconAndColours) {
    const auto h = host->create(open, spec("Opens <the> port & more\r\nSecond line", "Port"));
    EXPECT_NE(h, 0u);
    const QString tip = first->toolTip();
    EXPECT_EQ(first->toolTipDuration(), 30000);
    EXPECT_TRUE(Qt::mightBeRichText(tip));
    EXPECT_TRUE(tip.contains("Opens &lt;the&gt; port &amp; more<br>Second line")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("<b>Port</b>"));
    EXPECT_TRUE(tip.contains("color:#000096"));
    EXPECT_TRUE(tip.contains("background-color:#ffffff"));
    EXPECT_TRUE(tip.contains("<img src=\"data:image/png;base64,"));
}

TEST_F(QtTips, UpdateAndDestroyLeaveNothingOfTheOldText) {
    const auto h = host->create(open, spec("old"));
    host->update(h, spec("new"));
    EXPECT_FALSE(first->toolTip().contains("old"));
    EXPECT_TRUE(first->toolTip().contains("new"));
    EXPECT_EQ(first->toolTipDuration(), 30000);

    QToolTip::showText(QPoint(10, 10), first->toolTip(), first.get());
    host->destroy(h);
    EXPECT_TRUE(first->toolTip().isEmpty());
    EXPECT_EQ(first->toolTipDuration(), -1);
    WaitUntil([] { return !QToolTip::isVisible(); });
    EXPECT_FALSE(QToolTip::isVisible());
    EXPECT_EQ(host->count(), 0u);
    host->destroy(h);  // a second time does nothing
}

TEST_F(QtTips, DestroyingAnOlderTipKeepsTheOneThatReplacedIt) {
    const auto a = host->create(open, spec("first"));
    const auto b = host->create(open, spec("second"));
    const auto c = host->create(close, spec("other widget"));
    const auto none = host->create(noWidget, spec("nowhere"));
    EXPECT_EQ(std::set<std::uint32_t>({a, b, c, none}).size(), 4u);
    host->destroy(a);
    EXPECT_TRUE(first->toolTip().contains("second"));
    host.reset();  // the host going takes every tip with it
    EXPECT_TRUE(first->toolTip().isEmpty());
    EXPECT_TRUE(second->toolTip().isEmpty());
}

TEST_F(QtTips, AWidgetThatIsGoneIsNoError) {
    const auto h = host->create(close, spec("x"));
    second.reset();
    host->update(h, spec("y"));
    host->destroy(h);
    EXPECT_EQ(host->count(), 0u);
}

// The tooltip label on screen, drawn from the tip of `spec`.
QLabel* Shown(QWidget* owner, const TipSpec& spec) {
    QToolTip::showText(QPoint(50, 50), QtTooltipHost::html(spec), owner, QRect(), spec.autoPopMs);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "qtooltip_label" && w->isVisible()) return qobject_cast<QLabel*>(w);
    }
    return nullptr;
}

// Pixels of the information icon: a brighter blue than the text (0, 0, 150) and its smoothing can give.
int IconPixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += c.blue() >= 230 && c.red() < 180 && c.green() < 180 ? 1 : 0;
        }
    }
    return n;
}

// What the operator sees: dark blue text on white, the icon at the left, the text's own line breaks.
TEST_F(QtTips, RendersDarkBlueOnWhiteOnTwoLines) {
    QLabel* one = Shown(first.get(), spec("Wide text on a single line of its own"));
    ASSERT_NE(one, nullptr);
    const int oneLine = one->sizeHint().height();
    QLabel* two = Shown(first.get(), spec("Wide text on a single line\r\nand a second line"));
    ASSERT_NE(two, nullptr);
    EXPECT_GE(two->sizeHint().height() - oneLine, two->fontMetrics().lineSpacing() * 4 / 5);

    const QImage img = two->grab().toImage();
    int white = 0, blue = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c == QColor(Qt::white)) ++white;
            if (c.red() < 60 && c.green() < 60 && c.blue() > 110 && c.blue() < 190) ++blue;
        }
    }
    // White up to the frame: the tooltip's own margin too.
    EXPECT_GT(white, img.width() * img.height() * 2 / 3);
    EXPECT_EQ(img.pixelColor(2, img.height() / 2), QColor(Qt::white));
    EXPECT_GT(blue, 20);

    TipSpec noIcon = spec("Wide text on a single line\r\nand a second line");
    noIcon.icon = 0;
    const QImage plain = Shown(first.get(), noIcon)->grab().toImage();
    EXPECT_GT(IconPixels(img), 10) << "the information icon is drawn";
    EXPECT_EQ(IconPixels(plain), 0);
}

}  // namespace
}  // namespace zt
