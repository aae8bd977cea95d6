#include "core/top/field_check.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "core/encode/ansi.h"
#include "core/encode/config_card.h"
#include "core/encode/layouts.h"
#include "core/encode/user_extras.h"
#include "core/i18n/texts.h"
#include "core/i18n/tooltip.h"
#include "core/link/hexlib.h"
#include "core/link/numeric.h"
#include "core/top/record.h"

namespace zt {

namespace {

// Message numbers.
constexpr int kIntro = 421, kGives = 424, kKeyWhy = 425, kWholeWhy = 426, kCodeWhy = 427, kTokenWhy = 428,
              kLongWhy = 429, kEmptyWhy = 430, kTwiceWhy = 431, kWrapWhy = 432, kStops = 433, kReadStops = 434,
              kNoSector = 435, kNoBlock = 436, kCardsMade = 437, kTipWhy = 438, kFrameName = 439, kBytes = 440;
constexpr int kCurrentFrame = 48;  // "Current parameters"

enum class Rule : std::uint8_t { Key, Code, Whole, Balance, Frame };

struct FieldSpec {
    std::string_view control;
    int label;  // message of its label; `frame` (when not 0) goes in front
    int frame;
    Rule rule;
    int lo = 0, hi = 0;
};

constexpr std::array<FieldSpec, 18> kFields{{
    {"txtKeyTar", 22, 0, Rule::Key},
    {"txtKeyMF", 8, 0, Rule::Key},
    {"txtOldKeyMF", 11, kCurrentFrame, Rule::Key},
    {"txtSector", 7, 0, Rule::Whole, 0, 63},
    {"txtOldSector", 10, kCurrentFrame, Rule::Whole, 0, 63},
    {"txtNumInst", 6, 0, Rule::Code},
    {"txtOldNumInst", 9, kCurrentFrame, Rule::Code},
    {"txtCfgTRele", 12, 0, Rule::Whole, 0, 999},
    {"txtCfgNode", 14, 0, Rule::Whole, 0, 255},
    {"txtTScan", 39, 0, Rule::Whole, 0, 99},
    {"txtTramaRelExt", kFrameName, 0, Rule::Frame},
    {"txtVendDec", 16, 0, Rule::Whole, 0, 9999},
    {"txtUser", 17, 0, Rule::Whole, 0, 999},
    {"txtNumTar", 21, 0, Rule::Whole, 1, 999},
    {"txtSalVal", 20, 0, Rule::Balance},
    {"txtUsaKey(0)", 23, 0, Rule::Key},
    {"txtUsaKey(1)", 24, 0, Rule::Key},
    {"txtUsaKey(2)", 25, 0, Rule::Key},
}};

const FieldSpec& Spec(std::string_view control) {
    for (const FieldSpec& f : kFields) {
        if (f.control == control) return f;
    }
    return kFields[0];
}

bool AllDigits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// A whole number as the numeric rule reads it without surprises: decimal digits, or hex digits
// after "&H"; a balance may be negative ("-" and digits: "-&H10" reads 0).
bool PlainWhole(std::string_view s, bool sign) {
    if (sign && !s.empty() && s[0] == '-') return AllDigits(s.substr(1));
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        s.remove_prefix(2);
        for (char c : s) {
            if (HexDigit(c) < 0) return false;
        }
        return true;
    }
    return AllDigits(s);
}

// The relay frame: every "&H" stands before two hex digits and becomes one byte, and the bytes fit.
int FrameWhy(std::string_view s) {
    if (s.empty()) return kEmptyWhy;
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != '&' || (s[i + 1] != 'H' && s[i + 1] != 'h')) continue;
        if (s[i + 1] != 'H' || i + 3 >= s.size() || HexDigit(s[i + 2]) < 0 || HexDigit(s[i + 3]) < 0)
            return kTokenWhy;
    }
    return ConvTramaText(s).size() > 32 ? kLongWhy : 0;
}

