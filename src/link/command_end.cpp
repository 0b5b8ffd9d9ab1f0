// Commands awaited to their end: sent like the operator's, then the routine
// waits beside the window until the command record learns how the camera
// ended that command.
#include "link/command_end.h"

#include <algorithm>

#include "link/camera_link.h"
#include "platform/platform.h"

namespace orbus::link {

const char* commandEndText(CommandEnd end) {
    switch (end) {
    case CommandEnd::Completed: return "completed";
    case CommandEnd::NotExecutable: return "not executable now";
    case CommandEnd::SyntaxError: return "not known to the camera";
    case CommandEnd::BufferFull: return "buffer full";
    case CommandEnd::NoReply: return "no completion";
    case CommandEnd::NotSent: return "not sent";
    }
    return "not sent";
}

// One wait of a routine: for the end of the command `id`, or for any of
// the camera's commands to end (a socket free again). Registered with the
// link while it waits; the routine goes on from the event queue, never
// inside the receive path, and never once its frame or the link is gone.
struct CameraLink::EndWait {
    enum class For { End, FreeSocket };

    EndWait(CameraLink& l, For f, int cam, long i, double lim, CommandEnd atLim)
        : link(&l), what(f), camera(cam), id(i), limit(lim), atLimit(atLim) {
        l.endWaits_.push_back(this);
    }
    ~EndWait() {
        *alive = false;
        detach();
    }
    EndWait(const EndWait&) = delete;
    EndWait& operator=(const EndWait&) = delete;

    CameraLink* link;  // nullptr once the link has let the wait go
    For what;
    int camera;
    long id;
    double limit;
    CommandEnd atLimit;
    std::optional<CommandEnd> result;
    long endsWhenDone = 0;  // the camera's ended commands when this ended
    std::coroutine_handle<> handle;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    void detach() {
        if (!link) return;
        auto& w = link->endWaits_;
        w.erase(std::remove(w.begin(), w.end(), this), w.end());
        link = nullptr;
    }

    void finish(CommandEnd end) {
        if (result || !link) return;
        result = end;
        endsWhenDone = link->pacer_.ends(camera);
        CameraLink* l = link;
        detach();
        if (!handle) return;
        std::weak_ptr<bool> linkAlive = l->alive_, mine = alive;
        const auto h = handle;
        l->platform_.poster.post(0, [linkAlive, mine, h] {
            const auto a = linkAlive.lock();
            const auto m = mine.lock();
            if (a && *a && m && *m) h.resume();
        });
    }

    bool await_ready() const noexcept { return result.has_value(); }
    void await_suspend(std::coroutine_handle<> h) {
        handle = h;
        std::weak_ptr<bool> mine = alive;
        link->platform_.poster.post(limit, [this, mine] {
            if (const auto m = mine.lock(); m && *m) finish(atLimit);
        });
    }
    CommandEnd await_resume() const noexcept { return result.value_or(atLimit); }
};

Async<CommandEnd> CameraLink::commandToEnd(Bytes packet) {
    return awaitEnd(link::Command{std::move(packet)}, false);
}

Async<CommandEnd> CameraLink::commandToEnd(link::Command command) { return awaitEnd(std::move(command), true); }

Async<CommandEnd> CameraLink::awaitEnd(link::Command command, bool controllers) {
    const Bytes& packet = command.packet;
    if (!*alive_ || !InFlight::takesSocket(packet)) {
        // Refused before anything went out; the controller's observers hear of it.
        if (controllers && *alive_ && onCommand) onCommand(command, SendOutcome::Malformed);
        co_return CommandEnd::NotSent;
    }
    const int camera = packet[0] - 0x80;
    long endsAtRefusal = 0;
    for (int attempt = 1;; ++attempt) {
        const long id = nextEndId_++;
        EndWait end(*this, EndWait::For::End, camera, id, CommandPacer::kCompletionLimit, CommandEnd::NoReply);
        // The pacer counts its socket, but a refusal is tried again here,
        // not from the pacer's queue.
        sendingEndId_ = id;
        bool sent;
        if (controllers) {
            sent = put(command, kCommand, false) == SendOutcome::Sent;
        } else {
            pacing_ = CommandPacer::Item{packet, "", CommandPacer::Kind::Other, false, std::nullopt};
            sent = SD(packet, kCommand) == "OK";
            pacing_.reset();
        }
        sendingEndId_ = InFlight::kUnawaited;
        if (!sent) co_return CommandEnd::NotSent;
        const CommandEnd result = co_await end;
        if (result != CommandEnd::BufferFull || attempt == kCommandTries) co_return result;
        endsAtRefusal = end.endsWhenDone;
        // Again once one of the camera's commands has ended (perhaps while
        // the refusal was on its way here), or after a short pause.
        if (pacer_.ends(camera) == endsAtRefusal) {
            EndWait freed(*this, EndWait::For::FreeSocket, camera, InFlight::kUnawaited, kRefusedPause,
                          CommandEnd::Completed);
            const CommandEnd go = co_await freed;
            if (go == CommandEnd::NotSent) co_return go;
        }
    }
}

void CameraLink::noteCommandEnd(int camera, const InFlight::Outcome& m) {
    if (camera == 0) return;
    // finish() only unregisters and posts: the waits stay valid meanwhile.
    const std::vector<EndWait*> waits = endWaits_;
    for (EndWait* w : waits) {
        if (w->what == EndWait::For::End) {
            if (m.id != InFlight::kUnawaited && w->id == m.id && m.end) w->finish(*m.end);
        } else if (m.freesSocket && w->camera == camera) {
            w->finish(CommandEnd::Completed);
        }
    }
}

void CameraLink::endWaitsPortGone() {
    // A command the camera may be carrying out has no known end; one that
    // waits to be tried again after a refusal will not go out.
    const std::vector<EndWait*> waits = endWaits_;
    for (EndWait* w : waits) w->finish(w->what == EndWait::For::End ? CommandEnd::NoReply : CommandEnd::NotSent);
}

void CameraLink::dropEndWaits() {
    for (EndWait* w : endWaits_) w->link = nullptr;
    endWaits_.clear();
}

}  // namespace orbus::link
