#include "gamepad/shaping.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orbus::gamepad {

namespace {

double clampUnit(double v) { return std::isfinite(v) ? std::clamp(v, -1.0, 1.0) : 0.0; }

}  // namespace

Stick radialDeadZone(Stick raw, double deadZone) {
    raw.x = clampUnit(raw.x);
    raw.y = clampUnit(raw.y);
    const double m = std::hypot(raw.x, raw.y);
    if (m <= deadZone || deadZone >= 1.0) return {};
    // A corner of a square stick reaches past 1: full deflection there too.
    const double past = std::min(1.0, (m - deadZone) / (1.0 - deadZone));
    return {raw.x / m * past, raw.y / m * past};
}

double axisDeadZone(double value, double deadZone) {
    value = clampUnit(value);
    const double m = std::abs(value);
    if (m <= deadZone || deadZone >= 1.0) return 0.0;
    const double past = (m - deadZone) / (1.0 - deadZone);
    return value < 0 ? -past : past;
}

double curved(double v, double exponent) {
    v = clampUnit(v);
    const double m = std::pow(std::abs(v), exponent);
    return v < 0 ? -m : m;
}

Stick shaped(Stick raw, double deadZone, double exponent) {
    const Stick s = radialDeadZone(raw, deadZone);
    const double big = std::max(std::abs(s.x), std::abs(s.y));
    if (big == 0) return {};
    const double length = curved(std::hypot(s.x, s.y), exponent);
    return {s.x / big * length, s.y / big * length};
}

int speedStep(double v, int steps, int current) {
    if (steps <= 0) return 0;
    const double s = std::clamp(std::abs(clampUnit(v)), 0.0, 1.0) * steps;
    const int step = static_cast<int>(std::lround(s));
    if (current >= 0 && std::abs(step - current) == 1) {
        const double boundary = (step + current) / 2.0;
        if (std::abs(s - boundary) < kStepHysteresis) return current;
    }
    return step;
}

}  // namespace orbus::gamepad
