// Layout of the main window and the pan-tilt window: every control fits its
// frame and the window, no two visible neighbours cover each other, the
// arrays carry their indexes and captions where the operator expects them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/about.h"
#include "dialogs/aes.h"
#include "dialogs/camera_settings.h"
#include "dialogs/md.h"
#include "dialogs/deffect.h"
#include "dialogs/fset.h"
#include "dialogs/privacy.h"
#include "dialogs/privacy_a.h"
#include "dialogs/title.h"
#include "pantilt/frm_pantilt.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

struct Rect {
    int l, t, r, b;
};

Rect rectOf(const Control& c) { return {c.left(), c.top(), c.left() + c.width(), c.top() + c.height()}; }

// Position on the window's client area.
Rect absolute(const Control& c) {
    Rect r = rectOf(c);
    for (const Control* k = c.container(); k; k = k->container()) {
        r.l += k->left();
        r.r += k->left();
        r.t += k->top();
        r.b += k->top();
    }
    return r;
}

bool overlap(const Rect& a, const Rect& b) { return a.l < b.r && b.l < a.r && a.t < b.b && b.t < a.b; }

bool placed(const Control& c) { return c.kind() != Kind::MenuItem && c.kind() != Kind::Timer; }

bool shown(const Control& c) {
    for (const Control* k = &c; k; k = k->container()) {
        if (!k->visible()) return false;
    }
    return true;
}

// Everything wrong with the visible part of a window's layout, one line per fault.
std::vector<std::string> layoutFaults(const Form& f, int clientW, int clientH) {
    constexpr int kCaptionSpace = 200;  // a frame's caption stays uncovered
    std::vector<std::string> faults;
    std::vector<const Control*> visible;
    for (const Control* c : f.controls()) {
        if (placed(*c) && shown(*c)) visible.push_back(c);
    }
    for (const Control* c : visible) {
        const std::string n = c->objectName();
        const Rect a = absolute(*c);
        if (a.l < 0 || a.t < 0 || a.r > clientW || a.b > clientH) faults.push_back(n + " outside the window");
        if (const Control* k = c->container()) {
            if (c->left() < 0 || c->top() < kCaptionSpace || c->left() + c->width() > k->width() ||
                c->top() + c->height() > k->height()) {
                faults.push_back(n + " outside " + k->objectName());
            }
        }
        const bool text = c->kind() == Kind::Label || c->kind() == Kind::CheckBox || c->kind() == Kind::OptionButton;
        if (c->kind() != Kind::Frame && c->height() < (text ? 220 : 230)) faults.push_back(n + " too low to read");
        for (const Control* d : visible) {
            if (d <= c || d->container() != c->container()) continue;
            if (overlap(rectOf(*c), rectOf(*d))) faults.push_back(n + " overlaps " + d->objectName());
        }
    }
    return faults;
}

std::string joined(const std::vector<std::string>& v) {
    std::string s;
    for (const auto& x : v) s += x + "\n";
    return s;
}

int centreX(const Control& c) { return absolute(c).l + c.width() / 2; }
int centreY(const Control& c) { return absolute(c).t + c.height() / 2; }

}  // namespace

TEST(Layout, MainWindowFitsItsClientAreaWithoutOverlaps) {
    Rig rig;
    FrmMain& m = rig.main();
    EXPECT_EQ(layoutFaults(m, 11880, 7700), std::vector<std::string>{}) << joined(layoutFaults(m, 11880, 7700));

    // The zoom sliders take turns in one place.
    EXPECT_EQ(absolute(m.ZoomSlider).l, absolute(m.ZoomSliderShort).l);
    EXPECT_EQ(absolute(m.ZoomSlider).t, absolute(m.ZoomSliderShort).t);
    EXPECT_NE(m.ZoomSlider.visible(), m.ZoomSliderShort.visible());
    m.ZoomSlider.setVisible(true);
    m.ZoomSliderShort.setVisible(false);
    EXPECT_EQ(layoutFaults(m, 11880, 7700), std::vector<std::string>{});

    // The log column: three boxes of equal width one above the other.
    EXPECT_EQ(m.SendText.left(), m.RecvText.left());
    EXPECT_EQ(m.RecvText.left(), m.DirectText.left());
    EXPECT_EQ(m.SendText.width(), 2535);
    EXPECT_EQ(m.RecvText.width(), 2535);
    EXPECT_EQ(m.DirectText.width(), 2535);
    EXPECT_LT(m.SendText.top() + m.SendText.height(), m.RecvText.top());
    EXPECT_LT(m.RecvText.top() + m.RecvText.height(), m.DirectText.top());
}

