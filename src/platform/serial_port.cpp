#include "platform/serial_port.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zt {

namespace {
constexpr qint64 kBufferSize = 2048;
}  // namespace

std::optional<LineSettings> ParseLineSettings(const std::string& text) {
    const QStringList parts = QString::fromStdString(text).split(QLatin1Char(','));
    if (parts.size() != 4) return std::nullopt;
    LineSettings s;

    bool ok = false;
    const qint32 baud = parts[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0) return std::nullopt;
    s.baud = baud;

    const QString parity = parts[1].trimmed().toLower();
    if (parity == QLatin1String("n"))
        s.parity = QSerialPort::NoParity;
    else if (parity == QLatin1String("e"))
        s.parity = QSerialPort::EvenParity;
    else if (parity == QLatin1String("o"))
        s.parity = QSerialPort::OddParity;
    else if (parity == QLatin1String("m"))
        s.parity = QSerialPort::MarkParity;
    else if (parity == QLatin1String("s"))
        s.parity = QSerialPort::SpaceParity;
    else
        return std::nullopt;

    const int bits = parts[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8) return std::nullopt;
    s.dataBits = static_cast<QSerialPort::DataBits>(bits);

    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1"))
        s.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5"))
        s.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        s.stopBits = QSerialPort::TwoStop;
    else
        return std::nullopt;
    return s;
}

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
    port_->setDataBits(line->dataBits);
    port_->setParity(line->parity);
    port_->setStopBits(line->stopBits);
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
