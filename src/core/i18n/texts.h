// Putting the current language's texts into the window, and the language selector labels.
#pragma once

#include <string>
#include <string_view>

#include "core/app/ctx.h"
#include "core/i18n/tooltip.h"

namespace zt {

void ApplyTexts(Ctx& ctx, Tooltip& tips);
bool cIdioma_Click(Ctx& ctx, Tooltip& tips, int index);

// The tooltip text of the port-number box cEditCfg1: message 230, and on a line of its own the
// device behind the number typed ("Device: /dev/ttyS0") when the serial port can name one.
std::string PortTipText(const Ctx& ctx);
// Keeps that tooltip current while the operator types the port number (text change of cEditCfg1).
void cEditCfg1_Change(Ctx& ctx, Tooltip& tips);

// The tooltip text ApplyTexts gives the control named `control`; empty when it has none.
std::string TipText(const Ctx& ctx, std::string_view control);

}  // namespace zt
