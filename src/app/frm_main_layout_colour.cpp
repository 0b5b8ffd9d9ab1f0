// The right column of the main window: white balance, aperture, vertical
// phase, the presets of pan-tilt cameras and the pan-tilt window buttons.
#include <string>
#include <vector>

#include "app/frm_main_layout.h"

namespace orbus {

using namespace main_layout;

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

}  // namespace orbus
