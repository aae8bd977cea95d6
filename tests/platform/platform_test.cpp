// The Qt adapters: the serial port on a real pseudo-terminal, the TCP socket against a local server,
// the language files on disk, the tooltips on widgets.
#ifdef _WIN32
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <winsock2.h>
#undef MessageBox
#else
#include <fcntl.h>
#include <pty.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <QDir>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QToolTip>
#include <ctime>
#include <fstream>
#include <numeric>

#include "core/i18n/catalogue.h"
#include "core/link/linkmgr.h"
#include "core/link/receive.h"
#include "core/link/requests.h"
#include "platform/files.h"
#include "platform/line_settings.h"
#ifdef _WIN32
#include "platform/serial_port_win.h"
#else
#include "platform/serial_port.h"
#endif
#include "platform/tcp_socket.h"
#include "platform/tooltips.h"
#include "sim/frame.h"
#include "support/harness.h"
#include "support/qt_app.h"

namespace zt::test {
namespace {

TEST(SerialSettings, Parsing) {
    const std::tuple<const char*, std::int32_t, Parity, int, StopBits> good[] = {
        {" 19200, E ,7,1.5", 19200, Parity::Even, 7, StopBits::OneAndHalf},
        {"300,o,5,2", 300, Parity::Odd, 5, StopBits::Two},
        {"9600,M,6,1", 9600, Parity::Mark, 6, StopBits::One},
        {"38400,s,8,1\t", 38400, Parity::Space, 8, StopBits::One},
        {"9600,n,8,1", 9600, Parity::None, 8, StopBits::One}};
    for (const auto& [text, baud, parity, bits, stop] : good) {
        const auto s = ParseLineSettings(text);
        ASSERT_TRUE(s) << text;
        EXPECT_EQ(std::tuple(s->baud, s->parity, s->dataBits, s->stopBits), std::tuple(baud, parity, bits, stop))
            << text;
    }
    for (const char* bad : {"", ",n,8,1", "fast,n,8,1", "0,n,8,1", "96OO,n,8,1", "9600,x,8,1", "9600,nn,8,1",
                            "9600,n,9,1", "9600,n,4,1", "9600,n,8,3", "9600,n,8", "9600,n,8,1,"})
        EXPECT_FALSE(ParseLineSettings(bad)) << bad;
}

#ifndef _WIN32

// The test holds the master side of a pseudo-terminal (the reader's end); the adapter opens the
// slave side by its path as port 7.
struct SerialPty : ::testing::Test {
    SerialPty() {
        App();
        char name[128] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
        path = name;
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        ctx.m.cCombo1.setText("9600");
        ctx.m.cEditCfg1.setText("7");
        port.onData = [this](Bytes b) { OnSerialData(ctx, b); };
        port.onLost = [this] { OnLinkLost(ctx, 1); };
    }
    ~SerialPty() override {
        if (master >= 0) ::close(master);
        ::close(slave);
    }
    ByteVec take(std::size_t atLeast) {
        ByteVec got;
        RunUntil([&] {
            std::uint8_t buf[512];
            for (ssize_t n; (n = ::read(master, buf, sizeof buf)) > 0;) got.insert(got.end(), buf, buf + n);
            return got.size() >= atLeast;
        });
        return got;
    }
    bool send(const ByteVec& bytes) {
        std::size_t at = 0;
        for (int tries = 0; at < bytes.size() && tries < 500; ++tries) {
            const ssize_t n = ::write(master, bytes.data() + at, bytes.size() - at);
            n > 0 ? at += static_cast<std::size_t>(n) : (Idle(5), 0);
        }
        return at == bytes.size();
    }
    const std::vector<std::string>& log() const { return ctx.m.listInfo.items(); }
    int master = -1, slave = -1;
    std::string path;
    QtSerialPort port{[this](int n) { return n == 7 ? path : n == 8 ? "/dev/zt-no-such-tty" : ""; }};
    Ctx ctx{Platform{&port}};
};

TEST_F(SerialPty, OpensCarriesFramesBothWaysAndClosesOnAHangUpWithoutSpinning) {
    ASSERT_FALSE(path.empty()) << "no pseudo-terminal";
    // Port, settings, result: no device behind the number, none there, settings not understood, a
    // pseudo-terminal that refuses DTR/RTS opens all the same, already open.
    const std::tuple<int, const char*, int> opens[] = {{3, "9600,n,8,1", 3},
                                                       {8, "9600,n,8,1", 4},
                                                       {7, "9600,q,8,1", 2},
                                                       {7, "9600,n,8,1", 0},
                                                       {7, "9600,n,8,1", 1}};
    for (const auto& [n, settings, result] : opens)
        EXPECT_EQ(port.open(n, settings), result) << n << " " << settings;
    port.close();
    EXPECT_FALSE(port.isOpen() || port.write(ByteVec{1}));
    cmdOpenCom_Click(ctx);
    ASSERT_EQ(log().back(), "OpenPortCOM: OK");
    // STX and ETX inside a block go as they are; a burst of answers larger than the port's buffer
    // is taken whole.
    Send(ctx, Req::Write, Payload{0, 6, 0x02, 0x03, 0, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    EXPECT_EQ(spaced(take(22)), "02 23 11 06 02 03 00 FF 01 02 03 04 05 06 07 08 09 0A 0B 0C 8C 03");
    const std::size_t before = log().size();
    ByteVec burst;
    for (std::uint8_t i = 0; i < 150; ++i) {
        ByteVec data(16);
        std::iota(data.begin(), data.end(), i);
        const ByteVec frame = sim::makeFrame(0xA2, data);
        burst.insert(burst.end(), frame.begin(), frame.end());
    }
    ASSERT_TRUE(send(burst));
    ASSERT_TRUE(RunUntil([&] { return log().size() >= before + 150; }, 5000)) << log().size() - before;
    EXPECT_EQ(static_cast<std::uint8_t>(ctx.st.sReadData[0]), 149);

    // The reader's end goes away: the port closes once, and the event loop does not spin on it.
    ctx.st.Mis[0][283] = "Link lost";
    ::close(master);
    master = -1;
    ASSERT_TRUE(RunUntil([&] { return !port.isOpen(); }, 2000)) << "the hang-up was not noticed";
    EXPECT_EQ(log().back(), "Link lost");
    const int errors = port.deviceErrors();
    EXPECT_GE(errors, 1);
    const std::clock_t cpu = std::clock();
    Idle(1000);
    EXPECT_LT(double(std::clock() - cpu) / CLOCKS_PER_SEC, 0.2)
        << "the event loop kept busy after the device went away";
    EXPECT_EQ(port.deviceErrors(), errors) << "the error came again";
    cmdClose_Click(ctx);
    EXPECT_EQ(log().back(), "ClosePort: OK");
}

#else

double CpuSeconds() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto s = [](FILETIME t) { return (double(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7; };
    return s(kernel) + s(user);
}

// ZT_ECHO_COM names a COM port whose other end sends back every byte and hangs up on reading
// "ZT-HANG-UP" (scripts/windows-qt-check.sh maps a pseudo-terminal there).
TEST(WinSerial, CarriesEveryByteBothWaysAndReportsTheHangUpOnceWithoutSpinning) {
    const char* com = std::getenv("ZT_ECHO_COM");
    if (com == nullptr) GTEST_SKIP() << "no echo peer on a COM port";
    App();
    const int n = std::atoi(com);
    WinSerialPort port;
    ByteVec got;
    int losses = 0;
    port.onData = [&](Bytes b) { got.insert(got.end(), b.begin(), b.end()); };
    port.onLost = [&] { ++losses; };
    // Port, settings, result: nothing behind the number, no such port, settings not understood, open,
    // already open.
    const std::tuple<int, const char*, int> opens[] = {
        {0, "9600,n,8,1", 3}, {n + 1, "9600,n,8,1", 4}, {n, "9600,q,8,1", 2}, {n, "9600,n,8,1", 0}, {n, "9600,n,8,1", 1}};
    for (const auto& [number, settings, result] : opens)
        EXPECT_EQ(port.open(number, settings), result) << number << " " << settings;
    EXPECT_EQ(port.deviceName(n), "COM" + std::to_string(n));
    // Every byte value, in writes of many sizes, comes back whole and in order.
    ByteVec sent(3000);
    for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    for (std::size_t at = 0, size = 1; at < sent.size(); at += size, size = size * 3 % 701 + 1)
        ASSERT_TRUE(port.write(Bytes(sent).subspan(at, std::min(size, sent.size() - at))));
    ASSERT_TRUE(RunUntil([&] { return got.size() >= sent.size(); }, 5000)) << got.size();
    EXPECT_EQ(got, sent);
    // Waiting for bytes that do not come costs nothing.
    const double cpu = CpuSeconds();
    Idle(1000);
    EXPECT_LT(CpuSeconds() - cpu, 0.2) << "the event loop kept busy on a quiet port";

    const std::string bye = "ZT-HANG-UP";
    ASSERT_TRUE(port.write(Bytes(reinterpret_cast<const std::uint8_t*>(bye.data()), bye.size())));
    ASSERT_TRUE(RunUntil([&] { return !port.isOpen(); }, 2000)) << "the hang-up was not noticed";
    const double after = CpuSeconds();
    Idle(1000);
    EXPECT_LT(CpuSeconds() - after, 0.2) << "the event loop kept busy after the device went away";
    EXPECT_EQ(losses * 10 + port.deviceErrors(), 11);
    EXPECT_FALSE(port.write(ByteVec{1}));
}

#endif  // _WIN32

// QtTcpSocket against a QTcpServer on 127.0.0.1 that stands in for the reader.
TEST(Tcp, ConnectionsStartAndEndOnce) {
    App();
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QtTcpSocket sock;
    int connects = 0, losses = 0;
    ByteVec data;
    sock.onConnected = [&] { ++connects; };
    sock.onData = [&](Bytes b) { data.insert(data.end(), b.begin(), b.end()); };
    sock.onLost = [&] { ++losses; };
    auto accept = [&] {
        connects = losses = 0;
        EXPECT_TRUE(sock.connectTo("127.0.0.1", server.serverPort()));
        EXPECT_TRUE(RunUntil([&] { return connects == 1 && server.hasPendingConnections(); }, 3000));
        return std::unique_ptr<QTcpSocket>(server.nextPendingConnection());
    };
    // The peer closing or resetting is reported once; bytes before the close still arrive.
    for (const bool reset : {false, true}) {
        data.clear();
        auto reader = accept();
        ASSERT_TRUE(reader);
        reader->write(QByteArray::fromHex("0280008003"));
        reader->flush();
        if (reset) {  // no lingering: the close sends a reset
            linger l{1, 0};
#ifdef _WIN32
            using Descriptor = SOCKET;
#else
            using Descriptor = int;
#endif
            ::setsockopt(static_cast<Descriptor>(reader->socketDescriptor()), SOL_SOCKET, SO_LINGER,
                         reinterpret_cast<const char*>(&l), sizeof l);
            Idle(20);
        }
        reader->close();
        ASSERT_TRUE(RunUntil([&] { return losses > 0; }, 3000)) << reset;
        Idle(100);
        EXPECT_EQ(std::to_string(losses) + " " + spaced(data), "1 02 80 00 80 03") << reset;
        EXPECT_FALSE(sock.send(ByteVec{0x02}));
    }
    // An abandoned attempt never reports later; the next reports its own connection once.
    connects = 0;
    ASSERT_TRUE(sock.connectTo("127.0.0.1", server.serverPort()));
    sock.close();
    Idle(300);
    EXPECT_EQ(connects, 0);
    auto first = accept();
    sock.close();
    Idle(100);
    EXPECT_EQ(connects * 10 + losses, 10) << "closing our end is no loss";
    // Nobody listening: errors before a connection are left to the caller's wait.
    const quint16 port = server.serverPort();
    server.close();
    ASSERT_TRUE(sock.connectTo("127.0.0.1", port));
    Idle(500);
    EXPECT_EQ(connects * 10 + losses, 10) << "nothing new";
    EXPECT_FALSE(sock.connectTo("", 1001));
}

// The program's folder moved to a folder of the test.
struct FolderFiles : QtFileSystem {
    explicit FolderFiles(QString dir) : dir(std::move(dir)) {}
    std::string programDir() const override { return dir.toStdString(); }
    QString dir;
};

TEST(QtFiles, Windows1252FilesFoundByTheirExactName) {
    QTemporaryDir dir;
    // "Español", then "€ ñ ç" and "œ … ™ Ÿ" on two lines of one message.
    std::ofstream(dir.filePath("MisI01.dat").toStdString(), std::ios::binary)
        << "Espa\xF1ol\r\n\x80 \xF1 \xE7~\r\n\x9C \x85 \x99 \x9F\r\n";
    std::ofstream(dir.filePath("misi03.dat").toStdString(), std::ios::binary) << "x";
    ASSERT_TRUE(QDir(dir.path()).mkdir("MisI02.dat"));
    FolderFiles fs(dir.path());
    Ctx ctx{Platform{.files = &fs}};
    LoadMessages(ctx);
    ASSERT_EQ(ctx.st.iIdioma, 5);
    EXPECT_EQ(GetMis(ctx, 1) + "|" + GetMis(ctx, 2), "Español|€ ñ ç\r\nœ … ™ Ÿ");
    EXPECT_EQ(fs.readText(dir.filePath("none.dat").toStdString()), std::nullopt);
    // Only the exact name of a file counts.
    for (const char* name : {"MisI02.dat", "MisI03.dat", "MisI0?.dat", "missing/MisI01.dat"})
        EXPECT_FALSE(fs.exists(dir.filePath(name).toStdString())) << name;
    EXPECT_TRUE(fs.exists(dir.filePath("MisI01.dat").toStdString()));
    // Where Qt lacks the codec the table reads the file; it agrees with the code page.
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
    EXPECT_EQ(DecodeWindows1252Table(all).toStdString(), Cp1252ToUtf8(all.toStdString()));
}

TipSpec Spec(std::string text, std::string title = {}) {
    return {.text = std::move(text), .title = std::move(title)};
}

TEST(QtTips, CreateUpdateDestroyAndRender) {
    App();
    auto first = std::make_unique<QWidget>(), second = std::make_unique<QWidget>();
    auto host = std::make_unique<QtTooltipHost>([&](const std::string& c) -> QWidget* {
        return c == "cmdOpenCom" ? first.get() : c == "cmdClose" ? second.get() : nullptr;
    });
    const std::string open = "cmdOpenCom", close = "cmdClose", noWidget = "Picture4";
    const auto h = host->create(open, Spec("Opens <the> port & more\r\nSecond line", "Port"));
    EXPECT_EQ(first->toolTipDuration(), 30000);
    EXPECT_TRUE(first->toolTip().contains("Opens &lt;the&gt; port &amp; more<br>Second line"))
        << first->toolTip().toStdString();
    EXPECT_TRUE(first->toolTip().contains("<b>Port</b>"));
    host->update(h, Spec("new"));
    EXPECT_FALSE(first->toolTip().contains("Opens"));
    // A tip on screen goes with its tooltip (Qt lets it fade for a moment).
    QToolTip::showText(QPoint(10, 10), first->toolTip(), first.get());
    host->destroy(h);
    EXPECT_TRUE(first->toolTip().isEmpty());
    EXPECT_EQ(first->toolTipDuration(), -1);
    EXPECT_TRUE(RunUntil([] { return !QToolTip::isVisible(); }, 2000));
    host->destroy(h);               // a second time does nothing
    host->create(close, Spec(""));  // no text, no balloon: not the icon alone
    EXPECT_TRUE(second->toolTip().isEmpty());
    // Ending the host removes every tip but keeps the newest of a widget.
    const auto a = host->create(open, Spec("first"));
    host->create(open, Spec("second"));
    host->create(close, Spec("other widget"));
    host->create(noWidget, Spec("nowhere"));
    host->destroy(a);
    EXPECT_TRUE(first->toolTip().contains("second"));
    second.reset();  // a widget that went first is no error
    host.reset();
    EXPECT_TRUE(first->toolTip().isEmpty());
    // What the operator sees: dark blue text on white, margin included, the information icon at the left.
    TipSpec tip = Spec("text");
    const QString html = QtTooltipHost::html(tip);
    EXPECT_TRUE(html.contains("color:#000096") && html.contains("background-color:#ffffff"))
        << html.toStdString();
    EXPECT_TRUE(html.contains("<img src=\"data:image/png;base64,")) << html.toStdString();
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), QColor(Qt::white));
    tip.icon = 0;
    EXPECT_FALSE(QtTooltipHost::html(tip).contains("<img"));
}

}  // namespace
}  // namespace zt::test
