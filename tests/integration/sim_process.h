// zentap-reader-sim as a child process: start it with arguments, send it commands on stdin, read
// its stdout line by line.
#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

#include <cstdlib>

#include "support/qt_app.h"

namespace zt::test {

class SimProcess {
public:
    explicit SimProcess(const QStringList& args) {
        App();
        const char* bin = std::getenv("ZT_BIN_DIR");
        proc_.setProgram(QString::fromUtf8(bin ? bin : ".") + "/zentap-reader-sim");
        proc_.setArguments(args);
        proc_.start();
        proc_.waitForStarted(5000);
    }
    ~SimProcess() {
        if (proc_.state() == QProcess::NotRunning) return;
        proc_.write("quit\n");
        if (!proc_.waitForFinished(2000)) proc_.kill();
        proc_.waitForFinished(1000);
    }
    /// The next stdout line that starts with `prefix` (others are passed over), or "" after 5 s.
    QString line(const QString& prefix = {}) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000) {
            if (!proc_.canReadLine()) {
                proc_.waitForReadyRead(50);
                continue;
            }
            const QString l = QString::fromUtf8(proc_.readLine()).trimmed();
            if (l.startsWith(prefix)) return l;
        }
        return {};
    }
    /// The TCP port from the "listening tcp 127.0.0.1:<port>" line; 0 when there is none.
    std::uint16_t port() {
        const QString l = line("listening tcp");
        return static_cast<std::uint16_t>(l.mid(l.lastIndexOf(':') + 1).toUInt());
    }
    /// Sends a command and returns its one-line reply ("ok ..." or "error ...").
    QString command(const QString& cmd) {
        proc_.write((cmd + "\n").toUtf8());
        for (;;) {
            const QString l = line();
            if (l.isEmpty() || l.startsWith("ok") || l.startsWith("error")) return l;
        }
    }
    /// The exit code once the program has ended by itself; -1 when it is still running after 5 s.
    int exitCode() {
        if (!proc_.waitForFinished(5000) || proc_.exitStatus() != QProcess::NormalExit) return -1;
        return proc_.exitCode();
    }
    QString errors() { return QString::fromUtf8(proc_.readAllStandardError()); }

private:
    QProcess proc_;
};

}  // namespace zt::test
