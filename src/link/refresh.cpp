// Refresh timers and buttons, the command watchdog and the alarm check.
#include "app/frm_main.h"
#include "app/program.h"
#include "platform/platform.h"
#include "status/inquiry.h"

namespace orbus {

void FrmMain::AutoRefreshed_Click() {
    if (!autoCaption()) {
        Timer1.setEnabled(true);
        AutoRefreshed.setCaption("Auto");
        RefreshOnce.setEnabled(false);
    } else {
        Timer1.setEnabled(false);
        AutoRefreshed.setCaption("Stop");
        RefreshOnce.setEnabled(true);
    }
}

void FrmMain::RefreshOnce_Click() {
    if (L.PresetBusy) ++L.RefreshSkipCount;
    ReadCameraStatus();
}

void FrmMain::giveRefreshBack() {
    if (autoCaption() && AutoRefreshed.enabled()) Timer1.setEnabled(true);
}

void FrmMain::Timer1_Timer() { ReadCameraStatus(); }

void FrmMain::Timer2_Timer() { check_DspPTW(); }

void FrmMain::Timer3_Timer() {
    // A preset whose completion never came ends here, whatever the refresh
    // does: left pending, it would hold back every status read and every
    // later preset for good.
    if (L.PresetBusy) {
        L.PresetBusy = false;
        for (auto* arr : {&PresetSet, &PresetRecall, &PresetReset}) {
            arr->forEach([](int, OptionButton& o) { o.setValue(false); });
        }
    }
    if (!L.RefreshHeld && !Timer1.enabled() && !AutoRefreshed.enabled()) {
        // The command's completion never came: resume auto refresh.
        Timer1.setInterval(2000);
        Timer1.setEnabled(true);
        AutoRefreshed.setEnabled(true);
    }
    if (L.WBWait) L.WBWait = false;
    Timer3.setEnabled(false);
    Timer3.setInterval(6000);
}

void FrmMain::clearPresetHighlight(int op, int no) {
    ControlArray<OptionButton>* arr = op == 0 ? &PresetSet : op == 1 ? &PresetRecall : &PresetReset;
    if (arr->has(no)) (*arr)[no].setValue(false);
}

bool FrmMain::CheckAlarmStatus() {
    Program& p = program();
    AlarmState& a = p.alarm;
    struct Step {
        int code;
        int length;
    };
    Bytes r;
    auto ask = [&](int code, int length) {
        const Bytes inquiry{static_cast<std::uint8_t>(L.header()), 0x09, 0x04, static_cast<std::uint8_t>(code), 0xFF};
        for (int attempts = 0; attempts < kAlarmAttempts; ++attempts) {
            SD(inquiry, kQuiet);
            r = WaitAnswer(length);
            if (acceptedReply(r, length)) return true;
        }
        return false;
    };
    bool ok = ask(0x6B, 4);
    if (ok) {
        if (r[2] == 0x02) a.AlarmActive = true;
        if (r[2] == 0x03) a.AlarmActive = false;
        ok = ask(0x6C, 4);
    }
    if (ok) {
        a.AlarmMode = r[2];
        a.AlarmModeKnown = true;
        ok = ask(0x6D, 12);
    }
    if (ok) {
        a.DayLevel = r[2] * 256 + r[3] * 16 + r[4];
        a.NightLevel = r[5] * 256 + r[6] * 16 + r[7];
        a.NowLevel = r[8] * 256 + r[9] * 16 + r[10];
        a.DayLevelKnown = a.NightLevelKnown = true;
        a.AlarmConfigured = true;
    }
    L.EchoSent = true;
    P.port.setRThreshold(1);
    if (!ok) {
        P.windows.message({MsgIcon::Exclamation, "Warning",
                           "Alarm Status Check Error !\r\nThe camera did not answer the alarm inquiry.",
                           MsgButtons::Ok, true});
    }
    return ok;
}

}  // namespace orbus
