// Time for the panel: a monotonic clock for the reply stopwatch, deferred
// calls on the user-interface thread, and the service that ticks the
// windows' timers.
#pragma once

#include <functional>

namespace orbus {

class Timer;

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic seconds since an arbitrary origin.
    virtual double now() const = 0;
    // Blocks the calling thread until the given time (used by blocking waits
    // of simulated ports; real ports block in their own wait).
    virtual void sleepUntil(double t) = 0;
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
