// "Digital Effect Level": the strength of the current digital effect.
#pragma once

#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

namespace dialogs {
class Context;
}

class FrmDeffect : public Form {
public:
    explicit FrmDeffect(dialogs::Context& context);

    Label Label1{*this, "Label1", "Digital Effect Level"};
    TextBox DELevel{*this, "DELevel", "0"};
    UpDown UpDown1{*this, "UpDown1", &DELevel, 0, 32};
    Button DELevelOK{*this, "DELevelOK", "OK"};
    Button DELevelCancel{*this, "DELevelCancel", "Cancel"};

    void DELevelOK_Click();
    void DELevelCancel_Click();
    void Form_Unload();

    // Largest level the box lets through (the spinner stops at 32).
    static constexpr int kMaxLevel = 127;

private:
    dialogs::Context& ctx_;
};

}  // namespace orbus
