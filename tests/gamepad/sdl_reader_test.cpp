// SDL's virtual joystick, read by the controller reader, drives the panel
// on a simulated chain: what reaches the wire when the stick moves, rests,
// is let go or unplugged, when another camera is chosen, the port is lost
// or the panel closes.
#include <gtest/gtest.h>

#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

#include "app/frm_gamepad.h"
#include "app/testing/rig.h"
#include "gamepad/sdl/sdl_reader.h"
#include "gamepad/stick_drive.h"

using namespace orbus;
using orbus::testing::Rig;
using Packets = std::vector<std::string>;

namespace {

constexpr const char* kStop1 = "81 01 06 01 18 18 03 03 FF";

struct VirtualPad : ::testing::Test {
    Rig rig{{"ORX-Kappa", "ORX-Beta"}};
    std::unique_ptr<gamepad::SdlReader> reader;
    int device = -1;
    SDL_Joystick* joystick = nullptr;

    void SetUp() override {
        ASSERT_TRUE(rig.startUp());
        rig.main().refresh().switchOff();
        ASSERT_TRUE(rig.settle());
        reader = std::make_unique<gamepad::SdlReader>(rig.program->gamepad());
        ASSERT_TRUE(reader->ready()) << reader->error();
        plug();
    }
    void TearDown() override {
        if (joystick) unplug();
        reader.reset();
    }
    void plug() {
        device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                           SDL_CONTROLLER_BUTTON_MAX, 0);
        ASSERT_GE(device, 0) << SDL_GetError();
        joystick = SDL_JoystickOpen(device);
        ASSERT_NE(joystick, nullptr) << SDL_GetError();
        // A virtual trigger spans the whole axis: let go is its lowest end.
        SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
        SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
        poll();
        ASSERT_TRUE(rig.program->gamepad().controller().connected);
    }
    void unplug() {
        SDL_JoystickClose(joystick);
        joystick = nullptr;
        SDL_JoystickDetachVirtual(device);
        poll();
    }
    // One read of the controller, then the line's time to carry its packets.
    void poll() {
        reader->poll();
        rig.run(gamepad::SdlReader::kPollSeconds);
    }
    void stick(SDL_GameControllerAxis axis, double v) {
        const bool trigger = axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
        SDL_JoystickSetVirtualAxis(joystick, axis, static_cast<Sint16>(trigger ? -32768 + v * 65535 : v * 32767));
        poll();
    }
    void button(SDL_GameControllerButton b, bool down) {
        SDL_JoystickSetVirtualButton(joystick, b, down ? 1 : 0);
        poll();
    }
    // The commands to the cameras since the mark (no broadcast).
    Packets drives(std::size_t mark) const {
        Packets out;
        for (const std::string& p : rig.packetsSince(mark, "01 0")) {
            if (p.rfind("88", 0) != 0) out.push_back(p);
        }
        return out;
    }
};

