#include "pantilt/frm_pantilt.h"

#include <algorithm>
#include <string>

#include "dialogs/context.h"
#include "panel/tips.h"
#include "pantilt/drive.h"
#include "pantilt/main_window.h"
#include "platform/text.h"

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

// The key that stops the head.
constexpr const char* kStopKey = "Esc";

// What a drive button does and the packet it sends.
std::string driveTip(const pantilt::DriveRow& d) {
    std::string words;
    if (std::string_view(d.control) == "Pan_Tilt_Stop" && d.index == 0)
        words = std::string("Stop the head (") + d.keys + ", or " + kStopKey + " here or in the main window)";
    else if (d.keys) words = std::string("Hold ") + d.keys + " to move this way; let go to stop";
    else if (d.body.size() == pantilt::kDriveLength) words = "Move this way at the fixed speed until Stop";
    else words = d.index == 8 ? "Turn the head to its home position" : "Reset the pan-tilt head";
    std::string packet = "8x";
    for (std::size_t i = 0; i < d.body.size(); ++i) {
        const bool speed = d.operatorSpeeds && (i == 3 || i == 4);
        packet += " " + (speed ? std::string(i == 3 ? "vv" : "ww") : panel::hexByte(d.body[i]));
    }
    packet += " FF";
    if (d.operatorSpeeds) packet += " (vv = pan speed, ww = tilt speed)";
    return words + " \xE2\x80\x94 sends " + packet;
}

void place(Control& c, Control* container, int l, int t, int w, int h) {
    c.setContainer(container);
    c.setGeometry(l, t, w, h);
}

}  // namespace

