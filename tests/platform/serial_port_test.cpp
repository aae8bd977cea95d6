// QtSerialPort on a real pseudo-terminal: the test holds the master side (the reader's end) and a
// descriptor of the slave side; the adapter opens the slave by its path.
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/link/frames.h"
#include "core/link/linkmgr.h"
#include "core/link/receive.h"
#include "link/exchanges.h"
#include "platform/serial_port.h"
#include "support/qt_app.h"

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
    // All the adapter has written since the last take().
    ByteVec take(std::size_t atLeast) {
        ByteVec got;
        RunUntil(
            [&] {
                std::uint8_t buf[512];
                for (ssize_t n; (n = ::read(master_, buf, sizeof buf)) > 0;)
                    got.insert(got.end(), buf, buf + n);
                return got.size() >= atLeast;
            },
            2000);
        return got;
    }
    // Writes everything, letting the event loop drain the terminal when it is full.
    bool send(const ByteVec& bytes) {
        std::size_t at = 0;
        for (int tries = 0; at < bytes.size() && tries < 500; ++tries) {
            const ssize_t n = ::write(master_, bytes.data() + at, bytes.size() - at);
            if (n > 0) {
                at += static_cast<std::size_t>(n);
            } else {
                Idle(5);
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
};

double cpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

TEST(ComDevice, NumberingTable) {
    const std::pair<int, const char*> cases[] = {{1, "/dev/ttyS0"},
                                                 {32, "/dev/ttyS31"},
                                                 {33, "/dev/ttyUSB0"},
                                                 {48, "/dev/ttyUSB15"},
                                                 {49, "/dev/ttyACM0"},
                                                 {64, "/dev/ttyACM15"},
                                                 {0, ""},
                                                 {65, ""}};
    for (const auto& [n, dev] : cases) EXPECT_EQ(ComDevice(n), dev) << n;
}

TEST(LineSettings, Parsing) {
    const auto s = ParseLineSettings(" 19200, E ,7,1.5");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->baud, 19200);
    EXPECT_EQ(s->parity, QSerialPort::EvenParity);
    EXPECT_EQ(s->dataBits, QSerialPort::Data7);
    EXPECT_EQ(s->stopBits, QSerialPort::OneAndHalfStop);
    for (const char* ok : {"9600,n,8,1", "115200,N,8,2", "300,o,5,1", "9600,m,6,1", "9600,s,8,1"})
        EXPECT_TRUE(ParseLineSettings(ok)) << ok;
    for (const char* bad :
         {"", ",n,8,1", "fast,n,8,1", "0,n,8,1", "9600,x,8,1", "9600,n,9,1", "9600,n,8,3", "9600,n,8"})
        EXPECT_FALSE(ParseLineSettings(bad)) << bad;
}

class SerialPtyTest : public ::testing::Test {
protected:
    static constexpr int kPtyPort = 7;

    SerialPtyTest() {
        App();
        ctx.st.aAtqa.assign(3, 0);
        ctx.st.aUid.assign(12, 0);
        ctx.st.Mis[0][283] = "Link lost";
        ctx.m.cCombo1.setText("9600");
        ctx.m.cEditCfg1.setText(std::to_string(kPtyPort));
        Ctx* c = &ctx;
        port.onData = [c](Bytes b) { OnSerialData(*c, b); };
        port.onLost = [c] { OnLinkLost(*c, 1); };
    }
    void SetUp() override { ASSERT_FALSE(pty.path.empty()) << "no pseudo-terminal"; }
    const std::vector<std::string>& log() const { return ctx.m.listInfo.items(); }

    Pty pty;
    QtSerialPort port{[this](int n) {
        return n == kPtyPort ? pty.path : n == 8 ? "/dev/zt-no-such-tty" : "";
    }};
    Ctx ctx{Platform{&port}};
};

TEST_F(SerialPtyTest, OpenResults) {
    const std::tuple<int, const char*, int> cases[] = {
        {3, "9600,n,8,1", 3},         // no device behind the number
        {8, "9600,n,8,1", 4},         // the device does not exist
        {kPtyPort, "9600,q,8,1", 2},  // settings not understood
        {kPtyPort, "9600,n,8,1", 0},  // a pseudo-terminal refuses DTR/RTS: open all the same
        {kPtyPort, "9600,n,8,1", 1},  // already open
    };
    for (const auto& [n, settings, result] : cases)
        EXPECT_EQ(port.open(n, settings), result) << n << " " << settings;
    EXPECT_EQ(port.deviceName(kPtyPort), pty.path);
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.write(ByteVec{1}));
}

TEST_F(SerialPtyTest, FramesBothWays) {
    cmdOpenCom_Click(ctx);
    ASSERT_EQ(log().back(), "OpenPortCOM: OK");
    for (const auto& ex : allExchanges()) {
        ex.send(ctx);
        EXPECT_EQ(pty.take(ex.wire.size()), ex.wire) << ex.name;
    }

    // Answers cut across their frames, then a burst larger than the port's buffer.
    const std::size_t before = log().size();
    for (const ByteVec& piece :
         {ByteVec{0x02, 0x80, 0x00}, ByteVec{0x80, 0x03, 0x02, 0x91, 0x01, 0x01, 0x93}, ByteVec{0x03}}) {
        ASSERT_TRUE(pty.send(piece));
        Idle(20);
    }
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
    ASSERT_TRUE(RunUntil([&] { return log().size() >= before + 152; }, 5000))
        << log().size() - before << " answers";
    EXPECT_EQ(log()[before], ">>> AnsTestLink");
    EXPECT_EQ(log()[before + 1], ">>> AnsSelect: 0x01");
    EXPECT_EQ(static_cast<std::uint8_t>(ctx.st.sReadData[0]), 149);
}

TEST_F(SerialPtyTest, HangUpClosesThePortWithoutSpinning) {
    cmdOpenCom_Click(ctx);
    ASSERT_EQ(log().back(), "OpenPortCOM: OK");
    pty.hangUp();
    ASSERT_TRUE(RunUntil([&] { return !port.isOpen(); }, 2000)) << "the hang-up was not noticed";
    EXPECT_EQ(log().back(), "Link lost");
    const int errors = port.deviceErrors();
    EXPECT_GE(errors, 1);

    const double before = cpuSeconds();
    Idle(1000);
    EXPECT_LT(cpuSeconds() - before, 0.2) << "the event loop kept busy after the device went away";
    EXPECT_EQ(port.deviceErrors(), errors) << "the error came again";

    EXPECT_EQ(EnviaTrama(ctx, 0x00, 0, {}), 3);
    cmdClose_Click(ctx);
    EXPECT_EQ(log().back(), "ClosePort: OK");
}

}  // namespace
}  // namespace zt::test
