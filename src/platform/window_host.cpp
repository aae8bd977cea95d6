#include "platform/window_host.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <algorithm>

namespace zt {

void QtWindowHost::centre() {
    QWidget* w = window_.data();
    if (w == nullptr) return;
    if (!w->isVisible()) {
        // Before the first show the layout has not sized the window yet.
        if (!w->testAttribute(Qt::WA_Resized)) w->adjustSize();
        w->removeEventFilter(this);
        w->installEventFilter(this);
    }
    place(w);
}

void QtWindowHost::close() {
    if (window_) QMetaObject::invokeMethod(window_.data(), &QWidget::close, Qt::QueuedConnection);
}

bool QtWindowHost::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Show && watched == window_.data()) {
        window_->removeEventFilter(this);
        fit(window_);
        place(window_);
    }
    return QObject::eventFilter(watched, e);
}

void QtWindowHost::fit(QWidget* w) {
    const QSize wanted = w->sizeHint().expandedTo(w->minimumSize());
    QScreen* screen = w->screen() != nullptr ? w->screen() : QGuiApplication::primaryScreen();
    if (!wanted.isValid() || screen == nullptr) return;
    // Until the window is on the screen its frame is not known: room for a title bar is kept.
    const QRect outer = w->frameGeometry(), inner = w->geometry();
    QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                   outer.bottom() - inner.bottom());
    if (frame.isNull()) frame.setTop(w->style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const QSize room = screen->availableGeometry().size().shrunkBy(frame);
    w->resize(wanted.boundedTo(room).expandedTo(w->minimumSize()));
}

void QtWindowHost::place(QWidget* w) {
    QScreen* screen = w->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QSize size = w->frameGeometry().size().expandedTo(w->size());
    // A window larger than the screen keeps its title bar reachable.
    const int left = area.x() + std::max(0, (area.width() - size.width()) / 2);
    const int top = area.y() + std::max(0, (area.height() - size.height()) / 2);
    w->move(left, top);
}

}  // namespace zt
