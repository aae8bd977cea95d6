#include "bench_support.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace zt::bench {

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double CpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    auto sec = [](const timeval& tv) {
        return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) / 1e6;
    };
    return sec(ru.ru_utime) + sec(ru.ru_stime);
}

double PeakRssMb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_maxrss) / 1024.0;
}

double RssMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

void RunLoopFor(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

bool WaitForLine(Control& log, const std::function<bool()>& done, double seconds) {
    if (done()) return true;
    QEventLoop loop;
    bool held = false;
    const int id = log.observe([&](Control&, Prop p, int) {
        if (p == Prop::ItemAdded && !held && done()) {
            held = true;
            // Leave once the handler that logged the line has finished.
            QTimer::singleShot(0, &loop, &QEventLoop::quit);
        }
    });
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    log.unobserve(id);
    return held || done();
}

TimedLog::TimedLog(Control& log) : log_(log) {
    id_ = log_.observe([this](Control& c, Prop p, int index) {
        if (p == Prop::ItemAdded) lines_.push_back(Line{Now(), c.items()[static_cast<std::size_t>(index)]});
    });
}

TimedLog::~TimedLog() {
    log_.unobserve(id_);
}

std::vector<double> TimedLog::times(const std::string& text, bool prefix) const {
    std::vector<double> out;
    for (const auto& l : lines_) {
        if (prefix ? l.text.rfind(text, 0) == 0 : l.text == text) out.push_back(l.at);
    }
    return out;
}

SimProcess::SimProcess(QStringList args) {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/zentap-reader-sim");
    args << QStringLiteral("--headless") << QStringLiteral("--port") << QStringLiteral("1001")
         << QStringLiteral("--bind") << QStringLiteral("127.0.0.1");
    proc_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    proc_.start(program, args);
    if (!proc_.waitForStarted(5000)) {
        error_ = QStringLiteral("cannot start ") + program;
        return;
    }
    // The first line tells where it listens, or the program has ended with its reason.
    while (proc_.waitForReadyRead(5000)) {
        const QByteArray line = proc_.readLine();
        if (line.startsWith("listening tcp")) {
            ok_ = true;
            return;
        }
    }
    error_ = QStringLiteral("the simulator did not start listening on 127.0.0.1:1001");
}

SimProcess::~SimProcess() {
    if (proc_.state() != QProcess::NotRunning) {
        proc_.terminate();
        if (!proc_.waitForFinished(3000)) proc_.kill();
        proc_.waitForFinished(3000);
    }
}

BlackHole::BlackHole(const char* address, unsigned short port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    if (inet_pton(AF_INET, address, &sa.sin_addr) != 1) return;
    const int l = ::socket(AF_INET, SOCK_STREAM, 0);
    if (l < 0) return;
    fds_.push_back(l);
    const int one = 1;
    ::setsockopt(l, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(l, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(l, 0) != 0) return;
    // Fill the accept queue; nobody ever accepts.
    for (int i = 0; i < 3; ++i) {
        const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        if (c < 0) return;
        fds_.push_back(c);
        ::connect(c, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    }
    ok_ = true;
}

BlackHole::~BlackHole() {
    for (int fd : fds_) ::close(fd);
}

void Result(const std::string& key, double value) {
    std::printf("RESULT %s %.10g\n", key.c_str(), value);
    std::fflush(stdout);
}

void Note(const std::string& text) {
    std::printf("NOTE %s\n", text.c_str());
    std::fflush(stdout);
}

}  // namespace zt::bench
