// The middle column of the main window: zoom, digital zoom and focus.
#include <string>
#include <vector>

#include "app/frm_main_layout.h"

namespace orbus {

using namespace main_layout;

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

}  // namespace orbus
