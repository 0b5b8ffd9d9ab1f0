// What the main window's commands do to the panel beyond the packet: mode
// groups and their enabling, the Bright entry, focus and digital-zoom modes,
// speed boxes and toggles, against the simulated camera on the virtual clock.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "panel_fixture.h"

TEST_F(Panel, AeModesCheckTheirItemAndEnableWhatTheModeLeavesFree) {
    using M = FrmMain;
    struct Row {
        MenuItem M::*item;
        std::vector<MenuItem M::*> checked;
        bool iris, gain, shutter, bright, backLight, slowShutter;
    };
    const Row rows[] = {
        {&M::FullAuto, {&M::FullAuto}, false, false, false, false, true, true},
        {&M::Manual, {&M::Manual}, true, true, true, false, false, false},
        {&M::ShutterPriority, {&M::ShutterPriority}, false, false, true, false, false, false},
        {&M::IrisPriority, {&M::IrisPriority}, true, false, false, false, false, false},
        {&M::GainPriority, {&M::GainPriority}, false, true, false, false, false, false},
        {&M::Bright, {&M::Bright}, false, false, false, true, false, false},
        {&M::ShutterAuto, {&M::ShutterAuto}, true, true, false, false, false, false},
        {&M::IrisAuto, {&M::IrisAuto}, false, true, true, false, false, false},
        {&M::GainAuto, {&M::GainAuto}, true, false, true, false, false, false},
        {&M::AESpotLight, {&M::FullAuto, &M::AESpotLight}, false, false, false, false, true, false},
    };
    const std::vector<MenuItem M::*> all = {&M::FullAuto, &M::Manual,      &M::ShutterPriority, &M::IrisPriority,
                                            &M::GainPriority, &M::Bright,  &M::ShutterAuto,     &M::IrisAuto,
                                            &M::GainAuto, &M::AESpotLight};
    for (const Row& r : rows) {
        SCOPED_TRACE((m.*r.item).name());
        // Everything checked first, so that clearing shows.
        for (auto it : all) (m.*it).setChecked(true);
        rig.program->modes.LastAEMode = 0x00;
        (m.*r.item).click();
        for (auto it : all) {
            const bool want = std::find(r.checked.begin(), r.checked.end(), it) != r.checked.end();
            EXPECT_EQ((m.*it).checked(), want) << (m.*it).name();
        }
        expectEnabled({&m.IrisOpen, &m.IrisClose, &m.IrisSlider}, r.iris);
        expectEnabled({&m.GainUp, &m.GainDown, &m.GainSlider}, r.gain);
        expectEnabled({&m.ShutterFast, &m.ShutterSlow, &m.ShutterSlider}, r.shutter);
        expectEnabled({&m.BrightUp, &m.BrightDown, &m.BrightSlider}, r.bright);
        EXPECT_EQ(m.BackLight.enabled(), r.backLight);
        EXPECT_EQ(m.AutoSlowShutter.enabled(), r.slowShutter);
    }
}

TEST_F(Panel, BrightGoesThroughFullAutoWithASecondBetween) {
    std::vector<std::pair<double, std::string>> log;
    rig.chain.trace = [&](const char* dir, const sim::Bytes& b) {
        if (std::string(dir) == "<-") log.push_back({rig.loop.now(), packetText(b)});
    };
    // Already in Bright: nothing at all.
    rig.program->modes.LastAEMode = 0x0D;
    m.Manual.setChecked(true);
    m.Bright.click();
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(m.Manual.checked());

    // From Manual: Full Auto, one second, Bright.
    rig.program->modes.LastAEMode = 0x03;
    m.Bright.click();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].second, "81 01 04 39 00 FF");
    EXPECT_EQ(log[1].second, "81 01 04 39 0D FF");
    EXPECT_NEAR(log[1].first - log[0].first, 1.0, 1e-3);
    EXPECT_TRUE(m.Bright.checked());
    EXPECT_FALSE(m.Manual.checked());
    EXPECT_TRUE(m.BrightSlider.enabled());

    // From Full Auto or Shutter Priority: straight to Bright.
    for (int from : {0x00, 0x0A}) {
        rig.run(0.1);  // the camera completes what came before
        log.clear();
        rig.program->modes.LastAEMode = from;
        m.Bright.click();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].second, "81 01 04 39 0D FF");
    }
    rig.run(0.5);
    m.RefreshOnce.click();
    EXPECT_EQ(rig.program->modes.LastAEMode, 0x0D);
}

