// What a card holds, decoded from the three data blocks of its data sector: the inverse of the card
// layouts. The result is data; the read tab and the simulator put their own words on it.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/state.h"
#include "core/encode/card_types.h"

namespace zt {

enum class CardClass {
    Foreign,  // not laid out as a card of this system
    Blank,    // every byte of the three blocks 00
    Factory,  // every byte FF
    Ours,     // the head of a type this system knows, in its layout
};

// Faults of one value block; a block without any is intact.
enum ValueFault : unsigned {
    kCopyDiffers = 1,     // bytes 8-11 are not bytes 0-3
    kInverseWrong = 2,    // bytes 4-7 are not the bitwise inverse of bytes 0-3
    kAddressPattern = 4,  // bytes 12-15 are not A, ~A, A, ~A
    kWrongPartner = 8,    // the address names another block than its partner
};

struct ValueBlock {
    std::int32_t value = 0;    // bytes 0-3, least significant first
    std::uint8_t address = 0;  // byte 12
    std::uint8_t partner = 0;  // the block it should name, when known
    unsigned faults = 0;       // ValueFault bits
    // The value is trustworthy: it equals its copy and its inverse is right.
    bool valueIntact() const { return (faults & (kCopyDiffers | kInverseWrong)) == 0; }
};

struct ConfigParams {
    int timeUnit = 0;  // position k of the unit among messages 100..105
    int relayTime = 0;
    bool clearList = false;
    int listType = 0;         // position k among messages 110..115 (255: none matched)
    std::optional<int> node;  // none: numeric cards set the node (FFFF)
    int scan = 0;
    int decrement = 0;
    std::vector<std::uint8_t> relayFrame;  // empty: no external relay
    std::string sum;                       // as on the card
    std::string rightSum;
    bool operator==(const ConfigParams&) const = default;
};

struct MasterParams {
    std::string newCode;  // four characters
    std::string newKey;   // twelve hex characters
    int newSector = 0;
    std::string sum;
    std::string rightSum;
    bool operator==(const MasterParams&) const = default;
};

struct CardContents {
    CardClass kind = CardClass::Foreign;
    // For kind Ours:
    const CardType* type = nullptr;
    std::string installation;  // characters 3-6 (the current code on a MASTER card)
    std::string value;         // characters 7-9
    char checkDigit = 0;
    char rightCheckDigit = 0;
    std::optional<std::bitset<256>> nodes;             // USUARIO AVANZADO
    std::optional<std::array<ValueBlock, 2>> balance;  // USUARIO CON SALDO, blocks 4s+1 and 4s+2
    std::optional<ConfigParams> config;                // CONFIG
    std::optional<MasterParams> master;                // MASTER
};

// `sector` is the data sector the blocks were read from; value blocks name their partners by it.
// Blocks are 32 hex characters each; anything else makes the card Foreign.
CardContents InspectCard(int sector, std::string_view block0, std::string_view block1,
                         std::string_view block2);
inline CardContents InspectCard(const CardReading& r) {
    return InspectCard(r.sector, r.blocks[0], r.blocks[1], r.blocks[2]);
}

// One block in the value-block format; `partner`, when known, is the block its address should name.
// nullopt when the text is not 32 hex characters.
std::optional<ValueBlock> InspectValueBlock(std::string_view block, std::optional<std::uint8_t> partner);

// The card report of the window state as it stands: UID and, when reported, ATQA.
void TakeCardReport(const WindowState& st, CardReading& r);

}  // namespace zt
