// The settings a camera profile holds: one row per setting, naming how the
// status read learns it, which control of the main window stands for it
// (a model has the setting when its layout shows that control), which
// packets set it (read from the command tables, never written out twice),
// in which order a profile applies them, and which modes hand the value to
// the operator rather than to the camera's own automatics.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/chain.h"
#include "panel/control_ref.h"
#include "status/decode.h"

namespace orbus::profile {

// A profile's settings by key; choices are held by their code, switches as
// 0 (off) or 1 (on).
using Values = std::map<std::string, int>;

// What one read of a camera gave the profile: the status blocks, and the
// inquiries of the dialogs that keep settings in the camera.
struct Reading {
    status::CameraStatus status;
    std::optional<int> autoPowerOff, nightPowerOff;  // minutes
    std::optional<int> alarmMode, alarmDayLevel, alarmNightLevel;
};

enum class Kind { Choice, Switch, Number };

// One value of a choice: its name in the file, the camera's code, and the
// control whose click sets it (the model offers the value when its layout
// shows that control).
struct ChoiceDef {
    const char* name;
    int code;
    ControlRef control;
};

// Apply order: a mode goes before the switches and values it enables, and
// positions go last.
enum class Stage { Mode = 1, Switch = 2, Value = 3, Position = 4 };

struct SettingDef {
    const char* key;    // the name in the file: "exposure.iris"
    const char* label;  // the name in the compare view: "Iris"
    Kind kind = Kind::Number;
    Stage stage = Stage::Value;
    int min = 0, max = 0;            // Number: the widest range the packet carries
    std::vector<ChoiceDef> choices;  // Choice
    // The model has the setting when its layout shows this control (for a
    // choice: when it shows the control of at least one of its values).
    ControlRef shownBy;
    // The slider whose range, as laid out for the model, limits a number
    // (empty: shownBy, when that is a slider).
    ControlRef rangeBy;
    // A model (or a camera's video system) that disables `shownBy`, or the
    // menu holding it, lacks the setting as much as one that hides it: the
    // menu items of the dialogs that keep settings, the D-sub output.
    bool lackedWhenDisabled = false;
    // Zoom and focus positions: saved only when the operator asks.
    bool position = false;
    // What a read learned of it; nothing when it was not read.
    std::function<std::optional<int>(const Reading&)> read;
    // The other settings' values hand this one to the operator (iris in
    // manual exposure, R/B gains in manual white balance); otherwise the
    // camera sets it itself, and it is neither saved, applied nor compared.
    std::function<bool(const Values&)> inForce;
    // The packet bodies (between the header and FF) that set `values` (the
    // profile's) for this setting; may be empty when another setting's
    // packet carries it.
    std::function<std::vector<std::vector<int>>(const Values&)> packets;
};

// Every setting, in the order the compare view lists them.
const std::vector<SettingDef>& catalogue();
const SettingDef* findSetting(std::string_view key);

// A value as the file and the compare view write it: a choice's name,
// "on"/"off", a number in decimal.
std::string valueText(const SettingDef& setting, int value);
// The choice code of a name; nothing when the setting has no such value.
std::optional<int> choiceCode(const SettingDef& setting, std::string_view name);

// What a camera offers, judged from the model layout tables for its
// identity and what its last whole status read decided of the layout (the
// ORX-Beta's alarm, the ORX-Kappa's D-sub output and zoom end); no window
// is asked.
class ModelView {
public:
    explicit ModelView(const model::Camera& camera) : identity_(camera.identity), status_(camera.status) {}
    // The model string ("ORX-Kappa", "KBM-R05"); empty while unidentified.
    std::string model() const { return identity_.name; }
    // The setting is in this model's layout: its control shown (with the
    // frames or menus holding it), and enabled too where the setting is
    // lacked when disabled.
    bool has(const SettingDef& setting) const;
    // The choice is offered by this model.
    bool offers(const ChoiceDef& choice) const;
    // The values this model takes for a number: its slider's range where
    // the layout sets one, else the setting's own.
    std::pair<int, int> range(const SettingDef& setting) const;

private:
    // The control's own state in this model's layout.
    bool visible(const ControlRef& control) const;
    bool enabled(const ControlRef& control) const;
    // Visible, and so is every menu or frame holding it.
    bool shown(const ControlRef& control) const;
    model::Identity identity_;
    std::optional<status::CameraStatus> status_;
};

// The values include zoom or focus positions.
bool holdsPositions(const Values& values);

// The settings worth keeping from a reading of a camera of this model:
// each one the model has, that the read learned, within what the model
// takes, and in force under the modes read (positions only when asked).
Values settingsOf(const Reading& reading, const ModelView& model, bool withPositions);

}  // namespace orbus::profile
