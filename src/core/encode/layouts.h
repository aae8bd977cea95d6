// What a card holds: the data blocks of every card type as hex text, and the sector trailer.
#pragma once

#include <string>
#include <string_view>

#include "core/app/ctx.h"

namespace zt {

// Access bytes FF 07 80 (transport configuration) and the general-purpose byte FF.
inline constexpr std::string_view TrailerAccess = "FF0780FF";
// Key B of every card made: the factory key.
inline constexpr std::string_view kTrailerKeyB = "FFFFFFFFFFFF";

// One decimal character: (10 - sum of the decimal digits mod 10) mod 10; other characters count 0.
char CalcCheckDigit(std::string_view text);
// The first twenty characters read as ten hex pairs, added modulo 256, as two hex characters.
std::string CalcHexSum(std::string_view text);

// The data blocks of card type `index` (a cSelTar index) from the window's fields: 32, 64 or 96
// hex characters, or the empty text when the parts do not add up (or the index has no type).
std::string GetCardData(Ctx& ctx, int index);

// The 32-character sector trailer for key A `keyA` (twelve hex characters).
std::string TrailerText(std::string_view keyA);

}  // namespace zt
