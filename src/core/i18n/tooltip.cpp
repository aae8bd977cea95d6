#include "core/i18n/tooltip.h"

namespace zt {

Tooltip::~Tooltip() {
    destroyAll();
}

void Tooltip::IniMaxTip(std::int16_t iMaxCtrlTip) {
    destroyAll();
    iMaxTip_ = iMaxCtrlTip < 0 ? std::int16_t{0} : iMaxCtrlTip;
    iNumTip_ = 0;
    // One record more than the capacity; the last one is never filled.
    tips_.assign(static_cast<std::size_t>(iMaxTip_) + 1, TipData{});
}

void Tooltip::IniTip() {
    destroyAll();
    iNumTip_ = 0;
}

bool Tooltip::CreateTip(Control& oParentObj, const std::string& sText, const std::string& sTitle) {
    if (iNumTip_ >= iMaxTip_) return false;
    TipData& rec = tips_[static_cast<std::size_t>(iNumTip_)];
    rec.owner = &oParentObj;
    rec.tip = TipSpec{};
    rec.tip.text = sText;
    rec.tip.title = sTitle;
    if (rec.hwndTip != 0) {
        if (host_ != nullptr) host_->destroy(rec.hwndTip);
        rec.hwndTip = 0;
    }
    if (host_ != nullptr) rec.hwndTip = host_->create(oParentObj.name(), rec.tip);
    ++iNumTip_;
    return true;
}

bool Tooltip::UpdateTip(const Control& control, const std::string& sText) {
    for (std::int16_t i = 0; i < iNumTip_; ++i) {
        TipData& rec = tips_[static_cast<std::size_t>(i)];
        if (rec.owner != &control) continue;
        if (rec.tip.text != sText) {
            rec.tip.text = sText;
            if (host_ != nullptr && rec.hwndTip != 0) host_->update(rec.hwndTip, rec.tip);
        }
        return true;
    }
    return false;
}

void Tooltip::destroyAll() {
    for (TipData& rec : tips_) {
        if (rec.hwndTip == 0) continue;
        if (host_ != nullptr) host_->destroy(rec.hwndTip);
        rec.hwndTip = 0;
    }
}

}  // namespace zt
