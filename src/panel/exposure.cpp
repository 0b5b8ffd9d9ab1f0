#include "panel/exposure.h"

#include <string>

#include "panel/control_ref.h"
#include "panel/main_window.h"
#include "panel/runner.h"

namespace orbus::panel {

const std::vector<ExposureMode>& exposureModes() {
    using M = FrmMainControls;
    static const std::vector<ExposureMode> modes = {
        // code  item                  also checked   iris   gain   shut.  bright backL. slowSh. reported
        {0x00, &M::FullAuto, nullptr, false, false, false, false, true, true, true},
        {0x0A, &M::ShutterPriority, nullptr, false, false, true, false, false, false, true},
        {0x0B, &M::IrisPriority, nullptr, true, false, false, false, false, false, true},
        {0x0C, &M::GainPriority, nullptr, false, true, false, false, false, false, true},
        {0x03, &M::Manual, nullptr, true, true, true, false, false, false, true},
        {0x0D, &M::Bright, nullptr, false, false, false, true, false, false, true},
        {0x1A, &M::ShutterAuto, nullptr, true, true, false, false, false, false, true},
        {0x1B, &M::IrisAuto, nullptr, false, true, true, false, false, false, true},
        {0x1C, &M::GainAuto, nullptr, true, false, true, false, false, false, true},
        // Spot light is full auto metering a bright spot: both items carry a mark.
        {0x10, &M::AESpotLight, &M::FullAuto, false, false, false, false, true, false, false},
    };
    return modes;
}

const ExposureMode* exposureMode(int code) {
    for (const ExposureMode& e : exposureModes()) {
        if (e.code == code) return &e;
    }
    return nullptr;
}

void enableExposureControls(MainWindow& m, const ExposureMode& e) {
    enableAll({&m.IrisClose, &m.IrisOpen, &m.IrisSlider}, e.iris);
    enableAll({&m.GainDown, &m.GainUp, &m.GainSlider}, e.gain);
    enableAll({&m.ShutterSlow, &m.ShutterFast, &m.ShutterSlider}, e.shutter);
    enableAll({&m.BrightDown, &m.BrightUp, &m.BrightSlider}, e.bright);
    m.BackLight.setEnabled(e.backLight);
    m.AutoSlowShutter.setEnabled(e.slowShutter);
}

namespace {

// The AE menu after a mode was chosen here: its marks and what it enables.
void showChosenMode(MainWindow& m, const ExposureMode& e) {
    std::vector<MenuItem*> group;
    for (const ExposureMode& x : exposureModes()) group.push_back(&(m.*x.item));
    markGroup(group, &(m.*e.item), true);
    if (e.alsoChecked) (m.*e.alsoChecked).setChecked(true);
    enableExposureControls(m, e);
}

// Bright mode is entered from full auto or shutter priority: from any other
// mode the camera goes to full auto first and gets a second to settle.
link::Async<void> brightAfterFullAuto(MainWindow& m, const CommandRow* fullAuto) {
    if (fullAuto) {
        sendRow(m, *fullAuto, kSingle);
        // The second to settle passes beside the window.
        co_await m.pause(1.0);
    }
    runCommand(m, ORBUS_CONTROL(Bright), Event::Click, [&m] { showChosenMode(m, *exposureMode(0x0D)); });
}

void Bright_Click(MainWindow& m) {
    const int last = m.modes().LastAEMode;
    if (last == 0x0D) return;
    const CommandRow* fullAuto = nullptr;
    if (last != 0x00 && last != 0x0A) fullAuto = chooseRow(m, ORBUS_CONTROL(FullAuto), Event::Click);
    m.tasks().start(brightAfterFullAuto(m, fullAuto));
}

// Models whose shutter display follows a slow step at once.
bool stepsShutterDisplay(const std::string& model) {
    return model == "KBM-R06" || model == "KBM-R07" || model == "KBM-R10" || model == "KBM-R11";
}

void ShutterSlow_Update(MainWindow& m) {
    const int v = m.ShutterSlider.value();
    if (!stepsShutterDisplay(m.ModelVersion.text()) || v <= 7) return;
    m.ShutterValue.setText(m.labels().shutter(m.modes().VideoSysCode, v - 1));
    m.ShutterSlider.setValue(v - 1);
}

void ExpComp_Update(MainWindow& m) {
    const bool on = m.ExpComp.checked();
    m.ExpCompUp.setEnabled(on);
    m.ExpCompDown.setEnabled(on);
    // Switching on leaves the slider as it was; switching off disables it.
    if (!on) m.ExpCompSlider.setEnabled(false);
}

}  // namespace

void wireExposure(MainWindow& m) {
    for (const ExposureMode& e : exposureModes()) {
        onEvent(m, m.*e.item, Event::Click, [&m, &e] { showChosenMode(m, e); });
    }
    m.Bright.onClick = [&m] { Bright_Click(m); };
    onEvent(m, m.ShutterSlow, Event::Click, [&m] { ShutterSlow_Update(m); });
    onEvent(m, m.ExpComp, Event::Click, [&m] { ExpComp_Update(m); });
    // The slow-shutter limit: the clicked item's own mark comes with the next status read.
    const std::vector<MenuItem*> limits = {&m.ASSL0, &m.ASSL1, &m.ASSL2};
    for (MenuItem* it : limits) onEvent(m, *it, Event::Click, [limits, it] { markGroup(limits, it, false); });
}

}  // namespace orbus::panel
