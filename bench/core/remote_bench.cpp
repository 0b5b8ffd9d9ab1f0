// An IP controller's command from its datagram to the line, through the
// hub, on a timed simulated chain while the window's auto refresh runs:
// the virtual time until the packet's bytes are written, median and 99th
// percentile, beside the CPU time the path costs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/testing/rig.h"
#include "net/controllers.h"

using namespace orbus;

static void BM_RemoteCommandToWire(benchmark::State& state) {
    orbus::testing::Rig rig({"ORX-Beta", "ORX-Beta"});
    if (!rig.startUp()) {
        state.SkipWithError("start-up failed");
        return;
    }
    rig.chain.timed = true;
    if (!rig.main().autoCaption()) rig.main().AutoRefreshed.click();
    const std::size_t before = rig.port.written().size();
    rig.run(2);
    if (!rig.main().autoCaption() || rig.port.written().size() == before) {
        state.SkipWithError("the auto refresh does not run");
        return;
    }
    net::UdpControllers udp(rig.program->remoteHub(), [](int, const std::string&, const Bytes&) {});
    // Zoom tele, the zoom position, the stop, the zoom position: a command
    // goes out at once when the camera has a free socket, an inquiry waits
    // for its turn of the line, which the refresh shares.
    const Bytes packets[] = {{0x81, 0x01, 0x04, 0x07, 0x02, 0xFF},
                             {0x81, 0x09, 0x04, 0x47, 0xFF},
                             {0x81, 0x01, 0x04, 0x07, 0x00, 0xFF},
                             {0x81, 0x09, 0x04, 0x47, 0xFF}};
    std::vector<double> commands, inquiries;
    std::uint32_t sequence = 0;
    for (auto _ : state) {
        const Bytes& packet = packets[sequence % 4];
        const bool inquiry = packet[1] == 0x09;
        Bytes datagram = {0x01, static_cast<std::uint8_t>(inquiry ? 0x10 : 0x00), 0x00, static_cast<std::uint8_t>(packet.size()), 0, 0, 0, 0};
        for (int b = 0; b < 4; ++b) datagram[4 + b] = static_cast<std::uint8_t>(sequence >> (24 - 8 * b));
        datagram.insert(datagram.end(), packet.begin(), packet.end());
        ++sequence;
        const std::size_t from = rig.port.written().size();
        const double t0 = rig.platform.clock.now();
        udp.received(1, "127.0.0.1:40312", datagram);
        // Event by event until the packet is on the line (at most 2 s).
        const Bytes& w = rig.port.written();
        while (std::search(w.begin() + static_cast<std::ptrdiff_t>(from), w.end(), packet.begin(), packet.end()) == w.end() &&
               rig.platform.clock.now() - t0 < 2) {
            const double next = rig.loop.nextEventTime();
            rig.loop.runUntil(next > rig.platform.clock.now() ? next : rig.platform.clock.now() + 0.001);
        }
        (inquiry ? inquiries : commands).push_back(rig.platform.clock.now() - t0);
        // The next datagram meets the refresh at another point of its cycle.
        rig.run(0.1 + 0.013 * static_cast<double>(sequence % 23));
        if (w.size() > (1u << 20)) rig.port.clearWritten();
    }
    const auto report = [&state](std::vector<double>& l, const std::string& what) {
        if (l.empty()) return;
        std::sort(l.begin(), l.end());
        const auto at = [&l](double q) { return l[static_cast<std::size_t>(q * static_cast<double>(l.size() - 1))]; };
        state.counters[what + "_median_ms"] = at(0.5) * 1000;
        state.counters[what + "_p99_ms"] = at(0.99) * 1000;
        state.counters[what + "_max_ms"] = l.back() * 1000;
    };
    report(commands, "command");
    report(inquiries, "inquiry");
}
BENCHMARK(BM_RemoteCommandToWire)->Unit(benchmark::kMicrosecond)->Iterations(2000);
