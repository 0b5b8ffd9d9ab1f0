// What the window benchmarks share: orbus-camsim on a pseudo-terminal with
// its traffic trace timestamped, a whole panel started through its port
// dialog on that line, a 1 ms timer whose longest tick gap is the window's
// longest block, and "Tele End" clicks timed from the click to the wire.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/frm_main.h"
#include "app/frm_open.h"
#include "app/program.h"
#include "app/qt_machine.h"
#include "platform/testing/exec.h"
#include "platform/testing/fakes.h"

#if __has_include("link/async.h")
#define ORBUS_LINK_BESIDE_WINDOW 1
#else
#define ORBUS_LINK_BESIDE_WINDOW 0
#endif

namespace orbus::bench {

inline constexpr int kCom = 7;
// What "Tele End" sends to camera 1, as the simulator prints it.
inline const char* const kTeleEnd = "<- 81 01 04 47 ";

// Milliseconds on the monotonic clock every process on the machine shares.
inline double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Runs the event loop until the condition holds or the time is up.
inline bool pump(const std::function<bool()>& until, double ms) {
    const double end = nowMs() + ms;
    while (!until() && nowMs() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return until();
}
inline void pumpFor(double ms) {
    pump([] { return false; }, ms);
}

inline double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
inline double maxOf(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }
inline double meanOf(const std::vector<double>& v) {
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
            orbus::testing::execProgram({ORBUS_CAMSIM, "--models", model, "--link", link_, "--baud", b, "--control"});
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
inline double wireMs(const std::vector<Sim::Line>& lines, int baud) {
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
inline void clickTeleEnd(Panel& p, Click& c) {
    c.handled = nowMs();
    // The click met a read: one runs beside the window now, or the window
    // could not take the click when it was made.
    c.inRead = p.program.link.StatusReading || c.handled - c.planned > 2.0;
    p.m().FarT.click();
}
inline void planClick(Panel& p, Hooks& h, Click& c, double offsetMs) {
    const int ms = static_cast<int>(offsetMs);
    c.planned = nowMs() + ms;
    QTimer::singleShot(ms, Qt::PreciseTimer, h.scope(), [&p, &c] { clickTeleEnd(p, c); });
}
inline bool waitWire(Sim& sim, Click& c, double ms) {
    pump([&] { return c.handled > 0 && sim.firstAfter(c.handled, kTeleEnd).has_value(); }, ms);
    if (c.handled <= 0) return false;
    const auto at = sim.firstAfter(c.handled, kTeleEnd);
    if (at) c.wire = *at - c.planned;
    return at.has_value();
}

}  // namespace orbus::bench
