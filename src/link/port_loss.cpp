// The serial port going away (adapter unplugged, far end closed) and
// opening it again.
#include "app/frm_main.h"
#include "app/port_problem.h"
#include "app/program.h"
#include "pantilt/frm_pantilt.h"
#include "platform/platform.h"

namespace orbus {

void FrmMain::portGone() {
    if (!platform_.port.isOpen() && portLost_) return;
    portLost_ = true;
    platform_.port.close();
    // A head moving under the keyboard gets its stop once the port is back.
    prog_.frmPanTilt().keyDriveDetach();
    // Reads would only fail from now on: switch the auto refresh off here so
    // the operator gets this one message, not a refresh error as well.
    refresh_.switchOff();
    refresh_.watchdog();
    // What waited for a socket is dropped with the line.
    pacer_.clear();
    // An exchange waiting for an answer ends now.
    line_.portGone();
    platform_.windows.message({MsgIcon::Exclamation, "Warning",
                       "The serial port is gone (Com " + std::to_string(prog_.port.CommPortNo) +
                           ").\r\nReconnect it, then choose Camera > I/F Clear(broadcast) to open it again.",
                       MsgButtons::Ok, true});
}

bool FrmMain::reopenPort() {
    openPort();
    if (!platform_.port.isOpen()) {
        platform_.windows.message({MsgIcon::Exclamation, "Warning",
                           "The serial port could not be opened (Com " + std::to_string(prog_.port.CommPortNo) +
                               ").\r\n" + portTryText(portTry()),
                           MsgButtons::Ok, true});
        return false;
    }
    portLost_ = false;
    notWrittenTold_ = false;
    platform_.port.setRThreshold(1);
    return true;
}

}  // namespace orbus
