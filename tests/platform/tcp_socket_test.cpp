// QtTcpSocket against a QTcpServer on 127.0.0.1 that stands in for the reader.
#include <sys/socket.h>

#include <gtest/gtest.h>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include "core/app/ctx.h"
#include "core/link/receive.h"
#include "exchanges.h"
#include "platform/tcp_socket.h"
#include "qt_loop.h"

namespace zt::test {
namespace {

using ByteVec = std::vector<std::uint8_t>;

ByteVec bytesOf(const QByteArray& a) {
    return ByteVec(a.begin(), a.end());
}

class TcpTest : public ::testing::Test {
protected:
    TcpTest() {
        ensureApp();
        sock.onConnected = [this] { ++connects; };
        sock.onData = [this](Bytes b) { data.insert(data.end(), b.begin(), b.end()); };
        sock.onLost = [this] { ++losses; };
    }
    void SetUp() override { ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0)); }
    ~TcpTest() override {
        sock.close();
        idle(5);
    }
    // Connects and returns the server's end of the connection.
    QTcpSocket* connect() {
        EXPECT_TRUE(sock.connectTo("127.0.0.1", server.serverPort()));
        EXPECT_TRUE(spinUntil([&] { return connects == 1 && server.hasPendingConnections(); }, 3000));
        return server.nextPendingConnection();
    }

    QTcpServer server;
    QtTcpSocket sock;
    int connects = 0;
    int losses = 0;
    ByteVec data;
};

TEST_F(TcpTest, FramesBothWaysThroughTheLogic) {
    Platform pf;
    pf.socket = &sock;
    Ctx ctx(pf);
    ctx.st.aAtqa.assign(3, 0);
    ctx.st.aUid.assign(12, 0);
    Ctx* c = &ctx;
    sock.onConnected = [c] { OnSocketConnected(*c); };
    sock.onData = [c](Bytes b) { OnSocketData(*c, b); };

    ASSERT_TRUE(sock.connectTo("127.0.0.1", server.serverPort()));
    ASSERT_TRUE(
        spinUntil([&] { return ctx.st.TcpConnected == kTrue && server.hasPendingConnections(); }, 3000));
    QTcpSocket* reader = server.nextPendingConnection();
    ctx.st.LinkType = 2;  // what the open does once connected

    ByteVec got;
    for (const auto& ex : allExchanges()) {
        got.clear();
        ex.send(ctx);
        EXPECT_TRUE(spinUntil(
            [&] {
                const auto more = bytesOf(reader->readAll());
                got.insert(got.end(), more.begin(), more.end());
                return got.size() >= ex.wire.size();
            },
            2000))
            << ex.name;
        EXPECT_EQ(got, ex.wire) << ex.name;
    }

    // Two answers in one piece, then one split over two.
    reader->write(
        QByteArray::fromHex("0280008003"
                            "0291010193"));
    reader->write(QByteArray::fromHex("03"));
    reader->flush();
    idle(20);
    reader->write(QByteArray::fromHex("02A1"));
    reader->flush();
    idle(20);
    reader->write(QByteArray::fromHex("0100A203"));
    ASSERT_TRUE(spinUntil([&] { return ctx.st.bLoginOk == kTrue; }, 2000));
    const auto& log = ctx.m.listInfo.items();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{">>> AnsTestLink", ">>> AnsSelect: 0x01", ">>> AnsLogin: 0x00"}));
    sock.onConnected = nullptr;
    sock.onData = nullptr;
}

TEST_F(TcpTest, RefusedConnectionStaysSilent) {
    const quint16 port = server.serverPort();
    server.close();  // nobody listens there now
    ASSERT_TRUE(sock.connectTo("127.0.0.1", port));
    idle(500);
    EXPECT_EQ(connects, 0);
    EXPECT_EQ(losses, 0) << "errors before a connection are left to the caller's wait";
    EXPECT_FALSE(sock.isConnected());
    EXPECT_FALSE(sock.send(ByteVec{0x02}));
    EXPECT_FALSE(sock.connectTo("", 1001));
}

TEST_F(TcpTest, PeerClosingOrResettingIsReportedOnce) {
    for (const bool reset : {false, true}) {
        connects = losses = 0;
        data.clear();
        QTcpSocket* reader = connect();
        ASSERT_NE(reader, nullptr);
        reader->write(QByteArray::fromHex("0280008003"));
        reader->flush();
        if (reset) {
            // No lingering: the close sends a reset.
            linger l{1, 0};
            ::setsockopt(static_cast<int>(reader->socketDescriptor()), SOL_SOCKET, SO_LINGER, &l, sizeof l);
            idle(20);
        }
        reader->close();
        ASSERT_TRUE(spinUntil([&] { return losses > 0; }, 3000)) << (reset ? "reset" : "close");
        idle(100);
        EXPECT_EQ(losses, 1) << (reset ? "reset" : "close");
        EXPECT_EQ(data, (ByteVec{0x02, 0x80, 0x00, 0x80, 0x03})) << (reset ? "reset" : "close");
        EXPECT_FALSE(sock.isConnected());
        EXPECT_FALSE(sock.send(ByteVec{0x02}));
        delete reader;
    }
}

TEST_F(TcpTest, AnAbandonedAttemptNeverReportsLater) {
    ASSERT_TRUE(sock.connectTo("127.0.0.1", server.serverPort()));
    sock.close();
    idle(300);
    EXPECT_EQ(connects, 0);

    // The next attempt reports its own connection, once.
    QTcpSocket* reader = connect();
    ASSERT_NE(reader, nullptr);
    idle(100);
    EXPECT_EQ(connects, 1);
    EXPECT_TRUE(sock.isConnected());

    // Closing our end is not a loss.
    sock.close();
    idle(100);
    EXPECT_EQ(losses, 0);
}

}  // namespace
}  // namespace zt::test
