// Driving the pan-tilt head: the nineteen buttons for camera 1 and 7, the
// speeds as the boxes hold them, hold-to-move from the keyboard with its
// stop, and the simulated head following.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "pantilt/frm_pantilt.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

struct PanTilt : ::testing::Test {
    Rig rig{{"ORX-Beta"}};
    FrmMain& m = rig.main();
    FrmPanTilt& pt = rig.program->frmPanTilt();
    void SetUp() override { ASSERT_TRUE(rig.startUp()); }
    std::vector<std::string> drives(std::size_t mark) const { return rig.packetsSince(mark, "01 06"); }
    static KeyEvent key(Key k, bool keypad = false, int digit = -1) {
        KeyEvent e;
        e.key = k;
        e.keypad = keypad;
        e.digit = digit;
        return e;
    }
    KeyEvent onButton(KeyEvent e) {
        e.focus = &pt.Pan_Tilt_Stop[0];
        return e;
    }
    // A key let go: the release counts once no press of it follows at once.
    bool let(const KeyEvent& e) {
        const bool used = pt.keyUp(e);
        rig.run(0.05);
        return used;
    }
};

const char* const kStop = "81 01 06 01 18 18 03 03 FF";

}  // namespace

TEST_F(PanTilt, EveryButtonSendsItsPacketToCameraOneAndSeven) {
    struct Case {
        bool direct;
        int index;
        const char* packet;
    };
    const Case cases[] = {
        {false, 0, "8x 01 06 01 18 18 03 03 FF"}, {false, 1, "8x 01 06 01 18 17 03 01 FF"},
        {false, 2, "8x 01 06 01 18 17 01 03 FF"}, {false, 3, "8x 01 06 01 18 17 02 03 FF"},
        {false, 4, "8x 01 06 01 18 17 03 02 FF"}, {false, 5, "8x 01 06 01 18 17 01 01 FF"},
        {false, 6, "8x 01 06 01 18 17 02 01 FF"}, {false, 7, "8x 01 06 01 18 17 01 02 FF"},
        {false, 8, "8x 01 06 01 18 17 02 02 FF"}, {true, 0, "8x 01 06 01 18 18 01 03 FF"},
        {true, 1, "8x 01 06 01 18 18 01 01 FF"},  {true, 2, "8x 01 06 01 18 18 01 02 FF"},
        {true, 3, "8x 01 06 01 18 18 02 03 FF"},  {true, 4, "8x 01 06 01 18 18 02 01 FF"},
        {true, 5, "8x 01 06 01 18 18 02 02 FF"},  {true, 6, "8x 01 06 01 18 18 03 01 FF"},
        {true, 7, "8x 01 06 01 18 18 03 02 FF"},  {true, 8, "8x 01 06 04 FF"},
        {true, 9, "8x 01 06 05 FF"},
    };
    for (int address : {1, 7}) {
        rig.linkControl().drive(address);
        for (const Case& c : cases) {
            std::string want = c.packet;
            want.replace(0, 2, "8" + std::to_string(address));
            const auto mark = rig.mark();
            (c.direct ? pt.Pan_Tilt_Direct : pt.Pan_Tilt_Stop)[c.index].click();
            EXPECT_EQ(rig.packetsSince(mark), std::vector<std::string>{want})
                << (c.direct ? "Pan_Tilt_Direct " : "Pan_Tilt_Stop ") << c.index << " camera " << address;
        }
    }
    // Only "Stop" goes out as a stop: should the camera refuse it as too
    // busy, it waits again as a stop, before anything else waiting.
    rig.run(1);  // the camera completes what came before
    rig.chain.camera(0).silent = true;  // nothing is acknowledged
    rig.linkControl().drive(1);
    using Kind = link::CommandPacer::Kind;
    for (const Case& c : cases) {
        (c.direct ? pt.Pan_Tilt_Direct : pt.Pan_Tilt_Stop)[c.index].click();
        m.pacer().replied(1, link::decodeReply({0x90, 0x60, 0x03, 0xFF}));  // refused
        m.pacer().replied(1, link::decodeReply({0x90, 0x51, 0xFF}));        // another's completion
        const auto again = m.pacer().next(1);
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(again->kind, !c.direct && c.index == 0 ? Kind::Stop : Kind::Other)
            << (c.direct ? "Pan_Tilt_Direct " : "Pan_Tilt_Stop ") << c.index;
    }
    rig.chain.camera(0).silent = false;

    // Nothing outside the table.
    const auto mark = rig.mark();
    pt.Pan_Tilt_Stop_Click(9);
    pt.Pan_Tilt_Stop_Click(-1);
    pt.Pan_Tilt_Direct_Click(10);
    EXPECT_TRUE(rig.packetsSince(mark).empty());
}

