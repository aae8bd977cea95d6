// The window's own state fields, shared by the subsystems.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zt {

// Booleans of the window are 16-bit: 0 false, -1 true.
using VBool = std::int16_t;
constexpr VBool kTrue = -1;
constexpr VBool kFalse = 0;

constexpr int kLangSlots = 6;   // 0 (never loaded) .. 5
constexpr int kMessages = 501;  // 0 .. 500
constexpr std::uint8_t kNoRun = 255;

// A card as the read run got it: its data sector, the three data blocks read there (32 hex
// characters each) and what the card report said.
struct CardReading {
    int sector = 0;
    std::array<std::string, 3> blocks;
    std::vector<std::uint8_t> uid;   // 4, 7 or 10 bytes
    std::vector<std::uint8_t> atqa;  // 2 bytes; empty when the report carried none
};

struct WindowState {
    std::int16_t LinkType = 0;        // 0 none, 1 serial, 2 TCP
    std::uint8_t ActiveRun = kNoRun;  // 0..2 encoding run of cmdStart(i), 3 read run
    std::int16_t iIdioma = 0;
    std::array<std::array<std::string, kMessages>, kLangSlots> Mis{};
    VBool TcpConnected = kFalse;
    bool lossTold = false;  // the operator was shown the box of this link's loss
    std::int16_t iTicks = 0;
    VBool bStop = kFalse;

    // Answer state, written only by the answer decoder. Arrays are indexed from 1 (element 0 unused)
    // and allocated at start-up.
    VBool bTestLinkOk = kFalse;
    VBool bStartUpOk = kFalse;
    VBool bCardRx = kFalse;
    VBool bAtqaRx = kFalse;
    std::vector<std::uint8_t> aAtqa;  // elements 1..2
    std::vector<std::uint8_t> aUid;   // elements 1..11
    std::uint8_t iUidSize = 0;
    VBool bSelectRx = kFalse;
    std::uint8_t iSelectStatus = 0;
    VBool bWriteKeyOk = kFalse;
    VBool bLoginOk = kFalse;
    VBool bReadOk = kFalse;
    std::string sReadData;  // one character per byte
    VBool bWriteOk = kFalse;
    VBool bHaltOk = kFalse;

    // Frame assembler; never reset by opening or closing a link.
    std::int16_t iRxState = 0;
    std::string sRxBuf;
    std::int16_t iRxLen = 0;

    // The card whose details the read tab shows, said again in the new language on a switch.
    std::optional<CardReading> shownCard;
};

}  // namespace zt
