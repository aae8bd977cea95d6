#include "front.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif
#include <algorithm>
#include <random>

namespace zt::sim::app {

const char* cardStateName(CardState s) {
    switch (s) {
        case CardState::Idle:
            return "idle";
        case CardState::Selected:
            return "selected";
        case CardState::Authenticated:
            return "authenticated";
        case CardState::Halted:
            return "halted";
    }
    return "?";
}

Front::Front(ReaderOptions opts, QObject* parent)
    : QObject(parent), reader_(opts), uidSeed_(opts.seed * 7919 + 17) {
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Front::pump);
    ptyWatch_.setInterval(200);
    connect(&ptyWatch_, &QTimer::timeout, this, &Front::ptyCheckHangup);

    reader_.onFrame = [this](const FrameLogEntry& e) { emit frameLogged(e); };
    reader_.onOutput = [this](int o, int d, bool p, Micros) { emit outputChanged(o, d, p); };
    reader_.onField = [this](const std::shared_ptr<Card>& card, bool in, Micros) {
        if (in) addToWallet(card);  // cards of auto-feed join the wallet
        emit fieldChanged(in);
    };
    QTimer::singleShot(0, this, &Front::pump);
}

Front::~Front() {
    closePty();
}

bool Front::listenTcp(const QString& address, quint16 port, QString* error) {
    server_ = new QTcpServer(this);
    QHostAddress addr(address);
    if (addr.isNull()) {
        *error = QStringLiteral("not an address: %1").arg(address);
        return false;
    }
    if (!server_->listen(addr, port)) {
        *error =
            QStringLiteral("cannot listen on %1:%2: %3.").arg(address).arg(port).arg(server_->errorString());
        if (port != 0 && port < 1024)
            *error += QStringLiteral(
                          "\nPorts below 1024 need root, or a system that lets users bind them "
                          "(sudo sysctl net.ipv4.ip_unprivileged_port_start=%1). "
                          "Or pick another port with --port N (--port 0 takes any free one).")
                          .arg(port);
        return false;
    }
    connect(server_, &QTcpServer::newConnection, this, &Front::newTcpClient);
    return true;
}

QString Front::endpointLine() const {
    if (server_)
        return QStringLiteral("listening tcp %1:%2")
            .arg(server_->serverAddress().toString())
            .arg(server_->serverPort());
    if (ptyMaster_ >= 0) return QStringLiteral("serial %1").arg(ptyPath_);
    return QStringLiteral("no link");
}

quint16 Front::tcpPort() const {
    return server_ ? server_->serverPort() : 0;
}

bool Front::clientConnected() const {
    return server_ ? !client_.isNull() : ptyActive_ && !ptyHungUp_;
}

QString Front::connectionText() const {
    if (server_) {
        const QString where =
            QStringLiteral("TCP %1:%2").arg(server_->serverAddress().toString()).arg(server_->serverPort());
        return client_ ? QStringLiteral("%1 - connected from %2").arg(where, peer_)
                       : QStringLiteral("%1 - waiting for a client").arg(where);
    }
    if (ptyMaster_ >= 0) {
        QString where = QStringLiteral("serial %1").arg(ptyPath_);
        if (!linkPath_.isEmpty()) where += QStringLiteral(" (%1)").arg(linkPath_);
        if (ptyHungUp_) return where + QStringLiteral(" - client closed the port");
        return where +
               (ptyActive_ ? QStringLiteral(" - client talking") : QStringLiteral(" - waiting for a client"));
    }
    return QStringLiteral("no link");
}

void Front::newTcpClient() {
    while (QTcpSocket* s = server_->nextPendingConnection()) {
        if (client_) {  // one client at a time
            s->abort();
            s->deleteLater();
            continue;
        }
        client_ = s;
        peer_ = QStringLiteral("%1:%2").arg(s->peerAddress().toString()).arg(s->peerPort());
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(s, &QTcpSocket::readyRead, this, [this, s] { bytesIn(s->readAll()); });
        connect(s, &QTcpSocket::disconnected, this, &Front::tcpClientGone);
        reader_.linkReset(now());
        pump();
        emit connectionChanged(connectionText());
    }
}

