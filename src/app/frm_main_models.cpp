// Model layouts of the main window: the model layout tables and label
// profiles applied to it, and the window as drawn that another camera is
// laid out from.
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

// Controls whose visibility or enabling the model-specific decoding sets
// beyond the layout table and the block rows.
const ControlRef kDecodedPerModel[] = {ORBUS_CONTROL(FmMemory), ORBUS_CONTROL(FmPreset), ORBUS_CONTROL(FmPTWindowM), ORBUS_CONTROL(MenuOff), ORBUS_CONTROL(HDACout), ORBUS_CONTROL(ASSL), ORBUS_CONTROL(ASSL0), ORBUS_CONTROL(ASSL1), ORBUS_CONTROL(ASSL2), ORBUS_CONTROL(MotionDetecter), ORBUS_ELEMENT(DZoomMode, 0), ORBUS_ELEMENT(DZoomMode, 1), ORBUS_CONTROL(DZoom), ORBUS_ELEMENT(AFModeCmd, 1), ORBUS_ELEMENT(AFModeCmd, 2), ORBUS_ELEMENT(AFModeCmd, 3)};

}  // namespace

void applyModelLayout(FrmMain& m, PanTiltModel model) {
    for (const VisRow& r : panTiltVisibility()) {
        const char v = panTiltLayoutOf(r, model);
        if (v == '-') continue;
        Control* c = r.control.in(m);
        if (!c) continue;
        c->setVisible(v == 'S');
        // A hidden slider is also disabled; a shown one is usable again.
        if (c->kind() == Kind::Slider) c->setEnabled(v == 'S');
    }
    if (model != PanTiltModel::Alpha) {
        for (const MaxRow& r : panTiltMaxima()) {
            if (auto* s = dynamic_cast<Slider*>(r.slider.in(m))) s->setMax(panTiltMaximum(r, model));
        }
    }
    m.BackLight.setTop(model == PanTiltModel::Alpha ? FrmMain::kBackLightTopRaised : FrmMain::kBackLightTopNormal);
    if (model == PanTiltModel::Beta) m.AF_Sens.setCaption("Norm/Low");
    if (model == PanTiltModel::Gamma) m.AF_Sens.setCaption("High/Low");
    if (model == PanTiltModel::Kappa) m.AF_Sens.setCaption("");
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
    for (const VisRow& r : panTiltVisibility()) add(r.control.in(m));
    for (const MaxRow& r : panTiltMaxima()) add(r.slider.in(m));
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
    BrightSlider.setMax(kBright10XMax);
}
void FrmMain::Opt18X() { program().labels.fill18X(); }
void FrmMain::Opt25X() { program().labels.fill25X(); }

namespace {
// Slider ranges a pan-tilt profile sets; a negative shutter minimum is left as it is.
void exposureRanges(FrmMain& m, PanTiltModel model) {
    const ExposureRanges r = panTiltExposureRanges(model);
    m.GainSlider.setMax(r.gainMax);
    if (r.shutterMin >= 0) m.ShutterSlider.setMin(r.shutterMin);
    m.ShutterSlider.setMax(r.shutterMax);
    m.BrightSlider.setMax(r.brightMax);
}
}  // namespace

void FrmMain::OptAlpha() {
    for (TextBox* t : {&ExpCompValue, &GainValue, &ShutterValue, &IrisValue, &BrightValue, &ZoomValue, &FocusValue,
                       &RGValue, &BGValue})
        t->setText("");
    exposureRanges(*this, PanTiltModel::Alpha);
}

void FrmMain::OptBeta() {
    program().labels.fillBeta();
    exposureRanges(*this, PanTiltModel::Beta);
}

void FrmMain::OptGamma() {
    program().labels.fillGamma();
    exposureRanges(*this, PanTiltModel::Gamma);
}

void FrmMain::OptKappa() {
    program().labels.fillKappa();
    exposureRanges(*this, PanTiltModel::Kappa);
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
