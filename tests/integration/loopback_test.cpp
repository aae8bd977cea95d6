// Zentap's real event loop and socket against zentap-reader-sim over loopback TCP: a batch of user
// cards is encoded, and a USUARIO AVANZADO card is encoded and read back on the read tab.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>
#include <fstream>
#include <memory>

#include "core/app/form.h"
#include "platform/tcp_socket.h"
#include "platform/timer.h"
#include "support/fakes.h"

namespace zt {
namespace {

// The logic always asks for the reader's port 1001; the simulator of the test listens elsewhere.
class PortRedirect : public TcpSocket {
public:
    PortRedirect(TcpSocket& inner, std::uint16_t port) : inner_(inner), port_(port) {
        inner_.onConnected = [this] {
            if (onConnected) onConnected();
        };
        inner_.onData = [this](Bytes b) {
            if (onData) onData(b);
        };
        inner_.onLost = [this] {
            if (onLost) onLost();
        };
    }
    bool connectTo(const std::string& host, std::uint16_t port) override {
        askedPort = port;
        return inner_.connectTo(host, port_);
    }
    void close() override { inner_.close(); }
    bool send(Bytes bytes) override { return inner_.send(bytes); }
    std::uint16_t askedPort = 0;

private:
    TcpSocket& inner_;
    std::uint16_t port_;
};

// Presses OK at once.
class OkBox : public MessageBox {
public:
    std::vector<std::string> texts;
    void show(const std::string& text, const std::string&, BoxIcon, std::function<void()> closed) override {
        texts.push_back(text);
        QTimer::singleShot(0, [closed = std::move(closed)] { closed(); });
    }
};

bool spin(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

class Simulator {
public:
    bool start(const QStringList& extra) {
        const char* bin = std::getenv("ZT_BIN_DIR");
        proc_.setProgram(QString::fromUtf8(bin ? bin : ".") + "/zentap-reader-sim");
        proc_.setArguments(QStringList{"--headless", "--port", "0"} + extra);
        proc_.start();
        if (!proc_.waitForStarted(5000)) return false;
        const QString first = line(5000);
        const auto colon = first.lastIndexOf(':');
        if (!first.startsWith("listening tcp") || colon < 0) return false;
        port = static_cast<std::uint16_t>(first.mid(colon + 1).toUInt());
        return port != 0;
    }
    // Sends a command and returns its one-line reply; the simulator's event lines are passed over.
    QString command(const QString& cmd) {
        proc_.write((cmd + "\n").toUtf8());
        for (;;) {
            const QString l = line(5000);
            if (l.isEmpty() || l.startsWith("ok") || l.startsWith("error")) return l;
        }
    }
    ~Simulator() {
        if (proc_.state() != QProcess::NotRunning) {
            proc_.write("quit\n");
            if (!proc_.waitForFinished(2000)) proc_.kill();
        }
    }
    std::uint16_t port = 0;

private:
    QString line(int ms) {
        QElapsedTimer t;
        t.start();
        while (!proc_.canReadLine() && t.elapsed() < ms) proc_.waitForReadyRead(50);
        return QString::fromUtf8(proc_.readLine()).trimmed();
    }
    QProcess proc_;
};

class Loopback : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "zt_integration_tests";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) app_ = new QCoreApplication(argc, argv);
    }

    void open(const QStringList& simArgs = {}) {
        ASSERT_TRUE(sim.start(simArgs)) << "the simulator did not start";
        redirect = std::make_unique<PortRedirect>(socket, sim.port);
        files.realDir =
            std::string(std::getenv("ZT_SOURCE_DIR") ? std::getenv("ZT_SOURCE_DIR") : "..") + "/lang";
        Platform pf;
        pf.socket = redirect.get();
        pf.timer = &timer;
        pf.box = &box;
        pf.files = &files;
        pf.tips = &tips;
        form = std::make_unique<Form>(pf);
        form->Form_Load();
        auto& m = form->model();
        m.cEditCfg3.setText("127.0.0.1");
        ASSERT_TRUE(form->click("cmdOpenTCP"));
        ASSERT_TRUE(spin([&] { return form->state().LinkType == 2; }, 10000)) << last();
        EXPECT_EQ(redirect->askedPort, 1001);
        EXPECT_EQ(m.listInfo.items().back(), "OpenPortTCP OK");
    }

    void TearDown() override {
        if (form) {
            form->Form_QueryUnload();
            form->Form_Unload();
            form.reset();
        }
    }

