// The simulator program's front: one Reader on the real clock, reachable over TCP (one client at
// a time) or over a pseudo-terminal, plus the wallet of virtual cards.
#pragma once

#include "sim/reader.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;

namespace zt::sim::app {

/// Whether this system offers pseudo-terminals (the serial side of the simulator).
#ifdef _WIN32
inline constexpr bool kHasPty = false;
#else
inline constexpr bool kHasPty = true;
#endif

/// "idle", "selected", "authenticated" or "halted": a card's state as the window and the commands
/// show it.
const char* cardStateName(CardState s);

class Front : public QObject {
    Q_OBJECT
public:
    explicit Front(ReaderOptions opts, QObject* parent = nullptr);
    ~Front() override;

    /// Starts listening; on failure returns false with a message for the user.
    bool listenTcp(const QString& address, quint16 port, QString* error);
    /// Opens a pseudo-terminal, optionally linked from `linkPath` (fails where kHasPty is false).
    bool openSerial(const QString& linkPath, QString* error);
    /// The line the program prints at start: "listening tcp ADDR:PORT" or "serial /dev/pts/N".
    QString endpointLine() const;
    QString connectionText() const;
    /// The TCP port listened on, 0 on a pseudo-terminal.
    quint16 tcpPort() const;
    bool clientConnected() const;

    Reader& reader() { return reader_; }
    Micros now() const { return clock_.nsecsElapsed() / 1000; }

    // The wallet.
    const std::vector<std::shared_ptr<Card>>& wallet() const { return wallet_; }
    std::shared_ptr<Card> newCard(CardKind kind, std::vector<std::uint8_t> uid = {});
    void addToWallet(std::shared_ptr<Card> card);
    void deleteFromWallet(const std::shared_ptr<Card>& card);
    void present(std::shared_ptr<Card> card);
    void removeCard();
    void setAutoFeed(bool on);
    std::vector<std::uint8_t> randomUid(std::size_t len);

    /// Runs whatever is due now and sets the timer for the next event. Call after touching the
    /// reader directly.
    void pump();

signals:
    void connectionChanged(const QString& text);
    void endpointChanged(const QString& line);  // a new pty after a hang-up
    void frameLogged(const zt::sim::FrameLogEntry& entry);
    void outputChanged(int output, int duration, bool permanent);
    void fieldChanged(bool inField);
    void walletChanged();

private:
    void bytesIn(const QByteArray& bytes);
    void send(const Emission& e);
    void dropLink();
    void newTcpClient();
    void tcpClientGone();
    void ptyReadable();
    void ptyCheckHangup();
    bool createPty(QString* error);
    void closePty();
    void ptyWrite(const char* data, std::size_t size);

    Reader reader_;
    QElapsedTimer clock_;
    QTimer timer_;
    std::vector<std::shared_ptr<Card>> wallet_;
    std::uint64_t uidSeed_;

    QTcpServer* server_ = nullptr;
    QPointer<QTcpSocket> client_;
    QString peer_;

    int ptyMaster_ = -1;
    QString ptyPath_;
    QString linkPath_;
    QSocketNotifier* ptyNotifier_ = nullptr;
    QTimer ptyWatch_;
    bool ptyHungUp_ = false;
    bool ptyActive_ = false;  // bytes came from a client since the pty opened or last hung up
};

}  // namespace zt::sim::app
