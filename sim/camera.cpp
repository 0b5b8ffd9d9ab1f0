#include "camera.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

#include "timing.h"

namespace orbus::sim {

namespace {

std::vector<CameraModel> buildModels() {
    std::vector<CameraModel> m = {
        {"ORX-Alpha", Series::PanTilt, 0x04, 0x02, 2, false},
        {"ORX-Gamma", Series::PanTilt, 0x04, 0x0D, 13, false},
        {"ORX-Beta", Series::PanTilt, 0x04, 0x0E, 14, false},
        {"ORX-Kappa", Series::PanTilt, 0x05, 0x04, 260, false},
    };
    // Block cameras KBM-R01..R27, model byte 0x11..0x2B. PAL rows of the
    // block model table: R03, R05, R07, R09, R11, R13, R15, R19, R21, R23, R25, R27.
    const std::vector<int> pal = {3, 5, 7, 9, 11, 13, 15, 19, 21, 23, 25, 27};
    for (int n = 1; n <= 27; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "KBM-R%02d", n);
        bool isPal = std::find(pal.begin(), pal.end(), n) != pal.end();
        m.push_back({name, Series::Block, 0x04, static_cast<std::uint8_t>(0x10 + n), 0, isPal});
    }
    return m;
}

int clampi(int v, int lo, int hi) { return std::max(lo, std::min(hi, v)); }

int signed16(int v) { return (v & 0xFFFF) >= 0x8000 ? (v & 0xFFFF) - 0x10000 : (v & 0xFFFF); }

// Value of four nibble bytes starting at body[i].
int nib4(const Bytes& b, std::size_t i) {
    if (i + 3 >= b.size()) return 0;
    return ((b[i] & 0xF) << 12) | ((b[i + 1] & 0xF) << 8) | ((b[i + 2] & 0xF) << 4) | (b[i + 3] & 0xF);
}

void putNib4(Bytes& out, int v) {
    out.push_back(static_cast<std::uint8_t>((v >> 12) & 0xF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xF));
    out.push_back(static_cast<std::uint8_t>((v >> 4) & 0xF));
    out.push_back(static_cast<std::uint8_t>(v & 0xF));
}

// Step command: 02 up, 03 down, 00 reset.
void step(int& value, std::uint8_t how, int lo, int hi, int resetTo) {
    if (how == 0x02) value = clampi(value + 1, lo, hi);
    else if (how == 0x03) value = clampi(value - 1, lo, hi);
    else if (how == 0x00) value = resetTo;
}

bool isOnOff(std::uint8_t p) { return p == 0x02 || p == 0x03; }

// Bytes from..to-1 all carry one nibble.
bool nibbles(const Bytes& b, std::size_t from, std::size_t to) {
    if (to > b.size()) return false;
    for (std::size_t i = from; i < to; ++i) {
        if (b[i] > 0x0F) return false;
    }
    return true;
}

// 24 zone switches from four bytes of six bits, highest zones first.
int zoneBits(const Bytes& b, std::size_t at) {
    return ((b[at] & 0x3F) << 18) | ((b[at + 1] & 0x3F) << 12) | ((b[at + 2] & 0x3F) << 6) | (b[at + 3] & 0x3F);
}

}  // namespace

const std::vector<CameraModel>& cameraModels() {
    static const std::vector<CameraModel> models = buildModels();
    return models;
}

const CameraModel* findCameraModel(std::string_view name) {
    for (const auto& m : cameraModels()) {
        if (m.name.size() == name.size() &&
            std::equal(m.name.begin(), m.name.end(), name.begin(),
                       [](char a, char b) { return std::toupper(a) == std::toupper(b); }))
            return &m;
    }
    return nullptr;
}

Camera::Camera(const CameraModel& model) : model_(&model) {
    if (model.series == Series::Block) {
        state_.videoSys = model.pal ? 1 : 0;
        // Block cameras carry firmware of their own line.
        state_.romHi = 2;
        state_.romLo = 0x10;
    }
    if (model.panTiltCode == 260) state_.shutter = 7;
}

Bytes Camera::reply(std::initializer_list<int> body) const {
    Bytes b{replyHeader()};
    for (int v : body) b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(0xFF);
    return b;
}

bool Camera::answers(const Bytes& q) const {
    const int code = model_->panTiltCode;
    const bool block = model_->series == Series::Block;
    auto is = [&](std::initializer_list<int> body) {
        return q.size() == body.size() && std::equal(body.begin(), body.end(), q.begin());
    };
    if (is({0x09, 0x00, 0x02}) || is({0x09, 0x04, 0x00})) return true;
    if (is({0x09, 0x7E, 0x7E, 0x00}) || is({0x09, 0x7E, 0x7E, 0x01}) || is({0x09, 0x7E, 0x7E, 0x02}))
        return block || code != 2;
    if (is({0x09, 0x7E, 0x7E, 0x03})) return code == 14 || code == 260;
    if (is({0x09, 0x06, 0x06}) || is({0x09, 0x7E, 0x01, 0x18}) || is({0x09, 0x7E, 0x01, 0x1A}) ||
        is({0x09, 0x06, 0x23}) || is({0x09, 0x06, 0x34}))
        return code == 260;
    if (is({0x09, 0x06, 0x12}) || is({0x09, 0x06, 0x10}) || is({0x09, 0x06, 0x11})) return !block;
    if (is({0x09, 0x04, 0x6B}) || is({0x09, 0x04, 0x6C}) || is({0x09, 0x04, 0x6D}))
        return code == 14 || (block && model_->model2 >= 0x20);
    if (is({0x09, 0x04, 0x40}) || is({0x09, 0x04, 0x41})) return block || code == 13 || code == 14;
    // Setting memory cell read: 09 7F 7F 01 a1 a2 a3.
    if (q.size() == 7 && q[0] == 0x09 && q[1] == 0x7F && q[2] == 0x7F && q[3] == 0x01) return true;
    return false;
}

