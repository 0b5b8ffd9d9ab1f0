// One JSON API client's conversation with the chain, free of sockets: each
// message it sends (a WebSocket message, a POST body) read, its packets
// handed to the hub as that client's, and one answer once the camera has
// given every reply; on a WebSocket, the model's changes while subscribed.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "model/chain.h"
#include "net/api.h"
#include "net/remote_hub.h"

namespace orbus::net {

class ApiSession {
public:
    // `send` is given each text for the client, and whether it is an error.
    using Send = std::function<void(const std::string& text, bool error)>;
    ApiSession(RemoteHub& hub, model::Chain& chain, ClientId client, bool webSocket, bool rawPackets, Send send);
    ~ApiSession();
    ApiSession(const ApiSession&) = delete;
    ApiSession& operator=(const ApiSession&) = delete;

    void received(std::string_view message);
    ClientId client() const { return client_; }
    bool subscribed() const { return subscription_ != nullptr; }
    // Requests whose answer has not been sent yet.
    int unanswered() const { return unanswered_; }

private:
    void command(const Request& request);

    RemoteHub& hub_;
    model::Chain& chain_;
    ClientId client_;
    bool webSocket_;
    bool rawPackets_;
    Send send_;
    int unanswered_ = 0;
    model::Chain::Subscription subscription_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace orbus::net
