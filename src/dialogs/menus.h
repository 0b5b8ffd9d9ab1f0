// The main window's menu entries that open the auxiliary windows.
#pragma once

namespace orbus {

class Program;

namespace dialogs {

// Handlers of the main window's menu entries (wired by the main window).
void SettingZones_Click(Program& prog);
void PrivacyAv_Click(Program& prog);
void AESpotMode_Click(Program& prog);
void EffectLevel_Click(Program& prog);
void SettingMenu_Click(Program& prog);
void MotionDetecter_Click(Program& prog);
void SetTimeDate_Click(Program& prog);
void IDWrite_Click(Program& prog);
void AutoPowerOff_Click(Program& prog);
void NightPowerOff_Click(Program& prog);
void TitleSet_Click(Program& prog);
void version_Click(Program& prog);

// The main window drives another camera: what a dialog keeps doing on its
// own for one camera stops.
void CameraSelected(Program& prog);

}  // namespace dialogs
}  // namespace orbus
