// The main window's controls, in tab order: menus, the status row, the
// frames of the left column, the middle column and the right column from top
// to bottom, then the log column. The main window places them and wires
// their handlers.
#pragma once

#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

class FrmMainControls : public Form {
public:
    FrmMainControls() : Form("FrmMain", "ORBUS Control Panel") {}

    // ---- menus -------------------------------------------------------------
    MenuItem MnuCamera{*this, "MnuCamera", "Camera"};
    MenuItem IFClear{*this, "IFClear", "I/F Clear", &MnuCamera};
    MenuItem IFClearB{*this, "IFClearB", "I/F Clear(broadcast)", &MnuCamera};
    MenuItem AddressSet{*this, "AddressSet", "Address Set", &MnuCamera};
    MenuItem AutoRefresh{*this, "AutoRefresh", "Auto Refresh", &MnuCamera};
    MenuItem Power{*this, "Power", "PowerOn/Off", &MnuCamera};
    MenuItem KeyLock{*this, "KeyLock", "KeyLock", &MnuCamera};
    MenuItem Mute{*this, "Mute", "Mute", &MnuCamera};
    MenuItem IDWrite{*this, "IDWrite", "IDWrite", &MnuCamera};
    MenuItem AutoPowerOff{*this, "AutoPowerOff", "Auto Power Off", &MnuCamera};
    MenuItem NightPowerOff{*this, "NightPowerOff", "Night Power Off", &MnuCamera};
    MenuItem Lensinit{*this, "Lensinit", "Lens_Initialize", &MnuCamera};
    MenuItem CompScan{*this, "CompScan", "CompScan", &MnuCamera};
    MenuItem DZLimit{*this, "DZLimit", "D-Zoom Limit", &MnuCamera};
    MenuItem DZL0{*this, "DZL0", "x1", &DZLimit};
    MenuItem DZL1{*this, "DZL1", "x1.5", &DZLimit};
    MenuItem DZL2{*this, "DZL2", "x2", &DZLimit};
    MenuItem DZL3{*this, "DZL3", "x4", &DZLimit};
    MenuItem ASSL{*this, "ASSL", "AutoSlowShutterLimit", &MnuCamera};
    MenuItem ASSL0{*this, "ASSL0", "p0", &ASSL};
    MenuItem ASSL1{*this, "ASSL1", "p1", &ASSL};
    MenuItem ASSL2{*this, "ASSL2", "p2", &ASSL};
    MenuItem MenuOff{*this, "MenuOff", "MENU OFF", &MnuCamera};
    // Camera profiles: the driven camera's settings to a file, and back.
    MenuItem ProfileSave{*this, "ProfileSave", "Save Settings\u2026", &MnuCamera};
    MenuItem ProfileCompare{*this, "ProfileCompare", "Compare With Profile\u2026", &MnuCamera};
    MenuItem ProfileApply{*this, "ProfileApply", "Apply Profile\u2026", &MnuCamera};
    MenuItem Quit{*this, "Quit", "Exit", &MnuCamera};

    MenuItem MnuSelect{*this, "MnuSelect", "Select"};
    ControlArray<MenuItem> CameraSel;  // 1..7
    MenuItem ChainStatus{*this, "ChainStatus", "Chain Status", &MnuSelect};  // listed after the cameras

    MenuItem AEMode{*this, "AEMode", "AE Mode"};
    MenuItem FullAuto{*this, "FullAuto", "Full Auto", &AEMode};
    MenuItem ShutterPriority{*this, "ShutterPriority", "ShutterPriority", &AEMode};
    MenuItem IrisPriority{*this, "IrisPriority", "Iris Priority", &AEMode};
    MenuItem GainPriority{*this, "GainPriority", "Gain Priority", &AEMode};
    MenuItem Manual{*this, "Manual", "Manual", &AEMode};
    MenuItem Bright{*this, "Bright", "Bright", &AEMode};
    MenuItem ShutterAuto{*this, "ShutterAuto", "Shutter Auto", &AEMode};
    MenuItem IrisAuto{*this, "IrisAuto", "Iris Auto", &AEMode};
    MenuItem GainAuto{*this, "GainAuto", "Gain Auto", &AEMode};
    MenuItem AESpotLight{*this, "AESpotLight", "Spot Light", &AEMode};
    MenuItem AESpotMode{*this, "AESpotMode", "AE SPOT", &AEMode};

