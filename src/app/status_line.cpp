#include "app/status_line.h"

#include "app/meaning.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

namespace {

constexpr long kDay = 24 * 3600;

long secondOfDay(const LocalTime& t) { return t.hour * 3600L + t.minute * 60L + t.second; }

std::string clockText(long t) {
    t = ((t % kDay) + kDay) % kDay;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02ld:%02ld:%02ld", t / 3600, t / 60 % 60, t % 60);
    return buf;
}

}  // namespace

void ClockFace::see(double now, const LocalTime& wallNow) {
    const long wall = secondOfDay(wallNow);
    if (at_ >= 0) {
        long drift = (secondOfDay_ + static_cast<long>(std::floor(now - at_)) - wall) % kDay;
        if (drift > kDay / 2) drift -= kDay;
        if (drift < -kDay / 2) drift += kDay;
        if (std::labs(drift) <= 2) return;
    }
    at_ = now;
    secondOfDay_ = wall;
}

std::string ClockFace::timeOf(double instant) const {
    if (at_ < 0) return "--:--:--";
    return clockText(secondOfDay_ - std::lround(at_ - instant));
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

std::string linkText(const StatusLineFacts& f, double now, const ClockFace& clock) {
    using Port = StatusLineFacts::Port;
    std::string s;
    switch (f.port) {
    case Port::Closed: s = "Port not open"; break;
    case Port::Gone:
        s = "Port gone";
        if (f.portGoneAt >= 0) s += " at " + clock.timeOf(f.portGoneAt);
        break;
    case Port::Reconnecting: s = "Reconnecting  (port open again, no reply yet)"; break;
    case Port::Open:
        if (f.notOnChain) {
            s = "Not on the chain";
        } else if (f.notAnswering) {
            s = "Not answering";
            if (f.silentSince >= 0) s += " since " + clock.timeOf(f.silentSince);
            if (f.unansweredInquiries > 0) {
                s += " (" + std::to_string(f.unansweredInquiries) +
                     (f.unansweredInquiries == 1 ? " inquiry unanswered)" : " inquiries unanswered)");
            }
        } else if (f.lastReplyAt >= 0) {
            s = "Answering  (last reply " + durationText(now - f.lastReplyAt) + " ago)";
        } else {
            s = "No reply yet";
        }
        break;
    }
    if (!f.lastError.empty()) {
        s += "  Last error ";
        if (f.lastErrorAt >= 0) s += clock.timeOf(f.lastErrorAt) + "  ";
        s += f.lastError;
    }
    return s;
}

}  // namespace

std::string statusReadFailureText(long code) {
    // The codes the status read gives up with, by the inquiry each stands for.
    static constexpr struct {
        long code;
        const char* body;
    } kInquiries[] = {
        {0, "09 7E 7E 00"},     {1, "09 7E 7E 01"},     {2, "09 7E 7E 02"},         {3, "09 7E 7E 03"},
        {940, "09 04 00"},      {902, "09 00 02"},      {9623, "09 06 23"},         {9634, "09 06 34"},
        {966, "09 06 06"},      {9953560, "09 7E 01 18"}, {9953562, "09 7E 01 1A"}, {0x9612, "09 06 12"},
        {0x9610, "09 06 10"},   {0x9611, "09 06 11"},
    };
    for (const auto& q : kInquiries) {
        if (q.code != code) continue;
        for (const InquiryName& n : inquiryNames()) {
            if (std::string_view(n.body) == q.body) return std::string("Status read stopped: no answer to the ") + n.name + " inquiry";
        }
    }
    return "Status read stopped: an inquiry went unanswered";
}

StatusLineTexts statusLineTexts(const StatusLineFacts& f, double now, const LocalTime& wallNow) {
    ClockFace clock;
    clock.see(now, wallNow);
    return statusLineTexts(f, now, clock);
}

StatusLineTexts statusLineTexts(const StatusLineFacts& f, double now, const ClockFace& clock) {
    StatusLineTexts t;
    t.port = portText(f);
    if (f.remoteClients >= 0)
        t.port += "  Remote: " + std::to_string(f.remoteClients) + (f.remoteClients == 1 ? " client" : " clients");
    t.camera = "Camera " + std::to_string(f.camera);
    if (!f.model.empty()) t.camera += "  " + f.model;
    t.link = linkText(f, now, clock);
    return t;
}

}  // namespace orbus