    bool logHas(const std::string& line) const {
        for (const auto& l : form->model().listInfo.items())
            if (l == line) return true;
        return false;
    }
    int count(const std::string& line) const {
        int n = 0;
        for (const auto& l : form->model().listInfo.items()) n += l == line;
        return n;
    }
    std::string last() const {
        const auto& items = form->model().listInfo.items();
        return items.empty() ? "" : items.back();
    }
    std::vector<std::uint8_t> dump(const QString& path) {
        EXPECT_TRUE(sim.command("dump " + path).startsWith("ok"));
        std::ifstream in(path.toStdString(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static std::string blockHex(const std::vector<std::uint8_t>& dump, int block) {
        static constexpr char k[] = "0123456789ABCDEF";
        std::string s;
        for (int i = 0; i < 16; ++i) {
            const auto b = dump.at(static_cast<std::size_t>(block * 16 + i));
            s += k[b >> 4];
            s += k[b & 15];
        }
        return s;
    }

    static inline QCoreApplication* app_ = nullptr;
    Simulator sim;
    QtTcpSocket socket;
    std::unique_ptr<PortRedirect> redirect;
    QtTimer timer;
    OkBox box;
    test::FakeFiles files;
    test::FakeTips tips;
    std::unique_ptr<Form> form;
    QTemporaryDir tmp;
};

TEST_F(Loopback, BatchOfThreeUserCards) {
    open();
    auto& m = form->model();
    m.txtUser.setText("005");
    m.txtNumTar.setText("3");
    m.txtNumInst.setText("1234");
    ASSERT_TRUE(form->click("cmdStart(2)"));
    const std::string heading = GetMis(form->ctx(), 176) + ": " + m.cSelTar(30).text() + " - ";
    const char* users[] = {"005", "6", "7"};
    const char* blocks[] = {"1012340054FFFFFFFFFFFFFFFFFFFFFF", "1012340063FFFFFFFFFFFFFFFFFFFFFF",
                            "1012340072FFFFFFFFFFFFFFFFFFFFFF"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(spin([&] { return logHas(heading + users[i]); }, 10000)) << last();
        ASSERT_TRUE(sim.command(QString("present 1k 0A0B0C0%1").arg(i)).startsWith("ok"));
        ASSERT_TRUE(spin([&] { return count("Beeper") == i + 1; }, 15000)) << last();
        const auto card = dump(tmp.filePath(QString("card%1.bin").arg(i)));
        ASSERT_EQ(card.size(), 1024u);
        EXPECT_EQ(blockHex(card, 4), blocks[i]) << "card " << i;
    }
    ASSERT_TRUE(spin([&] { return form->state().ActiveRun == kNoRun; }, 10000)) << last();
    EXPECT_EQ(m.txtUser.text(), "7");
    EXPECT_TRUE(box.texts.empty());
    EXPECT_EQ(count(">>> AnsWrite: 0x00"), 6);  // data block and trailer of each card
}

TEST_F(Loopback, AdvancedUserCardIsReadBack) {
    open();
    auto& m = form->model();
    m.cSelTar(31).setValue(1);
    m.txtUser.setText("042");
    // Permit nodes 1 and 9.
    for (int node : {9, 1}) {
        m.listNoPermit.setListIndex(node);
        ASSERT_TRUE(form->click("cAddListPermit"));
    }
    ASSERT_EQ(m.listPermit.itemCount(), 2);
    ASSERT_TRUE(form->click("cmdStart(2)"));
    ASSERT_TRUE(sim.command("present 1k 11223344").startsWith("ok"));
    ASSERT_TRUE(spin([&] { return form->state().ActiveRun == kNoRun; }, 20000)) << last();
    ASSERT_TRUE(logHas("Beeper")) << last();

    // The written card leaves the field and comes back for the read tab.
    const QString path = tmp.filePath("avanzado.bin");
    const auto card = dump(path);
    ASSERT_EQ(card.size(), 1024u);
    EXPECT_EQ(blockHex(card, 5), "02020000000000000000000000000000");
    ASSERT_TRUE(sim.command("remove").startsWith("ok"));
    SCOPED_TRACE("read run");
    ASSERT_TRUE(form->click("cmdLecTar"));
    ASSERT_TRUE(spin([&] { return form->state().ActiveRun == 3; }, 2000));
    ASSERT_TRUE(sim.command("load " + path).startsWith("ok"));
    ASSERT_TRUE(spin([&] { return m.txtInfoRead(0).text().size() == 32; }, 20000)) << last();
    EXPECT_EQ(m.txtInfoCard.text(), GetMis(form->ctx(), 207) + " - 042");
    EXPECT_EQ(m.txtInfoRead(1).text(), "02020000000000000000000000000000");
    EXPECT_EQ(m.txtInfoRead(2).text(), std::string(32, '0'));
    ASSERT_TRUE(form->click("cmdStop(3)"));
    ASSERT_TRUE(spin([&] { return form->state().ActiveRun == kNoRun; }, 5000)) << last();
}

}  // namespace
}  // namespace zt
