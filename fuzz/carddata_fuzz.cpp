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

std::string Fail(int index, const std::string& what, const std::string& got) {
    return "type " + std::to_string(index) + ": " + what + " (got \"" + got + "\")";
}

// Type code of each index that has one.
std::string Code(int index) {
    static const std::map<int, std::string> codes{{0, "69"},  {1, "52"},  {10, "45"}, {11, "46"},
                                                   {12, "28"}, {13, "29"}, {14, "47"}, {30, "10"},
                                                   {31, "11"}, {32, "12"}};
    if (index >= 15 && index <= 24) return "83";
    return codes.contains(index) ? codes.at(index) : "";
}

std::string CheckCfg(const Ctx& ctx, const std::string& cfg) {
    const auto& m = ctx.m;
    if (cfg.size() != 22 && cfg.size() != 86)
        return "CONFIG parameters of length " + std::to_string(cfg.size());
    if (cfg.substr(20, 2) != HexSum20(cfg)) return "CONFIG sum wrong: " + cfg;
    const int unit = Position(ctx, m.cUnitTime.text(), 100);
    if (cfg[0] != Last("00" + std::to_string(unit), 1)[0]) return "time unit wrong: " + cfg;
    if (cfg[4] != (m.chkEspResList.value() == 1 ? '1' : '0')) return "clear-list flag wrong: " + cfg;
    const int list = Position(ctx, m.cTipList.text(), 110);
    if (cfg.substr(5, 3) != Last("000" + std::to_string(list), 3)) return "list type wrong: " + cfg;
    if (m.chkEspNodoTar.value() == 1 ? cfg.substr(8, 4) != "FFFF" : cfg[8] != '0')
        return "node field wrong: " + cfg;
    std::string frame;
    if (m.chkCfgRelExt.value() == 1) frame = ConvTramaText(ToAnsi(m.txtTramaRelExt.text())).substr(0, 32);
    if (cfg.substr(14, 2) != Last("00" + std::to_string(frame.size()), 2))
        return "frame length wrong: " + cfg;
    std::string hex;
    for (char c : frame) hex += ByteToHex(static_cast<std::uint8_t>(c));
    if (!frame.empty()) hex.resize(64, 'F');
    return cfg.substr(22) == hex ? "" : "frame blocks wrong or missing: " + cfg;
}

// Two MIFARE value blocks: value, its inverse, value, then address, inverse, address, inverse.
std::string CheckValueBlock(std::string_view b, std::int32_t value) {
    std::array<unsigned, 16> v{};
    for (std::size_t i = 0; i < 16; ++i) v[i] = static_cast<unsigned>(PairValue(b.substr(2 * i, 2)));
    bool ok = v[12] == v[14] && v[13] == v[15] && v[13] == (~v[12] & 0xFF);
    for (unsigned i = 0; i < 4; ++i)
        ok = ok && v[i] == ((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF) && v[i + 8] == v[i] &&
             v[i + 4] == (~v[i] & 0xFF);
    return ok ? "" : "value block does not hold the balance: " + std::string(b);
}

std::string CheckType(Ctx& ctx, int index, const std::string& r) {
    const auto& m = ctx.m;
    const std::string code = Code(index);
    if (code.empty())
        return r.empty() ? std::string() : Fail(index, "content for an index without a type", r);
    if (r.size() != 0 && r.size() != 32 && r.size() != 64 && r.size() != 96) return Fail(index, "length", r);
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
        std::string want = head.size() == 10 && second.size() == 22 ? head + second : "";
        if (head.size() == 32 || head.size() == 64 || head.size() == 96) want = head;
        return r == want ? std::string() : Fail(index, "MASTER block, expected " + want, r);
    }
    // A balance the value block cannot hold leaves the balance card without content.
    if (index == 32 && !SaldoValue(ctx))
        return r.empty() ? std::string() : Fail(index, "content for a balance out of range", r);
    if (r.size() < 10 || r.substr(0, 2) != code) return Fail(index, "type code", r);
    if (r[9] != CheckDigit(r.substr(0, 9))) return Fail(index, "check digit", r);
    if (index >= 15 && index <= 24) {
        if (r.substr(0, 9) != "830000" + std::to_string(index - 15) + "00")
            return Fail(index, "numeric head", r);
    } else if (r.substr(2, 4) != Last("0000" + ToAnsi(m.txtNumInst.text()), 4)) {
        return Fail(index, "installation code", r);
    }
    if (index == 1) {
        const std::string cfg = GetCfgData(ctx);
        if (r.substr(10) != cfg) return Fail(index, "CONFIG parameters differ from GetCfgData", r);
        return CheckCfg(ctx, cfg);
    }
    if (r.substr(10, 22) != std::string(22, 'F')) return Fail(index, "tail", r);
    if (index >= 10 && index <= 14 && r.substr(6, 3) != (index == 14 ? "999" : "000"))
        return Fail(index, "value field", r);
    if (index == 30 && r.size() != 32) return Fail(index, "USUARIO BASICO length", r);
    if (index == 31) {
        std::array<unsigned, 32> map{};
        for (const auto& item : m.listPermit.items()) {
            const int node = std::stoi(item.substr(5));
            map[static_cast<std::size_t>(node / 8)] |= 1u << (node % 8);
        }
        std::string want;
        for (unsigned b : map) want += ByteToHex(static_cast<std::uint8_t>(b));
        if (r.size() != 96 || r.substr(32) != want) return Fail(index, "node bitmap, expected " + want, r);
    }
    if (index == 32) {
        if (r.size() != 96) return Fail(index, "balance card length", r);
        for (std::size_t at : {32, 64})
            if (auto e = CheckValueBlock(std::string_view(r).substr(at, 32), *SaldoValue(ctx)); !e.empty())
                return e;
    }
    return {};
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
    // Window text round trip: a character the code page has comes back as its one byte.
    std::string expect = frameBytes;
    for (char& c : expect) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) c = '?';
    }
    if (ToAnsi(m.txtTramaRelExt.text()) != expect)
        return "Windows-1252 text does not come back from the window";
    std::vector<std::string> before;
    for (const Control* c : m.all()) before.push_back(c->text());
    for (int index = -1; index <= 34; ++index) {
        const std::string r = GetCardData(ctx, index);
        if (auto err = CheckType(ctx, index, r); !err.empty()) return err;
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
