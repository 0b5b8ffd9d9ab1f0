// Commands to each camera, paced by the camera's command sockets: no more
// in flight than it has sockets; the rest wait. A slider's values waiting
// for a socket collapse into the newest (the camera only needs to end where
// the operator left the slider); drives and other commands wait in order,
// and a stop goes before anything waiting (the drive it ends, if it has not
// gone out yet, never does). A command the camera refused as
// "buffer full" waits again and goes out after the camera's next
// completion, so nothing the operator set is lost.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <utility>

#include "platform/serial_port.h"

namespace orbus::link {

class CommandPacer {
public:
    static constexpr int kSockets = 2;
    // A command not acknowledged this long was not taken by the camera; one
    // not completed this long (a drive excepted) never will be.
    static constexpr double kAckLimit = 1.0;
    static constexpr double kCompletionLimit = 10.0;

    enum class Kind {
        Value,  // a slider's position: a newer one of the same key replaces it while it waits
        Other,  // a drive, a switch, a button's packet: waits in order
        Stop,   // ends a drive: goes before anything waiting; a drive of its key still waiting is dropped
    };
    struct Item {
        Bytes packet;     // header .. FF
        std::string key;  // Value: what a newer value replaces (the command's identity)
        Kind kind = Kind::Other;
        // Refused as "buffer full", it waits again; a sender that tries
        // again itself (an awaited command) clears this.
        bool againWhenRefused = true;
    };

    // True when a command for this camera must wait (sockets busy, others
    // waiting, or a refusal not yet followed by a completion).
    bool mustWait(int camera) const;
    // Puts a command in the camera's queue (coalescing a Value of the same key).
    void wait(int camera, Item item);
    // A command went out to the camera at time `at`.
    void sent(int camera, Item item, double at = 0);
    // The camera acknowledged its oldest command not yet acknowledged;
    // that command (nullptr when none was waiting for it).
    const Item* acknowledged(int camera);
    // The packet starts a motion that runs until a stop or the end of
    // travel (a pan-tilt drive, a zoom, focus or digital zoom drive).
    static bool startsDrive(const Bytes& packet);
    // One of the camera's commands ended (completion or an error that ends it).
    void ended(int camera);
    // The camera refused its oldest unacknowledged command: it waits again,
    // unless a newer value of its key already does or its sender tries
    // again itself.
    void refused(int camera);
    // The next command to send to this camera now, taken from its queue.
    std::optional<Item> next(int camera);
    // The camera's commands in flight are given up (their completion never
    // came): their sockets count as free; what waits stays. A drive the
    // camera acknowledged keeps its socket until its stop. The number given up.
    int forgetInFlight(int camera);
    // Commands overdue at `now` are given up (see the limits): the number
    // not acknowledged and the number not completed.
    std::pair<int, int> forgetOverdue(int camera, double now);
    // Everything dropped (the port went away).
    void clear();

    int inFlight(int camera) const;
    std::size_t waiting(int camera) const;
    // Refusals seen (per camera) and values replaced while waiting (all cameras).
    int refusals(int camera) const;
    int coalesced() const { return coalesced_; }

private:
    struct Sent {
        Item item;
        bool acknowledged = false;
        double at = 0;
    };
    struct Camera {
        std::deque<Sent> inFlight;
        std::deque<Item> waiting;
        bool heldUntilCompletion = false;
        int refusals = 0;
    };
    Camera* at(int camera);
    const Camera* at(int camera) const;
    static void enqueue(Camera& c, Item item, int& coalesced, bool front);

    std::array<Camera, 8> cameras_{};
    int coalesced_ = 0;
};

}  // namespace orbus::link