FrmPanTilt::FrmPanTilt(dialogs::Context& context, std::unique_ptr<pantilt::MainWindow> main)
    : Form("FrmPanTilt", "Pan/Tilt"),
      ctx_(context),
      main_(std::move(main)),
      keys_({[this](int camera, int index) { return drive("Pan_Tilt_Stop", index, camera); },
             [this](double seconds, std::function<void()> fn) { ctx_.platform().poster.post(seconds, std::move(fn)); },
             [this] { return ctx_.platform().port.isOpen(); },
             [this] { return ctx_.platform().clock.now(); }}) {
    PTWCloseS.onClick = [this] { PTWCloseS_Click(); };
    PTWDockingS.onClick = [this] { PTWDockingS_Click(); };
    PTWSizeS.onClick = [this] { PTWSizeS_Click(); };
    FmPTWindowS.onClick = [this] { FmPTWindowS_Click(); };
    onUnload = [this] { Form_Unload(); };
    onKeyDown = [this](const KeyEvent& e) { return Form_KeyDown(e); };
    onKeyUp = [this](const KeyEvent& e) { return Form_KeyUp(e); };
    onDeactivate = [this] { Form_Deactivate(); };
    onHide = [this] { Form_Hide(); };
    resize(kWidth, kLargeHeight);

    // Drive: the operator's-speed compass on the left, the fixed-speed
    // compass on the right; each caption at its compass point.
    FmPanTilt.setGeometry(kMargin, kMargin, kFrameW, kDriveH);
    struct Point {
        int index;
        int col, row;
    };
    const Point stops[] = {{5, 0, 0}, {1, 1, 0}, {6, 2, 0}, {2, 0, 1}, {0, 1, 1},
                           {3, 2, 1}, {7, 0, 2}, {4, 1, 2}, {8, 2, 2}};
    const Point directs[] = {{1, 0, 0}, {6, 1, 0}, {4, 2, 0}, {0, 0, 1}, {8, 1, 1},
                             {3, 2, 1}, {2, 0, 2}, {7, 1, 2}, {5, 2, 2}, {9, 1, 3}};
    auto button = [&](ControlArray<Button>& arr, const char* name, const Point& p, int left) {
        const pantilt::DriveRow* d = pantilt::driveRow(name, p.index);
        auto& b = arr.add(p.index, *this, name, d ? d->caption : "");
        place(b, &FmPanTilt, left + cell(p.col), row(p.row), kBtnW, kBtnH);
        if (d) b.setToolTip(driveTip(*d));
        const int i = p.index;
        if (&arr == &Pan_Tilt_Stop) b.onClick = [this, i] { Pan_Tilt_Stop_Click(i); };
        else b.onClick = [this, i] { Pan_Tilt_Direct_Click(i); };
    };
    for (const Point& p : stops) button(Pan_Tilt_Stop, "Pan_Tilt_Stop", p, kLeftCompass);
    for (const Point& p : directs) button(Pan_Tilt_Direct, "Pan_Tilt_Direct", p, kRightCompass);
    // The stop works from the main window too.
    Pan_Tilt_Stop[0].setShortcut(kStopKey, true);
    // IR condition and mounting under the operator's-speed compass.
    const int labelTop = row(3) + (kBtnH - 240) / 2;
    place(LblIR, &FmPanTilt, kLeftCompass, labelTop, 1400, 240);
    LblIR.setMessageRole("IR condition");
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

void FrmPanTilt::Pan_Tilt_Stop_Click(int index) {
    const int camera = ctx_.link().CamAddress;
    if (index != 0) {
        if (drive("Pan_Tilt_Stop", index, camera)) moved_.insert(camera);
        return;
    }
    // The stop goes to the heads the buttons moved, even after another
    // camera was chosen; a stop the line refused is kept for the next one.
    std::set<int> targets = moved_;
    if (targets.empty()) targets.insert(camera);
    for (int c : targets) {
        if (drive("Pan_Tilt_Stop", 0, c)) moved_.erase(c);
    }
}

void FrmPanTilt::Pan_Tilt_Direct_Click(int index) {
    const int camera = ctx_.link().CamAddress;
    if (!drive("Pan_Tilt_Direct", index, camera)) return;
    // Home and Reset end with the head at rest; the others drive until Stop.
    const pantilt::DriveRow* d = pantilt::driveRow("Pan_Tilt_Direct", index);
    if (d && d->body.size() == pantilt::kDriveLength) moved_.insert(camera);
    else moved_.erase(camera);
}

namespace {

// A speed box's number within its arrows' range (1 to the camera's maximum);
// text that is not a number gives 0.
int speedOf(const TextBox& box, const UpDown& arrows) {
    if (!startsWithNumber(box.text())) return 0;
    const long hi = std::max(arrows.min(), arrows.max());
    return static_cast<int>(std::clamp<long>(leadingNumber(box.text()), arrows.min(), hi));
}

// The Pan_Tilt_Stop button a drive key stands for, or -1. The cursor keys
// and the keypad's eight outer keys point the way; keypad 5 stops.
int driveIndexOf(const KeyEvent& e) {
    static const int byKeypadDigit[10] = {-1, 7, 4, 8, 2, 0, 3, 5, 1, 6};
    switch (e.key) {
    case Key::Up: return 1;
    case Key::Left: return 2;
    case Key::Right: return 3;
    case Key::Down: return 4;
    case Key::Home: return e.keypad ? 5 : -1;
    case Key::PageUp: return e.keypad ? 6 : -1;
    case Key::End: return e.keypad ? 7 : -1;
    case Key::PageDown: return e.keypad ? 8 : -1;
    case Key::Clear: return e.keypad ? 0 : -1;
    case Key::Digit: return e.keypad && e.digit >= 0 && e.digit <= 9 ? byKeypadDigit[e.digit] : -1;
    case Key::Other:
    case Key::Backspace:
    case Key::Delete: break;
    }
    return -1;
}

// One number per physical key, to pair a release with its press: the
// system's own where it tells it (a release whose meaning changed with Shift
// or Num Lock still pairs), else one made from the key's meaning.
int keyCode(const KeyEvent& e) {
    if (e.nativeKey != 0) return e.nativeKey;
    return -(static_cast<int>(e.key) * 100 + e.digit * 2 + (e.keypad ? 1 : 0)) - 1;
}

}  // namespace

bool FrmPanTilt::drive(const char* control, int index, int camera) {
    const pantilt::DriveRow* d = pantilt::driveRow(control, index);
    if (!d) return false;
    std::vector<int> values{0x80 + camera};
    values.insert(values.end(), d->body.begin(), d->body.end());
    if (d->operatorSpeeds) {
        values[4] = speedOf(PanSpeed, PSUpDown);
        values[5] = speedOf(TiltSpeed, TSUpDown);
    }
    values.push_back(0xFF);
    const bool stop = d->control == std::string_view("Pan_Tilt_Stop") && d->index == 0;
    return main_->sendDrive(values, stop);
}

bool FrmPanTilt::Form_KeyDown(const KeyEvent& e) {
    // In the speed boxes the keys edit the numbers.
    if (e.focus == &PanSpeed || e.focus == &TiltSpeed) return false;
    // Nothing drives while the drive buttons are out of use.
    if (!visible() || !FmPanTilt.enabled()) return false;
    const int index = driveIndexOf(e);
    if (index < 0) return false;
    keys_.press(keyCode(e), index, ctx_.link().CamAddress, e.autoRepeat);
    return true;
}

bool FrmPanTilt::Form_KeyUp(const KeyEvent& e) {
    // Wherever the focus went meanwhile, letting go of a drive key stops the head.
    const bool driveKey = driveIndexOf(e) >= 0;
    if (keys_.release(keyCode(e), e.autoRepeat, driveKey)) return true;
    if (!driveKey) return false;
    return !(e.focus == &PanSpeed || e.focus == &TiltSpeed);
}

// The release of a held key would go to another window: stop now.
void FrmPanTilt::Form_Deactivate() { keys_.end(); }

void FrmPanTilt::Form_Hide() {
    keys_.end();
    // Once the window is gone, nothing on the screen would stop a head its
    // buttons set moving: it stops now.
    if (!moved_.empty()) Pan_Tilt_Stop_Click(0);
}

void FrmPanTilt::PTWCloseS_Click() {
    ctx_.ptw().PTWindow = false;
    main_->showPanTilt();
}

void FrmPanTilt::PTWDockingS_Click() { main_->toggleDocking(); }

void FrmPanTilt::PTWSizeS_Click() { main_->toggleSize(); }

void FrmPanTilt::FmPTWindowS_Click() { main_->raise(); }

void FrmPanTilt::Form_Unload() {
    // Closed by its title bar: the same as CLOSE, unless the program is ending
    // (then the saved setting still says whether the window was open).
    hide();
    ctx_.unloaded(*this);
    if (!ctx_.ptw().MainClosing) {
        ctx_.ptw().PTWindow = false;
        main_->showPanTilt();
    }
}

}  // namespace orbus
