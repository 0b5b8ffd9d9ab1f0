#include "app/frm_gamepad.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/program.h"
#include "dialogs/dialog_link.h"
#include "gamepad/stick_drive.h"

namespace orbus {

namespace {

using gamepad::Axis;
using PadButton = gamepad::Button;
using gamepad::Mapping;

constexpr const char* kDriveNames[FrmGamepad::kDrives] = {"Pan", "Tilt", "Zoom", "Focus"};
constexpr const char* kFunctionNames[FrmGamepad::kFunctions] = {
    "Previous camera", "Next camera", "Memory 1", "Memory 2", "Memory 3", "Memory 4",
    "Modifier (hold 2 s: store)", "Stop everything"};

// Geometry in twips.
constexpr int kMargin = 120;
constexpr int kWidth = 8400;
constexpr int kPic = 1890;  // 21 cells of 90 twips
constexpr int kRow = 330;

std::string twoPlaces(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%+.2f", v);
    return buf;
}

PadButton& functionButton(Mapping& m, int i) {
    switch (i) {
    case 0: return m.previousCamera;
    case 1: return m.nextCamera;
    case 6: return m.modifier;
    case 7: return m.stopAll;
    default: return m.memory[static_cast<std::size_t>(i - 2)];
    }
}

Mapping::Drive& drive(Mapping& m, int i) {
    switch (i) {
    case 0: return m.pan;
    case 1: return m.tilt;
    case 2: return m.zoom;
    default: return m.focus;
    }
}

// The cell of a stick position (-1 to 1) on the grid.
int cellOf(double v) {
    const double c = (std::clamp(v, -1.0, 1.0) + 1.0) / 2.0 * (FrmGamepad::kGrid - 1);
    return static_cast<int>(std::lround(c));
}

}  // namespace

FrmGamepad::FrmGamepad(Program& program) : Form("FrmGamepad", "Gamepad"), prog_(program) {
    int y = kMargin;
    LblDevice.placeIn(nullptr, kMargin, y, kWidth - 2 * kMargin, 260);
    LblDevice.setMessageRole("Controller");
    appendToTabOrder(LblDevice);
    y += 360;

    // Sticks: two drawn squares, the dead zone marked in each.
    const int sticksH = 270 + kPic + 2 * kRow + 100;
    FmSticks.placeIn(nullptr, kMargin, y, kWidth - 2 * kMargin, sticksH);
    for (int i = 0; i < 2; ++i) {
        Picture& p = PicStick.add(i, *this, "PicStick");
        p.placeIn(&FmSticks, 200 + i * (kPic + 400), 270, kPic, kPic);
        p.setGrid(kGrid, kGrid);
        p.setAccessibleName(i == 0 ? "Left stick" : "Right stick");
        Label& l = LblStick.add(i, *this, "LblStick", "");
        l.placeIn(&FmSticks, 200 + i * (kPic + 400), 270 + kPic + 40, kPic + 300, 260);
        l.setFixedPitch(true);
        appendToTabOrder(l);
    }
    const int right = 200 + 2 * (kPic + 400);
    LblTriggers.placeIn(&FmSticks, right, 270, kWidth - 2 * kMargin - right - 120, 260);
    LblTriggers.setFixedPitch(true);
    LblButtons.placeIn(&FmSticks, right, 620, kWidth - 2 * kMargin - right - 120, 1400);
    LblButtons.setAccessibleName("Buttons held");
    appendToTabOrder(LblTriggers);
    appendToTabOrder(LblButtons);
    y += sticksH + 120;

    // Response: the dead zone (percent) and the curve (tenths).
    FmResponse.placeIn(nullptr, kMargin, y, kWidth - 2 * kMargin, 270 + 2 * 420);
    auto sliderRow = [&](Label& caption, Slider& s, Label& value, int row, const char* tip) {
        const int t = 270 + row * 420;
        caption.placeIn(&FmResponse, 200, t + 40, 1300, 260);
        s.placeIn(&FmResponse, 1500, t, 4400, 360);
        s.setSteps(1, 5, 5);
        s.setToolTip(tip);
        value.placeIn(&FmResponse, 6000, t + 40, 1800, 260);
        appendToTabOrder(caption);
        appendToTabOrder(s);
        appendToTabOrder(value);
    };
    sliderRow(LblDeadZone, SldDeadZone, LblDeadZoneValue, 0,
              "A stick resting within this share of its travel from the centre moves nothing");
    sliderRow(LblCurve, SldCurve, LblCurveValue, 1,
              "1.0: speed follows the stick; higher: finer speeds near the centre, full speed at the edge");
    SldDeadZone.setAccessibleName("Dead zone");
    SldCurve.setAccessibleName("Response curve");
    y += 270 + 2 * 420 + 120;

    // Mapping: the drives on the left, the buttons on the right.
    const int rows = std::max(kDrives + 1, kFunctions);
    const int mapH = 270 + rows * kRow + 100;
    FmMapping.placeIn(nullptr, kMargin, y, kWidth - 2 * kMargin, mapH);
    for (int i = 0; i < kDrives; ++i) {
        const int t = 270 + i * kRow;
        Label& l = LblDrive.add(i, *this, "LblDrive", kDriveNames[i]);
        l.placeIn(&FmMapping, 200, t + 30, 700, 260);
        ComboBox& c = MapAxis.add(i, *this, "MapAxis");
        c.placeIn(&FmMapping, 900, t, 1800, 300);
        for (int a = 0; a < gamepad::kAxes; ++a) c.addItem(gamepad::axisName(static_cast<Axis>(a)));
        c.setAccessibleName(std::string(kDriveNames[i]) + " axis");
        c.onClick = [this] { mappingChanged(); };
        CheckBox& inv = MapInvert.add(i, *this, "MapInvert", "Invert");
        inv.placeIn(&FmMapping, 2800, t, 900, 300);
        inv.setAccessibleName(std::string("Invert ") + kDriveNames[i]);
        inv.onClick = [this] { mappingChanged(); };
        appendToTabOrder(l);
        appendToTabOrder(c);
        appendToTabOrder(inv);
    }
    ChkTriggers.placeIn(&FmMapping, 200, 270 + kDrives * kRow, 3600, 300);
    ChkTriggers.onClick = [this] { mappingChanged(); };
    appendToTabOrder(ChkTriggers);
    for (int i = 0; i < kFunctions; ++i) {
        const int t = 270 + i * kRow;
        Label& l = LblFunction.add(i, *this, "LblFunction", kFunctionNames[i]);
        l.placeIn(&FmMapping, 3900, t + 30, 2400, 260);
        ComboBox& c = MapButton.add(i, *this, "MapButton");
        c.placeIn(&FmMapping, 6300, t, 1700, 300);
        for (int b = 0; b < gamepad::kButtons; ++b) c.addItem(gamepad::buttonName(static_cast<PadButton>(b)));
        c.setAccessibleName(kFunctionNames[i]);
        c.onClick = [this] { mappingChanged(); };
        appendToTabOrder(l);
        appendToTabOrder(c);
    }
    y += mapH + 160;

    CmdDefaults.placeIn(nullptr, kWidth - 2 * kMargin - 2900, y, 1400, 360);
    CmdDefaults.setToolTip("The default mapping, dead zone and curve");
    CmdClose.placeIn(nullptr, kWidth - 2 * kMargin - 1400, y, 1400, 360);
    CmdClose.setDefault(true);
    appendToTabOrder(CmdDefaults);
    appendToTabOrder(CmdClose);
    resize(kWidth, y + 360 + kMargin + 500);

    SldDeadZone.onScroll = [this] { mappingChanged(); };
    SldCurve.onScroll = [this] { mappingChanged(); };
    CmdDefaults.onClick = [this] { CmdDefaults_Click(); };
    CmdClose.onClick = [this] { CmdClose_Click(); };
    Timer1.onTick = [this] { Timer1_Timer(); };
    onUnload = [this] {
        hide();
        prog_.unloaded(*this);
    };
    onHide = [this] { Timer1.setEnabled(false); };
}

void FrmGamepad::open() {
    if (!visible()) dialogs::placeBesideMain(prog_.context(), *this, 600, 600);
    prog_.loaded(*this);
    showMapping(prog_.gamepad().mapping());
    showController();
    show();
    Timer1.setEnabled(true);
}

// Runs only while the window is shown: hiding it stops the timer.
void FrmGamepad::Timer1_Timer() { showController(); }

void FrmGamepad::CmdClose_Click() { hide(); }

void FrmGamepad::CmdDefaults_Click() {
    showMapping(Mapping{});
    mappingChanged();
}

void FrmGamepad::mappingChanged() {
    const Mapping m = mappingShown();
    LblDeadZoneValue.setCaption(std::to_string(SldDeadZone.value()) + " %");
    char curve[16];
    std::snprintf(curve, sizeof curve, "%.1f", m.curve);
    LblCurveValue.setCaption(curve);
    if (m == prog_.gamepad().mapping()) return;
    prog_.gamepad().setMapping(m);
    m.save(prog_.platform.settings, Program::kTitle);
    showController();
}

void FrmGamepad::showMapping(const Mapping& shown) {
    Mapping m = shown;
    for (int i = 0; i < kDrives; ++i) {
        MapAxis[i].setListIndex(static_cast<int>(drive(m, i).axis));
        MapInvert[i].setValue(drive(m, i).invert ? 1 : 0);
    }
    ChkTriggers.setValue(m.triggersZoom ? 1 : 0);
    for (int i = 0; i < kFunctions; ++i) MapButton[i].setListIndex(static_cast<int>(functionButton(m, i)));
    SldDeadZone.setValue(static_cast<int>(std::lround(m.deadZone * 100)));
    SldCurve.setValue(static_cast<int>(std::lround(m.curve * 10)));
    LblDeadZoneValue.setCaption(std::to_string(SldDeadZone.value()) + " %");
    char curve[16];
    std::snprintf(curve, sizeof curve, "%.1f", m.curve);
    LblCurveValue.setCaption(curve);
}

Mapping FrmGamepad::mappingShown() const {
    Mapping m;
    for (int i = 0; i < kDrives; ++i) {
        if (MapAxis[i].listIndex() >= 0) drive(m, i).axis = static_cast<Axis>(MapAxis[i].listIndex());
        drive(m, i).invert = MapInvert[i].checked();
    }
    m.triggersZoom = ChkTriggers.checked();
    for (int i = 0; i < kFunctions; ++i) {
        if (MapButton[i].listIndex() >= 0) functionButton(m, i) = static_cast<PadButton>(MapButton[i].listIndex());
    }
    m.deadZone = std::clamp(SldDeadZone.value() / 100.0, Mapping::kMinDeadZone, Mapping::kMaxDeadZone);
    m.curve = std::clamp(SldCurve.value() / 10.0, Mapping::kMinCurve, Mapping::kMaxCurve);
    return m;
}

void FrmGamepad::showController() {
    const gamepad::ControllerState& c = prog_.gamepad().controller();
    LblDevice.setCaption(c.connected ? "Connected: " + c.name
                                     : "No controller connected: plug one in, it is found at once.");
    const double deadZone = prog_.gamepad().mapping().deadZone;
    const Axis sticks[2][2] = {{Axis::LeftX, Axis::LeftY}, {Axis::RightX, Axis::RightY}};
    for (int i = 0; i < 2; ++i) {
        const double x = c.axes[static_cast<int>(sticks[i][0])];
        const double y = c.axes[static_cast<int>(sticks[i][1])];
        // The dead zone as the square round the centre it spans, the stick
        // as one cell: inside the square, the stick is centred.
        const int half = static_cast<int>(std::lround(deadZone * (kGrid - 1) / 2.0));
        const int mid = kGrid / 2;
        const bool inside = std::hypot(x, y) <= deadZone;
        std::vector<Picture::Mark> marks{{mid - half, mid - half, 2 * half + 1, 2 * half + 1, ""},
                                         {cellOf(x), cellOf(y), 1, 1, inside ? "o" : "X"}};
        PicStick[i].setMarks(std::move(marks));
        LblStick[i].setCaption((i == 0 ? "L " : "R ") + twoPlaces(x) + " " + twoPlaces(y) +
                               (inside ? " (rests)" : ""));
    }
    LblTriggers.setCaption("LT " + twoPlaces(c.axes[static_cast<int>(Axis::LeftTrigger)]) + "  RT " +
                           twoPlaces(c.axes[static_cast<int>(Axis::RightTrigger)]));
    std::string held;
    for (int b = 0; b < gamepad::kButtons; ++b) {
        if (!c.buttons[static_cast<std::size_t>(b)]) continue;
        held += (held.empty() ? "" : ", ") + std::string(gamepad::buttonName(static_cast<PadButton>(b)));
    }
    LblButtons.setCaption("Held: " + (held.empty() ? std::string("none") : held));
}

}  // namespace orbus
