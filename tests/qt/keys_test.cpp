// Keyboard access in the Qt view: mnemonics on the menus and the dialogs'
// buttons (each letter once per menu or window, captions and spoken names
// unchanged), shortcuts that work the control as a click does, tips on the
// menus' entries, and menus with nothing on offer hidden.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <functional>

#include "dialogs/deffect.h"
#include "pantilt/frm_pantilt.h"
#include "platform/qt/captions.h"
#include "platform/qt/form_view.h"
#include "platform/testing/rig.h"

using namespace orbus;
using orbus::qt::ViewSet;
using orbus::testing::Rig;

namespace {

bool spinUntil(const std::function<bool()>& cond, int ms) {
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return cond();
}

// Each entry on offer shows its caption with at most one mark, and no two
// entries share a letter. Returns how many carry a mark.
int checkMarks(const std::vector<std::pair<std::string, std::string>>& shownAndCaption, const std::string& where) {
    std::string taken;
    int marked = 0;
    for (const auto& [shown, caption] : shownAndCaption) {
        EXPECT_EQ(qt::withoutMnemonic(shown), qt::withoutMnemonic(caption)) << where;
        const char m = qt::mnemonicOf(shown);
        if (!m) continue;
        ++marked;
        EXPECT_EQ(taken.find(m), std::string::npos) << "'" << m << "' twice in " << where << " (" << shown << ")";
        taken += m;
    }
    return marked;
}

}  // namespace

TEST(Keys, MnemonicsArePlacedOnFreeLetters) {
    struct Case {
        const char* caption;
        const char* taken;
        const char* marked;
        const char* takenAfter;
    };
    const Case cases[] = {
        {"Camera", "", "&Camera", "C"},
        {"Camera", "CA", "Ca&mera", "CAM"},
        {"Black&&White", "", "&Black&&White", "B"},
        {"Black&&White", "BLACK", "Black&&&White", "BLACKW"},
        {"E&xit", "", "E&xit", "X"},          // a mark of its own stays
        {"x1.5", "X", "x&1.5", "X1"},          // digits serve too
        {"3-STATE", "3STAE", "3-STAT&E", "3STAE"},  // none free: unmarked
    };
    for (const Case& c : cases) {
        std::string taken = c.taken;
        const std::string got = qt::withMnemonic(c.caption, taken);
        if (std::string(c.caption) == "3-STATE") {
            EXPECT_EQ(got, c.caption);
        } else {
            EXPECT_EQ(got, c.marked) << c.caption;
            EXPECT_EQ(taken, c.takenAfter) << c.caption;
        }
        EXPECT_EQ(qt::withoutMnemonic(got), qt::withoutMnemonic(c.caption)) << c.caption;
    }
}

TEST(Keys, MenusAndDialogButtonsCarryUniqueMnemonics) {
    Rig rig({"ORX-Kappa", "KBM-R27"});
    ViewSet views(rig.program->forms());
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    qt::FormView* mv = views.viewOf(m);
    // The menu bar and each menu, through the model's tree.
    int marked = 0, offered = 0;
    std::function<void(const std::vector<MenuItem*>&, const std::string&)> walk =
        [&](const std::vector<MenuItem*>& items, const std::string& where) {
            std::vector<std::pair<std::string, std::string>> entries;
            for (MenuItem* mi : items) {
                auto* act = qobject_cast<QAction*>(mv->objectFor(mi));
                ASSERT_NE(act, nullptr) << mi->objectName();
                EXPECT_EQ(act->isVisible(), mi->shown()) << mi->objectName();
                if (!mi->shown()) continue;
                entries.emplace_back(act->text().toStdString(), mi->caption());
                ++offered;
                if (!mi->children().empty()) walk(mi->children(), mi->caption());
            }
            marked += checkMarks(entries, where);
        };
    walk(m.topMenus(), "the menu bar");
    EXPECT_EQ(marked, offered);  // no menu runs out of letters
    EXPECT_GT(marked, 50);
    // The model's captions stay the design's text.
    EXPECT_EQ(m.BlackWhite.caption(), "Black&&White");
    EXPECT_EQ(qt::withoutMnemonic(qobject_cast<QAction*>(mv->objectFor(&m.BlackWhite))->text().toStdString()),
              "Black&White");
    // Kappa offers nothing under "Function" and "Sync": the menus are hidden.
    EXPECT_FALSE(qobject_cast<QAction*>(mv->objectFor(&m.M_Function))->isVisible());
    EXPECT_FALSE(qobject_cast<QAction*>(mv->objectFor(&m.Sync))->isVisible());
    // A block camera offers them again.
    m.CameraSel[2].click();
    rig.run(3);
    EXPECT_TRUE(qobject_cast<QAction*>(mv->objectFor(&m.M_Function))->isVisible());
    EXPECT_TRUE(qobject_cast<QAction*>(mv->objectFor(&m.Sync))->isVisible());
    walk(m.topMenus(), "the menu bar");

    // Dialogs: every button, its spoken name the plain caption.
    int dialogs = 0;
    for (Form* f : rig.program->forms()) {
        if (!f->topMenus().empty() || f->onKeyDown) continue;
        std::vector<std::pair<std::string, std::string>> entries;
        for (Control* c : f->controls()) {
            auto* b = qobject_cast<QPushButton*>(views.viewOf(*f)->objectFor(c));
            if (!b) continue;
            const auto& cap = static_cast<Button*>(c)->caption();
            entries.emplace_back(b->text().toStdString(), cap);
            if (c->accessibleName().empty()) {
                EXPECT_EQ(b->accessibleName(), qt::spokenCaption(cap)) << c->objectName();
            }
        }
        if (checkMarks(entries, f->name()) > 0) ++dialogs;
        // A caption changed later takes a letter still free.
        for (Control* c : f->controls()) {
            if (c->kind() != Kind::Button) continue;
            static_cast<Button*>(c)->setCaption("Stop");
            entries.clear();
            for (Control* o : f->controls()) {
                if (auto* b = qobject_cast<QPushButton*>(views.viewOf(*f)->objectFor(o)))
                    entries.emplace_back(b->text().toStdString(), static_cast<Button*>(o)->caption());
            }
            checkMarks(entries, f->name() + " after a new caption");
            break;
        }
    }
    EXPECT_GE(dialogs, 8);
}

