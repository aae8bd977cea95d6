#include "core/link/numeric.h"

#include <cmath>
#include <string>

#include "core/link/hexlib.h"

namespace zt {

namespace {
bool skippable(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Characters of the text with the skipped ones left out.
std::string squeeze(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (!skippable(c)) s.push_back(c);
    }
    return s;
}
}  // namespace

double NumVal(std::string_view text) {
    const std::string s = squeeze(text);
    std::size_t i = 0;
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        // Hex numbers are 32-bit and read as signed, like the classic "&HFFFFFFFF" = -1.
        std::uint64_t v = 0;
        std::size_t digits = 0;
        for (i = 2; i < s.size(); ++i) {
            const int d = HexDigit(s[i]);
            if (d < 0) break;
            v = ((v << 4) | static_cast<unsigned>(d)) & 0xFFFFFFFFull;
            ++digits;
        }
        if (digits == 0) return 0;
        if (digits <= 4 && v >= 0x8000) return static_cast<double>(static_cast<std::int16_t>(v));
        return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
    }
    double sign = 1;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        if (s[i] == '-') sign = -1;
        ++i;
    }
    double v = 0;
    bool any = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        v = v * 10 + (s[i] - '0');
        any = true;
    }
    if (i < s.size() && s[i] == '.') {
        double scale = 0.1;
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
            v += (s[i] - '0') * scale;
            scale /= 10;
            any = true;
        }
    }
    if (!any) return 0;
    // An exponent ("1E3") belongs to the number as well.
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        std::size_t j = i + 1;
        double esign = 1;
        if (j < s.size() && (s[j] == '-' || s[j] == '+')) {
            if (s[j] == '-') esign = -1;
            ++j;
        }
        int e = 0;
        bool edig = false;
        for (; j < s.size() && s[j] >= '0' && s[j] <= '9' && e < 400; ++j) {
            e = e * 10 + (s[j] - '0');
            edig = true;
        }
        if (edig) v *= std::pow(10.0, esign * e);
    }
    return sign * v;
}

double RoundHalfEven(double v) {
    return std::nearbyint(v);
}

std::optional<std::int16_t> NumVal16(std::string_view text) {
    const double r = RoundHalfEven(NumVal(text));
    if (!(r >= -32768.0 && r <= 32767.0)) return std::nullopt;
    return static_cast<std::int16_t>(r);
}

std::optional<std::int32_t> NumVal32(std::string_view text) {
    const double r = RoundHalfEven(NumVal(text));
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return std::nullopt;
    return static_cast<std::int32_t>(r);
}

}  // namespace zt
