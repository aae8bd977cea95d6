// The zentap-reader-sim program from its command line, and zentap's real event loop and serial port
// against it through its pseudo-terminal: a USUARIO AVANZADO card written and read back.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>

#include "platform/serial_port.h"
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
struct SimProcess {
    explicit SimProcess(const QStringList& args) {
        App();
        proc.start(QString::fromUtf8(std::getenv("ZT_BIN_DIR")) + "/zentap-reader-sim", args);
        proc.waitForStarted(5000);
    }
    ~SimProcess() {
        proc.kill();
        proc.waitForFinished(1000);
    }
    // The next stdout line that starts with `prefix` (others are passed over), or "" after 5 s. Our
    // own ports keep working meanwhile.
    QString line(const QString& prefix = {}) {
        for (QDeadlineTimer end(5000); !end.hasExpired();) {
            if (!proc.canReadLine()) {
                RunUntil([this] { return proc.canReadLine(); }, 50);  // the event loop runs meanwhile
            } else if (const QString l = QString::fromUtf8(proc.readLine()).trimmed(); l.startsWith(prefix)) {
                return l;
            }
        }
        return {};
    }
    // Sends a command and returns its one-line reply ("ok ..." or "error ...").
    QString command(const QString& cmd) {
        proc.write((cmd + "\n").toUtf8());
        for (QString l;;)
            if ((l = line()).isEmpty() || l.startsWith("ok") || l.startsWith("error")) return l;
    }
    int exitCode() {
        const bool ended = proc.state() == QProcess::NotRunning || proc.waitForFinished(5000);
        return ended && proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
    }
    QString errors() { return QString::fromUtf8(proc.readAllStandardError()); }
    QProcess proc;
};

// Our own TCP socket on the simulator: the frames that come back, and whether the link died.
struct TcpClient {
    explicit TcpClient(std::uint16_t port) {
        sock.onConnected = [this] { up = true; };
        sock.onData = [this](Bytes b) {
            for (auto& f : assembler.feed(b)) got.push_back(f);
        };
        sock.onLost = [this] { lost = true; };
        sock.connectTo("127.0.0.1", port);
        RunUntil([this] { return up; });
    }
    // The answer to a request, or nullopt when none came.
    std::optional<Frame> ask(std::uint8_t c) {
        got.clear();
        sock.send(sim::makeFrame(c, {}));
        RunUntil([this] { return !got.empty() || lost; });
        return got.empty() ? std::nullopt : std::optional(got.front());
    }
    QtTcpSocket sock;
    sim::FrameAssembler assembler;
    std::vector<Frame> got;
    bool up = false, lost = false;
};

TEST(SimProgram, OneTcpClientAtATimeDroppedLinksAndAPortInUse) {
    SimProcess sim({"--headless", "--port", "0", "--timing", "38400", "--seed", "1"});
    const QString listening = sim.line("listening tcp");
    const auto port = static_cast<std::uint16_t>(listening.mid(listening.lastIndexOf(':') + 1).toUInt());
    ASSERT_NE(port, 0) << sim.errors().toStdString();
    TcpClient c(port);
    ASSERT_EQ(c.ask(code::TestLink), (Frame{0x80, {}}));
    // A second client is turned away, the first goes on.
    TcpClient second(port);
    EXPECT_FALSE(second.ask(code::TestLink) || !second.lost);
    EXPECT_TRUE(c.ask(code::TestLink));
    // A link drop is a reset seen by the client; the next client is taken.
    EXPECT_EQ(sim.command("fault 01 link-drop next"), "ok fault StartUp link-drop next");
    EXPECT_FALSE(c.ask(code::StartUp) || !c.lost);
    TcpClient again(port);
    EXPECT_TRUE(again.ask(code::StartUp));
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    SimProcess busy({"--headless", "--port", QString::number(taken.serverPort())});
    EXPECT_EQ(busy.exitCode(), 2);
    EXPECT_TRUE(busy.errors().contains("cannot listen on 127.0.0.1:"));
}

