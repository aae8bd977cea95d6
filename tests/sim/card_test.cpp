#include "sim/card.h"
#include "sim_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace zt::sim {
namespace {

using testing::blockOf;
using testing::kFactoryKey;

const Block kFactoryTrailer = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x07,
                               0x80, 0x69, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

TEST(Card, KindsAndIdentity) {
    struct Case {
        CardKind kind;
        std::size_t uidLen;
        int sectors, blocks;
        std::array<std::uint8_t, 2> atqa;
        std::uint8_t sak;
    };
    const Case cases[] = {
        {CardKind::Classic1K, 4, 16, 64, {0x04, 0x00}, 0x08},
        {CardKind::Classic1K, 7, 16, 64, {0x44, 0x00}, 0x08},
        {CardKind::Classic4K, 4, 40, 256, {0x02, 0x00}, 0x18},
        {CardKind::Classic4K, 10, 40, 256, {0x82, 0x00}, 0x18},
        {CardKind::Mini, 4, 5, 20, {0x04, 0x00}, 0x09},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(cardKindName(c.kind)) + " uid " + std::to_string(c.uidLen));
        std::vector<std::uint8_t> uid(c.uidLen);
        for (std::size_t i = 0; i < uid.size(); ++i) uid[i] = static_cast<std::uint8_t>(0x11 * (i + 1));
        const Card card = Card::blank(c.kind, uid);
        EXPECT_EQ(card.sectorCount(), c.sectors);
        EXPECT_EQ(card.blockCount(), c.blocks);
        EXPECT_EQ(card.atqa(), c.atqa);
        EXPECT_EQ(card.sak(), c.sak);
        EXPECT_EQ(card.dump().size(), Card::dumpSize(c.kind));
        // Block 0: UID, BCC for a 4-byte UID, SAK, ATQA.
        const Block& b0 = card.block(0);
        EXPECT_TRUE(std::equal(uid.begin(), uid.end(), b0.begin()));
        std::size_t at = uid.size();
        if (uid.size() == 4) {
            EXPECT_EQ(b0[at++], uid[0] ^ uid[1] ^ uid[2] ^ uid[3]);
        }
        EXPECT_EQ(b0[at], c.sak);
        EXPECT_EQ(b0[at + 1], c.atqa[0]);
        // Factory state.
        for (int b = 1; b < card.blockCount(); ++b)
            EXPECT_EQ(card.block(b), card.isTrailer(b) ? kFactoryTrailer : Block{}) << b;
    }
    EXPECT_THROW(Card::blank(CardKind::Classic1K, {1, 2, 3}), std::invalid_argument);
}

TEST(Card, FourKGeometry) {
    const Card card = Card::blank(CardKind::Classic4K, {1, 2, 3, 4});
    struct Case {
        int block, sector, group;
        bool trailer;
    };
    const Case cases[] = {
        {127, 31, 3, true},  {128, 32, 0, false}, {132, 32, 0, false}, {133, 32, 1, false},
        {142, 32, 2, false}, {143, 32, 3, true},  {144, 33, 0, false}, {255, 39, 3, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(card.sectorOf(c.block), c.sector) << c.block;
        EXPECT_EQ(card.groupOf(c.block), c.group) << c.block;
        EXPECT_EQ(card.isTrailer(c.block), c.trailer) << c.block;
    }
    EXPECT_EQ(card.firstBlock(39), 240);
    EXPECT_EQ(card.blocksInSector(31), 4);
    EXPECT_EQ(card.blocksInSector(32), 16);
}

// Saving and loading whole 1K cards is what the program's dump and load commands do (loopback tests).
TEST(Card, DumpKeepsKindAndUidLength) {
    const Card seven = Card::blank(CardKind::Mini, {1, 2, 3, 4, 5, 6, 7});
    auto back = Card::fromDump(seven.dump());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->uid(), seven.uid());
    EXPECT_EQ(back->kind(), CardKind::Mini);

    const auto path = std::filesystem::temp_directory_path() / "zt_sim_card_test.mfd";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "short";
    std::string error;
    EXPECT_FALSE(Card::load(path.string(), &error));
    EXPECT_NE(error.find("has 5"), std::string::npos) << error;
    std::filesystem::remove(path);
}

