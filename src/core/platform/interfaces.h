// What the logic needs from the desktop: small interfaces, realised with Qt in the program and with
// fakes in the tests. Every callback is delivered on the window's thread, as an event of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/platform/colour.h"

namespace zt {

using Bytes = std::span<const std::uint8_t>;

class SerialPort {
public:
    virtual ~SerialPort() = default;
    // Opens port `number` (1 is the first port) with a settings text "<baud>,n,8,1": 8 data bits,
    // no handshaking, DTR and RTS off. Returns 0 when open, any other value when the port refused.
    virtual int open(int number, const std::string& settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues the bytes in one write; false when the port refused them.
    virtual bool write(Bytes bytes) = 0;
    // The device behind a port number, for the operator ("/dev/ttyS0", "COM1").
    virtual std::string deviceName(int number) const = 0;

    std::function<void(Bytes)> onData;  // bytes received, any chunking, in order
    std::function<void()> onLost;       // the device went away; the port is already closed
};

class TcpSocket {
public:
    virtual ~TcpSocket() = default;
    // Starts connecting and returns at once; onConnected reports success. False on an immediate error.
    virtual bool connectTo(const std::string& host, std::uint16_t port) = 0;
    // Aborts a connection or an attempt; no callback follows.
    virtual void close() = 0;
    virtual bool send(Bytes bytes) = 0;

    std::function<void()> onConnected;
    std::function<void(Bytes)> onData;
    std::function<void()> onLost;  // the peer closed or reset an established connection
};

enum class BoxIcon : std::uint8_t { None, Information, Warning, Critical };

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Shows a modal box with an OK button and returns at once; `closed` runs when the operator has
    // pressed OK. Events go on while the box is open.
    virtual void show(const std::string& text, const std::string& title, BoxIcon icon,
                      std::function<void()> closed) = 0;
    // Shows a modal question with the buttons `buttons` (the first one is the accepting button, the
    // last one the rejecting button) and returns at once; `answered` runs with the index of the
    // button pressed. Closing the box by its frame or Escape answers the last button.
    virtual void ask(const std::string& text, const std::string& title, BoxIcon icon,
                     std::vector<std::string> buttons, std::function<void(int)> answered) = 0;
};

class Shell {
public:
    virtual ~Shell() = default;
    virtual void openUrl(const std::string& url) = 0;
};

// One balloon tooltip as the tooltip manager asks for it.
struct TipSpec {
    std::string text;
    std::string title;
    int icon = 1;  // 1: information icon
    Colour textColour = rgb(0, 0, 150);
    Colour backColour = rgb(255, 255, 255);
    int style = 67;
    bool centre = false;
    int autoPopMs = 30000;
    bool multiline = true;
};

class TooltipHost {
public:
    virtual ~TooltipHost() = default;
    // Attaches a tooltip to the widget of the control named `control`; returns a non-zero handle.
    virtual std::uint32_t create(const std::string& control, const TipSpec& tip) = 0;
    // Gives a live tooltip new contents (its text follows what the operator types).
    virtual void update(std::uint32_t handle, const TipSpec& tip) = 0;
    virtual void destroy(std::uint32_t handle) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The folder of the program file, without a trailing separator.
    virtual std::string programDir() const = 0;
    virtual char separator() const = 0;
    // True when a directory look-up of `path` finds exactly that file name.
    virtual bool exists(const std::string& path) const = 0;
    // The whole file decoded from Windows-1252 to UTF-8, line ends untouched; nullopt if unreadable.
    virtual std::optional<std::string> readText(const std::string& path) const = 0;
};

class Timer {
public:
    virtual ~Timer() = default;
    virtual void start(int intervalMs, std::function<void()> onTick) = 0;
    virtual void stop() = 0;
};

// Window-level services of the toolkit.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual void centre() = 0;
    // Closes the window as its close button does, once the event in hand is over.
    virtual void close() = 0;
};

// The computer's local date and time.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
};

// Files the operator asks to save.
class SaveFile {
public:
    virtual ~SaveFile() = default;
    // Shows a save dialog and returns at once; `chosen` runs with the path picked, or with the empty
    // text when the operator cancelled. `filter` is a name followed by patterns: "CSV (*.csv)".
    virtual void choose(const std::string& title, const std::string& name, const std::string& filter,
                        std::function<void(std::string)> chosen) = 0;
    // Replaces the file at `path` with `bytes` as a whole; false when that failed, in which case an
    // existing file keeps what it held.
    virtual bool write(const std::string& path, const std::string& bytes) = 0;
    // The language of the dialog's own words (its buttons, the folder view): an ISO 639-1 code
    // ("es"). The dialog opens in the folder last saved to.
    virtual void setLanguage(const std::string& code) = 0;
};

}  // namespace zt
