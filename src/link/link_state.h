// Program-wide state of the camera link: which camera the panel drives and
// the flags that keep commands, status reads and presets apart. One object,
// owned by the program and shared by the windows.
#pragma once

#include <cstdint>

#include "platform/model_code.h"

namespace orbus {

struct LinkState {
    int CamAddress = 1;           // driven camera, 1..7
    bool EchoSent = false;        // sent packets and received bytes are logged
    bool SendOK = false;          // the last SD wrote its packet
    bool StatusReading = false;   // a status read is running
    bool StatusReadBusy = false;  // re-entry guard of the status read itself
    bool StartupBusy = false;     // the main window is starting up
    bool RefreshRestart = false;  // refresh once after the current command
    std::uint8_t RefreshSkipCount = 0;
    bool PresetBusy = false;      // a memory-preset operation is under way
    std::uint8_t PresetOp = 0;    // 0 set, 1 recall, 2 reset
    int PresetNo = 0;             // lit preset option button 0..5
    bool PresetAcked = false;     // an acknowledge arrived while PresetBusy
    bool WBWait = false;          // one-push white balance under way
    // A modal dialog that stopped the refresh is open: no completion and no
    // watchdog resumes it; only the dialog gives it back when it closes.
    bool RefreshHeld = false;
    long LastRefreshError = 0;    // code of the inquiry that last gave up (diagnostics)

    // Header byte of a packet to the driven camera.
    int header() const { return 0x80 + CamAddress; }
};

}  // namespace orbus
