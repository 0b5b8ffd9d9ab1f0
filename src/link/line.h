// The line to the camera chain as the panel's exchanges see it.
//
// A sequence of inquiries (a status read, a dialog's reading, the address
// set) holds the line while it runs; sequences take turns in the order they
// asked. Operator commands never wait for the line: they go out at once,
// also in the middle of a sequence, and the replies that belong to them
// (acknowledge, completion and error of a command socket) are routed to the
// command path wherever they arrive. Everything else received while a
// sequence holds the line is the sequence's answer.
//
// Nothing here blocks: a wait is a suspended coroutine resumed by the event
// that ends it (the answer's last byte, the time limit, the port going
// away), always through the event queue so that no routine runs inside the
// port's own notification.
#pragma once

#include <coroutine>
#include <functional>
#include <memory>
#include <optional>

#include "link/async.h"
#include "platform/clock.h"
#include "platform/serial_port.h"

namespace orbus::link {

// What one wait for an answer gave.
struct Answer {
    Bytes bytes;            // everything received for it, from index 0
    bool timedOut = false;  // the time limit ran out (bytes are then empty)
};

class Line {
public:
    explicit Line(EventPoster& poster);
    ~Line();
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    // A command's reply, cut out of the received bytes.
    std::function<void(const Bytes&)> onCommandReply;
    // Bytes received while no sequence holds the line: the receive path's.
    std::function<void(const Bytes&)> onUnclaimed;

    // ---- holding the line ------------------------------------------------------
    class Hold {
    public:
        Hold() = default;
        explicit Hold(Line* line) : line_(line) {}
        Hold(Hold&& o) noexcept : line_(std::exchange(o.line_, nullptr)) {}
        Hold& operator=(Hold&& o) noexcept;
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        ~Hold() { release(); }
        void release();
        explicit operator bool() const { return line_ != nullptr; }

    private:
        Line* line_ = nullptr;
    };

    struct TakeAwaiter {
        explicit TakeAwaiter(Line& l) : line(l) {}
        Line& line;
        std::coroutine_handle<> handle;
        bool queued = false;
        bool given = false;
        bool await_ready() const noexcept { return !line.held_ && line.queue_.empty(); }
        void await_suspend(std::coroutine_handle<> h);
        Hold await_resume();
        ~TakeAwaiter();
    };
    // co_await take(): the line, once every sequence that asked before has
    // let it go.
    TakeAwaiter take() { return TakeAwaiter(*this); }
    bool held() const { return held_; }
    // Sequences waiting for their turn.
    std::size_t queued() const { return queue_.size(); }

    // ---- waiting for an answer -------------------------------------------------
    struct ReplyAwaiter {
        ReplyAwaiter(Line& l, int n, bool apart, double lim) : line(l), count(n), commandRepliesApart(apart), limit(lim) {}
        Line& line;
        int count;
        bool commandRepliesApart;
        double limit;
        std::coroutine_handle<> handle;
        Answer result;
        bool done = false;
        std::shared_ptr<bool> alive;
        bool await_ready();
        void await_suspend(std::coroutine_handle<> h);
        Answer await_resume() { return std::move(result); }
        ~ReplyAwaiter();
    };
    // Waiting for this many bytes: one whole packet, up to its FF, however long.
    static constexpr int kOnePacket = -1;
    // co_await reply(n, ...): at least n bytes (with what was buffered
    // before), or kOnePacket, or the time limit. With commandRepliesApart, a command's
    // reply in front of or right behind the answer goes to onCommandReply.
    ReplyAwaiter reply(int count, bool commandRepliesApart, double limit = 1.0) {
        return ReplyAwaiter(*this, count, commandRepliesApart, limit);
    }
    bool waiting() const { return waiter_ != nullptr; }

    // ---- pauses ----------------------------------------------------------------
    struct PauseAwaiter {
        PauseAwaiter(Line& l, double s) : line(l), seconds(s) {}
        Line& line;
        double seconds;
        std::shared_ptr<bool> alive;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> h);
        void await_resume() const noexcept {}
        ~PauseAwaiter() {
            if (alive) *alive = false;
        }
    };
    PauseAwaiter pause(double seconds) { return PauseAwaiter(*this, seconds); }

    // ---- events ----------------------------------------------------------------
    // Bytes from the port's receive event.
    void received(const Bytes& bytes);
    // The port went away: a waiting exchange ends now as timed out.
    void portGone();
    // Throws away what a sequence has buffered and not yet taken.
    void discard() { buffer_.clear(); }

private:
    void splitLeadingCommandReplies();
    // Where the awaited answer ends in the buffer, once it has come.
    std::optional<std::size_t> answerEnd(int count) const;
    // The answer cut off the buffer at `end`; a command's reply right
    // behind it goes to the command path. The rest is the answer's too,
    // but for one packet, where it stays in the buffer.
    Bytes cutAnswer(std::size_t end, bool commandRepliesApart, bool onePacket);
    void tryFinish();
    void finish(bool timedOut);
    void handOn();

    EventPoster& poster_;
    bool held_ = false;
    std::vector<TakeAwaiter*> queue_;
    ReplyAwaiter* waiter_ = nullptr;
    Bytes buffer_;  // received while a sequence holds the line
    std::shared_ptr<bool> alive_;
};

}  // namespace orbus::link
