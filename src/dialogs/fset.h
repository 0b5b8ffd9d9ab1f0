// "Factory Set": the camera's line speed and single cells of its setting
// memory, read and written by address.
#pragma once

#include "dialogs/dialog_link.h"
#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

namespace dialogs {
class Context;
}

class FSet : public Form {
public:
    explicit FSet(dialogs::Context& context);

    Label Label1{*this, "Label1",
                 "When you want to change the Baud rate, Press the each button which you want.   Then Power off  "
                 "the Camera Power. "};
    Label Label2{*this, "Label2", "# This program have to reload also."};
    Frame Frame2{*this, "Frame2", "BaudRate Set"};
    ControlArray<Button> CmdBaudRate;  // 0 "9600 bps", 1 "19200 bps", 2 "38400 bps"
    Frame Frame1{*this, "Frame1", "Mode"};
    Label LblMode{*this, "LblMode", "Mode"};
    TextBox EPromText1{*this, "EPromText1"};
    Label LblData{*this, "LblData", "Data"};
    TextBox EPromText2{*this, "EPromText2"};
    Button EPromCmdRD{*this, "EPromCmdRD", "READ"};
    Button EPromCmdWR{*this, "EPromCmdWR", "WRITE"};
    Button EPromCmdSet{*this, "EPromCmdSet", "SET"};
    Button EPromWriteProtectrelesase{*this, "EPromWriteProtectrelesase", "Protect Release"};
    Button EPromCmdSens{*this, "EPromCmdSens", "KBM Setting Mode"};
    TextBox EPSendText{*this, "EPSendText"};

    void CmdBaudRate_Click(int index);
    void EPromCmdRD_Click();
    void EPromCmdWR_Click();
    void EPromCmdSet_Click();
    void EPromWriteProtectrelesase_Click();
    void EPromCmdSens_Click();
    void Form_Unload();

private:
    // True when the packet went out.
    bool send(dialogs::Packet packet, const std::vector<int>& values = {});
    // A memory cell command: read, write or set, at the address in the boxes.
    void memory(dialogs::Packet packet);
    dialogs::Context& ctx_;
    dialogs::RunFlag changing_;  // a line speed change is under way
};

}  // namespace orbus
