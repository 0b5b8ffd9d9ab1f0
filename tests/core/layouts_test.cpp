// Pan-tilt model layouts and the pan-tilt window's placement.
#include <gtest/gtest.h>

#include "pantilt/frm_pantilt.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

// An ORX-Beta with its pan-tilt window docked and large, as at first start.
struct PanTiltWindow : ::testing::Test {
    Rig rig{{"ORX-Beta"}};
    FrmMain& m = rig.main();
    FrmPanTilt& pt = rig.program->frmPanTilt();
    PanTiltFlags& f = rig.program->ptw;
    void SetUp() override { ASSERT_TRUE(rig.startUp()); }
};

}  // namespace

TEST(Layouts, PictureEffectsAndFocusCaptionPerModel) {
    Rig gamma({"ORX-Gamma"});
    ASSERT_TRUE(gamma.startUp());
    FrmMain& g = gamma.main();
    for (MenuItem* it : {&g.Pastel, &g.Sepia, &g.Solarize, &g.Mosaic, &g.Slim, &g.Stretch}) EXPECT_TRUE(it->visible());
    EXPECT_EQ(g.AF_Sens.caption(), "High/Low");
    EXPECT_EQ(g.FocusSlider.max(), 0x8400);
    EXPECT_EQ(g.BackLight.top(), FrmMain::kBackLightTopNormal);

    Rig beta({"ORX-Beta"});
    ASSERT_TRUE(beta.startUp());
    FrmMain& b = beta.main();
    for (MenuItem* it : {&b.Pastel, &b.Sepia, &b.Solarize, &b.Mosaic, &b.Slim, &b.Stretch}) EXPECT_FALSE(it->visible());
    EXPECT_TRUE(b.PictureEffect.visible());
    EXPECT_EQ(b.AF_Sens.caption(), "Norm/Low");
    EXPECT_TRUE(b.FmDZoom.visible());
    EXPECT_EQ(b.ZoomSlider.max(), 0x7AC0);

    Rig kappa({"ORX-Kappa"});
    ASSERT_TRUE(kappa.startUp());
    FrmMain& k = kappa.main();
    EXPECT_EQ(k.AF_Sens.caption(), "");
    EXPECT_FALSE(k.AF_Sens.visible());
    EXPECT_FALSE(k.Internal.visible());
    EXPECT_FALSE(k.LineLock.visible());
    EXPECT_EQ(k.ShutterSlider.min(), 1);

    Rig alpha({"ORX-Alpha"});
    ASSERT_TRUE(alpha.startUp());
    FrmMain& a = alpha.main();
    EXPECT_FALSE(a.ZoomSlider.visible());
    EXPECT_FALSE(a.ZoomSlider.enabled());
    EXPECT_TRUE(a.ZoomSliderShort.visible());
    EXPECT_TRUE(a.ZoomSliderShort.enabled());
    EXPECT_FALSE(a.ExpCompSlider.visible());
    EXPECT_EQ(a.BackLight.top(), FrmMain::kBackLightTopRaised);
    EXPECT_EQ(a.IrisValue.text(), "");
}

TEST_F(PanTiltWindow, DockedFollowsTheMainWindow) {
    ASSERT_TRUE(pt.visible());
    EXPECT_EQ(pt.left(), m.left());
    EXPECT_EQ(pt.top(), m.top() + m.height());
    EXPECT_EQ(pt.height(), FrmPanTilt::kLargeHeight);
    m.placedByUser(2000, 500, m.width(), m.height());
    rig.readStatus();
    EXPECT_EQ(pt.left(), 2000);
    EXPECT_EQ(pt.top(), 500 + m.height());
}

TEST_F(PanTiltWindow, Flags) {
    f.PTWSize = false;
    m.DspPTW();
    EXPECT_EQ(m.PTWSizeM.caption(), "Large");
    EXPECT_EQ(pt.PTWSizeS.caption(), "Large");
    EXPECT_FALSE(pt.FmInfo.visible());
    EXPECT_EQ(pt.height(), FrmPanTilt::kSmallHeight);
    // Released: placed once beside the main window (the screen has room),
    // then left alone.
    f.PTWDocking = false;
    f.PTWDocked = false;
    m.DspPTW();
    EXPECT_EQ(m.PTWDockingM.caption(), "Docking");
    EXPECT_EQ(pt.left(), m.left() + m.width() * m.zoom());
    EXPECT_EQ(pt.top(), m.top());
    EXPECT_TRUE(f.PTWDocked);
    pt.placedByUser(5000, 5000, pt.width(), pt.height());
    m.DspPTW();
    EXPECT_EQ(pt.left(), 5000);
    f.PTWindow = false;
    m.DspPTW();
    EXPECT_EQ(m.PTWCloseM.caption(), "OPEN");
    EXPECT_FALSE(pt.visible());
}

