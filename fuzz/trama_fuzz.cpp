#include "core/encode/config_card.h"
#include "harnesses.h"

namespace zt::fuzz {

std::string CheckTramaInput(const std::uint8_t* data, std::size_t size) {
    const std::string in(reinterpret_cast<const char*>(data), size);
    const std::string got = ConvTramaText(in);
    if (got.size() > in.size()) return "the expansion is longer than its input";
    if (in.find("&H") == std::string::npos && got != in) return "a text without \"&H\" changed";
    // The reference: a token "&H" with up to two characters after it becomes the character of their
    // leading hex digits. The scan ends when the output has reached the length of the input
    // (replacing in place never lets the scan position pass it); the rest is copied as is.
    auto hex = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1; };
    std::string want;
    std::size_t i = 0;
    while (i < in.size() && want.size() < in.size()) {
        if (in[i] != '&' || i + 1 >= in.size() || in[i + 1] != 'H') {
            want += in[i++];
            continue;
        }
        const std::size_t digits = std::min<std::size_t>(2, in.size() - i - 2);
        int value = 0;
        for (std::size_t d = 0; d < digits && hex(in[i + 2 + d]) >= 0; ++d) value = value * 16 + hex(in[i + 2 + d]);
        want += static_cast<char>(value);
        i += 2 + digits;
    }
    want.append(in, i, std::string::npos);
    return got == want ? std::string() : "the expansion differs from the left-to-right reading";
}

}  // namespace zt::fuzz
