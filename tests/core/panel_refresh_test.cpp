// What the main window's commands do to the refresh and the presets: the
// refresh hold, slider releases, presets one at a time, power, and the
// pan-tilt model's own rules, against the simulated camera on the virtual
// clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panel_fixture.h"

TEST_F(Panel, HoldGivesExactlyOneStatusReadAfterTheCompletion) {
    ASSERT_EQ(m.AutoRefreshed.caption(), "Stop");
    const auto mark = rig.mark();
    m.Manual.click();
    EXPECT_TRUE(rig.link().RefreshRestart);
    rig.run(1.9);
    EXPECT_EQ(reads(mark), 0);
    rig.run(0.3);
    EXPECT_EQ(reads(mark), 1);
    EXPECT_FALSE(rig.link().RefreshRestart);
    rig.run(10);
    EXPECT_EQ(reads(mark), 1);
    EXPECT_TRUE(m.Manual.checked());
    EXPECT_EQ(rig.program->modes.LastAEMode, 0x03);

    // A command without hold asks for nothing.
    const auto mark2 = rig.mark();
    m.IrisOpen.click();
    rig.run(10);
    EXPECT_EQ(reads(mark2), 0);

    // With auto refresh on, the hold leaves the timer to the pause of the send.
    m.AutoRefreshed.click();
    m.Timer1.setInterval(2000);
    m.ManualWB.click();
    EXPECT_FALSE(rig.link().RefreshRestart);
    EXPECT_EQ(m.Timer1.interval(), 2000);
    rig.run(0.2);
    EXPECT_TRUE(autoRunning());
}

TEST_F(Panel, SliderReleaseGivesTheRefreshBack) {
    m.AutoRefreshed.click();
    ASSERT_TRUE(autoRunning());
    // Pressed and released without moving: nothing sent, the refresh runs again.
    const auto mark = rig.mark();
    m.IrisSlider.mouseDown();
    EXPECT_FALSE(m.Timer1.enabled());
    m.IrisSlider.mouseUp();
    EXPECT_TRUE(autoRunning());
    EXPECT_TRUE(sent(mark).empty());
    rig.run(4.1);
    EXPECT_EQ(reads(mark), 2);

    // Released while a command holds the refresh paused: the completion resumes it.
    rig.chain.faults.replyDelay = 0.5;
    rig.chain.camera(0).state().aeMode = 0x03;  // manual exposure: the gain is the operator's
    m.GainSlider.mouseDown();
    m.GainSlider.scrollTo(5);
    m.GainSlider.mouseUp();
    EXPECT_FALSE(m.Timer1.enabled());
    EXPECT_FALSE(m.AutoRefreshed.enabled());
    rig.run(0.7);
    EXPECT_TRUE(autoRunning());
    EXPECT_EQ(rig.chain.camera(0).state().gain, 5);

    // With auto refresh off the release leaves it off.
    m.AutoRefreshed.click();
    m.ZoomSliderShort.mouseDown();
    m.ZoomSliderShort.mouseUp();
    EXPECT_FALSE(m.Timer1.enabled());
}

TEST_F(Panel, PresetsOneAtATime) {
    rig.chain.faults.replyDelay = 0.5;
    const auto mark = rig.mark();
    m.PresetSet[2].click();
    m.PresetRecall[4].click();
    EXPECT_EQ(sent(mark), std::vector<std::string>{"81 01 04 3F 01 02 FF"});
    EXPECT_FALSE(m.PresetRecall[4].value());
    EXPECT_TRUE(rig.link().PresetBusy);
    EXPECT_EQ(rig.link().PresetOp, 0);
    EXPECT_EQ(rig.link().PresetNo, 2);
    EXPECT_TRUE(m.Timer3.enabled());
    // The acknowledge and completion end it and skip the next two reads.
    rig.run(1.0);
    EXPECT_FALSE(rig.link().PresetBusy);
    EXPECT_EQ(rig.link().RefreshSkipCount, 2);
    EXPECT_TRUE(rig.chain.camera(0).state().presets[2].set);

    // A recall goes out and asks for one read after it.
    rig.linkControl().skipRefreshes(0);
    m.PresetRecall[2].click();
    EXPECT_TRUE(m.PresetRecall[2].value());
    EXPECT_TRUE(rig.link().RefreshRestart);
    rig.run(1.0);
    EXPECT_FALSE(m.PresetRecall[2].value());
}

