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
    Frame Frame1;
    ControlArray<OptionButton> OBrate;
    Button Command1;
    Label LblDBG0;

    void Form_Load();
    void Command1_Click();
    void Form_Unload();

private:
    Program& prog_;
};

}  // namespace orbus
