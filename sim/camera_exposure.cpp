// The simulated camera's exposure, colour and picture commands.
#include "camera.h"

#include "camera_bytes.h"

namespace orbus::sim {

using namespace detail;

namespace {

// The camera's exposure modes and the values each leaves to the operator;
// its automatics hold the rest. Spot light (10) meters like full auto and
// reports full auto, so it takes that row.
struct ExposureMode {
    int code;
    bool iris, shutter, gain, bright;
};
constexpr ExposureMode kExposureModes[] = {
    {0x00, false, false, false, false},  // full auto
    {0x03, true, true, true, false},     // manual
    {0x0A, false, true, false, false},   // shutter priority
    {0x0B, true, false, false, false},   // iris priority
    {0x0C, false, false, true, false},   // gain priority
    {0x0D, false, false, false, true},   // bright
    {0x1A, true, false, true, false},    // shutter auto
    {0x1B, false, true, true, false},    // iris auto
    {0x1C, true, true, false, false},    // gain auto
};

const ExposureMode* exposureMode(int code) {
    for (const ExposureMode& m : kExposureModes) {
        if (m.code == code) return &m;
    }
    return nullptr;
}

constexpr int kSpotLight = 0x10;
constexpr int kBright = 0x0D;
constexpr int kManualWhiteBalance = 0x05;

bool isStep(std::uint8_t p) { return p == 0x00 || p == 0x02 || p == 0x03; }

}  // namespace

bool Camera::operatorSets(Held value) const {
    if (value == Held::ColourGains) return state_.wbMode == kManualWhiteBalance;
    const ExposureMode* m = exposureMode(state_.aeMode);
    if (!m) return false;
    switch (value) {
    case Held::Iris: return m->iris;
    case Held::Shutter: return m->shutter;
    case Held::Gain: return m->gain;
    case Held::Bright: return m->bright;
    case Held::ColourGains: break;
    }
    return false;
}

// Exposure, white balance, aperture, metering and the IR cut filter. A value
// the present modes leave to the camera's automatics is not executable.
Camera::Outcome Camera::exposureCommand(const Bytes& c) {
    CameraState& s = state_;
    const std::uint8_t p = c.size() > 3 ? c[3] : 0;
    const std::size_t n = c.size();
    // A step (02 up, 03 down, 00 reset) of a value the operator holds.
    auto stepHeld = [&](Held held, int& value, int hi, int resetTo) {
        if (!isStep(p)) return Outcome::Refused;
        if (!operatorSets(held)) return Outcome::NotNow;
        step(value, p, 0, hi, resetTo);
        return Outcome::Applied;
    };
    // A direct value 0p 0q 0r 0s of one the operator holds.
    auto directHeld = [&](Held held, int& value, int hi) {
        if (n < 7) return Outcome::Refused;
        if (!operatorSets(held)) return Outcome::NotNow;
        value = clampi(nib4(c, 3), 0, hi);
        return Outcome::Applied;
    };
    auto onOff = [&](bool& value) {
        if (!isOnOff(p)) return Outcome::Refused;
        value = p == 0x02;
        return Outcome::Applied;
    };
    switch (c[2]) {
    case 0x39:
        if (p != kSpotLight && !exposureMode(p)) return Outcome::Refused;
        // Bright is entered from full auto or shutter priority only.
        if (p == kBright && s.aeMode != 0x00 && s.aeMode != 0x0A && s.aeMode != kBright) return Outcome::NotNow;
        s.spotLight = p == kSpotLight;
        s.aeMode = s.spotLight ? 0x00 : p;
        return Outcome::Applied;
    case 0x0B: return stepHeld(Held::Iris, s.iris, 17, 10);
    case 0x0C: return stepHeld(Held::Gain, s.gain, 15, 1);
    case 0x0A: return stepHeld(Held::Shutter, s.shutter, 21, 6);
    case 0x0D: return stepHeld(Held::Bright, s.bright, 31, 12);
    case 0x0E: step(s.expComp, p, 0, 14, 7); return Outcome::Applied;
    case 0x02: step(s.aperture, p, 0, 15, 5); return Outcome::Applied;
    case 0x03: return stepHeld(Held::ColourGains, s.rGain, 255, 128);
    case 0x04: return stepHeld(Held::ColourGains, s.bGain, 255, 128);
    case 0x05:
        if (p == 0x40) s.vPhase = 0;
        else if (p != 0x00) step(s.vPhase, p, 0, 255, 0);
        return Outcome::Applied;
    case 0x4B: return directHeld(Held::Iris, s.iris, 17);
    case 0x4C: return directHeld(Held::Gain, s.gain, 15);
    case 0x4A: return directHeld(Held::Shutter, s.shutter, 21);
    case 0x4D: return directHeld(Held::Bright, s.bright, 31);
    case 0x4E: if (n < 7) return Outcome::Refused; s.expComp = clampi(nib4(c, 3), 0, 14); return Outcome::Applied;
    case 0x42: if (n < 7) return Outcome::Refused; s.aperture = clampi(nib4(c, 3), 0, 15); return Outcome::Applied;
    case 0x43: return directHeld(Held::ColourGains, s.rGain, 255);
    case 0x44: return directHeld(Held::ColourGains, s.bGain, 255);
    case 0x45: if (n < 7) return Outcome::Refused; s.vPhase = clampi(nib4(c, 3), 0, 255); return Outcome::Applied;
    case 0x3E: return onOff(s.expCompOn);
    case 0x33: return onOff(s.backLight);
    case 0x5A: return onOff(s.slowShutter);
    case 0x2A: if (p > 2) return Outcome::Refused; s.slowShutterLimit = p; return Outcome::Applied;
    case 0x35: if (p > kManualWhiteBalance) return Outcome::Refused; s.wbMode = p; return Outcome::Applied;
    case 0x10: return outcome(p == 0x05);
    case 0x01: s.icrOn = p == 0x02; return Outcome::Applied;
    case 0x51: return onOff(s.autoIcr);
    case 0x59: return onOff(s.spotMetering);
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
    case 0x63: if (p > 8) return Outcome::Refused; s.pictureEffect = p; return Outcome::Applied;
    case 0x64: if (p > 4) return Outcome::Refused; s.digitalEffect = p; return Outcome::Applied;
    case 0x34: s.stabilizer = p == 0x02; return Outcome::Applied;
    case 0x60: return Outcome::Applied;
    case 0x25: s.vPhase180 = p == 0x01; return Outcome::Applied;
    case 0x17: s.keyLock = p == 0x02; return Outcome::Applied;
    case 0x65: s.effectLevel = p; return Outcome::Applied;
    case 0x75: s.mute = p == 0x02; return Outcome::Applied;
    case 0x62: s.freeze = p == 0x02; return Outcome::Applied;
    case 0x61: if (!isOnOff(p)) return Outcome::Refused; s.lrReverse = p == 0x02; return Outcome::Applied;
    case 0x66: s.pictureFlip = p == 0x02; return Outcome::Applied;
    case 0x15: if (!isOnOff(p)) return Outcome::Refused; s.dataScreen = p == 0x02; return Outcome::Applied;
    case 0x55: s.syncMode = p; return Outcome::Applied;
    case 0x22: if (n < 7) return Outcome::Refused; s.cameraId = nib4(c, 3); return Outcome::Applied;
    default: return Outcome::NotMine;
    }
}

}  // namespace orbus::sim
