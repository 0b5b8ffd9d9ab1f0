// The owner of the status refresh: whether auto refresh is on, paused by a
// command, held by a dialog or a slider drag, and the single read owed after
// a command. It alone switches the refresh timer (Timer1) and the command
// watchdog (Timer3); the main window draws the Auto/Stop button and
// "Refresh Once" from it, and nobody learns the state from a widget.
#pragma once

#include <functional>

#include "link/link_state.h"
#include "platform/control.h"

namespace orbus::link {

class Refresh {
public:
    // `draw` shows the state on the window's buttons after every change.
    Refresh(LinkControl& link, Timer& refreshTimer, Timer& watchdog, std::function<void()> draw);

    // ---- state -------------------------------------------------------------------
    bool autoOn() const { return autoOn_; }           // the operator's choice ("Auto")
    bool paused() const { return autoOn_ && paused_; }  // a command holds auto refresh off
    bool held() const { return link_.state().RefreshHeld || dragging_; }
    bool readOwed() const { return readArmed_; }      // one read after a command (auto off)
    // The Auto/Stop button can be used.
    bool buttonEnabled() const { return !paused() && !buttonLocked_; }
    bool onceEnabled() const { return !autoOn_; }
    int interval() const { return interval_; }

    // ---- the operator ---------------------------------------------------------------
    void toggleAuto();
    // Off with the button usable: start-up, a lost port, a failed read, an alarm.
    void switchOff();

    // ---- commands -------------------------------------------------------------------
    // A command was written: under "Auto" the refresh pauses until its
    // end, and the watchdog runs (a running watchdog keeps its count). Which
    // commands each camera still owes an end is kept by the link's record
    // of commands in flight, not here.
    void commandSent();
    void acknowledged();
    // A preset's reply that did not end it: the pause goes on.
    void stillPending();
    // A finishing reply: the refresh resumes (or the owed read is armed).
    void finished();
    // Timer3: the completion never came.
    void watchdog();
    // How long the running watchdog counts, in seconds.
    double watchdogSpan() const { return timer3_.interval() / 1000.0; }
    // The watchdog for a slow command (one-push white balance: 18 s).
    void watchWithin(int ms);
    // The watchdog of a pending preset: a running one starts over at 6 s.
    void watchPreset();
    // After this command, read the status once (auto refresh off).
    void readOnceAfterCommand(int intervalMs = 2000);
    // The camera's power was switched on: under "Auto" the refresh pauses
    // and skips the reads of a camera still starting; with auto refresh off
    // one read follows after the given interval.
    void poweredOn(int intervalMs, int skips);

    // ---- reads ----------------------------------------------------------------------
    void readStarts();
    // A command overtook the read: it ended without showing anything, so
    // one more read is owed.
    void readEnded(bool overtaken);

    // ---- holds ----------------------------------------------------------------------
    // A modal dialog stops the refresh while it is open; with lockButton
    // the Auto/Stop button cannot be used either.
    void hold(bool lockButton);
    // The dialog closed: the refresh runs again as the operator left it.
    void giveBack();
    // A slider drag: no read moves the thumb under the pointer.
    void dragStarts();
    void dragEnds();

private:
    void apply();

    LinkControl& link_;
    Timer& timer1_;
    Timer& timer3_;
    std::function<void()> draw_;
    bool autoOn_ = false;
    bool paused_ = false;
    bool readArmed_ = false;
    bool buttonLocked_ = false;
    bool dragging_ = false;
    int interval_ = 2000;
};

}  // namespace orbus::link
