// "Remote Control": which network services run (IP controllers over UDP,
// bare packets over TCP, the JSON API and its web page), where they listen
// and what guards them; the clients connected, one of which the operator
// may drop, and a stop of every drive a remote client started. Modeless;
// it follows the clients twice a second while it is shown.
#pragma once

#include <string>
#include <vector>

#include "app/remote_control.h"
#include "net/remote_hub.h"
#include "platform/control.h"
#include "platform/form.h"
#include "platform/table.h"

namespace orbus {

class Program;

class FrmRemote : public Form {
public:
    explicit FrmRemote(Program& program);

    CheckBox ChkUdp{*this, "ChkUdp", "IP controllers (UDP), first port:"};
    TextBox TxtUdpPort{*this, "TxtUdpPort"};
    CheckBox ChkTcp{*this, "ChkTcp", "Bare packets (TCP), first port:"};
    TextBox TxtTcpPort{*this, "TxtTcpPort"};
    CheckBox ChkApi{*this, "ChkApi", "JSON API and web page, port:"};
    TextBox TxtApiPort{*this, "TxtApiPort"};
    Label LblAddress{*this, "LblAddress", "Bind address:"};
    TextBox TxtAddress{*this, "TxtAddress"};
    Label LblToken{*this, "LblToken", "Token:"};
    TextBox TxtToken{*this, "TxtToken"};
    CheckBox ChkRaw{*this, "ChkRaw", "Accept raw packets over the JSON API"};
    Label LblAllowed{*this, "LblAllowed", "Controllers allowed from (UDP/TCP):"};
    TextBox TxtAllowed{*this, "TxtAllowed"};
    Button CmdApply{*this, "CmdApply", "Apply"};
    Label LblMessage{*this, "LblMessage", ""};
    Label LblClients{*this, "LblClients", "Connected clients:"};
    Table Clients;
    Button CmdDrop{*this, "CmdDrop", "Drop client"};
    Button CmdStopAll{*this, "CmdStopAll", "Stop all remote drives"};
    Button CmdClose{*this, "CmdClose", "Close"};
    Timer Timer1{*this, "Timer1", 500, false};

    void open();
    void Timer1_Timer();
    void CmdApply_Click();
    void CmdDrop_Click();
    void CmdStopAll_Click();
    void CmdClose_Click();
    void Form_Unload();

    // The boxes as a choice; false (and the message says why) when a port
    // is not a number from 1 to 65535.
    bool choiceFromBoxes(RemoteChoice& out);
    void showChoice(const RemoteChoice& c);
    // The clients table and the buttons, anew from the hub.
    void showClients();
    // Enables what works with the boxes as they stand.
    void enableControls();

private:
    Program& prog_;
    std::vector<net::ClientInfo> shown_;
};

}  // namespace orbus
