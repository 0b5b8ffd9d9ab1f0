// Keys and tips of the panel's windows: the tips of the controls that send
// name their packets, the shortcuts do not clash, a menu with nothing on
// offer is hidden, and the pan-tilt stop reaches the head that moved.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "dialogs/packets.h"
#include "panel/commands.h"
#include "panel/tips.h"
#include "pantilt/drive.h"
#include "pantilt/frm_pantilt.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

Form* formNamed(Rig& rig, const std::string& name) {
    for (Form* f : rig.program->forms()) {
        if (f->name() == name) return f;
    }
    return nullptr;
}

}  // namespace

// Every control a command table names carries a tip with its packets.
TEST(KeysTips, EveryControlATableNamesShowsItsPackets) {
    Rig rig;
    FrmMain& m = rig.main();
    FrmPanTilt& pt = rig.program->frmPanTilt();
    int walked = 0;
    auto has = [&](const Control* c, const std::string& packet) {
        ++walked;
        EXPECT_NE(c->toolTip().find(packet), std::string::npos) << c->objectName() << ": " << c->toolTip();
    };
    for (const panel::CommandRow& row : panel::commandTable()) {
        for (Control* c : row.target.elements(m)) has(c, panel::rowPacket(row, c->index()));
    }
    for (const pantilt::DriveRow& d : pantilt::driveTable()) {
        const Control* c = pt.find(std::string(d.control) + "_" + std::to_string(d.index));
        ASSERT_NE(c, nullptr) << d.control << d.index;
        std::string packet = "8x";
        for (std::size_t i = 0; i < d.body.size(); ++i) {
            packet += d.operatorSpeeds && i == 3 ? " vv" : d.operatorSpeeds && i == 4 ? " ww" : " " + panel::hexByte(d.body[i]);
        }
        has(c, packet + " FF");
    }
    for (const dialogs::PacketRow& row : dialogs::packetTable()) {
        if (std::string_view(row.control) == "Form_Load") continue;  // sent on opening, by no control
        Form* f = formNamed(rig, row.window);
        ASSERT_NE(f, nullptr) << row.window;
        int named = 0;
        for (const Control* c : f->controls()) {
            if (c->name() != row.control) continue;
            ++named;
            has(c, dialogs::packetNotation(row));
        }
        EXPECT_GT(named, 0) << row.window << "." << row.control;
    }
    EXPECT_GT(walked, 200);
}

// The words come first (the hand-written tip where there is one), then each
// packet by event and state, computed bytes as letters with their meaning.
TEST(KeysTips, TipsSayWhatTheControlDoesAndWhatItSends) {
    Rig rig;
    struct Case {
        const char* window;
        const char* control;
        std::vector<std::string> parts;
    };
    const Case cases[] = {
        {"FrmMain", "ZoomTele",
         {"Hold to zoom in at the speed beside it (0-7) \xE2\x80\x94 sends on press: 8x 01 04 07 2p FF (p = the speed)",
          "; on release: 8x 01 04 07 00 FF"}},
        {"FrmMain", "ExpComp", {"while ticked 8x 01 04 3E 02 FF, otherwise 8x 01 04 3E 03 FF"}},
        {"FrmMain", "PresetSet_3", {"Preset 4 Set \xE2\x80\x94 sends 8x 01 04 3F 01 03 FF"}},
        {"FrmMain", "IrisOpen", {"Iris Open \xE2\x80\x94 sends 8x 01 04 0B 02 FF"}},
        {"FrmMain", "IrisSlider", {"sends when moved: 8x 01 04 4B 0p 0q 0r 0s FF (pqrs = the position)"}},
        {"FrmMain", "RBReset", {"8x 01 04 03 00 FF, then 8x 01 04 04 00 FF"}},
        {"FrmMain", "Far", {"on ORX-Alpha 8x 01 04 08 02 FF, otherwise 8x 01 04 08 2p FF"}},
        {"FrmMain", "ACTAFmodeset", {"8x 01 04 27 0p 0q 0r 0s FF (pq = AFacttime, rs = AFintTime)"}},
        {"FrmMain", "CmdAutoICR", {"while it reads \"OFF\" 8x 01 04 51 02 FF, while it reads \"ON\" 8x 01 04 51 03 FF"}},
        {"FrmMain", "BlackWhite", {"Black&White \xE2\x80\x94 sends 8x 01 04 63 04 FF"}},
        {"FrmMain", "RefreshOnce", {"Read the camera's settings once (F5)"}},
        {"FrmMain", "CameraSel_3", {"Camera3 (Ctrl+3)"}},
        {"FrmPanTilt", "Pan_Tilt_Stop_1", {"Hold Up arrow", "8x 01 06 01 vv ww 03 01 FF (vv = pan speed"}},
        {"FrmPanTilt", "Pan_Tilt_Stop_0", {"Stop the head (keypad 5, or Esc here or in the main window)", "8x 01 06 01 18 18 03 03 FF"}},
        {"FrmPanTilt", "Pan_Tilt_Direct_8", {"home position", "sends 8x 01 06 04 FF"}},
        {"FrmMD", "cmdMDstart", {"sends 8x 01 04 6B 02 FF or 8x 01 04 6B 03 FF"}},
        {"FrmTitle_M", "OK", {"8x 01 04 73 00 vv vv vv vv 00", ", then 8x 01 04 73 02 vv", "(vv: the values set here)"}},
        {"FrmDeffect", "DELevelOK", {"8x 01 04 65 vv FF"}},
        {"Privacy", "CmdGridOn", {"8x 01 04 7C 02 FF"}},
        {"Privacy", "CmdPrivacySet_0", {"Privacy Zone Set \xE2\x80\x94 sends 8x 01 04 76 vv"}},
    };
    for (const Case& c : cases) {
        Form* f = formNamed(rig, c.window);
        ASSERT_NE(f, nullptr) << c.window;
        const Control* ctl = f->find(c.control);
        ASSERT_NE(ctl, nullptr) << c.control;
        for (const std::string& part : c.parts) {
            EXPECT_NE(ctl->toolTip().find(part), std::string::npos) << c.control << ": " << ctl->toolTip();
        }
    }
}

