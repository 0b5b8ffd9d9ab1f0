// Construction of the main window's controls: menus, captions, ranges,
// initial values, the frames that hold them and their placement. The window
// is laid out in three columns of frames left of the log column:
//   left:   AE Control, the infrared-cut filter and stabilizer buttons, Memory
//   middle: Lens Control, D-Zoom, Focus
//   right:  WhiteBalance, Aperture Control, V-Phase, Preset, Pan/Tilt Window
// A quantity with a slider takes two lines: its name over the slider (and
// the step buttons' meanings over the buttons), then the step buttons on
// either side of the slider and the read-only value box at the right.
// All geometry is in twips; the view shows 9 twips per pixel.
//
// This file: the menus, the status row, the log column and the tab order;
// the frames of each column are built in frm_main_layout_<area>.cpp.
#include <string>
#include <vector>

#include "app/frm_main_layout.h"

namespace orbus {

using namespace main_layout;

// ---------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------

void FrmMain::buildMenus() {
    // The older auto-refresh record: present in the design, never shown or checked.
    AutoRefresh.setVisible(false);
    AutoRefresh.setEnabled(false);
    AutoRefresh.setCheckable(true);
    Power.setSeparatorBefore(true);
    IDWrite.setSeparatorBefore(true);
    Lensinit.setSeparatorBefore(true);
    DZLimit.setSeparatorBefore(true);
    MenuOff.setSeparatorBefore(true);
    Quit.setSeparatorBefore(true);
    for (int i = 1; i <= 7; ++i) {
        auto& item = CameraSel.add(i, *this, "CameraSel", "Camera" + std::to_string(i), &MnuSelect);
        item.setCheckable(true);
    }
    CameraSel[1].setChecked(true);
    ChainStatus.placeLast();
    ChainStatus.setSeparatorBefore(true);

    // Gain priority exists in the camera but the panel never offers it; a
    // status read may still tick it.
    GainPriority.setVisible(false);
    GainPriority.setEnabled(false);
    AESpotMode.setSeparatorBefore(true);
    EffectLevel.setSeparatorBefore(true);
    // The aspect-mode menu is kept for its items but never offered.
    Wide.setVisible(false);
    Wide.setEnabled(false);

    // Switches and the items of mutually exclusive groups carry check marks.
    for (MenuItem* m : {&Power, &KeyLock, &Mute, &DZL0, &DZL1, &DZL2, &DZL3, &ASSL0, &ASSL1, &ASSL2,
                        &FullAuto, &ShutterPriority, &IrisPriority, &GainPriority, &Manual, &Bright,
                        &ShutterAuto, &IrisAuto, &GainAuto, &AESpotLight, &ATWPro, &ATW, &InDoor,
                        &OutDoor, &OnePushWB, &ManualWB, &PEOff, &Pastel, &NegArt, &Sepia, &BlackWhite,
                        &Solarize, &Mosaic, &Slim, &Stretch, &DEOff, &Still, &Flash, &Lumi, &Trail,
                        &Normal, &WideCinema, &Wide16, &PictureFlip, &LR_Reverse, &Freese, &DataScreen,
                        &DateDisplay, &TimeDisplay, &IFMDmode, &TitleOnOff, &Internal, &LineLock,
                        &State3, &DsubVD}) {
        m->setCheckable(true);
    }
}

// ---------------------------------------------------------------------------
// Status row
// ---------------------------------------------------------------------------

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
    label(3, "Refresh", 7660, 60, 1740);
    AutoRefreshed.setGeometry(7660, 300, 700, 300);
    RefreshOnce.setGeometry(8400, 300, 1000, 300);
    AutoRefreshed.setAccessibleName("Auto refresh");
    RefreshOnce.setAccessibleName("Refresh Once");
    RefreshOnce.setToolTip("Read the camera's settings once");

    // The link's state: port, driven camera, link state.
    StatusPort.setGeometry(9500, 0, 2300, 230);
    StatusCamera.setGeometry(9500, 240, 2300, 230);
    StatusLink.setGeometry(9500, 480, 2300, 230);
    StatusPort.setAccessibleName("Port");
    StatusCamera.setAccessibleName("Driven camera");
    StatusLink.setAccessibleName("Link state");
    AutoRefreshed.setToolTip("Auto: read the camera every two seconds; Stop: no automatic reading");
}

// ---------------------------------------------------------------------------
// Log column
// ---------------------------------------------------------------------------

void FrmMain::buildLogColumn() {
    auto& l1 = Lbl.add(1, *this, "Lbl", "Command History");
    l1.setGeometry(kLogLeft, kTop, kLogWidth, 240);
    SendText.setGeometry(kLogLeft, kTop + 240, kLogWidth, 1605);
    auto& l0 = Lbl.add(0, *this, "Lbl", "Response Window");
    l0.setGeometry(kLogLeft, SendText.top() + SendText.height() + 60, kLogWidth, 240);
    RecvText.setGeometry(kLogLeft, l0.top() + 240, kLogWidth, 1845);
    // Under the two logs: what the line at the caret means (three lines of
    // text; the whole meaning is also the log line's tool tip).
    LineMeaning.setGeometry(kLogLeft, RecvText.top() + RecvText.height() + 60, kLogWidth, 600);
    auto& l2 = Lbl.add(2, *this, "Lbl", "Direct Command");
    l2.setGeometry(kLogLeft, LineMeaning.top() + LineMeaning.height() + 60, kLogWidth, 240);
    DirectText.setGeometry(kLogLeft, l2.top() + 240, kLogWidth, 300);
    cmdClearTxt.setGeometry(kLogLeft + kLogWidth - 1100, DirectText.top() + 390, 1100, 330);
    static_assert(kLogLeft + kLogWidth <= kClientWidth, "the log column fits the window");

    for (TextBox* t : {&SendText, &RecvText, &LineMeaning}) {
        t->setMultiLine(true);
        t->setLocked(true);
    }
    SendText.setAccessibleName(l1.caption());
    RecvText.setAccessibleName(l0.caption());
    LineMeaning.setAccessibleName("Line meaning");
    LineMeaning.setToolTip("What the log line at the caret means; rest the pointer on a log line for the same");
    DirectText.setAccessibleName(l2.caption());
    DirectText.setToolTip("Type a whole packet in hexadecimal (header to FF) and press Enter");
}

// Tab order: the status row (as declared), then the frames column by
// column from the top, each followed by its contents row by row, then the
// log column.
void FrmMain::arrangeTabOrder() {
    std::vector<Control*> order = {&FmAEControl, &LblAE[15], &CmdAutoICR, &LblAE[16], &CmdICR[0], &CmdICR[1],
                                   &LblAE[17],   &Comstabi,  &FmMemory,   &FmZoom,    &FmDZoom,   &FmFocus,
                                   &FmWB,        &FmAPC,     &Frame5,     &FmPreset,  &FmPTWindowM,
                                   &Lbl[1],      &SendText,  &Lbl[0],     &RecvText,  &LineMeaning, &Lbl[2],    &DirectText,
                                   &cmdClearTxt};
    appendToTabOrder(order);
    static_assert(kTop > 600 && kClientHeight > kTop, "frames start under the status row");
}

}  // namespace orbus