TEST(Keys, ShortcutsWorkTheControlAsAClickDoes) {
    Rig rig({"ORX-Beta", "ORX-Beta", "ORX-Beta"});
    ViewSet views(rig.program->forms());
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    qt::FormView* mv = views.viewOf(m);
    // Menu entries: the key is on the action, shown in the menu, and the
    // action runs the entry's click.
    struct Entry {
        MenuItem* item;
        const char* keys;
    };
    const Entry entries[] = {{&m.CameraSel[3], "Ctrl+3"}, {&m.ViewTraffic, "Ctrl+T"},
                             {&m.ViewChainStatus, "Ctrl+Shift+C"}};
    for (const Entry& e : entries) {
        auto* act = qobject_cast<QAction*>(mv->objectFor(e.item));
        ASSERT_NE(act, nullptr);
        EXPECT_EQ(act->shortcut(), QKeySequence(e.keys)) << e.keys;
    }
    qobject_cast<QAction*>(mv->objectFor(&m.CameraSel[3]))->trigger();
    rig.run(3);
    EXPECT_EQ(rig.link().CamAddress, 3);
    EXPECT_TRUE(m.CameraSel[3].checked());
    // A menu entry with a tip shows it.
    EXPECT_NE(qobject_cast<QAction*>(mv->objectFor(&m.FullAuto))->toolTip().indexOf("8x 01 04 39 00 FF"), -1);

    // Buttons: the key presses, lets go and clicks the button. The pan-tilt
    // Stop's key works from the main window and its own, and stays out of
    // the way in any other window.
    FrmPanTilt& pt = rig.program->frmPanTilt();
    QWidget* stopButton = views.viewOf(pt)->widgetFor(&pt.Pan_Tilt_Stop[0]);
    auto* stop = stopButton->findChild<QShortcut*>();
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->key(), QKeySequence("Esc"));
    auto* refresh = views.viewOf(m)->widgetFor(&m.RefreshOnce)->findChild<QShortcut*>();
    ASSERT_NE(refresh, nullptr);
    EXPECT_EQ(refresh->key(), QKeySequence("F5"));
    struct Active {
        QWidget* window;
        bool works;
    };
    const Active actives[] = {{views.windowOf(m), true},
                              {views.windowOf(pt), true},
                              {views.windowOf(rig.program->frmDeffect()), false}};
    for (const Active& a : actives) {
        a.window->show();
        a.window->activateWindow();
        QApplication::setActiveWindow(a.window);
        ASSERT_TRUE(spinUntil([&] { return QApplication::activeWindow() == a.window; }, 1000));
        EXPECT_EQ(stop->isEnabled(), a.works) << a.window->objectName().toStdString();
        if (!a.works) continue;
        rig.link().CamAddress = 2;
        const auto mark = rig.mark();
        emit stop->activated();
        spinUntil([&] { return !rig.packetsSince(mark).empty(); }, 1000);
        rig.run(1);
        EXPECT_EQ(rig.packetsSince(mark), std::vector<std::string>{"82 01 06 01 18 18 03 03 FF"});
    }
    views.windowOf(rig.program->frmDeffect())->hide();
}