Bytes Camera::lensBlock() const {
    const CameraState& s = state_;
    Bytes b{replyHeader(), 0x50};
    putNib4(b, s.zoom);
    b.push_back(static_cast<std::uint8_t>((s.focusNearLimit >> 12) & 0xF));
    b.push_back(static_cast<std::uint8_t>((s.focusNearLimit >> 8) & 0xF));
    putNib4(b, s.focus);
    b.push_back(0x00);
    b.push_back(static_cast<std::uint8_t>((s.focusAuto ? 0x01 : 0) | (s.dzoomOn ? 0x02 : 0) |
                                          (s.afSensOn ? 0x04 : 0) | ((s.afMode & 3) << 3) |
                                          (s.dzoomSeparate ? 0x20 : 0)));
    b.push_back(static_cast<std::uint8_t>((s.zoomMoving ? 0x01 : 0) | (s.focusMoving ? 0x02 : 0)));
    b.push_back(0xFF);
    return b;
}

Bytes Camera::cameraBlock() const {
    const CameraState& s = state_;
    Bytes b{replyHeader(), 0x50};
    b.push_back(static_cast<std::uint8_t>((s.rGain >> 4) & 0xF));
    b.push_back(static_cast<std::uint8_t>(s.rGain & 0xF));
    b.push_back(static_cast<std::uint8_t>((s.bGain >> 4) & 0xF));
    b.push_back(static_cast<std::uint8_t>(s.bGain & 0xF));
    b.push_back(static_cast<std::uint8_t>(s.wbMode & 0x7));
    b.push_back(static_cast<std::uint8_t>(s.aperture & 0xF));
    b.push_back(static_cast<std::uint8_t>(s.aeMode));
    b.push_back(static_cast<std::uint8_t>((s.slowShutter ? 0x01 : 0) | (s.expCompOn ? 0x02 : 0) |
                                          (s.backLight ? 0x04 : 0)));
    b.push_back(static_cast<std::uint8_t>(s.shutter));
    b.push_back(static_cast<std::uint8_t>(s.iris));
    b.push_back(static_cast<std::uint8_t>(s.gain));
    b.push_back(static_cast<std::uint8_t>(s.bright));
    b.push_back(static_cast<std::uint8_t>(s.expComp));
    b.push_back(0xFF);
    return b;
}

Bytes Camera::otherBlock() const {
    const CameraState& s = state_;
    Bytes b{replyHeader(), 0x50};
    b.push_back(static_cast<std::uint8_t>((s.power ? 0x01 : 0) | (s.keyLock ? 0x02 : 0) | (s.autoIcr ? 0x04 : 0)));
    b.push_back(static_cast<std::uint8_t>((s.lrReverse ? 0x04 : 0) | (s.freeze ? 0x08 : 0)));
    b.push_back(static_cast<std::uint8_t>((s.dataScreen ? 0x04 : 0) | (s.titleDisplay ? 0x08 : 0)));
    b.push_back(static_cast<std::uint8_t>(s.pictureEffect));
    b.push_back(static_cast<std::uint8_t>(s.digitalEffect));
    b.push_back(static_cast<std::uint8_t>(s.effectLevel));
    putNib4(b, s.cameraId);
    b.push_back(static_cast<std::uint8_t>(s.videoSys & 1));
    b.push_back(0x00);
    b.push_back(0x00);
    b.push_back(0xFF);
    return b;
}

Bytes Camera::expandBlock() const {
    const CameraState& s = state_;
    Bytes b{replyHeader(), 0x50};
    b.push_back(static_cast<std::uint8_t>((s.dzoomPos >> 4) & 0xF));
    b.push_back(static_cast<std::uint8_t>(s.dzoomPos & 0xF));
    for (int i = 4; i <= 9; ++i) b.push_back(0x00);
    b.push_back(static_cast<std::uint8_t>((s.ceilingMount ? 0x01 : 0) | (s.alarmActive ? 0x02 : 0)));
    b.push_back(static_cast<std::uint8_t>(s.motionDetectAvailable ? 0x02 : 0));
    b.push_back(0x00);
    b.push_back(static_cast<std::uint8_t>(s.slowShutterLimit));
    b.push_back(static_cast<std::uint8_t>(s.dzoomLimit));
    b.push_back(0xFF);
    return b;
}

