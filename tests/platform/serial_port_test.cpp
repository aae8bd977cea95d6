// QtSerialPort on a real pseudo-terminal: the test holds the master side (the "reader") and keeps a
// descriptor of the slave side open as well; the adapter opens the slave by its path.
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/app/ctx.h"
#include "core/link/frames.h"
#include "core/link/linkmgr.h"
#include "core/link/receive.h"
#include "exchanges.h"
#include "platform/serial_port.h"
#include "qt_loop.h"

namespace zt::test {
namespace {

using ByteVec = std::vector<std::uint8_t>;

class Pty {
public:
    Pty() {
        char name[128] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return;
        path = name;
        termios t{};
        ::tcgetattr(slave_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave_, TCSANOW, &t);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~Pty() {
        hangUp();
        if (slave_ >= 0) ::close(slave_);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return master_ >= 0 && !path.empty(); }
    // What the adapter wrote so far.
    const ByteVec& received() {
        std::uint8_t buf[512];
        ssize_t n;
        while (master_ >= 0 && (n = ::read(master_, buf, sizeof buf)) > 0)
            got_.insert(got_.end(), buf, buf + n);
        return got_;
    }
    void clear() {
        received();
        got_.clear();
    }
    // Writes everything, letting the event loop drain the terminal when it is full.
    bool send(const ByteVec& bytes) {
        std::size_t at = 0;
        for (int tries = 0; at < bytes.size() && tries < 500; ++tries) {
            const ssize_t n = ::write(master_, bytes.data() + at, bytes.size() - at);
            if (n > 0) {
                at += static_cast<std::size_t>(n);
            } else {
                idle(5);
            }
        }
        return at == bytes.size();
    }
    void hangUp() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    std::string path;

private:
    int master_ = -1;
    int slave_ = -1;
    ByteVec got_;
};

double cpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

TEST(ComDevice, NumberingTable) {
    const std::pair<int, const char*> cases[] = {
        {1, "/dev/ttyS0"},
        {32, "/dev/ttyS31"},
        {33, "/dev/ttyUSB0"},
        {48, "/dev/ttyUSB15"},
        {49, "/dev/ttyACM0"},
        {64, "/dev/ttyACM15"},
        {0, ""},
        {65, ""},
        {-1, ""},
    };
    for (const auto& [n, dev] : cases) EXPECT_EQ(ComDevice(n), dev) << n;
}

TEST(LineSettings, Parsing) {
    struct Case {
        const char* text;
        bool ok;
        qint32 baud;
        QSerialPort::Parity parity;
        QSerialPort::DataBits bits;
        QSerialPort::StopBits stop;
    };
    const Case cases[] = {
        {"9600,n,8,1", true, 9600, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop},
        {" 115200,N,8,1", true, 115200, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop},
        {"19200,e,7,2", true, 19200, QSerialPort::EvenParity, QSerialPort::Data7, QSerialPort::TwoStop},
        {"4800,o,5,1.5", true, 4800, QSerialPort::OddParity, QSerialPort::Data5, QSerialPort::OneAndHalfStop},
        {"", false, 0, {}, {}, {}},
        {",n,8,1", false, 0, {}, {}, {}},
        {"fast,n,8,1", false, 0, {}, {}, {}},
        {"0,n,8,1", false, 0, {}, {}, {}},
        {"9600,x,8,1", false, 0, {}, {}, {}},
        {"9600,n,9,1", false, 0, {}, {}, {}},
        {"9600,n,8,3", false, 0, {}, {}, {}},
        {"9600,n,8", false, 0, {}, {}, {}},
    };
    for (const auto& c : cases) {
        const auto s = ParseLineSettings(c.text);
        ASSERT_EQ(s.has_value(), c.ok) << '"' << c.text << '"';
        if (!s) continue;
        EXPECT_EQ(s->baud, c.baud) << c.text;
        EXPECT_EQ(s->parity, c.parity) << c.text;
        EXPECT_EQ(s->dataBits, c.bits) << c.text;
        EXPECT_EQ(s->stopBits, c.stop) << c.text;
    }
}

class SerialPtyTest : public ::testing::Test {
protected:
    static constexpr int kPtyPort = 7;

