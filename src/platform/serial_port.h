// The serial link on QSerialPort (on Windows: serial_port_win.h).
//
// Port numbers are the operator's (1 is the first port); ComDevice names the device behind each on
// the system the program runs on. Numbers that name no device do not open.
#pragma once

#include <QSerialPort>
#include <functional>
#include <memory>
#include <string>

#include "core/platform/interfaces.h"
#include "core/platform/ports.h"
#include "platform/line_settings.h"

namespace zt {

class QtSerialPort final : public SerialPort {
public:
    using DeviceMap = std::function<std::string(int number)>;

    // `map` turns port numbers into device paths; tests hand in pseudo-terminals this way.
    explicit QtSerialPort(DeviceMap map = [](int number) { return ComDevice(number); });
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    // 0 open; 1 already open; 2 settings not understood; 3 no device for the number; 4 the device
    // refused (missing, busy, no permission, line settings refused).
    int open(int number, const std::string& settings) override;
    void close() override;
    bool isOpen() const override;
    bool write(Bytes bytes) override;
    std::string deviceName(int number) const override;

    // Read or resource errors seen since the port was made (a vanished device gives one).
    int deviceErrors() const { return deviceErrors_; }

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);

    DeviceMap map_;
    std::unique_ptr<QSerialPort> port_;
    bool open_ = false;
    int deviceErrors_ = 0;
};

}  // namespace zt