std::optional<Bytes> Camera::inquiry(const Bytes& q) const {
    if (!answers(q)) return std::nullopt;
    const CameraState& s = state_;
    auto is = [&](std::initializer_list<int> body) {
        return q.size() == body.size() && std::equal(body.begin(), body.end(), q.begin());
    };
    if (is({0x09, 0x00, 0x02})) {
        Bytes b{replyHeader(), 0x50, 0x00,
                static_cast<std::uint8_t>(model_->series == Series::PanTilt ? 0x01 : 0x20),
                model_->model1, model_->model2, s.romHi, s.romLo, 0x02, 0xFF};
        return b;
    }
    if (is({0x09, 0x04, 0x00})) return reply({0x50, s.power ? 0x02 : 0x03});
    if (is({0x09, 0x7E, 0x7E, 0x00})) return lensBlock();
    if (is({0x09, 0x7E, 0x7E, 0x01})) return cameraBlock();
    if (is({0x09, 0x7E, 0x7E, 0x02})) return otherBlock();
    if (is({0x09, 0x7E, 0x7E, 0x03})) return expandBlock();
    if (is({0x09, 0x06, 0x06})) return reply({0x50, s.menuOn ? 0x02 : 0x03});
    if (is({0x09, 0x7E, 0x01, 0x18})) return reply({0x50, s.infoDisplay ? 0x02 : 0x03});
    if (is({0x09, 0x7E, 0x01, 0x1A})) return reply({0x50, s.dsubSync});
    if (is({0x09, 0x06, 0x23})) return reply({0x50, s.videoSystem});
    if (is({0x09, 0x06, 0x34})) return reply({0x50, s.irCondition});
    if (is({0x09, 0x06, 0x12})) {
        Bytes b{replyHeader(), 0x50};
        putNib4(b, s.panPos);
        putNib4(b, s.tiltPos);
        b.push_back(0xFF);
        return b;
    }
    if (is({0x09, 0x06, 0x10})) {
        // The status word shows the head moving: bit 2 pan, bit 3 tilt.
        const int word = s.ptStatus | (panRate_ != 0 ? 0x0004 : 0) | (tiltRate_ != 0 ? 0x0008 : 0);
        return reply({0x50, (word >> 8) & 0xFF, word & 0xFF});
    }
    if (is({0x09, 0x06, 0x11})) return reply({0x50, s.maxPanSpeed, s.maxTiltSpeed});
    if (is({0x09, 0x04, 0x6B})) return reply({0x50, s.alarmActive ? 0x02 : 0x03});
    if (is({0x09, 0x04, 0x6C})) return reply({0x50, s.alarmMode});
    if (is({0x09, 0x04, 0x6D})) {
        Bytes b{replyHeader(), 0x50};
        for (int level : {s.dayLevel, s.nightLevel, s.nowLevel}) {
            b.push_back(static_cast<std::uint8_t>((level >> 8) & 0xF));
            b.push_back(static_cast<std::uint8_t>((level >> 4) & 0xF));
            b.push_back(static_cast<std::uint8_t>(level & 0xF));
        }
        b.push_back(0xFF);
        return b;
    }
    if (q.size() == 7 && q[1] == 0x7F && q[3] == 0x01) {
        const int cell = memoryCell(q[4], q[5], q[6]);
        return reply({0x50, (cell >> 4) & 0xF, cell & 0xF});
    }
    if (is({0x09, 0x04, 0x40}) || is({0x09, 0x04, 0x41})) {
        Bytes b{replyHeader(), 0x50};
        putNib4(b, q[2] == 0x40 ? s.autoPowerOff : s.nightPowerOff);
        b.push_back(0xFF);
        return b;
    }
    return std::nullopt;
}

