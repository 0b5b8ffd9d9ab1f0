// Exposure group: the AE modes with what each lets the operator adjust, the
// Bright entry sequence, the exposure-compensation switch, the slow-shutter
// limit and the slow-shutter display step.
#pragma once

#include <vector>

namespace orbus {

class FrmMainControls;
class MenuItem;

namespace panel {

class MainWindow;

// One AE mode: its code, its menu item (and a second item it checks too),
// and which exposure controls it enables.
struct ExposureMode {
    int code;
    MenuItem FrmMainControls::*item;
    MenuItem FrmMainControls::*alsoChecked;  // nullptr, or the item checked with it
    bool iris, gain, shutter, bright, backLight, slowShutter;
    bool reported;  // the status read knows this code
};

// The AE modes in menu order; the ten items form one exclusive group.
const std::vector<ExposureMode>& exposureModes();
const ExposureMode* exposureMode(int code);

// Enables the exposure controls as a mode leaves them to the operator; a
// group's step buttons and slider share one state.
void enableExposureControls(MainWindow& m, const ExposureMode& mode);

}  // namespace panel
}  // namespace orbus