TEST(Layout, BackLightRisesIntoTheFreedExposureCompensationRow) {
    Rig rig;
    FrmMain& m = rig.main();
    EXPECT_EQ(m.BackLight.container(), &m.FmAEControl);
    EXPECT_EQ(m.BackLight.top(), FrmMain::kBackLightTopNormal);
    EXPECT_LT(FrmMain::kBackLightTopRaised, FrmMain::kBackLightTopNormal);
    // The raised row is the one the exposure-compensation controls occupy...
    m.BackLight.setTop(FrmMain::kBackLightTopRaised);
    EXPECT_TRUE(overlap(rectOf(m.BackLight), rectOf(m.ExpCompDown)));
    // ...and it is free once the layout hides them.
    for (Control* c : {static_cast<Control*>(&m.ExpComp), static_cast<Control*>(&m.ExpCompDown),
                       static_cast<Control*>(&m.ExpCompSlider), static_cast<Control*>(&m.ExpCompUp),
                       static_cast<Control*>(&m.ExpCompValue), static_cast<Control*>(&m.LblAE[12]),
                       static_cast<Control*>(&m.LblAE[13]), static_cast<Control*>(&m.LblAE[14])}) {
        c->setVisible(false);
    }
    EXPECT_EQ(layoutFaults(m, 11880, 7700), std::vector<std::string>{}) << joined(layoutFaults(m, 11880, 7700));
    EXPECT_GT(m.BackLight.top(), m.BrightSlider.top() + m.BrightSlider.height());
}

TEST(Layout, MainWindowArraysAndCaptions) {
    Rig rig;
    FrmMain& m = rig.main();
    EXPECT_EQ(m.LblAE.lowerBound(), 0);
    EXPECT_EQ(m.LblAE.upperBound(), 17);
    EXPECT_EQ(m.LblAE.size(), 18u);
    EXPECT_EQ(m.LblFocus.size(), 8u);
    EXPECT_EQ(m.LblCh.size(), 12u);
    EXPECT_EQ(m.LblAE[15].caption(), "Auto ICR Mode");
    EXPECT_EQ(m.LblAE[16].caption(), "ICR Mode");
    EXPECT_EQ(m.LblAE[17].caption(), "Stabilizer");
    EXPECT_EQ(m.CmdICR[0].caption(), "ON");
    EXPECT_EQ(m.CmdICR[1].caption(), "OFF");
    EXPECT_EQ(m.AFModeCmd[3].caption(), "ZoomTrigger");
    EXPECT_EQ(m.DZoomMode[1].caption(), "Separate Mode");
    EXPECT_EQ(m.DZoomX.container(), &m.FmDZoom);

    // Preset columns read 1 to 6 over indexes 0 to 5; memory columns 0 to 5.
    for (int n = 0; n <= 5; ++n) {
        EXPECT_EQ(m.LblCh[11 - n].caption(), std::to_string(n + 1));
        EXPECT_EQ(centreX(m.LblCh[11 - n]), centreX(m.PresetSet[n])) << n;
        EXPECT_EQ(centreX(m.PresetSet[n]), centreX(m.PresetReset[n])) << n;
        EXPECT_EQ(m.LblCh[n].caption(), std::to_string(n));
        EXPECT_EQ(centreX(m.LblCh[n]), centreX(m.RecallOption[n])) << n;
    }
    EXPECT_LT(centreY(m.PresetSet[0]), centreY(m.PresetRecall[0]));
    EXPECT_LT(centreY(m.PresetRecall[0]), centreY(m.PresetReset[0]));

    // Each spin control steps the box beside its own drive button.
    const std::pair<UpDown*, TextBox*> spins[] = {{&m.UpDown1, &m.TeleSpeed}, {&m.UpDown2, &m.WideSpeed},
                                                  {&m.UpDown3, &m.FarSpeed},  {&m.UpDown4, &m.NearSpeed},
                                                  {&m.UpDown5, &m.DTeleSpeed}, {&m.UpDown6, &m.DWideSpeed}};
    for (auto [ud, box] : spins) {
        EXPECT_EQ(ud->buddy(), box) << ud->name();
        EXPECT_EQ(box->text(), "4");
        EXPECT_EQ(ud->min(), 0);
        EXPECT_EQ(ud->max(), 7);
        EXPECT_EQ(ud->left(), box->left() + box->width()) << ud->name();
    }
    EXPECT_LT(m.WideSpeed.left(), m.TeleSpeed.left());
    EXPECT_LT(m.ZoomWide.left(), m.ZoomTele.left());
    EXPECT_LT(m.Far.left(), m.Near.left());

    EXPECT_EQ(m.ZoomSlider.max(), 0x7000);
    EXPECT_EQ(m.ZoomSliderShort.max(), 0x4000);
    EXPECT_EQ(m.FocusNearLimitSlider.value(), 0xC000);
    EXPECT_EQ(m.FocusNearLimitSlider.smallChange(), 0x100);
    EXPECT_EQ(m.DZoomSlider.largeChange(), 47);
    EXPECT_EQ(m.RGainSlider.value(), 128);
    EXPECT_EQ(m.BGainSlider.tickFrequency(), 32);
    EXPECT_EQ(m.VPSlider.largeChange(), 8);
    EXPECT_TRUE(m.IrisValue.locked());
    EXPECT_TRUE(m.VPValue.locked());
    EXPECT_EQ(m.AFacttime.maxLength(), 2);
}

