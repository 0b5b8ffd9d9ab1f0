#include "app/meaning_tables.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "app/meaning.h"
#include "dialogs/md.h"
#include "dialogs/title_chars.h"
#include "link/packet.h"
#include "platform/text.h"

namespace orbus {

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

namespace meaning {

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
        {"01 04 29", "spot exposure position", Arg::Spot},
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
        {"01 04 40", "auto power-off timer", Arg::Minutes},
        {"01 04 41", "night power-off timer", Arg::Minutes},
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
        {"01 04 6C", "alarm mode", Arg::AlarmMode},
        {"01 04 6D", "alarm day and night levels", Arg::Raw},
        {"01 04 70", "clock", Arg::Clock},
        {"01 04 71", "date display", Arg::Words, "02=on,03=off"},
        {"01 04 72", "time display", Arg::Words, "02=on,03=off"},
        {"01 04 73", "title", Arg::Title},
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

const std::vector<OwnPacket>& mainWindowPackets() {
    static const std::vector<OwnPacket> table = {
        {"FrmMain.IFClear", "01 00 01"},
    };
    return table;
}

// ---- how a command's value reads ------------------------------------------------

namespace {

// "01 04 0B" as bytes.
Bytes prefixBytes(std::string_view text) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < text.size(); i += 3)
        out.push_back(static_cast<std::uint8_t>(hexDigit(text[i]) * 16 + hexDigit(text[i + 1])));
    return out;
}

bool startsWith(const Bytes& body, const Bytes& prefix) {
    return body.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), body.begin());
}

// The table's prefixes as bytes, parsed once, in table order.
const std::vector<Bytes>& functionPrefixes() {
    static const std::vector<Bytes> all = [] {
        std::vector<Bytes> out;
        for (const Function& f : functions()) out.push_back(prefixBytes(f.prefix));
        return out;
    }();
    return all;
}

}  // namespace

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

namespace {

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

}  // namespace

std::string describeArg(const Function& f, const Bytes& arg) {
    std::string noun = f.noun;
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
    case Arg::Minutes:
        if (arg.size() == 4) {
            if (auto v = nibbles(arg, 0, 4)) return noun + " " + std::to_string(*v) + " min";
        }
        return noun + ", " + setting(arg);
    case Arg::Clock:
        if (arg.size() == 10 && std::all_of(arg.begin(), arg.end(), [](std::uint8_t b) { return b <= 9; })) {
            auto two = [&](std::size_t i) { return std::to_string(arg[i]) + std::to_string(arg[i + 1]); };
            return noun + " " + two(6) + ":" + two(8) + ", day " + two(4) + " month " + two(2) + " year " + two(0);
        }
        return noun + ", " + setting(arg);
    case Arg::Title:
        if (arg.size() == 11 && (arg[0] == 0x01 || arg[0] == 0x02)) {
            const auto& chars = title::titleChars();
            std::string text;
            for (std::size_t i = 1; i < arg.size(); ++i) {
                if (arg[i] >= chars.size()) return noun + ", " + setting(arg);
                text += chars[arg[i]].glyph;
            }
            return noun + " characters " + (arg[0] == 0x01 ? "1 to 10" : "11 to 20") + " \"" + text + "\"";
        }
        return noun + ", " + setting(arg);
    case Arg::Spot:
        if (arg.size() == 4 && arg[0] == 0 && arg[2] == 0 && arg[1] <= 0x0F && arg[3] <= 0x0F)
            return noun + " x " + std::to_string(arg[1]) + ", y " + std::to_string(arg[3]);
        return noun + ", " + setting(arg);
    case Arg::AlarmMode:
        if (arg.size() == 1 && arg[0] < std::size(FrmMD::kModes)) return noun + " " + FrmMD::kModes[arg[0]];
        return noun + ", " + setting(arg);
    }
    return noun;
}

}  // namespace meaning
}  // namespace orbus
