// The 500 ms tick of Timer1 and the timed wait built on it.
#pragma once

#include <cstdint>

#include "core/app/ctx.h"

namespace zt {

constexpr int kTickMs = 500;

// Every tick: lowers iTicks while it is above 0, then lets waiting runs test their conditions.
void Timer1_Timer(Ctx& ctx);

// Sets iTicks to n and waits until it is 0. With n = 1 it ends at the next tick. A wait with n <= 0
// returns after one event, since the counter would never reach 0 from below.
Co<> WaitTicks(Ctx& ctx, std::int16_t n);

}  // namespace zt
