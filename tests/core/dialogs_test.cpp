// The privacy, spot exposure, effect level and service dialogs: their
// packets (typed out here), the shared send routine, refused input, and
// what opening and closing them does to the main window's refresh.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/about.h"
#include "dialogs/aes.h"
#include "dialogs/camera_settings.h"
#include "dialogs/deffect.h"
#include "dialogs/dialog_link.h"
#include "dialogs/fset.h"
#include "dialogs/md.h"
#include "dialogs/privacy.h"
#include "dialogs/privacy_a.h"
#include "link/packet.h"
#include "platform/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

// A chain of three with camera 3 driven.
struct Dialogs : ::testing::Test {
    Rig rig{{"ORX-Beta", "ORX-Beta", "ORX-Beta"}};
    FrmMain& m = rig.main();
    void SetUp() override {
        ASSERT_TRUE(rig.startUp());
        m.CameraSel[3].click();
        ASSERT_EQ(rig.link().CamAddress, 3);
        rig.run(0.5);
    }
    std::vector<std::string> sent(std::size_t mark) const { return rig.packetsSince(mark); }
    std::size_t warnings() const { return rig.windows.messages.size(); }
    bool running() const { return m.autoCaption() && m.Timer1.enabled() && m.AutoRefreshed.enabled(); }
};

}  // namespace

TEST_F(Dialogs, SendRoutineLogsBoundedAndSetsTheLinkByMode) {
    TextBox& log = rig.program->privacy().PrivacySetTxt;
    const Bytes packet{0x83, 0x01, 0x04, 0x7C, 0x02, 0xFF};
    rig.link().EchoSent = false;
    EXPECT_EQ(dialogs::DialogSD(*rig.program, packet, 2, {&log}), "OK");
    EXPECT_TRUE(rig.link().EchoSent);
    EXPECT_EQ(log.text(), "83 01 04 7C 02 FF \r\n");
    dialogs::DialogSD(*rig.program, packet, 1, {&log});
    for (int i = 0; i < 100; ++i) dialogs::DialogSD(*rig.program, packet, 1, {&log});
    EXPECT_EQ(log.text().size(), 1000u);
    EXPECT_EQ(log.selStart(), 1000u);
    EXPECT_EQ(log.text().substr(log.text().size() - 20), "83 01 04 7C 02 FF \r\n");
    // Echo off: written, not logged; a dialog that leaves the link alone leaves it so.
    rig.link().EchoSent = false;
    log.setText("");
    const auto mark = rig.mark();
    dialogs::DialogSD(*rig.program, packet, 1, {&log, false});
    EXPECT_EQ(log.text(), "");
    EXPECT_FALSE(rig.link().EchoSent);
    EXPECT_EQ(sent(mark).size(), 1u);
    // A refused write says so.
    rig.port.unplug();
    EXPECT_EQ(dialogs::DialogSD(*rig.program, packet, 1, {&log}), "NG");
}

