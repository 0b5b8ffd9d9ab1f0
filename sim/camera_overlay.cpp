// The simulated camera's overlays and settings: title, privacy masks,
// clock, power-off timers, alarm, the menu, and the setting memory.
#include "camera.h"

#include "camera_bytes.h"

namespace orbus::sim {

using namespace detail;

Camera::Outcome Camera::overlayCommand(const Bytes& c) {
    CameraState& s = state_;
    const std::uint8_t p = c.size() > 3 ? c[3] : 0;
    const std::size_t n = c.size();
    switch (c[2]) {
    case 0x74:
        if (p == 0x00) {
            s.title.fill(0x1B);
            return Outcome::Applied;
        }
        if (!isOnOff(p)) return Outcome::Refused;
        s.titleDisplay = p == 0x02;
        return Outcome::Applied;
    case 0x73: {
        if (n != 15 || p > 2) return Outcome::Refused;
        if (p == 0x00) {
            s.titleVPos = c[4];
            s.titleHPos = c[5];
            s.titleColour = c[6];
            s.titleBlink = c[7];
            return Outcome::Applied;
        }
        for (std::size_t i = 0; i < 10; ++i) {
            if (c[4 + i] > 0x4F) return Outcome::Refused;
        }
        for (std::size_t i = 0; i < 10; ++i) s.title[static_cast<std::size_t>(p - 1) * 10 + i] = c[4 + i];
        return Outcome::Applied;
    }
    case 0x7C: if (!isOnOff(p)) return Outcome::Refused; s.privacyGrid = p == 0x02; return Outcome::Applied;
    case 0x77: return outcome(privacySwitch(c));
    case 0x78: {
        if (n != 9 || !nibbles(c, 3, 7)) return Outcome::Refused;
        s.maskColour2 = zoneBits(c, 3);
        s.colour1 = c[7];
        s.colour2 = c[8];
        return Outcome::Applied;
    }
    case 0x76: return outcome(privacySet(c));
    case 0x79:
        if (n != 9 || !nibbles(c, 3, 9)) return Outcome::Refused;
        s.maskPan = (c[3] << 8) | (c[4] << 4) | c[5];
        s.maskTilt = (c[6] << 8) | (c[7] << 4) | c[8];
        return Outcome::Applied;
    case 0x7A: return outcome(n == 8 && nibbles(c, 3, 7));
    case 0x7B: {
        if (n != 14 || c[3] > 23 || !nibbles(c, 4, 14)) return Outcome::Refused;
        auto& m = s.masks[c[3]];
        m.pan = (c[4] << 8) | (c[5] << 4) | c[6];
        m.tilt = (c[7] << 8) | (c[8] << 4) | c[9];
        m.zoom = nib4(c, 10);
        return Outcome::Applied;
    }
    case 0x71: s.dateDisplay = p == 0x02; return Outcome::Applied;
    case 0x72: s.timeDisplay = p == 0x02; return Outcome::Applied;
    case 0x40: if (n < 7) return Outcome::Refused; s.autoPowerOff = nib4(c, 3); return Outcome::Applied;
    case 0x41: if (n < 7) return Outcome::Refused; s.nightPowerOff = nib4(c, 3); return Outcome::Applied;
    case 0x70:
        if (n != 13) return Outcome::Refused;
        for (std::size_t i = 3; i < 13; ++i) {
            if (c[i] > 9) return Outcome::Refused;
        }
        s.clock = {c[3] * 10 + c[4], c[5] * 10 + c[6], c[7] * 10 + c[8], c[9] * 10 + c[10], c[11] * 10 + c[12]};
        return Outcome::Applied;
    case 0x6B: if (!isOnOff(p)) return Outcome::Refused; s.alarmActive = p == 0x02; return Outcome::Applied;
    case 0x6C: if (p > 0x0C) return Outcome::Refused; s.alarmMode = p; return Outcome::Applied;
    case 0x6D:
        if (n != 9 || !nibbles(c, 3, 9)) return Outcome::Refused;
        s.dayLevel = (c[3] << 8) | (c[4] << 4) | c[5];
        s.nightLevel = (c[6] << 8) | (c[7] << 4) | c[8];
        return Outcome::Applied;
    default: return Outcome::NotMine;
    }
}

// 01 04 77: the six-zone switch (02 on, 03 off, 00 clear) or, with four
// bytes, the 24 zones' display switches.
bool Camera::privacySwitch(const Bytes& c) {
    CameraState& s = state_;
    if (c.size() == 4) {
        if (c[3] == 0x00) {
            s.zones = {};
            return true;
        }
        if (!isOnOff(c[3])) return false;
        s.privacyOn = c[3] == 0x02;
        return true;
    }
    if (c.size() != 7) return false;
    s.maskDisplay = zoneBits(c, 3);
    return true;
}

// 01 04 76: one mask of the 24 (mask, new, then X, Y, width, height as two
// digits each) or two zones of the six (pair, then four digits a zone).
bool Camera::privacySet(const Bytes& c) {
    CameraState& s = state_;
    if (c.size() == 13) {
        if (c[3] > 23 || c[4] > 1 || !nibbles(c, 5, 13)) return false;
        auto& m = s.masks[c[3]];
        m.x = (c[5] << 4) | c[6];
        m.y = (c[7] << 4) | c[8];
        m.width = (c[9] << 4) | c[10];
        m.height = (c[11] << 4) | c[12];
        return true;
    }
    if (c.size() != 12 || c[3] > 2 || !nibbles(c, 4, 12)) return false;
    for (int z = 0; z < 2; ++z) {
        for (int i = 0; i < 4; ++i) s.zones[2 * c[3] + z][i] = c[4 + 4 * z + i];
    }
    return true;
}

bool Camera::menuCommand(const Bytes& c) {
    state_.menuOn = (c.size() > 3 ? c[3] : 0) != 0x03;
    return true;
}

// The setting memory (01 7F 7F op a1 a2 a3 d1 d2, op 02 write, 03 set), the
// information display (01 7E 01 18) and the D-sub sync (01 7E 01 1A).
bool Camera::settingCommand(const Bytes& c) {
    CameraState& s = state_;
    const std::uint8_t cat = c[1];
    const std::uint8_t cmd = c[2];
    const std::size_t n = c.size();
    if (cat == 0x7F && cmd == 0x7F && n == 9 && (c[3] == 0x02 || c[3] == 0x03)) {
        if (c[4] > 0xF || c[5] > 0xF || c[6] > 0xF || c[7] > 0xF || c[8] > 0xF) return false;
        s.memory[(c[4] << 8) | (c[5] << 4) | c[6]] = (c[7] << 4) | c[8];
        return true;
    }
    if (cat == 0x7E && n == 5 && cmd == 0x01 && c[3] == 0x18 && isOnOff(c[4])) {
        s.infoDisplay = c[4] == 0x02;
        return true;
    }
    // D-sub sync: 00 3-state, 01 VD.
    if (cat == 0x7E && n == 6 && cmd == 0x01 && c[3] == 0x1A && c[4] == 0x00 && c[5] <= 0x01) {
        s.dsubSync = c[5];
        return true;
    }
    return false;
}

}  // namespace orbus::sim
