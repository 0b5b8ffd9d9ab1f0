#include "dialogs/camera_settings.h"

#include "dialogs/packets.h"

#include <cstdio>

#include "dialogs/context.h"
#include "dialogs/dialog_link.h"
#include "dialogs/host.h"
#include "link/send_mode.h"
#include "platform/digit_input.h"
#include "platform/text.h"
#include "status/inquiry.h"

namespace orbus {

namespace {

// A 16-bit value as four digit bytes, most significant first.
std::vector<int> digits4(long v) { return {static_cast<int>(v >> 12) & 0xF, static_cast<int>(v >> 8) & 0xF,
                                           static_cast<int>(v >> 4) & 0xF, static_cast<int>(v) & 0xF}; }

// The number of a decimal box, kept to 65535 (the box then shows it);
// nothing when the box is empty.
std::optional<long> upTo65535(TextBox& box) {
    if (box.text().empty()) return std::nullopt;
    long v = leadingNumber(box.text());
    if (v > 65535) {
        v = 65535;
        box.setText("65535");
    }
    return v;
}

std::string twoDigits(int v) {
    char b[4];
    std::snprintf(b, sizeof b, "%02d", v % 100);
    return b;
}

void okCancel(Form& f, Button& ok, Button& cancel, int top) {
    ok.placeIn(nullptr, static_cast<int>(f.width()) - 2700, top, 1100, 360);
    cancel.placeIn(nullptr, static_cast<int>(f.width()) - 1500, top, 1100, 360);
    ok.setDefault(true);
}

}  // namespace

// ---- clock ----------------------------------------------------------------------

FrmSetDT::FrmSetDT(dialogs::Context& context) : Form("FrmSetDT", "Set Time & Date"), ctx_(context) {
    resize(6000, 2000);
    TextBox* boxes[] = {&Year, &Month, &Day, &Hour, &Minute};
    UpDown* arrows[] = {&UpDown1, &UpDown2, &UpDown3, &UpDown4, &UpDown5};
    const char* names[] = {"Year", "Month", "Day", "Hour", "Minute"};
    for (int i = 0; i < 5; ++i) {
        const int x = 240 + i * 1100;
        LblField.add(i, *this, "LblField", names[i]).placeIn(nullptr, x, 200, 1000, 240);
        LblField[i].setCentered(true);
        boxes[i]->placeIn(nullptr, x + 80, 460, 600, 300);
        arrows[i]->placeIn(nullptr, x + 680, 460, 240, 300);
        boxes[i]->setCentered(true);
        boxes[i]->setAccessibleName(names[i]);
        arrows[i]->setAccessibleName(std::string(names[i]) + " arrows");
        acceptDecimalOnly(*boxes[i], 2);
    }
    okCancel(*this, OK, Cancel, 1000);
    OK.onClick = [this] { OK_Click(); };
    Cancel.onClick = [this] { Cancel_Click(); };
    onUnload = [this] { Form_Unload(); };
    dialogs::applyPacketTips(*this);
}

void FrmSetDT::open() {
    // Each opening shows the computer's time as it is then.
    if (!visible()) {
        Form_Load();
        dialogs::placeBesideMain(ctx_, *this, 100, 100);
    }
    ctx_.loaded(*this);
    show();
    raiseWithoutFocus();
}

void FrmSetDT::Form_Load() {
    const LocalTime t = ctx_.platform().clock.localTime();
    Year.setText(twoDigits(t.year));
    Month.setText(twoDigits(t.month));
    Day.setText(twoDigits(t.day));
    Hour.setText(twoDigits(t.hour));
    Minute.setText(twoDigits(t.minute));
}

void FrmSetDT::OK_Click() {
    const struct {
        TextBox* box;
        const UpDown* range;
        const char* name;
    } fields[] = {{&Year, &UpDown1, "Year"},
                  {&Month, &UpDown2, "Month"},
                  {&Day, &UpDown3, "Day"},
                  {&Hour, &UpDown4, "Hour"},
                  {&Minute, &UpDown5, "Minute"}};
    std::vector<int> values;
    for (const auto& f : fields) {
        const long v = leadingNumber(f.box->text());
        if (f.box->text().empty() || v < f.range->min() || v > f.range->max()) {
            dialogs::warn(ctx_, "\"" + std::string(f.name) + "\" must be a number from " +
                                    std::to_string(f.range->min()) + " to " + std::to_string(f.range->max()) + ".");
            return;
        }
        values.push_back(static_cast<int>(v / 10));
        values.push_back(static_cast<int>(v % 10));
    }
    hide();
    ctx_.dialogHost().sendValues(dialogs::packetValues(ctx_.link().header(), dialogs::Packet::Clock, values),
                                 link::kCommand);
}

void FrmSetDT::Cancel_Click() { hide(); }

void FrmSetDT::Form_Unload() {
    hide();
    ctx_.unloaded(*this);
}

// ---- camera ID -----------------------------------------------------------------

FrmCamID::FrmCamID(dialogs::Context& context) : Form("FrmCamID", "Camera ID Write"), ctx_(context) {
    resize(4300, 2000);
    LblID.placeIn(nullptr, 240, 200, 3600, 240);
    ID.placeIn(nullptr, 240, 480, 1500, 300);
    ID.setAccessibleName("Camera ID");
    acceptDecimalOnly(ID, 5);
    okCancel(*this, OK, Cancel, 1000);
    OK.onClick = [this] { OK_Click(); };
    Cancel.onClick = [this] { Cancel_Click(); };
    onUnload = [this] { Form_Unload(); };
    dialogs::applyPacketTips(*this);
}

void FrmCamID::open() {
    dialogs::holdRefresh(ctx_, false, true);
    dialogs::placeBesideMain(ctx_, *this, 500, 1000);
    ctx_.loaded(*this);
    ctx_.platform().windows.runModal(*this);
}

void FrmCamID::OK_Click() {
    const auto id = upTo65535(ID);
    if (!id) {
        dialogs::warn(ctx_, "\"Camera ID\" must be a number from 0 to 65535.");
        return;
    }
    dialogs::Host& host = ctx_.dialogHost();
    host.sendValues(dialogs::packetValues(ctx_.link().header(), dialogs::Packet::CameraID, digits4(*id)),
                    link::kCommand);
    host.showCameraID(ID.text());
    unload();
}

// Cancel closes the dialog too, so the refresh stopped on opening comes back.
void FrmCamID::Cancel_Click() { unload(); }

void FrmCamID::Form_Unload() {
    hide();
    ctx_.unloaded(*this);
    dialogs::giveTimersBack(ctx_);
}

// ---- power-off timers ----------------------------------------------------------

PowerOffDialog::PowerOffDialog(dialogs::Context& context, std::string name, std::string caption,
                               dialogs::Packet command, dialogs::Packet inquiry)
    : Form(std::move(name), std::move(caption)), ctx_(context), command_(command), inquiry_(inquiry) {
    resize(5000, 2500);
    LblTimer.placeIn(nullptr, 240, 200, 4500, 240);
    OffTimer.placeIn(nullptr, 240, 480, 1500, 300);
    OffTimer.setAccessibleName("Power Off Timer minutes");
    LblAnswer.placeIn(nullptr, 1900, 510, 2900, 240);
    LblAnswer.setForeColor(rgb(192, 0, 0));
    LblAnswer.setAccessibleName("Timer read state");
    LblNote.placeIn(nullptr, 240, 900, 4500, 240);
    acceptDecimalOnly(OffTimer, 5);
    okCancel(*this, OK, Cancel, 1400);
    OK.onClick = [this] { OK_Click(); };
    Cancel.onClick = [this] { Cancel_Click(); };
    onUnload = [this] { Form_Unload(); };
    dialogs::applyPacketTips(*this);
}

void PowerOffDialog::open() {
    openAfter([]() -> link::Async<bool> { co_return true; }());
}

void PowerOffDialog::openAfter(link::Async<bool> first) {
    if (opening_.up() || visible()) return;
    ctx_.dialogHost().start(
        [](PowerOffDialog& d, link::Async<bool> check, dialogs::RunFlag::Raised) -> link::Async<void> {
            if (!co_await std::move(check)) co_return;
            dialogs::Context& p = d.ctx_;
            dialogs::holdRefresh(p, true, false);
            dialogs::placeBesideMain(p, d, 500, 1000);
            std::function<void()> giveUp = [&d] { d.Form_Unload(); };
            link::Async<bool> loaded = d.Form_Load();
            co_await dialogs::showOnceLoaded(p, d, std::move(loaded), std::move(giveUp));
        }(*this, std::move(first), opening_.raise()));
}

link::Async<bool> PowerOffDialog::Form_Load() {
    dialogs::Host& host = ctx_.dialogHost();
    const int camera = ctx_.link().CamAddress;
    OffTimer.setText("");
    LblAnswer.setCaption("");
    if (auto p = dialogs::packetFor(ctx_, inquiry_)) {
        const Bytes r = co_await host.exchange(*p, 7, true);
        if (!acceptedReply(r, 7)) {
            LblAnswer.setCaption("No answer from the camera.");
        } else if (!holdsNibbles(r, 2, 4)) {
            // Four digits of a 16-bit value, or the answer is not one.
            LblAnswer.setCaption("The camera's answer could not be read.");
        } else {
            OffTimer.setText(std::to_string(nibbles(r, 2, 4)));
        }
    }
    // The quiet inquiry turned the echo off; user traffic shows again.
    ctx_.linkControl().echoOn();
    co_return ctx_.link().CamAddress == camera;
}

void PowerOffDialog::OK_Click() {
    const auto minutes = upTo65535(OffTimer);
    if (!minutes) {
        dialogs::warn(ctx_, "\"Power Off Timer\" must be a number of minutes from 0 to 65535.");
        return;
    }
    dialogs::Host& host = ctx_.dialogHost();
    host.sendValues(dialogs::packetValues(ctx_.link().header(), command_, digits4(*minutes)), link::kCommand);
    unload();
    // A power-off timer set: automatic refresh stays off.
    if (host.autoRefreshOn()) host.switchAutoRefreshOff();
}

void PowerOffDialog::Cancel_Click() { unload(); }

void PowerOffDialog::Form_Unload() {
    hide();
    ctx_.unloaded(*this);
    dialogs::giveTimersBack(ctx_);
}

FrmAutoPOff::FrmAutoPOff(dialogs::Context& context)
    : PowerOffDialog(context, "FrmAutoPOff", "Auto Power Off", dialogs::Packet::AutoPowerOff,
                     dialogs::Packet::AutoPowerOffInquiry) {
    LblNote.setCaption("After set this timer, Auto Refresh function will be off.");
}

FrmNightPOff::FrmNightPOff(dialogs::Context& context)
    : PowerOffDialog(context, "FrmNightPOff", "Night Power Off", dialogs::Packet::NightPowerOff,
                     dialogs::Packet::NightPowerOffInquiry) {
    LblNote.setVisible(false);
}

std::string nightPowerOffWarning(const AlarmState& a) {
    if (!a.AlarmActive) return "The alarm action is stopping.";
    if (a.AlarmMode != AlarmState::kDayNight) return "The alarm mode is not a DayNight mode.";
    if (!(a.DayLevel > a.NightLevel)) return "The alarm level setting is not [Day > Night].";
    return "";
}

}  // namespace orbus
