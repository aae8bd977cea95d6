#include "sim/card.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace zt::sim {
namespace {

constexpr Block kFactoryTrailer = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x07,
                                   0x80, 0x69, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
// Bytes after UID, SAK and ATQA in block 0; a real card has its maker's data there.
constexpr std::uint8_t kMakerBytes[] = {0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69};

std::uint8_t bcc(std::span<const std::uint8_t> bytes) {
    std::uint8_t x = 0;
    for (auto b : bytes) x ^= b;
    return x;
}

}  // namespace

const char* cardKindName(CardKind kind) {
    switch (kind) {
        case CardKind::Mini:
            return "mini";
        case CardKind::Classic1K:
            return "1k";
        case CardKind::Classic4K:
            return "4k";
    }
    return "?";
}

std::optional<CardKind> cardKindFromName(std::string_view name) {
    std::string n(name);
    std::transform(n.begin(), n.end(), n.begin(), [](unsigned char c) { return std::tolower(c); });
    if (n == "1k") return CardKind::Classic1K;
    if (n == "4k") return CardKind::Classic4K;
    if (n == "mini") return CardKind::Mini;
    return std::nullopt;
}

std::size_t Card::sectorCount(CardKind kind) {
    switch (kind) {
        case CardKind::Mini:
            return 5;
        case CardKind::Classic1K:
            return 16;
        case CardKind::Classic4K:
            return 40;
    }
    return 0;
}

std::size_t Card::dumpSize(CardKind kind) {
    switch (kind) {
        case CardKind::Mini:
            return 320;
        case CardKind::Classic1K:
            return 1024;
        case CardKind::Classic4K:
            return 4096;
    }
    return 0;
}

Card::Card(CardKind kind, std::vector<std::uint8_t> uid)
    : kind_(kind), uid_(std::move(uid)), blocks_(dumpSize(kind) / 16) {
    if (uid_.size() != 4 && uid_.size() != 7 && uid_.size() != 10)
        throw std::invalid_argument("a UID has 4, 7 or 10 bytes");
}

Card Card::blank(CardKind kind, std::vector<std::uint8_t> uid) {
    Card card(kind, std::move(uid));
    for (int s = 0; s < card.sectorCount(); ++s) card.setBlock(card.trailerOf(s), kFactoryTrailer);
    Block b0{};
    std::size_t i = 0;
    for (auto u : card.uid_) b0[i++] = u;
    if (card.uid_.size() == 4) b0[i++] = bcc(card.uid_);
    b0[i++] = card.sak();
    b0[i++] = card.atqa()[0];
    b0[i++] = card.atqa()[1];
    for (std::size_t m = 0; i < b0.size(); ++m) b0[i++] = kMakerBytes[m];
    card.setBlock(0, b0);
    return card;
}

std::optional<Card> Card::fromDump(std::span<const std::uint8_t> dump, std::optional<std::size_t> uidLength) {
    CardKind kind;
    if (dump.size() == dumpSize(CardKind::Mini))
        kind = CardKind::Mini;
    else if (dump.size() == dumpSize(CardKind::Classic1K))
        kind = CardKind::Classic1K;
    else if (dump.size() == dumpSize(CardKind::Classic4K))
        kind = CardKind::Classic4K;
    else
        return std::nullopt;
    std::size_t len = uidLength.value_or(bcc(dump.subspan(0, 4)) == dump[4] ? 4 : 7);
    if (len != 4 && len != 7 && len != 10) return std::nullopt;
    Card card(kind, std::vector<std::uint8_t>(dump.begin(), dump.begin() + static_cast<long>(len)));
    for (std::size_t b = 0; b < card.blocks_.size(); ++b)
        std::copy_n(dump.begin() + static_cast<long>(b * 16), 16, card.blocks_[b].begin());
    return card;
}

std::vector<std::uint8_t> Card::dump() const {
    std::vector<std::uint8_t> out;
    out.reserve(blocks_.size() * 16);
    for (const auto& b : blocks_) out.insert(out.end(), b.begin(), b.end());
    return out;
}

std::optional<Card> Card::load(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = "cannot open " + path;
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto card = fromDump(bytes);
    if (!card && error)
        *error = path + ": a dump has 320, 1024 or 4096 bytes, this one has " + std::to_string(bytes.size());
    return card;
}

bool Card::save(const std::string& path, std::string* error) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const auto bytes = dump();
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    out.close();
    if (!out) {
        if (error) *error = "cannot write " + path;
        return false;
    }
    return true;
}

std::array<std::uint8_t, 2> Card::atqa() const {
    std::uint8_t low = kind_ == CardKind::Classic4K ? 0x02 : 0x04;
    if (uid_.size() == 7)
        low |= 0x40;
    else if (uid_.size() == 10)
        low |= 0x80;
    return {low, 0x00};
}

std::uint8_t Card::sak() const {
    switch (kind_) {
        case CardKind::Mini:
            return 0x09;
        case CardKind::Classic1K:
            return 0x08;
        case CardKind::Classic4K:
            return 0x18;
    }
    return 0;
}

