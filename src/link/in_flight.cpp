#include "link/in_flight.h"

#include <algorithm>

namespace orbus::link {

void noteReply(std::vector<ReplyNotice>& notices, const PacedCommand& c, CommandReply::Kind kind, const Bytes& bytes) {
    if (c.onReply) notices.push_back({c.onReply, {kind, bytes}});
}

bool InFlight::takesSocket(const Bytes& p) {
    if (p.size() < 5 || p[0] < 0x81 || p[0] > 0x87 || p[1] != 0x01 || p.back() != 0xFF) return false;
    if (p.size() == 5 && p[2] == 0x00 && p[3] == 0x01) return false;  // interface clear
    if (p.size() == 7 && p[2] == 0x06 && p[3] == 0x1A) return false;  // service memory read
    return true;
}

bool InFlight::startsDrive(const Bytes& p) {
    // header, 01, 04 or 06, command, ..., FF
    if (p.size() < 5 || p[1] != 0x01) return false;
    if (p[2] == 0x06 && p[3] == 0x01 && p.size() == 9) return !(p[6] == 0x03 && p[7] == 0x03);
    if (p[2] == 0x04 && (p[3] == 0x06 || p[3] == 0x07 || p[3] == 0x08) && p.size() == 6) return p[4] != 0x00;
    return false;
}

void InFlight::sent(PacedCommand command, long awaitedBy, double at) {
    commands_.push_back({std::move(command), awaitedBy, at, 0});
}

std::size_t InFlight::unanswered() const {
    return static_cast<std::size_t>(
        std::count_if(commands_.begin(), commands_.end(), [](const Command& c) { return c.socket == 0; }));
}

std::deque<InFlight::Command>::iterator InFlight::firstUnanswered() {
    return std::find_if(commands_.begin(), commands_.end(), [](const Command& c) { return c.socket == 0; });
}

namespace {

CommandEnd errorEnd(int code) {
    switch (code) {
    case 0x02: return CommandEnd::SyntaxError;
    case 0x03: return CommandEnd::BufferFull;
    default: return CommandEnd::NotExecutable;  // 41, and a command cancelled or without a socket
    }
}

}  // namespace

InFlight::Outcome InFlight::reply(const Reply& r, double now) {
    Outcome o;
    const bool ack = r.kind == Reply::Kind::Acknowledge && r.socket != 0;
    const bool completion = r.kind == Reply::Kind::Completion && r.socket != 0;
    const bool error = r.kind == Reply::Kind::Error;
    if (!ack && !completion && !error) return o;
    // Commands the camera never answered would take the replies of later
    // ones: they are given up.
    o.givenUp = static_cast<int>(std::erase_if(commands_, [this, now](const Command& c) {
        if (c.socket != 0 || now - c.at <= kFirstReplyLimit) return false;
        givenUp(c);
        return true;
    }));
    const auto holder = std::find_if(commands_.begin(), commands_.end(),
                                     [&r](const Command& c) { return r.socket != 0 && c.socket == r.socket; });
    if (ack) {
        // The camera gives a socket only once its command ended: a command
        // still holding it ended unseen (its completion was lost). Kept, a
        // held drive would never be given up, and two such would hold the
        // camera's queue for good.
        if (holder != commands_.end()) {
            givenUp(*holder);
            commands_.erase(holder);
            ++o.unended;
        }
        const auto taker = firstUnanswered();
        if (taker != commands_.end()) {
            taker->socket = r.socket;
            o.acknowledged = taker->item;
            noteReply(notices_, taker->item, CommandReply::Kind::Reply, r.bytes);
        }
        return o;
    }
    o.end = completion ? CommandEnd::Completed : errorEnd(r.code);
    auto ended = holder;
    if (error && ended == commands_.end()) {
        // In place of an acknowledge: the oldest unanswered command is
        // refused (a socketed error too, when nothing holds that socket).
        const auto refusedOne = firstUnanswered();
        if (refusedOne != commands_.end()) {
            o.id = refusedOne->awaitedBy;
            // A refusal sent again from the pacer's queue is not the end
            // its sender hears of; every other is.
            if (!(r.bufferFull && refusedOne->item.againWhenRefused)) noteReply(notices_, refusedOne->item, CommandReply::Kind::Reply, r.bytes);
            if (r.bufferFull) o.refused = std::move(refusedOne->item);
            commands_.erase(refusedOne);
        }
        return o;
    }
    if (ended == commands_.end()) {
        // A completion no acknowledge was seen for: the oldest command no
        // routine awaits counts as ended, so its socket is not held for ever.
        ended = std::find_if(commands_.begin(), commands_.end(),
                             [](const Command& c) { return c.awaitedBy == kUnawaited; });
    } else {
        o.id = ended->awaitedBy;
    }
    if (ended != commands_.end()) {
        noteReply(notices_, ended->item, CommandReply::Kind::Reply, r.bytes);
        commands_.erase(ended);
    }
    o.freesSocket = true;
    ++ends_;
    return o;
}

int InFlight::forgetUnended(double sentBy) {
    return static_cast<int>(std::erase_if(commands_, [this, sentBy](const Command& c) {
        if (c.at > sentBy || (c.socket != 0 && startsDrive(c.item.packet))) return false;
        givenUp(c);
        return true;
    }));
}

void InFlight::clear() {
    for (const Command& c : commands_) givenUp(c);
    commands_.clear();
}

std::pair<int, int> InFlight::forgetOverdue(double now, double ackLimit, double completionLimit) {
    int unacknowledged = 0, incomplete = 0;
    std::erase_if(commands_, [&](const Command& c) {
        const bool unacked = c.socket == 0 && now - c.at >= ackLimit;
        const bool overdue = c.socket != 0 && !startsDrive(c.item.packet) && now - c.at >= completionLimit;
        if (!unacked && !overdue) return false;
        ++(unacked ? unacknowledged : incomplete);
        givenUp(c);
        return true;
    });
    return {unacknowledged, incomplete};
}

}  // namespace orbus::link
