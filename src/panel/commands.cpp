#include "panel/commands.h"

#include <initializer_list>

namespace orbus::panel {

const char* eventName(Event e) {
    switch (e) {
    case Event::Click: return "Click";
    case Event::MouseDown: return "MouseDown";
    case Event::MouseUp: return "MouseUp";
    case Event::Scroll: return "Scroll";
    }
    return "?";
}

namespace {

// A row written as one line: on("IrisOpen", Click, {01 04 0B 02}).guarded()...
struct Row : CommandRow {
    Row(const char* control, Event ev, std::initializer_list<int> bytes, int idx = kSingle) {
        this->control = control;
        index = idx;
        event = ev;
        for (int b : bytes) body.push_back(static_cast<std::uint8_t>(b));
    }
    Row& g() {
        guarded = true;
        return *this;
    }
    Row& gh() {
        guarded = true;
        hold = true;
        return *this;
    }
    Row& ifChecked(const char* subject = nullptr) {
        when = {When::Checked, subject, nullptr, PanTiltModel::None};
        return *this;
    }
    Row& ifCaption(const char* caption) {
        when = {When::CaptionIs, nullptr, caption, PanTiltModel::None};
        return *this;
    }
    Row& ifModel(PanTiltModel model) {
        when = {When::ModelIs, nullptr, nullptr, model};
        return *this;
    }
    Row& field(FieldKind kind, int at, const char* source = nullptr) {
        fields.push_back({kind, at, source});
        return *this;
    }
    Row& second() {
        then = true;
        return *this;
    }
};

constexpr Event Click = Event::Click;
constexpr Event Down = Event::MouseDown;
constexpr Event Up = Event::MouseUp;
constexpr Event Scroll = Event::Scroll;
constexpr FieldKind N4 = FieldKind::Nibbles4;
constexpr FieldKind N2 = FieldKind::Nibbles2;
constexpr FieldKind Speed = FieldKind::Speed;
constexpr FieldKind Hex = FieldKind::HexPair;
constexpr FieldKind Idx = FieldKind::Index;

Row on(const char* control, Event ev, std::initializer_list<int> body) { return Row(control, ev, body); }
Row at(const char* control, int index, Event ev, std::initializer_list<int> body) {
    return Row(control, ev, body, index);
}

std::vector<CommandRow> buildTable() {
    const std::initializer_list<Row> rows = {
        // ---- exposure ----------------------------------------------------------
        on("FullAuto", Click, {0x01, 0x04, 0x39, 0x00}).gh(),
        on("Manual", Click, {0x01, 0x04, 0x39, 0x03}).gh(),
        on("ShutterPriority", Click, {0x01, 0x04, 0x39, 0x0A}).gh(),
        on("IrisPriority", Click, {0x01, 0x04, 0x39, 0x0B}).gh(),
        on("GainPriority", Click, {0x01, 0x04, 0x39, 0x0C}),
        on("Bright", Click, {0x01, 0x04, 0x39, 0x0D}).gh(),
        on("ShutterAuto", Click, {0x01, 0x04, 0x39, 0x1A}).g(),
        on("IrisAuto", Click, {0x01, 0x04, 0x39, 0x1B}).g(),
        on("GainAuto", Click, {0x01, 0x04, 0x39, 0x1C}).g(),
        on("AESpotLight", Click, {0x01, 0x04, 0x39, 0x10}).gh(),
        on("IrisOpen", Click, {0x01, 0x04, 0x0B, 0x02}),
        on("IrisClose", Click, {0x01, 0x04, 0x0B, 0x03}),
        on("GainUp", Click, {0x01, 0x04, 0x0C, 0x02}),
        on("GainDown", Click, {0x01, 0x04, 0x0C, 0x03}),
        on("ShutterFast", Click, {0x01, 0x04, 0x0A, 0x02}),
        on("ShutterSlow", Click, {0x01, 0x04, 0x0A, 0x03}),
        on("BrightUp", Click, {0x01, 0x04, 0x0D, 0x02}),
        on("BrightDown", Click, {0x01, 0x04, 0x0D, 0x03}),
        on("ExpCompUp", Click, {0x01, 0x04, 0x0E, 0x02}),
        on("ExpCompDown", Click, {0x01, 0x04, 0x0E, 0x03}),
        on("ExpComp", Click, {0x01, 0x04, 0x3E, 0x02}).ifChecked().g(),
        on("ExpComp", Click, {0x01, 0x04, 0x3E, 0x03}).g(),
        on("BackLight", Click, {0x01, 0x04, 0x33, 0x02}).ifChecked().g(),
        on("BackLight", Click, {0x01, 0x04, 0x33, 0x03}).g(),
        on("AutoSlowShutter", Click, {0x01, 0x04, 0x5A, 0x02}).ifChecked().g(),
        on("AutoSlowShutter", Click, {0x01, 0x04, 0x5A, 0x03}).g(),
        on("ASSL0", Click, {0x01, 0x04, 0x2A, 0x00, 0x00}).gh(),
        on("ASSL1", Click, {0x01, 0x04, 0x2A, 0x01, 0x00}).gh(),
        on("ASSL2", Click, {0x01, 0x04, 0x2A, 0x02, 0x00}).gh(),
        on("IrisSlider", Scroll, {0x01, 0x04, 0x4B, 0, 0, 0, 0}).field(N4, 3),
        on("GainSlider", Scroll, {0x01, 0x04, 0x4C, 0, 0, 0, 0}).field(N4, 3),
        on("ShutterSlider", Scroll, {0x01, 0x04, 0x4A, 0, 0, 0, 0}).field(N4, 3),
        on("BrightSlider", Scroll, {0x01, 0x04, 0x4D, 0, 0, 0, 0}).field(N4, 3),
        on("ExpCompSlider", Scroll, {0x01, 0x04, 0x4E, 0, 0, 0, 0}).field(N4, 3),

        // ---- zoom, digital zoom, focus -----------------------------------------
        on("ZoomTele", Down, {0x01, 0x04, 0x07, 0x20}).field(Speed, 3, "TeleSpeed"),
        on("ZoomTele", Up, {0x01, 0x04, 0x07, 0x00}),
        on("ZoomWide", Down, {0x01, 0x04, 0x07, 0x30}).field(Speed, 3, "WideSpeed"),
        on("ZoomWide", Up, {0x01, 0x04, 0x07, 0x00}),
        on("FarT", Click, {0x01, 0x04, 0x47, 0x08, 0x0B, 0x0E, 0x00}).ifChecked("DZoom"),
        on("FarT", Click, {0x01, 0x04, 0x47, 0x04, 0x00, 0x00, 0x00}),
        on("WideT", Click, {0x01, 0x04, 0x47, 0x00, 0x00, 0x00, 0x00}),
        on("ZoomSlider", Scroll, {0x01, 0x04, 0x47, 0, 0, 0, 0}).field(N4, 3),
        on("ZoomSlider", Up, {0x01, 0x04, 0x47, 0, 0, 0, 0}).field(N4, 3),
        on("ZoomSliderShort", Scroll, {0x01, 0x04, 0x47, 0, 0, 0, 0}).field(N4, 3),
        on("ZoomSliderShort", Up, {0x01, 0x04, 0x47, 0, 0, 0, 0}).field(N4, 3),
        on("DZoomTele", Down, {0x01, 0x04, 0x06, 0x20}).field(Speed, 3, "DTeleSpeed"),
        on("DZoomTele", Up, {0x01, 0x04, 0x06, 0x00}),
        on("DZoomWide", Down, {0x01, 0x04, 0x06, 0x30}).field(Speed, 3, "DWideSpeed"),
        on("DZoomWide", Up, {0x01, 0x04, 0x06, 0x00}),
        on("DZoomSlider", Scroll, {0x01, 0x04, 0x46, 0, 0, 0, 0}).field(N4, 3),
        on("DZoomSlider", Up, {0x01, 0x04, 0x46, 0x00, 0x00, 0, 0}).field(N2, 5),
        on("DZoom", Click, {0x01, 0x04, 0x06, 0x02}).ifChecked().g(),
        on("DZoom", Click, {0x01, 0x04, 0x06, 0x03}).g(),
        on("DZoomX", Click, {0x01, 0x04, 0x06, 0x10}),
        at("DZoomMode", 0, Click, {0x01, 0x04, 0x36, 0x00}).gh(),
        at("DZoomMode", 1, Click, {0x01, 0x04, 0x36, 0x01}).g(),
        on("DZL0", Click, {0x01, 0x04, 0x26, 0x00}).gh(),
        on("DZL1", Click, {0x01, 0x04, 0x26, 0x01}).gh(),
        on("DZL2", Click, {0x01, 0x04, 0x26, 0x02}).gh(),
        on("DZL3", Click, {0x01, 0x04, 0x26, 0x03}).gh(),
        // ORX-Alpha drives focus at its one fixed speed.
        on("Far", Down, {0x01, 0x04, 0x08, 0x02}).ifModel(PanTiltModel::Alpha),
        on("Far", Down, {0x01, 0x04, 0x08, 0x20}).field(Speed, 3, "FarSpeed"),
        on("Far", Up, {0x01, 0x04, 0x08, 0x00}),
        on("Near", Down, {0x01, 0x04, 0x08, 0x03}).ifModel(PanTiltModel::Alpha),
        on("Near", Down, {0x01, 0x04, 0x08, 0x30}).field(Speed, 3, "NearSpeed"),
        on("Near", Up, {0x01, 0x04, 0x08, 0x00}),
        on("FocusSlider", Scroll, {0x01, 0x04, 0x48, 0, 0, 0, 0}).field(N4, 3),
        on("FocusSlider", Up, {0x01, 0x04, 0x48, 0, 0, 0, 0}).field(N4, 3),
        on("FocusNearLimitSlider", Scroll, {0x01, 0x04, 0x28, 0, 0, 0, 0}).field(N4, 3),
        at("AFModeCmd", 0, Click, {0x01, 0x04, 0x38, 0x02}),
        at("AFModeCmd", 1, Click, {0x01, 0x04, 0x57, 0x00}),
        at("AFModeCmd", 2, Click, {0x01, 0x04, 0x57, 0x01}),
        at("AFModeCmd", 3, Click, {0x01, 0x04, 0x57, 0x02}),
        on("ManAFMode", Click, {0x01, 0x04, 0x38, 0x03}),
        on("AFTrig", Click, {0x01, 0x04, 0x18, 0x01}),
        on("Infinity", Click, {0x01, 0x04, 0x18, 0x02}),
        on("AF_Sens", Click, {0x01, 0x04, 0x58, 0x02}).ifChecked().g(),
        on("AF_Sens", Click, {0x01, 0x04, 0x58, 0x03}).g(),
        on("ACTAFmodeset", Click, {0x01, 0x04, 0x27, 0, 0, 0, 0}).field(Hex, 3, "AFacttime").field(Hex, 5, "AFintTime"),
        on("Lensinit", Click, {0x01, 0x04, 0x19, 0x01}),
        on("CompScan", Click, {0x01, 0x04, 0x19, 0x02}),

        // ---- white balance, aperture, phase, effects -------------------------------
        on("ATWPro", Click, {0x01, 0x04, 0x35, 0x00}).gh(),
        on("InDoor", Click, {0x01, 0x04, 0x35, 0x01}).gh(),
        on("OutDoor", Click, {0x01, 0x04, 0x35, 0x02}).gh(),
        on("OnePushWB", Click, {0x01, 0x04, 0x35, 0x03}).gh(),
        on("ATW", Click, {0x01, 0x04, 0x35, 0x04}).g(),
        on("ManualWB", Click, {0x01, 0x04, 0x35, 0x05}).gh(),
        on("WBTrigger", Click, {0x01, 0x04, 0x10, 0x05}).gh(),
        on("RGainUp", Click, {0x01, 0x04, 0x03, 0x02}),
        on("RGainDown", Click, {0x01, 0x04, 0x03, 0x03}),
        on("BGainUp", Click, {0x01, 0x04, 0x04, 0x02}),
        on("BGainDown", Click, {0x01, 0x04, 0x04, 0x03}),
        on("RBReset", Click, {0x01, 0x04, 0x03, 0x00}),
        on("RBReset", Click, {0x01, 0x04, 0x04, 0x00}).second(),
        on("RGainSlider", Scroll, {0x01, 0x04, 0x43, 0x00, 0x00, 0, 0}).field(N2, 5),
        on("BGainSlider", Scroll, {0x01, 0x04, 0x44, 0x00, 0x00, 0, 0}).field(N2, 5),
        on("ApertureUp", Click, {0x01, 0x04, 0x02, 0x02}),
        on("ApertureDown", Click, {0x01, 0x04, 0x02, 0x03}),
        on("ApertureReset", Click, {0x01, 0x04, 0x02, 0x00}),
        on("ApertureSlider", Scroll, {0x01, 0x04, 0x42, 0, 0, 0, 0}).field(N4, 3),
        on("PEOff", Click, {0x01, 0x04, 0x63, 0x00}).g(),
        on("Pastel", Click, {0x01, 0x04, 0x63, 0x01}).g(),
        on("NegArt", Click, {0x01, 0x04, 0x63, 0x02}).g(),
        on("Sepia", Click, {0x01, 0x04, 0x63, 0x03}).g(),
        on("BlackWhite", Click, {0x01, 0x04, 0x63, 0x04}).g(),
        on("Solarize", Click, {0x01, 0x04, 0x63, 0x05}).g(),
        on("Mosaic", Click, {0x01, 0x04, 0x63, 0x06}).g(),
        on("Slim", Click, {0x01, 0x04, 0x63, 0x07}).g(),
        on("Stretch", Click, {0x01, 0x04, 0x63, 0x08}).g(),
        on("DEOff", Click, {0x01, 0x04, 0x64, 0x00}).g(),
        on("Still", Click, {0x01, 0x04, 0x64, 0x01}).g(),
        on("Flash", Click, {0x01, 0x04, 0x64, 0x02}).g(),
        on("Lumi", Click, {0x01, 0x04, 0x64, 0x03}).g(),
        on("Trail", Click, {0x01, 0x04, 0x64, 0x04}).g(),
        at("CmdICR", 0, Click, {0x01, 0x04, 0x01, 0x02}),
        at("CmdICR", 1, Click, {0x01, 0x04, 0x01, 0x03}),
        // Auto ICR's caption names the state in force; the stabilizer's and the
        // phase button's name what the next click does.
        on("CmdAutoICR", Click, {0x01, 0x04, 0x51, 0x02}).ifCaption("OFF"),
        on("CmdAutoICR", Click, {0x01, 0x04, 0x51, 0x03}).ifCaption("ON"),
        on("Comstabi", Click, {0x01, 0x04, 0x34, 0x02}).ifCaption("ON"),
        on("Comstabi", Click, {0x01, 0x04, 0x34, 0x03}),
        on("Normal", Click, {0x01, 0x04, 0x60, 0x00}),
        on("VPUp", Down, {0x01, 0x04, 0x05, 0x02}),
        on("VPDown", Down, {0x01, 0x04, 0x05, 0x03}),
        on("VPUp", Up, {0x01, 0x04, 0x05, 0x00}),
        on("VPDown", Up, {0x01, 0x04, 0x05, 0x00}),
        on("VPreset", Click, {0x01, 0x04, 0x05, 0x40}),
        on("VPSlider", Scroll, {0x01, 0x04, 0x45, 0x00, 0x00, 0, 0}).field(N2, 5),
        on("VP0180", Click, {0x01, 0x04, 0x25, 0x00}).ifCaption("0 degree"),
        on("VP0180", Click, {0x01, 0x04, 0x25, 0x01}),

        // ---- memories, power, switches ------------------------------------------------
        at("PresetSet", kEach, Click, {0x01, 0x04, 0x3F, 0x01, 0}).field(Idx, 4).g(),
        at("PresetRecall", kEach, Click, {0x01, 0x04, 0x3F, 0x02, 0}).field(Idx, 4).gh(),
        at("PresetReset", kEach, Click, {0x01, 0x04, 0x3F, 0x00, 0}).field(Idx, 4).g(),
        at("SetOption", kEach, Click, {0x01, 0x04, 0x3F, 0x01, 0}).field(Idx, 4),
        at("RecallOption", kEach, Click, {0x01, 0x04, 0x3F, 0x02, 0}).field(Idx, 4),
        at("ResetOption", kEach, Click, {0x01, 0x04, 0x3F, 0x00, 0}).field(Idx, 4),
        at("CustomMem", 0, Click, {0x01, 0x04, 0x3F, 0x01, 0x7F}),
        at("CustomMem", 1, Click, {0x01, 0x04, 0x3F, 0x02, 0x7F}),
        at("CustomMem", 2, Click, {0x01, 0x04, 0x3F, 0x00, 0x7F}),
        // Check-mark toggles: a checked item sends its off packet.
        on("Power", Click, {0x01, 0x04, 0x00, 0x03}).ifChecked().g(),
        on("Power", Click, {0x01, 0x04, 0x00, 0x02}).g(),
        on("KeyLock", Click, {0x01, 0x04, 0x17, 0x00}).ifChecked(),
        on("KeyLock", Click, {0x01, 0x04, 0x17, 0x02}),
        on("Mute", Click, {0x01, 0x04, 0x75, 0x03}).ifChecked(),
        on("Mute", Click, {0x01, 0x04, 0x75, 0x02}),
        on("Freese", Click, {0x01, 0x04, 0x62, 0x03}).ifChecked().g(),
        on("Freese", Click, {0x01, 0x04, 0x62, 0x02}).g(),
        on("LR_Reverse", Click, {0x01, 0x04, 0x61, 0x03}).ifChecked().g(),
        on("LR_Reverse", Click, {0x01, 0x04, 0x61, 0x02}).g(),
        on("PictureFlip", Click, {0x01, 0x04, 0x66, 0x03}).ifChecked().g(),
        on("PictureFlip", Click, {0x01, 0x04, 0x66, 0x02}).g(),
        on("DataScreen", Click, {0x01, 0x04, 0x15, 0x03}).ifChecked().g(),
        on("DataScreen", Click, {0x01, 0x04, 0x15, 0x02}).g(),
        on("DateDisplay", Click, {0x01, 0x04, 0x71, 0x03}).ifChecked(),
        on("DateDisplay", Click, {0x01, 0x04, 0x71, 0x02}),
        on("TimeDisplay", Click, {0x01, 0x04, 0x72, 0x03}).ifChecked(),
        on("TimeDisplay", Click, {0x01, 0x04, 0x72, 0x02}),
        on("TitleOnOff", Click, {0x01, 0x04, 0x74, 0x03}).ifChecked().g(),
        on("TitleOnOff", Click, {0x01, 0x04, 0x74, 0x02}).g(),
        on("IFMDmode", Click, {0x01, 0x7E, 0x01, 0x18, 0x03}).ifChecked().gh(),
        on("IFMDmode", Click, {0x01, 0x7E, 0x01, 0x18, 0x02}).gh(),
        on("MenuOff", Click, {0x01, 0x06, 0x06, 0x03}).gh(),
        on("Internal", Click, {0x01, 0x04, 0x55, 0x00}),
        on("LineLock", Click, {0x01, 0x04, 0x55, 0x01}),
        on("State3", Click, {0x01, 0x7E, 0x01, 0x1A, 0x00, 0x00}).gh(),
        on("DsubVD", Click, {0x01, 0x7E, 0x01, 0x1A, 0x00, 0x01}).gh(),
    };
    return std::vector<CommandRow>(rows.begin(), rows.end());
}

}  // namespace

const std::vector<CommandRow>& commandTable() {
    static const std::vector<CommandRow> table = buildTable();
    return table;
}

std::vector<const CommandRow*> commandRows(std::string_view control, int index, Event event) {
    std::vector<const CommandRow*> out;
    for (const CommandRow& r : commandTable()) {
        if (r.event != event || control != r.control) continue;
        if (r.index == index || (r.index == kEach && index >= 0)) out.push_back(&r);
    }
    return out;
}

}  // namespace orbus::panel
