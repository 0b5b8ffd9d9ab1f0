// Every command of the main window, operated as the operator does, puts
// exactly its packet on the wire, for camera 1 and for camera 7. The
// expected packets are written out here by hand ("8x" is the header).
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "camera.h"
#include "link/packet.h"
#include "panel/commands.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

struct Case {
    const char* key;  // "Control Event" of the command exercised
    std::function<void(Rig&, FrmMain&)> act;
    std::vector<std::string> packets;
};

using Act = std::function<void(Rig&, FrmMain&)>;

Act click(Button FrmMain::*b) {
    return [b](Rig&, FrmMain& m) { (m.*b).click(); };
}
Act click(MenuItem FrmMain::*it, bool checkedBefore = false) {
    return [it, checkedBefore](Rig&, FrmMain& m) {
        (m.*it).setChecked(checkedBefore);
        (m.*it).click();
    };
}
// A check box clicked from the state given: the click flips it.
Act toggle(CheckBox FrmMain::*c, bool checkedBefore) {
    return [c, checkedBefore](Rig&, FrmMain& m) {
        (m.*c).setValue(checkedBefore ? 1 : 0);
        (m.*c).click();
    };
}
Act clickAt(ControlArray<Button> FrmMain::*a, int i) {
    return [a, i](Rig&, FrmMain& m) { (m.*a)[i].click(); };
}
Act pick(ControlArray<OptionButton> FrmMain::*a, int i) {
    return [a, i](Rig&, FrmMain& m) { (m.*a)[i].click(); };
}
Act captioned(Button FrmMain::*b, const char* caption) {
    return [b, caption](Rig&, FrmMain& m) {
        (m.*b).setCaption(caption);
        (m.*b).click();
    };
}
Act press(Button FrmMain::*b, TextBox FrmMain::*speed = nullptr, const char* text = "") {
    return [b, speed, text](Rig&, FrmMain& m) {
        if (speed) (m.*speed).setText(text);
        (m.*b).mouseDown();
    };
}
Act release(Button FrmMain::*b) {
    return [b](Rig&, FrmMain& m) { (m.*b).mouseUp(); };
}
Act scroll(Slider FrmMain::*s, int v) {
    return [s, v](Rig&, FrmMain& m) { (m.*s).scrollTo(v); };
}
// Thumb already at v, released.
Act letGo(Slider FrmMain::*s, int v) {
    return [s, v](Rig&, FrmMain& m) {
        (m.*s).setValue(v);
        (m.*s).mouseUp();
    };
}

// The button clicked while the check box shows the state given.
Act toggleThen(CheckBox FrmMain::*c, bool checked, Button FrmMain::*b) {
    return [c, checked, b](Rig&, FrmMain& m) {
        (m.*c).setValue(checked ? 1 : 0);
        (m.*b).click();
    };
}
Act onModel(PanTiltModel model, const Act& act) {
    return [model, act](Rig& r, FrmMain& m) {
        r.link().ModelCode = model;
        act(r, m);
    };
}
Act afTimes(const char* active, const char* interval) {
    return [active, interval](Rig&, FrmMain& m) {
        m.AFacttime.setText(active);
        m.AFintTime.setText(interval);
        m.ACTAFmodeset.click();
    };
}

using M = FrmMain;