TEST_F(Dialogs, PrivacyPacketsGoToTheDrivenCamera) {
    m.SettingZones.click();
    Privacy& p = rig.program->privacy();
    ASSERT_TRUE(p.visible());
    EXPECT_EQ(p.left(), m.left() + 100);
    EXPECT_EQ(p.combSetPrivacy.currentText(), "SetMask_A");
    EXPECT_EQ(p.Combo[0].currentText(), "Black");
    EXPECT_EQ(p.comboSetPTZ.currentText(), "Mask_A");

    auto mark = rig.mark();
    p.CmdGridOn.click();
    p.cmdGridoff.click();
    p.Checks0[0].click();   // A
    p.Checks0[23].click();  // X
    p.cmdPrivacyDisp.click();
    p.Checks1[6].click();  // G
    p.Checks1[13].click();  // N
    p.Combo[0].choose(7);  // White
    p.Chk1.click();        // half
    p.Combo[1].choose(0);  // Black
    p.cmdPrivacyColor.click();
    p.combSetPrivacy.choose(23);
    p.Check1.click();
    p.Zones[0].setText("1a");
    p.Zones[3].setText("0F");
    p.CmdPrivacySet[0].click();
    p.TextPan.setText("c00");
    p.TextTilt.setText("400");
    p.cmdPZMpantilt.click();
    p.TextMovePan.setText("1F");
    p.TextMoveTilt.setText("08");
    p.cmdMovePanTilt.click();  // no direction chosen
    p.Opmove[6].click();       // down-left
    p.cmdMovePanTilt.click();
    p.comboSetPTZ.choose(2);
    p.TextSetPTZpan.setText("12");
    p.TextSetPTZzoom.setText("4000");
    p.Command1.click();
    EXPECT_EQ(sent(mark), (std::vector<std::string>{
                              "83 01 04 7C 02 FF",
                              "83 01 04 7C 03 FF",
                              "83 01 04 77 20 00 00 01 FF",
                              "83 01 04 78 00 02 01 00 17 00 FF",
                              "83 01 04 76 17 01 01 0A 00 01 00 05 00 0F FF",
                              "83 01 04 79 0C 00 00 04 00 00 FF",
                              "83 01 04 7A 01 0F 00 08 00 FF",
                              "83 01 04 7A 01 0F 00 08 22 FF",
                              "83 01 04 7B 02 01 02 00 00 00 00 04 00 00 00 FF",
                          }));
    EXPECT_EQ(warnings(), 0u);
    EXPECT_NE(p.PrivacySetTxt.text().find("83 01 04 7B 02 01 02 00 00 00 00 04 00 00 00 FF \r\n"), std::string::npos);
    // Camera 3 took them all and keeps them.
    rig.run(0.5);
    EXPECT_EQ(m.RecvText.text().find(" 60 "), std::string::npos) << m.RecvText.text();
    const auto& cam = rig.chain.camera(2).state();
    EXPECT_EQ(cam.maskDisplay, (1 << 0) | (1 << 23));
    EXPECT_EQ(cam.colour1, 0x17);
    EXPECT_EQ(cam.masks[23].x, 0x1A);
    EXPECT_EQ(cam.masks[23].height, 0x0F);
    EXPECT_EQ(cam.masks[2].zoom, 0x4000);
    EXPECT_EQ(rig.chain.camera(0).state().maskDisplay, 0);
    p.ClrSET.click();
    EXPECT_EQ(p.PrivacySetTxt.text(), "");

    // Wrong input: one message naming the box, nothing on the wire.
    mark = rig.mark();
    p.Zones[1].setText("7");
    p.CmdPrivacySet[0].click();
    ASSERT_EQ(warnings(), 1u);
    EXPECT_NE(rig.windows.messages[0].text.find("\"Y\""), std::string::npos);
    EXPECT_EQ(rig.windows.messages[0].title, "Warning");
    p.TextTilt.setText("4");
    p.cmdPZMpantilt.click();
    p.TextMoveTilt.setText("");
    p.cmdMovePanTilt.click();
    p.Combo[1].setListIndex(-1);
    p.cmdPrivacyColor.click();
    p.comboSetPTZ.setListIndex(-1);
    p.Command1.click();
    EXPECT_EQ(warnings(), 5u);
    EXPECT_TRUE(sent(mark).empty());
    // Typed or pasted, the boxes keep hexadecimal digits only, no more than their field.
    p.Zones[2].setText("");
    p.Zones[2].type("x9zb7");
    EXPECT_EQ(p.Zones[2].text(), "9B");
    p.TextSetPTZzoom.setText("12 34 56");
    EXPECT_EQ(p.TextSetPTZzoom.text(), "1234");
}

