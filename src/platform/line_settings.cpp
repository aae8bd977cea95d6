#include "platform/line_settings.h"

#include <cctype>
#include <charconv>
#include <string_view>
#include <vector>

namespace zt {

namespace {

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::optional<std::int32_t> Integer(std::string_view s) {
    std::int32_t v = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || error != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

}  // namespace

std::optional<LineSettings> ParseLineSettings(const std::string& text) {
    std::vector<std::string_view> parts;
    for (std::string_view rest = text;;) {
        const auto comma = rest.find(',');
        parts.push_back(Trimmed(rest.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    if (parts.size() != 4) return std::nullopt;
    LineSettings s;

    const auto baud = Integer(parts[0]);
    if (!baud || *baud <= 0) return std::nullopt;
    s.baud = *baud;

    if (parts[1].size() != 1) return std::nullopt;
    switch (std::tolower(static_cast<unsigned char>(parts[1][0]))) {
        case 'n': s.parity = Parity::None; break;
        case 'e': s.parity = Parity::Even; break;
        case 'o': s.parity = Parity::Odd; break;
        case 'm': s.parity = Parity::Mark; break;
        case 's': s.parity = Parity::Space; break;
        default: return std::nullopt;
    }

    const auto bits = Integer(parts[2]);
    if (!bits || *bits < 5 || *bits > 8) return std::nullopt;
    s.dataBits = *bits;

    if (parts[3] == "1")
        s.stopBits = StopBits::One;
    else if (parts[3] == "1.5")
        s.stopBits = StopBits::OneAndHalf;
    else if (parts[3] == "2")
        s.stopBits = StopBits::Two;
    else
        return std::nullopt;
    return s;
}

}  // namespace zt