    MenuItem WBMode{*this, "WBMode", "WB Mode"};
    MenuItem ATWPro{*this, "ATWPro", "Auto", &WBMode};
    MenuItem ATW{*this, "ATW", "ATW", &WBMode};
    MenuItem InDoor{*this, "InDoor", "InDoor", &WBMode};
    MenuItem OutDoor{*this, "OutDoor", "OutDoor", &WBMode};
    MenuItem OnePushWB{*this, "OnePushWB", "One Push WB", &WBMode};
    MenuItem ManualWB{*this, "ManualWB", "Manual WB", &WBMode};

    MenuItem PictureEffect{*this, "PictureEffect", "PictureEffect"};
    MenuItem PEOff{*this, "PEOff", "Off", &PictureEffect};
    MenuItem Pastel{*this, "Pastel", "Pastel", &PictureEffect};
    MenuItem NegArt{*this, "NegArt", "NegArt", &PictureEffect};
    MenuItem Sepia{*this, "Sepia", "Sepia", &PictureEffect};
    MenuItem BlackWhite{*this, "BlackWhite", "Black&&White", &PictureEffect};
    MenuItem Solarize{*this, "Solarize", "Solarize", &PictureEffect};
    MenuItem Mosaic{*this, "Mosaic", "Mosaic", &PictureEffect};
    MenuItem Slim{*this, "Slim", "Slim", &PictureEffect};
    MenuItem Stretch{*this, "Stretch", "Stretch", &PictureEffect};

    MenuItem DigitalEffect{*this, "DigitalEffect", "DigitalEffect"};
    MenuItem DEOff{*this, "DEOff", "Off", &DigitalEffect};
    MenuItem Still{*this, "Still", "Still", &DigitalEffect};
    MenuItem Flash{*this, "Flash", "Flash", &DigitalEffect};
    MenuItem Lumi{*this, "Lumi", "Lumi.", &DigitalEffect};
    MenuItem Trail{*this, "Trail", "Trail", &DigitalEffect};
    MenuItem EffectLevel{*this, "EffectLevel", "EffectLevel", &DigitalEffect};

    MenuItem Wide{*this, "Wide", "Wide"};
    MenuItem Normal{*this, "Normal", "Normal", &Wide};
    MenuItem WideCinema{*this, "WideCinema", "Wide(Cinema)", &Wide};
    MenuItem Wide16{*this, "Wide16", "Wide(16:9)", &Wide};

    MenuItem M_Function{*this, "M_Function", "Function"};
    MenuItem PictureFlip{*this, "PictureFlip", "PictureFlip", &M_Function};
    MenuItem LR_Reverse{*this, "LR_Reverse", "LR_Reverse", &M_Function};
    MenuItem Freese{*this, "Freese", "Freeze", &M_Function};

    MenuItem MnuDisplay{*this, "MnuDisplay", "Display"};
    MenuItem DataScreen{*this, "DataScreen", "Data Screen", &MnuDisplay};
    MenuItem DateDisplay{*this, "DateDisplay", "Date Display", &MnuDisplay};
    MenuItem TimeDisplay{*this, "TimeDisplay", "Time Display", &MnuDisplay};
    MenuItem IFMDmode{*this, "IFMDmode", "Information Display", &MnuDisplay};
    MenuItem SetTimeDate{*this, "SetTimeDate", "Set Time and Date", &MnuDisplay};

    MenuItem Title{*this, "Title", "Title"};
    MenuItem TitleSet{*this, "TitleSet", "Title Set", &Title};
    MenuItem TitleOnOff{*this, "TitleOnOff", "Title On/Off", &Title};

    MenuItem Sync{*this, "Sync", "Sync"};
    MenuItem Internal{*this, "Internal", "Internal", &Sync};
    MenuItem LineLock{*this, "LineLock", "Line Lock", &Sync};

    MenuItem HDACout{*this, "HDACout", "D-SUB 15Pin"};
    MenuItem State3{*this, "State3", "3-STATE", &HDACout};
    MenuItem DsubVD{*this, "DsubVD", "VD", &HDACout};

