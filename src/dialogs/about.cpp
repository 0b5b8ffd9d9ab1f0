#include "dialogs/about.h"

#include <cstdio>

#include "dialogs/context.h"
#include "dialogs/dialog_link.h"
#include "dialogs/host.h"
#include "platform/hex.h"

namespace orbus {

// ---- Version Information ------------------------------------------------------------

FrmAbout::FrmAbout(dialogs::Context& context) : Form("FrmAbout", "Version Information"), ctx_(context) {
    // Wide enough for the trademark line on a line of its own.
    resize(7800, 3720);
    lblTitle.placeIn(nullptr, 240, 200, 7200, 300);
    lblVersion.placeIn(nullptr, 240, 560, 7200, 240);
    lblDescription.placeIn(nullptr, 240, 860, 7200, 480);
    // The trademark line, a blank line, the company line (room for one
    // more, should a larger font wrap the first).
    lblSyouhyou.placeIn(nullptr, 240, 1400, 7200, 960);
    lblTyosakukenn.placeIn(nullptr, 240, 2420, 7200, 240);
    more.placeIn(nullptr, 240, 2820, 1400, 360);
    OK.placeIn(nullptr, 6140, 2820, 1300, 360);
    OK.setDefault(true);
    more.setAccessibleName("more Information about the camera");
    more.onClick = [this] { more_Click(); };
    OK.onClick = [this] { OK_Click(); };
    onUnload = [this] { Form_Unload(); };
    Form_Load();
}

std::string FrmAbout::versionText(int major, int minor, int revision) {
    return "Version " + std::to_string(major) + "." + std::to_string(minor) + "  Revision " + std::to_string(revision);
}

void FrmAbout::Form_Load() {
    lblTitle.setCaption(kTitleLine);
    lblVersion.setCaption(versionText(ORBUS_VERSION_MAJOR, ORBUS_VERSION_MINOR, ORBUS_VERSION_PATCH));
    lblDescription.setCaption(kDescriptionLine);
    lblSyouhyou.setCaption(std::string(kTrademarkLine) + "\r\n\r\n" + kCompanyLine);
    lblTyosakukenn.setCaption(kLegalLine);
}

void FrmAbout::open() {
    dialogs::placeBesideMain(ctx_, *this, 100, 100);
    ctx_.loaded(*this);
    ctx_.platform().windows.runModal(*this);
}

void FrmAbout::more_Click() { ctx_.frmMoreInfo().open(); }

void FrmAbout::OK_Click() { unload(); }

void FrmAbout::Form_Unload() {
    hide();
    ctx_.unloaded(*this);
}

// ---- more Infomation ------------------------------------------------------------------

Frmmoreinfo::Frmmoreinfo(dialogs::Context& context) : Form("Frmmoreinfo", "more Infomation"), ctx_(context) {
    resize(5600, 2800);
    Frame1.setGeometry(240, 160, 5000, 1580);
    LblRomVer.placeIn(&Frame1, 200, 330, 4600, 240);
    LblDate.placeIn(&Frame1, 200, 730, 4600, 240);
    LblRemodel.placeIn(&Frame1, 200, 1130, 4600, 240);
    OKButton.placeIn(nullptr, 3940, 1920, 1300, 360);
    OKButton.setDefault(true);
    OKButton.onClick = [this] { OKButton_Click(); };
    onUnload = [this] { Form_Unload(); };
}

void Frmmoreinfo::open() {
    // Reading the camera before it shows, the dialog opens once however
    // often its button is pressed meanwhile.
    if (opening_.up() || visible()) return;
    ctx_.dialogHost().start([](Frmmoreinfo& d, dialogs::RunFlag::Raised) -> link::Async<void> {
        dialogs::Context& p = d.ctx_;
        dialogs::placeBesideMain(p, d, 300, 300);
        std::function<void()> giveUp = [&d] { d.Form_Unload(); };
        link::Async<bool> loaded = d.Form_Load();
        co_await dialogs::showOnceLoaded(p, d, std::move(loaded), std::move(giveUp));
    }(*this, opening_.raise()));
}

namespace {

// An acknowledgement (x0 4z FF), then a reply from a camera (1yyy 0000)
// closed by FF: the completion, or an answer x0 50 0p 0q 0r 0s FF.
bool ackThen(const Bytes& r, std::size_t last) {
    return (r[1] & 0xF0) == 0x40 && r[2] == 0xFF && (r[3] & 0x8F) == 0x80 && r[last] == 0xFF;
}
bool ackCompletion(const Bytes& r) { return ackThen(r, 5); }
bool ackAnswer(const Bytes& r) { return ackThen(r, 9) && r[4] == 0x50; }

// The version inquiry, the one the panel identifies a camera with.
const std::vector<int> kVersion{0x09, 0x00, 0x02};

}  // namespace

link::Async<Frmmoreinfo::Reply> Frmmoreinfo::exchange(std::optional<Bytes> packet, int length,
                                                      std::function<bool(const Bytes&)> valid, bool answer) {
    dialogs::Host& host = ctx_.dialogHost();
    if (!packet) co_return Reply{Outcome::Wrong, {}};
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // An inquiry's answer may come behind a command's replies; the
        // service steps' own acknowledge is part of what they wait for.
        Bytes reply = co_await host.exchange(*packet, length, answer);
        if (host.lastWaitTimedOut()) {
            // Nothing usable within the wait: what still comes belongs to no one.
            ctx_.platform().port.input();
            co_return Reply{Outcome::Silent, std::move(reply)};
        }
        if (static_cast<int>(reply.size()) >= length && valid(reply)) co_return Reply{Outcome::Done, std::move(reply)};
    }
    ctx_.platform().port.input();
    co_return Reply{Outcome::Wrong, {}};
}

