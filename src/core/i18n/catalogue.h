// The message catalogue: language files MisI01.dat .. MisI05.dat beside the program.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/app/ctx.h"

namespace zt {

// Messages 1..499 of one language file's text (already decoded to UTF-8): one physical line per
// message, a line ending in "~" continues on the next, every "~" becomes a CR LF line break.
std::array<std::string, kMessages> ParseMessages(std::string_view fileText);

// Loads the files found, filling the slots from the top, and sets iIdioma.
void LoadMessages(Ctx& ctx);

}  // namespace zt
