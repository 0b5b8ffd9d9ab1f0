// The main window's menu entries that open the auxiliary windows.
#pragma once

namespace orbus {

class Program;

namespace dialogs {

void wireMenus(Program& prog);

// Handlers of the main window's menu entries.
void SettingZones_Click(Program& prog);
void PrivacyAv_Click(Program& prog);
void AESpotMode_Click(Program& prog);
void EffectLevel_Click(Program& prog);
void SettingMenu_Click(Program& prog);

}  // namespace dialogs
}  // namespace orbus
