// orbus-camsim: serves a simulated camera chain on a pseudo-terminal, so the
// panel (or any serial program) can talk to it as to a real chain.
//
//   orbus-camsim --models ORX-Beta,KBM-R05[@SPEED] [--link /tmp/orbus-com1]
//                [--baud SPEED] [--delay SECONDS] [--split N] [--garbage RATE]
//                [--silent] [--exit-after SECONDS] [--quiet] [--control] [--instant]
//
// The cameras listen at SPEED (9600, 19200 or 38400; 0 or none given: at
// whatever speed the other end sets on the line, read through the master
// side). Bytes sent at another speed are noise to them and go unanswered. A
// camera that powers on at a new line speed listens at that one from then on.
// --baud wins over a speed after the model list.
//
// The cameras take their time: each has two command sockets, acknowledges a
// command with y0 4z FF (z the socket it took) and completes it with y0 5z
// FF once done (a zoom across its range takes seconds); a command arriving
// while both are busy is refused with y0 60 03 FF and not carried out.
// --instant completes every command at once, acknowledged on socket 1.
//
// The cameras keep to their modes: iris, shutter, gain or bright while the
// exposure mode leaves them to the automatics, R/B gains outside manual
// white balance, and bright mode entered from other than full auto or
// shutter priority, are not executable (y0 61 41 FF, no acknowledge; y0 60
// 41 FF with --instant) and change nothing.
//
// Traffic is printed on stdout: "<-" packets from the panel, "->" replies.
// With --control, lines on stdin change the chain while it runs (for fault
// tests): "silent on|off", "garbage RATE", "split N", "delay SECONDS",
// "mute ADDRESS on|off" (that camera stops or starts answering again),
// "netchange" (camera 1 reports a network change now), "remove POSITION"
// (a camera leaves the chain, 1 = first), "replug SECONDS" (the line goes
// away and comes back at the same path, like an adapter pulled and put back),
// "baud N" (the cameras listen at N from now on, 0 = any speed), "speed F"
// (execution times times F: 0.5 twice as fast, 2 half as fast).
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <set>
#include <string>

#include "chain.h"
#include "options.h"
#include "platform/hex.h"

