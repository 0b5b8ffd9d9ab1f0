// What an auxiliary window may ask of the window that hosts it: sending to
// the driven camera, taking its turn of the line, running a routine beside
// the window, holding the refresh while it is open and giving it back, the
// alarm check, and the few marks of the main window a dialog reads or sets.
// The dialogs reach the rest of the program through this alone, never
// through another window's controls or timers.
#pragma once

#include <string>
#include <vector>

#include "link/async.h"
#include "link/command_sink.h"
#include "link/line.h"
#include "platform/serial_port.h"

namespace orbus::dialogs {

struct Host {
    virtual ~Host() = default;

    // ---- sending and waiting ---------------------------------------------------
    // The command interface every packet of a dialog goes out through, as
    // the dialogs' (link::Source::Dialog).
    virtual link::CommandSink& commands() = 0;
    // Builds a command from small integers and sends it now through the
    // command interface, not paced by the camera's sockets: as a stop when
    // `mode` is link::kStop, else as a command. "OK" when sent, "NG" when
    // refused (the operator is told which control built it) or the port
    // did not take it, "ERR" (nothing sent) when a value does not fit in a
    // byte.
    virtual std::string sendValues(const std::vector<int>& values, int mode) = 0;
    // A dialog's command went to `camera`: a status read of it stops after
    // its exchange in flight.
    virtual void commandWentOut(int camera) = 0;
    // The line the exchanges take turns on.
    virtual link::Line& line() = 0;
    // Waits for an inquiry answer of `length` bytes without holding the
    // window; lastWaitTimedOut() tells whether the time ran out, and
    // lastWaitBusy() whether another wait held the line (nothing came:
    // the result is empty).
    virtual link::Async<Bytes> waitAnswer(int length) = 0;
    virtual bool lastWaitTimedOut() const = 0;
    virtual bool lastWaitBusy() const = 0;
    // Shows received bytes in the response log without classifying them (the
    // dialog read the answer itself).
    virtual void showReceived(const Bytes& bytes) = 0;
    // One quiet exchange through the command interface on its turn of the
    // line: sends `packet` and waits for `length` bytes (`answer`: an
    // inquiry answer).
    virtual link::Async<Bytes> exchange(Bytes packet, int length, bool answer) = 0;

    // ---- routines beside the window --------------------------------------------
    virtual void start(link::Async<void> routine) = 0;
    virtual link::Async<void> pause(double seconds) = 0;

    // ---- the refresh -------------------------------------------------------------
    // Holds the periodic refresh (with lockButton, the Auto/Stop button too).
    virtual void holdRefresh(bool lockButton) = 0;
    // Gives the held refresh back: it runs again as the operator left it.
    virtual void giveRefreshBack() = 0;
    // Switches automatic refresh off, as if the operator had.
    virtual void switchAutoRefreshOff() = 0;
    // Automatic refresh is on.
    virtual bool autoRefreshOn() const = 0;
    // The pan-tilt window's upkeep from the main window runs or not.
    virtual void setPanTiltUpkeep(bool on) = 0;

    // ---- the alarm and the main window's marks --------------------------------
    // Reads the alarm state; false (after telling the operator) when the
    // camera does not answer.
    virtual link::Async<bool> checkAlarm() = 0;
    // The main window's title display mark.
    virtual bool titleShown() const = 0;
    virtual void setTitleShown(bool shown) = 0;
    // The main window's camera ID box.
    virtual void showCameraID(const std::string& text) = 0;
    // The main window's top-left corner (twips), for placing dialogs.
    virtual double mainLeft() const = 0;
    virtual double mainTop() const = 0;
    // Reads the driven camera's status into the main window, as the
    // refresh would.
    virtual void readCameraStatus() = 0;
};

}  // namespace orbus::dialogs
