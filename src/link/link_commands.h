// The command interface over the camera link: every controller's packet
// goes to the link owner, which checks, sends, logs it with its source and
// tells this interface's observers.
#pragma once

#include "link/command_sink.h"

namespace orbus::link {

class CameraLink;

class LinkCommands final : public CommandSink {
public:
    // The link tells this interface's observers of every controller's
    // packet, for as long as the interface lives.
    explicit LinkCommands(CameraLink& link);
    ~LinkCommands() override;
    LinkCommands(const LinkCommands&) = delete;
    LinkCommands& operator=(const LinkCommands&) = delete;

    SendOutcome send(const Command& command) override;
    Async<Bytes> exchange(Command command, int length, bool answer) override;
    Async<CommandEnd> sendToEnd(Command command) override;

    // A command to one camera: header 81 to 87, command byte 01, data 00
    // to 7F, one FF at the end.
    static bool isCameraCommand(const Bytes& packet);

private:
    CameraLink& link_;
};

}  // namespace orbus::link
