// Camera addressing: interface clear of one camera or the whole chain,
// renumbering the chain, and choosing the camera the panel drives.
#include "app/frm_main.h"
#include "app/program.h"
#include "dialogs/menus.h"
#include "pantilt/frm_pantilt.h"
#include "link/packet.h"
#include "platform/platform.h"

namespace orbus {

void FrmMain::IFClear_Click() { SendValues({state_.header(), 0x01, 0x00, 0x01, 0xFF}, kCommand); }

void FrmMain::IFClearB_Click() {
    // A port that went away is opened again here, so the operator can carry
    // on after plugging the adapter back in.
    if (!platform_.port.isOpen() && !reopenPort()) return;
    SD(ifClearBroadcast(), kCommand);
}

void FrmMain::AddressSet_Click() { tasks_.start(addressSet()); }

link::Async<void> FrmMain::addressSet() {
    // The chain renumbers itself: a read in progress ends after its
    // exchange in flight, then the broadcast has the line to itself until
    // its answer.
    abandonRead();
    link::Line::Hold hold = co_await line_.take();
    if (SD(addressSetBroadcast(), kPolled) != "OK") co_return;
    const Bytes reply = co_await WaitReply(4);
    EchoReceived(reply);
    hold.release();
    if (reply.size() >= 4 && reply[0] == 0x88 && reply[1] == 0x30 && reply[3] == 0xFF) {
        const int n = reply[2] - 1;
        CameraSel.forEach([&](int i, MenuItem& m) { m.setEnabled(i <= n); });
        if (!CameraSel.has(state_.CamAddress) || !CameraSel[state_.CamAddress].enabled()) {
            if (CameraSel.has(state_.CamAddress)) CameraSel[state_.CamAddress].setChecked(false);
            CameraSel[1].setChecked(true);
            state_.CamAddress = 1;
            Active.setText("1");
            ReadCameraStatus();
        }
    }
}

void FrmMain::CameraSel_Click(int index) {
    if (index < 1 || index > 7) return;
    // A head the keyboard moves belongs to the camera driven until now.
    program().frmPanTilt().keyDriveDetach();
    state_.CamAddress = index;
    CameraSel.forEach([&](int i, MenuItem& m) { m.setChecked(i == index); });
    Active.setText(std::to_string(index));
    program().model.VersionRead = false;
    // A read of the camera driven until now ends after its exchange in
    // flight; the new camera is read next.
    abandonRead();
    if (!ReadCameraStatus() && state_.StatusReadBusy) {
        // Queue behind the read in progress.
        tasks_.start([](FrmMain& m) -> link::Async<void> {
            link::Line::Hold after = co_await m.line().take();
            after.release();
            m.ReadCameraStatus();
        }(*this));
    }
    dialogs::CameraSelected(program());
}

}  // namespace orbus
