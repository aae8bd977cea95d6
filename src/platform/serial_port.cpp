#include "platform/serial_port.h"

#include <QByteArray>
#include <QString>

namespace zt {

namespace {
constexpr qint64 kBufferSize = 2048;

QSerialPort::Parity ToQt(Parity p) {
    switch (p) {
        case Parity::Even: return QSerialPort::EvenParity;
        case Parity::Odd: return QSerialPort::OddParity;
        case Parity::Mark: return QSerialPort::MarkParity;
        case Parity::Space: return QSerialPort::SpaceParity;
        case Parity::None: break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits ToQt(StopBits s) {
    switch (s) {
        case StopBits::OneAndHalf: return QSerialPort::OneAndHalfStop;
        case StopBits::Two: return QSerialPort::TwoStop;
        case StopBits::One: break;
    }
    return QSerialPort::OneStop;
}

}  // namespace

QtSerialPort::QtSerialPort(DeviceMap map) : map_(std::move(map)), port_(std::make_unique<QSerialPort>()) {
    QObject::connect(port_.get(), &QSerialPort::readyRead, port_.get(), [this] { onReadyRead(); });
    QObject::connect(port_.get(), &QSerialPort::errorOccurred, port_.get(),
                     [this](QSerialPort::SerialPortError e) { onError(e); });
}

QtSerialPort::~QtSerialPort() {
    onData = nullptr;
    onLost = nullptr;
    close();
}

int QtSerialPort::open(int number, const std::string& settings) {
    if (open_) return 1;
    const auto line = ParseLineSettings(settings);
    if (!line) return 2;
    const std::string device = map_ ? map_(number) : std::string();
    if (device.empty()) return 3;

    port_->setPortName(QString::fromStdString(device));
    port_->setBaudRate(line->baud);
    port_->setDataBits(static_cast<QSerialPort::DataBits>(line->dataBits));
    port_->setParity(ToQt(line->parity));
    port_->setStopBits(ToQt(line->stopBits));
    port_->setFlowControl(QSerialPort::NoFlowControl);
    port_->setReadBufferSize(kBufferSize);
    if (!port_->open(QIODevice::ReadWrite)) {
        port_->clearError();
        return 4;
    }
    // DTR and RTS off. Devices without modem lines (pseudo-terminals, some adapters) refuse this;
    // that is no reason to refuse the port.
    port_->setDataTerminalReady(false);
    port_->setRequestToSend(false);
    port_->clearError();
    open_ = true;
    return 0;
}

void QtSerialPort::close() {
    open_ = false;
    if (port_->isOpen()) port_->close();
    port_->clearError();
}

bool QtSerialPort::isOpen() const {
    return open_;
}

bool QtSerialPort::write(Bytes bytes) {
    if (!open_) return false;
    const auto n =
        port_->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return n == static_cast<qint64>(bytes.size());
}

std::string QtSerialPort::deviceName(int number) const {
    return map_ ? map_(number) : std::string();
}

void QtSerialPort::onReadyRead() {
    if (!open_) return;
    const QByteArray bytes = port_->readAll();
    if (!bytes.isEmpty() && onData) {
        onData(Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                     static_cast<std::size_t>(bytes.size())));
    }
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) return;
    ++deviceErrors_;
    if (!open_) return;
    // The device is gone (adapter pulled out, other end hung up). Left open, the port would report
    // the same error again at every turn of the event loop and keep a core busy.
    close();
    if (onLost) onLost();
}

}  // namespace zt
