// Start-up against the simulated chain, the port-dialog retry and shut-down.
#include <gtest/gtest.h>

#include "link/packet.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

std::string key(const char* k) { return std::string(Program::kTitle) + "/Settings/" + k; }

struct Subtitles {
    std::vector<std::string> seen;
    explicit Subtitles(Rig& rig) {
        rig.info().LbSubtitle.setObserver([this](Control& c, Prop p) {
            if (p != Prop::Caption) return;
            const auto& s = static_cast<Label&>(c).caption();
            if (seen.empty() || seen.back() != s) seen.push_back(s);
        });
    }
};

}  // namespace

TEST(Startup, RunsEveryStepOnALiveChain) {
    Rig rig({"KBM-R05", "ORX-Beta"});
    Subtitles subs(rig);
    ASSERT_TRUE(rig.startUp());
    auto packets = rig.packetsSince(0);
    ASSERT_GE(packets.size(), 2u);
    EXPECT_EQ(packets[0], "88 01 00 01 FF");
    EXPECT_EQ(packets[1], "88 30 01 FF");

    const std::vector<std::string> expected = {"Interface Clear Start", "Interface Clear Start-Wait 1sec ",
                                               "Interface Clear Start", "Interface Clear End", "Address Set Start",
                                               "Camera Version Check Start", "Camera Staus Check Start"};
    EXPECT_EQ(subs.seen, expected);
    FrmMain& m = rig.main();
    EXPECT_TRUE(m.visible());
    EXPECT_FALSE(rig.info().visible());
    EXPECT_FALSE(rig.open().visible());
    EXPECT_EQ(rig.info().ProgressBar1.value(), 100);
    EXPECT_EQ(m.Active.text(), "1");
    EXPECT_EQ(m.Baudratetxt.text(), "9600");
    EXPECT_EQ(m.AutoRefreshed.caption(), "Stop");
    EXPECT_TRUE(m.AutoRefreshed.enabled());
    EXPECT_FALSE(m.Timer1.enabled());
    EXPECT_TRUE(m.Timer2.enabled());
    EXPECT_EQ(m.DZoomX.caption(), "X1");
    EXPECT_FALSE(rig.link().StartupBusy);
    // Two cameras answered the address set: Camera1 and Camera2 are offered.
    EXPECT_TRUE(m.CameraSel[1].enabled());
    EXPECT_TRUE(m.CameraSel[2].enabled());
    EXPECT_FALSE(m.CameraSel[3].enabled());
    EXPECT_TRUE(m.CameraSel[1].checked());
    // Receive events are on and logs show no start-up traffic.
    EXPECT_EQ(rig.port.rThreshold(), 1);
}

TEST(Startup, EmptySettingsStoreGivesTheDefaults) {
    Rig rig;
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    EXPECT_EQ(m.left(), 0);
    EXPECT_EQ(m.top(), 0);
    // The size is what the camera's layout needs (ScreenFit checks it).
    EXPECT_TRUE(rig.program->ptw.PTWindow);
    EXPECT_TRUE(rig.program->ptw.PTWSize);
    EXPECT_TRUE(rig.program->ptw.PTWDocking);
    EXPECT_EQ(rig.settings.writes, 0);
}

TEST(Startup, StoredLayoutIsRestoredAndBadValuesFallBack) {
    Rig rig;
    rig.settings.values[key("MainLeft")] = "1500";
    rig.settings.values[key("MainTop")] = "300.5";
    rig.settings.values[key("MainWidth")] = "garbage";
    rig.settings.values[key("PTWSize")] = "False";
    rig.settings.values[key("PTWDocking")] = "maybe";
    ASSERT_TRUE(rig.startUp());
    EXPECT_EQ(rig.main().left(), 1500);
    EXPECT_DOUBLE_EQ(rig.main().top(), 300.5);
    EXPECT_FALSE(rig.program->ptw.PTWSize);
    EXPECT_TRUE(rig.program->ptw.PTWDocking);
}

TEST(Startup, PortAndSpeedComeFromTheDialog) {
    Rig rig;
    rig.chain.baud = 38400;
    ASSERT_TRUE(rig.startUp(11, 1));
    EXPECT_EQ(rig.port.commPort(), 12);
    EXPECT_EQ(rig.program->port.BaudText, "38400");
    EXPECT_EQ(rig.main().Baudratetxt.text(), "38400");
}

