#include "ui/widgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScrollBar>

namespace zt::ui {

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::TabFocus);
}

void ClickLabel::setCaption(const QString& text) {
    setText(text);
    refreshLook();
}

void ClickLabel::setLinkLook(bool link) {
    link_ = link;
    refreshLook();
}

void ClickLabel::refreshLook() {
    const bool live = link_ && !text().isEmpty();
    QFont f = font();
    f.setUnderline(live);
    setFont(f);
    if (live)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    setFocusPolicy(live ? Qt::TabFocus : Qt::NoFocus);
}

void ClickLabel::mousePressEvent(QMouseEvent* e) {
    pressed_ = e->button() == Qt::LeftButton;
    QLabel::mousePressEvent(e);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* e) {
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(e);
    if (click) emit clicked();
}

void ClickLabel::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(e);
}

ScrollPage::ScrollPage(QWidget* contents, Qt::Orientations scroll, QWidget* parent)
    : QScrollArea(parent), scroll_(scroll) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setWidget(contents);
    if (!(scroll & Qt::Vertical)) setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    // A scroll bar that comes or goes takes room from the other direction, or gives it back.
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this] { updateGeometry(); });
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] { updateGeometry(); });
}

QSize ScrollPage::sizeHint() const {
    const int f = 2 * frameWidth();
    const QSize bars(verticalScrollBar()->isVisibleTo(this) ? verticalScrollBar()->sizeHint().width() : 0,
                     horizontalScrollBar()->isVisibleTo(this) ? horizontalScrollBar()->sizeHint().height() : 0);
    return widget()->sizeHint() + bars + QSize(f, f);
}

QSize ScrollPage::minimumSizeHint() const {
    // In a scrolling direction, room for a few lines of the contents; in the other, the room they
    // need without a scroll bar (when one is needed after all, it scrolls that way too).
    const int f = 2 * frameWidth();
    const QSize need = widget()->minimumSizeHint().expandedTo(widget()->minimumSize()) + QSize(f, f);
    const QFontMetrics fm = fontMetrics();
    return {(scroll_ & Qt::Horizontal) ? fm.averageCharWidth() * 24 : need.width(),
            (scroll_ & Qt::Vertical) ? fm.lineSpacing() * 4 : need.height()};
}

LogoWidget::LogoWidget(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize LogoWidget::sizeHint() const {
    // Follows the font, so it grows with the desktop's text size.
    const int h = fontMetrics().height() * 4;
    return {h * 3 / 2, h};
}

QSize LogoWidget::minimumSizeHint() const {
    return sizeHint();
}

void LogoWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintLogo(p, rect());
}

void PaintLogo(QPainter& p, const QRectF& area) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // Design grid 120 x 80, centred and scaled into the area.
    const qreal s = std::min(area.width() / 120.0, area.height() / 80.0);
    p.translate(area.center().x() - 60 * s, area.center().y() - 40 * s);
    p.scale(s, s);

    // The card: rounded, a deep teal with a lighter band.
    const QRectF card(6, 8, 108, 66);
    QLinearGradient body(card.topLeft(), card.bottomRight());
    body.setColorAt(0, QColor(0x12, 0x6e, 0x82));
    body.setColorAt(1, QColor(0x0b, 0x3c, 0x5d));
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(card, 9, 9);
    p.setBrush(QColor(255, 255, 255, 38));
    p.drawRect(QRectF(6, 20, 108, 10));

    // The chip.
    const QRectF chip(16, 36, 20, 16);
    p.setBrush(QColor(0xf2, 0xc1, 0x4e));
    p.drawRoundedRect(chip, 3, 3);
    p.setPen(QPen(QColor(0xb8, 0x86, 0x1f), 1.2));
    p.drawLine(QPointF(16, 44), QPointF(36, 44));
    p.drawLine(QPointF(26, 36), QPointF(26, 52));

    // Contactless waves beside the chip.
    p.setPen(QPen(QColor(255, 255, 255, 200), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        const qreal r = 5 + i * 5;
        p.drawArc(QRectF(44 - r, 44 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }

    // The key: ring, shaft and two teeth, in white.
    p.setPen(QPen(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawEllipse(QPointF(76, 48), 9, 9);
    QPainterPath shaft;
    shaft.moveTo(85, 48);
    shaft.lineTo(106, 48);
    shaft.moveTo(99, 48);
    shaft.lineTo(99, 56);
    shaft.moveTo(106, 48);
    shaft.lineTo(106, 55);
    p.drawPath(shaft);
    p.restore();
}

QIcon LogoIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        PaintLogo(p, QRectF(0, 0, size, size));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace zt::ui
