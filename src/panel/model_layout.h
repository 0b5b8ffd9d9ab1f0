// How the main window is laid out for each camera model, as data: which
// controls each pan-tilt model shows or hides, the slider ranges each model
// sets, the groups of controls each block model lacks or cannot use, and
// the few facts of the window as drawn that decide what a model offers
// (the menu or frame holding a control, a control drawn hidden, a slider's
// drawn range). The window's layout code applies these tables; a profile
// judges what a camera offers from them, with no window.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "panel/control_ref.h"
#include "platform/model_code.h"
#include "status/identify.h"

namespace orbus {

// One row of the pan-tilt layout table: what each model's layout does to a
// control. 'H' hidden, 'S' shown, '-' left as it is.
struct VisRow {
    ControlRef control;
    char alpha, beta, gamma, kappa;
};
const std::vector<VisRow>& panTiltVisibility();
// The row's letter for a model ('-' for None).
char panTiltLayoutOf(const VisRow& row, PanTiltModel model);

// Slider maxima per pan-tilt model (the ORX-Alpha leaves them as they are).
struct MaxRow {
    ControlRef slider;
    int beta, gamma, kappa;
};
const std::vector<MaxRow>& panTiltMaxima();
int panTiltMaximum(const MaxRow& row, PanTiltModel model);

// The exposure sliders' ranges of a pan-tilt model's label profile; a
// negative shutter minimum leaves the drawn one.
struct ExposureRanges {
    int gainMax, shutterMin, shutterMax, brightMax;
};
ExposureRanges panTiltExposureRanges(PanTiltModel model);
// The bright slider's end with the 10x lens, which names positions 0 to 23 only.
constexpr int kBright10XMax = 23;

// The controls a block model's group names.
const std::vector<ControlRef>& blockHiddenControls(BlockHidden group);
const std::vector<ControlRef>& blockDisabledControls(BlockDisabled group);

// ---- the window as drawn, as far as a profile's settings depend on it --------

// The menu or frame holding a control; an empty reference when the window
// holds it directly.
ControlRef holderOf(const ControlRef& control);
// Drawn hidden, or drawn disabled.
bool drawnHidden(const ControlRef& control);
bool drawnDisabled(const ControlRef& control);
// A slider's range as drawn; nothing for a control that is no slider.
std::optional<std::pair<int, int>> drawnRange(const ControlRef& control);

// The same control (or array element).
inline bool sameControl(const ControlRef& a, const ControlRef& b) { return a.member == b.member && a.index == b.index; }

}  // namespace orbus
