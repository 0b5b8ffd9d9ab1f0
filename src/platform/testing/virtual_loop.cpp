#include "platform/testing/virtual_loop.h"

#include <algorithm>

#include "platform/control.h"

namespace orbus::testing {

void VirtualLoop::sleepUntil(double t) {
    if (t > now_) now_ = t;
}

void VirtualLoop::post(double delaySeconds, std::function<void()> fn) {
    posted_.push_back({now_ + std::max(0.0, delaySeconds), seq_++, std::move(fn)});
}

void VirtualLoop::attach(Timer& timer) {
    timers_[&timer] = {};
    timer.setObserver([this](Control& c, Prop p) {
        if (p == Prop::Enabled || p == Prop::Interval) timerChanged(static_cast<Timer&>(c));
    });
    if (timer.enabled()) timers_[&timer].deadline = now_ + timer.interval() / 1000.0;
}

void VirtualLoop::detach(Timer& timer) {
    timer.setObserver(nullptr);
    timers_.erase(&timer);
}

void VirtualLoop::timerChanged(Timer& t) {
    auto it = timers_.find(&t);
    if (it == timers_.end()) return;
    it->second.deadline = t.enabled() ? now_ + t.interval() / 1000.0 : -1;
}

double VirtualLoop::nextEventTime() const {
    double best = -1;
    for (const auto& p : posted_) {
        if (best < 0 || p.at < best) best = p.at;
    }
    for (const auto& [t, w] : timers_) {
        if (w.deadline >= 0 && (best < 0 || w.deadline < best)) best = w.deadline;
    }
    return best;
}

bool VirtualLoop::runOne(double limit) {
    // Earliest posted call (ties in posting order).
    auto pit = std::min_element(posted_.begin(), posted_.end(), [](const Posted& a, const Posted& b) {
        return a.at < b.at || (a.at == b.at && a.seq < b.seq);
    });
    Timer* tim = nullptr;
    double tdl = -1;
    for (auto& [t, w] : timers_) {
        if (w.deadline >= 0 && (tdl < 0 || w.deadline < tdl)) {
            tdl = w.deadline;
            tim = t;
        }
    }
    const bool havePost = pit != posted_.end() && pit->at <= limit;
    const bool haveTick = tim && tdl <= limit;
    if (!havePost && !haveTick) return false;
    if (havePost && (!haveTick || pit->at <= tdl)) {
        Posted p = std::move(*pit);
        posted_.erase(pit);
        if (p.at > now_) now_ = p.at;
        p.fn();
        return true;
    }
    if (tdl > now_) now_ = tdl;
    timers_[tim].deadline = now_ + std::max(1, tim->interval()) / 1000.0;
    ++ticks_[tim->name()];
    tim->tick();
    return true;
}

void VirtualLoop::runUntil(double t) {
    while (runOne(t)) {
    }
    if (t > now_) now_ = t;
}

void VirtualLoop::runFor(double seconds) { runUntil(now_ + seconds); }

void VirtualLoop::runDue() {
    for (;;) {
        auto pit = std::min_element(posted_.begin(), posted_.end(), [](const Posted& a, const Posted& b) {
            return a.at < b.at || (a.at == b.at && a.seq < b.seq);
        });
        if (pit == posted_.end() || pit->at > now_) return;
        Posted p = std::move(*pit);
        posted_.erase(pit);
        p.fn();
    }
}

int VirtualLoop::ticks(const std::string& timerName) const {
    auto it = ticks_.find(timerName);
    return it == ticks_.end() ? 0 : it->second;
}

}  // namespace orbus::testing
