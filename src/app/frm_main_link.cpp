// The main window's side of the camera link: what the link needs from the
// window, the receive event, the console, addressing and the port going
// away and coming back.
#include "app/frm_main.h"

#include <algorithm>

#include "link/chain_health.h"
#include "app/port_problem.h"
#include "app/program.h"
#include "model/station.h"
#include "dialogs/menus.h"
#include "link/packet.h"
#include "pantilt/frm_pantilt.h"
#include "platform/digit_input.h"
#include "platform/platform.h"
#include "platform/serial_devices.h"
#include "platform/text.h"

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
    void linkChanged() override {
        facts_.changed(window_.cameraLink());
        window_.updateStatusLine();
    }
    void clearPresetHighlights() override {
        for (auto* arr : {&window_.PresetSet, &window_.PresetRecall, &window_.PresetReset}) {
            arr->forEach([](int, OptionButton& o) { o.setValue(false); });
        }
    }

private:
    FrmMain& window_;
    model::LinkFactsFeed facts_{window_.program().platform.poster, window_.program().cameras,
                                window_.program().chain};
};

// What the console says of the digits in the box when Enter is pressed:
// why nothing went out, or what looks wrong with a packet that did. Empty
// when all is well. The console sends what was typed as it is; these are
// only warnings.
std::string consoleNote(const std::string& digits) {
    if (digits.size() % 2 != 0) {
        return "Not sent: " + std::to_string(digits.size()) + (digits.size() == 1 ? " digit" : " digits") +
               "; a byte takes two";
    }
    if (digits.empty()) return "";
    auto digit = [&](std::size_t i) { return std::max(0, hexDigit(digits[i])); };
    auto byteAt = [&](std::size_t i) { return digit(i) * 16 + digit(i + 1); };
    const int header = byteAt(0);
    const bool badHeader = header < 0x81 || header > 0x88;
    const bool noEnd = byteAt(digits.size() - 2) != 0xFF;
    if (!badHeader && !noEnd) return "";
    std::string s = "Sent, but ";
    if (badHeader) s += "header " + digits.substr(0, 2) + " is not 81 to 88";
    if (badHeader && noEnd) s += ", ";
    if (noEnd) s += "no closing FF";
    return s;
}

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
        // An odd count sends nothing; the note says why. Otherwise the
        // packet goes out as typed, with a warning when it looks wrong.
        const std::string digits = DirectText.text();
        if (digits.size() % 2 == 0) {
            SendDirect();
            DirectText.setText("");
        }
        DirectNote.setCaption(consoleNote(digits));
        keyAscii = 0;
        return;
    }
    hexKeyFilter(keyAscii);
}

// Text that arrives by pasting is filtered like typed keys, so a pasted
// "81 01 04 ..." becomes 810104... and never puts wrong bytes on the wire.
void FrmMain::DirectText_Change() {
    keepHexDigits(DirectText);
    // Typing or pasting again: the last note is over (the box emptied after
    // a send keeps it).
    if (!DirectText.text().empty()) DirectNote.setCaption("");
}

std::string FrmMain::SendDirect() {
    const link::Command typed{link::CameraLink::typedBytes(DirectText.text()), link::Source::Console,
                              link::CommandPacer::Kind::Other, "", link::Pacing::AsTyped};
    return commands_.send(typed) == link::SendOutcome::Sent ? "OK" : "NG";
}

void FrmMain::cmdClearTxt_Click() {
    link_.clearLogs();
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
    prog_.cameras.setLength(n);
    CameraSel.forEach([&](int i, MenuItem& m) { m.setEnabled(i <= n); });
    if (!CameraSel.has(state_.CamAddress) || !CameraSel[state_.CamAddress].enabled()) {
        if (CameraSel.has(state_.CamAddress)) CameraSel[state_.CamAddress].setChecked(false);
        CameraSel[1].setChecked(true);
        link_.control().drive(1);
        prog_.cameras.setDriven(1);
        Active.setText("1");
        ReadCameraStatus();
    }
    updateStatusLine();
}

void FrmMain::CameraSel_Click(int index) {
    if (index < 1 || index > 7) return;
    // A head the keyboard moves belongs to the camera driven until now.
    program().frmPanTilt().keyDriveDetach();
    link_.control().drive(index);
    prog_.cameras.setDriven(index);
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
    dialogs::CameraSelected(program().context());
    updateStatusLine();
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
    statusMemory_.reopenedAt = platform_.clock.now();
    link_.portBack();
    return true;
}

