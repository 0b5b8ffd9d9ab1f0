// One camera's commands in flight: each command that took (or asked for) a
// command socket, from the moment it went out until the camera ended it,
// refused it, or the panel gave it up. A camera answers its commands in the
// order they reached it: first an acknowledge naming the socket the command
// took, or an error in its place; later the completion or an error of that
// socket ends it. Pacing (sockets busy), awaited ends (which command a reply
// ends) and the overdue checks are all answered from this one record.
#pragma once

#include <cstddef>
#include <deque>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/command_end.h"
#include "link/reply.h"
#include "link/source.h"
#include "platform/serial_port.h"

namespace orbus::link {

// How a command waits for a free socket.
enum class PaceKind {
    Value,  // a slider's position: a newer one of the same key replaces it while it waits
    Other,  // a drive, a switch, a button's packet: waits in order
    Stop,   // ends a drive: goes before anything waiting; a drive of its key still waiting is dropped
};

struct PacedCommand {
    Bytes packet;     // header .. FF
    std::string key;  // Value: what a newer value replaces (the command's identity)
    PaceKind kind = PaceKind::Other;
    // Refused as "buffer full", it waits again; a sender that tries
    // again itself (an awaited command) clears this.
    bool againWhenRefused = true;
    // The controller that sent it; nothing for the panel's own.
    std::optional<Source> source{};
    std::string client{};     // Source::Remote: the client that sent it
    ReplyListener onReply{};  // see link::Command
};

// A reply (or its absence) owed to a command's listener: collected while
// the record changes, told once the link is done with it.
struct ReplyNotice {
    ReplyListener to;
    CommandReply what;
};
// Owed to `c` (nothing when it has no listener).
void noteReply(std::vector<ReplyNotice>& notices, const PacedCommand& c, CommandReply::Kind kind,
               const Bytes& bytes = {});

class InFlight {
public:
    // A command awaited by no routine.
    static constexpr long kUnawaited = 0;
    // A command whose first reply has not come this long never will.
    static constexpr double kFirstReplyLimit = 1.0;

    // A packet to one camera (81..87) that takes a command socket: a
    // command (8x 01 ..), but not the interface clear or the service
    // memory read, which are answered like inquiries.
    static bool takesSocket(const Bytes& packet);
    // The packet starts a motion that runs until a stop or the end of
    // travel (a pan-tilt drive, a zoom, focus or digital zoom drive).
    static bool startsDrive(const Bytes& packet);

    // A command went out at `at`; `awaitedBy` names the routine awaiting its
    // end (kUnawaited: none).
    void sent(PacedCommand command, long awaitedBy, double at);

    struct Outcome {
        long id = kUnawaited;            // the awaited command the reply ends or refuses
        std::optional<CommandEnd> end;   // how, when it ends or refuses one
        bool freesSocket = false;        // one of the camera's commands ended
        std::optional<PacedCommand> acknowledged;  // the command an acknowledge answered
        std::optional<PacedCommand> refused;       // the command a "buffer full" refused
        int givenUp = 0;                 // commands never answered, dropped on the way
        // Commands whose socket the camera gave to another command before
        // their end was seen: over, their completion never came.
        int unended = 0;
    };
    // One of the camera's replies, received at `at`.
    Outcome reply(const Reply& reply, double at);

    // Commands in flight (each holds or asks for a socket).
    int count() const { return static_cast<int>(commands_.size()); }
    // Commands still awaiting their first reply.
    std::size_t unanswered() const;
    // Replies so far that ended one of the camera's commands.
    long ends() const { return ends_; }

    // The completions never came: every command sent at or before `sentBy`
    // is given up but an acknowledged drive, which keeps its socket until
    // its stop. The number given up.
    int forgetUnended(double sentBy = std::numeric_limits<double>::infinity());
    // Commands overdue at `now` are given up: the number not answered
    // within `ackLimit` and the number not completed within
    // `completionLimit` (an acknowledged drive never is).
    std::pair<int, int> forgetOverdue(double now, double ackLimit, double completionLimit);
    // Everything forgotten (the port went away).
    void clear();
    // Replies and NoAnswers owed to the commands' listeners since the last call.
    std::vector<ReplyNotice> takeNotices() { return std::exchange(notices_, {}); }

private:
    struct Command {
        PacedCommand item;
        long awaitedBy = kUnawaited;
        double at = 0;
        int socket = 0;  // taken by its acknowledge; 0 until then
    };
    std::deque<Command>::iterator firstUnanswered();
    void givenUp(const Command& c) { noteReply(notices_, c.item, CommandReply::Kind::NoAnswer); }
    std::deque<Command> commands_;
    long ends_ = 0;
    std::vector<ReplyNotice> notices_;
};

}  // namespace orbus::link