    MenuItem PrivacyZone{*this, "PrivacyZone", "Privacy Zone"};
    MenuItem SettingZones{*this, "SettingZones", "Setting Zones", &PrivacyZone};
    MenuItem PrivacyAv{*this, "PrivacyAv", "PrivacyA"};
    MenuItem MotionDetecter{*this, "MotionDetecter", "Alarm"};
    MenuItem FactorySetMenu{*this, "FactorySetMenu", "Factory Set"};
    MenuItem SettingMenu{*this, "SettingMenu", "Setting Menu", &FactorySetMenu};
    // The panel's own views of the link, beside the camera menus.
    MenuItem MnuView{*this, "MnuView", "View"};
    MenuItem ViewTraffic{*this, "ViewTraffic", "Traffic", &MnuView};
    MenuItem ViewChainStatus{*this, "ViewChainStatus", "Chain Status", &MnuView};
    MenuItem ViewRemote{*this, "ViewRemote", "Remote Control", &MnuView};
    MenuItem MnuVersion{*this, "MnuVersion", "Version"};
    MenuItem version{*this, "version", "Version", &MnuVersion};

    // ---- status boxes --------------------------------------------------------
    ControlArray<Label> Lbl;
    TextBox Active{*this, "Active"};
    TextBox NTSCorPAL{*this, "NTSCorPAL"};
    TextBox Baudratetxt{*this, "Baudratetxt"};
    TextBox CameraIDText{*this, "CameraIDText"};
    TextBox ModelVersion{*this, "ModelVersion"};
    Button AutoRefreshed{*this, "AutoRefreshed", "Stop"};
    Button RefreshOnce{*this, "RefreshOnce", "Refresh Once"};

    // ---- exposure ("AE Control"); step captions and row names in LblAE 0..14 ----
    Frame FmAEControl{*this, "FmAEControl", "AE Control"};
    ControlArray<Label> LblAE;  // 0..14 in FmAEControl, 15..17 over the ICR and stabilizer buttons
    Button IrisClose{*this, "IrisClose", "-"};
    Slider IrisSlider{*this, "IrisSlider", 0, 17};
    Button IrisOpen{*this, "IrisOpen", "+"};
    TextBox IrisValue{*this, "IrisValue"};
    Button GainDown{*this, "GainDown", "-"};
    Slider GainSlider{*this, "GainSlider", 0, 15};
    Button GainUp{*this, "GainUp", "+"};
    TextBox GainValue{*this, "GainValue"};
    Button ShutterSlow{*this, "ShutterSlow", "-"};
    Slider ShutterSlider{*this, "ShutterSlider", 0, 21};
    Button ShutterFast{*this, "ShutterFast", "+"};
    TextBox ShutterValue{*this, "ShutterValue"};
    Button BrightDown{*this, "BrightDown", "-"};
    Slider BrightSlider{*this, "BrightSlider", 0, 31};
    Button BrightUp{*this, "BrightUp", "+"};
    TextBox BrightValue{*this, "BrightValue"};
    CheckBox ExpComp{*this, "ExpComp", "ExpComp"};
    Button ExpCompDown{*this, "ExpCompDown", "-"};
    Slider ExpCompSlider{*this, "ExpCompSlider", 0, 14};
    Button ExpCompUp{*this, "ExpCompUp", "+"};
    TextBox ExpCompValue{*this, "ExpCompValue"};
    CheckBox BackLight{*this, "BackLight", "BackLight"};
    CheckBox AutoSlowShutter{*this, "AutoSlowShutter", "AutoSlowShutter"};
    // Tops of BackLight inside FmAEControl (twips): its own row under the
    // exposure-compensation row, or raised into that row on a model whose
    // layout hides exposure compensation.
    static constexpr int kBackLightTopNormal = 2980;
    static constexpr int kBackLightTopRaised = 2660;

    // ---- infrared-cut filter and stabilizer, under the exposure frame --------
    Button CmdAutoICR{*this, "CmdAutoICR", "OFF"};
    ControlArray<Button> CmdICR;  // 0 "ON", 1 "OFF"
    Button Comstabi{*this, "Comstabi", "ON"};

