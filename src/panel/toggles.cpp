// Switches of the main window: menu items that toggle their check mark,
// buttons whose caption changes with each click, the camera menu's off
// item, synchronisation, the D-SUB output and the aspect mode.
#include "panel/main_window.h"
#include "panel/runner.h"

namespace orbus::panel {

namespace {

// A caption toggle: caption `a` becomes `b`, any other caption becomes `a`.
struct CaptionToggle {
    Button FrmMainControls::*button;
    const char* a;
    const char* b;
};

const CaptionToggle kCaptionToggles[] = {
    {&FrmMainControls::CmdAutoICR, "OFF", "ON"},       // names the state in force
    {&FrmMainControls::Comstabi, "ON", "OFF"},         // names what the next click does
    {&FrmMainControls::VP0180, "0 degree", "180 degree"},  // names the phase the next click sets
    {&FrmMainControls::DZoomX, "X1", "MAX"},
};

MenuItem FrmMainControls::*const kCheckToggles[] = {
    &FrmMainControls::KeyLock,     &FrmMainControls::Mute,       &FrmMainControls::Freese,      &FrmMainControls::LR_Reverse,
    &FrmMainControls::PictureFlip, &FrmMainControls::DataScreen, &FrmMainControls::DateDisplay, &FrmMainControls::TimeDisplay,
    &FrmMainControls::IFMDmode,    &FrmMainControls::TitleOnOff,
};

}  // namespace

void wireToggles(MainWindow& m) {
    for (const CaptionToggle& t : kCaptionToggles) {
        Button& b = m.*t.button;
        onEvent(m, b, Event::Click, [&b, &t] { b.setCaption(b.caption() == t.a ? t.b : t.a); });
    }
    for (MenuItem FrmMainControls::*item : kCheckToggles) {
        MenuItem& it = m.*item;
        onEvent(m, it, Event::Click, [&it] { it.setChecked(!it.checked()); });
    }
    // The status read enables the item again while the camera shows its menu.
    onEvent(m, m.MenuOff, Event::Click, [&m] { m.MenuOff.setEnabled(false); });
    const std::vector<MenuItem*> sync = {&m.Internal, &m.LineLock};
    for (MenuItem* it : sync) onEvent(m, *it, Event::Click, [sync, it] { markGroup(sync, it, true); });
    // The D-SUB output's own mark comes with the next status read.
    const std::vector<MenuItem*> dsub = {&m.State3, &m.DsubVD};
    for (MenuItem* it : dsub) onEvent(m, *it, Event::Click, [dsub, it] { markGroup(dsub, it, false); });
    // Normal aspect leaves the wide items as they are.
    onEvent(m, m.Normal, Event::Click, [&m] { m.Normal.setChecked(true); });
}

}  // namespace orbus::panel
