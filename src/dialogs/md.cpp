#include "dialogs/md.h"

#include "dialogs/packets.h"

#include <cstdio>

#include "dialogs/context.h"
#include "dialogs/dialog_link.h"
#include "dialogs/host.h"
#include "link/send_mode.h"
#include "platform/digit_input.h"
#include "platform/text.h"

namespace orbus {

const char* const FrmMD::kModes[13] = {
    "(0)Focus Position", "(1)Focus Time",    "(2)AE Level",      "(3)AE Time",       "(4) (0) and (2)",
    "(5) (0) and (3)",   "(6) (1) and (2)",  "(7) (1) and (3)",  "(8) (0)  or  (2)", "(9) (0)  or  (3)",
    "(10) (1) or  (2)",  "(11) (1) or  (3)", "Day & Night",
};

namespace {

// A 12-bit level as three upper-case hexadecimal digits.
std::string level3(int v) {
    return hexPadded(static_cast<unsigned>(v & 0xFFF), 3);
}

// A level from three answer bytes, one digit each.
int levelAt(const Bytes& r, std::size_t i) { return (r[i] & 0xF) * 256 + (r[i + 1] & 0xF) * 16 + (r[i + 2] & 0xF); }

}  // namespace

FrmMD::FrmMD(dialogs::Context& context) : Form("FrmMD", "Alarm"), ctx_(context) {
    resize(8600, 5900);
    LblMode.placeIn(nullptr, 150, 280, 1800, 240);
    ComboSetMD.placeIn(nullptr, 2000, 240, 2400, 320);
    for (const char* m : kModes) ComboSetMD.addItem(m);
    ComboSetMD.setAccessibleName("Alarm mode");
    comSetMD.placeIn(nullptr, 4500, 230, 1700, 340);
    cmdsetMDinq.placeIn(nullptr, 6300, 230, 1900, 340);
    comSetMD.setAccessibleName("Set Alarm Mode Send Command");
    cmdsetMDinq.setAccessibleName("Set Alarm Mode Inquiry Command");

    LblLevel.placeIn(nullptr, 150, 920, 1800, 240);
    LblDay.placeIn(nullptr, 2000, 640, 700, 240);
    LblNight.placeIn(nullptr, 2800, 640, 700, 240);
    LblNow.placeIn(nullptr, 3600, 640, 700, 240);
    for (Label* l : {&LblDay, &LblNight, &LblNow}) l->setCentered(true);
    txtMDday.placeIn(nullptr, 2000, 880, 700, 300);
    txtMDnight.placeIn(nullptr, 2800, 880, 700, 300);
    cmdsetMDtime.placeIn(nullptr, 4500, 860, 1700, 340);
    cmdLevelInq.placeIn(nullptr, 6300, 860, 1900, 340);
    cmdsetMDtime.setAccessibleName("Set Day/Night AE Level Send Command");
    LblRead.placeIn(nullptr, 150, 1330, 1800, 240);
    txtMDdayR.placeIn(nullptr, 2000, 1290, 700, 300);
    txtMDnightR.placeIn(nullptr, 2800, 1290, 700, 300);
    txtMDc.placeIn(nullptr, 3600, 1290, 700, 300);
    const struct {
        TextBox* box;
        const char* name;
    } levels[] = {{&txtMDday, "Day level"},
                  {&txtMDnight, "Night level"},
                  {&txtMDdayR, "Day level read back"},
                  {&txtMDnightR, "Night level read back"},
                  {&txtMDc, "Now level"}};
    for (const auto& l : levels) {
        l.box->setCentered(true);
        l.box->setAccessibleName(l.name);
    }
    for (TextBox* b : {&txtMDdayR, &txtMDnightR, &txtMDc}) b->setLocked(true);
    acceptHexOnly(txtMDday, 3);
    acceptHexOnly(txtMDnight, 3);
    txtMDday.setToolTip("Three hexadecimal digits, 000 to FFF");
    txtMDnight.setToolTip("Three hexadecimal digits, 000 to FFF");
    FmNowSet.setGeometry(4500, 1240, 3700, 700);
    for (int i = 0; i < 2; ++i) {
        auto& b = Command1.add(i, *this, "Command1", i == 0 ? "Day" : "Night");
        b.placeIn(&FmNowSet, 150 + i * 1800, 270, 1650, 330);
        b.setAccessibleName(std::string("Now Value Set ") + b.caption());
        b.onClick = [this, i] { Command1_Click(i); };
    }

    FmDetect.setGeometry(150, 2080, 4150, 640);
    OpMDon.placeIn(&FmDetect, 300, 300, 1000, 240);
    OpMDoff.placeIn(&FmDetect, 1600, 300, 1000, 240);
    OpMDon.setAccessibleName("Alarm Detect ON");
    OpMDoff.setAccessibleName("Alarm Detect OFF");
    cmdMDstart.placeIn(nullptr, 4500, 2240, 1700, 340);
    cmdMDSSunq.placeIn(nullptr, 6300, 2240, 1900, 340);
    cmdMDSSunq.setAccessibleName("Alarm Detect Inquiry Command");
    cmdDisplay.placeIn(nullptr, 150, 2860, 1800, 340);
    cmdMDdisplayOFF.placeIn(nullptr, 2050, 2860, 1800, 340);
    txtMD.placeIn(nullptr, 150, 3340, 8050, 1400);
    txtMD.setMultiLine(true);
    txtMD.setLocked(true);
    txtMD.setAccessibleName("Alarm commands sent");
    CmdClose.placeIn(nullptr, 6700, 4880, 1500, 360);
    for (Control* c : {static_cast<Control*>(&FmNowSet), static_cast<Control*>(&FmDetect),
                       static_cast<Control*>(&cmdMDstart), static_cast<Control*>(&cmdMDSSunq),
                       static_cast<Control*>(&cmdDisplay), static_cast<Control*>(&cmdMDdisplayOFF),
                       static_cast<Control*>(&txtMD), static_cast<Control*>(&CmdClose)})
        appendToTabOrder(*c);

    comSetMD.onClick = [this] { comSetMD_Click(); };
    cmdsetMDinq.onClick = [this] { cmdsetMDinq_Click(); };
    cmdsetMDtime.onClick = [this] { cmdsetMDtime_Click(); };
    cmdLevelInq.onClick = [this] { cmdLevelInq_Click(); };
    cmdMDstart.onClick = [this] { cmdMDstart_Click(); };
    cmdMDSSunq.onClick = [this] { cmdMDSSunq_Click(); };
    cmdDisplay.onClick = [this] { cmdDisplay_Click(); };
    cmdMDdisplayOFF.onClick = [this] { cmdMDdisplayOFF_Click(); };
    CmdClose.onClick = [this] { CmdClose_Click(); };
    onUnload = [this] { Form_Unload(); };
    dialogs::applyPacketTips(*this);
}

void FrmMD::open() {
    if (opening_.up() || visible()) return;
    // Held while open: the dialog's own commands complete without bringing
    // the refresh back behind it.
    dialogs::holdRefresh(ctx_, true, true);
    ctx_.dialogHost().start([](FrmMD& d, dialogs::RunFlag::Raised) -> link::Async<void> {
        dialogs::Context& p = d.ctx_;
        const AlarmState& a = p.alarm();
        if (a.AlarmActive && !a.AlarmConfigured) co_await p.dialogHost().checkAlarm();
        if (p.platform().windows.ending()) co_return;
        d.ComboSetMD.setListIndex(a.AlarmMode <= 12 ? a.AlarmMode : -1);
        d.txtMDday.setText(level3(a.DayLevel));
        d.txtMDdayR.setText(level3(a.DayLevel));
        d.txtMDnight.setText(level3(a.NightLevel));
        d.txtMDnightR.setText(level3(a.NightLevel));
        d.txtMDc.setText(level3(a.NowLevel));
        (a.AlarmActive ? d.OpMDon : d.OpMDoff).setValue(true);
        dialogs::placeBesideMain(p, d, 100, 100);
        ++d.showing_;
        p.loaded(d);
        p.platform().windows.runModal(d);
    }(*this, opening_.raise()));
}

void FrmMD::ask(link::Async<std::optional<Bytes>> inquiry, void (FrmMD::*show)(const Bytes&)) {
    ctx_.dialogHost().start([](FrmMD& d, link::Async<std::optional<Bytes>> q, void (FrmMD::*f)(const Bytes&),
                               int showing, int camera) -> link::Async<void> {
        const std::optional<Bytes> r = co_await std::move(q);
        if (r && d.showing_ == showing && d.ctx_.link().CamAddress == camera) (d.*f)(*r);
    }(*this, std::move(inquiry), show, showing_, ctx_.link().CamAddress));
}

bool FrmMD::send(dialogs::Packet packet, const std::vector<int>& values) {
    const auto p = dialogs::packetFor(ctx_, packet, values);
    return p && dialogs::DialogSD(ctx_, *p, link::kCommand, {&txtMD}) == "OK";
}

void FrmMD::comSetMD_Click() {
    const int mode = ComboSetMD.listIndex();
    if (mode < 0) {
        dialogs::warn(ctx_, "Choose an alarm mode first.");
        return;
    }
    // What the camera was not sent is not what it has.
    if (!send(dialogs::Packet::AlarmMode, {mode})) return;
    ctx_.alarm().AlarmMode = static_cast<std::uint8_t>(mode);
    ctx_.alarm().AlarmModeKnown = true;
}

void FrmMD::cmdsetMDinq_Click() {
    ask(dialogs::inquire(ctx_, dialogs::Packet::AlarmModeInquiry, 4, {&txtMD}), &FrmMD::showMode);
}

void FrmMD::showMode(const Bytes& r) {
    AlarmState& a = ctx_.alarm();
    a.AlarmMode = r[2];
    ComboSetMD.setListIndex(a.AlarmMode <= 12 ? a.AlarmMode : -1);
    a.AlarmModeKnown = true;
}

void FrmMD::cmdsetMDtime_Click() {
    std::vector<int> digits;
    if (!dialogs::appendHexField(ctx_, digits, txtMDday, 3, "Day")) return;
    if (!dialogs::appendHexField(ctx_, digits, txtMDnight, 3, "Night")) return;
    if (!send(dialogs::Packet::AlarmLevels, digits)) return;
    AlarmState& a = ctx_.alarm();
    a.DayLevel = digits[0] * 256 + digits[1] * 16 + digits[2];
    a.NightLevel = digits[3] * 256 + digits[4] * 16 + digits[5];
    a.DayLevelKnown = a.NightLevelKnown = true;
}

void FrmMD::cmdLevelInq_Click() {
    ask(dialogs::inquire(ctx_, dialogs::Packet::AlarmLevelInquiry, 12, {&txtMD}), &FrmMD::showLevels);
}

void FrmMD::showLevels(const Bytes& r) {
    AlarmState& a = ctx_.alarm();
    a.DayLevel = levelAt(r, 2);
    a.NightLevel = levelAt(r, 5);
    a.NowLevel = levelAt(r, 8);
    txtMDdayR.setText(level3(a.DayLevel));
    txtMDnightR.setText(level3(a.NightLevel));
    txtMDc.setText(level3(a.NowLevel));
    a.DayLevelKnown = a.NightLevelKnown = true;
}

void FrmMD::Command1_Click(int index) {
    if (txtMDc.text().empty()) return;
    (index == 0 ? txtMDday : txtMDnight).setText(txtMDc.text());
}

void FrmMD::cmdMDstart_Click() {
    AlarmState& a = ctx_.alarm();
    if (OpMDon.value()) {
        if (ctx_.dialogHost().autoRefreshOn()) {
            const MsgAnswer answer = ctx_.platform().windows.message(
                {MsgIcon::Exclamation, "AutoRefresh Warning", "After set this mode, Auto Refresh function will be off.",
                 MsgButtons::OkCancel, true});
            if (answer == MsgAnswer::Cancel) return;
        }
        if (send(dialogs::Packet::AlarmStart)) a.AlarmActive = true;
    } else if (OpMDoff.value()) {
        if (send(dialogs::Packet::AlarmStop)) a.AlarmActive = false;
    } else {
        dialogs::warn(ctx_, "Choose ON or OFF under \"Alarm Detect\" first.");
    }
}

void FrmMD::cmdMDSSunq_Click() {
    ask(dialogs::inquire(ctx_, dialogs::Packet::AlarmDetectInquiry, 4, {&txtMD}), &FrmMD::showDetect);
}

void FrmMD::showDetect(const Bytes& r) {
    if (r[2] == 0x02) {
        ctx_.alarm().AlarmActive = true;
        OpMDon.setValue(true);
    } else if (r[2] == 0x03) {
        ctx_.alarm().AlarmActive = false;
        OpMDoff.setValue(true);
    }
}

void FrmMD::cmdDisplay_Click() { send(dialogs::Packet::DataScreenOn); }

void FrmMD::cmdMDdisplayOFF_Click() { send(dialogs::Packet::DataScreenOff); }

void FrmMD::CmdClose_Click() { unload(); }

// Closing gives the refresh back, except that a started alarm leaves
// automatic refresh off, as the operator was warned on starting it.
void FrmMD::Form_Unload() {
    ++showing_;
    hide();
    ctx_.unloaded(*this);
    AlarmState& a = ctx_.alarm();
    if (a.AlarmActive && a.AlarmModeKnown && a.DayLevelKnown && a.NightLevelKnown) a.AlarmConfigured = true;
    dialogs::Host& host = ctx_.dialogHost();
    dialogs::giveTimersBack(ctx_);
    if (host.autoRefreshOn()) {
        if (a.AlarmActive) host.switchAutoRefreshOff();
    }
    host.setPanTiltUpkeep(true);
}

}  // namespace orbus
