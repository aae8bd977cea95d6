#include "core/i18n/catalogue.h"

#include <optional>
#include <vector>

namespace zt {

namespace {

constexpr int kLastReadMessage = 499;

// The physical lines of a file: ended by CR LF or by a bare LF; a last line without an end counts.
std::vector<std::string_view> PhysicalLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (lf == std::string_view::npos) break;
        text.remove_prefix(lf + 1);
    }
    return lines;
}

std::string TildesToLineBreaks(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 8);
    for (char c : s) {
        if (c == '~') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::array<std::string, kMessages> ParseMessages(std::string_view fileText) {
    std::array<std::string, kMessages> mis{};
    const auto lines = PhysicalLines(fileText);
    std::size_t next = 0;
    for (int k = 1; k <= kLastReadMessage && next < lines.size(); ++k) {
        std::string text(lines[next++]);
        // A message ending in "~" goes on with the next physical line, as long as there is one.
        while (!text.empty() && text.back() == '~' && next < lines.size()) text += lines[next++];
        mis[static_cast<std::size_t>(k)] = TildesToLineBreaks(text);
    }
    return mis;
}

void LoadMessages(Ctx& ctx) {
    auto& st = ctx.st;
    for (auto& slot : st.Mis) slot.fill(std::string{});
    int count = 0;
    if (FileSystem* fs = ctx.pf.files) {
        std::string folder = fs->programDir();
        // A drive root ("C:\") already ends with its separator.
        if (folder.size() > 3) folder += fs->separator();
        for (int n = 5; n >= 1; --n) {
            const std::string path = folder + "MisI0" + std::to_string(n) + ".dat";
            if (!fs->exists(path)) continue;
            // A file that is there but cannot be read is passed over like a missing one.
            const std::optional<std::string> text = fs->readText(path);
            if (!text) continue;
            st.Mis[static_cast<std::size_t>(5 - count)] = ParseMessages(*text);
            ++count;
        }
    }
    st.iIdioma = static_cast<std::int16_t>(count == 0 ? 0 : 6 - count);
}

}  // namespace zt
