// The status line at the foot of the main window: the port the panel
// opened, the camera it drives and how the link to that camera stands.
// Plain facts in, three texts out; the main window gathers the facts on
// every change of the link and once a second for the age of the last reply.
#pragma once

#include <string>

#include "platform/clock.h"

namespace orbus {

struct StatusLineFacts {
    // The port.
    int comNumber = 1;
    std::string simulator{};  // models of the built-in simulated chain chosen instead of "Com n"
    std::string network{};    // a device server's address chosen instead of "Com n"
    std::string path{};     // what the last opening opened or tried; empty: no device for "Com n"
    bool opened = false;    // an opening has been tried
    int speed = 9600;

    // The camera driven.
    int camera = 1;
    std::string model{};  // as the panel shows it; empty while not known

    // The link to it.
    enum class Port { Closed, Open, Gone, Reconnecting };
    Port port = Port::Closed;
    bool notOnChain = false;      // beyond the cameras the last address set found
    bool notAnswering = false;
    double silentSince = -1;      // not answering: the first packet unanswered went out then
    double lastReplyAt = -1;      // -1: no reply yet
    std::string lastError{};      // empty: none so far
    double lastErrorAt = -1;
};

struct StatusLineTexts {
    std::string port, camera, link;
};

// What the main window keeps for its status line between changes.
struct StatusLineMemory {
    std::string path;        // what the last opening opened or tried
    bool opened = false;
    double reopenedAt = -1;  // the port came back then, after it went away
    std::string error;       // the last error the panel met, and when
    double errorAt = -1;
};

// The three captions. `now` is the monotonic clock the facts' times are
// on; `wallNow` the local time at that moment, for the times of day shown.
StatusLineTexts statusLineTexts(const StatusLineFacts& f, double now, const LocalTime& wallNow);

// "0.4 s", "2 min 5 s", "3 h 10 min".
std::string durationText(double seconds);
// The local time of day `secondsAgo` before `wallNow`, as "21:14:05".
std::string timeOfDayText(const LocalTime& wallNow, double secondsAgo);

}  // namespace orbus
