#include "app/meaning.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>

#include "app/meaning_tables.h"
#include "dialogs/md.h"
#include "dialogs/packets.h"
#include "link/packet.h"
#include "panel/commands.h"
#include "pantilt/drive.h"
#include "platform/form.h"
#include "platform/text.h"

namespace orbus {

namespace {

using meaning::describeArg;
using meaning::Function;
using meaning::functionOf;

// ---- patterns -----------------------------------------------------------------------

enum class Slot : std::uint8_t { Exact, Any, Nibble, Speed };

// One packet a control sends, as a pattern over the body.
struct Pattern {
    std::string name;  // as the panel's code knows it
    // The control as its window holds it: window name ("FrmMain" for the
    // main window), member name and index (-1: none, or carried at indexAt).
    std::string window, control;
    int index = -1;
    Bytes body;
    std::vector<Slot> slots;
    int indexAt = -1;  // the body byte that carries a control-array index
    int wild = 0;      // bytes that are not fixed
};

void parsePattern(const char* text, Pattern& p) {
    std::string_view t(text);
    for (std::size_t i = 0; i + 1 < t.size(); i += 3) {
        if (t[i] == '?') {
            p.body.push_back(0);
            p.slots.push_back(Slot::Any);
            ++p.wild;
        } else {
            p.body.push_back(static_cast<std::uint8_t>(hexDigit(t[i]) * 16 + hexDigit(t[i + 1])));
            p.slots.push_back(Slot::Exact);
        }
    }
}

void markWild(Pattern& p, int at, int count, Slot slot) {
    for (int i = at; i < at + count && i < static_cast<int>(p.slots.size()); ++i) {
        if (p.slots[static_cast<std::size_t>(i)] == Slot::Exact) ++p.wild;
        p.slots[static_cast<std::size_t>(i)] = slot;
    }
}

std::vector<Pattern> buildPatterns() {
    std::vector<Pattern> out;
    for (const panel::CommandRow& row : panel::commandTable()) {
        Pattern p;
        p.name = row.control;
        if (row.index >= 0) p.name += "(" + std::to_string(row.index) + ")";
        p.window = "FrmMain";
        p.control = row.control;
        p.index = row.index >= 0 ? row.index : -1;
        p.body = row.body;
        p.slots.assign(row.body.size(), Slot::Exact);
        for (const panel::Field& f : row.fields) {
            switch (f.kind) {
            case panel::FieldKind::Nibbles4: markWild(p, f.at, 4, Slot::Nibble); break;
            case panel::FieldKind::Nibbles2:
            case panel::FieldKind::HexPair: markWild(p, f.at, 2, Slot::Nibble); break;
            case panel::FieldKind::Speed: markWild(p, f.at, 1, Slot::Speed); break;
            case panel::FieldKind::Index:
                markWild(p, f.at, 1, Slot::Nibble);
                p.indexAt = f.at;
                break;
            }
        }
        out.push_back(std::move(p));
    }
    for (const pantilt::DriveRow& row : pantilt::driveTable()) {
        Pattern p;
        p.name = std::string(row.control) + "(" + std::to_string(row.index) + ") \"" + row.caption + "\"";
        p.window = "FrmPanTilt";
        p.control = row.control;
        p.index = row.index;
        p.body = row.body;
        p.slots.assign(row.body.size(), Slot::Exact);
        if (row.operatorSpeeds) markWild(p, 3, 2, Slot::Any);
        out.push_back(std::move(p));
    }
    for (const dialogs::PacketRow& row : dialogs::packetTable()) {
        Pattern p;
        p.name = std::string(row.window) + "." + row.control;
        p.window = row.window;
        p.control = row.control;
        p.body = row.body;
        p.slots.assign(row.body.size(), Slot::Exact);
        for (const dialogs::Computed& c : row.computed) markWild(p, c.at, c.count, Slot::Any);
        out.push_back(std::move(p));
    }
    for (const meaning::OwnPacket& own : meaning::mainWindowPackets()) {
        Pattern p;
        p.name = own.control;
        const std::string_view full(own.control);
        const std::size_t dot = full.find('.');
        p.window = std::string(full.substr(0, dot));
        p.control = dot == std::string_view::npos ? std::string(full) : std::string(full.substr(dot + 1));
        parsePattern(own.body, p);
        out.push_back(std::move(p));
    }
    return out;
}

const std::vector<Pattern>& patterns() {
    static const std::vector<Pattern> all = buildPatterns();
    return all;
}

bool matches(const Pattern& p, const Bytes& body) {
    if (p.body.size() != body.size()) return false;
    for (std::size_t i = 0; i < body.size(); ++i) {
        switch (p.slots[i]) {
        case Slot::Exact:
            if (body[i] != p.body[i]) return false;
            break;
        case Slot::Any: break;
        case Slot::Nibble:
            if (body[i] > 0x0F) return false;
            break;
        case Slot::Speed:
            // The row holds the base (0x20 or 0x30); speeds 0 to 7 ride on it.
            if (body[i] < p.body[i] || body[i] > p.body[i] + 7) return false;
            break;
        }
    }
    return true;
}

// ---- controls by their captions ------------------------------------------------

struct CaptionSource {
    const void* owner = nullptr;
    std::function<std::vector<Form*>()> forms;
};

CaptionSource& captionSource() {
    static CaptionSource source;
    return source;
}

// A caption as it reads: no mnemonic marks, one line.
std::string plainCaption(std::string_view c) {
    std::string out;
    for (std::size_t i = 0; i < c.size(); ++i) {
        if (c[i] == '&' && i + 1 < c.size() && c[i + 1] != '&') continue;
        if (c[i] == '\r') continue;
        out += c[i] == '\n' ? ' ' : c[i];
    }
    return out;
}

// How the operator knows a control: its spoken name, else its frame's and
// its own caption; the window's caption before it unless it is the main
// window. Empty when no such window or control is known.
std::string captionOf(const std::string& window, const std::string& control, int index) {
    const CaptionSource& source = captionSource();
    if (!source.forms) return {};
    const Form* form = nullptr;
    for (const Form* f : source.forms()) {
        if (f && f->name() == window) form = f;
    }
    if (!form) return {};
    const std::string prefix = window == "FrmMain" ? "" : plainCaption(form->caption()) + ": ";
    if (control == "Form_Load") return plainCaption(form->caption()) + ", on opening";
    const Control* c = form->find(index >= 0 ? control + "_" + std::to_string(index) : control);
    if (!c) return {};
    std::string name = c->accessibleName();
    if (name.empty()) {
        if (const auto* k = dynamic_cast<const Captioned*>(c)) name = plainCaption(k->caption());
        const auto* frame = dynamic_cast<const Captioned*>(c->container());
        if (!name.empty() && frame && !frame->caption().empty()) name = plainCaption(frame->caption()) + " " + name;
    }
    if (name.empty()) return {};
    // A name that already starts with the window's caption needs it once.
    if (!prefix.empty() && name.rfind(prefix.substr(0, prefix.size() - 2), 0) == 0) return name;
    return prefix + name;
}

// Names of the controls that send `body`: the controls whose fixed packet is
// exactly this one when there are any, else every control whose computed
// bytes can give it.
std::vector<std::string> controlsSending(const Bytes& body) {
    std::vector<std::string> exact, computed;
    for (const Pattern& p : patterns()) {
        if (!matches(p, body)) continue;
        const int index = p.indexAt >= 0 ? body[static_cast<std::size_t>(p.indexAt)] : p.index;
        std::string name = captionOf(p.window, p.control, index);
        if (name.empty()) {
            name = p.name;
            if (p.indexAt >= 0) name += "(" + std::to_string(index) + ")";
        }
        auto& list = p.wild == 0 ? exact : computed;
        if (std::find(list.begin(), list.end(), name) == list.end()) list.push_back(std::move(name));
    }
    return exact.empty() ? computed : exact;
}


std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) {
        if (!out.empty()) out += " or ";
        out += n;
    }
    return out;
}

