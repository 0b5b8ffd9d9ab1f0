#include "dialogs/fset.h"

#include "dialogs/packets.h"

#include <iterator>

#include "dialogs/context.h"
#include "dialogs/dialog_link.h"
#include "dialogs/host.h"
#include "link/send_mode.h"
#include "platform/digit_input.h"

namespace orbus {

FSet::FSet(dialogs::Context& context) : Form("FSet", "Factory Set"), ctx_(context) {
    resize(6900, 5200);
    Label1.placeIn(nullptr, 240, 180, 6300, 480);
    Label2.placeIn(nullptr, 240, 680, 6300, 240);

    Frame2.setGeometry(240, 1020, 6300, 690);
    const char* speeds[] = {"9600 bps", "19200 bps", "38400 bps"};
    for (int i = 0; i < 3; ++i) {
        auto& b = CmdBaudRate.add(i, *this, "CmdBaudRate", speeds[i]);
        b.placeIn(&Frame2, 150 + i * 2040, 270, 1920, 330);
        b.onClick = [this, i] { CmdBaudRate_Click(i); };
    }

    Frame1.setGeometry(240, 1830, 6300, 1350);
    LblMode.placeIn(&Frame1, 150, 320, 600, 240);
    EPromText1.placeIn(&Frame1, 760, 290, 700, 300);
    LblData.placeIn(&Frame1, 1600, 320, 600, 240);
    EPromText2.placeIn(&Frame1, 2210, 290, 600, 300);
    EPromCmdRD.placeIn(&Frame1, 3000, 270, 1000, 330);
    EPromCmdWR.placeIn(&Frame1, 4080, 270, 1000, 330);
    EPromCmdSet.placeIn(&Frame1, 5160, 270, 990, 330);
    EPromWriteProtectrelesase.placeIn(&Frame1, 150, 840, 2400, 330);
    EPromCmdSens.placeIn(&Frame1, 2640, 840, 2400, 330);
    EPromText1.setAccessibleName("Memory address (Mode)");
    EPromText2.setAccessibleName("Memory data (Data)");
    EPromText1.setToolTip("Three hexadecimal digits");
    EPromText2.setToolTip("Two hexadecimal digits");
    acceptHexOnly(EPromText1, 3);
    acceptHexOnly(EPromText2, 2);
    for (TextBox* b : {&EPromText1, &EPromText2}) b->setCentered(true);

    EPSendText.placeIn(nullptr, 240, 3300, 6300, 1320);
    EPSendText.setMultiLine(true);
    EPSendText.setLocked(true);
    EPSendText.setAccessibleName("Factory Set commands sent");
    appendToTabOrder(Frame2);
    appendToTabOrder(Frame1);
    appendToTabOrder(EPSendText);

    EPromCmdRD.onClick = [this] { EPromCmdRD_Click(); };
    EPromCmdWR.onClick = [this] { EPromCmdWR_Click(); };
    EPromCmdSet.onClick = [this] { EPromCmdSet_Click(); };
    EPromWriteProtectrelesase.onClick = [this] { EPromWriteProtectrelesase_Click(); };
    EPromCmdSens.onClick = [this] { EPromCmdSens_Click(); };
    onUnload = [this] { Form_Unload(); };
    dialogs::applyPacketTips(*this);
}

bool FSet::send(dialogs::Packet packet, const std::vector<int>& values) {
    const auto p = dialogs::packetFor(ctx_, packet, values);
    return p && dialogs::DialogSD(ctx_, *p, link::kCommand, {&EPSendText}) == "OK";
}

// The camera takes its new speed after a power cycle; each step gets two
// seconds, which pass beside the window. The three steps go to the camera
// driven when the change began, whichever is chosen meanwhile, and a second
// change waits for none: it is refused while one runs. A write that did not
// go out ends the change there: the operator is told it failed and is not
// sent to switch the camera off for a speed it never got.
void FSet::CmdBaudRate_Click(int index) {
    if (index < 0 || index > 2 || changing_.up()) return;
    std::vector<Bytes> steps;
    for (const auto& [packet, values] : {std::pair{dialogs::Packet::ServiceMode, std::vector<int>{}},
                                         std::pair{dialogs::Packet::ProtectRelease, std::vector<int>{}},
                                         std::pair{dialogs::Packet::SpeedWrite, std::vector<int>{index}}}) {
        if (auto p = dialogs::packetFor(ctx_, packet, values)) steps.push_back(std::move(*p));
    }
    ctx_.dialogHost().start([](FSet& d, std::vector<Bytes> packets, dialogs::RunFlag::Raised) -> link::Async<void> {
        dialogs::Context& p = d.ctx_;
        bool sent = packets.size() == 3;
        for (std::size_t i = 0; sent && i < packets.size(); ++i) {
            if (i > 0) co_await p.dialogHost().pause(2.0);
            sent = dialogs::DialogSD(p, packets[i], link::kCommand, {&d.EPSendText}) == "OK";
        }
        if (!sent) {
            p.platform().windows.message({MsgIcon::Critical, "Factory Set",
                                          "The line speed was not changed: a command could not be sent to the "
                                          "camera.\r\nThe camera keeps its speed.",
                                          MsgButtons::Ok, true});
            co_return;
        }
        p.platform().windows.message({MsgIcon::Information, "Factory Set",
                                      " Please Turn off the Camera Power and Exit This program.", MsgButtons::Ok,
                                      true});
    }(*this, std::move(steps), changing_.raise()));
}

void FSet::memory(dialogs::Packet packet) {
    std::vector<int> values;
    if (!dialogs::appendHexField(ctx_, values, EPromText1, 3, "Mode")) return;
    if (packet != dialogs::Packet::MemoryRead && !dialogs::appendHexField(ctx_, values, EPromText2, 2, "Data")) return;
    send(packet, values);
}

void FSet::EPromCmdRD_Click() { memory(dialogs::Packet::MemoryRead); }
void FSet::EPromCmdWR_Click() { memory(dialogs::Packet::MemoryWrite); }
void FSet::EPromCmdSet_Click() { memory(dialogs::Packet::MemorySet); }
void FSet::EPromWriteProtectrelesase_Click() { send(dialogs::Packet::ProtectRelease); }
void FSet::EPromCmdSens_Click() { send(dialogs::Packet::ServiceMode); }

void FSet::Form_Unload() {
    hide();
    ctx_.unloaded(*this);
}

}  // namespace orbus
