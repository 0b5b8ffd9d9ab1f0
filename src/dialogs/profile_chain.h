// What the profile window needs of the panel beyond the dialogs' own
// means: the main window's layout for the driven camera, the cameras of the
// chain, reading one camera's settings, and the link an apply runs on.
// The panel's side implements it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/async.h"
#include "profile/apply.h"
#include "profile/catalogue.h"

namespace orbus {

// A camera of the chain as its version answer named it.
struct ChainCamera {
    int address = 0;
    std::string model;          // "ORX-Kappa", "KBM-R05"; empty when it did not answer
    int kappaVideoSystem = -1;  // ORX-Kappa: its video format, as asked
};

namespace dialogs {

class ProfileChain {
public:
    virtual ~ProfileChain() = default;
    // The main window laid out for the driven camera.
    virtual profile::ModelView modelView() const = 0;
    // The cameras at the chain's addresses, each asked for its version,
    // holding the line while it asks.
    virtual link::Async<std::vector<ChainCamera>> cameras() = 0;
    // One camera's settings, read while holding the line; nothing when it
    // did not answer or is not of the model the window is laid out for.
    virtual link::Async<std::optional<profile::Reading>> read(const ChainCamera& camera) = 0;
    // The link an apply to `cameras` runs on.
    virtual std::unique_ptr<profile::ApplyLink> applyLink(std::vector<ChainCamera> cameras) = 0;
};

}  // namespace dialogs
}  // namespace orbus
