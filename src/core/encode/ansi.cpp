#include "core/encode/ansi.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace zt {

namespace {
// Code points of the bytes 80h..9Fh; 0 where the code page has no character.
constexpr std::array<std::uint16_t, 32> kHigh{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char toCp1252(std::uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] != 0 && kHigh[i] == cp) return static_cast<char>(0x80 + i);
    }
    return '?';
}
}  // namespace

std::string ToAnsi(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t len = 0;
        std::uint32_t cp = 0;
        if (b < 0x80) {
            len = 1;
            cp = b;
        } else if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            cp = b & 0x07;
        }
        bool ok = len != 0 && i + len <= s.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) ok = false;
            cp = cp << 6 | (c & 0x3F);
        }
        if (!ok) {
            out.push_back(s[i]);
            ++i;
            continue;
        }
        out.push_back(toCp1252(cp));
        i += len;
    }
    return out;
}

std::string Right(std::string_view s, std::size_t n) {
    return std::string(s.size() <= n ? s : s.substr(s.size() - n));
}

std::string DecText(double v) {
    if (v == 0 || std::isnan(v)) return "0";
    if (std::isinf(v)) return v > 0 ? "1.#INF" : "-1.#INF";
    char buf[40];
    if (std::fabs(v) < 1e15 && std::nearbyint(v) == v) {
        std::snprintf(buf, sizeof buf, "%.0f", v);
    } else {
        std::snprintf(buf, sizeof buf, "%.15G", v);
    }
    return buf;
}

std::string DecChars(double v, std::size_t n) {
    return Right(std::string(n, '0') + DecText(v), n);
}

}  // namespace zt
