// Commands to each camera, paced by the camera's command sockets: no more
// in flight than it has sockets; the rest wait. A slider's values waiting
// for a socket collapse into the newest (the camera only needs to end where
// the operator left the slider); drives and other commands wait in order,
// the panel's own before those of network clients, and a stop goes before
// anything waiting (the drive it ends, if it has not gone out yet, never
// does). A command the camera refused as
// "buffer full" waits again and goes out after the camera's next
// completion, so nothing the operator set is lost.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/in_flight.h"
#include "link/reply.h"
#include "platform/serial_port.h"

namespace orbus::link {

class CommandPacer {
public:
    static constexpr int kSockets = 2;
    // A command not acknowledged this long was not taken by the camera; one
    // not completed this long (a drive excepted) never will be. A refusal
    // holds what waits no longer than kAckLimit either.
    static constexpr double kAckLimit = 1.0;
    static constexpr double kCompletionLimit = 10.0;

    using Kind = PaceKind;
    using Item = PacedCommand;

    // True when a command for this camera must wait (sockets busy, others
    // waiting, or a refusal not yet followed by a completion).
    bool mustWait(int camera) const;
    // Puts a command in the camera's queue (coalescing a Value of the same
    // key): a stop first, the panel's own ahead of network clients' packets.
    void wait(int camera, Item item);
    // A command went out to the camera at time `at`, awaited by the routine
    // `awaitedBy`. Only a command that takes a socket is in flight.
    void sent(int camera, Item item, double at = 0, long awaitedBy = InFlight::kUnawaited);
    // One of the camera's replies at `at`: what it answered or ended. A
    // refusal ("buffer full") puts its command back in line (unless a newer
    // value of its key already waits or its sender tries again itself) and
    // holds what waits until the next completion; a completion or another
    // error lets it go.
    InFlight::Outcome replied(int camera, const Reply& reply, double at = 0);
    static bool startsDrive(const Bytes& packet) { return InFlight::startsDrive(packet); }
    // A command's identity while it waits: its first three bytes after the
    // header. A newer value of the same key replaces an older one; a stop
    // drops a waiting drive of its key.
    static std::string keyOf(const Bytes& packet) {
        std::string key;
        for (std::size_t i = 1; i < packet.size() && i <= 3; ++i) key += static_cast<char>(packet[i]);
        return key;
    }
    // The next command to send to this camera now, taken from its queue.
    std::optional<Item> next(int camera);
    // The camera's commands in flight sent at or before `sentBy` are given
    // up (their completion never came): their sockets count as free; what
    // waits stays. A drive the camera acknowledged keeps its socket until
    // its stop. The number given up.
    int forgetInFlight(int camera, double sentBy = std::numeric_limits<double>::infinity());
    // Commands overdue at `now` are given up (see the limits): the number
    // not acknowledged and the number not completed. A refusal older than
    // kAckLimit no longer holds what waits.
    std::pair<int, int> forgetOverdue(int camera, double now);
    // Everything dropped (the port went away).
    void clear();
    // Replies and NoAnswers owed to the listeners of commands in flight or
    // dropped while waiting, since the last call.
    std::vector<ReplyNotice> takeNotices();

    int inFlight(int camera) const;
    std::size_t waiting(int camera) const;
    // The camera's replies so far that ended one of its commands.
    long ends(int camera) const;
    // Refusals seen (per camera) and values replaced while waiting (all cameras).
    int refusals(int camera) const;
    int coalesced() const { return coalesced_; }

private:
    struct Camera {
        InFlight inFlight;
        std::deque<Item> waiting;
        bool heldUntilCompletion = false;
        double heldSince = 0;
        int refusals = 0;
    };
    Camera* at(int camera);
    const Camera* at(int camera) const;
    void enqueue(Camera& c, Item item, bool front);
    void dropped(const Item& item) { noteReply(notices_, item, CommandReply::Kind::NoAnswer); }

    std::array<Camera, 8> cameras_{};
    int coalesced_ = 0;
    std::vector<ReplyNotice> notices_;
};

}  // namespace orbus::link
