#include "app/frm_main.h"

namespace orbus {
void FrmMain::IdentifyAtStartup() {}
bool FrmMain::ReadCameraStatus() { return true; }
void FrmMain::showPanTiltAtStartup() {}
void FrmMain::clearPresetHighlight(int, int) {}
void FrmMain::portGone() {}
}  // namespace orbus
