// The remote services as the operator chose them: which run, where they
// listen and what guards them. Kept in the settings store, taken from the
// command line for one run, and put into effect through the transports.
#pragma once

#include <string>
#include <vector>

#include "net/transports.h"

namespace orbus {

class Program;

struct RemoteChoice {
    bool udp = false;  // IP controllers
    bool tcp = false;  // bare packets
    bool api = false;  // JSON API and web page
    std::string address = "127.0.0.1";
    int udpBase = 52381;
    int tcpBase = 52481;
    int apiPort = 8711;
    std::string token;
    bool rawPackets = false;
    // Controller hosts taken besides this machine (UDP and TCP).
    std::vector<std::string> allowed;

    bool any() const { return udp || tcp || api; }
    bool operator==(const RemoteChoice&) const = default;
};

// The stored choice; every service off when nothing was stored.
RemoteChoice loadRemoteChoice(const Program& program);
void saveRemoteChoice(Program& program, const RemoteChoice& choice);

// The command line over the stored choice, for this run: --remote [ADDRESS]
// turns every service on (bound to ADDRESS when given), --remote-token
// TOKEN and --remote-raw. args[0] is the program.
RemoteChoice withArguments(RemoteChoice choice, const std::vector<std::string>& args);

// "10.0.0.5, 10.0.0.6" <-> {"10.0.0.5", "10.0.0.6"} (commas or spaces).
std::vector<std::string> addressList(const std::string& text);
std::string addressListText(const std::vector<std::string>& list);

// What the services were told: the plan they run with (its address
// loopback when a wide bind had no token) and, in words, what was refused
// or could not be opened; empty when all went as chosen.
struct RemoteApplied {
    net::ListenPlan plan;
    std::string message;
};
RemoteApplied applyRemote(Program& program, const RemoteChoice& choice);

}  // namespace orbus
