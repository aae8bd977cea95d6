#include "support/fakes.h"

#include <iterator>

namespace zt::test {

bool FakeSocket::connectTo(const std::string& h, std::uint16_t p) {
    host = h;
    port = p;
    ++attempts;
    connected = false;
    const auto attempt = ++attempt_;
    if (mode != Mode::Accept) return mode == Mode::Never;
    clock_.after(connectDelay, [this, attempt] {
        if (attempt != attempt_) return;  // closed or superseded meanwhile
        connected = true;
        if (onConnected) onConnected();
    });
    return true;
}

void FakeBox::show(const std::string& text, const std::string& title, BoxIcon icon,
                   std::function<void()> closed) {
    shown.push_back(Shown{text, title, icon, clock_.now()});
    ++open;
    if (autoCloseAfter < 0) return pending_.push_back(std::move(closed));
    clock_.after(autoCloseAfter, [this, closed = std::move(closed)] {
        --open;
        closed();
    });
}

std::optional<std::string> FakeFiles::readText(const std::string& path) const {
    if (realDir.empty()) return files.contains(path) ? std::optional(files.at(path)) : std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return Cp1252ToUtf8(std::string(std::istreambuf_iterator<char>(in), {}));
}

std::string Cp1252ToUtf8(const std::string& bytes) {
    static const char16_t k80[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                     0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    std::string out;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        const char32_t cp = b >= 0x80 && b <= 0x9F ? k80[b - 0x80] : b;
        const auto cont = [cp](int shift) { return static_cast<char>(0x80 | ((cp >> shift) & 0x3F)); };
        if (cp < 0x80) out += static_cast<char>(cp);
        if (cp >= 0x80 && cp < 0x800) out += {static_cast<char>(0xC0 | (cp >> 6)), cont(0)};
        if (cp >= 0x800) out += {static_cast<char>(0xE0 | (cp >> 12)), cont(6), cont(0)};
    }
    return out;
}

}  // namespace zt::test
