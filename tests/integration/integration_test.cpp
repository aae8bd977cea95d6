// The zentap-reader-sim program from its command line, and zentap's real event loop and socket
// against it over loopback TCP: a USUARIO AVANZADO card written and read back.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <filesystem>

#include "platform/tcp_socket.h"
#include "platform/timer.h"
#include "sim/frame.h"
#include "support/harness.h"
#include "support/qt_app.h"

namespace zt::test {
namespace {

namespace fs = std::filesystem;
using sim::Frame;
namespace code = sim::code;

// zentap-reader-sim as a child process: arguments, commands on stdin, stdout line by line.
class SimProcess {
public:
    explicit SimProcess(const QStringList& args) {
        App();
        proc_.start(QString::fromUtf8(std::getenv("ZT_BIN_DIR")) + "/zentap-reader-sim", args);
        proc_.waitForStarted(5000);
    }
    ~SimProcess() {
        if (proc_.state() == QProcess::NotRunning) return;
        proc_.write("quit\n");
        if (!proc_.waitForFinished(2000)) proc_.kill();
        proc_.waitForFinished(1000);
    }
    // The next stdout line that starts with `prefix` (others are passed over), or "" after 5 s.
    QString line(const QString& prefix = {}) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000) {
            if (!proc_.canReadLine()) {
                proc_.waitForReadyRead(50);
                continue;
            }
            const QString l = QString::fromUtf8(proc_.readLine()).trimmed();
            if (l.startsWith(prefix)) return l;
        }
        return {};
    }
    std::uint16_t port() {
        const QString l = line("listening tcp");
        return static_cast<std::uint16_t>(l.mid(l.lastIndexOf(':') + 1).toUInt());
    }
    // Sends a command and returns its one-line reply ("ok ..." or "error ...").
    QString command(const QString& cmd) {
        proc_.write((cmd + "\n").toUtf8());
        for (QString l;;)
            if ((l = line()).isEmpty() || l.startsWith("ok") || l.startsWith("error")) return l;
    }
    int exitCode() { return proc_.waitForFinished(5000) && proc_.exitStatus() == QProcess::NormalExit ? proc_.exitCode() : -1; }
    QString errors() { return QString::fromUtf8(proc_.readAllStandardError()); }

private:
    QProcess proc_;
};

// A host on a file descriptor: sends frames, cuts what comes back into frames.
struct Client {
    explicit Client(int fd) : fd(fd) {}
    ~Client() { ::close(fd); }
    std::optional<Frame> ask(std::uint8_t c, ByteVec data = {}) {
        const auto f = sim::makeFrame(c, data);
        if (::write(fd, f.data(), f.size()) != static_cast<ssize_t>(f.size())) return std::nullopt;
        return next(static_cast<std::uint8_t>(c + 0x80));
    }
    // The next frame with the given code, or nullopt after 3 s; `alive` turns false when the link died.
    std::optional<Frame> next(std::uint8_t c) {
        for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3); std::chrono::steady_clock::now() < end;) {
            for (auto it = pending.begin(); it != pending.end(); ++it)
                if (it->code == c) {
                    Frame got = *it;
                    pending.erase(it);
                    return got;
                }
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            std::uint8_t chunk[256];
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n <= 0) return alive = false, std::nullopt;
            for (auto& fr : assembler.feed(std::span(chunk, static_cast<std::size_t>(n)))) pending.push_back(std::move(fr));
        }
        return std::nullopt;
    }
    int fd;
    bool alive = true;
    sim::FrameAssembler assembler;
    std::vector<Frame> pending;
};

int ConnectTcp(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 ? fd : (::close(fd), -1);
}

