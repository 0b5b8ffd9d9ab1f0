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
#include <string>
#include <vector>

#include "app/frm_main.h"

namespace orbus {

namespace {

// Client area of the window at its default size, less a margin.
constexpr int kClientWidth = 11880;
constexpr int kClientHeight = 7700;

// Columns of frames.
constexpr int kTop = 720;  // under the status row
constexpr int kFrameGap = 120;
constexpr int kCol1 = 120, kCol1W = 2960;
constexpr int kCol2 = 3140, kCol2W = 2920;
constexpr int kCol3 = 6120, kCol3W = 2940;
constexpr int kLogLeft = 9180, kLogWidth = 2535;  // three boxes of equal width

// Inside a frame.
constexpr int kPad = 100;        // left and right margin
constexpr int kFirstRow = 270;   // first row under the frame's caption
constexpr int kBottomPad = 90;   // under the last row
constexpr int kCtlH = 280;       // buttons, text boxes, sliders
constexpr int kLblH = 230;       // labels and check boxes
constexpr int kRowGap = 60;      // between rows
constexpr int kRowPitch = kCtlH + kRowGap;
constexpr int kLineB = kLblH;     // from a quantity's caption line to its controls
constexpr int kQtyPitch = 540;   // quantity rows
constexpr int kStepW = 380;      // step buttons and the end labels of a slider
constexpr int kSliderGap = 40;   // between a step button and its slider
constexpr int kValueGap = 60;    // between the upper step button and the value box

// Top that centres a control of height h in a row of buttons at y.
constexpr int centred(int y, int h) { return y + (kCtlH - h) / 2; }

// Rows of the AE frame: five quantities, then the check boxes.
constexpr int aeRow(int i) { return kFirstRow + i * kQtyPitch; }
constexpr int kAeExpCompRow = aeRow(4);
constexpr int kAeCheckRow = kAeExpCompRow + kLineB + kCtlH + 40;
static_assert(FrmMain::kBackLightTopRaised == kAeExpCompRow + kLineB,
              "BackLight raised sits where the exposure-compensation slider was");
static_assert(FrmMain::kBackLightTopNormal == kAeCheckRow, "BackLight normally sits in the check-box row");

}  // namespace

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
    AutoRefreshed.setToolTip("Auto: read the camera every two seconds; Stop: no automatic reading");
}

// ---------------------------------------------------------------------------
// Helpers for the frames
// ---------------------------------------------------------------------------

