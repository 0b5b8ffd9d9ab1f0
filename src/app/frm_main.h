// The main window: status boxes, traffic logs, console, refresh buttons and
// menus, and the link procedures every other window sends through.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/async.h"
#include "link/camera_link.h"
#include "link/line.h"
#include "link/link_commands.h"
#include "model/chain.h"
#include "link/pacer.h"
#include "link/link_state.h"
#include "link/refresh_state.h"
#include "link/send_mode.h"
#include "panel/main_window.h"
#include "app/status_line.h"
#include "app/window_arrangement.h"
#include "platform/serial_port.h"
#include "status/read_state.h"

namespace orbus {

struct PortTry;

class Program;
struct Platform;

class FrmMain : public panel::MainWindow {
public:
    explicit FrmMain(Program& program);
    ~FrmMain() override;

    // ---- link: sending and waiting -------------------------------------------
    // Modes of SD (link/send_mode.h).
    static constexpr int kQuiet = link::kQuiet;
    static constexpr int kCommand = link::kCommand;
    static constexpr int kPolled = link::kPolled;
    static constexpr int kStop = link::kStop;

    // The camera link every exchange goes through (link/camera_link.h, where
    // the procedures below are described); they hand over to it.
    link::CameraLink& cameraLink() { return link_; }
    link::CommandSink& commands() { return commands_; }
    std::string SD(const Bytes& byteString, int disp) { return link_.SD(byteString, disp); }
    std::string SendValues(const std::vector<int>& values, int disp) { return link_.SendValues(values, disp); }
    std::string Command(const std::vector<int>& body) { return link_.Command(body); }
    std::string SendPaced(const std::vector<int>& values, const std::string& key, link::CommandPacer::Kind kind) override {
        return sendPaced(values, key, kind);
    }
    link::CommandPacer& pacer() { return link_.pacer(); }
    link::Async<Bytes> WaitReply(int receiveByte, bool answer = false) { return link_.WaitReply(receiveByte, answer); }
    link::Async<Bytes> WaitAnswer(int length) { return WaitReply(length, true); }
    link::Line& line() { return link_.line(); }
    link::Tasks& tasks() override { return link_.tasks(); }
    link::Refresh& refresh() override { return link_.refresh(); }
    bool linkIdle() const { return link_.idle(); }
    link::Async<void> pause(double seconds) override { return link_.pause(seconds); }
    template <class T>
    T runToEnd(link::Async<T> routine) {
        return link_.runToEnd(std::move(routine));
    }
    void runToEnd(link::Async<void> routine) { link_.runToEnd(std::move(routine)); }
    void waitForEvents(const std::function<bool()>& condition) { link_.waitForEvents(condition); }
    link::Async<Bytes> exchange(Bytes packet, int receiveByte, bool answer, int disp = kQuiet) {
        return link_.exchange(std::move(packet), receiveByte, answer, disp);
    }
    bool outgoingAllowed(const Bytes& packet) { return link_.outgoingAllowed(packet); }
    void notWritten() { link_.notWritten(); }
    void commandReply(const Bytes& reply) { link_.commandReply(reply); }
    bool lastWaitTimedOut() const { return link_.lastWaitTimedOut(); }
    bool lastWaitBusy() const { return link_.lastWaitBusy(); }
    bool WaitCheck(double waitTime) { return link_.WaitCheck(waitTime); }
    void CheckFinishCommand(const link::Reply& reply) { link_.CheckFinishCommand(reply); }
    long finishChecks() const { return link_.finishChecks(); }

    // ---- receive path and console ---------------------------------------------
    void MSComm1_OnComm(int event);
    // Echoes received bytes into RecvText and classifies each completed
    // reply (unless `classify` is false: a dialog read the answer itself).
    void EchoReceived(const Bytes& bytes, bool classify = true) { link_.EchoReceived(bytes, classify); }
    void DirectText_KeyPress(int& keyAscii);
    void DirectText_Change();
    std::string SendDirect();
    void cmdClearTxt_Click();
    // The meaning of the log line that holds position `pos` of SendText or
    // RecvText (an inquiry answer named by the inquiry it answered when it
    // arrived).
    std::string logLineMeaning(const TextBox& log, std::size_t pos) const;
    // The operator moved the caret in one of the two logs.
    void SendText_CaretMove();
    void RecvText_CaretMove();
    void ChainStatus_Click();
    void wireTrafficView();
    void ViewTraffic_Click();

    // ---- camera profiles (frm_main_profiles.cpp) -------------------------------
    void ProfileSave_Click();
    void ProfileCompare_Click();
    void ProfileApply_Click();
    void wireProfiles();
    // The profile items are offered while they can work: the port open and
    // the driven camera identified.
    void showProfileItems();

    // ---- start-up and shut-down ------------------------------------------------
    // Runs the start-up; returns when the main window is shown or the program ended.
    void Form_Load();
    void setcom();
    void Form_Unload();
    void Quit_Click();
    bool isLoaded() const { return loaded_; }

