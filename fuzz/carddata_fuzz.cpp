#include <array>
#include <map>
#include <vector>

#include "core/app/ctx.h"
#include "core/encode/ansi.h"
#include "core/encode/config_card.h"
#include "core/encode/layouts.h"
#include "core/encode/selection.h"
#include "core/encode/user_extras.h"
#include "core/link/hexlib.h"
#include "harnesses.h"
#include "support/fakes.h"

namespace zt::fuzz {

namespace {

constexpr int kLang = 1;

// Texts the drop-downs can hold: messages 100..105 and 110..115, with a repeat and a "-".
const std::array<const char*, 6> kUnits{"décimas", "segundos", "minutos", "-", "horas", "segundos"};
const std::array<const char*, 6> kLists{"Lista blanca", "Lista negra", "", "-", "Lista negra", "x"};

// The leading hex digits of a pair.
int PairValue(std::string_view pair) {
    int v = 0;
    for (std::size_t i = 0; i < 2 && i < pair.size() && HexDigit(pair[i]) >= 0; ++i)
        v = v * 16 + HexDigit(pair[i]);
    return v;
}

std::string HexSum20(std::string_view s) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < 20 && i < s.size(); i += 2)
        sum += static_cast<unsigned>(PairValue(s.substr(i, 2)));
    return ByteToHex(static_cast<std::uint8_t>(sum));
}

