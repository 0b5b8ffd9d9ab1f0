#include "dialogs/privacy_a.h"

#include "dialogs/packets.h"

#include "dialogs/context.h"
#include "dialogs/dialog_link.h"
#include "dialogs/host.h"
#include "link/send_mode.h"
#include "platform/digit_input.h"
#include "platform/text.h"

namespace orbus {

namespace {
constexpr int kCell = 240;  // twips per grid cell
constexpr int kGridLeft = 5300, kGridTop = 540;
}  // namespace

PrivacyA::PrivacyA(dialogs::Context& context) : Form("PrivacyA", "PrivacyZone Setting"), ctx_(context) {
    resize(9400, 5000);
    const char* heads[] = {"X: 0 to F", "Y: 0 to B", "Width: 1 to F", "Height: 1 to B"};
    const char* parts[] = {"X", "Y", "width", "height"};
    for (int i = 0; i < 4; ++i) {
        LblHead.add(i, *this, "LblHead", heads[i]).placeIn(nullptr, 1100 + i * 1000, 240, 980, 240);
        LblHead[i].setCentered(true);
    }
    for (int n = 0; n < 6; ++n) {
        const int y = 560 + n * 380;
        LblZone.add(n, *this, "LblZone", "Zone " + std::to_string(n + 1)).placeIn(nullptr, 150, y + 30, 900, 240);
        for (int i = 0; i < 4; ++i) {
            TextBox& z = Zones.add(4 * n + i, *this, "Zones", "0");
            z.placeIn(nullptr, 1100 + i * 1000 + 240, y, 500, 300);
            z.setCentered(true);
            z.setAccessibleName("Zone " + std::to_string(n + 1) + " " + parts[i]);
            acceptHexOnly(z, 1);
            auto filter = z.onChange;
            z.onChange = [this, filter] {
                filter();
                showZones();
            };
        }
    }
    ZoneGrid.placeIn(nullptr, kGridLeft, kGridTop, 16 * kCell, 12 * kCell);
    ZoneGrid.setGrid(16, 12);
    ZoneGrid.setAccessibleName("Zones on the picture");
    for (int i = 0; i < 16; ++i) {
        auto& l = LblGridX.add(i, *this, "LblGridX", std::string(1, hexDigitOf(static_cast<unsigned>(i))));
        l.placeIn(nullptr, kGridLeft + i * kCell, kGridTop - 260, kCell, 240);
        l.setCentered(true);
    }
    for (int j = 0; j < 12; ++j) {
        auto& l = LblGridY.add(j, *this, "LblGridY", std::string(1, hexDigitOf(static_cast<unsigned>(j))));
        l.placeIn(nullptr, kGridLeft - 260, kGridTop + j * kCell, 240, kCell);
        l.setCentered(true);
    }

    for (int i = 0; i < 3; ++i) {
        auto& b = cmdPZMset.add(i, *this, "cmdPZMset", "Privacy Set " + std::to_string(i + 1));
        b.placeIn(nullptr, 150 + i * 1650, 3000, 1550, 340);
        b.onClick = [this, i] { cmdPZMset_Click(i); };
    }
    CmdPrivacyOn.placeIn(nullptr, 150, 3460, 1550, 340);
    CmdPrivacyoff.placeIn(nullptr, 1800, 3460, 1550, 340);
    CmdClear.placeIn(nullptr, 3450, 3460, 1550, 340);
    SettingMode.placeIn(nullptr, 150, 3920, 900, 340);
    SettingMode.setAccessibleName("Automatic Set");
    LblAuto.placeIn(nullptr, 1150, 3970, 7900, 240);
    LblAutoState.placeIn(nullptr, 1150, 4300, 7900, 240);
    LblAutoState.setForeColor(rgb(192, 0, 0));
    LblAutoState.setAccessibleName("Automatic Set state");
    for (Control* c : {static_cast<Control*>(&ZoneGrid), static_cast<Control*>(&cmdPZMset[0]),
                       static_cast<Control*>(&cmdPZMset[1]), static_cast<Control*>(&cmdPZMset[2]),
                       static_cast<Control*>(&CmdPrivacyOn), static_cast<Control*>(&CmdPrivacyoff),
                       static_cast<Control*>(&CmdClear), static_cast<Control*>(&SettingMode),
                       static_cast<Control*>(&LblAuto), static_cast<Control*>(&LblAutoState)})
        appendToTabOrder(*c);

    CmdPrivacyOn.onClick = [this] { CmdPrivacyOn_Click(); };
    CmdPrivacyoff.onClick = [this] { CmdPrivacyoff_Click(); };
    CmdClear.onClick = [this] { CmdClear_Click(); };
    SettingMode.onClick = [this] { SettingMode_Click(); };
    Timer2.onTick = [this] { Timer2_Timer(); };
    onUnload = [this] { Form_Unload(); };
    dialogs::applyPacketTips(*this);
}

void PrivacyA::open() {
    ctx_.loaded(*this);
    if (!visible()) {
        // The resend waits for the operator: the camera's stored masks stay
        // until the boxes hold what should replace them.
        Timer2.setEnabled(false);
        SettingMode.setCaption("OFF");
        LblAutoState.setCaption("");
        dialogs::placeBesideMain(ctx_, *this, 100, 100);
    }
    show();
    raiseWithoutFocus();
}

void PrivacyA::sendOwn(dialogs::Packet packet) {
    // This dialog's own sends leave the link's switches alone and log nothing.
    if (auto p = dialogs::packetFor(ctx_, packet)) dialogs::DialogSD(ctx_, *p, link::kCommand, {nullptr, false});
}

void PrivacyA::CmdPrivacyOn_Click() { sendOwn(dialogs::Packet::ZonesOn); }
void PrivacyA::CmdPrivacyoff_Click() { sendOwn(dialogs::Packet::ZonesOff); }
void PrivacyA::CmdClear_Click() { sendOwn(dialogs::Packet::ZonesClear); }

std::optional<std::vector<int>> PrivacyA::setPacket(int index, std::string& wrong) const {
    std::vector<int> values{index};
    for (int k = 8 * index; k < 8 * index + 8; ++k) {
        const std::string& t = Zones[k].text();
        const int v = t.size() == 1 ? hexDigit(t[0]) : -1;
        if (v < 0 || v > kMax[k % 4]) {
            wrong = "Zone " + std::to_string(k / 4 + 1) + " " + LblHead[k % 4].caption();
            return std::nullopt;
        }
        values.push_back(v);
    }
    return dialogs::packetValues(ctx_.link().header(), dialogs::Packet::ZoneSet, values);
}

void PrivacyA::cmdPZMset_Click(int index) {
    if (index < 0 || index > 2) return;
    std::string wrong;
    const auto packet = setPacket(index, wrong);
    if (!packet) {
        dialogs::warn(ctx_, "\"" + wrong + "\" is not a value in that range.");
        return;
    }
    ctx_.dialogHost().sendValues(*packet, link::kCommand);
}

void PrivacyA::PrivacySet() {
    // A round still going out is not overtaken by the next.
    if (sending_.up()) return;
    std::vector<std::vector<int>> packets;
    std::string wrong;
    for (int i = 0; i < 3; ++i) {
        auto p = setPacket(i, wrong);
        if (!p) {
            // Sent every second: no message box, the state line says it.
            LblAutoState.setCaption("Not sent: \"" + wrong + "\" is not a value in that range.");
            return;
        }
        packets.push_back(std::move(*p));
    }
    LblAutoState.setCaption("");
    ctx_.dialogHost().start(
        [](PrivacyA& d, std::vector<std::vector<int>> sets, dialogs::RunFlag::Raised) -> link::Async<void> {
            dialogs::Host& host = d.ctx_.dialogHost();
            for (std::size_t i = 0; i < sets.size(); ++i) {
                if (i > 0) {
                    // The camera's time between the packets passes beside the window.
                    co_await host.pause(kWaitAuto);
                    // Switched off, closed or stopped for another camera
                    // meanwhile: the rest of the round stays unsent.
                    if (!d.Timer2.enabled()) co_return;
                }
                host.sendValues(sets[i], link::kCommand);
            }
        }(*this, std::move(packets), sending_.raise()));
}

void PrivacyA::SettingMode_Click() {
    if (SettingMode.caption() != "ON") {
        resendCamera_ = ctx_.link().CamAddress;
        Timer2.setEnabled(true);
        SettingMode.setCaption("ON");
        LblAutoState.setCaption("");
    } else {
        stopResend();
        LblAutoState.setCaption("");
    }
}

void PrivacyA::stopResend() {
    Timer2.setEnabled(false);
    SettingMode.setCaption("OFF");
}

void PrivacyA::cameraSelected() {
    if (!Timer2.enabled() || ctx_.link().CamAddress == resendCamera_) return;
    stopResend();
    LblAutoState.setCaption("Stopped: camera " + std::to_string(ctx_.link().CamAddress) +
                            " is selected now; the automatic Set was for camera " + std::to_string(resendCamera_) +
                            ".");
}

void PrivacyA::Timer2_Timer() {
    // The driven camera can change without a selection (an address set
    // that renumbers the chain): the masks never go to another camera.
    if (ctx_.link().CamAddress != resendCamera_) {
        cameraSelected();
        return;
    }
    PrivacySet();
}

void PrivacyA::showZones() {
    std::vector<Picture::Mark> marks;
    for (int n = 0; n < 6; ++n) {
        int v[4];
        bool ok = true;
        for (int i = 0; i < 4; ++i) {
            const std::string& t = Zones.has(4 * n + i) ? Zones[4 * n + i].text() : std::string();
            v[i] = t.size() == 1 ? hexDigit(t[0]) : -1;
            ok = ok && v[i] >= 0 && v[i] <= kMax[i];
        }
        if (ok && v[2] > 0 && v[3] > 0) marks.push_back({v[0], v[1], v[2], v[3], std::to_string(n + 1)});
    }
    ZoneGrid.setMarks(std::move(marks));
}

void PrivacyA::Form_Unload() {
    Timer2.setEnabled(false);
    hide();
    ctx_.unloaded(*this);
}

}  // namespace orbus
