// Values the camera keeps: its clock ("Set Time & Date"), its ID ("Camera
// ID Write") and its two power-off timers ("Auto Power Off", "Night Power
// Off").
#pragma once

#include <string>

#include "dialogs/dialog_link.h"
#include "link/async.h"
#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

struct AlarmState;
namespace dialogs {
class Context;
}

class FrmSetDT : public Form {
public:
    explicit FrmSetDT(dialogs::Context& context);

    ControlArray<Label> LblField;  // 0 "Year" .. 4 "Minute"
    TextBox Year{*this, "Year", "YY"};
    UpDown UpDown1{*this, "UpDown1", &Year, 0, 99};
    TextBox Month{*this, "Month", "MM"};
    UpDown UpDown2{*this, "UpDown2", &Month, 1, 12};
    TextBox Day{*this, "Day", "DD"};
    UpDown UpDown3{*this, "UpDown3", &Day, 1, 31};
    TextBox Hour{*this, "Hour", "hh"};
    UpDown UpDown4{*this, "UpDown4", &Hour, 0, 23};
    TextBox Minute{*this, "Minute", "mm"};
    UpDown UpDown5{*this, "UpDown5", &Minute, 0, 59};
    Button OK{*this, "OK", "OK"};
    Button Cancel{*this, "Cancel", "Cancel"};

    // Opening from the main window's menu: the computer's time, shown modeless.
    void open();
    void Form_Load();
    void OK_Click();
    void Cancel_Click();
    void Form_Unload();

private:
    dialogs::Context& ctx_;
};

class FrmCamID : public Form {
public:
    explicit FrmCamID(dialogs::Context& context);

    Label LblID{*this, "LblID", "Camera ID ( 0 - 65535 )"};
    TextBox ID{*this, "ID"};
    Button OK{*this, "OK", "OK"};
    Button Cancel{*this, "Cancel", "Cancel"};

    // Opening from the main window's menu: refresh and pan-tilt upkeep
    // stopped, shown modally.
    void open();
    void OK_Click();
    void Cancel_Click();
    void Form_Unload();

private:
    dialogs::Context& ctx_;
};

// The two power-off timer dialogs: the camera's timer is read on opening
// and written by OK.
class PowerOffDialog : public Form {
public:
    // `command` sets the timer, `inquiry` reads it.
    PowerOffDialog(dialogs::Context& context, std::string name, std::string caption, dialogs::Packet command,
                   dialogs::Packet inquiry);

    Label LblTimer{*this, "LblTimer", "Power Off Timer ( 0 [off]  - 65535 min)"};
    TextBox OffTimer{*this, "OffTimer"};
    Label LblNote{*this, "LblNote", ""};
    Label LblAnswer{*this, "LblAnswer", ""};
    Button OK{*this, "OK", "OK"};
    Button Cancel{*this, "Cancel", "Cancel"};

    // Opening: refresh stopped, the camera's timer read beside the window,
    // shown modally; once however often it is asked meanwhile. With
    // openAfter, the check `first` runs before all that, and false from it
    // ends the opening there.
    void open();
    void openAfter(link::Async<bool> first);
    // Reads the driven camera's timer into the box; false when another
    // camera was chosen before the answer came (the dialog then does not
    // open: its value and its OK would be for different cameras).
    link::Async<bool> Form_Load();
    void OK_Click();
    void Cancel_Click();
    void Form_Unload();

private:
    dialogs::Context& ctx_;
    dialogs::Packet command_;
    dialogs::Packet inquiry_;
    dialogs::RunFlag opening_;
};

class FrmAutoPOff : public PowerOffDialog {
public:
    explicit FrmAutoPOff(dialogs::Context& context);
};

class FrmNightPOff : public PowerOffDialog {
public:
    explicit FrmNightPOff(dialogs::Context& context);
};

// The night power-off needs the alarm started in "Day & Night" with the day
// level above the night level: the warning to show, or empty.
std::string nightPowerOffWarning(const AlarmState& alarm);
// The warning when the camera did not tell its alarm state.
inline constexpr const char* kAlarmUnread = "The alarm state could not be read.";

}  // namespace orbus
