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
#include "platform/testing/rig.h"

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
    struct Case {
        const char* name;
        MenuItem& menu;
        std::vector<Action> first;  // actions in the dialogs shown before the one closing
        Action close;
        bool setsPowerOff;  // a power-off timer set: automatic refresh stays off
        Action after = nullptr;  // in the dialog left open underneath
    };
    FrmTitle_M& titleM = p.frmTitleM();
    FrmTitle_K& titleK = p.frmTitleK();
    const Action toKeyboard = [&] { titleM.Keyboard.click(); };
    const Action more = [&] { p.frmAbout().more.click(); };
    const Action aboutOK = [&] { p.frmAbout().OK.click(); };
    // (The title dialogs' OK sends and stays open.)
    const Case cases[] = {
        {"alarm Close", m.MotionDetecter, {}, [&] { p.frmMD().CmdClose.click(); }, false},
        {"alarm closed", m.MotionDetecter, {}, [&] { p.frmMD().unload(); }, false},
        {"spot exposure closed", m.AESpotMode, {}, [&] { p.frmAES().unload(); }, false},
        {"effect level OK", m.EffectLevel, {}, [&] {
             p.frmDeffect().DELevel.setText("32");
             p.frmDeffect().DELevelOK.click();
         }, false},
        {"effect level Cancel", m.EffectLevel, {}, [&] { p.frmDeffect().DELevelCancel.click(); }, false},
        {"effect level closed", m.EffectLevel, {}, [&] { p.frmDeffect().unload(); }, false},
        {"camera ID OK", m.IDWrite, {}, [&] {
             p.frmCamID().ID.setText("4660");
             p.frmCamID().OK.click();
         }, false},
        {"camera ID Cancel", m.IDWrite, {}, [&] { p.frmCamID().Cancel.click(); }, false},
        {"camera ID closed", m.IDWrite, {}, [&] { p.frmCamID().unload(); }, false},
        {"auto power off OK", m.AutoPowerOff, {}, [&] {
             p.frmAutoPOff().OffTimer.setText("0");
             p.frmAutoPOff().OK.click();
         }, true},
        {"auto power off Cancel", m.AutoPowerOff, {}, [&] { p.frmAutoPOff().Cancel.click(); }, false},
        {"auto power off closed", m.AutoPowerOff, {}, [&] { p.frmAutoPOff().unload(); }, false},
        {"night power off OK", m.NightPowerOff, {}, [&] {
             p.frmNightPOff().OffTimer.setText("60");
             p.frmNightPOff().OK.click();
         }, true},
        {"night power off Cancel", m.NightPowerOff, {}, [&] { p.frmNightPOff().Cancel.click(); }, false},
        {"night power off closed", m.NightPowerOff, {}, [&] { p.frmNightPOff().unload(); }, false},
        {"picked title Cancel", m.TitleSet, {}, [&] { titleM.Cancel.click(); }, false},
        {"picked title closed", m.TitleSet, {}, [&] { titleM.unload(); }, false},
        {"typed title Cancel", m.TitleSet, {toKeyboard}, [&] { titleK.Cancel.click(); }, false},
        {"typed title closed", m.TitleSet, {toKeyboard}, [&] { titleK.unload(); }, false},
        {"camera information OK", m.version, {more}, [&] { p.frmMoreInfo().OKButton.click(); }, false, aboutOK},
        {"camera information closed", m.version, {more}, [&] { p.frmMoreInfo().unload(); }, false, aboutOK},
    };
    for (const bool autoOn : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (autoOn ? ", auto refresh on" : ", auto refresh off"));
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
                c.close();
                seen.emplace_back(rig);  // and back at once
            });
            if (c.after) rig.windows.script(c.after);
            c.menu.click();
            rig.windows.dropScript();
            ASSERT_EQ(seen.size(), 2u);
            EXPECT_FALSE(seen[0].timer1);
            EXPECT_TRUE(seen[0].held);
            const RefreshSeen& now = seen[1];
            const bool on = autoOn && !c.setsPowerOff;
            EXPECT_TRUE(now.buttonEnabled);
            EXPECT_EQ(now.caption, on ? "Auto" : "Stop");
            EXPECT_EQ(now.timer1, on);
            EXPECT_TRUE(now.timer2);
            EXPECT_EQ(now.onceEnabled, !on);
            EXPECT_FALSE(now.held);
        }
    }
    EXPECT_TRUE(rig.windows.messages.empty());
}
