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

// The blocks, then the ORX-Kappa's own inquiries: false when an inquiry gave
// up or a command or another camera overtook the read.
link::Async<bool> readBlocks(FrmMain& m, Replies& r) {
    Program& p = m.program();
    const PanTiltModel code = p.link.ModelCode;
    auto take = [](std::optional<Bytes>&& a, Bytes& into, bool& have) {
        have = a.has_value();
        if (have) into = std::move(*a);
        return have;
    };
    if (!take(co_await inquireBlock(m, "09 7E 7E 00", 16, 0), r.lens, r.haveLens)) co_return false;
    if (!take(co_await inquireBlock(m, "09 7E 7E 01", 16, 1), r.camera, r.haveCamera)) co_return false;
    if (!take(co_await inquireBlock(m, "09 7E 7E 02", 16, 2), r.other, r.haveOther)) co_return false;
    if (code == PanTiltModel::Beta || code == PanTiltModel::Kappa) {
        if (!take(co_await inquireBlock(m, "09 7E 7E 03", 16, 3), r.expand, r.haveExpand))
            co_return false;
    }
    if (code == PanTiltModel::Kappa) {
        if (!take(co_await inquireCounted(m, "09 06 06", 4, 966), r.menu, r.haveMenu)) co_return false;
        if (!take(co_await inquireCounted(m, "09 7E 01 18", 4, 9953560), r.info, r.haveInfo))
            co_return false;
        r.dsubAsked = dsubCapable(p.model.VideoSystem);
        if (r.dsubAsked) {
            if (!take(co_await inquireCounted(m, "09 7E 01 1A", 4, 9953562), r.dsub, r.haveDsub)) co_return false;
        }
    }
    co_return true;
}