TEST_F(Dialogs, PrivacyAResendsOnlyWhenSwitchedOn) {
    m.PrivacyAv.click();
    PrivacyA& a = rig.program->privacyA();
    ASSERT_TRUE(a.visible());
    // Opening leaves the camera's masks alone.
    EXPECT_EQ(a.SettingMode.caption(), "OFF");
    auto mark = rig.mark();
    rig.run(3);
    EXPECT_TRUE(sent(mark).empty());

    // Zone 1 at 2,3 size 4x5; zone 6 at F,B size 1x1.
    const char* values[] = {"2", "3", "4", "5", "0", "0", "0", "0", "0", "0", "0", "0",
                            "0", "0", "0", "0", "0", "0", "0", "0", "F", "B", "1", "1"};
    for (int i = 0; i < 24; ++i) a.Zones[i].setText(values[i]);
    EXPECT_EQ(a.ZoneGrid.marks().size(), 2u);
    mark = rig.mark();
    a.cmdPZMset[0].click();
    a.cmdPZMset[2].click();
    a.CmdPrivacyOn.click();
    a.CmdPrivacyoff.click();
    a.CmdClear.click();
    EXPECT_EQ(sent(mark), (std::vector<std::string>{
                              "83 01 04 76 00 02 03 04 05 00 00 00 00 FF",
                              "83 01 04 76 02 00 00 00 00 0F 0B 01 01 FF",
                              "83 01 04 77 02 FF",
                              "83 01 04 77 03 FF",
                              "83 01 04 77 00 FF",
                          }));
    rig.run(0.5);
    EXPECT_EQ(m.RecvText.text().find(" 60 "), std::string::npos) << m.RecvText.text();
    EXPECT_EQ(rig.chain.camera(2).state().zones[5], (std::array<int, 4>{0, 0, 0, 0}));  // "Clear" came last

    // On: the three packets every second, 20 ms apart.
    std::vector<double> times;
    rig.chain.trace = [&](const char* dir, const sim::Bytes& b) {
        if (std::string(dir) == "<-" && b.size() > 3 && b[3] == 0x76) times.push_back(rig.loop.now());
    };
    a.SettingMode.click();
    EXPECT_EQ(a.SettingMode.caption(), "ON");
    rig.run(2.05);
    ASSERT_EQ(times.size(), 6u);
    EXPECT_EQ(rig.chain.camera(2).state().zones[5], (std::array<int, 4>{0xF, 0xB, 1, 1}));
    EXPECT_NEAR(times[1] - times[0], 0.020, 1e-6);
    EXPECT_NEAR(times[2] - times[1], 0.020, 1e-6);
    EXPECT_NEAR(times[3] - times[0], 1.0, 0.05);
    // A wrong box stops the resend without a message box; the state line says which.
    a.Zones[5].setText("C");  // zone 2 Y beyond B
    times.clear();
    rig.run(2);
    EXPECT_TRUE(times.empty());
    EXPECT_NE(a.LblAutoState.caption().find("Zone 2 Y"), std::string::npos);
    EXPECT_EQ(warnings(), 0u);
    a.cmdPZMset[0].click();  // by hand: a message
    EXPECT_EQ(warnings(), 1u);
    a.Zones[5].setText("B");
    rig.run(1);
    EXPECT_EQ(times.size(), 3u);
    // Off stops it; closing stops it too.
    a.SettingMode.click();
    EXPECT_EQ(a.SettingMode.caption(), "OFF");
    times.clear();
    rig.run(3);
    EXPECT_TRUE(times.empty());
    a.SettingMode.click();
    a.unload();
    rig.run(3);
    EXPECT_TRUE(times.empty());
    EXPECT_FALSE(a.Timer2.enabled());
}