std::vector<Case> cases() {
    return {
        // ---- exposure
        {"FullAuto Click", click(&M::FullAuto), {"8x 01 04 39 00 FF"}},
        {"Manual Click", click(&M::Manual), {"8x 01 04 39 03 FF"}},
        {"ShutterPriority Click", click(&M::ShutterPriority), {"8x 01 04 39 0A FF"}},
        {"IrisPriority Click", click(&M::IrisPriority), {"8x 01 04 39 0B FF"}},
        {"GainPriority Click", click(&M::GainPriority), {"8x 01 04 39 0C FF"}},
        {"Bright Click",
         [](Rig& r, FrmMain& m) {
             r.program->modes.LastAEMode = 0x00;
             m.Bright.click();
         },
         {"8x 01 04 39 0D FF"}},
        {"ShutterAuto Click", click(&M::ShutterAuto), {"8x 01 04 39 1A FF"}},
        {"IrisAuto Click", click(&M::IrisAuto), {"8x 01 04 39 1B FF"}},
        {"GainAuto Click", click(&M::GainAuto), {"8x 01 04 39 1C FF"}},
        {"AESpotLight Click", click(&M::AESpotLight), {"8x 01 04 39 10 FF"}},
        {"IrisOpen Click", click(&M::IrisOpen), {"8x 01 04 0B 02 FF"}},
        {"IrisClose Click", click(&M::IrisClose), {"8x 01 04 0B 03 FF"}},
        {"GainUp Click", click(&M::GainUp), {"8x 01 04 0C 02 FF"}},
        {"GainDown Click", click(&M::GainDown), {"8x 01 04 0C 03 FF"}},
        {"ShutterFast Click", click(&M::ShutterFast), {"8x 01 04 0A 02 FF"}},
        {"ShutterSlow Click", click(&M::ShutterSlow), {"8x 01 04 0A 03 FF"}},
        {"BrightUp Click", click(&M::BrightUp), {"8x 01 04 0D 02 FF"}},
        {"BrightDown Click", click(&M::BrightDown), {"8x 01 04 0D 03 FF"}},
        {"ExpCompUp Click", click(&M::ExpCompUp), {"8x 01 04 0E 02 FF"}},
        {"ExpCompDown Click", click(&M::ExpCompDown), {"8x 01 04 0E 03 FF"}},
        {"ExpComp Click", toggle(&M::ExpComp, false), {"8x 01 04 3E 02 FF"}},
        {"ExpComp Click", toggle(&M::ExpComp, true), {"8x 01 04 3E 03 FF"}},
        {"BackLight Click", toggle(&M::BackLight, false), {"8x 01 04 33 02 FF"}},
        {"BackLight Click", toggle(&M::BackLight, true), {"8x 01 04 33 03 FF"}},
        {"AutoSlowShutter Click", toggle(&M::AutoSlowShutter, false), {"8x 01 04 5A 02 FF"}},
        {"AutoSlowShutter Click", toggle(&M::AutoSlowShutter, true), {"8x 01 04 5A 03 FF"}},
        {"ASSL0 Click", click(&M::ASSL0), {"8x 01 04 2A 00 00 FF"}},
        {"ASSL1 Click", click(&M::ASSL1), {"8x 01 04 2A 01 00 FF"}},
        {"ASSL2 Click", click(&M::ASSL2), {"8x 01 04 2A 02 00 FF"}},
        {"IrisSlider Scroll", scroll(&M::IrisSlider, 0x11), {"8x 01 04 4B 00 00 01 01 FF"}},
        {"GainSlider Scroll", scroll(&M::GainSlider, 9), {"8x 01 04 4C 00 00 00 09 FF"}},
        {"ShutterSlider Scroll", scroll(&M::ShutterSlider, 0x15), {"8x 01 04 4A 00 00 01 05 FF"}},
        {"BrightSlider Scroll", scroll(&M::BrightSlider, 0x1F), {"8x 01 04 4D 00 00 01 0F FF"}},
        {"ExpCompSlider Scroll", scroll(&M::ExpCompSlider, 0x0E), {"8x 01 04 4E 00 00 00 0E FF"}},
        {"ExpCompSlider Scroll", scroll(&M::ExpCompSlider, 0), {"8x 01 04 4E 00 00 00 00 FF"}},

        // ---- zoom, digital zoom, focus
        {"ZoomTele MouseDown", press(&M::ZoomTele, &M::TeleSpeed, "3"), {"8x 01 04 07 23 FF"}},
        {"ZoomTele MouseUp", release(&M::ZoomTele), {"8x 01 04 07 00 FF"}},
        {"ZoomWide MouseDown", press(&M::ZoomWide, &M::WideSpeed, "5"), {"8x 01 04 07 35 FF"}},
        {"ZoomWide MouseUp", release(&M::ZoomWide), {"8x 01 04 07 00 FF"}},
        {"FarT Click", toggleThen(&M::DZoom, false, &M::FarT), {"8x 01 04 47 04 00 00 00 FF"}},
        {"FarT Click", toggleThen(&M::DZoom, true, &M::FarT), {"8x 01 04 47 08 0B 0E 00 FF"}},
        {"WideT Click", click(&M::WideT), {"8x 01 04 47 00 00 00 00 FF"}},
        {"ZoomSlider Scroll", scroll(&M::ZoomSlider, 0x7000), {"8x 01 04 47 07 00 00 00 FF"}},
        {"ZoomSlider MouseUp", letGo(&M::ZoomSlider, 0x1234), {"8x 01 04 47 01 02 03 04 FF"}},
        {"ZoomSliderShort Scroll", scroll(&M::ZoomSliderShort, 0x2345), {"8x 01 04 47 02 03 04 05 FF"}},
        {"ZoomSliderShort MouseUp", letGo(&M::ZoomSliderShort, 0x4000), {"8x 01 04 47 04 00 00 00 FF"}},
        {"DZoomTele MouseDown", press(&M::DZoomTele, &M::DTeleSpeed, "7"), {"8x 01 04 06 27 FF"}},
        {"DZoomTele MouseUp", release(&M::DZoomTele), {"8x 01 04 06 00 FF"}},
        {"DZoomWide MouseDown", press(&M::DZoomWide, &M::DWideSpeed, "0"), {"8x 01 04 06 30 FF"}},
        {"DZoomWide MouseUp", release(&M::DZoomWide), {"8x 01 04 06 00 FF"}},
        {"DZoomSlider Scroll", scroll(&M::DZoomSlider, 0xEB), {"8x 01 04 46 00 00 0E 0B FF"}},
        {"DZoomSlider MouseUp", letGo(&M::DZoomSlider, 0x5A), {"8x 01 04 46 00 00 05 0A FF"}},
        {"DZoom Click", toggle(&M::DZoom, false), {"8x 01 04 06 02 FF"}},
        {"DZoom Click", toggle(&M::DZoom, true), {"8x 01 04 06 03 FF"}},
        {"DZoomX Click", captioned(&M::DZoomX, "X1"), {"8x 01 04 06 10 FF"}},
        {"DZoomX Click", captioned(&M::DZoomX, "MAX"), {"8x 01 04 06 10 FF"}},
        {"DZoomMode Click", clickAt(&M::DZoomMode, 0), {"8x 01 04 36 00 FF"}},
        {"DZoomMode Click", clickAt(&M::DZoomMode, 1), {"8x 01 04 36 01 FF"}},
        {"DZL0 Click", click(&M::DZL0), {"8x 01 04 26 00 FF"}},
        {"DZL1 Click", click(&M::DZL1), {"8x 01 04 26 01 FF"}},
        {"DZL2 Click", click(&M::DZL2), {"8x 01 04 26 02 FF"}},
        {"DZL3 Click", click(&M::DZL3), {"8x 01 04 26 03 FF"}},
        {"Far MouseDown", press(&M::Far, &M::FarSpeed, "2"), {"8x 01 04 08 22 FF"}},
        {"Far MouseDown", onModel(PanTiltModel::Alpha, press(&M::Far, &M::FarSpeed, "6")), {"8x 01 04 08 02 FF"}},
        {"Far MouseUp", release(&M::Far), {"8x 01 04 08 00 FF"}},
        {"Near MouseDown", press(&M::Near, &M::NearSpeed, "7"), {"8x 01 04 08 37 FF"}},
        {"Near MouseDown", onModel(PanTiltModel::Alpha, press(&M::Near, &M::NearSpeed, "7")), {"8x 01 04 08 03 FF"}},
        {"Near MouseUp", release(&M::Near), {"8x 01 04 08 00 FF"}},
        {"FocusSlider Scroll", scroll(&M::FocusSlider, 0xC000), {"8x 01 04 48 0C 00 00 00 FF"}},
        {"FocusSlider MouseUp", letGo(&M::FocusSlider, 0x1000), {"8x 01 04 48 01 00 00 00 FF"}},
        {"FocusNearLimitSlider Scroll", scroll(&M::FocusNearLimitSlider, 0x1000), {"8x 01 04 28 01 00 00 00 FF"}},
        {"AFModeCmd Click", clickAt(&M::AFModeCmd, 0), {"8x 01 04 38 02 FF"}},
        {"AFModeCmd Click", clickAt(&M::AFModeCmd, 1), {"8x 01 04 57 00 FF"}},
        {"AFModeCmd Click", clickAt(&M::AFModeCmd, 2), {"8x 01 04 57 01 FF"}},
        {"AFModeCmd Click", clickAt(&M::AFModeCmd, 3), {"8x 01 04 57 02 FF"}},
        {"ManAFMode Click", click(&M::ManAFMode), {"8x 01 04 38 03 FF"}},
        {"AFTrig Click", click(&M::AFTrig), {"8x 01 04 18 01 FF"}},
        {"Infinity Click", click(&M::Infinity), {"8x 01 04 18 02 FF"}},
        {"AF_Sens Click", toggle(&M::AF_Sens, false), {"8x 01 04 58 02 FF"}},
        {"AF_Sens Click", toggle(&M::AF_Sens, true), {"8x 01 04 58 03 FF"}},
        {"ACTAFmodeset Click", afTimes("1A", "05"), {"8x 01 04 27 01 0A 00 05 FF"}},
        {"ACTAFmodeset Click", afTimes("7", ""), {"8x 01 04 27 07 07 00 00 FF"}},
        {"Lensinit Click", click(&M::Lensinit), {"8x 01 04 19 01 FF"}},
        {"CompScan Click", click(&M::CompScan), {"8x 01 04 19 02 FF"}},

        // ---- white balance, aperture, phase, effects
        {"ATWPro Click", click(&M::ATWPro), {"8x 01 04 35 00 FF"}},
        {"InDoor Click", click(&M::InDoor), {"8x 01 04 35 01 FF"}},
        {"OutDoor Click", click(&M::OutDoor), {"8x 01 04 35 02 FF"}},
        {"OnePushWB Click", click(&M::OnePushWB), {"8x 01 04 35 03 FF"}},
        {"ATW Click", click(&M::ATW), {"8x 01 04 35 04 FF"}},
        {"ManualWB Click", click(&M::ManualWB), {"8x 01 04 35 05 FF"}},
        {"WBTrigger Click", click(&M::WBTrigger), {"8x 01 04 10 05 FF"}},
        {"RGainUp Click", click(&M::RGainUp), {"8x 01 04 03 02 FF"}},
        {"RGainDown Click", click(&M::RGainDown), {"8x 01 04 03 03 FF"}},
        {"BGainUp Click", click(&M::BGainUp), {"8x 01 04 04 02 FF"}},
        {"BGainDown Click", click(&M::BGainDown), {"8x 01 04 04 03 FF"}},
        {"RBReset Click", click(&M::RBReset), {"8x 01 04 03 00 FF", "8x 01 04 04 00 FF"}},
        {"RGainSlider Scroll", scroll(&M::RGainSlider, 0x80), {"8x 01 04 43 00 00 08 00 FF"}},
        {"RGainSlider Scroll", scroll(&M::RGainSlider, 255), {"8x 01 04 43 00 00 0F 0F FF"}},
        {"BGainSlider Scroll", scroll(&M::BGainSlider, 0x3C), {"8x 01 04 44 00 00 03 0C FF"}},
        {"ApertureUp Click", click(&M::ApertureUp), {"8x 01 04 02 02 FF"}},
        {"ApertureDown Click", click(&M::ApertureDown), {"8x 01 04 02 03 FF"}},
        {"ApertureReset Click", click(&M::ApertureReset), {"8x 01 04 02 00 FF"}},
        {"ApertureSlider Scroll", scroll(&M::ApertureSlider, 15), {"8x 01 04 42 00 00 00 0F FF"}},
        {"PEOff Click", click(&M::PEOff), {"8x 01 04 63 00 FF"}},
        {"Pastel Click", click(&M::Pastel), {"8x 01 04 63 01 FF"}},
        {"NegArt Click", click(&M::NegArt), {"8x 01 04 63 02 FF"}},
        {"Sepia Click", click(&M::Sepia), {"8x 01 04 63 03 FF"}},
        {"BlackWhite Click", click(&M::BlackWhite), {"8x 01 04 63 04 FF"}},
        {"Solarize Click", click(&M::Solarize), {"8x 01 04 63 05 FF"}},
        {"Mosaic Click", click(&M::Mosaic), {"8x 01 04 63 06 FF"}},
        {"Slim Click", click(&M::Slim), {"8x 01 04 63 07 FF"}},
        {"Stretch Click", click(&M::Stretch), {"8x 01 04 63 08 FF"}},
        {"DEOff Click", click(&M::DEOff), {"8x 01 04 64 00 FF"}},
        {"Still Click", click(&M::Still), {"8x 01 04 64 01 FF"}},
        {"Flash Click", click(&M::Flash), {"8x 01 04 64 02 FF"}},
        {"Lumi Click", click(&M::Lumi), {"8x 01 04 64 03 FF"}},
        {"Trail Click", click(&M::Trail), {"8x 01 04 64 04 FF"}},
        {"CmdICR Click", clickAt(&M::CmdICR, 0), {"8x 01 04 01 02 FF"}},
        {"CmdICR Click", clickAt(&M::CmdICR, 1), {"8x 01 04 01 03 FF"}},
        {"CmdAutoICR Click", captioned(&M::CmdAutoICR, "OFF"), {"8x 01 04 51 02 FF"}},
        {"CmdAutoICR Click", captioned(&M::CmdAutoICR, "ON"), {"8x 01 04 51 03 FF"}},
        {"Comstabi Click", captioned(&M::Comstabi, "ON"), {"8x 01 04 34 02 FF"}},
        {"Comstabi Click", captioned(&M::Comstabi, "OFF"), {"8x 01 04 34 03 FF"}},
        {"Normal Click", click(&M::Normal), {"8x 01 04 60 00 FF"}},
        {"VPUp MouseDown", press(&M::VPUp), {"8x 01 04 05 02 FF"}},
        {"VPUp MouseUp", release(&M::VPUp), {"8x 01 04 05 00 FF"}},
        {"VPDown MouseDown", press(&M::VPDown), {"8x 01 04 05 03 FF"}},
        {"VPDown MouseUp", release(&M::VPDown), {"8x 01 04 05 00 FF"}},
        {"VPreset Click", click(&M::VPreset), {"8x 01 04 05 40 FF"}},
        {"VPSlider Scroll", scroll(&M::VPSlider, 0x9C), {"8x 01 04 45 00 00 09 0C FF"}},
        {"VP0180 Click", captioned(&M::VP0180, "0 degree"), {"8x 01 04 25 00 FF"}},
        {"VP0180 Click", captioned(&M::VP0180, "180 degree"), {"8x 01 04 25 01 FF"}},

        // ---- memories, power, switches
        {"PresetSet Click", pick(&M::PresetSet, 2), {"8x 01 04 3F 01 02 FF"}},
        {"PresetRecall Click", pick(&M::PresetRecall, 4), {"8x 01 04 3F 02 04 FF"}},
        {"PresetReset Click", pick(&M::PresetReset, 5), {"8x 01 04 3F 00 05 FF"}},
        {"SetOption Click", pick(&M::SetOption, 0), {"8x 01 04 3F 01 00 FF"}},
        {"RecallOption Click", pick(&M::RecallOption, 3), {"8x 01 04 3F 02 03 FF"}},
        {"ResetOption Click", pick(&M::ResetOption, 5), {"8x 01 04 3F 00 05 FF"}},
        {"CustomMem Click", clickAt(&M::CustomMem, 0), {"8x 01 04 3F 01 7F FF"}},
        {"CustomMem Click", clickAt(&M::CustomMem, 1), {"8x 01 04 3F 02 7F FF"}},
        {"CustomMem Click", clickAt(&M::CustomMem, 2), {"8x 01 04 3F 00 7F FF"}},
        {"Power Click", click(&M::Power, false), {"8x 01 04 00 02 FF"}},
        {"Power Click", click(&M::Power, true), {"8x 01 04 00 03 FF"}},
        {"KeyLock Click", click(&M::KeyLock, false), {"8x 01 04 17 02 FF"}},
        {"KeyLock Click", click(&M::KeyLock, true), {"8x 01 04 17 00 FF"}},
        {"Mute Click", click(&M::Mute, false), {"8x 01 04 75 02 FF"}},
        {"Mute Click", click(&M::Mute, true), {"8x 01 04 75 03 FF"}},
        {"Freese Click", click(&M::Freese, false), {"8x 01 04 62 02 FF"}},
        {"Freese Click", click(&M::Freese, true), {"8x 01 04 62 03 FF"}},
        {"LR_Reverse Click", click(&M::LR_Reverse, false), {"8x 01 04 61 02 FF"}},
        {"LR_Reverse Click", click(&M::LR_Reverse, true), {"8x 01 04 61 03 FF"}},
        {"PictureFlip Click", click(&M::PictureFlip, false), {"8x 01 04 66 02 FF"}},
        {"PictureFlip Click", click(&M::PictureFlip, true), {"8x 01 04 66 03 FF"}},
        {"DataScreen Click", click(&M::DataScreen, false), {"8x 01 04 15 02 FF"}},
        {"DataScreen Click", click(&M::DataScreen, true), {"8x 01 04 15 03 FF"}},
        {"DateDisplay Click", click(&M::DateDisplay, false), {"8x 01 04 71 02 FF"}},
        {"DateDisplay Click", click(&M::DateDisplay, true), {"8x 01 04 71 03 FF"}},
        {"TimeDisplay Click", click(&M::TimeDisplay, false), {"8x 01 04 72 02 FF"}},
        {"TimeDisplay Click", click(&M::TimeDisplay, true), {"8x 01 04 72 03 FF"}},
        {"TitleOnOff Click", click(&M::TitleOnOff, false), {"8x 01 04 74 02 FF"}},
        {"TitleOnOff Click", click(&M::TitleOnOff, true), {"8x 01 04 74 03 FF"}},
        {"IFMDmode Click", click(&M::IFMDmode, false), {"8x 01 7E 01 18 02 FF"}},
        {"IFMDmode Click", click(&M::IFMDmode, true), {"8x 01 7E 01 18 03 FF"}},
        {"MenuOff Click", click(&M::MenuOff), {"8x 01 06 06 03 FF"}},
        {"Internal Click", click(&M::Internal), {"8x 01 04 55 00 FF"}},
        {"LineLock Click", click(&M::LineLock), {"8x 01 04 55 01 FF"}},
        {"State3 Click", click(&M::State3), {"8x 01 7E 01 1A 00 00 FF"}},
        {"DsubVD Click", click(&M::DsubVD), {"8x 01 7E 01 1A 00 01 FF"}},
    };
}

