// QtTcpSocket against a QTcpServer on 127.0.0.1 that stands in for the reader: how connections start
// and end. Frames through the socket and the logic are the loopback tests' part.
#include <sys/socket.h>

#include <gtest/gtest.h>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include "platform/tcp_socket.h"
#include "support/qt_app.h"

namespace zt::test {
namespace {

using ByteVec = std::vector<std::uint8_t>;

class TcpTest : public ::testing::Test {
protected:
    TcpTest() {
        App();
        sock.onConnected = [this] { ++connects; };
        sock.onData = [this](Bytes b) { data.insert(data.end(), b.begin(), b.end()); };
        sock.onLost = [this] { ++losses; };
    }
    void SetUp() override { ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0)); }
    // Connects and returns the server's end of the connection.
    QTcpSocket* connect(const std::function<bool()>& connected) {
        EXPECT_TRUE(sock.connectTo("127.0.0.1", server.serverPort()));
        EXPECT_TRUE(RunUntil([&] { return connected() && server.hasPendingConnections(); }, 3000));
        return server.nextPendingConnection();
    }

    QTcpServer server;
    QtTcpSocket sock;
    int connects = 0;
    int losses = 0;
    ByteVec data;
};

TEST_F(TcpTest, RefusedConnectionStaysSilent) {
    const quint16 port = server.serverPort();
    server.close();  // nobody listens there now
    ASSERT_TRUE(sock.connectTo("127.0.0.1", port));
    Idle(500);
    EXPECT_EQ(connects + losses, 0) << "errors before a connection are left to the caller's wait";
    EXPECT_FALSE(sock.send(ByteVec{0x02}));
    EXPECT_FALSE(sock.connectTo("", 1001));
}

TEST_F(TcpTest, PeerClosingOrResettingIsReportedOnce) {
    for (const bool reset : {false, true}) {
        connects = losses = 0;
        data.clear();
        std::unique_ptr<QTcpSocket> reader(connect([&] { return connects == 1; }));
        ASSERT_TRUE(reader);
        reader->write(QByteArray::fromHex("0280008003"));
        reader->flush();
        if (reset) {  // no lingering: the close sends a reset
            linger l{1, 0};
            ::setsockopt(static_cast<int>(reader->socketDescriptor()), SOL_SOCKET, SO_LINGER, &l, sizeof l);
            Idle(20);
        }
        reader->close();
        ASSERT_TRUE(RunUntil([&] { return losses > 0; }, 3000)) << (reset ? "reset" : "close");
        Idle(100);
        EXPECT_EQ(losses, 1) << (reset ? "reset" : "close");
        EXPECT_EQ(data, (ByteVec{0x02, 0x80, 0x00, 0x80, 0x03})) << "bytes before the close still arrive";
        EXPECT_FALSE(sock.send(ByteVec{0x02}));
    }
}

TEST_F(TcpTest, AnAbandonedAttemptNeverReportsLater) {
    ASSERT_TRUE(sock.connectTo("127.0.0.1", server.serverPort()));
    sock.close();
    Idle(300);
    EXPECT_EQ(connects, 0);
    std::unique_ptr<QTcpSocket> reader(connect([&] { return connects > 0; }));
    Idle(100);
    EXPECT_EQ(connects, 1) << "the next attempt reports its own connection, once";
    sock.close();
    Idle(100);
    EXPECT_EQ(losses, 0) << "closing our end is no loss";
}

}  // namespace
}  // namespace zt::test
