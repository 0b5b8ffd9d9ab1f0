#include "app/frm_open.h"

#include "app/frm_main.h"
#include "app/program.h"
#include "platform/serial_devices.h"

namespace orbus {

FrmOpen::FrmOpen(Program& program)
    : Form("FrmOpen", "Com Setting"),
      Label1(*this, "Label1", "Com Port"),
      ComList1(*this, "ComList1"),
      LblDevice(*this, "LblDevice", ""),
      Frame1(*this, "Frame1", "BaudRate"),
      Command1(*this, "Command1", "OK"),
      LblDBG0(*this, "LblDBG0", ""),
      prog_(program) {
    resize(3900, 3540);
    Label1.setGeometry(240, 240, 1200, 255);
    ComList1.setGeometry(1440, 180, 2160, 315);
    for (int i = 1; i <= 12; ++i) ComList1.addItem("Com " + std::to_string(i));
    ComList1.setAccessibleName("Com Port");
    // Two lines: a long device description wraps.
    LblDevice.setGeometry(240, 600, 3360, 480);
    LblDevice.setMessageRole("Serial device");
    Frame1.setGeometry(240, 1200, 3360, 1080);
    auto& o0 = OBrate.add(0, *this, "OBrate", " 9600bps");
    auto& o1 = OBrate.add(1, *this, "OBrate", " 38400bps");
    // A camera the service dialog set to 19200 bps stays reachable.
    auto& o2 = OBrate.add(2, *this, "OBrate", " 19200bps");
    o0.placeIn(&Frame1, 240, 330, 1400, 300);
    o1.placeIn(&Frame1, 1700, 330, 1500, 300);
    o2.placeIn(&Frame1, 240, 660, 1400, 300);
    Command1.setGeometry(2280, 2520, 1320, 420);
    Command1.setDefault(true);
    LblDBG0.setGeometry(240, 2460, 1980, 540);
    LblDBG0.setMessageRole("Port error");
    LblDBG0.setForeColor(rgb(192, 0, 0));
    // The speed buttons were added after OK: the frame and its buttons come
    // back before it in tab order.
    appendToTabOrder(Frame1);
    appendToTabOrder(Command1);
    appendToTabOrder(LblDBG0);

    ComList1.onClick = [this] { ComList1_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    onUnload = [this] { Form_Unload(); };
}

void FrmOpen::Form_Load() {
    ComList1.setListIndex(0);
    OBrate[0].setValue(true);
    ShowDevice();
}

void FrmOpen::ComList1_Click() { ShowDevice(); }

void FrmOpen::ShowDevice() {
    LblDevice.setCaption(portTargetText(portTarget(prog_.platform.devices, selectedPort())));
}

void FrmOpen::Command1_Click() {
    PortChoice& pc = prog_.port;
    pc.CommPortNo = selectedPort();
    if (OBrate[0].value()) pc.BaudText = "9600";
    if (OBrate[1].value()) pc.BaudText = "38400";
    if (OBrate[2].value()) pc.BaudText = "19200";
    pc.PortChosen = true;
    hide();
    FrmMain& main = prog_.frmMain();
    if (!main.isLoaded()) main.Form_Load();
}

int FrmOpen::selectedPort() const { return (ComList1.listIndex() < 0 ? 0 : ComList1.listIndex()) + 1; }

void FrmOpen::Form_Unload() {
    hide();
    prog_.unloaded(*this);
    if (!prog_.port.PortChosen) prog_.end();
}

}  // namespace orbus
