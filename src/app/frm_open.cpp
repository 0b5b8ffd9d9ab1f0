#include "app/frm_open.h"

#include <cstdio>

#include "app/frm_main.h"
#include "app/program.h"
#include "chain.h"
#include "platform/net_address.h"
#include "platform/serial_devices.h"

namespace orbus {

namespace {

// What the device line says of a typed network address.
std::string networkText(const std::string& typed) {
    if (typed.empty()) return "Serial device server: type its address, " + std::string(kNetAddressForms);
    NetAddress a;
    std::string why;
    if (!parseNetAddress(typed, a, &why)) return "Not a network address: " + why + " (" + kNetAddressForms + ")";
    if (a.kind == NetAddress::Kind::Raw)
        return "Serial device server at " + hostPortText(a) + ", raw TCP: the line's speed is the server's own setting";
    return "Serial device server at " + hostPortText(a) + ", RFC 2217: the panel sets the line's speed";
}

// "ORX-Kappa,ORX-Beta" as the label shows it: "ORX-Kappa, ORX-Beta".
std::string modelsText(const sim::ModelListCheck& c) {
    std::string s;
    for (const std::string& m : c.models) s += (s.empty() ? "" : ", ") + m;
    if (c.baud > 0) s += ", listening at " + std::to_string(c.baud) + " bps";
    return s;
}

}  // namespace

FrmOpen::FrmOpen(Program& program)
    : Form("FrmOpen", "Com Setting"),
      Label1(*this, "Label1", "Com Port"),
      ComList1(*this, "ComList1"),
      TxtModels(*this, "TxtModels", kDefaultModels),
      TxtAddress(*this, "TxtAddress", ""),
      LblDevice(*this, "LblDevice", ""),
      Frame1(*this, "Frame1", "BaudRate"),
      Command1(*this, "Command1", "OK"),
      LblDBG0(*this, "LblDBG0", ""),
      LblReason(*this, "LblReason", ""),
      TimerDevices(*this, "TimerDevices", 1000, false),
      prog_(program) {
    resize(6360, 5280);
    Label1.setGeometry(240, 240, 1200, 255);
    ComList1.setGeometry(1440, 180, 2160, 315);
    for (int i = 1; i <= 12; ++i) ComList1.addItem("Com " + std::to_string(i));
    ComList1.addItem("Simulator");
    ComList1.addItem("Network\u2026");
    ComList1.setAccessibleName("Com Port");
    TxtModels.setGeometry(3720, 180, 2400, 315);
    TxtModels.setAccessibleName("Simulated camera models");
    TxtModels.setToolTip("Camera models of the simulated chain, separated by commas (1 to 7); "
                         "@38400 at the end makes them listen at that speed only");
    TxtModels.setVisible(false);
    TxtAddress.setGeometry(3720, 180, 2400, 315);
    TxtAddress.setAccessibleName("Network address");
    TxtAddress.setToolTip(std::string("The serial device server's address: ") + kNetAddressForms +
                          " (tcp: the bytes as they are; rfc2217: the panel also sets the line's speed)");
    TxtAddress.setVisible(false);
    // Two lines: a long device description wraps.
    LblDevice.setGeometry(240, 600, 5880, 480);
    LblDevice.setMessageRole("Serial device");
    Frame1.setGeometry(240, 1200, 3360, 1080);
    auto& o0 = OBrate.add(0, *this, "OBrate", " 9600bps");
    auto& o1 = OBrate.add(1, *this, "OBrate", " 38400bps");
    // A camera the service dialog set to 19200 bps stays reachable.
    auto& o2 = OBrate.add(2, *this, "OBrate", " 19200bps");
    o0.placeIn(&Frame1, 240, 330, 1400, 300);
    o1.placeIn(&Frame1, 1700, 330, 1500, 300);
    o2.placeIn(&Frame1, 240, 660, 1400, 300);
    Command1.setGeometry(4800, 1860, 1320, 420);
    Command1.setDefault(true);
    LblDBG0.setGeometry(240, 2460, 5880, 540);
    LblDBG0.setMessageRole("Port error");
    LblDBG0.setForeColor(rgb(192, 0, 0));
    LblReason.setGeometry(240, 3060, 5880, 1680);
    LblReason.setMessageRole("Why, and what to do");
    LblReason.setSelectable(true);
    LblReason.setVisible(false);
    // The speed buttons were added after OK: the frame and its buttons come
    // back before it in tab order.
    appendToTabOrder(Frame1);
    appendToTabOrder(Command1);
    appendToTabOrder(LblDBG0);
    appendToTabOrder(LblReason);

    ComList1.onClick = [this] { ComList1_Click(); };
    TxtModels.onChange = [this] { ShowDevice(); };
    TxtAddress.onChange = [this] { ShowDevice(); };
    Command1.onClick = [this] { Command1_Click(); };
    TimerDevices.onTick = [this] {
        if (visible()) ShowDevice();
        else TimerDevices.setEnabled(false);
    };
    onUnload = [this] { Form_Unload(); };
}

void FrmOpen::Form_Load() {
    ComList1.setListIndex(0);
    TxtAddress.setText(prog_.setting(kAddressSetting, ""));
    OBrate[0].setValue(true);
    ShowDevice();
    TimerDevices.setEnabled(true);
}

void FrmOpen::showAgain() {
    // The operator may have plugged an adapter in since the dialog was shown.
    ShowDevice();
    show();
    TimerDevices.setEnabled(true);
}

void FrmOpen::ComList1_Click() {
    // A reason speaks of the entry it was found on; the error line keeps
    // its caption until the next try.
    if (reasonEntry_ >= 0 && ComList1.listIndex() != reasonEntry_) showReason("", false);
    ShowDevice();
}

void FrmOpen::ShowDevice() {
    const bool sim = simulatorChosen();
    TxtModels.setVisible(sim);
    TxtAddress.setVisible(networkChosen());
    if (networkChosen()) {
        LblDevice.setCaption(networkText(TxtAddress.text()));
        return;
    }
    if (!sim) {
        LblDevice.setCaption(portTargetText(portTarget(prog_.platform.devices, selectedPort())));
        return;
    }
    const sim::ModelListCheck c = sim::checkModelList(TxtModels.text());
    std::string chain = "Built-in simulated chain: ";
    if (c.empty) chain += "type 1 to 7 camera models, separated by commas";
    else if (!c.unknown.empty()) chain += "\"" + c.unknown + "\" is not a camera model";
    else if (c.tooMany) chain += "at most 7 cameras";
    else if (c.badSpeed) chain += "the speed after '@' is 9600, 19200 or 38400";
    else chain += modelsText(c);
    LblDevice.setCaption(chain);
}

void FrmOpen::showReason(const std::string& reason, bool toStandardError) {
    LblReason.setCaption(reason);
    // Empty, it is no stop on the way through the dialog.
    LblReason.setVisible(!reason.empty());
    reasonEntry_ = reason.empty() ? -1 : ComList1.listIndex();
    if (reason.empty() || !toStandardError) return;
    std::string head = LblDBG0.caption();
    for (char& ch : head) {
        if (ch == '\r' || ch == '\n') ch = ' ';
    }
    std::string line;
    for (char ch : head) {
        if (ch != ' ' || (!line.empty() && line.back() != ' ')) line += ch;
    }
    std::fprintf(stderr, "orbus-panel: %s: %s\n", line.c_str(), reason.c_str());
}

void FrmOpen::selectSpeed(int baud) {
    for (std::size_t i = 0; i < kSpeeds.size(); ++i) {
        if (kSpeeds[i] == baud) OBrate[static_cast<int>(i)].setValue(true);
    }
}

void FrmOpen::Command1_Click() {
    PortChoice& pc = prog_.port;
    std::string models;
    std::string address;
    if (simulatorChosen()) {
        const sim::ModelListCheck c = sim::checkModelList(TxtModels.text());
        std::string refusal;
        if (c.empty) refusal = "Type the camera models of the simulated chain, separated by commas.";
        else if (!c.unknown.empty()) refusal = "\"" + c.unknown + "\" is not a camera model the simulator knows.";
        else if (c.tooMany) refusal = "A chain holds at most 7 cameras.";
        else if (c.badSpeed) refusal = "After '@' comes the speed the cameras listen at: 9600, 19200 or 38400.";
        if (!refusal.empty()) {
            // Nothing is opened: the operator corrects the list.
            LblDBG0.setCaption("");
            showReason(refusal + " Known models: " + sim::knownModelNames() + ".", false);
            return;
        }
        models = TxtModels.text();
    } else if (networkChosen()) {
        NetAddress a;
        std::string why;
        if (!parseNetAddress(TxtAddress.text(), a, &why)) {
            LblDBG0.setCaption("");
            const std::string typed = TxtAddress.text();
            showReason((typed.empty() ? std::string("Type the device server's address") : "\"" + typed + "\" is not a network address: " + why) +
                           ". Write " + kNetAddressForms + ", for example rfc2217://10.0.0.5:7001.",
                       false);
            return;
        }
        address = TxtAddress.text();
        prog_.saveSetting(kAddressSetting, address);
    } else {
        pc.CommPortNo = selectedPort();
    }
    // The simulator and the network leave the port number, and so what is
    // saved, as it was.
    pc.simulator = models;
    pc.network = address;
    for (std::size_t i = 0; i < kSpeeds.size(); ++i) {
        if (OBrate[static_cast<int>(i)].value()) pc.BaudText = std::to_string(kSpeeds[i]);
    }
    pc.PortChosen = true;
    TimerDevices.setEnabled(false);
    hide();
    FrmMain& main = prog_.frmMain();
    if (!main.isLoaded()) main.Form_Load();
}

int FrmOpen::selectedPort() const {
    const int i = ComList1.listIndex();
    return (i < 0 || i >= kSimulatorEntry ? 0 : i) + 1;
}

void FrmOpen::Form_Unload() {
    TimerDevices.setEnabled(false);
    hide();
    prog_.unloaded(*this);
    if (!prog_.port.PortChosen) prog_.end();
}

}  // namespace orbus