TEST_F(PanTilt, SpeedsAreKeptWithinTheArrowsRange) {
    const struct {
        const char* pan;
        const char* tilt;
        const char* packet;
    } cases[] = {
        {"5", "9", "81 01 06 01 05 09 03 01 FF"},    {"99", "300", "81 01 06 01 18 17 03 01 FF"},
        {"0", "-4", "81 01 06 01 01 01 03 01 FF"},    {"abc", "", "81 01 06 01 00 00 03 01 FF"},
        {" 12x", "7.5", "81 01 06 01 0C 07 03 01 FF"},
    };
    for (const auto& c : cases) {
        pt.PanSpeed.setText(c.pan);
        pt.TiltSpeed.setText(c.tilt);
        const auto mark = rig.mark();
        pt.Pan_Tilt_Stop[1].click();
        EXPECT_EQ(drives(mark), std::vector<std::string>{c.packet}) << c.pan << " / " << c.tilt;
        // "Stop" keeps its fixed speeds whatever the boxes hold.
        const auto mark2 = rig.mark();
        pt.Pan_Tilt_Stop[0].click();
        EXPECT_EQ(drives(mark2), std::vector<std::string>{kStop});
    }
    // A camera with lower maxima lowers the limits.
    rig.chain.camera(0).state().maxPanSpeed = 0x10;
    rig.chain.camera(0).state().maxTiltSpeed = 0x0C;
    rig.run(0.5);
    m.RefreshOnce.click();
    pt.PanSpeed.setText("20");
    pt.TiltSpeed.setText("20");
    const auto mark = rig.mark();
    pt.Pan_Tilt_Stop[2].click();
    EXPECT_EQ(drives(mark), std::vector<std::string>{"81 01 06 01 10 0C 01 03 FF"});
    // Maxima no head has (a garbled answer) leave the limits as they were.
    for (int garbled : {0xA0, 0x00}) {
        rig.chain.camera(0).state().maxPanSpeed = garbled;
        rig.chain.camera(0).state().maxTiltSpeed = garbled;
        rig.run(0.5);
        m.RefreshOnce.click();
        const auto since = rig.mark();
        pt.Pan_Tilt_Stop[2].click();
        EXPECT_EQ(drives(since), std::vector<std::string>{"81 01 06 01 10 0C 01 03 FF"}) << garbled;
        EXPECT_EQ(pt.LbMPS.caption(), "16");
    }
    EXPECT_EQ(rig.program->chain.garbled(), 2);
}

TEST_F(PanTilt, HeldKeyDrivesAndItsReleaseStops) {
    auto mark = rig.mark();
    EXPECT_TRUE(pt.keyDown(onButton(key(Key::Up))));
    EXPECT_EQ(drives(mark), std::vector<std::string>{"81 01 06 01 18 17 03 01 FF"});
    // The keyboard's repeats send nothing more.
    KeyEvent repeat = onButton(key(Key::Up));
    repeat.autoRepeat = true;
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(pt.keyUp(repeat));
        EXPECT_TRUE(pt.keyDown(repeat));
    }
    EXPECT_EQ(drives(mark).size(), 1u);
    EXPECT_TRUE(pt.keyDriving());
    EXPECT_TRUE(let(onButton(key(Key::Up))));
    EXPECT_EQ(drives(mark), (std::vector<std::string>{"81 01 06 01 18 17 03 01 FF", kStop}));
    EXPECT_FALSE(pt.keyDriving());

    // The keypad, Num Lock on (digits) or off (navigation keys).
    const struct {
        KeyEvent e;
        const char* packet;
    } keypad[] = {
        {key(Key::Digit, true, 7), "81 01 06 01 18 17 01 01 FF"}, {key(Key::Home, true), "81 01 06 01 18 17 01 01 FF"},
        {key(Key::Digit, true, 3), "81 01 06 01 18 17 02 02 FF"}, {key(Key::PageDown, true), "81 01 06 01 18 17 02 02 FF"},
        {key(Key::Digit, true, 9), "81 01 06 01 18 17 02 01 FF"}, {key(Key::End, true), "81 01 06 01 18 17 01 02 FF"},
        {key(Key::Digit, true, 4), "81 01 06 01 18 17 01 03 FF"}, {key(Key::Right, true), "81 01 06 01 18 17 02 03 FF"},
        {key(Key::Digit, true, 2), "81 01 06 01 18 17 03 02 FF"}, {key(Key::Digit, true, 5), kStop},
        {key(Key::Clear, true), kStop},
    };
    for (const auto& k : keypad) {
        mark = rig.mark();
        EXPECT_TRUE(pt.keyDown(onButton(k.e)));
        EXPECT_TRUE(let(onButton(k.e)));
        // Keypad 5 stops when it goes down, once.
        const std::vector<std::string> want =
            k.packet == kStop ? std::vector<std::string>{kStop} : std::vector<std::string>{k.packet, kStop};
        EXPECT_EQ(drives(mark), want);
    }
    // The main keyboard's navigation keys and digits are not drive keys.
    mark = rig.mark();
    for (const KeyEvent& e : {key(Key::Home), key(Key::PageUp), key(Key::Digit, false, 8)}) {
        EXPECT_FALSE(pt.keyDown(onButton(e)));
        EXPECT_FALSE(pt.keyUp(onButton(e)));
    }
    EXPECT_TRUE(rig.packetsSince(mark).empty());
}

