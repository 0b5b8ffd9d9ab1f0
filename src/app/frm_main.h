// The main window: status boxes, traffic logs, console, refresh buttons and
// menus, and the link procedures every other window sends through.
#pragma once

#include <string>
#include <vector>

#include "link/link_state.h"
#include "platform/control.h"
#include "platform/form.h"
#include "platform/serial_port.h"

namespace orbus {

class Program;
struct Platform;

class FrmMain : public Form {
public:
    explicit FrmMain(Program& program);
    ~FrmMain() override;

    // ---- menus -------------------------------------------------------------
    MenuItem MnuCamera;
    MenuItem IFClear;
    MenuItem IFClearB;
    MenuItem AddressSet;
    MenuItem AutoRefresh;
    MenuItem Quit;
    MenuItem MnuSelect;
    ControlArray<MenuItem> CameraSel;

    // ---- status boxes --------------------------------------------------------
    ControlArray<Label> Lbl;
    TextBox ModelVersion;
    TextBox Baudratetxt;
    TextBox Active;
    TextBox NTSCorPAL;
    TextBox CameraIDText;
    Button AutoRefreshed;
    Button RefreshOnce;

    // ---- traffic logs and console -------------------------------------------
    TextBox SendText;
    TextBox RecvText;
    TextBox DirectText;
    Button cmdClearTxt;

    // ---- digital zoom (caption set at start-up) ------------------------------
    Button DZoomX;

    // ---- timers ----------------------------------------------------------------
    Timer Timer1;
    Timer Timer2;
    Timer Timer3;

    // ---- link: sending and waiting -------------------------------------------
    // Modes of SD.
    static constexpr int kQuiet = 0;
    static constexpr int kCommand = 1;
    static constexpr int kPolled = 2;

    // Writes one packet; "OK" when written, "NG" when refused.
    std::string SD(const Bytes& byteString, int disp);
    // Builds a packet from small integers and sends it with SD. A value
    // outside 0..255 refuses the packet: nothing is sent, SendOK is cleared
    // and "ERR" is returned.
    std::string SendValues(const std::vector<int>& values, int disp);
    // Sends a command to the driven camera: header byte, body, terminator.
    std::string Command(const std::vector<int>& body);
    Bytes WaitReply(int receiveByte);
    bool WaitCheck(double waitTime);
    bool RefreshNotGoCheck() const;
    void CheckFinishCommand();

    // ---- receive path and console ---------------------------------------------
    void MSComm1_OnComm(int event);
    // Echoes received bytes into RecvText and classifies each completed reply.
    void EchoReceived(const Bytes& bytes);
    void DirectText_KeyPress(int& keyAscii);
    void DirectText_Change();
    std::string SendDirect();
    void cmdClearTxt_Click();

    // ---- start-up and shut-down ------------------------------------------------
    // Runs the start-up; returns when the main window is shown or the program ended.
    void Form_Load();
    void setcom();
    void Form_Unload();
    void Quit_Click();
    bool isLoaded() const { return loaded_; }

    // ---- identification, status read and model layouts ----------------------
    void IdentifyAtStartup();
    bool ReadCameraStatus();
    void VerError();
    void Opt10X();
    void Opt18X();
    void Opt25X();
    void OptAlpha();
    void OptBeta();
    void OptGamma();
    void OptKappa();
    void DspAlpha();
    void DspBeta();
    void DspGamma();
    void DspKappa();
    void DspPTW();
    void check_DspPTW();
    void DspIRCondition();
    void ReadPanTiltStatusCore();
    void ARError(long err);
    void PwCheck();
    void showPanTiltAtStartup();
    // Attempts of the start-up version inquiry before the panel gives up.
    static constexpr int kVersionAttempts = 7;
    // Clears the lit option button of a memory-preset operation.
    void clearPresetHighlight(int op, int no);
    // The serial port reported that its device went away.
    void portGone();

    // ---- helpers ---------------------------------------------------------------
    bool autoCaption() const;  // AutoRefreshed reads "Auto"
    void resumeRefresh();
    // One-second pause of the start-up: the stopwatch run out.
    void pauseOneSecond(const std::function<void()>& each = {});
    // Number of cameras found by the last address set at start-up.
    int startupCameraCount() const { return startupCameras_; }

    Program& program() { return prog_; }

    // Attempts of the start-up address set before the port dialog comes back.
    static constexpr int kAddressSetAttempts = 7;

private:
    void buildMenus();
    void buildStatusArea();
    void buildLogColumn();
    void wireHandlers();

    // Start-up steps.
    void openPort();
    bool interfaceClear();
    void readLayout();
    bool addressSetAtStartup();
    void showProgress(const std::string& subtitle, bool advance = true);
    void appendLog(TextBox& box, const std::string& text);

    Program& prog_;
    LinkState& L;
    Platform& P;
    bool loaded_ = false;
    bool waitReplyBusy_ = false;
    bool stopwatchArmed_ = false;
    double stopwatchStart_ = 0;
    int startupCameras_ = 0;
};

}  // namespace orbus
