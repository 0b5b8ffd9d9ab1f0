#include "panel/runner.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "panel/main_window.h"
#include "platform/text.h"

namespace orbus::panel {

namespace {

bool isCaptioned(Kind k) {
    return k == Kind::Button || k == Kind::CheckBox || k == Kind::OptionButton || k == Kind::Label ||
           k == Kind::Frame || k == Kind::MenuItem;
}

bool isChecked(const Control& c) {
    switch (c.kind()) {
    case Kind::CheckBox: return static_cast<const CheckBox&>(c).checked();
    case Kind::MenuItem: return static_cast<const MenuItem&>(c).checked();
    case Kind::OptionButton: return static_cast<const OptionButton&>(c).value();
    default: return false;
    }
}

// The control a row tests or reads: the one named, else the row's own
// (the element the event came from, for a row of every element).
const Control* controlFor(MainWindow& m, const ControlRef& named, const CommandRow& row, int index) {
    return named ? named.in(m) : row.target.at(m, index);
}

bool holds(MainWindow& m, const CommandRow& row, int index) {
    const When& w = row.when;
    if (w.test == When::Always) return true;
    if (w.test == When::ModelIs) return m.cameras().drivenModel() == w.model;
    const Control* subject = controlFor(m, w.subject, row, index);
    if (!subject) return false;
    if (w.test == When::Checked) return isChecked(*subject);
    return isCaptioned(subject->kind()) && w.caption &&
           static_cast<const Captioned*>(subject)->caption() == w.caption;
}

// A speed box's number: the leading decimal number of its text, 0 when
// there is none, kept within the spin arrows' range 0 to 7.
int speedOf(const TextBox& box) { return static_cast<int>(std::clamp<long>(leadingNumber(box.text()), 0, 7)); }

// The first and the last character of a box as hexadecimal digits; a
// character that is not one, or an empty box, counts as 0.
std::pair<int, int> hexPairOf(const TextBox& box) {
    const std::string& t = box.text();
    if (t.empty()) return {0, 0};
    return {std::max(0, hexDigit(t.front())), std::max(0, hexDigit(t.back()))};
}

bool fill(MainWindow& m, const Field& f, const CommandRow& row, int index, std::vector<int>& body) {
    const std::size_t at = static_cast<std::size_t>(f.at);
    const int width = f.kind == FieldKind::Nibbles4 ? 4 : f.kind == FieldKind::Speed || f.kind == FieldKind::Index ? 1 : 2;
    if (f.at < 0 || at + static_cast<std::size_t>(width) > body.size()) return false;
    if (f.kind == FieldKind::Index) {
        if (index < 0) return false;
        body[at] = index;
        return true;
    }
    const Control* src = controlFor(m, f.source, row, index);
    if (!src) return false;
    switch (f.kind) {
    case FieldKind::Nibbles4:
    case FieldKind::Nibbles2: {
        if (src->kind() != Kind::Slider) return false;
        const unsigned v = static_cast<unsigned>(static_cast<const Slider*>(src)->value()) & 0xFFFF;
        for (int i = 0; i < width; ++i) body[at + static_cast<std::size_t>(i)] = static_cast<int>((v >> (4 * (width - 1 - i))) & 0xF);
        return true;
    }
    case FieldKind::Speed:
        if (src->kind() != Kind::TextBox) return false;
        body[at] += speedOf(*static_cast<const TextBox*>(src));
        return true;
    case FieldKind::HexPair: {
        if (src->kind() != Kind::TextBox) return false;
        const auto [first, last] = hexPairOf(*static_cast<const TextBox*>(src));
        body[at] = first;
        body[at + 1] = last;
        return true;
    }
    case FieldKind::Index: break;
    }
    return false;
}

}  // namespace

const CommandRow* chooseRow(MainWindow& m, std::string_view control, int index, Event ev) {
    for (const CommandRow* r : commandRows(control, index, ev)) {
        if (!r->then && holds(m, *r, index)) return r;
    }
    return nullptr;
}

const CommandRow* chooseRow(MainWindow& m, const ControlRef& control, Event ev) {
    return chooseRow(m, control.member, control.index, ev);
}

std::optional<std::vector<int>> buildPacket(MainWindow& m, const CommandRow& row, int index) {
    std::vector<int> body(row.body.begin(), row.body.end());
    for (const Field& f : row.fields) {
        if (!fill(m, f, row, index, body)) return std::nullopt;
    }
    std::vector<int> packet;
    packet.reserve(body.size() + 2);
    packet.push_back(m.linkState().header());
    packet.insert(packet.end(), body.begin(), body.end());
    packet.push_back(0xFF);
    return packet;
}

void sendRow(MainWindow& m, const CommandRow& row, int index) {
    const std::vector<CommandRow>& table = commandTable();
    for (auto it = table.begin() + (&row - table.data()); it != table.end(); ++it) {
        if (&*it != &row && !it->then) break;
        auto packet = buildPacket(m, *it, index);
        if (!packet) continue;
        // A slider's position: a newer one replaces it while it waits for a
        // socket; a drive button's release ends its drive and goes first.
        // The command's identity is its first bytes after the header.
        using Kind = link::CommandPacer::Kind;
        const bool moved = it->event == Event::Scroll || it->event == Event::MouseUp;
        const Kind kind = !moved ? Kind::Other : !it->fields.empty() ? Kind::Value : Kind::Stop;
        Bytes bytes;
        for (int v : *packet) bytes.push_back(static_cast<std::uint8_t>(v));
        m.SendPaced(*packet, link::CommandPacer::keyOf(bytes), kind);
    }
}

void refreshHold(MainWindow& m) { m.refresh().readOnceAfterCommand(); }

bool runCommand(MainWindow& m, const ControlRef& control, Event ev, const std::function<void()>& update) {
    return runCommand(m, control.member, control.index, ev, update);
}

bool runCommand(MainWindow& m, std::string_view control, int index, Event ev, const std::function<void()>& update) {
    const CommandRow* row = chooseRow(m, control, index, ev);
    if (!row) return false;
    sendRow(m, *row, index);
    if (update) update();
    if (row->hold) refreshHold(m);
    return true;
}

std::function<void()>* eventSlot(Control& c, Event ev) {
    switch (c.kind()) {
    case Kind::Button: {
        auto& b = static_cast<Button&>(c);
        return ev == Event::Click ? &b.onClick : ev == Event::MouseDown ? &b.onMouseDown
                                             : ev == Event::MouseUp     ? &b.onMouseUp
                                                                        : nullptr;
    }
    case Kind::CheckBox: return ev == Event::Click ? &static_cast<CheckBox&>(c).onClick : nullptr;
    case Kind::OptionButton: return ev == Event::Click ? &static_cast<OptionButton&>(c).onClick : nullptr;
    case Kind::MenuItem: return ev == Event::Click ? &static_cast<MenuItem&>(c).onClick : nullptr;
    case Kind::Slider: {
        auto& s = static_cast<Slider&>(c);
        return ev == Event::Scroll ? &s.onScroll : ev == Event::MouseDown ? &s.onMouseDown
                                               : ev == Event::MouseUp     ? &s.onMouseUp
                                                                          : nullptr;
    }
    default: return nullptr;
    }
}

void onEvent(MainWindow& m, Control& c, Event ev, std::function<void()> update) {
    std::function<void()>* slot = eventSlot(c, ev);
    if (!slot) return;
    const std::string name = c.name();
    const int index = c.index();
    *slot = [&m, name, index, ev, update = std::move(update)] { runCommand(m, name, index, ev, update); };
}

void enableAll(std::initializer_list<Control*> controls, bool on) {
    for (Control* c : controls) c->setEnabled(on);
}

void markGroup(const std::vector<MenuItem*>& group, MenuItem* chosen, bool setOwn) {
    for (MenuItem* it : group) {
        if (it != chosen) it->setChecked(false);
    }
    if (setOwn && chosen) chosen->setChecked(true);
}

namespace {

// Sliders whose drag holds the periodic refresh off, so that no status read
// moves the thumb under the operator's pointer.
void wireSliderDrag(MainWindow& m) {
    for (Slider* s : {&m.IrisSlider, &m.GainSlider, &m.ShutterSlider, &m.BrightSlider, &m.ExpCompSlider,
                      &m.ZoomSlider, &m.ZoomSliderShort, &m.DZoomSlider, &m.FocusSlider, &m.RGainSlider,
                      &m.BGainSlider, &m.ApertureSlider, &m.VPSlider}) {
        const std::string name = s->name();
        s->onMouseDown = [&m] { m.refresh().dragStarts(); };
        // Release gives the refresh back, then sends the final position
        // where the slider has a release packet.
        s->onMouseUp = [&m, name] {
            m.refresh().dragEnds();
            runCommand(m, name, kSingle, Event::MouseUp);
        };
    }
}

}  // namespace

void wireCommands(MainWindow& m) {
    std::set<std::pair<const Control*, Event>> done;
    for (const CommandRow& r : commandTable()) {
        for (Control* c : r.target.elements(m)) {
            if (done.insert({c, r.event}).second) onEvent(m, *c, r.event);
        }
    }
    wireSliderDrag(m);
    wireExposure(m);
    wireLens(m);
    wireColour(m);
    wireMemory(m);
    wireToggles(m);
}

}  // namespace orbus::panel