// A guarded command and what its hold asks for with auto refresh off.
enum Hold { NoRead, OneRead, OwnRefresh };  // OwnRefresh: power handles the refresh itself
struct Flagged {
    std::string name;
    Act act;
    Hold hold;
};

// Every row the command table marks guarded or hold, as the table says.
std::vector<Flagged> flaggedCommands(const FrmMain& m) {
    using M = FrmMain;
    std::vector<Flagged> rows = {
        {"FullAuto", click(&M::FullAuto), OneRead},       {"Manual", click(&M::Manual), OneRead},
        {"ShutterPriority", click(&M::ShutterPriority), OneRead},
        {"IrisPriority", click(&M::IrisPriority), OneRead},
        // From full auto Bright goes straight out (the way round has its own test).
        {"Bright", [](Rig& rig, FrmMain& m) { rig.program->modes.LastAEMode = 0x00; m.Bright.click(); }, OneRead},
        {"ShutterAuto", click(&M::ShutterAuto), NoRead},  {"IrisAuto", click(&M::IrisAuto), NoRead},
        {"GainAuto", click(&M::GainAuto), NoRead},        {"AESpotLight", click(&M::AESpotLight), OneRead},
        {"ExpComp", toggle(&M::ExpComp, false), NoRead},  {"BackLight", toggle(&M::BackLight, true), NoRead},
        {"AutoSlowShutter", toggle(&M::AutoSlowShutter, false), NoRead},
        {"ASSL0", click(&M::ASSL0), OneRead},             {"ASSL1", click(&M::ASSL1), OneRead},
        {"ASSL2", click(&M::ASSL2), OneRead},             {"DZoom", toggle(&M::DZoom, true), NoRead},
        {"DZoomMode(0)", clickAt(&M::DZoomMode, 0), OneRead}, {"DZoomMode(1)", clickAt(&M::DZoomMode, 1), NoRead},
        {"DZL0", click(&M::DZL0), OneRead},               {"DZL1", click(&M::DZL1), OneRead},
        {"DZL2", click(&M::DZL2), OneRead},               {"DZL3", click(&M::DZL3), OneRead},
        {"AF_Sens", toggle(&M::AF_Sens, false), NoRead},  {"ATWPro", click(&M::ATWPro), OneRead},
        {"InDoor", click(&M::InDoor), OneRead},           {"OutDoor", click(&M::OutDoor), OneRead},
        {"OnePushWB", click(&M::OnePushWB), OneRead},     {"ATW", click(&M::ATW), NoRead},
        {"ManualWB", click(&M::ManualWB), OneRead},       {"WBTrigger", click(&M::WBTrigger), OneRead},
        {"Power", click(&M::Power), OwnRefresh},          {"Freese", click(&M::Freese, true), NoRead},
        {"LR_Reverse", click(&M::LR_Reverse), NoRead},    {"PictureFlip", click(&M::PictureFlip, true), NoRead},
        {"DataScreen", click(&M::DataScreen), NoRead},    {"MenuOff", click(&M::MenuOff), OneRead},
        {"State3", click(&M::State3), OneRead},           {"DsubVD", click(&M::DsubVD), OneRead},
    };
    for (MenuItem M::*it : {&M::PEOff, &M::Pastel, &M::NegArt, &M::Sepia, &M::BlackWhite, &M::Solarize, &M::Mosaic,
                            &M::Slim, &M::Stretch, &M::DEOff, &M::Still, &M::Flash, &M::Lumi, &M::Trail}) {
        rows.push_back({(m.*it).name(), click(it), NoRead});
    }
    for (int n : {0, 5}) {
        const std::string no = "(" + std::to_string(n) + ")";
        rows.push_back({"PresetSet" + no, pick(&M::PresetSet, n), NoRead});
        rows.push_back({"PresetRecall" + no, pick(&M::PresetRecall, n), OneRead});
        rows.push_back({"PresetReset" + no, pick(&M::PresetReset, n), NoRead});
    }
    return rows;
}

