// What the port dialog says when a try did not reach a camera: why, in
// words an operator can act on, with the remedy.
#pragma once

#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace orbus {

struct PortTry {
    int comNumber = 1;            // "Com n" chosen
    std::string simulator;        // models of the built-in simulated chain chosen instead; empty: Com n
    std::string network;          // a device server's address chosen instead; empty: Com n
    bool fromEnvironment = false; // the path came from ORBUS_COM<n>
    // The serial devices on the machine now, as "/dev/ttyS0 (Com 1)" (the
    // entry that opens it, when one does).
    std::vector<std::string> devices;
    OpenFailure failure;          // kind None: the port opened
    int speed = 9600;             // the speed chosen
    std::vector<int> alsoTried;   // other speeds tried, without an answer
    int answeredAt = 0;           // a camera answered the interface clear at this speed; 0: nowhere
    bool addressSetFailed = false;  // the interface clear was answered, the address set was not
    int addressSetTries = 0;
    std::string path;             // what was opened (a device path, "sim:...")
};

// The reason and what to do, in one paragraph.
std::string portTryText(const PortTry& t);

}  // namespace orbus