// Applies a command body (after the header, without FF); false when the
// camera does not know it.
bool Camera::command(const Bytes& c) {
    CameraState& s = state_;
    if (c.size() < 3 || c[0] != 0x01) return false;
    const std::uint8_t cat = c[1];
    const std::uint8_t cmd = c[2];
    const std::uint8_t p = c.size() > 3 ? c[3] : 0;
    const std::size_t n = c.size();
    if (cat == 0x04) {
        switch (cmd) {
        case 0x00:
            if (!isOnOff(p)) return false;
            s.power = p == 0x02;
            // A line speed written to the setting memory takes effect at power on.
            if (s.power && s.memory.count(kSpeedCell)) s.speedCode = s.memory[kSpeedCell];
            return true;
        case 0x39:
            // Spot light meters like full auto and reports full auto.
            s.spotLight = p == 0x10;
            s.aeMode = s.spotLight ? 0x00 : p;
            return true;
        case 0x0B: step(s.iris, p, 0, 17, 10); return true;
        case 0x0C: step(s.gain, p, 0, 15, 1); return true;
        case 0x0A: step(s.shutter, p, 0, 21, 6); return true;
        case 0x0D: step(s.bright, p, 0, 31, 12); return true;
        case 0x0E: step(s.expComp, p, 0, 14, 7); return true;
        case 0x02: step(s.aperture, p, 0, 15, 5); return true;
        case 0x03: step(s.rGain, p, 0, 255, 128); return true;
        case 0x04: step(s.bGain, p, 0, 255, 128); return true;
        case 0x05:
            if (p == 0x40) s.vPhase = 0;
            else if (p != 0x00) step(s.vPhase, p, 0, 255, 0);
            return true;
        case 0x4B: if (n < 7) return false; s.iris = clampi(nib4(c, 3), 0, 17); return true;
        case 0x4C: if (n < 7) return false; s.gain = clampi(nib4(c, 3), 0, 15); return true;
        case 0x4A: if (n < 7) return false; s.shutter = clampi(nib4(c, 3), 0, 21); return true;
        case 0x4D: if (n < 7) return false; s.bright = clampi(nib4(c, 3), 0, 31); return true;
        case 0x4E: if (n < 7) return false; s.expComp = clampi(nib4(c, 3), 0, 14); return true;
        case 0x42: if (n < 7) return false; s.aperture = clampi(nib4(c, 3), 0, 15); return true;
        case 0x43: if (n < 7) return false; s.rGain = clampi(nib4(c, 3), 0, 255); return true;
        case 0x44: if (n < 7) return false; s.bGain = clampi(nib4(c, 3), 0, 255); return true;
        case 0x45: if (n < 7) return false; s.vPhase = clampi(nib4(c, 3), 0, 255); return true;
        case 0x3E: s.expCompOn = p == 0x02; return true;
        case 0x33: s.backLight = p == 0x02; return true;
        case 0x5A: s.slowShutter = p == 0x02; return true;
        case 0x2A: s.slowShutterLimit = clampi(p, 0, 2); return true;
        case 0x07:
            if (p == 0x00) s.zoomMoving = false;
            else if ((p & 0xF0) == 0x20 || p == 0x02) s.zoom = clampi(s.zoom + 0x800, 0, 0x7E80);
            else if ((p & 0xF0) == 0x30 || p == 0x03) s.zoom = clampi(s.zoom - 0x800, 0, 0x7E80);
            return true;
        case 0x47:
            if (n < 7) return false;
            zoomRate_ = 0;
            s.zoomMoving = false;
            s.zoom = clampi(nib4(c, 3), 0, 0x8BE0);
            return true;
        case 0x06:
            if (p == 0x02 || p == 0x03) s.dzoomOn = p == 0x02;
            else if (p == 0x10) s.dzoomPos = s.dzoomPos == 0 ? 0xEB : 0;
            else if ((p & 0xF0) == 0x20) s.dzoomPos = clampi(s.dzoomPos + 16, 0, 0xEB);
            else if ((p & 0xF0) == 0x30) s.dzoomPos = clampi(s.dzoomPos - 16, 0, 0xEB);
            return true;
        case 0x46: if (n < 7) return false; s.dzoomPos = clampi(nib4(c, 3), 0, 0xEB); return true;
        case 0x36: s.dzoomSeparate = p == 0x01; return true;
        case 0x26: s.dzoomLimit = clampi(p, 0, 3); return true;
        case 0x08:
            if ((p & 0xF0) == 0x20 || p == 0x02) s.focus = clampi(s.focus + 0x400, 0x1000, 0xC000);
            else if ((p & 0xF0) == 0x30 || p == 0x03) s.focus = clampi(s.focus - 0x400, 0x1000, 0xC000);
            return true;
        case 0x48:
            if (n < 7) return false;
            focusRate_ = 0;
            s.focusMoving = false;
            s.focus = clampi(nib4(c, 3), 0x1000, 0xC000);
            return true;
        case 0x28: if (n < 7) return false; s.focusNearLimit = clampi(nib4(c, 3), 0x1000, 0xC000); return true;
        case 0x38: s.focusAuto = p == 0x02; return true;
        case 0x57: s.afMode = clampi(p, 0, 2); return true;
        case 0x18: if (p == 0x02) s.focus = 0x1000; return true;
        case 0x58: s.afSensOn = p == 0x02; return true;
        case 0x27:
            if (n < 7) return false;
            s.afActiveTime = ((c[3] & 0xF) << 4) | (c[4] & 0xF);
            s.afIntervalTime = ((c[5] & 0xF) << 4) | (c[6] & 0xF);
            return true;
        case 0x19: s.zoom = 0; s.focus = 0x1000; return true;
        case 0x35: s.wbMode = clampi(p, 0, 5); return true;
        case 0x10: return p == 0x05;
        case 0x63: s.pictureEffect = p; return true;
        case 0x64: s.digitalEffect = p; return true;
        case 0x01: s.icrOn = p == 0x02; return true;
        case 0x51: s.autoIcr = p == 0x02; return true;
        case 0x34: s.stabilizer = p == 0x02; return true;
        case 0x60: return true;
        case 0x25: s.vPhase180 = p == 0x01; return true;
        case 0x3F: {
            if (n < 5) return false;
            auto& slot = s.presets[c[4] & 0x7F];
            if (p == 0x01) slot = {true, s.zoom, s.focus, s.panPos, s.tiltPos, s.aeMode, s.wbMode};
            else if (p == 0x00) slot = {};
            else if (p == 0x02 && slot.set) {
                panRate_ = tiltRate_ = zoomRate_ = focusRate_ = 0;
                panTarget_.reset();
                tiltTarget_.reset();
                s.zoomMoving = s.focusMoving = false;
                s.zoom = slot.zoom;
                s.focus = slot.focus;
                s.panPos = slot.pan;
                s.tiltPos = slot.tilt;
                s.aeMode = slot.aeMode;
                s.wbMode = slot.wbMode;
            }
            return true;
        }
        case 0x17: s.keyLock = p == 0x02; return true;
        case 0x59: if (!isOnOff(p)) return false; s.spotMetering = p == 0x02; return true;
        case 0x29:
            if (n != 7 || !nibbles(c, 3, 7)) return false;
            s.spotX = c[4];
            s.spotY = c[6];
            return true;
        case 0x65: s.effectLevel = p; return true;
        case 0x74:
            if (p == 0x00) {
                s.title.fill(0x1B);
                return true;
            }
            if (!isOnOff(p)) return false;
            s.titleDisplay = p == 0x02;
            return true;
        case 0x73: {
            if (n != 15 || p > 2) return false;
            if (p == 0x00) {
                s.titleVPos = c[4];
                s.titleHPos = c[5];
                s.titleColour = c[6];
                s.titleBlink = c[7];
                return true;
            }
            for (std::size_t i = 0; i < 10; ++i) {
                if (c[4 + i] > 0x4F) return false;
            }
            for (std::size_t i = 0; i < 10; ++i) s.title[(p - 1) * 10 + i] = c[4 + i];
            return true;
        }
        case 0x7C: if (!isOnOff(p)) return false; s.privacyGrid = p == 0x02; return true;
        case 0x77: return privacySwitch(c);
        case 0x78: {
            if (n != 9 || !nibbles(c, 3, 7)) return false;
            s.maskColour2 = zoneBits(c, 3);
            s.colour1 = c[7];
            s.colour2 = c[8];
            return true;
        }
        case 0x76: return privacySet(c);
        case 0x79:
            if (n != 9 || !nibbles(c, 3, 9)) return false;
            s.maskPan = (c[3] << 8) | (c[4] << 4) | c[5];
            s.maskTilt = (c[6] << 8) | (c[7] << 4) | c[8];
            return true;
        case 0x7A: return n == 8 && nibbles(c, 3, 7);
        case 0x7B: {
            if (n != 14 || c[3] > 23 || !nibbles(c, 4, 14)) return false;
            auto& m = s.masks[c[3]];
            m.pan = (c[4] << 8) | (c[5] << 4) | c[6];
            m.tilt = (c[7] << 8) | (c[8] << 4) | c[9];
            m.zoom = nib4(c, 10);
            return true;
        }
        case 0x75: s.mute = p == 0x02; return true;
        case 0x62: s.freeze = p == 0x02; return true;
        case 0x61: s.lrReverse = p == 0x02; return true;
        case 0x66: s.pictureFlip = p == 0x02; return true;
        case 0x15: s.dataScreen = p == 0x02; return true;
        case 0x71: s.dateDisplay = p == 0x02; return true;
        case 0x72: s.timeDisplay = p == 0x02; return true;
        case 0x55: s.syncMode = p; return true;
        case 0x22: if (n < 7) return false; s.cameraId = nib4(c, 3); return true;
        case 0x40: if (n < 7) return false; s.autoPowerOff = nib4(c, 3); return true;
        case 0x41: if (n < 7) return false; s.nightPowerOff = nib4(c, 3); return true;
        case 0x70:
            if (n != 13) return false;
            for (std::size_t i = 3; i < 13; ++i) {
                if (c[i] > 9) return false;
            }
            s.clock = {c[3] * 10 + c[4], c[5] * 10 + c[6], c[7] * 10 + c[8], c[9] * 10 + c[10], c[11] * 10 + c[12]};
            return true;
        case 0x6B: if (!isOnOff(p)) return false; s.alarmActive = p == 0x02; return true;
        case 0x6C: if (p > 0x0C) return false; s.alarmMode = p; return true;
        case 0x6D:
            if (n != 9 || !nibbles(c, 3, 9)) return false;
            s.dayLevel = (c[3] << 8) | (c[4] << 4) | c[5];
            s.nightLevel = (c[6] << 8) | (c[7] << 4) | c[8];
            return true;
        default: return false;
        }
    }
    if (cat == 0x06) {
        if (cmd == 0x06) {
            s.menuOn = p != 0x03;
            return true;
        }
        if (cmd == 0x01 && model_->series == Series::PanTilt) return drive(c);
        if ((cmd == 0x02 || cmd == 0x03) && model_->series == Series::PanTilt) return headMove(c);
        // Debug mode in (5C) and out (12).
        if (cmd == 0x22 && n == 4 && (p == 0x5C || p == 0x12) && model_->series == Series::PanTilt) {
            s.debugMode = p == 0x5C;
            return true;
        }
        if ((cmd == 0x04 || cmd == 0x05) && model_->series == Series::PanTilt) {
            // Home, and reset (the head recalibrates and comes back home).
            panRate_ = tiltRate_ = 0;
            panTarget_.reset();
            tiltTarget_.reset();
            s.panPos = 0;
            s.tiltPos = 0;
            return true;
        }
        return false;
    }
    // Setting memory: 01 7F 7F op a1 a2 a3 d1 d2, op 02 write, 03 set.
    if (cat == 0x7F && cmd == 0x7F && n == 9 && (c[3] == 0x02 || c[3] == 0x03)) {
        if (c[4] > 0xF || c[5] > 0xF || c[6] > 0xF || c[7] > 0xF || c[8] > 0xF) return false;
        s.memory[(c[4] << 8) | (c[5] << 4) | c[6]] = (c[7] << 4) | c[8];
        return true;
    }
    if (cat == 0x7E && n == 5 && cmd == 0x01 && c[3] == 0x18 && isOnOff(c[4])) {
        s.infoDisplay = c[4] == 0x02;
        return true;
    }
    if (cat == 0x7E && n >= 6 && cmd == 0x01 && c[3] == 0x1A) {
        s.dsubSync = c[5];
        return true;
    }
    return false;
}

