// The command interface over the camera link: every controller's command
// goes out paced, checked and logged like a main-window command.
#pragma once

#include "link/command_sink.h"

namespace orbus::link {

class CameraLink;

class LinkCommands final : public CommandSink {
public:
    explicit LinkCommands(CameraLink& link) : link_(link) {}
    SendOutcome send(const Command& command) override;

    // A command to one camera: header 81 to 87, command byte 01, data 00
    // to 7F, one FF at the end.
    static bool isCameraCommand(const Bytes& packet);

private:
    CameraLink& link_;
};

}  // namespace orbus::link