std::string cameraLabel(int address) { return "Camera " + std::to_string(address); }

const InquiryName* inquiryOf(const Bytes& body) {
    // The inquiries' bodies as patterns, parsed once, in table order.
    static const std::vector<Pattern> patterns = [] {
        std::vector<Pattern> out;
        for (const InquiryName& q : inquiryNames()) {
            out.emplace_back();
            parsePattern(q.body, out.back());
        }
        return out;
    }();
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        if (matches(patterns[i], body)) return &inquiryNames()[i];
    }
    return nullptr;
}

std::string sentMeaning(const Bytes& packet) {
    const std::uint8_t header = packet[0];
    const Bytes body(packet.begin() + 1, packet.end() - 1);
    if (header == 0x88) {
        if (body == Bytes{0x01, 0x00, 0x01}) return "All cameras: IFClearB (interface clear, broadcast)";
        if (body == Bytes{0x30, 0x01}) return "All cameras: AddressSet (address set, broadcast)";
        return "All cameras: broadcast " + packetText(body) + ", not one of this panel's";
    }
    if (header < 0x81 || header > 0x87) return "Header " + hex2(header) + " is no camera's address: " + packetText(packet);
    const std::string who = cameraLabel(header - 0x80) + ": ";
    if (body.empty()) return who + "empty packet";
    const std::vector<std::string> controls = controlsSending(body);
    if (body[0] == 0x09) {
        const InquiryName* q = inquiryOf(body);
        if (!q) return who + "inquiry " + packetText(body) + ", not one of this panel's";
        std::string out = who + "inquiry, " + q->name;
        if (body.size() > 4 && std::string_view(q->body).find("??") != std::string_view::npos)
            out += " " + packetText(Bytes(body.begin() + 4, body.end()));
        if (!controls.empty()) out += " (" + joined(controls) + ")";
        return out;
    }
    std::size_t prefixLength = 0;
    const Function* f = functionOf(body, prefixLength);
    const std::string what = f ? describeArg(*f, Bytes(body.begin() + static_cast<long>(prefixLength), body.end())) : "";
    if (controls.empty()) {
        return who + "command " + packetText(body) + (f ? " (" + what + ")" : "") + ", not one of this panel's";
    }
    return who + joined(controls) + (f ? " (" + what + ")" : "");
}

