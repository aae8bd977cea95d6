// The read run behind the read tab's Start button, and the shown copies of the test keys.
#pragma once

#include "core/app/ctx.h"

namespace zt {

Co<> cmdLecTar_Click(Ctx& ctx);
void txtKeyMF_Change(Ctx& ctx);
void txtOldKeyMF_Change(Ctx& ctx);
void txtKeyTar_Change(Ctx& ctx);

}  // namespace zt