// Switched on for camera 3, the resend never writes another camera's masks.
TEST_F(Dialogs, PrivacyAResendStaysWithItsCamera) {
    struct Case {
        const char* how;
        std::function<void()> change;  // makes another camera the driven one
        int driven;
        bool atOnce;  // stopped by the change itself, not at the next tick
    };
    const Case cases[] = {
        {"camera 2 selected", [&] { m.CameraSel[2].click(); }, 2, true},
        {"chain renumbered without camera 3",
         [&] {
             rig.chain.removeCamera(2);
             m.AddressSet.click();
         },
         1, false},
    };
    PrivacyA& a = rig.program->privacyA();
    for (const Case& c : cases) {
        m.CameraSel[3].click();
        rig.run(0.5);
        m.PrivacyAv.click();
        for (int i = 0; i < 24; ++i) a.Zones[i].setText(i < 4 ? std::to_string(i + 2) : "0");
        std::vector<int> to;  // the camera of each Set packet
        rig.chain.trace = [&](const char* dir, const sim::Bytes& b) {
            if (std::string(dir) == "<-" && b.size() > 3 && b[3] == 0x76) to.push_back(b[0] - 0x80);
        };
        a.SettingMode.click();
        rig.run(1.1);
        ASSERT_EQ(to, (std::vector<int>{3, 3, 3})) << c.how;
        // Selecting the camera already driven changes nothing.
        m.CameraSel[3].click();
        EXPECT_EQ(a.SettingMode.caption(), "ON") << c.how;
        to.clear();
        c.change();
        ASSERT_EQ(rig.link().CamAddress, c.driven) << c.how;
        if (c.atOnce) {
            EXPECT_FALSE(a.Timer2.enabled()) << c.how;
        }
        rig.run(3);
        EXPECT_TRUE(to.empty()) << c.how;
        EXPECT_EQ(a.SettingMode.caption(), "OFF") << c.how;
        EXPECT_FALSE(a.Timer2.enabled()) << c.how;
        EXPECT_EQ(a.LblAutoState.caption(), "Stopped: camera " + std::to_string(c.driven) +
                                                 " is selected now; the automatic Set was for camera 3.")
            << c.how;
        EXPECT_EQ(rig.chain.camera(c.driven - 1).state().zones[0], (std::array<int, 4>{0, 0, 0, 0})) << c.how;
        // Switched on again, it is the new camera's.
        a.SettingMode.click();
        EXPECT_EQ(a.LblAutoState.caption(), "") << c.how;
        rig.run(1.1);
        EXPECT_EQ(to, std::vector<int>(3, c.driven)) << c.how;
        a.unload();
        rig.chain.trace = nullptr;
    }
}

TEST_F(Dialogs, SpotExposureStopsTheRefreshWhileOpen) {
    m.AutoRefreshed.click();
    ASSERT_TRUE(running());
    FrmAES& d = rig.program->frmAES();
    std::vector<std::string> got;
    bool timersOff = false;
    rig.windows.script([&] {
        timersOff = !m.Timer1.enabled() && !m.Timer2.enabled();
        EXPECT_EQ(d.left(), m.left() + 100);
        EXPECT_EQ(d.top(), m.top() + 100);
        const auto mark = rig.mark();
        d.AESpotON.click();
        d.AESpotSet.click();  // 8/8
        d.AESpotPosX.setText("f");
        d.AESpotPosY.setText("0");
        d.AESpotSet.click();
        d.AESpotOFF.click();
        d.AESpotPosY.setText("");
        d.AESpotSet.click();  // refused
        got = sent(mark);
        d.unload();
    });
    m.AESpotMode.click();
    EXPECT_EQ(rig.windows.modalShows, 1);
    EXPECT_TRUE(timersOff);
    EXPECT_EQ(got, (std::vector<std::string>{"83 01 04 59 02 FF", "83 01 04 29 00 08 00 08 FF",
                                             "83 01 04 29 00 0F 00 00 FF", "83 01 04 59 03 FF"}));
    EXPECT_EQ(warnings(), 1u);
    EXPECT_NE(d.AESpot.text().find("83 01 04 29 00 0F 00 00 FF"), std::string::npos);
    EXPECT_EQ(d.SpotGrid.marks(), (std::vector<Picture::Mark>{{15, 0, 1, 1, ""}}));
    rig.run(0.5);
    EXPECT_EQ(rig.chain.camera(2).state().spotX, 0xF);
    EXPECT_FALSE(rig.chain.camera(2).state().spotMetering);
    // Closed: the refresh and the pan-tilt upkeep run again.
    EXPECT_TRUE(running());
    EXPECT_EQ(m.Timer1.interval(), 2000);
    EXPECT_TRUE(m.Timer2.enabled());
}

