// The main window's refresh buttons and timers, the preset highlight and
// the alarm check.
#include "app/frm_main.h"

#include "app/program.h"
#include "status/inquiry.h"

namespace orbus {

void FrmMain::AutoRefreshed_Click() { refresh().toggleAuto(); }

void FrmMain::RefreshOnce_Click() {
    if (state_.PresetBusy) link_.control().skipOneMoreRefresh();
    ReadCameraStatus();
}

void FrmMain::Timer1_Timer() { ReadCameraStatus(); }

void FrmMain::Timer2_Timer() { check_DspPTW(); }

void FrmMain::Timer3_Timer() { link_.watchdog(); }

void FrmMain::clearPresetHighlight(int op, int no) {
    ControlArray<OptionButton>* arr = op == 0 ? &PresetSet : op == 1 ? &PresetRecall : &PresetReset;
    if (arr->has(no)) (*arr)[no].setValue(false);
}

link::Async<bool> FrmMain::CheckAlarmStatus() {
    AlarmState& alarm = program().alarm;
    const int attempts = kAlarmAttempts;
    link::Line::Hold hold = co_await line().take();
    Bytes r;
    bool ok = true;
    const std::uint8_t steps[][2] = {{0x6B, 4}, {0x6C, 4}, {0x6D, 12}};
    for (int s = 0; ok && s < 3; ++s) {
        const int code = steps[s][0], length = steps[s][1];
        const Bytes inquiry{static_cast<std::uint8_t>(state_.header()), 0x09, 0x04, static_cast<std::uint8_t>(code), 0xFF};
        ok = false;
        for (int attempt = 0; !ok && attempt < attempts; ++attempt) {
            SD(inquiry, kQuiet);
            r = co_await WaitReply(length, true);
            ok = acceptedReply(r, length);
        }
        if (!ok) break;
        if (s == 0) {
            if (r[2] == 0x02) alarm.AlarmActive = true;
            if (r[2] == 0x03) alarm.AlarmActive = false;
        } else if (s == 1) {
            alarm.AlarmMode = r[2];
            alarm.AlarmModeKnown = true;
        } else {
            alarm.DayLevel = r[2] * 256 + r[3] * 16 + r[4];
            alarm.NightLevel = r[5] * 256 + r[6] * 16 + r[7];
            alarm.NowLevel = r[8] * 256 + r[9] * 16 + r[10];
            alarm.DayLevelKnown = alarm.NightLevelKnown = true;
            alarm.AlarmConfigured = true;
        }
    }
    link_.control().echoOn();
    hold.release();
    if (!ok) {
        platform_.windows.message({MsgIcon::Exclamation, "Warning",
                                   "Alarm Status Check Error !\r\nThe camera did not answer the alarm inquiry.",
                                   MsgButtons::Ok, true});
    }
    co_return ok;
}

}  // namespace orbus
