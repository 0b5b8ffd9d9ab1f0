// "PrivacyZone Setting" for six masks on a 16 x 12 grid of the picture,
// sent two masks a packet, by hand or every second while "ON".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dialogs/dialog_link.h"
#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

namespace dialogs {
class Context;
}

class PrivacyA : public Form {
public:
    explicit PrivacyA(dialogs::Context& context);

    ControlArray<Label> LblHead;  // 0 "X: 0 to F", 1 "Y: 0 to B", 2 "Width: 1 to F", 3 "Height: 1 to B"
    ControlArray<Label> LblZone;  // 0..5 "Zone 1".."Zone 6"
    ControlArray<TextBox> Zones;  // 0..23: zone n uses 4(n-1)..4(n-1)+3 as X, Y, width, height
    Picture ZoneGrid{*this, "ZoneGrid"};
    ControlArray<Label> LblGridX;  // 0..15 "0".."F" across
    ControlArray<Label> LblGridY;  // 0..11 "0".."B" down
    ControlArray<Button> cmdPZMset;  // 0..2 "Privacy Set 1".."Privacy Set 3"
    Button CmdPrivacyOn{*this, "CmdPrivacyOn", "Privacy On"};
    Button CmdPrivacyoff{*this, "CmdPrivacyoff", "Privacy Off"};
    Button CmdClear{*this, "CmdClear", "Clear"};
    Button SettingMode{*this, "SettingMode", "OFF"};
    Label LblAuto{*this, "LblAuto", "While ON, the three Set commands are sent every second."};
    Label LblAutoState{*this, "LblAutoState", ""};
    Timer Timer2{*this, "Timer2", 1000, false};

    // Opening from the main window's menu: shown modeless, the resend off.
    void open();

    void CmdPrivacyOn_Click();
    void CmdPrivacyoff_Click();
    void CmdClear_Click();
    void cmdPZMset_Click(int index);
    void SettingMode_Click();
    void Timer2_Timer();
    // Sends the three Set packets with a short pause between them, beside
    // the window; each packet goes to the camera the round began for.
    void PrivacySet();
    void Form_Unload();
    // Another camera is driven now: the resend, which belongs to the camera
    // it was switched on for, stops and the state line says why.
    void cameraSelected();

    // Largest value of each box of a zone: X, Y, width, height.
    static constexpr int kMax[4] = {0xF, 0xB, 0xF, 0xB};
    // Pause between the three Set packets, seconds.
    static constexpr double kWaitAuto = 0.020;

private:
    // The Set packet for zones 2i+1 and 2i+2, or the name of the wrong box.
    std::optional<std::vector<int>> setPacket(int index, std::string& wrong) const;
    void sendOwn(dialogs::Packet packet);
    void showZones();
    void stopResend();
    dialogs::Context& ctx_;
    int resendCamera_ = 0;  // the camera the automatic Set was switched on for
    dialogs::RunFlag sending_;  // a round of the three packets is going out
};

}  // namespace orbus
