#include "console.h"

#include <QCoreApplication>
#include <QObject>

#ifdef _WIN32
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#else
#include <QByteArray>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>
#include <memory>
#endif

namespace zt::sim::app {

#ifdef _WIN32

// Ctrl-C ends a console program at once; there is nothing of ours to clean up.
void QuitOnSignals(QObject*) {}

// Console and pipe handles cannot be watched by the event loop: a thread reads them and posts
// each line. The thread stays blocked in its read until the input ends or the program exits.
void ReadLines(QObject* owner, std::function<bool(const QString& line)> onLine) {
    struct Target {
        std::mutex mutex;
        QObject* owner = nullptr;
        bool stopped = false;  // touched on the event loop's thread only
    };
    auto target = std::make_shared<Target>();
    target->owner = owner;
    QObject::connect(owner, &QObject::destroyed, [target] {
        const std::lock_guard lock(target->mutex);
        target->owner = nullptr;
    });
    std::thread([target, onLine = std::move(onLine)] {
        std::string line;
        while (std::getline(std::cin, line)) {
            const std::lock_guard lock(target->mutex);
            if (target->owner == nullptr) return;
            QMetaObject::invokeMethod(
                target->owner,
                [target, onLine, text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()))] {
                    if (!target->stopped && !onLine(text.trimmed())) target->stopped = true;
                },
                Qt::QueuedConnection);
        }
    }).detach();
}

#else

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] auto n = ::write(signalPipe[1], &c, 1);
}
}  // namespace

void QuitOnSignals(QObject* owner) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        auto* sn = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, owner);
        QObject::connect(sn, &QSocketNotifier::activated, owner, [] { QCoreApplication::quit(); });
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
    std::signal(SIGPIPE, SIG_IGN);
}

void ReadLines(QObject* owner, std::function<bool(const QString& line)> onLine) {
    auto* in = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, owner);
    auto buffer = std::make_shared<QByteArray>();
    QObject::connect(in, &QSocketNotifier::activated, owner, [in, buffer, onLine = std::move(onLine)] {
        char chunk[1024];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n <= 0) {  // end of input: keep running until a signal ends the program
            in->setEnabled(false);
            return;
        }
        buffer->append(chunk, static_cast<int>(n));
        for (int nl; (nl = buffer->indexOf('\n')) >= 0;) {
            const QString line = QString::fromUtf8(buffer->left(nl)).trimmed();
            buffer->remove(0, nl + 1);
            if (!onLine(line)) {
                in->setEnabled(false);
                return;
            }
        }
    });
}

#endif

}  // namespace zt::sim::app
