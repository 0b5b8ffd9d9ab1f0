// The commands a remote client sends by name: every setting of a camera
// profile under the profile's own name, and the drives a remote needs
// (pan-tilt, zoom and focus, started and stopped; presets and memories).
// Each entry names its values with their ranges and says in one sentence
// what it does; its packets come from the panel's own command tables.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/chain.h"
#include "platform/serial_port.h"

namespace orbus::net {

enum class ValueKind {
    Number,  // a whole number within a range
    Choice,  // one of a few names
    Switch,  // "on" or "off" (true or false)
};

struct ValueDef {
    std::string name;  // the member of the message: "value", "speed"
    ValueKind kind = ValueKind::Number;
    int min = 0, max = 0;              // Number: the widest range
    std::vector<std::string> choices;  // Choice: the names, in the order of their codes 0, 1, ...
};

// The values of one command by name: a number as given, a choice by its
// index in `choices`, a switch as 0 or 1.
using ValueSet = std::map<std::string, int>;

struct CommandDef {
    std::string name;  // "zoom.tele", "exposure.iris"
    std::string does;  // one sentence
    std::vector<ValueDef> values;
    // The range of a number for this camera (its model's, its head's);
    // the value's own when the camera is not known.
    std::pair<int, int> (*range)(const CommandDef& command, const ValueDef& value, const model::Camera& camera) = nullptr;
    // The packet bodies (between the header and FF) that carry out the
    // command with values already checked, for this camera.
    std::vector<Bytes> (*bodies)(const CommandDef& command, const ValueSet& values, const model::Camera& camera) = nullptr;
    // The profile setting it sets ("" for a drive, a preset or the alarm levels).
    std::string setting;
};

// Every command, in the order the listing shows them.
const std::vector<CommandDef>& commandCatalogue();
const CommandDef* findCommand(std::string_view name);

// A number's range for the camera (see CommandDef::range).
std::pair<int, int> valueRange(const CommandDef& command, const ValueDef& value, const model::Camera& camera);

// The whole packets of a command for camera `camera` (1 to 7): header 80 +
// the camera's address, the bodies, FF.
std::vector<Bytes> commandPackets(const CommandDef& command, const ValueSet& values, const model::Camera& camera);

}  // namespace orbus::net
