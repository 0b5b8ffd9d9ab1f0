// Time for the panel: a monotonic clock for the reply stopwatch, deferred
// calls on the user-interface thread, and the service that ticks the
// windows' timers.
#pragma once

#include <functional>

namespace orbus {

class Timer;

// A date and time of the computer's local clock.
struct LocalTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    int millisecond = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // The computer's local date and time (for the camera clock).
    virtual LocalTime localTime() const = 0;
    // Monotonic seconds since an arbitrary origin.
    virtual double now() const = 0;
};

class EventPoster {
public:
    virtual ~EventPoster() = default;
    // Runs fn on the user-interface thread after at least delay seconds,
    // between other events (never inside a blocking wait).
    virtual void post(double delaySeconds, std::function<void()> fn) = 0;
};

class TimerService {
public:
    virtual ~TimerService() = default;
    // Starts watching a window timer: while enabled it ticks every interval;
    // enabling starts the count, changing the interval restarts it.
    virtual void attach(Timer& timer) = 0;
    virtual void detach(Timer& timer) = 0;
};

}  // namespace orbus