TEST_F(Dialogs, EffectLevelGivesTheRefreshBack) {
    m.AutoRefreshed.click();
    FrmDeffect& d = rig.program->frmDeffect();
    // OK with 32.
    rig.windows.script([&] {
        EXPECT_FALSE(m.Timer1.enabled());
        EXPECT_EQ(d.left(), m.left() + 500);
        EXPECT_EQ(d.top(), m.top() + 1000);
        d.UpDown1.up();
        EXPECT_EQ(d.DELevel.text(), "1");
        d.DELevel.setText("32");
        d.DELevelOK.click();
    });
    auto mark = rig.mark();
    m.EffectLevel.click();
    EXPECT_EQ(rig.packetsSince(mark, "01"), std::vector<std::string>{"83 01 04 65 20 FF"});
    EXPECT_FALSE(d.visible());
    rig.run(0.2);
    EXPECT_TRUE(running());  // the refresh runs again after OK
    rig.run(2);
    EXPECT_EQ(rig.program->modes.EffectLevel, 32);  // read back

    // Cancel, and levels that are no packet byte refused first: from 128 on
    // a level would pass for a header, 255 for the terminator.
    rig.windows.script([&] {
        for (const char* level : {"128", "255", "300", ""}) {
            d.DELevel.setText(level);
            d.DELevelOK.click();
            EXPECT_TRUE(d.visible()) << level;
        }
        d.DELevel.type("12a");
        EXPECT_EQ(d.DELevel.text(), "12");
        d.DELevelCancel.click();
    });
    mark = rig.mark();
    m.EffectLevel.click();
    EXPECT_TRUE(rig.packetsSince(mark, "01").empty());
    ASSERT_EQ(warnings(), 4u);
    EXPECT_EQ(rig.windows.messages[0].text, "\"Digital Effect Level\" must be a number from 0 to 127.");
    EXPECT_TRUE(running());
    // The largest level that is one.
    rig.windows.script([&] {
        d.DELevel.setText("127");
        d.DELevelOK.click();
    });
    mark = rig.mark();
    m.EffectLevel.click();
    EXPECT_EQ(rig.packetsSince(mark, "01"), std::vector<std::string>{"83 01 04 65 7F FF"});

    // With auto refresh off, closing leaves it off.
    m.AutoRefreshed.click();
    rig.windows.script([&] { d.unload(); });
    m.EffectLevel.click();
    EXPECT_FALSE(m.Timer1.enabled());
}

TEST_F(Dialogs, ServiceSettingsMemoryCommands) {
    m.SettingMenu.click();
    FSet& f = rig.program->fset();
    ASSERT_TRUE(f.visible());
    auto mark = rig.mark();
    f.EPromCmdSens.click();
    f.EPromWriteProtectrelesase.click();
    f.EPromText1.setText("CFC");
    f.EPromCmdRD.click();
    f.EPromText1.setText("123");
    f.EPromText2.setText("a5");
    f.EPromCmdWR.click();
    f.EPromCmdSet.click();
    EXPECT_EQ(sent(mark), (std::vector<std::string>{
                              "83 5E 21 3A 6D FF",
                              "83 01 7F 7F 02 00 0B 05 00 0E FF",
                              "83 09 7F 7F 01 0C 0F 0C FF",
                              "83 01 7F 7F 02 01 02 03 0A 05 FF",
                              "83 01 7F 7F 03 01 02 03 0A 05 FF",
                          }));
    rig.run(0.5);
    // The camera answers the read through the main window's receive path.
    EXPECT_NE(m.RecvText.text().find("B0 50 00 00 FF"), std::string::npos);
    EXPECT_EQ(rig.chain.camera(2).state().memory.at(0x123), 0xA5);
    EXPECT_NE(f.EPSendText.text().find("83 01 7F 7F 03 01 02 03 0A 05 FF"), std::string::npos);
    // Short boxes are refused with a message.
    mark = rig.mark();
    f.EPromText1.setText("12");
    f.EPromCmdRD.click();
    f.EPromText1.setText("123");
    f.EPromText2.setText("5");
    f.EPromCmdWR.click();
    EXPECT_TRUE(sent(mark).empty());
    EXPECT_EQ(warnings(), 2u);
}

