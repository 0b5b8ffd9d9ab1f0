#include "net/api_catalogue.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "panel/commands.h"
#include "panel/control_ref.h"
#include "pantilt/drive.h"
#include "profile/catalogue.h"

namespace orbus::net {

namespace {

using Bodies = std::vector<Bytes>;

// ---- rows of the main window's table -------------------------------------------------

// The row a control sends on `event` for a camera of `model`: the first
// whose condition the model decides (a row that depends on the window's
// check marks or captions is never the one a remote means).
const panel::CommandRow* rowFor(const ControlRef& control, panel::Event event, PanTiltModel model) {
    const int index = control.index == ControlRef::kEach ? 0 : control.index;
    for (const panel::CommandRow* r : panel::commandRows(control.member, index, event)) {
        if (r->when.test == panel::When::Always) return r;
        if (r->when.test == panel::When::ModelIs && r->when.model == model) return r;
    }
    return nullptr;
}

// The row's body with its computed bytes holding `value`: a speed added to
// its base, an element's index, a position as nibbles.
Bytes rowBody(const panel::CommandRow& row, int value) {
    Bytes body = row.body;
    for (const panel::Field& f : row.fields) {
        const auto at = static_cast<std::size_t>(f.at);
        switch (f.kind) {
        case panel::FieldKind::Speed:
            if (at < body.size()) body[at] = static_cast<std::uint8_t>(body[at] + value);
            break;
        case panel::FieldKind::Index:
            if (at < body.size()) body[at] = static_cast<std::uint8_t>(value);
            break;
        case panel::FieldKind::Nibbles4:
            for (std::size_t i = 0; i < 4 && at + i < body.size(); ++i)
                body[at + i] = static_cast<std::uint8_t>((value >> (12 - 4 * i)) & 0xF);
            break;
        case panel::FieldKind::Nibbles2:
            if (at + 1 < body.size()) {
                body[at] = static_cast<std::uint8_t>((value >> 4) & 0xF);
                body[at + 1] = static_cast<std::uint8_t>(value & 0xF);
            }
            break;
        case panel::FieldKind::HexPair: break;
        }
    }
    return body;
}

int valueOf(const ValueSet& v, const std::string& name) {
    const auto it = v.find(name);
    return it == v.end() ? 0 : it->second;
}

// ---- ranges --------------------------------------------------------------------------

std::pair<int, int> ownRange(const CommandDef&, const ValueDef& v, const model::Camera&) { return {v.min, v.max}; }

// A profile setting's number: the camera's model narrows it as its layout
// does; a camera not identified yet takes the widest range.
std::pair<int, int> settingRange(const CommandDef& c, const ValueDef& v, const model::Camera& camera) {
    const profile::SettingDef* s = profile::findSetting(c.setting);
    if (!s || !camera.identity.known()) return {v.min, v.max};
    return profile::ModelView(camera).range(*s);
}

// The operator's pan and tilt speeds: up to the head's maxima once it told them.
std::pair<int, int> headSpeedRange(const CommandDef&, const ValueDef& v, const model::Camera& camera) {
    if (!camera.panTilt) return {v.min, v.max};
    const std::optional<int>& max = v.name == "panSpeed" ? camera.panTilt->panSpeedMax : camera.panTilt->tiltSpeedMax;
    return {v.min, max ? *max : v.max};
}

// ---- profile settings ------------------------------------------------------------------

Bodies settingBodies(const CommandDef& c, const ValueSet& values, const model::Camera&) {
    const profile::SettingDef* s = profile::findSetting(c.setting);
    if (!s) return {};
    int value = valueOf(values, "value");
    if (s->kind == profile::Kind::Choice) {
        if (value < 0 || static_cast<std::size_t>(value) >= s->choices.size()) return {};
        value = s->choices[static_cast<std::size_t>(value)].code;
    }
    Bodies out;
    for (const std::vector<int>& body : s->packets({{c.setting, value}})) {
        Bytes b;
        for (int x : body) b.push_back(static_cast<std::uint8_t>(x));
        out.push_back(std::move(b));
    }
    return out;
}

// The alarm's day and night levels travel in one packet.
constexpr const char* kDayLevel = "alarm.dayLevel";
constexpr const char* kNightLevel = "alarm.nightLevel";

Bodies alarmLevelBodies(const CommandDef&, const ValueSet& values, const model::Camera&) {
    const profile::SettingDef* s = profile::findSetting(kDayLevel);
    if (!s) return {};
    Bodies out;
    for (const std::vector<int>& body : s->packets({{kDayLevel, valueOf(values, "day")}, {kNightLevel, valueOf(values, "night")}})) {
        Bytes b;
        for (int x : body) b.push_back(static_cast<std::uint8_t>(x));
        out.push_back(std::move(b));
    }
    return out;
}

// What each profile setting does, for the listing and the documentation.
const std::map<std::string, std::string>& settingWords() {
    static const std::map<std::string, std::string> words = {
        {"exposure.mode", "Chooses the exposure mode."},
        {"exposure.backLight", "Switches back-light compensation."},
        {"exposure.slowShutter", "Switches the automatic slow shutter."},
        {"exposure.slowShutterLimit", "Sets how slow the automatic slow shutter may go."},
        {"exposure.iris", "Sets the iris position (manual, iris priority)."},
        {"exposure.shutter", "Sets the shutter position (manual, shutter priority)."},
        {"exposure.gain", "Sets the gain position (manual, gain priority)."},
        {"exposure.bright", "Sets the bright level (bright mode)."},
        {"exposure.compensation", "Switches exposure compensation."},
        {"exposure.compensationLevel", "Sets the exposure compensation level."},
        {"whiteBalance.mode", "Chooses the white balance mode."},
        {"whiteBalance.redGain", "Sets the red gain (manual white balance)."},
        {"whiteBalance.blueGain", "Sets the blue gain (manual white balance)."},
        {"aperture", "Sets the aperture (edge enhancement) level."},
        {"focus.mode", "Chooses auto or manual focus."},
        {"focus.afMode", "Chooses how auto focus runs."},
        {"focus.afSensitivity", "Switches low auto-focus sensitivity."},
        {"focus.nearLimit", "Sets the nearest position auto focus goes to."},
        {"digitalZoom.mode", "Chooses whether the digital zoom follows the optical zoom or runs apart."},
        {"digitalZoom.on", "Switches the digital zoom."},
        {"digitalZoom.limit", "Sets how far the digital zoom goes."},
        {"zoom.position", "Moves the zoom to a position."},
        {"focus.position", "Moves the focus to a position (manual focus)."},
        {"picture.effect", "Chooses the picture effect."},
        {"digital.effect", "Chooses the digital effect."},
        {"digital.effectLevel", "Sets the digital effect's level."},
        {"switch.lrReverse", "Switches the left-right reversed picture."},
        {"switch.dataScreen", "Switches the data screen."},
        {"switch.titleDisplay", "Switches the title on the picture."},
        {"switch.keyLock", "Switches the camera's key lock."},
        {"switch.autoIcr", "Switches the automatic infrared cut filter."},
        {"switch.infoDisplay", "Switches the information display."},
        {"sync.dsub", "Chooses the D-sub sync output."},
        {"power.autoOffMinutes", "Sets the automatic power-off time in minutes (0: never)."},
        {"power.nightOffMinutes", "Sets the night power-off time in minutes (0: never)."},
        {"alarm.mode", "Sets the motion alarm's mode."},
    };
    return words;
}

CommandDef settingCommand(const profile::SettingDef& s) {
    CommandDef c;
    c.name = s.key;
    c.setting = s.key;
    const auto& words = settingWords();
    const auto it = words.find(s.key);
    c.does = it != words.end() ? it->second : std::string("Sets ") + s.label + ".";
    ValueDef v{"value", ValueKind::Number, s.min, s.max, {}};
    if (s.kind == profile::Kind::Choice) {
        v.kind = ValueKind::Choice;
        for (const profile::ChoiceDef& ch : s.choices) v.choices.push_back(ch.name);
    } else if (s.kind == profile::Kind::Switch) {
        v.kind = ValueKind::Switch;
        v.min = 0;
        v.max = 1;
    }
    c.values = {v};
    c.range = s.kind == profile::Kind::Number ? settingRange : ownRange;
    c.bodies = settingBodies;
    return c;
}

// ---- drives --------------------------------------------------------------------------

// The operator's-speed drive buttons of the pan-tilt window, by their
// captions in lower case: "up", "down-left".
std::vector<const pantilt::DriveRow*> operatorDrives() {
    std::vector<const pantilt::DriveRow*> out;
    for (const pantilt::DriveRow& r : pantilt::driveTable()) {
        if (r.operatorSpeeds) out.push_back(&r);
    }
    return out;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

Bodies panTiltDrive(const CommandDef&, const ValueSet& values, const model::Camera&) {
    const auto drives = operatorDrives();
    const int direction = valueOf(values, "direction");
    if (direction < 0 || static_cast<std::size_t>(direction) >= drives.size()) return {};
    Bytes body = drives[static_cast<std::size_t>(direction)]->body;
    body[3] = static_cast<std::uint8_t>(valueOf(values, "panSpeed"));
    body[4] = static_cast<std::uint8_t>(valueOf(values, "tiltSpeed"));
    return {body};
}

const pantilt::DriveRow* driveByCaption(std::string_view caption) {
    for (const pantilt::DriveRow& r : pantilt::driveTable()) {
        if (caption == r.caption) return &r;
    }
    return nullptr;
}

template <const char* Caption>
Bodies panTiltFixed(const CommandDef&, const ValueSet&, const model::Camera&) {
    const pantilt::DriveRow* r = driveByCaption(Caption);
    return r ? Bodies{r->body} : Bodies{};
}
constexpr char kStop[] = "Stop";
constexpr char kHome[] = "Home";
constexpr char kReset[] = "Reset";

// A main-window control's row on `event`, its computed byte holding the
// command's value less `Shift`: a speed, or the element of a memory grid
// (presets are numbered from 1 as the panel's columns are, memories from 0).
template <ControlRef (*Control)(), panel::Event E, int Shift = 0>
Bodies controlRow(const CommandDef& c, const ValueSet& values, const model::Camera& camera) {
    const panel::CommandRow* row = rowFor(Control(), E, camera.identity.panTilt);
    if (!row) return {};
    return {rowBody(*row, c.values.empty() ? 0 : valueOf(values, c.values.front().name) - Shift)};
}

ControlRef zoomTele() { return ORBUS_CONTROL(ZoomTele); }
ControlRef zoomWide() { return ORBUS_CONTROL(ZoomWide); }
ControlRef focusFar() { return ORBUS_CONTROL(Far); }
ControlRef focusNear() { return ORBUS_CONTROL(Near); }
ControlRef presetSet() { return ORBUS_EACH(PresetSet); }
ControlRef presetRecall() { return ORBUS_EACH(PresetRecall); }
ControlRef presetReset() { return ORBUS_EACH(PresetReset); }
ControlRef memorySet() { return ORBUS_EACH(SetOption); }
ControlRef memoryRecall() { return ORBUS_EACH(RecallOption); }
ControlRef memoryReset() { return ORBUS_EACH(ResetOption); }

constexpr panel::Event Down = panel::Event::MouseDown;
constexpr panel::Event Up = panel::Event::MouseUp;
constexpr panel::Event Click = panel::Event::Click;

// The memory grids of the main window hold six: presets 1 to 6 on the
// pan-tilt cameras, memories 0 to 5 on the block cameras.
constexpr int kMemories = 6;

std::vector<CommandDef> build() {
    std::vector<CommandDef> t;
    const ValueDef speed{"speed", ValueKind::Number, 0, 7, {}};
    auto add = [&t](std::string name, std::string does, std::vector<ValueDef> values, auto range, auto bodies) {
        CommandDef c;
        c.name = std::move(name);
        c.does = std::move(does);
        c.values = std::move(values);
        c.range = range;
        c.bodies = bodies;
        t.push_back(std::move(c));
    };

    // ---- drives ----------------------------------------------------------------
    ValueDef direction{"direction", ValueKind::Choice, 0, 0, {}};
    for (const pantilt::DriveRow* r : operatorDrives()) direction.choices.push_back(lower(r->caption));
    add("panTilt.drive", "Moves the pan-tilt head that way at the speeds given until a stop.",
        {direction, {"panSpeed", ValueKind::Number, 1, pantilt::kPanSpeedMax, {}},
         {"tiltSpeed", ValueKind::Number, 1, pantilt::kTiltSpeedMax, {}}},
        headSpeedRange, panTiltDrive);
    add("panTilt.stop", "Stops the pan-tilt head.", {}, ownRange, panTiltFixed<kStop>);
    add("panTilt.home", "Turns the pan-tilt head to its home position.", {}, ownRange, panTiltFixed<kHome>);
    add("panTilt.reset", "Turns the pan-tilt head to both ends and back to find its positions again.", {}, ownRange,
        panTiltFixed<kReset>);
    add("zoom.tele", "Zooms in at the speed given until a stop.", {speed}, ownRange, controlRow<zoomTele, Down>);
    add("zoom.wide", "Zooms out at the speed given until a stop.", {speed}, ownRange, controlRow<zoomWide, Down>);
    add("zoom.stop", "Stops the zoom.", {}, ownRange, controlRow<zoomTele, Up>);
    add("focus.far", "Focuses farther at the speed given until a stop (the ORX-Alpha at its one speed).", {speed},
        ownRange, controlRow<focusFar, Down>);
    add("focus.near", "Focuses nearer at the speed given until a stop (the ORX-Alpha at its one speed).", {speed},
        ownRange, controlRow<focusNear, Down>);
    add("focus.stop", "Stops the focus.", {}, ownRange, controlRow<focusFar, Up>);

    // ---- presets and memories ---------------------------------------------------
    const ValueDef preset{"number", ValueKind::Number, 1, kMemories, {}};
    const ValueDef memory{"number", ValueKind::Number, 0, kMemories - 1, {}};
    add("preset.recall", "Recalls a pan-tilt camera's preset 1 to 6.", {preset}, ownRange, controlRow<presetRecall, Click, 1>);
    add("preset.set", "Stores the camera's present state as preset 1 to 6.", {preset}, ownRange, controlRow<presetSet, Click, 1>);
    add("preset.reset", "Clears preset 1 to 6.", {preset}, ownRange, controlRow<presetReset, Click, 1>);
    add("memory.recall", "Recalls a block camera's memory 0 to 5.", {memory}, ownRange, controlRow<memoryRecall, Click>);
    add("memory.set", "Stores the camera's present state as memory 0 to 5.", {memory}, ownRange, controlRow<memorySet, Click>);
    add("memory.reset", "Clears memory 0 to 5.", {memory}, ownRange, controlRow<memoryReset, Click>);

    // ---- the profile's settings ------------------------------------------------------
    for (const profile::SettingDef& s : profile::catalogue()) {
        if (s.key == std::string_view(kNightLevel)) continue;
        if (s.key == std::string_view(kDayLevel)) {
            add("alarm.levels", "Sets the motion alarm's day and night levels.",
                {{"day", ValueKind::Number, s.min, s.max, {}}, {"night", ValueKind::Number, s.min, s.max, {}}}, ownRange,
                alarmLevelBodies);
            continue;
        }
        t.push_back(settingCommand(s));
    }
    return t;
}

}  // namespace

const std::vector<CommandDef>& commandCatalogue() {
    static const std::vector<CommandDef> table = build();
    return table;
}

const CommandDef* findCommand(std::string_view name) {
    for (const CommandDef& c : commandCatalogue()) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

std::pair<int, int> valueRange(const CommandDef& command, const ValueDef& value, const model::Camera& camera) {
    if (value.kind == ValueKind::Switch) return {0, 1};
    if (value.kind == ValueKind::Choice) return {0, static_cast<int>(value.choices.size()) - 1};
    return command.range ? command.range(command, value, camera) : std::pair<int, int>{value.min, value.max};
}

std::vector<Bytes> commandPackets(const CommandDef& command, const ValueSet& values, const model::Camera& camera) {
    std::vector<Bytes> out;
    if (!command.bodies || camera.address < 1 || camera.address > model::Chain::kMaxCameras) return out;
    for (const Bytes& body : command.bodies(command, values, camera)) {
        Bytes p{static_cast<std::uint8_t>(0x80 + camera.address)};
        p.insert(p.end(), body.begin(), body.end());
        p.push_back(0xFF);
        out.push_back(std::move(p));
    }
    return out;
}

}  // namespace orbus::net
