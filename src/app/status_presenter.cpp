#include "app/status_presenter.h"

#include "app/frm_main.h"
#include "app/program.h"
#include "panel/colour.h"
#include "panel/exposure.h"
#include "panel/runner.h"
#include "pantilt/frm_pantilt.h"
#include "platform/text.h"
#include "status/labels.h"

namespace orbus::status {

using panel::enableAll;

namespace {

// A slider shown or hidden: Enabled follows Visible.
void showSlider(Slider& s, bool shown) {
    s.setVisible(shown);
    s.setEnabled(shown);
}

void presentLens(FrmMain& m, const LensStatus& s) {
    Program& p = m.program();
    if (s.zoom) {
        m.ZoomSlider.setValue(*s.zoom);
        m.ZoomSliderShort.setValue(*s.zoom);
        m.ZoomValue.setText(hexText(*s.zoom));
    }
    if (s.focus) {
        m.FocusSlider.setValue(*s.focus);
        m.FocusValue.setText(hexText(*s.focus));
    }
    m.FocusNearLimitSlider.setValue(s.focusNearLimit);

    if (s.digitalZoomSeparate) {
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
        m.DZoom.setValue(s.digitalZoomOn ? 1 : 0);
        showSlider(m.ZoomSliderShort, !s.digitalZoomOn);
        showSlider(m.ZoomSlider, s.digitalZoomOn);
    }
    m.AF_Sens.setValue(s.afSensitivityLow ? 1 : 0);

    enableAll({&m.Near, &m.Far, &m.NearSpeed, &m.FarSpeed, &m.UpDown3, &m.UpDown4, &m.FocusSlider, &m.AFTrig,
               &m.Infinity, &m.AFModeCmd[0]},
              !s.autoFocus);
    enableAll({&m.AFModeCmd[1], &m.AFModeCmd[2], &m.AFModeCmd[3], &m.ManAFMode}, s.autoFocus);
    m.LblFstate.setCaption(s.autoFocus ? "Auto" : "Manual");

    if (s.afSubMode) {
        p.modes.AFSubMode = static_cast<std::uint8_t>(*s.afSubMode);
        for (int i = 1; i <= 3; ++i) m.AFModeCmd[i].setEnabled(i != *s.afSubMode + 1);
    }
}

void presentCamera(FrmMain& m, const CameraBlockStatus& s) {
    Program& p = m.program();
    p.modes.WBModeValue = static_cast<std::uint8_t>(s.whiteBalanceMode);
    applyWhiteBalanceMode(m, s.whiteBalanceMode);
    applyExposureMode(m, s.exposureMode);

    m.RGainSlider.setValue(s.redGain);
    m.RGValue.setText(hexText(m.RGainSlider.value()));
    m.BGainSlider.setValue(s.blueGain);
    m.BGValue.setText(hexText(m.BGainSlider.value()));
    m.ApertureSlider.setValue(s.aperture);
    m.ApertureValue.setText(hexText(s.aperture));

    m.ShutterSlider.setValue(s.shutter);
    m.ShutterValue.setText(s.shutterText);
    m.IrisSlider.setValue(s.iris);
    m.IrisValue.setText(s.irisText);
    m.GainSlider.setValue(s.gain);
    m.GainValue.setText(s.gainText);
    m.BrightSlider.setValue(s.bright);
    m.BrightValue.setText(s.brightText);
    m.ExpCompSlider.setValue(s.expComp);
    m.ExpCompValue.setText(s.expCompText);

    m.AutoSlowShutter.setValue(s.slowShutter ? 1 : 0);
    m.BackLight.setValue(s.backLight ? 1 : 0);
    m.ExpComp.setValue(s.expCompOn ? 1 : 0);
    enableAll({&m.ExpCompUp, &m.ExpCompDown, &m.ExpCompSlider}, s.expCompOn);

    if (s.onePushAllowed) {
        p.modes.KappaShutterPos = static_cast<std::uint8_t>(s.shutter);
        m.OnePushWB.setEnabled(*s.onePushAllowed);
        if (p.modes.LastWBMode == 3) m.WBTrigger.setEnabled(*s.onePushAllowed);
    } else {
        m.OnePushWB.setEnabled(true);
    }
}

void presentOther(FrmMain& m, const OtherBlockStatus& s) {
    Program& p = m.program();
    p.modes.VideoSysCode = s.videoSysCode;
    m.Power.setChecked(s.power);
    m.KeyLock.setChecked(s.keyLock);
    m.CmdAutoICR.setCaption(s.autoIcr ? "ON" : "OFF");
    m.LR_Reverse.setChecked(s.lrReverse);
    m.Freese.setChecked(s.freeze);
    m.DataScreen.setChecked(s.dataScreen);
    m.TitleOnOff.setChecked(s.titleOn);

    MenuItem* effects[] = {&m.PEOff, &m.Pastel, &m.NegArt, &m.Sepia, &m.BlackWhite,
                           &m.Solarize, &m.Mosaic, &m.Slim, &m.Stretch};
    for (int i = 0; i < 9; ++i) effects[i]->setChecked(s.pictureEffect == i);
    MenuItem* digital[] = {&m.DEOff, &m.Still, &m.Flash, &m.Lumi, &m.Trail};
    for (int i = 0; i < 5; ++i) digital[i]->setChecked(s.digitalEffect == i);
    p.modes.EffectLevel = s.effectLevel;
    m.CameraIDText.setText(std::to_string(s.cameraId));
    m.NTSCorPAL.setText(s.videoSystemText);
}

void presentBetaExpand(FrmMain& m, const BetaExpandStatus& s) {
    Program& p = m.program();
    m.DZoomSlider.setValue(s.digitalZoom);
    m.DZoomValue.setText(hexText(s.digitalZoom));
    m.DZoomX.setCaption(s.digitalZoom == 0 ? "MAX" : "X1");
    p.alarm.AlarmActive = s.alarm;
    // An alarm stops the automatic refresh.
    if (s.alarm && m.autoCaption()) m.refresh().switchOff();
    p.frmPanTilt().LbMount.setCaption(s.ceilingMount ? "Ceiling Mount" : "Desktop Mount");
    m.MotionDetecter.setEnabled(s.motionDetect);
}

// The slow-shutter menu follows the exposure mode even when the expand
// block was not had.
void presentKappaExpand(FrmMain& m, const std::optional<KappaExpandStatus>& s, int videoSysCode) {
    const bool fullAuto = m.FullAuto.checked();
    for (MenuItem* it : {&m.ASSL, &m.ASSL0, &m.ASSL1, &m.ASSL2}) it->setEnabled(fullAuto);
    const bool pal = videoSysCode == 1;
    MenuItem* limits[] = {&m.ASSL0, &m.ASSL1, &m.ASSL2};
    for (int i = 0; i < 3; ++i) limits[i]->setCaption(slowShutterLimitText(pal, i));
    if (!s) return;
    for (int i = 0; i < 3; ++i) limits[i]->setChecked(s->slowShutterLimit == i);
    MenuItem* dz[] = {&m.DZL0, &m.DZL1, &m.DZL2, &m.DZL3};
    for (int i = 0; i < 4; ++i) dz[i]->setChecked(s->digitalZoomLimit == i);
    if (s->zoomMax) m.ZoomSlider.setMax(*s->zoomMax);
}

void presentMenuMode(FrmMain& m, bool shown) {
    Program& p = m.program();
    p.modes.MenuMode = shown;
    m.MenuOff.setEnabled(shown);
    m.FmPreset.setEnabled(!shown);
    p.frmPanTilt().FmPanTilt.setEnabled(!shown);
}

void presentDsubSync(FrmMain& m, bool asked, const std::optional<bool>& threeState) {
    if (!asked) {
        m.HDACout.setEnabled(false);
        return;
    }
    if (!threeState) return;
    m.HDACout.setEnabled(true);
    m.State3.setChecked(*threeState);
    m.DsubVD.setChecked(!*threeState);
}

}  // namespace

DecodeContext decodeContext(FrmMain& m) {
    const Program& p = m.program();
    DecodeContext c;
    c.model = p.cameras.drivenModel();
    c.panTiltSeries = p.model.IsPanTiltSeries;
    c.kappaVideoSystem = p.cameras.drivenCamera().kappa.videoSystem;
    c.videoSysCode = p.modes.VideoSysCode;
    c.brightMax = m.BrightSlider.max();
    c.labels = &p.labels;
    return c;
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

void present(FrmMain& m, const CameraStatus& s) {
    Program& p = m.program();
    if (s.lens) presentLens(m, *s.lens);
    // The video system first: the shutter labels were chosen for it.
    if (s.other) p.modes.VideoSysCode = s.other->videoSysCode;
    if (s.camera) presentCamera(m, *s.camera);
    if (s.other) presentOther(m, *s.other);
    if (s.model == PanTiltModel::Beta && s.betaExpand) presentBetaExpand(m, *s.betaExpand);
    if (s.model == PanTiltModel::Kappa) {
        presentKappaExpand(m, s.kappaExpand, p.modes.VideoSysCode);
        if (s.menuShown) presentMenuMode(m, *s.menuShown);
        if (s.infoDisplay) {
            p.modes.InfoDisplayMode = *s.infoDisplay;
            m.IFMDmode.setChecked(p.modes.InfoDisplayMode);
        }
        presentDsubSync(m, s.dsubAsked, s.dsubThreeState);
    }
}

void presentChange(FrmMain& m, int camera, model::Chain::Aspect aspect) {
    const model::Chain& chain = m.program().cameras;
    if (camera != m.program().link.CamAddress) return;
    const model::Camera* c = chain.camera(camera);
    if (!c) return;
    switch (aspect) {
    case model::Chain::Aspect::Status:
        if (c->status) present(m, *c->status);
        break;
    case model::Chain::Aspect::Power:
        if (c->power) presentPower(m, *c->power);
        break;
    case model::Chain::Aspect::PanTilt:
        if (c->panTilt) presentPanTilt(m, *c->panTilt);
        break;
    default: break;
    }
}

void presentPower(FrmMain& m, PowerState power) {
    if (power == PowerState::On) m.Power.setChecked(true);
    if (power == PowerState::Off) m.Power.setChecked(false);
}

void presentPanTilt(FrmMain& m, const PanTiltStatus& s) {
    Program& p = m.program();
    FrmPanTilt& pt = p.frmPanTilt();
    if (!s.pan || !s.tilt) return;
    pt.LbPanPos.setCaption(hexText(*s.pan));
    pt.LbTiltPos.setCaption(hexText(*s.tilt));
    if (!s.statusWord) return;
    std::string bits;
    for (int b = 15; b >= 0; --b) bits += (*s.statusWord >> b) & 1 ? '1' : '0';
    pt.LbPTS.setCaption(bits);
    auto applyMax = [](const std::optional<int>& max, UpDown& arrows, TextBox& box, Label& shown) {
        if (!max) return;
        arrows.setMax(*max);
        if (leadingNumber(box.text()) > *max) box.setText(std::to_string(*max));
        shown.setCaption(std::to_string(*max));
    };
    applyMax(s.panSpeedMax, pt.PSUpDown, pt.PanSpeed, pt.LbMPS);
    applyMax(s.tiltSpeedMax, pt.TSUpDown, pt.TiltSpeed, pt.LbMTS);
}

void presentIrCondition(FrmMain& m, int condition) {
    Label& ir = m.program().frmPanTilt().LblIR;
    switch (condition) {
    case 0:
        ir.setCaption("IR Condition:OK");
        ir.setBackColor(rgb(0, 255, 0));
        break;
    case 1:
        ir.setCaption("IR Condition:NG");
        ir.setBackColor(rgb(255, 0, 0));
        break;
    default:
        ir.setCaption("IR Condition:Unknown");
        ir.setBackColor(rgb(255, 255, 0));
        break;
    }
}

}  // namespace orbus::status