TEST_F(Dialogs, LineSpeedChangeAndThePortDialogsNineteenTwoHundred) {
    m.SettingMenu.click();
    FSet& f = rig.program->fset();
    std::vector<std::pair<double, std::string>> log;
    rig.chain.trace = [&](const char* dir, const sim::Bytes& b) {
        if (std::string(dir) == "<-") log.push_back({rig.loop.now(), packetText(b)});
    };
    rig.windows.onMessage = [&](const Message& msg) { log.push_back({rig.loop.now(), "message:" + msg.text}); };
    f.CmdBaudRate[1].click();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].second, "83 5E 21 3A 6D FF");
    EXPECT_EQ(log[1].second, "83 01 7F 7F 02 00 0B 05 00 0E FF");
    EXPECT_EQ(log[2].second, "83 01 7F 7F 02 0C 0F 0C 00 01 FF");
    EXPECT_EQ(log[3].second, "message: Please Turn off the Camera Power and Exit This program.");
    EXPECT_NEAR(log[1].first - log[0].first, 2.0, 1e-6);
    EXPECT_NEAR(log[2].first - log[1].first, 2.0, 1e-6);

    // The camera takes the speed at its next power on; the port dialog offers it.
    rig.run(0.5);
    m.Power.setChecked(true);
    m.Power.click();
    rig.run(0.5);
    m.Power.click();
    rig.run(0.5);
    EXPECT_EQ(rig.chain.baud, 19200);
    Rig next({"ORX-Beta"});
    next.chain.baud = 19200;
    EXPECT_TRUE(next.startUp(0, 2));
    EXPECT_EQ(next.main().Baudratetxt.text(), "19200");
    EXPECT_EQ(next.main().ModelVersion.text(), "ORX-Beta");
    next.main().unload();
    EXPECT_EQ(next.settings.values[std::string(Program::kTitle) + "/Settings/BPS"], "19200");
}

// A write of the line speed change that does not go out ends the change:
// the message says it failed and never asks for the camera's power off.
TEST(LineSpeed, ARefusedWriteSaysTheChangeFailed) {
    for (std::size_t goneOut = 0; goneOut < 3; ++goneOut) {
        Rig rig{{"ORX-Beta"}};
        ASSERT_TRUE(rig.startUp());
        rig.main().SettingMenu.click();
        std::size_t written = 0;
        rig.chain.trace = [&](const char* dir, const sim::Bytes&) {
            if (std::string(dir) == "<-" && ++written == goneOut) rig.port.unplug();
        };
        if (goneOut == 0) rig.port.unplug();
        const auto mark = rig.mark();
        rig.program->fset().CmdBaudRate[2].click();
        EXPECT_EQ(rig.packetsSince(mark).size(), goneOut);
        // The port's own news may come first: the pauses between the steps
        // let the window handle events.
        ASSERT_GE(rig.windows.messages.size(), 1u) << goneOut;
        EXPECT_EQ(rig.windows.messages.back().text,
                  "The line speed was not changed: a command could not be sent to the camera.\r\n"
                  "The camera keeps its speed.");
        EXPECT_EQ(rig.windows.messages.back().icon, MsgIcon::Critical);
    }
}

TEST_F(Dialogs, ModelessDialogsLeaveTheRefreshAlone) {
    m.AutoRefreshed.click();
    for (MenuItem* item : {&m.SettingZones, &m.PrivacyAv, &m.SettingMenu}) {
        item->click();
        EXPECT_TRUE(running()) << item->name();
        EXPECT_TRUE(m.Timer2.enabled());
    }
    for (Form* f : std::vector<Form*>{&rig.program->privacy(), &rig.program->privacyA(), &rig.program->fset()}) {
        EXPECT_TRUE(f->visible()) << f->name();
        f->unload();
        EXPECT_FALSE(f->visible());
    }
    EXPECT_TRUE(running());
    // The main window's closing takes the open dialogs with it.
    m.SettingMenu.click();
    m.unload();
    EXPECT_FALSE(rig.program->fset().visible());
}

