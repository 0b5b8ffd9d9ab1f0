#include "status/decode.h"

#include "app/frm_main.h"
#include "app/program.h"
#include "panel/colour.h"
#include "panel/exposure.h"
#include "panel/runner.h"
#include "pantilt/frm_pantilt.h"
#include "platform/text.h"
#include "status/inquiry.h"

namespace orbus {

using panel::enableAll;

std::string hexText(int value) { return "0x" + hexNoPad(static_cast<unsigned>(value < 0 ? 0 : value)); }

namespace {

// A slider shown or hidden: Enabled follows Visible.
void showSlider(Slider& s, bool shown) {
    s.setVisible(shown);
    s.setEnabled(shown);
}

// The label of a position; a position the table does not cover (a camera
// may report anything) shows as its hexadecimal value.
std::string labelOr(const std::string& label, int position, int tableSize) {
    if (position < 0 || position >= tableSize) return hexText(position);
    return label;
}

}  // namespace

void decodeLensBlock(FrmMain& m, const Bytes& r) {
    Program& p = m.program();
    const bool zoomMoving = r[14] & 0x01;
    const bool focusMoving = r[14] & 0x02;
    if (!zoomMoving) {
        const int zoom = nibbles(r, 2, 4);
        m.ZoomSlider.setValue(zoom);
        m.ZoomSliderShort.setValue(zoom);
        m.ZoomValue.setText(hexText(zoom));
    }
    if (!focusMoving) {
        const int focus = nibbles(r, 8, 4);
        m.FocusSlider.setValue(focus);
        m.FocusValue.setText(hexText(focus));
    }
    m.FocusNearLimitSlider.setValue(r[6] * 4096 + r[7] * 256);

    const std::uint8_t b = r[13];
    if (b & 0x20) {
        enableAll({&m.DZoomTele, &m.DZoomWide, &m.DZoomX}, true);
        m.DZoomMode[0].setEnabled(true);
        m.DZoomMode[1].setEnabled(false);
        showSlider(m.ZoomSlider, false);
        showSlider(m.ZoomSliderShort, true);
        m.DZoom.setEnabled(false);
    } else {
        enableAll({&m.DZoomTele, &m.DZoomWide, &m.DZoomX}, false);
        m.DZoomMode[0].setEnabled(false);
        m.DZoomMode[1].setEnabled(true);
        m.DZoom.setEnabled(true);
        const bool on = b & 0x02;
        m.DZoom.setValue(on ? 1 : 0);
        showSlider(m.ZoomSliderShort, !on);
        showSlider(m.ZoomSlider, on);
    }
    m.AF_Sens.setValue(b & 0x04 ? 1 : 0);

    const bool autoFocus = b & 0x01;
    enableAll({&m.Near, &m.Far, &m.NearSpeed, &m.FarSpeed, &m.UpDown3, &m.UpDown4, &m.FocusSlider, &m.AFTrig,
               &m.Infinity, &m.AFModeCmd[0]},
              !autoFocus);
    enableAll({&m.AFModeCmd[1], &m.AFModeCmd[2], &m.AFModeCmd[3], &m.ManAFMode}, autoFocus);
    m.LblFstate.setCaption(autoFocus ? "Auto" : "Manual");

    const int afMode = (b >> 3) & 0x03;
    if (afMode <= 2) {
        p.modes.AFSubMode = static_cast<std::uint8_t>(afMode);
        for (int i = 1; i <= 3; ++i) m.AFModeCmd[i].setEnabled(i != afMode + 1);
    }
}

void applyWhiteBalanceMode(FrmMain& m, int mode) {
    Program& p = m.program();
    const std::vector<MenuItem*> items = panel::whiteBalanceItems(m);
    for (MenuItem* it : items) it->setChecked(false);
    if (mode < 0 || mode > 5) return;
    items[static_cast<std::size_t>(mode)]->setChecked(true);
    if (mode == p.modes.LastWBMode) return;
    panel::enableWhiteBalanceControls(m, mode);
    p.modes.LastWBMode = mode;
}

void applyExposureMode(FrmMain& m, int mode) {
    Program& p = m.program();
    for (const panel::ExposureMode& e : panel::exposureModes()) {
        if (e.reported) (m.*e.item).setChecked(false);
    }
    const panel::ExposureMode* e = panel::exposureMode(mode);
    if (!e || !e->reported) return;
    (m.*e->item).setChecked(true);
    if (mode == p.modes.LastAEMode) return;
    panel::enableExposureControls(m, *e);
    p.modes.LastAEMode = mode;
}

void decodeCameraBlock(FrmMain& m, const Bytes& r) {
    Program& p = m.program();
    const LabelTables& t = p.labels;
    p.modes.WBModeValue = static_cast<std::uint8_t>(r[6] & 0x07);
    applyWhiteBalanceMode(m, r[6] & 0x07);
    applyExposureMode(m, r[8]);

    m.RGainSlider.setValue(r[2] * 16 + r[3]);
    m.RGValue.setText(hexText(m.RGainSlider.value()));
    m.BGainSlider.setValue(r[4] * 16 + r[5]);
    m.BGValue.setText(hexText(m.BGainSlider.value()));
    m.ApertureSlider.setValue(r[7]);
    m.ApertureValue.setText(hexText(r[7]));

    const int row = p.modes.VideoSysCode;
    m.ShutterSlider.setValue(r[10]);
    m.ShutterValue.setText(labelOr(t.shutter(row, r[10]), r[10], 22));
    m.IrisSlider.setValue(r[11]);
    m.IrisValue.setText(labelOr(t.iris(r[11]), r[11], 18));
    m.GainSlider.setValue(r[12]);
    m.GainValue.setText(labelOr(t.gain(r[12]), r[12], 16));
    m.BrightSlider.setValue(r[13]);
    // Bright positions beyond the lens's table (a 10x lens names 0 to 23) show as numbers.
    const bool brightNamed = r[13] <= m.BrightSlider.max() && !t.bright(r[13]).empty();
    m.BrightValue.setText(brightNamed ? t.bright(r[13]) : hexText(r[13]));
    m.ExpCompSlider.setValue(r[14]);
    m.ExpCompValue.setText(labelOr(t.expComp(r[14]), r[14], 15));

    m.AutoSlowShutter.setValue(r[9] & 0x01 ? 1 : 0);
    m.BackLight.setValue(r[9] & 0x04 ? 1 : 0);
    const bool expComp = r[9] & 0x02;
    m.ExpComp.setValue(expComp ? 1 : 0);
    enableAll({&m.ExpCompUp, &m.ExpCompDown, &m.ExpCompSlider}, expComp);

    // One-push white balance needs a shutter at 1/8 or faster on ORX-Kappa.
    if (p.link.ModelCode == PanTiltModel::Kappa) {
        p.modes.KappaShutterPos = r[10];
        const bool allowed = r[10] >= 4;
        m.OnePushWB.setEnabled(allowed);
        if (p.modes.LastWBMode == 3) m.WBTrigger.setEnabled(allowed);
    } else {
        m.OnePushWB.setEnabled(true);
    }
}

void decodeOtherBlock(FrmMain& m, const Bytes& r) {
    Program& p = m.program();
    p.modes.VideoSysCode = r[12] & 0x01;
    m.Power.setChecked(r[2] & 0x01);
    m.KeyLock.setChecked(r[2] & 0x02);
    m.CmdAutoICR.setCaption(r[2] & 0x04 ? "ON" : "OFF");
    m.LR_Reverse.setChecked(r[3] & 0x04);
    m.Freese.setChecked(r[3] & 0x08);
    m.DataScreen.setChecked(r[4] & 0x04);
    m.TitleOnOff.setChecked(r[4] & 0x08);

    MenuItem* effects[] = {&m.PEOff, &m.Pastel, &m.NegArt, &m.Sepia, &m.BlackWhite,
                           &m.Solarize, &m.Mosaic, &m.Slim, &m.Stretch};
    for (int i = 0; i < 9; ++i) effects[i]->setChecked(r[5] == i);
    MenuItem* digital[] = {&m.DEOff, &m.Still, &m.Flash, &m.Lumi, &m.Trail};
    for (int i = 0; i < 5; ++i) digital[i]->setChecked(r[6] == i);
    p.modes.EffectLevel = r[7];
    m.CameraIDText.setText(std::to_string(nibbles(r, 8, 4)));

    if (p.link.ModelCode == PanTiltModel::Kappa && p.model.IsPanTiltSeries) {
        const int vs = p.model.VideoSystem;
        m.NTSCorPAL.setText(labelOr(p.labels.videoSystem(vs), vs, static_cast<int>(p.labels.VideoSystemLabel.size())));
    } else {
        m.NTSCorPAL.setText(p.modes.VideoSysCode == 0 ? "NTSC" : "PAL");
    }
}

void decodeExpandBeta(FrmMain& m, const Bytes& r) {
    Program& p = m.program();
    const int dz = r[2] * 16 + r[3];
    m.DZoomSlider.setValue(dz);
    m.DZoomValue.setText(hexText(dz));
    m.DZoomX.setCaption(dz == 0 ? "MAX" : "X1");
    if (r[10] & 0x02) {
        p.alarm.AlarmActive = true;
        // An alarm stops the automatic refresh.
        if (m.autoCaption()) m.refresh().switchOff();
    } else {
        p.alarm.AlarmActive = false;
    }
    p.frmPanTilt().LbMount.setCaption(r[10] & 0x01 ? "Ceiling Mount" : "Desktop Mount");
    m.MotionDetecter.setEnabled(r[11] & 0x02);
}

void decodeExpandKappa(FrmMain& m, const Bytes& r, bool accepted) {
    Program& p = m.program();
    const bool fullAuto = m.FullAuto.checked();
    for (MenuItem* it : {&m.ASSL, &m.ASSL0, &m.ASSL1, &m.ASSL2}) it->setEnabled(fullAuto);
    const bool pal = p.modes.VideoSysCode == 1;
    m.ASSL0.setCaption(pal ? "1/50" : "1/60");
    m.ASSL1.setCaption(pal ? "1/25" : "1/30");
    m.ASSL2.setCaption(pal ? "1/12" : "1/15");
    if (!accepted) return;
    MenuItem* limits[] = {&m.ASSL0, &m.ASSL1, &m.ASSL2};
    for (int i = 0; i < 3; ++i) limits[i]->setChecked(r[13] == i);
    MenuItem* dz[] = {&m.DZL0, &m.DZL1, &m.DZL2, &m.DZL3};
    static const int zoomMax[] = {0x4000, 0x5BC0, 0x69C0, 0x7E80};
    for (int i = 0; i < 4; ++i) dz[i]->setChecked(r[14] == i);
    if (r[14] <= 3) m.ZoomSlider.setMax(zoomMax[r[14]]);
}

void decodeMenuMode(FrmMain& m, const Bytes& r) {
    Program& p = m.program();
    const bool shown = r[2] == 0x02;
    p.modes.MenuMode = shown;
    m.MenuOff.setEnabled(shown);
    m.FmPreset.setEnabled(!shown);
    p.frmPanTilt().FmPanTilt.setEnabled(!shown);
}

void decodeInfoDisplay(FrmMain& m, const Bytes& r) {
    Program& p = m.program();
    p.modes.InfoDisplayMode = r[2] == 0x02;
    m.IFMDmode.setChecked(p.modes.InfoDisplayMode);
}

void decodeDsubSync(FrmMain& m, const Bytes& r, bool accepted, bool asked) {
    if (!asked) {
        m.HDACout.setEnabled(false);
        return;
    }
    if (!accepted) return;
    m.HDACout.setEnabled(true);
    m.State3.setChecked(r[2] == 0);
    m.DsubVD.setChecked(r[2] != 0);
}

}  // namespace orbus