TEST_F(VirtualPad, TheStickDrivesRestsAndStops) {
    EXPECT_EQ(rig.program->gamepad().controller().name.empty(), false);
    struct Move {
        SDL_GameControllerAxis axis;
        double v;
        Packets sent;
    } moves[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, 0.10, {}},  // resting at 10 %: nothing
        {SDL_CONTROLLER_AXIS_LEFTY, -0.10, {}},
        {SDL_CONTROLLER_AXIS_LEFTY, 0, {}},
        {SDL_CONTROLLER_AXIS_LEFTX, 1.0, {"81 01 06 01 18 01 02 03 FF"}},
        {SDL_CONTROLLER_AXIS_LEFTX, 0.995, {}},  // the same step: nothing more
        {SDL_CONTROLLER_AXIS_LEFTX, -1.0, {"81 01 06 01 18 01 01 03 FF"}},
        {SDL_CONTROLLER_AXIS_LEFTX, 0.05, {kStop1}},
        {SDL_CONTROLLER_AXIS_RIGHTY, -1.0, {"81 01 04 07 27 FF"}},
        {SDL_CONTROLLER_AXIS_RIGHTY, 0, {"81 01 04 07 00 FF"}},
        {SDL_CONTROLLER_AXIS_TRIGGERLEFT, 1.0, {"81 01 04 07 37 FF"}},
        {SDL_CONTROLLER_AXIS_TRIGGERLEFT, 0, {"81 01 04 07 00 FF"}},
    };
    for (const Move& m : moves) {
        const auto mark = rig.mark();
        stick(m.axis, m.v);
        EXPECT_EQ(drives(mark), m.sent) << m.axis << " " << m.v;
    }
    // The traffic record names the gamepad as their source.
    bool named = false;
    for (std::size_t i = rig.program->traffic.size(); i-- > 0;) {
        const TrafficRow& row = rig.program->traffic.at(i);
        if (row.direction != TrafficDirection::Sent) continue;
        named = trafficSource(row) == "gamepad";
        break;
    }
    EXPECT_TRUE(named);
    // The dialog shows the controller and its stick live.
    FrmGamepad& d = rig.program->frmGamepad();
    d.open();
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, 16000);
    poll();
    d.Timer1_Timer();
    EXPECT_NE(d.LblDevice.caption().find("Connected: "), std::string::npos);
    EXPECT_EQ(d.LblStick[0].caption().substr(0, 8), "L +0.49 ");
    button(SDL_CONTROLLER_BUTTON_A, true);
    d.Timer1_Timer();
    EXPECT_EQ(d.LblButtons.caption(), "Held: A");
    button(SDL_CONTROLLER_BUTTON_A, false);
    // B held two seconds with the modifier stores memory 2, told in the status line.
    auto mark = rig.mark();
    button(SDL_CONTROLLER_BUTTON_BACK, true);
    button(SDL_CONTROLLER_BUTTON_B, true);
    rig.run(gamepad::StickDrive::kStoreHold + 0.1);
    EXPECT_EQ(drives(mark), Packets{"81 01 04 3F 01 01 FF"});
    EXPECT_NE(rig.main().StatusCamera.caption().find("Memory 2 stored on camera 1"), std::string::npos)
        << rig.main().StatusCamera.caption();
}

// Whatever ends a drive mid-way, the camera that moved gets its stop.
TEST_F(VirtualPad, MidDriveEndsStopTheCameraThatMoved) {
    struct End {
        const char* what;
        std::function<void(VirtualPad&)> act;
        Packets after;
    } ends[] = {
        {"unplugged", [](VirtualPad& t) { t.unplug(); }, {kStop1}},
        {"next camera", [](VirtualPad& t) { t.button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true); }, {kStop1}},
        {"port lost",
         [](VirtualPad& t) {
             t.rig.port.unplug();
             t.rig.main().portGone();
             t.poll();
             t.rig.run(1);
             t.rig.port.plugBackIn();
             t.rig.main().IFClearB.click();
             t.rig.run(0.2);
         },
         {kStop1}},
        {"panel closed", [](VirtualPad& t) { t.rig.main().Form_Unload(); }, {kStop1}},
    };
    for (const End& e : ends) {
        SCOPED_TRACE(e.what);
        if (!joystick) plug();
        if (rig.program->cameras.driven() != 1) rig.main().CameraSel_Click(1);
        stick(SDL_CONTROLLER_AXIS_LEFTX, 0);
        button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, false);
        ASSERT_TRUE(rig.settle());
        auto mark = rig.mark();
        stick(SDL_CONTROLLER_AXIS_LEFTX, 1.0);
        ASSERT_EQ(drives(mark), Packets{"81 01 06 01 18 01 02 03 FF"});
        mark = rig.mark();
        e.act(*this);
        EXPECT_EQ(drives(mark), e.after);
        EXPECT_TRUE(rig.program->gamepad().owedStops().empty());
    }
}

// On cameras that take their time, with two sockets each: pan and zoom
// pushed together drive one at a time, so the stop at the unplug is taken
// at once, never refused as "buffer full".
TEST_F(VirtualPad, EveryStopIsTakenByATimedCamera) {
    rig.chain.timed = true;
    auto errors = [this](std::size_t from) {
        int n = 0;
        for (std::size_t i = from; i < rig.program->traffic.size(); ++i) n += rig.program->traffic.at(i).isError();
        return n;
    };
    const std::size_t rows = rig.program->traffic.size();
    auto mark = rig.mark();
    stick(SDL_CONTROLLER_AXIS_LEFTX, 1.0);
    stick(SDL_CONTROLLER_AXIS_RIGHTY, -1.0);
    rig.run(0.5);
    EXPECT_EQ(drives(mark), Packets{"81 01 06 01 18 01 02 03 FF"});
    mark = rig.mark();
    unplug();
    rig.run(0.5);
    EXPECT_EQ(drives(mark), Packets{kStop1});
    EXPECT_EQ(errors(rows), 0);
    EXPECT_EQ(rig.main().pacer().inFlight(1), 0);
}

}  // namespace
