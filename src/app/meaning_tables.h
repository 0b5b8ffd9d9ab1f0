// The words the line meaning explains packets with: what each command
// prefix does and how its value reads, and the packets of the main window
// that no table of controls sends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace orbus::meaning {

// How the bytes after a command's prefix read.
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
    Minutes,  // four nibble bytes, a number of minutes
    Clock,    // year, month, day, hour and minute, one decimal digit per byte
    Title,    // a title line's settings, or ten of its characters
    AlarmMode,  // one byte, named as the alarm window lists it
    Spot,     // 00 0x 00 0y: a cell of the spot grid
};

struct Function {
    const char* prefix;
    const char* noun;
    Arg arg;
    const char* words = "";  // "02=on,03=off"; for Drive "tele,wide|02=on"
};

// Every command prefix the panel knows, in no particular order (the longest
// prefix a packet starts with names it).
const std::vector<Function>& functions();

// The entry of the longest prefix `body` starts with, and that prefix's
// length; nullptr when none fits.
const Function* functionOf(const Bytes& body, std::size_t& prefixLength);
// What the command does with the bytes after its prefix, in words.
std::string describeArg(const Function& f, const Bytes& arg);

// A packet of the main window outside its command table: the control's
// name, and the body between header and FF in traffic form.
struct OwnPacket {
    const char* control;
    const char* body;
};
const std::vector<OwnPacket>& mainWindowPackets();

}  // namespace orbus::meaning