    // ---- memory of block cameras ("Memory") ----------------------------------
    Frame FmMemory{*this, "FmMemory", "Memory"};
    ControlArray<Label> LblMem;  // 0..2 row names, 3 "Custom"
    ControlArray<Label> LblCh;   // 0..5 memory columns, 6..11 preset columns
    ControlArray<OptionButton> SetOption;     // 0..5
    ControlArray<OptionButton> RecallOption;  // 0..5
    ControlArray<OptionButton> ResetOption;   // 0..5
    ControlArray<Button> CustomMem;           // 0 "Set", 1 "Recall", 2 "Reset"

    // ---- zoom ("Lens Control") ------------------------------------------------
    Frame FmZoom{*this, "FmZoom", "Lens Control"};
    ControlArray<Label> LblZoom;  // 0 "Zoom", 1 "Wide", 2 "Tele", 3 "Speed"
    Slider ZoomSlider{*this, "ZoomSlider", 0, 0x7000};
    Slider ZoomSliderShort{*this, "ZoomSliderShort", 0, 0x4000};
    TextBox ZoomValue{*this, "ZoomValue"};
    Button ZoomWide{*this, "ZoomWide", "Wide"};
    TextBox WideSpeed{*this, "WideSpeed", "4"};
    UpDown UpDown2{*this, "UpDown2", &WideSpeed, 0, 7};
    TextBox TeleSpeed{*this, "TeleSpeed", "4"};
    UpDown UpDown1{*this, "UpDown1", &TeleSpeed, 0, 7};
    Button ZoomTele{*this, "ZoomTele", "Tele"};
    Button WideT{*this, "WideT", "Wide End"};
    CheckBox DZoom{*this, "DZoom", "D-Zoom"};
    Button FarT{*this, "FarT", "Tele End"};

    // ---- digital zoom ("D-Zoom") ----------------------------------------------
    Frame FmDZoom{*this, "FmDZoom", "D-Zoom"};
    ControlArray<Label> LblDZoom;    // 0 "D- Zoom Mode", 1 "Speed"
    ControlArray<Button> DZoomMode;  // 0 "Combine Mode", 1 "Separate Mode"
    Button DZoomWide{*this, "DZoomWide", "Wide"};
    TextBox DWideSpeed{*this, "DWideSpeed", "4"};
    UpDown UpDown6{*this, "UpDown6", &DWideSpeed, 0, 7};
    TextBox DTeleSpeed{*this, "DTeleSpeed", "4"};
    UpDown UpDown5{*this, "UpDown5", &DTeleSpeed, 0, 7};
    Button DZoomTele{*this, "DZoomTele", "Tele"};
    Slider DZoomSlider{*this, "DZoomSlider", 0, 235};
    TextBox DZoomValue{*this, "DZoomValue"};
    Button DZoomX{*this, "DZoomX", "X1"};  // caption set at start-up

    // ---- focus ("Focus") --------------------------------------------------------
    Frame FmFocus{*this, "FmFocus", "Focus"};
    ControlArray<Label> LblFocus;  // 0 "Focus" .. 7 "Interval"
    Label LblFstate{*this, "LblFstate", "Manual"};
    Slider FocusSlider{*this, "FocusSlider", 0x1000, 0xC000};
    TextBox FocusValue{*this, "FocusValue"};
    Button Far{*this, "Far", "Far"};
    TextBox FarSpeed{*this, "FarSpeed", "4"};
    UpDown UpDown3{*this, "UpDown3", &FarSpeed, 0, 7};
    TextBox NearSpeed{*this, "NearSpeed", "4"};
    UpDown UpDown4{*this, "UpDown4", &NearSpeed, 0, 7};
    Button Near{*this, "Near", "Near"};
    Slider FocusNearLimitSlider{*this, "FocusNearLimitSlider", 0x1000, 0xC000};
    ControlArray<Button> AFModeCmd;  // 0 "Auto", 1 "Normal", 2 "Interval AF", 3 "ZoomTrigger"
    Button ManAFMode{*this, "ManAFMode", "Manual Focus"};
    Button AFTrig{*this, "AFTrig", "OnePushAF"};
    Button Infinity{*this, "Infinity", "Infinity"};
    CheckBox AF_Sens{*this, "AF_Sens", "Norm/Low"};
    TextBox AFacttime{*this, "AFacttime"};
    TextBox AFintTime{*this, "AFintTime"};
    Button ACTAFmodeset{*this, "ACTAFmodeset", "Set"};