int Card::blockCount() const {
    return static_cast<int>(blocks_.size());
}

int Card::sectorOf(int block) const {
    return block < 128 ? block / 4 : 32 + (block - 128) / 16;
}

int Card::firstBlock(int sector) const {
    return sector < 32 ? sector * 4 : 128 + (sector - 32) * 16;
}

int Card::blocksInSector(int sector) const {
    return sector < 32 ? 4 : 16;
}

bool Card::isTrailer(int block) const {
    return block == trailerOf(sectorOf(block));
}

int Card::groupOf(int block) const {
    const int offset = block - firstBlock(sectorOf(block));
    return blocksInSector(sectorOf(block)) == 4 ? offset : offset / 5;
}

std::optional<AccessConditions> Card::access(int sector) const {
    const Block& t = block(trailerOf(sector));
    return decodeAccess(t[6], t[7], t[8]);
}

bool Card::select() {
    if (state_ == CardState::Halted) return false;
    state_ = CardState::Selected;
    authSector_ = -1;
    return true;
}

AuthResult Card::authenticate(int blk, KeyType key, const Key& value) {
    if (state_ != CardState::Selected && state_ != CardState::Authenticated) return AuthResult::NotSelected;
    state_ = CardState::Idle;  // until the key is proven
    authSector_ = -1;
    if (blk < 0 || blk >= blockCount()) return AuthResult::NoSuchBlock;
    const int sector = sectorOf(blk);
    const auto ac = access(sector);
    if (!ac) return AuthResult::Locked;
    const Block& t = block(trailerOf(sector));
    const std::size_t at = key == KeyType::A ? 0 : 10;
    if (key == KeyType::B && keyBReadable(ac->cond[3])) return AuthResult::WrongKey;
    if (!std::equal(value.begin(), value.end(), t.begin() + static_cast<long>(at)))
        return AuthResult::WrongKey;
    state_ = CardState::Authenticated;
    authSector_ = sector;
    authKey_ = key;
    return AuthResult::Ok;
}

AccessResult Card::checkAccess(int blk, bool write) const {
    if (state_ == CardState::Idle || state_ == CardState::Halted) return AccessResult::NotSelected;
    if (blk < 0 || blk >= blockCount()) return AccessResult::NoSuchBlock;
    if (state_ != CardState::Authenticated || sectorOf(blk) != authSector_)
        return AccessResult::NotAuthenticated;
    if (isTrailer(blk)) return AccessResult::Ok;  // field by field, see read() and write()
    if (write && blk == 0) return AccessResult::Denied;
    const auto ac = access(authSector_);
    if (!ac || !dataAllowed(ac->cond[groupOf(blk)], authKey_, write ? DataOp::Write : DataOp::Read))
        return AccessResult::Denied;
    return AccessResult::Ok;
}

AccessResult Card::read(int blk, Block& out) {
    const AccessResult r = checkAccess(blk, false);
    if (r != AccessResult::Ok) {
        if (r != AccessResult::NotSelected) dropToIdle();
        return r;
    }
    out = block(blk);
    if (isTrailer(blk)) {
        const auto ac = access(authSector_);
        const std::uint8_t cond = ac ? ac->cond[3] : 7;
        std::fill_n(out.begin(), 6, 0);
        if (!ac || !trailerAllowed(cond, authKey_, TrailerField::AccessBits, false))
            std::fill_n(out.begin() + 6, 4, 0);
        if (!ac || !trailerAllowed(cond, authKey_, TrailerField::KeyB, false))
            std::fill_n(out.begin() + 10, 6, 0);
    }
    return AccessResult::Ok;
}

AccessResult Card::write(int blk, const Block& data) {
    AccessResult r = checkAccess(blk, true);
    if (r == AccessResult::Ok && isTrailer(blk)) {
        const auto ac = access(authSector_);
        const std::uint8_t cond = ac ? ac->cond[3] : 7;
        auto may = [&](TrailerField f) { return ac && trailerAllowed(cond, authKey_, f, true); };
        const bool keyA = may(TrailerField::KeyA), bits = may(TrailerField::AccessBits),
                   keyB = may(TrailerField::KeyB);
        if (!keyA && !bits && !keyB) {
            r = AccessResult::Denied;
        } else {
            Block& t = blocks_[static_cast<std::size_t>(blk)];
            if (keyA) std::copy_n(data.begin(), 6, t.begin());
            if (bits) std::copy_n(data.begin() + 6, 4, t.begin() + 6);
            if (keyB) std::copy_n(data.begin() + 10, 6, t.begin() + 10);
            return AccessResult::Ok;
        }
    }
    if (r != AccessResult::Ok) {
        if (r != AccessResult::NotSelected) dropToIdle();
        return r;
    }
    blocks_[static_cast<std::size_t>(blk)] = data;
    return AccessResult::Ok;
}

void Card::halt() {
    if (state_ == CardState::Selected || state_ == CardState::Authenticated) state_ = CardState::Halted;
}

}  // namespace zt::sim
