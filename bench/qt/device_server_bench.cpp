// One exchange (the version inquiry and its ten-byte answer) with a camera
// served by orbus-camsim: straight on its pseudo-terminal, and through
// ser2net on a loopback port, raw and with the Telnet COM-PORT option. The
// network rows report their time as a ratio to the pseudo-terminal's
// ("ratio_to_pty"); the row with a bare TCP socket to the same raw ser2net
// is the floor the panel's network port is measured against: the panel's
// added latency per exchange is the raw row's time less that floor
// ("added_us" on the raw row).
#include <benchmark/benchmark.h>

#include <QTcpSocket>
#include <QTimer>
#include <chrono>
#include <memory>

#include "../../tests/qt/ser2net_support.h"
#include "platform/qt/qt_network_port.h"
#include "platform/qt/qt_serial.h"

using namespace orbus;
using orbus::testing::Ser2net;

namespace {

const Bytes kInquiry{0x81, 0x09, 0x00, 0x02, 0xFF};
constexpr std::size_t kAnswer = 10;

double wallSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// orbus-camsim on a pseudo-terminal for the whole run.
class Sim {
public:
    Sim() {
        link_ = "/tmp/orbus-bench-net-" + std::to_string(getpid());
        pid_ = fork();
        if (pid_ == 0) {
            const int null = open("/dev/null", O_WRONLY);
            if (null >= 0) dup2(null, STDOUT_FILENO);
            execl(ORBUS_CAMSIM, ORBUS_CAMSIM, "--models", "ORX-Beta", "--link", link_.c_str(), "--quiet",
                  "--instant", static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 200 && !std::filesystem::exists(link_); ++i) usleep(10000);
    }
    ~Sim() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    const std::string& link() const { return link_; }

private:
    std::string link_;
    pid_t pid_ = -1;
};

Sim& sim() {
    static Sim s;
    return s;
}

// Per kind, the mean exchange time seen last, for the ratios.
double& meanOf(int kind) {
    static double means[4] = {0, 0, 0, 0};
    return means[kind];
}

enum Kind { Pty = 0, Raw = 1, ComPort = 2, BareSocket = 3 };

// Exchanges through a panel port until the benchmark has its time.
void exchanges(benchmark::State& state, SerialPort& port, int kind) {
    Bytes got;
    port.setRThreshold(1);
    port.onComm = [&](int e) {
        if (e != ComEvReceive) return;
        const Bytes b = port.input();
        got.insert(got.end(), b.begin(), b.end());
    };
    // Wakes the wait now and then, so a lost answer ends it.
    QTimer wake;
    wake.start(100);
    double total = 0;
    for (auto _ : state) {
        got.clear();
        const double t0 = wallSeconds();
        if (!port.output(kInquiry)) {
            state.SkipWithError("the port took no packet");
            break;
        }
        while (got.size() < kAnswer && wallSeconds() - t0 < 2)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (got.size() < kAnswer) {
            state.SkipWithError("no answer within 2 s");
            break;
        }
        total += wallSeconds() - t0;
    }
    port.onComm = nullptr;
    if (state.iterations() == 0) return;
    const double mean = total / static_cast<double>(state.iterations());
    meanOf(kind) = mean;
    state.counters["exchange_us"] = mean * 1e6;
    if (kind != Pty && meanOf(Pty) > 0) state.counters["ratio_to_pty"] = mean / meanOf(Pty);
    if (kind == Raw && meanOf(BareSocket) > 0) state.counters["added_us"] = (mean - meanOf(BareSocket)) * 1e6;
}

}  // namespace

static void BM_ExchangeOnThePty(benchmark::State& state) {
    qt::QtSerialPort port(sim().link());
    port.setSettings({9600, 'N', 8, 1});
    if (!port.open()) {
        state.SkipWithError(port.lastError().c_str());
        return;
    }
    exchanges(state, port, Pty);
    port.close();
}

// The floor: a bare socket to raw ser2net, no panel code in the way.
static void BM_ExchangeBareSocketThroughSer2net(benchmark::State& state) {
    if (orbus::testing::ser2netProgram().empty()) {
        state.SkipWithError("ser2net is not installed (scripts/install-deps.sh test installs it)");
        return;
    }
    Ser2net server(sim().link(), false);
    QTcpSocket s;
    s.connectToHost("127.0.0.1", static_cast<quint16>(server.port()));
    if (!s.waitForConnected(3000)) {
        state.SkipWithError("no connection to ser2net");
        return;
    }
    s.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Waited for on the event loop, as the panel's port is.
    qint64 got = 0;
    QObject::connect(&s, &QTcpSocket::readyRead, [&] { got += s.readAll().size(); });
    QTimer wake;
    wake.start(100);
    double total = 0;
    for (auto _ : state) {
        got = 0;
        const double t0 = wallSeconds();
        s.write(reinterpret_cast<const char*>(kInquiry.data()), static_cast<qint64>(kInquiry.size()));
        s.flush();
        while (got < static_cast<qint64>(kAnswer) && wallSeconds() - t0 < 2)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        total += wallSeconds() - t0;
    }
    const double mean = total / static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
    meanOf(BareSocket) = mean;
    state.counters["exchange_us"] = mean * 1e6;
    if (meanOf(Pty) > 0) state.counters["ratio_to_pty"] = mean / meanOf(Pty);
}

static void BM_ExchangeThroughSer2net(benchmark::State& state) {
    const bool comPort = state.range(0) != 0;
    if (orbus::testing::ser2netProgram().empty()) {
        state.SkipWithError("ser2net is not installed (scripts/install-deps.sh test installs it)");
        return;
    }
    Ser2net server(sim().link(), comPort);
    qt::QtNetworkPort port(server.address(comPort));
    port.setSettings({9600, 'N', 8, 1});
    if (!port.open()) {
        state.SkipWithError(port.lastError().c_str());
        return;
    }
    state.SetLabel(comPort ? "rfc2217" : "tcp");
    exchanges(state, port, comPort ? ComPort : Raw);
    port.close();
}

// Wall time: an exchange mostly waits for the line.
BENCHMARK(BM_ExchangeOnThePty)->Unit(benchmark::kMicrosecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_ExchangeBareSocketThroughSer2net)->Unit(benchmark::kMicrosecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_ExchangeThroughSer2net)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->MinTime(1.0)->UseRealTime();
