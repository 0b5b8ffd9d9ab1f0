#include "app/meaning.h"

#include <algorithm>
#include <cstdio>

#include "link/packet.h"
#include "panel/commands.h"
#include "pantilt/drive.h"
#include "platform/text.h"

namespace orbus {

const std::vector<DialogPacket>& dialogPackets() {
    static const std::vector<DialogPacket> table = {
        // "PrivacyZone Setting", twenty-four masks
        {"Privacy", "CmdGridOn", "01 04 7C 02"},
        {"Privacy", "cmdGridoff", "01 04 7C 03"},
        {"Privacy", "cmdPrivacyDisp", "01 04 77 ?? ?? ?? ??"},
        {"Privacy", "cmdPrivacyColor", "01 04 78 ?? ?? ?? ?? ?? ??"},
        {"Privacy", "CmdPrivacySet", "01 04 76 ?? ?? ?? ?? ?? ?? ?? ?? ?? ??"},
        {"Privacy", "cmdPZMpantilt", "01 04 79 ?? ?? ?? ?? ?? ??"},
        {"Privacy", "cmdMovePanTilt", "01 04 7A ?? ?? ?? ?? ??"},
        {"Privacy", "Command1", "01 04 7B ?? ?? ?? ?? ?? ?? ?? ?? ?? ?? ??"},
        // "PrivacyZone Setting", six zones
        {"PrivacyA", "CmdPrivacyOn", "01 04 77 02"},
        {"PrivacyA", "CmdPrivacyoff", "01 04 77 03"},
        {"PrivacyA", "CmdClear", "01 04 77 00"},
        {"PrivacyA", "cmdPZMset", "01 04 76 ?? ?? ?? ?? ?? ?? ?? ?? ??"},
        // "AE SPOT" and "Digital Effect Level"
        {"FrmAES", "AESpotON", "01 04 59 02"},
        {"FrmAES", "AESpotOFF", "01 04 59 03"},
        {"FrmAES", "AESpotSet", "01 04 29 00 ?? 00 ??"},
        {"FrmDeffect", "DELevelOK", "01 04 65 ??"},
        // "Factory Set"
        {"FSet", "EPromCmdSens", "5E 21 3A 6D"},
        {"FSet", "EPromWriteProtectrelesase", "01 7F 7F 02 00 0B 05 00 0E"},
        {"FSet", "EPromCmdRD", "09 7F 7F 01 ?? ?? ??"},
        {"FSet", "EPromCmdWR", "01 7F 7F 02 ?? ?? ?? ?? ??"},
        {"FSet", "EPromCmdSet", "01 7F 7F 03 ?? ?? ?? ?? ??"},
        {"FSet", "CmdBaudRate", "01 7F 7F 02 0C 0F 0C 00 ??"},
        // "Alarm"
        {"FrmMD", "comSetMD", "01 04 6C ??"},
        {"FrmMD", "cmdsetMDtime", "01 04 6D ?? ?? ?? ?? ?? ??"},
        {"FrmMD", "cmdMDstart", "01 04 6B 02"},
        {"FrmMD", "cmdMDstart", "01 04 6B 03"},
        {"FrmMD", "cmdDisplay", "01 04 15 02"},
        {"FrmMD", "cmdMDdisplayOFF", "01 04 15 03"},
        {"FrmMD", "cmdsetMDinq", "09 04 6C"},
        {"FrmMD", "cmdLevelInq", "09 04 6D"},
        {"FrmMD", "cmdMDSSunq", "09 04 6B"},
        // clock, camera ID, power-off timers
        {"FrmSetDT", "OK", "01 04 70 ?? ?? ?? ?? ?? ?? ?? ?? ?? ??"},
        {"FrmCamID", "OK", "01 04 22 ?? ?? ?? ??"},
        {"FrmAutoPOff", "OK", "01 04 40 ?? ?? ?? ??"},
        {"FrmNightPOff", "OK", "01 04 41 ?? ?? ?? ??"},
        {"FrmAutoPOff", "Form_Load", "09 04 40"},
        {"FrmNightPOff", "Form_Load", "09 04 41"},
        // titles: position and colour, then the two halves of the text
        {"FrmTitle_K", "OK", "01 04 73 00 ?? ?? ?? ?? 00 00 00 00 00 00"},
        {"FrmTitle_K", "OK", "01 04 73 01 ?? ?? ?? ?? ?? ?? ?? ?? ?? ??"},
        {"FrmTitle_K", "OK", "01 04 73 02 ?? ?? ?? ?? ?? ?? ?? ?? ?? ??"},
        {"FrmTitle_M", "OK", "01 04 73 00 ?? ?? ?? ?? 00 00 00 00 00 00"},
        {"FrmTitle_M", "OK", "01 04 73 01 ?? ?? ?? ?? ?? ?? ?? ?? ?? ??"},
        {"FrmTitle_M", "OK", "01 04 73 02 ?? ?? ?? ?? ?? ?? ?? ?? ?? ??"},
        {"FrmTitle_K", "Clear", "01 04 74 00"},
        {"FrmTitle_M", "Clear", "01 04 74 00"},
        {"FrmTitle_K", "Check1", "01 04 74 02"},
        {"FrmTitle_K", "Check1", "01 04 74 03"},
        {"FrmTitle_M", "Check1", "01 04 74 02"},
        {"FrmTitle_M", "Check1", "01 04 74 03"},
        // "more Infomation": the service memory's manufacture record
        {"Frmmoreinfo", "Form_Load", "01 06 22 5C"},
        {"Frmmoreinfo", "Form_Load", "01 06 1A 03 00"},
        {"Frmmoreinfo", "Form_Load", "01 06 1A 03 01"},
        {"Frmmoreinfo", "Form_Load", "01 06 1A 02 03"},
        {"Frmmoreinfo", "Form_Load", "01 06 22 12"},
        // the main window's packets outside its command table
        {"FrmMain", "IFClear", "01 00 01"},
    };
    return table;
}

const std::vector<InquiryName>& inquiryNames() {
    static const std::vector<InquiryName> table = {
        {"09 00 02", "version", 10},
        {"09 06 23", "video system", 4},
        {"09 06 34", "IR condition", 4},
        {"09 7E 7E 00", "lens block", 16},
        {"09 7E 7E 01", "camera-control block", 16},
        {"09 7E 7E 02", "other block", 16},
        {"09 7E 7E 03", "expand block", 16},
        {"09 06 06", "menu mode", 4},
        {"09 7E 01 18", "information display", 4},
        {"09 7E 01 1A", "D-sub sync mode", 4},
        {"09 06 12", "pan-tilt position", 11},
        {"09 06 10", "pan-tilt mode", 5},
        {"09 06 11", "pan-tilt maximum speed", 5},
        {"09 04 00", "power", 4},
        {"09 04 6B", "alarm detection", 4},
        {"09 04 6C", "alarm mode", 4},
        {"09 04 6D", "alarm levels", 12},
        {"09 04 40", "auto power-off timer", 7},
        {"09 04 41", "night power-off timer", 7},
        {"09 7F 7F 01 ?? ?? ??", "service memory", 0},
    };
    return table;
}

namespace {

// ---- patterns -----------------------------------------------------------------------

enum class Slot : std::uint8_t { Exact, Any, Nibble, Speed };

// One packet a control sends, as a pattern over the body.
struct Pattern {
    std::string name;
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
        p.body = row.body;
        p.slots.assign(row.body.size(), Slot::Exact);
        if (row.operatorSpeeds) markWild(p, 3, 2, Slot::Any);
        out.push_back(std::move(p));
    }
    for (const DialogPacket& d : dialogPackets()) {
        Pattern p;
        p.name = std::string(d.window) + "." + d.control;
        parsePattern(d.body, p);
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

// Names of the controls that send `body`: the controls whose fixed packet is
// exactly this one when there are any, else every control whose computed
// bytes can give it.
std::vector<std::string> controlsSending(const Bytes& body) {
    std::vector<std::string> exact, computed;
    for (const Pattern& p : patterns()) {
        if (!matches(p, body)) continue;
        std::string name = p.name;
        if (p.indexAt >= 0) name += "(" + std::to_string(body[static_cast<std::size_t>(p.indexAt)]) + ")";
        auto& list = p.wild == 0 ? exact : computed;
        if (std::find(list.begin(), list.end(), name) == list.end()) list.push_back(std::move(name));
    }
    return exact.empty() ? computed : exact;
}

// ---- what a command does ------------------------------------------------------------

enum class Arg : std::uint8_t {
    None,     // nothing after the prefix
    Words,    // one byte named by the word list
    Drive,    // 00 stop, 2p and 3p the two directions at speed p, else the word list
    Value4,   // four nibble bytes
    Value2,   // 00 00 0p 0q
    Memory,   // operation (word list) and number, 7F custom
    PanTilt,  // pan speed, tilt speed, pan and tilt direction
    Decimal,  // one byte, as a number
    Raw,      // bytes as they are
};

struct Function {
    const char* prefix;
    const char* noun;
    Arg arg;
    const char* words = "";  // "02=on,03=off"; for Drive "tele,wide|02=on"
};

const std::vector<Function>& functions() {
    static const std::vector<Function> table = {
        {"01 00 01", "interface clear", Arg::None},
        {"01 04 00", "power", Arg::Words, "02=on,03=off"},
        {"01 04 01", "infrared-cut filter", Arg::Words, "02=on,03=off"},
        {"01 04 02", "aperture", Arg::Words, "00=reset,02=up,03=down"},
        {"01 04 03", "red gain", Arg::Words, "00=reset,02=up,03=down"},
        {"01 04 04", "blue gain", Arg::Words, "00=reset,02=up,03=down"},
        {"01 04 05", "vertical phase", Arg::Words, "00=stop,02=up,03=down,40=reset"},
        {"01 04 06", "digital zoom", Arg::Drive, "tele,wide|02=on,03=off,10=x1 or maximum"},
        {"01 04 07", "zoom", Arg::Drive, "tele,wide|02=tele,03=wide"},
        {"01 04 08", "focus", Arg::Drive, "far,near|02=far,03=near"},
        {"01 04 0A", "shutter", Arg::Words, "00=reset,02=up,03=down"},
        {"01 04 0B", "iris", Arg::Words, "00=reset,02=one step open,03=one step closed"},
        {"01 04 0C", "gain", Arg::Words, "00=reset,02=up,03=down"},
        {"01 04 0D", "bright", Arg::Words, "00=reset,02=up,03=down"},
        {"01 04 0E", "exposure compensation", Arg::Words, "00=reset,02=up,03=down"},
        {"01 04 10", "white balance", Arg::Words, "05=one-push trigger"},
        {"01 04 15", "data screen", Arg::Words, "02=on,03=off"},
        {"01 04 17", "key lock", Arg::Words, "00=off,02=on"},
        {"01 04 18", "focus", Arg::Words, "01=one-push AF,02=infinity"},
        {"01 04 19", "lens", Arg::Words, "01=initialize,02=compensation scan"},
        {"01 04 22", "camera ID", Arg::Value4},
        {"01 04 25", "vertical phase", Arg::Words, "00=0 degree,01=180 degree"},
        {"01 04 26", "digital zoom limit", Arg::Words, "00=x1,01=x1.5,02=x2,03=x4"},
        {"01 04 27", "AF active and interval time", Arg::Raw},
        {"01 04 28", "focus near limit", Arg::Value4},
        {"01 04 29", "spot exposure position", Arg::Raw},
        {"01 04 2A", "auto slow shutter limit", Arg::Raw},
        {"01 04 33", "backlight", Arg::Words, "02=on,03=off"},
        {"01 04 34", "stabilizer", Arg::Words, "02=on,03=off"},
        {"01 04 35", "white balance mode", Arg::Words,
         "00=auto,01=indoor,02=outdoor,03=one push,04=ATW,05=manual"},
        {"01 04 36", "digital zoom mode", Arg::Words, "00=combine,01=separate"},
        {"01 04 38", "focus mode", Arg::Words, "02=auto,03=manual"},
        {"01 04 39", "exposure mode", Arg::Words,
         "00=full auto,03=manual,0A=shutter priority,0B=iris priority,0C=gain priority,0D=bright,"
         "10=spot light,1A=shutter auto,1B=iris auto,1C=gain auto"},
        {"01 04 3E", "exposure compensation", Arg::Words, "02=on,03=off"},
        {"01 04 3F", "memory", Arg::Memory, "00=reset,01=set,02=recall"},
        {"01 04 40", "auto power-off timer", Arg::Value4},
        {"01 04 41", "night power-off timer", Arg::Value4},
        {"01 04 42", "aperture position", Arg::Value4},
        {"01 04 43", "red gain position", Arg::Value2},
        {"01 04 44", "blue gain position", Arg::Value2},
        {"01 04 45", "vertical phase position", Arg::Value2},
        {"01 04 46", "digital zoom position", Arg::Value4},
        {"01 04 47", "zoom position", Arg::Value4},
        {"01 04 48", "focus position", Arg::Value4},
        {"01 04 4A", "shutter position", Arg::Value4},
        {"01 04 4B", "iris position", Arg::Value4},
        {"01 04 4C", "gain position", Arg::Value4},
        {"01 04 4D", "bright position", Arg::Value4},
        {"01 04 4E", "exposure compensation position", Arg::Value4},
        {"01 04 51", "auto infrared-cut filter", Arg::Words, "02=on,03=off"},
        {"01 04 55", "sync", Arg::Words, "00=internal,01=line lock"},
        {"01 04 57", "AF mode", Arg::Words, "00=normal,01=interval,02=zoom trigger"},
        {"01 04 58", "AF sensitivity", Arg::Words, "02=normal,03=low"},
        {"01 04 59", "spot exposure", Arg::Words, "02=on,03=off"},
        {"01 04 5A", "auto slow shutter", Arg::Words, "02=on,03=off"},
        {"01 04 60", "wide mode", Arg::Words, "00=normal"},
        {"01 04 61", "left-right reverse", Arg::Words, "02=on,03=off"},
        {"01 04 62", "freeze", Arg::Words, "02=on,03=off"},
        {"01 04 63", "picture effect", Arg::Words,
         "00=off,01=pastel,02=negative art,03=sepia,04=black and white,05=solarize,06=mosaic,07=slim,08=stretch"},
        {"01 04 64", "digital effect", Arg::Words, "00=off,01=still,02=flash,03=luminance,04=trail"},
        {"01 04 65", "digital effect level", Arg::Decimal},
        {"01 04 66", "picture flip", Arg::Words, "02=on,03=off"},
        {"01 04 6B", "alarm detection", Arg::Words, "02=start,03=stop"},
        {"01 04 6C", "alarm mode", Arg::Raw},
        {"01 04 6D", "alarm day and night levels", Arg::Raw},
        {"01 04 70", "clock", Arg::Raw},
        {"01 04 71", "date display", Arg::Words, "02=on,03=off"},
        {"01 04 72", "time display", Arg::Words, "02=on,03=off"},
        {"01 04 73", "title", Arg::Raw},
        {"01 04 74", "title display", Arg::Words, "00=clear,02=on,03=off"},
        {"01 04 75", "mute", Arg::Words, "02=on,03=off"},
        {"01 04 76", "privacy mask", Arg::Raw},
        {"01 04 77", "privacy display", Arg::Words, "00=clear,02=on,03=off"},
        {"01 04 78", "privacy colour", Arg::Raw},
        {"01 04 79", "privacy pan-tilt angle", Arg::Raw},
        {"01 04 7A", "privacy pan-tilt move", Arg::Raw},
        {"01 04 7B", "privacy mask position", Arg::Raw},
        {"01 04 7C", "privacy grid", Arg::Words, "02=on,03=off"},
        {"01 06 01", "pan-tilt drive", Arg::PanTilt},
        {"01 06 04", "pan-tilt home", Arg::None},
        {"01 06 05", "pan-tilt reset", Arg::None},
        {"01 06 06", "on-screen menu", Arg::Words, "02=on,03=off"},
        {"01 06 1A", "service memory read", Arg::Raw},
        {"01 06 22", "service mode", Arg::Words, "5C=enter,12=leave"},
        {"01 7E 01 18", "information display", Arg::Words, "02=on,03=off"},
        {"01 7E 01 1A 00", "D-sub 15-pin output", Arg::Words, "00=3-state,01=VD"},
        {"01 7F 7F 02", "service memory write", Arg::Raw},
        {"01 7F 7F 03", "service memory set", Arg::Raw},
        {"5E 21 3A 6D", "service setting mode", Arg::None},
    };
    return table;
}

bool startsWith(const Bytes& body, const Bytes& prefix) {
    return body.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), body.begin());
}

// The table's prefixes as bytes, parsed once, in table order.
const std::vector<Bytes>& functionPrefixes() {
    static const std::vector<Bytes> all = [] {
        std::vector<Bytes> out;
        for (const Function& f : functions()) {
            Pattern p;
            parsePattern(f.prefix, p);
            out.push_back(std::move(p.body));
        }
        return out;
    }();
    return all;
}

// The longest prefix of the table that the body starts with.
const Function* functionOf(const Bytes& body, std::size_t& prefixLength) {
    const Function* best = nullptr;
    prefixLength = 0;
    const std::vector<Bytes>& prefixes = functionPrefixes();
    for (std::size_t i = 0; i < prefixes.size(); ++i) {
        if (prefixes[i].size() > prefixLength && startsWith(body, prefixes[i])) {
            best = &functions()[i];
            prefixLength = prefixes[i].size();
        }
    }
    return best;
}

// The word for `value` in "02=on,03=off"; empty when the list has none.
std::string wordFor(std::string_view words, std::uint8_t value) {
    const std::string key = hex2(value) + "=";
    std::size_t pos = 0;
    while (pos < words.size()) {
        std::size_t end = words.find(',', pos);
        if (end == std::string_view::npos) end = words.size();
        const std::string_view item = words.substr(pos, end - pos);
        if (item.size() > key.size() && item.substr(0, key.size()) == key) return std::string(item.substr(key.size()));
        pos = end + 1;
    }
    return {};
}

std::string setting(const Bytes& arg) { return arg.empty() ? std::string("no value") : "setting " + packetText(arg); }

// Four nibble bytes as "0x4000"; nothing when a byte holds more than a nibble.
std::optional<unsigned> nibbles(const Bytes& arg, std::size_t from, std::size_t count) {
    if (arg.size() < from + count) return std::nullopt;
    unsigned v = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (arg[i] > 0x0F) return std::nullopt;
        v = v * 16 + arg[i];
    }
    return v;
}

