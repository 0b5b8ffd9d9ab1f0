// What the pan-tilt window needs of the main window: the line its drive
// packets go out on, and the handling of the two windows together (showing,
// docking, size). The main window's side implements it.
#pragma once

#include <vector>

namespace orbus::pantilt {

class MainWindow {
public:
    virtual ~MainWindow() = default;
    // Sends one drive packet (header .. FF) through the main window's
    // command interface, at once (not paced by the camera's sockets); a
    // `stop` ends a drive and goes out as a stop. True when it was written.
    virtual bool sendDrive(const std::vector<int>& packet, bool stop) = 0;
    // Shows or hides the pan-tilt window as the program's flags now say.
    virtual void showPanTilt() = 0;
    // Docking on or off, large or small: both windows follow.
    virtual void toggleDocking() = 0;
    virtual void toggleSize() = 0;
    // Brings the main window forward, leaving the keyboard where it is.
    virtual void raise() = 0;
};

}  // namespace orbus::pantilt
