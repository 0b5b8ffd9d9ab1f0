#include "app/profile_link.h"

#include <algorithm>

#include "app/frm_main.h"
#include "app/program.h"
#include "app/status_presenter.h"
#include "link/packet.h"
#include "platform/text.h"
#include "status/identify.h"
#include "status/inquiry.h"
#include "status/status_reader.h"

namespace orbus {

namespace {

// Version inquiries to one camera before it counts as not answering: a
// camera on the chain answers the first; the rest cover a garbled reply.
constexpr int kChainVersionAttempts = 3;

// Inquiries to any camera of the chain, quiet, through the main window's
// link. The caller holds the line. Nothing here shows in the main window
// or tells the operator: a failure is kept for the caller.
class AddressedStatusLink final : public status::StatusLink {
public:
    AddressedStatusLink(Program& prog, int address) : prog_(prog), address_(address) {}
    int header() const override { return 0x80 + address_; }
    link::Async<Bytes> ask(Bytes packet, int length) override {
        FrmMain& m = prog_.frmMain();
        m.SD(packet, FrmMain::kQuiet);
        Bytes answer = co_await m.WaitAnswer(length);
        // Another camera's late answer is not this camera's: asked again.
        if (!answer.empty() && answer[0] != 0x80 + 16 * address_) answer.clear();
        co_return answer;
    }
    // Not the window's status read: its overtaking and abandoning are not ours.
    bool reading() const override { return false; }
    bool overtaken() const override { return false; }
    // A port that went away answers nothing more: no point asking again.
    bool abandoned() const override { return !prog_.platform.port.isOpen(); }
    void gaveUp(long code) override { failure_ = code; }
    bool failed() const { return failure_ != 0; }

private:
    Program& prog_;
    int address_;
    long failure_ = 0;
};

// The pan-tilt model a model string names; None for a block camera or an
// empty name.
PanTiltModel panTiltOf(const std::string& model) {
    for (PanTiltModel code : {PanTiltModel::Alpha, PanTiltModel::Beta, PanTiltModel::Gamma, PanTiltModel::Kappa}) {
        if (equalsNoCase(model, panTiltModelName(code))) return code;
    }
    return PanTiltModel::None;
}

std::string modelName(const status::VersionInfo& v) {
    if (v.series == Series::PanTilt) return panTiltModelName(v.model);
    if (v.series == Series::Block) {
        if (const BlockModelRow* row = findBlockModel(v.blockModel)) return blockModelName(*row);
    }
    return {};
}

// Asks one camera who it is, and an ORX-Kappa its video system as the
// identification does: only with new firmware and while it is switched on.
link::Async<ChainCamera> askCamera(Program& prog, int address) {
    ChainCamera camera;
    camera.address = address;
    AddressedStatusLink statusLink{prog, address};
    status::Identifier identifier{statusLink};
    const auto answer = co_await identifier.versionAtStartup(address, kChainVersionAttempts);
    // Only the camera asked may answer for itself.
    if (!answer || answer->from != 0x80 + 16 * address) co_return camera;
    camera.model = modelName(*answer);
    if (answer->series != Series::PanTilt || answer->model != PanTiltModel::Kappa) co_return camera;
    if (answer->romHi == 0) {
        // Old firmware runs restricted: its video system is not asked.
        camera.kappaVideoSystem = 7;
        co_return camera;
    }
    status::StatusReader reader{statusLink};
    const auto power = co_await reader.power();
    if (power != status::PowerState::On) co_return camera;
    const status::KappaConditions conditions = co_await identifier.kappaConditions();
    if (conditions.videoSystem) camera.kappaVideoSystem = *conditions.videoSystem;
    co_return camera;
}

// A timer answer (09 04 40 / 41): four nibbles of minutes.
std::optional<int> minutes(const Bytes& r) {
    if (!holdsNibbles(r, 2, 4)) return std::nullopt;
    return nibbles(r, 2, 4);
}

// An alarm level of the levels answer: three nibbles from `at`.
std::optional<int> level(const Bytes& r, std::size_t at) {
    if (!holdsNibbles(r, at, 3)) return std::nullopt;
    return nibbles(r, at, 3);
}

// The menu item is offered for this model, and usable.
bool offered(const MenuItem& item) { return item.shown() && item.enabled(); }

}  // namespace

link::Async<std::vector<ChainCamera>> chainCameras(Program& prog) {
    std::vector<ChainCamera> cameras;
    link::Line::Hold hold = co_await prog.frmMain().line().take();
    // The last address set counted the chain; before any, the addresses
    // are asked in turn up to the first that does not answer.
    const int found = prog.chain.found();
    const bool counted = found >= 1;
    const int last = counted ? std::min(found, ChainHealth::kCameras) : ChainHealth::kCameras;
    for (int address = 1; address <= last; ++address) {
        ChainCamera camera = co_await askCamera(prog, address);
        if (!counted && camera.model.empty()) break;
        cameras.push_back(std::move(camera));
    }
    prog.frmMain().linkControl().echoOn();
    co_return cameras;
}

link::Async<std::optional<profile::Reading>> readCameraSettings(Program& prog, const ChainCamera& camera) {
    FrmMain& m = prog.frmMain();
    // The window's layout and label tables decode the answers: a camera of
    // another model would be read as this one.
    const std::string windowModel = profile::ModelView(prog.cameras.drivenCamera()).model();
    if (!camera.model.empty() && !equalsNoCase(camera.model, windowModel)) co_return std::nullopt;
    const PanTiltModel model = panTiltOf(windowModel);

    link::Line::Hold hold = co_await m.line().take();
    AddressedStatusLink statusLink{prog, camera.address};
    profile::Reading reading;
    reading.status.model = model;
    bool ok = true;
    if (model == PanTiltModel::Alpha) {
        // It keeps no settings the panel reads back; that it answers is all.
        status::StatusReader reader{statusLink};
        const auto power = co_await reader.power();
        ok = power.has_value();
    } else {
        int videoSystem = camera.kappaVideoSystem;
        if (model == PanTiltModel::Kappa && videoSystem < 0) {
            if (camera.address == prog.link.CamAddress) {
                videoSystem = prog.cameras.drivenCamera().kappa.videoSystem;
            } else {
                status::Identifier identifier{statusLink};
                const status::KappaConditions conditions = co_await identifier.kappaConditions();
                if (conditions.videoSystem) videoSystem = *conditions.videoSystem;
            }
        }
        status::StatusReader reader{statusLink};
        const auto replies = co_await reader.blocks(model, videoSystem);
        ok = replies.has_value();
        if (ok) {
            status::DecodeContext context = status::decodeContext(m);
            context.model = model;
            context.panTiltSeries = model != PanTiltModel::None;
            if (videoSystem >= 0) context.kappaVideoSystem = videoSystem;
            reading.status = status::decodeStatus(*replies, context);
        }
    }
    if (ok && offered(m.AutoPowerOff)) {
        const auto r = co_await inquireCounted(statusLink, "09 04 40", 7, 0x9440);
        ok = r.has_value();
        if (ok) reading.autoPowerOff = minutes(*r);
    }
    if (ok && offered(m.NightPowerOff)) {
        const auto r = co_await inquireCounted(statusLink, "09 04 41", 7, 0x9441);
        ok = r.has_value();
        if (ok) reading.nightPowerOff = minutes(*r);
    }
    if (ok && offered(m.MotionDetecter)) {
        const auto mode = co_await inquireCounted(statusLink, "09 04 6C", 4, 0x946C);
        ok = mode.has_value();
        if (ok) reading.alarmMode = (*mode)[2];
    }
    if (ok && offered(m.MotionDetecter)) {
        const auto levels = co_await inquireCounted(statusLink, "09 04 6D", 12, 0x946D);
        ok = levels.has_value();
        if (ok) {
            reading.alarmDayLevel = level(*levels, 2);
            reading.alarmNightLevel = level(*levels, 5);
        }
    }
    // The line is the operator's again: what comes now is logged.
    prog.frmMain().linkControl().echoOn();
    hold.release();
    if (!ok || statusLink.failed()) co_return std::nullopt;
    co_return reading;
}

link::Async<link::CommandEnd> PanelApplyLink::command(int camera, std::vector<int> body) {
    std::vector<int> values{0x80 + camera};
    values.insert(values.end(), body.begin(), body.end());
    values.push_back(0xFF);
    Bytes packet;
    // A value that does not fit in a byte makes no packet at all.
    if (camera < 1 || camera > ChainHealth::kCameras || !ToByteArray(values, packet)) co_return link::CommandEnd::NotSent;
    // Made before the co_await: a temporary in its operand is not kept
    // safely by every compiler the panel builds with.
    link::Command command{std::move(packet), link::Source::Profile, link::CommandPacer::Kind::Other, "",
                          link::Pacing::Direct};
    co_return co_await prog_.frmMain().commands().sendToEnd(std::move(command));
}

link::Async<void> PanelApplyLink::pause(double seconds) { co_await prog_.frmMain().cameraLink().pause(seconds); }

link::Async<std::optional<profile::Values>> PanelApplyLink::read(int camera, bool withPositions) {
    ChainCamera which;
    which.address = camera;
    for (const ChainCamera& c : cameras_) {
        if (c.address == camera) which = c;
    }
    const auto reading = co_await readCameraSettings(prog_, which);
    if (!reading) co_return std::nullopt;
    co_return profile::settingsOf(*reading, profile::ModelView(prog_.cameras.drivenCamera()), withPositions);
}

bool PanelApplyLink::lacks(int camera, const profile::SettingDef& setting) const {
    if (std::string_view(setting.key) != "sync.dsub") return false;
    for (const ChainCamera& c : cameras_) {
        if (c.address == camera) return c.kappaVideoSystem >= 0 && !status::dsubCapable(c.kappaVideoSystem);
    }
    return false;
}

namespace {

class ProgramProfileChain final : public dialogs::ProfileChain {
public:
    explicit ProgramProfileChain(Program& prog) : prog_(prog) {}

    profile::ModelView modelView() const override { return profile::ModelView(prog_.cameras.drivenCamera()); }
    link::Async<std::vector<ChainCamera>> cameras() override { return chainCameras(prog_); }
    link::Async<std::optional<profile::Reading>> read(const ChainCamera& camera) override {
        return readCameraSettings(prog_, camera);
    }
    std::unique_ptr<profile::ApplyLink> applyLink(std::vector<ChainCamera> cameras) override {
        return std::make_unique<PanelApplyLink>(prog_, std::move(cameras));
    }

private:
    Program& prog_;
};

}  // namespace

std::unique_ptr<dialogs::ProfileChain> profileChainOf(Program& prog) {
    return std::make_unique<ProgramProfileChain>(prog);
}

}  // namespace orbus
