#include "app/frm_main.h"

#include "app/program.h"
#include "platform/platform.h"

namespace orbus {

namespace {
// Log column: three boxes of equal width one above the other.
constexpr int kLogLeft = 9180;
constexpr int kLogWidth = 2535;
}  // namespace

FrmMain::FrmMain(Program& program)
    : Form("FrmMain", "ORBUS Control Panel"),
      MnuCamera(*this, "MnuCamera", "Camera"),
      IFClear(*this, "IFClear", "I/F Clear", &MnuCamera),
      IFClearB(*this, "IFClearB", "I/F Clear(broadcast)", &MnuCamera),
      AddressSet(*this, "AddressSet", "Address Set", &MnuCamera),
      AutoRefresh(*this, "AutoRefresh", "Auto Refresh", &MnuCamera),
      Quit(*this, "Quit", "Exit", &MnuCamera),
      MnuSelect(*this, "MnuSelect", "Select"),
      ModelVersion(*this, "ModelVersion"),
      Baudratetxt(*this, "Baudratetxt"),
      Active(*this, "Active"),
      NTSCorPAL(*this, "NTSCorPAL"),
      CameraIDText(*this, "CameraIDText"),
      AutoRefreshed(*this, "AutoRefreshed", "Stop"),
      RefreshOnce(*this, "RefreshOnce", "Refresh Once"),
      SendText(*this, "SendText"),
      RecvText(*this, "RecvText"),
      DirectText(*this, "DirectText"),
      cmdClearTxt(*this, "cmdClearTxt", "Clear Txt"),
      DZoomX(*this, "DZoomX", "X1"),
      Timer1(*this, "Timer1", 2000, false),
      Timer2(*this, "Timer2", 800, true),
      Timer3(*this, "Timer3", 6000, false),
      prog_(program),
      L(program.link),
      P(program.platform) {
    setResizable(true);
    resize(11895, 8220);
    buildMenus();
    buildStatusArea();
    buildLogColumn();
    wireHandlers();
}

FrmMain::~FrmMain() = default;

void FrmMain::buildMenus() {
    // The older auto-refresh record: present in the design, never shown or checked.
    AutoRefresh.setVisible(false);
    AutoRefresh.setEnabled(false);
    AutoRefresh.setCheckable(true);
    Quit.setSeparatorBefore(true);
    for (int i = 1; i <= 7; ++i) {
        auto& item = CameraSel.add(i, *this, "CameraSel", "Camera" + std::to_string(i), &MnuSelect);
        item.setCheckable(true);
    }
    CameraSel[1].setChecked(true);
}

void FrmMain::buildStatusArea() {
    auto label = [&](int i, const std::string& caption, int l, int t, int w) -> Label& {
        auto& lb = Lbl.add(i, *this, "Lbl", caption);
        lb.setGeometry(l, t, w, 240);
        return lb;
    };
    auto box = [&](TextBox& b, Label& lb, int l, int t, int w) {
        b.setGeometry(l, t, w, 300);
        b.setLocked(true);
        b.setCentered(true);
        b.setAccessibleName(lb.caption());
    };
    // Row of status boxes across the top of the window.
    Label& lOrbus = label(6, "ORBUS No.", 120, 60, 900);
    box(Active, lOrbus, 120, 300, 900);
    Label& lSystem = label(7, "System", 1140, 60, 1700);
    box(NTSCorPAL, lSystem, 1140, 300, 1700);
    Label& lBaud = label(4, "BaudRate", 2960, 60, 1000);
    box(Baudratetxt, lBaud, 2960, 300, 1000);
    label(5, "bps", 4000, 340, 400);
    Label& lId = label(8, "CameraID", 4520, 60, 1000);
    box(CameraIDText, lId, 4520, 300, 1000);
    ModelVersion.setGeometry(5640, 300, 1900, 300);
    ModelVersion.setLocked(true);
    ModelVersion.setCentered(true);
    ModelVersion.setAccessibleName("Model");
    label(3, "Refresh", 7660, 60, 1400);
    AutoRefreshed.setGeometry(7660, 300, 700, 300);
    RefreshOnce.setGeometry(8380, 300, 700, 300);
    AutoRefreshed.setAccessibleName("Auto refresh");
    RefreshOnce.setAccessibleName("Refresh Once");
    RefreshOnce.setToolTip("Read the camera's settings once");
    AutoRefreshed.setToolTip("Auto: read the camera every two seconds; Stop: no automatic reading");
    DZoomX.setGeometry(120, 7000, 700, 300);
}

void FrmMain::buildLogColumn() {
    auto& l1 = Lbl.add(1, *this, "Lbl", "Command History");
    l1.setGeometry(kLogLeft, 780, kLogWidth, 240);
    SendText.setGeometry(kLogLeft, 1020, kLogWidth, 1935);
    auto& l0 = Lbl.add(0, *this, "Lbl", "Response Window");
    l0.setGeometry(kLogLeft, 3060, kLogWidth, 240);
    RecvText.setGeometry(kLogLeft, 3300, kLogWidth, 2175);
    auto& l2 = Lbl.add(2, *this, "Lbl", "Direct Command");
    l2.setGeometry(kLogLeft, 5580, kLogWidth, 240);
    DirectText.setGeometry(kLogLeft, 5820, kLogWidth, 300);
    cmdClearTxt.setGeometry(kLogLeft + kLogWidth - 1100, 6240, 1100, 330);

    for (TextBox* t : {&SendText, &RecvText}) {
        t->setMultiLine(true);
        t->setLocked(true);
    }
    SendText.setAccessibleName(l1.caption());
    RecvText.setAccessibleName(l0.caption());
    DirectText.setAccessibleName(l2.caption());
    DirectText.setToolTip("Type a whole packet in hexadecimal (header to FF) and press Enter");
}

void FrmMain::wireHandlers() {
    DirectText.onKeyPress = [this](int& k) { DirectText_KeyPress(k); };
    DirectText.onChange = [this] { DirectText_Change(); };
    cmdClearTxt.onClick = [this] { cmdClearTxt_Click(); };
    Quit.onClick = [this] { Quit_Click(); };
    onUnload = [this] { Form_Unload(); };
    P.port.onComm = [this](int ev) { MSComm1_OnComm(ev); };
}

}  // namespace orbus
