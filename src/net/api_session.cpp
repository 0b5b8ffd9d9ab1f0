#include "net/api_session.h"

#include <vector>

#include "link/packet.h"

namespace orbus::net {

ApiSession::ApiSession(RemoteHub& hub, model::Chain& chain, ClientId client, bool webSocket, bool rawPackets, Send send)
    : hub_(hub), chain_(chain), client_(client), webSocket_(webSocket), rawPackets_(rawPackets), send_(std::move(send)) {}

ApiSession::~ApiSession() { *alive_ = false; }

void ApiSession::received(std::string_view message) {
    hub_.heard(client_);
    const Request r = parseRequest(message, {&chain_, rawPackets_});
    switch (r.kind) {
    case Request::Kind::Refused: send_(jsonText(errorJson(r.id, r.error)), true); return;
    case Request::Kind::Heartbeat:
        if (!webSocket_) send_(jsonText(Json{{"id", r.id}, {"heartbeat", true}}), false);
        return;
    case Request::Kind::Subscribe:
        if (!webSocket_) {
            send_(jsonText(errorJson(r.id, "subscribe is taken on the WebSocket /api only")), true);
            return;
        }
        subscription_.reset();
        if (r.subscribe) {
            subscription_ = (chain_.subscribe([this](int camera, model::Chain::Aspect aspect) {
                send_(jsonText(changeJson(chain_, camera, aspect)), false);
            }));
        }
        send_(jsonText(subscribedJson(r.id, r.subscribe, chain_)), false);
        return;
    case Request::Kind::Command:
    case Request::Kind::Packet: command(r); return;
    }
}

void ApiSession::command(const Request& request) {
    // The replies of each packet, gathered until every packet has ended.
    struct Exchange {
        Json id;
        int camera = 0;
        std::vector<std::vector<Bytes>> replies;
        std::vector<bool> ended;
        bool silent = false;
        std::size_t left = 0;
    };
    auto x = std::make_shared<Exchange>();
    x->id = request.id;
    x->camera = request.camera;
    x->replies.resize(request.packets.size());
    x->ended.resize(request.packets.size());
    x->left = request.packets.size();
    ++unanswered_;
    std::weak_ptr<bool> alive = alive_;
    const auto finish = [this, x, alive] {
        const auto a = alive.lock();
        if (!a || !*a) return;
        --unanswered_;
        if (x->silent) {
            send_(jsonText(errorJson(x->id, "camera " + std::to_string(x->camera) + " gave no answer")), true);
            return;
        }
        std::vector<Bytes> all;
        for (const auto& r : x->replies) all.insert(all.end(), r.begin(), r.end());
        send_(jsonText(answerJson(x->id, all)), false);
    };
    for (std::size_t i = 0; i < request.packets.size(); ++i) {
        const Bytes& packet = request.packets[i];
        const bool inquiry = packet.size() > 1 && packet[1] == 0x09;
        // A drive runs until its stop: the camera's acknowledge is its
        // answer. Waiting for its completion would keep the client from
        // hearing that it moves (and from sending the stop, if it waits).
        const bool drive = motionOf(packet).what == Motion::Starts;
        const Submitted s = hub_.submit(client_, request.camera, packet, [x, i, inquiry, drive, finish](const link::CommandReply& r) {
            if (x->ended[i]) return;
            if (r.kind == link::CommandReply::Kind::NoAnswer) x->silent = true;
            else x->replies[i].push_back(r.bytes);
            const bool acknowledged = drive && r.bytes.size() >= 3 && (r.bytes[1] & 0xF0) == 0x40;
            if (!acknowledged && !replyEnds(r, inquiry)) return;
            x->ended[i] = true;
            if (--x->left == 0) finish();
        });
        if (!accepted(s)) {
            // What went already keeps its course; the client hears why the rest did not.
            --unanswered_;
            x->left = 0;
            std::fill(x->ended.begin(), x->ended.end(), true);
            send_(jsonText(errorJson(request.id, submittedText(s))), true);
            return;
        }
    }
}

}  // namespace orbus::net
