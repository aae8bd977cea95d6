#include "core/encode/selection.h"

#include <algorithm>
#include <vector>

#include "core/encode/ansi.h"
#include "core/link/numeric.h"

namespace zt {

void cSelTar_Click(Ctx& ctx, int index) {
    auto& sel = ctx.m.cSelTar;
    if (index < 30 || index > 32 || !sel.has(index) || sel(index).value() != 1) return;
    // The boxes cleared here call back with a cleared box, which does nothing.
    for (int i = 30; i <= 32; ++i) sel(i).setValue(i == index ? 1 : 0);
}

void cmdSelTot_Click(Ctx& ctx) {
    for (int i = 10; i <= 24; ++i) ctx.m.cSelTar(i).setValue(1);
}

void cmdDeSel_Click(Ctx& ctx) {
    for (int i = 10; i <= 24; ++i) ctx.m.cSelTar(i).setValue(0);
}

std::string NodeEntry(int node) {
    return "Nodo " + Right("000" + std::to_string(node), 3);
}

namespace {
void FillAll(Ctx& ctx, Control& to) {
    ctx.m.listPermit.clearItems();
    ctx.m.listNoPermit.clearItems();
    for (int n = 0; n <= 255; ++n) to.addItem(NodeEntry(n));
}

int NodeOf(const std::string& entry) {
    return static_cast<int>(NumVal(Right(entry, 3)));
}

// Moves the selected entry of `from` into `to`, keeping `to` in ascending node order. The entry
// that stood after the moved one becomes selected in `from` (the last one when the moved entry was
// last), so that repeated clicks move a run of nodes; `to` keeps its own selection.
void MoveSelected(Control& from, Control& to) {
    const int pos = from.listIndex();
    if (pos < 0 || pos >= from.itemCount()) return;
    const std::string entry = from.items()[static_cast<std::size_t>(pos)];

    std::vector<std::string> target = to.items();
    const int selected = to.listIndex();
    const std::string selectedEntry = selected >= 0 && selected < to.itemCount()
                                          ? target[static_cast<std::size_t>(selected)]
                                          : std::string();
    const auto at = std::find_if(target.begin(), target.end(),
                                 [&](const std::string& e) { return NodeOf(e) > NodeOf(entry); });
    if (at == target.end()) {
        to.addItem(entry);
    } else {
        target.insert(at, entry);
        to.clearItems();
        for (auto& e : target) to.addItem(e);
        if (!selectedEntry.empty()) {
            const auto it = std::find(target.begin(), target.end(), selectedEntry);
            to.setListIndex(static_cast<int>(it - target.begin()));
        }
    }

    from.removeItem(pos);
    from.setListIndex(std::min(pos, from.itemCount() - 1));
}
}  // namespace

void cAddAllListPermit_Click(Ctx& ctx) {
    FillAll(ctx, ctx.m.listPermit);
}

void cDelAllListPermit_Click(Ctx& ctx) {
    FillAll(ctx, ctx.m.listNoPermit);
}

void cAddListPermit_Click(Ctx& ctx) {
    MoveSelected(ctx.m.listNoPermit, ctx.m.listPermit);
}

void cDelListPermit_Click(Ctx& ctx) {
    MoveSelected(ctx.m.listPermit, ctx.m.listNoPermit);
}

}  // namespace zt
