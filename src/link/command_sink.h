// The way a controller sends to a camera: the packet, as a value, goes to
// the link owner behind this interface, which checks it, sends it now or
// paces it by the camera's sockets, keeps its source with it on the way to
// the port and tells its observers which controller sent what. Every
// controller sends through it: the main window, the auxiliary windows, the
// pan-tilt drive, the console, a profile's apply and the window-free station.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/async.h"
#include "link/command_end.h"
#include "link/pacer.h"
#include "link/source.h"
#include "platform/serial_port.h"

namespace orbus::link {

// When a command goes out and what the link makes of it.
enum class Pacing {
    // When its camera has a free socket (out now, or on the camera's next
    // completion); logged in the Command History, its replies matched.
    BySockets,
    // Now, whatever the camera's sockets; logged and matched as above. The
    // auxiliary windows' commands and the pan-tilt drive never waited.
    Direct,
    // Now, and only written: not in the Command History, its replies
    // matched with nothing. For a window that logs what it sends itself.
    Plain,
    // Now, the console's bytes as the operator typed them: not checked
    // (the console refuses what it cannot send itself), logged, and a
    // command among them takes its socket.
    AsTyped,
};

struct Command {
    Bytes packet;  // header 81 to 87 .. FF
    Source source = Source::MainWindow;
    // How it waits for a socket: a slider's value (a newer one of the same
    // key replaces it), a drive or switch in order, or a stop going first.
    CommandPacer::Kind kind = CommandPacer::Kind::Other;
    std::string key{};  // what a newer Value replaces, what a Stop ends; empty: CommandPacer::keyOf(packet)
    Pacing pacing = Pacing::BySockets;
    // Source::Remote: the client that sent it, as the records name it.
    std::string client{};
    // Told each reply the link matches to this packet, and once NoAnswer
    // when it is given up (nothing within the limit, dropped while waiting,
    // the port gone); not told when send() refuses it at once. A drive the
    // camera acknowledged hears of its end only once it is stopped. Paced
    // by sockets, an inquiry (8x 09 .. FF) with a listener goes out quietly
    // on its turn of the line and its listener hears its answer or error.
    ReplyListener onReply{};
};

enum class SendOutcome {
    Sent,       // written to the port now
    Waiting,    // the camera's sockets are busy: it goes out on the camera's next completion
    // Nothing sent: no camera can take it (header 81 to 88, data 00 to 7F,
    // one FF at the end), or, paced by sockets, it is no command to one camera.
    Malformed,
    NotWritten, // the port is closed or did not take it
};
const char* outcomeName(SendOutcome outcome);

class CommandSink {
public:
    virtual ~CommandSink() = default;
    // Sends a command as its pacing says.
    virtual SendOutcome send(const Command& command) = 0;
    // An exchange on its turn of the line, whatever the command's pacing:
    // sends the packet quietly (not in the Command History) and waits,
    // beside the window, up to a second for `length` bytes (an inquiry's
    // `answer`). What came, or a stand-in that passes no check when the
    // time ran out; empty when another wait held the line.
    virtual Async<Bytes> exchange(Command command, int length, bool answer) = 0;
    // Sends a command to its camera now and waits, beside the window, for
    // its end (CameraLink::commandToEnd), whatever the command's pacing.
    virtual Async<CommandEnd> sendToEnd(Command command) = 0;

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
// An inquiry to one camera: header 81 to 87, 09, data 00 to 7F, one FF.
bool isCameraInquiry(const Bytes& packet);

}  // namespace orbus::link