std::string forCamera(std::string packet, int address) {
    packet.replace(0, 2, "8" + std::to_string(address));
    return packet;
}

}  // namespace

TEST(CommandTable, EveryControlSendsExactlyItsPacketToCameraOneAndSeven) {
    for (int address : {1, 7}) {
        for (const Case& c : cases()) {
            SCOPED_TRACE(std::string(c.key) + " on camera " + std::to_string(address));
            Rig rig(std::vector<std::string>(7, "KBM-R05"));
            rig.openQuietly();
            rig.linkControl().drive(address);
            const std::size_t mark = rig.mark();
            c.act(rig, rig.main());
            std::vector<std::string> expected;
            for (const std::string& p : c.packets) expected.push_back(forCamera(p, address));
            EXPECT_EQ(rig.packetsSince(mark, "01"), expected);  // commands, not a read's inquiries
        }
    }
}

TEST(CommandTable, EveryRowIsExercisedByATypedCase) {
    std::set<std::string> covered;
    for (const Case& c : cases()) covered.insert(c.key);
    for (const panel::CommandRow& r : panel::commandTable()) {
        EXPECT_TRUE(covered.count(std::string(r.control) + " " + panel::eventName(r.event)))
            << r.control << " " << panel::eventName(r.event);
    }
}

// The simulated cameras know every packet the panel sends: each is
// acknowledged and completed, never answered with an error, in the modes
// that hand its value to the operator (manual exposure for iris, gain and
// shutter, bright mode for bright, manual white balance for the gains).
TEST(CommandTable, SimulatorAcknowledgesAndCompletesEveryPacket) {
    for (const char* model : {"KBM-R05", "ORX-Beta", "ORX-Kappa", "ORX-Alpha"}) {
        for (const panel::CommandRow& r : panel::commandTable()) {
            sim::Camera cam(*sim::findCameraModel(model));
            cam.setAddress(1);
            const std::uint8_t cmd = r.body.size() > 2 && r.body[1] == 0x04 ? r.body[2] : 0;
            if (cmd == 0x0A || cmd == 0x0B || cmd == 0x0C || cmd == 0x4A || cmd == 0x4B || cmd == 0x4C)
                cam.state().aeMode = 0x03;
            if (cmd == 0x0D || cmd == 0x4D) cam.state().aeMode = 0x0D;
            if (cmd == 0x03 || cmd == 0x04 || cmd == 0x43 || cmd == 0x44) cam.state().wbMode = 0x05;
            sim::Bytes packet = r.body;
            packet.insert(packet.begin(), 0x81);
            packet.push_back(0xFF);
            EXPECT_EQ(cam.handle(packet), (std::vector<sim::Bytes>{{0x90, 0x41, 0xFF}, {0x90, 0x51, 0xFF}}))
                << model << ": " << r.control << " " << panel::eventName(r.event) << " " << packetText(packet);
        }
    }
}

