// The tooltip manager: one balloon tooltip per control, kept in a fixed-capacity table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/app/control.h"
#include "core/platform/interfaces.h"

namespace zt {

struct TipData {
    std::uint32_t hwndTip = 0;  // the tooltip; 0 when none
    Control* owner = nullptr;   // the control it belongs to
    TipSpec tip;               // text, title, icon, colours, style, centre flag
};

class Tooltip {
public:
    explicit Tooltip(TooltipHost* host) : host_(host) {}
    Tooltip(const Tooltip&) = delete;
    Tooltip& operator=(const Tooltip&) = delete;
    ~Tooltip();  // Class_Terminate

    void IniMaxTip(std::int16_t iMaxCtrlTip);
    void IniTip();
    bool CreateTip(Control& oParentObj, const std::string& sText, const std::string& sTitle = {});
    // Gives the live tooltip of `control` a new text in place; false when the control has none.
    bool UpdateTip(const Control& control, const std::string& sText);

    std::int16_t iMaxTip() const { return iMaxTip_; }
    std::int16_t iNumTip() const { return iNumTip_; }
    const std::vector<TipData>& tips() const { return tips_; }

private:
    void destroyAll();
    TooltipHost* host_;
    std::int16_t iMaxTip_ = 0;
    std::int16_t iNumTip_ = 0;
    std::vector<TipData> tips_;
};

}  // namespace zt