namespace {

void place(Control& c, Control* container, int l, int t, int w, int h) {
    c.setContainer(container);
    c.setGeometry(l, t, w, h);
}

Label& addLabel(Form& form, ControlArray<Label>& arr, const char* name, int i, const std::string& caption,
                Control* container, int l, int t, int w, bool centre = false) {
    Label& lb = arr.add(i, form, name, caption);
    place(lb, container, l, t, w, kLblH);
    lb.setCentered(centre);
    return lb;
}

void valueBox(TextBox& b, const std::string& name) {
    b.setLocked(true);
    b.setCentered(true);
    b.setAccessibleName(name + " value");
}

// One quantity of a frame of width frameW at row y: the step buttons either
// side of the slider and the value box at the right on the second line; the
// caption line's labels over them. Where a quantity has no step buttons
// (zoom, focus) labels naming the slider's ends take their places.
struct Quantity {
    Control* low;   // step button or end label at the left
    Slider& slider;
    Control* high;  // step button or end label at the right
    TextBox& value;
};

struct QuantityColumns {
    int lowX, sliderX, sliderW, highX, valueX, valueW;
};

QuantityColumns quantityColumns(int frameW, int valueW) {
    QuantityColumns q{};
    q.valueW = valueW;
    q.valueX = frameW - kPad - valueW;
    q.highX = q.valueX - kValueGap - kStepW;
    q.lowX = kPad;
    q.sliderX = q.lowX + kStepW + kSliderGap;
    q.sliderW = q.highX - kSliderGap - q.sliderX;
    return q;
}

void placeQuantity(Frame& f, int valueW, int y, const Quantity& q) {
    const QuantityColumns c = quantityColumns(f.width(), valueW);
    const int yb = y + kLineB;
    auto end = [&](Control* e, int x) {
        if (!e) return;
        const bool label = e->kind() == Kind::Label;
        place(*e, &f, x, label ? centred(yb, kLblH) : yb, kStepW, label ? kLblH : kCtlH);
    };
    end(q.low, c.lowX);
    end(q.high, c.highX);
    place(q.slider, &f, c.sliderX, yb, c.sliderW, kCtlH);
    place(q.value, &f, c.valueX, yb, c.valueW, kCtlH);
}

// Caption line of a quantity: the name over the slider, optionally words
// over the step buttons.
void captionLine(Frame& f, int valueW, int y, Label& name, Label* low = nullptr, Label* high = nullptr) {
    const QuantityColumns c = quantityColumns(f.width(), valueW);
    place(name, &f, c.sliderX, y, c.sliderW, kLblH);
    name.setCentered(true);
    if (low) {
        place(*low, &f, c.lowX, y, kStepW, kLblH);
        low->setCentered(true);
    }
    if (high) {
        place(*high, &f, c.highX, y, kStepW, kLblH);
        high->setCentered(true);
    }
}

void stepNames(Button& down, Button& up, const std::string& quantity, const std::string& downWord,
               const std::string& upWord) {
    down.setAccessibleName(quantity + " " + downWord);
    up.setAccessibleName(quantity + " " + upWord);
}

// Press-and-hold drive row: [low button][speed][arrows]  Speed  [speed][arrows][high button].
void driveRow(Frame& f, int y, Button& low, TextBox& lowSpeed, UpDown& lowArrows, Label& speed,
              TextBox& highSpeed, UpDown& highArrows, Button& high) {
    constexpr int btnW = 560, boxW = 340, arrowsW = 220, gap = 30;
    const int right = f.width() - kPad;
    place(low, &f, kPad, y, btnW, kCtlH);
    place(lowSpeed, &f, kPad + btnW + gap, y, boxW, kCtlH);
    place(lowArrows, &f, kPad + btnW + gap + boxW, y, arrowsW, kCtlH);
    place(high, &f, right - btnW, y, btnW, kCtlH);
    place(highArrows, &f, right - btnW - gap - arrowsW, y, arrowsW, kCtlH);
    place(highSpeed, &f, right - btnW - gap - arrowsW - boxW, y, boxW, kCtlH);
    const int midL = kPad + btnW + gap + boxW + arrowsW;
    const int midR = right - btnW - gap - arrowsW - boxW;
    place(speed, &f, midL + 10, centred(y, kLblH), midR - midL - 20, kLblH);
    speed.setCentered(true);
}

void speedBox(TextBox& box, UpDown& arrows, const std::string& name) {
    box.setCentered(true);
    box.setAccessibleName(name);
    arrows.setAccessibleName(name + " arrows");
}

// Grid of option buttons: a header line of column numbers, then one row per
// operation, six columns (index 0..5 left to right).
struct OptionGrid {
    static constexpr int labelW = 700;
    static constexpr int colW = 340;
    static constexpr int optW = 240;
    static constexpr int pitch = 290;
    static constexpr int optH = 250;
    static constexpr int headerY = kFirstRow;
    static constexpr int firstRowY = headerY + 250;
    static constexpr int rowY(int r) { return firstRowY + r * pitch; }
    static constexpr int colX(int c) { return kPad + labelW + c * colW; }
    static constexpr int bottom = firstRowY + 2 * pitch + optH;
};

}  // namespace

// ---------------------------------------------------------------------------
// Left column: exposure, infrared-cut filter and stabilizer, memory
// ---------------------------------------------------------------------------

