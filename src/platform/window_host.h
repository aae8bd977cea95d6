// Window-level services: placing the main window on the screen.
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/platform/interfaces.h"

namespace zt {

class QtWindowHost final : public WindowHost {
public:
    explicit QtWindowHost(QWidget* window = nullptr) : window_(window) {}
    void setWindow(QWidget* window) { window_ = window; }

    // Puts the window in the middle of the screen it is on (the primary one before it is shown),
    // leaving out the desktop's panels.
    void centre() override;

private:
    QPointer<QWidget> window_;
};

}  // namespace zt
