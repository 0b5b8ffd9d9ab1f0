#include "dialogs/menus.h"

#include "dialogs/context.h"
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

void SettingZones_Click(Context& ctx) { ctx.privacy().open(); }

void PrivacyAv_Click(Context& ctx) { ctx.privacyA().open(); }

// Spot exposure: no refresh and no pan-tilt window upkeep while it is open,
// whatever completes meanwhile.
void AESpotMode_Click(Context& ctx) {
    dialogs::holdRefresh(ctx, false, true);
    FrmAES& d = ctx.frmAES();
    placeBesideMain(ctx, d, 100, 100);
    ctx.loaded(d);
    ctx.platform().windows.runModal(d);
}

void EffectLevel_Click(Context& ctx) {
    dialogs::holdRefresh(ctx, false, false);
    FrmDeffect& d = ctx.frmDeffect();
    placeBesideMain(ctx, d, 500, 1000);
    ctx.loaded(d);
    ctx.platform().windows.runModal(d);
}

void SettingMenu_Click(Context& ctx) {
    FSet& d = ctx.fset();
    if (!d.visible()) placeBesideMain(ctx, d, 100, 100);
    ctx.loaded(d);
    d.show();
    d.raiseWithoutFocus();
}

void MotionDetecter_Click(Context& ctx) { ctx.frmMD().open(); }

void SetTimeDate_Click(Context& ctx) { ctx.frmSetDT().open(); }

void IDWrite_Click(Context& ctx) { ctx.frmCamID().open(); }

void AutoPowerOff_Click(Context& ctx) { ctx.frmAutoPOff().open(); }

namespace {

// The night power-off needs the alarm set up for day and night: with the
// alarm state unknown it is read first. A read that failed leaves the state
// unknown, and the warning says that rather than guess from it.
link::Async<bool> nightPowerOffAllowed(Context& ctx) {
    bool read = ctx.alarm().AlarmConfigured;
    if (!read) read = co_await ctx.dialogHost().checkAlarm();
    const std::string warning = read ? nightPowerOffWarning(ctx.alarm()) : kAlarmUnread;
    if (!warning.empty()) {
        ctx.platform().windows.message({MsgIcon::Critical, "Warning",
                                        warning + "\r\nPlease set up it after I implement alarm setting.  ",
                                        MsgButtons::Ok, true});
        co_return false;
    }
    co_return true;
}

}  // namespace

void NightPowerOff_Click(Context& ctx) { ctx.frmNightPOff().openAfter(nightPowerOffAllowed(ctx)); }

void TitleSet_Click(Context& ctx) {
    FrmTitle_M& d = ctx.frmTitleM();
    placeBesideMain(ctx, d, 100, 100);
    d.open();
}

void version_Click(Context& ctx) { ctx.frmAbout().open(); }

void CameraSelected(Context& ctx) { ctx.privacyA().cameraSelected(); }

}  // namespace orbus::dialogs
