#include "app/chain_health.h"

#include "link/packet.h"
#include "status/identify.h"

namespace orbus {

namespace {
// Bytes of one packet kept while waiting for its FF; a longer run without
// a terminator is line noise and is dropped.
constexpr std::size_t kLongestPacket = 32;

// Feeds bytes into a packet buffer and hands every finished packet on.
template <typename Fn>
void assemble(Bytes& buffer, const Bytes& bytes, Fn&& packet) {
    for (std::uint8_t b : bytes) {
        buffer.push_back(b);
        if (b == 0xFF) {
            if (buffer.size() > 1) packet(buffer);
            buffer.clear();
        } else if (buffer.size() > kLongestPacket) {
            buffer.clear();
        }
    }
}
}  // namespace

long CameraHealth::errorCount() const {
    long n = 0;
    for (const auto& [code, count] : errors) n += count;
    return n;
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
    assemble(outgoing_, bytes, [&](const Bytes& p) { sentPacket(p, now); });
}

void ChainHealth::received(const Bytes& bytes, double now) {
    settle(now);
    assemble(incoming_, bytes, [&](const Bytes& p) { receivedPacket(p, now); });
}

void ChainHealth::settle(double now) {
    for (CameraHealth& c : cameras_) {
        if (c.inquirySentAt >= 0 && now - c.inquirySentAt > kAnswerLimit) {
            ++c.timeouts;
            c.lastTimeoutAt = now;
            c.inquirySentAt = -1;
            c.pendingInquiry.clear();
            ++changes_;
        }
    }
}

void ChainHealth::sentPacket(const Bytes& p, double now) {
    CameraHealth* c = at(p[0] - 0x80);
    if (!c || p.size() < 3) return;
    if (p[1] == 0x09) {
        if (c->inquirySentAt >= 0) {
            // A new inquiry while the last is unanswered: that one is given up.
            ++c->timeouts;
            c->lastTimeoutAt = now;
        }
        ++c->inquiries;
        c->inquirySentAt = now;
        c->pendingInquiry = p;
    } else {
        ++c->commands;
        c->commandSentAt = now;
    }
    ++changes_;
}

void ChainHealth::receivedPacket(const Bytes& p, double now) {
    if (p[0] == 0x88) {
        if (p.size() == 4 && p[1] == 0x30) {
            found_ = p[2] > 0 ? p[2] - 1 : 0;
            ++changes_;
        }
        return;
    }
    CameraHealth* c = at(replyCamera(p[0]));
    if (!c || p.size() < 3) return;
    c->lastReplyAt = now;
    ++changes_;
    const std::uint8_t kind = p[1] & 0xF0;
    auto commandEnded = [&] {
        if (c->commandSentAt >= 0) {
            c->lastLatency = now - c->commandSentAt;
            c->commandSentAt = -1;
        }
    };
    if (kind == 0x40 && p.size() == 3) {
        ++c->acknowledges;
    } else if (kind == 0x50 && p.size() == 3) {
        ++c->completions;
        commandEnded();
    } else if (kind == 0x60 && p.size() == 4) {
        ++c->errors[p[2]];
        // An error ends whatever was waiting: the command or the inquiry.
        if (c->inquirySentAt >= 0) {
            c->inquirySentAt = -1;
            c->pendingInquiry.clear();
        } else {
            commandEnded();
        }
    } else if (p[1] == 0x50) {
        ++c->answers;
        const bool version = c->pendingInquiry.size() == 5 && c->pendingInquiry[1] == 0x09 &&
                             c->pendingInquiry[2] == 0x00 && c->pendingInquiry[3] == 0x02;
        if (version) {
            const std::string name = versionModelName(p);
            if (!name.empty()) c->model = name;
        }
        c->inquirySentAt = -1;
        c->pendingInquiry.clear();
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

TrafficTap::TrafficTap(SerialPort& inner, Clock& clock, ChainHealth& health)
    : inner_(inner), clock_(clock), health_(health) {
    inner_.onComm = [this](int event) {
        if (onComm) onComm(event);
    };
}

TrafficTap::~TrafficTap() { inner_.onComm = nullptr; }

Bytes TrafficTap::input() {
    Bytes b = inner_.input();
    if (!b.empty()) health_.received(b, clock_.now());
    return b;
}

bool TrafficTap::output(const Bytes& bytes) {
    const bool written = inner_.output(bytes);
    if (written) health_.sent(bytes, clock_.now());
    return written;
}

}  // namespace orbus
