#include "dialogs/aes.h"

#include "dialogs/packets.h"

#include "dialogs/context.h"
#include "dialogs/dialog_link.h"
#include "link/send_mode.h"
#include "platform/digit_input.h"

namespace orbus {

FrmAES::FrmAES(dialogs::Context& context) : Form("FrmAES", "AE SPOT"), ctx_(context) {
    resize(6300, 4400);
    // Left: the switch, the position boxes and their button; right: the grid.
    AESpotON.placeIn(nullptr, 240, 240, 900, 330);
    AESpotOFF.placeIn(nullptr, 1200, 240, 900, 330);
    LblPosX.placeIn(nullptr, 240, 840, 1100, 240);
    AESpotPosX.placeIn(nullptr, 1400, 800, 500, 300);
    LblPosY.placeIn(nullptr, 240, 1240, 1100, 240);
    AESpotPosY.placeIn(nullptr, 1400, 1200, 500, 300);
    AESpotSet.placeIn(nullptr, 240, 1680, 1860, 330);
    LblQ0.placeIn(nullptr, 2400, 240, 300, 240);
    LblQF.placeIn(nullptr, 5380, 240, 560, 240);
    SpotGrid.placeIn(nullptr, 2700, 500, 2640, 2400);
    LblSF.placeIn(nullptr, 5380, 2660, 560, 240);
    AESpot.placeIn(nullptr, 240, 3000, 5700, 900);
    for (TextBox* b : {&AESpotPosX, &AESpotPosY}) {
        b->setCentered(true);
        acceptHexOnly(*b, 1);
    }
    AESpotPosX.setAccessibleName("Spot position q");
    AESpotPosY.setAccessibleName("Spot position s");
    AESpotON.setAccessibleName("Spot metering ON");
    AESpotOFF.setAccessibleName("Spot metering OFF");
    SpotGrid.setAccessibleName("Spot position on the picture");
    SpotGrid.setGrid(16, 16);
    AESpot.setMultiLine(true);
    AESpot.setLocked(true);
    AESpot.setAccessibleName("AE SPOT commands sent");
    AESpotSet.setDefault(true);

    AESpotON.onClick = [this] { AESpotON_Click(); };
    AESpotOFF.onClick = [this] { AESpotOFF_Click(); };
    AESpotSet.onClick = [this] { AESpotSet_Click(); };
    onUnload = [this] { Form_Unload(); };
    dialogs::applyPacketTips(*this);
}

void FrmAES::send(dialogs::Packet packet, const std::vector<int>& values) {
    if (auto p = dialogs::packetFor(ctx_, packet, values)) dialogs::DialogSD(ctx_, *p, link::kCommand, {&AESpot});
}

void FrmAES::AESpotON_Click() { send(dialogs::Packet::SpotOn); }

void FrmAES::AESpotOFF_Click() { send(dialogs::Packet::SpotOff); }

void FrmAES::AESpotSet_Click() {
    std::vector<int> qs;
    if (!dialogs::appendHexField(ctx_, qs, AESpotPosX, 1, "q")) return;
    if (!dialogs::appendHexField(ctx_, qs, AESpotPosY, 1, "s")) return;
    send(dialogs::Packet::SpotSet, qs);
    SpotGrid.setMarks({{qs[0], qs[1], 1, 1, ""}});
}

// The refresh comes back whole: a command paused before the dialog opened
// had its completion held while it was open, so the button comes back too.
void FrmAES::Form_Unload() {
    hide();
    ctx_.unloaded(*this);
    dialogs::giveTimersBack(ctx_);
}

}  // namespace orbus