void FrmMain::buildExposure() {
    constexpr int valueW = 740;
    constexpr int frameH = kAeCheckRow + kLblH + 20 + kBottomPad;
    FmAEControl.setGeometry(kCol1, kTop, kCol1W, frameH);
    Frame& f = FmAEControl;
    auto lbl = [&](int i, const char* caption) -> Label& {
        return addLabel(*this, LblAE, "LblAE", i, caption, &f, 0, 0, kStepW);
    };
    struct Row {
        int name, low, high;
        Button& down;
        Slider& slider;
        Button& up;
        TextBox& value;
        const char* quantity;
        const char* downWord;
        const char* upWord;
    };
    const Row rows[] = {
        {0, 1, 2, IrisClose, IrisSlider, IrisOpen, IrisValue, "Iris", "Close", "Open"},
        {3, 4, 5, GainDown, GainSlider, GainUp, GainValue, "Gain", "Low", "High"},
        {6, 7, 8, ShutterSlow, ShutterSlider, ShutterFast, ShutterValue, "Shutter", "Slow", "Fast"},
        {9, 10, 11, BrightDown, BrightSlider, BrightUp, BrightValue, "Bright", "Down", "Up"},
        {12, 13, 14, ExpCompDown, ExpCompSlider, ExpCompUp, ExpCompValue, "ExpComp", "Down", "Up"},
    };
    int r = 0;
    for (const Row& row : rows) {
        Label& name = lbl(row.name, row.quantity);
        Label& low = lbl(row.low, row.downWord);
        Label& high = lbl(row.high, row.upWord);
        captionLine(f, valueW, aeRow(r), name, &low, &high);
        placeQuantity(f, valueW, aeRow(r), {&row.down, row.slider, &row.up, row.value});
        stepNames(row.down, row.up, row.quantity, row.downWord, row.upWord);
        row.slider.setAccessibleName(row.quantity);
        valueBox(row.value, row.quantity);
        ++r;
    }
    // The switch of exposure compensation heads its value box.
    const QuantityColumns cols = quantityColumns(kCol1W, valueW);
    place(ExpComp, &f, cols.valueX, kAeExpCompRow, valueW, kLblH);
    place(BackLight, &f, kPad, kBackLightTopNormal, 1100, kLblH);
    place(AutoSlowShutter, &f, kPad + 1200, kAeCheckRow, 1560, kLblH);

    // Infrared-cut filter and stabilizer: three small groups under the frame,
    // each with its name over its buttons.
    const int y = kTop + frameH + kFrameGap;
    const int yb = y + kLblH + 5;
    const int x = kCol1 + kPad;
    addLabel(*this, LblAE, "LblAE", 15, "Auto ICR Mode", nullptr, x, y, 960);
    place(CmdAutoICR, nullptr, x, yb, 700, kCtlH);
    CmdAutoICR.setAccessibleName("Auto ICR Mode");
    addLabel(*this, LblAE, "LblAE", 16, "ICR Mode", nullptr, x + 1040, y, 940);
    auto& icrOn = CmdICR.add(0, *this, "CmdICR", "ON");
    auto& icrOff = CmdICR.add(1, *this, "CmdICR", "OFF");
    place(icrOn, nullptr, x + 1040, yb, 460, kCtlH);
    place(icrOff, nullptr, x + 1520, yb, 460, kCtlH);
    icrOn.setAccessibleName("ICR On");
    icrOff.setAccessibleName("ICR Off");
    addLabel(*this, LblAE, "LblAE", 17, "Stabilizer", nullptr, x + 2060, y, 700);
    place(Comstabi, nullptr, x + 2060, yb, 700, kCtlH);
    Comstabi.setAccessibleName("Stabilizer");
}

