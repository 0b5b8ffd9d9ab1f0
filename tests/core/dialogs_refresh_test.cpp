// The spot exposure, effect level and service dialogs: their packets (typed
// out here), and what opening and closing them does to the main window's
// refresh.
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "dialogs_fixture.h"

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
