// orbus-camsim: serves a simulated camera chain on a pseudo-terminal, so the
// panel (or any serial program) can talk to it as to a real chain.
//
//   orbus-camsim --models ORX-Beta,KBM-R05 [--link /tmp/orbus-com1]
//                [--baud 9600] [--delay SECONDS] [--split N] [--garbage RATE]
//                [--silent] [--exit-after SECONDS] [--quiet]
//
// Traffic is printed on stdout: "<-" packets from the panel, "->" replies.
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
#include <string>

#include "chain.h"

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

std::string hexText(const orbus::sim::Bytes& b) {
    std::string s;
    char buf[4];
    for (auto v : b) {
        std::snprintf(buf, sizeof buf, "%02X ", v);
        s += buf;
    }
    if (!s.empty()) s.pop_back();
    return s;
}

void usage() {
    std::fprintf(stderr,
                 "usage: orbus-camsim --models MODEL[,MODEL...] [--link PATH] [--baud N]\n"
                 "                    [--delay SECONDS] [--split N] [--garbage RATE] [--silent]\n"
                 "                    [--exit-after SECONDS] [--quiet]\n"
                 "models: ORX-Alpha ORX-Beta ORX-Gamma ORX-Kappa KBM-R01 .. KBM-R27\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::string models = "ORX-Beta";
    std::string link;
    double exitAfter = -1;
    bool quiet = false;
    orbus::sim::Faults faults;
    int baud = 9600;
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
        else if (a == "--baud") baud = std::atoi(next().c_str());
        else if (a == "--delay") faults.replyDelay = std::atof(next().c_str());
        else if (a == "--split") faults.splitChunk = std::atoi(next().c_str());
        else if (a == "--garbage") faults.garbageRate = std::atof(next().c_str());
        else if (a == "--silent") faults.silent = true;
        else if (a == "--exit-after") exitAfter = std::atof(next().c_str());
        else if (a == "--quiet") quiet = true;
        else {
            usage();
            return 2;
        }
    }
    auto chain = orbus::sim::Chain::fromList(models);
    if (chain->size() == 0) {
        std::fprintf(stderr, "orbus-camsim: no known camera model in \"%s\"\n", models.c_str());
        usage();
        return 2;
    }
    chain->faults = faults;
    chain->baud = baud;

    int master = -1, slave = -1;
    char name[256] = {0};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("orbus-camsim: openpty");
        return 1;
    }
    termios t{};
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    tcsetattr(slave, TCSANOW, &t);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    if (!link.empty()) {
        unlink(link.c_str());
        if (symlink(name, link.c_str()) != 0) {
            std::perror("orbus-camsim: symlink");
            return 1;
        }
    }
    signal(SIGINT, onSignal);
    signal(SIGTERM, onSignal);
    signal(SIGPIPE, SIG_IGN);

    std::printf("orbus-camsim: %d camera(s) on %s%s%s\n", chain->size(), name, link.empty() ? "" : " via ",
                link.c_str());
    for (int i = 0; i < chain->size(); ++i)
        std::printf("  camera %d: %s\n", chain->camera(i).address(), chain->camera(i).model().name.c_str());
    std::fflush(stdout);
    if (!quiet) {
        chain->trace = [](const char* dir, const orbus::sim::Bytes& b) {
            std::printf("%s %s\n", dir, hexText(b).c_str());
            std::fflush(stdout);
        };
    }

    const double start = now();
    std::deque<orbus::sim::Chunk> pending;
    unsigned char buf[512];
    while (!stopRequested) {
        const double t = now();
        if (exitAfter >= 0 && t - start >= exitAfter) break;
        while (!pending.empty() && pending.front().at <= t) {
            const auto& b = pending.front().bytes;
            if (write(master, b.data(), b.size()) < 0 && errno != EAGAIN) break;
            pending.pop_front();
        }
        int timeoutMs = 200;
        if (!pending.empty()) timeoutMs = std::max(0, static_cast<int>((pending.front().at - t) * 1000.0));
        if (exitAfter >= 0) timeoutMs = std::min(timeoutMs, std::max(0, static_cast<int>((start + exitAfter - t) * 1000)));
        pollfd p{master, POLLIN, 0};
        int r = poll(&p, 1, timeoutMs);
        if (r > 0 && (p.revents & POLLIN)) {
            ssize_t n = read(master, buf, sizeof buf);
            if (n > 0) {
                termios lt{};
                int line = baud;
                if (tcgetattr(slave, &lt) == 0) line = speedOf(cfgetospeed(&lt));
                auto chunks = chain->receive(orbus::sim::Bytes(buf, buf + n), now(), line);
                for (auto& c : chunks) pending.push_back(c);
                std::sort(pending.begin(), pending.end(),
                          [](const orbus::sim::Chunk& a, const orbus::sim::Chunk& b) { return a.at < b.at; });
            }
        }
    }
    if (!link.empty()) unlink(link.c_str());
    close(master);
    close(slave);
    std::printf("orbus-camsim: stopped\n");
    return 0;
}
