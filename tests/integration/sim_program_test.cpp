// The zentap-reader-sim program from its command line: its serial link, one client at a time on
// TCP, a dropped link, a port already taken. The loopback tests run whole cards through it on TCP.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <QHostAddress>
#include <QTcpServer>
#include <chrono>
#include <filesystem>

#include "sim/frame.h"
#include "sim_process.h"

namespace zt::test {
namespace {

namespace fs = std::filesystem;
using sim::Frame;
namespace code = sim::code;
using ByteVec = std::vector<std::uint8_t>;

/// A host on a file descriptor: sends frames, cuts what comes back into frames.
class Client {
public:
    explicit Client(int fd) : fd_(fd) {}
    ~Client() {
        if (fd_ >= 0) ::close(fd_);
    }
    std::optional<Frame> ask(std::uint8_t c, ByteVec data = {}) {
        const auto f = sim::makeFrame(c, data);
        if (::write(fd_, f.data(), f.size()) != static_cast<ssize_t>(f.size())) return std::nullopt;
        return next(static_cast<std::uint8_t>(c + 0x80));
    }
    /// The next frame with the given code, or nullopt after 3 s; `alive` turns false when the link died.
    std::optional<Frame> next(std::uint8_t c) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < end) {
            for (auto it = pending_.begin(); it != pending_.end(); ++it)
                if (it->code == c) {
                    Frame got = *it;
                    pending_.erase(it);
                    return got;
                }
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            std::uint8_t chunk[256];
            const ssize_t n = ::read(fd_, chunk, sizeof chunk);
            if (n <= 0) {
                alive = false;
                return std::nullopt;
            }
            for (auto& fr : assembler_.feed(std::span(chunk, static_cast<std::size_t>(n))))
                pending_.push_back(std::move(fr));
        }
        return std::nullopt;
    }

    bool alive = true;

private:
    int fd_;
    sim::FrameAssembler assembler_;
    std::vector<Frame> pending_;
};

int ConnectTcp(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

TEST(SimProgram, SerialLinkThroughItsNamedLink) {
    const fs::path dir = fs::temp_directory_path() / ("zt-sim-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path link = dir / "ttySIM0";
    {
        SimProcess sim({"--headless", "--serial", "--link", QString::fromStdString(link.string()), "--timing",
                        "instant"});
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

TEST(SimProgram, OneTcpClientAtATimeAndDroppedLinks) {
    SimProcess sim({"--headless", "--port", "0", "--timing", "38400", "--seed", "1"});
    const std::uint16_t port = sim.port();
    ASSERT_NE(port, 0) << sim.errors().toStdString();
    Client c(ConnectTcp(port));
    ASSERT_EQ(c.ask(code::TestLink), (Frame{0x80, {}}));

    // A second client is turned away, the first goes on.
    Client second(ConnectTcp(port));
    EXPECT_FALSE(second.ask(code::TestLink));
    EXPECT_FALSE(second.alive);
    EXPECT_TRUE(c.ask(code::TestLink));

    // A link drop is a reset seen by the client; the next client is taken.
    EXPECT_EQ(sim.command("fault 01 link-drop next"), "ok fault StartUp link-drop next");
    EXPECT_FALSE(c.ask(code::StartUp));
    EXPECT_FALSE(c.alive);
    Client again(ConnectTcp(port));
    EXPECT_TRUE(again.ask(code::StartUp));
    sim.command("quit");
    EXPECT_EQ(sim.exitCode(), 0);
}

TEST(SimProgram, PortInUseIsExplained) {
    App();
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    SimProcess sim({"--headless", "--port", QString::number(taken.serverPort())});
    EXPECT_EQ(sim.exitCode(), 2);
    EXPECT_TRUE(sim.errors().contains("cannot listen on 127.0.0.1:"));
}

}  // namespace
}  // namespace zt::test