// Why the field is not well formed (a message number), 0 when it is.
int Why(const Ctx& ctx, const FieldSpec& f, const Control& c) {
    const std::string text = ToAnsi(c.text());
    switch (f.rule) {
        case Rule::Key:
            return CheckHex(c.text(), 12) ? 0 : kKeyWhy;
        case Rule::Code:
            return text.size() == 4 && AllDigits(text) ? 0 : kCodeWhy;
        case Rule::Whole: {
            const double v = NumVal(text);
            return PlainWhole(text, false) && v >= f.lo && v <= f.hi ? 0 : kWholeWhy;
        }
        case Rule::Balance:
            return PlainWhole(text, true) && NumVal32(text) ? 0 : kWholeWhy;
        case Rule::Frame:
            return ctx.m.chkCfgRelExt.value() == 1 ? FrameWhy(text) : 0;
    }
    return 0;
}

std::string Reason(const Ctx& ctx, const FieldSpec& f, int why) {
    std::string s = GetMis(ctx, why);
    if (why == kWholeWhy && f.rule == Rule::Whole)
        s += " (" + std::to_string(f.lo) + "-" + std::to_string(f.hi) + ")";
    return s;
}

std::string Label(const Ctx& ctx, int mis) {
    std::string s = GetMis(ctx, mis);
    while (!s.empty() && (s.back() == ':' || s.back() == ' ')) s.pop_back();
    return s;
}

std::string NameOf(const Ctx& ctx, const FieldSpec& f, int label) {
    const std::string own = Label(ctx, label);
    return f.frame == 0 ? own : Label(ctx, f.frame) + ", " + own;
}