void Front::tcpClientGone() {
    if (client_) {
        client_->deleteLater();
        client_ = nullptr;
    }
    reader_.linkReset(now());
    pump();
    emit connectionChanged(connectionText());
}

bool Front::openSerial(const QString& linkPath, QString* error) {
    linkPath_ = linkPath;
    return createPty(error);
}

#ifdef _WIN32
// No pseudo-terminals here: the simulator is reached over TCP only.
bool Front::createPty(QString* error) {
    *error = QStringLiteral("this system has no pseudo-terminals; use TCP");
    return false;
}
void Front::closePty() {}
void Front::ptyReadable() {}
void Front::ptyCheckHangup() {}
void Front::ptyWrite(const char*, std::size_t) {}
#endif

void Front::bytesIn(const QByteArray& bytes) {
    reader_.receive(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                              static_cast<std::size_t>(bytes.size())),
                    now());
    pump();
}

void Front::pump() {
    for (const auto& e : reader_.collect(now())) send(e);
    timer_.stop();
    if (const auto due = reader_.nextDue()) {
        const Micros wait = std::max<Micros>(0, *due - now());
        timer_.start(static_cast<int>(std::min<Micros>((wait + 999) / 1000, 3'600'000)));
    }
}

void Front::send(const Emission& e) {
    if (!e.bytes.empty()) {
        const auto* data = reinterpret_cast<const char*>(e.bytes.data());
        if (client_) {
            client_->write(data, static_cast<qint64>(e.bytes.size()));
            client_->flush();
        } else if (ptyMaster_ >= 0 && !ptyHungUp_) {
            ptyWrite(data, e.bytes.size());
        }
    }
    if (e.dropLink) dropLink();
}

void Front::dropLink() {
    if (client_) {
        QTcpSocket* s = client_;
        s->disconnect(this);
        // A reset rather than an orderly close: linger with a zero time-out.
        const linger lg{1, 0};
#ifdef _WIN32
        ::setsockopt(static_cast<SOCKET>(s->socketDescriptor()), SOL_SOCKET, SO_LINGER,
                     reinterpret_cast<const char*>(&lg), sizeof lg);
#else
        ::setsockopt(static_cast<int>(s->socketDescriptor()), SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
#endif
        s->abort();
        tcpClientGone();
    } else if (ptyMaster_ >= 0) {
        // Hang up: the client's side of the pty goes away; a new one takes its place.
        closePty();
        QString error;
        if (createPty(&error)) emit endpointChanged(endpointLine());
        emit connectionChanged(connectionText());
    }
}

std::vector<std::uint8_t> Front::randomUid(std::size_t len) {
    std::mt19937_64 rng(uidSeed_++);
    std::vector<std::uint8_t> uid(len == 7 || len == 10 ? len : 4);
    for (auto& b : uid) b = static_cast<std::uint8_t>(rng());
    if (uid[0] == 0x88) uid[0] = 0x04;
    return uid;
}

std::shared_ptr<Card> Front::newCard(CardKind kind, std::vector<std::uint8_t> uid) {
    if (uid.empty()) uid = randomUid(4);
    auto card = std::make_shared<Card>(Card::blank(kind, std::move(uid)));
    addToWallet(card);
    return card;
}

void Front::addToWallet(std::shared_ptr<Card> card) {
    if (std::find(wallet_.begin(), wallet_.end(), card) != wallet_.end()) return;
    wallet_.push_back(std::move(card));
    emit walletChanged();
}

void Front::deleteFromWallet(const std::shared_ptr<Card>& card) {
    if (reader_.cardInField() == card) removeCard();
    std::erase(wallet_, card);
    emit walletChanged();
}

void Front::present(std::shared_ptr<Card> card) {
    addToWallet(card);
    reader_.present(std::move(card), now());
    pump();
}

void Front::removeCard() {
    reader_.remove(now());
    pump();
}

void Front::setAutoFeed(bool on) {
    reader_.setAutoFeed(on, now());
    pump();
}

}  // namespace zt::sim::app
