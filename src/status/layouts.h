// Layout table of the pan-tilt models.
#pragma once

#include <string>
#include <vector>

#include "platform/form.h"
#include "status/model_code.h"

namespace orbus {

class FrmMain;


// Applies the model's column of the layout table (visibility, slider maxima,
// the BackLight row and the AF sensitivity caption).
void applyModelLayout(FrmMain& m, PanTiltModel model);

// Object names the layout table refers to (they must all exist).
std::vector<std::string> layoutControlNames();

// The model-dependent state of the main window as drawn, before any camera
// was identified: what a camera of the other series, or another block
// model, is laid out from. Covers what the model layouts, the block rows,
// the label profiles and the model-specific decoding change: visibility and
// enabling, slider ranges, the BackLight row, the AF sensitivity caption,
// the window's caption and icon, and the pan-tilt drive frame.
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
    double backLightTop_ = 0;
    std::string afSensCaption_, caption_, icon_;
};

}  // namespace orbus
