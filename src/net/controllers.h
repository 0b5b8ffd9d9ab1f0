// IP controllers and bare-packet controllers as clients of the hub. The
// transports hand in what arrived (a datagram, a piece of a TCP stream)
// with the peer's address and the camera whose port it reached; these
// decide what goes to the hub and what is sent back. Nothing here knows a
// socket, so the same paths run under the tests and the fuzzer.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "net/remote_hub.h"
#include "platform/serial_port.h"

namespace orbus::net {

// The refusal a camera gives when it has no free socket; a client that has
// too many packets under way hears it too.
Bytes bufferFullReply();  // 90 60 03 FF
Bytes syntaxErrorReply();  // 90 60 02 FF

class UdpControllers {
public:
    // Sends a datagram to `peer` from camera n's port.
    using SendTo = std::function<void(int camera, const std::string& peer, const Bytes& datagram)>;
    UdpControllers(RemoteHub& hub, SendTo send);
    ~UdpControllers();
    UdpControllers(const UdpControllers&) = delete;
    UdpControllers& operator=(const UdpControllers&) = delete;

    // A datagram from `peer` ("127.0.0.1:40312") to camera n's port.
    void received(int camera, const std::string& peer, const std::uint8_t* data, std::size_t size);
    void received(int camera, const std::string& peer, const Bytes& datagram) {
        received(camera, peer, datagram.data(), datagram.size());
    }
    // Controllers not heard for this long, with no drive of theirs running,
    // leave the hub's list.
    static constexpr double kForgetAfter = 60;
    void forgetSilent(double now);
    // Every controller leaves (the service stops).
    void clear();
    std::size_t peers() const { return peers_.size(); }

private:
    RemoteHub& hub_;
    SendTo send_;
    std::map<std::string, ClientId> peers_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// One TCP connection of a controller sending bare packets (8x .. FF, no
// header). Replies go back bare, with the address byte 90.
class BareSession {
public:
    using Send = std::function<void(const Bytes& bytes)>;
    // Joins the hub as a TCP client; `ok()` is false when the hub is full.
    BareSession(RemoteHub& hub, int camera, const std::string& peer, Send send);
    ~BareSession();
    BareSession(const BareSession&) = delete;
    BareSession& operator=(const BareSession&) = delete;
    bool ok() const { return client_ != 0; }
    ClientId client() const { return client_; }

    // Bytes that arrived: each packet up to its FF goes to the hub; one
    // longer than 16 bytes is refused (a syntax error back) and nothing of
    // it goes to the line.
    void received(const std::uint8_t* data, std::size_t size);
    void received(const Bytes& bytes) { received(bytes.data(), bytes.size()); }

private:
    RemoteHub& hub_;
    int camera_;
    Send send_;
    ClientId client_ = 0;
    Bytes partial_;
    bool overlong_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace orbus::net