TEST_F(PanTiltWindow, ButtonsOfBothWindows) {
    // CLOSE on the pan-tilt window only closes; the main window's button toggles.
    pt.PTWCloseS.click();
    EXPECT_FALSE(pt.visible());
    EXPECT_EQ(m.PTWCloseM.caption(), "OPEN");
    m.PTWCloseM.click();
    EXPECT_TRUE(pt.visible());
    EXPECT_EQ(m.PTWCloseM.caption(), "CLOSE");
    // Releasing the docking clears the placed-once flag, so docking again re-places it.
    pt.PTWDockingS.click();
    EXPECT_FALSE(f.PTWDocking);
    EXPECT_TRUE(f.PTWDocked);
    m.PTWDockingM.click();
    EXPECT_TRUE(f.PTWDocking);
    pt.placedByUser(4000, 4000, pt.width(), pt.height());
    m.PTWDockingM.click();  // released again: placed once more beside the main window
    EXPECT_FALSE(f.PTWDocking);
    EXPECT_EQ(pt.left(), m.left() + m.width() * m.zoom());
    EXPECT_EQ(pt.top(), m.top());
    m.PTWSizeM.click();
    EXPECT_FALSE(f.PTWSize);
    EXPECT_EQ(pt.PTWSizeS.caption(), "Large");
    // The title bar's close clears the flag; closing the program does not.
    pt.unload();
    EXPECT_FALSE(f.PTWindow);
    m.PTWCloseM.click();
    EXPECT_TRUE(pt.visible());
    m.unload();
    EXPECT_TRUE(f.PTWindow);
    EXPECT_EQ(rig.settings.values[std::string(Program::kTitle) + "/Settings/PTWindow"], "True");
}

// The main window's button reads CLOSE exactly while the pan-tilt window is
// open, whatever closed it; a camera in standby keeps its window.
TEST(Layouts, PanTiltWindowFollowsTheCameraAndItsButtonTellsTheTruth) {
    Rig rig({"ORX-Kappa", "KBM-R05"});
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    FrmPanTilt& pt = rig.program->frmPanTilt();
    auto openAndSaysSo = [&](bool open) {
        EXPECT_EQ(pt.visible(), open);
        EXPECT_EQ(m.PTWCloseM.caption(), open ? "CLOSE" : "OPEN");
    };
    openAndSaysSo(true);

    // Standby: the read finds the camera off and stops there.
    rig.chain.camera(0).state().power = false;
    rig.readStatus();
    EXPECT_FALSE(rig.program->model.IsPanTiltSeries);
    m.PTWSizeM.click();  // any placing of the window
    m.placedByUser(900, 900, m.width(), m.height());
    rig.run(2);
    openAndSaysSo(true);
    EXPECT_TRUE(m.FmPTWindowM.visible());
    rig.chain.camera(0).state().power = true;

    // A block camera: no window, no frame for it, and the button says so;
    // the docking check of the second timer does not bring it back, and the
    // operator's choice is kept.
    m.CameraSel[2].click();
    openAndSaysSo(false);
    EXPECT_FALSE(m.FmPTWindowM.visible());
    m.placedByUser(700, 700, m.width(), m.height());
    rig.run(2);
    openAndSaysSo(false);
    EXPECT_TRUE(rig.program->ptw.PTWindow);
    m.CameraSel[1].click();
    openAndSaysSo(true);
    EXPECT_TRUE(m.FmPTWindowM.visible());

    // Closed by its title bar.
    pt.unload();
    openAndSaysSo(false);
    m.PTWCloseM.click();
    openAndSaysSo(true);
}

