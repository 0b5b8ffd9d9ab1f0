// Lens group: the focus modes with what each enables, the AF times, the
// digital-zoom switch, modes and limit, and the focus slider's near limit.
#include <string>

#include "panel/control_ref.h"
#include "panel/main_window.h"
#include "panel/runner.h"
#include "platform/digit_input.h"

namespace orbus::panel {

namespace {

// What a focus-mode button leaves usable: T enabled, F disabled, U unchanged.
enum Tri : signed char { U = -1, F = 0, T = 1 };

struct FocusMode {
    ControlRef control;
    Tri nearFar, speeds, slider, afTrig;
    Tri mode[4];  // AFModeCmd 0 "Auto", 1 "Normal", 2 "Interval AF", 3 "ZoomTrigger"
    Tri manual, infinity;
    int subMode;          // AF sub-mode chosen, -1 unchanged
    bool subModeOffAfter;  // then the button of the sub-mode in force is disabled
};

const FocusMode kFocusModes[] = {
    {ORBUS_ELEMENT(AFModeCmd, 0), F, F, F, F, {F, T, T, T}, T, F, -1, true},
    {ORBUS_ELEMENT(AFModeCmd, 1), F, F, F, F, {F, F, T, T}, U, U, 0, false},
    {ORBUS_ELEMENT(AFModeCmd, 2), F, F, F, F, {F, T, F, T}, U, U, 1, false},
    {ORBUS_ELEMENT(AFModeCmd, 3), F, F, F, F, {F, T, T, F}, U, U, 2, false},
    {ORBUS_CONTROL(ManAFMode), T, T, T, T, {T, F, F, F}, F, T, -1, false},
    {ORBUS_CONTROL(ACTAFmodeset), F, F, F, F, {T, T, T, T}, U, U, -1, false},
};

void apply(Tri t, std::initializer_list<Control*> controls) {
    if (t != U) enableAll(controls, t == T);
}

// ORX-Alpha drives focus at one fixed speed: its speed boxes stay disabled.

void showFocusMode(MainWindow& m, const FocusMode& f) {
    ModeBook& modes = m.modes();
    apply(f.nearFar, {&m.Near, &m.Far});
    if (f.speeds == T && m.cameras().drivenModel() == PanTiltModel::Alpha) {
        apply(F, {&m.NearSpeed, &m.FarSpeed, &m.UpDown3, &m.UpDown4});
    } else {
        apply(f.speeds, {&m.NearSpeed, &m.FarSpeed, &m.UpDown3, &m.UpDown4});
    }
    apply(f.slider, {&m.FocusSlider});
    apply(f.afTrig, {&m.AFTrig});
    for (int i = 0; i < 4; ++i) apply(f.mode[i], {&m.AFModeCmd[i]});
    apply(f.manual, {&m.ManAFMode});
    apply(f.infinity, {&m.Infinity});
    if (f.subMode >= 0) modes.AFSubMode = static_cast<std::uint8_t>(f.subMode);
    if (f.subModeOffAfter && modes.AFSubMode <= 2) m.AFModeCmd[modes.AFSubMode + 1].setEnabled(false);
}

// The ORX-Kappa takes no preset while it switches to auto focus, unless its
// own menu already holds the presets back.

void AutoFocus_Click(MainWindow& m, const FocusMode& f) {
    const bool holdPresets = m.cameras().drivenModel() == PanTiltModel::Kappa && !m.modes().MenuMode;
    if (holdPresets) m.FmPreset.setEnabled(false);
    runCommand(m, f.control, Event::Click, [&m, &f] { showFocusMode(m, f); });
    if (holdPresets) m.FmPreset.setEnabled(true);
}

// The AF times: the buttons change before the packet goes out.
void ACTAFmodeset_Click(MainWindow& m, const FocusMode& f) {
    showFocusMode(m, f);
    runCommand(m, f.control, Event::Click);
}

void showSlider(Slider& s, bool on) {
    s.setEnabled(on);
    s.setVisible(on);
}

// Digital zoom on: the long zoom range; off: the short one.
void DZoom_Update(MainWindow& m) {
    const bool on = m.DZoom.checked();
    showSlider(m.ZoomSliderShort, !on);
    showSlider(m.ZoomSlider, on);
}

void DZoomMode_Update(MainWindow& m, int index) {
    const bool separate = index == 1;
    enableAll({&m.DZoomTele, &m.DZoomWide, &m.DZoomX}, separate);
    m.DZoomMode[0].setEnabled(separate);
    m.DZoomMode[1].setEnabled(!separate);
    m.DZoom.setEnabled(!separate);
    if (separate) {
        showSlider(m.ZoomSlider, false);
        showSlider(m.ZoomSliderShort, true);
    }
}

// The focus position never goes beyond the near limit.
void FocusSlider_Change(MainWindow& m) {
    if (m.FocusSlider.value() > m.FocusNearLimitSlider.value()) m.FocusSlider.setValue(m.FocusNearLimitSlider.value());
}

}  // namespace

void wireLens(MainWindow& m) {
    for (const FocusMode& f : kFocusModes) {
        Control* c = f.control.in(m);
        if (!c) continue;
        if (c == &m.AFModeCmd[0]) {
            m.AFModeCmd[0].onClick = [&m, &f] { AutoFocus_Click(m, f); };
        } else if (c == &m.ACTAFmodeset) {
            m.ACTAFmodeset.onClick = [&m, &f] { ACTAFmodeset_Click(m, f); };
        } else {
            onEvent(m, *c, Event::Click, [&m, &f] { showFocusMode(m, f); });
        }
    }
    for (TextBox* box : {&m.AFacttime, &m.AFintTime}) acceptHexOnly(*box, 2);

    onEvent(m, m.DZoom, Event::Click, [&m] { DZoom_Update(m); });
    for (int i = 0; i <= 1; ++i) onEvent(m, m.DZoomMode[i], Event::Click, [&m, i] { DZoomMode_Update(m, i); });
    // The digital-zoom limit: the clicked item's own mark comes with the next status read.
    const std::vector<MenuItem*> limits = {&m.DZL0, &m.DZL1, &m.DZL2, &m.DZL3};
    for (MenuItem* it : limits) onEvent(m, *it, Event::Click, [limits, it] { markGroup(limits, it, false); });
    m.FocusSlider.onChange = [&m] { FocusSlider_Change(m); };
}

}  // namespace orbus::panel
