// The main window as the pan-tilt window sees it.
#pragma once

#include <memory>

#include "pantilt/main_window.h"

namespace orbus {

class Program;

namespace pantilt {

// The main window of `program`, seen from the pan-tilt window.
std::unique_ptr<MainWindow> mainWindowOf(Program& program);

}  // namespace pantilt
}  // namespace orbus
