// The main window's refresh buttons and timers, the preset highlight and
// the alarm check.
#include "app/frm_main.h"

#include "app/program.h"

namespace orbus {

void FrmMain::AutoRefreshed_Click() { refresh().toggleAuto(); }

void FrmMain::RefreshOnce_Click() {
    if (state_.PresetBusy) ++state_.RefreshSkipCount;
    ReadCameraStatus();
}

void FrmMain::Timer1_Timer() { ReadCameraStatus(); }

void FrmMain::Timer2_Timer() { check_DspPTW(); }

void FrmMain::Timer3_Timer() { link_.watchdog(); }

void FrmMain::clearPresetHighlight(int op, int no) {
    ControlArray<OptionButton>* arr = op == 0 ? &PresetSet : op == 1 ? &PresetRecall : &PresetReset;
    if (arr->has(no)) (*arr)[no].setValue(false);
}

link::Async<bool> FrmMain::CheckAlarmStatus() { return link_.checkAlarm(program().alarm, kAlarmAttempts); }

}  // namespace orbus
