#include <algorithm>
#include <sstream>
#include <vector>

#include "core/app/ctx.h"
#include "core/i18n/catalogue.h"
#include "core/i18n/texts.h"
#include "core/i18n/tooltip.h"
#include "harnesses.h"
#include "support/fakes.h"

namespace zt::fuzz {

namespace {

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
    for (std::size_t k = 1; k <= 499 && next < lines.size(); ++k) {
        std::string joined = lines[next++];
        while (!joined.empty() && joined.back() == '~' && next < lines.size()) joined += lines[next++];
        for (char c : joined) mis[k] += c == '~' ? std::string("\r\n") : std::string(1, c);
    }
    return mis;
}

}  // namespace

std::string CheckLangInput(const std::uint8_t* data, std::size_t size) {
    // One window for all inputs: LoadMessages replaces the whole table and ApplyTexts rewrites every
    // caption, list and tooltip from it, so nothing of an earlier input survives.
    static test::FakeFiles files;
    static Ctx& ctx = []() -> Ctx& {
        static Ctx c{Platform{.files = &files}};
        c.st.aAtqa.assign(3, 0);
        c.st.aUid.assign(12, 0);
        return c;
    }();
    const std::string text = test::Cp1252ToUtf8(std::string(reinterpret_cast<const char*>(data), size));
    files.files["/zentap/MisI01.dat"] = text;
    LoadMessages(ctx);
    if (ctx.st.iIdioma != 5)
        return "one file present, but the language slot is " + std::to_string(ctx.st.iIdioma);
    for (std::size_t slot = 0; slot < 5; ++slot)
        for (const auto& m : ctx.st.Mis[slot])
            if (!m.empty()) return "a slot without a file holds text";
    const auto ref = ReferenceMessages(text);  // which holds no "~"
    if (!std::equal(ref.begin(), ref.end(), ctx.st.Mis[5].begin(), ctx.st.Mis[5].end()))
        return "the messages differ from the line reading";
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

}  // namespace zt::fuzz
