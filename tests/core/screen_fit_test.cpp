// Every model's main window, with its docked pan-tilt window, on a laptop
// screen, a full-HD screen and a full-HD screen at 150 %: every control in
// view without scrolling, at a size that can be read, with no holes where
// the model hides a group; every dialog fits the screen too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window_arrangement.h"
#include "pantilt/frm_pantilt.h"
#include "app/testing/rig.h"
#include "status/identity.h"

using namespace orbus;
using orbus::testing::Rig;
namespace ar = orbus::arrangement;

namespace {

struct Box {
    double l, t, r, b;
    bool inside(const Box& o) const { return l >= o.l && t >= o.t && r <= o.r && b <= o.b; }
    bool overlaps(const Box& o) const { return l < o.r && o.l < r && t < o.b && o.t < b; }
};

bool shown(const Control& c) {
    for (const Control* k = &c; k; k = k->container()) {
        if (!k->visible()) return false;
    }
    return c.kind() != Kind::MenuItem && c.kind() != Kind::Timer;
}

// The control on the form's client area, in the form's twips.
Box onForm(const Control& c) {
    Box b{double(c.left()), double(c.top()), double(c.left() + c.width()), double(c.top() + c.height())};
    for (const Control* k = c.container(); k; k = k->container()) {
        b = {b.l + k->left(), b.t + k->top(), b.r + k->left(), b.b + k->top()};
    }
    return b;
}

// The same on the screen, the form's client area starting at (x, y).
Box onScreen(const Control& c, double x, double y, double zoom) {
    const Box b = onForm(c);
    return {x + b.l * zoom, y + b.t * zoom, x + b.r * zoom, y + b.b * zoom};
}

std::vector<std::string> allModels() {
    std::vector<std::string> m = {"ORX-Alpha", "ORX-Beta", "ORX-Gamma", "ORX-Kappa"};
    for (const char* b : BlockModelName) m.emplace_back(b);
    return m;
}

struct ScreenSetup {
    const char* name;
    double width, height;  // the screen's free area, in pixels of the desktop's scale
    double scale;          // the desktop's scale factor
};
constexpr ScreenSetup kSetups[] = {
    {"1366x768", 1366, 768, 1.0}, {"1920x1080", 1920, 1080, 1.0}, {"1920x1080 at 150%", 1280, 720, 1.5}};
// The smallest size at which the panel's text is still read with ease,
// against the size it has at full size on a desktop at 100 %.
constexpr double kReadable = 0.7;

}  // namespace

