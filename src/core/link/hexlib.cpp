#include "core/link/hexlib.h"

namespace zt {

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";
}  // namespace

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

unsigned LeadingHex(std::string_view text, std::size_t maxDigits) {
    unsigned v = 0;
    for (std::size_t i = 0; i < text.size() && i < maxDigits; ++i) {
        const int d = HexDigit(text[i]);
        if (d < 0) break;
        v = v * 16 + static_cast<unsigned>(d);
    }
    return v;
}

namespace TarvexLib01 {

std::string ByteToHex(std::uint8_t b) {
    return {kDigits[b >> 4], kDigits[b & 0x0F]};
}

std::string StrToHex(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0x0F]);
    }
    return out;
}

std::uint8_t HexToByte(std::string_view text) {
    return static_cast<std::uint8_t>(LeadingHex(text, 2));
}

std::string HexToStr(std::string_view hex) {
    std::string out;
    out.reserve((hex.size() + 1) / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2)
        out.push_back(static_cast<char>(HexToByte(hex.substr(i, 2))));
    return out;
}

}  // namespace TarvexLib01

bool CheckHex(std::string_view text, std::size_t n) {
    if (text.size() != n) return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

}  // namespace zt
