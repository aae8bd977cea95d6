// The serial link on the Windows API: "\\.\COMn" opened for overlapped I/O, its receive event
// watched by the window's event loop.
//
// Port numbers are the operator's (1 is the first port, "COM1"). Nothing here polls: a one-byte read
// is always pending, its completion wakes the event loop, what else is queued is taken with it, and
// a read that fails means the device went away.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/platform/interfaces.h"
#include "core/platform/ports.h"

namespace zt {

class WinSerialPort final : public SerialPort {
public:
    using DeviceMap = std::function<std::string(int number)>;

    explicit WinSerialPort(DeviceMap map = [](int number) { return ComDevice(number); });
    ~WinSerialPort() override;
    WinSerialPort(const WinSerialPort&) = delete;
    WinSerialPort& operator=(const WinSerialPort&) = delete;

    // 0 open; 1 already open; 2 settings not understood; 3 no device for the number; 4 the device
    // refused (missing, busy, no permission, line settings refused).
    int open(int number, const std::string& settings) override;
    void close() override;
    bool isOpen() const override;
    bool write(Bytes bytes) override;
    std::string deviceName(int number) const override;

    // Failed reads seen since the port was made (a vanished device gives one).
    int deviceErrors() const { return deviceErrors_; }

private:
    struct Io;
    bool startRead();
    void onReadSignalled();
    void lose();

    DeviceMap map_;
    std::unique_ptr<Io> io_;
    int deviceErrors_ = 0;
};

}  // namespace zt
