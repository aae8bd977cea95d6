#include "core/top/form.h"

#include <charconv>
#include <string>

#include "core/app/log.h"
#include "core/encode/encode_run.h"
#include "core/encode/selection.h"
#include "core/i18n/catalogue.h"
#include "core/i18n/texts.h"
#include "core/i18n/tooltip.h"
#include "core/link/linkmgr.h"
#include "core/link/receive.h"
#include "core/link/ticks.h"
#include "core/read/card_detail.h"
#include "core/read/display.h"
#include "core/read/read_run.h"
#include "core/top/field_check.h"
#include "core/top/record.h"

namespace zt {

namespace {
// Splits "name(3)" into "name" and 3; a name without an index gives -1.
std::pair<std::string_view, int> splitIndex(std::string_view name) {
    const auto open = name.find('(');
    if (open == std::string_view::npos || name.back() != ')') return {name, -1};
    int index = -1;
    const auto digits = name.substr(open + 1, name.size() - open - 2);
    auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (ec != std::errc() || p != digits.data() + digits.size()) return {name, -1};
    return {name.substr(0, open), index};
}
}  // namespace

Form::Form(Platform pf)
    : ctx_(pf), record_(std::make_unique<CardRecord>()), marks_(std::make_unique<FieldMarks>()) {
    ctx_.onCard = [this](const CardEvent& e) { record_->add(ctx_, e); };
    wireEvents();
    wireChangeHandlers();
}

Form::~Form() {
    // Callbacks of the platform objects must not reach a window that is gone.
    if (ctx_.pf.serial) ctx_.pf.serial->onData = nullptr, ctx_.pf.serial->onLost = nullptr;
    if (ctx_.pf.socket) {
        ctx_.pf.socket->onData = nullptr;
        ctx_.pf.socket->onConnected = nullptr;
        ctx_.pf.socket->onLost = nullptr;
    }
    if (ctx_.pf.timer) ctx_.pf.timer->stop();
}

void Form::wireEvents() {
    Ctx* c = &ctx_;
    if (auto* s = ctx_.pf.serial) {
        s->onData = [c](Bytes b) { OnSerialData(*c, b); };
        s->onLost = [c] { OnLinkLost(*c, 1); };
    }
    if (auto* t = ctx_.pf.socket) {
        t->onConnected = [c] { OnSocketConnected(*c); };
        t->onData = [c](Bytes b) { OnSocketData(*c, b); };
        t->onLost = [c] { OnLinkLost(*c, 2); };
    }
}

void Form::wireChangeHandlers() {
    Ctx* c = &ctx_;
    auto& m = ctx_.m;
    for (int i : m.cSelTar.indexes()) {
        m.cSelTar(i).observe([c, i](Control&, Prop p, int) {
            if (p == Prop::Value) cSelTar_Click(*c, i);
        });
    }
    m.txtKeyMF.observe([c](Control&, Prop p, int) {
        if (p == Prop::Text) txtKeyMF_Change(*c);
    });
    m.txtOldKeyMF.observe([c](Control&, Prop p, int) {
        if (p == Prop::Text) txtOldKeyMF_Change(*c);
    });
    m.txtKeyTar.observe([c](Control&, Prop p, int) {
        if (p == Prop::Text) txtKeyTar_Change(*c);
    });
    m.cEditCfg1.observe([this](Control&, Prop p, int) {
        if (p == Prop::Text && tips_) cEditCfg1_Change(ctx_, *tips_);
    });
    marks_->watch(ctx_, [this] { return tips_.get(); });
}

void Form::startChecked(std::string_view button, std::function<Co<>()> run) {
    auto& c = ctx_;
    const std::vector<Finding> findings = CheckStart(c, *record_, button);
    if (findings.empty() || c.pf.box == nullptr) {
        c.sched.spawn(run());
        return;
    }
    std::vector<std::string> buttons{GetMis(c, 422), GetMis(c, 423)};
    c.pf.box->ask(FindingsText(c, findings), GetMis(c, 420), BoxIcon::Warning, std::move(buttons),
                  [this, name = std::string(button), run](int answer) {
                      // Going on starts today's run, unless the button went dead meanwhile (link lost).
                      const Control* ctl = ctx_.m.find(name);
                      if (answer != 0 || ctl == nullptr || !ctl->enabled() || ctx_.st.ActiveRun != kNoRun) return;
                      ctx_.sched.spawn(run());
                      ctx_.sched.pump();
                  });
}

void Form::Form_Load() {
    if (loaded_) return;
    loaded_ = true;
    auto& st = ctx_.st;
    auto& m = ctx_.m;
    // 1. Answer buffers, indexed from 1.
    st.aAtqa.assign(3, 0);
    st.aUid.assign(12, 0);
    // 2. Centred on the screen.
    if (ctx_.pf.window) ctx_.pf.window->centre();
    // 3. Port and baud rate.
    m.cEditCfg1.setText("1");
    m.cCombo1.setText("9600");
    // 4. Timer1, every 500 ms.
    if (ctx_.pf.timer) {
        Ctx* c = &ctx_;
        ctx_.pf.timer->start(kTickMs, [c] { Timer1_Timer(*c); });
    }
    // 5. No link, no run.
    st.LinkType = 0;
    st.ActiveRun = kNoRun;
    // 6. Tooltip manager.
    tips_ = std::make_unique<Tooltip>(ctx_.pf.tips);
    tips_->IniMaxTip(150);
    // 7. Texts of the start language.
    LoadMessages(ctx_);
    ApplyTexts(ctx_, *tips_);
    ApplyRecordTexts(ctx_, *record_, *tips_);
    marks_->apply(ctx_, tips_.get());
    // 8. Every node not permitted.
    cDelAllListPermit_Click(ctx_);
    // 9. An empty card on the read tab.
    ShowCardInfo(ctx_, "", 0, "", "", "");
    // 10. The greeting lines; the first also sets the controls' enabled state.
    AddInfo(ctx_, GetMis(ctx_, 170));
    AddInfo(ctx_, GetMis(ctx_, 171));
}

void Form::Form_QueryUnload() {
    tips_.reset();
}

void Form::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    cmdStop_Click(ctx_, 0);
    cmdClose_Click(ctx_);
    if (ctx_.pf.timer) ctx_.pf.timer->stop();
    // Let a waiting run see the stop flag and end its way.
    ctx_.sched.pump();
}

