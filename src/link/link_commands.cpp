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
    }
    return "?";
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

bool LinkCommands::isCameraCommand(const Bytes& packet) {
    return wellFormedPacket(packet) && commandCamera(packet) != 0 && packet.size() >= 3 && packet[1] == 0x01;
}

SendOutcome LinkCommands::send(const Command& command) {
    SendOutcome outcome;
    if (!wellFormedPacket(command.packet)) {
        // Refused where every packet the panel builds is checked: the
        // operator is told which control built it.
        link_.outgoingAllowed(command.packet);
        outcome = SendOutcome::Malformed;
    } else if (!isCameraCommand(command.packet)) {
        // A broadcast or an inquiry is the link's own business; the
        // sender's observers hear of the refusal.
        outcome = SendOutcome::Malformed;
    } else {
        const int camera = commandCamera(command.packet);
        const bool waits = link_.pacer().mustWait(camera);
        const std::vector<int> values(command.packet.begin(), command.packet.end());
        const std::string key = command.key.empty() ? CommandPacer::keyOf(command.packet) : command.key;
        const std::string r = link_.SendPaced(values, key, command.kind);
        if (r != "OK") outcome = SendOutcome::NotWritten;
        else outcome = waits ? SendOutcome::Waiting : SendOutcome::Sent;
    }
    told(command, outcome);
    return outcome;
}

}  // namespace orbus::link
