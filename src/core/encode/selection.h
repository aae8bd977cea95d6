// Card-type check boxes and the node permit lists.
#pragma once

#include "core/app/ctx.h"

namespace zt {

void cSelTar_Click(Ctx& ctx, int index);
void cmdSelTot_Click(Ctx& ctx);
void cmdDeSel_Click(Ctx& ctx);

void cAddAllListPermit_Click(Ctx& ctx);
void cDelAllListPermit_Click(Ctx& ctx);
void cAddListPermit_Click(Ctx& ctx);
void cDelListPermit_Click(Ctx& ctx);

}  // namespace zt
