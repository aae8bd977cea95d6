#include "core/app/log.h"

namespace zt {

void AddInfo(Ctx& ctx, std::string line) {
    UpdateControls(ctx);
    auto& log = ctx.m.listInfo;
    const int sel = log.listIndex();
    log.addItem(std::move(line));
    ctx.logTimes.push_back(ctx.pf.clock != nullptr ? ctx.pf.clock->now() : LocalTime{});
    log.setListIndex(sel + 1);
}

void UpdateControls(Ctx& ctx) {
    auto& m = ctx.m;
    const bool noLink = ctx.st.LinkType == 0;
    const bool idle = ctx.st.ActiveRun == kNoRun;
    const bool linkIdle = !noLink && idle;
    const bool running = !noLink && !idle;

    m.cmdOpenCom.setEnabled(noLink);
    m.cmdOpenTCP.setEnabled(noLink);
    m.cmdScanCom.setEnabled(noLink);
    m.cEditCfg1.setEnabled(noLink);
    m.cCombo1.setEnabled(noLink);
    m.cmdClose.setEnabled(linkIdle);
    m.cmdDeSel.setEnabled(!running);
    m.cmdSelTot.setEnabled(!running);
    for (int i = 0; i <= 2; ++i) m.cmdStart(i).setEnabled(linkIdle);
    m.cmdLecTar.setEnabled(linkIdle);
    for (int i = 0; i <= 3; ++i) m.cmdStop(i).setEnabled(false);
    if (running && m.cmdStop.has(ctx.st.ActiveRun)) m.cmdStop(ctx.st.ActiveRun).setEnabled(true);
    m.txtNumInst.setEnabled(!running);
    m.txtSector.setEnabled(!running);
    m.txtKeyMF.setEnabled(!running);
    m.chkVerify.setEnabled(!running);
}

void cBorrar_Click(Ctx& ctx) {
    ctx.m.listInfo.clearItems();
    ctx.logTimes.clear();
    ctx.m.listInfo.setListIndex(-1);
}

const std::string& Dashes60() {
    static const std::string dashes(60, '-');
    return dashes;
}

}  // namespace zt
