#include "panel/commands.h"

#include <initializer_list>
#include <unordered_map>

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

// A row written as one line: on(CTL(IrisOpen), Click, {01 04 0B 02}).h()...
struct Row : CommandRow {
    Row(const ControlRef& ref, Event ev, std::initializer_list<int> bytes) {
        target = ref;
        control = ref.member.data();  // the macro's string literal: terminated
        index = ref.index;
        event = ev;
        for (int b : bytes) body.push_back(static_cast<std::uint8_t>(b));
    }
    Row& h() {
        hold = true;
        return *this;
    }
    Row& ifChecked(const ControlRef& subject = {}) {
        when = {When::Checked, subject, nullptr, PanTiltModel::None};
        return *this;
    }
    Row& ifCaption(const char* caption) {
        when = {When::CaptionIs, {}, caption, PanTiltModel::None};
        return *this;
    }
    Row& ifModel(PanTiltModel model) {
        when = {When::ModelIs, {}, nullptr, model};
        return *this;
    }
    Row& field(FieldKind kind, int at, const ControlRef& source = {}) {
        fields.push_back({kind, at, source});
        return *this;
    }
    Row& second() {
        then = true;
        return *this;
    }
};

// Short names for the table's lines.
#define CTL(member) ORBUS_CONTROL(member)
#define ELT(member, i) ORBUS_ELEMENT(member, i)
#define EACH(member) ORBUS_EACH(member)

constexpr Event Click = Event::Click;
constexpr Event Down = Event::MouseDown;
constexpr Event Up = Event::MouseUp;
constexpr Event Scroll = Event::Scroll;
constexpr FieldKind N4 = FieldKind::Nibbles4;
constexpr FieldKind N2 = FieldKind::Nibbles2;
constexpr FieldKind Speed = FieldKind::Speed;
constexpr FieldKind Hex = FieldKind::HexPair;
constexpr FieldKind Idx = FieldKind::Index;

Row on(const ControlRef& control, Event ev, std::initializer_list<int> body) { return Row(control, ev, body); }