TEST(Layouts, StartedWithThePanTiltWindowClosedTheButtonOffersToOpenIt) {
    Rig rig({"ORX-Beta"});
    rig.settings.values[std::string(Program::kTitle) + "/Settings/PTWindow"] = "False";
    ASSERT_TRUE(rig.startUp());
    EXPECT_FALSE(rig.program->frmPanTilt().visible());
    EXPECT_EQ(rig.main().PTWCloseM.caption(), "OPEN");
}

// Where the screen has no room below the main window, the docked pan-tilt
// window is held inside it; released or closed, the main window closes up
// without it, and its size is what the settings keep. With room for both,
// the window is below the main window, as drawn.
TEST(Layouts, DockedWindowIsHeldInsideWhereTheScreenHasNoRoomBelow) {
    Rig tall({"ORX-Beta"});
    tall.windows.area = {0, 0, 1920 * 9.0, 1080 * 9.0};
    ASSERT_TRUE(tall.startUp());
    FrmMain& t = tall.main();
    FrmPanTilt& tpt = tall.program->frmPanTilt();
    EXPECT_EQ(tpt.host(), &t);
    const double holding = t.width();
    // Held beside the groups: none of the main window's own controls under it.
    for (const Control* c : t.controls()) {
        if (c->container() || !c->visible() || c->kind() == Kind::MenuItem || c->kind() == Kind::Timer) continue;
        const bool apart = c->left() + c->width() <= tpt.heldLeft() || c->top() + c->height() <= tpt.heldTop() ||
                           c->left() >= tpt.heldLeft() + tpt.width() || c->top() >= tpt.heldTop() + tpt.height();
        EXPECT_TRUE(apart) << c->objectName();
    }
    t.PTWSizeM.click();  // small: still held
    EXPECT_EQ(tpt.host(), &t);
    t.PTWDockingM.click();  // released: a window of its own again, the main window closes up
    EXPECT_EQ(tpt.host(), nullptr);
    EXPECT_LT(t.width(), holding);
    // No room beside or below: over the logs, whole on the screen.
    EXPECT_LE(tpt.left() + tpt.width() * tpt.zoom(), tall.windows.area.right());
    EXPECT_GE(tpt.left(), tall.windows.area.left);
    EXPECT_LE(tpt.top() + tpt.height() * tpt.zoom(), tall.windows.area.bottom());
    t.PTWDockingM.click();
    EXPECT_EQ(tpt.host(), &t);
    t.PTWCloseM.click();  // closed: nothing to hold
    EXPECT_EQ(tpt.host(), nullptr);
    EXPECT_LT(t.width(), holding);
    t.PTWCloseM.click();
    EXPECT_EQ(tpt.host(), &t);
    const double saved = t.height();
    t.unload();
    EXPECT_EQ(tall.settings.values[std::string(Program::kTitle) + "/Settings/MainHeight"],
              std::to_string(static_cast<long long>(saved)));

    // A screen with room for both: below it, as drawn.
    Rig roomy({"ORX-Beta"});
    roomy.windows.area = {0, 0, 2560 * 9.0, 1600 * 9.0};
    ASSERT_TRUE(roomy.startUp());
    EXPECT_EQ(roomy.program->frmPanTilt().host(), nullptr);
    EXPECT_EQ(roomy.program->frmPanTilt().top(), roomy.main().top() + roomy.main().height());
}

// A block camera: no pan-tilt window. Its main window, saved on a larger
// screen, opens on this one.
TEST(Layouts, BlockCameraOnAScreenSmallerThanTheSavedPlace) {
    Rig rig({"KBM-R05"});
    rig.windows.area = {0, 0, 1280 * 9.0, 720 * 9.0};
    const std::string k = std::string(Program::kTitle) + "/Settings/";
    rig.settings.values[k + "MainLeft"] = "15000";
    rig.settings.values[k + "MainTop"] = "9000";
    rig.settings.values[k + "MainWidth"] = "14000";
    rig.settings.values[k + "MainHeight"] = "9000";
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    EXPECT_EQ(m.left(), 0);
    EXPECT_EQ(m.top(), 0);
    EXPECT_LE(m.width() * m.zoom(), 1280 * 9.0);
    EXPECT_LE(m.height() * m.zoom(), 720 * 9.0);
    EXPECT_FALSE(rig.program->frmPanTilt().visible());
    EXPECT_FALSE(m.FmPTWindowM.visible());
}
