// CPU share of the panel while WaitReply waits one second on a silent real
// pseudo-terminal: the wait must block in the port, not spin.
#include <benchmark/benchmark.h>
#include <pty.h>
#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>

#include "app/frm_main.h"
#include "app/program.h"
#include "app/qt_machine.h"
#include "platform/testing/fakes.h"

using namespace orbus;

namespace {
double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}
double wallSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

static void BM_WaitReplyOnSilentPty(benchmark::State& state) {
    int master = -1, slave = -1;
    char name[256];
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        state.SkipWithError("openpty failed");
        return;
    }
    qputenv("ORBUS_COM9", name);
    orbus::testing::MemorySettings settings;
    qt::QtWindowSystem windows;
    qt::QtMachine machine(settings, windows);
    RoutingPort& port = machine.port;
    Program program(machine.platform);
    port.setCommPort(9);
    port.setSettings({9600, 'N', 8, 1});
    if (!port.open()) {
        state.SkipWithError("port did not open");
        return;
    }
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double c0 = cpuSeconds(), w0 = wallSeconds();
        Bytes r = program.frmMain().runToEnd(program.frmMain().WaitReply(4));
        cpu += cpuSeconds() - c0;
        wall += wallSeconds() - w0;
        benchmark::DoNotOptimize(r.data());
    }
    state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
    state.counters["wait_seconds"] = wall / static_cast<double>(state.iterations());
    port.close();
    close(master);
    close(slave);
}
BENCHMARK(BM_WaitReplyOnSilentPty)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
