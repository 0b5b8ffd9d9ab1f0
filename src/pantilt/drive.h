// The pan-tilt head's drive packets as data: one row per drive button, and
// the keys that drive the head while they are held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace orbus::pantilt {

struct DriveRow {
    const char* control;  // "Pan_Tilt_Stop" or "Pan_Tilt_Direct"
    int index;
    const char* caption;
    // Between the header and FF. A drive at the operator's speeds carries
    // the pan and tilt speed in bytes 3 and 4 (zero here).
    std::vector<std::uint8_t> body;
    bool operatorSpeeds;
    const char* keys;  // the keys that drive this way while held, or nullptr
};

// The nineteen drive buttons.
const std::vector<DriveRow>& driveTable();
const DriveRow* driveRow(std::string_view control, int index);

// Pan and tilt directions on the wire (bytes 5 and 6 of a drive).
constexpr std::uint8_t kLeft = 0x01, kRight = 0x02, kUp = 0x01, kDown = 0x02, kHalt = 0x03;

// Body length of a drive that moves until stopped (Home and Reset are shorter).
constexpr std::size_t kDriveLength = 7;

// The fixed speed of "Stop" and of the direct buttons.
constexpr std::uint8_t kFixedSpeed = 0x18;

// The operator's pan and tilt speeds run from 1 to these until the head
// tells its own maxima.
constexpr int kPanSpeedMax = 24, kTiltSpeedMax = 23;

}  // namespace orbus::pantilt
