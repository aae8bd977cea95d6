// The whole program put together: the Qt realisations of the platform services, the window logic
// and the window bound to it. Used by main() and by the tools that show the real window.
#pragma once

#include <memory>

#include "core/top/form.h"
#include "ui/main_window.h"

namespace zt {
class QtClock;
class QtMessageBox;
class QtSaveFile;
class QtShell;
class QtTimer;
class QtWindowHost;
class QtFileSystem;
class QtTooltipHost;
}  // namespace zt

namespace zt::ui {

class FormActions;
class RecordWindow;

class Program {
public:
    struct Options {
        // With the computer's serial ports and a TCP socket; without them the link buttons only log
        // their failure (for showing the window).
        bool link = true;
        // A serial port of the caller's instead of the computer's (kept by the caller).
        SerialPort* serial = nullptr;
    };
    Program();
    explicit Program(Options options);
    // The window goes first, then the logic, then the services it used.
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Start-up (centres the window), then shows it.
    void start();

    Form& form() { return *form_; }
    MainWindow& window() { return *window_; }
    QtMessageBox& boxes() { return *box_; }
    QtTooltipHost& tips() { return *tips_; }
    RecordWindow& recordWindow() { return *record_; }
    QtSaveFile& saves() { return *save_; }

private:
    std::unique_ptr<QtTimer> timer_;
    std::unique_ptr<QtShell> shell_;
    std::unique_ptr<QtMessageBox> box_;
    std::unique_ptr<QtWindowHost> host_;
    std::unique_ptr<QtFileSystem> files_;
    std::unique_ptr<QtTooltipHost> tips_;
    std::unique_ptr<QtClock> clock_;
    std::unique_ptr<QtSaveFile> save_;
    std::unique_ptr<SerialPort> serial_;
    std::unique_ptr<TcpSocket> socket_;
    std::unique_ptr<Form> form_;
    std::unique_ptr<FormActions> actions_;
    std::unique_ptr<MainWindow> window_;
    RecordWindow* record_ = nullptr;  // a window of its own, owned by window_
};

}  // namespace zt::ui
