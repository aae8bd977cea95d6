#include "core/i18n/texts.h"

#include <array>
#include <string_view>

#include "core/link/linkmgr.h"

namespace zt {

namespace {

struct TextRef {
    int mis;
    std::string_view control;
};

// Button captions.
constexpr std::array<TextRef, 19> kButtonCaptions{{
    {130, "cmdOpenCom"},     {131, "cmdOpenTCP"},        {132, "cmdClose"},          {133, "cmdScanCom"},
    {134, "cBorrar"},        {135, "cmdStart(0)"},       {136, "cmdStop(0)"},        {137, "cmdStart(1)"},
    {138, "cmdStop(1)"},     {139, "cmdStart(2)"},       {140, "cmdStop(2)"},        {141, "cmdLecTar"},
    {142, "cmdStop(3)"},     {143, "cmdDeSel"},          {144, "cmdSelTot"},         {145, "cAddListPermit"},
    {146, "cDelListPermit"}, {147, "cDelAllListPermit"}, {148, "cAddAllListPermit"},
}};

// Tooltips, in increasing order of message number: the order they are created in.
constexpr std::array<TextRef, 51> kTooltips{{
    {150, "cmdOpenCom"},     {151, "cmdOpenTCP"},        {152, "cmdClose"},          {153, "cmdScanCom"},
    {154, "cBorrar"},        {155, "cmdStart(0)"},       {156, "cmdStop(0)"},        {157, "cmdStart(1)"},
    {158, "cmdStop(1)"},     {159, "cmdStart(2)"},       {160, "cmdStop(2)"},        {161, "cmdLecTar"},
    {162, "cmdStop(3)"},     {163, "cmdDeSel"},          {164, "cmdSelTot"},         {165, "cAddListPermit"},
    {166, "cDelListPermit"}, {167, "cDelAllListPermit"}, {168, "cAddAllListPermit"}, {230, "cEditCfg1"},
    {231, "cCombo1"},        {232, "cEditCfg3"},         {233, "txtNumInst"},        {234, "txtSector"},
    {235, "txtKeyMF"},       {236, "txtKeyTar"},         {237, "listInfo"},          {238, "txtOldNumInst"},
    {239, "txtOldSector"},   {240, "txtOldKeyMF"},       {241, "txtCfgTRele"},       {242, "cUnitTime"},
    {243, "cTipList"},       {244, "chkEspResList"},     {245, "chkEspNodoTar"},     {246, "txtCfgNode"},
    {247, "chkCfgRelExt"},   {248, "txtTramaRelExt"},    {249, "txtVendDec"},        {250, "txtUser"},
    {251, "listNoPermit"},   {252, "listPermit"},        {253, "txtSalVal"},         {254, "txtNumTar"},
    {255, "txtUsaKey(0)"},   {256, "txtUsaKey(1)"},      {257, "txtUsaKey(2)"},      {258, "txtInfoRead(0)"},
    {259, "txtInfoRead(1)"}, {260, "txtInfoRead(2)"},    {273, "txtTScan"},
}};

constexpr int kPortTipMis = 230;
constexpr int kDeviceWordMis = 284;

// Refills a drop-down from messages first..first+5; "-" and empty texts add no item.
void FillCombo(Ctx& ctx, Control& combo, int first, int textMis) {
    combo.clearItems();
    bool added = false;
    for (int m = first; m <= first + 5; ++m) {
        const std::string& item = GetMis(ctx, m);
        if (item.empty() || item == "-") continue;
        combo.addItem(item);
        added = true;
    }
    if (!added) return;
    const std::string& text = GetMis(ctx, textMis);
    combo.setText(text);
    // The shown text picks its item, as typing it into the box would.
    const auto& items = combo.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) {
            combo.setListIndex(static_cast<int>(i));
            break;
        }
    }
}

}  // namespace

std::string PortTipText(const Ctx& ctx) {
    std::string text = GetMis(ctx, kPortTipMis);
    // A tip without its catalogue text stays empty; a number no device stands behind adds nothing.
    if (text.empty()) return text;
    const std::string device = PortDeviceName(ctx);
    if (device.empty()) return text;
    text += "\r\n";
    const std::string& word = GetMis(ctx, kDeviceWordMis);
    if (!word.empty()) text += word + ": ";
    text += device;
    return text;
}

void cEditCfg1_Change(Ctx& ctx, Tooltip& tips) {
    tips.UpdateTip(ctx.m.cEditCfg1, PortTipText(ctx));
}

std::string TipText(const Ctx& ctx, std::string_view control) {
    for (const TextRef& ref : kTooltips) {
        if (ref.control == control) return ref.mis == kPortTipMis ? PortTipText(ctx) : GetMis(ctx, ref.mis);
    }
    return {};
}

void ApplyTexts(Ctx& ctx, Tooltip& tips) {
    auto& m = ctx.m;
    // 1. Tooltips of the previous language go first.
    tips.IniTip();
    // 2. Each selector shows the name of its own slot's language.
    for (std::size_t slot = 1; slot <= 5; ++slot) {
        const int i = static_cast<int>(slot) - 1;
        if (m.cIdioma.has(i)) m.cIdioma(i).setText(ctx.st.Mis[slot][1]);
    }
    // 3. Window title.
    m.frmZentap.setText(GetMis(ctx, 2));
    // 4. Field labels.
    for (int i = 1; i <= 21; ++i) m.cLabel(i).setText(GetMis(ctx, i + 5));
    m.cLabel(22).setText(GetMis(ctx, 39));
    m.lblCom.setText(GetMis(ctx, 285));
    m.lblBaud.setText(GetMis(ctx, 286));
    m.lblHost.setText(GetMis(ctx, 287));
    // 5. Frames.
    for (int i = 0; i <= 6; ++i) m.cFrame(i).setText(GetMis(ctx, i + 45));
    // 6. Card types.
    m.cSelTar(0).setText(GetMis(ctx, 60));
    m.cSelTar(1).setText(GetMis(ctx, 61));
    for (int i = 10; i <= 24; ++i) m.cSelTar(i).setText(GetMis(ctx, i + 55));
    for (int i = 30; i <= 32; ++i) m.cSelTar(i).setText(GetMis(ctx, i + 55));
    // 7. Option check boxes.
    m.chkEspResList.setText(GetMis(ctx, 90));
    m.chkEspNodoTar.setText(GetMis(ctx, 91));
    m.chkCfgRelExt.setText(GetMis(ctx, 92));
    m.chkVerify.setText(GetMis(ctx, 400));
    // 8. Tabs.
    for (int t = 0; t <= 3; ++t) m.SSTab1.setItem(t, GetMis(ctx, 95 + t));
    // 9, 10. Drop-downs: relay time unit and list type.
    FillCombo(ctx, m.cUnitTime, 100, 101);
    FillCombo(ctx, m.cTipList, 110, 110);
    // 11. Buttons.
    for (const TextRef& ref : kButtonCaptions) {
        if (Control* c = m.find(ref.control)) c->setText(GetMis(ctx, ref.mis));
    }
    // 12. Tooltips; a full table is not an error here.
    for (const TextRef& ref : kTooltips) {
        Control* c = m.find(ref.control);
        if (c == nullptr) continue;
        tips.CreateTip(*c, TipText(ctx, ref.control), "");
    }
}

bool cIdioma_Click(Ctx& ctx, Tooltip& tips, int index) {
    if (!ctx.m.cIdioma.has(index) || ctx.m.cIdioma(index).text().empty()) return false;
    ctx.st.iIdioma = static_cast<std::int16_t>(index + 1);
    ApplyTexts(ctx, tips);
    return true;
}

}  // namespace zt