// The card types of a Start button, in the order its run walks them.
std::vector<int> RangeTypes(int index) {
    switch (index) {
        case 0:
            return {0, 1};
        case 1:
            return {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
        case 2:
            return {30, 31, 32};
        default:
            return {};
    }
}

bool IsUser(int type) {
    return type >= 30 && type <= 32;
}

// The fields the encoding run reads for card type `type`.
std::vector<std::string_view> ReadBy(const Ctx& ctx, int type) {
    const bool master = type == 0;
    std::vector<std::string_view> v{"txtKeyTar", master ? "txtOldKeyMF" : "txtKeyMF",
                                    master ? "txtOldSector" : "txtSector"};
    if (master) {
        v.insert(v.end(), {"txtOldNumInst", "txtNumInst", "txtKeyMF", "txtSector"});
    } else if (type == 1) {
        v.insert(v.end(), {"txtNumInst", "txtCfgTRele"});
        if (ctx.m.chkEspNodoTar.value() != 1) v.push_back("txtCfgNode");
        v.push_back("txtTScan");
        if (ctx.m.chkCfgRelExt.value() == 1) v.push_back("txtTramaRelExt");
        v.push_back("txtVendDec");
    } else if (type <= 14 || IsUser(type)) {
        v.push_back("txtNumInst");
    }
    if (IsUser(type)) v.insert(v.end(), {"txtUser", "txtNumTar"});
    if (type == 32) v.push_back("txtSalVal");
    return v;
}

std::optional<std::int16_t> SectorOf(const Control& c) {
    const auto s = NumVal16(ToAnsi(c.text()));
    if (!s || *s < 0 || *s > 63) return std::nullopt;
    return s;
}

// Whether the encoding run refuses card type `type` once a card is laid, as it does for keys,
// sector, numbers out of range and card data that is not hex.
bool RunStops(Ctx& ctx, int type, const std::string& content) {
    const auto& m = ctx.m;
    const bool master = type == 0;
    if (!CheckHex(m.txtKeyTar.text(), 12) || !CheckHex((master ? m.txtOldKeyMF : m.txtKeyMF).text(), 12))
        return true;
    if (!SectorOf(master ? m.txtOldSector : m.txtSector)) return true;
    if (type == 32 && !SaldoValue(ctx)) return true;
    if (IsUser(type) && (!NumVal16(ToAnsi(m.txtUser.text())) || !NumVal16(ToAnsi(m.txtNumTar.text()))))
        return true;
    for (std::size_t i = 0; i < content.size(); i += 32) {
        if (!CheckHex(content.substr(i, 32), 32)) return true;
    }
    return false;
}

// How many cards a user-card run makes: it goes on while the count is above the cards done.
int CardsMade(const Ctx& ctx) {
    const double n = NumVal(ToAnsi(ctx.m.txtNumTar.text()));
    return n > 1 ? static_cast<int>(std::ceil(n)) : 1;
}

// Where a field lands in the data blocks of card type `type`: {offset, length}; {0, 0} for none.
std::pair<std::size_t, std::size_t> Place(int type, std::string_view f) {
    if (type == 0) {
        if (f == "txtOldNumInst") return {2, 4};
        if (f == "txtNumInst") return {10, 4};
        if (f == "txtKeyMF") return {14, 12};
        if (f == "txtSector") return {26, 4};
        return {0, 0};
    }
    if (f == "txtNumInst") return {2, 4};
    if (f == "txtUser") return {6, 3};
    if (f == "txtCfgTRele") return {11, 3};
    if (f == "txtCfgNode") return {19, 3};
    if (f == "txtTScan") return {22, 2};
    if (f == "txtVendDec") return {26, 4};
    return {0, 0};
}

// What card type `type` would get from field `f`.
std::string Gives(Ctx& ctx, int type, std::string_view f) {
    const std::string content = GetCardData(ctx, type);
    if (RunStops(ctx, type, content)) return GetMis(ctx, kStops);
    const auto& m = ctx.m;
    if (f == "txtNumTar") return GetMis(ctx, kCardsMade) + ": " + std::to_string(CardsMade(ctx));
    if (f == "txtSalVal") return DecText(*SaldoValue(ctx));
    if (f == "txtSector" && type != 0) return DecText(*SectorOf(m.txtSector));
    if (f == "txtOldSector") return DecText(*SectorOf(m.txtOldSector));
    if (content.empty()) return GetMis(ctx, kNoBlock);
    if (f == "txtTramaRelExt") {
        const std::size_t bytes = std::stoul(content.substr(24, 2));
        return content.substr(32, 2 * bytes) + " (" + std::to_string(bytes) + " " + GetMis(ctx, kBytes) + ")";
    }
    const auto [at, n] = Place(type, f);
    return content.substr(at, n);
}

void Add(Ctx& ctx, std::vector<Finding>& out, std::string_view control, int label, int why, std::string gives) {
    const FieldSpec& f = Spec(control);
    const Control* c = ctx.m.find(control);
    out.push_back({c, NameOf(ctx, f, label), c->text(), Reason(ctx, f, why), std::move(gives)});
}

// The user numbers of a batch: past 999 they start again at 000; and the ones written before.
void CheckUsers(Ctx& ctx, const CardRecord& record, int type, std::vector<Finding>& out) {
    const auto& m = ctx.m;
    if (Why(ctx, Spec("txtUser"), m.txtUser) || Why(ctx, Spec("txtNumTar"), m.txtNumTar)) return;
    const std::string content = GetCardData(ctx, type);
    if (content.size() < 9 || RunStops(ctx, type, content)) return;
    const std::string inst = content.substr(2, 4);
    const int first = static_cast<int>(NumVal(ToAnsi(m.txtUser.text())));
    const int cards = CardsMade(ctx);
    auto three = [](int u) { return Right("000" + std::to_string(u % 1000), 3); };
    if (first + cards - 1 > 999)
        Add(ctx, out, "txtNumTar", 21, kWrapWhy, three(first) + "-" + three(first + cards - 1));
    std::string made;
    for (int u = first; u < first + cards; ++u) {
        for (const RecordRow& r : record.rows()) {
            if (r.outcome != CardEvent::What::Written || r.user != three(u) || (!r.inst.empty() && r.inst != inst))
                continue;
            made += (made.empty() ? "" : ", ") + three(u);
            break;
        }
    }
    if (!made.empty()) Add(ctx, out, "txtUser", 17, kTwiceWhy, made);
}

}  // namespace

