// Which command each reply of a camera answers. A camera answers its
// commands in the order they reached it: first an acknowledge naming the
// socket the command took, or an error in its place; later the completion
// or an error of that socket ends it. The book follows this per camera so
// that a routine awaiting one command learns how that command, and not
// another, ended.
#pragma once

#include <array>
#include <deque>
#include <optional>

#include "link/command_end.h"
#include "platform/serial_port.h"

namespace orbus::link {

class SocketBook {
public:
    // A command awaited by nobody.
    static constexpr long kUnawaited = 0;
    // Sockets a camera's replies can name (1 to F).
    static constexpr int kSocketNumbers = 16;
    // A command whose first reply has not come this long never will.
    static constexpr double kFirstReplyLimit = 1.0;

    // A packet to one camera (81..87) that takes a command socket: a
    // command (8x 01 ..), but not the interface clear or the service
    // memory read, which are answered like inquiries.
    static bool takesSocket(const Bytes& packet);

    // A command that takes a socket went out to `camera` at `at`; `id`
    // names the routine awaiting it (kUnawaited: none).
    void sent(int camera, long id, double at);

    struct Meaning {
        int camera = 0;               // the reply's camera (0: none)
        long id = kUnawaited;         // the awaited command it ends
        std::optional<CommandEnd> end;  // how, when it ends or refuses one
        bool freesSocket = false;     // a command of the camera ended
    };
    // A whole reply (header .. FF) received at `at`.
    Meaning reply(const Bytes& reply, double at);

    // Everything forgotten (the port went away).
    void clear();

    // Commands of the camera still awaiting their first reply.
    std::size_t unanswered(int camera) const;
    // Replies so far that ended one of the camera's commands.
    long ends(int camera) const;

private:
    struct Pending {
        long id;
        double at;
    };
    struct Camera {
        std::deque<Pending> pending;
        // The command holding each socket (nullopt: free or not known).
        std::array<std::optional<long>, kSocketNumbers> sockets{};
        long ends = 0;
    };
    Camera* at(int camera);
    std::array<Camera, 8> cameras_{};
};

}  // namespace orbus::link
