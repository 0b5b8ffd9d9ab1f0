#include "link/line.h"

#include <algorithm>

#include "link/packet.h"

namespace orbus::link {

Line::Line(EventPoster& poster) : poster_(poster), alive_(std::make_shared<bool>(true)) {}

Line::~Line() { *alive_ = false; }

// ---- holding ------------------------------------------------------------------

Line::Hold& Line::Hold::operator=(Hold&& o) noexcept {
    if (this != &o) {
        release();
        line_ = std::exchange(o.line_, nullptr);
    }
    return *this;
}

void Line::Hold::release() {
    if (!line_) return;
    Line* l = std::exchange(line_, nullptr);
    l->held_ = false;
    // What the sequence left unread (a late answer) is the receive path's.
    if (!l->buffer_.empty() && l->onUnclaimed) {
        Bytes rest;
        rest.swap(l->buffer_);
        l->onUnclaimed(rest);
    }
    l->handOn();
}

void Line::handOn() {
    if (held_ || queue_.empty()) return;
    TakeAwaiter* next = queue_.front();
    queue_.erase(queue_.begin());
    next->queued = false;
    next->given = true;
    held_ = true;
    std::weak_ptr<bool> alive = alive_;
    auto h = next->handle;
    // The next sequence runs from the event queue, not inside the one that
    // let the line go. Should its routine be destroyed before then, its
    // awaiter gives the line on (see ~TakeAwaiter).
    poster_.post(0, [alive, h] {
        if (auto a = alive.lock(); a && *a) h.resume();
    });
}

void Line::TakeAwaiter::await_suspend(std::coroutine_handle<> h) {
    handle = h;
    queued = true;
    line.queue_.push_back(this);
    line.handOn();
}

Line::Hold Line::TakeAwaiter::await_resume() {
    if (!given) {
        // Free at once (await_ready).
        line.held_ = true;
        given = true;
    }
    queued = false;
    Hold h(&line);
    given = false;  // the hold owns the line now
    return h;
}

Line::TakeAwaiter::~TakeAwaiter() {
    if (queued) {
        auto& q = line.queue_;
        q.erase(std::remove(q.begin(), q.end(), this), q.end());
    } else if (given) {
        // The line was handed to a routine destroyed before it resumed.
        line.held_ = false;
        line.handOn();
    }
}

// ---- waiting for an answer --------------------------------------------------------

bool Line::ReplyAwaiter::await_ready() {
    line.splitLeadingCommandReplies();
    if (count == kOnePacket) {
        const auto end = line.answerEnd(count);
        if (!end) return false;
        result.bytes = line.cutAnswer(*end, commandRepliesApart, true);
        done = true;
        return true;
    }
    if (static_cast<int>(line.buffer_.size()) < count) return false;
    result.bytes.swap(line.buffer_);
    line.buffer_.clear();
    done = true;
    return true;
}

void Line::ReplyAwaiter::await_suspend(std::coroutine_handle<> h) {
    handle = h;
    line.waiter_ = this;
    alive = std::make_shared<bool>(true);
    std::weak_ptr<bool> token = alive;
    Line* l = &line;
    line.poster_.post(limit, [token, l] {
        if (auto a = token.lock(); a && *a) l->finish(true);
    });
}

Line::ReplyAwaiter::~ReplyAwaiter() {
    if (alive) *alive = false;
    if (line.waiter_ == this) line.waiter_ = nullptr;
}

void Line::splitLeadingCommandReplies() {
    if (!waiter_ || !waiter_->commandRepliesApart) return;
    while (const std::size_t n = leadingCommandReply(buffer_)) {
        Bytes reply(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(n));
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(n));
        if (onCommandReply) onCommandReply(reply);
    }
}

