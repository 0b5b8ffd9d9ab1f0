// The main window's command vocabulary as data: one row per control, event
// and packet. A row names the control and event that send it, the packet's
// bytes between the header (0x80 + camera address) and the terminator FF,
// which bytes are computed and from what, which state of the panel chooses
// it, and whether it asks for one status read after its completion (hold).
//
// The table is plain data with no window code: its controls are checked
// references to the main window's members, the panel's handlers read it to
// send, and anything that must name a logged packet can read it too.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "panel/control_ref.h"
#include "platform/model_code.h"

namespace orbus::panel {

enum class Event { Click, MouseDown, MouseUp, Scroll };
const char* eventName(Event e);

// Index of a row's control: a single control, or every element of a
// control array (the element's index then travels in the packet).
constexpr int kSingle = ControlRef::kSingle;
constexpr int kEach = ControlRef::kEach;

// Which state of the panel selects a row. Rows of one control and event are
// tried in order; the first whose condition holds is sent.
struct When {
    enum Test : std::uint8_t {
        Always,
        Checked,    // the subject is checked: a check box's value, a menu item's mark
        CaptionIs,  // the subject's caption equals `caption`
        ModelIs,    // the identified model code equals `model`
    };
    Test test = Always;
    ControlRef subject = {};  // control tested; empty: the row's own control
    const char* caption = nullptr;
    PanTiltModel model = PanTiltModel::None;
};

// Computed bytes of a packet, written into the body from index `at`.
enum class FieldKind : std::uint8_t {
    Nibbles4,  // four nibble bytes 0p 0q 0r 0s of a slider's value
    Nibbles2,  // two nibble bytes 0p 0q of the low eight bits of a slider's value
    Speed,     // adds a speed box's number, 0 to 7, to the byte at `at`
    HexPair,   // two nibble bytes: the first and the last hexadecimal digit of a text box
    Index,     // the control-array element's index as one byte
};

struct Field {
    FieldKind kind;
    int at;
    ControlRef source = {};  // control read; empty: the row's own control
};

struct CommandRow {
    ControlRef target;          // the control that sends the row
    const char* control = "";   // its member name, as logs and tool tips name it
    int index = kSingle;        // target's index: kSingle, an element, or kEach
    Event event = Event::Click;
    When when;
    std::vector<std::uint8_t> body;  // between header and FF; computed bytes hold their base
    std::vector<Field> fields;
    bool hold = false;     // with auto refresh off, one status read follows the completion
    bool then = false;     // sent right after the row above it, as a second packet
};

// Every packet the main window's controls send.
const std::vector<CommandRow>& commandTable();

// The rows of one control element and event, in choice order (rows marked
// `then` follow the row they belong to). `control` is the member's name,
// `index` the element (kSingle: not an array element).
std::vector<const CommandRow*> commandRows(std::string_view control, int index, Event event);
inline std::vector<const CommandRow*> commandRows(const ControlRef& control, Event event) {
    return commandRows(control.member, control.index, event);
}

}  // namespace orbus::panel
