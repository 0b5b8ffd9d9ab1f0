#include "app/status_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orbus {

std::string durationText(double seconds) {
    if (seconds < 0) seconds = 0;
    // Rounded once to the unit shown, the form chosen by the rounded value:
    // 59.96 s is "1 min 0 s", never "0 min 59 s" or "60.0 s".
    char buf[40];
    if (const long tenths = std::lround(seconds * 10); tenths < 600) {
        std::snprintf(buf, sizeof buf, "%ld.%ld s", tenths / 10, tenths % 10);
    } else if (const long s = std::lround(seconds); s < 3600) {
        std::snprintf(buf, sizeof buf, "%ld min %ld s", s / 60, s % 60);
    } else {
        const long m = std::lround(seconds / 60);
        std::snprintf(buf, sizeof buf, "%ld h %ld min", m / 60, m % 60);
    }
    return buf;
}

std::string timeOfDayText(const LocalTime& wallNow, double secondsAgo) {
    constexpr long kDay = 24 * 3600;
    long t = wallNow.hour * 3600L + wallNow.minute * 60L + wallNow.second;
    t -= std::lround(std::max(0.0, secondsAgo));
    t = ((t % kDay) + kDay) % kDay;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02ld:%02ld:%02ld", t / 3600, t / 60 % 60, t % 60);
    return buf;
}

namespace {

std::string portText(const StatusLineFacts& f) {
    // A device server chosen in the dialog has no number: its address says it.
    if (f.simulator.empty() && !f.network.empty()) return "Com  " + f.network + "  " + std::to_string(f.speed) + " bps";
    std::string s = f.simulator.empty() ? "Com " + std::to_string(f.comNumber) : "Simulator";
    if (f.opened) {
        if (!f.simulator.empty()) s += "  sim:" + f.simulator;
        else s += "  " + (f.path.empty() ? std::string("no serial device") : f.path);
    }
    return s + "  " + std::to_string(f.speed) + " bps";
}

std::string linkText(const StatusLineFacts& f, double now, const LocalTime& wallNow) {
    using Port = StatusLineFacts::Port;
    std::string s;
    switch (f.port) {
    case Port::Closed: s = "Port not open"; break;
    case Port::Gone: s = "Port gone"; break;
    case Port::Reconnecting: s = "Reconnecting  (port open again, no reply yet)"; break;
    case Port::Open:
        if (f.notOnChain) {
            s = "Not on the chain";
        } else if (f.notAnswering) {
            s = "Not answering";
            if (f.silentSince >= 0) s += " since " + timeOfDayText(wallNow, now - f.silentSince);
        } else if (f.lastReplyAt >= 0) {
            s = "Answering  (last reply " + durationText(now - f.lastReplyAt) + " ago)";
        } else {
            s = "No reply yet";
        }
        break;
    }
    if (!f.lastError.empty()) {
        s += "  Last error ";
        if (f.lastErrorAt >= 0) s += timeOfDayText(wallNow, now - f.lastErrorAt) + "  ";
        s += f.lastError;
    }
    return s;
}

}  // namespace

StatusLineTexts statusLineTexts(const StatusLineFacts& f, double now, const LocalTime& wallNow) {
    StatusLineTexts t;
    t.port = portText(f);
    t.camera = "Camera " + std::to_string(f.camera);
    if (!f.model.empty()) t.camera += "  " + f.model;
    t.link = linkText(f, now, wallNow);
    return t;
}

}  // namespace orbus
