// Receive processing and reply classification per received reply.
#include <benchmark/benchmark.h>

#include "app/testing/rig.h"

using namespace orbus;

static void BM_ReceiveAndClassify(benchmark::State& state) {
    orbus::testing::Rig rig;
    rig.openQuietly();
    FrmMain& m = rig.main();
    m.RecvText.setText(std::string(990, '0'));  // a full log, as in a long session
    const Bytes batch{0x90, 0x41, 0xFF, 0x90, 0x51, 0xFF};
    for (auto _ : state) {
        m.EchoReceived(batch);
        benchmark::DoNotOptimize(m.RecvText.text().data());
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.counters["ns_per_reply"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 2,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReceiveAndClassify);