TEST(Layout, MainWindowMenus) {
    Rig rig;
    FrmMain& m = rig.main();
    std::vector<std::string> tops;
    for (MenuItem* t : m.topMenus()) tops.push_back(t->caption());
    EXPECT_EQ(tops, (std::vector<std::string>{"Camera", "Select", "AE Mode", "WB Mode", "PictureEffect",
                                              "DigitalEffect", "Wide", "Function", "Display", "Title", "Sync",
                                              "D-SUB 15Pin", "Privacy Zone", "PrivacyA", "Alarm", "Factory Set",
                                              "View", "Version"}));
    EXPECT_EQ(m.MnuCamera.children().back(), &m.Quit);
    EXPECT_TRUE(m.Quit.separator());
    EXPECT_FALSE(m.AutoRefresh.visible());
    EXPECT_FALSE(m.AutoRefresh.enabled());
    EXPECT_FALSE(m.GainPriority.visible());
    EXPECT_FALSE(m.Wide.visible());
    EXPECT_TRUE(m.PrivacyAv.children().empty());
    EXPECT_TRUE(m.MotionDetecter.children().empty());
    EXPECT_EQ(m.DZLimit.children().size(), 4u);
    EXPECT_EQ(m.ASSL.children().size(), 3u);
    EXPECT_EQ(m.DigitalEffect.children().back(), &m.EffectLevel);
    EXPECT_TRUE(m.EffectLevel.separator());
    // Toggles and group members show their check mark; dialogs do not.
    for (MenuItem* t : {&m.Power, &m.Mute, &m.FullAuto, &m.ManualWB, &m.Stretch, &m.Trail, &m.Freese,
                        &m.IFMDmode, &m.TitleOnOff, &m.LineLock, &m.DsubVD, &m.DZL3, &m.ASSL2}) {
        EXPECT_TRUE(t->checkable()) << t->name();
    }
    for (MenuItem* t : {&m.AESpotMode, &m.EffectLevel, &m.SetTimeDate, &m.TitleSet, &m.IDWrite, &m.MenuOff}) {
        EXPECT_FALSE(t->checkable()) << t->name();
    }
}

TEST(Layout, PanTiltWindowLargeAndSmall) {
    Rig rig;
    FrmPanTilt& p = rig.program->frmPanTilt();
    const int w = static_cast<int>(FrmPanTilt::kWidth);
    EXPECT_EQ(p.width(), FrmPanTilt::kWidth);
    EXPECT_EQ(p.height(), FrmPanTilt::kLargeHeight);
    EXPECT_EQ(layoutFaults(p, w, static_cast<int>(FrmPanTilt::kLargeHeight)), std::vector<std::string>{})
        << joined(layoutFaults(p, w, static_cast<int>(FrmPanTilt::kLargeHeight)));
    // The information area is the bottom of the window: hiding it leaves
    // everything else inside the small window.
    for (const Control* c : p.controls()) {
        if (placed(*c) && !c->container() && c != &p.FmInfo) {
            EXPECT_LE(absolute(*c).b, p.FmInfo.top()) << c->objectName();
        }
    }
    p.FmInfo.setVisible(false);
    EXPECT_LT(FrmPanTilt::kSmallHeight, FrmPanTilt::kLargeHeight);
    EXPECT_EQ(layoutFaults(p, w, static_cast<int>(FrmPanTilt::kSmallHeight)), std::vector<std::string>{})
        << joined(layoutFaults(p, w, static_cast<int>(FrmPanTilt::kSmallHeight)));
    EXPECT_EQ(p.LbMPS.container(), &p.FmMPS);
    EXPECT_EQ(p.FmMPS.container(), &p.FmMaxSpeed);
    EXPECT_EQ(p.FmMaxSpeed.container(), &p.FmInfo);
    EXPECT_EQ(p.TiltSpeed.text(), "23");
    EXPECT_EQ(p.TSUpDown.max(), 23);
    EXPECT_EQ(p.PanSpeed.text(), "24");
    EXPECT_EQ(p.PSUpDown.buddy(), &p.PanSpeed);
}