namespace {

volatile sig_atomic_t stopRequested = 0;
void onSignal(int) { stopRequested = 1; }

double now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

int speedOf(speed_t s) {
    switch (s) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

// A speed the cameras can listen at, 0 for any; -1 for anything else.
int listenSpeed(const std::string& text) {
    if (text == "0") return 0;
    if (text == "9600" || text == "19200" || text == "38400") return std::stoi(text);
    return -1;
}

std::string listeningText(int baud) {
    return baud > 0 ? "listening at " + std::to_string(baud) + " bps" : "listening at any speed";
}

// The pseudo-terminal the chain is served on, reachable at a fixed path.
class Line {
public:
    explicit Line(std::string link) : link_(std::move(link)) {}
    ~Line() { close(); }
    bool open() {
        char name[256] = {0};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
            std::perror("orbus-camsim: openpty");
            return false;
        }
        name_ = name;
        termios t{};
        tcgetattr(slave_, &t);
        cfmakeraw(&t);
        cfsetispeed(&t, B9600);
        cfsetospeed(&t, B9600);
        tcsetattr(slave_, TCSANOW, &t);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        if (!link_.empty()) {
            unlink(link_.c_str());
            if (symlink(name, link_.c_str()) != 0) {
                std::perror("orbus-camsim: symlink");
                return false;
            }
        }
        return true;
    }
    // The line goes away: the pty closes and its path disappears.
    void close() {
        if (master_ < 0) return;
        if (!link_.empty()) unlink(link_.c_str());
        ::close(master_);
        ::close(slave_);
        master_ = slave_ = -1;
    }
    bool isOpen() const { return master_ >= 0; }
    int master() const { return master_; }
    const std::string& name() const { return name_; }
    // The speed the other end set on the line (0 for one the cameras do not
    // know), or the fallback when it cannot be read. The master side reports
    // the settings made on the slave side.
    int speed(int fallback) const {
        termios lt{};
        if (tcgetattr(master_, &lt) != 0) return fallback;
        return speedOf(cfgetospeed(&lt));
    }

private:
    std::string link_;
    std::string name_;
    int master_ = -1, slave_ = -1;
};

void usage() {
    std::fprintf(stderr,
                 "usage: orbus-camsim --models MODEL[,MODEL...][@SPEED] [--link PATH] [--baud SPEED]\n"
                 "                    [--delay SECONDS] [--split N] [--garbage RATE] [--silent]\n"
                 "                    [--exit-after SECONDS] [--quiet] [--control] [--instant]\n"
                 "models: 1 to 7 of ORX-Alpha ORX-Beta ORX-Gamma ORX-Kappa KBM-R01 .. KBM-R27\n"
                 "speed: the cameras listen at 9600, 19200 or 38400 bps; 0 or none: at any speed\n"
                 "the cameras take their time to carry out commands (two sockets each, \"60 03\"\n"
                 "when both are busy); --instant: every command completes at once\n"
                 "control lines: silent on|off, garbage RATE, split N, delay SECONDS, mute ADDRESS on|off,\n"
                 "  netchange, remove POSITION, replug SECONDS, baud N, speed F (execution times times F)\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::string models = "ORX-Beta";
    std::string link;
    double exitAfter = -1;
    bool quiet = false;
    bool control = false;
    bool instant = false;
    orbus::sim::Faults faults;
    int baud = -1;  // not given: the model list's speed, or any
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                usage();
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--models") models = next();
        else if (a == "--link") link = next();
        else if (a == "--baud") {
            const std::string text = next();
            baud = listenSpeed(text);
            if (baud < 0) {
                std::fprintf(stderr, "orbus-camsim: bad speed \"%s\"\n", text.c_str());
                usage();
                return 2;
            }
        }
        else if (a == "--delay" || a == "--garbage" || a == "--exit-after" || a == "--split") {
            // Each number whole and in range; anything else is refused, not taken for 0.
            const std::string text = next();
            std::string problem;
            bool read = false;
            if (a == "--delay") {
                const auto v = orbus::sim::numberOption(a, text, 0, 3600, problem);
                if ((read = v.has_value())) faults.replyDelay = *v;
            } else if (a == "--garbage") {
                const auto v = orbus::sim::numberOption(a, text, 0, 1, problem);
                if ((read = v.has_value())) faults.garbageRate = *v;
            } else if (a == "--exit-after") {
                const auto v = orbus::sim::numberOption(a, text, 0, 1e6, problem);
                if ((read = v.has_value())) exitAfter = *v;
            } else {
                const auto v = orbus::sim::wholeOption(a, text, 0, 4096, problem);
                if ((read = v.has_value())) faults.splitChunk = *v;
            }
            if (!read) {
                std::fprintf(stderr, "orbus-camsim: %s\n", problem.c_str());
                usage();
                return 2;
            }
        }
        else if (a == "--silent") faults.silent = true;
        else if (a == "--quiet") quiet = true;
        else if (a == "--control") control = true;
        else if (a == "--instant") instant = true;
        else {
            usage();
            return 2;
        }
    }
    const orbus::sim::ModelListCheck check = orbus::sim::checkModelList(models);
    if (!check.unknown.empty())
        std::fprintf(stderr, "orbus-camsim: unknown camera model \"%s\" left out\n", check.unknown.c_str());
    if (check.tooMany) std::fprintf(stderr, "orbus-camsim: a chain holds 7 cameras; the rest are left out\n");
    if (check.badSpeed && baud < 0)
        std::fprintf(stderr, "orbus-camsim: bad speed after '@' in \"%s\"; listening at any speed\n", models.c_str());
    auto chain = orbus::sim::Chain::fromList(models);
    if (chain->size() == 0) {
        std::fprintf(stderr, "orbus-camsim: no known camera model in \"%s\"\n", models.c_str());
        usage();
        return 2;
    }
    chain->faults = faults;
    if (baud >= 0) chain->baud = baud;
    chain->timed = !instant;

    Line line(link);
    if (!line.open()) return 1;
    signal(SIGINT, onSignal);
    signal(SIGTERM, onSignal);
    signal(SIGPIPE, SIG_IGN);

    std::printf("orbus-camsim: %d camera(s) on %s%s%s\n", chain->size(), line.name().c_str(),
                link.empty() ? "" : " via ", link.c_str());
    for (int i = 0; i < chain->size(); ++i)
        std::printf("  camera %d: %s\n", chain->camera(i).address(), chain->camera(i).model().name.c_str());
    std::printf("  %s\n", listeningText(chain->baud).c_str());
    std::printf("  %s\n", chain->timed ? "timed: two command sockets per camera" : "instant: every command completes at once");
    std::fflush(stdout);
    // The speed last shown: a camera's own line speed change or a control
    // line changes the chain's.
    int shownBaud = chain->baud;
    auto showSpeedChange = [&] {
        if (chain->baud == shownBaud) return;
        shownBaud = chain->baud;
        std::printf("orbus-camsim: %s\n", listeningText(shownBaud).c_str());
        std::fflush(stdout);
    };
    if (!quiet) {
        chain->trace = [](const char* dir, const orbus::sim::Bytes& b) {
            // A refusal for want of a socket: the command was not carried out.
            const bool full = b.size() == 4 && b[1] == 0x60 && b[2] == 0x03;
            std::printf("%s %s%s\n", dir, orbus::hexBytes(b).c_str(), full ? "   (both sockets busy: command lost)" : "");
            std::fflush(stdout);
        };
    }

    const double start = now();
    double replugAt = -1;
    // Cameras that answer nothing, by address.
    std::set<int> muted;
    chain->mutate = [&muted](const orbus::sim::Bytes& packet, std::vector<orbus::sim::Bytes>& replies) {
        if (!packet.empty() && muted.count(packet[0] - 0x80)) replies.clear();
    };
    std::deque<orbus::sim::Chunk> pending;
    std::string commandLine;
    unsigned char buf[512];
    // A command from the control input.
    auto obey = [&](const std::string& cmd) {
        char word[32] = {0};
        double value = 0;
        const int n = std::sscanf(cmd.c_str(), "%31s %lf", word, &value);
        const std::string w = n >= 1 ? word : "";
        if (w == "silent") chain->faults.silent = cmd.find("on") != std::string::npos;
        else if (w == "garbage" && n == 2) chain->faults.garbageRate = value;
        else if (w == "mute" && n == 2) {
            if (cmd.find("off") != std::string::npos) muted.erase(static_cast<int>(value));
            else muted.insert(static_cast<int>(value));
        }
        else if (w == "split" && n == 2) chain->faults.splitChunk = static_cast<int>(value);
        else if (w == "delay" && n == 2) chain->faults.replyDelay = value;
        else if (w == "netchange" && chain->size() > 0)
            pending.push_back({now(), {chain->camera(0).replyHeader(), 0x38, 0xFF}});
        else if (w == "remove" && n == 2) chain->removeCamera(static_cast<int>(value) - 1);
        else if (w == "baud") {
            char speed[32] = {0};
            const int b = std::sscanf(cmd.c_str(), "%*s %31s", speed) == 1 ? listenSpeed(speed) : -1;
            if (b >= 0) chain->baud = b;
            else std::fprintf(stderr, "orbus-camsim: bad speed in \"%s\"; still %s\n", cmd.c_str(),
                              listeningText(chain->baud).c_str());
        }
        else if (w == "speed" && n == 2 && value > 0) chain->executionScale = value;
        else if (w == "speed") std::fprintf(stderr, "orbus-camsim: bad factor in \"%s\"; still %g\n", cmd.c_str(),
                                            chain->executionScale);
        else if (w == "replug" && n == 2) {
            line.close();
            pending.clear();
            replugAt = now() + value;
        } else if (!w.empty()) {
            std::fprintf(stderr, "orbus-camsim: unknown control \"%s\"\n", cmd.c_str());
        }
        std::printf("orbus-camsim: %s\n", cmd.c_str());
        std::fflush(stdout);
        showSpeedChange();
    };
    while (!stopRequested) {
        const double t = now();
        if (exitAfter >= 0 && t - start >= exitAfter) break;
        if (replugAt >= 0 && t >= replugAt) {
            replugAt = -1;
            if (!line.open()) return 1;
            std::printf("orbus-camsim: back on %s\n", line.name().c_str());
            std::fflush(stdout);
        }
        while (line.isOpen() && !pending.empty() && pending.front().at <= t) {
            const auto& b = pending.front().bytes;
            if (write(line.master(), b.data(), b.size()) < 0 && errno != EAGAIN) break;
            pending.pop_front();
        }
        // Drives that reached the end of their travel complete.
        if (const double due = chain->nextDue(); due >= 0 && due <= t) {
            for (auto& c : chain->advance(t)) pending.push_back(c);
            std::sort(pending.begin(), pending.end(),
                      [](const orbus::sim::Chunk& a, const orbus::sim::Chunk& b) { return a.at < b.at; });
            continue;
        }
        int timeoutMs = 200;
        if (!pending.empty()) timeoutMs = std::max(0, static_cast<int>((pending.front().at - t) * 1000.0));
        if (const double due = chain->nextDue(); due >= 0)
            timeoutMs = std::min(timeoutMs, std::max(0, static_cast<int>((due - t) * 1000.0) + 1));
        if (replugAt >= 0) timeoutMs = std::min(timeoutMs, std::max(0, static_cast<int>((replugAt - t) * 1000.0)));
        if (exitAfter >= 0) timeoutMs = std::min(timeoutMs, std::max(0, static_cast<int>((start + exitAfter - t) * 1000)));
        pollfd p[2] = {{line.isOpen() ? line.master() : -1, POLLIN, 0}, {control ? 0 : -1, POLLIN, 0}};
        const int r = poll(p, 2, timeoutMs);
        if (r > 0 && (p[1].revents & (POLLIN | POLLHUP))) {
            const ssize_t n = read(0, buf, sizeof buf);
            if (n <= 0) {
                control = false;  // the control input closed
            } else {
                for (ssize_t k = 0; k < n; ++k) {
                    if (buf[k] == '\n') {
                        obey(commandLine);
                        commandLine.clear();
                    } else {
                        commandLine += static_cast<char>(buf[k]);
                    }
                }
            }
        }
        if (r > 0 && line.isOpen() && (p[0].revents & POLLIN)) {
            ssize_t n = read(line.master(), buf, sizeof buf);
            if (n > 0) {
                auto chunks = chain->receive(orbus::sim::Bytes(buf, buf + n), now(), line.speed(chain->baud));
                showSpeedChange();
                for (auto& c : chunks) pending.push_back(c);
                std::sort(pending.begin(), pending.end(),
                          [](const orbus::sim::Chunk& a, const orbus::sim::Chunk& b) { return a.at < b.at; });
            }
        }
    }
    line.close();
    std::printf("orbus-camsim: stopped\n");
    return 0;
}
