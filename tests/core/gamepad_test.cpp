// The stick drive from plain events: the mapping and its store, the dead
// zone and the curve, drives sent only on a change of way or speed step,
// zoom and focus, the memory buttons, and the dead-man stop reaching the
// camera that moved whatever ended the drive.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "gamepad/mapping.h"
#include "gamepad/shaping.h"
#include "gamepad/stick_drive.h"
#include "platform/testing/fakes.h"
#include "platform/testing/virtual_loop.h"

using namespace orbus;
using namespace orbus::gamepad;

namespace {

std::string hex(const Bytes& b) {
    std::string s;
    for (std::uint8_t v : b) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X", v);
        if (!s.empty()) s += ' ';
        s += buf;
    }
    return s;
}

// The command interface, recorded; it refuses what `refuse` says.
struct RecordingSink : link::CommandSink {
    struct Sent {
        std::string packet;
        link::CommandPacer::Kind kind;
        link::Pacing pacing;
        link::Source source;
    };
    std::vector<Sent> sent;
    std::function<bool(const link::Command&)> refuse = [](const link::Command&) { return false; };

    link::SendOutcome send(const link::Command& c) override {
        if (refuse(c)) return link::SendOutcome::NotWritten;
        sent.push_back({hex(c.packet), c.kind, c.pacing, c.source});
        return link::SendOutcome::Sent;
    }
    link::Async<Bytes> exchange(link::Command, int, bool) override { co_return Bytes{}; }
    link::Async<link::CommandEnd> sendToEnd(link::Command) override { co_return link::CommandEnd{}; }
};

constexpr const char* kPanTiltStop = "81 01 06 01 18 18 03 03 FF";
constexpr const char* kZoomStop = "81 01 04 07 00 FF";
constexpr const char* kFocusStop = "81 01 04 08 00 FF";

struct Stick : ::testing::Test {
    orbus::testing::VirtualLoop loop;
    RecordingSink sink;
    int camera = 1;
    bool line = true;
    CameraTraits traits;
    std::vector<int> chosen;
    std::vector<std::string> told;
    StickDrive drive{sink,
                     {[this] { return camera; }, [this](int) { return traits; }, [this] { return line; },
                      [this](double s, std::function<void()> fn) { loop.post(s, std::move(fn)); },
                      [this](int step) { chosen.push_back(step); },
                      [this](const std::string& t) { told.push_back(t); }}};

    void SetUp() override { plug(7); }
    void plug(int id) {
        drive.deviceAdded(id, "Test Pad");
        drive.tick();
    }
    void move(Axis a, double v) {
        drive.axis(7, a, v);
        drive.tick();
    }
    void left(double x, double y) {
        drive.axis(7, Axis::LeftX, x);
        drive.axis(7, Axis::LeftY, y);
        drive.tick();
    }
    void press(Button b, bool down = true) { drive.button(7, b, down); }
    // The packets sent since the last call.
    std::vector<std::string> taken() {
        std::vector<std::string> out;
        for (const auto& s : sink.sent) out.push_back(s.packet);
        sink.sent.clear();
        return out;
    }
};

using Packets = std::vector<std::string>;

