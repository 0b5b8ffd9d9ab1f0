// The cost of keeping every packet for the traffic window, paid on every
// read and write of the port whether the window is open or not: a command
// and its two replies recorded, over and over, far past the ring's size.
// The ring's memory is fixed when it is made; the counters show it stays.
#include <benchmark/benchmark.h>

#include "app/meaning.h"
#include "app/traffic_record.h"
#include "app/testing/rig.h"

using namespace orbus;

namespace {

void BM_RecordCommandAndReplies(benchmark::State& state) {
    TrafficRecord r;
    const Bytes command{0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF};
    const Bytes inquiry{0x81, 0x09, 0x04, 0x00, 0xFF};
    const Bytes replies{0x90, 0x41, 0xFF, 0x90, 0x51, 0xFF};
    const Bytes answer{0x90, 0x50, 0x02, 0xFF};
    double t = 0;
    for (auto _ : state) {
        r.sent(command, t);
        r.received(replies, t + 0.01);
        r.sent(inquiry, t + 0.02);
        r.received(answer, t + 0.03);
        t += 0.1;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(r.recorded()));
    state.counters["packets recorded"] = static_cast<double>(r.recorded());
    state.counters["packets kept"] = static_cast<double>(r.size());
    state.counters["ring bytes"] = static_cast<double>(r.capacity() * sizeof(TrafficRow));
}
BENCHMARK(BM_RecordCommandAndReplies)->Iterations(50000);

// A meaning while the panel runs: its controls are named by their captions,
// looked up in the windows (what a tool tip or a traffic row pays).
void BM_MeaningWithThePanelRunning(benchmark::State& state) {
    orbus::testing::Rig rig({"ORX-Kappa"});
    for (auto _ : state) benchmark::DoNotOptimize(lineMeaning("81 01 04 47 01 02 03 04 FF ", LineSide::Sent));
}
BENCHMARK(BM_MeaningWithThePanelRunning);

}  // namespace