TEST(ScreenFit, EveryModelOnEveryScreen) {
    for (const ScreenSetup& s : kSetups) {
        for (const std::string& model : allModels()) {
            SCOPED_TRACE(model + " on " + s.name);
            Rig rig({model});
            const Box screen{0, 0, s.width * 9, s.height * 9};
            rig.windows.area = {0, 0, s.width * 9, s.height * 9};
            ASSERT_TRUE(rig.startUp());
            FrmMain& m = rig.main();
            const FrmPanTilt& pt = rig.program->frmPanTilt();
            const double z = m.zoom();
            EXPECT_GE(z * s.scale, kReadable);
            const double cx = m.left() + ar::kFrameBorder, cy = m.top() + ar::kTitleBar + ar::kMenuBar * z;
            EXPECT_TRUE((Box{m.left(), m.top(), m.left() + m.width() * z, m.top() + m.height() * z}).inside(screen));
            std::vector<Box> mainTop;
            for (const Control* c : m.controls()) {
                if (!shown(*c)) continue;
                EXPECT_TRUE(onScreen(*c, cx, cy, z).inside(screen)) << c->objectName() << " out of view";
                if (!c->container()) mainTop.push_back(onForm(*c));
            }
            const bool panTilt = model.rfind("ORX", 0) == 0;
            EXPECT_EQ(pt.visible(), panTilt);
            if (panTilt) {
                const bool held = pt.host() == &m;
                const double px = held ? cx + pt.heldLeft() * z : pt.left() + ar::kFrameBorder;
                const double py = held ? cy + pt.heldTop() * z : pt.top() + ar::kTitleBar;
                const Box region{pt.heldLeft(), pt.heldTop(), pt.heldLeft() + pt.width(), pt.heldTop() + pt.height()};
                for (const Control* c : pt.controls()) {
                    if (!shown(*c)) continue;
                    EXPECT_TRUE(onScreen(*c, px, py, pt.zoom()).inside(screen)) << "pan-tilt " << c->objectName();
                }
                if (held) {
                    for (const Box& b : mainTop) EXPECT_FALSE(b.overlaps(region)) << "under the pan-tilt window";
                } else {
                    EXPECT_GE(pt.top(), m.top() + m.height() * z);
                }
            }
            // Closed up: a group below another in its column sits one gap under it.
            std::vector<Box> groups;
            for (const FrmMain::Group& g : m.arrangedGroups()) {
                Box b{1e9, 1e9, 0, 0};
                for (const Control* c : g.controls) {
                    if (!c->visible()) continue;
                    const Box f = onForm(*c);
                    b = {std::min(b.l, f.l), std::min(b.t, f.t), std::max(b.r, f.r), std::max(b.b, f.b)};
                }
                if (b.r > 0) groups.push_back(b);
            }
            for (const Box& g : groups) {
                if (g.t <= ar::kTop) continue;
                bool closed = false;
                for (const Box& h : groups) closed = closed || (h.l == g.l && h.b + ar::kFrameGap == g.t);
                EXPECT_TRUE(closed) << "a hole above the group at " << g.l << "," << g.t;
            }
            // Every dialog fits the screen at a size that can be read.
            for (const Form* f : rig.program->forms()) {
                if (f == &m || f == &pt) continue;
                EXPECT_GE(ar::fitZoom(f->width(), f->height(), screen.r, screen.b) * s.scale, kReadable) << f->name();
            }
        }
    }
}

