// Zentap's real event loop and socket against zentap-reader-sim over loopback TCP: a batch of user
// cards is encoded, and a USUARIO AVANZADO card is encoded and read back on the read tab.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "core/top/form.h"
#include "platform/tcp_socket.h"
#include "platform/timer.h"
#include "sim_process.h"
#include "support/harness.h"

namespace zt {
namespace {

using test::RunUntil;
using test::SimProcess;

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

class Loopback : public ::testing::Test {
protected:
    void open() {
        const std::uint16_t port = sim.port();
        ASSERT_NE(port, 0) << "the simulator did not start";
        redirect = std::make_unique<PortRedirect>(socket, port);
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
        ASSERT_TRUE(RunUntil([&] { return form->state().LinkType == 2; }, 10000)) << last();
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

    int count(const std::string& line) const {
        const auto& items = form->model().listInfo.items();
        return static_cast<int>(std::count(items.begin(), items.end(), line));
    }
    bool logHas(const std::string& line) const { return count(line) > 0; }
    std::string last() const {
        const auto& items = form->model().listInfo.items();
        return items.empty() ? "" : items.back();
    }
    // The card in the simulator's field, as the simulator saves it.
    std::optional<sim::Card> dump(const QString& path) {
        EXPECT_TRUE(sim.command("dump " + path).startsWith("ok"));
        return sim::Card::load(path.toStdString());
    }
    static std::string blockHex(const std::optional<sim::Card>& card, int block) {
        return card ? test::Harness::blockHex(*card, block) : "no card";
    }

    SimProcess sim{{"--headless", "--port", "0"}};
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
        ASSERT_TRUE(RunUntil([&] { return logHas(heading + users[i]); }, 10000)) << last();
        ASSERT_TRUE(sim.command(QString("present 1k 0A0B0C0%1").arg(i)).startsWith("ok"));
        ASSERT_TRUE(RunUntil([&] { return count("Beeper") == i + 1; }, 15000)) << last();
        const auto card = dump(tmp.filePath(QString("card%1.bin").arg(i)));
        EXPECT_EQ(blockHex(card, 4), blocks[i]) << "card " << i;
    }
    ASSERT_TRUE(RunUntil([&] { return form->state().ActiveRun == kNoRun; }, 10000)) << last();
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
    ASSERT_TRUE(RunUntil([&] { return form->state().ActiveRun == kNoRun; }, 20000)) << last();
    ASSERT_TRUE(logHas("Beeper")) << last();

    // The written card leaves the field and comes back for the read tab.
    const QString path = tmp.filePath("avanzado.bin");
    const auto card = dump(path);
    EXPECT_EQ(blockHex(card, 5), "02020000000000000000000000000000");
    ASSERT_TRUE(sim.command("remove").startsWith("ok"));
    SCOPED_TRACE("read run");
    ASSERT_TRUE(form->click("cmdLecTar"));
    ASSERT_TRUE(RunUntil([&] { return form->state().ActiveRun == 3; }, 2000));
    ASSERT_TRUE(sim.command("load " + path).startsWith("ok"));
    ASSERT_TRUE(RunUntil([&] { return m.txtInfoRead(0).text().size() == 32; }, 20000)) << last();
    EXPECT_EQ(m.txtInfoCard.text(), GetMis(form->ctx(), 207) + " - 042");
    EXPECT_EQ(m.txtInfoRead(1).text(), "02020000000000000000000000000000");
    EXPECT_EQ(m.txtInfoRead(2).text(), std::string(32, '0'));
    ASSERT_TRUE(form->click("cmdStop(3)"));
    ASSERT_TRUE(RunUntil([&] { return form->state().ActiveRun == kNoRun; }, 5000)) << last();
}

}  // namespace
}  // namespace zt
