#include "harnesses.h"

#include "core/encode/ansi.h"
#include "core/encode/layouts.h"
#include "core/link/hexlib.h"
#include "core/read/card_detail.h"
#include "core/read/card_contents.h"

namespace zt::fuzz {

std::string CheckContentsInput(const std::uint8_t* data, std::size_t size) {
    static Ctx ctx{Platform{}};
    FuzzInput in(data, size);
    CardReading r;
    r.sector = static_cast<std::int8_t>(in.byte());
    std::string all;
    for (int i = 0; i < 96; ++i) {
        const auto b = static_cast<char>(in.byte());
        all += HexDigit(b) >= 0 && (b < 'a' || b > 'f') ? b : b >= 0 ? "0123456789ABCDEF"[b % 16] : b;
    }
    for (std::size_t i = 0; i < 3; ++i) r.blocks[i] = all.substr(32 * i, 32);
    const std::string &b0 = r.blocks[0], extra = r.blocks[1] + r.blocks[2];
    const CardContents c = InspectCard(r);
    if ((c.kind == CardClass::Blank) != (all == std::string(96, '0'))) return "blank misjudged";
    if ((c.kind == CardClass::Factory) != (all == std::string(96, 'F'))) return "factory misjudged";
    if (c.kind == CardClass::Ours &&
        b0.substr(0, 10) != std::string(c.type->code) + c.installation + c.value + c.checkDigit)
        return "head does not write back";
    for (unsigned i = 0; c.balance && i < 2; ++i) {
        const ValueBlock& v = (*c.balance)[i];
        std::string s;
        for (const unsigned x : {0u, ~0u, 0u})
            for (int k = 0; k < 4; ++k)
                s += ByteToHex(static_cast<std::uint8_t>((unsigned(v.value) ^ x) >> (8 * k)));
        const std::string a = ByteToHex(v.address), na = ByteToHex(static_cast<std::uint8_t>(~v.address));
        if ((v.faults == 0) != (s + a + na + a + na == r.blocks[i + 1] &&
                                v.address == static_cast<std::uint8_t>(4u * unsigned(r.sector) + 2u - i)))
            return "value block misjudged";
    }
    if (const auto& p = c.config) {
        const std::string t = DecChars(p->timeUnit, 1) + DecChars(p->relayTime, 3) +
                              (p->clearList ? "1" : "0") + DecChars(p->listType, 3) +
                              (p->node ? "0" + DecChars(*p->node, 3) : "FFFF") + DecChars(p->scan, 2) +
                              DecChars(double(p->relayFrame.size()), 2) + DecChars(p->decrement, 4);
        std::string frame;
        for (auto b : p->relayFrame) frame += ByteToHex(b);
        if (CalcHexSum(t) != p->rightSum || b0.substr(10) != t + p->sum) return "CONFIG does not write back";
        if (!frame.empty() && frame + std::string(64 - frame.size(), 'F') != extra)
            return "relay frame wrong";
    }
    if (const auto& mp = c.master) {
        const std::string half = mp->newCode + mp->newKey + DecChars(mp->newSector, 4);
        if (b0.substr(10) != half + mp->sum || CalcHexSum(half) != mp->rightSum)
            return "MASTER does not write back";
    }
    return CardDetailText(ctx, r).empty() ? "no details" : "";
}

}  // namespace zt::fuzz
