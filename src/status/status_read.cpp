// The status read: inquiries in order, with frame checks and retries, then
// the decoding of every accepted answer into the panel.
#include "app/frm_main.h"
#include "app/program.h"
#include "pantilt/frm_pantilt.h"
#include "platform/text.h"
#include "status/decode.h"
#include "status/identify.h"
#include "status/inquiry.h"

namespace orbus {

namespace {

// Answers of one read, kept until the decoding has run.
struct Replies {
    Bytes lens, camera, other, expand, menu, info, dsub;
    bool haveLens = false, haveCamera = false, haveOther = false, haveExpand = false;
    bool haveMenu = false, haveInfo = false, haveDsub = false, dsubAsked = false;
};

bool dsubCapable(int videoSystem) {
    return (videoSystem >= 0 && videoSystem <= 3) || (videoSystem >= 8 && videoSystem <= 11);
}

// Steps 7 to 9: false when an inquiry gave up.
bool readBlocks(FrmMain& m, Replies& r) {
    Program& p = m.program();
    const int code = p.link.ModelCode;
    if (!(r.haveLens = inquireBlock(m, {0x09, 0x7E, 0x7E, 0x00}, 16, 0, r.lens))) return false;
    if (!(r.haveCamera = inquireBlock(m, {0x09, 0x7E, 0x7E, 0x01}, 16, 1, r.camera))) return false;
    if (!(r.haveOther = inquireBlock(m, {0x09, 0x7E, 0x7E, 0x02}, 16, 2, r.other))) return false;
    if (code == 14 || code == 260) {
        if (!(r.haveExpand = inquireBlock(m, {0x09, 0x7E, 0x7E, 0x03}, 16, 3, r.expand))) return false;
    }
    if (code == 260) {
        if (!(r.haveMenu = inquireCounted(m, {0x09, 0x06, 0x06}, 4, 966, r.menu))) return false;
        if (!(r.haveInfo = inquireCounted(m, {0x09, 0x7E, 0x01, 0x18}, 4, 9953560, r.info))) return false;
        r.dsubAsked = dsubCapable(p.model.VideoSystem);
        if (r.dsubAsked && !(r.haveDsub = inquireCounted(m, {0x09, 0x7E, 0x01, 0x1A}, 4, 9953562, r.dsub)))
            return false;
    }
    return true;
}

void decodeAll(FrmMain& m, const Replies& r) {
    Program& p = m.program();
    const int code = p.link.ModelCode;
    if (r.haveLens) decodeLensBlock(m, r.lens);
    // The shutter labels need this read's video system, which the other
    // block carries: take it first, or a PAL camera would show NTSC speeds
    // until the next read.
    if (r.haveOther) p.modes.VideoSysCode = r.other[12] & 0x01;
    if (r.haveCamera) decodeCameraBlock(m, r.camera);
    if (r.haveOther) decodeOtherBlock(m, r.other);
    if (code == 14 && r.haveExpand) decodeExpandBeta(m, r.expand);
    if (code == 260) {
        decodeExpandKappa(m, r.expand, r.haveExpand);
        if (r.haveMenu) decodeMenuMode(m, r.menu);
        if (r.haveInfo) decodeInfoDisplay(m, r.info);
        decodeDsubSync(m, r.dsub, r.dsubAsked && r.haveDsub, r.dsubAsked);
    }
}

}  // namespace

bool FrmMain::ReadCameraStatus() {
    Program& p = program();
    LinkState& L = p.link;
    if (L.StatusReadBusy) return false;
    if (L.StartupBusy) return false;
    if (L.PresetBusy) return false;
    if (L.RefreshSkipCount > 0) {
        --L.RefreshSkipCount;
        return false;
    }
    if (L.RefreshRestart) {
        Timer1.setEnabled(false);
        Timer1.setInterval(2000);
        L.RefreshRestart = false;
    }
    L.StatusReadBusy = true;
    L.StatusReading = true;

    bool ok = true;
    bool skipToPanTilt = false;
    if (!p.model.VersionRead) ok = identifyInStatusRead(*this);
    if (ok && p.model.IsPanTiltSeries) {
        if (L.ModelCode == 2) {
            L.StatusReading = false;
            L.StatusReadBusy = false;
            skipToPanTilt = true;
        } else if (L.ModelCode == 260) {
            DspIRCondition();
            PwCheck();
            if (!Power.checked()) {
                // The camera is switched off: identify it again once it is on.
                p.model.VersionRead = false;
                p.model.IsPanTiltSeries = false;
                ok = false;
            }
        }
    }
    if (ok && !skipToPanTilt) {
        // A read that gave up leaves the panel as the last complete read left it.
        Replies r;
        ok = readBlocks(*this, r);
        if (ok) decodeAll(*this, r);
    }
    if (ok) {
        if (p.model.IsPanTiltSeries) check_DspPTW();
        if (Power.checked() && p.model.IsPanTiltSeries && p.ptw.PTWindow && p.ptw.PTWSize) ReadPanTiltStatusCore();
    }
    L.StatusReading = false;
    L.StatusReadBusy = false;
    L.EchoSent = true;
    p.platform.port.setRThreshold(1);
    return true;
}

void FrmMain::PwCheck() {
    Program& p = program();
    const Bytes inquiry{static_cast<std::uint8_t>(p.link.header()), 0x09, 0x04, 0x00, 0xFF};
    for (int attempts = 0;;) {
        SD(inquiry, kQuiet);
        Bytes r = WaitAnswer(4);
        if (++attempts >= kInquiryAttempts) {
            ARError(940);
            return;
        }
        if (r.size() < 4 || !(r[0] & 0x80) || r[1] != 0x50 || r[3] != 0xFF) continue;
        if (r[2] == 0x02) Power.setChecked(true);
        if (r[2] == 0x03) Power.setChecked(false);
        return;
    }
}

void FrmMain::ARError(long err) {
    Program& p = program();
    p.link.LastRefreshError = err;
    if (!autoCaption()) return;  // a failed single read stays silent
    p.platform.windows.message({MsgIcon::Critical, "Warning",
                                "Refresh Action Error !\r\nRefresh Action is Stopped.", MsgButtons::Ok, true});
    Timer1.setEnabled(false);
    AutoRefreshed.setCaption("Stop");
    // Off means the button is usable again; a read during a command pause
    // would otherwise leave it locked and let the watchdog restart Timer1
    // under a "Stop" caption.
    AutoRefreshed.setEnabled(true);
    RefreshOnce.setEnabled(true);
    p.platform.port.input();
}

void FrmMain::ReadPanTiltStatusCore() {
    Program& p = program();
    FrmPanTilt& pt = p.frmPanTilt();
    Bytes r;
    if (!inquireBlock(*this, {0x09, 0x06, 0x12}, 11, 0x9612, r)) return;
    pt.LbPanPos.setCaption("0x" + hexNoPad(static_cast<unsigned>(nibbles(r, 2, 4))));
    pt.LbTiltPos.setCaption("0x" + hexNoPad(static_cast<unsigned>(nibbles(r, 6, 4))));
    if (!inquireBlock(*this, {0x09, 0x06, 0x10}, 5, 0x9610, r)) return;
    const int word = r[2] * 256 + r[3];
    std::string bits;
    for (int b = 15; b >= 0; --b) bits += (word >> b) & 1 ? '1' : '0';
    pt.LbPTS.setCaption(bits);
    if (!inquireBlock(*this, {0x09, 0x06, 0x11}, 5, 0x9611, r)) return;
    // A maximum no head has (outside 1 to 7F) is a garbled answer: the
    // limits stay as they were, so no speed byte beyond 7F is ever built.
    bool garbled = false;
    auto applyMax = [&](int max, UpDown& arrows, TextBox& box, Label& shown) {
        if (max < 1 || max > 0x7F) {
            garbled = true;
            return;
        }
        arrows.setMax(max);
        if (leadingNumber(box.text()) > max) box.setText(std::to_string(max));
        shown.setCaption(std::to_string(max));
    };
    applyMax(r[2], pt.PSUpDown, pt.PanSpeed, pt.LbMPS);
    applyMax(r[3], pt.TSUpDown, pt.TiltSpeed, pt.LbMTS);
    if (garbled) p.chain.garbledAnswer(p.link.CamAddress, p.platform.clock.now());
}

}  // namespace orbus