bool Form::holdClose() {
    const bool hold = !unloaded_ && HoldClose(ctx_, *record_);
    ctx_.sched.pump();
    return hold;
}

bool Form::click(std::string_view name) {
    auto& c = ctx_;
    // A disabled control takes no clicks.
    if (const Control* ctl = c.m.find(name); ctl != nullptr && !ctl->enabled()) return false;
    const auto [base, index] = splitIndex(name);
    bool handled = true;
    if (base == "cmdStart" && index >= 0) {
        startChecked(name, [&c, index] { return cmdStart_Click(c, index); });
    } else if (base == "cmdStop" && index >= 0) {
        cmdStop_Click(c, index);
    } else if (base == "cIdioma" && index >= 0) {
        // The texts of the record window and the card on the read tab follow a language that was
        // put into the window; an empty selector does nothing.
        if (tips_ && cIdioma_Click(c, *tips_, index)) {
            ApplyRecordTexts(c, *record_, *tips_);
            marks_->apply(c, tips_.get());
            RedrawCardDetail(c);
        }
    } else if (name == "cmdLecTar") {
        startChecked(name, [&c] { return cmdLecTar_Click(c); });
    } else if (name == "cmdOpenCom") {
        cmdOpenCom_Click(c);
    } else if (name == "cmdOpenTCP") {
        c.sched.spawn(cmdOpenTCP_Click(c));
    } else if (name == "cmdClose") {
        cmdClose_Click(c);
    } else if (name == "cmdScanCom") {
        c.sched.spawn(cmdScanCom_Click(c));
    } else if (name == "cBorrar") {
        cBorrar_Click(c);
    } else if (name == "cmdSelTot") {
        cmdSelTot_Click(c);
    } else if (name == "cmdDeSel") {
        cmdDeSel_Click(c);
    } else if (name == "cAddListPermit") {
        cAddListPermit_Click(c);
    } else if (name == "cDelListPermit") {
        cDelListPermit_Click(c);
    } else if (name == "cAddAllListPermit") {
        cAddAllListPermit_Click(c);
    } else if (name == "cDelAllListPermit") {
        cDelAllListPermit_Click(c);
    } else if (name == "cTarvex") {
        if (c.pf.shell) c.pf.shell->openUrl(std::string(kMakerUrl));
    } else {
        handled = RecordClick(c, *record_, name);
    }
    // A click is an event: waiting runs test their conditions again.
    c.sched.pump();
    return handled;
}

}  // namespace zt
