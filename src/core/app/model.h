// The window frmZentap as data: every control with its design text, limit and container.
#pragma once

#include <string_view>
#include <unordered_map>

#include "core/app/control.h"

namespace zt {

class FormModel {
public:
    FormModel();
    FormModel(const FormModel&) = delete;
    FormModel& operator=(const FormModel&) = delete;

    // The window itself; its text is the window caption.
    Control frmZentap{"frmZentap", Kind::Window, "",
                      "Programa para codificación de tarjetas MiFare - KESTA-T2"};

    // Outside the tabs.
    Control listInfo{"listInfo", Kind::ListBox, "frmZentap"};
    Control cmdScanCom{"cmdScanCom", Kind::Button, "cFrame(0)", "Escaneo de puertos serie"};
    Control cCombo1{"cCombo1", Kind::ComboBox, "cFrame(0)"};
    Control cmdClose{"cmdClose", Kind::Button, "cFrame(0)", "  Cerrar puerto comunicaciones"};
    Control cmdOpenCom{"cmdOpenCom", Kind::Button, "cFrame(0)", "Abrir COM"};
    Control cmdOpenTCP{"cmdOpenTCP", Kind::Button, "cFrame(0)", "Abrir TCP"};
    Control cEditCfg1{"cEditCfg1", Kind::TextBox, "cFrame(0)", "1"};
    Control cEditCfg3{"cEditCfg3", Kind::TextBox, "cFrame(0)", "192.168.123.10"};
    Control lblCom{"lblCom", Kind::Label, "cFrame(0)", "COM:"};
    Control lblBaud{"lblBaud", Kind::Label, "cFrame(0)", "Baud:"};
    Control lblHost{"lblHost", Kind::Label, "cFrame(0)", "IP:"};
    Control Picture3{"Picture3", Kind::Picture, "frmZentap"};
    Control Picture4{"Picture4", Kind::Picture, "Picture3"};
    Control cTarvex{"cTarvex", Kind::Label, "Picture3", "www.kesta-access.example"};
    Control txtSector{"txtSector", Kind::TextBox, "cFrame(1)", "1", 2};
    Control txtKeyMF{"txtKeyMF", Kind::TextBox, "cFrame(1)", "FFFFFFFFFFFF", 12};
    Control txtNumInst{"txtNumInst", Kind::TextBox, "cFrame(1)", "0000", 4};
    // Read every encoded card back and compare; unticked at every start.
    Control chkVerify{"chkVerify", Kind::CheckBox, "cFrame(1)", "Verificar tarjetas grabadas"};
    Control txtKeyTar{"txtKeyTar", Kind::TextBox, "cFrame(2)", "FFFFFFFFFFFF", 12};
    Control cBorrar{"cBorrar", Kind::Button, "frmZentap", "Borrar"};
    Control cmdRecord{"cmdRecord", Kind::Button, "frmZentap", "Registro de tarjetas"};
    Control cmdSaveLog{"cmdSaveLog", Kind::Button, "frmZentap", "Guardar actividad..."};
    Control SSTab1{"SSTab1", Kind::Tabs, "frmZentap"};
    Control Label50{"Label50", Kind::Label, "frmZentap", "Versión 2.20 - 13/03/2012"};

