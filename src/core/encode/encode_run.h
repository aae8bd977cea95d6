// The encoding run behind the three Start buttons of the card tabs.
#pragma once

#include "core/app/ctx.h"

namespace zt {

Co<> cmdStart_Click(Ctx& ctx, int index);
// Any Stop button: raises bStop for the run in progress.
void cmdStop_Click(Ctx& ctx, int index);

}  // namespace zt