TEST(Layout, PanTiltButtonsPointTheWayTheyDrive) {
    Rig rig;
    FrmPanTilt& p = rig.program->frmPanTilt();
    ASSERT_EQ(p.Pan_Tilt_Stop.size(), 9u);
    ASSERT_EQ(p.Pan_Tilt_Direct.size(), 10u);
    // Pan direction -1 left, +1 right; tilt -1 up, +1 down, as the packets drive.
    struct Way {
        int index, pan, tilt;
    };
    const Way stops[] = {{1, 0, -1}, {2, -1, 0}, {3, 1, 0}, {4, 0, 1}, {5, -1, -1}, {6, 1, -1}, {7, -1, 1}, {8, 1, 1}};
    const Way directs[] = {{0, -1, 0}, {1, -1, -1}, {2, -1, 1}, {3, 1, 0}, {4, 1, -1}, {5, 1, 1}, {6, 0, -1}, {7, 0, 1}};
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    auto check = [&](ControlArray<Button>& arr, int centre, const Way* ways, int n) {
        for (int i = 0; i < n; ++i) {
            const Button& b = arr[ways[i].index];
            EXPECT_EQ(sign(centreX(b) - centreX(arr[centre])), ways[i].pan) << b.caption();
            EXPECT_EQ(sign(centreY(b) - centreY(arr[centre])), ways[i].tilt) << b.caption();
        }
    };
    EXPECT_EQ(p.Pan_Tilt_Stop[0].caption(), "Stop");
    check(p.Pan_Tilt_Stop, 0, stops, 8);
    EXPECT_EQ(p.Pan_Tilt_Direct[8].caption(), "Home");
    check(p.Pan_Tilt_Direct, 8, directs, 8);
    EXPECT_EQ(p.Pan_Tilt_Direct[9].caption(), "Reset");
}

TEST(Layout, FramesComeBeforeTheirContentsInTabOrder) {
    Rig rig;
    for (Form* f : {static_cast<Form*>(&rig.main()), static_cast<Form*>(&rig.program->frmPanTilt())}) {
        const auto& cs = f->controls();
        for (std::size_t i = 0; i < cs.size(); ++i) {
            const Control* k = cs[i]->container();
            if (!k) continue;
            auto at = std::find(cs.begin(), cs.end(), k);
            EXPECT_LT(at - cs.begin(), static_cast<long>(i)) << cs[i]->objectName();
        }
    }
    // Within a frame: row by row, left to right.
    FrmMain& m = rig.main();
    std::vector<const Control*> order;
    for (const Control* c : m.controls()) {
        if (c == &m.IrisClose || c == &m.IrisSlider || c == &m.IrisOpen || c == &m.GainDown || c == &m.FmZoom ||
            c == &m.PresetSet[5] || c == &m.PresetRecall[0])
            order.push_back(c);
    }
    EXPECT_EQ(order, (std::vector<const Control*>{&m.IrisClose, &m.IrisSlider, &m.IrisOpen, &m.GainDown, &m.FmZoom,
                                                  &m.PresetSet[5], &m.PresetRecall[0]}));
}

TEST(Layout, DialogsFitTheirWindowsWithoutOverlaps) {
    Rig rig;
    Program& p = *rig.program;
    for (Form* f : std::vector<Form*>{&p.frmOpen(), &p.privacy(), &p.privacyA(), &p.frmAES(), &p.frmDeffect(), &p.fset(),
                                      &p.frmMD(), &p.frmSetDT(), &p.frmCamID(), &p.frmAutoPOff(), &p.frmNightPOff(),
                                      &p.frmTitleK(), &p.frmTitleM(), &p.frmAbout(), &p.frmMoreInfo()}) {
        // The window's outer size less its frame and title bar.
        const int w = static_cast<int>(f->width()) - 150, h = static_cast<int>(f->height()) - 450;
        EXPECT_EQ(layoutFaults(*f, w, h), std::vector<std::string>{}) << f->name() << "\n" << joined(layoutFaults(*f, w, h));
    }
}
