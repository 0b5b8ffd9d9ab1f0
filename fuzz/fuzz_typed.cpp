// Every way a value the operator types or picks becomes a packet: the
// effect level, the camera ID, the clock, the auto and night power-off
// timers, both privacy dialogs, the alarm's mode and levels, the service
// memory, the title typed and picked, the spot position, and the main
// window's speed and AF time boxes. Boxes are filled as an operator would
// (pasted over, typed key by key, or stepped with their arrows) and the
// buttons pressed in any order, on any of three cameras; the answers that
// fill boxes (power-off timers, alarm levels) may come from the input too.
// Properties: every packet written is well formed, and the send check
// refused no packet the panel built. That check is the last line of
// defence: a refusal means a box's validation let a value through.
#include <functional>
#include <map>
#include <memory>

#include "app/program.h"
#include "dialogs/aes.h"
#include "dialogs/camera_settings.h"
#include "dialogs/deffect.h"
#include "dialogs/fset.h"
#include "dialogs/md.h"
#include "dialogs/privacy.h"
#include "dialogs/privacy_a.h"
#include "dialogs/title.h"
#include "fuzz_support.h"
#include "app/testing/rig.h"

using namespace orbus;

namespace {

// The operator, acting on the fuzzer's bytes; at most kActions actions an input.
class Operator {
public:
    static constexpr int kActions = 24;
    explicit Operator(fuzz::Input& in) : in_(in) {}

    // Another action, while the input lasts.
    bool acts() { return !in_.empty() && done_++ < kActions; }
    std::uint8_t byte() { return in_.byte(); }
    int choice(int n) { return in_.byte() % n; }

    // Fills a box: pasted over, typed after what it holds, typed into the
    // emptied box, stepped with its arrows (pasted when it has none), or a
    // number typed into the emptied box (decimal up to 255 or 65535, or
    // hexadecimal), the way most values are entered.
    void fill(TextBox& box, UpDown* arrows = nullptr) {
        const std::uint8_t how = in_.byte();
        if (how % 8 >= 4) {
            unsigned v = in_.byte();
            if (how % 8 != 4) v = v * 256 + in_.byte();
            char text[8];
            std::snprintf(text, sizeof text, how % 8 == 7 ? "%X" : "%u", v);
            box.setText("");
            box.type(text);
            return;
        }
        const Bytes piece = in_.piece(12);
        const std::string text(piece.begin(), piece.end());
        switch (how % 4) {
        case 0: box.setText(text); break;
        case 1: box.type(text); break;
        case 2:
            box.setText("");
            box.type(text);
            break;
        default:
            if (!arrows) {
                box.setText(text);
                break;
            }
            for (std::uint8_t b : piece) (b & 1) ? arrows->up() : arrows->down();
        }
    }

    // Picks an entry of a list, or leaves none selected.
    void pick(ComboBox& c) {
        const int i = choice(static_cast<int>(c.items().size()) + 1) - 1;
        if (i < 0) c.setListIndex(-1);
        else c.choose(i);
    }

    void press(std::initializer_list<Button*> buttons) {
        Button* b = *(buttons.begin() + choice(static_cast<int>(buttons.size())));
        b->click();
    }

private:
    fuzz::Input& in_;
    int done_ = 0;
};

// What the operator can change in the windows, as it was after start-up:
// put back before each input, so that an input acts the same whatever ran
// before it.
struct Snapshot {
    std::map<TextBox*, std::string> texts;
    std::map<CheckBox*, int> checks;
    std::map<OptionButton*, bool> options;
    std::map<ComboBox*, int> lists;

