#include "net/controllers.h"

#include <vector>

#include "net/udp_frame.h"

namespace orbus::net {

Bytes bufferFullReply() { return {0x90, 0x60, 0x03, 0xFF}; }
Bytes syntaxErrorReply() { return {0x90, 0x60, 0x02, 0xFF}; }

namespace {

// A reply as a controller expects it: the address byte 90.
Bytes asOneCamera(Bytes reply) {
    if (!reply.empty()) reply.front() = 0x90;
    return reply;
}

}  // namespace

// ---- IP controllers --------------------------------------------------------------------

UdpControllers::UdpControllers(RemoteHub& hub, SendTo send) : hub_(hub), send_(std::move(send)) {}

UdpControllers::~UdpControllers() {
    *alive_ = false;
    clear();
}

void UdpControllers::clear() {
    const auto peers = std::exchange(peers_, {});
    for (const auto& [peer, id] : peers) hub_.disconnect(id);
}

void UdpControllers::received(int camera, const std::string& peer, const std::uint8_t* data, std::size_t size) {
    const UdpRequest request = parseDatagram(data, size);
    if (request.kind == UdpRequest::Kind::Ignored) return;
    auto it = peers_.find(peer);
    if (it == peers_.end() || !hub_.client(it->second)) {
        const ClientId id = hub_.connect(ClientKind::Udp, peer);
        if (id == 0) return;  // the hub is full: not answered, as a camera too busy to listen
        it = peers_.insert_or_assign(peer, id).first;
    }
    const ClientId id = it->second;
    hub_.heard(id);
    const std::uint32_t sequence = request.sequence;
    switch (request.kind) {
    case UdpRequest::Kind::Ignored: return;
    case UdpRequest::Kind::Refused: send_(camera, peer, errorReplyDatagram(sequence)); return;
    case UdpRequest::Kind::Reset: send_(camera, peer, resetReplyDatagram(sequence)); return;
    case UdpRequest::Kind::Command:
    case UdpRequest::Kind::Inquiry: break;
    }
    std::weak_ptr<bool> alive = alive_;
    const Submitted s = hub_.submit(id, camera, request.packet,
                                    [this, alive, camera, peer, sequence](const link::CommandReply& r) {
                                        const auto a = alive.lock();
                                        if (!a || !*a || r.kind != link::CommandReply::Kind::Reply) return;
                                        const Bytes d = replyDatagram(sequence, r.bytes);
                                        if (!d.empty()) send_(camera, peer, d);
                                    });
    switch (s) {
    case Submitted::Refused: send_(camera, peer, errorReplyDatagram(sequence)); break;
    case Submitted::Busy: send_(camera, peer, replyDatagram(sequence, bufferFullReply())); break;
    default: break;  // its replies follow; a camera not there or a port gone answers nothing
    }
}

void UdpControllers::forgetSilent(double now) {
    std::vector<std::string> gone;
    for (const auto& [peer, id] : peers_) {
        const ClientInfo* c = hub_.client(id);
        if (!c || (now - c->lastHeard > kForgetAfter && hub_.drivesOf(id) == 0)) gone.push_back(peer);
    }
    for (const std::string& peer : gone) {
        hub_.disconnect(peers_[peer]);
        peers_.erase(peer);
    }
}

// ---- bare packets over TCP ---------------------------------------------------------------

BareSession::BareSession(RemoteHub& hub, int camera, const std::string& peer, Send send)
    : hub_(hub), camera_(camera), send_(std::move(send)), client_(hub.connect(ClientKind::Tcp, peer)) {}

BareSession::~BareSession() {
    *alive_ = false;
    if (client_ != 0) hub_.disconnect(client_);
}

void BareSession::received(const std::uint8_t* data, std::size_t size) {
    if (client_ == 0 || !data) return;
    hub_.heard(client_);
    std::weak_ptr<bool> alive = alive_;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t b = data[i];
        if (!overlong_) partial_.push_back(b);
        if (partial_.size() > kMaxPayload) {
            // Longer than any packet: everything up to its FF is dropped.
            overlong_ = true;
            partial_.clear();
        }
        if (b != 0xFF) continue;
        Bytes packet = std::exchange(partial_, {});
        if (std::exchange(overlong_, false)) {
            send_(syntaxErrorReply());
            continue;
        }
        const Submitted s = hub_.submit(client_, camera_, std::move(packet), [this, alive](const link::CommandReply& r) {
            const auto a = alive.lock();
            if (a && *a && r.kind == link::CommandReply::Kind::Reply) send_(asOneCamera(r.bytes));
        });
        if (s == Submitted::Refused) send_(syntaxErrorReply());
        else if (s == Submitted::Busy) send_(bufferFullReply());
        if (!hub_.client(client_)) return;
    }
}

}  // namespace orbus::net