// The value of an answer in words, for the inquiries whose values read
// plainly; empty for the rest.
std::string answerWords(std::string_view inquiry, const Bytes& v) {
    auto nibbleValue = [&](std::size_t from, std::size_t count) -> std::optional<unsigned> {
        if (v.size() < from + count) return std::nullopt;
        unsigned n = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (v[i] > 0x0F) return std::nullopt;
            n = n * 16 + v[i];
        }
        return n;
    };
    auto onOff = [&](const char* on, const char* off) -> std::string {
        if (v.size() != 1) return {};
        return v[0] == 0x02 ? on : v[0] == 0x03 ? off : "";
    };
    if (inquiry == "09 04 00") return onOff("on", "off");
    if (inquiry == "09 04 6B") return onOff("detection started", "detection stopped");
    if (inquiry == "09 04 6C") return v.size() == 1 && v[0] < std::size(FrmMD::kModes) ? FrmMD::kModes[v[0]] : "";
    if (inquiry == "09 04 40" || inquiry == "09 04 41") {
        const auto m = nibbleValue(0, 4);
        return m && v.size() == 4 ? std::to_string(*m) + " min" : "";
    }
    if (inquiry == "09 06 12") {
        const auto pan = nibbleValue(0, 4), tilt = nibbleValue(4, 4);
        if (!pan || !tilt || v.size() != 8) return {};
        return "pan 0x" + hexPadded(static_cast<unsigned>(*pan), 4) + ", tilt 0x" + hexPadded(static_cast<unsigned>(*tilt), 4);
    }
    return {};
}

// An answer explained against the inquiry it answered.
std::string answerMeaning(const std::string& who, int camera, const Bytes& reply, const AnswerOrigin* origin) {
    std::string plain = who + "inquiry answer, " + std::to_string(reply.size()) + " bytes";
    if (!origin) return plain;
    const Bytes& inquiry = origin->inquiry;
    if (inquiry.empty()) return plain + ", with no inquiry outstanding";
    if (inquiry.size() < 3 || inquiry[0] != 0x80 + camera) return plain;
    const Bytes body(inquiry.begin() + 1, inquiry.end() - 1);
    const InquiryName* q = inquiryOf(body);
    const std::string asked = q ? "the " + std::string(q->name) + " inquiry" : "inquiry " + packetText(body);
    if (q && q->answerLength != 0 && q->answerLength != static_cast<int>(reply.size()))
        return plain + ", garbled: " + asked + " is answered with " + std::to_string(q->answerLength);
    std::string out = who + "answer to " + asked;
    const Bytes value(reply.begin() + 2, reply.end() - 1);
    if (!value.empty()) out += ": " + packetText(value);
    if (q) {
        const std::string words = answerWords(q->body, value);
        if (!words.empty()) out += " (" + words + ")";
    }
    return out;
}

