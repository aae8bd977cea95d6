#include "core/read/card_contents.h"

#include <algorithm>

#include "core/encode/layouts.h"
#include "core/link/hexlib.h"

namespace zt {

namespace {

constexpr int kMaster = 0;
constexpr int kConfig = 1;
constexpr int kNumeric = 15;
constexpr int kBasic = 30;
constexpr int kAdvanced = 31;
constexpr int kBalance = 32;

bool AllOf(std::string_view s, char c) {
    return std::all_of(s.begin(), s.end(), [c](char x) { return x == c; });
}

bool IsDecimal(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The decimal number of `s`, or -1 when it is not made of decimal digits only.
int Decimal(std::string_view s) {
    if (s.empty() || !IsDecimal(s)) return -1;
    int v = 0;
    for (char c : s) v = v * 10 + (c - '0');
    return v;
}

std::uint8_t ByteAt(std::string_view hex, std::size_t i) {
    return HexToByte(hex.substr(2 * i, 2));
}

// The 22 parameter characters after the head (and the relay frame of blocks 1-2), or nullopt when
// they are not in the layout the CONFIG card is written in.
std::optional<ConfigParams> Config(std::string_view p, std::string_view frameBlocks) {
    ConfigParams c;
    c.timeUnit = Decimal(p.substr(0, 1));
    c.relayTime = Decimal(p.substr(1, 3));
    const int clear = Decimal(p.substr(4, 1));
    c.listType = Decimal(p.substr(5, 3));
    const std::string_view node = p.substr(8, 4);
    c.scan = Decimal(p.substr(12, 2));
    const int frameLen = Decimal(p.substr(14, 2));
    c.decrement = Decimal(p.substr(16, 4));
    if (c.timeUnit < 0 || c.relayTime < 0 || clear < 0 || clear > 1 || c.listType < 0 || c.scan < 0 ||
        frameLen < 0 || frameLen > 32 || c.decrement < 0)
        return std::nullopt;
    c.clearList = clear == 1;
    if (node != "FFFF") {
        if (node[0] != '0' || !IsDecimal(node)) return std::nullopt;
        c.node = Decimal(node);
    }
    c.sum = std::string(p.substr(20, 2));
    c.rightSum = CalcHexSum(p.substr(0, 20));
    if (frameLen > 0) {
        const auto n = static_cast<std::size_t>(frameLen);
        // After the frame the two blocks are filled with FF.
        if (!AllOf(frameBlocks.substr(2 * n), 'F')) return std::nullopt;
        for (std::size_t i = 0; i < n; ++i) c.relayFrame.push_back(ByteAt(frameBlocks, i));
    }
    return c;
}

std::optional<MasterParams> Master(std::string_view half) {
    MasterParams mp;
    mp.newCode = std::string(half.substr(0, 4));
    mp.newKey = std::string(half.substr(4, 12));
    mp.newSector = Decimal(half.substr(16, 4));
    if (mp.newSector < 0) return std::nullopt;
    mp.sum = std::string(half.substr(20, 2));
    mp.rightSum = CalcHexSum(half.substr(0, 20));
    return mp;
}

// The head's value field and tail in the layout of the type (MASTER and CONFIG are looked at whole
// by their own decoders).
bool HeadFits(const CardType& t, std::string_view b0) {
    const std::string_view value = b0.substr(6, 3);
    const bool tailFs = AllOf(b0.substr(10), 'F');
    switch (t.index) {
        case kMaster:
        case kConfig:
            return value == t.value;
        case kNumeric:
            return b0.substr(2, 4) == "0000" && IsDecimal(value.substr(0, 1)) && value.substr(1) == "00" &&
                   tailFs;
        case kBasic:
        case kAdvanced:
        case kBalance:
            return IsDecimal(value) && tailFs;
        case -1:
            // Recognised but never written here: only the head is known.
            return true;
        default:
            return value == t.value && tailFs;
    }
}

}  // namespace

std::optional<ValueBlock> InspectValueBlock(std::string_view block, std::optional<std::uint8_t> partner) {
    if (!CheckHex(block, 32)) return std::nullopt;
    std::array<std::uint8_t, 16> b{};
    for (std::size_t i = 0; i < 16; ++i) b[i] = ByteAt(block, i);
    ValueBlock v;
    std::uint32_t raw = 0;
    for (int i = 3; i >= 0; --i) raw = raw << 8 | b[static_cast<std::size_t>(i)];
    v.value = static_cast<std::int32_t>(raw);
    v.address = b[12];
    for (std::size_t i = 0; i < 4; ++i) {
        if (b[8 + i] != b[i]) v.faults |= kCopyDiffers;
        if (b[4 + i] != static_cast<std::uint8_t>(~b[i])) v.faults |= kInverseWrong;
    }
    const auto na = static_cast<std::uint8_t>(~b[12]);
    if (b[13] != na || b[14] != b[12] || b[15] != na) {
        v.faults |= kAddressPattern;
    } else if (partner && *partner != b[12]) {
        v.faults |= kWrongPartner;
    }
    if (partner) v.partner = *partner;
    return v;
}

CardContents InspectCard(int sector, std::string_view block0, std::string_view block1,
                         std::string_view block2) {
    CardContents c;
    if (!CheckHex(block0, 32) || !CheckHex(block1, 32) || !CheckHex(block2, 32)) return c;
    if (AllOf(block0, '0') && AllOf(block1, '0') && AllOf(block2, '0')) {
        c.kind = CardClass::Blank;
        return c;
    }
    if (AllOf(block0, 'F') && AllOf(block1, 'F') && AllOf(block2, 'F')) {
        c.kind = CardClass::Factory;
        return c;
    }
    const CardType* t = CardTypeOfCode(block0.substr(0, 2));
    if (t == nullptr || !HeadFits(*t, block0)) return c;

    const std::string extra = std::string(block1) + std::string(block2);
    if (t->index == kConfig) {
        c.config = Config(block0.substr(10), extra);
        if (!c.config) return c;
    } else if (t->index == kMaster) {
        c.master = Master(block0.substr(10));
        if (!c.master) return c;
    } else if (t->index == kAdvanced) {
        std::bitset<256> nodes;
        for (std::size_t n = 0; n < 256; ++n) nodes[n] = ((ByteAt(extra, n / 8) >> (n % 8)) & 1) != 0;
        c.nodes = nodes;
    } else if (t->index == kBalance) {
        // Each block of the pair names the other: 4s+1 names 4s+2 and the other way round.
        c.balance = {
            *InspectValueBlock(block1, static_cast<std::uint8_t>(4u * static_cast<unsigned>(sector) + 2u)),
            *InspectValueBlock(block2, static_cast<std::uint8_t>(4u * static_cast<unsigned>(sector) + 1u))};
    }
    c.kind = CardClass::Ours;
    c.type = t;
    c.installation = std::string(block0.substr(2, 4));
    c.value = std::string(block0.substr(6, 3));
    c.checkDigit = block0[9];
    c.rightCheckDigit = CalcCheckDigit(block0.substr(0, 9));
    return c;
}

void TakeCardReport(const WindowState& st, CardReading& r) {
    const std::size_t n = st.iUidSize == 1 ? 4 : st.iUidSize == 2 ? 7 : st.iUidSize == 3 ? 10 : 0;
    r.uid.clear();
    r.atqa.clear();
    for (std::size_t i = 2; i < 2 + n && i < st.aUid.size(); ++i) r.uid.push_back(st.aUid[i]);
    if (st.bAtqaRx) {
        for (std::size_t i = 1; i <= 2 && i < st.aAtqa.size(); ++i) r.atqa.push_back(st.aAtqa[i]);
    }
}

}  // namespace zt
