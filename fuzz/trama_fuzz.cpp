#include "trama_fuzz.h"

#include <cstdio>
#include <cstdlib>

#include "core/encode/config_card.h"

namespace zt::fuzz {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Copies the input to the output; a token "&H" with up to two characters after it becomes the
// character of their leading hex digits. The scan ends when the output has reached the length of
// the input (replacing in place never lets the scan position pass it); the rest is copied as is.
std::string Reference(const std::string& in) {
    std::string out;
    std::size_t i = 0;
    while (i < in.size() && out.size() < in.size()) {
        if (in[i] == '&' && i + 1 < in.size() && in[i + 1] == 'H') {
            const std::size_t digits = std::min<std::size_t>(2, in.size() - i - 2);
            int value = 0;
            for (std::size_t d = 0; d < digits; ++d) {
                const int v = HexDigit(in[i + 2 + d]);
                if (v < 0) break;
                value = value * 16 + v;
            }
            out += static_cast<char>(value);
            i += 2 + digits;
        } else {
            out += in[i++];
        }
    }
    out.append(in, i, std::string::npos);
    return out;
}

}  // namespace

std::string CheckTramaInput(const std::uint8_t* data, std::size_t size) {
    const std::string in(reinterpret_cast<const char*>(data), size);
    const std::string got = ConvTramaText(in);
    if (got.size() > in.size()) return "the expansion is longer than its input";
    if (in.find("&H") == std::string::npos && got != in) return "a text without \"&H\" changed";
    if (got != Reference(in)) return "the expansion differs from the left-to-right reading";
    return {};
}

void FuzzTrama(const std::uint8_t* data, std::size_t size) {
    if (const std::string err = CheckTramaInput(data, size); !err.empty()) {
        std::fprintf(stderr, "trama: %s\n", err.c_str());
        std::abort();
    }
}

}  // namespace zt::fuzz
