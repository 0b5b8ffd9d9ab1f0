// The simulated camera's pan-tilt head: drives, moves, home and reset, its
// travel per model and its motion in time; and the service memory.
#include "camera.h"

#include <cmath>

#include "camera_bytes.h"

namespace orbus::sim {

using namespace detail;

bool Camera::panTiltCommand(const Bytes& c) {
    CameraState& s = state_;
    const std::uint8_t cmd = c[2];
    const std::uint8_t p = c.size() > 3 ? c[3] : 0;
    const std::size_t n = c.size();
    if (model_->series != Series::PanTilt) return false;
    if (cmd == 0x01) return drive(c);
    if (cmd == 0x02 || cmd == 0x03) return headMove(c);
    // Debug mode in (5C) and out (12).
    if (cmd == 0x22 && n == 4 && (p == 0x5C || p == 0x12)) {
        s.debugMode = p == 0x5C;
        return true;
    }
    if (cmd == 0x04 || cmd == 0x05) {
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

Camera::HeadLimits Camera::headLimits() const {
    switch (model_->panTilt) {
    case PanTiltModel::Alpha: return {-0x0370, 0x0370, -0x012C, 0x012C};
    case PanTiltModel::Kappa: return {-0x0DB0, 0x0DB0, -0x0190, 0x0510};
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

std::optional<int> Camera::serviceMemory(int bank, int cell) const {
    if (model_->series != Series::PanTilt || !state_.debugMode) return std::nullopt;
    // Date of manufacture and camera-block remodeling number of each model.
    struct Made {
        int year, monthDay, remodeling;
    };
    Made made{2004, 0x0101, 0};
    switch (model_->panTilt) {
    case PanTiltModel::Gamma: made = {2005, 0x030E, 0}; break;
    case PanTiltModel::Beta: made = {2006, 0x0C07, 3}; break;
    case PanTiltModel::Kappa: made = {2009, 0x061E, 0}; break;
    default: break;
    }
    if (bank == 0x03 && cell == 0x00) return made.year;
    if (bank == 0x03 && cell == 0x01) return made.monthDay;
    if (bank == 0x02 && cell == 0x03) return made.remodeling;
    return std::nullopt;
}

}  // namespace orbus::sim
