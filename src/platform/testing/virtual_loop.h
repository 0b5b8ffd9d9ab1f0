// A virtual clock with its own event queue: tests and benchmarks drive time
// explicitly, so no test sleeps for a protocol time-out. Blocking waits move
// the clock forward without running events; run*() delivers posted calls
// and timer ticks in time order.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace orbus::testing {

class VirtualLoop : public Clock, public EventPoster, public TimerService {
public:
    double now() const override { return now_; }
    // The local time the tests set (it does not follow the virtual clock).
    LocalTime localTime() const override { return localTime_; }
    LocalTime localTime_{2026, 12, 7, 21, 5, 0};
    // Moves the clock forward without running anything.
    void sleepUntil(double t);
    void post(double delaySeconds, std::function<void()> fn) override;
    void attach(Timer& timer) override;
    void detach(Timer& timer) override;

    // Runs everything due up to now + seconds, then sets the clock there.
    void runFor(double seconds);
    // Runs everything due up to time t.
    void runUntil(double t);
    // Runs posted calls that are due now (no timer ticks, no time passing).
    void runDue();
    // Time of the next posted call or tick, or a negative value when none.
    double nextEventTime() const;
    // Ticks delivered so far, per timer name.
    int ticks(const std::string& timerName) const;

private:
    struct Posted {
        double at;
        long seq;
        std::function<void()> fn;
    };
    struct Watched {
        double deadline = -1;
    };
    void timerChanged(Timer& t);
    bool runOne(double limit);

    double now_ = 0;
    long seq_ = 0;
    std::vector<Posted> posted_;
    std::map<Timer*, Watched> timers_;
    std::map<std::string, int> ticks_;
};

}  // namespace orbus::testing
