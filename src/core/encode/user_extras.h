// The two extra blocks of the richer user cards.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/app/ctx.h"

namespace zt {

// Bitmap of the nodes in listPermit: node n is bit n mod 8 of byte n div 8; 64 hex characters.
std::string GetNodeMap(Ctx& ctx);

// The initial balance of txtSalVal, rounded half to even; nullopt when it does not fit the signed
// 32-bit value of a value block. An empty or non-numeric text reads 0.
std::optional<std::int32_t> SaldoValue(const Ctx& ctx);

// The balance as two value blocks of the data sector, each naming the other as its partner:
// 64 hex characters, or the empty text when SaldoValue has none.
std::string GetSaldoBlocks(Ctx& ctx);

}  // namespace zt
