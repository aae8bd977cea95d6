// What the measurements of the real program share: clocks, the process's own CPU time and memory,
// waiting on the event loop without spinning, the log with times, and the simulator as a process.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

#include "core/app/control.h"

namespace zt::bench {

// Seconds on the monotonic clock.
double Now();
// User + system CPU seconds of this process, all its threads.
double CpuSeconds();
// Highest resident set size of this process so far, in MB.
double PeakRssMb();
// Resident set size now, in MB.
double RssMb();

// Runs the event loop for `seconds`; only a timer ends it.
void RunLoopFor(double seconds);
// Runs the event loop until `done` holds after a line is logged, or `seconds` pass. True if it held.
bool WaitForLine(Control& log, const std::function<bool()>& done, double seconds);

// Every line the window logs, with the time it was logged.
class TimedLog {
public:
    explicit TimedLog(Control& log);
    ~TimedLog();
    TimedLog(const TimedLog&) = delete;
    TimedLog& operator=(const TimedLog&) = delete;

    struct Line {
        double at;
        std::string text;
    };
    const std::vector<Line>& lines() const { return lines_; }
    // Times of the lines equal to (or, with prefix, starting with) `text`.
    std::vector<double> times(const std::string& text, bool prefix = false) const;
    bool has(const std::string& text, bool prefix = false) const { return !times(text, prefix).empty(); }

private:
    Control& log_;
    int id_;
    std::vector<Line> lines_;
};

// zentap-reader-sim, headless, listening on TCP port 1001 of the loopback address.
class SimProcess {
public:
    explicit SimProcess(QStringList args);
    ~SimProcess();
    bool ok() const { return ok_; }
    QString error() const { return error_; }

private:
    QProcess proc_;
    bool ok_ = false;
    QString error_;
};

// A TCP port that never completes a connection: it listens with a full accept queue, so further
// connection requests are dropped unanswered and the caller's connect just waits.
class BlackHole {
public:
    BlackHole(const char* address, unsigned short port);
    ~BlackHole();
    BlackHole(const BlackHole&) = delete;
    BlackHole& operator=(const BlackHole&) = delete;
    bool ok() const { return ok_; }

private:
    std::vector<int> fds_;
    bool ok_ = false;
};

// One figure for the table: "RESULT <key> <value>".
void Result(const std::string& key, double value);
void Note(const std::string& text);

}  // namespace zt::bench
