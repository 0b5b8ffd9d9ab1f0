// The main window as its command handlers see it: its controls, and the
// few services of the window and the camera link they use to send, to
// hold the refresh and to keep the mode bookkeeping. The main window
// implements it.
#pragma once

#include <string>
#include <vector>

#include "link/async.h"
#include "link/link_state.h"
#include "link/pacer.h"
#include "link/refresh_state.h"
#include "panel/frm_main_controls.h"
#include "status/identity.h"
#include "status/labels.h"

namespace orbus::panel {

class MainWindow : public FrmMainControls {
public:
    // ---- sending ---------------------------------------------------------------
    // Sends a packet (header .. FF) paced by the camera's command sockets; a
    // newer packet of the same `key` replaces one still waiting. "OK" when
    // sent or waiting.
    virtual std::string SendPaced(const std::vector<int>& values, const std::string& key,
                                  link::CommandPacer::Kind kind) = 0;

    // ---- running beside the window ---------------------------------------------
    // The routines that run beside the window.
    virtual link::Tasks& tasks() = 0;
    // A pause that lets the window and the link go on meanwhile.
    virtual link::Async<void> pause(double seconds) = 0;

    // ---- refresh -----------------------------------------------------------------
    // The refresh owner: holds, watchdogs and the read after a command.
    virtual link::Refresh& refresh() = 0;
    // Starts a status read; false when it is refused.
    virtual bool ReadCameraStatus() = 0;

    // ---- what the panel knows ----------------------------------------------------
    // The link's state: the driven camera, its model and the pending operations.
    virtual const LinkState& linkState() = 0;
    // The link's events that change it (a preset or white balance under way,
    // refreshes to skip).
    virtual link::LinkControl& linkControl() = 0;
    // The modes the panel last showed.
    virtual ModeBook& modes() = 0;
    // What identification learned of the driven camera.
    virtual ModelIdentity& identity() = 0;
    // The readable values of the exposure positions.
    virtual const LabelTables& labels() const = 0;

protected:
    MainWindow() = default;
};

}  // namespace orbus::panel
