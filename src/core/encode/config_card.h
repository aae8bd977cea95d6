// The parameters of the CONFIG card.
#pragma once

#include <string>
#include <string_view>

#include "core/app/ctx.h"

namespace zt {

// The 22 characters after the CONFIG card's head, followed by 64 characters of the external-relay
// frame when one is configured (86 in all).
std::string GetCfgData(Ctx& ctx);

// Every "&H" of `text` with the two characters after it becomes the one character whose code those
// characters give as hex. Works on single-byte text (see ToAnsi).
std::string ConvTramaText(std::string_view text);

}  // namespace zt
