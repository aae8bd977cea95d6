#include "platform/tooltips.h"

#include <QApplication>
#include <QBuffer>
#include <QCursor>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QStyle>
#include <QToolTip>

namespace zt {

namespace {

constexpr int kIconInfo = 1;
constexpr int kIconSize = 16;

QString CssColour(Colour c) {
    // Colours are stored red in the low byte.
    return QStringLiteral("#%1%2%3")
        .arg(c & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((c >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((c >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

// The information icon of the desktop style, as an image the tooltip's rich text can carry.
const QString& InfoIconSource() {
    static const QString source = [] {
        QStyle* style = QApplication::style();
        if (style == nullptr) return QString();
        // Drawn at twice the size so that it stays sharp on a screen scaled to 200 %.
        const QPixmap pm =
            style->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(QSize(2 * kIconSize, 2 * kIconSize));
        if (pm.isNull()) return QString();
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        pm.save(&buffer, "PNG");
        return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
    }();
    return source;
}

// Plain text for rich text: escaped, every line break (CR LF, CR or LF) a <br>.
QString HtmlLines(const std::string& text) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    s = s.toHtmlEscaped();
    s.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    return s;
}

}  // namespace

QtTooltipHost::QtTooltipHost(std::function<QWidget*(const std::string&)> widgetOf)
    : widgetOf_(std::move(widgetOf)) {
    // The rich text colours the tip itself; the margin around it takes the tooltip palette. Every
    // tooltip of the program is one of these, so the palette is theirs.
    const TipSpec defaults;
    const auto colour = [](Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); };
    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::ToolTipBase, colour(defaults.backColour));
    palette.setColor(QPalette::ToolTipText, colour(defaults.textColour));
    QToolTip::setPalette(palette);
}

QtTooltipHost::~QtTooltipHost() {
    for (const auto& [handle, live] : tips_) detach(live);
}

QString QtTooltipHost::html(const TipSpec& tip) {
    // Nothing to say, no balloon: an empty tooltip text shows nothing, not the icon alone.
    if (tip.text.empty() && tip.title.empty()) return {};
    const QString fg = CssColour(tip.textColour);
    const QString bg = CssColour(tip.backColour);
    const QString icon = tip.icon == kIconInfo ? InfoIconSource() : QString();
    const QString wrap = tip.multiline ? QStringLiteral("nowrap") : QStringLiteral("normal");
    QString head;
    if (!icon.isEmpty()) {
        head += QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%2\">").arg(icon).arg(kIconSize);
    }
    if (!tip.title.empty()) {
        head += QStringLiteral("&nbsp;<b>%1</b>").arg(HtmlLines(tip.title));
    }
    const QString align = tip.centre ? QStringLiteral(" align=\"center\"") : QString();
    QString body;
    if (!tip.title.empty()) {
        // Title line beside the icon, the text below it.
        body = QStringLiteral("<tr><td>%1</td></tr><tr><td%2>%3</td></tr>")
                   .arg(head, align, HtmlLines(tip.text));
    } else {
        body = QStringLiteral("<tr><td valign=\"top\">%1</td><td%2>%3</td></tr>")
                   .arg(head, align, HtmlLines(tip.text));
    }
    return QStringLiteral(
               "<html><body style=\"background-color:%1; color:%2;\">"
               "<table cellspacing=\"0\" cellpadding=\"2\" style=\"background-color:%1; color:%2; "
               "white-space:%3;\">"
               "%4</table></body></html>")
        .arg(bg, fg, wrap, body);
}

std::uint32_t QtTooltipHost::create(const std::string& control, const TipSpec& tip) {
    const std::uint32_t handle = next_++;
    if (next_ == 0) next_ = 1;
    Live& live = tips_[handle];
    live.widget = widgetOf_ ? widgetOf_(control) : nullptr;
    live.html = html(tip);
    live.autoPopMs = tip.autoPopMs;
    attach(live);
    return handle;
}

void QtTooltipHost::update(std::uint32_t handle, const TipSpec& tip) {
    auto it = tips_.find(handle);
    if (it == tips_.end()) return;
    Live& live = it->second;
    const bool shown = QToolTip::isVisible() && QToolTip::text() == live.html;
    detach(live);
    live.html = html(tip);
    live.autoPopMs = tip.autoPopMs;
    attach(live);
    if (shown && live.widget) QToolTip::showText(QCursor::pos(), live.html, live.widget);
}

void QtTooltipHost::destroy(std::uint32_t handle) {
    auto it = tips_.find(handle);
    if (it == tips_.end()) return;
    detach(it->second);
    tips_.erase(it);
}

void QtTooltipHost::attach(Live& live) {
    if (!live.widget) return;
    live.widget->setToolTip(live.html);
    // Up for its full time whatever the length of the text (Qt's own time grows with the length).
    live.widget->setToolTipDuration(live.autoPopMs);
}

void QtTooltipHost::detach(const Live& live) {
    if (QToolTip::isVisible() && QToolTip::text() == live.html) QToolTip::hideText();
    if (!live.widget) return;
    // Another tip may have taken the widget over since; that one stays.
    if (live.widget->toolTip() != live.html) return;
    live.widget->setToolTip(QString());
    live.widget->setToolTipDuration(-1);
}

}  // namespace zt
