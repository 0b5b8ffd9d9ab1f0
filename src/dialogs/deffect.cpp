#include "dialogs/deffect.h"

#include "dialogs/packets.h"

#include "dialogs/context.h"
#include "dialogs/dialog_link.h"
#include "dialogs/host.h"
#include "link/send_mode.h"
#include "platform/digit_input.h"
#include "platform/text.h"

namespace orbus {

FrmDeffect::FrmDeffect(dialogs::Context& context) : Form("FrmDeffect", "Digital Effect Level"), ctx_(context) {
    resize(4200, 1900);
    Label1.placeIn(nullptr, 240, 300, 2000, 240);
    DELevel.placeIn(nullptr, 2300, 255, 800, 300);
    UpDown1.placeIn(nullptr, 3100, 255, 240, 300);
    DELevelOK.placeIn(nullptr, 1300, 900, 1100, 360);
    DELevelCancel.placeIn(nullptr, 2520, 900, 1100, 360);
    DELevel.setCentered(true);
    DELevel.setAccessibleName("Digital Effect Level");
    UpDown1.setAccessibleName("Digital Effect Level arrows");
    DELevel.setToolTip("0 to 32 (the box takes up to " + std::to_string(kMaxLevel) + ", the most one packet byte holds)");
    acceptDecimalOnly(DELevel, 3);
    DELevelOK.setDefault(true);

    DELevelOK.onClick = [this] { DELevelOK_Click(); };
    DELevelCancel.onClick = [this] { DELevelCancel_Click(); };
    onUnload = [this] { Form_Unload(); };
    dialogs::applyPacketTips(*this);
}

void FrmDeffect::DELevelOK_Click() {
    const std::string& t = DELevel.text();
    const long level = leadingNumber(t);
    // One byte of the packet body: a level from 0x80 up would look like a
    // header, and 0xFF would end the packet early.
    if (t.empty() || level < 0 || level > kMaxLevel) {
        dialogs::warn(ctx_, "\"Digital Effect Level\" must be a number from 0 to " + std::to_string(kMaxLevel) + ".");
        return;
    }
    dialogs::Host& host = ctx_.dialogHost();
    host.sendValues(
        dialogs::packetValues(ctx_.link().header(), dialogs::Packet::EffectLevel, {static_cast<int>(level)}),
        link::kCommand);
    hide();
    // The level's own completion (or the watchdog) resumes the refresh that
    // sending it paused.
    host.giveRefreshBack();
}

void FrmDeffect::DELevelCancel_Click() { unload(); }

// Closing gives back the refresh held while the dialog was open.
void FrmDeffect::Form_Unload() {
    hide();
    ctx_.unloaded(*this);
    dialogs::giveTimersBack(ctx_);
}

}  // namespace orbus
