// The main window's side of the camera link: what the link needs from the
// window, the receive event, the console, addressing and the port going
// away and coming back.
#include "app/frm_main.h"

#include "app/port_problem.h"
#include "app/program.h"
#include "dialogs/menus.h"
#include "link/packet.h"
#include "pantilt/frm_pantilt.h"
#include "platform/digit_input.h"
#include "platform/platform.h"

namespace orbus {

namespace {

class MainLinkWindow final : public link::LinkWindow {
public:
    explicit MainLinkWindow(FrmMain& window) : window_(window) {}
    TextBox& commandHistory() override { return window_.SendText; }
    TextBox& responseLog() override { return window_.RecvText; }
    int portNumber() const override { return window_.program().port.CommPortNo; }
    void drawRefresh() override { window_.drawRefresh(); }
    void commandWentOut(int camera) override { window_.commandWentOut(camera); }
    void clearPresetHighlight(int op, int no) override { window_.clearPresetHighlight(op, no); }
    void clearPresetHighlights() override {
        for (auto* arr : {&window_.PresetSet, &window_.PresetRecall, &window_.PresetReset}) {
            arr->forEach([](int, OptionButton& o) { o.setValue(false); });
        }
    }

private:
    FrmMain& window_;
};

}  // namespace

std::unique_ptr<link::LinkWindow> FrmMain::linkWindowOf(FrmMain& window) {
    return std::make_unique<MainLinkWindow>(window);
}

// ---- receive path and console -----------------------------------------------

void FrmMain::MSComm1_OnComm(int event) {
    switch (event) {
    case ComEvReceive:
        link_.portReceived();
        break;
    case ComEventGone:
        portGone();
        break;
    default:
        // Transmit done, modem-line changes and line errors need nothing.
        break;
    }
}

void FrmMain::DirectText_KeyPress(int& keyAscii) {
    if (keyAscii == 13) {
        if (DirectText.text().size() % 2 == 0) {
            SendDirect();
            DirectText.setText("");
        }
        keyAscii = 0;
        return;
    }
    hexKeyFilter(keyAscii);
}

// Text that arrives by pasting is filtered like typed keys, so a pasted
// "81 01 04 ..." becomes 810104... and never puts wrong bytes on the wire.
void FrmMain::DirectText_Change() { keepHexDigits(DirectText); }

std::string FrmMain::SendDirect() { return link_.sendTyped(DirectText.text()); }

void FrmMain::cmdClearTxt_Click() {
    SendText.setText("");
    RecvText.setText("");
    LineMeaning.setText("");
}

// ---- addressing ------------------------------------------------------------------

void FrmMain::IFClear_Click() { SendValues({state_.header(), 0x01, 0x00, 0x01, 0xFF}, kCommand); }

void FrmMain::IFClearB_Click() {
    // A port that went away is opened again here, so the operator can carry
    // on after plugging the adapter back in.
    if (!platform_.port.isOpen() && !reopenPort()) return;
    SD(ifClearBroadcast(), kCommand);
}

void FrmMain::AddressSet_Click() { tasks().start(addressSet()); }

link::Async<void> FrmMain::addressSet() {
    // The chain renumbers itself: a read in progress ends after its
    // exchange in flight, then the broadcast has the line to itself until
    // its answer.
    abandonRead();
    const std::optional<int> cameras = co_await link_.addressSetExchange();
    if (!cameras) co_return;
    const int n = *cameras;
    CameraSel.forEach([&](int i, MenuItem& m) { m.setEnabled(i <= n); });
    if (!CameraSel.has(state_.CamAddress) || !CameraSel[state_.CamAddress].enabled()) {
        if (CameraSel.has(state_.CamAddress)) CameraSel[state_.CamAddress].setChecked(false);
        CameraSel[1].setChecked(true);
        state_.CamAddress = 1;
        Active.setText("1");
        ReadCameraStatus();
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
        tasks().start([](FrmMain& m) -> link::Async<void> {
            link::Line::Hold after = co_await m.line().take();
            after.release();
            m.ReadCameraStatus();
        }(*this));
    }
    dialogs::CameraSelected(program());
}

// ---- the serial port going away and coming back ----------------------------------

void FrmMain::portGone() {
    if (!link_.closeLostPort()) return;
    // A head moving under the keyboard gets its stop once the port is back.
    prog_.frmPanTilt().keyDriveDetach();
    link_.dropLostPort();
}

bool FrmMain::reopenPort() {
    openPort();
    if (!platform_.port.isOpen()) {
        platform_.windows.message({MsgIcon::Exclamation, "Warning",
                                   "The serial port could not be opened (Com " +
                                       std::to_string(prog_.port.CommPortNo) + ").\r\n" + portTryText(portTry()),
                                   MsgButtons::Ok, true});
        return false;
    }
    link_.portBack();
    return true;
}

}  // namespace orbus
