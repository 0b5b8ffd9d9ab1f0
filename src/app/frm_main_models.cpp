// Model layouts of the main window: the pan-tilt models' layout table and
// label profiles, the controls each block model lacks, and the window as
// drawn that another camera is laid out from.
#include "app/frm_main_models.h"

#include "app/design_layout.h"
#include "app/frm_main.h"
#include "app/program.h"
#include "app/status_presenter.h"
#include "pantilt/frm_pantilt.h"

namespace orbus {

namespace {

const char* kPanTiltCaption = "ORX  SERIES  Control  Panel";
const char* kBlockCaption = "KBM-  B SERIES Control Panel";

// One row of the layout table: what each model's layout does to a control.
// 'H' hidden, 'S' shown, '-' left as it is.
struct VisRow {
    ControlRef control;
    char alpha, beta, gamma, kappa;
};

const VisRow kVisibility[] = {
    {ORBUS_CONTROL(IDWrite), 'H', 'S', 'S', 'S'},
    {ORBUS_CONTROL(Mute), 'H', 'S', 'H', 'H'},
    {ORBUS_CONTROL(Lensinit), 'H', 'S', 'H', 'H'},
    {ORBUS_CONTROL(AutoPowerOff), 'H', 'S', 'S', 'H'},
    {ORBUS_CONTROL(NightPowerOff), 'H', 'S', 'H', 'H'},
    {ORBUS_CONTROL(KeyLock), 'H', 'H', 'H', 'H'},
    {ORBUS_CONTROL(CompScan), 'H', 'H', 'H', 'H'},
    {ORBUS_CONTROL(DZLimit), '-', 'H', 'H', 'S'},
    {ORBUS_CONTROL(ASSL), '-', 'H', 'H', 'S'},
    {ORBUS_CONTROL(M_Function), 'H', 'S', 'S', 'S'},
    {ORBUS_CONTROL(PictureFlip), '-', 'H', 'H', 'H'},
    {ORBUS_CONTROL(LR_Reverse), '-', 'S', 'S', 'H'},
    {ORBUS_CONTROL(Freese), '-', 'S', 'S', 'H'},
    {ORBUS_CONTROL(PictureEffect), '-', 'S', 'S', 'S'},
    {ORBUS_CONTROL(Pastel), '-', 'H', 'S', 'H'},
    {ORBUS_CONTROL(Sepia), '-', 'H', 'S', 'H'},
    {ORBUS_CONTROL(Solarize), '-', 'H', 'S', 'H'},
    {ORBUS_CONTROL(Mosaic), '-', 'H', 'S', 'H'},
    {ORBUS_CONTROL(Slim), '-', 'H', 'S', 'H'},
    {ORBUS_CONTROL(Stretch), '-', 'H', 'S', 'H'},
    {ORBUS_CONTROL(DigitalEffect), 'H', 'H', 'S', 'H'},
    {ORBUS_CONTROL(ShutterAuto), 'H', 'H', 'S', 'H'},
    {ORBUS_CONTROL(IrisAuto), 'H', 'H', 'S', 'H'},
    {ORBUS_CONTROL(GainAuto), 'H', 'H', 'S', 'H'},
    {ORBUS_CONTROL(AESpotLight), '-', 'H', 'H', 'S'},
    {ORBUS_CONTROL(AESpotMode), 'H', 'S', 'H', 'H'},
    {ORBUS_CONTROL(ATW), 'H', 'S', 'S', 'H'},
    {ORBUS_CONTROL(ManualWB), 'H', 'S', 'S', 'S'},
    {ORBUS_CONTROL(DateDisplay), 'H', 'H', 'H', 'H'},
    {ORBUS_CONTROL(TimeDisplay), 'H', 'H', 'H', 'H'},
    {ORBUS_CONTROL(SetTimeDate), 'H', 'H', 'H', 'H'},
    {ORBUS_CONTROL(Title), 'H', 'S', 'H', 'H'},
    {ORBUS_CONTROL(DataScreen), '-', 'S', 'S', 'H'},
    {ORBUS_CONTROL(IFMDmode), '-', 'H', 'H', 'S'},
    {ORBUS_CONTROL(MenuOff), '-', 'H', 'H', 'S'},
    {ORBUS_CONTROL(Sync), 'H', 'H', 'H', 'S'},
    {ORBUS_CONTROL(FactorySetMenu), 'H', 'H', 'H', 'H'},
    {ORBUS_CONTROL(PrivacyZone), 'H', 'H', 'H', 'H'},
    {ORBUS_CONTROL(PrivacyAv), 'H', 'H', 'H', 'H'},
    {ORBUS_CONTROL(MotionDetecter), 'H', 'S', 'H', 'H'},
    {ORBUS_CONTROL(AutoSlowShutter), '-', 'S', 'S', 'H'},
    {ORBUS_CONTROL(ExpCompValue), 'H', 'S', 'S', 'S'},
    {ORBUS_CONTROL(ExpComp), 'H', 'S', 'S', 'S'},
    {ORBUS_CONTROL(ExpCompSlider), 'H', 'S', 'S', 'S'},
    {ORBUS_ELEMENT(LblAE, 12), 'H', 'S', 'S', 'S'},
    {ORBUS_ELEMENT(LblAE, 13), 'H', 'S', 'S', 'S'},
    {ORBUS_ELEMENT(LblAE, 14), 'H', 'S', 'S', 'S'},
    {ORBUS_CONTROL(ExpCompDown), 'H', 'S', 'S', 'S'},
    {ORBUS_CONTROL(ExpCompUp), 'H', 'S', 'S', 'S'},
    {ORBUS_CONTROL(CmdAutoICR), 'H', 'S', 'H', 'H'},
    {ORBUS_ELEMENT(LblAE, 15), 'H', 'S', 'H', 'H'},
    {ORBUS_ELEMENT(CmdICR, 0), 'H', 'S', 'H', 'H'},
    {ORBUS_ELEMENT(CmdICR, 1), 'H', 'S', 'H', 'H'},
    {ORBUS_ELEMENT(LblAE, 16), 'H', 'S', 'H', 'H'},
    {ORBUS_CONTROL(Comstabi), 'H', 'H', 'H', 'H'},
    {ORBUS_ELEMENT(LblAE, 17), 'H', 'H', 'H', 'H'},
    {ORBUS_ELEMENT(DZoomMode, 0), 'H', 'S', 'H', 'H'},
    {ORBUS_CONTROL(DZoom), 'H', 'S', 'S', 'H'},
    {ORBUS_CONTROL(FmDZoom), 'H', 'S', 'H', 'H'},
    {ORBUS_ELEMENT(AFModeCmd, 1), 'H', 'S', 'H', 'H'},
    {ORBUS_ELEMENT(AFModeCmd, 2), 'H', 'S', 'H', 'H'},
    {ORBUS_ELEMENT(AFModeCmd, 3), 'H', 'S', 'H', 'H'},
    {ORBUS_CONTROL(ACTAFmodeset), 'H', 'S', 'H', 'H'},
    {ORBUS_ELEMENT(LblFocus, 5), 'H', 'S', 'S', 'H'},
    {ORBUS_CONTROL(AF_Sens), 'H', 'S', 'S', 'H'},
    {ORBUS_CONTROL(AFTrig), 'H', 'S', 'S', 'S'},
    {ORBUS_CONTROL(Infinity), 'H', 'S', 'S', 'S'},
    {ORBUS_ELEMENT(LblFocus, 6), 'H', 'S', 'H', 'H'},
    {ORBUS_CONTROL(AFacttime), 'H', 'S', 'H', 'H'},
    {ORBUS_ELEMENT(LblFocus, 7), 'H', 'S', 'H', 'H'},
    {ORBUS_CONTROL(AFintTime), 'H', 'S', 'H', 'H'},
    {ORBUS_CONTROL(FocusNearLimitSlider), 'H', 'S', 'S', 'S'},
    {ORBUS_ELEMENT(LblFocus, 4), 'H', 'S', 'S', 'S'},
    {ORBUS_CONTROL(FmAPC), 'H', 'S', 'S', 'S'},
    {ORBUS_CONTROL(Frame5), 'H', 'H', 'H', 'H'},
    {ORBUS_CONTROL(Internal), '-', '-', '-', 'H'},
    {ORBUS_CONTROL(LineLock), '-', '-', '-', 'H'},
    {ORBUS_CONTROL(ZoomSlider), 'H', '-', '-', '-'},
    {ORBUS_CONTROL(ZoomSliderShort), 'S', '-', '-', '-'},
};

// Slider maxima per model (Alpha leaves them as they are).
struct MaxRow {
    Slider FrmMain::*slider;
    int beta, gamma, kappa;
};
const MaxRow kMaxima[] = {
    {&FrmMain::ZoomSlider, 0x7AC0, 0x7000, 0x7E80},
    {&FrmMain::FocusSlider, 0xC000, 0x8400, 0x7600},
    {&FrmMain::FocusNearLimitSlider, 0xC000, 0x8400, 0x7600},
};

// Controls whose visibility or enabling the model-specific decoding sets
// beyond the layout table and the block rows.
const ControlRef kDecodedPerModel[] = {ORBUS_CONTROL(FmMemory), ORBUS_CONTROL(FmPreset), ORBUS_CONTROL(FmPTWindowM), ORBUS_CONTROL(MenuOff), ORBUS_CONTROL(HDACout), ORBUS_CONTROL(ASSL), ORBUS_CONTROL(ASSL0), ORBUS_CONTROL(ASSL1), ORBUS_CONTROL(ASSL2), ORBUS_CONTROL(MotionDetecter), ORBUS_ELEMENT(DZoomMode, 0), ORBUS_ELEMENT(DZoomMode, 1), ORBUS_CONTROL(DZoom), ORBUS_ELEMENT(AFModeCmd, 1), ORBUS_ELEMENT(AFModeCmd, 2), ORBUS_ELEMENT(AFModeCmd, 3)};

char pick(const VisRow& r, PanTiltModel model) {
    switch (model) {
    case PanTiltModel::Alpha: return r.alpha;
    case PanTiltModel::Beta: return r.beta;
    case PanTiltModel::Gamma: return r.gamma;
    case PanTiltModel::Kappa: return r.kappa;
    case PanTiltModel::None: break;
    }
    return '-';
}

}  // namespace

void applyModelLayout(FrmMain& m, PanTiltModel model) {
    for (const VisRow& r : kVisibility) {
        const char v = pick(r, model);
        if (v == '-') continue;
        Control* c = r.control.in(m);
        if (!c) continue;
        c->setVisible(v == 'S');
        // A hidden slider is also disabled; a shown one is usable again.
        if (c->kind() == Kind::Slider) c->setEnabled(v == 'S');
    }
    if (model != PanTiltModel::Alpha) {
        for (const MaxRow& r : kMaxima) {
            const int max = model == PanTiltModel::Beta ? r.beta : model == PanTiltModel::Gamma ? r.gamma : r.kappa;
            (m.*r.slider).setMax(max);
        }
    }
    m.BackLight.setTop(model == PanTiltModel::Alpha ? FrmMain::kBackLightTopRaised : FrmMain::kBackLightTopNormal);
    if (model == PanTiltModel::Beta) m.AF_Sens.setCaption("Norm/Low");
    if (model == PanTiltModel::Gamma) m.AF_Sens.setCaption("High/Low");
    if (model == PanTiltModel::Kappa) m.AF_Sens.setCaption("");
}

const std::vector<ControlRef>& blockHiddenControls(BlockHidden group) {
    switch (group) {
    case BlockHidden::Of11: {
        static const std::vector<ControlRef> refs = {ORBUS_CONTROL(SetTimeDate), ORBUS_CONTROL(DateDisplay), ORBUS_CONTROL(TimeDisplay), ORBUS_CONTROL(PrivacyZone), ORBUS_CONTROL(PrivacyAv)};
        return refs;
    }
    case BlockHidden::Of12: {
        static const std::vector<ControlRef> refs = {ORBUS_CONTROL(Comstabi), ORBUS_ELEMENT(LblAE, 17), ORBUS_CONTROL(SetTimeDate), ORBUS_CONTROL(DateDisplay), ORBUS_CONTROL(TimeDisplay), ORBUS_CONTROL(PrivacyZone)};
        return refs;
    }
    case BlockHidden::Of16: {
        static const std::vector<ControlRef> refs = {ORBUS_CONTROL(Comstabi), ORBUS_ELEMENT(LblAE, 17), ORBUS_CONTROL(SetTimeDate), ORBUS_CONTROL(DateDisplay), ORBUS_CONTROL(TimeDisplay), ORBUS_CONTROL(PrivacyZone), ORBUS_CONTROL(AutoSlowShutter), ORBUS_CONTROL(Freese)};
        return refs;
    }
    case BlockHidden::Of18: {
        static const std::vector<ControlRef> refs = {ORBUS_CONTROL(Comstabi), ORBUS_ELEMENT(LblAE, 17), ORBUS_CONTROL(LineLock), ORBUS_CONTROL(Frame5), ORBUS_ELEMENT(LblWbApVp, 3), ORBUS_CONTROL(Freese), ORBUS_CONTROL(PrivacyZone)};
        return refs;
    }
    case BlockHidden::Of19: {
        static const std::vector<ControlRef> refs = {ORBUS_CONTROL(Comstabi), ORBUS_ELEMENT(LblAE, 17), ORBUS_CONTROL(LineLock), ORBUS_CONTROL(Frame5), ORBUS_ELEMENT(LblWbApVp, 3), ORBUS_CONTROL(PrivacyZone)};
        return refs;
    }
    case BlockHidden::Of1A: {
        static const std::vector<ControlRef> refs = {ORBUS_CONTROL(Comstabi), ORBUS_ELEMENT(LblAE, 17), ORBUS_CONTROL(LineLock), ORBUS_CONTROL(Frame5), ORBUS_ELEMENT(LblWbApVp, 3), ORBUS_CONTROL(Freese), ORBUS_CONTROL(PrivacyZone), ORBUS_CONTROL(AutoSlowShutter)};
        return refs;
    }
    case BlockHidden::Of1E: {
        static const std::vector<ControlRef> refs = {ORBUS_CONTROL(Comstabi), ORBUS_ELEMENT(LblAE, 17), ORBUS_CONTROL(DateDisplay), ORBUS_CONTROL(TimeDisplay), ORBUS_CONTROL(SetTimeDate), ORBUS_CONTROL(FmWB), ORBUS_CONTROL(Freese), ORBUS_CONTROL(AutoSlowShutter), ORBUS_CONTROL(PrivacyZone)};
        return refs;
    }
    case BlockHidden::Of20: {
        static const std::vector<ControlRef> refs = {ORBUS_CONTROL(DateDisplay), ORBUS_CONTROL(TimeDisplay), ORBUS_CONTROL(SetTimeDate), ORBUS_CONTROL(PrivacyAv)};
        return refs;
    }
    case BlockHidden::Of24: {
        static const std::vector<ControlRef> refs = {ORBUS_CONTROL(DateDisplay), ORBUS_CONTROL(TimeDisplay), ORBUS_CONTROL(SetTimeDate), ORBUS_CONTROL(PrivacyAv), ORBUS_CONTROL(Comstabi), ORBUS_ELEMENT(LblAE, 17)};
        return refs;
    }
    case BlockHidden::Of28: {
        static const std::vector<ControlRef> refs = {ORBUS_CONTROL(DateDisplay), ORBUS_CONTROL(TimeDisplay), ORBUS_CONTROL(SetTimeDate), ORBUS_CONTROL(PrivacyAv), ORBUS_CONTROL(Comstabi), ORBUS_ELEMENT(LblAE, 17), ORBUS_CONTROL(Freese), ORBUS_CONTROL(AutoSlowShutter)};
        return refs;
    }
    case BlockHidden::Of2A: {
        static const std::vector<ControlRef> refs = {ORBUS_CONTROL(BlackWhite), ORBUS_CONTROL(DateDisplay), ORBUS_CONTROL(TimeDisplay), ORBUS_CONTROL(SetTimeDate), ORBUS_CONTROL(PrivacyAv), ORBUS_CONTROL(Comstabi), ORBUS_ELEMENT(LblAE, 17), ORBUS_CONTROL(FmWB), ORBUS_CONTROL(Freese), ORBUS_CONTROL(AutoSlowShutter)};
        return refs;
    }
    }
    static const std::vector<ControlRef> none;
    return none;
}

const std::vector<ControlRef>& blockDisabledControls(BlockDisabled group) {
    static const std::vector<ControlRef> none;
    static const std::vector<ControlRef> flipAndAlarm = {ORBUS_CONTROL(PictureFlip), ORBUS_CONTROL(MotionDetecter)};
    static const std::vector<ControlRef> whiteBalanceFlipAndAlarm = {ORBUS_CONTROL(WBMode), ORBUS_CONTROL(PictureFlip), ORBUS_CONTROL(MotionDetecter)};
    static const std::vector<ControlRef> whiteBalance = {ORBUS_CONTROL(WBMode)};
    switch (group) {
    case BlockDisabled::None: break;
    case BlockDisabled::FlipAndAlarm: return flipAndAlarm;
    case BlockDisabled::WhiteBalanceFlipAndAlarm: return whiteBalanceFlipAndAlarm;
    case BlockDisabled::WhiteBalance: return whiteBalance;
    }
    return none;
}

void applyBlockModel(FrmMain& m, const BlockModelRow& row) {
    m.ModelVersion.setText(blockModelName(row));
    m.NTSCorPAL.setText(row.videoSystem);
    switch (row.lens) {
    case LensClass::X10: m.Opt10X(); break;
    case LensClass::X18: m.Opt18X(); break;
    case LensClass::X25: m.Opt25X(); break;
    }
    for (const ControlRef& r : blockHiddenControls(row.hidden)) {
        if (Control* c = r.in(m)) c->setVisible(false);
    }
    for (const ControlRef& r : blockDisabledControls(row.disabled)) {
        if (Control* c = r.in(m)) c->setEnabled(false);
    }
}

void layOutBlockCamera(FrmMain& m, int byte5) {
    Program& p = m.program();
    p.model.IsPanTiltSeries = false;
    p.model.LaidOutSeries = Series::Block;
    p.model.LaidOutBlockModel = byte5;
    m.setCaption(kBlockCaption);
    m.FmPreset.setVisible(false);
    m.FmPTWindowM.setVisible(false);
    if (const BlockModelRow* row = findBlockModel(byte5)) applyBlockModel(m, *row);
}

void markPanTiltSeries(FrmMain& m, const std::string& key) {
    Program& p = m.program();
    p.model.IsPanTiltSeries = true;
    p.model.LaidOutSeries = Series::PanTilt;
    p.model.LaidOutBlockModel = -1;
    m.setCaption(kPanTiltCaption);
    m.setIcon("orx-kappa");
    m.FmMemory.setVisible(false);
    m.FmPTWindowM.setVisible(true);
    p.model.ModelKey = key;
}

void startFromDesign(Program& p) {
    p.design.restore();
    p.modes = ModeBook{};
}

void DesignLayout::capture(FrmMain& m, Form& panTilt) {
    main_ = &m;
    entries_.clear();
    auto add = [this](Control* c) {
        if (!c) return;
        for (const Entry& e : entries_) {
            if (e.control == c) return;
        }
        Entry e{c, c->visible(), c->enabled()};
        if (auto* s = dynamic_cast<Slider*>(c)) {
            e.min = s->min();
            e.max = s->max();
        }
        entries_.push_back(e);
    };
    for (const VisRow& r : kVisibility) add(r.control.in(m));
    for (const MaxRow& r : kMaxima) add(&(m.*r.slider));
    for (const BlockModelRow& row : blockModelTable()) {
        for (const ControlRef& r : blockHiddenControls(row.hidden)) add(r.in(m));
        for (const ControlRef& r : blockDisabledControls(row.disabled)) add(r.in(m));
    }
    for (const ControlRef& r : kDecodedPerModel) add(r.in(m));
    // Every slider's range: the label profiles set them per model.
    for (Control* c : m.controls()) {
        if (c->kind() == Kind::Slider) add(c);
    }
    panTiltFrame_ = &static_cast<FrmPanTilt&>(panTilt).FmPanTilt;
    panTiltFrameEnabled_ = panTiltFrame_->enabled();
    backLightTop_ = m.BackLight.top();
    afSensCaption_ = m.AF_Sens.caption();
    caption_ = m.caption();
    icon_ = m.icon();
}

void DesignLayout::restore() const {
    if (!main_) return;
    for (const Entry& e : entries_) {
        if (auto* s = dynamic_cast<Slider*>(e.control)) {
            s->setMax(e.max);
            s->setMin(e.min);
        }
        e.control->setVisible(e.visible);
        e.control->setEnabled(e.enabled);
    }
    if (panTiltFrame_) panTiltFrame_->setEnabled(panTiltFrameEnabled_);
    main_->BackLight.setTop(backLightTop_);
    main_->AF_Sens.setCaption(afSensCaption_);
    main_->setCaption(caption_);
    main_->setIcon(icon_);
}

void FrmMain::Opt10X() {
    program().labels.fill10X();
    // The 10x lens names bright positions 0 to 23 only.
    BrightSlider.setMax(23);
}
void FrmMain::Opt18X() { program().labels.fill18X(); }
void FrmMain::Opt25X() { program().labels.fill25X(); }

namespace {
// Slider ranges a pan-tilt profile sets; a negative shutter minimum is left as it is.
void exposureRanges(FrmMain& m, int gainMax, int shutterMin, int shutterMax, int brightMax) {
    m.GainSlider.setMax(gainMax);
    if (shutterMin >= 0) m.ShutterSlider.setMin(shutterMin);
    m.ShutterSlider.setMax(shutterMax);
    m.BrightSlider.setMax(brightMax);
}
}  // namespace

void FrmMain::OptAlpha() {
    for (TextBox* t : {&ExpCompValue, &GainValue, &ShutterValue, &IrisValue, &BrightValue, &ZoomValue, &FocusValue,
                       &RGValue, &BGValue})
        t->setText("");
    exposureRanges(*this, 15, -1, 21, 31);
}

void FrmMain::OptBeta() {
    program().labels.fillBeta();
    exposureRanges(*this, 15, 0, 21, 31);
}

void FrmMain::OptGamma() {
    program().labels.fillGamma();
    exposureRanges(*this, 7, 0, 19, 23);
}

void FrmMain::OptKappa() {
    program().labels.fillKappa();
    exposureRanges(*this, 7, 1, 21, 23);
}

void FrmMain::DspAlpha() {
    OptAlpha();
    applyModelLayout(*this, PanTiltModel::Alpha);
    ZoomSliderShort.setEnabled(true);
    DZoom.setValue(0);
}

void FrmMain::DspBeta() {
    OptBeta();
    applyModelLayout(*this, PanTiltModel::Beta);
    FmPreset.setEnabled(true);
    program().frmPanTilt().FmPanTilt.setEnabled(true);
}

void FrmMain::DspGamma() {
    OptGamma();
    applyModelLayout(*this, PanTiltModel::Gamma);
    FmPreset.setEnabled(true);
    program().frmPanTilt().FmPanTilt.setEnabled(true);
}

void FrmMain::DspKappa() {
    OptKappa();
    applyModelLayout(*this, PanTiltModel::Kappa);
}

void FrmMain::DspIRCondition() { status::presentIrCondition(*this, program().cameras.drivenCamera().kappa.irCondition); }

}  // namespace orbus
