// Stand-ins for the desktop services, driven by the virtual clock.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/app/virtual_clock.h"
#include "core/platform/interfaces.h"

namespace zt::test {

using ByteVec = std::vector<std::uint8_t>;

// Keeps what leaves on an open link and hands it to the reader; false on a closed one.
inline bool Pass(bool open, std::vector<ByteVec>& kept, const std::function<void(Bytes)>& sink, Bytes bytes) {
    if (open) kept.emplace_back(bytes.begin(), bytes.end());
    if (open && sink) sink(bytes);
    return open;
}

class FakeSerial : public SerialPort {
public:
    std::set<int> freePorts{1};
    int openPort = 0;                                // 0: closed
    std::vector<std::pair<int, std::string>> opens;  // every attempt: port, settings
    std::vector<ByteVec> writes;
    std::function<void(Bytes)> sink;  // where written bytes go (the simulated reader)
    int open(int number, const std::string& settings) override {
        opens.emplace_back(number, settings);
        if (openPort != 0 || !freePorts.contains(number)) return 1;
        openPort = number;
        return 0;
    }
    void close() override { openPort = 0; }
    bool isOpen() const override { return openPort != 0; }
    bool write(Bytes bytes) override { return Pass(openPort != 0, writes, sink, bytes); }
    std::string deviceName(int number) const override { return "/dev/ttyS" + std::to_string(number - 1); }
    // Bytes arriving from the reader (delivered as one event).
    void deliver(const ByteVec& bytes) {
        if (openPort != 0 && onData) onData(Bytes(bytes.data(), bytes.size()));
    }
    // The device goes away: the port closes and the loss is reported.
    void lose() {
        const bool was = openPort != 0;
        openPort = 0;
        if (was && onLost) onLost();
    }
};

class FakeSocket : public TcpSocket {
public:
    enum class Mode { Accept, Never, Fail };
    explicit FakeSocket(VirtualClock& clock) : clock_(clock) {}
    Mode mode = Mode::Accept;
    Micros connectDelay = 50'000;
    std::string host;
    std::uint16_t port = 0;
    bool connected = false;
    int attempts = 0;
    std::vector<ByteVec> sends;
    std::function<void(Bytes)> sink;
    bool connectTo(const std::string& h, std::uint16_t p) override;
    void close() override {
        ++attempt_;
        connected = false;
    }
    bool send(Bytes bytes) override { return Pass(connected, sends, sink, bytes); }
    void deliver(const ByteVec& bytes) {
        if (connected && onData) onData(Bytes(bytes.data(), bytes.size()));
    }
    // The peer resets the connection.
    void reset() {
        if (!connected) return;
        close();
        if (onLost) onLost();
    }

private:
    VirtualClock& clock_;
    std::uint64_t attempt_ = 0;
};

class FakeBox : public MessageBox {
public:
    struct Shown {
        std::string text, title;
        BoxIcon icon;
        Micros at;
    };
    explicit FakeBox(VirtualClock& clock) : clock_(clock) {}
    // The operator presses OK this long after a box opens; negative: the box stays open.
    Micros autoCloseAfter = 1'000'000;
    std::vector<Shown> shown;
    int open = 0;
    void show(const std::string& text, const std::string& title, BoxIcon icon,
              std::function<void()> closed) override;
    // Questions are answered at once with `answer` (-1: the last, rejecting button).
    int answer = -1;
    std::vector<Shown> asked;
    void ask(const std::string& text, const std::string& title, BoxIcon icon, std::vector<std::string> buttons,
             std::function<void(int)> answered) override {
        asked.push_back({text, title, icon, 0});
        if (answered) answered(answer < 0 ? static_cast<int>(buttons.size()) - 1 : answer);
    }

private:
    VirtualClock& clock_;
    std::vector<std::function<void()>> pending_;
};

class FakeShell : public Shell {
public:
    std::vector<std::string> opened;
    void openUrl(const std::string& url) override { opened.push_back(url); }
};

class FakeTips : public TooltipHost {
public:
    struct Tip {
        std::string control;
        TipSpec tip;
    };
    std::map<std::uint32_t, Tip> live;
    std::uint32_t created = 0;
    std::uint32_t create(const std::string& control, const TipSpec& tip) override {
        live[++created] = Tip{control, tip};
        return created;
    }
    void destroy(std::uint32_t handle) override { live.erase(handle); }
    void update(std::uint32_t handle, const TipSpec& tip) override {
        if (live.contains(handle)) live[handle].tip = tip;
    }
    // The live tip of a control, or nullptr.
    const Tip* of(const std::string& control) const {
        for (const auto& [h, t] : live)
            if (t.control == control) return &t;
        return nullptr;
    }
};

// Save dialogs answered at once with `path`; files written to memory.
struct FakeSave : SaveFile {
    std::vector<std::vector<std::string>> asked;  // title, name, filter
    std::string path = "/out/saved";
    std::map<std::string, std::string> files;
    void choose(const std::string& t, const std::string& n, const std::string& f,
                std::function<void(std::string)> chosen) override {
        asked.push_back({t, n, f});
        chosen(path);
    }
    bool write(const std::string& p, const std::string& bytes) override { return files[p] = bytes, true; }
    void setLanguage(const std::string&) override {}
};

// Files in memory (already UTF-8), or a real folder read as Windows-1252.
class FakeFiles : public FileSystem {
public:
    std::string dir = "/zentap";
    std::map<std::string, std::string> files;  // full path -> UTF-8 text
    std::string realDir;                       // non-empty: read this folder from disk instead
    std::string programDir() const override { return realDir.empty() ? dir : realDir; }
    char separator() const override { return '/'; }
    bool exists(const std::string& path) const override {
        return realDir.empty() ? files.contains(path) : std::ifstream(path, std::ios::binary).good();
    }
    std::optional<std::string> readText(const std::string& path) const override;
};

// Windows-1252 bytes to UTF-8.
std::string Cp1252ToUtf8(const std::string& bytes);

}  // namespace zt::test
