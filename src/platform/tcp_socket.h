// The TCP link on QTcpSocket.
//
// Every connection attempt gets a socket of its own; close() disconnects it before aborting it, so
// nothing of an attempt that was given up (a late connect, data, a reset) reaches the logic.
// Errors before the connection is made are left to the caller's wait; once connected, the peer
// closing or resetting the connection is reported once through onLost.
#pragma once

#include <QMetaObject>
#include <QTcpSocket>
#include <vector>

#include "core/platform/interfaces.h"

namespace zt {

class QtTcpSocket final : public TcpSocket {
public:
    QtTcpSocket() = default;
    ~QtTcpSocket() override;
    QtTcpSocket(const QtTcpSocket&) = delete;
    QtTcpSocket& operator=(const QtTcpSocket&) = delete;

    // Starts connecting to host:port (the logic always asks for the reader's port; tests pass the
    // port of their own server). False for an empty host.
    bool connectTo(const std::string& host, std::uint16_t port) override;
    void close() override;
    bool send(Bytes bytes) override;

    bool isConnected() const { return connected_; }

private:
    // Detaches the current socket from this object and gets rid of it.
    void drop(bool now);
    void lost();

    QTcpSocket* sock_ = nullptr;
    std::vector<QMetaObject::Connection> links_;
    bool connected_ = false;
};

}  // namespace zt
