// What each stick, trigger and button of a game controller does, and how
// the sticks respond: the mapping the operator edits, kept in the settings
// store (section "Gamepad").
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orbus {
class SettingsStore;
}

namespace orbus::gamepad {

// A controller's axes in the standard layout. Sticks read -1 to 1 (right
// and down positive), triggers 0 to 1.
enum class Axis : std::uint8_t { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger };
constexpr int kAxes = 6;

enum class Button : std::uint8_t {
    A, B, X, Y,
    Back, Guide, Start,
    LeftStick, RightStick,
    LeftShoulder, RightShoulder,
    DpadUp, DpadDown, DpadLeft, DpadRight,
};
constexpr int kButtons = 15;

// "left stick X", "A", "left shoulder": the names the dialog and the
// settings store use.
const char* axisName(Axis axis);
const char* buttonName(Button button);
std::optional<Axis> axisNamed(std::string_view name);
std::optional<Button> buttonNamed(std::string_view name);

struct Mapping {
    // Proportional drives: each reads one axis; `invert` turns its way round.
    struct Drive {
        Axis axis;
        bool invert = false;
        bool operator==(const Drive&) const = default;
    };
    Drive pan{Axis::LeftX};      // right positive
    Drive tilt{Axis::LeftY};     // up when the stick is pushed away (negative)
    Drive zoom{Axis::RightY};    // tele when pushed away
    Drive focus{Axis::RightX};   // far to the right
    // The right trigger zooms tele, the left one wide (while the zoom axis
    // rests in its dead zone).
    bool triggersZoom = true;
    Button previousCamera = Button::LeftShoulder;
    Button nextCamera = Button::RightShoulder;
    // Recall memory 1 to 4; held kStoreHold seconds with the modifier, store it.
    std::array<Button, 4> memory{Button::A, Button::B, Button::X, Button::Y};
    Button modifier = Button::Back;
    Button stopAll = Button::Start;
    // Radial dead zone, a share of full deflection (0.05 to 0.5).
    double deadZone = 0.15;
    // Response curve: the deflection past the dead zone raised to this power
    // (1 linear, up to 3).
    double curve = 2.0;

    bool operator==(const Mapping&) const = default;

    static constexpr double kMinDeadZone = 0.05, kMaxDeadZone = 0.5;
    static constexpr double kMinCurve = 1.0, kMaxCurve = 3.0;

    // The stored mapping; what is missing or unreadable keeps its default.
    static Mapping load(const SettingsStore& store, const std::string& app);
    void save(SettingsStore& store, const std::string& app) const;
};

// The settings store's section of the mapping.
constexpr const char* kSection = "Gamepad";

}  // namespace orbus::gamepad
