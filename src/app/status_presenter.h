// Shows what the chain model knows of the driven camera on the panel's
// controls: the values of a status read, its power, its pan-tilt head.
#pragma once

#include "model/chain.h"
#include "status/decode.h"
#include "status/status_reader.h"

namespace orbus {
class FrmMain;
}

namespace orbus::status {

// The decoding's context from what the panel knows now.
DecodeContext decodeContext(FrmMain& m);

// Applies a read's values to the controls and the mode bookkeeping: check
// marks, enabling, slider positions and value texts.
void present(FrmMain& m, const CameraStatus& status);

// The model told of a change of `camera`: what changed is drawn when it is
// the driven camera.
void presentChange(FrmMain& m, int camera, model::Chain::Aspect aspect);

// The power switch as the camera told it.
void presentPower(FrmMain& m, PowerState power);

// The pan-tilt head's positions, status bits and speed limits, as far as
// they were read.
void presentPanTilt(FrmMain& m, const PanTiltStatus& status);

// The ORX-Kappa's IR condition in the pan-tilt window.
void presentIrCondition(FrmMain& m, int condition);

// Applies the white-balance and exposure mode groups (check marks always,
// enabling only when the mode differs from the last shown one).
void applyWhiteBalanceMode(FrmMain& m, int mode);
void applyExposureMode(FrmMain& m, int mode);

}  // namespace orbus::status
