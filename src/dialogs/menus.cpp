#include "dialogs/menus.h"

#include "app/frm_main.h"
#include "app/program.h"
#include "dialogs/aes.h"
#include "dialogs/deffect.h"
#include "dialogs/dialog_link.h"
#include "dialogs/fset.h"
#include "dialogs/privacy.h"
#include "dialogs/privacy_a.h"

namespace orbus::dialogs {

void SettingZones_Click(Program& prog) { prog.privacy().open(); }

void PrivacyAv_Click(Program& prog) { prog.privacyA().open(); }

// Spot exposure: no refresh and no pan-tilt window upkeep while it is open.
void AESpotMode_Click(Program& prog) {
    FrmMain& m = prog.frmMain();
    m.Timer1.setEnabled(false);
    m.Timer2.setEnabled(false);
    FrmAES& d = prog.frmAES();
    placeBesideMain(prog, d, 100, 100);
    prog.loaded(d);
    prog.platform.windows.runModal(d);
}

void EffectLevel_Click(Program& prog) {
    prog.frmMain().Timer1.setEnabled(false);
    FrmDeffect& d = prog.frmDeffect();
    placeBesideMain(prog, d, 500, 1000);
    prog.loaded(d);
    prog.platform.windows.runModal(d);
}

void SettingMenu_Click(Program& prog) {
    FSet& d = prog.fset();
    if (!d.visible()) placeBesideMain(prog, d, 100, 100);
    prog.loaded(d);
    d.show();
    d.raiseWithoutFocus();
}

void wireMenus(Program& prog) {
    FrmMain& m = prog.frmMain();
    m.SettingZones.onClick = [&prog] { SettingZones_Click(prog); };
    m.PrivacyAv.onClick = [&prog] { PrivacyAv_Click(prog); };
    m.AESpotMode.onClick = [&prog] { AESpotMode_Click(prog); };
    m.EffectLevel.onClick = [&prog] { EffectLevel_Click(prog); };
    m.SettingMenu.onClick = [&prog] { SettingMenu_Click(prog); };
}

}  // namespace orbus::dialogs