    // Tab 0: configuration and master cards.
    Control txtTScan{"txtTScan", Kind::TextBox, "cFrameS(0)", "10", 4};
    Control chkEspNodoTar{"chkEspNodoTar", Kind::CheckBox, "cFrameS(0)",
                          "Introducir nº de nodo con tarjetas númericas."};
    Control txtCfgNode{"txtCfgNode", Kind::TextBox, "cFrameS(0)", "200", 3};
    Control chkEspResList{"chkEspResList", Kind::CheckBox, "cFrameS(0)",
                          "Borrar todos los usuarios de la lista."};
    Control cTipList{"cTipList", Kind::ComboBox, "cFrameS(0)"};
    Control cUnitTime{"cUnitTime", Kind::ComboBox, "cFrameS(0)"};
    Control txtCfgTRele{"txtCfgTRele", Kind::TextBox, "cFrameS(0)", "10", 3};
    Control txtVendDec{"txtVendDec", Kind::TextBox, "cFrameS(0)", "50", 4};
    Control txtTramaRelExt{"txtTramaRelExt", Kind::TextBox, "cFrameS(0)", "&H02400002000AF7&H03"};
    Control chkCfgRelExt{"chkCfgRelExt", Kind::CheckBox, "cFrameS(0)",
                         "Activar rele externo a través de la siguiente trama:"};
    Control txtOldSector{"txtOldSector", Kind::TextBox, "cFrame(3)", "1", 2};
    Control txtOldNumInst{"txtOldNumInst", Kind::TextBox, "cFrame(3)", "0000", 4};
    Control txtOldKeyMF{"txtOldKeyMF", Kind::TextBox, "cFrame(3)", "FFFFFFFFFFFF", 12};

    // Tab 1: generic cards.
    Control cmdDeSel{"cmdDeSel", Kind::Button, "SSTab1(1)", "Deseleccionar todas"};
    Control cmdSelTot{"cmdSelTot", Kind::Button, "SSTab1(1)", "Seleccionar todas"};

    // Tab 2: user cards.
    Control txtSalVal{"txtSalVal", Kind::TextBox, "cFrameS(2)", "500", 9};
    Control listPermit{"listPermit", Kind::ListBox, "cFrameS(1)"};
    Control listNoPermit{"listNoPermit", Kind::ListBox, "cFrameS(1)"};
    Control cAddListPermit{"cAddListPermit", Kind::Button, "cFrameS(1)", ">>"};
    Control cDelListPermit{"cDelListPermit", Kind::Button, "cFrameS(1)", "<<"};
    Control cAddAllListPermit{"cAddAllListPermit", Kind::Button, "cFrameS(1)", "Autorizar todos"};
    Control cDelAllListPermit{"cDelAllListPermit", Kind::Button, "cFrameS(1)", "Desautorizar todos"};
    Control txtUser{"txtUser", Kind::TextBox, "SSTab1(2)", "000", 3};
    Control txtNumTar{"txtNumTar", Kind::TextBox, "SSTab1(2)", "1", 3};

    // Tab 3: reading a card.
    Control cmdLecTar{"cmdLecTar", Kind::Button, "SSTab1(3)", "Start"};
    Control txtInfoInst{"txtInfoInst", Kind::Label, "cFrame(6)", "----"};
    Control txtInfoKey{"txtInfoKey", Kind::Label, "cFrame(6)", "----"};
    Control txtInfoCard{"txtInfoCard", Kind::Label, "cFrame(6)", "----"};
    // Everything the card holds, in words: several lines, read-only.
    Control txtInfoDetail{"txtInfoDetail", Kind::Label, "cFrame(6)"};

    // Control arrays.
    ControlArray cmdStart{"cmdStart"};        // 0..2
    ControlArray cmdStop{"cmdStop"};          // 0..3
    ControlArray cSelTar{"cSelTar"};          // 0, 1, 10..24, 30..32
    ControlArray cLabel{"cLabel"};            // 1..22
    ControlArray cFrame{"cFrame"};            // 0..6
    ControlArray cFrameS{"cFrameS"};          // 0..3
    ControlArray cIdioma{"cIdioma"};          // 0..4
    ControlArray txtUsaKey{"txtUsaKey"};      // 0..2
    ControlArray txtInfoRead{"txtInfoRead"};  // 0..2

    // Every control, arrays' members included, in a stable order.
    const std::vector<Control*>& all() const { return all_; }
    // The control whose name is `name` ("txtUser", "cmdStart(2)"), or nullptr.
    Control* find(std::string_view name) const;

private:
    std::vector<Control*> all_;
    std::unordered_map<std::string_view, Control*> byName_;  // keys view the controls' own names
};

}  // namespace zt
