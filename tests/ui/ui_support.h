// Shared pieces of the window tests: one QApplication for the whole test program, and window
// actions that only record what the window reported.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <functional>
#include <string>
#include <vector>

#include "ui/window_actions.h"

namespace zt::ui::test {

inline QApplication& App() {
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "zt_ui_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Lets the event loop run until `done` holds or `ms` have passed.
inline bool RunUntil(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

struct RecordingActions final : WindowActions {
    std::vector<std::string> clicks;
    std::vector<std::string> edits;
    int closings = 0;
    void click(const std::string& name) override { clicks.push_back(name); }
    void edited(const std::string& name) override { edits.push_back(name); }
    void closing() override { ++closings; }
};

}  // namespace zt::ui::test
