#include "platform/tcp_socket.h"

#include <QByteArray>
#include <QString>

namespace zt {

QtTcpSocket::~QtTcpSocket() {
    onConnected = nullptr;
    onData = nullptr;
    onLost = nullptr;
    drop(true);
}

bool QtTcpSocket::connectTo(const std::string& host, std::uint16_t port) {
    drop(false);
    if (host.empty()) return false;
    sock_ = new QTcpSocket();
    QTcpSocket* s = sock_;
    links_.push_back(QObject::connect(s, &QTcpSocket::connected, s, [this, s] {
        connected_ = true;
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        if (onConnected) onConnected();
    }));
    links_.push_back(QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
        const QByteArray bytes = s->readAll();
        if (!bytes.isEmpty() && onData) {
            onData(Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                         static_cast<std::size_t>(bytes.size())));
        }
    }));
    links_.push_back(QObject::connect(s, &QTcpSocket::disconnected, s, [this] {
        if (connected_) lost();
    }));
    links_.push_back(QObject::connect(s, &QTcpSocket::errorOccurred, s, [this](QAbstractSocket::SocketError) {
        if (connected_) lost();
    }));
    s->connectToHost(QString::fromStdString(host), port);
    return true;
}

void QtTcpSocket::close() {
    drop(false);
}

bool QtTcpSocket::send(Bytes bytes) {
    if (sock_ == nullptr || !connected_) return false;
    const auto n =
        sock_->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return n == static_cast<qint64>(bytes.size());
}

void QtTcpSocket::drop(bool now) {
    connected_ = false;
    for (const auto& c : links_) QObject::disconnect(c);
    links_.clear();
    if (sock_ == nullptr) return;
    QTcpSocket* s = sock_;
    sock_ = nullptr;
    s->abort();
    // Possibly inside one of the socket's own signals: it goes once control is back in the loop.
    if (now) {
        delete s;
    } else {
        s->deleteLater();
    }
}

void QtTcpSocket::lost() {
    // Bytes that came with the close still belong to the stream.
    if (sock_ != nullptr && sock_->bytesAvailable() > 0 && onData) {
        const QByteArray bytes = sock_->readAll();
        onData(Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                     static_cast<std::size_t>(bytes.size())));
    }
    drop(false);
    if (onLost) onLost();
}

}  // namespace zt