TEST_F(Panel, ShutterSlowStepsTheDisplayOnlyOnFourModels) {
    auto step = [&](const char* model, int position) {
        m.ModelVersion.setText(model);
        rig.program->modes.VideoSysCode = 0;
        m.ShutterSlider.setValue(position);
        m.ShutterValue.setText("before");
        m.ShutterSlow.click();
    };
    step("KBM-R06", 8);
    EXPECT_EQ(m.ShutterSlider.value(), 7);
    EXPECT_EQ(m.ShutterValue.text(), rig.program->labels.shutter(0, 7));
    step("KBM-R06", 7);
    EXPECT_EQ(m.ShutterSlider.value(), 7);
    EXPECT_EQ(m.ShutterValue.text(), "before");
    step("KBM-R05", 12);
    EXPECT_EQ(m.ShutterSlider.value(), 12);
    step("KBM-R11", 12);
    EXPECT_EQ(m.ShutterSlider.value(), 11);
}

TEST_F(Panel, ExposureCompensationSwitchAndLimitMenus) {
    m.ExpCompSlider.setEnabled(false);
    m.ExpComp.setValue(0);
    m.ExpComp.click();
    EXPECT_TRUE(m.ExpCompUp.enabled());
    EXPECT_TRUE(m.ExpCompDown.enabled());
    EXPECT_FALSE(m.ExpCompSlider.enabled());  // checking does not free the slider
    m.ExpCompSlider.setEnabled(true);
    m.ExpComp.click();
    EXPECT_FALSE(m.ExpCompUp.enabled());
    EXPECT_FALSE(m.ExpCompDown.enabled());
    EXPECT_FALSE(m.ExpCompSlider.enabled());

    // Limits clear the others' marks; their own comes from the camera.
    for (MenuItem* it : {&m.ASSL0, &m.ASSL2, &m.DZL0, &m.DZL3, &m.State3, &m.DsubVD}) it->setChecked(true);
    m.ASSL1.click();
    EXPECT_FALSE(m.ASSL0.checked());
    EXPECT_FALSE(m.ASSL1.checked());
    EXPECT_FALSE(m.ASSL2.checked());
    m.DZL3.click();
    EXPECT_FALSE(m.DZL0.checked());
    EXPECT_TRUE(m.DZL3.checked());
    m.DsubVD.click();
    EXPECT_FALSE(m.State3.checked());
    EXPECT_TRUE(m.DsubVD.checked());
}

TEST_F(Panel, WhiteBalanceModesEnableTheManualGainsOrTheTrigger) {
    const std::vector<MenuItem*> modes = {&m.ATWPro, &m.InDoor, &m.OutDoor, &m.OnePushWB, &m.ATW, &m.ManualWB};
    for (MenuItem* mode : modes) {
        SCOPED_TRACE(mode->name());
        for (MenuItem* it : modes) it->setChecked(true);
        mode->click();
        for (MenuItem* it : modes) EXPECT_EQ(it->checked(), it == mode) << it->name();
        expectEnabled({&m.RGainUp, &m.RGainDown, &m.BGainUp, &m.BGainDown, &m.RGainSlider, &m.BGainSlider,
                       &m.RBReset},
                      mode == &m.ManualWB);
        EXPECT_EQ(m.WBTrigger.enabled(), mode == &m.OnePushWB);
    }
}

TEST_F(Panel, EffectMenusAreExclusiveGroups) {
    const std::vector<MenuItem*> picture = {&m.PEOff, &m.Pastel, &m.NegArt, &m.Sepia, &m.BlackWhite,
                                            &m.Solarize, &m.Mosaic, &m.Slim, &m.Stretch};
    for (MenuItem* it : picture) it->setChecked(true);
    m.PEOff.click();
    for (MenuItem* it : picture) EXPECT_EQ(it->checked(), it == &m.PEOff) << it->name();
    m.Trail.click();
    EXPECT_TRUE(m.Trail.checked());
    m.Still.click();
    EXPECT_FALSE(m.Trail.checked());
    EXPECT_TRUE(m.Still.checked());
    // And the camera agrees at the next read.
    rig.run(0.5);
    m.RefreshOnce.click();
    EXPECT_TRUE(m.PEOff.checked());
    EXPECT_TRUE(m.Still.checked());
    EXPECT_EQ(rig.chain.camera(0).state().digitalEffect, 1);
}

