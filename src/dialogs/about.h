// "Version Information" (this program) and "more Infomation" (the driven
// camera's ROM version and, for three pan-tilt models, what its service
// memory says about its manufacture).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "dialogs/dialog_link.h"
#include "link/async.h"
#include "platform/control.h"
#include "platform/form.h"
#include "platform/serial_port.h"

namespace orbus {

namespace dialogs {
class Context;
}

class FrmAbout : public Form {
public:
    explicit FrmAbout(dialogs::Context& context);

    Label lblTitle{*this, "lblTitle", ""};
    Label lblVersion{*this, "lblVersion", ""};
    Label lblDescription{*this, "lblDescription", ""};
    Label lblSyouhyou{*this, "lblSyouhyou", ""};
    Label lblTyosakukenn{*this, "lblTyosakukenn", ""};
    Button more{*this, "more", "more Info."};
    Button OK{*this, "OK", "OK"};

    // The program's own lines.
    static constexpr const char* kTitleLine = "ORBUS Panel";
    static constexpr const char* kDescriptionLine =
        "Control panel for ORX pan-tilt and KBM block cameras on a serial line.";
    static constexpr const char* kTrademarkLine =
        "ORX, KBM and ORBUS are names of the camera series and their protocol.";
    static constexpr const char* kCompanyLine = "ORBUS Panel project";
    static constexpr const char* kLegalLine = "Provided as is, without warranty of any kind.";

    // "Version 1.0  Revision 0" for version 1.0.0.
    static std::string versionText(int major, int minor, int revision);

    void open();
    void Form_Load();
    void more_Click();
    void OK_Click();
    void Form_Unload();

private:
    dialogs::Context& ctx_;
};

class Frmmoreinfo : public Form {
public:
    explicit Frmmoreinfo(dialogs::Context& context);

    Frame Frame1{*this, "Frame1", "Camera No."};
    Label LblRomVer{*this, "LblRomVer", "ROM Version"};
    Label LblDate{*this, "LblDate", "Date of Manufacture"};
    Label LblRemodel{*this, "LblRemodel", "CamBlock Remodeling"};
    Button OKButton{*this, "OKButton", "OK"};

    // Attempts of one exchange whose answers keep coming back wrong before
    // it and the rest are given up.
    static constexpr int kAttempts = 7;

    // Reads the camera beside the window, then shows modally; opens once
    // however often it is asked meanwhile.
    void open();
    // Fills the window from the driven camera: its own ROM version and, for
    // the three models that keep one, the manufacture record of its service
    // memory. False when the camera gave no usable answer; that has then
    // been said in one message and the window is not shown. Every packet
    // goes to the camera driven when it began, also when another one is
    // chosen meanwhile: the camera asked into its debug mode is the one
    // taken out of it.
    link::Async<bool> Form_Load();
    void OKButton_Click();
    void Form_Unload();

private:
    dialogs::RunFlag opening_;
    enum class Outcome { Done, Wrong, Silent };
    struct Reply {
        Outcome outcome;
        Bytes bytes;
    };
    struct Read {
        Outcome outcome;
        int value = 0;
    };
    // One exchange with a camera: the packet (nothing: a packet that could
    // not be built) sent
    // quietly, the reply awaited and checked, sent again while the reply is
    // wrong, up to kAttempts times. A wait that ends without the awaited
    // bytes ends it at once. An inquiry's `answer` hands a command's replies
    // that come first to the completion check.
    link::Async<Reply> exchange(std::optional<Bytes> packet, int length, std::function<bool(const Bytes&)> valid,
                                bool answer = false);
    // One service-memory step to the camera whose header is given; for a
    // read, the answer's four digits.
    link::Async<Read> step(int header, dialogs::Packet packet, bool read);
    dialogs::Context& ctx_;
};

}  // namespace orbus