char CheckDigit(std::string_view s) {
    int sum = 0;
    for (char c : s) sum += c >= '0' && c <= '9' ? c - '0' : 0;
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string Last(const std::string& s, std::size_t n) { return s.size() <= n ? s : s.substr(s.size() - n); }

// The last matching position among the six messages from `first`, 255 for none.
int Position(const Ctx& ctx, const std::string& text, int first) {
    int k = 255;
    for (int i = 0; i < 6; ++i)
        if (GetMis(ctx, first + i) == text) k = i;
    return k;
}

// Type code and value field of each index that has a type (value "": not derived here).
std::pair<std::string, std::string> TypeOf(int index) {
    static const std::map<int, std::pair<std::string, std::string>> types{
        {0, {"69", ""}},     {1, {"52", ""}},     {10, {"45", "000"}}, {11, {"46", "000"}},
        {12, {"28", "000"}}, {13, {"29", "000"}}, {14, {"47", "999"}}, {30, {"10", ""}},
        {31, {"11", ""}},    {32, {"12", ""}}};
    if (index >= 15 && index <= 24) return {"83", "00"};
    return types.contains(index) ? types.at(index) : std::pair<std::string, std::string>{};
}

std::string CheckCfg(const Ctx& ctx, const std::string& cfg) {
    const auto& m = ctx.m;
    std::string frame, hex;
    if (m.chkCfgRelExt.value() == 1) frame = ConvTramaText(ToAnsi(m.txtTramaRelExt.text())).substr(0, 32);
    for (char c : frame) hex += ByteToHex(static_cast<std::uint8_t>(c));
    if (!frame.empty()) hex.resize(64, 'F');
    if (cfg.size() != 22 + hex.size()) return "CONFIG of length " + std::to_string(cfg.size()) + ": " + cfg;
    // Where each field the window decides stands (the numbers typed are not derived here).
    const std::pair<std::size_t, std::string> fields[] = {
        {0, Last("00" + std::to_string(Position(ctx, m.cUnitTime.text(), 100)), 1)},
        {4, m.chkEspResList.value() == 1 ? "1" : "0"},
        {5, Last("000" + std::to_string(Position(ctx, m.cTipList.text(), 110)), 3)},
        {8, m.chkEspNodoTar.value() == 1 ? "FFFF" : "0"},
        {14, Last("00" + std::to_string(frame.size()), 2)}, {20, HexSum20(cfg)}, {22, hex}};
    for (const auto& [at, want] : fields)
        if (cfg.compare(at, want.size(), want) != 0) return "CONFIG at " + std::to_string(at) + ": " + cfg;
    return {};
}

// A MIFARE value block: the value, its inverse, the value, then the address byte (as the block
// holds it), its inverse, the address, its inverse.
std::string ValueBlock(std::int32_t value, std::string_view block) {
    std::string s;
    for (const unsigned x : {0u, ~0u, 0u})
        for (int k = 0; k < 4; ++k)
            s += ByteToHex(static_cast<std::uint8_t>((static_cast<unsigned>(value) ^ x) >> (8 * k)));
    const std::string a(block.substr(24, 2)), na = ByteToHex(static_cast<std::uint8_t>(~PairValue(a)));
    return s + a + na + a + na;
}

// The whole content each index must have, built field by field from the window.
std::string Expected(Ctx& ctx, int index, const std::string& r) {
    const auto& m = ctx.m;
    const auto [code, value] = TypeOf(index);
    if (code.empty() || (index == 32 && !SaldoValue(ctx))) return {};  // no type, or a balance out of range
    if (index == 0) {
        // The current code as typed goes into the head, the new code, key and sector into the second
        // half; only a head of ten characters (check digit included) and a full second half make the
        // block, and a head that is itself one, two or three blocks long stands alone.
        std::string head = "69" + ToAnsi(m.txtOldNumInst.text()) + "020";
        if (head.size() == 9) head += CheckDigit(head);
        const std::string typed = ToAnsi(m.txtNumInst.text());
        std::string second = typed + Last(std::string(12, 'F') + ToAnsi(m.txtKeyMF.text()), 12) +
                             Last("0000" + ToAnsi(m.txtSector.text()), 4);
        second = typed.size() == 4 ? second + HexSum20(second) : "";
        if (head.size() == 32 || head.size() == 64 || head.size() == 96) return head;
        return head.size() == 10 && second.size() == 22 ? head + second : "";
    }
    std::string head = code + (index >= 15 && index <= 24 ? "0000" + std::to_string(index - 15)
                                                          : Last("0000" + ToAnsi(m.txtNumInst.text()), 4));
    head += value.empty() ? r.substr(std::min<std::size_t>(6, r.size()), 3) : value;  // users: their number
    head += CheckDigit(head);
    if (index == 1) return head + GetCfgData(ctx);
    head += std::string(22, 'F');
    if (index == 31) {
        std::array<unsigned, 32> map{};
        for (const auto& item : m.listPermit.items()) {
            const int node = std::stoi(item.substr(5));
            map[static_cast<std::size_t>(node / 8)] |= 1u << (node % 8);
        }
        for (unsigned b : map) head += ByteToHex(static_cast<std::uint8_t>(b));
    }
    const std::string blocks = r.size() == 96 ? r : std::string(96, '0');
    for (std::size_t at : {32, 64})
        if (index == 32) head += ValueBlock(*SaldoValue(ctx), std::string_view(blocks).substr(at, 32));
    return head;
}

}  // namespace

