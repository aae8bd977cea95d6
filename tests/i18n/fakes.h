// Stand-ins for the desktop in the catalogue and window-text tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/platform/interfaces.h"

namespace zt::test {

// Windows-1252 to UTF-8, enough for the language files.
inline std::string Cp1252ToUtf8(const std::string& bytes) {
    static constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        const char32_t u = (b >= 0x80 && b <= 0x9F) ? kHigh[b - 0x80] : b;
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The folder of the real language files: beside the test program (where the build copies them),
// else the source tree's lang/.
inline std::string LangDir() {
    std::vector<std::string> dirs;
    if (const char* bin = std::getenv("ZT_BIN_DIR")) dirs.emplace_back(bin);
    dirs.emplace_back(".");
    if (const char* src = std::getenv("ZT_SOURCE_DIR")) dirs.push_back(std::string(src) + "/lang");
    const std::string here = __FILE__;
    dirs.push_back(here.substr(0, here.rfind('/') + 1) + "../../lang");
    for (const auto& d : dirs) {
        if (std::ifstream(d + "/MisI01.dat").good()) return d;
    }
    return "lang";
}

// A program folder holding files given as Windows-1252 bytes.
class FakeFileSystem : public FileSystem {
public:
    explicit FakeFileSystem(std::string dir = "/opt/zentap", char sep = '/')
        : dir_(std::move(dir)), sep_(sep) {}

    void put(int n, std::string bytes) { files_[path(n)] = std::move(bytes); }
    void putUnreadable(int n) { unreadable_.push_back(path(n)); }
    std::string path(int n) const {
        return dir_ + (dir_.size() > 3 ? std::string(1, sep_) : "") + "MisI0" + std::to_string(n) + ".dat";
    }
    // The real file `n` of the language folder.
    void putReal(int n) { put(n, ReadBytes(LangDir() + "/MisI0" + std::to_string(n) + ".dat")); }

    std::string programDir() const override { return dir_; }
    char separator() const override { return sep_; }
    bool exists(const std::string& p) const override {
        asked.push_back(p);
        return files_.count(p) != 0 ||
               std::find(unreadable_.begin(), unreadable_.end(), p) != unreadable_.end();
    }
    std::optional<std::string> readText(const std::string& p) const override {
        auto it = files_.find(p);
        if (it == files_.end()) return std::nullopt;
        return Cp1252ToUtf8(it->second);
    }

    mutable std::vector<std::string> asked;

private:
    std::string dir_;
    char sep_;
    std::map<std::string, std::string> files_;
    std::vector<std::string> unreadable_;
};

// Tooltips as records: which control, which contents, which are still alive.
class FakeTooltipHost : public TooltipHost {
public:
    struct Tip {
        std::string control;
        TipSpec spec;
    };
    std::uint32_t create(Control& control, const TipSpec& tip) override {
        const std::uint32_t h = next++;
        live[h] = Tip{control.name(), tip};
        created.push_back(h);
        return h;
    }
    void update(std::uint32_t handle, const TipSpec& tip) override {
        auto it = live.find(handle);
        if (it != live.end()) it->second.spec = tip;
    }
    void destroy(std::uint32_t handle) override {
        destroyed.push_back(handle);
        live.erase(handle);
    }
    // The live tip of a control, or nullptr.
    const Tip* of(const std::string& control) const {
        const Tip* found = nullptr;
        for (const auto& [h, tip] : live) {
            if (tip.control == control) found = &tip;
        }
        return found;
    }

    std::map<std::uint32_t, Tip> live;
    std::vector<std::uint32_t> created;
    std::vector<std::uint32_t> destroyed;
    std::uint32_t next = 1;
};

// Serial ports named like the Linux table: 1..32 /dev/ttyS0.., 33..48 /dev/ttyUSB0.., others none.
class FakeSerialPort : public SerialPort {
public:
    int open(int, const std::string&) override { return 1; }
    void close() override {}
    bool isOpen() const override { return false; }
    bool write(Bytes) override { return false; }
    std::string deviceName(int n) const override {
        if (n >= 1 && n <= 32) return "/dev/ttyS" + std::to_string(n - 1);
        if (n >= 33 && n <= 48) return "/dev/ttyUSB" + std::to_string(n - 33);
        return {};
    }
};

}  // namespace zt::test
