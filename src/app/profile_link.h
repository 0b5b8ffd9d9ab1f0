// The panel's side of camera profiles: reading a camera's settings over
// the line, finding the cameras of the chain and their models, and the
// link an apply runs on.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/profile_chain.h"
#include "link/async.h"
#include "profile/apply.h"
#include "profile/catalogue.h"

namespace orbus {

class Program;

// The cameras at the chain's addresses, each asked for its version (and an
// ORX-Kappa for its video system), holding the line while it asks.
link::Async<std::vector<ChainCamera>> chainCameras(Program& prog);

// Reads one camera's settings: its status blocks and the inquiries of the
// power-off timers and the alarm where its model has them, holding the line
// while it reads. The camera need not be the driven one, but must be of
// the model the window is laid out for. Nothing when it did not answer.
link::Async<std::optional<profile::Reading>> readCameraSettings(Program& prog, const ChainCamera& camera);

// The apply's link: commands through the main window's command interface
// (link::Source::Profile), each awaited to its end; reads as above, turned
// into the settings a profile holds.
class PanelApplyLink final : public profile::ApplyLink {
public:
    PanelApplyLink(Program& prog, std::vector<ChainCamera> cameras) : prog_(prog), cameras_(std::move(cameras)) {}
    link::Async<link::CommandEnd> command(int camera, std::vector<int> body) override;
    link::Async<void> pause(double seconds) override;
    link::Async<std::optional<profile::Values>> read(int camera, bool withPositions) override;
    // An ORX-Kappa whose video system has no D-sub sync output lacks that
    // setting, whatever the driven camera has.
    bool lacks(int camera, const profile::SettingDef& setting) const override;

private:
    Program& prog_;
    std::vector<ChainCamera> cameras_;
};

// The profile window's view of the panel of `prog`.
std::unique_ptr<dialogs::ProfileChain> profileChainOf(Program& prog);

}  // namespace orbus
