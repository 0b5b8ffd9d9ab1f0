// Program-wide state of the camera link: which camera the panel drives and
// the flags that keep commands, status reads and presets apart. One object,
// kept by the program and read by the windows; only the link changes it
// (through link::LinkControl, which the camera link owns).
#pragma once

#include <cstdint>

#include "platform/model_code.h"

namespace orbus {

namespace link {
class LinkControl;
}

class LinkState {
public:
    LinkState() = default;
    // The views below refer to this object's own fields.
    LinkState(const LinkState&) = delete;
    LinkState& operator=(const LinkState&) = delete;

    // Read-only views of the flags, under the names the panel knows them by.
    const int& CamAddress = camAddress_;                   // driven camera, 1..7
    const bool& EchoSent = echoSent_;                      // sent packets and received bytes are logged
    const bool& SendOK = sendOK_;                          // the last SD wrote its packet
    const bool& StatusReading = statusReading_;            // a status read is running
    const bool& StatusReadBusy = statusReadBusy_;          // re-entry guard of the status read itself
    const bool& StartupBusy = startupBusy_;                // the main window is starting up
    const bool& RefreshRestart = refreshRestart_;          // refresh once after the current command
    const std::uint8_t& RefreshSkipCount = refreshSkips_;  // refreshes still to skip
    const bool& PresetBusy = presetBusy_;                  // a memory-preset operation is under way
    const std::uint8_t& PresetOp = presetOp_;              // 0 set, 1 recall, 2 reset
    const int& PresetNo = presetNo_;                       // lit preset option button 0..5
    const bool& PresetAcked = presetAcked_;                // an acknowledge arrived while PresetBusy
    const bool& WBWait = wbWait_;                          // one-push white balance under way
    // A modal dialog that stopped the refresh is open: no completion and no
    // watchdog resumes it; only the dialog gives it back when it closes.
    const bool& RefreshHeld = refreshHeld_;
    PanTiltModel ModelCode = PanTiltModel::None;  // identified pan-tilt model
    const long& LastRefreshError = lastRefreshError_;  // code of the inquiry that last gave up (diagnostics)

    // Header byte of a packet to the driven camera.
    int header() const { return 0x80 + CamAddress; }

private:
    friend class link::LinkControl;

    int camAddress_ = 1;
    bool echoSent_ = false;
    bool sendOK_ = false;
    bool statusReading_ = false;
    bool statusReadBusy_ = false;
    bool startupBusy_ = false;
    bool refreshRestart_ = false;
    std::uint8_t refreshSkips_ = 0;
    bool presetBusy_ = false;
    std::uint8_t presetOp_ = 0;
    int presetNo_ = 0;
    bool presetAcked_ = false;
    bool wbWait_ = false;
    bool refreshHeld_ = false;
    long lastRefreshError_ = 0;
};

namespace link {

class CameraLink;
class Refresh;

// The one writer of a LinkState: every change is a named event of the link.
// The camera link owns it and hands it to the windows that start those
// events; what only the link's send path and the refresh decide stays
// theirs.
class LinkControl {
public:
    explicit LinkControl(LinkState& state) : s_(state) {}
    LinkControl(const LinkControl&) = delete;
    LinkControl& operator=(const LinkControl&) = delete;

    const LinkState& state() const { return s_; }

    // Drive camera `camera` (1..7) from now on.
    void drive(int camera) { s_.camAddress_ = camera; }
    // The echo is on: sent packets and received bytes are logged again;
    // off: what follows goes unlogged (a quiet exchange).
    void echoOn() { s_.echoSent_ = true; }
    void echoOff() { s_.echoSent_ = false; }

    // The main window's start-up starts and ends: no status read meanwhile.
    void startupStarts() { s_.startupBusy_ = true; }
    void startupEnds() { s_.startupBusy_ = false; }

    // A status read starts and ends.
    void statusReadStarts() { s_.statusReading_ = s_.statusReadBusy_ = true; }
    void statusReadEnds() { s_.statusReading_ = s_.statusReadBusy_ = false; }
    // A status inquiry gave up with this code.
    void refreshGaveUp(long code) { s_.lastRefreshError_ = code; }

    // Skip the next `n` refreshes (a camera still busy with a command).
    void skipRefreshes(int n) { s_.refreshSkips_ = static_cast<std::uint8_t>(n); }
    // One refresh more to skip.
    void skipOneMoreRefresh() { ++s_.refreshSkips_; }
    // A refresh is due: true when it is one of those to skip (counted off).
    bool skipThisRefresh() {
        if (s_.refreshSkips_ == 0) return false;
        --s_.refreshSkips_;
        return true;
    }
    // No read is owed after the current command any more.
    void dropReadAfterCommand() { s_.refreshRestart_ = false; }

    // A memory-preset operation (`op` 0 set, 1 recall, 2 reset, on option
    // button `no`) starts, and ends.
    void presetStarts(std::uint8_t op, int no) {
        s_.presetBusy_ = true;
        s_.presetOp_ = op;
        s_.presetNo_ = no;
    }
    void presetEnds() { s_.presetBusy_ = false; }
    // An acknowledge arrived: it is the preset's when one is under way.
    void acknowledgeArrived() { s_.presetAcked_ = s_.presetBusy_; }

    // One-push white balance is under way, and over.
    void whiteBalanceStarts() { s_.wbWait_ = true; }
    void whiteBalanceEnds() { s_.wbWait_ = false; }

private:
    friend class CameraLink;
    friend class Refresh;

    // The send path: whether the last packet was written.
    void sent(bool written) { s_.sendOK_ = written; }
    // The refresh's own: a read owed after the command, a dialog's hold.
    void readAfterCommand(bool owed) { s_.refreshRestart_ = owed; }
    void holdRefresh(bool held) { s_.refreshHeld_ = held; }

    LinkState& s_;
};

}  // namespace link
}  // namespace orbus
