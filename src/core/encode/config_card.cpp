#include "core/encode/config_card.h"

#include "core/encode/ansi.h"
#include "core/encode/layouts.h"
#include "core/link/hexlib.h"
#include "core/link/numeric.h"

namespace zt {

namespace {
// Position k of the drop-down's text among messages first .. first + 5; the last match wins, 255
// when none matches.
int ComboPosition(const Ctx& ctx, const std::string& text, int first) {
    int k = 255;
    for (int i = 0; i <= 5; ++i) {
        if (text == GetMis(ctx, first + i)) k = i;
    }
    return k;
}

double FieldValue(const Control& c) {
    return NumVal(ToAnsi(c.text()));
}
}  // namespace

std::string GetCfgData(Ctx& ctx) {
    const auto& m = ctx.m;
    std::string s;
    s += DecChars(ComboPosition(ctx, m.cUnitTime.text(), 100), 1);
    s += DecChars(FieldValue(m.txtCfgTRele), 3);
    s += m.chkEspResList.value() == 1 ? "1" : "0";
    s += DecChars(ComboPosition(ctx, m.cTipList.text(), 110), 3);
    s += m.chkEspNodoTar.value() == 1 ? "FFFF" : "0" + DecChars(FieldValue(m.txtCfgNode), 3);
    s += DecChars(FieldValue(m.txtTScan), 2);

    std::string frameHex;
    std::size_t frameLen = 0;
    if (m.chkCfgRelExt.value() == 1) {
        const std::string frame = ConvTramaText(ToAnsi(m.txtTramaRelExt.text())).substr(0, 32);
        frameLen = frame.size();
        frameHex = (StrToHex(frame) + std::string(64, 'F')).substr(0, 64);
    }
    s += DecChars(static_cast<double>(frameLen), 2);
    s += DecChars(FieldValue(m.txtVendDec), 4);
    s += CalcHexSum(s);
    if (frameLen != 0) s += frameHex;
    return s;
}

std::string ConvTramaText(std::string_view text) {
    std::string s(text);
    // The scan covers the original length, although each token shortens the text by three.
    const std::size_t n = s.size();
    for (std::size_t pos = 0; pos < n; ++pos) {
        if (pos + 1 >= s.size() || s[pos] != '&' || s[pos + 1] != 'H') continue;
        const std::string digits = s.substr(pos + 2, 2);
        const auto code = static_cast<char>(LeadingHex(digits, 2));
        s.replace(pos, 2 + digits.size(), 1, code);
    }
    return s;
}

}  // namespace zt
