// "Gamepad": the controller connected, its sticks, triggers and buttons
// live, the dead zone and the response curve with the sticks' positions
// drawn against the dead zone, and the mapping, each change saved at once.
// Modeless; it reads the controller twenty times a second while shown.
#pragma once

#include <string>

#include "gamepad/mapping.h"
#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

class Program;

class FrmGamepad : public Form {
public:
    explicit FrmGamepad(Program& program);

    // The sticks are drawn on a grid of kGrid x kGrid cells.
    static constexpr int kGrid = 21;
    // The proportional drives (Pan, Tilt, Zoom, Focus) and the buttons'
    // functions (previous and next camera, memories 1 to 4, the modifier,
    // stop everything), in the order of their rows.
    static constexpr int kDrives = 4;
    static constexpr int kFunctions = 8;

    Label LblDevice{*this, "LblDevice", ""};
    Frame FmSticks{*this, "FmSticks", "Sticks"};
    ControlArray<Picture> PicStick;  // 0 left, 1 right
    ControlArray<Label> LblStick;    // their positions in numbers
    Label LblTriggers{*this, "LblTriggers", ""};
    Label LblButtons{*this, "LblButtons", ""};

    Frame FmResponse{*this, "FmResponse", "Response"};
    Label LblDeadZone{*this, "LblDeadZone", "Dead zone"};
    Slider SldDeadZone{*this, "SldDeadZone", 5, 50};
    Label LblDeadZoneValue{*this, "LblDeadZoneValue", ""};
    Label LblCurve{*this, "LblCurve", "Curve"};
    Slider SldCurve{*this, "SldCurve", 10, 30};
    Label LblCurveValue{*this, "LblCurveValue", ""};

    Frame FmMapping{*this, "FmMapping", "Mapping"};
    ControlArray<Label> LblDrive;
    ControlArray<ComboBox> MapAxis;     // 0 to kDrives - 1
    ControlArray<CheckBox> MapInvert;
    CheckBox ChkTriggers{*this, "ChkTriggers", "Triggers zoom (right tele, left wide)"};
    ControlArray<Label> LblFunction;
    ControlArray<ComboBox> MapButton;   // 0 to kFunctions - 1

    Button CmdDefaults{*this, "CmdDefaults", "Defaults"};
    Button CmdClose{*this, "CmdClose", "Close"};
    Timer Timer1{*this, "Timer1", 50, false};

    void open();
    void Timer1_Timer();
    void CmdClose_Click();
    void CmdDefaults_Click();
    // Any control of the mapping or the response changed by the operator.
    void mappingChanged();
    // The controller as it is now: name, sticks, triggers, buttons.
    void showController();
    // The controls as the mapping says.
    void showMapping(const gamepad::Mapping& m);
    // The mapping the controls show.
    gamepad::Mapping mappingShown() const;

private:
    Program& prog_;
};

}  // namespace orbus
