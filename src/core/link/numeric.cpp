#include "core/link/numeric.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "core/link/hexlib.h"

namespace zt {

namespace {
// A carriage return is not among them: it ends the number.
bool skippable(char c) {
    return c == ' ' || c == '\t' || c == '\n';
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

bool digit(char c) {
    return c >= '0' && c <= '9';
}
}  // namespace

double NumVal(std::string_view text) {
    const std::string s = squeeze(text);
    std::size_t i = 0;
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        // The digits after "&H" as they stand: never negative, however many there are.
        double v = 0;
        for (i = 2; i < s.size() && HexDigit(s[i]) >= 0; ++i) v = v * 16 + HexDigit(s[i]);
        return v;
    }
    double sign = 1;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        if (s[i] == '-') sign = -1;
        ++i;
    }
    // Whole and fractional digits are read as one text ("0" in front of a bare fraction), so that
    // "0.1" gives the double nearest to 0.1 whatever the locale. No exponent: "1E3" is 1.
    std::string number = "0";
    bool any = false;
    for (; i < s.size() && digit(s[i]); ++i, any = true) number.push_back(s[i]);
    if (i < s.size() && s[i] == '.') {
        number.push_back('.');
        for (++i; i < s.size() && digit(s[i]); ++i, any = true) number.push_back(s[i]);
    }
    if (!any) return 0;
    if (number.back() == '.') number.pop_back();
    double v = 0;
    const char* first = number.data();
    if (std::from_chars(first, first + number.size(), v, std::chars_format::fixed).ec != std::errc{})
        v = std::numeric_limits<double>::infinity();
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