TEST(SimProgram, SerialLinkThroughItsNamedLink) {
    const fs::path dir = fs::temp_directory_path() / ("zt-sim-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path link = dir / "ttySIM0";
    {
        SimProcess sim({"--headless", "--serial", "--link", QString::fromStdString(link.string()), "--timing", "instant"});
        const QString line = sim.line("serial /dev/pts/");
        ASSERT_FALSE(line.isEmpty()) << sim.errors().toStdString();
        EXPECT_EQ(fs::read_symlink(link), line.mid(7).toStdString());
        const int fd = ::open(link.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        termios tio{};
        ::tcgetattr(fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
        Client c(fd);
        EXPECT_EQ(c.ask(code::TestLink), (Frame{0x80, {}}));
        EXPECT_EQ(sim.command("present 1k 0A0B0C0D"), "ok present 1k 0A0B0C0D");
        EXPECT_EQ(c.next(code::CardReport), (Frame{0x90, {0xA1, 0x04, 0x00, 0x0A, 0x0B, 0x0C, 0x0D}}));
        EXPECT_EQ(c.ask(code::Select), (Frame{0x91, {1}}));
        EXPECT_EQ(c.ask(code::DOutTemp, {2, 10}), (Frame{0x86, {}}));
        EXPECT_EQ(sim.line("event output"), "event output beeper 100ms");
        sim.command("quit");
        EXPECT_EQ(sim.exitCode(), 0);
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));  // the link goes with the program
    fs::remove_all(dir);
}

TEST(SimProgram, OneTcpClientAtATimeDroppedLinksAndAPortInUse) {
    SimProcess sim({"--headless", "--port", "0", "--timing", "38400", "--seed", "1"});
    const std::uint16_t port = sim.port();
    ASSERT_NE(port, 0) << sim.errors().toStdString();
    Client c(ConnectTcp(port));
    ASSERT_EQ(c.ask(code::TestLink), (Frame{0x80, {}}));
    // A second client is turned away, the first goes on.
    Client second(ConnectTcp(port));
    EXPECT_FALSE(second.ask(code::TestLink) || second.alive);
    EXPECT_TRUE(c.ask(code::TestLink));
    // A link drop is a reset seen by the client; the next client is taken.
    EXPECT_EQ(sim.command("fault 01 link-drop next"), "ok fault StartUp link-drop next");
    EXPECT_FALSE(c.ask(code::StartUp) || c.alive);
    Client again(ConnectTcp(port));
    EXPECT_TRUE(again.ask(code::StartUp));
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    SimProcess busy({"--headless", "--port", QString::number(taken.serverPort())});
    EXPECT_EQ(busy.exitCode(), 2);
    EXPECT_TRUE(busy.errors().contains("cannot listen on 127.0.0.1:"));
}

// The logic always asks for the reader's port 1001; the simulator of the test listens elsewhere.
class PortRedirect : public TcpSocket {
public:
    PortRedirect(TcpSocket& inner, std::uint16_t port) : inner_(inner), port_(port) {
        inner_.onConnected = [this] { onConnected(); };
        inner_.onData = [this](Bytes b) { onData(b); };
        inner_.onLost = [this] { onLost(); };
    }
    bool connectTo(const std::string& host, std::uint16_t port) override { return askedPort = port, inner_.connectTo(host, port_); }
    void close() override { inner_.close(); }
    bool send(Bytes bytes) override { return inner_.send(bytes); }
    std::uint16_t askedPort = 0;

private:
    TcpSocket& inner_;
    std::uint16_t port_;
};

// Presses OK at once.
struct OkBox : MessageBox {
    std::vector<std::string> texts;
    void show(const std::string& text, const std::string&, BoxIcon, std::function<void()> closed) override {
        texts.push_back(text);
        QTimer::singleShot(0, [closed = std::move(closed)] { closed(); });
    }
};

struct Loopback : ::testing::Test {
    void SetUp() override {
        const std::uint16_t port = sim.port();
        ASSERT_NE(port, 0) << "the simulator did not start";
        redirect = std::make_unique<PortRedirect>(socket, port);
        files.realDir = std::string(std::getenv("ZT_SOURCE_DIR")) + "/lang";
        form = std::make_unique<Form>(Platform{.socket = redirect.get(), .box = &box, .tips = &tips, .files = &files, .timer = &timer});
        form->Form_Load();
        form->model().cEditCfg3.setText("127.0.0.1");
        ASSERT_TRUE(form->click("cmdOpenTCP"));
        ASSERT_TRUE(RunUntil([&] { return form->state().LinkType == 2; }, 10000)) << last();
        EXPECT_EQ(redirect->askedPort, 1001);
        EXPECT_EQ(last(), "OpenPortTCP OK");
    }
    void TearDown() override {
        form->Form_QueryUnload();
        form->Form_Unload();
    }
    const std::vector<std::string>& log() const { return form->model().listInfo.items(); }
    int count(const std::string& line) const { return static_cast<int>(std::count(log().begin(), log().end(), line)); }
    std::string last() const { return log().empty() ? "" : log().back(); }
    bool idle() const { return form->state().ActiveRun == kNoRun; }
    // A block of the card in the simulator's field, as the simulator saves it.
    std::string block(const QString& file, int n) {
        EXPECT_TRUE(sim.command("dump " + tmp.filePath(file)).startsWith("ok"));
        const auto card = sim::Card::load(tmp.filePath(file).toStdString());
        return card ? Harness::blockHex(*card, n) : "no card";
    }
    SimProcess sim{{"--headless", "--port", "0"}};
    QtTcpSocket socket;
    std::unique_ptr<PortRedirect> redirect;
    QtTimer timer;
    OkBox box;
    FakeFiles files;
    FakeTips tips;
    std::unique_ptr<Form> form;
    QTemporaryDir tmp;
};

TEST_F(Loopback, AdvancedUserCardIsReadBack) {
    auto& m = form->model();
    Harness::Set(m, "cSelTar(31)=1|txtUser=042");
    for (int node : {9, 1}) {  // nodes 1 and 9 permitted
        m.listNoPermit.setListIndex(node);
        ASSERT_TRUE(form->click("cAddListPermit"));
    }
    ASSERT_TRUE(form->click("cmdStart(2)"));
    ASSERT_TRUE(sim.command("present 1k 11223344").startsWith("ok"));
    ASSERT_TRUE(RunUntil([&] { return idle(); }, 20000)) << last();
    ASSERT_EQ(count("Beeper"), 1) << last();
    // The written card leaves the field and comes back for the read tab.
    EXPECT_EQ(block("avanzado.bin", 5), "02020000000000000000000000000000");
    ASSERT_TRUE(sim.command("remove").startsWith("ok"));
    ASSERT_TRUE(form->click("cmdLecTar"));
    ASSERT_TRUE(RunUntil([&] { return form->state().ActiveRun == 3; }, 2000));
    ASSERT_TRUE(sim.command("load " + tmp.filePath("avanzado.bin")).startsWith("ok"));
    ASSERT_TRUE(RunUntil([&] { return m.txtInfoRead(0).text().size() == 32; }, 20000)) << last();
    EXPECT_EQ(m.txtInfoCard.text(), GetMis(form->ctx(), 207) + " - 042");
    EXPECT_EQ(m.txtInfoRead(1).text() + m.txtInfoRead(2).text(), "02020000000000000000000000000000" + std::string(32, '0'));
    ASSERT_TRUE(form->click("cmdStop(3)"));
    ASSERT_TRUE(RunUntil([&] { return idle(); }, 5000)) << last();
}

}  // namespace
}  // namespace zt::test
