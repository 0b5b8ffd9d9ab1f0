// Decoding: from the simulated camera's state to the panel's controls.
#include <gtest/gtest.h>

#include "pantilt/frm_pantilt.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

struct DecodeTest : ::testing::Test {
    std::unique_ptr<Rig> rig;
    sim::CameraState* cam = nullptr;
    FrmMain* m = nullptr;
    void start(const char* model) {
        rig = std::make_unique<Rig>(std::vector<std::string>{model});
        cam = &rig->chain.camera(0).state();
        ASSERT_TRUE(rig->startUp());
        m = &rig->main();
    }
    void read() { rig->readStatus(); }
};

}  // namespace

TEST_F(DecodeTest, LensBlockFieldsReachTheirControls) {
    start("ORX-Beta");
    cam->zoom = 0x3AF;
    cam->focus = 0x2345;
    cam->focusNearLimit = 0xA000;
    cam->focusAuto = false;
    cam->afSensOn = true;
    cam->afMode = 1;
    read();
    EXPECT_EQ(m->ZoomSlider.value(), 0x3AF);
    EXPECT_EQ(m->ZoomSliderShort.value(), 0x3AF);
    EXPECT_EQ(m->ZoomValue.text(), "0x3AF");
    EXPECT_EQ(m->FocusNearLimitSlider.value(), 0xA000);
    EXPECT_EQ(m->FocusValue.text(), "0x2345");
    EXPECT_EQ(m->LblFstate.caption(), "Manual");
    EXPECT_TRUE(m->Near.enabled());
    EXPECT_TRUE(m->AFModeCmd[0].enabled());
    EXPECT_FALSE(m->ManAFMode.enabled());
    EXPECT_TRUE(m->AF_Sens.checked());
    EXPECT_EQ(rig->program->modes.AFSubMode, 1);
    EXPECT_FALSE(m->AFModeCmd[2].enabled());  // the sub-mode in force
    EXPECT_TRUE(m->AFModeCmd[1].enabled());

    // While the zoom moves its position is left alone; the focus still updates.
    cam->zoomMoving = true;
    cam->zoom = 0x1000;
    cam->focus = 0x3000;
    cam->focusAuto = true;
    read();
    EXPECT_EQ(m->ZoomValue.text(), "0x3AF");
    EXPECT_EQ(m->FocusValue.text(), "0x3000");
    EXPECT_EQ(m->LblFstate.caption(), "Auto");
    EXPECT_FALSE(m->Near.enabled());
    EXPECT_TRUE(m->ManAFMode.enabled());
}

TEST_F(DecodeTest, DigitalZoomModesSwitchTheZoomSliders) {
    start("ORX-Beta");
    cam->dzoomSeparate = true;
    read();
    EXPECT_TRUE(m->DZoomTele.enabled());
    EXPECT_FALSE(m->DZoomMode[1].enabled());
    EXPECT_FALSE(m->ZoomSlider.visible());
    EXPECT_TRUE(m->ZoomSliderShort.visible());
    EXPECT_FALSE(m->DZoom.enabled());
    cam->dzoomSeparate = false;
    cam->dzoomOn = true;
    read();
    EXPECT_TRUE(m->DZoom.checked());
    EXPECT_TRUE(m->ZoomSlider.visible());
    EXPECT_TRUE(m->ZoomSlider.enabled());
    EXPECT_FALSE(m->ZoomSliderShort.visible());
    EXPECT_FALSE(m->DZoomTele.enabled());
}

TEST_F(DecodeTest, WhiteBalanceModesCheckOneItemAndSetTheManualControls) {
    start("ORX-Beta");
    struct Case {
        int mode;
        MenuItem* item;
    };
    const std::vector<Case> cases = {{0, &m->ATWPro}, {1, &m->InDoor},    {2, &m->OutDoor},
                                     {3, &m->OnePushWB}, {4, &m->ATW}, {5, &m->ManualWB}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        cam->wbMode = c.mode;
        read();
        for (const Case& o : cases) EXPECT_EQ(o.item->checked(), o.mode == c.mode);
        for (Control* ctl : std::initializer_list<Control*>{&m->RGainUp, &m->BGainUp, &m->RGainDown, &m->BGainDown,
                                                            &m->RGainSlider, &m->BGainSlider, &m->RBReset})
            EXPECT_EQ(ctl->enabled(), c.mode == 5) << ctl->objectName();
        EXPECT_EQ(m->WBTrigger.enabled(), c.mode == 3);
    }
}

