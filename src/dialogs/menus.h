// The main window's menu entries that open the auxiliary windows.
#pragma once

namespace orbus {

namespace dialogs {

class Context;

// Handlers of the main window's menu entries (wired by the main window).
void SettingZones_Click(Context& ctx);
void PrivacyAv_Click(Context& ctx);
void AESpotMode_Click(Context& ctx);
void EffectLevel_Click(Context& ctx);
void SettingMenu_Click(Context& ctx);
void MotionDetecter_Click(Context& ctx);
void SetTimeDate_Click(Context& ctx);
void IDWrite_Click(Context& ctx);
void AutoPowerOff_Click(Context& ctx);
void NightPowerOff_Click(Context& ctx);
void TitleSet_Click(Context& ctx);
void version_Click(Context& ctx);

// The main window drives another camera: what a dialog keeps doing on its
// own for one camera stops.
void CameraSelected(Context& ctx);

}  // namespace dialogs
}  // namespace orbus
