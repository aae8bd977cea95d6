// Commands of --headless mode, one per line on standard input, each answered with one line
// starting "ok" or "error".
#pragma once

#include <QString>

namespace zt::sim::app {

class Front;

struct CommandResult {
    QString reply;  // "ok ..." or "error ..."
    bool quit = false;
};

CommandResult runCommand(Front& front, const QString& line);
QString commandHelp();

}  // namespace zt::sim::app