// Presses OK at once.
struct OkBox : MessageBox {
    void show(const std::string&, const std::string&, BoxIcon, std::function<void()> closed) override {
        QTimer::singleShot(0, [closed = std::move(closed)] { closed(); });
    }
    void ask(const std::string&, const std::string&, BoxIcon, std::vector<std::string>,
             std::function<void(int)> answered) override {
        QTimer::singleShot(0, [answered = std::move(answered)] { answered(0); });
    }
};

TEST(SimProgram, SerialLinkCarriesAnAdvancedUserCardWrittenAndReadBack) {
    QTemporaryDir dir;
    const fs::path link = dir.filePath("ttySIM0").toStdString();
    {
        SimProcess sim({"--headless", "--serial", "--link", QString::fromStdString(link.string()), "--timing",
                        "instant"});
        const QString line = sim.line("serial /dev/pts/");
        ASSERT_FALSE(line.isEmpty()) << sim.errors().toStdString();
        EXPECT_EQ(fs::read_symlink(link), line.mid(7).toStdString());
        QtSerialPort port{[&](int) { return link.string(); }};
        QtTimer timer;
        OkBox box;
        FakeFiles files;
        files.realDir = std::string(std::getenv("ZT_SOURCE_DIR")) + "/lang";
        FakeTips tips;
        Form form(Platform{.serial = &port, .box = &box, .tips = &tips, .files = &files, .timer = &timer});
        FormModel& m = form.model();
        const std::vector<std::string>& log = m.listInfo.items();
        auto last = [&] { return log.empty() ? std::string() : log.back(); };
        auto idle = [&] { return form.state().ActiveRun == kNoRun; };
        form.Form_Load();
        ASSERT_TRUE(form.click("cmdOpenCom"));
        ASSERT_EQ(last(), "OpenPortCOM: OK");
        Harness::Set(m, "cSelTar(31)=1|txtUser=042");
        for (int node : {9, 1}) {  // nodes 1 and 9 permitted
            m.listNoPermit.setListIndex(node);
            ASSERT_TRUE(form.click("cAddListPermit"));
        }
        ASSERT_TRUE(form.click("cmdStart(2)"));
        EXPECT_EQ(sim.command("present 1k 11223344"), "ok present 1k 11223344");
        ASSERT_TRUE(RunUntil(idle, 20000)) << last();
        ASSERT_EQ(std::count(log.begin(), log.end(), "Beeper"), 1) << last();
        EXPECT_EQ(sim.line("event output beeper"), "event output beeper 100ms");
        // The written card, as the simulator saves it, leaves the field and comes back for the read tab.
        QTemporaryDir tmp;
        const QString file = tmp.filePath("avanzado.bin");
        ASSERT_TRUE(sim.command("dump " + file).startsWith("ok"));
        const auto card = sim::Card::load(file.toStdString());
        ASSERT_TRUE(card);
        EXPECT_EQ(Harness::blockHex(*card, 5), "02020000000000000000000000000000");
        ASSERT_TRUE(sim.command("remove").startsWith("ok"));
        ASSERT_TRUE(form.click("cmdLecTar"));
        ASSERT_TRUE(RunUntil([&] { return form.state().ActiveRun == 3; }, 2000));
        ASSERT_TRUE(sim.command("load " + file).startsWith("ok"));
        ASSERT_TRUE(RunUntil([&] { return m.txtInfoRead(0).text().size() == 32; }, 20000)) << last();
        EXPECT_EQ(m.txtInfoCard.text(), GetMis(form.ctx(), 207) + " - 042");
        EXPECT_EQ(m.txtInfoRead(1).text() + m.txtInfoRead(2).text(), "0202" + std::string(60, '0'));
        ASSERT_TRUE(form.click("cmdStop(3)"));
        ASSERT_TRUE(RunUntil(idle, 5000)) << last();
        form.Form_QueryUnload();
        form.Form_Unload();
        sim.command("quit");
        EXPECT_EQ(sim.exitCode(), 0);
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));  // the link goes with the program
}

}  // namespace
}  // namespace zt::test
