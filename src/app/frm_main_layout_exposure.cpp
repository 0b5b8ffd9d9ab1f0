// The left column of the main window: exposure, the infrared-cut filter
// and stabilizer buttons under it, and the memory of block cameras.
#include <string>
#include <vector>

#include "app/frm_main_layout.h"

namespace orbus {

using namespace main_layout;

namespace {

// Rows of the AE frame: five quantities, then the check boxes.
constexpr int aeRow(int i) { return kFirstRow + i * kQtyPitch; }
constexpr int kAeExpCompRow = aeRow(4);
constexpr int kAeCheckRow = kAeExpCompRow + kLineB + kCtlH + 40;
static_assert(FrmMain::kBackLightTopRaised == kAeExpCompRow + kLineB,
              "BackLight raised sits where the exposure-compensation slider was");
static_assert(FrmMain::kBackLightTopNormal == kAeCheckRow, "BackLight normally sits in the check-box row");

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

}  // namespace orbus
