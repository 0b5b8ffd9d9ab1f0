// The pan-tilt models by the code the panel drives them with (0: none
// identified, or a block camera).
#pragma once

namespace orbus {

enum class PanTiltModel : int { None = 0, Alpha = 2, Gamma = 13, Beta = 14, Kappa = 260 };

}  // namespace orbus
