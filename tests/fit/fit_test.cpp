// The panel on the screen it runs on: the main window and the docked
// pan-tilt window lie on the screen, every control can be brought into view
// and clicked, none lies under the other window, and every caption fits its
// control in the default font.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTest>

#include "pantilt/frm_pantilt.h"
#include "platform/qt/form_view.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::qt::ViewSet;
using orbus::testing::Rig;

namespace {

QRect globalRect(const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); }

QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// Starts the panel on this screen with the given models and pan-tilt window size.
struct Screen {
    Rig rig;
    ViewSet views;
    explicit Screen(const std::vector<std::string>& models, bool large = true)
        : rig(models), views(rig.program->forms()) {
        const QRect a = available();
        rig.windows.area = {qt::twips(a.x()), qt::twips(a.y()), qt::twips(a.width()), qt::twips(a.height())};
        rig.settings.values[std::string(Program::kTitle) + "/Settings/PTWSize"] = large ? "True" : "False";
        started = rig.startUp();
        QApplication::processEvents();
    }
    bool started = false;
    QWidget* window(const Form& f) const { return views.windowOf(f); }
    QWidget* widget(const Form& f, const Control* c) const { return views.viewOf(f)->widgetFor(c); }
};

// Every control shown on the form: scrolled into view, it lies inside the
// screen's available area and inside the part of the main window that shows
// it, and not under the other window.
void expectReachable(Screen& s, const Form& f) {
    QWidget* mainWin = s.window(s.rig.main());
    auto* scroll = mainWin->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    const FrmPanTilt& pt = s.rig.program->frmPanTilt();
    QWidget* ptWin = s.window(pt);
    const bool held = pt.host() != nullptr;
    int checked = 0;
    for (Control* c : f.controls()) {
        if (c->kind() == Kind::Timer || c->kind() == Kind::MenuItem) continue;
        QWidget* w = s.widget(f, c);
        if (!w || !w->isVisible()) continue;
        SCOPED_TRACE(f.name() + "." + c->objectName());
        const bool inMain = mainWin->isAncestorOf(w);
        if (inMain) {
            scroll->ensureWidgetVisible(w, 0, 0);
            QApplication::processEvents();
            EXPECT_TRUE(globalRect(scroll->viewport()).contains(globalRect(w))) << "cannot be scrolled into view";
        }
        EXPECT_TRUE(available().contains(globalRect(w))) << "off the screen";
        if (&f == &s.rig.main() && ptWin->isVisible()) {
            EXPECT_FALSE(globalRect(ptWin).intersects(globalRect(w))) << "under the pan-tilt window";
        }
        if (&f == &pt && !held) {
            EXPECT_FALSE(globalRect(mainWin).intersects(globalRect(w))) << "over the main window";
        }
        ++checked;
    }
    EXPECT_GT(checked, 10);
}

int textWidth(const QWidget* w, const QString& text) { return w->fontMetrics().horizontalAdvance(text); }

// What a caption needs of its control's width, in pixels.
int captionNeeds(const QWidget* w) {
    if (auto* cb = qobject_cast<const QCheckBox*>(w)) {
        return w->style()->pixelMetric(QStyle::PM_IndicatorWidth) +
               w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) + textWidth(w, cb->text());
    }
    if (auto* rb = qobject_cast<const QRadioButton*>(w)) {
        return w->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
               w->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing) + textWidth(w, rb->text());
    }
    if (auto* b = qobject_cast<const QPushButton*>(w)) return textWidth(w, b->text()) + 4;
    if (auto* g = qobject_cast<const QGroupBox*>(w)) return textWidth(w, g->title());
    return 0;
}

}  // namespace

TEST(Fit, PanTiltCameraWithItsWindowDocked) {
    for (bool large : {true, false}) {
        SCOPED_TRACE(large ? "large" : "small");
        Screen s({"ORX-Kappa"}, large);
        ASSERT_TRUE(s.started);
        const FrmPanTilt& pt = s.rig.program->frmPanTilt();
        ASSERT_TRUE(pt.visible());
        EXPECT_TRUE(s.rig.program->ptw.PTWDocking);
        EXPECT_TRUE(available().contains(s.window(s.rig.main())->frameGeometry()));
        if (!pt.host()) {
            // Below the main window's left edge.
            EXPECT_EQ(s.window(pt)->frameGeometry().left(), s.window(s.rig.main())->frameGeometry().left());
            EXPECT_GE(s.window(pt)->frameGeometry().top(), s.window(s.rig.main())->frameGeometry().bottom());
        }
        expectReachable(s, s.rig.main());
        expectReachable(s, pt);
    }
}

