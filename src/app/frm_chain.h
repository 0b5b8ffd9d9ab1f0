// "Chain Status": one row per camera address with what the traffic says of
// that camera (and who sent its last command), and under the table the
// garbled replies seen on the line.
// Modeless; it reads the chain's health twice a second while it
// is shown and costs nothing while it is closed.
#pragma once

#include <map>
#include <string>

#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

class Program;

class FrmChain : public Form {
public:
    explicit FrmChain(Program& program);

    static constexpr int kColumns = 11;
    static constexpr int kRows = 7;

    Label LblFound{*this, "LblFound", ""};
    ControlArray<Label> ColHead;  // 0..10
    ControlArray<Label> Cell;     // row r (camera r + 1), column c: index r * kColumns + c
    Label LblGarbled{*this, "LblGarbled", ""};  // under the table
    Button CmdReset{*this, "CmdReset", "Reset counters"};
    Button CmdClose{*this, "CmdClose", "Close"};
    Timer Timer1{*this, "Timer1", 500, false};

    void open();
    void Timer1_Timer();
    void CmdClose_Click();
    void CmdReset_Click();
    void Form_Unload();
    // Fills the rows from the chain's health now.
    void showHealth();

    // "2.4 s ago", "3 min ago"; "-" for never.
    static std::string ageText(double seconds);
    // The errors of a camera by kind: "3 (buffer full 2, cannot execute 1)".
    static std::string errorsText(const std::map<int, long>& errors);

private:
    Program& prog_;
};

}  // namespace orbus
