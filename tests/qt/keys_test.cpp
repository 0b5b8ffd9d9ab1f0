// Keyboard access in the Qt view: mnemonics on the menus and the dialogs'
// buttons (each letter once per menu or window, captions and spoken names
// unchanged), shortcuts that work the control as a click does, and menus
// with nothing on offer hidden.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QShortcut>
#include <functional>

#include "dialogs/deffect.h"
#include "pantilt/frm_pantilt.h"
#include "platform/qt/captions.h"
#include "platform/qt/form_view.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::qt::ViewSet;
using orbus::testing::Rig;

namespace {

// Shown texts against captions: the same text apart from the marks, and no
// letter marked twice. Returns how many carry a mark.
int checkMarks(const std::vector<std::pair<QString, std::string>>& shownAndCaption, const std::string& where) {
    std::string taken;
    int marked = 0;
    for (const auto& [shown, caption] : shownAndCaption) {
        const std::string text = shown.toStdString();
        EXPECT_EQ(qt::withoutMnemonic(text), qt::withoutMnemonic(caption)) << where;
        const char m = qt::mnemonicOf(text);
        if (!m) continue;
        ++marked;
        EXPECT_EQ(taken.find(m), std::string::npos) << "'" << m << "' twice in " << where << " (" << text << ")";
        taken += m;
    }
    return marked;
}

}  // namespace

TEST(Keys, MnemonicsTakeTheFirstFreeLetter) {
    const struct {
        const char *caption, *taken, *marked, *takenAfter;
    } cases[] = {
        {"Camera", "", "&Camera", "C"},
        {"Camera", "CA", "Ca&mera", "CAM"},
        {"Black&&White", "", "&Black&&White", "B"},
        {"Black&&White", "BLACK", "Black&&&White", "BLACKW"},  // "&&" stays a literal "&"
        {"E&xit", "", "E&xit", "X"},                           // a mark of its own stays
        {"x1.5", "X", "x&1.5", "X1"},                          // digits serve too
        {"3-STATE", "3STAE", "3-STATE", "3STAE"},              // none free: unmarked
    };
    for (const auto& c : cases) {
        std::string taken = c.taken;
        EXPECT_EQ(qt::withMnemonic(c.caption, taken), c.marked) << c.caption;
        EXPECT_EQ(taken, c.takenAfter) << c.caption;
        EXPECT_EQ(qt::withoutMnemonic(c.marked), qt::withoutMnemonic(c.caption)) << c.caption;
    }
}