void FrmMain::buildMemories() {
    // Memory (block cameras): under the infrared-cut filter buttons.
    const int memTop = Comstabi.top() + Comstabi.height() + kFrameGap;
    constexpr int customY = OptionGrid::bottom + 70;
    FmMemory.setGeometry(kCol1, memTop, kCol1W, customY + kCtlH + kBottomPad);
    Frame& m = FmMemory;
    const char* ops[] = {"Set", "Recall", "Reset"};
    for (int c = 0; c <= 5; ++c) {
        addLabel(*this, LblCh, "LblCh", c, std::to_string(c), &m, OptionGrid::colX(c), OptionGrid::headerY,
                 OptionGrid::colW, true);
    }
    ControlArray<OptionButton>* memRows[] = {&SetOption, &RecallOption, &ResetOption};
    for (int r = 0; r < 3; ++r) {
        const int y = OptionGrid::rowY(r);
        addLabel(*this, LblMem, "LblMem", r, ops[r], &m, kPad, y + (OptionGrid::optH - kLblH) / 2,
                 OptionGrid::labelW - 40);
        const char* name = r == 0 ? "SetOption" : r == 1 ? "RecallOption" : "ResetOption";
        for (int c = 0; c <= 5; ++c) {
            auto& o = memRows[r]->add(c, *this, name, "");
            place(o, &m, OptionGrid::colX(c) + (OptionGrid::colW - OptionGrid::optW) / 2, y, OptionGrid::optW,
                  OptionGrid::optH);
            o.setAccessibleName("Memory " + std::to_string(c) + " " + ops[r]);
        }
    }
    addLabel(*this, LblMem, "LblMem", 3, "Custom", &m, kPad, centred(customY, kLblH), OptionGrid::labelW - 40);
    constexpr int customW = 660, customGap = 30;
    for (int i = 0; i < 3; ++i) {
        auto& b = CustomMem.add(i, *this, "CustomMem", ops[i]);
        place(b, &m, OptionGrid::colX(0) + i * (customW + customGap), customY, customW, kCtlH);
        b.setAccessibleName(std::string("Custom ") + ops[i]);
    }

    // Presets (pan-tilt cameras): columns numbered 1 to 6 for indexes 0 to 5.
    // The frame's place in the right column is set by buildColour.
    Frame& p = FmPreset;
    p.setGeometry(kCol3, 0, kCol3W, OptionGrid::bottom + kBottomPad);
    for (int c = 0; c <= 5; ++c) {
        addLabel(*this, LblCh, "LblCh", 11 - c, std::to_string(c + 1), &p, OptionGrid::colX(c), OptionGrid::headerY,
                 OptionGrid::colW, true);
    }
    ControlArray<OptionButton>* presetRows[] = {&PresetSet, &PresetRecall, &PresetReset};
    for (int r = 0; r < 3; ++r) {
        const int y = OptionGrid::rowY(r);
        addLabel(*this, LblPRS, "LblPRS", r, ops[r], &p, kPad, y + (OptionGrid::optH - kLblH) / 2,
                 OptionGrid::labelW - 40);
        const char* name = r == 0 ? "PresetSet" : r == 1 ? "PresetRecall" : "PresetReset";
        for (int c = 0; c <= 5; ++c) {
            auto& o = presetRows[r]->add(c, *this, name, "");
            place(o, &p, OptionGrid::colX(c) + (OptionGrid::colW - OptionGrid::optW) / 2, y, OptionGrid::optW,
                  OptionGrid::optH);
            o.setAccessibleName("Preset " + std::to_string(c + 1) + " " + ops[r]);
        }
    }
}

// ---------------------------------------------------------------------------
// Middle column: zoom, digital zoom, focus
// ---------------------------------------------------------------------------

