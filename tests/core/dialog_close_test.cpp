// The modal dialogs that stop the main window's refresh give it back the
// moment they close, whichever way they close: the Auto/Stop button usable
// and showing the operator's choice, the refresh timer as that choice says,
// the pan-tilt upkeep running. Nothing waits for a clock tick.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/about.h"
#include "dialogs/aes.h"
#include "dialogs/camera_settings.h"
#include "dialogs/deffect.h"
#include "dialogs/md.h"
#include "dialogs/title.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

// The main window's refresh controls as the operator sees them.
struct RefreshSeen {
    bool buttonEnabled = false;
    std::string caption;
    bool timer1 = false;
    bool timer2 = false;
    bool onceEnabled = false;
    bool held = true;

    explicit RefreshSeen(Rig& rig) {
        FrmMain& m = rig.main();
        buttonEnabled = m.AutoRefreshed.enabled();
        caption = m.AutoRefreshed.caption();
        timer1 = m.Timer1.enabled();
        timer2 = m.Timer2.enabled();
        onceEnabled = m.RefreshOnce.enabled();
        held = rig.link().RefreshHeld;
    }
};

}  // namespace

TEST(DialogClose, RefreshIsBackTheMomentEachModalDialogCloses) {
    Rig rig({"ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    Program& p = *rig.program;
    using Action = std::function<void()>;
    // Each dialog closes by its buttons (OK after typing a value) and by its
    // title bar. The title dialogs' OK sends and stays open.
    struct Case {
        const char* name;
        MenuItem& menu;
        Form& dialog;
        std::vector<Button*> buttons;
        TextBox* box = nullptr;  // typed before OK
        const char* value = nullptr;
        bool okSetsPowerOff = false;  // a power-off timer set: automatic refresh stays off
        std::vector<Action> first = {};  // in the dialogs shown before this one
        Action after = nullptr;          // in the dialog left open underneath
    };
    FrmTitle_M& titleM = p.frmTitleM();
    FrmDeffect& level = p.frmDeffect();
    FrmCamID& id = p.frmCamID();
    FrmAutoPOff& autoOff = p.frmAutoPOff();
    FrmNightPOff& night = p.frmNightPOff();
    Frmmoreinfo& info = p.frmMoreInfo();
    const Case cases[] = {
        {"alarm", m.MotionDetecter, p.frmMD(), {&p.frmMD().CmdClose}},
        {"spot exposure", m.AESpotMode, p.frmAES(), {}},
        {"effect level", m.EffectLevel, level, {&level.DELevelOK, &level.DELevelCancel}, &level.DELevel, "32"},
        {"camera ID", m.IDWrite, id, {&id.OK, &id.Cancel}, &id.ID, "4660"},
        {"auto power off", m.AutoPowerOff, autoOff, {&autoOff.OK, &autoOff.Cancel}, &autoOff.OffTimer, "0", true},
        {"night power off", m.NightPowerOff, night, {&night.OK, &night.Cancel}, &night.OffTimer, "60", true},
        {"picked title", m.TitleSet, titleM, {&titleM.Cancel}},
        {"typed title", m.TitleSet, p.frmTitleK(), {&p.frmTitleK().Cancel}, nullptr, nullptr, false,
         {[&] { titleM.Keyboard.click(); }}},
        {"camera information", m.version, info, {&info.OKButton}, nullptr, nullptr, false,
         {[&] { p.frmAbout().more.click(); }}, [&] { p.frmAbout().OK.click(); }},
    };
    for (const bool autoOn : {true, false}) {
        for (const Case& c : cases) {
            for (std::size_t way = 0; way <= c.buttons.size(); ++way) {
                Button* button = way < c.buttons.size() ? c.buttons[way] : nullptr;
                SCOPED_TRACE(std::string(c.name) + ", " + (button ? button->caption() : "title bar") +
                             (autoOn ? ", auto refresh on" : ", auto refresh off"));
                if (m.autoCaption() != autoOn) m.AutoRefreshed.click();
                ASSERT_EQ(m.autoCaption(), autoOn);
                rig.run(2.5);  // whatever the previous case sent has completed
                // The night power-off opens for a started day and night alarm
                // only; the status reads and the alarm dialog read the camera's.
                p.alarm.AlarmConfigured = p.alarm.AlarmActive = &c.menu == &m.NightPowerOff;
                p.alarm.AlarmMode = AlarmState::kDayNight;
                p.alarm.DayLevel = 0x900;
                p.alarm.NightLevel = 0x100;
                for (const Action& a : c.first) rig.windows.script(a);
                std::vector<RefreshSeen> seen;
                rig.windows.script([&] {
                    seen.emplace_back(rig);  // held while open
                    if (button && way == 0 && c.box) c.box->setText(c.value);
                    if (button)
                        button->click();
                    else
                        c.dialog.unload();
                    seen.emplace_back(rig);  // and back at once
                });
                if (c.after) rig.windows.script(c.after);
                c.menu.click();
                rig.windows.dropScript();
                ASSERT_EQ(seen.size(), 2u);
                EXPECT_FALSE(seen[1].held || c.dialog.visible());
                EXPECT_FALSE(seen[0].timer1);
                EXPECT_TRUE(seen[0].held);
                const RefreshSeen& now = seen[1];
                const bool on = autoOn && !(c.okSetsPowerOff && way == 0);
                EXPECT_TRUE(now.buttonEnabled);
                EXPECT_EQ(now.caption, on ? "Auto" : "Stop");
                EXPECT_EQ(now.timer1, on);
                EXPECT_TRUE(now.timer2);
                EXPECT_EQ(now.onceEnabled, !on);
            }
        }
    }
    EXPECT_TRUE(rig.windows.messages.empty());
}
