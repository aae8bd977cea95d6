// The zentap-reader-sim program, started as a child process, against a real TCP client and a real
// pseudo-terminal client.
#include "sim/frame.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>

namespace zt::sim {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

fs::path programPath() {
    if (const char* dir = std::getenv("ZT_BIN_DIR")) return fs::path(dir) / "zentap-reader-sim";
    return fs::read_symlink("/proc/self/exe").parent_path() / "zentap-reader-sim";
}

class Program {
public:
    explicit Program(std::vector<std::string> args) {
        int in[2], out[2], err[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
            for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) ::close(fd);
            const std::string path = programPath().string();
            std::vector<char*> argv{const_cast<char*>(path.c_str())};
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::execv(path.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        ::close(err[1]);
        stdin_ = in[1];
        stdout_ = out[0];
        stderr_ = err[0];
    }
    ~Program() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGTERM);
            wait();
        }
        for (int fd : {stdin_, stdout_, stderr_})
            if (fd >= 0) ::close(fd);
    }

    void command(const std::string& line) {
        const std::string l = line + "\n";
        ASSERT_EQ(::write(stdin_, l.data(), l.size()), static_cast<ssize_t>(l.size()));
    }
    /// The next stdout line that starts with `prefix` (others are skipped), or "" after 5 s.
    std::string lineStartingWith(const std::string& prefix) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < end) {
            const auto nl = buf_.find('\n');
            if (nl != std::string::npos) {
                std::string line = buf_.substr(0, nl);
                buf_.erase(0, nl + 1);
                if (line.rfind(prefix, 0) == 0) return line;
                continue;
            }
            pollfd p{stdout_, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                char chunk[512];
                const ssize_t n = ::read(stdout_, chunk, sizeof chunk);
                if (n <= 0) break;
                buf_.append(chunk, static_cast<std::size_t>(n));
            }
        }
        return {};
    }
    int wait() {
        int status = 0;
        for (int i = 0; i < 50 && !exited_; ++i) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            } else {
                ::usleep(100'000);
            }
        }
        if (!exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            exited_ = true;
            code_ = -1;
        }
        return code_;
    }
    std::string errors() {
        std::string s;
        char chunk[512];
        ssize_t n;
        while ((n = ::read(stderr_, chunk, sizeof chunk)) > 0) s.append(chunk, static_cast<std::size_t>(n));
        return s;
    }
    bool started() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
    int stdin_ = -1, stdout_ = -1, stderr_ = -1;
    std::string buf_;
    bool exited_ = false;
    int code_ = -1;
};

/// A host on a file descriptor: sends frames, cuts what comes back into frames.
class Client {
public:
    explicit Client(int fd) : fd_(fd) {}
    ~Client() {
        if (fd_ >= 0) ::close(fd_);
    }
    void send(std::uint8_t c, Bytes data = {}) {
        const auto f = makeFrame(c, data);
        ASSERT_EQ(::write(fd_, f.data(), f.size()), static_cast<ssize_t>(f.size()));
    }
    /// The next frame with the given code, or nullopt after 3 s; false `alive` when the link died.
    std::optional<Frame> next(std::uint8_t c) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < end) {
            for (std::size_t i = 0; i < pending_.size(); ++i)
                if (pending_[i].code == c) {
                    Frame f = pending_[i];
                    pending_.erase(pending_.begin() + static_cast<long>(i));
                    return f;
                }
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            std::uint8_t chunk[256];
            const ssize_t n = ::read(fd_, chunk, sizeof chunk);
            if (n <= 0) {
                alive = false;
                return std::nullopt;
            }
            for (auto& f : assembler_.feed(std::span(chunk, static_cast<std::size_t>(n))))
                pending_.push_back(std::move(f));
        }
        return std::nullopt;
    }
    std::optional<Frame> ask(std::uint8_t c, Bytes data = {}) {
        send(c, std::move(data));
        return next(static_cast<std::uint8_t>(c + 0x80));
    }

    bool alive = true;

private:
    int fd_;
    FrameAssembler assembler_;
    std::vector<Frame> pending_;
};

