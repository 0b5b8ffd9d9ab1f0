// The main window's model-dependent state as drawn.
#pragma once

#include <string>
#include <vector>

#include "platform/form.h"

namespace orbus {

class FrmMain;

// The model-dependent state of the main window as drawn, before any camera
// was identified: what a camera of the other series, or another block
// model, is laid out from. Covers what the model layouts, the block rows,
// the label profiles and the model-specific decoding change: visibility and
// enabling, slider ranges, the BackLight row, the AF sensitivity caption,
// the window's caption and icon, and the pan-tilt drive frame. The main
// window's model layouts know those controls (app/frm_main_models.cpp).
class DesignLayout {
public:
    void capture(FrmMain& m, Form& panTilt);
    void restore() const;

private:
    struct Entry {
        Control* control;
        bool visible, enabled;
        int min = 0, max = 0;
    };
    std::vector<Entry> entries_;
    FrmMain* main_ = nullptr;
    Control* panTiltFrame_ = nullptr;
    bool panTiltFrameEnabled_ = true;
    int backLightTop_ = 0;
    std::string afSensCaption_, caption_, icon_;
};

}  // namespace orbus