void FrmMain::buildLens() {
    constexpr int valueW = 740;
    const QuantityColumns cols = quantityColumns(kCol2W, valueW);

    // Lens Control: zoom position, drive at the chosen speeds, end positions.
    constexpr int zDrive = kFirstRow + kLineB + kCtlH + kRowGap;
    constexpr int zEnds = zDrive + kRowPitch;
    FmZoom.setGeometry(kCol2, kTop, kCol2W, zEnds + kCtlH + kBottomPad);
    Frame& z = FmZoom;
    Label& zName = addLabel(*this, LblZoom, "LblZoom", 0, "Zoom", &z, 0, 0, 0);
    Label& zWide = addLabel(*this, LblZoom, "LblZoom", 1, "Wide", &z, 0, 0, 0, true);
    Label& zTele = addLabel(*this, LblZoom, "LblZoom", 2, "Tele", &z, 0, 0, 0, true);
    Label& zSpeed = addLabel(*this, LblZoom, "LblZoom", 3, "Speed", &z, 0, 0, 0);
    captionLine(z, valueW, kFirstRow, zName);
    placeQuantity(z, valueW, kFirstRow, {&zWide, ZoomSlider, &zTele, ZoomValue});
    place(ZoomSliderShort, &z, ZoomSlider.left(), ZoomSlider.top(), ZoomSlider.width(), ZoomSlider.height());
    ZoomSlider.setSteps(1, 0x1000, 0x1000);
    ZoomSliderShort.setSteps(1, 0x1000, 0x1000);
    ZoomSlider.setAccessibleName("Zoom");
    ZoomSliderShort.setAccessibleName("Zoom");
    // The two zoom sliders share one place; the digital-zoom state decides
    // which one is shown. Digital zoom starts off: the short range.
    ZoomSlider.setVisible(false);
    valueBox(ZoomValue, "Zoom");
    driveRow(z, zDrive, ZoomWide, WideSpeed, UpDown2, zSpeed, TeleSpeed, UpDown1, ZoomTele);
    speedBox(WideSpeed, UpDown2, "Zoom wide speed");
    speedBox(TeleSpeed, UpDown1, "Zoom tele speed");
    ZoomWide.setAccessibleName("Zoom Wide");
    ZoomTele.setAccessibleName("Zoom Tele");
    ZoomWide.setToolTip("Hold to zoom out at the speed beside it (0-7)");
    ZoomTele.setToolTip("Hold to zoom in at the speed beside it (0-7)");
    constexpr int endW = 900;
    place(WideT, &z, kPad, zEnds, endW, kCtlH);
    place(DZoom, &z, kPad + endW + 120, centred(zEnds, kLblH), kCol2W - 2 * kPad - 2 * endW - 240, kLblH);
    place(FarT, &z, kCol2W - kPad - endW, zEnds, endW, kCtlH);
    WideT.setAccessibleName("Zoom to Wide End");
    FarT.setAccessibleName("Zoom to Tele End");

    // D-Zoom: mode, drive at the chosen speeds, position.
    constexpr int dDrive = kFirstRow + kRowPitch;
    constexpr int dPos = dDrive + kRowPitch;
    FmDZoom.setGeometry(kCol2, FmZoom.top() + FmZoom.height() + kFrameGap, kCol2W, dPos + kCtlH + kBottomPad);
    Frame& d = FmDZoom;
    constexpr int modeLblW = 820, modeW = 920;
    addLabel(*this, LblDZoom, "LblDZoom", 0, "D- Zoom Mode", &d, kPad, centred(kFirstRow, kLblH), modeLblW);
    auto& combine = DZoomMode.add(0, *this, "DZoomMode", "Combine Mode");
    auto& separate = DZoomMode.add(1, *this, "DZoomMode", "Separate Mode");
    place(separate, &d, kCol2W - kPad - modeW, kFirstRow, modeW, kCtlH);
    place(combine, &d, separate.left() - 40 - modeW, kFirstRow, modeW, kCtlH);
    Label& dSpeed = addLabel(*this, LblDZoom, "LblDZoom", 1, "Speed", &d, 0, 0, 0);
    driveRow(d, dDrive, DZoomWide, DWideSpeed, UpDown6, dSpeed, DTeleSpeed, UpDown5, DZoomTele);
    speedBox(DWideSpeed, UpDown6, "D-Zoom wide speed");
    speedBox(DTeleSpeed, UpDown5, "D-Zoom tele speed");
    DZoomWide.setAccessibleName("D-Zoom Wide");
    DZoomTele.setAccessibleName("D-Zoom Tele");
    DZoomWide.setToolTip("Hold to zoom out digitally at the speed beside it (0-7)");
    DZoomTele.setToolTip("Hold to zoom in digitally at the speed beside it (0-7)");
    // X1/MAX under the wide button, the slider and the value box aligned
    // with the zoom value above.
    place(DZoomX, &d, kPad, dPos, 560, kCtlH);
    DZoomX.setAccessibleName("D-Zoom X1 or MAX");
    place(DZoomSlider, &d, kPad + 560 + kSliderGap, dPos, cols.valueX - kValueGap - (kPad + 560 + kSliderGap),
          kCtlH);
    place(DZoomValue, &d, cols.valueX, dPos, valueW, kCtlH);
    DZoomSlider.setSteps(1, 47, 20);
    DZoomSlider.setAccessibleName("D-Zoom");
    valueBox(DZoomValue, "D-Zoom");

    // Focus: position, drive at the chosen speeds, near limit, modes, AF settings.
    constexpr int fDrive = kFirstRow + kLineB + kCtlH + kRowGap;
    constexpr int fLimit = fDrive + kRowPitch;
    constexpr int fModes = fLimit + kRowPitch;
    constexpr int fManual = fModes + kRowPitch;
    constexpr int fSens = fManual + kRowPitch;
    constexpr int fTimes = fSens + kRowPitch;
    FmFocus.setGeometry(kCol2, FmDZoom.top() + FmDZoom.height() + kFrameGap, kCol2W, fTimes + kCtlH + kBottomPad);
    Frame& f = FmFocus;
    auto lbl = [&](int i, const char* caption) -> Label& {
        return addLabel(*this, LblFocus, "LblFocus", i, caption, &f, 0, 0, 0);
    };
    Label& fName = lbl(0, "Focus");
    Label& fFar = lbl(1, "Far");
    Label& fNear = lbl(2, "Near");
    fFar.setCentered(true);
    fNear.setCentered(true);
    captionLine(f, valueW, kFirstRow, fName);
    // Positions run from far (infinity) at the low end to near at the high end.
    placeQuantity(f, valueW, kFirstRow, {&fFar, FocusSlider, &fNear, FocusValue});
    place(LblFstate, &f, cols.valueX, kFirstRow, valueW, kLblH);
    LblFstate.setCentered(true);
    FocusSlider.setSteps(1, 0x1000, 0x1000);
    FocusSlider.setAccessibleName("Focus");
    valueBox(FocusValue, "Focus");
    driveRow(f, fDrive, Far, FarSpeed, UpDown3, lbl(3, "Speed"), NearSpeed, UpDown4, Near);
    speedBox(FarSpeed, UpDown3, "Focus far speed");
    speedBox(NearSpeed, UpDown4, "Focus near speed");
    Far.setAccessibleName("Focus Far");
    Near.setAccessibleName("Focus Near");
    Far.setToolTip("Hold to focus farther at the speed beside it (0-7)");
    Near.setToolTip("Hold to focus nearer at the speed beside it (0-7)");

    constexpr int limitLblW = 900;
    Label& limit = lbl(4, "Near Limit");
    place(limit, &f, kPad, centred(fLimit, kLblH), limitLblW, kLblH);
    place(FocusNearLimitSlider, &f, kPad + limitLblW + 40, fLimit, kCol2W - 2 * kPad - limitLblW - 40, kCtlH);
    FocusNearLimitSlider.setSteps(0x100, 0x1000, 0x1000);
    FocusNearLimitSlider.setValue(0xC000);
    FocusNearLimitSlider.setAccessibleName("Near Limit");

    // Auto and its three sub-modes in one row, then the manual actions.
    const char* modes[] = {"Auto", "Normal", "Interval AF", "ZoomTrigger"};
    const int modeWidths[] = {500, 600, 780, 780};
    int x = kPad;
    for (int i = 0; i <= 3; ++i) {
        auto& b = AFModeCmd.add(i, *this, "AFModeCmd", modes[i]);
        place(b, &f, x, fModes, modeWidths[i], kCtlH);
        x += modeWidths[i] + 20;
    }
    AFModeCmd[0].setAccessibleName("Auto Focus");
    AFModeCmd[1].setAccessibleName("AF Normal");
    AFModeCmd[2].setAccessibleName("AF Interval");
    AFModeCmd[3].setAccessibleName("AF Zoom Trigger");
    constexpr int manW = 880;
    place(ManAFMode, &f, kPad, fManual, manW, kCtlH);
    place(AFTrig, &f, kPad + manW + 40, fManual, manW, kCtlH);
    place(Infinity, &f, kPad + 2 * (manW + 40), fManual, manW, kCtlH);

    place(lbl(5, "AF Sens"), &f, kPad, centred(fSens, kLblH), 700, kLblH);
    place(AF_Sens, &f, kPad + 720, centred(fSens, kLblH), 1200, kLblH);
    AF_Sens.setAccessibleName("AF Sens");

    constexpr int timeW = 360;
    place(lbl(6, "Active"), &f, kPad, centred(fTimes, kLblH), 500, kLblH);
    place(AFacttime, &f, kPad + 520, fTimes, timeW, kCtlH);
    place(lbl(7, "Interval"), &f, kPad + 980, centred(fTimes, kLblH), 620, kLblH);
    place(AFintTime, &f, kPad + 1620, fTimes, timeW, kCtlH);
    place(ACTAFmodeset, &f, kCol2W - kPad - 600, fTimes, 600, kCtlH);
    for (TextBox* t : {&AFacttime, &AFintTime}) {
        t->setMaxLength(2);
        t->setCentered(true);
    }
    AFacttime.setAccessibleName("AF active time");
    AFintTime.setAccessibleName("AF interval time");
    AFacttime.setToolTip("AF active time: two hexadecimal digits, sent with Set");
    AFintTime.setToolTip("AF interval time: two hexadecimal digits, sent with Set");
    ACTAFmodeset.setAccessibleName("Set AF times");
}

