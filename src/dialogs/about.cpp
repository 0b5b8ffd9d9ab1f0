#include "dialogs/about.h"

#include <cstdio>

#include "app/frm_main.h"
#include "app/program.h"
#include "dialogs/dialog_link.h"

namespace orbus {

// ---- Version Information ------------------------------------------------------------

FrmAbout::FrmAbout(Program& program) : Form("FrmAbout", "Version Information"), prog_(program) {
    resize(6000, 3300);
    lblTitle.placeIn(nullptr, 240, 200, 5400, 300);
    lblVersion.placeIn(nullptr, 240, 560, 5400, 240);
    lblDescription.placeIn(nullptr, 240, 860, 5400, 480);
    lblSyouhyou.placeIn(nullptr, 240, 1400, 5400, 480);
    lblTyosakukenn.placeIn(nullptr, 240, 1940, 5400, 240);
    more.placeIn(nullptr, 240, 2400, 1400, 360);
    OK.placeIn(nullptr, 4300, 2400, 1300, 360);
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
    lblTitle.setCaption("ORBUS Panel");
    lblVersion.setCaption(versionText(ORBUS_VERSION_MAJOR, ORBUS_VERSION_MINOR, ORBUS_VERSION_PATCH));
    lblDescription.setCaption("Control panel for ORX pan-tilt and KBM block cameras on a serial line.");
    lblSyouhyou.setCaption("ORX, KBM and ORBUS are names of the camera series and their protocol.  "
                           "ORBUS Panel project");
    lblTyosakukenn.setCaption("Provided as is, without warranty of any kind.");
}

void FrmAbout::open() {
    dialogs::placeBesideMain(prog_, *this, 100, 100);
    prog_.loaded(*this);
    prog_.platform.windows.runModal(*this);
}

void FrmAbout::more_Click() { prog_.frmMoreInfo().open(); }

void FrmAbout::OK_Click() { unload(); }

void FrmAbout::Form_Unload() {
    hide();
    prog_.unloaded(*this);
}

// ---- more Infomation ------------------------------------------------------------------

Frmmoreinfo::Frmmoreinfo(Program& program) : Form("Frmmoreinfo", "more Infomation"), prog_(program) {
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
    dialogs::placeBesideMain(prog_, *this, 300, 300);
    Form_Load();
    prog_.loaded(*this);
    prog_.platform.windows.runModal(*this);
}

std::optional<int> Frmmoreinfo::step(const std::vector<int>& body, int length, bool answer) {
    FrmMain& m = prog_.frmMain();
    const auto packet = dialogs::packetFor(prog_, body);
    if (!packet) return std::nullopt;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        m.SD(*packet, FrmMain::kQuiet);
        const Bytes r = m.WaitReply(length);
        if (m.lastWaitTimedOut() || static_cast<int>(r.size()) < length) continue;
        // An acknowledgement (x0 4z FF), then a reply from a camera (1yyy 0000)
        // closed by FF: an answer (x0 50 0p 0q 0r 0s FF) or the completion.
        const bool ok = (r[1] & 0xF0) == 0x40 && r[2] == 0xFF && (r[3] & 0x8F) == 0x80 &&
                        r[static_cast<std::size_t>(length - 1)] == 0xFF && (!answer || r[4] == 0x50);
        if (!ok) continue;
        if (!answer) return 0;
        return (r[5] & 0xF) * 4096 + (r[6] & 0xF) * 256 + (r[7] & 0xF) * 16 + (r[8] & 0xF);
    }
    // Given up: what is still coming in belongs to no one.
    prog_.platform.port.input();
    return std::nullopt;
}

void Frmmoreinfo::Form_Load() {
    FrmMain& m = prog_.frmMain();
    const LinkState& L = prog_.link;
    m.Timer1.setEnabled(false);
    m.Timer2.setEnabled(false);
    OKButton.setEnabled(false);
    Frame1.setCaption("Camera " + std::to_string(L.CamAddress));
    char rom[8];
    std::snprintf(rom, sizeof rom, "%u.%02X", prog_.model.RomVersionHi, prog_.model.RomVersionLo);
    LblRomVer.setCaption(std::string("ROM Version    :    ") + rom);
    LblDate.setCaption("");
    LblRemodel.setCaption("");
    const int code = L.ModelCode;
    if (prog_.model.IsPanTiltSeries && (code == 13 || code == 14 || code == 260)) {
        // Each step needs the one before; a step given up ends the reading.
        bool ok = step({0x01, 0x06, 0x22, 0x5C}, 6, false).has_value();
        const auto year = ok ? step({0x01, 0x06, 0x1A, 0x03, 0x00}, 10, true) : std::nullopt;
        const auto monthDay = year ? step({0x01, 0x06, 0x1A, 0x03, 0x01}, 10, true) : std::nullopt;
        ok = monthDay.has_value();
        if (ok) {
            char date[32];
            std::snprintf(date, sizeof date, "%d.%2d.%2d", *year, (*monthDay >> 8) & 0xFF, *monthDay & 0xFF);
            LblDate.setCaption(std::string("Date of Manufacture  :  ") + date);
        }
        if (ok && code == 14) {
            const auto remodel = step({0x01, 0x06, 0x1A, 0x02, 0x03}, 10, true);
            if (remodel) LblRemodel.setCaption("CamBlock Remodeling  :  " + std::to_string(*remodel));
            ok = remodel.has_value();
        }
        // The camera is not left in its debug mode.
        if (ok) step({0x01, 0x06, 0x22, 0x12}, 6, false);
        prog_.link.EchoSent = true;
    }
    OKButton.setEnabled(true);
}

void Frmmoreinfo::OKButton_Click() { unload(); }

void Frmmoreinfo::Form_Unload() {
    hide();
    prog_.unloaded(*this);
    dialogs::giveTimersBack(prog_, false, true);
}

}  // namespace orbus
