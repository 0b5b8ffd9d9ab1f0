#include "dialogs/profile_window.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "dialogs/context.h"
#include "dialogs/dialog_link.h"
#include "dialogs/host.h"
#include "platform/hex.h"
#include "status/inquiry.h"

namespace orbus {

namespace {

// The window's geometry, in twips.
constexpr int kWidth = 8400;
constexpr int kMargin = 120;
constexpr int kInner = kWidth - 2 * kMargin - 120;
constexpr int kButtonWidth = 1200;
constexpr int kButtonHeight = 360;

// Within the table's width beside its row numbers; the last one takes
// what is left.
const std::vector<Table::Column> kColumns = {
    {"Setting", 2900},
    {"Profile", 1800},
    {"Camera", 1800},
    {"Differs", 700},
};

// The version inquiry; its answer carries the ROM version in bytes 6 and 7.
const std::vector<int> kVersion{0x09, 0x00, 0x02};

std::string fileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

std::string localTimeText(const LocalTime& t) {
    char b[32];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return b;
}

std::string panelVersion() {
    return std::to_string(ORBUS_VERSION_MAJOR) + "." + std::to_string(ORBUS_VERSION_MINOR) + "." +
           std::to_string(ORBUS_VERSION_PATCH);
}

// "1, 2, 3"
std::string addressList(const std::vector<ChainCamera>& cameras) {
    std::string out;
    for (const ChainCamera& c : cameras) out += (out.empty() ? "" : ", ") + std::to_string(c.address);
    return out;
}

std::string cameraWord(int n) { return n == 1 ? "camera" : "cameras"; }


}  // namespace

std::string differenceSummary(int differing, int settings) {
    if (differing == 0) return "No difference.";
    return std::to_string(differing) + " of " + std::to_string(settings) + (settings == 1 ? " setting" : " settings") +
           (differing == 1 ? " differs." : " differ.");
}

FrmProfile::FrmProfile(dialogs::Context& context, std::unique_ptr<dialogs::ProfileChain> chain)
    : Form("FrmProfile", "Camera Profile"),
      Settings(*this, "Settings", kColumns),
      ctx_(context),
      chain_(std::move(chain)) {
    LblIdentity.setAccessibleName("Profile");
    Settings.setAccessibleName("Settings");
    Settings.cellText = [this](int row, int column) -> std::string {
        if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return {};
        const Row& r = rows_[static_cast<std::size_t>(row)];
        switch (column) {
        case 0: return r.setting;
        case 1: return r.profile;
        case 2: return r.camera;
        case 3: return r.differs;
        default: return {};
        }
    };
    // Differing rows stand out without reading the last column.
    Settings.markWords = "differs";
    Settings.rowMarked = [this](int row) {
        return static_cast<std::size_t>(row) < rows_.size() && rows_[static_cast<std::size_t>(row)].differs == "yes";
    };
    LblSummary.setMessageRole("Summary");
    LblProgress.setMessageRole("Progress");
    LblSummary.setSelectable(true);
    ChkPositions.setToolTip("Saves the zoom and focus positions too");
    CmdSave.setToolTip("Writes the settings shown to a profile file");
    CmdApply.setToolTip("Sends the profile's settings to the chosen cameras, then reads them back");
    CmdCancel.setToolTip("Stops the apply after the command in flight");
    // Enter saves; an apply, which changes cameras, takes a deliberate press.
    CmdSave.setDefault(true);
    for (Control* c : std::initializer_list<Control*>{&LblIdentity, &Settings, &LblSummary, &ChkPositions, &CmdSave,
                                                      &OptThis, &OptEvery, &CmdApply, &LblProgress, &CmdCancel,
                                                      &CmdClose})
        appendToTabOrder(*c);
    arrange();
    ChkPositions.onClick = [this] { ChkPositions_Click(); };
    CmdSave.onClick = [this] { CmdSave_Click(); };
    CmdApply.onClick = [this] { CmdApply_Click(); };
    CmdCancel.onClick = [this] { CmdCancel_Click(); };
    CmdClose.onClick = [this] { CmdClose_Click(); };
    onUnload = [this] { Form_Unload(); };
}

// The rows under the summary are the task's own: saving has the positions
// box and "Save…", applying the choice of cameras, "Apply" and the
// progress; the window is as tall as its task needs.
void FrmProfile::arrange() {
    int y = kMargin;
    LblIdentity.placeIn(nullptr, kMargin, y, kInner, 480);
    y += 480 + kMargin / 2;
    Settings.placeIn(nullptr, kMargin, y, kInner, 3000);
    y += 3000 + kMargin;
    LblSummary.placeIn(nullptr, kMargin, y, kInner, 720);
    y += 720 + kMargin;
    const int right = kMargin + kInner;
    const int beside = kInner - kButtonWidth - kMargin;
    if (task_ == Task::Save) {
        ChkPositions.placeIn(nullptr, kMargin, y + 30, beside, 300);
        CmdSave.placeIn(nullptr, right - kButtonWidth, y, kButtonWidth, kButtonHeight);
        y += kButtonHeight + kMargin;
    } else if (task_ == Task::Apply) {
        OptThis.placeIn(nullptr, kMargin, y, beside, 300);
        CmdApply.placeIn(nullptr, right - kButtonWidth, y, kButtonWidth, kButtonHeight);
        y += 330;
        OptEvery.placeIn(nullptr, kMargin, y, beside, 300);
        y += 330;
        LblProgress.placeIn(nullptr, kMargin, y, kInner, 300);
        y += 300 + kMargin;
    }
    CmdClose.placeIn(nullptr, right - kButtonWidth, y, kButtonWidth, kButtonHeight);
    CmdCancel.placeIn(nullptr, right - 2 * kButtonWidth - kMargin, y, kButtonWidth, kButtonHeight);
    y += kButtonHeight + kMargin;
    // Room for the title bar and frame.
    resize(kWidth, y + 480);
}

// ---- opening ---------------------------------------------------------------------

void FrmProfile::openToSave() {
    if (opening_.up() || visible()) return;
    task_ = Task::Save;
    openFor(Task::Save, loadForSave());
}

void FrmProfile::openToCompare() {
    if (opening_.up() || visible()) return;
    auto p = profileFromFile("Compare With Profile");
    if (!p) return;
    profile_ = std::move(*p);
    openFor(Task::Compare, loadForCompare());
}

void FrmProfile::openToApply() {
    if (opening_.up() || visible()) return;
    auto p = profileFromFile("Apply Profile");
    if (!p) return;
    profile_ = std::move(*p);
    openFor(Task::Apply, loadForApply());
}

void FrmProfile::openFor(Task task, link::Async<bool> load) {
    task_ = task;
    camera_ = ctx_.link().CamAddress;
    model_ = chain_->modelView().model();
    noInquiries_ = ctx_.model().IsPanTiltSeries && ctx_.link().ModelCode == PanTiltModel::Alpha;
    rows_.clear();
    Settings.resetRows(0);
    LblSummary.setCaption("");
    LblProgress.setCaption("");
    closeWhenApplied_ = false;
    appliedToDriven_ = false;
    showTask();
    ctx_.dialogHost().start(
        [](FrmProfile& d, link::Async<bool> loading, dialogs::RunFlag::Raised) -> link::Async<void> {
            dialogs::Context& p = d.ctx_;
            dialogs::holdRefresh(p, true, true);
            dialogs::placeBesideMain(p, d, 400, 400);
            std::function<void()> giveUp = [&d] { d.Form_Unload(); };
            co_await dialogs::showOnceLoaded(p, d, std::move(loading), std::move(giveUp));
        }(*this, std::move(load), opening_.raise()));
}

std::optional<profile::Profile> FrmProfile::profileFromFile(const std::string& title) {
    const std::string path = ctx_.platform().windows.openFileName(title, "Camera profile (*.json);;All files (*)");
    if (path.empty()) return std::nullopt;
    const std::string name = fileNameOf(path);
    auto refuse = [&](const std::string& problem) {
        ctx_.platform().windows.message({MsgIcon::Exclamation, "Warning",
                                         "The profile " + name + " was not used.\r\n" + problem, MsgButtons::Ok, true});
        return std::nullopt;
    };
    std::string reason;
    const std::optional<std::string> text = profile::readProfileFile(path, reason);
    if (!text) return refuse(reason);
    profile::Parsed parsed = profile::parseProfile(*text);
    if (!parsed.profile) return refuse(parsed.error);
    const std::string problem = profile::checkForModel(*parsed.profile, chain_->modelView(), ctx_.link().CamAddress);
    if (!problem.empty()) return refuse(problem);
    file_ = name;
    return std::move(parsed.profile);
}

// ---- reading ----------------------------------------------------------------------

ChainCamera FrmProfile::drivenCamera() const {
    const bool kappa = ctx_.model().IsPanTiltSeries && ctx_.link().ModelCode == PanTiltModel::Kappa;
    return ChainCamera{camera_, model_, kappa ? ctx_.model().VideoSystem : -1};
}

link::Async<std::string> FrmProfile::readRom() {
    dialogs::Host& host = ctx_.dialogHost();
    const auto packet = dialogs::packetFor(ctx_.link().header(), kVersion);
    std::string rom;
    if (packet) {
        const Bytes r = co_await host.exchange(*packet, 10, true);
        if (acceptedReply(r, 10)) {
            rom = hex2(r[6]) + "." + hex2(r[7]);
        }
    }
    // The quiet inquiry turned the echo off; the operator's traffic shows again.
    ctx_.linkControl().echoOn();
    co_return rom;
}

link::Async<std::optional<profile::Values>> FrmProfile::readDriven(bool withPositions) {
    // The ORX-Alpha tells its model and version and nothing else.
    if (noInquiries_) co_return profile::Values{};
    const std::optional<profile::Reading> reading = co_await chain_->read(drivenCamera());
    ctx_.linkControl().echoOn();
    if (!reading) {
        dialogs::warn(ctx_, "Camera " + std::to_string(camera_) + " did not answer: its settings could not be read.");
        co_return std::nullopt;
    }
    reading_ = *reading;
    co_return profile::settingsOf(*reading, chain_->modelView(), withPositions);
}

link::Async<bool> FrmProfile::loadForSave() {
    reading_.reset();
    profile_ = profile::Profile{model_, "", panelVersion(), "", {}};
    file_.clear();
    const std::string rom = co_await readRom();
    if (rom.empty()) {
        dialogs::warn(ctx_, "Camera " + std::to_string(camera_) + " did not answer: its settings could not be read.");
        co_return false;
    }
    profile_.rom = rom;
    const std::optional<profile::Values> values = co_await readDriven(ChkPositions.checked());
    if (!values) co_return false;
    showSaving();
    co_return ctx_.link().CamAddress == camera_;
}

link::Async<bool> FrmProfile::loadForCompare() {
    const std::optional<profile::Values> values = co_await readDriven(profile::holdsPositions(profile_.settings));
    if (!values) co_return false;
    showComparison(*values);
    co_return ctx_.link().CamAddress == camera_;
}

link::Async<bool> FrmProfile::loadForApply() {
    const std::vector<ChainCamera> chain = co_await chain_->cameras();
    sameModel_.clear();
    bool drivenFound = false;
    for (const ChainCamera& c : chain) {
        if (c.address == camera_ && !c.model.empty() && c.model != profile_.model) {
            // Another camera was put in its place since it was identified.
            dialogs::warn(ctx_, "The profile " + file_ + " was not used.\r\nThis profile is for " +
                                    profile::withArticle(profile_.model) + "; camera " + std::to_string(camera_) +
                                    " now answers as " + profile::withArticle(c.model) + ".");
            co_return false;
        }
        if (c.model != profile_.model) continue;
        sameModel_.push_back(c);
        drivenFound = drivenFound || c.address == camera_;
    }
    if (!drivenFound) {
        // The driven camera was checked against the profile as identified;
        // it did not answer just now.
        sameModel_.push_back(drivenCamera());
        std::sort(sameModel_.begin(), sameModel_.end(),
                  [](const ChainCamera& a, const ChainCamera& b) { return a.address < b.address; });
    }
    // What the apply would change on the driven camera.
    const std::optional<profile::Values> values = co_await readDriven(profile::holdsPositions(profile_.settings));
    if (!values) co_return false;
    showComparison(*values);
    OptThis.setCaption("This camera (" + std::to_string(camera_) + ")");
    OptEvery.setCaption("Every " + profile_.model + " on the chain (" + cameraWord(static_cast<int>(sameModel_.size())) +
                        " " + addressList(sameModel_) + ")");
    OptEvery.setEnabled(sameModel_.size() > 1);
    OptThis.setValue(true);
    OptEvery.setValue(false);
    co_return ctx_.link().CamAddress == camera_;
}

// ---- the operator --------------------------------------------------------------------

// The reading holds the positions either way: the box only chooses what
// the profile keeps of it.
void FrmProfile::ChkPositions_Click() {
    if (task_ == Task::Save && !applying()) showSaving();
}

void FrmProfile::CmdSave_Click() {
    if (task_ != Task::Save) return;
    const std::string suggested = model_ + "-camera" + std::to_string(camera_) + ".json";
    const std::string path =
        ctx_.platform().windows.saveFileName("Save Camera Profile", suggested, "Camera profile (*.json)");
    if (path.empty()) return;
    profile::Profile out = profile_;
    out.saved = localTimeText(ctx_.platform().clock.localTime());
    const std::string reason = profile::writeProfileFile(path, out);
    if (!reason.empty()) {
        ctx_.platform().windows.message({MsgIcon::Exclamation, "Warning",
                                         "The profile could not be saved to " + path + ".\r\n" + reason, MsgButtons::Ok,
                                         true});
        return;
    }
    profile_ = std::move(out);
    file_ = fileNameOf(path);
    const int n = static_cast<int>(profile_.settings.size());
    LblSummary.setCaption(noInquiries_ ? "The " + model_ + "'s model and ROM version saved to " + path + "."
                                       : std::to_string(n) + (n == 1 ? " setting" : " settings") + " saved to " +
                                             path + ".");
    showIdentity();
}

void FrmProfile::CmdApply_Click() {
    if (task_ != Task::Apply || applying()) return;
    std::vector<ChainCamera> cameras;
    if (OptEvery.value()) {
        cameras = sameModel_;
    } else {
        const auto it = std::find_if(sameModel_.begin(), sameModel_.end(),
                                     [this](const ChainCamera& c) { return c.address == camera_; });
        cameras.push_back(it != sameModel_.end() ? *it : drivenCamera());
    }
    cancel_ = std::make_shared<bool>(false);
    appliedToDriven_ = true;
    CmdApply.setEnabled(false);
    OptThis.setEnabled(false);
    OptEvery.setEnabled(false);
    CmdCancel.setEnabled(true);
    LblProgress.setCaption("Applying to " + cameraWord(static_cast<int>(cameras.size())) + " " +
                           addressList(cameras) + "\u2026");
    ctx_.dialogHost().start(
        [](FrmProfile& d, std::vector<ChainCamera> to, profile::CancelFlag cancel) -> link::Async<void> {
            {
                link::Async<void> run = d.runApply(std::move(to), std::move(cancel));
                co_await run;
            }
            // The apply has ended (and lowered its flag with its frame): a
            // close asked for meanwhile is carried out now.
            if (d.closeWhenApplied_) d.unload();
        }(*this, std::move(cameras), cancel_));
}

link::Async<void> FrmProfile::runApply(std::vector<ChainCamera> cameras, profile::CancelFlag cancel) {
    const dialogs::RunFlag::Raised running = applying_.raise();
    std::vector<int> addresses;
    for (const ChainCamera& c : cameras) addresses.push_back(c.address);
    const std::unique_ptr<profile::ApplyLink> link = chain_->applyLink(std::move(cameras));
    auto progress = [this](const profile::Progress& p) {
        std::string text = "Camera " + std::to_string(p.camera) + ": " + std::to_string(p.done) + " of " +
                           std::to_string(p.total);
        if (!p.setting.empty()) text += " \u2014 " + p.setting;
        LblProgress.setCaption(text);
    };
    const std::vector<profile::CameraReport> reports =
        co_await profile::applyProfile(*link, profile_.settings, addresses, cancel, progress);
    ctx_.linkControl().echoOn();
    const bool cancelled = *cancel;
    showReports(reports, addresses, cancelled);
    LblProgress.setCaption(cancelled ? "Cancelled after the command in flight." : "Applied.");
    CmdCancel.setEnabled(false);
    CmdApply.setEnabled(true);
    OptThis.setEnabled(true);
    OptEvery.setEnabled(sameModel_.size() > 1);
}

void FrmProfile::CmdCancel_Click() {
    if (!applying() || !cancel_) return;
    *cancel_ = true;
    CmdCancel.setEnabled(false);
    LblProgress.setCaption("Cancelling after the command in flight\u2026");
}

void FrmProfile::CmdClose_Click() { unload(); }

void FrmProfile::Form_Unload() {
    if (applying()) {
        // Closing while an apply runs cancels it first; the window closes
        // once the command in flight has ended.
        closeWhenApplied_ = true;
        CmdCancel_Click();
        CmdClose.setEnabled(false);
        return;
    }
    closeWhenApplied_ = false;
    hide();
    ctx_.unloaded(*this);
    dialogs::giveTimersBack(ctx_);
    // The main window shows what the apply left in the driven camera.
    if (appliedToDriven_) {
        appliedToDriven_ = false;
        ctx_.dialogHost().readCameraStatus();
    }
}

}  // namespace orbus