std::vector<CommandRow> buildTable() {
    const std::initializer_list<Row> rows = {
        // ---- exposure ----------------------------------------------------------
        on(CTL(FullAuto), Click, {0x01, 0x04, 0x39, 0x00}).h(),
        on(CTL(Manual), Click, {0x01, 0x04, 0x39, 0x03}).h(),
        on(CTL(ShutterPriority), Click, {0x01, 0x04, 0x39, 0x0A}).h(),
        on(CTL(IrisPriority), Click, {0x01, 0x04, 0x39, 0x0B}).h(),
        on(CTL(GainPriority), Click, {0x01, 0x04, 0x39, 0x0C}),
        on(CTL(Bright), Click, {0x01, 0x04, 0x39, 0x0D}).h(),
        on(CTL(ShutterAuto), Click, {0x01, 0x04, 0x39, 0x1A}),
        on(CTL(IrisAuto), Click, {0x01, 0x04, 0x39, 0x1B}),
        on(CTL(GainAuto), Click, {0x01, 0x04, 0x39, 0x1C}),
        on(CTL(AESpotLight), Click, {0x01, 0x04, 0x39, 0x10}).h(),
        on(CTL(IrisOpen), Click, {0x01, 0x04, 0x0B, 0x02}),
        on(CTL(IrisClose), Click, {0x01, 0x04, 0x0B, 0x03}),
        on(CTL(GainUp), Click, {0x01, 0x04, 0x0C, 0x02}),
        on(CTL(GainDown), Click, {0x01, 0x04, 0x0C, 0x03}),
        on(CTL(ShutterFast), Click, {0x01, 0x04, 0x0A, 0x02}),
        on(CTL(ShutterSlow), Click, {0x01, 0x04, 0x0A, 0x03}),
        on(CTL(BrightUp), Click, {0x01, 0x04, 0x0D, 0x02}),
        on(CTL(BrightDown), Click, {0x01, 0x04, 0x0D, 0x03}),
        on(CTL(ExpCompUp), Click, {0x01, 0x04, 0x0E, 0x02}),
        on(CTL(ExpCompDown), Click, {0x01, 0x04, 0x0E, 0x03}),
        on(CTL(ExpComp), Click, {0x01, 0x04, 0x3E, 0x02}).ifChecked(),
        on(CTL(ExpComp), Click, {0x01, 0x04, 0x3E, 0x03}),
        on(CTL(BackLight), Click, {0x01, 0x04, 0x33, 0x02}).ifChecked(),
        on(CTL(BackLight), Click, {0x01, 0x04, 0x33, 0x03}),
        on(CTL(AutoSlowShutter), Click, {0x01, 0x04, 0x5A, 0x02}).ifChecked(),
        on(CTL(AutoSlowShutter), Click, {0x01, 0x04, 0x5A, 0x03}),
        on(CTL(ASSL0), Click, {0x01, 0x04, 0x2A, 0x00, 0x00}).h(),
        on(CTL(ASSL1), Click, {0x01, 0x04, 0x2A, 0x01, 0x00}).h(),
        on(CTL(ASSL2), Click, {0x01, 0x04, 0x2A, 0x02, 0x00}).h(),
        on(CTL(IrisSlider), Scroll, {0x01, 0x04, 0x4B, 0, 0, 0, 0}).field(N4, 3),
        on(CTL(GainSlider), Scroll, {0x01, 0x04, 0x4C, 0, 0, 0, 0}).field(N4, 3),
        on(CTL(ShutterSlider), Scroll, {0x01, 0x04, 0x4A, 0, 0, 0, 0}).field(N4, 3),
        on(CTL(BrightSlider), Scroll, {0x01, 0x04, 0x4D, 0, 0, 0, 0}).field(N4, 3),
        on(CTL(ExpCompSlider), Scroll, {0x01, 0x04, 0x4E, 0, 0, 0, 0}).field(N4, 3),

        // ---- zoom, digital zoom, focus -----------------------------------------
        on(CTL(ZoomTele), Down, {0x01, 0x04, 0x07, 0x20}).field(Speed, 3, CTL(TeleSpeed)),
        on(CTL(ZoomTele), Up, {0x01, 0x04, 0x07, 0x00}),
        on(CTL(ZoomWide), Down, {0x01, 0x04, 0x07, 0x30}).field(Speed, 3, CTL(WideSpeed)),
        on(CTL(ZoomWide), Up, {0x01, 0x04, 0x07, 0x00}),
        on(CTL(FarT), Click, {0x01, 0x04, 0x47, 0x08, 0x0B, 0x0E, 0x00}).ifChecked(CTL(DZoom)),
        on(CTL(FarT), Click, {0x01, 0x04, 0x47, 0x04, 0x00, 0x00, 0x00}),
        on(CTL(WideT), Click, {0x01, 0x04, 0x47, 0x00, 0x00, 0x00, 0x00}),
        on(CTL(ZoomSlider), Scroll, {0x01, 0x04, 0x47, 0, 0, 0, 0}).field(N4, 3),
        on(CTL(ZoomSlider), Up, {0x01, 0x04, 0x47, 0, 0, 0, 0}).field(N4, 3),
        on(CTL(ZoomSliderShort), Scroll, {0x01, 0x04, 0x47, 0, 0, 0, 0}).field(N4, 3),
        on(CTL(ZoomSliderShort), Up, {0x01, 0x04, 0x47, 0, 0, 0, 0}).field(N4, 3),
        on(CTL(DZoomTele), Down, {0x01, 0x04, 0x06, 0x20}).field(Speed, 3, CTL(DTeleSpeed)),
        on(CTL(DZoomTele), Up, {0x01, 0x04, 0x06, 0x00}),
        on(CTL(DZoomWide), Down, {0x01, 0x04, 0x06, 0x30}).field(Speed, 3, CTL(DWideSpeed)),
        on(CTL(DZoomWide), Up, {0x01, 0x04, 0x06, 0x00}),
        on(CTL(DZoomSlider), Scroll, {0x01, 0x04, 0x46, 0, 0, 0, 0}).field(N4, 3),
        on(CTL(DZoomSlider), Up, {0x01, 0x04, 0x46, 0x00, 0x00, 0, 0}).field(N2, 5),
        on(CTL(DZoom), Click, {0x01, 0x04, 0x06, 0x02}).ifChecked(),
        on(CTL(DZoom), Click, {0x01, 0x04, 0x06, 0x03}),
        on(CTL(DZoomX), Click, {0x01, 0x04, 0x06, 0x10}),
        on(ELT(DZoomMode, 0), Click, {0x01, 0x04, 0x36, 0x00}).h(),
        on(ELT(DZoomMode, 1), Click, {0x01, 0x04, 0x36, 0x01}),
        on(CTL(DZL0), Click, {0x01, 0x04, 0x26, 0x00}).h(),
        on(CTL(DZL1), Click, {0x01, 0x04, 0x26, 0x01}).h(),
        on(CTL(DZL2), Click, {0x01, 0x04, 0x26, 0x02}).h(),
        on(CTL(DZL3), Click, {0x01, 0x04, 0x26, 0x03}).h(),
        // ORX-Alpha drives focus at its one fixed speed.
        on(CTL(Far), Down, {0x01, 0x04, 0x08, 0x02}).ifModel(PanTiltModel::Alpha),
        on(CTL(Far), Down, {0x01, 0x04, 0x08, 0x20}).field(Speed, 3, CTL(FarSpeed)),
        on(CTL(Far), Up, {0x01, 0x04, 0x08, 0x00}),
        on(CTL(Near), Down, {0x01, 0x04, 0x08, 0x03}).ifModel(PanTiltModel::Alpha),
        on(CTL(Near), Down, {0x01, 0x04, 0x08, 0x30}).field(Speed, 3, CTL(NearSpeed)),
        on(CTL(Near), Up, {0x01, 0x04, 0x08, 0x00}),
        on(CTL(FocusSlider), Scroll, {0x01, 0x04, 0x48, 0, 0, 0, 0}).field(N4, 3),
        on(CTL(FocusSlider), Up, {0x01, 0x04, 0x48, 0, 0, 0, 0}).field(N4, 3),
        on(CTL(FocusNearLimitSlider), Scroll, {0x01, 0x04, 0x28, 0, 0, 0, 0}).field(N4, 3),
        on(ELT(AFModeCmd, 0), Click, {0x01, 0x04, 0x38, 0x02}),
        on(ELT(AFModeCmd, 1), Click, {0x01, 0x04, 0x57, 0x00}),
        on(ELT(AFModeCmd, 2), Click, {0x01, 0x04, 0x57, 0x01}),
        on(ELT(AFModeCmd, 3), Click, {0x01, 0x04, 0x57, 0x02}),
        on(CTL(ManAFMode), Click, {0x01, 0x04, 0x38, 0x03}),
        on(CTL(AFTrig), Click, {0x01, 0x04, 0x18, 0x01}),
        on(CTL(Infinity), Click, {0x01, 0x04, 0x18, 0x02}),
        on(CTL(AF_Sens), Click, {0x01, 0x04, 0x58, 0x02}).ifChecked(),
        on(CTL(AF_Sens), Click, {0x01, 0x04, 0x58, 0x03}),
        on(CTL(ACTAFmodeset), Click, {0x01, 0x04, 0x27, 0, 0, 0, 0}).field(Hex, 3, CTL(AFacttime)).field(Hex, 5, CTL(AFintTime)),
        on(CTL(Lensinit), Click, {0x01, 0x04, 0x19, 0x01}),
        on(CTL(CompScan), Click, {0x01, 0x04, 0x19, 0x02}),

        // ---- white balance, aperture, phase, effects -------------------------------
        on(CTL(ATWPro), Click, {0x01, 0x04, 0x35, 0x00}).h(),
        on(CTL(InDoor), Click, {0x01, 0x04, 0x35, 0x01}).h(),
        on(CTL(OutDoor), Click, {0x01, 0x04, 0x35, 0x02}).h(),
        on(CTL(OnePushWB), Click, {0x01, 0x04, 0x35, 0x03}).h(),
        on(CTL(ATW), Click, {0x01, 0x04, 0x35, 0x04}),
        on(CTL(ManualWB), Click, {0x01, 0x04, 0x35, 0x05}).h(),
        on(CTL(WBTrigger), Click, {0x01, 0x04, 0x10, 0x05}).h(),
        on(CTL(RGainUp), Click, {0x01, 0x04, 0x03, 0x02}),
        on(CTL(RGainDown), Click, {0x01, 0x04, 0x03, 0x03}),
        on(CTL(BGainUp), Click, {0x01, 0x04, 0x04, 0x02}),
        on(CTL(BGainDown), Click, {0x01, 0x04, 0x04, 0x03}),
        on(CTL(RBReset), Click, {0x01, 0x04, 0x03, 0x00}),
        on(CTL(RBReset), Click, {0x01, 0x04, 0x04, 0x00}).second(),
        on(CTL(RGainSlider), Scroll, {0x01, 0x04, 0x43, 0x00, 0x00, 0, 0}).field(N2, 5),
        on(CTL(BGainSlider), Scroll, {0x01, 0x04, 0x44, 0x00, 0x00, 0, 0}).field(N2, 5),
        on(CTL(ApertureUp), Click, {0x01, 0x04, 0x02, 0x02}),
        on(CTL(ApertureDown), Click, {0x01, 0x04, 0x02, 0x03}),
        on(CTL(ApertureReset), Click, {0x01, 0x04, 0x02, 0x00}),
        on(CTL(ApertureSlider), Scroll, {0x01, 0x04, 0x42, 0, 0, 0, 0}).field(N4, 3),
        on(CTL(PEOff), Click, {0x01, 0x04, 0x63, 0x00}),
        on(CTL(Pastel), Click, {0x01, 0x04, 0x63, 0x01}),
        on(CTL(NegArt), Click, {0x01, 0x04, 0x63, 0x02}),
        on(CTL(Sepia), Click, {0x01, 0x04, 0x63, 0x03}),
        on(CTL(BlackWhite), Click, {0x01, 0x04, 0x63, 0x04}),
        on(CTL(Solarize), Click, {0x01, 0x04, 0x63, 0x05}),
        on(CTL(Mosaic), Click, {0x01, 0x04, 0x63, 0x06}),
        on(CTL(Slim), Click, {0x01, 0x04, 0x63, 0x07}),
        on(CTL(Stretch), Click, {0x01, 0x04, 0x63, 0x08}),
        on(CTL(DEOff), Click, {0x01, 0x04, 0x64, 0x00}),
        on(CTL(Still), Click, {0x01, 0x04, 0x64, 0x01}),
        on(CTL(Flash), Click, {0x01, 0x04, 0x64, 0x02}),
        on(CTL(Lumi), Click, {0x01, 0x04, 0x64, 0x03}),
        on(CTL(Trail), Click, {0x01, 0x04, 0x64, 0x04}),
        on(ELT(CmdICR, 0), Click, {0x01, 0x04, 0x01, 0x02}),
        on(ELT(CmdICR, 1), Click, {0x01, 0x04, 0x01, 0x03}),
        // Auto ICR's caption names the state in force; the stabilizer's and the
        // phase button's name what the next click does.
        on(CTL(CmdAutoICR), Click, {0x01, 0x04, 0x51, 0x02}).ifCaption("OFF"),
        on(CTL(CmdAutoICR), Click, {0x01, 0x04, 0x51, 0x03}).ifCaption("ON"),
        on(CTL(Comstabi), Click, {0x01, 0x04, 0x34, 0x02}).ifCaption("ON"),
        on(CTL(Comstabi), Click, {0x01, 0x04, 0x34, 0x03}),
        on(CTL(Normal), Click, {0x01, 0x04, 0x60, 0x00}),
        on(CTL(VPUp), Down, {0x01, 0x04, 0x05, 0x02}),
        on(CTL(VPDown), Down, {0x01, 0x04, 0x05, 0x03}),
        on(CTL(VPUp), Up, {0x01, 0x04, 0x05, 0x00}),
        on(CTL(VPDown), Up, {0x01, 0x04, 0x05, 0x00}),
        on(CTL(VPreset), Click, {0x01, 0x04, 0x05, 0x40}),
        on(CTL(VPSlider), Scroll, {0x01, 0x04, 0x45, 0x00, 0x00, 0, 0}).field(N2, 5),
        on(CTL(VP0180), Click, {0x01, 0x04, 0x25, 0x00}).ifCaption("0 degree"),
        on(CTL(VP0180), Click, {0x01, 0x04, 0x25, 0x01}),

        // ---- memories, power, switches ------------------------------------------------
        on(EACH(PresetSet), Click, {0x01, 0x04, 0x3F, 0x01, 0}).field(Idx, 4),
        on(EACH(PresetRecall), Click, {0x01, 0x04, 0x3F, 0x02, 0}).field(Idx, 4).h(),
        on(EACH(PresetReset), Click, {0x01, 0x04, 0x3F, 0x00, 0}).field(Idx, 4),
        on(EACH(SetOption), Click, {0x01, 0x04, 0x3F, 0x01, 0}).field(Idx, 4),
        on(EACH(RecallOption), Click, {0x01, 0x04, 0x3F, 0x02, 0}).field(Idx, 4),
        on(EACH(ResetOption), Click, {0x01, 0x04, 0x3F, 0x00, 0}).field(Idx, 4),
        on(ELT(CustomMem, 0), Click, {0x01, 0x04, 0x3F, 0x01, 0x7F}),
        on(ELT(CustomMem, 1), Click, {0x01, 0x04, 0x3F, 0x02, 0x7F}),
        on(ELT(CustomMem, 2), Click, {0x01, 0x04, 0x3F, 0x00, 0x7F}),
        // Check-mark toggles: a checked item sends its off packet.
        on(CTL(Power), Click, {0x01, 0x04, 0x00, 0x03}).ifChecked(),
        on(CTL(Power), Click, {0x01, 0x04, 0x00, 0x02}),
        on(CTL(KeyLock), Click, {0x01, 0x04, 0x17, 0x00}).ifChecked(),
        on(CTL(KeyLock), Click, {0x01, 0x04, 0x17, 0x02}),
        on(CTL(Mute), Click, {0x01, 0x04, 0x75, 0x03}).ifChecked(),
        on(CTL(Mute), Click, {0x01, 0x04, 0x75, 0x02}),
        on(CTL(Freese), Click, {0x01, 0x04, 0x62, 0x03}).ifChecked(),
        on(CTL(Freese), Click, {0x01, 0x04, 0x62, 0x02}),
        on(CTL(LR_Reverse), Click, {0x01, 0x04, 0x61, 0x03}).ifChecked(),
        on(CTL(LR_Reverse), Click, {0x01, 0x04, 0x61, 0x02}),
        on(CTL(PictureFlip), Click, {0x01, 0x04, 0x66, 0x03}).ifChecked(),
        on(CTL(PictureFlip), Click, {0x01, 0x04, 0x66, 0x02}),
        on(CTL(DataScreen), Click, {0x01, 0x04, 0x15, 0x03}).ifChecked(),
        on(CTL(DataScreen), Click, {0x01, 0x04, 0x15, 0x02}),
        on(CTL(DateDisplay), Click, {0x01, 0x04, 0x71, 0x03}).ifChecked(),
        on(CTL(DateDisplay), Click, {0x01, 0x04, 0x71, 0x02}),
        on(CTL(TimeDisplay), Click, {0x01, 0x04, 0x72, 0x03}).ifChecked(),
        on(CTL(TimeDisplay), Click, {0x01, 0x04, 0x72, 0x02}),
        on(CTL(TitleOnOff), Click, {0x01, 0x04, 0x74, 0x03}).ifChecked(),
        on(CTL(TitleOnOff), Click, {0x01, 0x04, 0x74, 0x02}),
        on(CTL(IFMDmode), Click, {0x01, 0x7E, 0x01, 0x18, 0x03}).ifChecked().h(),
        on(CTL(IFMDmode), Click, {0x01, 0x7E, 0x01, 0x18, 0x02}).h(),
        on(CTL(MenuOff), Click, {0x01, 0x06, 0x06, 0x03}).h(),
        on(CTL(Internal), Click, {0x01, 0x04, 0x55, 0x00}),
        on(CTL(LineLock), Click, {0x01, 0x04, 0x55, 0x01}),
        on(CTL(State3), Click, {0x01, 0x7E, 0x01, 0x1A, 0x00, 0x00}).h(),
        on(CTL(DsubVD), Click, {0x01, 0x7E, 0x01, 0x1A, 0x00, 0x01}).h(),
    };
    return std::vector<CommandRow>(rows.begin(), rows.end());
}

#undef CTL
#undef ELT
#undef EACH

}  // namespace

const std::vector<CommandRow>& commandTable() {
    static const std::vector<CommandRow> table = buildTable();
    return table;
}

std::vector<const CommandRow*> commandRows(std::string_view control, int index, Event event) {
    // The rows of each control, in table order: asked at every click and
    // for every tip, the table is not searched whole each time.
    static const auto byControl = [] {
        std::unordered_map<std::string_view, std::vector<const CommandRow*>> rows;
        for (const CommandRow& r : commandTable()) rows[r.target.member].push_back(&r);
        return rows;
    }();
    std::vector<const CommandRow*> out;
    const auto it = byControl.find(control);
    if (it == byControl.end()) return out;
    for (const CommandRow* r : it->second) {
        if (r->event == event && r->target.names(control, index)) out.push_back(r);
    }
    return out;
}

}  // namespace orbus::panel
