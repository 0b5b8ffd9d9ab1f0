#include "app/frm_main.h"

namespace orbus {
void FrmMain::IdentifyAtStartup() {}
bool FrmMain::ReadCameraStatus() { return true; }
void FrmMain::VerError() {}
void FrmMain::Opt10X() {}
void FrmMain::Opt18X() {}
void FrmMain::Opt25X() {}
void FrmMain::OptAlpha() {}
void FrmMain::OptBeta() {}
void FrmMain::OptGamma() {}
void FrmMain::OptKappa() {}
void FrmMain::DspAlpha() {}
void FrmMain::DspBeta() {}
void FrmMain::DspGamma() {}
void FrmMain::DspKappa() {}
void FrmMain::DspPTW() {}
void FrmMain::check_DspPTW() {}
void FrmMain::DspIRCondition() {}
void FrmMain::ReadPanTiltStatusCore() {}
void FrmMain::ARError(long) {}
void FrmMain::PwCheck() {}
void FrmMain::showPanTiltAtStartup() {}
void FrmMain::clearPresetHighlight(int, int) {}
void FrmMain::portGone() {}
}  // namespace orbus