class CardProtocol : public ::testing::Test {
protected:
    Card card = Card::blank(CardKind::Classic1K, {1, 2, 3, 4});
    Block out{};

    void open(int block, KeyType k = KeyType::A, const Key& key = kFactoryKey) {
        ASSERT_TRUE(card.select());
        ASSERT_EQ(card.authenticate(block, k, key), AuthResult::Ok);
    }
    void setTrailer(int sector, std::array<std::uint8_t, 3> access, const Key& keyB = kFactoryKey) {
        Block t = kFactoryTrailer;
        std::copy(access.begin(), access.end(), t.begin() + 6);
        std::copy(keyB.begin(), keyB.end(), t.begin() + 10);
        card.setBlock(card.trailerOf(sector), t);
    }
};

TEST_F(CardProtocol, TrailerReadShowsWhatTheKeyMaySee) {
    open(7);
    ASSERT_EQ(card.read(7, out), AccessResult::Ok);
    EXPECT_EQ(out, (Block{0, 0, 0, 0, 0, 0, 0xFF, 0x07, 0x80, 0x69, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));

    const Key keyB{0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5};
    setTrailer(1, {0x7F, 0x07, 0x88}, keyB);  // 011: access bits readable by A|B, key B by nobody
    open(7, KeyType::B, keyB);
    ASSERT_EQ(card.read(7, out), AccessResult::Ok);
    EXPECT_EQ(out, (Block{0, 0, 0, 0, 0, 0, 0x7F, 0x07, 0x88, 0x69, 0, 0, 0, 0, 0, 0}));
}

TEST_F(CardProtocol, TrailerWriteChangesOnlyPermittedFields) {
    const Key keyB{0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5};
    setTrailer(1, {0x7F, 0x07, 0x88}, keyB);  // 011: everything written with key B only
    const Block wanted = {1, 1, 1, 1, 1, 1, 0xFF, 0x07, 0x80, 0x00, 2, 2, 2, 2, 2, 2};
    open(7);
    EXPECT_EQ(card.write(7, wanted), AccessResult::Denied);
    open(7, KeyType::B, keyB);
    EXPECT_EQ(card.write(7, wanted), AccessResult::Ok);
    EXPECT_EQ(card.block(7), wanted);

    // Trailer condition 100: key B may change both keys but not the access bits.
    setTrailer(2, encodeAccess(AccessConditions{{0, 0, 0, 4}}), keyB);
    const Block before = card.block(11);
    open(11, KeyType::B, keyB);
    EXPECT_EQ(card.write(11, wanted), AccessResult::Ok);
    Block expect = wanted;
    std::copy_n(before.begin() + 6, 4, expect.begin() + 6);
    EXPECT_EQ(card.block(11), expect);
}

TEST_F(CardProtocol, DataBlockConditionsApplyPerKey) {
    // A readable key B opens nothing, whatever its value.
    ASSERT_TRUE(card.select());
    EXPECT_EQ(card.authenticate(4, KeyType::B, kFactoryKey), AuthResult::WrongKey);
    const Key keyB{0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5};
    setTrailer(1, {0x78, 0x77, 0x88}, keyB);  // data 100: read A|B, write B; trailer 011: key B hidden
    open(5);
    EXPECT_EQ(card.read(5, out), AccessResult::Ok);
    EXPECT_EQ(card.write(5, blockOf({9})), AccessResult::Denied);
    EXPECT_EQ(card.state(), CardState::Idle);
    open(5, KeyType::B, keyB);
    EXPECT_EQ(card.write(5, blockOf({9})), AccessResult::Ok);
    EXPECT_EQ(card.block(5)[0], 9);
}

TEST_F(CardProtocol, InconsistentAccessBitsLockTheSectorForEver) {
    open(7);
    Block bad = kFactoryTrailer;
    bad[8] = 0x81;  // C2 of block 0 without its inverted copy
    ASSERT_EQ(card.write(7, bad), AccessResult::Ok);
    EXPECT_FALSE(card.access(1));
    for (KeyType k : {KeyType::A, KeyType::B}) {
        ASSERT_TRUE(card.select());
        EXPECT_EQ(card.authenticate(4, k, kFactoryKey), AuthResult::Locked);
    }
    open(8);  // the next sector is untouched
}

}  // namespace
}  // namespace zt::sim
