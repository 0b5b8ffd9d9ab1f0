// Settings checked over every value they can take, one case each: the
// ORX-Kappa's D-SUB menu and video-system text per video system, and the
// nine move directions of the privacy dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/privacy.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

// The D-SUB output exists in the HD formats (0 to 3, 8 to 11): there the
// read asks for its sync mode and the menu is usable; in the SD formats and
// the unknown ones it is not asked and the menu is disabled. An old
// firmware's video system is taken as unknown, whatever the camera says.
TEST(EveryValue, DsubMenuAndVideoSystemTextPerVideoSystem) {
    struct Case {
        int videoSystem;
        bool dsub;
        const char* text;
        bool oldFirmware = false;
    };
    const Case cases[] = {
        {0, true, "1920*1080i/59.94"}, {1, true, "1920*1080p/29.97"}, {2, true, "1280*720p/59.94"},
        {3, true, "1280*720p/29.97"},  {4, false, "NTSC/Letter Box"}, {5, false, "NTSC/Crop"},
        {6, false, "NTSC/Squeeze"},    {7, false, "Unknown"},         {8, true, "1920*1080i/50"},
        {9, true, "1920*1080p/25"},    {10, true, "1280*720p/50"},    {11, true, "1280*720p/25"},
        {12, false, "PAL/Letter Box"}, {13, false, "PAL/Crop"},       {14, false, "PAL/Squeeze"},
        {15, false, "Unknown"},        {0, false, "Unknown", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("video system " + std::to_string(c.videoSystem) + (c.oldFirmware ? ", old firmware" : ""));
        Rig rig({"ORX-Kappa"});
        rig.chain.camera(0).state().videoSystem = c.videoSystem;
        rig.chain.camera(0).state().dsubSync = 1;
        if (c.oldFirmware) rig.chain.camera(0).state().romHi = 0;
        ASSERT_TRUE(rig.startUp());
        const auto mark = rig.mark();
        ASSERT_TRUE(rig.readStatus());
        const auto sent = rig.packetsSince(mark);
        FrmMain& m = rig.main();
        EXPECT_EQ(std::count(sent.begin(), sent.end(), "81 09 7E 01 1A FF"), c.dsub ? 1 : 0);
        EXPECT_EQ(m.HDACout.enabled(), c.dsub);
        if (c.dsub) {
            EXPECT_TRUE(m.DsubVD.checked());
            EXPECT_FALSE(m.State3.checked());
        }
        EXPECT_EQ(m.NTSCorPAL.text(), c.text);
    }
}

// Each button of the 3 x 3 grid, row by row from the top left, sends its
// own direction byte: high digit pan (1 right, 2 left), low digit tilt
// (1 up, 2 down).
TEST(EveryValue, PrivacyMoveDirections) {
    Rig rig({"ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    rig.main().SettingZones.click();
    Privacy& p = rig.program->privacy();
    ASSERT_TRUE(p.visible());
    struct Case {
        const char* name;
        const char* packet;
    };
    const Case cases[9] = {
        {"Move up-left", "81 01 04 7A 00 00 00 00 21 FF"}, {"Move up", "81 01 04 7A 00 00 00 00 01 FF"},
        {"Move up-right", "81 01 04 7A 00 00 00 00 11 FF"}, {"Move left", "81 01 04 7A 00 00 00 00 20 FF"},
        {"Move centre", "81 01 04 7A 00 00 00 00 00 FF"},   {"Move right", "81 01 04 7A 00 00 00 00 10 FF"},
        {"Move down-left", "81 01 04 7A 00 00 00 00 22 FF"}, {"Move down", "81 01 04 7A 00 00 00 00 02 FF"},
        {"Move down-right", "81 01 04 7A 00 00 00 00 12 FF"},
    };
    // Forwards, then backwards: each choice replaces the one before.
    for (int step = 0; step < 18; ++step) {
        const int i = step < 9 ? step : 17 - step;
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(p.Opmove[i].accessibleName(), cases[i].name);
        p.Opmove[i].click();
        const auto mark = rig.mark();
        p.cmdMovePanTilt.click();
        EXPECT_EQ(rig.packetsSince(mark), std::vector<std::string>{cases[i].packet});
    }
}
