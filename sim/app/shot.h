// A picture of the window for the user guide (scripts/screenshot.sh). With ZT_SIM_SHOT=<png file>
// in the environment the program plays Zentap for a moment: it connects to its own TCP port, lays
// the first card of the wallet on the reader, writes a USUARIO BASICO card into it with the
// requests Zentap sends and leaves both LEDs on (yellow), as in the middle of a run. Then it saves
// the window as that picture and quits.
#pragma once

#include <QString>

namespace zt::sim::app {

class Front;
class Window;

/// The picture asked for in ZT_SIM_SHOT, or the empty text.
QString shotRequested();

/// Starts the scene on the running event loop. The program ends with 0 once the picture is saved,
/// with 1 when the scene does not come about (no TCP link, no answer within 20 s, file not
/// written).
void startShot(Front& front, Window& window, const QString& path);

}  // namespace zt::sim::app
