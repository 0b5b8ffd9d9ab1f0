#include "link/refresh_state.h"

namespace orbus::link {

Refresh::Refresh(LinkControl& link, Timer& refreshTimer, Timer& watchdog, std::function<void()> draw)
    : link_(link), timer1_(refreshTimer), timer3_(watchdog), draw_(std::move(draw)) {}

void Refresh::apply() {
    const bool run = !held() && (autoOn_ ? !paused_ : readArmed_);
    if (timer1_.interval() != interval_) timer1_.setInterval(interval_);
    if (timer1_.enabled() != run) timer1_.setEnabled(run);
    if (draw_) draw_();
}

void Refresh::toggleAuto() {
    autoOn_ = !autoOn_;
    paused_ = false;
    readArmed_ = false;
    apply();
}

void Refresh::switchOff() {
    autoOn_ = false;
    paused_ = false;
    readArmed_ = false;
    buttonLocked_ = false;
    apply();
}

void Refresh::commandSent() { acknowledged(); }

void Refresh::acknowledged() {
    if (!autoOn_) return;
    if (!timer3_.enabled()) timer3_.setEnabled(true);
    paused_ = true;
    apply();
}

void Refresh::stillPending() {
    if (!autoOn_) return;
    paused_ = true;
    apply();
}

void Refresh::finished() {
    if (link_.state().RefreshHeld) return;
    if (autoOn_ && paused_) {
        paused_ = false;
        interval_ = 2000;
    } else if (link_.state().RefreshRestart) {
        readArmed_ = true;
    }
    apply();
}

void Refresh::watchdog() {
    if (!link_.state().RefreshHeld && paused()) {
        paused_ = false;
        interval_ = 2000;
    }
    timer3_.setEnabled(false);
    timer3_.setInterval(6000);
    apply();
}

void Refresh::watchWithin(int ms) {
    if (!timer3_.enabled()) {
        timer3_.setInterval(ms);
        timer3_.setEnabled(true);
    } else {
        timer3_.setInterval(ms);
    }
}

void Refresh::watchPreset() {
    if (timer3_.enabled()) {
        timer3_.setInterval(6000);
    } else if (!link_.state().WBWait) {
        timer3_.setInterval(6000);
        timer3_.setEnabled(true);
    }
}

void Refresh::readOnceAfterCommand(int intervalMs) {
    if (autoOn_) return;
    readArmed_ = false;
    interval_ = intervalMs;
    link_.readAfterCommand(true);
    apply();
}

void Refresh::poweredOn(int intervalMs, int skips) {
    if (!autoOn_) {
        readOnceAfterCommand(intervalMs);
        return;
    }
    paused_ = true;
    link_.skipRefreshes(skips);
    apply();
}

void Refresh::readStarts() {
    // The owed read is this one.
    if (!autoOn_) readArmed_ = false;
    if (link_.state().RefreshRestart) {
        readArmed_ = false;
        interval_ = 2000;
        link_.readAfterCommand(false);
    }
    apply();
}

void Refresh::readEnded(bool overtaken) {
    if (overtaken && !autoOn_) {
        readArmed_ = true;
        interval_ = 2000;
    }
    apply();
}

void Refresh::hold(bool lockButton) {
    link_.holdRefresh(true);
    if (lockButton) buttonLocked_ = true;
    apply();
}

void Refresh::giveBack() {
    link_.holdRefresh(false);
    buttonLocked_ = false;
    if (autoOn_) {
        // Whatever a command left paused behind the dialog has ended or
        // will be ended by the watchdog: the refresh runs again now.
        paused_ = false;
        interval_ = 2000;
    } else if (link_.state().RefreshRestart) {
        // The read owed after a command that completed behind the dialog.
        readArmed_ = true;
    }
    apply();
}

void Refresh::dragStarts() {
    dragging_ = true;
    apply();
}

void Refresh::dragEnds() {
    dragging_ = false;
    apply();
}

}  // namespace orbus::link
