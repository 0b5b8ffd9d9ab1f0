// The main window's status read and identification: the procedures that run
// the status classes' exchanges and show what they learned.
#include "app/frm_info.h"
#include "app/frm_main.h"
#include "app/status_line.h"
#include "app/frm_main_models.h"
#include "app/program.h"
#include "app/status_presenter.h"
#include "pantilt/frm_pantilt.h"
#include "platform/text.h"
#include "status/identify.h"
#include "status/status_reader.h"

namespace orbus {

namespace {

// The status classes' way to the line: quiet inquiries through this window.
class MainStatusLink final : public status::StatusLink {
public:
    explicit MainStatusLink(FrmMain& m) : main_(m) {}
    int header() const override { return main_.program().link.header(); }
    link::Async<Bytes> ask(Bytes packet, int length) override {
        main_.SD(packet, FrmMain::kQuiet);
        co_return co_await main_.WaitAnswer(length);
    }
    bool reading() const override { return main_.program().link.StatusReadBusy; }
    bool overtaken() const override { return main_.readOvertaken(); }
    bool abandoned() const override { return main_.readAbandoned(); }
    void gaveUp(long code) override { main_.readGaveUp(code); }

private:
    FrmMain& main_;
};

// The version inquiry at the head of a status read, and the layout of the
// camera it names; false when an inquiry gave up (the failure was reported
// and the read must end).
link::Async<bool> identifyInStatusRead(FrmMain& m, status::StatusLink& statusLink) {
    Program& p = m.program();
    status::Identifier identifier{statusLink};
    const auto answer = co_await identifier.version();
    if (!answer) co_return false;
    const status::VersionInfo& version = *answer;
    // The model learns who answered, an answer of neither series too: a
    // block camera, or one that named none, chosen after a pan-tilt camera
    // must not be read and driven as that model (asked for the expand block
    // it lacks, its focus driven at the fixed speed).
    p.cameras.setIdentity(p.link.CamAddress, model::identityOf(version));
    if (version.series != Series::PanTilt) {
        p.model.IsPanTiltSeries = false;
        p.model.VersionRead = true;
        // Another camera of a mixed chain: the panel is laid out for it as
        // start-up does, from the window as drawn, so that nothing the
        // previous camera's layout hid or disabled stays that way.
        const bool sameBlock =
            p.model.LaidOutSeries == Series::Block && p.model.LaidOutBlockModel == version.blockModel;
        if (version.series == Series::Block && !sameBlock) {
            startFromDesign(p);
            layOutBlockCamera(m, version.blockModel);
        }
        // A block camera has no pan-tilt head: its window goes away.
        m.DspPTW();
        co_return true;
    }
    // Back from a block camera: start again from the window as drawn, then
    // the pan-tilt model's own layout.
    if (p.model.LaidOutSeries == Series::Block) startFromDesign(p);
    markPanTiltSeries(m, version.key);
    m.FmPreset.setVisible(true);
    p.frmPanTilt().LbMount.setCaption("");
    p.frmPanTilt().LblIR.setCaption("");
    p.model.RomVersionHi = version.romHi;
    p.model.RomVersionLo = version.romLo;
    p.modes.MenuMode = false;
    const std::string& key = p.model.ModelKey;
    if (equalsNoCase(key, "42")) {
        m.ModelVersion.setText(panTiltModelName(PanTiltModel::Alpha));
        m.DspAlpha();
    } else if (equalsNoCase(key, "4D")) {
        m.setIcon("orx-gamma");
        m.ModelVersion.setText(panTiltModelName(PanTiltModel::Gamma));
        m.DspGamma();
    } else if (equalsNoCase(key, "4E")) {
        m.setIcon("orx-beta");
        m.ModelVersion.setText(panTiltModelName(PanTiltModel::Beta));
        m.DspBeta();
    } else if (equalsNoCase(key, "54")) {
        m.setIcon("orx-kappa");
        m.ModelVersion.setText(panTiltModelName(PanTiltModel::Kappa));
        if (!co_await m.PwCheck()) co_return false;
        if (p.model.RomVersionHi > 0) {
            p.model.NewFirmware = true;
            if (m.Power.checked()) {
                const int address = p.link.CamAddress;
                const status::KappaConditions conditions = co_await identifier.kappaConditions();
                p.cameras.setKappaConditions(address, conditions.videoSystem, conditions.irCondition);
                if (!conditions.videoSystem || !conditions.irCondition) co_return false;
            }
        } else {
            p.model.NewFirmware = false;
            m.VerError();
        }
        m.DspKappa();
    } else {
        // An unknown pan-tilt model is driven as the ORX-Gamma.
        m.ModelVersion.setText(panTiltModelName(PanTiltModel::Gamma));
        m.DspGamma();
    }
    p.model.VersionRead = true;
    // Back from a camera without a head: the pan-tilt window returns if the
    // operator had it open.
    if (p.ptw.PTWindow && !p.isLoaded(p.frmPanTilt())) {
        m.DspPTW();
    } else {
        m.arrangeWindow();
    }
    co_return true;
}

}  // namespace

link::Async<void> FrmMain::IdentifyAtStartup() {
    Program& p = program();
    const int address = p.link.CamAddress;
    MainStatusLink statusLink{*this};
    status::Identifier identifier{statusLink};
    const auto answer = co_await identifier.versionAtStartup(address, kVersionAttempts);
    if (!answer) {
        // Nobody told us the model: say so and carry on unidentified.
        ModelVersion.setText("Unknown");
        p.frmInfo().LbSubtitle.setCaption("Camera Version Check Error");
        p.platform.windows.message({MsgIcon::Exclamation, "Warning",
                                    "Camera Version Check Error !\r\n"
                                    "The camera did not tell its model; the panel stays unidentified.",
                                    MsgButtons::Ok, true});
        co_return;
    }
    const status::VersionInfo& version = *answer;
    if (version.from != 0x80 + 16 * address) co_return;
    p.cameras.setIdentity(address, model::identityOf(version));
    if (version.series == Series::PanTilt) {
        markPanTiltSeries(*this, version.key);
    } else if (version.series == Series::Block) {
        layOutBlockCamera(*this, version.blockModel);
    }
}

link::Async<void> FrmMain::IdentifyOthersAtStartup() {
    // The other cameras the address set found are asked once who they are,
    // so Chain Status and the model name them before the operator picks one.
    Program& p = program();
    MainStatusLink statusLink{*this};
    status::Identifier identifier{statusLink};
    for (int address = 1; address <= p.cameras.length(); ++address) {
        if (address == p.link.CamAddress) continue;
        const auto answer = co_await identifier.versionAtStartup(address, 1);
        if (answer && answer->from == 0x80 + 16 * address) p.cameras.setIdentity(address, model::identityOf(*answer));
    }
}

void FrmMain::VerError() {
    Program& p = program();
    p.platform.windows.message({MsgIcon::Critical, "Warning",
                                "This application will run on a restricted function mode, \r\n"
                                "because connected ORX-Kappa has an old version firmware.",
                                MsgButtons::Ok, true});
    p.cameras.setKappaConditions(p.link.CamAddress, 7, 7);
}

bool FrmMain::ReadCameraStatus() {
    const LinkState& L = state_;
    if (L.StatusReadBusy) return false;
    if (L.StartupBusy) return false;
    if (L.PresetBusy) return false;
    if (link_.control().skipThisRefresh()) return false;
    refresh().readStarts();
    link_.control().statusReadStarts();
    read_.start(L.CamAddress);
    // The read runs beside the window: each inquiry waits for its answer
    // without holding it, and operator commands go out in between.
    tasks().start(statusRead());
    return true;
}

link::Async<void> FrmMain::statusRead() {
    Program& p = program();
    const LinkState& L = state_;
    link::Line::Hold hold = co_await line().take();
    MainStatusLink statusLink{*this};

    bool ok = !read_.overtaken();
    bool skipToPanTilt = false;
    if (ok && !p.model.VersionRead) {
        ok = co_await identifyInStatusRead(*this, statusLink);
        ok = ok && !read_.overtaken();
    }
    if (ok && p.model.IsPanTiltSeries) {
        const PanTiltModel model = p.cameras.drivenModel();
        if (model == PanTiltModel::Alpha) {
            skipToPanTilt = true;
        } else if (model == PanTiltModel::Kappa) {
            DspIRCondition();
            ok = co_await PwCheck();
            ok = ok && !read_.overtaken();
            if (ok && !Power.checked()) {
                // The camera is switched off: identify it again once it is on.
                p.model.VersionRead = false;
                p.model.IsPanTiltSeries = false;
                ok = false;
            }
        }
    }
    if (ok && !skipToPanTilt) {
        // A read that gave up, or that a command overtook, leaves the panel
        // as the last complete read left it.
        status::StatusReader reader{statusLink};
        const auto replies = co_await reader.blocks(p.cameras.drivenModel(), p.cameras.drivenCamera().kappa.videoSystem);
        ok = replies.has_value();
        if (ok) {
            p.cameras.setStatus(L.CamAddress, status::decodeStatus(*replies, status::decodeContext(*this)),
                                p.platform.clock.now());
        }
    }
    if (ok) {
        if (p.model.IsPanTiltSeries) check_DspPTW();
        if (Power.checked() && p.model.IsPanTiltSeries && p.ptw.PTWindow && p.ptw.PTWSize)
            co_await ReadPanTiltStatusCore();
    }
    link_.control().statusReadEnds();
    link_.control().echoOn();
    hold.release();
    const std::optional<long> failure = read_.takeFailure();
    refresh().readEnded(read_.overtaken());
    // A read may have identified the camera, or found it switched off.
    showProfileItems();
    // The read has ended before the operator hears that it failed.
    if (failure) ARError(*failure);
}

void FrmMain::readGaveUp(long code) {
    // Outside a read (a power check of its own) the failure is told now.
    if (!state_.StatusReadBusy) {
        ARError(code);
    } else {
        read_.gaveUp(code);
    }
}

void FrmMain::abandonRead() {
    if (state_.StatusReading) read_.abandon();
}

void FrmMain::commandWentOut(int camera) {
    // A read of the camera a command went to would show what the camera did
    // before the command: it stops after its exchange in flight, and the
    // refresh reads once more after the command.
    if (state_.StatusReading) read_.commandWentOut(camera);
}

link::Async<bool> FrmMain::PwCheck() {
    const int address = state_.CamAddress;
    MainStatusLink statusLink{*this};
    status::StatusReader reader{statusLink};
    const auto power = co_await reader.power();
    if (!power) co_return false;
    // The presenter shows it on the power switch.
    program().cameras.setPower(address, *power);
    co_return true;
}

void FrmMain::ARError(long err) {
    Program& p = program();
    link_.control().refreshGaveUp(err);
    if (!autoCaption()) {
        // A failed single read has no message box; the status line keeps it.
        statusError(statusReadFailureText(err));
        return;
    }
    statusError(statusReadFailureText(err) + "; automatic refresh stopped");
    // Off before the message: no read starts while it is shown.
    refresh().switchOff();
    line().discard();
    p.platform.port.input();
    p.platform.windows.message({MsgIcon::Critical, "Warning",
                                "Refresh Action Error !\r\nRefresh Action is Stopped.", MsgButtons::Ok, true});
}

link::Async<void> FrmMain::ReadPanTiltStatusCore() {
    Program& p = program();
    const int address = state_.CamAddress;
    MainStatusLink statusLink{*this};
    status::StatusReader reader{statusLink};
    const status::PanTiltStatus head = co_await reader.panTilt();
    // The presenter shows it in the pan-tilt window.
    p.cameras.setPanTilt(address, head);
    if (head.garbled) p.chain.garbledAnswer(address, p.platform.clock.now());
}

}  // namespace orbus