    explicit Snapshot(Program& p) {
        // Of the main window only the boxes the operator types into: the
        // rest shows the camera and the traffic.
        FrmMain& m = p.frmMain();
        for (TextBox* b : {&m.TeleSpeed, &m.WideSpeed, &m.DTeleSpeed, &m.DWideSpeed, &m.FarSpeed, &m.NearSpeed,
                           &m.AFacttime, &m.AFintTime})
            texts[b] = b->text();
        for (Form* f : p.forms()) {
            if (f == &m) continue;
            for (Control* c : f->controls()) {
                if (c->kind() == Kind::TextBox) texts[static_cast<TextBox*>(c)] = static_cast<TextBox*>(c)->text();
                if (c->kind() == Kind::CheckBox) checks[static_cast<CheckBox*>(c)] = static_cast<CheckBox*>(c)->value();
                if (c->kind() == Kind::OptionButton)
                    options[static_cast<OptionButton*>(c)] = static_cast<OptionButton*>(c)->value();
                if (c->kind() == Kind::ComboBox) lists[static_cast<ComboBox*>(c)] = static_cast<ComboBox*>(c)->listIndex();
            }
        }
    }
    void restore() const {
        for (const auto& [box, text] : texts) box->setText(text);
        for (const auto& [box, v] : checks) box->setValue(v);
        for (const auto& [o, v] : options) o->setValue(v);
        for (const auto& [c, i] : lists) c->setListIndex(i);
    }
};

bool usable(const Control& c) { return c.enabled() && c.visible(); }

// A modal dialog: opened by `open`, acted on by `step` while it shows and the
// input lasts, closed by `close` when still open. A dialog that never showed
// leaves no scripted action behind for the next input.
template <class Opener>
void modal(testing::Rig& rig, Operator& op, const Form& d, Opener& open, const std::function<void()>& close,
           const std::function<void()>& step) {
    rig.windows.script([&] {
        while (d.visible() && op.acts()) step();
        if (d.visible()) close();
    });
    open.click();
    rig.windows.dropScript();
}

void effectLevel(testing::Rig& rig, Operator& op) {
    FrmDeffect& d = rig.program->frmDeffect();
    modal(rig, op, d, rig.main().EffectLevel, [&] { d.DELevelCancel.click(); }, [&] {
        switch (op.choice(3)) {
        case 0: op.fill(d.DELevel, &d.UpDown1); break;
        case 1: d.DELevelOK.click(); break;
        default: d.DELevelCancel.click(); break;
        }
    });
}

void cameraId(testing::Rig& rig, Operator& op) {
    FrmCamID& d = rig.program->frmCamID();
    modal(rig, op, d, rig.main().IDWrite, [&] { d.Cancel.click(); }, [&] {
        switch (op.choice(3)) {
        case 0: op.fill(d.ID); break;
        case 1: d.OK.click(); break;
        default: d.Cancel.click(); break;
        }
    });
}

void clock(testing::Rig& rig, Operator& op) {
    FrmSetDT& d = rig.program->frmSetDT();
    rig.main().SetTimeDate.click();
    TextBox* boxes[] = {&d.Year, &d.Month, &d.Day, &d.Hour, &d.Minute};
    UpDown* arrows[] = {&d.UpDown1, &d.UpDown2, &d.UpDown3, &d.UpDown4, &d.UpDown5};
    while (d.visible() && op.acts()) {
        switch (op.choice(3)) {
        case 0: {
            const int k = op.choice(5);
            op.fill(*boxes[k], arrows[k]);
            break;
        }
        case 1: d.OK.click(); break;
        default: d.Cancel.click(); break;
        }
    }
    if (d.visible()) d.Cancel.click();
}

void powerOff(testing::Rig& rig, Operator& op, bool night) {
    Program& p = *rig.program;
    PowerOffDialog& d = night ? static_cast<PowerOffDialog&>(p.frmNightPOff()) : p.frmAutoPOff();
    if (night) {
        // The alarm set up for day and night, as the night timer needs.
        p.alarm.AlarmActive = p.alarm.AlarmModeKnown = p.alarm.DayLevelKnown = p.alarm.NightLevelKnown = true;
        p.alarm.AlarmMode = AlarmState::kDayNight;
        p.alarm.DayLevel = 0x800;
        p.alarm.NightLevel = 0x100;
        p.alarm.AlarmConfigured = true;
    }
    modal(rig, op, d, (night ? rig.main().NightPowerOff : rig.main().AutoPowerOff), [&] { d.Cancel.click(); }, [&] {
        switch (op.choice(3)) {
        case 0: op.fill(d.OffTimer); break;
        case 1: d.OK.click(); break;
        default: d.Cancel.click(); break;
        }
    });
}

void privacy(testing::Rig& rig, Operator& op) {
    Privacy& d = rig.program->privacy();
    rig.main().SettingZones.click();
    TextBox* boxes[] = {&d.Zones[0],     &d.Zones[1],       &d.Zones[2],         &d.Zones[3],
                        &d.TextPan,      &d.TextTilt,       &d.TextMovePan,      &d.TextMoveTilt,
                        &d.TextSetPTZpan, &d.TextSetPTZTilt, &d.TextSetPTZzoom};
    ComboBox* lists[] = {&d.combSetPrivacy, &d.Combo[0], &d.Combo[1], &d.comboSetPTZ};
    while (op.acts()) {
        switch (op.choice(5)) {
        case 0: op.fill(*boxes[op.choice(11)]); break;
        case 1: op.pick(*lists[op.choice(4)]); break;
        case 2: {
            const int k = op.choice(51);
            if (k < 24) d.Checks0[k].click();
            else if (k < 48) d.Checks1[k - 24].click();
            else (k == 48 ? d.Chk1 : k == 49 ? d.Chk2 : d.Check1).click();
            break;
        }
        case 3: d.Opmove[op.choice(9)].click(); break;
        default:
            op.press({&d.CmdGridOn, &d.cmdGridoff, &d.cmdPrivacyDisp, &d.cmdPrivacyColor, &d.CmdPrivacySet[0],
                      &d.cmdPZMpantilt, &d.cmdMovePanTilt, &d.Command1, &d.ClrSET});
            break;
        }
    }
    d.unload();
}

void privacyA(testing::Rig& rig, Operator& op) {
    PrivacyA& d = rig.program->privacyA();
    rig.main().PrivacyAv.click();
    while (op.acts()) {
        switch (op.choice(4)) {
        case 0: op.fill(d.Zones[op.choice(24)]); break;
        case 1: op.press({&d.cmdPZMset[0], &d.cmdPZMset[1], &d.cmdPZMset[2]}); break;
        case 2: op.press({&d.CmdPrivacyOn, &d.CmdPrivacyoff, &d.CmdClear}); break;
        default:
            // The automatic resend switched, and time for it to run.
            d.SettingMode.click();
            rig.run(0.5 * (1 + op.choice(6)));
            break;
        }
    }
    d.unload();
}

void alarm(testing::Rig& rig, Operator& op) {
    FrmMD& d = rig.program->frmMD();
    modal(rig, op, d, rig.main().MotionDetecter, [&] { d.CmdClose.click(); }, [&] {
        switch (op.choice(8)) {
        case 0: op.fill(d.txtMDday); break;
        case 1: op.fill(d.txtMDnight); break;
        case 2: op.pick(d.ComboSetMD); break;
        case 3: d.Command1[op.choice(2)].click(); break;
        case 4: op.press({&d.cmdsetMDinq, &d.cmdLevelInq, &d.cmdMDSSunq}); break;
        case 5: (op.choice(2) ? d.OpMDon : d.OpMDoff).click(); break;
        case 6: op.press({&d.comSetMD, &d.cmdsetMDtime, &d.cmdMDstart}); break;
        default: op.press({&d.cmdDisplay, &d.cmdMDdisplayOFF}); break;
        }
    });
}

void serviceMemory(testing::Rig& rig, Operator& op) {
    FSet& d = rig.program->fset();
    rig.main().SettingMenu.click();
    while (op.acts()) {
        switch (op.choice(3)) {
        case 0: op.fill(op.choice(2) ? d.EPromText2 : d.EPromText1); break;
        case 1:
            op.press({&d.EPromCmdRD, &d.EPromCmdWR, &d.EPromCmdSet, &d.EPromWriteProtectrelesase, &d.EPromCmdSens});
            break;
        default: d.CmdBaudRate[op.choice(3)].click(); break;
        }
    }
    d.unload();
}

// The typed title, reached as the operator does: from the picked title's
// "Keyboard" button.
void typedTitle(testing::Rig& rig, Operator& op) {
    FrmTitle_M& picked = rig.program->frmTitleM();
    FrmTitle_K& d = rig.program->frmTitleK();
    rig.windows.script([&] { picked.Keyboard.click(); });
    modal(rig, op, d, rig.main().TitleSet, [&] { d.Cancel.click(); }, [&] {
        switch (op.choice(6)) {
        case 0: op.fill(d.Text1); break;
        case 1: op.fill(d.VPos, &d.UpDown2); break;
        case 2: op.fill(d.HPos, &d.UpDown1); break;
        case 3: op.pick(op.choice(2) ? d.Combo2 : d.Combo1); break;
        case 4: op.press({&d.OK, &d.Clear}); break;
        default: d.Check1.click(); break;
        }
    });
}

void pickedTitle(testing::Rig& rig, Operator& op) {
    FrmTitle_M& d = rig.program->frmTitleM();
    modal(rig, op, d, rig.main().TitleSet, [&] { d.Cancel.click(); }, [&] {
        switch (op.choice(7)) {
        case 0: {
            const int x = op.byte() * 2 - 20, y = op.byte() - 10;
            d.Picture1.mouseDownAt(x, y);
            break;
        }
        case 1: {
            KeyEvent e;
            e.key = static_cast<Key>(op.choice(13));
            e.ch = op.byte();
            e.focus = op.choice(2) ? static_cast<const Control*>(&d.Picture1) : &d.Char[op.choice(20)];
            d.keyDown(e);
            break;
        }
        case 2: d.Char[op.choice(20)].click(); break;
        case 3: op.press({&d.Left, &d.Right, &d.BS, &d.DEL}); break;
        case 4:
            if (op.choice(2)) op.fill(d.VerPos, &d.UpDown2);
            else op.fill(d.HoliPos, &d.UpDown1);
            break;
        case 5: op.pick(op.choice(2) ? d.BlinkSel : d.ColorSel); break;
        default:
            if (op.choice(3) == 2) d.Check1.click();
            else op.press({&d.OK, &d.Clear});
            break;
        }
    });
}

void spot(testing::Rig& rig, Operator& op) {
    FrmAES& d = rig.program->frmAES();
    modal(rig, op, d, rig.main().AESpotMode, [&] { d.unload(); }, [&] {
        if (op.choice(2)) op.fill(op.choice(2) ? d.AESpotPosY : d.AESpotPosX);
        else op.press({&d.AESpotSet, &d.AESpotON, &d.AESpotOFF});
    });
}

void mainWindowBoxes(testing::Rig& rig, Operator& op) {
    FrmMain& m = rig.main();
    TextBox* speeds[] = {&m.TeleSpeed, &m.WideSpeed, &m.DTeleSpeed, &m.DWideSpeed, &m.FarSpeed, &m.NearSpeed};
    UpDown* arrows[] = {&m.UpDown1, &m.UpDown2, &m.UpDown5, &m.UpDown6, &m.UpDown3, &m.UpDown4};
    Button* drives[] = {&m.ZoomTele, &m.ZoomWide, &m.DZoomTele, &m.DZoomWide, &m.Far, &m.Near};
    while (op.acts()) {
        const int k = op.choice(6);
        switch (op.choice(4)) {
        case 0:
            if (usable(*speeds[k])) op.fill(*speeds[k], arrows[k]);
            break;
        case 1:
            // Held for a moment, as a drive button is.
            if (!usable(*drives[k])) break;
            drives[k]->mouseDown();
            rig.run(0.05);
            drives[k]->mouseUp();
            break;
        case 2: {
            TextBox& t = k % 2 ? m.AFintTime : m.AFacttime;
            if (usable(t)) op.fill(t);
            break;
        }
        default:
            if (usable(m.ACTAFmodeset)) m.ACTAFmodeset.click();
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    struct Setup {
        testing::Rig rig{{"ORX-Kappa", "ORX-Beta", "KBM-R20"}};
        std::unique_ptr<Snapshot> snapshot;
    };
    static Setup* setup = [] {
        auto* s = new Setup;
        fuzz::check(s->rig.startUp(), "the panel starts up");
        s->snapshot = std::make_unique<Snapshot>(*s->rig.program);
        return s;
    }();
    testing::Rig& rig = setup->rig;
    Program& p = *rig.program;
    fuzz::Input in(data, size);
    Operator op(in);

    // The same start for every input: the boxes as after start-up, nothing
    // known of the alarm, empty titles, nothing on the line yet.
    setup->snapshot->restore();
    p.alarm = AlarmState{};
    p.titles = TitleBook{};
    rig.port.input();
    rig.port.clearWritten();
    rig.windows.messages.clear();
    // Nothing kept from earlier inputs: memory an input leaves behind sets
    // off a leak check, and the records would only grow.
    rig.chain.forgetReceived();

    const std::uint8_t flags = in.byte();
    const int camera = 1 + flags % 3;
    if (p.link.CamAddress != camera) rig.main().CameraSel[camera].click();
    rig.port.clearWritten();
    rig.windows.messages.clear();
    // Inquiries (the timers read on opening, the alarm's read-backs) get
    // the next piece of the input as their answer when the input says so.
    if (flags & 0x80) {
        rig.chain.mutate = [&in](const sim::Bytes& packet, std::vector<sim::Bytes>& replies) {
            if (packet.size() > 1 && packet[1] == 0x09) replies = {in.piece(16)};
        };
    }

    switch (in.byte() % 13) {
    case 0: effectLevel(rig, op); break;
    case 1: cameraId(rig, op); break;
    case 2: clock(rig, op); break;
    case 3: powerOff(rig, op, false); break;
    case 4: powerOff(rig, op, true); break;
    case 5: privacy(rig, op); break;
    case 6: privacyA(rig, op); break;
    case 7: alarm(rig, op); break;
    case 8: serviceMemory(rig, op); break;
    case 9: typedTitle(rig, op); break;
    case 10: pickedTitle(rig, op); break;
    case 11: spot(rig, op); break;
    default: mainWindowBoxes(rig, op); break;
    }
    rig.chain.mutate = nullptr;
    // Replies still on their way are delivered now, not piled up for later
    // inputs, and the answer limits of the waits that ended run out too.
    rig.run(0.2);
    rig.settle(5);
    rig.run(1.5);
    fuzz::checkSent(rig.port.written(), rig.windows.messages);
    fuzz::forgetTraffic(rig);
    return 0;
}
