// Who sent a packet: the controllers that hand commands to the link owner.
#pragma once

#include <cstdint>

namespace orbus::link {

enum class Source : std::uint8_t {
    MainWindow,  // a control of the main window
    Dialog,      // one of the auxiliary windows
    PanTiltKeys, // the pan-tilt drive window and its keys
    Console,     // typed by the operator in hexadecimal
    Profile,     // a profile's apply run
    Script,      // a test or another program driving the panel
    Gamepad,     // a game controller or joystick
};
// "main window", "dialog", "pan-tilt drive", "console", "profile", "script", "gamepad".
const char* sourceName(Source source);

}  // namespace orbus::link