TEST(Fit, BlockCamera) {
    Screen s({"KBM-R05"});
    ASSERT_TRUE(s.started);
    EXPECT_FALSE(s.rig.program->frmPanTilt().visible());
    EXPECT_TRUE(available().contains(s.window(s.rig.main())->frameGeometry()));
    expectReachable(s, s.rig.main());
}

// Released, the window goes where the operator puts it and the main window
// is laid out without it; docked again, it comes back below or inside the
// main window, which takes the size it had.
TEST(Fit, DockingReleasedAndAgain) {
    Screen s({"ORX-Beta"});
    ASSERT_TRUE(s.started);
    FrmMain& m = s.rig.main();
    const double own = m.height() * m.zoom(), held = m.zoom();
    m.PTWDockingM.click();
    QApplication::processEvents();
    const FrmPanTilt& pt = s.rig.program->frmPanTilt();
    EXPECT_EQ(pt.host(), nullptr);
    EXPECT_TRUE(s.window(pt)->isWindow());
    EXPECT_GE(m.zoom(), held);  // alone, at least as large
    m.PTWDockingM.click();
    QApplication::processEvents();
    expectReachable(s, m);
    expectReachable(s, pt);
    EXPECT_EQ(m.height() * m.zoom(), own);
}

TEST(Fit, CaptionsFitTheirControls) {
    Screen s({"ORX-Gamma"});
    for (const Form* f : {static_cast<const Form*>(&s.rig.main()), static_cast<const Form*>(&s.rig.program->frmPanTilt())}) {
        for (Control* c : f->controls()) {
            const QWidget* w = s.widget(*f, c);
            if (!w) continue;
            EXPECT_LE(captionNeeds(w), w->width()) << f->name() << "." << c->objectName();
        }
    }
}

// Held or not, the pan-tilt window drives the head from the keyboard, and
// the head stops when the focus leaves the window with a key still held.
TEST(Fit, HeldPanTiltWindowDrivesFromTheKeyboard) {
    Screen s({"ORX-Beta"});
    ASSERT_TRUE(s.started);
    FrmPanTilt& pt = s.rig.program->frmPanTilt();
    QWidget* mainWin = s.window(s.rig.main());
    QWidget* top = pt.host() ? mainWin : s.window(pt);
    top->show();
    top->activateWindow();
    QApplication::setActiveWindow(top);
    QWidget* button = s.widget(pt, &pt.Pan_Tilt_Stop[0]);
    button->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), button);

    const auto mark = s.rig.mark();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(button, &press);
    auto drives = s.rig.packetsSince(mark, "01 06 01");
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives[0].substr(drives[0].size() - 8), "01 03 FF");  // left

    if (pt.host()) {
        // Into the main window's own controls: the held window lost the keyboard.
        s.widget(s.rig.main(), &s.rig.main().DirectText)->setFocus();
        QApplication::processEvents();
        drives = s.rig.packetsSince(mark, "01 06 01");
        ASSERT_EQ(drives.size(), 2u);
        EXPECT_EQ(drives[1].substr(drives[1].size() - 8), "03 03 FF");  // stop
        // A click on its background, away from any button, gives it the keys back.
        QWidget* held = s.window(pt);
        const QPoint spot(2, 2);
        ASSERT_EQ(held->childAt(spot), nullptr);
        QTest::mouseClick(held, Qt::LeftButton, Qt::NoModifier, spot);  // as the window system gives it
        QApplication::processEvents();
        QWidget* focus = QApplication::focusWidget();
        ASSERT_TRUE(focus && (focus == held || held->isAncestorOf(focus)));
        QKeyEvent again(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QApplication::sendEvent(focus, &again);
        drives = s.rig.packetsSince(mark, "01 06 01");
        ASSERT_EQ(drives.size(), 3u);
        EXPECT_EQ(drives[2].substr(drives[2].size() - 8), "02 03 FF");  // right
    } else {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier);
        QApplication::sendEvent(button, &release);
        s.rig.run(0.05);  // the release counts once no repeat follows
        drives = s.rig.packetsSince(mark, "01 06 01");
        ASSERT_EQ(drives.size(), 2u);
        EXPECT_EQ(drives[1].substr(drives[1].size() - 8), "03 03 FF");
    }
}
