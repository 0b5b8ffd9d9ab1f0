// The privacy dialogs and the shared send routine: their packets (typed
// out here), refused input, and the resend of the privacy switches.
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "dialogs_fixture.h"

TEST_F(Dialogs, SendRoutineLogsBoundedAndSetsTheLinkByMode) {
    TextBox& log = rig.program->privacy().PrivacySetTxt;
    const Bytes packet{0x83, 0x01, 0x04, 0x7C, 0x02, 0xFF};
    rig.linkControl().echoOff();
    EXPECT_EQ(dialogs::DialogSD(rig.program->context(), packet, 2, {&log}), "OK");
    EXPECT_TRUE(rig.link().EchoSent);
    EXPECT_EQ(log.text(), "83 01 04 7C 02 FF \r\n");
    dialogs::DialogSD(rig.program->context(), packet, 1, {&log});
    for (int i = 0; i < 100; ++i) dialogs::DialogSD(rig.program->context(), packet, 1, {&log});
    EXPECT_EQ(log.text().size(), 1000u);
    EXPECT_EQ(log.selStart(), 1000u);
    EXPECT_EQ(log.text().substr(log.text().size() - 20), "83 01 04 7C 02 FF \r\n");
    // Echo off: written, not logged; a dialog that leaves the link alone leaves it so.
    rig.linkControl().echoOff();
    log.setText("");
    const auto mark = rig.mark();
    dialogs::DialogSD(rig.program->context(), packet, 1, {&log, false});
    EXPECT_EQ(log.text(), "");
    EXPECT_FALSE(rig.link().EchoSent);
    EXPECT_EQ(sent(mark).size(), 1u);
    // A refused write says so.
    rig.port.unplug();
    EXPECT_EQ(dialogs::DialogSD(rig.program->context(), packet, 1, {&log}), "NG");
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
