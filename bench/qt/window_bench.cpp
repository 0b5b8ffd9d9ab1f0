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
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/frm_main.h"
#include "app/frm_open.h"
#include "app/program.h"
#include "app/qt_machine.h"
#include "platform/testing/fakes.h"

#if __has_include("link/async.h")
#define ORBUS_LINK_BESIDE_WINDOW 1
#else
#define ORBUS_LINK_BESIDE_WINDOW 0
#endif

using namespace orbus;

namespace {

constexpr int kCom = 7;
const char* const kModels[] = {"ORX-Kappa", "ORX-Beta", "KBM-R05"};
// What "Tele End" sends to camera 1, as the simulator prints it.
const char* const kTeleEnd = "<- 81 01 04 47 ";

// Milliseconds on the monotonic clock every process on the machine shares.
double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Runs the event loop until the condition holds or the time is up.
bool pump(const std::function<bool()>& until, double ms) {
    const double end = nowMs() + ms;
    while (!until() && nowMs() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return until();
}
void pumpFor(double ms) {
    pump([] { return false; }, ms);
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
double maxOf(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }
double meanOf(const std::vector<double>& v) {
    double s = 0;
    for (double x : v) s += x;
    return v.empty() ? 0 : s / static_cast<double>(v.size());
}

// orbus-camsim in a child process; every line of its traffic trace is kept
// with the moment it was printed ("<-" a packet it read, "->" a reply it
// put on the line).
class Sim {
public:
    struct Line {
        double at;
        std::string text;
    };
    Sim(const std::string& model, int baud) {
        link_ = "/tmp/orbus-bench-pty-" + std::to_string(getpid()) + "-" + std::to_string(counter_++);
        int out[2], in[2];
        if (pipe(out) != 0 || pipe(in) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(in[0], STDIN_FILENO);
            for (int fd : {out[0], out[1], in[0], in[1]}) ::close(fd);
            const std::string b = std::to_string(baud);
            std::vector<std::string> args = {ORBUS_CAMSIM, "--models", model, "--link", link_, "--baud", b, "--control"};
            std::vector<char*> argv;
            argv.reserve(args.size() + 1);
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(ORBUS_CAMSIM, argv.data());
            _exit(127);
        }
        ::close(out[1]);
        ::close(in[0]);
        control_ = in[1];
        reader_ = std::thread([this, fd = out[0]] { readTrace(fd); });
        for (int i = 0; i < 300 && !std::filesystem::exists(link_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~Sim() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (reader_.joinable()) reader_.join();
        if (control_ >= 0) ::close(control_);
    }
    bool ready() const { return pid_ > 0 && std::filesystem::exists(link_); }
    const std::string& link() const { return link_; }
    // One control line ("silent on").
    void send(const std::string& line) {
        const std::string l = line + "\n";
        if (control_ >= 0 && write(control_, l.data(), l.size()) < 0) return;
    }
    std::vector<Line> between(double from, double to) const {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<Line> out;
        for (const auto& l : lines_)
            if (l.at >= from && l.at <= to) out.push_back(l);
        return out;
    }
    // The first line starting with `prefix` printed at or after `from`.
    std::optional<double> firstAfter(double from, const std::string& prefix) const {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& l : lines_)
            if (l.at >= from && l.text.rfind(prefix, 0) == 0) return l.at;
        return std::nullopt;
    }

private:
    void readTrace(int fd) {
        std::string partial;
        char buf[4096];
        for (;;) {
            const ssize_t n = read(fd, buf, sizeof buf);
            if (n <= 0) break;
            const double at = nowMs();
            std::lock_guard<std::mutex> lock(mutex_);
            for (ssize_t i = 0; i < n; ++i) {
                if (buf[i] != '\n') {
                    partial += buf[i];
                    continue;
                }
                lines_.push_back({at, partial});
                partial.clear();
            }
        }
        ::close(fd);
    }
    static inline int counter_ = 0;
    std::string link_;
    pid_t pid_ = -1;
    int control_ = -1;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::vector<Line> lines_;
};

// Bytes both ways and exchanges in trace lines; the wire time they take at
// `baud` (10 bits a byte) with 2 ms of turnaround per exchange.
double wireMs(const std::vector<Sim::Line>& lines, int baud) {
    int bytes = 0, exchanges = 0;
    for (const auto& l : lines) {
        const bool sent = l.text.rfind("<- ", 0) == 0;
        if (!sent && l.text.rfind("-> ", 0) != 0) continue;
        if (sent) ++exchanges;
        std::istringstream in(l.text.substr(3));
        for (std::string tok; in >> tok;) ++bytes;
    }
    return bytes * 10.0 * 1000.0 / baud + 2.0 * exchanges;
}

// A 1 ms timer: the longest gap between its ticks is the longest time the
// window did not handle events.
class Pinger {
public:
    Pinger() {
        ticks_.reserve(200000);
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { ticks_.push_back(nowMs()); });
        timer_.start();
    }
    // The longest gap between ticks that overlaps [from, to].
    double longestGap(double from, double to) const {
        double gap = 0;
        for (std::size_t i = 1; i < ticks_.size(); ++i) {
            if (ticks_[i] < from || ticks_[i - 1] > to) continue;
            gap = std::max(gap, ticks_[i] - ticks_[i - 1]);
        }
        return gap;
    }

private:
    QTimer timer_;
    std::vector<double> ticks_;
};

// Message boxes answered OK at once, each kept with its moment.
class RecordingWindows : public qt::QtWindowSystem {
public:
    MsgAnswer message(const Message& m) override {
        shown.push_back({nowMs(), m.text});
        return MsgAnswer::Ok;
    }
    std::vector<Sim::Line> shown;
};

// Com kCom opens the simulator's line while this lives.
struct ComEnv {
    explicit ComEnv(const std::string& link) { qputenv(name().c_str(), link.c_str()); }
    ~ComEnv() { qunsetenv(name().c_str()); }
    static std::string name() { return "ORBUS_COM" + std::to_string(kCom); }
};

// A whole panel started through its port dialog on the simulator's line.
struct Panel {
    explicit Panel(const Sim& sim) : com(sim.link()) {}
    bool start(int baud) {
        program.start();
        program.frmOpen().ComList1.choose(kCom - 1);
        program.frmOpen().OBrate[baud == 38400 ? 1 : 0].click();
        program.frmOpen().Command1.click();
        pump([this] { return !busy(); }, 30000);
        return m().visible() && !busy();
    }
    FrmMain& m() { return program.frmMain(); }
    // Something runs on the line beside the window.
    bool busy() {
#if ORBUS_LINK_BESIDE_WINDOW
        return !m().linkIdle();
#else
        return false;
#endif
    }

    ComEnv com;
    orbus::testing::MemorySettings settings;
    RecordingWindows windows;
    qt::QtMachine machine{settings, windows};
    Program program{machine.platform};
};

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

// What a benchmark hangs on the panel, gone with it: the clicks it planned
// and its hook on the refresh timer. Declared after what they refer to.
class Hooks {
public:
    explicit Hooks(FrmMain& m) : m_(m), own_(m.Timer1.onTick) {}
    ~Hooks() { m_.Timer1.onTick = own_; }
    Hooks(const Hooks&) = delete;
    Hooks& operator=(const Hooks&) = delete;
    // Runs `then` with the moment of each Timer1 tick before the tick's own work.
    void onRefreshTick(std::function<void(double)> then) {
        m_.Timer1.onTick = [own = own_, then = std::move(then)] {
            then(nowMs());
            if (own) own();
        };
    }
    QObject* scope() { return &scope_; }

private:
    FrmMain& m_;
    std::function<void()> own_;
    QObject scope_;
};

// A "Tele End" click planned for a moment; `wire` is filled when the
// simulator has read the packet.
struct Click {
    double planned = 0, handled = 0, wire = -1;
    bool inRead = false;
};
void clickTeleEnd(Panel& p, Click& c) {
    c.handled = nowMs();
    // The click met a read: one runs beside the window now, or the window
    // could not take the click when it was made.
    c.inRead = p.program.link.StatusReading || c.handled - c.planned > 2.0;
    p.m().FarT.click();
}
void planClick(Panel& p, Hooks& h, Click& c, double offsetMs) {
    const int ms = static_cast<int>(offsetMs);
    c.planned = nowMs() + ms;
    QTimer::singleShot(ms, Qt::PreciseTimer, h.scope(), [&p, &c] { clickTeleEnd(p, c); });
}
bool waitWire(Sim& sim, Click& c, double ms) {
    pump([&] { return c.handled > 0 && sim.firstAfter(c.handled, kTeleEnd).has_value(); }, ms);
    if (c.handled <= 0) return false;
    const auto at = sim.firstAfter(c.handled, kTeleEnd);
    if (at) c.wire = *at - c.planned;
    return at.has_value();
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
