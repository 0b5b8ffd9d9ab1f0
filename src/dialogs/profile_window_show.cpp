// The profile window's drawing: the task's controls, the profile's
// identity, values in operator words, and the table of a save or a
// comparison.
#include "dialogs/profile_window.h"

#include <algorithm>

#include "dialogs/context.h"

namespace orbus {

// ---- what the window shows -----------------------------------------------------------

void FrmProfile::showTask() {
    const bool save = task_ == Task::Save, apply = task_ == Task::Apply;
    ChkPositions.setVisible(save);
    CmdSave.setVisible(save);
    CmdSave.setEnabled(save);
    OptThis.setVisible(apply);
    OptEvery.setVisible(apply);
    CmdApply.setVisible(apply);
    CmdApply.setEnabled(apply);
    LblProgress.setVisible(apply);
    CmdCancel.setVisible(apply);
    CmdCancel.setEnabled(false);
    CmdClose.setEnabled(true);
    OptThis.setEnabled(apply);
    OptEvery.setEnabled(apply);
    arrange();
    showIdentity();
}

void FrmProfile::showIdentity() {
    std::string text = profile_.model.empty() ? model_ : profile_.model;
    if (!profile_.rom.empty()) text += ", ROM " + profile_.rom;
    if (!profile_.saved.empty()) text += ", saved " + profile_.saved;
    if (!profile_.panelVersion.empty() && !profile_.saved.empty()) text += " by panel " + profile_.panelVersion;
    // The second line: the file, and the camera read.
    const char* how = task_ == Task::Save ? "read from camera " : "compared with camera ";
    text += "\r\n" + (file_.empty() ? std::string() : file_ + ", ") + how + std::to_string(camera_);
    LblIdentity.setCaption(text);
}

std::string FrmProfile::cameraText(const profile::Difference& d) const {
    if (d.camera) return valueText(*d.setting, d.camera);
    return d.automatic ? "auto" : "not read";
}

std::string FrmProfile::valueText(const profile::SettingDef& setting, std::optional<int> value) const {
    if (!value) return std::string();
    std::string text = profile::valueText(setting, *value);
    // Exposure positions with what the main window shows for them ("F2.8").
    const LabelTables& l = ctx_.labels();
    const std::string key = setting.key;
    std::string shown;
    if (key == "exposure.iris") shown = l.iris(*value);
    else if (key == "exposure.shutter") shown = l.shutter(ctx_.modes().VideoSysCode == 1 ? 1 : 0, *value);
    else if (key == "exposure.gain") shown = l.gain(*value);
    else if (key == "exposure.bright") shown = l.bright(*value);
    else if (key == "exposure.compensationLevel") shown = l.expComp(*value);
    else if (key == "exposure.slowShutterLimit") shown = slowShutterLimitText(ctx_.modes().VideoSysCode == 1, *value);
    if (!shown.empty()) text += " (" + shown + ")";
    return text;
}

void FrmProfile::showSaving() {
    profile_.settings = noInquiries_ || !reading_
                            ? profile::Values{}
                            : profile::settingsOf(*reading_, chain_->modelView(), ChkPositions.checked());
    rows_.clear();
    for (const profile::SettingDef& s : profile::catalogue()) {
        const auto it = profile_.settings.find(s.key);
        if (it == profile_.settings.end()) continue;
        const std::string v = valueText(s, it->second);
        rows_.push_back({s.label, v, v, ""});
    }
    Settings.resetRows(static_cast<int>(rows_.size()));
    const int n = static_cast<int>(profile_.settings.size());
    if (noInquiries_) {
        LblSummary.setCaption("The " + model_ +
                              " answers no setting inquiry: its profile holds its model and ROM version only.");
    } else {
        LblSummary.setCaption(std::to_string(n) + (n == 1 ? " setting" : " settings") + " to save.");
    }
    ChkPositions.setEnabled(!noInquiries_);
    showIdentity();
}

void FrmProfile::showComparison(const profile::Values& camera) {
    const std::vector<profile::Difference> diffs = profile::compare(profile_.settings, camera);
    rows_.clear();
    for (const profile::Difference& d : diffs) {
        if (!d.setting) continue;
        rows_.push_back({d.setting->label, d.profile ? valueText(*d.setting, d.profile) : std::string(),
                         cameraText(d), d.differs ? "yes" : "no"});
    }
    Settings.resetRows(static_cast<int>(rows_.size()));
    LblSummary.setCaption(differenceSummary(profile::differing(diffs), static_cast<int>(diffs.size())));
    showIdentity();
}

void FrmProfile::showReports(const std::vector<profile::CameraReport>& reports, const std::vector<int>& cameras,
                             bool cancelled) {
    const bool several = cameras.size() > 1;
    std::vector<Row> differing, same;
    std::string summary;
    auto line = [&summary](const std::string& s) { summary += (summary.empty() ? "" : "\r\n") + s; };
    for (const int camera : cameras) {
        const std::string name = "Camera " + std::to_string(camera);
        const auto it = std::find_if(reports.begin(), reports.end(),
                                     [camera](const profile::CameraReport& r) { return r.camera == camera; });
        if (it == reports.end()) {
            line(name + (cancelled ? ": not applied (cancelled)." : ": not applied."));
            continue;
        }
        const profile::CameraReport& r = *it;
        // Refusals for the same reason in one line: "Camera 2 refused Iris,
        // Gain: the camera cannot carry it out now."
        std::vector<std::pair<std::string, std::string>> byReason;  // reason, settings
        for (const std::string& refused : r.refused) {
            const auto colon = refused.find(": ");
            const std::string setting = refused.substr(0, colon);
            const std::string reason = colon == std::string::npos ? std::string() : refused.substr(colon + 2);
            auto it = std::find_if(byReason.begin(), byReason.end(), [&](const auto& g) { return g.first == reason; });
            if (it == byReason.end()) {
                byReason.emplace_back(reason, setting);
            } else {
                it->second += ", " + setting;
            }
        }
        for (const auto& [reason, settings] : byReason) {
            if (reason.rfind("left out", 0) == 0) line(name + ": " + settings + " " + reason + ".");
            else line(name + " refused " + settings + (reason.empty() ? "" : ": " + reason) + ".");
        }
        if (r.cancelled) {
            line(name + ": cancelled after " + std::to_string(r.sent) + " of " + std::to_string(r.total) +
                 " commands.");
        }
        if (!r.readBack) {
            line(name + ": not read back.");
            continue;
        }
        const int n = profile::differing(r.after);
        line(name + ": " + (n == 0 ? std::string("no difference.")
                                   : differenceSummary(n, static_cast<int>(r.after.size()))));
        for (const profile::Difference& d : r.after) {
            if (!d.setting) continue;
            Row row{(several ? name + ": " : std::string()) + d.setting->label,
                    d.profile ? valueText(*d.setting, d.profile) : std::string(), cameraText(d),
                    d.differs ? "yes" : "no"};
            (d.differs ? differing : same).push_back(std::move(row));
        }
    }
    rows_ = std::move(differing);
    rows_.insert(rows_.end(), same.begin(), same.end());
    Settings.resetRows(static_cast<int>(rows_.size()));
    LblSummary.setCaption(summary);
}

}  // namespace orbus