TEST_F(DecodeTest, ExposureModesFollowTheEnablingTable) {
    start("ORX-Gamma");
    struct Case {
        int mode;
        MenuItem* item;
        bool iris, gain, shutter, bright, backLight, slow;
    };
    const std::vector<Case> cases = {
        {0x00, &m->FullAuto, false, false, false, false, true, true},
        {0x03, &m->Manual, true, true, true, false, false, false},
        {0x0A, &m->ShutterPriority, false, false, true, false, false, false},
        {0x0B, &m->IrisPriority, true, false, false, false, false, false},
        {0x0C, &m->GainPriority, false, true, false, false, false, false},
        {0x0D, &m->Bright, false, false, false, true, false, false},
        {0x1A, &m->ShutterAuto, true, true, false, false, false, false},
        {0x1B, &m->IrisAuto, false, true, true, false, false, false},
        {0x1C, &m->GainAuto, true, false, true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        cam->aeMode = c.mode;
        read();
        for (const Case& o : cases) EXPECT_EQ(o.item->checked(), o.mode == c.mode);
        for (Control* ctl : {(Control*)&m->IrisClose, (Control*)&m->IrisOpen, (Control*)&m->IrisSlider})
            EXPECT_EQ(ctl->enabled(), c.iris);
        for (Control* ctl : {(Control*)&m->GainDown, (Control*)&m->GainUp, (Control*)&m->GainSlider})
            EXPECT_EQ(ctl->enabled(), c.gain);
        for (Control* ctl : {(Control*)&m->ShutterSlow, (Control*)&m->ShutterFast, (Control*)&m->ShutterSlider})
            EXPECT_EQ(ctl->enabled(), c.shutter);
        for (Control* ctl : {(Control*)&m->BrightDown, (Control*)&m->BrightUp, (Control*)&m->BrightSlider})
            EXPECT_EQ(ctl->enabled(), c.bright);
        EXPECT_EQ(m->BackLight.enabled(), c.backLight);
        EXPECT_EQ(m->AutoSlowShutter.enabled(), c.slow);
    }
    // An unknown mode checks nothing and leaves the enabling.
    cam->aeMode = 0x10;
    read();
    for (const Case& o : cases) EXPECT_FALSE(o.item->checked());
    EXPECT_TRUE(m->IrisSlider.enabled());
}

TEST_F(DecodeTest, SameModeDoesNotUndoWhatAHandlerDisabled) {
    start("ORX-Beta");
    cam->aeMode = 0x03;
    read();
    ASSERT_TRUE(m->IrisOpen.enabled());
    m->IrisOpen.setEnabled(false);
    read();
    EXPECT_FALSE(m->IrisOpen.enabled());
    cam->wbMode = 2;
    read();
    cam->wbMode = 1;
    read();
    EXPECT_TRUE(m->InDoor.checked());
    EXPECT_FALSE(m->OutDoor.checked());
}

TEST_F(DecodeTest, CameraBlockValuesAndLabels) {
    start("ORX-Gamma");
    cam->rGain = 0xA5;
    cam->bGain = 0x0F;
    cam->aperture = 9;
    cam->shutter = 5;
    cam->iris = 16;
    cam->gain = 7;
    cam->bright = 23;
    cam->expComp = 9;
    cam->expCompOn = true;
    cam->backLight = true;
    cam->slowShutter = true;
    read();
    EXPECT_EQ(m->RGainSlider.value(), 0xA5);
    EXPECT_EQ(m->RGValue.text(), "0xA5");
    EXPECT_EQ(m->BGValue.text(), "0xF");
    EXPECT_EQ(m->ApertureValue.text(), "0x9");
    EXPECT_EQ(m->ShutterValue.text(), "1/90");  // ORX-Gamma NTSC row
    EXPECT_EQ(m->IrisValue.text(), "F2");
    EXPECT_EQ(m->GainValue.text(), "18dB");
    EXPECT_EQ(m->GainSlider.max(), 7);
    EXPECT_EQ(m->BrightValue.text(), "F1.8/18dB");
    EXPECT_EQ(m->ExpCompValue.text(), "2/3dB");
    EXPECT_TRUE(m->ExpComp.checked());
    EXPECT_TRUE(m->ExpCompSlider.enabled());
    EXPECT_TRUE(m->BackLight.checked());
    EXPECT_TRUE(m->AutoSlowShutter.checked());
    cam->expCompOn = false;
    read();
    EXPECT_FALSE(m->ExpCompUp.enabled());
    EXPECT_FALSE(m->ExpCompSlider.enabled());
}

TEST_F(DecodeTest, ShutterRowFollowsTheVideoSystemOfTheSameRead) {
    start("KBM-R05");  // PAL block camera: right from the start-up read
    EXPECT_EQ(m->ShutterValue.text(), "1/50");
    cam->shutter = 5;
    read();
    EXPECT_EQ(m->ShutterValue.text(), "1/25");
    EXPECT_EQ(m->NTSCorPAL.text(), "PAL");
    cam->videoSys = 0;  // the same position on NTSC
    read();
    EXPECT_EQ(m->ShutterValue.text(), "1/30");
}

TEST_F(DecodeTest, KappaVideoSystemOutsideItsTableShowsItsNumber) {
    start("ORX-Kappa");
    EXPECT_EQ(m->NTSCorPAL.text(), "1920*1080i/59.94");
    cam->videoSystem = 0x12;
    m->CameraSel[1].click();  // identifies the camera again, video system included
    EXPECT_EQ(m->NTSCorPAL.text(), "0x12");
}

TEST_F(DecodeTest, OtherBlockSwitchesAndEffects) {
    start("ORX-Gamma");
    cam->keyLock = true;
    cam->autoIcr = true;
    cam->lrReverse = true;
    cam->freeze = true;
    cam->dataScreen = true;
    cam->titleDisplay = true;
    cam->pictureEffect = 3;
    cam->digitalEffect = 4;
    cam->cameraId = 4660;
    read();
    EXPECT_TRUE(m->Power.checked());
    EXPECT_TRUE(m->KeyLock.checked());
    EXPECT_EQ(m->CmdAutoICR.caption(), "ON");
    EXPECT_TRUE(m->LR_Reverse.checked());
    EXPECT_TRUE(m->Freese.checked());
    EXPECT_TRUE(m->DataScreen.checked());
    EXPECT_TRUE(m->TitleOnOff.checked());
    EXPECT_TRUE(m->Sepia.checked());
    EXPECT_FALSE(m->PEOff.checked());
    EXPECT_TRUE(m->Trail.checked());
    EXPECT_EQ(m->CameraIDText.text(), "4660");
    cam->pictureEffect = 9;
    read();
    for (MenuItem* it : {&m->PEOff, &m->Pastel, &m->NegArt, &m->Sepia, &m->BlackWhite, &m->Solarize, &m->Mosaic,
                         &m->Slim, &m->Stretch})
        EXPECT_FALSE(it->checked());
}

TEST_F(DecodeTest, BetaExpandBlock) {
    start("ORX-Beta");
    cam->dzoomPos = 0;
    cam->ceilingMount = true;
    cam->motionDetectAvailable = false;
    read();
    read();  // the first read after the windows moved re-docks and empties the mount label
    EXPECT_EQ(m->DZoomX.caption(), "MAX");
    EXPECT_EQ(rig->program->frmPanTilt().LbMount.caption(), "Ceiling Mount");
    EXPECT_FALSE(m->MotionDetecter.enabled());
    cam->dzoomPos = 0x80;
    cam->motionDetectAvailable = true;
    cam->alarmActive = true;
    if (!m->autoCaption()) m->AutoRefreshed_Click();
    m->Timer1.setEnabled(true);
    read();
    EXPECT_EQ(m->DZoomValue.text(), "0x80");
    EXPECT_EQ(m->DZoomX.caption(), "X1");
    EXPECT_TRUE(m->MotionDetecter.enabled());
    EXPECT_TRUE(rig->program->alarm.AlarmActive);
    EXPECT_EQ(m->AutoRefreshed.caption(), "Stop");
    EXPECT_FALSE(m->Timer1.enabled());
}

TEST_F(DecodeTest, KappaExpandSinglesAndOnePush) {
    start("ORX-Kappa");
    cam->aeMode = 0x00;
    cam->slowShutterLimit = 2;
    cam->dzoomLimit = 1;
    cam->menuOn = true;
    cam->infoDisplay = true;
    cam->dsubSync = 1;
    cam->shutter = 3;
    cam->wbMode = 3;
    read();
    EXPECT_TRUE(m->ASSL.enabled());
    EXPECT_EQ(m->ASSL0.caption(), "1/60");
    EXPECT_TRUE(m->ASSL2.checked());
    EXPECT_TRUE(m->DZL1.checked());
    EXPECT_EQ(m->ZoomSlider.max(), 0x5BC0);
    EXPECT_TRUE(rig->program->modes.MenuMode);
    EXPECT_TRUE(m->MenuOff.enabled());
    EXPECT_FALSE(m->FmPreset.enabled());
    EXPECT_FALSE(rig->program->frmPanTilt().FmPanTilt.enabled());
    EXPECT_TRUE(m->IFMDmode.checked());
    EXPECT_TRUE(m->DsubVD.checked());
    EXPECT_FALSE(m->State3.checked());
    EXPECT_FALSE(m->OnePushWB.enabled());
    EXPECT_FALSE(m->WBTrigger.enabled());
    cam->shutter = 4;
    cam->aeMode = 0x03;
    cam->menuOn = false;
    read();
    EXPECT_TRUE(m->OnePushWB.enabled());
    EXPECT_TRUE(m->WBTrigger.enabled());
    EXPECT_FALSE(m->ASSL0.enabled());
    EXPECT_TRUE(m->FmPreset.enabled());
}

// Each digital-zoom limit the camera reports checks its menu item and sets
// the zoom slider's top; a limit the menu does not have checks none and
// leaves the top where the last read put it. In the order below every row
// moves the top away from the one before it.
TEST_F(DecodeTest, DigitalZoomLimitSetsTheZoomSlidersTop) {
    start("ORX-Kappa");
    const struct {
        int limit;
        int max;
        int checked;  // the DZL item checked; -1: none
    } rows[] = {
        {1, 0x5BC0, 1}, {0, 0x4000, 0}, {3, 0x7E80, 3}, {2, 0x69C0, 2}, {4, 0x69C0, -1}, {0x0F, 0x69C0, -1},
    };
    const MenuItem* items[] = {&m->DZL0, &m->DZL1, &m->DZL2, &m->DZL3};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.limit);
        cam->dzoomLimit = row.limit;
        read();
        EXPECT_EQ(m->ZoomSlider.max(), row.max);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(items[i]->checked(), i == row.checked) << items[i]->objectName();
    }
}

TEST_F(DecodeTest, PanTiltStatusOnThePanTiltWindow) {
    start("ORX-Beta");
    cam->panPos = 0x1F0;
    cam->tiltPos = 0xFE00;
    cam->ptStatus = 0x0512;
    cam->maxPanSpeed = 0x10;
    cam->maxTiltSpeed = 0x14;
    read();
    FrmPanTilt& pt = rig->program->frmPanTilt();
    EXPECT_EQ(pt.LbPanPos.caption(), "0x1F0");
    EXPECT_EQ(pt.LbTiltPos.caption(), "0xFE00");
    EXPECT_EQ(pt.LbPTS.caption(), "0000010100010010");
    EXPECT_EQ(pt.LbMPS.caption(), "16");
    EXPECT_EQ(pt.LbMTS.caption(), "20");
    EXPECT_EQ(pt.PanSpeed.text(), "16");
    EXPECT_EQ(pt.TiltSpeed.text(), "20");
    EXPECT_EQ(pt.PSUpDown.max(), 16);
}