TEST(Startup, UnloadSavesLayoutAndPortAndExitSavesNothing) {
    {
        Rig rig;
        ASSERT_TRUE(rig.startUp(2, 1 - 1));
        rig.main().move(1200, 600);
        rig.main().resize(12000, 9000);
        rig.program->ptw.PTWSize = false;
        rig.main().unload();
        EXPECT_TRUE(rig.windows.ending());
        EXPECT_EQ(rig.settings.values[key("MainLeft")], "1200");
        EXPECT_EQ(rig.settings.values[key("MainTop")], "600");
        EXPECT_EQ(rig.settings.values[key("MainWidth")], "12000");
        EXPECT_EQ(rig.settings.values[key("MainHeight")], "9000");
        EXPECT_EQ(rig.settings.values[key("CommPort")], "3");
        EXPECT_EQ(rig.settings.values[key("BPS")], "9600");
        EXPECT_EQ(rig.settings.values[key("PTWindow")], "True");
        EXPECT_EQ(rig.settings.values[key("PTWSize")], "False");
        EXPECT_EQ(rig.settings.values[key("PTWDocking")], "True");
    }
    {
        Rig rig;
        ASSERT_TRUE(rig.startUp());
        rig.main().Quit.click();
        EXPECT_TRUE(rig.windows.ending());
        EXPECT_EQ(rig.settings.writes, 0);
    }
}

TEST(Startup, MinimisedWindowKeepsTheEarlierPlacement) {
    Rig rig;
    rig.settings.values[key("MainLeft")] = "777";
    ASSERT_TRUE(rig.startUp());
    rig.main().move(5, 5);
    rig.main().setWindowState(WindowState::Minimized);
    rig.main().unload();
    EXPECT_EQ(rig.settings.values[key("MainLeft")], "777");
    EXPECT_EQ(rig.settings.values.count(key("MainWidth")), 0u);
    EXPECT_EQ(rig.settings.values[key("CommPort")], "1");
}

TEST(Startup, SilentChainLeadsBackToThePortDialogThenResumes) {
    Rig rig;
    rig.chain.faults.silent = true;
    Subtitles subs(rig);
    double okAt = -1;
    // The operator sees the error line, then picks Com 2 and presses OK again.
    rig.windows.script([&] {
        EXPECT_TRUE(rig.open().visible());
        EXPECT_FALSE(rig.info().visible());
        EXPECT_EQ(rig.open().LblDBG0.caption(), "IF_Clear Error\r\nPort = 1");
        EXPECT_FALSE(rig.port.isOpen());
        rig.chain.faults.silent = false;
        rig.open().ComList1.choose(1);
        okAt = rig.loop.now();
        rig.open().Command1.click();
    });
    rig.program->start();
    const double t0 = rig.loop.now();
    rig.open().Command1.click();
    EXPECT_TRUE(rig.main().visible());
    // About four seconds passed before the dialog came back (one-second pause,
    // the one-second reply limit at the chosen speed and at each of the two
    // others), plus the operator's think time.
    EXPECT_NEAR(okAt - t0, 4.0 + rig.windows.thinkTime, 0.1);
    EXPECT_EQ(rig.port.commPort(), 2);
    EXPECT_NE(std::find(subs.seen.begin(), subs.seen.end(), "Com Port Setting Restart"), subs.seen.end());
    // The retry started again from the interface clear: one at each speed,
    // then one at the speed chosen again.
    auto packets = rig.packetsSince(0);
    EXPECT_EQ(std::count(packets.begin(), packets.end(), "88 01 00 01 FF"), 4);
}

TEST(Startup, ClosingThePortDialogDuringTheRetryEndsTheProgram) {
    Rig rig;
    rig.chain.faults.silent = true;
    rig.windows.script([&] { rig.open().unload(); });
    rig.program->start();
    rig.open().Command1.click();
    EXPECT_TRUE(rig.windows.ending());
    EXPECT_FALSE(rig.main().visible());
}

TEST(Startup, AddressSetGivesUpAfterItsAttemptsAndShowsTheDialog) {
    Rig rig;
    rig.chain.packetFaults[{0x30, 0x01}] = {FrmMain::kAddressSetAttempts, 0, 1, 0, 1};
    rig.windows.script([&] {
        EXPECT_EQ(rig.open().LblDBG0.caption(), "Address Set Error\r\nPort = 1");
        rig.open().Command1.click();
    });
    ASSERT_TRUE(rig.startUp());
    auto packets = rig.packetsSince(0);
    EXPECT_EQ(std::count(packets.begin(), packets.end(), "88 30 01 FF"), FrmMain::kAddressSetAttempts + 1);
}

TEST(Startup, AddressSetAnswerEnablesTheCamerasFound) {
    Rig rig({"ORX-Beta", "KBM-R01", "KBM-R02"});
    ASSERT_TRUE(rig.startUp());
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(rig.main().CameraSel[i].enabled(), i <= 3) << i;
}

TEST(Startup, ClosingThePortDialogWithoutOkEndsTheProgram) {
    Rig rig;
    rig.program->start();
    rig.open().unload();
    EXPECT_TRUE(rig.windows.ending());
}