std::optional<int> Camera::serviceMemory(int bank, int cell) const {
    if (model_->series != Series::PanTilt || !state_.debugMode) return std::nullopt;
    const int code = model_->panTiltCode;
    // Date of manufacture and camera-block remodeling number of each model.
    const int year = code == 13 ? 2005 : code == 14 ? 2006 : code == 260 ? 2009 : 2004;
    const int monthDay = code == 13 ? 0x030E : code == 14 ? 0x0C07 : code == 260 ? 0x061E : 0x0101;
    if (bank == 0x03 && cell == 0x00) return year;
    if (bank == 0x03 && cell == 0x01) return monthDay;
    if (bank == 0x02 && cell == 0x03) return code == 14 ? 3 : 0;
    return std::nullopt;
}

int Camera::memoryCell(int a1, int a2, int a3) const {
    auto it = state_.memory.find(((a1 & 0xF) << 8) | ((a2 & 0xF) << 4) | (a3 & 0xF));
    return it == state_.memory.end() ? 0 : it->second;
}

int Camera::lineBaud() const {
    switch (state_.speedCode) {
    case 1: return 19200;
    case 2: return 38400;
    default: return 9600;
    }
}

Camera::HeadLimits Camera::headLimits() const {
    switch (model_->panTiltCode) {
    case 2: return {-0x0370, 0x0370, -0x012C, 0x012C};
    case 260: return {-0x0DB0, 0x0DB0, -0x0190, 0x0510};
    default: return {-0x0880, 0x0880, -0x0190, 0x04B0};
    }
}