TEST_F(PanTilt, SpeedBoxesKeepTheirKeys) {
    KeyEvent up = key(Key::Up);
    up.focus = &pt.PanSpeed;
    const auto mark = rig.mark();
    EXPECT_FALSE(pt.keyDown(up));
    EXPECT_FALSE(pt.keyUp(up));
    up.focus = &pt.TiltSpeed;
    EXPECT_FALSE(pt.keyDown(up));
    EXPECT_TRUE(rig.packetsSince(mark).empty());
    // A drive started elsewhere still stops when its key is let go in a speed box.
    EXPECT_TRUE(pt.keyDown(onButton(key(Key::Left))));
    KeyEvent left = key(Key::Left);
    left.focus = &pt.TiltSpeed;
    EXPECT_TRUE(let(left));
    EXPECT_EQ(drives(mark).back(), kStop);
}

TEST_F(PanTilt, LosingTheKeyboardOrTheWindowStopsAKeyDrive) {
    // Focus loss: a stop only when a key drive runs.
    auto mark = rig.mark();
    pt.deactivated();
    EXPECT_TRUE(rig.packetsSince(mark).empty());
    pt.keyDown(onButton(key(Key::Down)));
    pt.deactivated();
    EXPECT_EQ(drives(mark).back(), kStop);
    EXPECT_FALSE(pt.keyDriving());
    // Its key let go later: nothing more.
    const std::size_t sent = drives(mark).size();
    let(onButton(key(Key::Down)));
    EXPECT_EQ(drives(mark).size(), sent);

    // CLOSE while a key drive runs.
    mark = rig.mark();
    pt.keyDown(onButton(key(Key::Right)));
    pt.PTWCloseS.click();
    EXPECT_FALSE(pt.visible());
    EXPECT_EQ(drives(mark), (std::vector<std::string>{"81 01 06 01 18 17 02 03 FF", kStop}));

    // The title bar's close while a key drive runs.
    m.PTWCloseM.click();
    ASSERT_TRUE(pt.visible());
    mark = rig.mark();
    pt.keyDown(onButton(key(Key::Left)));
    pt.unload();
    EXPECT_EQ(drives(mark), (std::vector<std::string>{"81 01 06 01 18 17 01 03 FF", kStop}));
    EXPECT_FALSE(rig.program->ptw.PTWindow);

    // Closing without a key drive sends nothing.
    m.PTWCloseM.click();
    mark = rig.mark();
    pt.PTWCloseS.click();
    EXPECT_TRUE(rig.packetsSince(mark).empty());
}

