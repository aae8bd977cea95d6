#include "core/app/ctx.h"

#include <memory>

namespace zt {

const std::string& GetMis(const Ctx& ctx, int n) {
    static const std::string empty;
    if (n < 0 || n >= kMessages) return empty;
    const int slot = ctx.st.iIdioma;
    if (slot < 0 || slot >= kLangSlots) return empty;
    return ctx.st.Mis[static_cast<std::size_t>(slot)][static_cast<std::size_t>(n)];
}

Co<> MsgBox(Ctx& ctx, std::string text, std::string title, BoxIcon icon) {
    auto closed = std::make_shared<bool>(false);
    if (ctx.pf.box == nullptr) co_return;
    Scheduler* sched = &ctx.sched;
    ctx.pf.box->show(text, title, icon, [closed, sched] {
        *closed = true;
        sched->pump();
    });
    const bool* done = closed.get();
    co_await ctx.sched.until([done] { return *done; });
}

}  // namespace zt