TEST_F(Panel, PresetWithoutACompletionIsClearedByTheWatchdog) {
    // Auto refresh on or off, the watchdog ends a preset the camera never completes.
    for (bool autoOn : {false, true}) {
        SCOPED_TRACE(autoOn);
        if (m.autoCaption() != autoOn) m.AutoRefreshed.click();
        rig.chain.faults.silent = true;
        m.PresetReset[1].click();
        EXPECT_TRUE(rig.link().PresetBusy);
        EXPECT_TRUE(m.Timer3.enabled());
        EXPECT_EQ(m.Timer3.interval(), 6000);
        rig.run(5.9);
        EXPECT_TRUE(rig.link().PresetBusy);
        rig.run(0.2);
        EXPECT_FALSE(rig.link().PresetBusy);
        EXPECT_FALSE(m.PresetReset[1].value());
        rig.chain.faults.silent = false;
        const auto mark = rig.mark();
        if (!autoOn) m.RefreshOnce.click();
        rig.run(2.1);
        EXPECT_GT(reads(mark), 0);
    }
}

TEST_F(Panel, PresetRefusedByTheLineLeavesNothingPending) {
    rig.port.unplug();
    m.PresetSet[0].click();
    EXPECT_FALSE(rig.link().SendOK);
    EXPECT_FALSE(rig.link().PresetBusy);
    EXPECT_FALSE(m.PresetSet[0].value());
    // Status reads are not held back for good.
    rig.port.plugBackIn();
    m.IFClearB.click();
    const auto mark = rig.mark();
    m.RefreshOnce.click();
    EXPECT_GT(reads(mark), 0);
}

TEST_F(Panel, MemoryGridRecallShowsTheRecalledSettingsAtOnce) {
    auto& cam = rig.chain.camera(0).state();
    m.Manual.click();
    rig.run(0.5);
    m.SetOption[3].click();  // stores zoom, focus, AE and WB
    rig.run(0.5);
    m.FullAuto.click();
    rig.run(0.5);
    ASSERT_EQ(cam.aeMode, 0x00);
    m.RecallOption[3].click();
    EXPECT_EQ(cam.aeMode, 0x03);
    EXPECT_TRUE(m.Manual.checked());
    EXPECT_TRUE(m.RecallOption[3].value());
}

TEST_F(Panel, PowerOnPausesTheRefreshPerModel) {
    struct Expect {
        PanTiltModel model;
        int interval, skips;
    };
    for (const Expect& e : {Expect{PanTiltModel::Beta, 6000, 3}, Expect{PanTiltModel::Kappa, 7000, 4},
                            Expect{PanTiltModel::None, 2000, 1}, Expect{PanTiltModel::Gamma, 2000, 1}}) {
        SCOPED_TRACE(static_cast<int>(e.model));
        rig.link().ModelCode = e.model;
        // Auto refresh off: a later single read.
        if (m.autoCaption()) m.AutoRefreshed.click();
        m.AutoRefreshed.setEnabled(true);
        m.Power.setChecked(false);
        rig.program->model.VersionRead = true;
        const auto mark = rig.mark();
        m.Power.click();
        EXPECT_EQ(sent(mark), std::vector<std::string>{"81 01 04 00 02 FF"});
        EXPECT_TRUE(m.Power.checked());
        EXPECT_FALSE(rig.program->model.VersionRead);
        EXPECT_EQ(m.Timer1.interval(), e.interval);
        EXPECT_TRUE(rig.link().RefreshRestart);
        m.refresh().readStarts();  // the single read it owes begins
        rig.run(0.2);

        // Auto refresh on: the next reads are skipped.
        m.AutoRefreshed.click();
        m.Power.setChecked(false);
        m.Power.click();
        EXPECT_FALSE(m.AutoRefreshed.enabled());
        EXPECT_FALSE(m.Timer1.enabled());
        EXPECT_EQ(rig.link().RefreshSkipCount, e.skips);
        EXPECT_EQ(m.Timer1.interval(), 2000);
        rig.linkControl().skipRefreshes(0);
        rig.run(0.2);
    }
    // Power off: the mark goes, nothing else changes.
    m.Power.setChecked(true);
    const auto mark = rig.mark();
    m.Power.click();
    EXPECT_EQ(sent(mark), std::vector<std::string>{"81 01 04 00 03 FF"});
    EXPECT_FALSE(m.Power.checked());
}

TEST_F(Panel, PowerOffAndOnThroughTheCamera) {
    auto& cam = rig.chain.camera(0).state();
    m.Power.setChecked(true);
    m.Power.click();
    rig.run(0.5);
    EXPECT_FALSE(cam.power);
    m.RefreshOnce.click();
    EXPECT_FALSE(m.Power.checked());
    m.Power.click();
    EXPECT_TRUE(m.Power.checked());
    rig.run(0.1);
    EXPECT_TRUE(cam.power);
    // One read two seconds after the completion identifies the camera again.
    rig.run(2.1);
    EXPECT_TRUE(rig.program->model.VersionRead);
    EXPECT_EQ(m.ModelVersion.text(), "KBM-R05");
}

