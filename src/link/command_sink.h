// The way a controller sends a command to a camera: the packet, as a
// value, goes to the link owner behind this interface, which checks it,
// paces it by the camera's sockets, logs it and tells its observers which
// controller sent what. The main window and the window-free station send
// through it; the sources below name the controllers that will.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/pacer.h"
#include "platform/serial_port.h"

namespace orbus::link {

// Who sent a command.
enum class Source {
    MainWindow,  // a control of the main window
    Dialog,      // one of the auxiliary windows
    PanTiltKeys, // the pan-tilt drive window and its keys
    Console,     // typed by the operator in hexadecimal
    Profile,     // a profile's apply run
    Script,      // a test or another program driving the panel
};
const char* sourceName(Source source);

struct Command {
    Bytes packet;  // header 81 to 87 .. FF
    Source source = Source::MainWindow;
    // How it waits for a socket: a slider's value (a newer one of the same
    // key replaces it), a drive or switch in order, or a stop going first.
    CommandPacer::Kind kind = CommandPacer::Kind::Other;
    std::string key;  // what a newer Value replaces, what a Stop ends; empty: CommandPacer::keyOf(packet)
};

enum class SendOutcome {
    Sent,       // written to the port now
    Waiting,    // the camera's sockets are busy: it goes out on the camera's next completion
    Malformed,  // not a command to one camera (header 81 to 87, data 00 to 7F, one FF at the end): nothing sent
    NotWritten, // the port is closed or did not take it
};
const char* outcomeName(SendOutcome outcome);

class CommandSink {
public:
    virtual ~CommandSink() = default;
    virtual SendOutcome send(const Command& command) = 0;

    // Told of every command handed in, with what became of it.
    using Observer = std::function<void(const Command&, SendOutcome)>;
    void observe(Observer observer) { observers_.push_back(std::move(observer)); }

protected:
    void told(const Command& command, SendOutcome outcome) const {
        for (const Observer& o : observers_) o(command, outcome);
    }

private:
    std::vector<Observer> observers_;
};

// The camera a command packet is for (1 to 7), or 0 when its header names
// none (a broadcast or no header at all).
int commandCamera(const Bytes& packet);

}  // namespace orbus::link