link::Async<Frmmoreinfo::Read> Frmmoreinfo::step(int header, dialogs::Packet packet, bool read) {
    const Reply r =
        co_await exchange(dialogs::packetBytes(header, packet), read ? 10 : 6, read ? ackAnswer : ackCompletion);
    Read out{r.outcome};
    const Bytes& b = r.bytes;
    if (r.outcome == Outcome::Done && read)
        out.value = (b[5] & 0xF) * 4096 + (b[6] & 0xF) * 256 + (b[7] & 0xF) * 16 + (b[8] & 0xF);
    co_return out;
}

link::Async<bool> Frmmoreinfo::Form_Load() {
    const LinkState& L = ctx_.link();
    dialogs::holdRefresh(ctx_, false, true);
    OKButton.setEnabled(false);
    const int camera = L.CamAddress, header = L.header();
    const PanTiltModel model = L.ModelCode;
    const bool serviceMemory =
        ctx_.model().IsPanTiltSeries &&
        (model == PanTiltModel::Gamma || model == PanTiltModel::Beta || model == PanTiltModel::Kappa);
    Frame1.setCaption("Camera " + std::to_string(camera));
    LblRomVer.setCaption("");
    LblDate.setCaption("");
    LblRemodel.setCaption("");

    // The ROM version is asked of the driven camera itself: what the panel
    // keeps may be another camera's, and block cameras tell it too.
    const int from = 0x80 + 16 * camera;
    const Reply v = co_await exchange(
        dialogs::packetFor(header, kVersion), 10,
        [from](const Bytes& r) { return r[0] == from && r[1] == 0x50 && r[9] == 0xFF; }, true);
    Outcome o = v.outcome;
    bool answered = o == Outcome::Done;
    if (answered) {
        LblRomVer.setCaption("ROM Version    :    " + std::to_string(v.bytes[6]) + "." + hex2(v.bytes[7]));
    }

    if (o == Outcome::Done && serviceMemory) {
        // Each read needs the one before; whatever happens, the camera is
        // taken out of its debug mode once it was asked into it.
        Read year{Outcome::Done}, monthDay{Outcome::Done};
        o = (co_await step(header, dialogs::Packet::DebugIn, false)).outcome;
        if (o == Outcome::Done) {
            year = co_await step(header, dialogs::Packet::ManufactureYear, true);
            o = year.outcome;
        }
        if (o == Outcome::Done) {
            monthDay = co_await step(header, dialogs::Packet::ManufactureMonthDay, true);
            o = monthDay.outcome;
        }
        if (o == Outcome::Done) {
            char date[32];
            std::snprintf(date, sizeof date, "%d.%2d.%2d", year.value, (monthDay.value >> 8) & 0xFF,
                          monthDay.value & 0xFF);
            LblDate.setCaption(std::string("Date of Manufacture  :  ") + date);
        }
        if (o == Outcome::Done && model == PanTiltModel::Beta) {
            const Read remodel = co_await step(header, dialogs::Packet::RemodelCount, true);
            o = remodel.outcome;
            if (o == Outcome::Done) LblRemodel.setCaption("CamBlock Remodeling  :  " + std::to_string(remodel.value));
        }
        answered = o != Outcome::Silent;
        // A camera that answered so far gets the leave packet again when
        // its reply is lost; a silent one gets it once.
        for (int attempt = 0; attempt < (answered ? kAttempts : 1); ++attempt) {
            if ((co_await step(header, dialogs::Packet::DebugOut, false)).outcome != Outcome::Silent) break;
        }
    }
    ctx_.linkControl().echoOn();
    if (!answered) {
        ctx_.platform().windows.message(
            {MsgIcon::Exclamation, "Warning",
             "Camera " + std::to_string(camera) + " gave no usable answer.\r\nIts information could not be read.",
             MsgButtons::Ok, true});
        co_return false;
    }
    OKButton.setEnabled(true);
    co_return true;
}

void Frmmoreinfo::OKButton_Click() { unload(); }

void Frmmoreinfo::Form_Unload() {
    hide();
    ctx_.unloaded(*this);
    dialogs::giveTimersBack(ctx_);
}

}  // namespace orbus
