#include "gamepad/mapping.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/settings.h"

namespace orbus::gamepad {

namespace {

constexpr const char* kAxisNames[kAxes] = {"left stick X",  "left stick Y", "right stick X",
                                           "right stick Y", "left trigger", "right trigger"};
constexpr const char* kButtonNames[kButtons] = {
    "A",          "B",           "X",         "Y",          "Back",       "Guide",
    "Start",      "left stick",  "right stick", "left shoulder", "right shoulder",
    "D-pad up",   "D-pad down",  "D-pad left", "D-pad right"};

std::optional<double> number(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string numberText(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

}  // namespace

const char* axisName(Axis axis) { return kAxisNames[static_cast<int>(axis)]; }
const char* buttonName(Button button) { return kButtonNames[static_cast<int>(button)]; }

std::optional<Axis> axisNamed(std::string_view name) {
    for (int i = 0; i < kAxes; ++i) {
        if (name == kAxisNames[i]) return static_cast<Axis>(i);
    }
    return std::nullopt;
}

std::optional<Button> buttonNamed(std::string_view name) {
    for (int i = 0; i < kButtons; ++i) {
        if (name == kButtonNames[i]) return static_cast<Button>(i);
    }
    return std::nullopt;
}

Mapping Mapping::load(const SettingsStore& store, const std::string& app) {
    Mapping m;
    auto get = [&](const char* key) { return store.get(app, kSection, key, ""); };
    auto drive = [&](Drive& d, const char* key, const char* invertKey) {
        if (auto a = axisNamed(get(key))) d.axis = *a;
        const std::string inv = get(invertKey);
        if (inv == "True" || inv == "False") d.invert = inv == "True";
    };
    drive(m.pan, "Pan", "PanInvert");
    drive(m.tilt, "Tilt", "TiltInvert");
    drive(m.zoom, "Zoom", "ZoomInvert");
    drive(m.focus, "Focus", "FocusInvert");
    const std::string triggers = get("TriggersZoom");
    if (triggers == "True" || triggers == "False") m.triggersZoom = triggers == "True";
    auto button = [&](Button& b, const std::string& key) {
        if (auto found = buttonNamed(get(key.c_str()))) b = *found;
    };
    button(m.previousCamera, "PreviousCamera");
    button(m.nextCamera, "NextCamera");
    for (std::size_t i = 0; i < m.memory.size(); ++i) button(m.memory[i], "Memory" + std::to_string(i + 1));
    button(m.modifier, "Modifier");
    button(m.stopAll, "StopAll");
    // Values out of range are brought into it rather than dropped: a dead
    // zone typed as 0.9 still leaves a stick that works.
    if (auto dz = number(get("DeadZone"))) m.deadZone = std::clamp(*dz, kMinDeadZone, kMaxDeadZone);
    if (auto c = number(get("Curve"))) m.curve = std::clamp(*c, kMinCurve, kMaxCurve);
    return m;
}

void Mapping::save(SettingsStore& store, const std::string& app) const {
    auto set = [&](const std::string& key, const std::string& value) { store.set(app, kSection, key, value); };
    auto drive = [&](const Drive& d, const char* key, const char* invertKey) {
        set(key, axisName(d.axis));
        set(invertKey, d.invert ? "True" : "False");
    };
    drive(pan, "Pan", "PanInvert");
    drive(tilt, "Tilt", "TiltInvert");
    drive(zoom, "Zoom", "ZoomInvert");
    drive(focus, "Focus", "FocusInvert");
    set("TriggersZoom", triggersZoom ? "True" : "False");
    set("PreviousCamera", buttonName(previousCamera));
    set("NextCamera", buttonName(nextCamera));
    for (std::size_t i = 0; i < memory.size(); ++i) set("Memory" + std::to_string(i + 1), buttonName(memory[i]));
    set("Modifier", buttonName(modifier));
    set("StopAll", buttonName(stopAll));
    set("DeadZone", numberText(deadZone));
    set("Curve", numberText(curve));
}

}  // namespace orbus::gamepad
