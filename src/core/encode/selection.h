// Card-type check boxes and the node permit lists.
#pragma once

#include <string>

#include "core/app/ctx.h"

namespace zt {

// The three user types exclude each other: ticking one of 30..32 clears the other two.
void cSelTar_Click(Ctx& ctx, int index);
// Tick or clear the generic types 10..24.
void cmdSelTot_Click(Ctx& ctx);
void cmdDeSel_Click(Ctx& ctx);

void cAddAllListPermit_Click(Ctx& ctx);
void cDelAllListPermit_Click(Ctx& ctx);
void cAddListPermit_Click(Ctx& ctx);
void cDelListPermit_Click(Ctx& ctx);

// "Nodo " and the node number as three digits: "Nodo 007".
std::string NodeEntry(int node);

}  // namespace zt
