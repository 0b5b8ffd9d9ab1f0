// Port dialog "Com Setting": serial port (or the built-in simulator, or a
// serial device server on the network) and baud rate; after a failed try,
// why, and what to do.
#pragma once

#include <array>
#include <string>

#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

class Program;

class FrmOpen : public Form {
public:
    explicit FrmOpen(Program& program);

    // The speeds offered, by option button, and the list entry after "Com 12".
    static constexpr std::array<int, 3> kSpeeds{9600, 38400, 19200};
    static constexpr int kSimulatorEntry = 12;
    static constexpr int kNetworkEntry = 13;
    // Where the last network address is kept between runs.
    static constexpr const char* kAddressSetting = "NetAddress";
    static constexpr const char* kDefaultModels = "ORX-Kappa,ORX-Beta,KBM-R20";

    Label Label1;
    ComboBox ComList1;
    // The simulated chain's models; shown for the "Simulator" entry only.
    TextBox TxtModels;
    // The device server's address; shown for the "Network..." entry only.
    TextBox TxtAddress;
    // The device behind the selected entry, or "No serial device".
    Label LblDevice;
    Frame Frame1;
    ControlArray<OptionButton> OBrate;
    Button Command1;
    Label LblDBG0;
    // Why the last try failed and what to do (selectable, for a support request).
    Label LblReason;
    // Looks at the devices present about once a second while the dialog is shown.
    Timer TimerDevices;

    void Form_Load();
    void ComList1_Click();
    // Shows in LblDevice what the selected entry opens now (devices come and go).
    void ShowDevice();
    void Command1_Click();
    void Form_Unload();

    // Shows the dialog again after a failed try.
    void showAgain();
    // The reason under the error line (hidden while empty), for the entry
    // selected now: choosing another entry clears it. Written to standard
    // error as well unless told not to.
    void showReason(const std::string& reason, bool toStandardError = true);
    // Selects the option button of this speed (one the dialog offers).
    void selectSpeed(int baud);
    bool simulatorChosen() const { return ComList1.listIndex() == kSimulatorEntry; }
    bool networkChosen() const { return ComList1.listIndex() == kNetworkEntry; }

private:
    // The port number of the selected entry ("Com n": n).
    int selectedPort() const;

    Program& prog_;
    int reasonEntry_ = -1;  // the entry the reason shown belongs to
};

}  // namespace orbus
