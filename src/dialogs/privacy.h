// "PrivacyZone Setting": the 24 privacy masks A to X of a pan-tilt camera:
// which are shown, their two colours, one mask's place and size, the grid,
// and the pan-tilt angle commands.
#pragma once

#include <vector>

#include "dialogs/packets.h"
#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

namespace dialogs {
class Context;
}

class Privacy : public Form {
public:
    explicit Privacy(dialogs::Context& context);

    // ---- display and colour of the 24 zones ---------------------------------
    Frame FmDisplay{*this, "FmDisplay", "Privacy Zone Display"};
    ControlArray<CheckBox> Checks0;  // 0..23 "A".."X"
    Button cmdPrivacyDisp{*this, "cmdPrivacyDisp", "Privacy Zone Display On/Off"};
    Frame FmColor{*this, "FmColor", "Privacy Zone Color"};
    ControlArray<CheckBox> Checks1;  // 0..23 "A".."X": zones in colour 2
    Label LblColor1{*this, "LblColor1", "Color 1"};
    Label LblColor2{*this, "LblColor2", "Color 2"};
    ControlArray<ComboBox> Combo;  // 0 colour 1, 1 colour 2
    CheckBox Chk1{*this, "Chk1", "Half"};
    CheckBox Chk2{*this, "Chk2", "Half"};
    Button cmdPrivacyColor{*this, "cmdPrivacyColor", "Set Color"};

    // ---- one mask's place and size -------------------------------------------
    Frame FmSet{*this, "FmSet", "Privacy Zone Set"};
    ComboBox combSetPrivacy{*this, "combSetPrivacy"};
    CheckBox Check1{*this, "Check1", "New"};
    ControlArray<Label> LblZones;  // 0 "X", 1 "Y", 2 "Width", 3 "Height"
    ControlArray<TextBox> Zones;   // 0..3, two hexadecimal digits each
    ControlArray<Button> CmdPrivacySet;  // 0 "Privacy Zone Set"

    Frame FmGrid{*this, "FmGrid", "Grid"};
    Button CmdGridOn{*this, "CmdGridOn", "GridOn"};
    Button cmdGridoff{*this, "cmdGridoff", "Grid Off"};

    // ---- pan-tilt angles --------------------------------------------------------
    Frame FmPanTiltAngle{*this, "FmPanTiltAngle", "Pan Tilt Angle"};
    Label LblScale1{*this, "LblScale1", "-180    -90       0      90       180  "};
    Label LblScale2{*this, "LblScale2", "800h   C00h            400h     800h"};
    Label LblScale3{*this, "LblScale3", "A00h    E00h   200h    600h"};
    Label LblPan{*this, "LblPan", "Pan"};
    TextBox TextPan{*this, "TextPan", "000"};
    Label LblTilt{*this, "LblTilt", "Tilt"};
    TextBox TextTilt{*this, "TextTilt", "000"};
    Button cmdPZMpantilt{*this, "cmdPZMpantilt", "Send Command"};

    Frame FmMovePanTilt{*this, "FmMovePanTilt", "Move Pan Tilt"};
    Label LblMovePan{*this, "LblMovePan", "Pan"};
    TextBox TextMovePan{*this, "TextMovePan", "00"};
    Label LblMoveTilt{*this, "LblMoveTilt", "Tilt"};
    TextBox TextMoveTilt{*this, "TextMoveTilt", "00"};
    Frame FmOpmove{*this, "FmOpmove", "Direction"};
    ControlArray<OptionButton> Opmove;  // 0..8, row by row from the top left
    Button cmdMovePanTilt{*this, "cmdMovePanTilt", "Send Command"};

    Frame FmSetPTZ{*this, "FmSetPTZ", "Set PTZ"};
    ComboBox comboSetPTZ{*this, "comboSetPTZ"};
    Label LblPTZPan{*this, "LblPTZPan", "Pan"};
    TextBox TextSetPTZpan{*this, "TextSetPTZpan"};
    Label LblPTZTilt{*this, "LblPTZTilt", "Tilt"};
    TextBox TextSetPTZTilt{*this, "TextSetPTZTilt"};
    Label LblPTZZoom{*this, "LblPTZZoom", "Zoom"};
    TextBox TextSetPTZzoom{*this, "TextSetPTZzoom"};
    Button Command1{*this, "Command1", "Send Command"};

    // ---- what was sent -------------------------------------------------------------
    Label LblLog{*this, "LblLog", "Commands sent"};
    TextBox PrivacySetTxt{*this, "PrivacySetTxt"};
    Button ClrSET{*this, "ClrSET", "Text Clear"};

    // Mask colours by code 0x00..0x0D.
    static const char* const kColours[14];

    // Opening from the main window's menu: first entries selected, shown modeless.
    void open();

    void CmdGridOn_Click();
    void cmdGridoff_Click();
    void cmdPrivacyDisp_Click();
    void cmdPrivacyColor_Click();
    void CmdPrivacySet_Click(int index);
    void cmdPZMpantilt_Click();
    void cmdMovePanTilt_Click();
    void Command1_Click();
    void ClrSET_Click();
    void Form_Unload();

    // The 24 zone switches as four bytes of six bits, highest zones first.
    static std::vector<int> zoneSet(const ControlArray<CheckBox>& checks);

private:
    void send(dialogs::Packet packet, const std::vector<int>& values);
    dialogs::Context& ctx_;
};

}  // namespace orbus