    // ---- white balance ("WhiteBalance"); row names in LblWbApVp 0..3 ----------
    Frame FmWB{*this, "FmWB", "WhiteBalance"};
    ControlArray<Label> LblWbApVp;  // 0 "R-Gain", 1 "B-Gain", 2 "Aperture", 3 "Phase"
    Button RGainDown{*this, "RGainDown", "-"};
    Slider RGainSlider{*this, "RGainSlider", 0, 255};
    Button RGainUp{*this, "RGainUp", "+"};
    TextBox RGValue{*this, "RGValue"};
    Button BGainDown{*this, "BGainDown", "-"};
    Slider BGainSlider{*this, "BGainSlider", 0, 255};
    Button BGainUp{*this, "BGainUp", "+"};
    TextBox BGValue{*this, "BGValue"};
    Button WBTrigger{*this, "WBTrigger", "One Push Trigger"};
    Button RBReset{*this, "RBReset", "Reset"};

    // ---- aperture ("Aperture Control") ---------------------------------------
    Frame FmAPC{*this, "FmAPC", "Aperture Control"};
    Button ApertureDown{*this, "ApertureDown", "-"};
    Slider ApertureSlider{*this, "ApertureSlider", 0, 15};
    Button ApertureUp{*this, "ApertureUp", "+"};
    TextBox ApertureValue{*this, "ApertureValue"};
    Button ApertureReset{*this, "ApertureReset", "Reset"};

    // ---- vertical phase ("V-Phase") ---------------------------------------------
    Frame Frame5{*this, "Frame5", "V-Phase"};
    Button VPDown{*this, "VPDown", "-"};
    Slider VPSlider{*this, "VPSlider", 0, 255};
    Button VPUp{*this, "VPUp", "+"};
    TextBox VPValue{*this, "VPValue"};
    Button VP0180{*this, "VP0180", "0 degree"};
    Button VPreset{*this, "VPreset", "Reset"};

    // ---- presets of pan-tilt cameras ("Preset") -------------------------------
    Frame FmPreset{*this, "FmPreset", "Preset"};
    ControlArray<Label> LblPRS;               // 0 "Set", 1 "Recall", 2 "Reset"
    ControlArray<OptionButton> PresetSet;     // 0..5
    ControlArray<OptionButton> PresetRecall;  // 0..5
    ControlArray<OptionButton> PresetReset;   // 0..5

    // ---- the pan-tilt window's buttons on the main window ----------------------
    Frame FmPTWindowM{*this, "FmPTWindowM", "Pan/Tilt Window"};
    Button PTWSizeM{*this, "PTWSizeM", "Small"};
    Button PTWDockingM{*this, "PTWDockingM", "Release"};
    Button PTWCloseM{*this, "PTWCloseM", "CLOSE"};

    // ---- traffic logs and console -------------------------------------------
    TextBox SendText{*this, "SendText"};
    TextBox RecvText{*this, "RecvText"};
    // What the log line at the caret means, in words.
    TextBox LineMeaning{*this, "LineMeaning"};
    TextBox DirectText{*this, "DirectText"};
    // Why Enter sent nothing, or what looks wrong with the packet it sent.
    Label DirectNote{*this, "DirectNote", ""};
    Button cmdClearTxt{*this, "cmdClearTxt", "Clear Txt"};

    // ---- status line: the port, the driven camera and the link's state ----------
    Label StatusPort{*this, "StatusPort", ""};
    Label StatusCamera{*this, "StatusCamera", ""};
    Label StatusLink{*this, "StatusLink", ""};

    // ---- timers ----------------------------------------------------------------
    Timer Timer1{*this, "Timer1", 2000, false};
    Timer Timer2{*this, "Timer2", 800, true};
    Timer Timer3{*this, "Timer3", 6000, false};
    // Keeps the status line's age of the last reply current.
    Timer StatusTimer{*this, "StatusTimer", 1000, true};
};

}  // namespace orbus
