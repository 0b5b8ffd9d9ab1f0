// A window-free station on a simulated chain, for the tests that drive the
// chain with no window: the chain model's, and the network side's (on a
// timed chain: what a remote client's packets meet).
#pragma once

#include <string>
#include <vector>

#include "chain.h"
#include "link/packet.h"
#include "model/station.h"
#include "platform/testing/fakes.h"
#include "platform/testing/virtual_loop.h"
#include "sim_port.h"

namespace orbus {

// What a listener heard, as text: each reply's bytes, or "no answer".
inline link::ReplyListener into(std::vector<std::string>& heard) {
    return [&heard](const link::CommandReply& r) {
        heard.push_back(r.kind == link::CommandReply::Kind::Reply ? packetText(r.bytes) : "no answer");
    };
}

// The station and the chain it drives, on a virtual clock.
struct WindowFreeChain {
    explicit WindowFreeChain(const std::vector<std::string>& models)
        : chain(models), port(chain, loop, loop), platform{loop, loop, loop, settings, windows, port, devices} {}

    testing::VirtualLoop loop;
    testing::MemorySettings settings;
    testing::ScriptedWindows windows{loop};
    sim::Chain chain;
    sim::SimSerialPort port;
    testing::FixedSerialDevices devices;
    Platform platform;
    model::Station station{platform};
};

struct RemoteStation : WindowFreeChain {
    explicit RemoteStation(const std::vector<std::string>& models = {"ORX-Beta"}) : WindowFreeChain(models) {
        // The cameras keep two command sockets and take their time.
        chain.timed = true;
        station.open();
    }

    // What one packet's listener heard: each reply as text, "no answer".
    using Heard = std::vector<std::string>;
    link::SendOutcome send(const Bytes& packet, Heard& heard,
                           link::CommandPacer::Kind kind = link::CommandPacer::Kind::Other) {
        link::Command c{packet, link::Source::Remote, kind, ""};
        c.client = "udp 127.0.0.1:40312";
        c.onReply = into(heard);
        return station.commands().send(c);
    }
};

}  // namespace orbus