void Camera::advanceHead(double t) {
    if (t < 0) return;
    CameraState& s = state_;
    if (headTime_ < 0 || (panRate_ == 0 && tiltRate_ == 0)) {
        // Standing still: take the position as it is (a test may have set it).
        panExact_ = signed16(s.panPos);
        tiltExact_ = signed16(s.tiltPos);
        headTime_ = t;
        return;
    }
    const double dt = t - headTime_;
    if (dt <= 0) return;
    headTime_ = t;
    const HeadLimits lim = headLimits();
    // An axis stops at its target (a move) or at the end of its travel.
    auto move = [dt](double& pos, double& rate, std::optional<double>& target, double lo, double hi) {
        if (rate == 0) return;
        if (target) (rate > 0 ? hi : lo) = *target;
        pos += rate * dt;
        if ((rate < 0 && pos <= lo) || (rate > 0 && pos >= hi)) {
            rate = 0;
            target.reset();
        }
        pos = std::clamp<double>(pos, lo, hi);
    };
    move(panExact_, panRate_, panTarget_, lim.panMin, lim.panMax);
    move(tiltExact_, tiltRate_, tiltTarget_, lim.tiltMin, lim.tiltMax);
    s.panPos = static_cast<int>(panExact_) & 0xFFFF;
    s.tiltPos = static_cast<int>(tiltExact_) & 0xFFFF;
}

double Camera::headRemaining() const {
    const HeadLimits lim = headLimits();
    double longest = 0;
    auto axis = [&longest](double pos, double rate, const std::optional<double>& target, int lo, int hi) {
        if (rate == 0) return;
        const double end = target ? *target : (rate > 0 ? hi : lo);
        longest = std::max(longest, std::abs(end - pos) / std::abs(rate));
    };
    axis(panExact_, panRate_, panTarget_, lim.panMin, lim.panMax);
    axis(tiltExact_, tiltRate_, tiltTarget_, lim.tiltMin, lim.tiltMax);
    return longest;
}

