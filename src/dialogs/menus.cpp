#include "dialogs/menus.h"

#include "app/program.h"
#include "dialogs/about.h"
#include "dialogs/aes.h"
#include "dialogs/camera_settings.h"
#include "dialogs/md.h"
#include "dialogs/deffect.h"
#include "dialogs/dialog_link.h"
#include "dialogs/fset.h"
#include "dialogs/host.h"
#include "dialogs/privacy.h"
#include "dialogs/privacy_a.h"
#include "dialogs/title.h"

namespace orbus::dialogs {

void SettingZones_Click(Program& prog) { prog.privacy().open(); }

void PrivacyAv_Click(Program& prog) { prog.privacyA().open(); }

// Spot exposure: no refresh and no pan-tilt window upkeep while it is open,
// whatever completes meanwhile.
void AESpotMode_Click(Program& prog) {
    dialogs::holdRefresh(prog, false, true);
    FrmAES& d = prog.frmAES();
    placeBesideMain(prog, d, 100, 100);
    prog.loaded(d);
    prog.platform.windows.runModal(d);
}

void EffectLevel_Click(Program& prog) {
    dialogs::holdRefresh(prog, false, false);
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

void MotionDetecter_Click(Program& prog) { prog.frmMD().open(); }

void SetTimeDate_Click(Program& prog) { prog.frmSetDT().open(); }

void IDWrite_Click(Program& prog) { prog.frmCamID().open(); }

void AutoPowerOff_Click(Program& prog) { prog.frmAutoPOff().open(); }

namespace {

// The night power-off needs the alarm set up for day and night: with the
// alarm state unknown it is read first. A read that failed leaves the state
// unknown, and the warning says that rather than guess from it.
link::Async<bool> nightPowerOffAllowed(Program& prog) {
    bool read = prog.alarm.AlarmConfigured;
    if (!read) read = co_await prog.dialogHost().checkAlarm();
    const std::string warning = read ? nightPowerOffWarning(prog) : kAlarmUnread;
    if (!warning.empty()) {
        prog.platform.windows.message({MsgIcon::Critical, "Warning",
                                       warning + "\r\nPlease set up it after I implement alarm setting.  ",
                                       MsgButtons::Ok, true});
        co_return false;
    }
    co_return true;
}

}  // namespace

void NightPowerOff_Click(Program& prog) { prog.frmNightPOff().openAfter(nightPowerOffAllowed(prog)); }

void TitleSet_Click(Program& prog) {
    FrmTitle_M& d = prog.frmTitleM();
    placeBesideMain(prog, d, 100, 100);
    d.open();
}

void version_Click(Program& prog) { prog.frmAbout().open(); }

void CameraSelected(Program& prog) { prog.privacyA().cameraSelected(); }

}  // namespace orbus::dialogs