// What a held key meets on a real keyboard: repeats as release and press
// pairs, a release whose meaning changed on the way, roll-over.
TEST_F(PanTilt, AKeyDriveFollowsThePhysicalKey) {
    const std::string up = "81 01 06 01 18 17 03 01 FF", left = "81 01 06 01 18 17 01 03 FF";
    auto physical = [&](KeyEvent e, int scan) {
        e.nativeKey = scan;
        return onButton(e);
    };
    // Repeats without the repeat flag, a few milliseconds apart.
    auto mark = rig.mark();
    pt.keyDown(physical(key(Key::Up), 111));
    for (int i = 0; i < 7; ++i) {
        pt.keyUp(physical(key(Key::Up), 111));
        rig.run(0.002);
        pt.keyDown(physical(key(Key::Up), 111));
        rig.run(0.5);
    }
    EXPECT_EQ(drives(mark), std::vector<std::string>{up});
    let(physical(key(Key::Up), 111));
    EXPECT_EQ(drives(mark), (std::vector<std::string>{up, kStop}));

    // Keypad 8 held while Num Lock or Shift changed: it is let go as keypad Up.
    mark = rig.mark();
    pt.keyDown(physical(key(Key::Digit, true, 8), 80));
    let(physical(key(Key::Up, true), 80));
    EXPECT_EQ(drives(mark), (std::vector<std::string>{up, kStop}));
    EXPECT_FALSE(pt.keyDriving());
    // Where the system gives no key number, a drive key let go that matches
    // no held key stops all the same.
    mark = rig.mark();
    pt.keyDown(onButton(key(Key::Digit, true, 8)));
    let(onButton(key(Key::Up, true)));
    EXPECT_EQ(drives(mark), (std::vector<std::string>{up, kStop}));
    EXPECT_FALSE(pt.keyDriving());

    // Roll-over: the key still held takes over; letting go of a key whose
    // drive no longer runs changes nothing; the last one stops.
    mark = rig.mark();
    pt.keyDown(physical(key(Key::Up), 111));
    pt.keyDown(physical(key(Key::Left), 113));
    let(physical(key(Key::Left), 113));
    EXPECT_EQ(drives(mark), (std::vector<std::string>{up, left, up}));
    pt.keyDown(physical(key(Key::Left), 113));
    let(physical(key(Key::Up), 111));
    let(physical(key(Key::Left), 113));
    EXPECT_EQ(drives(mark), (std::vector<std::string>{up, left, up, left, kStop}));

    // Keys drive nothing while the drive buttons are out of use or the window is hidden.
    mark = rig.mark();
    pt.FmPanTilt.setEnabled(false);
    EXPECT_FALSE(pt.keyDown(onButton(key(Key::Up))));
    pt.FmPanTilt.setEnabled(true);
    m.PTWCloseM.click();
    ASSERT_FALSE(pt.visible());
    EXPECT_FALSE(pt.keyDown(onButton(key(Key::Up))));
    EXPECT_TRUE(drives(mark).empty());
}

// A stop is never dropped: it goes out between a status read's inquiries
// (the read's message box took the keyboard), and while the port is gone it
// is owed, quietly, until the port is back.
TEST_F(PanTilt, AStopIsNeverDropped) {
    const std::string right = "81 01 06 01 18 17 02 03 FF";
    m.AutoRefreshed.click();
    bool stoppedInTheBox = false;
    auto mark = rig.mark();
    rig.windows.onMessage = [&](const Message&) {
        pt.deactivated();
        stoppedInTheBox = drives(mark) == std::vector<std::string>{right, kStop};
    };
    pt.keyDown(onButton(key(Key::Right)));
    rig.chain.camera(0).silent = true;
    rig.run(12);
    ASSERT_FALSE(rig.windows.messages.empty());
    EXPECT_TRUE(stoppedInTheBox);
    EXPECT_EQ(drives(mark), (std::vector<std::string>{right, kStop}));
    EXPECT_TRUE(pt.owedStops().empty());

    rig.chain.camera(0).silent = false;
    rig.windows.onMessage = nullptr;
    mark = rig.mark();
    pt.keyDown(onButton(key(Key::Right)));
    rig.port.unplug();
    rig.run(1);
    let(onButton(key(Key::Right)));
    m.AutoRefreshed.click();  // the operator turns auto refresh on meanwhile
    rig.run(3);
    EXPECT_EQ(pt.owedStops(), std::set<int>{1});
    // Owed without filling the history or pausing the refresh for packets
    // that cannot go out.
    EXPECT_EQ(m.SendText.text().find("(not sent)"), std::string::npos);
    EXPECT_TRUE(m.AutoRefreshed.enabled());
    rig.port.plugBackIn();
    m.IFClearB.click();
    rig.run(0.2);
    EXPECT_EQ(drives(mark), (std::vector<std::string>{right, kStop}));
    EXPECT_TRUE(pt.owedStops().empty());
}