TEST_F(Panel, FocusModesFollowTheirTable) {
    struct Want {
        bool nearFar, speeds, slider, afTrig;
        bool mode[4];
        bool manual, infinity;
    };
    auto check = [&](const Want& w) {
        expectEnabled({&m.Near, &m.Far}, w.nearFar);
        expectEnabled({&m.NearSpeed, &m.FarSpeed, &m.UpDown3, &m.UpDown4}, w.speeds);
        EXPECT_EQ(m.FocusSlider.enabled(), w.slider);
        EXPECT_EQ(m.AFTrig.enabled(), w.afTrig);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(m.AFModeCmd[i].enabled(), w.mode[i]) << i;
        EXPECT_EQ(m.ManAFMode.enabled(), w.manual);
        EXPECT_EQ(m.Infinity.enabled(), w.infinity);
    };
    m.ManAFMode.click();
    check({true, true, true, true, {true, false, false, false}, false, true});
    m.AFModeCmd[2].click();  // Interval AF, as an earlier choice
    EXPECT_EQ(rig.program->modes.AFSubMode, 1);
    check({false, false, false, false, {false, true, false, true}, false, true});
    m.AFModeCmd[0].click();  // Auto: the sub-mode in force stays unavailable
    check({false, false, false, false, {false, true, false, true}, true, false});
    m.AFModeCmd[1].click();
    EXPECT_EQ(rig.program->modes.AFSubMode, 0);
    check({false, false, false, false, {false, false, true, true}, true, false});
    m.AFModeCmd[3].click();
    EXPECT_EQ(rig.program->modes.AFSubMode, 2);
    check({false, false, false, false, {false, true, true, false}, true, false});
    m.ACTAFmodeset.click();
    check({false, false, false, false, {true, true, true, true}, true, false});

    // ORX-Alpha drives focus at its fixed speed: manual focus leaves the speeds off.
    rig.identifyDrivenAs(PanTiltModel::Alpha);
    m.ManAFMode.click();
    check({true, false, true, true, {true, false, false, false}, false, true});
}

TEST_F(Panel, DigitalZoomSwitchAndModes) {
    m.DZoom.setValue(0);
    m.DZoom.click();
    EXPECT_TRUE(m.ZoomSlider.visible() && m.ZoomSlider.enabled());
    EXPECT_FALSE(m.ZoomSliderShort.visible() || m.ZoomSliderShort.enabled());
    m.DZoom.click();
    EXPECT_FALSE(m.ZoomSlider.visible() || m.ZoomSlider.enabled());
    EXPECT_TRUE(m.ZoomSliderShort.visible() && m.ZoomSliderShort.enabled());

    m.DZoom.click();  // on again: the long slider
    ASSERT_TRUE(m.ZoomSlider.visible());
    m.DZoomMode[1].click();  // separate
    expectEnabled({&m.DZoomTele, &m.DZoomWide, &m.DZoomX, &m.DZoomMode[0]}, true);
    EXPECT_FALSE(m.DZoomMode[1].enabled());
    EXPECT_FALSE(m.DZoom.enabled());
    EXPECT_FALSE(m.ZoomSlider.visible());
    EXPECT_TRUE(m.ZoomSliderShort.visible() && m.ZoomSliderShort.enabled());
    m.DZoomMode[0].click();  // combine
    expectEnabled({&m.DZoomTele, &m.DZoomWide, &m.DZoomX, &m.DZoomMode[0]}, false);
    EXPECT_TRUE(m.DZoomMode[1].enabled());
    EXPECT_TRUE(m.DZoom.enabled());
}

