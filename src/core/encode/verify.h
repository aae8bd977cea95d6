// Verified cards: with chkVerify ticked the encoding run logs in to the data sector again with the
// key the card opens with now, reads back every block it wrote and the trailer, and compares.
#pragma once

#include <cstdint>
#include <string>

#include "core/app/ctx.h"

namespace zt {

// The reader key slot the check logs in with. The encoding run loads its login keys into 5 and 6,
// the read run its test keys into 7 to 9; nothing else touches 10.
constexpr std::uint8_t kVerifySlot = 10;

// The trailer key held in kVerifySlot as far as this run knows; empty until loaded.
struct VerifyKey {
    std::string loaded;
};

enum class Verified : std::uint8_t {
    Ok,          // unticked, or the card reads back as written
    CardFailed,  // logged; the run's card failure ending follows
    RunEnds,     // Stop, or the reader did not store the key; logged (and shown), the run ends
};

// At the start of an encoding run (after StartUp) over the types from `firstType` on: with chkVerify
// ticked, loads the trailer key its first cards get (txtOldKeyMF when the run makes a MASTER card,
// txtKeyMF otherwise). A key that is not 12 hex characters is left to the card's own key check.
Co<Verified> LoadVerifyKey(Ctx& ctx, VerifyKey& key, int firstType);

// After the trailer write and before Halt: with chkVerify ticked, checks the card whose data
// sector `sector` now holds `content` (0 to 3 blocks) and the trailer with `trailerKey`. Loads
// that key first when kVerifySlot holds another.
Co<Verified> VerifyCard(Ctx& ctx, VerifyKey& key, const std::string& trailerKey, int sector,
                        const std::string& content);

}  // namespace zt
