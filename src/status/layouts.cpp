// Model layouts of the pan-tilt cameras, the label profiles they load, and
// the pan-tilt window's placement beside the main window.
#include <algorithm>

#include "app/frm_main.h"
#include "app/program.h"
#include "pantilt/frm_pantilt.h"
#include "status/identify.h"
#include "status/layouts.h"

namespace orbus {

namespace {

// One row of the layout table: what each model's layout does to a control.
// 'H' hidden, 'S' shown, '-' left as it is.
struct VisRow {
    const char* name;
    char alpha, beta, gamma, kappa;
};

const VisRow kVisibility[] = {
    {"IDWrite", 'H', 'S', 'S', 'S'},        {"Mute", 'H', 'S', 'H', 'H'},
    {"Lensinit", 'H', 'S', 'H', 'H'},       {"AutoPowerOff", 'H', 'S', 'S', 'H'},
    {"NightPowerOff", 'H', 'S', 'H', 'H'},  {"KeyLock", 'H', 'H', 'H', 'H'},
    {"CompScan", 'H', 'H', 'H', 'H'},       {"DZLimit", '-', 'H', 'H', 'S'},
    {"ASSL", '-', 'H', 'H', 'S'},           {"M_Function", 'H', 'S', 'S', 'S'},
    {"PictureFlip", '-', 'H', 'H', 'H'},    {"LR_Reverse", '-', 'S', 'S', 'H'},
    {"Freese", '-', 'S', 'S', 'H'},         {"PictureEffect", '-', 'S', 'S', 'S'},
    {"Pastel", '-', 'H', 'S', 'H'},         {"Sepia", '-', 'H', 'S', 'H'},
    {"Solarize", '-', 'H', 'S', 'H'},       {"Mosaic", '-', 'H', 'S', 'H'},
    {"Slim", '-', 'H', 'S', 'H'},           {"Stretch", '-', 'H', 'S', 'H'},
    {"DigitalEffect", 'H', 'H', 'S', 'H'},  {"ShutterAuto", 'H', 'H', 'S', 'H'},
    {"IrisAuto", 'H', 'H', 'S', 'H'},       {"GainAuto", 'H', 'H', 'S', 'H'},
    {"AESpotLight", '-', 'H', 'H', 'S'},    {"AESpotMode", 'H', 'S', 'H', 'H'},
    {"ATW", 'H', 'S', 'S', 'H'},            {"ManualWB", 'H', 'S', 'S', 'S'},
    {"DateDisplay", 'H', 'H', 'H', 'H'},    {"TimeDisplay", 'H', 'H', 'H', 'H'},
    {"SetTimeDate", 'H', 'H', 'H', 'H'},    {"Title", 'H', 'S', 'H', 'H'},
    {"DataScreen", '-', 'S', 'S', 'H'},     {"IFMDmode", '-', 'H', 'H', 'S'},
    {"MenuOff", '-', 'H', 'H', 'S'},        {"Sync", 'H', 'H', 'H', 'S'},
    {"FactorySetMenu", 'H', 'H', 'H', 'H'}, {"PrivacyZone", 'H', 'H', 'H', 'H'},
    {"PrivacyAv", 'H', 'H', 'H', 'H'},      {"MotionDetecter", 'H', 'S', 'H', 'H'},
    {"AutoSlowShutter", '-', 'S', 'S', 'H'}, {"ExpCompValue", 'H', 'S', 'S', 'S'},
    {"ExpComp", 'H', 'S', 'S', 'S'},        {"ExpCompSlider", 'H', 'S', 'S', 'S'},
    {"LblAE_12", 'H', 'S', 'S', 'S'},       {"LblAE_13", 'H', 'S', 'S', 'S'},
    {"LblAE_14", 'H', 'S', 'S', 'S'},       {"ExpCompDown", 'H', 'S', 'S', 'S'},
    {"ExpCompUp", 'H', 'S', 'S', 'S'},      {"CmdAutoICR", 'H', 'S', 'H', 'H'},
    {"LblAE_15", 'H', 'S', 'H', 'H'},       {"CmdICR_0", 'H', 'S', 'H', 'H'},
    {"CmdICR_1", 'H', 'S', 'H', 'H'},       {"LblAE_16", 'H', 'S', 'H', 'H'},
    {"Comstabi", 'H', 'H', 'H', 'H'},       {"LblAE_17", 'H', 'H', 'H', 'H'},
    {"DZoomMode_0", 'H', 'S', 'H', 'H'},    {"DZoom", 'H', 'S', 'S', 'H'},
    {"FmDZoom", 'H', 'S', 'H', 'H'},        {"AFModeCmd_1", 'H', 'S', 'H', 'H'},
    {"AFModeCmd_2", 'H', 'S', 'H', 'H'},    {"AFModeCmd_3", 'H', 'S', 'H', 'H'},
    {"ACTAFmodeset", 'H', 'S', 'H', 'H'},   {"LblFocus_5", 'H', 'S', 'S', 'H'},
    {"AF_Sens", 'H', 'S', 'S', 'H'},        {"AFTrig", 'H', 'S', 'S', 'S'},
    {"Infinity", 'H', 'S', 'S', 'S'},       {"LblFocus_6", 'H', 'S', 'H', 'H'},
    {"AFacttime", 'H', 'S', 'H', 'H'},      {"LblFocus_7", 'H', 'S', 'H', 'H'},
    {"AFintTime", 'H', 'S', 'H', 'H'},      {"FocusNearLimitSlider", 'H', 'S', 'S', 'S'},
    {"LblFocus_4", 'H', 'S', 'S', 'S'},     {"FmAPC", 'H', 'S', 'S', 'S'},
    {"Frame5", 'H', 'H', 'H', 'H'},         {"Internal", '-', '-', '-', 'H'},
    {"LineLock", '-', '-', '-', 'H'},       {"ZoomSlider", 'H', '-', '-', '-'},
    {"ZoomSliderShort", 'S', '-', '-', '-'},
};

// Slider maxima per model (0: left as it is).
struct MaxRow {
    const char* name;
    int beta, gamma, kappa;
};
const MaxRow kMaxima[] = {
    {"ZoomSlider", 0x7AC0, 0x7000, 0x7E80},
    {"FocusSlider", 0xC000, 0x8400, 0x7600},
    {"FocusNearLimitSlider", 0xC000, 0x8400, 0x7600},
};

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

std::vector<std::string> layoutControlNames() {
    std::vector<std::string> names;
    for (const auto& r : kVisibility) names.emplace_back(r.name);
    for (const auto& r : kMaxima) names.emplace_back(r.name);
    return names;
}

void applyModelLayout(FrmMain& m, PanTiltModel model) {
    for (const VisRow& r : kVisibility) {
        const char v = pick(r, model);
        if (v == '-') continue;
        Control* c = m.find(r.name);
        if (!c) continue;
        c->setVisible(v == 'S');
        // A hidden slider is also disabled; a shown one is usable again.
        if (c->kind() == Kind::Slider) c->setEnabled(v == 'S');
    }
    if (model != PanTiltModel::Alpha) {
        for (const MaxRow& r : kMaxima) {
            const int max = model == PanTiltModel::Beta ? r.beta : model == PanTiltModel::Gamma ? r.gamma : r.kappa;
            if (auto* s = dynamic_cast<Slider*>(m.find(r.name))) s->setMax(max);
        }
    }
    m.BackLight.setTop(model == PanTiltModel::Alpha ? FrmMain::kBackLightTopRaised : FrmMain::kBackLightTopNormal);
    if (model == PanTiltModel::Beta) m.AF_Sens.setCaption("Norm/Low");
    if (model == PanTiltModel::Gamma) m.AF_Sens.setCaption("High/Low");
    if (model == PanTiltModel::Kappa) m.AF_Sens.setCaption("");
}

namespace {
// Controls whose visibility or enabling the model-specific decoding sets
// beyond the layout table and the block rows.
const char* const kDecodedPerModel[] = {"FmMemory", "FmPreset", "FmPTWindowM", "MenuOff", "HDACout",
                                        "ASSL",     "ASSL0",    "ASSL1",       "ASSL2",   "MotionDetecter",
                                        "DZoomMode_0", "DZoomMode_1", "DZoom", "AFModeCmd_1", "AFModeCmd_2",
                                        "AFModeCmd_3"};
}  // namespace

void DesignLayout::capture(FrmMain& m, Form& panTilt) {
    main_ = &m;
    entries_.clear();
    std::vector<std::string> names = layoutControlNames();
    for (const BlockModelRow& row : blockModelTable()) {
        names.insert(names.end(), row.hidden.begin(), row.hidden.end());
        names.insert(names.end(), row.disabled.begin(), row.disabled.end());
    }
    names.insert(names.end(), std::begin(kDecodedPerModel), std::end(kDecodedPerModel));
    auto add = [this](Control* c) {
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
    for (const std::string& n : names) {
        if (Control* c = m.find(n)) add(c);
    }
    // Every slider's range: the label profiles set them per model.
    for (Control* c : m.controls()) {
        if (c->kind() == Kind::Slider) add(c);
    }
    panTiltFrame_ = panTilt.find("FmPanTilt");
    if (panTiltFrame_) panTiltFrameEnabled_ = panTiltFrame_->enabled();
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

void FrmMain::DspIRCondition() {
    Program& p = program();
    Label& ir = p.frmPanTilt().LblIR;
    switch (p.model.IRCondition) {
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

void FrmMain::DspPTW() {
    Program& p = program();
    PanTiltFlags& f = p.ptw;
    FrmPanTilt& pt = p.frmPanTilt();
    if (!f.PTWSize) {
        pt.PTWSizeS.setCaption("Large");
        PTWSizeM.setCaption("Large");
        pt.FmInfo.setVisible(false);
        pt.setHeight(FrmPanTilt::kSmallHeight);
    } else {
        pt.PTWSizeS.setCaption("Small");
        PTWSizeM.setCaption("Small");
        pt.FmInfo.setVisible(true);
        pt.setHeight(FrmPanTilt::kLargeHeight);
    }
    // The window belongs to a pan-tilt camera, switched on or not.
    const bool panTiltCamera = p.model.LaidOutSeries == Series::PanTilt;
    if (!f.PTWindow || !panTiltCamera) {
        // Closed by the operator, or a camera without a pan-tilt head is
        // driven (the operator's choice is kept for the next pan-tilt camera).
        if (p.isLoaded(pt)) {
            pt.hide();
            p.unloaded(pt);
        }
    } else if (visible()) {
        p.loaded(pt);
        pt.show();
        pt.raiseWithoutFocus();
        pt.LbMount.setCaption("");
        if (p.link.ModelCode == PanTiltModel::Kappa) {
            DspIRCondition();
        } else {
            pt.LblIR.setCaption("");
        }
    }
    if (!f.PTWDocking) {
        pt.PTWDockingS.setCaption("Docking");
        PTWDockingM.setCaption("Docking");
        releaseHeldPanTilt();
        if (!f.PTWDocked) {
            pt.move(left(), top() + height() - pt.height());
            f.PTWDocked = true;
        }
    } else {
        pt.PTWDockingS.setCaption("Release");
        PTWDockingM.setCaption("Release");
        placeDocked();
    }
    // The main window's button tells what it will do: close an open window,
    // open a closed one.
    PTWCloseM.setCaption(p.isLoaded(pt) && pt.visible() ? "CLOSE" : "OPEN");
}

double FrmMain::ownHeight() const {
    const PanTiltFlags& f = prog_.ptw;
    // An operator who resized the window meanwhile made its height their own.
    if (f.heldGrowth > 0 && height() == f.heldHeight) return height() - f.heldGrowth;
    return height();
}

void FrmMain::placeDocked() {
    PanTiltFlags& f = prog_.ptw;
    FrmPanTilt& pt = prog_.frmPanTilt();
    const ScreenArea area = platform_.windows.screenArea();
    const double own = ownHeight();
    const bool room = area.height <= 0 || top() + own + pt.height() <= area.bottom();
    if (room || !pt.visible()) {
        releaseHeldPanTilt();
        pt.move(left(), top() + height());
        return;
    }
    // No room below on this screen: the window goes inside, under this
    // window's own controls, and this window grows as far as the screen lets it.
    const double growth = std::clamp(area.bottom() - top() - own, 0.0, pt.height());
    f.heldGrowth = growth;
    f.heldHeight = own + growth;
    resize(width(), own + growth);
    pt.holdIn(this);
}

void FrmMain::releaseHeldPanTilt() {
    PanTiltFlags& f = prog_.ptw;
    const double own = ownHeight();
    prog_.frmPanTilt().holdIn(nullptr);
    if (f.heldGrowth > 0 && height() != own) resize(width(), own);
    f.heldGrowth = 0;
    f.heldHeight = 0;
}

void FrmMain::check_DspPTW() {
    Program& p = program();
    PanTiltFlags& f = p.ptw;
    if (!(f.PTWDocking && f.PTWindow)) return;
    FrmPanTilt& pt = p.frmPanTilt();
    auto text = [](double v) { return std::to_string(static_cast<long long>(v)); };
    const std::string mt = text(top()), ml = text(left()), pt_t = text(pt.top()), pt_l = text(pt.left());
    if (mt == f.seenMainTop && ml == f.seenMainLeft && pt_t == f.seenPanTiltTop && pt_l == f.seenPanTiltLeft) return;
    f.seenMainTop = mt;
    f.seenMainLeft = ml;
    f.seenPanTiltTop = pt_t;
    f.seenPanTiltLeft = pt_l;
    DspPTW();
}

void FrmMain::showPanTiltAtStartup() { DspPTW(); }

void FrmMain::PTWCloseM_Click() {
    program().ptw.PTWindow = !program().ptw.PTWindow;
    DspPTW();
}

void FrmMain::toggleDocking() {
    PanTiltFlags& f = program().ptw;
    if (!f.PTWDocking) {
        f.PTWDocking = true;
    } else {
        f.PTWDocking = false;
        f.PTWDocked = false;
    }
    DspPTW();
}

void FrmMain::PTWDockingM_Click() { toggleDocking(); }

void FrmMain::toggleSize() {
    program().ptw.PTWSize = !program().ptw.PTWSize;
    DspPTW();
}

void FrmMain::PTWSizeM_Click() { toggleSize(); }

void FrmMain::FmPTWindowM_Click() { program().frmPanTilt().raiseWithoutFocus(); }

}  // namespace orbus