TEST_F(KappaPanel, OnePushTriggerFollowsTheShutter) {
    m.OnePushWB.click();
    rig.run(0.5);
    // Shutter below 1/8: nothing goes out.
    rig.program->modes.KappaShutterPos = 3;
    auto mark = rig.mark();
    m.WBTrigger.click();
    EXPECT_TRUE(rig.packetsSince(mark).empty());
    EXPECT_FALSE(rig.link().WBWait);

    // Position 5: an 18-second watchdog and two reads skipped.
    m.AutoRefreshed.click();
    rig.program->modes.KappaShutterPos = 5;
    mark = rig.mark();
    m.WBTrigger.click();
    EXPECT_EQ(sent(mark), std::vector<std::string>{"81 01 04 10 05 FF"});
    EXPECT_TRUE(rig.link().WBWait);
    EXPECT_TRUE(m.Timer3.enabled());
    EXPECT_EQ(m.Timer3.interval(), 18000);
    EXPECT_EQ(rig.link().RefreshSkipCount, 2);
    rig.run(0.5);
    EXPECT_FALSE(rig.link().WBWait);
    rig.run(18);
    EXPECT_EQ(m.Timer3.interval(), 6000);

    // Position 6: skips, the watchdog as the send left it.
    m.AutoRefreshed.click();
    rig.linkControl().skipRefreshes(0);
    rig.program->modes.KappaShutterPos = 6;
    m.WBTrigger.click();
    EXPECT_EQ(rig.link().RefreshSkipCount, 2);
    EXPECT_FALSE(m.Timer3.enabled());
    EXPECT_TRUE(rig.link().WBWait);
    EXPECT_TRUE(rig.link().RefreshRestart);
}

TEST_F(KappaPanel, AutoFocusHoldsThePresetsBackWhileItSwitches) {
    bool presetsDuringSend = true;
    rig.chain.trace = [&](const char* dir, const sim::Bytes& b) {
        if (std::string(dir) == "<-" && b.size() > 3 && b[3] == 0x38) presetsDuringSend = m.FmPreset.enabled();
    };
    rig.program->modes.MenuMode = false;
    m.FmPreset.setEnabled(true);
    m.AFModeCmd[0].click();
    EXPECT_FALSE(presetsDuringSend);
    EXPECT_TRUE(m.FmPreset.enabled());
}

TEST_F(Panel, TheNextStatusReadShowsWhatTheCameraDid) {
    m.BackLight.setValue(0);
    m.BackLight.click();
    m.OutDoor.click();
    m.Manual.click();
    m.IrisSlider.scrollTo(3);
    m.ApertureUp.click();
    m.DZoom.setValue(0);
    m.DZoom.click();
    m.ZoomSlider.scrollTo(0x3000);
    m.AF_Sens.setValue(0);
    m.AF_Sens.click();
    m.ManAFMode.click();
    m.FocusSlider.scrollTo(0x5000);
    m.KeyLock.click();
    m.LR_Reverse.click();
    m.Freese.click();
    m.DataScreen.click();
    m.Mosaic.click();
    m.CmdAutoICR.setCaption("OFF");
    m.CmdAutoICR.click();
    rig.run(1);
    // The panel forgets what it showed; the camera's answer puts it back.
    m.BackLight.setValue(0);
    m.OutDoor.setChecked(false);
    m.ZoomValue.setText("");
    m.CmdAutoICR.setCaption("OFF");
    for (MenuItem* it : {&m.KeyLock, &m.LR_Reverse, &m.Freese, &m.DataScreen, &m.Mosaic}) it->setChecked(false);
    m.RefreshOnce.click();
    EXPECT_TRUE(m.BackLight.checked());
    EXPECT_TRUE(m.OutDoor.checked());
    EXPECT_TRUE(m.Manual.checked());
    EXPECT_EQ(m.IrisSlider.value(), 3);
    EXPECT_EQ(m.ApertureSlider.value(), 6);
    EXPECT_TRUE(m.DZoom.checked());
    EXPECT_EQ(m.ZoomValue.text(), "0x3000");
    EXPECT_TRUE(m.AF_Sens.checked());
    EXPECT_EQ(m.LblFstate.caption(), "Manual");
    EXPECT_EQ(m.FocusValue.text(), "0x5000");
    for (MenuItem* it : {&m.KeyLock, &m.LR_Reverse, &m.Freese, &m.DataScreen, &m.Mosaic})
        EXPECT_TRUE(it->checked()) << it->name();
    EXPECT_EQ(m.CmdAutoICR.caption(), "ON");
}
