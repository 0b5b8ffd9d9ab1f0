#include "pantilt/frm_pantilt.h"

#include <string>

#include "app/frm_main.h"
#include "app/program.h"

namespace orbus {

namespace {

// Geometry in twips; positions are relative to the holding frame.
constexpr int kMargin = 120;
constexpr int kFrameW = static_cast<int>(FrmPanTilt::kWidth) - 2 * kMargin;
constexpr int kFrameGap = 120;
constexpr int kFirstRow = 270;  // first row under a frame's caption

// Compasses of drive buttons.
constexpr int kBtnW = 880, kBtnH = 330, kBtnGap = 40;
constexpr int kCompassW = 3 * kBtnW + 2 * kBtnGap;
constexpr int kLeftCompass = 120;
constexpr int kRightCompass = kFrameW - 120 - kCompassW;
constexpr int kCompassTop = 300;
constexpr int cell(int i) { return i * (kBtnW + kBtnGap); }
constexpr int row(int i) { return kCompassTop + i * (kBtnH + kBtnGap); }
constexpr int kDriveH = row(3) + kBtnH + 100;

// Speeds and the window buttons under the drive frame.
constexpr int kSecondRow = kMargin + kDriveH + kFrameGap;
constexpr int kSecondH = 660;
constexpr int kSpeedW = 1500;
constexpr int kWindowFrameW = 2820;

// Information area at the bottom.
constexpr int kInfoTop = kSecondRow + kSecondH + kFrameGap;
constexpr int kInfoBoxH = 800;
constexpr int kInfoH = kFirstRow + kInfoBoxH + 100;

static_assert(kRightCompass >= kLeftCompass + kCompassW + 200, "the compasses stand apart");
static_assert(FrmPanTilt::kSmallHeight >= kSecondRow + kSecondH + 60 && FrmPanTilt::kSmallHeight < kInfoTop + 300,
              "the small window ends just under the speeds");
static_assert(FrmPanTilt::kLargeHeight >= kInfoTop + kInfoH + 60, "the large window shows the information area");

void place(Control& c, Control* container, int l, int t, int w, int h) {
    c.setContainer(container);
    c.setGeometry(l, t, w, h);
}

}  // namespace

FrmPanTilt::FrmPanTilt(Program& program) : Form("FrmPanTilt", "Pan/Tilt"), prog_(program) {
    PTWCloseS.onClick = [this] { PTWCloseS_Click(); };
    PTWDockingS.onClick = [this] { PTWDockingS_Click(); };
    PTWSizeS.onClick = [this] { PTWSizeS_Click(); };
    FmPTWindowS.onClick = [this] { FmPTWindowS_Click(); };
    onUnload = [this] { Form_Unload(); };
    resize(kWidth, kLargeHeight);

    // Drive: the operator's-speed compass on the left, the fixed-speed
    // compass on the right; each caption at its compass point.
    FmPanTilt.setGeometry(kMargin, kMargin, kFrameW, kDriveH);
    struct Point {
        int index;
        const char* caption;
        int col, row;
    };
    const Point stops[] = {{5, "UP-Left", 0, 0},   {1, "UP", 1, 0},        {6, "UP-Right", 2, 0},
                           {2, "Left", 0, 1},      {0, "Stop", 1, 1},      {3, "Right", 2, 1},
                           {7, "Down-Left", 0, 2}, {4, "Down", 1, 2},      {8, "Down-Right", 2, 2}};
    const Point directs[] = {{1, "UP-L-Dir", 0, 0},     {6, "UP-Direct", 1, 0}, {4, "UP-R-Dir", 2, 0},
                             {0, "Left-Direct", 0, 1},  {8, "Home", 1, 1},      {3, "Right-Direct", 2, 1},
                             {2, "Down-L-Dir", 0, 2},   {7, "Down-Dir", 1, 2},  {5, "Down-R-Dir", 2, 2},
                             {9, "Reset", 1, 3}};
    for (const Point& p : stops) {
        auto& b = Pan_Tilt_Stop.add(p.index, *this, "Pan_Tilt_Stop", p.caption);
        place(b, &FmPanTilt, kLeftCompass + cell(p.col), row(p.row), kBtnW, kBtnH);
    }
    for (const Point& p : directs) {
        auto& b = Pan_Tilt_Direct.add(p.index, *this, "Pan_Tilt_Direct", p.caption);
        place(b, &FmPanTilt, kRightCompass + cell(p.col), row(p.row), kBtnW, kBtnH);
    }
    // IR condition and mounting under the operator's-speed compass.
    const int labelTop = row(3) + (kBtnH - 240) / 2;
    place(LblIR, &FmPanTilt, kLeftCompass, labelTop, 1400, 240);
    place(LbMount, &FmPanTilt, kLeftCompass + 1440, labelTop, kCompassW - 1440, 240);

    // Speeds, and the window's own buttons at the right.
    auto speed = [&](Frame& f, int left, TextBox& box, UpDown& arrows, const std::string& name) {
        f.setGeometry(left, kSecondRow, kSpeedW, kSecondH);
        place(box, &f, 150, kFirstRow, 700, 280);
        place(arrows, &f, 850, kFirstRow, 240, 280);
        box.setCentered(true);
        box.setAccessibleName(name);
        arrows.setAccessibleName(name + " arrows");
    };
    speed(FmPanSpeed, kMargin, PanSpeed, PSUpDown, "Pan Speed");
    speed(FmTiltSpeed, kMargin + kSpeedW + kFrameGap, TiltSpeed, TSUpDown, "Tilt Speed");
    FmPTWindowS.setGeometry(kMargin + kFrameW - kWindowFrameW, kSecondRow, kWindowFrameW, kSecondH);
    int x = 100;
    for (Button* b : {&PTWSizeS, &PTWDockingS, &PTWCloseS}) {
        place(*b, &FmPTWindowS, x, kFirstRow, 840, 280);
        x += 840 + 40;
    }
    PTWSizeS.setAccessibleName("Pan/Tilt window size");
    PTWDockingS.setAccessibleName("Pan/Tilt window docking");
    PTWCloseS.setAccessibleName("Close the Pan/Tilt window");

    // Information area: status word, positions and the maximum speeds.
    FmInfo.setGeometry(kMargin, kInfoTop, kFrameW, kInfoH);
    auto info = [&](Frame& f, Label& value, int left, int width) {
        place(f, &FmInfo, left, kFirstRow, width, kInfoBoxH);
        place(value, &f, 100, 380, width - 200, 240);
        value.setCentered(true);
    };
    info(FmPTStatuw, LbPTS, 120, 1700);
    info(FmPanPos, LbPanPos, 1940, 1100);
    info(FmTiltPos, LbTiltPos, 3160, 1100);
    place(FmMaxSpeed, &FmInfo, 4380, kFirstRow, kFrameW - 120 - 4380, kInfoBoxH);
    auto maxSpeed = [&](Frame& f, Label& value, int left) {
        place(f, &FmMaxSpeed, left, 250, 640, 480);
        place(value, &f, 60, 200, 520, 240);
        value.setCentered(true);
    };
    maxSpeed(FmMPS, LbMPS, 100);
    maxSpeed(FmMTS, LbMTS, 820);

    // Tab order: each compass in reading order, then the speeds, the window
    // buttons and the information area.
    appendToTabOrder(FmPanTilt);
    for (const Point& p : directs) appendToTabOrder(Pan_Tilt_Direct[p.index]);
    for (Frame* f : {&FmPanSpeed, &FmTiltSpeed, &FmPTWindowS, &FmInfo}) appendToTabOrder(*f);
}

void FrmPanTilt::PTWCloseS_Click() {
    prog_.ptw.PTWindow = false;
    prog_.frmMain().DspPTW();
}

void FrmPanTilt::PTWDockingS_Click() { prog_.frmMain().toggleDocking(); }

void FrmPanTilt::PTWSizeS_Click() { prog_.frmMain().toggleSize(); }

void FrmPanTilt::FmPTWindowS_Click() { prog_.frmMain().raiseWithoutFocus(); }

void FrmPanTilt::Form_Unload() {
    // Closed by its title bar: the same as CLOSE, unless the program is ending
    // (then the saved setting still says whether the window was open).
    hide();
    prog_.unloaded(*this);
    if (!prog_.ptw.MainClosing) {
        prog_.ptw.PTWindow = false;
        prog_.frmMain().DspPTW();
    }
}

}  // namespace orbus
