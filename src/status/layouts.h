// Layout table of the pan-tilt models.
#pragma once

#include <string>
#include <vector>

namespace orbus {

class FrmMain;

enum class PanTiltModel { Alpha, Beta, Gamma, Kappa };

// Applies the model's column of the layout table (visibility, slider maxima,
// the BackLight row and the AF sensitivity caption).
void applyModelLayout(FrmMain& m, PanTiltModel model);

// Object names the layout table refers to (they must all exist).
std::vector<std::string> layoutControlNames();

}  // namespace orbus
