#include "sim/access.h"

#include <gtest/gtest.h>

namespace zt::sim {
namespace {

TEST(Access, KnownTriplesDecode) {
    struct Case {
        std::uint8_t b6, b7, b8;
        AccessConditions want;
    };
    const Case cases[] = {
        {0xFF, 0x07, 0x80, {{0, 0, 0, 1}}},  // transport configuration
        {0x08, 0x77, 0x8F, {{6, 6, 6, 3}}},  // value blocks with recharge by key B
        {0x78, 0x77, 0x88, {{4, 4, 4, 3}}},  // data written with key B, trailer by key B
        {0x7F, 0x07, 0x88, {{0, 0, 0, 3}}},
        {0xFF, 0x07, 0x81, {}},  // C2 of block 0 set without its inverted copy
        {0xFF, 0x0F, 0x80, {}},  // C3 of block 3 inverted copy disagrees
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << int(c.b6) << " " << int(c.b7) << " " << int(c.b8));
        const auto ac = decodeAccess(c.b6, c.b7, c.b8);
        if (c.want == AccessConditions{}) {
            EXPECT_FALSE(ac);
            continue;
        }
        ASSERT_TRUE(ac);
        EXPECT_EQ(*ac, c.want);
        EXPECT_EQ(encodeAccess(*ac), (std::array<std::uint8_t, 3>{c.b6, c.b7, c.b8}));
    }
}

TEST(Access, ExactlyTheEncodableTriplesAreValid) {
    // Every one of the 4096 condition sets round-trips, and no other byte triple decodes.
    std::vector<bool> valid(1 << 24);
    for (unsigned bits = 0; bits < 4096; ++bits) {
        AccessConditions ac;
        for (unsigned g = 0; g < 4; ++g) ac.cond[g] = static_cast<std::uint8_t>((bits >> (3 * g)) & 7);
        const auto t = encodeAccess(ac);
        const auto back = decodeAccess(t[0], t[1], t[2]);
        ASSERT_TRUE(back) << bits;
        ASSERT_EQ(*back, ac) << bits;
        valid[static_cast<std::size_t>(t[0] << 16 | t[1] << 8 | t[2])] = true;
    }
    int decoded = 0;
    for (unsigned v = 0; v < (1u << 24); ++v) {
        const bool ok = decodeAccess(static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                                     static_cast<std::uint8_t>(v))
                            .has_value();
        decoded += ok;
        if (ok != valid[v]) FAIL() << std::hex << v;
    }
    EXPECT_EQ(decoded, 4096);
}

// The chip's permission tables, one row per condition C1C2C3; entries: '-' never, 'A', 'B', '*' A|B.
TEST(Access, DataBlockPermissions) {
    const char* table[8] = {"****", "*--*", "*---", "BB--", "*B--", "B---", "*BB*", "----"};
    const DataOp ops[4] = {DataOp::Read, DataOp::Write, DataOp::Increment, DataOp::Decrement};
    for (std::uint8_t cond = 0; cond < 8; ++cond)
        for (int op = 0; op < 4; ++op) {
            const char w = table[cond][op];
            EXPECT_EQ(dataAllowed(cond, KeyType::A, ops[op]), w == 'A' || w == '*') << int(cond) << op;
            EXPECT_EQ(dataAllowed(cond, KeyType::B, ops[op]), w == 'B' || w == '*') << int(cond) << op;
        }
}

TEST(Access, TrailerPermissions) {
    // key A read/write, access bits read/write, key B read/write
    const char* table[8] = {"-AA-AA", "-AAAAA", "--A-A-", "-B*B-B", "-B*--B", "--*B--", "--*---", "--*---"};
    const TrailerField fields[3] = {TrailerField::KeyA, TrailerField::AccessBits, TrailerField::KeyB};
    for (std::uint8_t cond = 0; cond < 8; ++cond)
        for (int i = 0; i < 6; ++i) {
            const char w = table[cond][i];
            const bool write = i % 2 == 1;
            EXPECT_EQ(trailerAllowed(cond, KeyType::A, fields[i / 2], write), w == 'A' || w == '*')
                << int(cond) << i;
            EXPECT_EQ(trailerAllowed(cond, KeyType::B, fields[i / 2], write), w == 'B' || w == '*')
                << int(cond) << i;
        }
    for (std::uint8_t cond = 0; cond < 8; ++cond)
        EXPECT_EQ(keyBReadable(cond), cond == 0 || cond == 1 || cond == 2) << int(cond);
}

}  // namespace
}  // namespace zt::sim
