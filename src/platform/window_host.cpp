#include "platform/window_host.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace zt {

void QtWindowHost::centre() {
    QWidget* w = window_.data();
    if (w == nullptr) return;
    QScreen* screen = w->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    // Before the first show the layout has not sized the window yet.
    if (!w->isVisible() && !w->testAttribute(Qt::WA_Resized)) w->adjustSize();
    const QRect area = screen->availableGeometry();
    const QSize size = w->frameGeometry().size().expandedTo(w->size());
    // A window larger than the screen keeps its title bar reachable.
    const int left = area.x() + std::max(0, (area.width() - size.width()) / 2);
    const int top = area.y() + std::max(0, (area.height() - size.height()) / 2);
    w->move(left, top);
}

}  // namespace zt
