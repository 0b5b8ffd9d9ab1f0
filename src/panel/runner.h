// The one handler every command of the main window runs through: guard,
// choose the packet, build it for the driven camera, send it, update the
// panel, hold the refresh. Group rules (panel/exposure, lens, colour,
// memory, toggles) add their panel updates or replace steps where their
// controls need more.
#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

#include "panel/commands.h"

namespace orbus {

class Control;
struct ControlRef;
class MenuItem;

namespace panel {

class MainWindow;

// The row a control's event sends in the panel's present state, or nullptr.
// The control is named by its member's name and element (kSingle: not an
// array element), or by a reference to one control or element.
const CommandRow* chooseRow(MainWindow& m, std::string_view control, int index, Event ev);
const CommandRow* chooseRow(MainWindow& m, const ControlRef& control, Event ev);

// The whole packet of a row for the driven camera (header .. FF), or
// nothing when a control it reads is missing.
std::optional<std::vector<int>> buildPacket(MainWindow& m, const CommandRow& row, int index);

// Sends a row, and the row marked `then` after it, with SD in command mode.
void sendRow(MainWindow& m, const CommandRow& row, int index);

// With auto refresh off, one status read about two seconds after this
// command's completion; with auto refresh on the send routine pauses and
// resumes it itself.
void refreshHold(MainWindow& m);

// Runs a control's event through the common shape; `update` is the panel
// update of the control's group, run after sending. False when nothing was
// sent: no row for the panel's state, or refused by the guard.
bool runCommand(MainWindow& m, std::string_view control, int index, Event ev,
                const std::function<void()>& update = {});
bool runCommand(MainWindow& m, const ControlRef& control, Event ev, const std::function<void()>& update = {});

// The handler slot of a control for an event, or nullptr when the control
// has no such event.
std::function<void()>* eventSlot(Control& c, Event ev);

// Sets the handler of a control's event to the common shape with an update.
void onEvent(MainWindow& m, Control& c, Event ev, std::function<void()> update = {});

// Enables or disables controls together.
void enableAll(std::initializer_list<Control*> controls, bool on);

// Menu groups: each item of the group loses its mark but `chosen`, which
// gets it when setOwn is true.
void markGroup(const std::vector<MenuItem*>& group, MenuItem* chosen, bool setOwn);

// Wires every control of the command table to its handler, then the group rules.
void wireCommands(MainWindow& m);

// Group rules, one file each.
void wireExposure(MainWindow& m);
void wireLens(MainWindow& m);
void wireColour(MainWindow& m);
void wireMemory(MainWindow& m);
void wireToggles(MainWindow& m);

}  // namespace panel
}  // namespace orbus
