// The simulated card's access conditions: the chip's permission tables, the access bytes, and what
// each key may read and write of a sector. The reader's frames are the client tests' part.
#include <gtest/gtest.h>

#include "sim/access.h"
#include "sim/card.h"

namespace zt::sim {
namespace {

TEST(Access, TriplesDecodeAndEncode) {
    // Bytes 6..8 of a trailer and the conditions of groups 0..3 (none: inconsistent).
    const std::pair<std::array<std::uint8_t, 3>, const char*> cases[] = {
        {{0xFF, 0x07, 0x80}, "0001"},  // transport configuration
        {{0x08, 0x77, 0x8F}, "6663"},  // value blocks with recharge by key B
        {{0x78, 0x77, 0x88}, "4443"}, {{0x7F, 0x07, 0x88}, "0003"},
        {{0xFF, 0x07, 0x81}, ""},  // C2 of block 0 set without its inverted copy
        {{0xFF, 0x0F, 0x80}, ""}};
    for (const auto& [t, want] : cases) {
        const auto ac = decodeAccess(t[0], t[1], t[2]);
        std::string got;
        for (int g = 0; ac && g < 4; ++g) got += std::to_string(ac->cond[g]);
        EXPECT_EQ(got, want) << int(t[0]) << " " << int(t[1]) << " " << int(t[2]);
        if (ac) { EXPECT_TRUE(encodeAccess(*ac) == t); }
    }
    // Every one of the 4096 condition sets round-trips, and no other byte triple decodes.
    std::vector<bool> valid(1 << 24);
    for (unsigned bits = 0; bits < 4096; ++bits) {
        AccessConditions ac;
        for (unsigned g = 0; g < 4; ++g) ac.cond[g] = static_cast<std::uint8_t>((bits >> (3 * g)) & 7);
        const auto t = encodeAccess(ac);
        const auto back = decodeAccess(t[0], t[1], t[2]);
        ASSERT_TRUE(back && *back == ac) << bits;
        valid[static_cast<std::size_t>(t[0] << 16 | t[1] << 8 | t[2])] = true;
    }
    for (unsigned v = 0; v < (1u << 24); ++v) {
        const auto b = [v](int s) { return static_cast<std::uint8_t>(v >> s); };
        if (decodeAccess(b(16), b(8), b(0)).has_value() != valid[v]) FAIL() << std::hex << v;
    }
}

// One row per condition C1C2C3; entries: '-' never, 'A', 'B', '*' A|B.
TEST(Access, PermissionTables) {
    const char* data[8] = {"****", "*--*", "*---", "BB--", "*B--", "B---", "*BB*", "----"};
    const DataOp ops[4] = {DataOp::Read, DataOp::Write, DataOp::Increment, DataOp::Decrement};
    // Key A read/write, access bits read/write, key B read/write.
    const char* trailer[8] = {"-AA-AA", "-AAAAA", "--A-A-", "-B*B-B", "-B*--B", "--*B--", "--*---", "--*---"};
    const TrailerField fields[3] = {TrailerField::KeyA, TrailerField::AccessBits, TrailerField::KeyB};
    auto may = [](char w, KeyType k) { return w == '*' || w == (k == KeyType::A ? 'A' : 'B'); };
    for (std::uint8_t cond = 0; cond < 8; ++cond) {
        for (KeyType k : {KeyType::A, KeyType::B}) {
            for (int op = 0; op < 4; ++op) EXPECT_EQ(dataAllowed(cond, k, ops[op]), may(data[cond][op], k)) << int(cond) << op;
            for (int i = 0; i < 6; ++i)
                EXPECT_EQ(trailerAllowed(cond, k, fields[i / 2], i % 2), may(trailer[cond][i], k)) << int(cond) << i;
        }
        EXPECT_EQ(keyBReadable(cond), cond <= 2) << int(cond);
    }
}

struct CardProtocol : ::testing::Test {
    Card card = Card::blank(CardKind::Classic1K, {1, 2, 3, 4});
    Block out{};
    const Key ff{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, keyB{0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5};
    void open(int block, KeyType k = KeyType::A) {
        ASSERT_TRUE(card.select());
        ASSERT_EQ(card.authenticate(block, k, k == KeyType::A ? ff : keyB), AuthResult::Ok);
    }
    void setTrailer(int sector, std::array<std::uint8_t, 3> access) {
        Block t{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, access[0], access[1], access[2], 0x69};
        std::copy(keyB.begin(), keyB.end(), t.begin() + 10);
        card.setBlock(card.trailerOf(sector), t);
    }
};

TEST_F(CardProtocol, TrailerShowsAndTakesWhatTheKeyMay) {
    // A readable key B opens nothing, whatever its value; key A reads the access bits and key B.
    ASSERT_TRUE(card.select());
    EXPECT_EQ(card.authenticate(4, KeyType::B, ff), AuthResult::WrongKey);
    open(7);
    ASSERT_EQ(card.read(7, out), AccessResult::Ok);
    EXPECT_EQ(out, (Block{0, 0, 0, 0, 0, 0, 0xFF, 0x07, 0x80, 0x69, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    setTrailer(1, {0x7F, 0x07, 0x88});  // 011: access bits readable by A|B, key B by nobody, written with B
    open(7, KeyType::B);
    ASSERT_EQ(card.read(7, out), AccessResult::Ok);
    EXPECT_EQ(out, (Block{0, 0, 0, 0, 0, 0, 0x7F, 0x07, 0x88, 0x69, 0, 0, 0, 0, 0, 0}));
    const Block wanted = {1, 1, 1, 1, 1, 1, 0xFF, 0x07, 0x80, 0x00, 0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5};
    open(7);
    EXPECT_EQ(card.write(7, wanted), AccessResult::Denied);
    open(7, KeyType::B);
    EXPECT_EQ(card.write(7, wanted), AccessResult::Ok);
    EXPECT_EQ(card.block(7), wanted);
    // Trailer condition 100: key B may change both keys but not the access bits.
    setTrailer(2, encodeAccess(AccessConditions{{0, 0, 0, 4}}));
    Block expect = wanted;
    std::copy_n(card.block(11).begin() + 6, 4, expect.begin() + 6);
    open(11, KeyType::B);
    EXPECT_EQ(card.write(11, wanted), AccessResult::Ok);
    EXPECT_EQ(card.block(11), expect);
}

TEST_F(CardProtocol, DataBlocksPerKeyAndLockedSectors) {
    setTrailer(1, {0x78, 0x77, 0x88});  // data 100: read A|B, write B; trailer 011: key B hidden
    open(5);
    EXPECT_EQ(card.read(5, out), AccessResult::Ok);
    EXPECT_EQ(card.write(5, Block{9}), AccessResult::Denied);
    EXPECT_EQ(card.state(), CardState::Idle);
    open(5, KeyType::B);
    EXPECT_EQ(card.write(5, Block{9}), AccessResult::Ok);
    EXPECT_EQ(card.block(5)[0], 9);
    // Access bits without their inverted copy lock the sector for good; the next one is untouched.
    open(11);
    Block bad = card.block(11);
    bad[8] = 0x81;
    ASSERT_EQ(card.write(11, bad), AccessResult::Ok);
    EXPECT_FALSE(card.access(2));
    for (KeyType k : {KeyType::A, KeyType::B}) {
        ASSERT_TRUE(card.select());
        EXPECT_EQ(card.authenticate(8, k, ff), AuthResult::Locked);
    }
    open(12);
}

}  // namespace
}  // namespace zt::sim
