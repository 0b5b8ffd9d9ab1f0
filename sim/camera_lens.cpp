// The simulated camera's lens: zoom, focus and digital zoom commands, the
// memory presets, and the lens drives that run in time.
#include "camera.h"

#include "camera_bytes.h"
#include "timing.h"

namespace orbus::sim {

using namespace detail;

Camera::Outcome Camera::lensCommand(const Bytes& c) {
    CameraState& s = state_;
    const std::uint8_t p = c.size() > 3 ? c[3] : 0;
    const std::size_t n = c.size();
    switch (c[2]) {
    case 0x07:
        if (p == 0x00) s.zoomMoving = false;
        else if ((p & 0xF0) == 0x20 || p == 0x02) s.zoom = clampi(s.zoom + 0x800, 0, 0x7E80);
        else if ((p & 0xF0) == 0x30 || p == 0x03) s.zoom = clampi(s.zoom - 0x800, 0, 0x7E80);
        return Outcome::Applied;
    case 0x47:
        if (n < 7) return Outcome::Refused;
        zoomRate_ = 0;
        s.zoomMoving = false;
        s.zoom = clampi(nib4(c, 3), 0, 0x8BE0);
        return Outcome::Applied;
    case 0x06:
        if (p == 0x02 || p == 0x03) s.dzoomOn = p == 0x02;
        else if (p == 0x10) s.dzoomPos = s.dzoomPos == 0 ? 0xEB : 0;
        else if ((p & 0xF0) == 0x20) s.dzoomPos = clampi(s.dzoomPos + 16, 0, 0xEB);
        else if ((p & 0xF0) == 0x30) s.dzoomPos = clampi(s.dzoomPos - 16, 0, 0xEB);
        return Outcome::Applied;
    case 0x46: if (n < 7) return Outcome::Refused; s.dzoomPos = clampi(nib4(c, 3), 0, 0xEB); return Outcome::Applied;
    case 0x36: if (p > 1) return Outcome::Refused; s.dzoomSeparate = p == 0x01; return Outcome::Applied;
    case 0x26: if (p > 3) return Outcome::Refused; s.dzoomLimit = p; return Outcome::Applied;
    case 0x08:
        if ((p & 0xF0) == 0x20 || p == 0x02) s.focus = clampi(s.focus + 0x400, 0x1000, 0xC000);
        else if ((p & 0xF0) == 0x30 || p == 0x03) s.focus = clampi(s.focus - 0x400, 0x1000, 0xC000);
        return Outcome::Applied;
    case 0x48:
        if (n < 7) return Outcome::Refused;
        focusRate_ = 0;
        s.focusMoving = false;
        s.focus = clampi(nib4(c, 3), 0x1000, 0xC000);
        return Outcome::Applied;
    case 0x28:
        // The limit is kept to its upper byte, as the lens block reports it.
        if (n < 7) return Outcome::Refused;
        s.focusNearLimit = clampi(nib4(c, 3), 0x1000, 0xC000) & 0xFF00;
        return Outcome::Applied;
    case 0x38: if (!isOnOff(p)) return Outcome::Refused; s.focusAuto = p == 0x02; return Outcome::Applied;
    case 0x57: if (p > 2) return Outcome::Refused; s.afMode = p; return Outcome::Applied;
    case 0x18: if (p == 0x02) s.focus = 0x1000; return Outcome::Applied;
    case 0x58: if (!isOnOff(p)) return Outcome::Refused; s.afSensOn = p == 0x02; return Outcome::Applied;
    case 0x27:
        if (n < 7) return Outcome::Refused;
        s.afActiveTime = ((c[3] & 0xF) << 4) | (c[4] & 0xF);
        s.afIntervalTime = ((c[5] & 0xF) << 4) | (c[6] & 0xF);
        return Outcome::Applied;
    case 0x19: s.zoom = 0; s.focus = 0x1000; return Outcome::Applied;
    case 0x3F: {
        if (n < 5) return Outcome::Refused;
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
        return Outcome::Applied;
    }
    default: return Outcome::NotMine;
    }
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

}  // namespace orbus::sim
