#include "link/link_commands.h"

#include "link/camera_link.h"
#include "link/packet.h"

namespace orbus::link {

const char* sourceName(Source source) {
    switch (source) {
    case Source::MainWindow: return "main window";
    case Source::Dialog: return "dialog";
    case Source::PanTiltKeys: return "pan-tilt drive";
    case Source::Console: return "console";
    case Source::Profile: return "profile";
    case Source::Script: return "script";
    case Source::Remote: return "remote";
    }
    return "?";
}

std::string senderName(Source source, std::string_view client) {
    if (source == Source::Remote && !client.empty()) return std::string(client);
    return sourceName(source);
}

const char* outcomeName(SendOutcome outcome) {
    switch (outcome) {
    case SendOutcome::Sent: return "sent";
    case SendOutcome::Waiting: return "waiting for a free socket";
    case SendOutcome::Malformed: return "refused: not a command to one camera";
    case SendOutcome::NotWritten: return "not written: the port took nothing";
    }
    return "?";
}

int commandCamera(const Bytes& packet) {
    if (packet.empty() || packet[0] < 0x81 || packet[0] > 0x87) return 0;
    return packet[0] - 0x80;
}

bool isCameraInquiry(const Bytes& packet) {
    return wellFormedPacket(packet) && commandCamera(packet) != 0 && packet.size() >= 3 && packet[1] == 0x09;
}

bool LinkCommands::isCameraCommand(const Bytes& packet) {
    return wellFormedPacket(packet) && commandCamera(packet) != 0 && packet.size() >= 3 && packet[1] == 0x01;
}

LinkCommands::LinkCommands(CameraLink& link) : link_(link) {
    link_.onCommand = [this](const Command& command, SendOutcome outcome) { told(command, outcome); };
}

LinkCommands::~LinkCommands() { link_.onCommand = nullptr; }

SendOutcome LinkCommands::send(const Command& command) { return link_.put(command); }

Async<Bytes> LinkCommands::exchange(Command command, int length, bool answer) {
    return link_.exchange(std::move(command), length, answer);
}

Async<CommandEnd> LinkCommands::sendToEnd(Command command) { return link_.commandToEnd(std::move(command)); }

}  // namespace orbus::link
