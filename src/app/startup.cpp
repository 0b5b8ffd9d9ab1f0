// Start-up of the main window, the port-dialog retry and shut-down.
#include <algorithm>
#include <cmath>

#include "app/frm_info.h"
#include "app/frm_main.h"
#include "app/frm_open.h"
#include "app/port_problem.h"
#include "app/program.h"
#include "link/packet.h"
#include "platform/net_address.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace orbus {

namespace {
std::string twipsText(double v) {
    // Text of a single-precision number: whole twips print without decimals.
    float f = static_cast<float>(v);
    if (std::floor(f) == f && std::fabs(f) < 1e9f) return std::to_string(static_cast<long>(f));
    std::string s = std::to_string(f);
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}
const char* boolText(bool b) { return b ? "True" : "False"; }
}  // namespace

void FrmMain::showProgress(const std::string& subtitle, bool advance) {
    FrmInfo& info = prog_.frmInfo();
    info.LbSubtitle.setCaption(subtitle);
    if (advance) info.ProgressBar1.setValue(info.ProgressBar1.value() + 1);
    info.redraw();
}

void FrmMain::openPort() {
    SerialPort& port = platform_.port;
    if (port.isOpen()) port.close();
    port.setCommPort(prog_.port.CommPortNo);
    port.setSimulator(prog_.port.simulator);
    port.setNetwork(prog_.port.network);
    LineSettings s;
    s.baud = static_cast<int>(leadingNumber(prog_.port.BaudText));
    port.setSettings(s);
    port.setDTREnable(true);
    // A port that cannot be opened shows up as a failed interface clear.
    port.open();
    portOpened();
    // Received bytes always raise an event: the line routes them.
    port.setRThreshold(1);
    port.setSThreshold(1);
}

link::Async<bool> FrmMain::interfaceClear() {
    showProgress("Interface Clear Start");
    co_await pauseOneSecond([this] { showProgress("Interface Clear Start-Wait 1sec ", false); });
    showProgress("Interface Clear Start", false);
    const bool answered = co_await ifClearAnswered();
    co_return answered;
}

link::Async<bool> FrmMain::ifClearAnswered() {
    link::Line::Hold hold = co_await line().take();
    SD(ifClearBroadcast(), kQuiet);
    Bytes reply = co_await WaitReply(5);
    co_return !reply.empty() && reply[0] == 0x88;
}

link::Async<int> FrmMain::searchSpeed(std::vector<int>& tried) {
    // Only the interface clear goes out at a speed the operator did not
    // choose; the port is closed after the search whatever it found.
    const int chosen = static_cast<int>(leadingNumber(prog_.port.BaudText));
    // Over raw TCP the device server keeps its own speed: none to try here.
    if (NetAddress net; parseNetAddress(portTry().path, net) && net.kind == NetAddress::Kind::Raw) co_return 0;
    for (const int speed : FrmOpen::kSpeeds) {
        if (speed == chosen) continue;
        if (!platform_.port.isOpen()) break;
        showProgress("Interface Clear at " + std::to_string(speed) + "bps", false);
        LineSettings s;
        s.baud = speed;
        platform_.port.setSettings(s);
        // What came at the other speed is noise now.
        line().discard();
        tried.push_back(speed);
        const bool answered = co_await ifClearAnswered();
        if (answered) co_return speed;
    }
    co_return 0;
}

PortTry FrmMain::portTry() const {
    PortTry t;
    t.comNumber = prog_.port.CommPortNo;
    t.simulator = prog_.port.simulator;
    t.network = t.simulator.empty() ? prog_.port.network : "";
    t.fromEnvironment = t.simulator.empty() && t.network.empty() && !platform_.devices.chosenFor(t.comNumber).empty();
    const std::vector<SerialDevice> present = devicesInComOrder(platform_.devices);
    for (std::size_t i = 0; i < present.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        // The n-th device is "Com n" unless ORBUS_COM<n> points elsewhere.
        const bool reached = n <= 12 && platform_.devices.chosenFor(n).empty();
        t.devices.push_back(present[i].path + (reached ? " (Com " + std::to_string(n) + ")" : ""));
    }
    t.speed = static_cast<int>(leadingNumber(prog_.port.BaudText));
    if (t.simulator.empty()) t.path = t.network.empty() ? portTarget(platform_.devices, t.comNumber).path : t.network;
    if (!platform_.port.isOpen()) {
        t.failure = platform_.port.openFailure();
        if (t.failure.kind == OpenFailure::Kind::None) t.failure.kind = OpenFailure::Kind::Other;
        if (t.failure.system.empty()) t.failure.system = platform_.port.lastError();
    }
    return t;
}

void FrmMain::readLayout() {
    double l = 0, t = 0, w = 11895, h = 8220, v;
    if (parseNumber(prog_.setting("MainLeft", "0"), v)) l = v;
    if (parseNumber(prog_.setting("MainTop", "0"), v)) t = v;
    if (parseNumber(prog_.setting("MainWidth", "11895"), v) && v > 0) w = v;
    if (parseNumber(prog_.setting("MainHeight", "8220"), v) && v > 0) h = v;
    // The window fits the screen it opens on: a size saved on a larger
    // screen, or the default on a small one, is cut to the screen, whose
    // scroll bars then reach the rest.
    const ScreenArea a = platform_.windows.screenArea();
    if (a.width > 0 && a.height > 0) {
        w = std::min(w, a.width);
        h = std::min(h, a.height);
        l = std::clamp(l, a.left, a.right() - w);
        t = std::clamp(t, a.top, a.bottom() - h);
    }
    move(l, t);
    resize(w, h);
    bool b;
    if (parseBool(prog_.setting("PTWindow", "True"), b)) prog_.ptw.PTWindow = b;
    if (parseBool(prog_.setting("PTWSize", "True"), b)) prog_.ptw.PTWSize = b;
    if (parseBool(prog_.setting("PTWDocking", "True"), b)) prog_.ptw.PTWDocking = b;
}