TEST(GamepadShaping, DeadZoneCurveAndSteps) {
    struct Zone {
        double x, y;
        bool centred;
    } zones[] = {
        {0.10, 0.0, true},  {0.0, -0.10, true}, {0.10, 0.10, true},  // 14 % on the diagonal: inside the circle
        {0.11, 0.11, false}, {0.2, 0.0, false}, {-1.0, 0.0, false},  {0.0, 0.15, true},
    };
    for (const Zone& z : zones) {
        const gamepad::Stick s = radialDeadZone({z.x, z.y}, 0.15);
        EXPECT_EQ(s.x == 0 && s.y == 0, z.centred) << z.x << "," << z.y;
    }
    // Past the circle the deflection spreads over 0 to 1, direction kept;
    // a square stick's corner is full deflection, not more.
    const gamepad::Stick corner = radialDeadZone({1.0, -1.0}, 0.15);
    EXPECT_NEAR(std::hypot(corner.x, corner.y), 1.0, 1e-9);
    EXPECT_NEAR(corner.x, -corner.y, 1e-9);
    EXPECT_NEAR(radialDeadZone({0.575, 0}, 0.15).x, 0.5, 1e-9);
    // The curve bends the length; a full diagonal is full speed on both axes.
    EXPECT_NEAR(shaped({0.575, 0}, 0.15, 2.0).x, 0.25, 1e-9);
    const gamepad::Stick diagonal = shaped({1.0, 1.0}, 0.15, 2.0);
    EXPECT_NEAR(diagonal.x, 1.0, 1e-9);
    EXPECT_NEAR(diagonal.y, 1.0, 1e-9);
    EXPECT_DOUBLE_EQ(axisDeadZone(-0.575, 0.15), -0.5);
    EXPECT_DOUBLE_EQ(axisDeadZone(0.1, 0.15), 0.0);
    // Out-of-range and garbled values are held to the stick's range.
    EXPECT_EQ(radialDeadZone({std::nan(""), 0.5}, 0.15).x, 0.0);
    EXPECT_DOUBLE_EQ(curved(-0.5, 2.0), -0.25);
    EXPECT_DOUBLE_EQ(curved(2.0, 2.0), 1.0);

    struct Step {
        double v;
        int steps, current, expected;
    } steps[] = {
        {1.0, 24, 0, 24}, {0.5, 24, 0, 12}, {0.0, 24, 5, 0}, {0.01, 24, 0, 0},
        // Near the boundary the step in use holds; past the sliver it changes.
        {12.55 / 24, 24, 12, 12}, {12.55 / 24, 24, 13, 13}, {12.7 / 24, 24, 12, 13},
        {0.6 / 24, 24, 0, 0}, {0.6 / 24, 24, 1, 1}, {0.3 / 24, 24, 1, 0},
    };
    for (const Step& s : steps) EXPECT_EQ(speedStep(s.v, s.steps, s.current), s.expected) << s.v * 24;
}

TEST(GamepadMapping, DefaultsSaveAndLoad) {
    orbus::testing::MemorySettings store;
    const Mapping defaults;
    EXPECT_EQ(Mapping::load(store, "ORBUS Panel"), defaults);
    EXPECT_EQ(defaults.memory, (std::array<Button, 4>{Button::A, Button::B, Button::X, Button::Y}));
    EXPECT_EQ(defaults.deadZone, 0.15);

    Mapping edited;
    edited.pan = {Axis::RightX, true};
    edited.zoom = {Axis::LeftY, false};
    edited.memory[2] = Button::DpadLeft;
    edited.stopAll = Button::Guide;
    edited.triggersZoom = false;
    edited.deadZone = 0.25;
    edited.curve = 1.5;
    edited.save(store, "ORBUS Panel");
    EXPECT_EQ(store.values.at("ORBUS Panel/Gamepad/Pan"), "right stick X");
    EXPECT_EQ(Mapping::load(store, "ORBUS Panel"), edited);

    // What cannot be read keeps its default; numbers out of range are held to it.
    store.values["ORBUS Panel/Gamepad/Pan"] = "wheel";
    store.values["ORBUS Panel/Gamepad/DeadZone"] = "0.9";
    store.values["ORBUS Panel/Gamepad/Curve"] = "steep";
    const Mapping damaged = Mapping::load(store, "ORBUS Panel");
    EXPECT_EQ(damaged.pan.axis, Axis::LeftX);
    EXPECT_EQ(damaged.deadZone, Mapping::kMaxDeadZone);
    EXPECT_EQ(damaged.curve, 2.0);
    EXPECT_EQ(damaged.memory[2], Button::DpadLeft);
}

