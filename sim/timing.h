// How long a simulated camera takes to carry out a command, when the chain
// runs timed. One table for all of it:
//
//   command                               time (times Chain::executionScale)
//   zoom position     01 04 47 p q r s    |target - zoom| / 0x7E80 x the model's full zoom time
//   focus position    01 04 48 p q r s    |target - focus| / 0xB000 x the model's full focus time
//   digital zoom pos. 01 04 46 p q r s    |target - position| / 0xEB x 0.3 s
//   zoom drive        01 04 07 2p|3p|02|03 held until a zoom stop (07 00), another zoom
//                                          drive or position, a preset recall, or the end
//                                          of travel: distance / rate, the rate being the
//                                          full range per full zoom time x (p + 1) / 8
//                                          (02 and 03 run at p = 3)
//   focus drive       01 04 08 2p|3p|02|03 the same on the focus axis (stop 08 00)
//   pan-tilt drive    01 06 01 VV WW d e  held until a halt of both axes (d = e = 03), another
//                                          drive or move, a preset recall, or the end of the
//                                          axes' travel (the slower axis); speed x 16 units/s
//   pan-tilt move     01 06 02|03 ...     absolute or relative: the slower axis's
//                                          distance / (speed x 16 units/s)
//   preset recall     01 04 3F 02 p       the longest of the moves it causes: head at the
//                                          maximum speeds, zoom and focus as positions
//   one-push WB       01 04 10 05         0.4 s
//   one-push AF       01 04 18 01         0.6 s
//   anything else                         0.03 s
//
// A drive ended by a command completes when that command is acknowledged;
// the command itself runs as its own row says. Every completion comes at
// least kMinAfterAck after the acknowledge.
#pragma once

#include "camera.h"

namespace orbus::sim {

struct LensTimes {
    double zoom;   // seconds for the whole optical zoom range at top speed
    double focus;  // seconds for the whole focus range
};

// Per model where they differ: the older pan-tilt heads carry slower lenses.
inline LensTimes lensTimes(const CameraModel& m) {
    if (m.series == Series::Block) return {2.5, 1.5};
    switch (m.panTilt) {
    case PanTiltModel::Alpha: return {3.5, 2.0};
    case PanTiltModel::Kappa: return {2.8, 1.5};
    default: return {3.0, 1.5};  // ORX-Beta, ORX-Gamma
    }
}

constexpr int kZoomRange = 0x7E80;
constexpr int kFocusMin = 0x1000, kFocusMax = 0xC000;
constexpr int kDZoomRange = 0xEB;
constexpr double kDZoomFullTime = 0.3;
constexpr double kOnePushWhiteBalanceTime = 0.4;
constexpr double kOnePushFocusTime = 0.6;
constexpr double kOtherCommandTime = 0.03;
constexpr int kStandardDriveSpeed = 3;  // lens drives 02 and 03
constexpr double kMinAfterAck = 0.002;

// Units per second of a lens drive at speed p (0..7) over a range run
// through in fullTime at the top speed.
inline double lensDriveRate(int range, double fullTime, int p) {
    return range / fullTime * (p + 1) / 8.0;
}

}  // namespace orbus::sim
