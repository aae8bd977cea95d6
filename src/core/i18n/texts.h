// Putting the current language's texts into the window, and the language selector labels.
#pragma once

#include "core/app/ctx.h"
#include "core/i18n/tooltip.h"

namespace zt {

void ApplyTexts(Ctx& ctx, Tooltip& tips);
void cIdioma_Click(Ctx& ctx, Tooltip& tips, int index);

}  // namespace zt
