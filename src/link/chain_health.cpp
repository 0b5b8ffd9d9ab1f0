#include "link/chain_health.h"

#include <algorithm>

#include "link/packet.h"
#include "platform/hex.h"

namespace orbus {

namespace {
// Bytes of one packet kept while waiting for its FF; a longer run without
// a terminator is line noise and is dropped.
constexpr std::size_t kLongestPacket = 32;

// Feeds bytes into a packet buffer and hands every finished packet on
// (a lone FF included); `dropped` hears of each run too long to be one.
template <typename Packet, typename Dropped>
void assemble(Bytes& buffer, const Bytes& bytes, Packet&& packet, Dropped&& dropped) {
    for (std::uint8_t b : bytes) {
        buffer.push_back(b);
        if (b == 0xFF) {
            packet(buffer);
            buffer.clear();
        } else if (buffer.size() > kLongestPacket) {
            buffer.clear();
            dropped();
        }
    }
}

// A reply of a known kind with the length of its kind (an inquiry answer is
// checked against its inquiry apart).
bool wellFormedReply(const Bytes& p) {
    const std::uint8_t kind = p[1] & 0xF0;
    switch (p.size()) {
    case 3: return kind == 0x40 || kind == 0x50 || p[1] == 0x38;
    case 4: return kind == 0x60;
    default: return false;
    }
}
}  // namespace

long CameraHealth::errorCount() const {
    long n = 0;
    for (const auto& [code, count] : errors) n += count;
    return n;
}

std::string CameraHealth::errorName(int code) {
    switch (code & 0xFF) {
    case 0x01: return "message length";
    case 0x02: return "syntax";
    case 0x03: return "buffer full";
    case 0x04: return "cancelled";
    case 0x05: return "no socket";
    case 0x41: return "cannot execute";
    default: break;
    }
    return "code " + hex2(static_cast<std::uint8_t>(code & 0xFF));
}

CameraHealth* ChainHealth::at(int address) {
    if (address < 1 || address > kCameras) return nullptr;
    return &cameras_[address - 1];
}

const CameraHealth& ChainHealth::camera(int address) const {
    static const CameraHealth none;
    if (address < 1 || address > kCameras) return none;
    return cameras_[address - 1];
}

void ChainHealth::sent(const Bytes& bytes, double now) {
    settle(now);
    assemble(
        outgoing_, bytes,
        [&](const Bytes& p) {
            if (p.size() > 1) sentPacket(p, now);
        },
        [] {});
}

void ChainHealth::received(const Bytes& bytes, double now) {
    settle(now);
    arrivals_.clear();
    arrivalsLogged_ = 0;
    assemble(
        incoming_, bytes,
        [&](const Bytes& p) {
            if (incomingNoise_) {
                // The end of a run of noise, counted already; a reply may
                // stand at its end, from its header on (a reply's other bytes
                // are below 80).
                incomingNoise_ = false;
                std::size_t i = p.size() - 1;
                while (i > 0 && p[i - 1] < 0x80) --i;
                if (i > 0 && (replyCamera(p[i - 1]) != 0 || p[i - 1] == 0x88) && p.size() - (i - 1) > 2)
                    receivedPacket(Bytes(p.begin() + static_cast<std::ptrdiff_t>(i - 1), p.end()), now);
                return;
            }
            if (p.size() > 1) receivedPacket(p, now);
            else receivedGarbage();
        },
        [&] {
            // One count for a run of noise, however long.
            if (!incomingNoise_) receivedGarbage();
            incomingNoise_ = true;
        });
}

void ChainHealth::settle(double now) {
    for (CameraHealth& c : cameras_) {
        if (c.inquirySentAt >= 0 && now - c.inquirySentAt > kAnswerLimit) {
            ++c.timeouts;
            ++c.unansweredInquiries;
            c.lastTimeoutAt = now;
            c.inquirySentAt = -1;
            c.pendingInquiry.clear();
            ++changes_;
        }
        while (!c.awaitingAck.empty() && now - c.awaitingAck.front().first > kAckLimit) {
            ++c.unacknowledged;
            if (unacknowledged_.size() < 64)
                unacknowledged_.push_back({static_cast<int>(&c - cameras_) + 1, c.awaitingAck.front().second});
            c.awaitingAck.erase(c.awaitingAck.begin());
            ++changes_;
        }
    }
}

void ChainHealth::noCompletion(int address, int n) {
    if (CameraHealth* c = at(address); c && n > 0) {
        c->incomplete += n;
        ++changes_;
    }
}

std::vector<UnacknowledgedCommand> ChainHealth::takeUnacknowledged() {
    std::vector<UnacknowledgedCommand> out;
    out.swap(unacknowledged_);
    return out;
}

void ChainHealth::resetCounters() {
    for (CameraHealth& c : cameras_) {
        c.commands = c.inquiries = c.acknowledges = c.completions = c.answers = c.timeouts = 0;
        c.unacknowledged = c.incomplete = 0;
        c.errors.clear();
        c.lastLatency = c.latencyMin = c.latencyMax = -1;
        c.latencySum = 0;
        c.latencies = 0;
    }
    garbled_ = 0;
    ++changes_;
}

void ChainHealth::garbledAnswer(int address, double now) {
    settle(now);
    receivedGarbage();
    CameraHealth* c = at(address);
    if (!c) return;
    Taken& t = taken_[address - 1];
    if (!t.valid) return;
    t.valid = false;
    --c->answers;
    c->lastReplyAt = t.replyBefore;
    c->inquirySentAt = t.inquirySentAt;
    c->unansweredSince = t.unansweredSince;
    c->unansweredInquiries = t.unansweredInquiries;
    c->pendingInquiry = std::move(t.inquiry);
}

void ChainHealth::replyLogged(const Bytes& line) {
    if (!isInquiryAnswer(line)) return;
    std::optional<AnswerOrigin> origin;
    for (std::size_t i = arrivalsLogged_; i < arrivals_.size(); ++i) {
        if (arrivals_[i].answer == line) {
            origin = AnswerOrigin{arrivals_[i].inquiry};
            arrivalsLogged_ = i + 1;
            break;
        }
    }
    ledger_.add(line, std::move(origin));
}

void ChainHealth::receivedGarbage() {
    ++garbled_;
    ++changes_;
}

void ChainHealth::sentPacket(const Bytes& p, double now) {
    CameraHealth* c = at(p[0] - 0x80);
    if (!c || p.size() < 3) return;
    taken_[p[0] - 0x81].valid = false;
    if (c->unansweredSince < 0) c->unansweredSince = now;
    if (p[1] == 0x09) {
        if (c->inquirySentAt >= 0) {
            // A new inquiry while the last is unanswered: that one is given up.
            ++c->timeouts;
            ++c->unansweredInquiries;
            c->lastTimeoutAt = now;
        }
        ++c->inquiries;
        c->inquirySentAt = now;
        c->pendingInquiry = p;
    } else {
        ++c->commands;
        c->commandSentAt = now;
        // Bounded: a camera that never answers does not grow it for ever.
        if (c->awaitingAck.size() < 64) c->awaitingAck.emplace_back(now, p);
    }
    ++changes_;
}

void ChainHealth::receivedPacket(const Bytes& p, double now) {
    if (p[0] == 0x88) {
        // A broadcast back from its trip round the chain.
        if (p.size() < 3 || (p[1] == 0x30 && p.size() != 4)) {
            receivedGarbage();
            return;
        }
        if (p[1] == 0x30) {
            found_ = p[2] > 0 ? p[2] - 1 : 0;
            ++changes_;
        }
        broadcastBackAt_ = now;
        return;
    }
    const int address = replyCamera(p[0]);
    CameraHealth* c = at(address);
    const bool answer = isInquiryAnswer(p);
    if (c && answer) arrivals_.push_back({p, c->pendingInquiry});
    if (!c || !(answer || wellFormedReply(p))) {
        receivedGarbage();
        return;
    }
    Taken& taken = taken_[address - 1];
    taken.valid = false;
    if (answer) {
        // An answer that does not have its inquiry's length is a cut or
        // run-together reply: the inquiry is still waiting.
        const int length =
            c->pendingInquiry.empty() || !tables_.answerLength ? 0 : tables_.answerLength(c->pendingInquiry);
        if (length != 0 && length != static_cast<int>(p.size())) {
            receivedGarbage();
            return;
        }
        taken = {true, c->lastReplyAt, c->inquirySentAt, c->unansweredSince, c->unansweredInquiries, c->pendingInquiry};
    }
    c->lastReplyAt = now;
    c->unansweredSince = -1;
    c->unansweredInquiries = 0;
    ++changes_;
    const std::uint8_t kind = p[1] & 0xF0;
    auto commandEnded = [&] {
        if (c->commandSentAt >= 0) {
            const double l = now - c->commandSentAt;
            c->lastLatency = l;
            c->latencyMin = c->latencies == 0 ? l : std::min(c->latencyMin, l);
            c->latencyMax = c->latencies == 0 ? l : std::max(c->latencyMax, l);
            c->latencySum += l;
            ++c->latencies;
            c->commandSentAt = -1;
        }
    };
    // An acknowledge or a refusal answers the oldest command waiting for one.
    auto answered = [&] {
        if (!c->awaitingAck.empty()) c->awaitingAck.erase(c->awaitingAck.begin());
    };
    if (answer) {
        ++c->answers;
        const bool version = c->pendingInquiry.size() == 5 && c->pendingInquiry[1] == 0x09 &&
                             c->pendingInquiry[2] == 0x00 && c->pendingInquiry[3] == 0x02;
        if (version && tables_.modelName) {
            const std::string name = tables_.modelName(p);
            if (!name.empty()) c->model = name;
        }
        c->inquirySentAt = -1;
        c->pendingInquiry.clear();
    } else if (kind == 0x40) {
        ++c->acknowledges;
        answered();
    } else if (kind == 0x50) {
        ++c->completions;
        commandEnded();
    } else if (kind == 0x60) {
        ++c->errors[p[2]];
        c->lastErrorCode = p[2];
        c->lastErrorAt = now;
        // A refusal ("buffer full", "cannot execute") answers a command not
        // yet acknowledged.
        if (c->inquirySentAt < 0 && ((p[1] & 0x0F) == 0 || p[2] == 0x41)) answered();
        // An error ends whatever was waiting: the command or the inquiry.
        if (c->inquirySentAt >= 0) {
            c->inquirySentAt = -1;
            c->pendingInquiry.clear();
        } else {
            commandEnded();
        }
    }
}

ChainHealth::State ChainHealth::state(int address, double now) const {
    const CameraHealth& c = camera(address);
    const bool silentCommand = c.commandSentAt >= 0 && now - c.commandSentAt > kSilenceLimit &&
                               c.lastReplyAt < c.commandSentAt;
    // An address beyond what the last address set found is simply not
    // there, however it was asked.
    if (found_ >= 0 && address > found_) return State::NotOnChain;
    if (c.lastTimeoutAt > c.lastReplyAt || silentCommand) return State::NotAnswering;
    if (c.lastReplyAt >= 0) return State::Answering;
    return State::NoTraffic;
}

}  // namespace orbus
