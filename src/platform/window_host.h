// Window-level services: placing the main window on the screen.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "core/platform/interfaces.h"

namespace zt {

class QtWindowHost final : public QObject, public WindowHost {
public:
    explicit QtWindowHost(QWidget* window = nullptr) : window_(window) {}
    void setWindow(QWidget* window) { window_ = window; }

    // Puts the window in the middle of the screen it is on (the primary one before it is shown),
    // leaving out the desktop's panels. Asked before the window is shown, it is centred again as it
    // appears, at the size its contents then ask for (the texts put in after start-up change it) as
    // far as the screen holds it with its frame.
    void centre() override;
    void close() override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void fit(QWidget* w);
    void place(QWidget* w);
    QPointer<QWidget> window_;
};

}  // namespace zt
