// One full ORX-Kappa status read against the in-process simulator: the
// panel's own CPU time per read next to the wire time of the same bytes.
#include <benchmark/benchmark.h>
#include <time.h>

#include "app/testing/rig.h"

using namespace orbus;

static void BM_KappaStatusRead(benchmark::State& state) {
    orbus::testing::Rig rig({"ORX-Kappa"});
    rig.chain.ackDelay = rig.chain.completionDelay = rig.chain.inquiryDelay = 0;
    if (!rig.startUp()) {
        state.SkipWithError("start-up failed");
        return;
    }
    rig.program->ptw.PTWindow = true;
    rig.program->ptw.PTWSize = true;
    std::size_t bytes = 0;
    std::size_t reads = 0;
    double cpu = 0;
    auto cpuNow = [] {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
    };
    for (auto _ : state) {
        const double c0 = cpuNow();
        const std::size_t sentBefore = rig.port.written().size();
        const std::size_t packetsBefore = rig.chain.received.size();
        rig.readStatus();
        cpu += cpuNow() - c0;
        bytes += rig.port.written().size() - sentBefore;
        // Answers: 16-byte blocks, 4-byte singles, pan-tilt answers.
        for (std::size_t i = packetsBefore; i < rig.chain.received.size(); ++i) {
            const Bytes& p = rig.chain.received[i];
            if (p.size() >= 4 && p[2] == 0x7E && p[3] == 0x7E) bytes += 16;
            else if (p.size() >= 4 && p[2] == 0x06 && p[3] == 0x12) bytes += 11;
            else if (p.size() >= 4 && p[2] == 0x06 && (p[3] == 0x10 || p[3] == 0x11)) bytes += 5;
            else bytes += 4;
        }
        ++reads;
    }
    const double perRead = static_cast<double>(bytes) / static_cast<double>(reads);
    state.counters["wire_bytes_per_read"] = perRead;
    state.counters["wire_ms_38400"] = perRead * 10.0 / 38400.0 * 1000.0;
    state.counters["wire_ms_9600"] = perRead * 10.0 / 9600.0 * 1000.0;
    const double cpuPerRead = cpu / static_cast<double>(reads);
    state.counters["cpu_us_per_read"] = cpuPerRead * 1e6;
    state.counters["cpu_percent_of_wire_38400"] = 100.0 * cpuPerRead / (perRead * 10.0 / 38400.0);
}
BENCHMARK(BM_KappaStatusRead)->Unit(benchmark::kMicrosecond);
