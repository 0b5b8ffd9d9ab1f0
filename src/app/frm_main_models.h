// The main window laid out for the identified camera from the model layout
// tables (panel/model_layout.h), and the series marks.
#pragma once

#include <string>
#include <vector>

#include "app/frm_main.h"
#include "panel/control_ref.h"
#include "panel/model_layout.h"
#include "status/identify.h"

namespace orbus {

class Program;

// Applies the model's column of the layout table (visibility, slider maxima,
// the BackLight row and the AF sensitivity caption).
void applyModelLayout(FrmMain& m, PanTiltModel model);

// A block model's row: its name, video system, lens profile, and the
// controls it lacks or cannot use.
void applyBlockModel(FrmMain& m, const BlockModelRow& row);
// What identification does for a block camera: the series caption, no
// presets and no pan-tilt window, then the model's row (an unknown model
// byte selects no row).
void layOutBlockCamera(FrmMain& m, int byte5);
// What every identification of a pan-tilt camera sets, at start-up and in a read.
void markPanTiltSeries(FrmMain& m, const std::string& key);
// Before another series or block model is laid out: the window as drawn,
// and no mode shown yet, so that the decoding sets every mode's controls
// for the new camera instead of keeping the last camera's.
void startFromDesign(Program& p);

}  // namespace orbus
