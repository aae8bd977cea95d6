#include "core/app/model.h"

namespace zt {

FormModel::FormModel() {
    for (int i = 0; i <= 2; ++i) cmdStart.add(i, Kind::Button, "SSTab1(" + std::to_string(i) + ")", "Start");
    for (int i = 0; i <= 3; ++i) cmdStop.add(i, Kind::Button, "SSTab1(" + std::to_string(i) + ")", "Stop");

    cSelTar.add(0, Kind::CheckBox, "cFrameS(3)", "MASTER");
    cSelTar.add(1, Kind::CheckBox, "cFrameS(0)", "CONFIG");
    const char* generic[] = {"ALTA", "ALTA BLOCK", "BAJA", "BAJA BLOCK", "NUEVO"};
    for (int i = 10; i <= 14; ++i) cSelTar.add(i, Kind::CheckBox, "SSTab1(1)", generic[i - 10]);
    for (int d = 0; d <= 9; ++d)
        cSelTar.add(15 + d, Kind::CheckBox, "cFrame(4)", "NUM. " + std::to_string(d));
    cSelTar.add(30, Kind::CheckBox, "SSTab1(2)", "USUARIO BASICO");
    cSelTar.add(31, Kind::CheckBox, "cFrameS(1)", "USUARIO AVANZADO");
    cSelTar.add(32, Kind::CheckBox, "cFrameS(2)", "USUARIO CON SALDO");
    for (int i : cSelTar.indexes()) cSelTar(i).setValue(i == 31 || i == 32 ? 0 : 1);

    struct L {
        int i;
        const char* container;
        const char* text;
    };
    const L labels[] = {
        {1, "cFrame(1)", "Cód. Instalación:"},
        {2, "cFrame(1)", "Sector de datos:"},
        {3, "cFrame(1)", "Key Mifare:"},
        {4, "cFrame(3)", "Cód. Instalación:"},
        {5, "cFrame(3)", "Sector de datos:"},
        {6, "cFrame(3)", "Key MiFare:"},
        {7, "cFrameS(0)", "Tiempo relé:"},
        {8, "cFrameS(0)", "Tipo lista:"},
        {9, "cFrameS(0)", "Número de Nodo:"},
        {10, "cFrameS(0)", "Nota: Anteponer '&&H' para poner valores hexadecimales."},
        {11, "cFrameS(0)", "Decremento:"},
        {12, "SSTab1(2)", "Identificador Usuario:"},
        {13, "cFrameS(1)", "Nodos no autorizados:"},
        {14, "cFrameS(1)", "Nodos autorizados:"},
        {15, "cFrameS(2)", "Saldo inicial:"},
        {16, "SSTab1(2)", "Número de tarjetas a crear:"},
        {17, "cFrame(2)", "INI_KEY A:"},
        {18, "cFrame(5)", "Key MiFare 1:"},
        {19, "cFrame(5)", "Key MiFare 2:"},
        {20, "cFrame(5)", "Key MiFare 3:"},
        {21, "cFrame(6)", "Información almacena:"},
        {22, "cFrameS(0)", "Frec. de scan:"},
    };
    for (const auto& l : labels) cLabel.add(l.i, Kind::Label, l.container, l.text);

    cFrame.add(0, Kind::Frame, "frmZentap", "Canal de comunicaciones");
    cFrame.add(1, Kind::Frame, "frmZentap", "Parámetros de instalación");
    cFrame.add(2, Kind::Frame, "frmZentap",
               "Key para acceder a tarjeta (modificar solo en tarjetas no vírgenes)");
    cFrame.add(3, Kind::Frame, "cFrameS(3)", "Parámetros actuales");
    cFrame.add(4, Kind::Frame, "SSTab1(1)", "Tarjetas númericas");
    cFrame.add(5, Kind::Frame, "SSTab1(3)", "Keys de prueba");
    cFrame.add(6, Kind::Frame, "SSTab1(3)", "Datos de la tarjeta");
    cFrameS.add(0, Kind::Frame, "SSTab1(0)");
    cFrameS.add(1, Kind::Frame, "SSTab1(2)", "Frame2");
    cFrameS.add(2, Kind::Frame, "SSTab1(2)", "Frame2");
    cFrameS.add(3, Kind::Frame, "SSTab1(0)");

    for (int i = 0; i <= 4; ++i) cIdioma.add(i, Kind::Label, "frmZentap", "--------");
    for (int i = 0; i <= 2; ++i) {
        auto& k = txtUsaKey.add(i, Kind::TextBox, "cFrame(5)", "FFFFFFFFFFFF", 12);
        k.setBackColor(kLightYellow);
        auto& r = txtInfoRead.add(i, Kind::TextBox, "cFrame(6)");
        r.setBackColor(kLightYellow);
    }

    txtInfoDetail.setBackColor(kLightYellow);

    for (const char* baud : {"9600", "19200", "38400"}) cCombo1.addItem(baud);
    cTipList.addItem("Lista blanca");
    cTipList.addItem("Lista negra");
    for (const char* tab : {"Configuración", "Genericas", "Usuario", "Lectura"}) SSTab1.addItem(tab);
    SSTab1.setListIndex(0);

    Control* singles[] = {
        &frmZentap,         &listInfo,     &cmdScanCom,     &cCombo1,        &cmdClose,
        &cmdOpenCom,        &cmdOpenTCP,   &cEditCfg1,      &cEditCfg3,      &Picture3,
        &Picture4,          &cTarvex,      &txtSector,      &txtKeyMF,       &txtNumInst,
        &txtKeyTar,         &cBorrar,      &SSTab1,         &Label50,        &txtTScan,
        &chkEspNodoTar,     &txtCfgNode,   &chkEspResList,  &cTipList,       &cUnitTime,
        &txtCfgTRele,       &txtVendDec,   &txtTramaRelExt, &chkCfgRelExt,   &txtOldSector,
        &txtOldNumInst,     &txtOldKeyMF,  &cmdDeSel,       &cmdSelTot,      &txtSalVal,
        &listPermit,        &listNoPermit, &cAddListPermit, &cDelListPermit, &cAddAllListPermit,
        &cDelAllListPermit, &txtUser,      &txtNumTar,      &cmdLecTar,      &txtInfoInst,
        &txtInfoKey,        &txtInfoCard,  &cmdRecord,       &chkVerify,      &txtInfoDetail,
        &lblCom,            &lblBaud,      &lblHost,        &cmdSaveLog,
    };
    all_.assign(std::begin(singles), std::end(singles));
    for (ControlArray* a :
         {&cmdStart, &cmdStop, &cSelTar, &cLabel, &cFrame, &cFrameS, &cIdioma, &txtUsaKey, &txtInfoRead}) {
        for (int i : a->indexes()) all_.push_back(&(*a)(i));
    }
    // A language switch looks up a few hundred names; the first control of a name is the one found.
    byName_.reserve(all_.size());
    for (Control* c : all_) byName_.emplace(c->name(), c);
}

Control* FormModel::find(std::string_view name) const {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

}  // namespace zt
