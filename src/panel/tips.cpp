#include "panel/tips.h"

#include "platform/hex.h"

namespace orbus::panel {

namespace {

constexpr const char* kLetters = "pqrstuvwyz";

const char* modelText(PanTiltModel m) {
    switch (m) {
    case PanTiltModel::Alpha: return "ORX-Alpha";
    case PanTiltModel::Gamma: return "ORX-Gamma";
    case PanTiltModel::Beta: return "ORX-Beta";
    case PanTiltModel::Kappa: return "ORX-Kappa";
    case PanTiltModel::None: break;
    }
    return "a block camera";
}

std::string whenText(const When& w) {
    switch (w.test) {
    case When::Always: return "";
    case When::Checked:
        return w.subject ? "with " + std::string(w.subject.member) + " ticked" : "while ticked";
    case When::CaptionIs: return std::string("while it reads \"") + (w.caption ? w.caption : "") + "\"";
    case When::ModelIs: return std::string("on ") + modelText(w.model);
    }
    return "";
}

std::string eventText(Event e) {
    switch (e) {
    case Event::Click: return "";
    case Event::MouseDown: return "on press: ";
    case Event::MouseUp: return "on release: ";
    case Event::Scroll: return "when moved: ";
    }
    return "";
}

}  // namespace

std::string hexByte(int b) { return hex2(static_cast<std::uint8_t>(b & 0xFF)); }

std::string rowPacket(const CommandRow& row, int element) {
    std::vector<std::string> cells;
    for (std::uint8_t b : row.body) cells.push_back(hexByte(b));
    std::size_t letter = 0;
    auto next = [&] { return std::string(1, kLetters[letter++ % 10]); };
    for (const Field& f : row.fields) {
        const auto at = static_cast<std::size_t>(f.at);
        auto put = [&](std::size_t i, std::string text) {
            if (i < cells.size()) cells[i] = std::move(text);
        };
        switch (f.kind) {
        case FieldKind::Nibbles4:
            for (std::size_t i = 0; i < 4; ++i) put(at + i, "0" + next());
            break;
        case FieldKind::Nibbles2:
        case FieldKind::HexPair:
            for (std::size_t i = 0; i < 2; ++i) put(at + i, "0" + next());
            break;
        case FieldKind::Speed:
            if (at < cells.size()) put(at, cells[at].substr(0, 1) + next());
            break;
        case FieldKind::Index: put(at, element >= 0 ? hexByte(element) : "0" + next()); break;
        }
    }
    std::string out = "8x";
    for (const std::string& c : cells) out += " " + c;
    return out + " FF";
}

std::string rowLegend(const CommandRow& row, int element) {
    std::string out;
    std::size_t letter = 0;
    auto span = [&](std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i) s += kLetters[letter++ % 10];
        return s;
    };
    for (const Field& f : row.fields) {
        std::string part;
        switch (f.kind) {
        case FieldKind::Nibbles4: part = span(4) + " = the position"; break;
        case FieldKind::Nibbles2: part = span(2) + " = the position"; break;
        case FieldKind::Speed: part = span(1) + " = the speed"; break;
        case FieldKind::HexPair: part = span(2) + " = " + std::string(f.source.member); break;
        case FieldKind::Index: part = element >= 0 ? "" : span(1) + " = the number"; break;
        }
        if (!part.empty()) out += (out.empty() ? "" : ", ") + part;
    }
    return out;
}

std::string withShortcut(const std::string& tip, const std::string& keys) {
    if (keys.empty()) return tip;
    return tip.empty() ? keys : tip + " (" + keys + ")";
}

std::string packetText(const std::vector<std::uint8_t>& body) {
    std::string out = "8x";
    for (std::uint8_t b : body) out += " " + hexByte(b);
    return out + " FF";
}

std::string commandTip(std::string_view control, int element, const std::string& words) {
    std::string sends;
    for (Event e : {Event::Click, Event::MouseDown, Event::MouseUp, Event::Scroll}) {
        const auto rows = commandRows(control, element, e);
        if (rows.empty()) continue;
        std::string part;
        for (const CommandRow* r : rows) {
            std::string one = rowPacket(*r, element);
            const std::string legend = rowLegend(*r, element);
            if (!legend.empty()) one += " (" + legend + ")";
            if (r->then) {
                part += ", then " + one;
                continue;
            }
            const std::string when = whenText(r->when);
            if (!part.empty()) part += r->when.test == When::Always ? ", otherwise " : ", ";
            if (!when.empty()) part += when + " ";
            part += one;
        }
        sends += (sends.empty() ? "" : "; ") + eventText(e) + part;
    }
    if (sends.empty()) return words;
    return words + " \xE2\x80\x94 sends " + sends;
}

}  // namespace orbus::panel