// A stick resting off centre inside its dead zone sends nothing at all,
// whatever the curve (a straight one gives speed to the least deflection).
TEST_F(Stick, RestingInTheDeadZoneSendsNothing) {
    traits.manualFocus = true;
    for (const double curve : {1.0, 2.0}) {
        Mapping m;
        m.curve = curve;
        drive.setMapping(m);
        const double rests[][2] = {{0.10, 0}, {-0.10, 0}, {0, 0.10}, {0, -0.10}, {0.07, -0.07}, {0.14, 0}};
        for (const auto& r : rests) left(r[0], r[1]);
        for (const auto& r : rests) {
            move(Axis::RightX, r[0]);
            move(Axis::RightY, r[1]);
        }
        move(Axis::RightTrigger, 0.1);
        move(Axis::LeftTrigger, 0.14);
        EXPECT_EQ(taken(), Packets{}) << curve;
        EXPECT_FALSE(drive.moving());
    }
    // Just past it, the straight curve moves the head at its slowest.
    Mapping straight;
    straight.curve = 1.0;
    drive.setMapping(straight);
    left(0.2, 0);
    EXPECT_EQ(taken(), Packets{"81 01 06 01 01 01 02 03 FF"});
}

// One drive per change of way or speed step, never the same one twice in a
// row, and the stop when the stick comes back.
TEST_F(Stick, DrivesOnlyWhenWayOrStepChanges) {
    struct Move {
        double x, y;
        const char* sent;  // nullptr: nothing
    } moves[] = {
        {1.0, 0, "81 01 06 01 18 01 02 03 FF"},    // full right: the head's top pan speed
        {0.999, 0, nullptr},                       // the same step
        {1.0, 0.001, nullptr},
        {0.5, 0, "81 01 06 01 04 01 02 03 FF"},    // the curve: half deflection, a fine speed
        {0.505, 0, nullptr},
        {-0.5, 0, "81 01 06 01 04 01 01 03 FF"},   // the other way
        {-0.5, -0.5, "81 01 06 01 0A 0A 01 01 FF"}, // up-left on the diagonal
        {0, -1.0, "81 01 06 01 01 17 03 01 FF"},   // straight up at the top tilt speed
        {0, 1.0, "81 01 06 01 01 17 03 02 FF"},
        {0, 0.1, kPanTiltStop},                    // back in the dead zone
        {0, 0, nullptr},
        {0.05, 0.05, nullptr},
    };
    for (const Move& m : moves) {
        left(m.x, m.y);
        EXPECT_EQ(taken(), m.sent ? Packets{m.sent} : Packets{}) << m.x << "," << m.y;
    }
    // Drives and stops go out at once as the gamepad's; the stop as a stop.
    left(1, 0);
    left(0, 0);
    ASSERT_EQ(sink.sent.size(), 2u);
    for (const auto& s : sink.sent) {
        EXPECT_EQ(s.source, link::Source::Gamepad);
        EXPECT_EQ(s.pacing, link::Pacing::Direct);
    }
    EXPECT_EQ(sink.sent[1].kind, link::CommandPacer::Kind::Stop);
}

TEST_F(Stick, FullDeflectionReachesTheCamerasMaxima) {
    struct Head {
        int panMax, tiltMax;
        const char* full;
    } heads[] = {{0x18, 0x17, "81 01 06 01 18 17 02 01 FF"}, {0x0E, 0x0C, "81 01 06 01 0E 0C 02 01 FF"}};
    for (const Head& h : heads) {
        traits.panMax = h.panMax;
        traits.tiltMax = h.tiltMax;
        left(1, -1);
        EXPECT_EQ(taken(), Packets{h.full});
        left(0, 0);
        taken();
    }
    // A block camera has no head: the left stick moves nothing.
    traits.panTiltHead = false;
    left(1, 0);
    EXPECT_EQ(taken(), Packets{});
}

