// The alarm dialog and the information display switch; the camera clock,
// camera ID and power-off timer dialogs with the night power-off's
// precondition. Packets typed out here; the refresh before, while the modal
// dialogs are open, and after.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/aes.h"
#include "dialogs/camera_settings.h"
#include "dialogs/deffect.h"
#include "dialogs/md.h"
#include "link/packet.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

// ORX-Beta answers the alarm and timer inquiries.
struct Settings : ::testing::Test {
    Rig rig{{"ORX-Beta"}};
    FrmMain& m = rig.main();
    AlarmState& alarm = rig.program->alarm;
    sim::CameraState& cam = rig.chain.camera(0).state();
    void SetUp() override { ASSERT_TRUE(rig.startUp()); }
    std::vector<std::string> commands(std::size_t mark) const { return rig.packetsSince(mark, "01"); }
    bool running() const { return m.autoCaption() && m.Timer1.enabled() && m.AutoRefreshed.enabled(); }
    // Runs the operator's actions while a modal dialog opened by `menu` is shown.
    void withDialog(MenuItem& menu, std::function<void()> actions) {
        rig.windows.script(std::move(actions));
        menu.click();
    }
};

}  // namespace

TEST_F(Settings, AlarmModeLevelsAndStartReachTheCameraAndTheSharedState) {
    FrmMD& d = rig.program->frmMD();
    m.AutoRefreshed.click();
    std::vector<std::string> sent;
    withDialog(m.MotionDetecter, [&] {
        EXPECT_FALSE(m.Timer1.enabled() || m.Timer2.enabled() || m.AutoRefreshed.enabled());
        EXPECT_EQ(d.left(), m.left() + 100);
        EXPECT_EQ(d.txtMDday.text(), "000");  // nothing known yet
        const auto mark = rig.mark();
        d.ComboSetMD.choose(12);  // "Day & Night"
        d.comSetMD.click();
        d.txtMDday.setText("fff");
        d.txtMDnight.setText("800");
        d.cmdsetMDtime.click();
        d.OpMDon.click();
        d.cmdMDstart.click();  // asks first: OK
        d.cmdDisplay.click();
        d.cmdMDdisplayOFF.click();
        sent = commands(mark);
        d.CmdClose.click();
    });
    EXPECT_EQ(sent, (std::vector<std::string>{"81 01 04 6C 0C FF", "81 01 04 6D 0F 0F 0F 08 00 00 FF", "81 01 04 6B 02 FF",
                                              "81 01 04 15 02 FF", "81 01 04 15 03 FF"}));
    ASSERT_EQ(rig.windows.messages.size(), 1u);
    EXPECT_EQ(rig.windows.messages[0].title, "AutoRefresh Warning");
    EXPECT_EQ(rig.windows.messages[0].text, "After set this mode, Auto Refresh function will be off.");
    EXPECT_EQ(rig.windows.messages[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(alarm.AlarmMode, 0x0C);
    EXPECT_EQ(alarm.DayLevel, 0xFFF);
    EXPECT_EQ(alarm.NightLevel, 0x800);
    EXPECT_TRUE(alarm.AlarmActive);
    EXPECT_TRUE(alarm.AlarmConfigured);
    // Closed with the alarm started: automatic refresh is off, the rest back.
    EXPECT_EQ(m.AutoRefreshed.caption(), "Stop");
    EXPECT_TRUE(m.AutoRefreshed.enabled());
    EXPECT_FALSE(m.Timer1.enabled());
    EXPECT_TRUE(m.RefreshOnce.enabled());
    EXPECT_TRUE(m.Timer2.enabled());
    rig.run(0.5);
    EXPECT_EQ(cam.alarmMode, 0x0C);
    EXPECT_EQ(cam.dayLevel, 0xFFF);
    EXPECT_TRUE(cam.alarmActive);
}

TEST_F(Settings, AlarmStartCancelledAndStopped) {
    FrmMD& d = rig.program->frmMD();
    m.AutoRefreshed.click();
    rig.windows.answer(MsgAnswer::Cancel);
    std::vector<std::string> sent;
    withDialog(m.MotionDetecter, [&] {
        const auto mark = rig.mark();
        d.OpMDon.click();
        d.cmdMDstart.click();  // cancelled
        sent = commands(mark);
        d.unload();
    });
    EXPECT_TRUE(sent.empty());
    EXPECT_FALSE(alarm.AlarmActive);
    EXPECT_TRUE(running());  // closed with the alarm stopped: the refresh runs again

    withDialog(m.MotionDetecter, [&] {
        const auto mark = rig.mark();
        d.OpMDoff.click();
        d.cmdMDstart.click();
        sent = commands(mark);
        d.unload();
    });
    EXPECT_EQ(sent, std::vector<std::string>{"81 01 04 6B 03 FF"});
}

TEST_F(Settings, AlarmInquiriesReadTheCameraBack) {
    FrmMD& d = rig.program->frmMD();
    cam.alarmMode = 0x05;
    cam.dayLevel = 0xABC;
    cam.nightLevel = 0x123;
    cam.nowLevel = 0x00F;
    cam.alarmActive = true;
    withDialog(m.MotionDetecter, [&] {
        m.RecvText.setText("");
        d.cmdsetMDinq.click();
        d.cmdLevelInq.click();
        d.cmdMDSSunq.click();
        d.unload();
    });
    EXPECT_EQ(alarm.AlarmMode, 0x05);
    EXPECT_EQ(d.ComboSetMD.currentText(), "(5) (0) and (3)");
    EXPECT_EQ(alarm.DayLevel, 0xABC);
    EXPECT_EQ(alarm.NightLevel, 0x123);
    EXPECT_EQ(alarm.NowLevel, 0x00F);
    EXPECT_EQ(d.txtMDdayR.text(), "ABC");
    EXPECT_EQ(d.txtMDnightR.text(), "123");
    EXPECT_EQ(d.txtMDc.text(), "00F");
    EXPECT_TRUE(alarm.AlarmActive);
    EXPECT_TRUE(d.OpMDon.value());
    EXPECT_TRUE(alarm.AlarmConfigured);
    // The answers are shown in the response window, each on its line.
    EXPECT_EQ(m.RecvText.text(), "90 50 05 FF \r\n90 50 0A 0B 0C 01 02 03 00 00 0F FF \r\n90 50 02 FF \r\n");
    EXPECT_NE(d.txtMD.text().find("81 09 04 6D FF"), std::string::npos);
}

TEST_F(Settings, ShortOrBrokenAnswersChangeNothing) {
    FrmMD& d = rig.program->frmMD();
    cam.dayLevel = 0xABC;
    withDialog(m.MotionDetecter, [&] {
        const std::string before = d.txtMDdayR.text();
        // The level answer loses its last byte, then comes with a wrong second byte.
        rig.chain.packetFaults[{0x09, 0x04, 0x6D}] = {0, 0, 1, 1, 1};
        d.cmdLevelInq.click();
        rig.chain.packetFaults[{0x09, 0x04, 0x6D}] = {0, 1, 1, 0, 1};
        d.cmdLevelInq.click();
        EXPECT_EQ(d.txtMDdayR.text(), before);
        EXPECT_FALSE(alarm.DayLevelKnown);
        d.cmdLevelInq.click();  // whole
        EXPECT_EQ(d.txtMDdayR.text(), "ABC");
        d.unload();
    });
    // A silent camera: nothing changes and no stand-in bytes reach the response window.
    rig.chain.faults.silent = true;
    alarm.AlarmMode = 3;
    withDialog(m.MotionDetecter, [&] {
        m.RecvText.setText("");
        d.cmdsetMDinq.click();
        EXPECT_EQ(m.RecvText.text(), "");
        d.unload();
    });
    EXPECT_EQ(alarm.AlarmMode, 3);
}

TEST_F(Settings, AlarmBadInputSendsNothing) {
    FrmMD& d = rig.program->frmMD();
    std::vector<std::string> sent;
    withDialog(m.MotionDetecter, [&] {
        const auto mark = rig.mark();
        d.txtMDday.setText("");
        d.txtMDday.type("1g2z");
        EXPECT_EQ(d.txtMDday.text(), "12");
        d.cmdsetMDtime.click();  // two digits
        d.ComboSetMD.setListIndex(-1);
        d.comSetMD.click();
        // The "Now" value copied into a level box; an empty one copies nothing.
        d.txtMDc.setText("3A0");
        d.Command1[1].click();
        EXPECT_EQ(d.txtMDnight.text(), "3A0");
        d.txtMDc.setText("");
        d.Command1[0].click();
        EXPECT_EQ(d.txtMDday.text(), "12");
        sent = commands(mark);
        d.unload();
    });
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(rig.windows.messages.size(), 2u);
    EXPECT_FALSE(alarm.DayLevelKnown);
}

TEST_F(Settings, InformationDisplaySwitch) {
    auto mark = rig.mark();
    m.IFMDmode.setChecked(false);
    m.IFMDmode.click();
    EXPECT_TRUE(m.IFMDmode.checked());
    EXPECT_TRUE(rig.link().RefreshRestart);  // auto refresh off: one read after it
    m.IFMDmode.click();
    EXPECT_FALSE(m.IFMDmode.checked());
    EXPECT_EQ(commands(mark), (std::vector<std::string>{"81 01 7E 01 18 02 FF", "81 01 7E 01 18 03 FF"}));
    // A status read no longer holds the command back: it goes out at once.
    rig.run(0.1);  // (once the camera has completed the two above)
    rig.linkControl().statusReadStarts();
    mark = rig.mark();
    m.IFMDmode.click();
    EXPECT_EQ(commands(mark), (std::vector<std::string>{"81 01 7E 01 18 02 FF"}));
    EXPECT_TRUE(m.IFMDmode.checked());
    rig.linkControl().statusReadEnds();
}

TEST_F(Settings, ClockFromTheComputerAndTyped) {
    FrmSetDT& d = rig.program->frmSetDT();
    m.SetTimeDate.click();
    ASSERT_TRUE(d.visible());
    EXPECT_EQ(rig.windows.modalShows, 0);  // modeless
    EXPECT_EQ(d.Year.text(), "26");
    EXPECT_EQ(d.Minute.text(), "05");
    auto mark = rig.mark();
    d.OK.click();
    EXPECT_FALSE(d.visible());
    EXPECT_EQ(commands(mark), std::vector<std::string>{"81 01 04 70 02 06 01 02 00 07 02 01 00 05 FF"});
    // A month stepped down to 7 with the arrows still sends 00 07; a box out of range is refused.
    rig.loop.localTime_ = {2031, 8, 30, 9, 59, 0};
    m.SetTimeDate.click();
    EXPECT_EQ(d.Month.text(), "08");
    d.UpDown2.down();
    EXPECT_EQ(d.Month.text(), "7");
    d.Hour.setText("24");
    mark = rig.mark();
    d.OK.click();
    EXPECT_TRUE(d.visible());
    EXPECT_EQ(rig.windows.messages.size(), 1u);
    d.Hour.setText("9");
    d.OK.click();
    EXPECT_EQ(commands(mark), std::vector<std::string>{"81 01 04 70 03 01 00 07 03 00 00 09 05 09 FF"});
    rig.run(0.5);
    EXPECT_EQ(rig.chain.camera(0).state().clock, (std::array<int, 5>{31, 7, 30, 9, 59}));
}

TEST_F(Settings, CameraIdAndItsCancelGiveTheRefreshBack) {
    FrmCamID& d = rig.program->frmCamID();
    m.AutoRefreshed.click();
    std::vector<std::string> sent;
    auto mark = rig.mark();
    withDialog(m.IDWrite, [&] {
        EXPECT_FALSE(m.Timer1.enabled() || m.Timer2.enabled());
        EXPECT_EQ(d.left(), m.left() + 500);
        EXPECT_EQ(d.top(), m.top() + 1000);
        d.ID.setText("4660");
        d.OK.click();
    });
    EXPECT_EQ(m.CameraIDText.text(), "4660");
    withDialog(m.IDWrite, [&] {
        d.ID.setText("70000");
        d.OK.click();
        EXPECT_EQ(d.ID.text(), "65535");
    });
    EXPECT_EQ(m.CameraIDText.text(), "65535");
    EXPECT_EQ(commands(mark), (std::vector<std::string>{"81 01 04 22 01 02 03 04 FF", "81 01 04 22 0F 0F 0F 0F FF"}));
    mark = rig.mark();
    withDialog(m.IDWrite, [&] {
        d.ID.setText("");
        d.OK.click();  // refused
        d.Cancel.click();
    });
    EXPECT_TRUE(commands(mark).empty());
    EXPECT_FALSE(d.visible());
    rig.run(0.5);
    EXPECT_TRUE(running());
    EXPECT_TRUE(m.Timer2.enabled());
    EXPECT_EQ(cam.cameraId, 65535);
}

TEST_F(Settings, AutoPowerOffReadsAndSetsTheTimer) {
    FrmAutoPOff& d = rig.program->frmAutoPOff();
    cam.autoPowerOff = 90;
    m.AutoRefreshed.click();
    std::vector<std::string> sent;
    withDialog(m.AutoPowerOff, [&] {
        EXPECT_EQ(d.OffTimer.text(), "90");
        EXPECT_FALSE(m.Timer1.enabled() || m.AutoRefreshed.enabled());
        const auto mark = rig.mark();
        d.OffTimer.setText("0");
        d.OK.click();
        sent = commands(mark);
    });
    EXPECT_EQ(sent, std::vector<std::string>{"81 01 04 40 00 00 00 00 FF"});
    // A timer set: automatic refresh is off afterwards.
    EXPECT_EQ(m.AutoRefreshed.caption(), "Stop");
    EXPECT_TRUE(m.AutoRefreshed.enabled());
    EXPECT_FALSE(m.Timer1.enabled());
    EXPECT_TRUE(m.RefreshOnce.enabled());
    rig.run(0.5);
    EXPECT_EQ(cam.autoPowerOff, 0);

    // No answer: the box stays empty, the dialog says so and OK refuses it.
    rig.chain.faults.silent = true;
    withDialog(m.AutoPowerOff, [&] {
        EXPECT_EQ(d.OffTimer.text(), "");
        EXPECT_EQ(d.LblAnswer.caption(), "No answer from the camera.");
        const auto mark = rig.mark();
        d.OK.click();
        EXPECT_TRUE(commands(mark).empty());
        d.Cancel.click();
    });
    EXPECT_EQ(rig.windows.messages.size(), 1u);
    EXPECT_FALSE(d.visible());
}

TEST_F(Settings, NightPowerOffOnlyWithADayAndNightAlarm) {
    struct Case {
        bool active;
        int mode, day, night;
        const char* warning;
    };
    const Case cases[] = {
        {false, 0x0C, 0x900, 0x100, "The alarm action is stopping."},
        {true, 0x02, 0x900, 0x100, "The alarm mode is not a DayNight mode."},
        {true, 0x0C, 0x800, 0x800, "The alarm level setting is not [Day > Night]."},
    };
    for (const Case& c : cases) {
        rig.windows.messages.clear();
        alarm = {};
        alarm.AlarmActive = c.active;
        alarm.AlarmMode = static_cast<std::uint8_t>(c.mode);
        alarm.DayLevel = c.day;
        alarm.NightLevel = c.night;
        alarm.AlarmConfigured = true;
        m.NightPowerOff.click();
        ASSERT_EQ(rig.windows.messages.size(), 1u);
        EXPECT_EQ(rig.windows.messages[0].title, "Warning");
        EXPECT_EQ(rig.windows.messages[0].icon, MsgIcon::Critical);
        EXPECT_EQ(rig.windows.messages[0].text,
                  std::string(c.warning) + "\r\nPlease set up it after I implement alarm setting.  ");
        EXPECT_EQ(rig.windows.modalShows, 0);
    }
    // The alarm state unknown: read from the camera first, then the dialog.
    alarm = {};
    cam.alarmActive = true;
    cam.alarmMode = 0x0C;
    cam.dayLevel = 0x900;
    cam.nightLevel = 0x100;
    cam.nightPowerOff = 30;
    rig.windows.messages.clear();
    FrmNightPOff& d = rig.program->frmNightPOff();
    std::vector<std::string> sent;
    withDialog(m.NightPowerOff, [&] {
        EXPECT_EQ(d.OffTimer.text(), "30");
        const auto mark = rig.mark();
        d.OffTimer.setText("600");
        d.OK.click();
        sent = commands(mark);
    });
    EXPECT_TRUE(rig.windows.messages.empty());
    EXPECT_TRUE(alarm.AlarmConfigured);
    EXPECT_EQ(sent, std::vector<std::string>{"81 01 04 41 00 02 05 08 FF"});
    // Set: the refresh is off afterwards, its button and the pan-tilt upkeep back.
    EXPECT_FALSE(d.visible());
    EXPECT_EQ(m.AutoRefreshed.caption(), "Stop");
    EXPECT_TRUE(m.AutoRefreshed.enabled());
    EXPECT_TRUE(m.Timer2.enabled());
    // Cancel with auto refresh on gives it back running.
    m.AutoRefreshed.click();
    withDialog(m.NightPowerOff, [&] { d.Cancel.click(); });
    EXPECT_TRUE(running());
    // A camera that does not tell its alarm state: after the check's own
    // message, the warning says the state is unknown, not that the alarm
    // is stopped.
    alarm = {};
    rig.chain.faults.silent = true;
    rig.windows.messages.clear();
    const int shows = rig.windows.modalShows;
    m.NightPowerOff.click();
    // (The auto refresh, running beside the check, may tell of the silent
    // camera too, before or after.)
    const auto& told = rig.windows.messages;
    const auto check = std::find_if(told.begin(), told.end(), [](const Message& msg) {
        return msg.text.rfind("Alarm Status Check Error !", 0) == 0;
    });
    ASSERT_LT(check + 1, told.end());
    EXPECT_EQ(check[1].text, "The alarm state could not be read.\r\nPlease set up it after I implement alarm setting.  ");
    EXPECT_EQ(check[1].icon, MsgIcon::Critical);
    EXPECT_EQ(rig.windows.modalShows, shows);
}

// A modal dialog that stops the refresh keeps it stopped while it is open:
// neither a completion (of a command paused before it opened, or of its own)
// nor the watchdog brings it back behind it. Closed, it comes back.
TEST_F(Settings, ModalDialogsHoldTheRefreshUntilTheyClose) {
    Program& p = *rig.program;
    struct Case {
        const char* name;
        MenuItem& menu;
        std::function<void()> own;  // a command of the dialog's own that leaves it open
        std::function<void()> close;
    };
    const Case cases[] = {
        {"Alarm", m.MotionDetecter, [&] { p.frmMD().cmdDisplay.click(); }, [&] { p.frmMD().CmdClose.click(); }},
        {"AE SPOT", m.AESpotMode, [&] { p.frmAES().AESpotON.click(); }, [&] { p.frmAES().unload(); }},
        {"effect level", m.EffectLevel, nullptr, [&] { p.frmDeffect().DELevelCancel.click(); }},
        {"camera ID", m.IDWrite, nullptr, [&] { p.frmCamID().Cancel.click(); }},
        {"auto power off", m.AutoPowerOff, nullptr, [&] { p.frmAutoPOff().Cancel.click(); }},
        {"night power off", m.NightPowerOff, nullptr, [&] { p.frmNightPOff().Cancel.click(); }},
    };
    // The night power-off opens for a started day and night alarm only; the
    // alarm dialog would close with it started leaving automatic refresh off.
    alarm.AlarmConfigured = true;
    alarm.AlarmMode = 0x0C;
    alarm.DayLevel = 0x900;
    alarm.NightLevel = 0x100;
    m.AutoRefreshed.click();
    for (const Case& c : cases) {
        alarm.AlarmActive = c.menu.name() == "NightPowerOff";
        ASSERT_TRUE(running()) << c.name;
        m.Command({0x01, 0x04, 0x0B, 0x02});  // completes while the dialog is open
        bool heldOverCompletions = false, heldOverWatchdog = false;
        rig.windows.script([&] {
            if (c.own) c.own();
            rig.run(0.5);
            heldOverCompletions = !m.Timer1.enabled() && !m.AutoRefreshed.enabled();
            rig.run(7);
            heldOverWatchdog = !m.Timer1.enabled() && !m.AutoRefreshed.enabled();
            c.close();
        });
        const int shows = rig.windows.modalShows;
        c.menu.click();
        ASSERT_EQ(rig.windows.modalShows, shows + 1) << c.name;
        EXPECT_TRUE(heldOverCompletions) << c.name;
        EXPECT_TRUE(heldOverWatchdog) << c.name;
        EXPECT_TRUE(running()) << c.name;
        EXPECT_FALSE(rig.link().RefreshHeld) << c.name;
        EXPECT_TRUE(rig.windows.messages.empty()) << c.name;
    }
}

// The window takes input while a dialog reads the camera before it opens: a
// second click on its menu item meanwhile does not open a second one.
TEST_F(Settings, AMenuItemClickedAgainWhileItsDialogReadsOpensItOnce) {
    alarm.AlarmActive = true;
    alarm.AlarmConfigured = false;
    const int shows = rig.windows.modalShows;
    const auto mark = rig.mark();
    rig.loop.post(0.002, [&] { m.MotionDetecter.click(); });
    withDialog(m.MotionDetecter, [&] { rig.program->frmMD().CmdClose.click(); });
    EXPECT_EQ(rig.windows.modalShows, shows + 1);
    EXPECT_EQ(rig.packetsSince(mark, "09 04 6B").size(), 1u);
    EXPECT_FALSE(rig.program->frmMD().visible());
}
