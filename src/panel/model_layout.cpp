#include "panel/model_layout.h"

namespace orbus {

const std::vector<VisRow>& panTiltVisibility() {
    static const std::vector<VisRow> rows = {
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
    return rows;
}

char panTiltLayoutOf(const VisRow& r, PanTiltModel model) {
    switch (model) {
    case PanTiltModel::Alpha: return r.alpha;
    case PanTiltModel::Beta: return r.beta;
    case PanTiltModel::Gamma: return r.gamma;
    case PanTiltModel::Kappa: return r.kappa;
    case PanTiltModel::None: break;
    }
    return '-';
}

const std::vector<MaxRow>& panTiltMaxima() {
    static const std::vector<MaxRow> rows = {
        {ORBUS_CONTROL(ZoomSlider), 0x7AC0, 0x7000, 0x7E80},
        {ORBUS_CONTROL(FocusSlider), 0xC000, 0x8400, 0x7600},
        {ORBUS_CONTROL(FocusNearLimitSlider), 0xC000, 0x8400, 0x7600},
    };
    return rows;
}

int panTiltMaximum(const MaxRow& r, PanTiltModel model) {
    return model == PanTiltModel::Beta ? r.beta : model == PanTiltModel::Gamma ? r.gamma : r.kappa;
}

ExposureRanges panTiltExposureRanges(PanTiltModel model) {
    switch (model) {
    case PanTiltModel::Beta: return {15, 0, 21, 31};
    case PanTiltModel::Gamma: return {7, 0, 19, 23};
    case PanTiltModel::Kappa: return {7, 1, 21, 23};
    case PanTiltModel::Alpha:
    case PanTiltModel::None: break;
    }
    return {15, -1, 21, 31};
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

// ---- the window as drawn ---------------------------------------------------------

namespace {

struct Held {
    ControlRef holder;
    std::vector<ControlRef> controls;
};

const std::vector<Held>& heldControls() {
    static const std::vector<Held> rows = {
        {ORBUS_CONTROL(AEMode),
         {ORBUS_CONTROL(FullAuto), ORBUS_CONTROL(Manual), ORBUS_CONTROL(ShutterPriority), ORBUS_CONTROL(IrisPriority),
          ORBUS_CONTROL(GainPriority), ORBUS_CONTROL(Bright), ORBUS_CONTROL(ShutterAuto), ORBUS_CONTROL(IrisAuto),
          ORBUS_CONTROL(GainAuto)}},
        {ORBUS_CONTROL(FmAEControl),
         {ORBUS_CONTROL(BackLight), ORBUS_CONTROL(AutoSlowShutter), ORBUS_CONTROL(IrisSlider),
          ORBUS_CONTROL(ShutterSlider), ORBUS_CONTROL(GainSlider), ORBUS_CONTROL(BrightSlider), ORBUS_CONTROL(ExpComp),
          ORBUS_CONTROL(ExpCompSlider)}},
        {ORBUS_CONTROL(ASSL), {ORBUS_CONTROL(ASSL0), ORBUS_CONTROL(ASSL1), ORBUS_CONTROL(ASSL2)}},
        {ORBUS_CONTROL(MnuCamera),
         {ORBUS_CONTROL(ASSL), ORBUS_CONTROL(DZLimit), ORBUS_CONTROL(KeyLock), ORBUS_CONTROL(AutoPowerOff),
          ORBUS_CONTROL(NightPowerOff)}},
        {ORBUS_CONTROL(WBMode),
         {ORBUS_CONTROL(ATWPro), ORBUS_CONTROL(InDoor), ORBUS_CONTROL(OutDoor), ORBUS_CONTROL(OnePushWB),
          ORBUS_CONTROL(ATW), ORBUS_CONTROL(ManualWB)}},
        {ORBUS_CONTROL(FmWB), {ORBUS_CONTROL(RGainSlider), ORBUS_CONTROL(BGainSlider)}},
        {ORBUS_CONTROL(FmAPC), {ORBUS_CONTROL(ApertureSlider)}},
        {ORBUS_CONTROL(FmFocus),
         {ORBUS_ELEMENT(AFModeCmd, 0), ORBUS_CONTROL(ManAFMode), ORBUS_ELEMENT(AFModeCmd, 1), ORBUS_ELEMENT(AFModeCmd, 2),
          ORBUS_ELEMENT(AFModeCmd, 3), ORBUS_CONTROL(AF_Sens), ORBUS_CONTROL(FocusNearLimitSlider),
          ORBUS_CONTROL(FocusSlider)}},
        {ORBUS_CONTROL(FmDZoom), {ORBUS_ELEMENT(DZoomMode, 0), ORBUS_ELEMENT(DZoomMode, 1)}},
        {ORBUS_CONTROL(FmZoom), {ORBUS_CONTROL(DZoom), ORBUS_CONTROL(ZoomValue), ORBUS_CONTROL(ZoomSlider)}},
        {ORBUS_CONTROL(DZLimit), {ORBUS_CONTROL(DZL0), ORBUS_CONTROL(DZL1), ORBUS_CONTROL(DZL2), ORBUS_CONTROL(DZL3)}},
        {ORBUS_CONTROL(PictureEffect),
         {ORBUS_CONTROL(PEOff), ORBUS_CONTROL(Pastel), ORBUS_CONTROL(NegArt), ORBUS_CONTROL(Sepia),
          ORBUS_CONTROL(BlackWhite), ORBUS_CONTROL(Solarize), ORBUS_CONTROL(Mosaic), ORBUS_CONTROL(Slim),
          ORBUS_CONTROL(Stretch)}},
        {ORBUS_CONTROL(DigitalEffect),
         {ORBUS_CONTROL(DEOff), ORBUS_CONTROL(Still), ORBUS_CONTROL(Flash), ORBUS_CONTROL(Lumi), ORBUS_CONTROL(Trail),
          ORBUS_CONTROL(EffectLevel)}},
        {ORBUS_CONTROL(M_Function), {ORBUS_CONTROL(LR_Reverse)}},
        {ORBUS_CONTROL(MnuDisplay), {ORBUS_CONTROL(DataScreen), ORBUS_CONTROL(IFMDmode)}},
        {ORBUS_CONTROL(Title), {ORBUS_CONTROL(TitleOnOff)}},
        {ORBUS_CONTROL(HDACout), {ORBUS_CONTROL(State3), ORBUS_CONTROL(DsubVD)}},
    };
    return rows;
}

struct DrawnRange {
    ControlRef slider;
    int min, max;
};

const std::vector<DrawnRange>& drawnRanges() {
    static const std::vector<DrawnRange> rows = {
        {ORBUS_CONTROL(IrisSlider), 0, 17},
        {ORBUS_CONTROL(ShutterSlider), 0, 21},
        {ORBUS_CONTROL(GainSlider), 0, 15},
        {ORBUS_CONTROL(BrightSlider), 0, 31},
        {ORBUS_CONTROL(ExpCompSlider), 0, 14},
        {ORBUS_CONTROL(RGainSlider), 0, 255},
        {ORBUS_CONTROL(BGainSlider), 0, 255},
        {ORBUS_CONTROL(ApertureSlider), 0, 15},
        {ORBUS_CONTROL(FocusNearLimitSlider), 0x1000, 0xC000},
        {ORBUS_CONTROL(FocusSlider), 0x1000, 0xC000},
        {ORBUS_CONTROL(ZoomSlider), 0, 0x7000},
    };
    return rows;
}

}  // namespace

ControlRef holderOf(const ControlRef& control) {
    for (const Held& h : heldControls()) {
        for (const ControlRef& c : h.controls) {
            if (sameControl(c, control)) return h.holder;
        }
    }
    return {};
}

// Gain priority exists in the camera but the panel never offers it; the
// long zoom slider shows only while the digital zoom is on.
bool drawnHidden(const ControlRef& control) {
    return sameControl(control, ORBUS_CONTROL(GainPriority)) || sameControl(control, ORBUS_CONTROL(ZoomSlider));
}

bool drawnDisabled(const ControlRef& control) { return sameControl(control, ORBUS_CONTROL(GainPriority)); }

std::optional<std::pair<int, int>> drawnRange(const ControlRef& control) {
    for (const DrawnRange& r : drawnRanges()) {
        if (sameControl(r.slider, control)) return std::pair{r.min, r.max};
    }
    return std::nullopt;
}

}  // namespace orbus
