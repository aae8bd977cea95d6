#include "core/link/ticks.h"

namespace zt {

void Timer1_Timer(Ctx& ctx) {
    if (ctx.st.iTicks > 0) --ctx.st.iTicks;
    ctx.sched.pump();
}

Co<> WaitTicks(Ctx& ctx, std::int16_t n) {
    ctx.st.iTicks = n;
    WindowState* st = &ctx.st;
    co_await ctx.sched.until([st] { return st->iTicks <= 0; });
}

}  // namespace zt