// An error reply's code in words.
std::string errorName(std::uint8_t code) {
    switch (code) {
    case 0x02: return "syntax error";
    case 0x03: return "command buffer full";
    case 0x41: return "cannot execute";
    default: return "error code 0x" + hex2(code);
    }
}

std::string receivedMeaning(const Bytes& reply, const AnswerOrigin* origin) {
    const std::uint8_t header = reply[0];
    if (header == 0x88) {
        if (reply.size() == 4 && reply[1] == 0x30) {
            const int next = reply[2];
            const int cameras = next > 0 ? next - 1 : 0;
            return "Address set came back: " + std::to_string(cameras) + (cameras == 1 ? " camera" : " cameras");
        }
        if (reply.size() == 5 && reply[1] == 0x01 && reply[2] == 0x00 && reply[3] == 0x01)
            return "Interface clear came back through the chain";
        return "Broadcast " + packetText(reply) + ", not a reply this panel knows";
    }
    const int camera = replyCamera(header);
    if (camera == 0) return "Reply " + packetText(reply) + " comes from no camera address";
    const std::string who = cameraLabel(camera) + ": ";
    if (reply.size() < 3) return who + "reply " + packetText(reply) + " too short";
    const std::uint8_t kind = reply[1] & 0xF0;
    const int socket = reply[1] & 0x0F;
    if (reply[1] == 0x38 && reply.size() == 3) return who + "network change (the chain was rewired or a camera was switched)";
    if (kind == 0x40 && reply.size() == 3) return who + "acknowledge, socket " + std::to_string(socket);
    if (kind == 0x50 && reply.size() == 3) return who + "completion, socket " + std::to_string(socket);
    // Syntax errors and a full buffer come without a socket (0): none is named.
    if (kind == 0x60 && reply.size() == 4)
        return who + errorName(reply[2]) + (socket ? ", socket " + std::to_string(socket) : "");
    if (reply[1] == 0x50) return answerMeaning(who, camera, reply, origin);
    return who + "reply " + packetText(reply) + ", not one this panel knows";
}

}  // namespace

std::string packetMeaning(const Bytes& bytes, LineSide side, const AnswerOrigin* origin) {
    std::string out;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = start;
        while (end < bytes.size() && bytes[end] != 0xFF) ++end;
        if (!out.empty()) out += "; ";
        if (end == bytes.size()) {
            // Named by the camera its first byte gives, where it gives one.
            const std::uint8_t h = bytes[start];
            const int camera = side == LineSide::Sent ? (h >= 0x81 && h <= 0x87 ? h - 0x80 : 0) : replyCamera(h);
            if (camera >= 1 && camera <= 7) out += cameraLabel(camera) + ": ";
            out += "unfinished packet " + packetText(Bytes(bytes.begin() + static_cast<long>(start), bytes.end())) +
                   " (no FF)";
            break;
        }
        const Bytes packet(bytes.begin() + static_cast<long>(start), bytes.begin() + static_cast<long>(end) + 1);
        if (packet.size() == 1) {
            out += "a lone FF";
        } else {
            out += side == LineSide::Sent ? sentMeaning(packet) : receivedMeaning(packet, origin);
        }
        start = end + 1;
    }
    return out;
}

std::string lineMeaning(std::string_view line, LineSide side, const AnswerOrigin* origin) {
    const auto bytes = trafficLineBytes(line);
    if (!bytes) return "The start of this line was cut off when the log reached its limit.";
    if (bytes->empty()) return {};
    return packetMeaning(*bytes, side, origin);
}

void useControlCaptions(const void* owner, std::function<std::vector<Form*>()> forms) {
    captionSource() = {owner, std::move(forms)};
}

void dropControlCaptions(const void* owner) {
    if (captionSource().owner == owner) captionSource() = {};
}

int answerLength(const Bytes& packet) {
    if (packet.size() < 3) return 0;
    const InquiryName* q = inquiryOf(Bytes(packet.begin() + 1, packet.end() - 1));
    return q ? q->answerLength : 0;
}

}  // namespace orbus
