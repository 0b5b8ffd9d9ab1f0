// The network services as the program switches them on and off: where
// they listen, and the rule that keeps them on this machine unless a token
// guards a wider bind. The sockets themselves are the Qt transports'.
#pragma once

#include <string>
#include <vector>

namespace orbus::net {

struct ListenPlan {
    std::string address = "127.0.0.1";
    // Camera n answers IP controllers on UDP port udpBase + n - 1 and bare
    // packets on TCP port tcpBase + n - 1.
    int udpBase = 52381;
    int tcpBase = 52481;
    int cameras = 7;
    // The services the plan opens: IP controllers (UDP), bare packets (TCP),
    // the JSON API and its web page (HTTP and WebSocket on apiPort).
    bool udp = true;
    bool tcp = true;
    bool api = false;
    int apiPort = 8711;
    // What an API client must present; empty: none (loopback only).
    std::string token;
    // The JSON API takes raw packets besides its named commands.
    bool rawPackets = false;
    // Hosts, besides this machine, whose controllers are taken (IP
    // controllers cannot carry a token).
    std::vector<std::string> allowed;
};

// 127.0.0.0/8, ::1, "localhost".
bool isLoopback(const std::string& address);

// Where to listen when asked for `address` with `token` (either may be
// empty): a wide bind without a token stays on 127.0.0.1 and `refusal`
// says why.
struct BindChoice {
    std::string address;
    std::string refusal;
};
BindChoice chooseBind(const std::string& address, const std::string& token);

// A controller from `host` is taken: this machine's always, another's
// when the plan lists it.
bool admitted(const ListenPlan& plan, const std::string& host);

class RemoteTransports {
public:
    virtual ~RemoteTransports() = default;
    // Opens the ports of the plan (closing any open before): what could
    // not be opened, in words; empty when every port opened.
    virtual std::string start(const ListenPlan& plan) = 0;
    virtual void stop() = 0;
    virtual bool running() const = 0;
    // What listens: "udp 127.0.0.1:52381 (camera 1)", ...
    virtual std::vector<std::string> endpoints() const = 0;
};

}  // namespace orbus::net
