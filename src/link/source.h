// Who sent a packet: the controllers that hand commands to the link owner.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orbus::link {

enum class Source : std::uint8_t {
    MainWindow,  // a control of the main window
    Dialog,      // one of the auxiliary windows
    PanTiltKeys, // the pan-tilt drive window and its keys
    Console,     // typed by the operator in hexadecimal
    Profile,     // a profile's apply run
    Script,      // a test or another program driving the panel
    Remote,      // a client on the network, named by the command's client
};
// "main window", "dialog", "pan-tilt drive", "console", "profile", "script",
// "remote".
const char* sourceName(Source source);
// A sender as the records show it: a remote client by its own name ("udp
// 127.0.0.1:40312", "web 192.168.1.20"), every other by sourceName.
std::string senderName(Source source, std::string_view client);

}  // namespace orbus::link