// Each window's keys are its own; the far-reaching ones count in the main
// window too.
TEST(KeysTips, ShortcutsAreTheConventionalKeysAndNeverClash) {
    Rig rig;
    std::string found;
    std::map<std::string, std::set<std::string>> perWindow;
    for (Form* f : rig.program->forms()) {
        for (const Control* c : f->controls()) {
            if (c->shortcut().empty()) continue;
            found += c->objectName() + "=" + c->shortcut() + (c->shortcutFarReaching() ? "(far) " : " ");
            // A far-reaching key counts in the main window too.
            for (const std::string& w : {f->name(), std::string(c->shortcutFarReaching() ? "FrmMain" : "")}) {
                EXPECT_TRUE(w.empty() || perWindow[w].insert(c->shortcut()).second) << c->shortcut() << " twice";
            }
        }
    }
    EXPECT_EQ(found,
              "ViewTraffic=Ctrl+T ViewChainStatus=Ctrl+Shift+C ViewGamepad=Ctrl+Shift+G ViewRemote=Ctrl+Shift+R "
              "AutoRefreshed=Ctrl+R RefreshOnce=F5 CameraSel_1=Ctrl+1 "
              "CameraSel_2=Ctrl+2 CameraSel_3=Ctrl+3 CameraSel_4=Ctrl+4 CameraSel_5=Ctrl+5 CameraSel_6=Ctrl+6 "
              "CameraSel_7=Ctrl+7 Pan_Tilt_Stop_0=Esc(far) ");
}

// A menu whose every entry the model hides is hidden itself, and offered
// again once a model offers one of its entries.
TEST(KeysTips, AMenuWithNothingOnOfferIsHidden) {
    struct Case {
        std::vector<std::string> chain;
        int camera;
        std::string emptied;  // menus left visible by the model with nothing inside
    };
    const Case cases[] = {
        {{"ORX-Alpha"}, 1, ""},
        {{"ORX-Beta"}, 1, ""},
        {{"ORX-Gamma"}, 1, ""},
        {{"ORX-Kappa"}, 1, "Function,Sync"},
        {{"KBM-R01"}, 1, ""},
        {{"ORX-Kappa", "KBM-R01"}, 2, ""},
    };
    for (const Case& c : cases) {
        Rig rig(c.chain);
        ASSERT_TRUE(rig.startUp());
        FrmMain& m = rig.main();
        if (c.camera != 1) {
            m.CameraSel[c.camera].click();
            rig.run(3);
        }
        std::string emptied;
        for (MenuItem* top : m.topMenus()) {
            if (top->visible() && !top->shown()) emptied += (emptied.empty() ? "" : ",") + top->caption();
        }
        EXPECT_EQ(emptied, c.emptied) << c.chain.front() << " camera " << c.camera;
        EXPECT_EQ(m.M_Function.shown(), c.emptied.empty() && m.M_Function.visible()) << c.chain.front();
    }
}

// Stop goes out as a stop to every head the drive buttons set moving, even
// after another camera was chosen; with none moving, to the driven camera.
TEST(KeysTips, PanTiltStopReachesTheHeadsTheButtonsMoved) {
    Rig rig({"ORX-Beta", "ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    FrmPanTilt& pt = rig.program->frmPanTilt();
    struct Step {
        bool direct;
        int index;
        int camera;
    };
    struct Case {
        std::vector<Step> before;
        std::vector<std::string> stops;  // sent by Stop on camera 2
    };
    const std::string stop = " 01 06 01 18 18 03 03 FF";
    const Case cases[] = {
        {{{false, 1, 1}}, {"81" + stop}},                                 // Up on camera 1
        {{}, {"82" + stop}},                                              // nothing moving
        {{{true, 0, 1}, {true, 3, 2}}, {"81" + stop, "82" + stop}},       // both heads
        {{{true, 0, 1}, {true, 8, 1}}, {"82" + stop}},                    // Home ends at rest
        {{{true, 0, 1}, {false, 0, 1}, {false, 2, 2}}, {"82" + stop}},   // stopped already
    };
    for (const Case& c : cases) {
        for (const Step& s : c.before) {
            rig.linkControl().drive(s.camera);
            (s.direct ? pt.Pan_Tilt_Direct : pt.Pan_Tilt_Stop)[s.index].click();
            rig.run(1);
        }
        rig.linkControl().drive(2);
        const auto mark = rig.mark();
        pt.Pan_Tilt_Stop[0].click();
        rig.run(1);
        EXPECT_EQ(rig.packetsSince(mark), c.stops) << c.stops.front();
    }
    // Closing the window stops a head its buttons set moving, once.
    rig.linkControl().drive(1);
    pt.Pan_Tilt_Stop[1].click();
    rig.run(1);
    const auto mark = rig.mark();
    rig.main().PTWCloseM.click();
    rig.run(1);
    EXPECT_EQ(rig.packetsSince(mark), std::vector<std::string>{"81" + stop});
    rig.main().PTWCloseM.click();
    pt.Pan_Tilt_Direct[8].click();  // Home: at rest when it arrives
    rig.run(1);
    const auto home = rig.mark();
    rig.main().PTWCloseM.click();
    rig.run(1);
    EXPECT_TRUE(rig.packetsSince(home).empty());
}