// Guarded commands clicked while a status read runs go out at once and
// overtake the read. With auto refresh off, a command that holds is
// followed by exactly one status read (not before two seconds; a preset's
// completion skips two timer ticks first), any other by none.
TEST(CommandTable, GuardedCommandsOvertakeTheReadAndHoldsAskForOneRead) {
    Rig rig({"KBM-R05"});
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    ASSERT_EQ(m.AutoRefreshed.caption(), "Stop");
    const auto reads = [&rig](std::size_t mark) { return rig.packetsSince(mark, "09 7E 7E 00").size(); };
    for (const Flagged& r : flaggedCommands(m)) {
        SCOPED_TRACE(r.name);
        rig.linkControl().statusReadStarts();
        auto mark = rig.mark();
        r.act(rig, m);
        EXPECT_FALSE(rig.packetsSince(mark, "01").empty());
        EXPECT_TRUE(m.readOvertaken());
        rig.linkControl().statusReadEnds();
        rig.linkControl().presetEnds();
        rig.run(15);  // its completion, and the read a hold asks for
        if (r.hold == OwnRefresh) continue;

        mark = rig.mark();
        r.act(rig, m);
        EXPECT_FALSE(rig.packetsSince(mark, "01").empty());
        rig.run(1.9);
        EXPECT_EQ(reads(mark), 0u);
        rig.run(8);
        EXPECT_EQ(reads(mark), r.hold == OneRead ? 1u : 0u);
        rig.run(10);
        EXPECT_EQ(reads(mark), r.hold == OneRead ? 1u : 0u);
    }
}
