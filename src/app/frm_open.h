// Port dialog "Com Setting": serial port and baud rate.
#pragma once

#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

class Program;

class FrmOpen : public Form {
public:
    explicit FrmOpen(Program& program);

    Label Label1;
    ComboBox ComList1;
    // The device behind the selected entry, or "No serial device".
    Label LblDevice;
    Frame Frame1;
    ControlArray<OptionButton> OBrate;
    Button Command1;
    Label LblDBG0;

    void Form_Load();
    void ComList1_Click();
    // Shows in LblDevice what the selected entry opens now (devices come and go).
    void ShowDevice();
    void Command1_Click();
    void Form_Unload();

private:
    // The port number of the selected entry ("Com n": n).
    int selectedPort() const;

    Program& prog_;
};

}  // namespace orbus
