// The stick drive inside the panel: the driven camera, its speed maxima and
// focus mode from the chain model, its packets through the main window's
// command interface, the shoulder buttons choosing the camera as the
// camera menu does, and its words in the status line.
#pragma once

#include <memory>

#include "gamepad/stick_drive.h"

namespace orbus {

class Program;

namespace gamepad {

// What the chain model says a camera can do for the stick drive.
CameraTraits traitsOf(const Program& program, int camera);
std::unique_ptr<StickDrive> stickDriveOf(Program& program);

}  // namespace gamepad
}  // namespace orbus