TEST_F(Panel, FocusNeverShowsBeyondTheNearLimit) {
    m.FocusNearLimitSlider.setValue(0x8000);
    const auto mark = rig.mark();
    m.FocusSlider.setValue(0xA000);  // as a status read sets it
    EXPECT_EQ(m.FocusSlider.value(), 0x8000);
    EXPECT_TRUE(rig.packetsSince(mark).empty());
    m.FocusSlider.scrollTo(0xB000);  // dragged past it: the limit is what goes out
    EXPECT_EQ(sent(mark), std::vector<std::string>{"81 01 04 48 08 00 00 00 FF"});
}

TEST_F(Panel, SpeedBoxesNeverPutMoreThanSevenOnTheWire) {
    const std::pair<const char*, const char*> speeds[] = {
        {"9", "81 01 04 07 27 FF"},        {"5x", "81 01 04 07 25 FF"},  {"", "81 01 04 07 20 FF"},
        {"abc", "81 01 04 07 20 FF"},      {"-3", "81 01 04 07 20 FF"},  {" 2", "81 01 04 07 22 FF"},
        {"99999999999999999999", "81 01 04 07 27 FF"},
    };
    for (auto [text, packet] : speeds) {
        m.TeleSpeed.setText(text);
        const auto mark = rig.mark();
        m.ZoomTele.mouseDown();
        EXPECT_EQ(sent(mark), std::vector<std::string>{packet}) << '"' << text << '"';
        m.ZoomTele.mouseUp();
        rig.run(0.1);
    }
}

TEST_F(Panel, AfTimeBoxesTakeTwoHexDigitsTypedOrPasted) {
    m.AFacttime.setText("");
    m.AFacttime.type("1g-a7");
    EXPECT_EQ(m.AFacttime.text(), "1A");
    m.AFintTime.setText("x b 9 c");  // pasted
    EXPECT_EQ(m.AFintTime.text(), "B9");
    const auto mark = rig.mark();
    m.ACTAFmodeset.click();
    EXPECT_EQ(sent(mark), std::vector<std::string>{"81 01 04 27 01 0A 0B 09 FF"});
    rig.run(0.5);
    EXPECT_EQ(rig.chain.camera(0).state().afActiveTime, 0x1A);
    EXPECT_EQ(rig.chain.camera(0).state().afIntervalTime, 0xB9);
}

TEST_F(Panel, TogglesClickedTwiceComeBack) {
    for (MenuItem* it : {&m.KeyLock, &m.Mute, &m.Freese, &m.LR_Reverse, &m.PictureFlip, &m.DataScreen,
                         &m.DateDisplay, &m.TimeDisplay}) {
        const bool was = it->checked();
        it->click();
        EXPECT_NE(it->checked(), was) << it->name();
        it->click();
        EXPECT_EQ(it->checked(), was) << it->name();
    }
    const std::pair<Button*, std::vector<std::string>> captions[] = {
        {&m.CmdAutoICR, {"OFF", "ON", "OFF"}},
        {&m.Comstabi, {"ON", "OFF", "ON"}},
        {&m.VP0180, {"0 degree", "180 degree", "0 degree"}},
        {&m.DZoomX, {"X1", "MAX", "X1"}},
    };
    for (const auto& [b, seq] : captions) {
        b->setCaption(seq[0]);
        b->click();
        EXPECT_EQ(b->caption(), seq[1]);
        b->click();
        EXPECT_EQ(b->caption(), seq[2]);
    }
    rig.run(1.0);  // the camera completes the clicks above, two at a time
    const auto mark = rig.mark();
    m.VP0180.click();
    m.VP0180.click();
    EXPECT_EQ(sent(mark), (std::vector<std::string>{"81 01 04 25 00 FF", "81 01 04 25 01 FF"}));

    // Sync marks itself; Normal marks itself and leaves the wide items.
    m.LineLock.click();
    EXPECT_TRUE(m.LineLock.checked());
    EXPECT_FALSE(m.Internal.checked());
    m.Internal.click();
    EXPECT_TRUE(m.Internal.checked());
    EXPECT_FALSE(m.LineLock.checked());
    m.Wide16.setChecked(true);
    m.Normal.click();
    EXPECT_TRUE(m.Normal.checked());
    EXPECT_TRUE(m.Wide16.checked());
    // The camera menu's off item disables itself.
    m.MenuOff.setEnabled(true);
    m.MenuOff.click();
    EXPECT_FALSE(m.MenuOff.enabled());
}
