// Pan-tilt window "Pan/Tilt": drive buttons, speeds, the information area
// filled by the status read, and the window's own open/dock/size buttons.
#pragma once

#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

class Program;

class FrmPanTilt : public Form {
public:
    explicit FrmPanTilt(Program& program);

private:
    Program& prog_;
};

}  // namespace orbus
