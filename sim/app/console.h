// The simulator program's console: ending on a signal, and the command lines of --headless.
#pragma once

#include <QString>

#include <functional>

class QObject;

namespace zt::sim::app {

/// Ctrl-C and kill end the event loop, so the program ends cleanly (a pseudo-terminal's link is
/// removed). Where the system has no such signals, nothing changes.
void QuitOnSignals(QObject* owner);

/// Hands every line of standard input, trimmed, to `onLine` on the event loop's thread, until the
/// input ends or `onLine` returns false. `owner` outlives the reading.
void ReadLines(QObject* owner, std::function<bool(const QString& line)> onLine);

}  // namespace zt::sim::app
