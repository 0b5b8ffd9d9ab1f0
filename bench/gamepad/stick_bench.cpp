// Stick movement to the wire: SDL's virtual joystick moves, the reader's
// next poll (every 10 ms) hands it to the stick drive, and the drive's
// packet is written to the simulated chain, auto refresh on meanwhile. The
// movement falls at every phase of the poll period in turn; the latency is
// the wait for the poll (virtual time) plus the real time the poll took to
// put the packet on the port. The line adds its own time at the speed set.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "app/testing/rig.h"
#include "gamepad/sdl/sdl_reader.h"
#include "gamepad/stick_drive.h"

using namespace orbus;

static void BM_StickToWire(benchmark::State& state) {
    const int moves = static_cast<int>(state.range(0));
    std::vector<double> latencies;
    for (auto _ : state) {
        testing::Rig rig({"ORX-Kappa"});
        if (!rig.startUp()) {
            state.SkipWithError("start-up failed");
            return;
        }
        rig.main().AutoRefreshed.click();
        if (rig.main().AutoRefreshed.caption() != "Stop") rig.main().AutoRefreshed.click();
        gamepad::SdlReader reader(rig.program->gamepad());
        const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                     SDL_CONTROLLER_BUTTON_MAX, 0);
        SDL_Joystick* js = device >= 0 ? SDL_JoystickOpen(device) : nullptr;
        if (!reader.ready() || !js) {
            state.SkipWithError("no virtual joystick");
            return;
        }
        reader.poll();
        const double period = gamepad::SdlReader::kPollSeconds;
        // Full right, full left, centred: each move changes the drive.
        const Sint16 positions[] = {32767, -32767, 0};
        for (int i = 0; i < moves; ++i) {
            // Polls keep time while the refresh reads the camera.
            for (int k = 0; k < 5; ++k) {
                rig.run(period);
                reader.poll();
            }
            const double phase = period * (i % 20) / 20.0;  // the move, this long after a poll
            rig.run(phase);
            SDL_JoystickSetVirtualAxis(js, SDL_CONTROLLER_AXIS_LEFTX, positions[i % 3]);
            rig.run(period - phase);
            const std::size_t mark = rig.mark();
            const auto t0 = std::chrono::steady_clock::now();
            reader.poll();
            const auto t1 = std::chrono::steady_clock::now();
            if (rig.mark() == mark) continue;  // not a drive (it cannot happen: each move changes it)
            latencies.push_back(period - phase + std::chrono::duration<double>(t1 - t0).count());
        }
        SDL_JoystickClose(js);
        SDL_JoystickDetachVirtual(device);
        reader.poll();
    }
    if (latencies.empty()) {
        state.SkipWithError("nothing reached the wire");
        return;
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["moves_on_wire"] = static_cast<double>(latencies.size());
    state.counters["median_ms"] = 1000 * latencies[latencies.size() / 2];
    state.counters["max_ms"] = 1000 * latencies.back();
    // Nine bytes of a pan-tilt drive, ten bits each, at 9600 baud.
    state.counters["line_ms_9600"] = 1000 * 9 * 10 / 9600.0;
}
BENCHMARK(BM_StickToWire)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(1);