// ---- status line ------------------------------------------------------------------

void FrmMain::wireStatusLine() {
    StatusTimer.onTick = [this] { StatusTimer_Timer(); };
    // What the console says about the last packet typed: read out when it
    // changes.
    DirectNote.setMessageRole("Console note");
    DirectNote.setGeometry(DirectText.left(), DirectText.top() + 390, std::max(0, DirectText.width() - 1200), 330);
    updateStatusLine();
}

void FrmMain::StatusTimer_Timer() { updateStatusLine(); }

void FrmMain::portOpened() {
    statusMemory_.opened = true;
    statusMemory_.path = !prog_.port.simulator.empty() ? "sim:" + prog_.port.simulator
                         : !prog_.port.network.empty() ? prog_.port.network
                                                       : portTarget(platform_.devices, prog_.port.CommPortNo).path;
    updateStatusLine();
}

void FrmMain::statusError(std::string words) {
    statusMemory_.error = std::move(words);
    statusMemory_.errorAt = platform_.clock.now();
    updateStatusLine();
}

void FrmMain::updateStatusLine() {
    using Port = StatusLineFacts::Port;
    const double now = platform_.clock.now();
    StatusLineFacts f;
    f.comNumber = prog_.port.CommPortNo;
    f.simulator = prog_.port.simulator;
    f.network = prog_.port.network;
    f.path = statusMemory_.path;
    f.opened = statusMemory_.opened;
    f.speed = static_cast<int>(leadingNumber(prog_.port.BaudText));
    if (prog_.remoteOn()) f.remoteClients = static_cast<int>(prog_.remoteHub().clientCount());

    const int address = state_.CamAddress;
    const CameraHealth& h = prog_.chain.camera(address);
    f.camera = address;
    // The model as the panel shows it once the camera was identified; the
    // last version answer of that address until then.
    f.model = prog_.model.VersionRead && !ModelVersion.text().empty() ? ModelVersion.text() : h.model;

    const ChainHealth::State state = prog_.chain.state(address, now);
    const bool overdue = h.inquirySentAt >= 0 && now - h.inquirySentAt > ChainHealth::kAnswerLimit;
    f.notOnChain = state == ChainHealth::State::NotOnChain;
    f.notAnswering = !f.notOnChain && (state == ChainHealth::State::NotAnswering || overdue);
    f.silentSince = h.unansweredSince >= 0 ? h.unansweredSince : h.lastTimeoutAt;
    f.unansweredInquiries = h.unansweredInquiries;
    f.lastReplyAt = h.lastReplyAt;
    // A broadcast back from the chain after the camera's last word (and
    // before anything asked of it since) shows the line works through it.
    const double chainBack = prog_.chain.broadcastBackAt();
    if (!f.notOnChain && chainBack > std::max({h.lastReplyAt, h.lastTimeoutAt, h.inquirySentAt, h.commandSentAt})) {
        f.notAnswering = false;
        f.lastReplyAt = chainBack;
    }
    const bool open = platform_.port.isOpen();
    if (!open) {
        f.port = link_.portLost() ? Port::Gone : Port::Closed;
    } else if (statusMemory_.reopenedAt >= 0 && f.lastReplyAt < statusMemory_.reopenedAt && !f.notAnswering) {
        f.port = Port::Reconnecting;
    } else {
        f.port = Port::Open;
    }

    // The later of the panel's last error and the camera's last error reply.
    f.lastError = statusMemory_.error;
    f.lastErrorAt = statusMemory_.errorAt;
    if (h.lastErrorAt >= 0 && h.lastErrorAt >= f.lastErrorAt) {
        f.lastError = "Error reply: " + CameraHealth::errorName(h.lastErrorCode);
        f.lastErrorAt = h.lastErrorAt;
    }

    // The port's loss keeps the time it was first seen gone.
    if (f.port != Port::Gone) statusMemory_.goneAt = -1;
    else if (statusMemory_.goneAt < 0) statusMemory_.goneAt = now;
    f.portGoneAt = statusMemory_.goneAt;
    statusMemory_.clock.see(now, platform_.clock.localTime());
    const StatusLineTexts t = statusLineTexts(f, now, statusMemory_.clock);
    StatusPort.setCaption(t.port);
    StatusCamera.setCaption(t.camera);
    StatusLink.setCaption(t.link);
    // The same facts decide whether the profile items can work.
    showProfileItems();
}

}  // namespace orbus