// A handler that reads the camera or pauses between packets returns at
// once: the window works meanwhile (a second click opens nothing twice and
// starts no second change), the result lands when the routine ends, and a
// camera chosen meanwhile neither takes over a sequence begun for another
// one nor gets a dialog filled for another one.
TEST_F(Dialogs, ReadingsAndPausesRunBesideTheWindow) {
    Program& p = *rig.program;
    FrmMD& md = p.frmMD();
    Frmmoreinfo& info = p.frmMoreInfo();
    sim::CameraState& cam3 = rig.chain.camera(2).state();
    m.AutoRefreshed.click();  // only the dialogs on the line
    rig.driveToEnd(false);
    std::string levelsAtClick, levelsLater;
    struct Case {
        const char* what;
        std::function<void()> click, meanwhile, script;
        std::vector<std::string> expected;  // the packets sent in all (a retry counted once)...
        std::string body;                   // ...of those whose body begins so
        bool opens;
    };
    const Case cases[] = {
        {"alarm dialog",
         [&] { m.MotionDetecter.click(); },
         [&] { m.MotionDetecter.click(); },
         [&] {
             cam3.dayLevel = 0x123;
             md.cmdLevelInq.click();
             levelsAtClick = md.txtMDdayR.text();
             rig.run(0.5);
             levelsLater = md.txtMDdayR.text();
             md.CmdClose.click();
         },
         {"83 09 04 6B FF"}, "09 04 6B", true},
        {"night power off", [&] { m.NightPowerOff.click(); }, [&] { m.NightPowerOff.click(); },
         [&] { p.frmNightPOff().Cancel.click(); }, {"83 09 04 41 FF"}, "09 04 4", true},
        {"camera information", [&] { info.open(); }, [&] { m.CameraSel[1].click(); info.open(); },
         [&] { info.OKButton.click(); },
         {"83 01 06 22 5C FF", "83 01 06 1A 03 00 FF", "83 01 06 1A 03 01 FF", "83 01 06 1A 02 03 FF",
          "83 01 06 22 12 FF"},
         "01 06", true},
        {"auto power off", [&] { m.AutoPowerOff.click(); }, [&] { m.CameraSel[1].click(); }, nullptr,
         {"83 09 04 40 FF"}, "09 04 4", false},
        {"line speed",
         [&] {
             m.SettingMenu.click();
             p.fset().CmdBaudRate[1].click();
         },
         [&] {
             p.fset().CmdBaudRate[2].click();
             m.CameraSel[1].click();
         },
         nullptr, {"83 01 7F 7F 02 00 0B 05 00 0E FF", "83 01 7F 7F 02 0C 0F 0C 00 01 FF"}, "01 7F", false},
    };
    for (const Case& c : cases) {
        p.alarm = {};
        p.alarm.AlarmActive = true;  // unknown: read before the dialog opens
        cam3 = {};
        cam3.alarmActive = true;
        cam3.alarmMode = 0x0C;
        cam3.dayLevel = 0xABC;
        cam3.nightLevel = 0x100;
        m.CameraSel[3].click();
        ASSERT_TRUE(rig.settle()) << c.what;
        rig.windows.messages.clear();
        if (c.script) rig.windows.script(c.script);
        const int shows = rig.windows.modalShows;
        const double at = rig.loop.now();
        const auto mark = rig.mark();
        c.click();
        c.meanwhile();
        m.AFTrig.click();
        EXPECT_EQ(rig.loop.now(), at) << c.what;
        EXPECT_EQ(rig.packetsSince(mark, "01 04 18").size(), 1u) << c.what;
        EXPECT_EQ(rig.windows.modalShows, shows) << c.what;
        ASSERT_TRUE(rig.settle()) << c.what;
        auto sent = rig.packetsSince(mark, c.body);
        sent.erase(std::unique(sent.begin(), sent.end()), sent.end());
        EXPECT_EQ(sent, c.expected) << c.what;
        EXPECT_EQ(rig.windows.modalShows, shows + (c.opens ? 1 : 0)) << c.what;
        EXPECT_FALSE(cam3.debugMode) << c.what;
        EXPECT_TRUE(m.Timer2.enabled() && !rig.link().RefreshHeld) << c.what;
    }
    EXPECT_EQ(levelsAtClick, "ABC");
    EXPECT_EQ(levelsLater, "123");
    EXPECT_EQ(info.Frame1.caption(), "Camera 3");
    EXPECT_EQ(rig.windows.messages.back().text, " Please Turn off the Camera Power and Exit This program.");
}
