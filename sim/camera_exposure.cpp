// The simulated camera's exposure, colour and picture commands.
#include "camera.h"

#include "camera_bytes.h"

namespace orbus::sim {

using namespace detail;

// Exposure, white balance, aperture, metering and the IR cut filter.
Camera::Outcome Camera::exposureCommand(const Bytes& c) {
    CameraState& s = state_;
    const std::uint8_t p = c.size() > 3 ? c[3] : 0;
    const std::size_t n = c.size();
    switch (c[2]) {
    case 0x39:
        // Spot light meters like full auto and reports full auto.
        s.spotLight = p == 0x10;
        s.aeMode = s.spotLight ? 0x00 : p;
        return Outcome::Applied;
    case 0x0B: step(s.iris, p, 0, 17, 10); return Outcome::Applied;
    case 0x0C: step(s.gain, p, 0, 15, 1); return Outcome::Applied;
    case 0x0A: step(s.shutter, p, 0, 21, 6); return Outcome::Applied;
    case 0x0D: step(s.bright, p, 0, 31, 12); return Outcome::Applied;
    case 0x0E: step(s.expComp, p, 0, 14, 7); return Outcome::Applied;
    case 0x02: step(s.aperture, p, 0, 15, 5); return Outcome::Applied;
    case 0x03: step(s.rGain, p, 0, 255, 128); return Outcome::Applied;
    case 0x04: step(s.bGain, p, 0, 255, 128); return Outcome::Applied;
    case 0x05:
        if (p == 0x40) s.vPhase = 0;
        else if (p != 0x00) step(s.vPhase, p, 0, 255, 0);
        return Outcome::Applied;
    case 0x4B: if (n < 7) return Outcome::Refused; s.iris = clampi(nib4(c, 3), 0, 17); return Outcome::Applied;
    case 0x4C: if (n < 7) return Outcome::Refused; s.gain = clampi(nib4(c, 3), 0, 15); return Outcome::Applied;
    case 0x4A: if (n < 7) return Outcome::Refused; s.shutter = clampi(nib4(c, 3), 0, 21); return Outcome::Applied;
    case 0x4D: if (n < 7) return Outcome::Refused; s.bright = clampi(nib4(c, 3), 0, 31); return Outcome::Applied;
    case 0x4E: if (n < 7) return Outcome::Refused; s.expComp = clampi(nib4(c, 3), 0, 14); return Outcome::Applied;
    case 0x42: if (n < 7) return Outcome::Refused; s.aperture = clampi(nib4(c, 3), 0, 15); return Outcome::Applied;
    case 0x43: if (n < 7) return Outcome::Refused; s.rGain = clampi(nib4(c, 3), 0, 255); return Outcome::Applied;
    case 0x44: if (n < 7) return Outcome::Refused; s.bGain = clampi(nib4(c, 3), 0, 255); return Outcome::Applied;
    case 0x45: if (n < 7) return Outcome::Refused; s.vPhase = clampi(nib4(c, 3), 0, 255); return Outcome::Applied;
    case 0x3E: s.expCompOn = p == 0x02; return Outcome::Applied;
    case 0x33: s.backLight = p == 0x02; return Outcome::Applied;
    case 0x5A: s.slowShutter = p == 0x02; return Outcome::Applied;
    case 0x2A: s.slowShutterLimit = clampi(p, 0, 2); return Outcome::Applied;
    case 0x35: s.wbMode = clampi(p, 0, 5); return Outcome::Applied;
    case 0x10: return outcome(p == 0x05);
    case 0x01: s.icrOn = p == 0x02; return Outcome::Applied;
    case 0x51: s.autoIcr = p == 0x02; return Outcome::Applied;
    case 0x59: if (!isOnOff(p)) return Outcome::Refused; s.spotMetering = p == 0x02; return Outcome::Applied;
    case 0x29:
        if (n != 7 || !nibbles(c, 3, 7)) return Outcome::Refused;
        s.spotX = c[4];
        s.spotY = c[6];
        return Outcome::Applied;
    default: return Outcome::NotMine;
    }
}

// Picture effects and switches, key lock, sync and the camera id.
Camera::Outcome Camera::pictureCommand(const Bytes& c) {
    CameraState& s = state_;
    const std::uint8_t p = c.size() > 3 ? c[3] : 0;
    const std::size_t n = c.size();
    switch (c[2]) {
    case 0x63: s.pictureEffect = p; return Outcome::Applied;
    case 0x64: s.digitalEffect = p; return Outcome::Applied;
    case 0x34: s.stabilizer = p == 0x02; return Outcome::Applied;
    case 0x60: return Outcome::Applied;
    case 0x25: s.vPhase180 = p == 0x01; return Outcome::Applied;
    case 0x17: s.keyLock = p == 0x02; return Outcome::Applied;
    case 0x65: s.effectLevel = p; return Outcome::Applied;
    case 0x75: s.mute = p == 0x02; return Outcome::Applied;
    case 0x62: s.freeze = p == 0x02; return Outcome::Applied;
    case 0x61: s.lrReverse = p == 0x02; return Outcome::Applied;
    case 0x66: s.pictureFlip = p == 0x02; return Outcome::Applied;
    case 0x15: s.dataScreen = p == 0x02; return Outcome::Applied;
    case 0x55: s.syncMode = p; return Outcome::Applied;
    case 0x22: if (n < 7) return Outcome::Refused; s.cameraId = nib4(c, 3); return Outcome::Applied;
    default: return Outcome::NotMine;
    }
}

}  // namespace orbus::sim