    SerialPtyTest()
        : port([this](int n) { return n == kPtyPort ? pty.path
                                      : n == 8      ? "/dev/zt-no-such-tty"
                                                    : ""; }) {
        ensureApp();
        ctx.st.aAtqa.assign(3, 0);
        ctx.st.aUid.assign(12, 0);
        ctx.st.Mis[0][283] = "Link lost";
        ctx.m.cCombo1.setText("9600");
        Ctx* c = &ctx;
        port.onData = [c](Bytes b) { OnSerialData(*c, b); };
        port.onLost = [c] { OnLinkLost(*c, 1); };
    }
    void SetUp() override { ASSERT_TRUE(pty.ok()) << "no pseudo-terminal"; }
    const std::vector<std::string>& log() const { return ctx.m.listInfo.items(); }
    bool logged(const std::string& line) const {
        return std::find(log().begin(), log().end(), line) != log().end();
    }
    Platform platform() {
        Platform pf;
        pf.serial = &port;
        return pf;
    }

    Pty pty;
    QtSerialPort port;
    Ctx ctx{platform()};
};

TEST_F(SerialPtyTest, OpenResults) {
    struct Case {
        int number;
        const char* settings;
        int result;
    };
    const Case cases[] = {
        {3, "9600,n,8,1", 3},         // no device behind the number
        {8, "9600,n,8,1", 4},         // the device does not exist
        {kPtyPort, "9600,q,8,1", 2},  // settings not understood
        {kPtyPort, "9600,n,8,1", 0},  // a pseudo-terminal refuses DTR/RTS: still open
        {kPtyPort, "9600,n,8,1", 1},  // already open
    };
    for (const auto& c : cases)
        EXPECT_EQ(port.open(c.number, c.settings), c.result) << c.number << " " << c.settings;
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.deviceName(kPtyPort), pty.path);
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.write(ByteVec{1}));
}

TEST_F(SerialPtyTest, FramesBothWays) {
    ctx.m.cEditCfg1.setText(std::to_string(kPtyPort));
    cmdOpenCom_Click(ctx);
    ASSERT_EQ(log().back(), "OpenPortCOM: OK");

    for (const auto& ex : allExchanges()) {
        pty.clear();
        ex.send(ctx);
        EXPECT_TRUE(spinUntil([&] { return pty.received().size() >= ex.wire.size(); }, 2000)) << ex.name;
        idle(5);
        EXPECT_EQ(pty.received(), ex.wire) << ex.name;
    }

    // Answers in pieces that do not follow the frames, and a burst larger than the port's buffer.
    ASSERT_TRUE(pty.send({0x02, 0x80, 0x00}));
    idle(20);
    ASSERT_TRUE(pty.send({0x80, 0x03, 0x02, 0x91, 0x01, 0x01, 0x93}));
    idle(20);
    ASSERT_TRUE(pty.send({0x03}));
    ByteVec burst;
    for (int i = 0; i < 150; ++i) {
        burst.insert(burst.end(), {0x02, 0xA2, 0x10});
        unsigned sum = 0xA2 + 0x10;
        for (int b = 0; b < 16; ++b) {
            burst.push_back(static_cast<std::uint8_t>(i + b));
            sum += static_cast<unsigned>(i + b);
        }
        burst.insert(burst.end(), {static_cast<std::uint8_t>(sum), 0x03});
    }
    ASSERT_TRUE(pty.send(burst));
    ASSERT_TRUE(spinUntil([&] { return log().size() >= 1 + 2 + 150 + 2; }, 5000)) << log().size() << " lines";
    EXPECT_TRUE(logged(">>> AnsTestLink"));
    EXPECT_TRUE(logged(">>> AnsSelect: 0x01"));
    EXPECT_EQ(ctx.st.iSelectStatus, 1);
    EXPECT_EQ(ctx.st.sReadData.size(), 16u);
    EXPECT_EQ(static_cast<std::uint8_t>(ctx.st.sReadData[0]), 149);
}

TEST_F(SerialPtyTest, HangUpClosesThePortWithoutSpinning) {
    ctx.m.cEditCfg1.setText(std::to_string(kPtyPort));
    cmdOpenCom_Click(ctx);
    ASSERT_EQ(log().back(), "OpenPortCOM: OK");

    pty.hangUp();
    ASSERT_TRUE(spinUntil([&] { return !port.isOpen(); }, 2000)) << "the hang-up was not noticed";
    EXPECT_EQ(log().back(), "Link lost");
    const int errors = port.deviceErrors();
    EXPECT_GE(errors, 1);

    const double before = cpuSeconds();
    idle(1000);
    const double used = cpuSeconds() - before;
    EXPECT_LT(used, 0.2) << "the event loop kept busy after the device went away";
    EXPECT_EQ(port.deviceErrors(), errors);

    // Requests now go nowhere; the operator closes and may open again.
    EXPECT_EQ(EnviaTrama(ctx, 0x00, 0, {}), 3);
    cmdClose_Click(ctx);
    EXPECT_EQ(log().back(), "ClosePort: OK");
    EXPECT_EQ(ctx.st.LinkType, 0);
}

}  // namespace
}  // namespace zt::test