std::string CheckCardDataInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    // One window for all inputs: building the model costs more than the checks, and every field the
    // card contents read is set afresh below.
    static Ctx& ctx = []() -> Ctx& {
        static Ctx c{Platform{}};
        c.st.aAtqa.assign(3, 0);
        c.st.aUid.assign(12, 0);
        c.st.iIdioma = kLang;
        for (int i = 0; i < 6; ++i) {
            c.st.Mis[kLang][static_cast<std::size_t>(100 + i)] = kUnits[static_cast<std::size_t>(i)];
            c.st.Mis[kLang][static_cast<std::size_t>(110 + i)] = kLists[static_cast<std::size_t>(i)];
        }
        return c;
    }();
    auto& m = ctx.m;
    m.listPermit.clearItems();
    // Texts up to the length of the longest field value, some longer, any bytes.
    for (const auto& [field, max] :
         {std::pair{&m.txtNumInst, 8}, {&m.txtOldNumInst, 40}, {&m.txtKeyMF, 16}, {&m.txtSector, 6},
          {&m.txtUser, 12}, {&m.txtSalVal, 16}, {&m.txtCfgTRele, 8}, {&m.txtCfgNode, 8}, {&m.txtTScan, 8},
          {&m.txtVendDec, 8}})
        field->setText(in.text(static_cast<std::size_t>(max)));
    for (const auto& [list, texts] : {std::pair{&m.cUnitTime, &kUnits}, {&m.cTipList, &kLists}}) {
        const std::uint8_t choice = in.byte();
        list->setText(choice & 0x80 ? in.text(12) : (*texts)[(choice & 0x7F) % 6]);
    }
    const std::uint8_t boxes = in.byte();
    m.chkEspResList.setValue(boxes & 1);
    m.chkEspNodoTar.setValue((boxes >> 1) & 1);
    m.chkCfgRelExt.setValue((boxes >> 2) & 1);
    // Permitted nodes: a bitmap of up to 32 bytes, each node listed once.
    const std::size_t mapBytes = in.pick(33);
    for (std::size_t i = 0; i < mapBytes; ++i)
        for (int b = 0, bits = in.byte(); b < 8; ++b)
            if (bits & (1 << b)) m.listPermit.addItem(NodeEntry(static_cast<int>(i * 8) + b));
    // The relay frame text: the rest, as typed (Windows-1252 characters into the window's UTF-8).
    const std::string frameBytes = in.rest();
    m.txtTramaRelExt.setText(test::Cp1252ToUtf8(frameBytes));
    // Window text round trip: a character the code page has comes back as its one byte, the five
    // bytes it leaves out as "?".
    std::string expect = frameBytes;
    for (char& c : expect)
        if (std::string_view("\x81\x8D\x8F\x90\x9D").find(c) != std::string_view::npos) c = '?';
    if (ToAnsi(m.txtTramaRelExt.text()) != expect)
        return "Windows-1252 text does not come back from the window";
    std::vector<std::string> before;
    for (const Control* c : m.all()) before.push_back(c->text());
    for (int index = -1; index <= 34; ++index) {
        const std::string r = GetCardData(ctx, index), want = Expected(ctx, index, r);
        if (r != want) return "type " + std::to_string(index) + ": \"" + r + "\", expected \"" + want + "\"";
        const std::string cfgError = index == 1 && !r.empty() ? CheckCfg(ctx, r.substr(10)) : "";
        if (!cfgError.empty()) return cfgError;
    }
    if (GetCardData(ctx, 1000) != "" || GetCardData(ctx, -32768) != "") return "content for a far index";
    std::size_t i = 0;
    for (const Control* c : m.all())
        if (c->text() != before[i++]) return "building card contents changed " + c->name();
    if (m.listInfo.itemCount() != 0) return "building card contents logged a line";
    return {};
}

std::string CheckTramaInput(const std::uint8_t* data, std::size_t size) {
    const std::string in(reinterpret_cast<const char*>(data), size);
    const std::string got = ConvTramaText(in);
    if (got.size() > in.size()) return "the expansion is longer than its input";
    if (in.find("&H") == std::string::npos && got != in) return "a text without \"&H\" changed";
    // The reference: a token "&H" with up to two characters after it becomes the character of their
    // leading hex digits. The scan ends when the output has reached the length of the input
    // (replacing in place never lets the scan position pass it); the rest is copied as is.
    std::string want;
    std::size_t i = 0;
    while (i < in.size() && want.size() < in.size()) {
        if (in[i] != '&' || i + 1 >= in.size() || in[i + 1] != 'H') {
            want += in[i++];
            continue;
        }
        const std::size_t digits = std::min<std::size_t>(2, in.size() - i - 2);
        int value = 0;
        for (std::size_t d = 0; d < digits && HexDigit(in[i + 2 + d]) >= 0; ++d)
            value = value * 16 + HexDigit(in[i + 2 + d]);
        want += static_cast<char>(value);
        i += 2 + digits;
    }
    want.append(in, i, std::string::npos);
    return got == want ? std::string() : "the expansion differs from the left-to-right reading";
}

}  // namespace zt::fuzz
