// "Camera Profile": saving the driven camera's settings to a profile file,
// comparing a profile with the camera, and applying one to the camera or
// to every camera of its model on the chain. One window for the three:
// a table of the settings ("Setting", "Profile", "Camera", "Differs",
// differences first), a summary, and the controls of the task at hand.
// Modal; the refresh is held while it is open. What it reads and sends
// runs beside the window, never in a loop of its own.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/dialog_link.h"
#include "dialogs/profile_chain.h"
#include "link/async.h"
#include "platform/control.h"
#include "platform/form.h"
#include "platform/table.h"
#include "profile/apply.h"
#include "profile/profile_file.h"

namespace orbus {

namespace dialogs {
class Context;
}

class FrmProfile : public Form {
public:
    FrmProfile(dialogs::Context& context, std::unique_ptr<dialogs::ProfileChain> chain);

    enum class Task { Save, Compare, Apply };

    // The profile's identity ("ORX-Kappa, ROM 01.05, saved ... by panel
    // 1.0.0") and its file.
    Label LblIdentity{*this, "LblIdentity", ""};
    Table Settings;
    // "No difference." / "3 of 24 settings differ."; after an apply, what
    // each camera still differs in.
    Label LblSummary{*this, "LblSummary", ""};
    // Saving.
    CheckBox ChkPositions{*this, "ChkPositions", "Include zoom and focus positions"};
    Button CmdSave{*this, "CmdSave", "Save\u2026"};
    // Applying.
    OptionButton OptThis{*this, "OptThis", "This camera"};
    OptionButton OptEvery{*this, "OptEvery", "Every camera of the model on the chain"};
    Button CmdApply{*this, "CmdApply", "Apply"};
    Label LblProgress{*this, "LblProgress", ""};
    Button CmdCancel{*this, "CmdCancel", "Cancel"};
    Button CmdClose{*this, "CmdClose", "Close"};

    // The main window's three menu items. Compare and apply ask for the
    // file first and check it; a file that cannot be used is refused with
    // one warning and nothing goes to a camera.
    void openToSave();
    void openToCompare();
    void openToApply();

    void ChkPositions_Click();
    void CmdSave_Click();
    void CmdApply_Click();
    void CmdCancel_Click();
    void CmdClose_Click();
    void Form_Unload();

    Task task() const { return task_; }
    // An apply runs.
    bool applying() const { return applying_.up(); }

    // One row of the table, as shown.
    struct Row {
        std::string setting, profile, camera, differs;
    };
    const std::vector<Row>& rows() const { return rows_; }

private:
    // Opens the window for `task` once `load` has read what it shows.
    void openFor(Task task, link::Async<bool> load);
    // The profile in a file the operator picks, checked against the driven
    // camera's model; nothing (after one warning) when it cannot be used.
    std::optional<profile::Profile> profileFromFile(const std::string& title);
    link::Async<bool> loadForSave();
    link::Async<bool> loadForCompare();
    link::Async<bool> loadForApply();
    // The apply itself; the window counts as applying while it runs.
    link::Async<void> runApply(std::vector<ChainCamera> cameras, profile::CancelFlag cancel);
    // Reads the driven camera as a profile of its model holds it; nothing
    // (after telling the operator) when it did not answer.
    link::Async<std::optional<profile::Values>> readDriven(bool withPositions);
    // The driven camera as the chain's list would name it.
    ChainCamera drivenCamera() const;
    // The driven camera's ROM version ("01.05"); empty when it did not say.
    link::Async<std::string> readRom();

    void showTask();
    void showSaving();
    void showComparison(const profile::Values& camera);
    // What each camera of an apply still differs in; cameras an apply did
    // not reach are named too.
    void showReports(const std::vector<profile::CameraReport>& reports, const std::vector<int>& cameras,
                     bool cancelled);
    void showIdentity();
    std::string valueText(const profile::SettingDef& setting, std::optional<int> value) const;
    // The camera's side of a comparison: its value, "auto" where its modes
    // hand the setting to its automatics, "not read" otherwise.
    std::string cameraText(const profile::Difference& d) const;
    void arrange();

    dialogs::Context& ctx_;
    std::unique_ptr<dialogs::ProfileChain> chain_;
    Task task_ = Task::Save;
    dialogs::RunFlag opening_, applying_;
    profile::CancelFlag cancel_;
    bool closeWhenApplied_ = false;
    bool appliedToDriven_ = false;  // the driven camera was sent settings
    // The driven camera when the window opened.
    int camera_ = 1;
    std::string model_;
    // Saving: what the read gave, and the profile written from it.
    std::optional<profile::Reading> reading_;
    bool noInquiries_ = false;  // the model answers no setting inquiry
    profile::Profile profile_;
    std::string file_;  // the profile's file name (saved, or read)
    // Applying: the cameras of the profile's model on the chain.
    std::vector<ChainCamera> sameModel_;
    std::vector<Row> rows_;
};

// "3 of 24 settings differ." / "No difference."
std::string differenceSummary(int differing, int settings);

}  // namespace orbus
