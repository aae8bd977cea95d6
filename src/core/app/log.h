// The activity log and the rules that enable and disable the controls.
#pragma once

#include <string>

#include "core/app/ctx.h"

namespace zt {

// Recomputes the enabled state, appends `line` to listInfo and moves the selection one line on.
// The log is never trimmed: the selection index is a plain int, so it keeps counting past 32767.
void AddInfo(Ctx& ctx, std::string line);

// Enables and disables the link, run and installation controls from LinkType and ActiveRun.
void UpdateControls(Ctx& ctx);

// "Borrar": removes every line; the next line logged is selected again.
void cBorrar_Click(Ctx& ctx);

// A line of sixty "-", the separator of the runs.
const std::string& Dashes60();

}  // namespace zt