// The docked pan-tilt window goes below the main window only when the
// screen holds it whole: its title bar and its frame count as well as what
// it shows. A screen short of them by a twip holds it elsewhere or zooms.
TEST(ScreenFit, BelowTheMainWindowOnlyWithRoomForTheWholeGuest) {
    ar::Input in;
    in.blocks = {{0, ar::kColumnWidth, 3000}, {0, ar::kColumnWidth, 1500}, {1, ar::kColumnWidth, 2500}};
    in.hasGuest = true;
    in.statusRowRight = 5000;
    // The main window at full size with the guest below it, on no screen in particular.
    const auto mainAlone = [&](const ar::Guest& guest) {
        ar::Input free = in;
        free.guest = guest;
        const ar::Result r = ar::arrange(free);
        EXPECT_EQ(r.guestPlace, ar::GuestPlace::Below);
        EXPECT_EQ(r.zoom, 1.0);
        return r;
    };
    const ar::Guest usual{6300, 4120}, wide{30000, 4120};
    const ar::Result usualMain = mainAlone(usual), wideMain = mainAlone(wide);
    ASSERT_LT(usualMain.outerWidth, wide.width);
    const double roomy = 100000;
    const double usualTall = usualMain.outerHeight + usual.height + ar::kTitleBar + ar::kFrameBorder;
    const double wideWide = wide.width + 2 * ar::kFrameBorder;
    const struct {
        const char* what;
        ar::Guest guest;
        double screenWidth, screenHeight;
        bool below;  // below the main window at full size
    } rows[] = {
        {"room for all of it", usual, roomy, usualTall, true},
        {"a twip short", usual, roomy, usualTall - 1, false},
        {"room only without its title bar", usual, roomy, usualTall - ar::kTitleBar, false},
        {"room only without its lower frame", usual, roomy, usualTall - ar::kFrameBorder, false},
        {"a wide guest with room across", wide, wideWide, roomy, true},
        {"a wide guest a twip too wide", wide, wideWide - 1, roomy, false},
        {"a wide guest with room only without its side frames", wide, wide.width, roomy, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ar::Input screen = in;
        screen.guest = row.guest;
        screen.screenWidth = row.screenWidth;
        screen.screenHeight = row.screenHeight;
        const ar::Result r = ar::arrange(screen);
        EXPECT_EQ(r.guestPlace == ar::GuestPlace::Below && r.zoom == 1.0, row.below)
            << "placed " << static_cast<int>(r.guestPlace) << " at zoom " << r.zoom;
    }
}

// A main window saved low on the screen comes up far enough for the
// docked pan-tilt window below it to be on the screen whole; one saved
// with room for both stays where it was.
TEST(ScreenFit, SavedLowTheMainWindowRisesToKeepTheWindowBelowOnTheScreen) {
    const double screenBottom = 1600 * 9.0;
    const struct {
        double savedTop;  // twips
        bool kept;
    } rows[] = {{0, true}, {900, true}, {2700, false}, {6300, false}, {screenBottom, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.savedTop);
        Rig rig({"ORX-Beta"});
        rig.windows.area = {0, 0, 2560 * 9.0, screenBottom};
        rig.settings.values[std::string(Program::kTitle) + "/Settings/MainTop"] = std::to_string(row.savedTop);
        ASSERT_TRUE(rig.startUp());
        const FrmMain& m = rig.main();
        const FrmPanTilt& pt = rig.program->frmPanTilt();
        ASSERT_EQ(pt.host(), nullptr);
        EXPECT_DOUBLE_EQ(pt.top(), m.top() + m.height() * m.zoom());
        const double guestBottom = pt.top() + pt.height() * pt.zoom() + ar::kTitleBar + ar::kFrameBorder;
        EXPECT_LE(guestBottom, screenBottom);
        if (row.kept) {
            EXPECT_EQ(m.top(), row.savedTop);
        } else {
            EXPECT_NEAR(guestBottom, screenBottom, 1.0);
        }
    }
}

// Released, the pan-tilt window opens where it covers the fewest controls:
// beside the main window, else below or above it, else over the logs; whole
// on the screen in every case.
TEST(ScreenFit, TheReleasedWindowOpensWhereItCoversTheFewestControls) {
    const double guestW = 10500, guestH = 7300;  // 700 x 458 pixels and the frame
    const ar::Box logs{14000, 1500, 2535, 9000};  // of a main window at the screen's corner
    const struct {
        const char* what;
        ar::Box main, screen;
        double left, top;
    } rows[] = {
        {"room on the right", {0, 0, 16800, 11000}, {0, 0, 28800, 16200}, 16800, 0},
        {"room on the left only", {11000, 500, 16800, 11000}, {0, 0, 28800, 16200}, 500, 500},
        {"room below only", {0, 0, 20000, 8000}, {0, 0, 20490, 16200}, 0, 8000},
        {"room above only", {0, 8000, 20000, 8000}, {0, 0, 20490, 16200}, 0, 700},
        {"beside, kept on the screen's bottom", {0, 12000, 16800, 4000}, {0, 0, 28800, 16200}, 16800, 8900},
        {"a full screen (1366 x 768): over the logs", {0, 0, 20490, 11520}, {0, 0, 20490, 11520}, 6035, 1500},
        {"over the logs, kept on the screen", {0, 0, 20490, 11520}, {0, 0, 20490, 8000}, 6035, 700},
        {"no screen known: on the right", {300, 200, 16800, 11000}, {}, 17100, 200},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const auto at = ar::releasedPlace(row.main, guestW, guestH, logs, row.screen);
        EXPECT_DOUBLE_EQ(at.left, row.left);
        EXPECT_DOUBLE_EQ(at.top, row.top);
    }
}