TEST_F(Stick, ZoomAndFocus) {
    struct Case {
        Axis axis;
        double v;
        bool manualFocus, fixedFocus;
        Packets sent;
    } cases[] = {
        {Axis::RightY, -1.0, false, false, {"81 01 04 07 27 FF"}},   // pushed away: tele, top speed
        {Axis::RightY, 0.6, false, false, {"81 01 04 07 31 FF"}},    // wide, a slow speed
        {Axis::RightTrigger, 1.0, false, false, {"81 01 04 07 27 FF"}},
        {Axis::LeftTrigger, 1.0, false, false, {"81 01 04 07 37 FF"}},
        {Axis::RightX, 1.0, true, false, {"81 01 04 08 27 FF"}},     // far, in manual focus
        {Axis::RightX, -1.0, true, false, {"81 01 04 08 37 FF"}},
        {Axis::RightX, 1.0, false, false, {}},                       // auto focus: the axis rests
        {Axis::RightX, 0.7, true, true, {"81 01 04 08 02 FF"}},      // one focus speed
    };
    for (const Case& c : cases) {
        traits.manualFocus = c.manualFocus;
        traits.fixedFocusSpeed = c.fixedFocus;
        move(c.axis, c.v);
        EXPECT_EQ(taken(), c.sent) << axisName(c.axis) << " " << c.v;
        move(c.axis, 0);
        const Motion motion = c.axis == Axis::RightX ? Motion::Focus : Motion::Zoom;
        EXPECT_EQ(taken(), c.sent.empty() ? Packets{} : Packets{motion == Motion::Zoom ? kZoomStop : kFocusStop});
    }
    // Focus ends when the camera goes back to auto focus under a held stick.
    traits.manualFocus = true;
    move(Axis::RightX, 1.0);
    taken();
    traits.manualFocus = false;
    drive.tick();
    EXPECT_EQ(taken(), Packets{kFocusStop});
}

// Whatever ends a drive, the camera that moved gets the stop, and a stick
// still deflected drives nothing until it has been centred.
TEST_F(Stick, DeadManStopReachesTheCameraThatMoved) {
    struct End {
        const char* what;
        std::function<void(Stick&)> act;
        Packets stops;  // right after the end
    } ends[] = {
        {"camera changed", [](Stick& t) { t.camera = 2; t.drive.cameraChanged(); }, {kPanTiltStop}},
        {"camera changed, seen at the tick", [](Stick& t) { t.camera = 3; t.drive.tick(); }, {kPanTiltStop}},
        {"shoulder button", [](Stick& t) { t.press(Button::RightShoulder); t.camera = 2; t.drive.tick(); },
         {kPanTiltStop}},
        // Plugged in again with the stick still held.
        {"unplugged",
         [](Stick& t) {
             t.drive.deviceRemoved(7);
             t.drive.deviceAdded(7, "Test Pad");
             t.drive.axis(7, Axis::LeftX, 1);
             t.drive.tick();
         },
         {kPanTiltStop}},
        {"start", [](Stick& t) { t.press(Button::Start); t.press(Button::Start, false); },
         {kPanTiltStop, kZoomStop}},
        {"line lost", [](Stick& t) { t.line = false; t.drive.tick(); }, {}},
        {"panel closed", [](Stick& t) { t.drive.close(); }, {kPanTiltStop}},
    };
    for (const End& e : ends) {
        SCOPED_TRACE(e.what);
        camera = 1;
        line = true;
        left(0, 0);
        left(1, 0);
        ASSERT_EQ(taken(), Packets{"81 01 06 01 18 01 02 03 FF"});
        e.act(*this);
        EXPECT_EQ(taken(), e.stops);
        if (std::string(e.what) == "line lost") {
            // Owed while the line is gone, sent once it is back.
            loop.runFor(1);
            EXPECT_EQ(taken(), Packets{});
            line = true;
            loop.runFor(StickDrive::kRetry * 2);
            EXPECT_EQ(taken(), Packets{kPanTiltStop});
        }
        EXPECT_TRUE(drive.owedStops().empty());
        EXPECT_FALSE(drive.moving());
        // Still deflected: nothing more, until the stick has been centred.
        left(1, 0.01);
        drive.tick();
        EXPECT_EQ(taken(), Packets{});
        if (std::string(e.what) == "panel closed") break;
        left(0, 0);
        left(1, 0);
        EXPECT_EQ(taken(), Packets{"8" + std::to_string(camera) + " 01 06 01 18 01 02 03 FF"});
        left(0, 0);
        taken();
    }
}