// ---------------------------------------------------------------------------
// Right column: white balance, aperture, vertical phase, presets, pan-tilt window
// ---------------------------------------------------------------------------

void FrmMain::buildColour() {
    constexpr int valueW = 640;
    const QuantityColumns cols = quantityColumns(kCol3W, valueW);
    auto name = [&](int i, const char* caption, Frame& f) -> Label& {
        return addLabel(*this, LblWbApVp, "LblWbApVp", i, caption, &f, 0, 0, 0);
    };
    auto quantity = [&](Frame& f, int y, Label& lb, Button& down, Slider& s, Button& up, TextBox& value) {
        captionLine(f, valueW, y, lb);
        placeQuantity(f, valueW, y, {&down, s, &up, value});
        stepNames(down, up, lb.caption(), "Down", "Up");
        s.setAccessibleName(lb.caption());
        valueBox(value, lb.caption());
    };
    // Buttons of a frame's last row end under the value boxes.
    auto actionRow = [&](Frame& f, int y, Button& reset, Button* other, int otherW) {
        place(reset, &f, cols.valueX, y, valueW, kCtlH);
        if (other) place(*other, &f, cols.valueX - 40 - otherW, y, otherW, kCtlH);
    };

    // WhiteBalance: red and blue gain, reset and the one-push trigger.
    constexpr int wbButtons = kFirstRow + kQtyPitch + kLineB + kCtlH + kRowGap;
    FmWB.setGeometry(kCol3, kTop, kCol3W, wbButtons + kCtlH + kBottomPad);
    quantity(FmWB, kFirstRow, name(0, "R-Gain", FmWB), RGainDown, RGainSlider, RGainUp, RGValue);
    quantity(FmWB, kFirstRow + kQtyPitch, name(1, "B-Gain", FmWB), BGainDown, BGainSlider, BGainUp, BGValue);
    for (Slider* s : {&RGainSlider, &BGainSlider}) {
        s->setSteps(1, 32, 32);
        s->setValue(128);
    }
    actionRow(FmWB, wbButtons, RBReset, &WBTrigger, 1400);
    RBReset.setAccessibleName("R/B Gain Reset");

    // Aperture Control and V-Phase: one quantity and their buttons.
    constexpr int oneButtons = kFirstRow + kLineB + kCtlH + kRowGap;
    constexpr int oneH = oneButtons + kCtlH + kBottomPad;
    FmAPC.setGeometry(kCol3, FmWB.top() + FmWB.height() + kFrameGap, kCol3W, oneH);
    quantity(FmAPC, kFirstRow, name(2, "Aperture", FmAPC), ApertureDown, ApertureSlider, ApertureUp, ApertureValue);
    ApertureSlider.setSteps(1, 1, 1);
    actionRow(FmAPC, oneButtons, ApertureReset, nullptr, 0);
    ApertureReset.setAccessibleName("Aperture Reset");

    Frame5.setGeometry(kCol3, FmAPC.top() + FmAPC.height() + kFrameGap, kCol3W, oneH);
    quantity(Frame5, kFirstRow, name(3, "Phase", Frame5), VPDown, VPSlider, VPUp, VPValue);
    VPSlider.setSteps(1, 8, 16);
    actionRow(Frame5, oneButtons, VPreset, &VP0180, 1000);
    VPreset.setAccessibleName("Phase Reset");
    VPDown.setToolTip("Hold to move the phase down");
    VPUp.setToolTip("Hold to move the phase up");
    VP0180.setAccessibleName("Phase 0 or 180 degree");

    // Preset (built with the memory grid) and the pan-tilt window's buttons.
    FmPreset.setTop(Frame5.top() + Frame5.height() + kFrameGap);
    constexpr int ptwW = 880, ptwGap = 50;
    FmPTWindowM.setGeometry(kCol3, FmPreset.top() + FmPreset.height() + kFrameGap, kCol3W,
                            kFirstRow + kCtlH + kBottomPad);
    place(PTWSizeM, &FmPTWindowM, kPad, kFirstRow, ptwW, kCtlH);
    place(PTWDockingM, &FmPTWindowM, kPad + ptwW + ptwGap, kFirstRow, ptwW, kCtlH);
    place(PTWCloseM, &FmPTWindowM, kPad + 2 * (ptwW + ptwGap), kFirstRow, ptwW, kCtlH);
    PTWSizeM.setAccessibleName("Pan/Tilt window size");
    PTWDockingM.setAccessibleName("Pan/Tilt window docking");
    PTWCloseM.setAccessibleName("Pan/Tilt window open or close");
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
    for (Control* c : order) appendToTabOrder(*c);
    static_assert(kTop > 600 && kClientHeight > kTop, "frames start under the status row");
}

}  // namespace orbus
