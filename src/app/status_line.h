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
    double portGoneAt = -1;       // the port went away then; -1: not known
    bool notOnChain = false;      // beyond the cameras the last address set found
    bool notAnswering = false;
    double silentSince = -1;      // not answering: the first packet unanswered went out then
    long unansweredInquiries = 0; // inquiries that went unanswered since its last reply
    double lastReplyAt = -1;      // -1: no reply yet
    std::string lastError{};      // empty: none so far
    double lastErrorAt = -1;

    // Clients of the remote services; -1 while no service runs.
    int remoteClients = -1;
};

struct StatusLineTexts {
    std::string port, camera, link;
};

// Times of day of the monotonic clock's instants, read against one moment
// both clocks were seen at: an instant's time, once shown, does not move as
// the seconds tick. Seen again where the two clocks have drifted apart by
// more than two seconds (the computer's clock was set).
class ClockFace {
public:
    void see(double now, const LocalTime& wallNow);
    // "21:14:05"; the time of `instant` on the monotonic clock.
    std::string timeOf(double instant) const;

private:
    double at_ = -1;
    long secondOfDay_ = 0;
};

// What the main window keeps for its status line between changes.
struct StatusLineMemory {
    std::string path;        // what the last opening opened or tried
    bool opened = false;
    double reopenedAt = -1;  // the port came back then, after it went away
    std::string error;       // the last error the panel met, and when
    double errorAt = -1;
    double goneAt = -1;      // the port went away then, while it stays gone
    ClockFace clock;
};

// The three captions. `now` is the monotonic clock the facts' times are
// on; `wallNow` the local time at that moment, for the times of day shown.
StatusLineTexts statusLineTexts(const StatusLineFacts& f, double now, const LocalTime& wallNow);
// The same, the times of day read from a clock face kept between calls.
StatusLineTexts statusLineTexts(const StatusLineFacts& f, double now, const ClockFace& clock);

// What the status line says of a status read that gave up, from the code of
// the inquiry that went unanswered: "Status read stopped: no answer to the
// power inquiry".
std::string statusReadFailureText(long code);

// "0.4 s", "2 min 5 s", "3 h 10 min".
std::string durationText(double seconds);

}  // namespace orbus