void decodeAll(FrmMain& m, const Replies& r) {
    Program& p = m.program();
    const PanTiltModel code = p.link.ModelCode;
    if (r.haveLens) decodeLensBlock(m, r.lens);
    // The shutter labels need this read's video system, which the other
    // block carries: take it first, or a PAL camera would show NTSC speeds
    // until the next read.
    if (r.haveOther) p.modes.VideoSysCode = r.other[12] & 0x01;
    if (r.haveCamera) decodeCameraBlock(m, r.camera);
    if (r.haveOther) decodeOtherBlock(m, r.other);
    if (code == PanTiltModel::Beta && r.haveExpand) decodeExpandBeta(m, r.expand);
    if (code == PanTiltModel::Kappa) {
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
    refresh_.readStarts();
    L.StatusReadBusy = true;
    L.StatusReading = true;
    readFailure_.reset();
    readOvertaken_ = false;
    readAbandoned_ = false;
    readCamera_ = L.CamAddress;
    // The read runs beside the window: each inquiry waits for its answer
    // without holding it, and operator commands go out in between.
    tasks_.start(statusRead());
    return true;
}

link::Async<void> FrmMain::statusRead() {
    Program& p = program();
    LinkState& L = p.link;
    link::Line::Hold hold = co_await line_.take();

    bool ok = !readOvertaken_;
    bool skipToPanTilt = false;
    if (ok && !p.model.VersionRead) {
        ok = co_await identifyInStatusRead(*this);
        ok = ok && !readOvertaken_;
    }
    if (ok && p.model.IsPanTiltSeries) {
        if (L.ModelCode == PanTiltModel::Alpha) {
            skipToPanTilt = true;
        } else if (L.ModelCode == PanTiltModel::Kappa) {
            DspIRCondition();
            ok = co_await PwCheck();
            ok = ok && !readOvertaken_;
            if (ok && !Power.checked()) {
                // The camera is switched off: identify it again once it is on.
                p.model.VersionRead = false;
                p.model.IsPanTiltSeries = false;
                ok = false;
            }
        }
    }
    if (ok && !skipToPanTilt) {
        // A read that gave up, or that a command overtook, leaves the panel
        // as the last complete read left it.
        Replies r;
        ok = co_await readBlocks(*this, r);
        if (ok) decodeAll(*this, r);
    }
    if (ok) {
        if (p.model.IsPanTiltSeries) check_DspPTW();
        if (Power.checked() && p.model.IsPanTiltSeries && p.ptw.PTWindow && p.ptw.PTWSize)
            co_await ReadPanTiltStatusCore();
    }
    L.StatusReading = false;
    L.StatusReadBusy = false;
    L.EchoSent = true;
    hold.release();
    const std::optional<long> failure = readFailure_;
    readFailure_.reset();
    refresh_.readEnded(readOvertaken_);
    // The read has ended before the operator hears that it failed.
    if (failure) ARError(*failure);
}

void FrmMain::readGaveUp(long code) {
    // Outside a read (a power check of its own) the failure is told now.
    if (!state_.StatusReadBusy) {
        ARError(code);
    } else if (!readFailure_) {
        readFailure_ = code;
    }
}

void FrmMain::abandonRead() {
    if (!state_.StatusReading) return;
    readOvertaken_ = true;
    readAbandoned_ = true;
}

void FrmMain::commandWentOut(int camera) {
    // A read of the camera a command went to would show what the camera did
    // before the command: it stops after its exchange in flight, and the
    // refresh reads once more after the command.
    if (state_.StatusReading && (camera == readCamera_ || camera == 8)) readOvertaken_ = true;
}

link::Async<bool> FrmMain::PwCheck() {
    Program& p = program();
    const Bytes inquiry{static_cast<std::uint8_t>(p.link.header()), 0x09, 0x04, 0x00, 0xFF};
    for (int attempts = 0;;) {
        SD(inquiry, kQuiet);
        Bytes r = co_await WaitAnswer(4);
        if (state_.StatusReadBusy && readAbandoned_) co_return false;
        if (++attempts >= kInquiryAttempts) {
            readGaveUp(940);
            co_return false;
        }
        if (r.size() < 4 || !(r[0] & 0x80) || r[1] != 0x50 || r[3] != 0xFF) continue;
        // A read that a command or another camera overtook shows nothing.
        if (state_.StatusReadBusy && readOvertaken_) co_return false;
        if (r[2] == 0x02) Power.setChecked(true);
        if (r[2] == 0x03) Power.setChecked(false);
        co_return true;
    }
}

void FrmMain::ARError(long err) {
    Program& p = program();
    p.link.LastRefreshError = err;
    if (!autoCaption()) return;  // a failed single read stays silent
    // Off before the message: no read starts while it is shown.
    refresh_.switchOff();
    line_.discard();
    p.platform.port.input();
    p.platform.windows.message({MsgIcon::Critical, "Warning",
                                "Refresh Action Error !\r\nRefresh Action is Stopped.", MsgButtons::Ok, true});
}

link::Async<void> FrmMain::ReadPanTiltStatusCore() {
    Program& p = program();
    FrmPanTilt& pt = p.frmPanTilt();
    auto r = co_await inquireBlock(*this, "09 06 12", 11, 0x9612);
    if (!r) co_return;
    pt.LbPanPos.setCaption("0x" + hexNoPad(static_cast<unsigned>(nibbles(*r, 2, 4))));
    pt.LbTiltPos.setCaption("0x" + hexNoPad(static_cast<unsigned>(nibbles(*r, 6, 4))));
    r = co_await inquireBlock(*this, "09 06 10", 5, 0x9610);
    if (!r) co_return;
    const int word = (*r)[2] * 256 + (*r)[3];
    std::string bits;
    for (int b = 15; b >= 0; --b) bits += (word >> b) & 1 ? '1' : '0';
    pt.LbPTS.setCaption(bits);
    r = co_await inquireBlock(*this, "09 06 11", 5, 0x9611);
    if (!r) co_return;
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
    applyMax((*r)[2], pt.PSUpDown, pt.PanSpeed, pt.LbMPS);
    applyMax((*r)[3], pt.TSUpDown, pt.TiltSpeed, pt.LbMTS);
    if (garbled) p.chain.garbledAnswer(p.link.CamAddress, p.platform.clock.now());
}

}  // namespace orbus
