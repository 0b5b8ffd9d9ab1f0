// "Version Information" (this program) and "more Infomation" (the driven
// camera's ROM version and, for three pan-tilt models, what its service
// memory says about its manufacture).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/control.h"
#include "platform/form.h"
#include "platform/serial_port.h"

namespace orbus {

class Program;

class FrmAbout : public Form {
public:
    explicit FrmAbout(Program& program);

    Label lblTitle{*this, "lblTitle", ""};
    Label lblVersion{*this, "lblVersion", ""};
    Label lblDescription{*this, "lblDescription", ""};
    Label lblSyouhyou{*this, "lblSyouhyou", ""};
    Label lblTyosakukenn{*this, "lblTyosakukenn", ""};
    Button more{*this, "more", "more Info."};
    Button OK{*this, "OK", "OK"};

    // "Version 1.0  Revision 0" for version 1.0.0.
    static std::string versionText(int major, int minor, int revision);

    void open();
    void Form_Load();
    void more_Click();
    void OK_Click();
    void Form_Unload();

private:
    Program& prog_;
};

class Frmmoreinfo : public Form {
public:
    explicit Frmmoreinfo(Program& program);

    Frame Frame1{*this, "Frame1", "Camera No."};
    Label LblRomVer{*this, "LblRomVer", "ROM Version"};
    Label LblDate{*this, "LblDate", "Date of Manufacture"};
    Label LblRemodel{*this, "LblRemodel", "CamBlock Remodeling"};
    Button OKButton{*this, "OKButton", "OK"};

    // Attempts of one exchange whose answers keep coming back wrong before
    // it and the rest are given up.
    static constexpr int kAttempts = 7;

    void open();
    // Fills the window from the driven camera: its own ROM version and, for
    // the three models that keep one, the manufacture record of its service
    // memory. False when the camera gave no usable answer; that has then
    // been said in one message and the window is not shown.
    bool Form_Load();
    void OKButton_Click();
    void Form_Unload();

private:
    bool opening_ = false;
    enum class Outcome { Done, Wrong, Silent };
    // One exchange: the packet sent quietly, the reply awaited and checked,
    // sent again while the reply is wrong, up to kAttempts times. A wait
    // that ends without the awaited bytes ends it at once. An inquiry's
    // `answer` hands a command's replies that come first to the completion check.
    Outcome exchange(const std::vector<int>& body, int length, const std::function<bool(const Bytes&)>& valid,
                     Bytes& reply, bool answer = false);
    // One service-memory step; for a read, the answer's four digits.
    Outcome step(const std::vector<int>& body, bool read, int& value);
    Program& prog_;
};

}  // namespace orbus
