// Applying a profile and comparing it with a camera: the order of the
// packets, the run over one camera or several with a completion awaited
// for each packet and a cancel that takes effect after the packet in
// flight, and the comparison of a profile with what a camera reads back.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/async.h"
#include "link/command_end.h"
#include "profile/catalogue.h"

namespace orbus::profile {

// One packet of an apply, in the order it goes out.
struct Step {
    const SettingDef* setting = nullptr;
    std::vector<int> body;     // between the header and FF
    double pauseBefore = 0;    // seconds the camera needs before this packet
};
// The packets that set a profile's values, modes before the values they
// enable, positions last.
std::vector<Step> applyPlan(const Values& profile);

using link::CommandEnd;

// What an apply needs of the link: one command to a camera, awaited to
// its end; a pause; and a read of a camera's settings.
struct ApplyLink {
    virtual ~ApplyLink() = default;
    virtual link::Async<CommandEnd> command(int camera, std::vector<int> body) = 0;
    virtual link::Async<void> pause(double seconds) = 0;
    // The camera's settings as a profile of its model would hold them
    // (positions when the profile holds them); nothing when it did not answer.
    virtual link::Async<std::optional<Values>> read(int camera, bool withPositions) = 0;
    // The camera lacks a setting its model has (an ORX-Kappa whose video
    // system has no D-sub output): the setting is left out for it.
    virtual bool lacks(int camera, const SettingDef& setting) const {
        (void)camera, (void)setting;
        return false;
    }
};

// A setting in a comparison: what the profile holds and what the camera
// has. The camera's value is missing when its own modes hand the setting
// to its automatics, or when the read did not give it.
struct Difference {
    const SettingDef* setting = nullptr;
    std::optional<int> profile, camera;
    bool differs = false;
    // The camera's value is missing because its own modes hand the setting
    // to its automatics (not because the read did not give it).
    bool automatic = false;
};
// Every setting of the profile, the differing ones first, each group in
// catalogue order.
std::vector<Difference> compare(const Values& profile, const Values& camera);
// How many of them differ.
int differing(const std::vector<Difference>& rows);

// One camera's part of an apply.
struct CameraReport {
    int camera = 0;
    int completed = 0, total = 0;  // packets the camera completed, packets planned
    int sent = 0;                  // packets that went out (completed or refused)
    // The settings the camera refused or lacks, with why ("Iris: the camera
    // cannot carry it out now").
    std::vector<std::string> refused;
    bool cancelled = false;   // the operator cancelled before its last packet
    bool readBack = false;    // the read-back answered
    std::vector<Difference> after;  // the read-back compared with the profile
};

// Progress as the apply goes: the camera, packets done of planned, and
// the setting under way (empty once the camera is done).
struct Progress {
    int camera = 0;
    int done = 0, total = 0;
    std::string setting;
};

// A cancel the operator may raise while the apply runs; shared so that
// the window may go away before the routine ends.
using CancelFlag = std::shared_ptr<bool>;

// Applies the profile to each camera in turn: every planned packet, each
// awaited to its end (a refused one is noted and the next goes out), then
// a read-back compared with the profile. A raised cancel ends the apply
// after the packet in flight; cameras not started are not reported.
link::Async<std::vector<CameraReport>> applyProfile(ApplyLink& link, Values profile, std::vector<int> cameras,
                                                    CancelFlag cancel, std::function<void(const Progress&)> progress);

}  // namespace orbus::profile
