// From a stick's raw position to a speed step: the radial dead zone, the
// response curve and the steps a camera's speeds come in.
#pragma once

namespace orbus::gamepad {

struct Stick {
    double x = 0, y = 0;
};

// Inside the dead zone (a circle of radius `deadZone` round the centre) the
// stick is centred; outside it, the deflection past the circle is spread
// over 0 to 1 along the same direction. A circle, not a square per axis: a
// stick that rests a little off centre in any direction moves nothing, and
// a diagonal is not cut short.
Stick radialDeadZone(Stick raw, double deadZone);
// The same on one axis alone (a trigger), sign kept.
double axisDeadZone(double value, double deadZone);
// The response curve: |v| raised to `exponent`, sign kept, so that small
// deflections give fine speeds and full deflection the camera's top speed.
double curved(double v, double exponent);

// A stick through its dead zone and the response curve: the curve bends
// the deflection's length, and the result is spread to the square so that
// a full diagonal drives both axes at full speed.
Stick shaped(Stick raw, double deadZone, double exponent);

// The speed step of a shaped deflection `v` (0 to 1) on a scale of `steps`
// steps: 0 halts, `steps` is full speed. A deflection lying within a sliver
// of the boundary next to the step in use keeps that step, so a stick
// resting on a boundary does not flood the line with alternating drives
// (between step 1 and halt too; the dead zone always halts).
int speedStep(double v, int steps, int current);
// How close to a boundary the step in use is kept, in steps.
constexpr double kStepHysteresis = 0.15;

}  // namespace orbus::gamepad
