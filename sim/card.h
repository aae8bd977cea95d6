// An emulated MIFARE Classic card: Mini (5 sectors), 1K (16) and 4K (32 small sectors of 4 blocks,
// then 8 large sectors of 16 blocks), with a UID of 4, 7 or 10 bytes.
//
// The card keeps its memory and its protocol state. Its operations follow the chip:
// - Only a card in the field answers; a halted card answers nothing until it leaves the field.
// - select() brings an idle (or selected, or authenticated) card to the selected state.
// - authenticate() checks the key against the sector trailer; any failure drops the card back to
//   idle. Key B cannot open a sector whose access conditions leave key B readable, and a sector
//   whose access bytes are inconsistent can never be opened again.
// - read()/write() work only inside the one authenticated sector and only where the access
//   conditions allow the key used; a refusal drops the card back to idle, like the chip's NAK.
// - Reading a trailer gives key A as zeros, and the access bytes and key B as zeros where the
//   key used may not read them. Writing a trailer changes the fields the key may write and keeps
//   the others; a write that may change none is refused. Block 0 is never writable.
// - Value blocks are plain data here.
#pragma once

#include "sim/access.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zt::sim {

enum class CardKind { Mini, Classic1K, Classic4K };

enum class CardState { Idle, Selected, Authenticated, Halted };

using Block = std::array<std::uint8_t, 16>;
using Key = std::array<std::uint8_t, 6>;

enum class AuthResult { Ok, NotSelected, NoSuchBlock, WrongKey, Locked };
enum class AccessResult { Ok, NotSelected, NoSuchBlock, NotAuthenticated, Denied };

const char* cardKindName(CardKind kind);  // "1k", "4k", "mini"
std::optional<CardKind> cardKindFromName(std::string_view name);

class Card {
public:
    /// Factory state: block 0 from the UID, every trailer FFFFFFFFFFFF FF0780 69 FFFFFFFFFFFF,
    /// all other blocks zero. Throws std::invalid_argument for a UID that is not 4, 7 or 10 bytes.
    static Card blank(CardKind kind, std::vector<std::uint8_t> uid);

    /// A raw dump: blocks one after the other, 320, 1024 or 4096 bytes. The UID is taken from
    /// block 0; its length is 4 when byte 4 is the BCC of bytes 0-3, otherwise 7, unless given.
    /// nullopt for a dump of another size.
    static std::optional<Card> fromDump(std::span<const std::uint8_t> dump,
                                        std::optional<std::size_t> uidLength = std::nullopt);
    std::vector<std::uint8_t> dump() const;
    /// File helpers; the error text is set when they fail.
    static std::optional<Card> load(const std::string& path, std::string* error = nullptr);
    bool save(const std::string& path, std::string* error = nullptr) const;

    static std::size_t dumpSize(CardKind kind);
    static std::size_t sectorCount(CardKind kind);

    CardKind kind() const { return kind_; }
    const std::vector<std::uint8_t>& uid() const { return uid_; }
    std::array<std::uint8_t, 2> atqa() const;
    std::uint8_t sak() const;
    /// Whether the reader's card report for this card carries the ATQA.
    bool reportWithAtqa = true;
    std::string label;  // free text for the wallet

    // Geometry.
    int blockCount() const;
    int sectorCount() const { return static_cast<int>(sectorCount(kind_)); }
    int sectorOf(int block) const;
    int firstBlock(int sector) const;
    int blocksInSector(int sector) const;
    int trailerOf(int sector) const { return firstBlock(sector) + blocksInSector(sector) - 1; }
    bool isTrailer(int block) const;
    /// Data group (0-2) of the access conditions for a data block.
    int groupOf(int block) const;

    // Memory, bypassing every rule (wallet, loading, tests).
    const Block& block(int i) const { return blocks_.at(static_cast<std::size_t>(i)); }
    void setBlock(int i, const Block& data) { blocks_.at(static_cast<std::size_t>(i)) = data; }
    /// Access conditions of a sector; nullopt when its access bytes are inconsistent (locked).
    std::optional<AccessConditions> access(int sector) const;

    // Protocol.
    CardState state() const { return state_; }
    int authenticatedSector() const { return state_ == CardState::Authenticated ? authSector_ : -1; }
    bool select();
    AuthResult authenticate(int block, KeyType key, const Key& value);
    AccessResult read(int block, Block& out);
    AccessResult write(int block, const Block& data);
    void halt();
    /// The card leaves the field: it loses power and state.
    void leaveField() { state_ = CardState::Idle; }
    /// Drops back to idle, as after an error.
    void dropToIdle() { state_ = CardState::Idle; }

private:
    Card(CardKind kind, std::vector<std::uint8_t> uid);
    AccessResult checkAccess(int block, bool write) const;

    CardKind kind_;
    std::vector<std::uint8_t> uid_;
    std::vector<Block> blocks_;
    CardState state_ = CardState::Idle;
    int authSector_ = -1;
    KeyType authKey_ = KeyType::A;
};

}  // namespace zt::sim