std::vector<Finding> CheckStart(Ctx& ctx, const CardRecord& record, std::string_view button) {
    std::vector<Finding> out;
    auto& m = ctx.m;
    if (button == "cmdLecTar") {
        // Keys 1..3 and the sectors they are tried in.
        constexpr std::array<std::pair<std::string_view, int>, 5> kRead{
            {{"txtKeyMF", 23}, {"txtOldKeyMF", 24}, {"txtKeyTar", 25}, {"txtSector", 7}, {"txtOldSector", 10}}};
        for (const auto& [control, label] : kRead) {
            const FieldSpec& f = Spec(control);
            const Control& c = *m.find(control);
            const int why = Why(ctx, f, c);
            if (why == 0) continue;
            const auto sector = SectorOf(c);
            const std::string gives = f.rule == Rule::Key ? GetMis(ctx, kReadStops)
                                      : sector            ? DecText(*sector)
                                                          : GetMis(ctx, kNoSector);
            Add(ctx, out, control, label, why, gives);
        }
        return out;
    }
    const auto open = button.find('(');
    if (open == std::string_view::npos || open + 1 >= button.size() || button.substr(0, open) != "cmdStart")
        return out;
    const std::vector<int> types = RangeTypes(button[open + 1] - '0');
    std::vector<std::string_view> seen;
    int userType = -1;
    for (int type : types) {
        if (m.cSelTar(type).value() == 0) continue;
        if (IsUser(type) && userType < 0) userType = type;
        for (std::string_view control : ReadBy(ctx, type)) {
            if (std::find(seen.begin(), seen.end(), control) != seen.end()) continue;
            seen.push_back(control);
            const FieldSpec& f = Spec(control);
            if (const int why = Why(ctx, f, *m.find(control)))
                Add(ctx, out, control, f.label, why, Gives(ctx, type, control));
        }
    }
    if (userType >= 0) CheckUsers(ctx, record, userType, out);
    return out;
}

std::string FindingsText(const Ctx& ctx, const std::vector<Finding>& findings) {
    std::string text = GetMis(ctx, kIntro);
    for (const Finding& f : findings) {
        text += "\r\n\r\n" + f.name + ": \"" + f.held + "\" - " + f.why + ".\r\n" + GetMis(ctx, kGives) + ": " +
                f.gives;
    }
    return text;
}

void FieldMarks::watch(Ctx& ctx, std::function<Tooltip*()> tips) {
    auto again = [this, &ctx, tips](Control&, Prop p, int) {
        if (p == Prop::Text || p == Prop::Value) apply(ctx, tips());
    };
    for (const FieldSpec& f : kFields) ctx.m.find(f.control)->observe(again);
    // The relay frame counts only while its box is ticked.
    ctx.m.chkCfgRelExt.observe(again);
}

void FieldMarks::apply(Ctx& ctx, Tooltip* tips) {
    for (const FieldSpec& f : kFields) {
        Control& c = *ctx.m.find(f.control);
        const int why = Why(ctx, f, c);
        const auto was = saved_.find(&c);
        if (why != 0 && was == saved_.end()) {
            saved_[&c] = c.backColor();
            c.setBackColor(kMarkColour);
        } else if (why == 0 && was != saved_.end()) {
            c.setBackColor(was->second);
            saved_.erase(was);
        }
        if (tips == nullptr) continue;
        std::string tip = TipText(ctx, f.control);
        if (why != 0) tip += "\r\n" + GetMis(ctx, kTipWhy) + " " + Reason(ctx, f, why);
        tips->UpdateTip(c, tip);
    }
}

}  // namespace zt