// A drive holds one of the camera's two sockets until it ends; with two
// running, the camera would refuse every stop. A second motion waits for
// the first to end, and goes out as soon as it has.
TEST_F(Stick, OneDriveAtATimePerCamera) {
    traits.manualFocus = true;
    left(1, 0);
    move(Axis::RightY, -1);
    move(Axis::RightX, 1);
    EXPECT_EQ(taken(), Packets{"81 01 06 01 18 01 02 03 FF"});
    EXPECT_EQ(std::vector<std::string>(told.end() - 2, told.end()),
              (std::vector<std::string>{"Zoom waits: the camera takes one drive at a time",
                                        "Focus waits: the camera takes one drive at a time"}));
    left(0, 0);
    EXPECT_EQ(taken(), (Packets{kPanTiltStop, "81 01 04 07 27 FF"}));
    move(Axis::RightY, 0);
    EXPECT_EQ(taken(), (Packets{kZoomStop, "81 01 04 08 27 FF"}));
}

TEST_F(Stick, RefusedStopIsTriedAgainUntilTaken) {
    left(1, 0);
    taken();
    int refusals = 3;
    sink.refuse = [&](const link::Command& c) { return c.kind == link::CommandPacer::Kind::Stop && refusals-- > 0; };
    left(0, 0);
    camera = 2;  // the stop stays owed to camera 1
    EXPECT_EQ(drive.owedStops().size(), 1u);
    loop.runFor(StickDrive::kRetry * 2.5);
    EXPECT_EQ(taken(), Packets{});
    loop.runFor(StickDrive::kRetry * 2);
    EXPECT_EQ(taken(), Packets{kPanTiltStop});
    EXPECT_TRUE(drive.owedStops().empty());
    // Other controllers wait, in the order they came, until the one
    // driving is gone.
    drive.deviceAdded(9, "Second");
    drive.deviceAdded(11, "Third");
    for (const int id : {9, 11}) {
        drive.axis(id, Axis::LeftX, 1);
        drive.tick();
    }
    EXPECT_EQ(taken(), Packets{});
    drive.deviceRemoved(7);
    EXPECT_EQ(drive.controller().name, "Second");
    for (const int id : {11, 9}) {
        drive.axis(id, Axis::LeftX, 0);
        drive.tick();
        drive.axis(id, Axis::LeftX, id == 9 ? 1 : -1);
        drive.tick();
    }
    EXPECT_EQ(taken(), Packets{"82 01 06 01 18 01 02 03 FF"});
}

TEST_F(Stick, MemoryButtonsRecallAndStore) {
    struct Press {
        Button button;
        bool modifier;
        double hold;  // seconds held
        Packets sent;
        const char* told;
    } presses[] = {
        {Button::A, false, 0.1, {"81 01 04 3F 02 00 FF"}, "Memory 1 recalled on camera 1"},
        {Button::Y, false, 3.0, {"81 01 04 3F 02 03 FF"}, "Memory 4 recalled on camera 1"},
        {Button::B, true, 2.1, {"81 01 04 3F 01 01 FF"}, "Memory 2 stored on camera 1"},
        {Button::X, true, 1.5, {}, "Memory 3 not stored: let go before 2 s"},
    };
    for (const Press& p : presses) {
        told.clear();
        if (p.modifier) press(Button::Back);
        press(p.button);
        loop.runFor(p.hold);
        press(p.button, false);
        if (p.modifier) press(Button::Back, false);
        loop.runFor(3);
        EXPECT_EQ(taken(), p.sent) << buttonName(p.button);
        ASSERT_FALSE(told.empty());
        EXPECT_EQ(told.back(), p.told);
    }
    press(Button::LeftShoulder);
    press(Button::LeftShoulder, false);
    press(Button::RightShoulder);
    EXPECT_EQ(chosen, (std::vector<int>{-1, 1}));
}

}  // namespace