// Choosing another camera while a key is held stops the camera that moved;
// the key still held drives the new camera no more.
TEST(PanTiltChain, ChoosingAnotherCameraStopsTheOneTheKeyMoved) {
    Rig rig({"ORX-Beta", "ORX-Beta", "ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    FrmPanTilt& pt = rig.program->frmPanTilt();
    KeyEvent down;
    down.key = Key::Down;
    down.nativeKey = 116;
    down.focus = &pt.Pan_Tilt_Stop[0];
    KeyEvent repeat = down;
    repeat.autoRepeat = true;
    const auto mark = rig.mark();
    pt.keyDown(down);
    rig.main().CameraSel[3].click();
    rig.run(0.1);
    const std::vector<std::string> stopped{"81 01 06 01 18 17 03 02 FF", "81 01 06 01 18 18 03 03 FF"};
    EXPECT_EQ(rig.packetsSince(mark, "01 06"), stopped);
    for (int i = 0; i < 6; ++i) {
        const KeyEvent& e = i % 2 ? repeat : down;
        pt.keyUp(e);
        pt.keyDown(e);
        rig.run(0.3);
    }
    pt.keyUp(down);
    rig.run(0.1);
    EXPECT_EQ(rig.packetsSince(mark, "01 06"), stopped);
    EXPECT_FALSE(pt.keyDriving());

    // The menu took the keyboard first (the drive ended there), and the
    // keyboard comes back while the key is still held: its repeats, release
    // and press a few milliseconds apart without the repeat flag, drive
    // nothing; a real press later does.
    const auto again = rig.mark();
    pt.keyDown(down);
    pt.deactivated();
    rig.main().CameraSel[2].click();
    for (int i = 0; i < 6; ++i) {
        pt.keyUp(down);
        rig.run(0.003);
        pt.keyDown(down);
        rig.run(0.04);
    }
    EXPECT_EQ(rig.packetsSince(again, "01 06"),
              (std::vector<std::string>{"83 01 06 01 18 17 03 02 FF", "83 01 06 01 18 18 03 03 FF"}));
    pt.keyUp(down);
    rig.run(0.2);
    pt.keyDown(down);
    EXPECT_EQ(rig.packetsSince(again, "01 06").back(), "82 01 06 01 18 17 03 02 FF");
}

TEST_F(PanTilt, TheSimulatedHeadFollowsAndTheReadShowsIt) {
    auto& cam = rig.chain.camera(0).state();
    pt.PanSpeed.setText("10");
    const double start = rig.loop.now();
    pt.Pan_Tilt_Stop[3].click();  // right at speed 10
    rig.run(1.0);
    m.RefreshOnce.click();
    EXPECT_EQ(pt.LbPTS.caption(), "0000000000000100");  // the pan axis moving
    rig.run(1.0);
    const double moved = rig.loop.now() - start;
    pt.Pan_Tilt_Stop[0].click();
    rig.run(0.1);
    const int pan = cam.panPos;
    EXPECT_NEAR(pan, moved * 10 * 16, 8);
    rig.run(3);
    EXPECT_EQ(cam.panPos, pan);  // stopped
    m.RefreshOnce.click();
    EXPECT_EQ(pt.LbPTS.caption(), "0000000000000000");
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", pan);
    EXPECT_EQ(pt.LbPanPos.caption(), text);

    // Down at full speed runs into the end of its travel and stays there.
    pt.Pan_Tilt_Direct[7].click();
    rig.run(20);
    m.RefreshOnce.click();
    EXPECT_EQ(pt.LbTiltPos.caption(), "0xFE70");
    pt.Pan_Tilt_Direct[8].click();  // Home
    rig.run(0.5);
    m.RefreshOnce.click();
    EXPECT_EQ(pt.LbPanPos.caption(), "0x0");
    EXPECT_EQ(pt.LbTiltPos.caption(), "0x0");
    // A speed the head cannot take is refused by the camera.
    pt.PanSpeed.setText("x");
    pt.Pan_Tilt_Stop[2].click();
    rig.run(0.5);
    EXPECT_NE(m.RecvText.text().find("90 60 02 FF"), std::string::npos);
    EXPECT_EQ(cam.panPos, 0);
}

TEST_F(PanTilt, PositionsFollowAHeldDriveOnACameraThatTakesItsTime) {
    // The drive keeps its command socket until the stop; the reads go on.
    rig.chain.timed = true;
    m.AutoRefreshed.click();
    rig.run(3);
    std::set<std::string> shown;
    EXPECT_TRUE(pt.keyDown(onButton(key(Key::Up))));
    for (int i = 0; i < 80; ++i) {
        rig.run(0.1);
        shown.insert(pt.LbTiltPos.caption());
    }
    EXPECT_TRUE(let(onButton(key(Key::Up))));
    rig.run(3);
    EXPECT_GE(shown.size(), 3u);  // moving, then at the end of travel
    EXPECT_EQ(pt.LbTiltPos.caption(), "0x4B0");
    EXPECT_EQ(m.AutoRefreshed.caption(), "Auto");
}
