// Pan-tilt window "Pan/Tilt": drive buttons, speeds, the information area
// filled by the status read, and the window's own open/dock/size buttons.
#pragma once

#include <memory>
#include <set>

#include "pantilt/drive.h"
#include "pantilt/key_drive.h"
#include "pantilt/main_window.h"
#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

namespace dialogs {
class Context;
}

class FrmPanTilt : public Form {
public:
    FrmPanTilt(dialogs::Context& context, std::unique_ptr<pantilt::MainWindow> main);

    // Window size (twips). The large form shows the information area at the
    // bottom; the small form hides it and is cut just above it.
    static constexpr double kWidth = 6300;
    static constexpr double kLargeHeight = 4120;
    static constexpr double kSmallHeight = 2860;

    // Controls in tab order (placement in frm_pantilt.cpp).

    // ---- drive ("Pan/Tilt") ------------------------------------------------------
    Frame FmPanTilt{*this, "FmPanTilt", "Pan/Tilt"};
    // At the operator's speeds: 0 "Stop" in the middle of a compass of the
    // eight directions.
    ControlArray<Button> Pan_Tilt_Stop;
    // At the fixed speed: a compass of the eight directions round "Home"
    // (8), with "Reset" (9) under it.
    ControlArray<Button> Pan_Tilt_Direct;
    Label LblIR{*this, "LblIR", "IR Condition:OK"};
    Label LbMount{*this, "LbMount", "Desktop Mount"};

    // ---- speeds -----------------------------------------------------------------
    Frame FmPanSpeed{*this, "FmPanSpeed", "Pan Speed"};
    TextBox PanSpeed{*this, "PanSpeed", "24"};
    UpDown PSUpDown{*this, "PSUpDown", &PanSpeed, 1, pantilt::kPanSpeedMax};
    Frame FmTiltSpeed{*this, "FmTiltSpeed", "Tilt Speed"};
    TextBox TiltSpeed{*this, "TiltSpeed", "23"};
    UpDown TSUpDown{*this, "TSUpDown", &TiltSpeed, 1, pantilt::kTiltSpeedMax};

    // ---- the window itself ("Pan/Tilt Window") -------------------------------
    Frame FmPTWindowS{*this, "FmPTWindowS", "Pan/Tilt Window"};
    Button PTWSizeS{*this, "PTWSizeS", "Small"};
    Button PTWDockingS{*this, "PTWDockingS", "Release"};
    Button PTWCloseS{*this, "PTWCloseS", "CLOSE"};

    // ---- information area ("Information"), written by the status read --------
    Frame FmInfo{*this, "FmInfo", "Information"};
    Frame FmPTStatuw{*this, "FmPTStatuw", "Pan Tilt Status"};
    Label LbPTS{*this, "LbPTS", ""};
    Frame FmPanPos{*this, "FmPanPos", "Pan Pos."};
    Label LbPanPos{*this, "LbPanPos", ""};
    Frame FmTiltPos{*this, "FmTiltPos", "Tilt Pos."};
    Label LbTiltPos{*this, "LbTiltPos", ""};
    Frame FmMaxSpeed{*this, "FmMaxSpeed", "Max Speed"};
    Frame FmMPS{*this, "FmMPS", "Pan"};
    Label LbMPS{*this, "LbMPS", ""};
    Frame FmMTS{*this, "FmMTS", "Tilt"};
    Label LbMTS{*this, "LbMTS", ""};

    // Drive buttons: the packet of the clicked index; an index outside the
    // drive table sends nothing. Stop goes to each camera the buttons set
    // moving (whichever camera is driven by then), or to the driven one.
    void Pan_Tilt_Stop_Click(int index);
    void Pan_Tilt_Direct_Click(int index);
    // The head moves while a drive key is held and stops when it is let go,
    // when the window loses the keyboard or when it is hidden; a head the
    // buttons set moving stops too when the window is hidden.
    bool Form_KeyDown(const KeyEvent& e);
    bool Form_KeyUp(const KeyEvent& e);
    void Form_Deactivate();
    void Form_Hide();
    // A key drive moves a head.
    bool keyDriving() const { return keys_.driving(); }
    // Stops still owed to a camera whose key drive ended while the line
    // refused the stop.
    const std::set<int>& owedStops() const { return keys_.owedStops(); }
    // Another camera is driven from now on, or the line went away: the head
    // a key drive moved stops, and held keys drive nothing more.
    void keyDriveDetach() { keys_.detach(); }

    // The window's own open, docking and size buttons.
    void PTWCloseS_Click();
    void PTWDockingS_Click();
    void PTWSizeS_Click();
    void FmPTWindowS_Click();
    void Form_Unload();

private:
    bool drive(const char* control, int index, int camera);
    dialogs::Context& ctx_;
    std::unique_ptr<pantilt::MainWindow> main_;
    pantilt::KeyDrive keys_;
    std::set<int> moved_;  // cameras the drive buttons set moving, not stopped since
};

}  // namespace orbus