// Lens drives move zoom and focus on to time t; an axis stops at the end of
// its travel.
void Camera::advanceLens(double t) {
    if (t < 0) return;
    CameraState& s = state_;
    const double dt = lensTime_ < 0 ? 0 : std::max(0.0, t - lensTime_);
    lensTime_ = t;
    auto move = [dt](int& value, double& exact, double& rate, bool& moving, double lo, double hi) {
        if (rate == 0) {
            exact = value;  // standing: take the position as it is
            return;
        }
        exact += rate * dt;
        if ((rate < 0 && exact <= lo) || (rate > 0 && exact >= hi)) {
            exact = rate < 0 ? lo : hi;
            rate = 0;
            moving = false;
        }
        value = static_cast<int>(exact);
    };
    move(s.zoom, zoomExact_, zoomRate_, s.zoomMoving, 0, kZoomRange);
    move(s.focus, focusExact_, focusRate_, s.focusMoving, kFocusMin, kFocusMax);
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

// Pan-tilt drive 01 06 01 PS TS pd td: pan left 01, right 02, halt 03; tilt
// up 01, down 02, halt 03. A moving axis needs a speed of at least 1; one
// above the axis's maximum runs at the maximum.
bool Camera::drive(const Bytes& c) {
    if (c.size() != 7) return false;
    const int pd = c[5], td = c[6];
    if (pd < 1 || pd > 3 || td < 1 || td > 3) return false;
    if ((pd != 3 && c[3] < 1) || (td != 3 && c[4] < 1)) return false;
    const CameraState& s = state_;
    const int ps = std::min<int>(c[3], s.maxPanSpeed), ts = std::min<int>(c[4], s.maxTiltSpeed);
    panRate_ = pd == 3 ? 0 : (pd == 1 ? -1 : 1) * ps * kUnitsPerSpeedStep / scale();
    tiltRate_ = td == 3 ? 0 : (td == 1 ? 1 : -1) * ts * kUnitsPerSpeedStep / scale();
    panTarget_.reset();
    tiltTarget_.reset();
    return true;
}

// Pan-tilt move 01 06 02 (absolute) or 03 (relative) VV WW, then pan and
// tilt as four nibbles each (two's complement). Timed, the head travels
// there at the speeds given; otherwise it is there at once.
bool Camera::headMove(const Bytes& c) {
    if (c.size() != 13 || c[3] < 1 || c[4] < 1 || !nibbles(c, 5, 13)) return false;
    CameraState& s = state_;
    const HeadLimits lim = headLimits();
    int pan = signed16(nib4(c, 5)), tilt = signed16(nib4(c, 9));
    if (c[2] == 0x03) {
        pan += signed16(s.panPos);
        tilt += signed16(s.tiltPos);
    }
    pan = clampi(pan, lim.panMin, lim.panMax);
    tilt = clampi(tilt, lim.tiltMin, lim.tiltMax);
    panTarget_.reset();
    tiltTarget_.reset();
    if (!timing.on || headTime_ < 0) {
        panRate_ = tiltRate_ = 0;
        s.panPos = pan & 0xFFFF;
        s.tiltPos = tilt & 0xFFFF;
        return true;
    }
    const double ps = std::min<int>(c[3], s.maxPanSpeed) * kUnitsPerSpeedStep / scale();
    const double ts = std::min<int>(c[4], s.maxTiltSpeed) * kUnitsPerSpeedStep / scale();
    panRate_ = pan > panExact_ ? ps : pan < panExact_ ? -ps : 0;
    tiltRate_ = tilt > tiltExact_ ? ts : tilt < tiltExact_ ? -ts : 0;
    if (panRate_ != 0) panTarget_ = pan;
    if (tiltRate_ != 0) tiltTarget_ = tilt;
    return true;
}

// Timed lens drives 01 04 07 (zoom) and 08 (focus): 2p or 02 one way, 3p or
// 03 the other, 00 stop. Anything else is left to the plain command.
bool Camera::lensDrive(const Bytes& c) {
    if (c.size() != 4 || c[0] != 0x01 || c[1] != 0x04 || (c[2] != 0x07 && c[2] != 0x08)) return false;
    CameraState& s = state_;
    const bool zoom = c[2] == 0x07;
    const std::uint8_t p = c[3];
    double& rate = zoom ? zoomRate_ : focusRate_;
    bool& moving = zoom ? s.zoomMoving : s.focusMoving;
    int dir = 0, speed = kStandardDriveSpeed;
    if (p == 0x02 || p == 0x03) dir = p == 0x02 ? 1 : -1;
    else if ((p & 0xF0) == 0x20 || (p & 0xF0) == 0x30) {
        dir = (p & 0xF0) == 0x20 ? 1 : -1;
        speed = std::min(p & 0x0F, 7);
    } else if (p != 0x00) {
        return false;
    }
    rate = 0;
    moving = false;
    if (dir == 0) return true;  // the stop
    const LensTimes lens = lensTimes(*model_);
    const double value = zoom ? s.zoom : s.focus;
    const double end = zoom ? (dir > 0 ? kZoomRange : 0) : (dir > 0 ? kFocusMax : kFocusMin);
    if ((end - value) * dir <= 0) return true;  // already at that end
    (zoom ? zoomExact_ : focusExact_) = value;
    rate = dir / scale() *
           (zoom ? lensDriveRate(kZoomRange, lens.zoom, speed) : lensDriveRate(kFocusMax - kFocusMin, lens.focus, speed));
    moving = true;
    return true;
}

double Camera::executionTime(const Bytes& c) const {
    const CameraState& s = state_;
    const LensTimes lens = lensTimes(*model_);
    const std::size_t n = c.size();
    auto zoomTime = [&](int target) { return std::abs(target - s.zoom) * lens.zoom / kZoomRange; };
    auto focusTime = [&](int target) { return std::abs(target - s.focus) * lens.focus / (kFocusMax - kFocusMin); };
    double run = kOtherCommandTime;
    if (n >= 4 && c[0] == 0x01 && c[1] == 0x04) {
        const std::uint8_t cmd = c[2], p = c[3];
        if (cmd == 0x47 && n >= 7) run = zoomTime(clampi(nib4(c, 3), 0, 0x8BE0));
        else if (cmd == 0x48 && n >= 7) run = focusTime(clampi(nib4(c, 3), kFocusMin, kFocusMax));
        else if (cmd == 0x46 && n >= 7)
            run = std::abs(clampi(nib4(c, 3), 0, kDZoomRange) - s.dzoomPos) * kDZoomFullTime / kDZoomRange;
        else if (cmd == 0x10 && p == 0x05) run = kOnePushWhiteBalanceTime;
        else if (cmd == 0x18 && p == 0x01) run = kOnePushFocusTime;
        else if (cmd == 0x3F && p == 0x02 && n >= 5 && s.presets[c[4] & 0x7F].set) {
            const auto& slot = s.presets[c[4] & 0x7F];
            run = std::max(zoomTime(slot.zoom), focusTime(slot.focus));
            if (model_->series == Series::PanTilt) {
                run = std::max(run, std::abs(signed16(slot.pan) - signed16(s.panPos)) /
                                        (s.maxPanSpeed * kUnitsPerSpeedStep));
                run = std::max(run, std::abs(signed16(slot.tilt) - signed16(s.tiltPos)) /
                                        (s.maxTiltSpeed * kUnitsPerSpeedStep));
            }
        }
    }
    return run * scale();
}

namespace {

// The axis whose held drive a command ends: drives, stops and positions of
// that axis; a preset recall ends all of them (None here, handled apart).
bool endsHold(const Bytes& c, int axis) {
    if (c.size() < 3 || c[0] != 0x01) return false;
    if (c[1] == 0x04 && c[2] == 0x3F && c.size() >= 4 && c[3] == 0x02) return true;
    switch (axis) {
    case 1: return c[1] == 0x04 && (c[2] == 0x07 || c[2] == 0x47);
    case 2: return c[1] == 0x04 && (c[2] == 0x08 || c[2] == 0x48);
    case 3: return c[1] == 0x06 && c[2] >= 0x01 && c[2] <= 0x05;
    default: return false;
    }
}

}  // namespace

void Camera::endHold(Axis axis, double at, std::vector<TimedReply>& out) {
    for (int z = 0; z < kSockets; ++z) {
        Socket& k = sockets_[static_cast<std::size_t>(z)];
        if (k.held != axis) continue;
        out.push_back({reply({0x51 + z}), at});
        k = {at, Axis::None, 0};
    }
}

std::vector<Camera::TimedReply> Camera::release(double t) {
    std::vector<TimedReply> out;
    for (;;) {
        int next = -1;
        for (int z = 0; z < kSockets; ++z) {
            const Socket& k = sockets_[static_cast<std::size_t>(z)];
            if (k.held != Axis::None && k.heldEnd <= t &&
                (next < 0 || k.heldEnd < sockets_[static_cast<std::size_t>(next)].heldEnd))
                next = z;
        }
        if (next < 0) return out;
        Socket& k = sockets_[static_cast<std::size_t>(next)];
        out.push_back({reply({0x51 + next}), k.heldEnd});
        k = {k.heldEnd, Axis::None, 0};
    }
}

double Camera::nextRelease() const {
    double next = -1;
    for (const Socket& k : sockets_) {
        if (k.held != Axis::None && (next < 0 || k.heldEnd < next)) next = k.heldEnd;
    }
    return next;
}

int Camera::socketsBusy(double t) const {
    int busy = 0;
    for (const Socket& k : sockets_) busy += k.held != Axis::None || k.freeAt > t ? 1 : 0;
    return busy;
}

std::vector<Camera::TimedReply> Camera::handleTimed(const Bytes& packet, double t) {
    std::vector<TimedReply> out;
    const std::size_t n = packet.size();
    // Commands take a socket; the interface clear and the service memory
    // read do not, nor does anything else.
    const bool socketCommand = timing.on && t >= 0 && n >= 5 && packet[1] == 0x01 &&
                               !(n == 5 && packet[2] == 0x00 && packet[3] == 0x01) &&
                               !(n == 7 && packet[2] == 0x06 && packet[3] == 0x1A);
    if (!socketCommand) {
        if (timing.on) advanceLens(t);
        for (Bytes& r : handle(packet, t)) out.push_back({std::move(r), -1});
        return out;
    }
    advanceHead(t);
    advanceLens(t);
    const Bytes body(packet.begin() + 1, packet.end() - 1);
    const double ackAt = t + timing.ackDelay;
    const bool powerCmd = body[1] == 0x04 && body[2] == 0x00;
    if (!state_.power && !powerCmd) return {{reply({0x61, 0x41}), ackAt}};
    int z = 0;
    while (z < kSockets && (sockets_[static_cast<std::size_t>(z)].held != Axis::None ||
                            sockets_[static_cast<std::size_t>(z)].freeAt > t))
        ++z;
    if (z == kSockets) return {{reply({0x60, 0x03}), ackAt}};  // buffer full: the command is lost
    const double run = executionTime(body);
    if (!lensDrive(body) && !command(body)) return {{reply({0x60, 0x02}), ackAt}};
    out.push_back({reply({0x41 + z}), ackAt});
    // A drive this command stops or takes over completes now.
    for (Axis a : {Axis::Zoom, Axis::Focus, Axis::Head}) {
        if (endsHold(body, static_cast<int>(a))) endHold(a, ackAt, out);
    }
    Socket& k = sockets_[static_cast<std::size_t>(z)];
    const bool zoomAxis = body[1] == 0x04 && body[2] == 0x07;
    const bool focusAxis = body[1] == 0x04 && body[2] == 0x08;
    const bool headAxis = body[1] == 0x06 && body[2] >= 0x01 && body[2] <= 0x03;
    const double floor = timing.ackDelay + kMinAfterAck;
    if (zoomAxis && zoomRate_ != 0) {
        const double left = zoomRate_ > 0 ? kZoomRange - zoomExact_ : zoomExact_;
        k = {std::numeric_limits<double>::infinity(), Axis::Zoom, t + std::max(floor, left / std::abs(zoomRate_))};
    } else if (focusAxis && focusRate_ != 0) {
        const double left = focusRate_ > 0 ? kFocusMax - focusExact_ : focusExact_ - kFocusMin;
        k = {std::numeric_limits<double>::infinity(), Axis::Focus, t + std::max(floor, left / std::abs(focusRate_))};
    } else if (headAxis && (panRate_ != 0 || tiltRate_ != 0)) {
        k = {std::numeric_limits<double>::infinity(), Axis::Head, t + std::max(floor, headRemaining())};
    } else {
        const double done = t + std::max(floor, run);
        out.push_back({reply({0x51 + z}), done});
        k = {done, Axis::None, 0};
    }
    return out;
}

std::vector<Bytes> Camera::handle(const Bytes& packet, double t) {
    advanceHead(t);
    // packet: header .. FF
    if (packet.size() < 3) return {reply({0x60, 0x02})};
    Bytes body(packet.begin() + 1, packet.end() - 1);
    // The service setting mode.
    if (body == Bytes{0x5E, 0x21, 0x3A, 0x6D}) return {reply({0x41}), reply({0x51})};
    if (body == Bytes{0x01, 0x00, 0x01}) {
        interfaceClear();
        return {reply({0x50})};
    }
    if (!body.empty() && body[0] == 0x09) {
        if (auto a = inquiry(body)) return {*a};
        return {reply({0x60, 0x02})};
    }
    // Service memory of the pan-tilt models: acknowledged, then answered.
    if (body.size() == 5 && body[0] == 0x01 && body[1] == 0x06 && body[2] == 0x1A) {
        const auto value = serviceMemory(body[3], body[4]);
        if (!value) return {reply({0x60, 0x02})};
        Bytes answer{replyHeader(), 0x50};
        putNib4(answer, *value);
        answer.push_back(0xFF);
        return {reply({0x41}), answer};
    }
    if (!body.empty() && body[0] == 0x01) {
        const bool powerCmd = body.size() >= 3 && body[1] == 0x04 && body[2] == 0x00;
        if (!state_.power && !powerCmd) return {reply({0x60, 0x41})};
        if (!command(body)) return {reply({0x60, 0x02})};
        return {reply({0x41}), reply({0x51})};
    }
    return {reply({0x60, 0x02})};
}

}  // namespace orbus::sim
