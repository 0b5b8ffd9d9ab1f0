// What the operator feels while the panel talks to a chain over a real
// pseudo-terminal served by orbus-camsim, with the real Qt event loop:
//
//  - StatusRead: how long the window stops answering during one status read
//    (the longest gap between the ticks of a 1 ms timer), the read's length,
//    and as a reference the time its bytes take on the wire.
//  - ClickDuringRefresh: auto refresh on; at a random moment inside a read
//    the operator clicks "Tele End". Measured from the moment of the click
//    to the moment the simulator reads the packet off the line (its own
//    wire time, 9 bytes, comes on top on a real cable). A click outside any
//    read is measured too, as the floor.
//  - SilentCamera: the camera stops answering while auto refresh runs: the
//    longest block during the failed read, the time from the read's start
//    until "Refresh Action Error !" is shown, and click to wire for clicks
//    at random moments of the failure.
//
// All figures are milliseconds of wall time on this machine; the random
// moments come from a fixed seed, so two builds meet the same ones.
//
// The file builds against the older link too, whose reads held the window
// until they ended, so that the two can be compared.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "window_support.h"

using namespace orbus;
using namespace orbus::bench;

namespace {

const char* const kModels[] = {"ORX-Kappa", "ORX-Beta", "KBM-R05"};

// One status read started from the event loop, as a timer tick starts it.
struct Read {
    bool started = false;
    double from = 0, to = 0, blockMs = 0, wire = 0;
    double ms() const { return to - from; }
};
Read timedRead(Panel& p, Sim& sim, Pinger& ping, int baud) {
    Read r;
    bool returned = false;
    QObject scope;  // should the read never start, the call dies with this
    QTimer::singleShot(0, &scope, [&] {
        r.from = nowMs();
        r.started = p.m().ReadCameraStatus();
        r.to = nowMs();
        returned = true;
    });
    pump([&] { return returned; }, 30000);
    if (p.busy()) {
        pump([&] { return !p.busy(); }, 30000);
        r.to = nowMs();
    }
    pumpFor(3);  // a tick after the end closes the last gap
    r.blockMs = ping.longestGap(r.from, r.to);
    r.wire = wireMs(sim.between(r.from, r.to), baud);
    return r;
}

// The chain a benchmark row names (model, speed), served and driven.
struct Setup {
    explicit Setup(benchmark::State& state)
        : baud(static_cast<int>(state.range(1))), sim(kModels[state.range(0)], baud), panel(sim) {
        state.SetLabel(kModels[state.range(0)]);
    }
    int baud;
    Sim sim;
    Panel panel;
    Pinger ping;
};
// Starts the panel; false (and the benchmark skipped) when it did not come up.
bool startUp(benchmark::State& state, Setup& s) {
    const int baud = s.baud;
    if (!s.sim.ready()) {
        state.SkipWithError("orbus-camsim did not start");
        return false;
    }
    if (!s.panel.start(baud)) {
        state.SkipWithError("the panel did not start up");
        return false;
    }
    return true;
}

void BM_StatusRead(benchmark::State& state) {
    Setup s(state);
    const int baud = s.baud;
    if (!startUp(state, s)) return;
    const double idleFrom = nowMs();
    pumpFor(200);
    const double idleGap = s.ping.longestGap(idleFrom, nowMs());
    std::vector<double> block, length, wire;
    for (auto _ : state) {
        const Read r = timedRead(s.panel, s.sim, s.ping, baud);
        if (!r.started) {
            state.SkipWithError("the read did not start");
            return;
        }
        state.SetIterationTime(r.ms() / 1000.0);
        block.push_back(r.blockMs);
        length.push_back(r.ms());
        wire.push_back(r.wire);
        pumpFor(30);
    }
    state.counters["block_ms"] = meanOf(block);
    state.counters["block_max_ms"] = maxOf(block);
    state.counters["read_ms"] = meanOf(length);
    state.counters["wire_ms"] = meanOf(wire);
    state.counters["idle_gap_ms"] = idleGap;
    if (!s.panel.windows.shown.empty()) state.SkipWithError(s.panel.windows.shown[0].text.c_str());
}
BENCHMARK(BM_StatusRead)
    ->ArgNames({"model", "baud"})
    ->ArgsProduct({{0, 1, 2}, {9600, 38400}})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_ClickDuringRefresh(benchmark::State& state) {
    Setup s(state);
    const int baud = s.baud;
    if (!startUp(state, s)) return;
    Panel& p = s.panel;
    if (!p.m().FarT.enabled() || !p.m().FarT.visible()) {
        state.SkipWithError("\"Tele End\" cannot be clicked");
        return;
    }
    // How long a read runs here: the clicks are planned inside that span.
    const Read ref = timedRead(p, s.sim, s.ping, baud);
    pumpFor(50);
    std::mt19937 rng(20240611u + static_cast<unsigned>(state.range(0) * 7 + baud));
    std::uniform_real_distribution<double> inRead(0.0, ref.ms());
    std::uniform_real_distribution<double> pause(100.0, 400.0);

    std::vector<Click> during, idle;
    during.reserve(64);
    idle.reserve(64);
    Click* next = nullptr;
    Hooks hooks(p.m());
    hooks.onRefreshTick([&](double) {
        if (!next) return;
        planClick(p, hooks, *next, inRead(rng));
        next = nullptr;
    });
    const double from = nowMs();
    p.m().AutoRefreshed.click();
    for (auto _ : state) {
        // A click at a random moment of the next read.
        during.emplace_back();
        next = &during.back();
        if (!waitWire(s.sim, during.back(), 5000)) {
            state.SkipWithError("a click during a read never reached the camera");
            return;
        }
        state.SetIterationTime(during.back().wire / 1000.0);
        // Its completion, then a click while nothing runs.
        pump([&] { return !p.busy(); }, 2000);
        pumpFor(pause(rng));
        pump([&] { return !p.program.link.StatusReading && !p.busy(); }, 3000);
        idle.emplace_back();
        planClick(p, hooks, idle.back(), 0);
        if (!waitWire(s.sim, idle.back(), 5000)) {
            state.SkipWithError("a click between reads never reached the camera");
            return;
        }
    }
    next = nullptr;
    const double to = nowMs();
    std::vector<double> d, i;
    int hits = 0;
    for (const auto& c : during) {
        d.push_back(c.wire);
        hits += c.inRead ? 1 : 0;
    }
    // A tick may have come just before an idle click: that one met a read.
    for (const auto& c : idle)
        if (!c.inRead) i.push_back(c.wire);
    state.counters["read_ms"] = ref.ms();
    state.counters["click_in_read_median_ms"] = median(d);
    state.counters["click_in_read_max_ms"] = maxOf(d);
    state.counters["clicks_meeting_a_read"] = hits;
    state.counters["click_idle_median_ms"] = median(i);
    state.counters["block_max_ms"] = s.ping.longestGap(from, to);
    if (!p.windows.shown.empty()) state.SkipWithError(p.windows.shown[0].text.c_str());
}
BENCHMARK(BM_ClickDuringRefresh)
    ->ArgNames({"model", "baud"})
    ->Args({0, 9600})
    ->Args({2, 38400})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_SilentCamera(benchmark::State& state) {
    Setup s(state);
    if (!startUp(state, s)) return;
    Panel& p = s.panel;
    const auto& shown = p.windows.shown;
    std::mt19937 rng(7u);
    std::uniform_real_distribution<double> inFailure(0.0, 6500.0);
    double tick = 0;
    std::vector<double> offsets;
    std::vector<Click> clicks;
    clicks.reserve(8);
    Hooks hooks(p.m());
    hooks.onRefreshTick([&](double at) {
        if (tick > 0) return;
        tick = at;
        for (std::size_t k = 0; k < offsets.size(); ++k) {
            clicks.emplace_back();
            planClick(p, hooks, clicks.back(), offsets[k]);
        }
    });
    for (auto _ : state) {
        s.sim.send("silent on");
        pumpFor(50);
        // The failed read alone, until the operator is told.
        p.m().AutoRefreshed.click();
        if (!pump([&] { return !shown.empty(); }, 20000)) {
            state.SkipWithError("no message about the failed read");
            return;
        }
        pumpFor(3);
        const double told = shown[0].at;
        state.SetIterationTime((told - tick) / 1000.0);
        state.counters["error_shown_after_ms"] = told - tick;
        state.counters["block_max_ms"] = s.ping.longestGap(tick, told);
        if (shown[0].text.rfind("Refresh Action Error !", 0) != 0) {
            state.SkipWithError(shown[0].text.c_str());
            return;
        }
        // A read may go on asking after the message: it ends here.
        pump([&] { return !p.busy(); }, 20000);
        state.counters["failed_read_ms"] = nowMs() - tick;
        // Again, with clicks at random moments of the failure.
        tick = 0;
        for (int k = 0; k < 4; ++k) offsets.push_back(inFailure(rng));
        std::sort(offsets.begin(), offsets.end());
        const double from = nowMs();
        p.m().AutoRefreshed.click();
        pump([&] { return tick > 0; }, 5000);
        for (auto& c : clicks) {
            if (!waitWire(s.sim, c, 15000)) {
                state.SkipWithError("a click during the failure never reached the camera");
                return;
            }
        }
        std::vector<double> w;
        w.reserve(clicks.size());
        for (const auto& c : clicks) w.push_back(c.wire);
        state.counters["click_median_ms"] = median(w);
        state.counters["click_max_ms"] = maxOf(w);
        state.counters["block_max_with_clicks_ms"] = s.ping.longestGap(from, nowMs());
    }
}
BENCHMARK(BM_SilentCamera)
    ->ArgNames({"model", "baud"})
    ->Args({0, 9600})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