link::Async<bool> FrmMain::addressSetAtStartup() {
    link::Line::Hold hold = co_await line().take();
    for (int attempt = 0; attempt < kAddressSetAttempts; ++attempt) {
        SD(addressSetBroadcast(), kQuiet);
        Bytes r = co_await WaitReply(4);
        if (r.size() >= 4 && r[0] == 0x88 && r[1] == 0x30 && r[3] == 0xFF) {
            int cameras = r[2] - 1;
            startupCameras_ = cameras;
            prog_.cameras.renumber(cameras);
            CameraSel.forEach([&](int i, MenuItem& m) {
                m.setEnabled(i <= cameras);
                m.setChecked(i == 1);
            });
            co_return true;
        }
    }
    co_return false;
}

void FrmMain::setcom() {
    prog_.port.PortChosen = false;
    prog_.frmOpen().showAgain();
    platform_.windows.waitUntil([this] { return prog_.port.PortChosen; });
}

void FrmMain::Form_Load() {
    if (loaded_) return;
    loaded_ = true;
    prog_.loaded(*this);
    // The start-up's waits do not hold the window: it runs beside it.
    link_.control().startupStarts();
    tasks().start(startUp());
}

link::Async<void> FrmMain::startUp() {
    // 1-2: busy, timers off, progress window up.
    link_.control().startupStarts();
    refresh().switchOff();
    Timer2.setEnabled(false);
    hide();
    FrmInfo& info = prog_.frmInfo();
    info.LbTitle.setCaption("Initialize");
    info.LbSubtitle.setCaption("");
    info.ProgressBar1.setValue(1);
    prog_.loaded(info);
    info.show();

    // 3-11, again from the port opening after each failure.
    for (;;) {
        openPort();
        PortTry attempt = portTry();
        std::string failure;
        const bool cleared = co_await interfaceClear();
        if (!cleared) {
            failure = "IF_Clear Error";
            if (platform_.port.isOpen()) attempt.answeredAt = co_await searchSpeed(attempt.alsoTried);
        } else {
            showProgress("Interface Clear End");
            readLayout();
            prog_.labels.fillDefaults();
            link_.control().drive(1);
            prog_.cameras.setDriven(1);
            Active.setText("1");
            Baudratetxt.setText(std::to_string(leadingNumber(prog_.port.BaudText)));
            showProgress("Address Set Start");
            const bool numbered = co_await addressSetAtStartup();
            if (numbered) break;
            failure = "Address Set Error";
            attempt.addressSetFailed = true;
            attempt.addressSetTries = kAddressSetAttempts;
        }
        platform_.port.close();
        info.hide();
        FrmOpen& dlg = prog_.frmOpen();
        dlg.LblDBG0.setCaption(failure + "\r\nPort = " + std::to_string(prog_.port.CommPortNo));
        dlg.showReason(portTryText(attempt));
        if (attempt.answeredAt > 0) dlg.selectSpeed(attempt.answeredAt);
        setcom();
        if (platform_.windows.ending()) co_return;
        showProgress("Com Port Setting Restart", false);
        info.ProgressBar1.setValue(3);
        info.show();
    }

    // 12-13: identification and layout.
    showProgress("Camera Version Check Start");
    {
        link::Line::Hold hold = co_await line().take();
        co_await IdentifyAtStartup();
        co_await IdentifyOthersAtStartup();
    }
    DZoomX.setCaption("X1");

    // 14: start-up over; auto refresh off.
    link_.control().startupEnds();
    refresh().switchOff();

    // 15: one status read, to its end.
    showProgress("Camera Staus Check Start");
    if (ReadCameraStatus()) {
        // The read took the line first: the turn after it is its end.
        link::Line::Hold after = co_await line().take();
    }

    // 16: fill the bar, then a one-second pause.
    while (info.ProgressBar1.value() < 100) {
        info.ProgressBar1.setValue(info.ProgressBar1.value() + 1);
        info.redraw();
    }
    co_await pauseOneSecond();

    // 17: progress window and port dialog away, main window up at the back.
    info.unload();
    prog_.frmOpen().unload();
    Timer2.setEnabled(true);
    arrangeWindow();
    show();
    sendToBack();

    // 18: the pan-tilt window as it was last time.
    if (prog_.ptw.PTWindow) {
        showPanTiltAtStartup();
    } else {
        PTWCloseM.setCaption("OPEN");
    }
}

void FrmMain::Form_Unload() {
    prog_.ptw.MainClosing = true;
    std::vector<Form*> others = prog_.loadedForms();
    for (auto it = others.rbegin(); it != others.rend(); ++it) {
        if (*it != this) (*it)->unload();
    }
    if (windowState() != WindowState::Minimized) {
        prog_.saveSetting("MainLeft", twipsText(left()));
        prog_.saveSetting("MainTop", twipsText(top()));
        prog_.saveSetting("MainWidth", twipsText(width()));
        prog_.saveSetting("MainHeight", twipsText(height()));
    }
    prog_.saveSetting("CommPort", std::to_string(prog_.port.CommPortNo));
    prog_.saveSetting("BPS", prog_.port.BaudText);
    prog_.saveSetting("PTWindow", boolText(prog_.ptw.PTWindow));
    prog_.saveSetting("PTWSize", boolText(prog_.ptw.PTWSize));
    prog_.saveSetting("PTWDocking", boolText(prog_.ptw.PTWDocking));
    hide();
    prog_.unloaded(*this);
    prog_.end();
}

void FrmMain::Quit_Click() { prog_.end(); }

}  // namespace orbus