TEST(Keys, MenusAndDialogButtonsCarryUniqueMnemonics) {
    Rig rig({"ORX-Kappa", "KBM-R27"});
    ViewSet views(rig.program->forms());
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    qt::FormView* mv = views.viewOf(m);
    auto action = [&](MenuItem& mi) { return qobject_cast<QAction*>(mv->objectFor(&mi)); };
    // Every entry on offer is marked, uniquely within its menu (the menu bar
    // is one); a menu with nothing on offer is hidden.
    std::function<void(const std::vector<MenuItem*>&, const std::string&)> walk =
        [&](const std::vector<MenuItem*>& items, const std::string& where) {
            std::vector<std::pair<QString, std::string>> entries;
            for (MenuItem* mi : items) {
                ASSERT_NE(action(*mi), nullptr) << mi->objectName();
                EXPECT_EQ(action(*mi)->isVisible(), mi->shown()) << mi->objectName();
                if (!mi->shown()) continue;
                entries.emplace_back(action(*mi)->text(), mi->caption());
                if (!mi->children().empty()) walk(mi->children(), mi->caption());
            }
            EXPECT_EQ(checkMarks(entries, where), static_cast<int>(entries.size())) << where;
        };
    for (int camera : {1, 2}) {  // Kappa offers nothing under "Function" and "Sync"; the block camera does
        m.CameraSel[camera].click();
        rig.run(3);
        walk(m.topMenus(), "the menu bar");
        EXPECT_EQ(action(m.M_Function)->isVisible(), camera == 2);
        EXPECT_EQ(action(m.Sync)->isVisible(), camera == 2);
    }
    EXPECT_EQ(m.BlackWhite.caption(), "Black&&White");  // the model keeps the design's text

    // Dialogs: buttons marked uniquely, spoken names without the marks, also
    // after a caption changes.
    int dialogs = 0;
    for (Form* f : rig.program->forms()) {
        if (!f->topMenus().empty() || f->onKeyDown) continue;
        std::vector<Button*> buttons;
        for (Control* c : f->controls()) {
            if (c->kind() == Kind::Button) buttons.push_back(static_cast<Button*>(c));
        }
        if (buttons.empty()) continue;
        ++dialogs;
        for (bool renamed : {false, true}) {
            if (renamed) buttons.front()->setCaption("Stop");
            std::vector<std::pair<QString, std::string>> entries;
            for (Button* b : buttons) {
                auto* w = qobject_cast<QPushButton*>(views.viewOf(*f)->objectFor(b));
                entries.emplace_back(w->text(), b->caption());
                const std::string& own = b->accessibleName();
                EXPECT_EQ(w->accessibleName(), own.empty() ? qt::spokenCaption(b->caption()) : qt::q(own));
            }
            EXPECT_GT(checkMarks(entries, f->name()), 0) << f->name();
        }
    }
    EXPECT_GE(dialogs, 8);
}

TEST(Keys, ShortcutsWorkTheControlAsAClickDoes) {
    Rig rig({"ORX-Beta", "ORX-Beta", "ORX-Beta"});
    ViewSet views(rig.program->forms());
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    // Menu entries: the key is on the action (the menu shows it), which runs the entry's click.
    auto* cam3 = qobject_cast<QAction*>(views.viewOf(m)->objectFor(&m.CameraSel[3]));
    EXPECT_EQ(cam3->shortcut(), QKeySequence("Ctrl+3"));
    cam3->trigger();
    rig.run(3);
    EXPECT_EQ(rig.link().CamAddress, 3);
    EXPECT_NE(qobject_cast<QAction*>(views.viewOf(m)->objectFor(&m.FullAuto))->toolTip().indexOf("8x 01 04 39 00 FF"), -1);

    // Buttons: the key clicks the button. The pan-tilt Stop's key works from
    // the main window and its own, and stays out of the way elsewhere.
    EXPECT_EQ(views.viewOf(m)->widgetFor(&m.RefreshOnce)->findChild<QShortcut*>()->key(), QKeySequence("F5"));
    FrmPanTilt& pt = rig.program->frmPanTilt();
    auto* stop = views.viewOf(pt)->widgetFor(&pt.Pan_Tilt_Stop[0])->findChild<QShortcut*>();
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->key(), QKeySequence("Esc"));
    const struct {
        QWidget* window;
        bool works;
    } actives[] = {{views.windowOf(m), true},
                   {views.windowOf(pt), true},
                   {views.windowOf(rig.program->frmDeffect()), false}};
    for (const auto& a : actives) {
        a.window->show();
        QApplication::setActiveWindow(a.window);
        QElapsedTimer t;
        t.start();
        while (QApplication::activeWindow() != a.window && t.elapsed() < 1000) QApplication::processEvents();
        EXPECT_EQ(stop->isEnabled(), a.works) << a.window->objectName().toStdString();
        if (!a.works) continue;
        rig.linkControl().drive(2);
        const auto mark = rig.mark();
        emit stop->activated();
        t.restart();
        while (rig.packetsSince(mark).empty() && t.elapsed() < 1000) QApplication::processEvents();
        EXPECT_EQ(rig.packetsSince(mark), std::vector<std::string>{"82 01 06 01 18 18 03 03 FF"});
    }
    views.windowOf(rig.program->frmDeffect())->hide();
}
