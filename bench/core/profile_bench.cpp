// Camera profiles: how long the line is busy applying a full profile to
// cameras with two command sockets and real execution times (virtual
// time, per camera, read-back included), and what reading and checking a
// profile file costs.
#include <benchmark/benchmark.h>

#include "app/profile_link.h"
#include "app/testing/rig.h"
#include "profile/apply.h"
#include "profile/profile_file.h"

using namespace orbus;

namespace {

// Camera 1 set away from its defaults, so that every setting is sent.
void setCameraOne(sim::CameraState& s) {
    s.aeMode = 0x03;
    s.iris = 5;
    s.gain = 6;
    s.shutter = 9;
    s.wbMode = 5;
    s.rGain = 0x70;
    s.bGain = 0x99;
    s.aperture = 9;
    s.expCompOn = true;
    s.expComp = 9;
    s.focusAuto = false;
    s.afMode = 1;
    s.autoPowerOff = 30;
    s.alarmMode = 0x0C;
}

// Starts the panel on the rig's chain and reads camera 1 into the settings
// a profile holds; nothing (with the benchmark skipped) when that fails.
std::optional<profile::Values> startAndReadCameraOne(testing::Rig& rig, benchmark::State& state,
                                                     std::vector<ChainCamera>& chain, bool withPositions) {
    if (!rig.startUp()) {
        state.SkipWithError("start-up failed");
        return std::nullopt;
    }
    FrmMain& m = rig.main();
    m.refresh().switchOff();
    rig.settle();
    chain = m.runToEnd(chainCameras(*rig.program));
    const auto reading = m.runToEnd(readCameraSettings(*rig.program, chain.front()));
    if (!reading) {
        state.SkipWithError("camera 1 not read");
        return std::nullopt;
    }
    return profile::settingsOf(*reading, profile::ModelView(rig.program->cameras.drivenCamera()), withPositions);
}

}  // namespace

static void BM_ApplyProfileToChain(benchmark::State& state) {
    const int cameras = static_cast<int>(state.range(0));
    double lineSeconds = 0, packets = 0;
    long runs = 0;
    for (auto _ : state) {
        testing::Rig rig(std::vector<std::string>(static_cast<std::size_t>(cameras + 1), "ORX-Beta"));
        rig.chain.timed = true;
        setCameraOne(rig.chain.byAddress(1)->state());
        std::vector<ChainCamera> chain;
        const std::optional<profile::Values> values = startAndReadCameraOne(rig, state, chain, false);
        if (!values) return;
        FrmMain& m = rig.main();
        std::vector<int> to;
        for (int a = 2; a <= cameras + 1; ++a) to.push_back(a);
        PanelApplyLink link(*rig.program, chain);
        const double start = rig.loop.now();
        const auto reports = m.runToEnd(profile::applyProfile(link, *values, to, std::make_shared<bool>(false), {}));
        lineSeconds += rig.loop.now() - start;
        for (const auto& r : reports) packets += r.sent;
        ++runs;
    }
    state.counters["virtual_s_per_camera"] = lineSeconds / static_cast<double>(runs) / cameras;
    state.counters["packets_per_camera"] = packets / static_cast<double>(runs) / cameras;
}
BENCHMARK(BM_ApplyProfileToChain)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond)->Iterations(3);

static void BM_ReadAndCheckProfileFile(benchmark::State& state) {
    testing::Rig rig({"ORX-Beta"});
    rig.chain.byAddress(1)->state().aeMode = 0x03;
    std::vector<ChainCamera> chain;
    const std::optional<profile::Values> values = startAndReadCameraOne(rig, state, chain, true);
    if (!values) return;
    profile::Profile p;
    p.model = "ORX-Beta";
    p.settings = *values;
    const std::string text = profile::toJson(p);
    const profile::ModelView view(rig.program->cameras.drivenCamera());
    for (auto _ : state) {
        const profile::Parsed parsed = profile::parseProfile(text);
        benchmark::DoNotOptimize(profile::checkForModel(*parsed.profile, view, 1));
    }
    state.counters["bytes"] = static_cast<double>(text.size());
    state.counters["settings"] = static_cast<double>(p.settings.size());
}
BENCHMARK(BM_ReadAndCheckProfileFile)->Unit(benchmark::kMicrosecond);
