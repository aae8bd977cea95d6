#include "core/read/card_detail.h"

#include "core/link/hexlib.h"
#include "core/platform/colour.h"
#include "core/read/card_contents.h"

namespace zt {

namespace {

// Message numbers of the detail field.
enum Mis : int {
    kBlank = 300,
    kFactory,
    kForeign,
    kType,
    kUser,
    kValueField,
    kCheckDigit,
    kRight,
    kWrongShouldBe,
    kNodes,
    kNone,
    kBalance,
    kBalancesDiffer,
    kNoIntactBlock,
    kValueBlock,
    kIntact,
    kCopyFault,
    kInverseFault,
    kAddressFault,
    kNamesBlock,
    kShouldNameBlock,
    kRelayTime,
    kClearList,
    kYes,
    kNo,
    kListType,
    kNotInList,
    kNode,
    kNumericCardsSetNode,
    kScan,
    kDecrement,
    kRelayFrame,
    kBytes,
    kSum,
    kCurrentCode,
    kNewCode,
    kNewKey,
    kNewSector,
    kUid,
    kAtqa,
    kNotReported,
    kNeverWritten,
};
static_assert(kNeverWritten == 341);
constexpr int kInstallation = 198;
constexpr int kAttention = 476;
constexpr int kFirstUnit = 100;
constexpr int kFirstList = 110;
constexpr const char* kDash = "\xE2\x80\x93";  // en dash between the ends of a range

class Lines {
public:
    explicit Lines(const Ctx& ctx) : ctx_(ctx) {}
    const std::string& mis(int n) const { return GetMis(ctx_, n); }
    void add(const std::string& line) {
        if (!text_.empty()) text_ += "\r\n";
        text_ += line;
    }
    void field(int n, const std::string& value) { add(mis(n) + ": " + value); }
    // What fails a check: said first, on a line of its own.
    void fault(const std::string& what) { faults_ += std::string(" ") + kDash + " " + what; }
    // A line in its place that, when it says what fails a check, goes into the first line too.
    void add(const std::string& line, bool fails) {
        add(line);
        if (fails) fault(line);
    }
    bool faulty() const { return !faults_.empty(); }
    // "<value> (right)" or "<value> (wrong, should be <right>)".
    std::string checked(const std::string& value, const std::string& right) const {
        if (value == right) return value + " (" + mis(kRight) + ")";
        return value + " (" + mis(kWrongShouldBe) + " " + right + ")";
    }
    // The word of position k among six drop-down messages, or k marked as not in the list.
    std::string item(int first, int k) const {
        if (k >= 0 && k <= 5) {
            const std::string& w = mis(first + k);
            if (!w.empty() && w != "-") return w;
        }
        return std::to_string(k) + ", " + mis(kNotInList);
    }
    std::string text() const {
        if (!faulty()) return text_;
        return mis(kAttention) + faults_ + (text_.empty() ? "" : "\r\n" + text_);
    }

private:
    const Ctx& ctx_;
    std::string text_;
    std::string faults_;
};

std::string Spaced(const std::vector<std::uint8_t>& bytes) {
    std::string s;
    for (auto b : bytes) s += (s.empty() ? "" : " ") + HexByte(b);
    return s;
}

std::string Node3(std::size_t n) {
    std::string s = std::to_string(n);
    return std::string(3 - s.size(), '0') + s;
}

// "000–003, 009, 200": runs of three or more nodes as a range.
std::string NodeList(const std::bitset<256>& nodes) {
    std::string s;
    for (std::size_t n = 0; n < 256;) {
        if (!nodes[n]) {
            ++n;
            continue;
        }
        std::size_t end = n;
        while (end + 1 < 256 && nodes[end + 1]) ++end;
        if (!s.empty()) s += ", ";
        if (end - n >= 2) {
            s += Node3(n) + kDash + Node3(end);
        } else {
            s += Node3(n);
            if (end > n) s += ", " + Node3(end);
        }
        n = end + 1;
    }
    return s;
}

void ValueBlockLine(Lines& out, int block, const ValueBlock& v) {
    std::string said;
    auto fault = [&said](const std::string& text) { said += (said.empty() ? "" : "; ") + text; };
    if (v.faults & kCopyDiffers) fault(out.mis(kCopyFault));
    if (v.faults & kInverseWrong) fault(out.mis(kInverseFault));
    if (v.faults & kAddressPattern) fault(out.mis(kAddressFault));
    if (v.faults & kWrongPartner)
        fault(out.mis(kNamesBlock) + " " + std::to_string(v.address) + ", " + out.mis(kShouldNameBlock) +
              " " + std::to_string(v.partner));
    const std::string line = out.mis(kValueBlock) + " " + std::to_string(block) + ": ";
    out.add(line + (said.empty() ? out.mis(kIntact) : said), !said.empty());
}

void BalanceLines(Lines& out, int sector, const std::array<ValueBlock, 2>& b) {
    const bool ok0 = b[0].valueIntact();
    const bool ok1 = b[1].valueIntact();
    const std::string balance = out.mis(kBalance) + ": ";
    if (ok0 && ok1 && b[0].value != b[1].value) {
        out.add(balance + std::to_string(b[0].value) + " / " + std::to_string(b[1].value) + " (" +
                    out.mis(kBalancesDiffer) + ")", true);
    } else if (ok0 || ok1) {
        out.add(balance + std::to_string(ok0 ? b[0].value : b[1].value));
    } else {
        out.add(balance + out.mis(kNoIntactBlock), true);
    }
    for (int i = 0; i < 2; ++i) ValueBlockLine(out, 4 * sector + 1 + i, b[static_cast<std::size_t>(i)]);
}

void SumLine(Lines& out, const std::string& sum, const std::string& right) {
    const std::string line = out.mis(kSum) + ": " + out.checked(sum, right);
    out.add(line, sum != right);
}

void ConfigLines(Lines& out, const ConfigParams& c) {
    out.field(kRelayTime, std::to_string(c.relayTime) + " (" + out.item(kFirstUnit, c.timeUnit) + ")");
    out.field(kClearList, out.mis(c.clearList ? kYes : kNo));
    out.field(kListType, out.item(kFirstList, c.listType));
    out.field(kNode, c.node ? Node3(static_cast<std::size_t>(*c.node)) : out.mis(kNumericCardsSetNode));
    out.field(kScan, std::to_string(c.scan));
    out.field(kDecrement, std::to_string(c.decrement));
    out.field(kRelayFrame, c.relayFrame.empty()
                               ? out.mis(kNone)
                               : Spaced(c.relayFrame) + " (" + std::to_string(c.relayFrame.size()) + " " +
                                     out.mis(kBytes) + ")");
    SumLine(out, c.sum, c.rightSum);
}

void MasterLines(Lines& out, const MasterParams& mp, bool withKey) {
    out.field(kNewCode, mp.newCode);
    if (withKey) out.field(kNewKey, mp.newKey);
    out.field(kNewSector, std::to_string(mp.newSector));
    SumLine(out, mp.sum, mp.rightSum);
}

void ExtraLines(Lines& out, const CardContents& c, int sector, bool withKey);

void CardLines(Lines& out, const CardReading& card) {
    const CardContents c = InspectCard(card);
    switch (c.kind) {
        // Nothing of ours in the sector: the first line says so, and there is nothing more to say.
        case CardClass::Blank:
            out.fault(out.mis(kBlank));
            return;
        case CardClass::Factory:
            out.fault(out.mis(kFactory));
            return;
        case CardClass::Foreign:
            out.fault(out.mis(kForeign));
            return;
        case CardClass::Ours:
            break;
    }
    const CardType& t = *c.type;
    std::string type = out.mis(t.message);
    if (t.show == ShowAs::WithDigit) type += " " + c.value.substr(0, 1);
    out.field(kType, type);
    out.field(t.index == 0 ? kCurrentCode : kInstallation, c.installation);
    out.field(t.show == ShowAs::WithValue ? kUser : kValueField, c.value);
    const std::string digit = out.mis(kCheckDigit) + ": " +
                              out.checked(std::string(1, c.checkDigit), std::string(1, c.rightCheckDigit));
    out.add(digit, c.checkDigit != c.rightCheckDigit);
    if (t.index < 0) out.add(out.mis(kNeverWritten));
    ExtraLines(out, c, card.sector, true);
}

// What goes beyond the head: nodes, balance, the CONFIG parameters, where a MASTER card moves the
// terminal (its new key only when `withKey`).
void ExtraLines(Lines& out, const CardContents& c, int sector, bool withKey) {
    if (c.nodes) {
        const std::size_t count = c.nodes->count();
        if (count == 0) {
            out.field(kNodes, out.mis(kNone));
        } else {
            out.add(out.mis(kNodes) + " (" + std::to_string(count) + "): " + NodeList(*c.nodes));
        }
    }
    if (c.balance) BalanceLines(out, sector, *c.balance);
    if (c.config) ConfigLines(out, *c.config);
    if (c.master) MasterLines(out, *c.master, withKey);
}

}  // namespace

CardDetail DescribeCard(const Ctx& ctx, const CardReading& card) {
    Lines out(ctx);
    CardLines(out, card);
    out.field(kUid, card.uid.empty() ? out.mis(kNotReported) : Spaced(card.uid));
    out.field(kAtqa, card.atqa.empty() ? out.mis(kNotReported) : Spaced(card.atqa));
    return {out.text(), out.faulty()};
}

std::string CardDetailText(const Ctx& ctx, const CardReading& card) {
    return DescribeCard(ctx, card).text;
}

std::string CardContentsWords(const Ctx& ctx, const CardReading& card) {
    Lines out(ctx);
    const CardContents c = InspectCard(card);
    if (c.kind == CardClass::Ours) {
        ExtraLines(out, c, card.sector, false);
    } else {
        CardLines(out, card);
    }
    std::string text = out.text();
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.replace(at, 2, "; ");
    return text;
}

void ShowCardDetail(Ctx& ctx, CardReading card) {
    ctx.st.shownCard = std::move(card);
    RedrawCardDetail(ctx);
}

void ClearCardDetail(Ctx& ctx) {
    ctx.st.shownCard.reset();
    RedrawCardDetail(ctx);
}

void RedrawCardDetail(Ctx& ctx) {
    const CardDetail d = ctx.st.shownCard ? DescribeCard(ctx, *ctx.st.shownCard) : CardDetail{};
    // A card that fails a check is shown in red as well.
    ctx.m.txtInfoDetail.setForeColor(d.faulty ? kRed : kDefaultColour);
    ctx.m.txtInfoDetail.setText(d.text);
}

}  // namespace zt