std::string hexValue(unsigned v, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%0*X", digits, v);
    return buf;
}

std::string describeArg(const Function& f, const Bytes& arg) {
    const std::string noun = f.noun;
    switch (f.arg) {
    case Arg::None:
        return arg.empty() ? noun : noun + ", " + setting(arg);
    case Arg::Words: {
        if (arg.size() == 1) {
            const std::string w = wordFor(f.words, arg[0]);
            if (!w.empty()) return noun + " " + w;
        }
        return noun + ", " + setting(arg);
    }
    case Arg::Drive: {
        const std::string_view all(f.words);
        const std::size_t bar = all.find('|');
        const std::string_view dirs = all.substr(0, bar);
        const std::string_view words = bar == std::string_view::npos ? std::string_view{} : all.substr(bar + 1);
        if (arg.size() == 1) {
            const std::uint8_t b = arg[0];
            if (b == 0x00) return noun + " stop";
            const std::size_t comma = dirs.find(',');
            if ((b & 0xF0) == 0x20 && b <= 0x27)
                return noun + " " + std::string(dirs.substr(0, comma)) + ", speed " + std::to_string(b & 0x0F);
            if ((b & 0xF0) == 0x30 && b <= 0x37)
                return noun + " " + std::string(dirs.substr(comma + 1)) + ", speed " + std::to_string(b & 0x0F);
            const std::string w = wordFor(words, b);
            if (!w.empty()) return noun + " " + w;
        }
        return noun + ", " + setting(arg);
    }
    case Arg::Value4:
        if (arg.size() == 4) {
            if (auto v = nibbles(arg, 0, 4)) return noun + " " + hexValue(*v, 4);
        }
        return noun + ", " + setting(arg);
    case Arg::Value2:
        if (arg.size() == 4 && arg[0] == 0 && arg[1] == 0) {
            if (auto v = nibbles(arg, 2, 2)) return noun + " " + hexValue(*v, 2);
        }
        return noun + ", " + setting(arg);
    case Arg::Memory:
        if (arg.size() == 2) {
            const std::string op = wordFor(f.words, arg[0]);
            if (!op.empty()) {
                if (arg[1] == 0x7F) return noun + " " + op + ", custom";
                return noun + " " + op + ", number " + std::to_string(arg[1]);
            }
        }
        return noun + ", " + setting(arg);
    case Arg::PanTilt:
        if (arg.size() == 4) {
            const char* pan = arg[2] == 0x01 ? "left" : arg[2] == 0x02 ? "right" : arg[2] == 0x03 ? "" : nullptr;
            const char* tilt = arg[3] == 0x01 ? "up" : arg[3] == 0x02 ? "down" : arg[3] == 0x03 ? "" : nullptr;
            if (pan && tilt) {
                if (!*pan && !*tilt) return noun + " stop";
                std::string way = std::string(tilt) + (*tilt && *pan ? "-" : "") + pan;
                return noun + " " + way + ", pan speed " + std::to_string(arg[0]) + ", tilt speed " +
                       std::to_string(arg[1]);
            }
        }
        return noun + ", " + setting(arg);
    case Arg::Decimal:
        if (arg.size() == 1) return noun + " " + std::to_string(arg[0]);
        return noun + ", " + setting(arg);
    case Arg::Raw:
        return noun + ", " + setting(arg);
    }
    return noun;
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

// An answer explained against the inquiry it answered.
std::string answerMeaning(const std::string& who, int camera, const Bytes& reply, const AnswerOrigin* origin) {
    const std::string plain = who + "inquiry answer, " + std::to_string(reply.size()) + " bytes";
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
    return out;
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
    if (kind == 0x60 && reply.size() == 4)
        return who + "error " + hex2(reply[2]) + ", socket " + std::to_string(socket);
    if (reply[1] == 0x50) return answerMeaning(who, camera, reply, origin);
    return who + "reply " + packetText(reply) + ", not one this panel knows";
}

}  // namespace

