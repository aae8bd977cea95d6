// The encoding run behind the three Start buttons of the card tabs.
#pragma once

#include "core/app/ctx.h"

namespace zt {

// Start(0) makes MASTER and CONFIG, Start(1) the generic cards, Start(2) the user cards: every
// ticked type of the tab, in index order, each on the next card laid on the reader. Any other
// index does nothing.
Co<> cmdStart_Click(Ctx& ctx, int index);
// Any Stop button: raises bStop for the run in progress.
void cmdStop_Click(Ctx& ctx, int index);

}  // namespace zt
