// Refresh timers and buttons, the command watchdog and the alarm check.
#include "app/frm_main.h"

#include "app/chain_health.h"
#include "app/program.h"
#include "platform/platform.h"
#include "status/inquiry.h"

namespace orbus {

void FrmMain::AutoRefreshed_Click() { refresh_.toggleAuto(); }

void FrmMain::RefreshOnce_Click() {
    if (state_.PresetBusy) ++state_.RefreshSkipCount;
    ReadCameraStatus();
}

void FrmMain::Timer1_Timer() { ReadCameraStatus(); }

void FrmMain::Timer2_Timer() { check_DspPTW(); }

void FrmMain::Timer3_Timer() {
    // A preset whose completion never came ends here, whatever the refresh
    // does: left pending, it would hold back every status read and every
    // later preset for good.
    if (state_.PresetBusy) {
        state_.PresetBusy = false;
        for (auto* arr : {&PresetSet, &PresetRecall, &PresetReset}) {
            arr->forEach([](int, OptionButton& o) { o.setValue(false); });
        }
    }
    // The command's completion never came: resume auto refresh.
    if (state_.WBWait) state_.WBWait = false;
    refresh_.watchdog();
    // Commands whose completion never came free their sockets too, and
    // are counted for their camera.
    for (int camera = 1; camera <= 7; ++camera) {
        if (const int n = pacer_.forgetInFlight(camera)) prog_.chain.noCompletion(camera, n);
        sendWaiting(camera);
    }
}

void FrmMain::clearPresetHighlight(int op, int no) {
    ControlArray<OptionButton>* arr = op == 0 ? &PresetSet : op == 1 ? &PresetRecall : &PresetReset;
    if (arr->has(no)) (*arr)[no].setValue(false);
}

link::Async<bool> FrmMain::CheckAlarmStatus() {
    Program& p = program();
    AlarmState& a = p.alarm;
    link::Line::Hold hold = co_await line_.take();
    Bytes r;
    bool ok = true;
    const std::uint8_t steps[][2] = {{0x6B, 4}, {0x6C, 4}, {0x6D, 12}};
    for (int s = 0; ok && s < 3; ++s) {
        const int code = steps[s][0], length = steps[s][1];
        const Bytes inquiry{static_cast<std::uint8_t>(state_.header()), 0x09, 0x04, static_cast<std::uint8_t>(code), 0xFF};
        ok = false;
        for (int attempts = 0; !ok && attempts < kAlarmAttempts; ++attempts) {
            SD(inquiry, kQuiet);
            r = co_await WaitAnswer(length);
            ok = acceptedReply(r, length);
        }
        if (!ok) break;
        if (s == 0) {
            if (r[2] == 0x02) a.AlarmActive = true;
            if (r[2] == 0x03) a.AlarmActive = false;
        } else if (s == 1) {
            a.AlarmMode = r[2];
            a.AlarmModeKnown = true;
        } else {
            a.DayLevel = r[2] * 256 + r[3] * 16 + r[4];
            a.NightLevel = r[5] * 256 + r[6] * 16 + r[7];
            a.NowLevel = r[8] * 256 + r[9] * 16 + r[10];
            a.DayLevelKnown = a.NightLevelKnown = true;
            a.AlarmConfigured = true;
        }
    }
    state_.EchoSent = true;
    hold.release();
    if (!ok) {
        platform_.windows.message({MsgIcon::Exclamation, "Warning",
                           "Alarm Status Check Error !\r\nThe camera did not answer the alarm inquiry.",
                           MsgButtons::Ok, true});
    }
    co_return ok;
}

}  // namespace orbus
