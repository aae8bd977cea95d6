// Received bytes to frames, and the link events that reach the logic.
#pragma once

#include <cstdint>
#include <string>

#include "core/app/ctx.h"

namespace zt {

// Advances the frame assembler by one received byte; a complete frame goes to CheckFrame.
void RxByte(Ctx& ctx, std::uint8_t c);
// 0: passed to DecodeAnswer; 1: shorter than 5 bytes; 2: checksum or length mismatch.
std::uint8_t CheckFrame(Ctx& ctx, const std::string& frame);

// Event entry points: each handles its event completely, then lets waiting runs test their
// conditions (Scheduler::pump).
void OnSerialData(Ctx& ctx, Bytes bytes);
void OnSocketData(Ctx& ctx, Bytes bytes);
void OnSocketConnected(Ctx& ctx);
// A link went away underneath (device pulled out, peer reset): LinkLost, then the waiting runs.
void OnLinkLost(Ctx& ctx, int linkType);

}  // namespace zt
