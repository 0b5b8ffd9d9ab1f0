// A fast drag of the zoom slider against a camera with two command sockets
// and real execution time: how long after the release the camera is where
// the slider was left (its last command completed), next to the time the
// camera's own motion over the same distance takes. Virtual time.
#include <benchmark/benchmark.h>

#include "app/testing/rig.h"

using namespace orbus;

static void BM_ZoomDragToArrival(benchmark::State& state) {
    const int steps = static_cast<int>(state.range(0));
    double settle = 0, motion = 0, sent = 0, refused = 0;
    long runs = 0;
    for (auto _ : state) {
        testing::Rig rig({"KBM-R20"});
        rig.chain.timed = true;
        if (!rig.startUp()) {
            state.SkipWithError("start-up failed");
            return;
        }
        FrmMain& m = rig.main();
        m.refresh().switchOff();
        rig.run(1.0);
        Slider& s = m.ZoomSlider;
        const int from = rig.chain.camera(0).state().zoom;
        const std::size_t mark = rig.mark();
        s.mouseDown();
        // Across the whole range in `steps` moves, 10 ms apart.
        for (int i = 1; i <= steps; ++i) {
            s.scrollTo(s.min() + (s.max() - s.min()) * i / steps);
            rig.run(0.01);
        }
        s.mouseUp();
        const double released = rig.loop.now();
        const int to = s.value();
        // Until the camera is there and its last command completed.
        while (!(rig.chain.camera(0).state().zoom == to && m.pacer().inFlight(1) == 0 && m.pacer().waiting(1) == 0)) {
            if (rig.loop.now() - released > 30) break;
            rig.run(0.005);
        }
        settle += rig.loop.now() - released;
        motion += 2.5 * std::abs(to - from) / 0x7E80;
        sent += static_cast<double>(rig.packetsSince(mark, "01 04 47").size());
        refused += m.pacer().refusals(1);
        ++runs;
    }
    const double n = static_cast<double>(runs);
    state.counters["arrival_after_release_s"] = settle / n;
    state.counters["camera_motion_s"] = motion / n;
    state.counters["zoom_packets_sent"] = sent / n;
    state.counters["buffer_full"] = refused / n;
}
BENCHMARK(BM_ZoomDragToArrival)->Arg(40)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(3);