std::optional<Bytes> trafficLineBytes(std::string_view line) {
    Bytes out;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\r' || c == '\n' || c == '\t') {
            ++i;
            continue;
        }
        if (i + 1 >= line.size()) return std::nullopt;
        const int hi = hexDigit(line[i]);
        const int lo = hexDigit(line[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        if (i + 2 < line.size() && line[i + 2] != ' ' && line[i + 2] != '\r' && line[i + 2] != '\n')
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

std::string packetMeaning(const Bytes& bytes, LineSide side, const AnswerOrigin* origin) {
    std::string out;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = start;
        while (end < bytes.size() && bytes[end] != 0xFF) ++end;
        if (!out.empty()) out += "; ";
        if (end == bytes.size()) {
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

std::string_view lineAt(std::string_view text, std::size_t pos) {
    if (pos > text.size()) pos = text.size();
    std::size_t begin = pos == 0 ? std::string_view::npos : text.rfind('\n', pos - 1);
    begin = begin == std::string_view::npos ? 0 : begin + 1;
    std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

bool isInquiryAnswer(const Bytes& packet) {
    return packet.size() > 3 && replyCamera(packet[0]) != 0 && packet[1] == 0x50 && packet.back() == 0xFF;
}

int answerLength(const Bytes& packet) {
    if (packet.size() < 3) return 0;
    const InquiryName* q = inquiryOf(Bytes(packet.begin() + 1, packet.end() - 1));
    return q ? q->answerLength : 0;
}

// The shortest answer line is "90 50 02 FF \r\n".
static_assert(AnswerLedger::kEntries > kLogLimit / 14);

void AnswerLedger::add(Bytes answer, std::optional<AnswerOrigin> origin) {
    if (entries_.size() == kEntries) entries_.erase(entries_.begin());
    entries_.push_back({std::move(answer), std::move(origin)});
}

std::optional<AnswerOrigin> AnswerLedger::originAt(std::string_view replyLog, std::size_t pos) const {
    const std::string_view line = lineAt(replyLog, pos);
    const auto answer = trafficLineBytes(line);
    if (!answer || !isInquiryAnswer(*answer)) return std::nullopt;
    // Answer lines after this one, to the end of the log.
    std::size_t later = 0;
    std::size_t begin = static_cast<std::size_t>(line.data() - replyLog.data()) + line.size();
    while ((begin = replyLog.find('\n', begin)) != std::string_view::npos) {
        ++begin;
        const auto bytes = trafficLineBytes(lineAt(replyLog, begin));
        if (bytes && isInquiryAnswer(*bytes)) ++later;
    }
    if (later >= entries_.size()) return std::nullopt;
    const Entry& e = entries_[entries_.size() - 1 - later];
    if (e.answer != *answer) return std::nullopt;
    return e.origin;
}

}  // namespace orbus
