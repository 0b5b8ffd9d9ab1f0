#include "profile/catalogue.h"

#include <algorithm>

#include "dialogs/packets.h"
#include "panel/commands.h"
#include "panel/exposure.h"
#include "panel/model_layout.h"

namespace orbus::profile {

namespace {

using Bodies = std::vector<std::vector<int>>;
using panel::Event;

// ---- packets from the command tables ---------------------------------------------

// The body of the first row a control sends on `event`, its computed bytes
// holding `value`.
std::vector<int> rowBody(const panel::CommandRow& row, int value) {
    std::vector<int> body(row.body.begin(), row.body.end());
    for (const panel::Field& f : row.fields) {
        const auto at = static_cast<std::size_t>(f.at);
        if (f.kind == panel::FieldKind::Nibbles4 && at + 4 <= body.size()) {
            for (int i = 0; i < 4; ++i) body[at + static_cast<std::size_t>(i)] = (value >> (12 - 4 * i)) & 0xF;
        } else if (f.kind == panel::FieldKind::Nibbles2 && at + 2 <= body.size()) {
            body[at] = (value >> 4) & 0xF;
            body[at + 1] = value & 0xF;
        }
    }
    return body;
}

Bodies controlPacket(const ControlRef& control, Event event, int value = 0) {
    const auto rows = panel::commandRows(control, event);
    if (rows.empty()) return {};
    return {rowBody(*rows.front(), value)};
}

// A switch's packet: of the control's two rows, the one ending in 02 sets
// it on, the other sets it off (03 for most, 00 for the key lock).
Bodies switchPacket(const ControlRef& control, bool on) {
    for (const panel::CommandRow* row : panel::commandRows(control, Event::Click)) {
        if (row->body.empty()) continue;
        if ((row->body.back() == 0x02) == on) return {rowBody(*row, 0)};
    }
    return {};
}

// A packet of the dialogs' table, its computed bytes holding `values`.
std::vector<int> dialogBody(dialogs::Packet packet, const std::vector<int>& values) {
    std::vector<int> all = dialogs::packetValues(0x81, packet, values);
    return std::vector<int>(all.begin() + 1, all.end() - 1);
}

std::vector<int> nibbles(int value, int count) {
    std::vector<int> out;
    for (int i = count - 1; i >= 0; --i) out.push_back((value >> (4 * i)) & 0xF);
    return out;
}

int valueOf(const Values& v, const char* key, int otherwise = -1) {
    const auto it = v.find(key);
    return it == v.end() ? otherwise : it->second;
}

// ---- the exposure modes' hand-over ----------------------------------------------

const panel::ExposureMode* profileMode(const Values& v) { return panel::exposureMode(valueOf(v, "exposure.mode")); }

// ---- rows --------------------------------------------------------------------

// Shorthand for the table below.
#define CTL(member) ORBUS_CONTROL(member)
#define ELT(member, i) ORBUS_ELEMENT(member, i)

using R = const Reading&;
using V = const Values&;

bool always(V) { return true; }

SettingDef choice(const char* key, const char* label, Stage stage, std::vector<ChoiceDef> choices,
                  std::function<std::optional<int>(R)> read) {
    SettingDef s;
    s.key = key;
    s.label = label;
    s.kind = Kind::Choice;
    s.stage = stage;
    s.choices = std::move(choices);
    s.shownBy = s.choices.front().control;
    s.read = std::move(read);
    s.inForce = always;
    const std::string k = key;
    s.packets = [k](V v) -> Bodies {
        const SettingDef* self = findSetting(k);
        const int code = valueOf(v, k.c_str());
        for (const ChoiceDef& c : self->choices) {
            if (c.code == code) return controlPacket(c.control, Event::Click);
        }
        return {};
    };
    return s;
}

SettingDef toggle(const char* key, const char* label, Stage stage, const ControlRef& control,
                  std::function<std::optional<int>(R)> read, std::function<bool(V)> inForce = always) {
    SettingDef s;
    s.key = key;
    s.label = label;
    s.kind = Kind::Switch;
    s.stage = stage;
    s.min = 0;
    s.max = 1;
    s.shownBy = control;
    s.read = std::move(read);
    s.inForce = std::move(inForce);
    const std::string k = key;
    s.packets = [k, control](V v) { return switchPacket(control, valueOf(v, k.c_str()) != 0); };
    return s;
}

// A number a slider of the main window sends.
SettingDef slider(const char* key, const char* label, Stage stage, const ControlRef& control, int min, int max,
                  std::function<std::optional<int>(R)> read, std::function<bool(V)> inForce = always) {
    SettingDef s;
    s.key = key;
    s.label = label;
    s.kind = Kind::Number;
    s.stage = stage;
    s.min = min;
    s.max = max;
    s.shownBy = control;
    s.read = std::move(read);
    s.inForce = std::move(inForce);
    const std::string k = key;
    s.packets = [k, control](V v) { return controlPacket(control, Event::Scroll, valueOf(v, k.c_str(), 0)); };
    return s;
}

// A number a dialog sends, the menu item that opens the dialog standing for it.
SettingDef dialogNumber(const char* key, const char* label, const ControlRef& item, int min, int max,
                        std::function<std::optional<int>(R)> read, std::function<Bodies(V)> packets,
                        std::function<bool(V)> inForce = always) {
    SettingDef s;
    s.key = key;
    s.label = label;
    s.kind = Kind::Number;
    s.stage = Stage::Value;
    s.min = min;
    s.max = max;
    s.shownBy = item;
    s.lackedWhenDisabled = true;
    s.read = std::move(read);
    s.inForce = std::move(inForce);
    s.packets = std::move(packets);
    return s;
}

template <class F>
std::function<std::optional<int>(R)> fromCamera(F f) {
    return [f](R r) -> std::optional<int> { return r.status.camera ? std::optional<int>(f(*r.status.camera)) : std::nullopt; };
}
template <class F>
std::function<std::optional<int>(R)> fromLens(F f) {
    return [f](R r) -> std::optional<int> { return r.status.lens ? std::optional<int>(f(*r.status.lens)) : std::nullopt; };
}
template <class F>
std::function<std::optional<int>(R)> fromOther(F f) {
    return [f](R r) -> std::optional<int> { return r.status.other ? std::optional<int>(f(*r.status.other)) : std::nullopt; };
}
template <class F>
std::function<std::optional<int>(R)> fromKappa(F f) {
    return [f](R r) -> std::optional<int> {
        return r.status.kappaExpand ? std::optional<int>(f(*r.status.kappaExpand)) : std::nullopt;
    };
}

// The levels packet carries day and night together: the day level's row
// sends it, and neither is kept, sent or compared without the other.
bool bothLevels(V v) { return v.count("alarm.dayLevel") && v.count("alarm.nightLevel"); }
Bodies alarmLevels(V v) {
    std::vector<int> values = nibbles(std::max(0, valueOf(v, "alarm.dayLevel", 0)), 3);
    for (int n : nibbles(std::max(0, valueOf(v, "alarm.nightLevel", 0)), 3)) values.push_back(n);
    return {dialogBody(dialogs::Packet::AlarmLevels, values)};
}

std::vector<SettingDef> build() {
    using CB = status::CameraBlockStatus;
    using LS = status::LensStatus;
    using OB = status::OtherBlockStatus;
    using KE = status::KappaExpandStatus;
    auto modeGives = [](bool panel::ExposureMode::*what) {
        return [what](V v) {
            const panel::ExposureMode* e = profileMode(v);
            return e && e->*what;
        };
    };
    auto is = [](const char* key, int code) { return [key, code](V v) { return valueOf(v, key) == code; }; };
    auto isNot = [](const char* key, int code) {
        return [key, code](V v) { return v.count(key) && valueOf(v, key) != code; };
    };

    std::vector<SettingDef> t;
    // ---- exposure ----------------------------------------------------------
    t.push_back(choice("exposure.mode", "Exposure mode", Stage::Mode,
                       {{"full-auto", 0x00, CTL(FullAuto)},
                        {"manual", 0x03, CTL(Manual)},
                        {"shutter-priority", 0x0A, CTL(ShutterPriority)},
                        {"iris-priority", 0x0B, CTL(IrisPriority)},
                        {"gain-priority", 0x0C, CTL(GainPriority)},
                        {"bright", 0x0D, CTL(Bright)},
                        {"shutter-auto", 0x1A, CTL(ShutterAuto)},
                        {"iris-auto", 0x1B, CTL(IrisAuto)},
                        {"gain-auto", 0x1C, CTL(GainAuto)}},
                       fromCamera([](const CB& c) { return c.exposureMode; })));
    t.push_back(toggle("exposure.backLight", "Back light", Stage::Switch, CTL(BackLight),
                       fromCamera([](const CB& c) { return c.backLight ? 1 : 0; }),
                       modeGives(&panel::ExposureMode::backLight)));
    t.push_back(toggle("exposure.slowShutter", "Auto slow shutter", Stage::Switch, CTL(AutoSlowShutter),
                       fromCamera([](const CB& c) { return c.slowShutter ? 1 : 0; }),
                       modeGives(&panel::ExposureMode::slowShutter)));
    t.push_back(choice("exposure.slowShutterLimit", "Auto slow shutter limit", Stage::Mode,
                       {{"p0", 0, CTL(ASSL0)}, {"p1", 1, CTL(ASSL1)}, {"p2", 2, CTL(ASSL2)}},
                       fromKappa([](const KE& k) { return k.slowShutterLimit; })));
    // The camera takes the limit in full auto only.
    t.back().inForce = is("exposure.mode", 0x00);
    t.push_back(slider("exposure.iris", "Iris", Stage::Value, CTL(IrisSlider), 0, 17,
                       fromCamera([](const CB& c) { return c.iris; }), modeGives(&panel::ExposureMode::iris)));
    t.push_back(slider("exposure.shutter", "Shutter", Stage::Value, CTL(ShutterSlider), 0, 21,
                       fromCamera([](const CB& c) { return c.shutter; }), modeGives(&panel::ExposureMode::shutter)));
    t.push_back(slider("exposure.gain", "Gain", Stage::Value, CTL(GainSlider), 0, 15,
                       fromCamera([](const CB& c) { return c.gain; }), modeGives(&panel::ExposureMode::gain)));
    t.push_back(slider("exposure.bright", "Bright", Stage::Value, CTL(BrightSlider), 0, 31,
                       fromCamera([](const CB& c) { return c.bright; }), modeGives(&panel::ExposureMode::bright)));
    t.push_back(toggle("exposure.compensation", "Exposure compensation", Stage::Switch, CTL(ExpComp),
                       fromCamera([](const CB& c) { return c.expCompOn ? 1 : 0; })));
    t.push_back(slider("exposure.compensationLevel", "Exposure compensation level", Stage::Value,
                       CTL(ExpCompSlider), 0, 14, fromCamera([](const CB& c) { return c.expComp; }),
                       is("exposure.compensation", 1)));
    // ---- white balance and aperture ------------------------------------------------
    t.push_back(choice("whiteBalance.mode", "White balance mode", Stage::Mode,
                       {{"auto", 0, CTL(ATWPro)},
                        {"indoor", 1, CTL(InDoor)},
                        {"outdoor", 2, CTL(OutDoor)},
                        {"one-push", 3, CTL(OnePushWB)},
                        {"atw", 4, CTL(ATW)},
                        {"manual", 5, CTL(ManualWB)}},
                       fromCamera([](const CB& c) { return c.whiteBalanceMode; })));
    t.push_back(slider("whiteBalance.redGain", "Red gain", Stage::Value, CTL(RGainSlider), 0, 255,
                       fromCamera([](const CB& c) { return c.redGain; }), is("whiteBalance.mode", 5)));
    t.push_back(slider("whiteBalance.blueGain", "Blue gain", Stage::Value, CTL(BGainSlider), 0, 255,
                       fromCamera([](const CB& c) { return c.blueGain; }), is("whiteBalance.mode", 5)));
    t.push_back(slider("aperture", "Aperture", Stage::Value, CTL(ApertureSlider), 0, 15,
                       fromCamera([](const CB& c) { return c.aperture; })));
    // ---- focus and zoom ------------------------------------------------------------
    t.push_back(choice("focus.mode", "Focus mode", Stage::Mode,
                       {{"auto", 1, ELT(AFModeCmd, 0)}, {"manual", 0, CTL(ManAFMode)}},
                       fromLens([](const LS& l) { return l.autoFocus ? 1 : 0; })));
    t.push_back(choice("focus.afMode", "AF mode", Stage::Mode,
                       {{"normal", 0, ELT(AFModeCmd, 1)}, {"interval", 1, ELT(AFModeCmd, 2)}, {"zoom-trigger", 2, ELT(AFModeCmd, 3)}},
                       [](R r) { return r.status.lens ? r.status.lens->afSubMode : std::nullopt; }));
    // The AF modes are those of auto focus.
    t.back().inForce = [](V v) { return valueOf(v, "focus.mode", 1) == 1; };
    t.push_back(toggle("focus.afSensitivity", "AF sensitivity", Stage::Switch, CTL(AF_Sens),
                       fromLens([](const LS& l) { return l.afSensitivityLow ? 1 : 0; })));
    t.push_back(slider("focus.nearLimit", "Focus near limit", Stage::Value, CTL(FocusNearLimitSlider), 0x1000,
                       0xC000, fromLens([](const LS& l) { return l.focusNearLimit; })));
    t.push_back(choice("digitalZoom.mode", "Digital zoom mode", Stage::Mode,
                       {{"combined", 0, ELT(DZoomMode, 0)}, {"separate", 1, ELT(DZoomMode, 1)}},
                       fromLens([](const LS& l) { return l.digitalZoomSeparate ? 1 : 0; })));
    t.push_back(toggle("digitalZoom.on", "Digital zoom", Stage::Switch, CTL(DZoom),
                       fromLens([](const LS& l) { return l.digitalZoomOn ? 1 : 0; })));
    // In separate mode the digital zoom is driven on its own, not switched.
    t.back().inForce = [](V v) { return valueOf(v, "digitalZoom.mode", 0) == 0; };
    t.push_back(choice("digitalZoom.limit", "Digital zoom limit", Stage::Mode,
                       {{"x1", 0, CTL(DZL0)}, {"x1.5", 1, CTL(DZL1)}, {"x2", 2, CTL(DZL2)}, {"x4", 3, CTL(DZL3)}},
                       fromKappa([](const KE& k) { return k.digitalZoomLimit; })));
    SettingDef zoom = slider("zoom.position", "Zoom position", Stage::Position, CTL(ZoomSlider), 0, 0x7FFF,
                             [](R r) { return r.status.lens ? r.status.lens->zoom : std::nullopt; });
    zoom.position = true;
    // The digital zoom's state chooses which of the two zoom sliders shows.
    zoom.shownBy = CTL(ZoomValue);
    zoom.rangeBy = CTL(ZoomSlider);
    t.push_back(zoom);
    SettingDef focus = slider("focus.position", "Focus position", Stage::Position, CTL(FocusSlider), 0, 0xFFFF,
                              [](R r) { return r.status.lens ? r.status.lens->focus : std::nullopt; },
                              is("focus.mode", 0));
    focus.position = true;
    t.push_back(focus);
    // ---- effects ------------------------------------------------------------------
    t.push_back(choice("picture.effect", "Picture effect", Stage::Mode,
                       {{"off", 0, CTL(PEOff)},
                        {"pastel", 1, CTL(Pastel)},
                        {"neg-art", 2, CTL(NegArt)},
                        {"sepia", 3, CTL(Sepia)},
                        {"black-white", 4, CTL(BlackWhite)},
                        {"solarize", 5, CTL(Solarize)},
                        {"mosaic", 6, CTL(Mosaic)},
                        {"slim", 7, CTL(Slim)},
                        {"stretch", 8, CTL(Stretch)}},
                       fromOther([](const OB& o) { return o.pictureEffect; })));
    t.push_back(choice("digital.effect", "Digital effect", Stage::Mode,
                       {{"off", 0, CTL(DEOff)}, {"still", 1, CTL(Still)}, {"flash", 2, CTL(Flash)}, {"lumi", 3, CTL(Lumi)}, {"trail", 4, CTL(Trail)}},
                       fromOther([](const OB& o) { return o.digitalEffect; })));
    t.push_back(dialogNumber("digital.effectLevel", "Digital effect level", CTL(EffectLevel), 0, 32,
                             fromOther([](const OB& o) { return o.effectLevel; }),
                             [](V v) { return Bodies{dialogBody(dialogs::Packet::EffectLevel, {valueOf(v, "digital.effectLevel", 0)})}; },
                             isNot("digital.effect", 0)));
    // ---- switches -----------------------------------------------------------------
    t.push_back(toggle("switch.lrReverse", "L/R reverse", Stage::Switch, CTL(LR_Reverse),
                       fromOther([](const OB& o) { return o.lrReverse ? 1 : 0; })));
    t.push_back(toggle("switch.dataScreen", "Data screen", Stage::Switch, CTL(DataScreen),
                       fromOther([](const OB& o) { return o.dataScreen ? 1 : 0; })));
    t.push_back(toggle("switch.titleDisplay", "Title display", Stage::Switch, CTL(TitleOnOff),
                       fromOther([](const OB& o) { return o.titleOn ? 1 : 0; })));
    t.push_back(toggle("switch.keyLock", "Key lock", Stage::Switch, CTL(KeyLock),
                       fromOther([](const OB& o) { return o.keyLock ? 1 : 0; })));
    t.push_back(toggle("switch.autoIcr", "Auto ICR", Stage::Switch, CTL(CmdAutoICR),
                       fromOther([](const OB& o) { return o.autoIcr ? 1 : 0; })));
    t.push_back(toggle("switch.infoDisplay", "Information display", Stage::Switch, CTL(IFMDmode),
                       [](R r) -> std::optional<int> {
                           return r.status.infoDisplay ? std::optional<int>(*r.status.infoDisplay ? 1 : 0) : std::nullopt;
                       }));
    t.push_back(choice("sync.dsub", "D-sub sync output", Stage::Mode,
                       {{"3-state", 1, CTL(State3)}, {"vd", 0, CTL(DsubVD)}},
                       [](R r) -> std::optional<int> {
                           return r.status.dsubThreeState ? std::optional<int>(*r.status.dsubThreeState ? 1 : 0)
                                                          : std::nullopt;
                       }));
    // A video system without the D-sub sync output disables its menu.
    t.back().lackedWhenDisabled = true;
    // ---- timers and alarm ------------------------------------------------------------
    t.push_back(dialogNumber("power.autoOffMinutes", "Auto power off (min)", CTL(AutoPowerOff), 0, 0xFFFF,
                             [](R r) { return r.autoPowerOff; },
                             [](V v) { return Bodies{dialogBody(dialogs::Packet::AutoPowerOff, nibbles(valueOf(v, "power.autoOffMinutes", 0), 4))}; }));
    t.push_back(dialogNumber("power.nightOffMinutes", "Night power off (min)", CTL(NightPowerOff), 0, 0xFFFF,
                             [](R r) { return r.nightPowerOff; },
                             [](V v) { return Bodies{dialogBody(dialogs::Packet::NightPowerOff, nibbles(valueOf(v, "power.nightOffMinutes", 0), 4))}; }));
    // The alarm mode goes before its levels.
    SettingDef alarmMode =
        dialogNumber("alarm.mode", "Alarm mode", CTL(MotionDetecter), 0, 0x0C, [](R r) { return r.alarmMode; },
                     [](V v) { return Bodies{dialogBody(dialogs::Packet::AlarmMode, {valueOf(v, "alarm.mode", 0)})}; });
    alarmMode.stage = Stage::Mode;
    t.push_back(alarmMode);
    t.push_back(dialogNumber("alarm.dayLevel", "Alarm day level", CTL(MotionDetecter), 0, 0xFFF,
                             [](R r) { return r.alarmDayLevel; }, alarmLevels, bothLevels));
    t.push_back(dialogNumber("alarm.nightLevel", "Alarm night level", CTL(MotionDetecter), 0, 0xFFF,
                             [](R r) { return r.alarmNightLevel; },
                             [](V) { return Bodies{}; }, bothLevels));
    return t;
}

#undef CTL
#undef ELT

}  // namespace

const std::vector<SettingDef>& catalogue() {
    static const std::vector<SettingDef> table = build();
    return table;
}

const SettingDef* findSetting(std::string_view key) {
    for (const SettingDef& s : catalogue()) {
        if (key == s.key) return &s;
    }
    return nullptr;
}

std::string valueText(const SettingDef& setting, int value) {
    switch (setting.kind) {
    case Kind::Switch: return value ? "on" : "off";
    case Kind::Choice:
        for (const ChoiceDef& c : setting.choices) {
            if (c.code == value) return c.name;
        }
        return std::to_string(value);
    case Kind::Number: break;
    }
    return std::to_string(value);
}

std::optional<int> choiceCode(const SettingDef& setting, std::string_view name) {
    for (const ChoiceDef& c : setting.choices) {
        if (name == c.name) return c.code;
    }
    return std::nullopt;
}

// ---- the model's layout ------------------------------------------------------------

bool ModelView::visible(const ControlRef& control) const {
    bool v = !drawnHidden(control);
    if (identity_.series == Series::PanTilt) {
        for (const VisRow& r : panTiltVisibility()) {
            if (!sameControl(r.control, control)) continue;
            const char c = panTiltLayoutOf(r, identity_.panTilt);
            if (c != '-') v = c == 'S';
        }
    } else if (const BlockModelRow* row = identity_.series == Series::Block ? findBlockModel(identity_.blockModel) : nullptr) {
        for (const ControlRef& r : blockHiddenControls(row->hidden)) {
            if (sameControl(r, control)) v = false;
        }
    }
    return v;
}

bool ModelView::enabled(const ControlRef& control) const {
    bool e = !drawnDisabled(control);
    if (identity_.series == Series::PanTilt) {
        // The ORX-Beta's expand block says whether its alarm can be used;
        // the ORX-Kappa's video system whether it has the D-sub output.
        if (status_ && identity_.panTilt == PanTiltModel::Beta && status_->betaExpand &&
            sameControl(control, ORBUS_CONTROL(MotionDetecter)))
            e = status_->betaExpand->motionDetect;
        if (status_ && identity_.panTilt == PanTiltModel::Kappa && sameControl(control, ORBUS_CONTROL(HDACout))) {
            if (!status_->dsubAsked) e = false;
            else if (status_->dsubThreeState) e = true;
        }
    } else if (const BlockModelRow* row = identity_.series == Series::Block ? findBlockModel(identity_.blockModel) : nullptr) {
        for (const ControlRef& r : blockDisabledControls(row->disabled)) {
            if (sameControl(r, control)) e = false;
        }
    }
    return e;
}

bool ModelView::shown(const ControlRef& control) const {
    if (!control) return false;
    for (ControlRef c = control; c; c = holderOf(c)) {
        if (!visible(c)) return false;
    }
    return true;
}

bool ModelView::offers(const ChoiceDef& choice) const { return shown(choice.control); }

bool ModelView::has(const SettingDef& setting) const {
    if (setting.lackedWhenDisabled) {
        if (!setting.shownBy || !enabled(setting.shownBy)) return false;
        // A menu item is lacked with a disabled menu holding it.
        for (ControlRef c = holderOf(setting.shownBy); c; c = holderOf(c)) {
            if (!enabled(c)) return false;
        }
    }
    if (setting.kind == Kind::Choice) {
        return std::any_of(setting.choices.begin(), setting.choices.end(),
                           [this](const ChoiceDef& c) { return offers(c); });
    }
    return shown(setting.shownBy);
}

std::pair<int, int> ModelView::range(const SettingDef& setting) const {
    const ControlRef& by = setting.rangeBy ? setting.rangeBy : setting.shownBy;
    const auto drawn = drawnRange(by);
    if (setting.kind != Kind::Number || !drawn) return {setting.min, setting.max};
    auto [lo, hi] = *drawn;
    if (identity_.series == Series::PanTilt) {
        const PanTiltModel m = identity_.panTilt;
        if (m != PanTiltModel::Alpha) {
            for (const MaxRow& r : panTiltMaxima()) {
                if (sameControl(r.slider, by)) hi = panTiltMaximum(r, m);
            }
        }
        const ExposureRanges e = panTiltExposureRanges(m);
        if (sameControl(by, ORBUS_CONTROL(GainSlider))) hi = e.gainMax;
        if (sameControl(by, ORBUS_CONTROL(ShutterSlider))) {
            if (e.shutterMin >= 0) lo = e.shutterMin;
            hi = e.shutterMax;
        }
        if (sameControl(by, ORBUS_CONTROL(BrightSlider))) hi = e.brightMax;
        // The ORX-Kappa tells its zoom end in its expand block.
        if (m == PanTiltModel::Kappa && status_ && status_->kappaExpand && status_->kappaExpand->zoomMax &&
            sameControl(by, ORBUS_CONTROL(ZoomSlider)))
            hi = *status_->kappaExpand->zoomMax;
    } else if (const BlockModelRow* row = identity_.series == Series::Block ? findBlockModel(identity_.blockModel) : nullptr) {
        if (row->lens == LensClass::X10 && sameControl(by, ORBUS_CONTROL(BrightSlider))) hi = kBright10XMax;
    }
    return {std::max(setting.min, lo), std::min(setting.max, hi)};
}

bool holdsPositions(const Values& values) {
    return std::any_of(values.begin(), values.end(), [](const auto& kv) {
        const SettingDef* s = findSetting(kv.first);
        return s && s->position;
    });
}

Values settingsOf(const Reading& reading, const ModelView& model, bool withPositions) {
    // What was read and is offered, first; then what the modes read hand to
    // the operator.
    Values read;
    for (const SettingDef& s : catalogue()) {
        if (s.position && !withPositions) continue;
        if (!model.has(s)) continue;
        const std::optional<int> v = s.read(reading);
        if (!v) continue;
        if (s.kind == Kind::Choice) {
            const auto it = std::find_if(s.choices.begin(), s.choices.end(),
                                         [&](const ChoiceDef& c) { return c.code == *v && model.offers(c); });
            if (it == s.choices.end()) continue;
        } else {
            const auto [lo, hi] = model.range(s);
            if (*v < lo || *v > hi) continue;
        }
        read[s.key] = *v;
    }
    Values out;
    for (const auto& [key, value] : read) {
        if (findSetting(key)->inForce(read)) out[key] = value;
    }
    return out;
}

}  // namespace orbus::profile