void Line::received(const Bytes& bytes) {
    if (bytes.empty()) return;
    if (!held_ && !waiter_) {
        if (onUnclaimed) onUnclaimed(bytes);
        return;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    if (waiter_ && !waiter_->done) {
        splitLeadingCommandReplies();
        tryFinish();
    } else {
        // Between two exchanges of a sequence: a command's reply is the
        // command's at once; anything else waits for the next exchange.
        while (const std::size_t n = leadingCommandReply(buffer_)) {
            Bytes reply(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(n));
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(n));
            if (onCommandReply) onCommandReply(reply);
        }
    }
}

std::optional<std::size_t> Line::answerEnd(int count) const {
    if (count != kOnePacket) {
        if (static_cast<int>(buffer_.size()) < count) return std::nullopt;
        return static_cast<std::size_t>(count);
    }
    const auto ff = std::find(buffer_.begin(), buffer_.end(), std::uint8_t{0xFF});
    if (ff == buffer_.end()) return std::nullopt;
    return static_cast<std::size_t>(ff - buffer_.begin()) + 1;
}

void Line::tryFinish() {
    if (!waiter_ || waiter_->done) return;
    if (!answerEnd(waiter_->count)) return;
    finish(false);
}

void Line::finish(bool timedOut) {
    ReplyAwaiter* w = waiter_;
    if (!w || w->done) return;
    w->done = true;
    waiter_ = nullptr;
    if (w->alive) *w->alive = false;  // the time limit no longer applies
    if (timedOut) {
        buffer_.clear();
        w->result.timedOut = true;
    } else {
        w->result.bytes = cutAnswer(answerEnd(w->count).value_or(buffer_.size()), w->commandRepliesApart,
                                    w->count == kOnePacket);
    }
    // Resumed from the event queue: the routine goes on after the port's
    // notification (or the timer) has returned.
    w->alive = std::make_shared<bool>(true);
    std::weak_ptr<bool> token = w->alive;
    auto h = w->handle;
    poster_.post(0, [token, h] {
        if (auto a = token.lock(); a && *a) h.resume();
    });
}

Bytes Line::cutAnswer(std::size_t answerEnd, bool commandRepliesApart, bool onePacket) {
    Bytes tail(buffer_.begin() + static_cast<std::ptrdiff_t>(answerEnd), buffer_.end());
    buffer_.resize(answerEnd);
    // A command's reply right behind the answer is the command's.
    if (commandRepliesApart) {
        while (const std::size_t n = leadingCommandReply(tail)) {
            Bytes reply(tail.begin(), tail.begin() + static_cast<std::ptrdiff_t>(n));
            tail.erase(tail.begin(), tail.begin() + static_cast<std::ptrdiff_t>(n));
            if (onCommandReply) onCommandReply(reply);
        }
    }
    Bytes answer;
    if (onePacket) {
        // One packet is the answer; what follows is not its.
        answer.swap(buffer_);
        buffer_ = std::move(tail);
        return answer;
    }
    // The beginning of a packet that has not ended yet is not the
    // answer's: it waits for the rest (a command's reply in pieces).
    std::size_t keep = 0;
    if (!tail.empty() && (tail.back() != 0xFF)) {
        const auto start = std::find_if(tail.rbegin(), tail.rend(), [](std::uint8_t b) { return b == 0xFF; });
        const std::size_t from = static_cast<std::size_t>(tail.rend() - start);
        if (from < tail.size() && replyCamera(tail[from]) != 0) keep = tail.size() - from;
    }
    buffer_.insert(buffer_.end(), tail.begin(), tail.end() - static_cast<std::ptrdiff_t>(keep));
    answer.swap(buffer_);
    buffer_.assign(tail.end() - static_cast<std::ptrdiff_t>(keep), tail.end());
    return answer;
}

void Line::portGone() {
    if (waiter_) finish(true);
    buffer_.clear();
}

// ---- pauses ---------------------------------------------------------------------

void Line::PauseAwaiter::await_suspend(std::coroutine_handle<> h) {
    alive = std::make_shared<bool>(true);
    std::weak_ptr<bool> token = alive;
    line.poster_.post(seconds, [token, h] {
        if (auto a = token.lock(); a && *a) h.resume();
    });
}

}  // namespace orbus::link