int connectTcp(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

/// TestLink, card report, Select, key, Login, Write, Read, Halt: one card as the tool makes it.
void oneCard(Program& prog, Client& c) {
    ASSERT_EQ(c.ask(code::TestLink), (Frame{0x80, {}}));
    prog.command("present 1k 0A0B0C0D");
    EXPECT_EQ(prog.lineStartingWith("ok"), "ok present 1k 0A0B0C0D");
    EXPECT_EQ(c.next(code::CardReport), (Frame{0x90, {0xA1, 0x04, 0x00, 0x0A, 0x0B, 0x0C, 0x0D}}));
    EXPECT_EQ(c.ask(code::Select), (Frame{0x91, {1}}));
    EXPECT_EQ(c.ask(code::WriteKeyE2P, {5, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), (Frame{0xA0, {0}}));
    EXPECT_EQ(c.ask(code::Login, {4, 0, 5}), (Frame{0xA1, {0}}));
    Bytes block{4, 0x10, 0x00, 0x00, 0x00, 0x09};
    block.resize(17, 0xFF);
    EXPECT_EQ(c.ask(code::Write, block), (Frame{0xA3, {0}}));
    EXPECT_EQ(c.ask(code::Read, {4}), (Frame{0xA2, Bytes(block.begin() + 1, block.end())}));
    EXPECT_EQ(c.ask(code::Halt), (Frame{0x92, {0}}));
    EXPECT_EQ(c.ask(code::DOutTemp, {2, 10}), (Frame{0x86, {}}));
    EXPECT_EQ(prog.lineStartingWith("event output"), "event output beeper 100ms");
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(programPath())) GTEST_SKIP() << programPath() << " is not built";
    }
};

TEST_F(ProgramTest, TcpClient) {
    Program prog({"--headless", "--port", "0", "--timing", "38400", "--seed", "1"});
    ASSERT_TRUE(prog.started());
    const std::string line = prog.lineStartingWith("listening tcp 127.0.0.1:");
    ASSERT_FALSE(line.empty()) << prog.errors();
    const int port = std::stoi(line.substr(line.rfind(':') + 1));
    Client c(connectTcp(port));
    oneCard(prog, c);

    // One client at a time: a second one is turned away, the first goes on.
    Client second(connectTcp(port));
    EXPECT_FALSE(second.ask(code::TestLink));
    EXPECT_FALSE(second.alive);
    EXPECT_TRUE(c.ask(code::TestLink));

    // A link drop is a reset seen by the client.
    prog.command("fault 01 link-drop next");
    EXPECT_EQ(prog.lineStartingWith("ok"), "ok fault StartUp link-drop next");
    EXPECT_FALSE(c.ask(code::StartUp));
    EXPECT_FALSE(c.alive);
    Client again(connectTcp(port));
    EXPECT_TRUE(again.ask(code::StartUp));

    prog.command("quit");
    EXPECT_EQ(prog.wait(), 0);
}

TEST_F(ProgramTest, SerialClient) {
    const fs::path dir = fs::temp_directory_path() / ("zt-sim-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path link = dir / "ttySIM0";
    {
        Program prog({"--headless", "--serial", "--link", link.string(), "--timing", "instant"});
        ASSERT_TRUE(prog.started());
        const std::string line = prog.lineStartingWith("serial /dev/pts/");
        ASSERT_FALSE(line.empty()) << prog.errors();
        EXPECT_EQ(fs::read_symlink(link), line.substr(7));
        const int fd = ::open(link.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        termios tio{};
        ::tcgetattr(fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
        Client c(fd);
        oneCard(prog, c);
        prog.command("quit");
        EXPECT_EQ(prog.wait(), 0);
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));  // the link goes with the program
    fs::remove_all(dir);
}

TEST_F(ProgramTest, PortInUseIsExplained) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(fd, 1), 0);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    Program prog({"--headless", "--port", std::to_string(ntohs(a.sin_port))});
    EXPECT_EQ(prog.wait(), 2);
    EXPECT_NE(prog.errors().find("cannot listen on 127.0.0.1:"), std::string::npos);
    ::close(fd);
}

}  // namespace
}  // namespace zt::sim
