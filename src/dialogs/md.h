// "Alarm": the camera's motion alarm: its mode, the day and night exposure
// levels, start and stop, its display, and reading all of it back.
#pragma once

#include <optional>

#include "dialogs/dialog_link.h"
#include "link/async.h"
#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

namespace dialogs {
class Context;
}

class FrmMD : public Form {
public:
    explicit FrmMD(dialogs::Context& context);

    Label LblMode{*this, "LblMode", "Set Alarm Mode"};
    ComboBox ComboSetMD{*this, "ComboSetMD"};
    Button comSetMD{*this, "comSetMD", "Send Command"};
    Button cmdsetMDinq{*this, "cmdsetMDinq", "Inquiry Command"};

    Label LblLevel{*this, "LblLevel", "Set Day/Night AE Level"};
    Label LblDay{*this, "LblDay", "Day"};
    Label LblNight{*this, "LblNight", "Night"};
    Label LblNow{*this, "LblNow", "Now"};
    TextBox txtMDday{*this, "txtMDday", "FFF"};
    TextBox txtMDnight{*this, "txtMDnight", "FFF"};
    Button cmdsetMDtime{*this, "cmdsetMDtime", "Send Command"};
    Button cmdLevelInq{*this, "cmdLevelInq", "Level Inquiry"};
    Label LblRead{*this, "LblRead", "Read back"};
    TextBox txtMDdayR{*this, "txtMDdayR"};
    TextBox txtMDnightR{*this, "txtMDnightR"};
    TextBox txtMDc{*this, "txtMDc"};
    Frame FmNowSet{*this, "FmNowSet", "Now Value Set"};
    ControlArray<Button> Command1;  // 0 "Day", 1 "Night"

    Frame FmDetect{*this, "FmDetect", "Alarm Detect"};
    OptionButton OpMDon{*this, "OpMDon", "ON"};
    OptionButton OpMDoff{*this, "OpMDoff", "OFF"};
    Button cmdMDstart{*this, "cmdMDstart", "Start/Stop"};
    Button cmdMDSSunq{*this, "cmdMDSSunq", "Inquiry Command"};

    Button cmdDisplay{*this, "cmdDisplay", "Display ON"};
    Button cmdMDdisplayOFF{*this, "cmdMDdisplayOFF", "Display OFF"};
    TextBox txtMD{*this, "txtMD"};
    Button CmdClose{*this, "CmdClose", "Close"};

    // The alarm modes by code 0x00..0x0C.
    static const char* const kModes[13];

    // Opening from the main window's menu: the refresh stopped, the alarm
    // state read if needed (beside the window) and shown, then shown
    // modally. Opens once however often it is asked meanwhile.
    void open();

    void comSetMD_Click();
    void cmdsetMDinq_Click();
    void cmdsetMDtime_Click();
    void cmdLevelInq_Click();
    void Command1_Click(int index);
    void cmdMDstart_Click();
    void cmdMDSSunq_Click();
    void cmdDisplay_Click();
    void cmdMDdisplayOFF_Click();
    void CmdClose_Click();
    void Form_Unload();

private:
    // True when the port took the packet.
    bool send(dialogs::Packet packet, const std::vector<int>& values = {});
    // Runs an inquiry beside the window; its answer is shown by `show`
    // unless the dialog was closed or another camera is driven by then.
    void ask(link::Async<std::optional<Bytes>> inquiry, void (FrmMD::*show)(const Bytes&));
    void showMode(const Bytes& r);
    void showLevels(const Bytes& r);
    void showDetect(const Bytes& r);
    dialogs::Context& ctx_;
    dialogs::RunFlag opening_;
    // Counts openings and closings: an answer asked for in one showing is
    // not laid into the next.
    int showing_ = 0;
};

}  // namespace orbus
