// Camera addressing: interface clear of one camera or the whole chain,
// renumbering the chain, and choosing the camera the panel drives.
#include "app/frm_main.h"
#include "app/program.h"
#include "dialogs/menus.h"
#include "pantilt/frm_pantilt.h"
#include "link/packet.h"
#include "platform/platform.h"

namespace orbus {

void FrmMain::IFClear_Click() { SendValues({L.header(), 0x01, 0x00, 0x01, 0xFF}, kCommand); }

void FrmMain::IFClearB_Click() {
    // A port that went away is opened again here, so the operator can carry
    // on after plugging the adapter back in.
    if (!P.port.isOpen() && !reopenPort()) return;
    SD(ifClearBroadcast(), kCommand);
}

void FrmMain::AddressSet_Click() {
    if (SD(addressSetBroadcast(), kPolled) != "OK") {
        // SD turns receive events off before it writes: a port that refused
        // the write must not leave them off, or later replies would go
        // unread. A status read in progress (it refuses the send) keeps its
        // own setting.
        if (!L.StatusReading && P.port.rThreshold() == 0) P.port.setRThreshold(1);
        return;
    }
    const Bytes reply = WaitReply(4);
    EchoReceived(reply);
    if (P.port.rThreshold() == 0) P.port.setRThreshold(1);
    if (reply.size() >= 4 && reply[0] == 0x88 && reply[1] == 0x30 && reply[3] == 0xFF) {
        const int n = reply[2] - 1;
        CameraSel.forEach([&](int i, MenuItem& m) { m.setEnabled(i <= n); });
        if (!CameraSel.has(L.CamAddress) || !CameraSel[L.CamAddress].enabled()) {
            if (CameraSel.has(L.CamAddress)) CameraSel[L.CamAddress].setChecked(false);
            CameraSel[1].setChecked(true);
            L.CamAddress = 1;
            Active.setText("1");
            ReadCameraStatus();
        }
    }
}

void FrmMain::CameraSel_Click(int index) {
    if (index < 1 || index > 7) return;
    // A head the keyboard moves belongs to the camera driven until now.
    program().frmPanTilt().keyDriveDetach();
    L.CamAddress = index;
    CameraSel.forEach([&](int i, MenuItem& m) { m.setChecked(i == index); });
    Active.setText(std::to_string(index));
    program().model.VersionRead = false;
    ReadCameraStatus();
    dialogs::CameraSelected(program());
}

}  // namespace orbus
