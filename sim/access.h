// Access conditions of a MIFARE Classic sector trailer.
//
// Bytes 6-8 of a trailer hold three bits C1, C2, C3 for each of the four groups of the sector
// (group 0-2: data blocks, group 3: the trailer), each bit stored twice, once inverted:
//
//   byte 6 = ~C2(3..0) << 4 | ~C1(3..0)
//   byte 7 =  C1(3..0) << 4 | ~C3(3..0)
//   byte 8 =  C3(3..0) << 4 |  C2(3..0)
//
// A condition is written here as the three-bit number C1 C2 C3 (C1 is the high bit), so "001"
// is condition 1. In a sector of 16 blocks (the large sectors of a 4K card) data group 0 covers
// blocks 0-4, group 1 blocks 5-9 and group 2 blocks 10-14.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zt::sim {

enum class KeyType : std::uint8_t { A = 0, B = 1 };

/// Operations on a data block.
enum class DataOp { Read, Write, Increment, Decrement };  // Decrement also stands for transfer/restore

/// Fields of a trailer.
enum class TrailerField { KeyA, AccessBits, KeyB };

/// The four 3-bit conditions of a sector: [0..2] data groups, [3] the trailer.
struct AccessConditions {
    std::array<std::uint8_t, 4> cond{};
    bool operator==(const AccessConditions&) const = default;
};

/// Decodes bytes 6-8; nullopt when a bit and its inverted copy disagree.
std::optional<AccessConditions> decodeAccess(std::uint8_t b6, std::uint8_t b7, std::uint8_t b8);
std::array<std::uint8_t, 3> encodeAccess(const AccessConditions& ac);

bool dataAllowed(std::uint8_t cond, KeyType key, DataOp op);
bool trailerAllowed(std::uint8_t cond, KeyType key, TrailerField field, bool write);
/// Conditions 000, 010 and 001 leave key B readable; it then cannot serve for authentication.
bool keyBReadable(std::uint8_t trailerCond);

/// Plain words for the sector view, e.g. "read A|B, write B, increment never, decrement never".
std::string describeDataCondition(std::uint8_t cond, bool keyBUsable);
std::string describeTrailerCondition(std::uint8_t cond);

}  // namespace zt::sim
