// Every packet the auxiliary windows send, as data: one row per window,
// control and packet. A row holds the bytes between the header (0x80 +
// camera address) and the terminator FF, with the computed bytes at zero,
// and where the computed bytes go. The dialogs build their packets from
// these rows, and anything that must name a logged packet reads the same
// rows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/serial_port.h"

namespace orbus::dialogs {

// The packets, by what they do. One packet may have several rows, one per
// window that sends it.
enum class Packet : std::uint8_t {
    // privacy masks, twenty-four of them
    GridOn,
    GridOff,
    MaskDisplay,
    MaskColour,
    MaskSet,
    MaskAngle,
    MaskMove,
    MaskPTZ,
    // privacy zones, six of them
    ZonesOn,
    ZonesOff,
    ZonesClear,
    ZoneSet,
    // spot exposure and effect level
    SpotOn,
    SpotOff,
    SpotSet,
    EffectLevel,
    // service settings
    ServiceMode,
    ProtectRelease,
    MemoryRead,
    MemoryWrite,
    MemorySet,
    SpeedWrite,
    // alarm
    AlarmMode,
    AlarmLevels,
    AlarmStart,
    AlarmStop,
    DataScreenOn,
    DataScreenOff,
    AlarmModeInquiry,
    AlarmLevelInquiry,
    AlarmDetectInquiry,
    // clock, camera ID, power-off timers
    Clock,
    CameraID,
    AutoPowerOff,
    NightPowerOff,
    AutoPowerOffInquiry,
    NightPowerOffInquiry,
    // titles: place and colour, the two halves of the text, clear, display
    TitlePlace,
    TitleFirstHalf,
    TitleSecondHalf,
    TitleClear,
    TitleOn,
    TitleOff,
    // the service memory's manufacture record
    DebugIn,
    ManufactureYear,
    ManufactureMonthDay,
    RemodelCount,
    DebugOut,
};

// Computed bytes: `count` of them from body index `at`.
struct Computed {
    int at;
    int count;
};

struct PacketRow {
    Packet packet;
    const char* window;
    const char* control;
    std::vector<std::uint8_t> body;  // between header and FF; computed bytes 00
    std::vector<Computed> computed;  // in the order their values are given
};

// Every row, grouped by window.
const std::vector<PacketRow>& packetTable();

// The first row of `packet`.
const PacketRow& packetRow(Packet packet);

// The number of computed bytes of a row.
int computedCount(const PacketRow& row);

// The packet as small integers, header to FF, with `values` in its computed
// bytes in order (a missing value counts as 0, one too many is left out).
// The values are not checked: the send routine refuses one that does not
// fit in a byte.
std::vector<int> packetValues(int header, Packet packet, const std::vector<int>& values = {});

// The same as bytes; nothing when a value does not fit in a byte.
std::optional<Bytes> packetBytes(int header, Packet packet, const std::vector<int>& values = {});

// A row's packet from header to FF, computed bytes as "vv".
std::string packetNotation(const PacketRow& row);

// Gives each control of `window` that a row names a tool tip: its own tip
// (or its caption) followed by the packets it sends.
void applyPacketTips(Form& window);

}  // namespace orbus::dialogs
