// The chain without a window: the line's owner, the command interface and
// the chain model, wired together on a platform. What a controller with no
// main window (a test, a network client, a stick) drives and reads; the
// status read here fills the model only and draws nothing.
#pragma once

#include <memory>
#include <optional>

#include "link/async.h"
#include "link/camera_link.h"
#include "link/link_commands.h"
#include "link/link_state.h"
#include "link/chain_health.h"
#include "model/chain.h"
#include "platform/form.h"
#include "platform/platform.h"

namespace orbus::model {

// Keeps the model's link facts of each camera (in flight, waiting, last
// reply) in step with the link. The link tells of a change in the middle
// of a send; the copy is made from the event queue once the send is over,
// so the facts are whole and a subscriber may send in turn. A camera
// whose facts did not change is not told of.
class LinkFactsFeed {
public:
    LinkFactsFeed(EventPoster& poster, Chain& chain, const ChainHealth& health)
        : poster_(poster), chain_(chain), health_(health) {}
    ~LinkFactsFeed() { *alive_ = false; }
    LinkFactsFeed(const LinkFactsFeed&) = delete;
    LinkFactsFeed& operator=(const LinkFactsFeed&) = delete;
    // The link `link` changed; one copy is owed however often it is told.
    void changed(link::CameraLink& link);

private:
    EventPoster& poster_;
    Chain& chain_;
    const ChainHealth& health_;
    bool owed_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class Station {
public:
    // The platform's port is taken over: its events come here.
    explicit Station(Platform& platform);
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    Chain& chain() { return chain_; }
    link::CommandSink& commands() { return commands_; }
    link::CameraLink& link() { return *link_; }
    const LinkState& linkState() const { return state_; }

    // Opens the port at `baud` with the line settings every camera uses.
    bool open(int baud = 9600);
    // Numbers the cameras with the address-set broadcast: their count, or
    // nothing when the chain did not answer. The model learns the length.
    link::Async<std::optional<int>> numberChain();
    // Asks the camera at `address` who it is, then reads its status
    // blocks into the model. False when an inquiry gave up (the model
    // keeps what it had).
    link::Async<bool> read(int address);
    // Runs a routine to its end while the platform delivers events.
    template <class T>
    T runToEnd(link::Async<T> routine) {
        return link_->runToEnd(std::move(routine));
    }

private:
    class Logs;
    class Reading;
    // The link's facts of each camera, copied into the model.
    void linkChanged();

    Platform& platform_;
    LinkState state_;
    ChainHealth health_{{&versionModelName, nullptr}};
    Chain chain_;
    LinkFactsFeed facts_{platform_.poster, chain_, health_};
    // A form that is never shown: it carries the logs and timers the link
    // writes and runs.
    Form host_;
    std::unique_ptr<Logs> logs_;
    std::unique_ptr<link::CameraLink> link_;
    link::LinkCommands commands_;
};

}  // namespace orbus::model
