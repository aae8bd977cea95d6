#include "sim/access.h"

namespace zt::sim {
namespace {

// Who may do something: bit 0 = key A, bit 1 = key B.
constexpr std::uint8_t kNever = 0, kA = 1, kB = 2, kAB = 3;

// Data blocks, indexed by condition C1C2C3: read, write, increment, decrement/transfer/restore.
constexpr std::uint8_t kDataTable[8][4] = {
    {kAB, kAB, kAB, kAB},              // 000 transport configuration
    {kAB, kNever, kNever, kAB},        // 001 value block, decrement only
    {kAB, kNever, kNever, kNever},     // 010 read only
    {kB, kB, kNever, kNever},          // 011
    {kAB, kB, kNever, kNever},         // 100
    {kB, kNever, kNever, kNever},      // 101
    {kAB, kB, kB, kAB},                // 110 value block, recharge with B
    {kNever, kNever, kNever, kNever},  // 111
};

// Trailer, indexed by condition: key A read/write, access bits read/write, key B read/write.
constexpr std::uint8_t kTrailerTable[8][6] = {
    {kNever, kA, kA, kNever, kA, kA},               // 000
    {kNever, kA, kA, kA, kA, kA},                   // 001 transport configuration
    {kNever, kNever, kA, kNever, kA, kNever},       // 010
    {kNever, kB, kAB, kB, kNever, kB},              // 011
    {kNever, kB, kAB, kNever, kNever, kB},          // 100
    {kNever, kNever, kAB, kB, kNever, kNever},      // 101
    {kNever, kNever, kAB, kNever, kNever, kNever},  // 110
    {kNever, kNever, kAB, kNever, kNever, kNever},  // 111
};

bool permits(std::uint8_t who, KeyType key) {
    return (who & (key == KeyType::A ? kA : kB)) != 0;
}

std::string whoText(std::uint8_t who, bool keyBUsable) {
    if (!keyBUsable) who &= kA;
    switch (who) {
        case kA:
            return "A";
        case kB:
            return "B";
        case kAB:
            return "A|B";
        default:
            return "never";
    }
}

}  // namespace

std::optional<AccessConditions> decodeAccess(std::uint8_t b6, std::uint8_t b7, std::uint8_t b8) {
    const unsigned c1 = b7 >> 4, c2 = b8 & 0x0F, c3 = b8 >> 4;
    const unsigned nc1 = b6 & 0x0F, nc2 = b6 >> 4, nc3 = b7 & 0x0F;
    if ((c1 ^ nc1) != 0x0F || (c2 ^ nc2) != 0x0F || (c3 ^ nc3) != 0x0F) return std::nullopt;
    AccessConditions ac;
    for (unsigned g = 0; g < 4; ++g)
        ac.cond[g] = static_cast<std::uint8_t>(((c1 >> g) & 1) << 2 | ((c2 >> g) & 1) << 1 | ((c3 >> g) & 1));
    return ac;
}

std::array<std::uint8_t, 3> encodeAccess(const AccessConditions& ac) {
    unsigned c1 = 0, c2 = 0, c3 = 0;
    for (unsigned g = 0; g < 4; ++g) {
        c1 |= ((ac.cond[g] >> 2) & 1u) << g;
        c2 |= ((ac.cond[g] >> 1) & 1u) << g;
        c3 |= (ac.cond[g] & 1u) << g;
    }
    return {static_cast<std::uint8_t>((~c2 & 0x0F) << 4 | (~c1 & 0x0F)),
            static_cast<std::uint8_t>(c1 << 4 | (~c3 & 0x0F)), static_cast<std::uint8_t>(c3 << 4 | c2)};
}

bool dataAllowed(std::uint8_t cond, KeyType key, DataOp op) {
    return permits(kDataTable[cond & 7][static_cast<int>(op)], key);
}

bool trailerAllowed(std::uint8_t cond, KeyType key, TrailerField field, bool write) {
    return permits(kTrailerTable[cond & 7][static_cast<int>(field) * 2 + (write ? 1 : 0)], key);
}

bool keyBReadable(std::uint8_t trailerCond) {
    return trailerAllowed(trailerCond, KeyType::A, TrailerField::KeyB, false);
}

std::string describeDataCondition(std::uint8_t cond, bool keyBUsable) {
    const auto& row = kDataTable[cond & 7];
    return "read " + whoText(row[0], keyBUsable) + ", write " + whoText(row[1], keyBUsable) + ", increment " +
           whoText(row[2], keyBUsable) + ", decrement " + whoText(row[3], keyBUsable);
}

std::string describeTrailerCondition(std::uint8_t cond) {
    const auto& row = kTrailerTable[cond & 7];
    const bool bUsable = !keyBReadable(cond);
    std::string s = "key A write " + whoText(row[1], bUsable) + "; access bits read " +
                    whoText(row[2], bUsable) + ", write " + whoText(row[3], bUsable) + "; key B read " +
                    whoText(row[4], bUsable) + ", write " + whoText(row[5], bUsable);
    if (!bUsable) s += " (key B readable, so it opens nothing)";
    return s;
}

}  // namespace zt::sim
