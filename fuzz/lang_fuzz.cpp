#include "lang_fuzz.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

#include "core/app/ctx.h"
#include "core/i18n/catalogue.h"
#include "core/i18n/texts.h"
#include "core/i18n/tooltip.h"

namespace zt::fuzz {

namespace {

class MemoryFiles : public FileSystem {
public:
    std::map<std::string, std::string> files;  // path -> raw bytes
    std::string programDir() const override { return "/zentap"; }
    char separator() const override { return '/'; }
    bool exists(const std::string& path) const override { return files.count(path) != 0; }
    std::optional<std::string> readText(const std::string& path) const override {
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return Cp1252ToUtf8(it->second);
    }
};

// The file read the slow way: std::getline over the lines, a CR before the LF dropped, a line
// ending in "~" joined with the next as long as there is one, then every "~" a CR LF.
std::vector<std::string> ReferenceMessages(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    std::vector<std::string> mis(kMessages);
    std::size_t next = 0;
    for (int k = 1; k <= 499 && next < lines.size(); ++k) {
        std::string joined = lines[next++];
        while (!joined.empty() && joined.back() == '~' && next < lines.size()) joined += lines[next++];
        std::string out;
        for (char c : joined) out += c == '~' ? std::string("\r\n") : std::string(1, c);
        mis[static_cast<std::size_t>(k)] = out;
    }
    return mis;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    static constexpr char16_t k80[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                         0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                         0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                         0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        const char32_t cp = b >= 0x80 && b <= 0x9F ? k80[b - 0x80] : b;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::string CheckLangInput(const std::uint8_t* data, std::size_t size) {
    // One window for all inputs: LoadMessages replaces the whole table and ApplyTexts rewrites every
    // caption, list and tooltip from it, so nothing of an earlier input survives.
    static MemoryFiles files;
    static Ctx& ctx = []() -> Ctx& {
        Platform pf;
        pf.files = &files;
        static Ctx c{pf};
        c.st.aAtqa.assign(3, 0);
        c.st.aUid.assign(12, 0);
        return c;
    }();
    const std::string raw(reinterpret_cast<const char*>(data), size);
    files.files["/zentap/MisI01.dat"] = raw;

    LoadMessages(ctx);
    if (ctx.st.iIdioma != 5)
        return "one file present, but the language slot is " + std::to_string(ctx.st.iIdioma);
    const auto& mis = ctx.st.Mis[5];
    for (int slot = 0; slot < 5; ++slot) {
        for (const auto& m : ctx.st.Mis[static_cast<std::size_t>(slot)]) {
            if (!m.empty()) return "a slot without a file holds text";
        }
    }
    if (!mis[0].empty() || !mis[500].empty()) return "message 0 or 500 is not empty";
    const auto ref = ReferenceMessages(Cp1252ToUtf8(raw));
    for (int k = 1; k < kMessages; ++k) {
        const auto& m = mis[static_cast<std::size_t>(k)];
        if (m != ref[static_cast<std::size_t>(k)])
            return "message " + std::to_string(k) + " differs from the line reading";
        if (m.find('~') != std::string::npos) return "message " + std::to_string(k) + " keeps a \"~\"";
    }

    // The texts of this language into every control, then its own selector clicked and one of the
    // four whose slots hold no file.
    Tooltip tips(nullptr);
    tips.IniMaxTip(150);
    ApplyTexts(ctx, tips);
    cIdioma_Click(ctx, tips, 4);
    cIdioma_Click(ctx, tips, static_cast<int>(size % 4));
    if (ctx.st.iIdioma < 0 || ctx.st.iIdioma > 5) return "language slot out of range after the clicks";
    if (tips.iNumTip() > tips.iMaxTip()) return "more tooltips than the table holds";
    return {};
}

void FuzzLang(const std::uint8_t* data, std::size_t size) {
    if (const std::string err = CheckLangInput(data, size); !err.empty()) {
        std::fprintf(stderr, "lang: %s\n", err.c_str());
        std::abort();
    }
}

}  // namespace zt::fuzz
