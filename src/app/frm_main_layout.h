// Geometry and placing helpers shared by the files that build the main
// window's controls (frm_main_layout*.cpp). All geometry is in twips.
#pragma once

#include <string>

#include "app/frm_main.h"

namespace orbus::main_layout {

// Client area of the window at its default size, less a margin.
inline constexpr int kClientWidth = 11880;
inline constexpr int kClientHeight = 7700;

// Columns of frames.
inline constexpr int kTop = 720;  // under the status row
inline constexpr int kFrameGap = 120;
inline constexpr int kCol1 = 120, kCol1W = 2960;
inline constexpr int kCol2 = 3140, kCol2W = 2920;
inline constexpr int kCol3 = 6120, kCol3W = 2940;
inline constexpr int kLogLeft = 9180, kLogWidth = 2535;  // three boxes of equal width

// Inside a frame.
inline constexpr int kPad = 100;        // left and right margin
inline constexpr int kFirstRow = 270;   // first row under the frame's caption
inline constexpr int kBottomPad = 90;   // under the last row
inline constexpr int kCtlH = 280;       // buttons, text boxes, sliders
inline constexpr int kLblH = 230;       // labels and check boxes
inline constexpr int kRowGap = 60;      // between rows
inline constexpr int kRowPitch = kCtlH + kRowGap;
inline constexpr int kLineB = kLblH;     // from a quantity's caption line to its controls
inline constexpr int kQtyPitch = 540;   // quantity rows
inline constexpr int kStepW = 380;      // step buttons and the end labels of a slider
inline constexpr int kSliderGap = 40;   // between a step button and its slider
inline constexpr int kValueGap = 60;    // between the upper step button and the value box

// Top that centres a control of height h in a row of buttons at y.
constexpr int centred(int y, int h) { return y + (kCtlH - h) / 2; }

inline void place(Control& c, Control* container, int l, int t, int w, int h) {
    c.setContainer(container);
    c.setGeometry(l, t, w, h);
}

inline Label& addLabel(Form& form, ControlArray<Label>& arr, const char* name, int i, const std::string& caption,
                Control* container, int l, int t, int w, bool centre = false) {
    Label& lb = arr.add(i, form, name, caption);
    place(lb, container, l, t, w, kLblH);
    lb.setCentered(centre);
    return lb;
}

inline void valueBox(TextBox& b, const std::string& name) {
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

inline QuantityColumns quantityColumns(int frameW, int valueW) {
    QuantityColumns q{};
    q.valueW = valueW;
    q.valueX = frameW - kPad - valueW;
    q.highX = q.valueX - kValueGap - kStepW;
    q.lowX = kPad;
    q.sliderX = q.lowX + kStepW + kSliderGap;
    q.sliderW = q.highX - kSliderGap - q.sliderX;
    return q;
}

inline void placeQuantity(Frame& f, int valueW, int y, const Quantity& q) {
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
inline void captionLine(Frame& f, int valueW, int y, Label& name, Label* low = nullptr, Label* high = nullptr) {
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

inline void stepNames(Button& down, Button& up, const std::string& quantity, const std::string& downWord,
               const std::string& upWord) {
    down.setAccessibleName(quantity + " " + downWord);
    up.setAccessibleName(quantity + " " + upWord);
}

// Press-and-hold drive row: [low button][speed][arrows]  Speed  [speed][arrows][high button].
inline void driveRow(Frame& f, int y, Button& low, TextBox& lowSpeed, UpDown& lowArrows, Label& speed,
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

inline void speedBox(TextBox& box, UpDown& arrows, const std::string& name) {
    box.setCentered(true);
    box.setAccessibleName(name);
    arrows.setAccessibleName(name + " arrows");
}

// Grid of option buttons: a header line of column numbers, then one row per
// operation, six columns (index 0..5 left to right).
struct OptionGrid {
    static constexpr int labelW = 700;
    static constexpr int colW = 340;
    static constexpr int optW = 300;
    static constexpr int pitch = 290;
    static constexpr int optH = 250;
    static constexpr int headerY = kFirstRow;
    static constexpr int firstRowY = headerY + 250;
    static constexpr int rowY(int r) { return firstRowY + r * pitch; }
    static constexpr int colX(int c) { return kPad + labelW + c * colW; }
    static constexpr int bottom = firstRowY + 2 * pitch + optH;
};

}  // namespace orbus::main_layout