    // ---- identification, status read and model layouts ----------------------
    link::Async<void> IdentifyAtStartup();
    link::Async<void> IdentifyOthersAtStartup();
    // Starts a status read (true) or refuses it (false: a read runs, or
    // start-up, a preset or a skip count holds it back). The read goes on
    // beside the window; readDone() tells when it has ended.
    bool ReadCameraStatus() override;
    link::Async<void> statusRead();
    // An inquiry of the read gave up after its attempts: the code is
    // reported once the read has ended.
    void readGaveUp(long code);
    // A command went to a camera: a read of that camera stops after its
    // exchange in flight.
    void commandWentOut(int camera);
    bool readOvertaken() const { return read_.overtaken(); }
    // Another camera was chosen or the chain is renumbered: the read ends
    // after its exchange in flight, whatever that exchange gets, and tells
    // of no failure (the camera it read is no longer the one driven).
    void abandonRead();
    bool readAbandoned() const { return read_.abandoned(); }
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
    link::Async<void> ReadPanTiltStatusCore();
    void ARError(long err);
    // False when the power inquiry gave up.
    link::Async<bool> PwCheck();
    void showPanTiltAtStartup();
    // The pan-tilt window's open, docking and size buttons on this window.
    void PTWCloseM_Click();
    void PTWDockingM_Click();
    void PTWSizeM_Click();
    void FmPTWindowM_Click();
    // Lays the window out for the screen it is on and what the camera's
    // layout shows: the groups closed up in columns, the log column, the
    // status line, the docked pan-tilt window, the zoom.
    arrangement::Result arrangeWindow();
    // Where the pan-tilt window opens when the operator releases it.
    arrangement::Result::Spot releasedPanTiltPlace();
    // The groups that move as a whole, each with its column in the design.
    struct Group {
        int column;
        std::vector<Control*> controls;
    };
    std::vector<Group> arrangedGroups();
    // Docking on or off, large or small (both windows' buttons).
    void toggleDocking();
    void toggleSize();
    // Attempts of the start-up version inquiry before the panel gives up.
    static constexpr int kVersionAttempts = 7;
    // Clears the lit option button of a memory-preset operation.
    void clearPresetHighlight(int op, int no);

    // ---- refresh timers, alarm check, addressing ------------------------------
    void AutoRefreshed_Click();
    void RefreshOnce_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    // Reads the alarm state; false (after telling the operator) when the
    // camera does not answer.
    link::Async<bool> CheckAlarmStatus();
    static constexpr int kAlarmAttempts = 7;
    void IFClear_Click();
    void IFClearB_Click();
    void AddressSet_Click();
    void CameraSel_Click(int index);

    // ---- the serial port going away and coming back ---------------------------
    // The port reported that its device went away.
    void portGone();
    // Opens the chosen port again; false (after telling the operator) when it
    // cannot be opened.
    bool reopenPort();

    // ---- status line: port, driven camera, link state (frm_main_link.cpp) -----
    // Shows the link's state as it is now.
    void updateStatusLine();
    // An error the panel met (told in a message box, or a read that failed
    // quietly): shown with its time of day until the next one.
    void statusError(std::string words);
    // A controller's word ("Memory 2 stored on camera 1"), shown beside the
    // driven camera for kNoteSeconds.
    void statusNote(std::string words);
    static constexpr double kNoteSeconds = 5;
    // The port was opened, or its opening tried.
    void portOpened();
    void StatusTimer_Timer();
    void wireStatusLine();

    // ---- helpers ---------------------------------------------------------------
    bool autoCaption() const { return link_.autoCaption(); }  // auto refresh is on ("Auto")
    void resumeRefresh() { link_.resumeRefresh(); }
    // Shows the refresh owner's state on the Auto/Stop and "Refresh Once"
    // buttons.
    void drawRefresh();
    // One-second pause of the start-up.
    link::Async<void> pauseOneSecond(std::function<void()> each = {}) { return link_.pauseOneSecond(std::move(each)); }
    // Number of cameras found by the last address set at start-up.
    int startupCameraCount() const { return startupCameras_; }

    Program& program() { return prog_; }
    // What the panel knows, as the command handlers read and write it; the
    // link's state is read here and changed through the link's events.
    const LinkState& linkState() override;
    link::LinkControl& linkControl() override { return link_.control(); }
    ModeBook& modes() override;
    ModelIdentity& identity() override;
    const LabelTables& labels() const override;
    const model::Chain& cameras() const override;

    // Attempts of the start-up address set before the port dialog comes back.
    static constexpr int kAddressSetAttempts = 7;

private:
    // Construction of the window's controls (frm_main_layout.cpp).
    void buildMenus();
    void buildStatusArea();
    void buildExposure();
    void buildLens();
    void buildColour();
    void buildMemories();
    void buildLogColumn();
    void arrangeTabOrder();
    void wireHandlers();
    // Shortcuts and the tips of the controls that send (frm_main_tips.cpp).
    void buildKeysAndTips();

    // Start-up steps.
    link::Async<void> startUp();
    void openPort();
    link::Async<bool> interfaceClear();
    // One interface clear broadcast; true when the chain answered it.
    link::Async<bool> ifClearAnswered();
    // Nobody answered at the chosen speed: the interface clear at each other
    // speed the port dialog offers; the speed that was answered, or 0.
    link::Async<int> searchSpeed(std::vector<int>& tried);
    // The facts of this try, for the port dialog's reason.
    PortTry portTry() const;
    void readLayout();
    link::Async<bool> addressSetAtStartup();
    link::Async<void> addressSet();
    void showProgress(const std::string& subtitle, bool advance = true);
    void placeLogColumn(double left, double top, double width, double height);
    void placeStatusLine(double top, double width);

    Program& prog_;
    const LinkState& state_;
    Platform& platform_;
    bool loaded_ = false;
    status::ReadState read_;
    int startupCameras_ = 0;
    StatusLineMemory statusMemory_;
    // What the link needs from this window (frm_main_link.cpp).
    static std::unique_ptr<link::LinkWindow> linkWindowOf(FrmMain& window);
    std::unique_ptr<link::LinkWindow> linkWindow_;
    link::CameraLink link_;
    // The main window's commands go through the one command interface.
    link::LinkCommands commands_{link_};
    std::string sendPaced(const std::vector<int>& values, const std::string& key, link::CommandPacer::Kind kind);
    // The driven camera's values are drawn when the model learns them.
    model::Chain::Subscription modelWatch_;
};

}  // namespace orbus
