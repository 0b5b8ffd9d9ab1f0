// What the windows beside the main window are given of the running
// program: the platform, the list of loaded windows, the facts the windows
// share, what they may ask of the main window (Host), and the sibling
// dialogs one of them opens or hands over to. The program implements it;
// each getter hands out the one object the program keeps, never a copy, so
// what a dialog sets is what every other window reads.
#pragma once

#include <string>

#include "link/link_state.h"
#include "platform/platform.h"
#include "status/identity.h"
#include "status/labels.h"

namespace orbus {

class Form;
struct TitleBook;
class Privacy;
class PrivacyA;
class FrmAES;
class FrmDeffect;
class FSet;
class FrmMD;
class FrmSetDT;
class FrmCamID;
class FrmAutoPOff;
class FrmNightPOff;
class FrmTitle_K;
class FrmTitle_M;
class FrmAbout;
class Frmmoreinfo;

// Flags of the pan-tilt window; the first three are persisted.
struct PanTiltFlags {
    bool PTWindow = true;
    bool PTWSize = true;
    bool PTWDocking = true;
    bool PTWDocked = false;
    bool MainClosing = false;
    // Window positions seen by the last docking check, as text.
    std::string seenMainTop, seenMainLeft, seenPanTiltTop, seenPanTiltLeft;
};

namespace dialogs {

struct Host;

class Context {
public:
    virtual ~Context() = default;

    // The machine's platform, with the serial port as the program sees it.
    virtual Platform& platform() = 0;

    // Windows loaded and not unloaded since.
    virtual void loaded(Form& f) = 0;
    virtual void unloaded(Form& f) = 0;
    virtual bool isLoaded(const Form& f) const = 0;

    // ---- the facts the windows share ------------------------------------------
    virtual const LinkState& link() = 0;
    // The link's events that change its state (the echo is on, no read owed).
    virtual link::LinkControl& linkControl() = 0;
    virtual ModelIdentity& model() = 0;
    virtual ModeBook& modes() = 0;
    virtual AlarmState& alarm() = 0;
    virtual LabelTables& labels() = 0;
    virtual TitleBook& titles() = 0;
    virtual PanTiltFlags& ptw() = 0;

    // What a dialog may ask of the main window.
    virtual Host& dialogHost() = 0;

    // ---- the dialogs, for the menus that open them and the ones that swap ----
    virtual Privacy& privacy() = 0;
    virtual PrivacyA& privacyA() = 0;
    virtual FrmAES& frmAES() = 0;
    virtual FrmDeffect& frmDeffect() = 0;
    virtual FSet& fset() = 0;
    virtual FrmMD& frmMD() = 0;
    virtual FrmSetDT& frmSetDT() = 0;
    virtual FrmCamID& frmCamID() = 0;
    virtual FrmAutoPOff& frmAutoPOff() = 0;
    virtual FrmNightPOff& frmNightPOff() = 0;
    virtual FrmTitle_K& frmTitleK() = 0;
    virtual FrmTitle_M& frmTitleM() = 0;
    virtual FrmAbout& frmAbout() = 0;
    virtual Frmmoreinfo& frmMoreInfo() = 0;
};

}  // namespace dialogs
}  // namespace orbus
