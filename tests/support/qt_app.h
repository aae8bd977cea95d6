// For the test programs on the Qt side: one application object, and the event loop run until a
// condition holds or a time limit passes.
#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace zt::test {

// Made once and never destroyed: a QApplication torn down among the exit handlers runs after Qt's
// own globals are gone and crashes in the input devices' destructors.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "zt_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Runs the event loop until `done` holds (tested every few milliseconds) or `ms` have passed.
inline bool RunUntil(const std::function<bool()>& done, int ms = 3000) {
    App();
    if (done()) return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    poll.start(2);
    loop.exec();
    return done();
}

// Runs the event loop for `ms` with nothing else waking it.
inline void Idle(int ms) {
    App();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace zt::test
