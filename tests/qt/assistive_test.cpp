// Assistive technology drives the panel as mouse and keyboard do: its Toggle
// and Press actions are clicks, text it puts into a box goes through the
// box's filter, and what it reads names every control with its value.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QThread>
#include <QToolButton>
#include <functional>
#include <string>
#include <vector>

#include "app/frm_chain.h"
#include "dialogs/camera_settings.h"
#include "dialogs/md.h"
#include "dialogs/privacy.h"
#include "dialogs/title.h"
#include "pantilt/frm_pantilt.h"
#include "platform/qt/form_view.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::qt::ViewSet;
using orbus::testing::Rig;

namespace {

QAccessibleInterface* accessible(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    EXPECT_NE(a, nullptr);
    return a;
}

// A started panel on one camera, with its views.
struct Panel {
    explicit Panel(const std::string& model) : rig({model}) { started = rig.startUp(); }
    Rig rig;
    ViewSet views{rig.program->forms()};
    bool started = false;
    Program& prog() { return *rig.program; }
    QWidget* widget(const Control& c) { return views.viewOf(c.form())->widgetFor(&c); }
    QLineEdit* line(const Control& c) { return qobject_cast<QLineEdit*>(widget(c)); }
};

enum class How { Click, Toggle, Press };

void operate(QAbstractButton* b, How how) {
    switch (how) {
    case How::Click: b->click(); return;
    case How::Toggle:
        accessible(b)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        return;
    case How::Press: {
        // The press is drawn: the click follows a tenth of a second later.
        bool clicked = false;
        auto done = QObject::connect(b, &QAbstractButton::clicked, [&] { clicked = true; });
        accessible(b)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QElapsedTimer waited;
        waited.start();
        while (!clicked && waited.elapsed() < 3000) {
            QApplication::processEvents();
            QThread::msleep(5);
        }
        QObject::disconnect(done);
        EXPECT_TRUE(clicked);
        return;
    }
    }
}

bool isOn(const Control& c) {
    return c.kind() == Kind::CheckBox ? static_cast<const CheckBox&>(c).checked()
                                      : static_cast<const OptionButton&>(c).value();
}

struct ButtonCase {
    const char* name;
    const char* model;
    std::function<void(Program&)> open;  // the dialog that holds the control, if any
    std::function<Control&(Program&)> pick;
    std::function<void(Program&)> then;  // what sends the control's state, if it sends none
};

// What operating a button twice left: the packets, and after each time the
// control's value in the form and on the screen.
struct Outcome {
    std::vector<std::string> packets;
    std::vector<bool> held, shown;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
    for (const auto& s : o.packets) *os << "[" << s << "] ";
    for (std::size_t i = 0; i < o.held.size(); ++i) *os << "held " << o.held[i] << " shown " << o.shown[i] << "; ";
}

Outcome operateTwice(const ButtonCase& bc, How how) {
    Outcome out;
    Panel p(bc.model);
    EXPECT_TRUE(p.started);
    if (bc.open) bc.open(p.prog());
    Control& c = bc.pick(p.prog());
    auto* b = qobject_cast<QAbstractButton*>(p.widget(c));
    EXPECT_NE(b, nullptr);
    if (!b) return out;
    const auto mark = p.rig.mark();
    for (int i = 0; i < 2; ++i) {
        operate(b, how);
        if (bc.then) bc.then(p.prog());
        p.rig.run(0.5);
        out.held.push_back(isOn(c));
        out.shown.push_back(b->isChecked());
    }
    out.packets = p.rig.packetsSince(mark, "01");
    return out;
}

void openPrivacy(Program& p) { p.frmMain().SettingZones.click(); }

}  // namespace

// Toggle and Press through the accessibility interface send what a click
// sends, the second time too, and leave the box as the form holds it.
TEST(Assistive, ToggleAndPressAreClicks) {
    const ButtonCase cases[] = {
        {"ExpComp", "ORX-Beta", nullptr, [](Program& p) -> Control& { return p.frmMain().ExpComp; }, nullptr},
        {"BackLight", "ORX-Beta", nullptr, [](Program& p) -> Control& { return p.frmMain().BackLight; }, nullptr},
        {"AutoSlowShutter", "KBM-R16", nullptr,
         [](Program& p) -> Control& { return p.frmMain().AutoSlowShutter; }, nullptr},
        {"DZoom", "KBM-R16", nullptr, [](Program& p) -> Control& { return p.frmMain().DZoom; }, nullptr},
        {"AF_Sens", "ORX-Beta", nullptr, [](Program& p) -> Control& { return p.frmMain().AF_Sens; }, nullptr},
        {"PresetSet_1", "ORX-Beta", nullptr, [](Program& p) -> Control& { return p.frmMain().PresetSet[1]; }, nullptr},
        {"PresetRecall_4", "ORX-Beta", nullptr,
         [](Program& p) -> Control& { return p.frmMain().PresetRecall[4]; }, nullptr},
        {"SetOption_3", "KBM-R16", nullptr, [](Program& p) -> Control& { return p.frmMain().SetOption[3]; }, nullptr},
        {"RecallOption_0", "KBM-R16", nullptr,
         [](Program& p) -> Control& { return p.frmMain().RecallOption[0]; }, nullptr},
        {"privacy mask A shown", "ORX-Beta", openPrivacy,
         [](Program& p) -> Control& { return p.privacy().Checks0[0]; },
         [](Program& p) { p.privacy().cmdPrivacyDisp.click(); }},
        {"privacy mask N coloured", "ORX-Beta", openPrivacy,
         [](Program& p) -> Control& { return p.privacy().Checks1[13]; },
         [](Program& p) { p.privacy().cmdPrivacyColor.click(); }},
        {"privacy half", "ORX-Beta", openPrivacy, [](Program& p) -> Control& { return p.privacy().Chk1; },
         [](Program& p) { p.privacy().cmdPrivacyColor.click(); }},
    };
    for (const ButtonCase& bc : cases) {
        SCOPED_TRACE(bc.name);
        const Outcome click = operateTwice(bc, How::Click);
        EXPECT_FALSE(click.packets.empty());
        EXPECT_EQ(click.held, click.shown);
        EXPECT_EQ(operateTwice(bc, How::Toggle), click);
        EXPECT_EQ(operateTwice(bc, How::Press), click);
    }
}

// Option buttons are announced as option buttons, checked as the form holds
// them, everywhere; choosing one with Toggle or Press leaves its group and
// the line as a click does (the form's exclusion decides, not Qt's).
TEST(Assistive, OptionButtonsAreAnnouncedAndChosenAsClicked) {
    using Group = std::vector<OptionButton*>;
    auto announced = [](Panel& p, const Group& group) {
        for (OptionButton* o : group) {
            SCOPED_TRACE(o->objectName());
            QAccessibleInterface* a = accessible(p.widget(*o));
            if (!a) continue;
            EXPECT_EQ(a->role(), QAccessible::RadioButton);
            EXPECT_TRUE(a->state().checkable);
            EXPECT_EQ(a->state().checked, o->value());
            EXPECT_FALSE(a->text(QAccessible::Name).isEmpty());
            if (o->enabled()) {
                EXPECT_TRUE(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
            }
        }
    };
    {
        Panel p("KBM-R16");
        ASSERT_TRUE(p.started);
        Group all;
        for (Form* f : p.prog().forms())
            for (Control* c : f->controls())
                if (c->kind() == Kind::OptionButton) all.push_back(static_cast<OptionButton*>(c));
        EXPECT_GT(all.size(), 40u);
        announced(p, all);
    }
    auto array = [](auto member) {
        return [member](Program& p) {
            Group g;
            member(p).forEach([&](int, OptionButton& o) { g.push_back(&o); });
            return g;
        };
    };
    struct Case {
        const char* name;
        std::function<void(Program&)> open;
        std::function<Group(Program&)> group;
        int pick;
        std::function<void(Program&)> then;
    };
    const Case cases[] = {
        {"port dialog speeds", nullptr, array([](Program& p) -> auto& { return p.frmOpen().OBrate; }), 1, nullptr},
        {"preset recall", nullptr, array([](Program& p) -> auto& { return p.frmMain().PresetRecall; }), 2, nullptr},
        {"privacy move", openPrivacy, array([](Program& p) -> auto& { return p.privacy().Opmove; }), 7,
         [](Program& p) { p.privacy().cmdMovePanTilt.click(); }},
        {"alarm detect", nullptr, [](Program& p) { return Group{&p.frmMD().OpMDon, &p.frmMD().OpMDoff}; }, 1,
         nullptr},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        auto choose = [&](How how) {
            Outcome out;
            Panel p("ORX-Beta");
            EXPECT_TRUE(p.started);
            if (tc.open) tc.open(p.prog());
            const Group group = tc.group(p.prog());
            announced(p, group);
            const auto mark = p.rig.mark();
            auto* chosen = qobject_cast<QAbstractButton*>(p.widget(*group[tc.pick]));
            operate(chosen, how);
            out.held.push_back(group[tc.pick]->value());
            out.shown.push_back(chosen->isChecked());
            if (tc.then) tc.then(p.prog());
            p.rig.run(0.5);
            announced(p, group);
            for (OptionButton* o : group) {
                out.held.push_back(o->value());
                out.shown.push_back(qobject_cast<QAbstractButton*>(p.widget(*o))->isChecked());
            }
            out.packets = p.rig.packetsSince(mark, "01");
            return out;
        };
        const Outcome click = choose(How::Click);
        EXPECT_TRUE(click.held[0]);
        EXPECT_EQ(click.held, click.shown);
        EXPECT_EQ(choose(How::Toggle), click);
        EXPECT_EQ(choose(How::Press), click);
    }
}

// A label the operator may copy from is selectable by mouse and keyboard,
// reached by Tab, wraps and is read out as before; other labels are not.
TEST(Assistive, SelectableLabelsCanBeCopied) {
    Rig rig;
    FrmOpen& o = rig.open();
    o.LblDBG0.setSelectable(true);
    ViewSet views(rig.program->forms());
    auto* error = qobject_cast<QLabel*>(views.viewOf(o)->widgetFor(&o.LblDBG0));
    auto* plain = qobject_cast<QLabel*>(views.viewOf(o)->widgetFor(&o.Label1));
    ASSERT_TRUE(error && plain);
    o.LblDBG0.setCaption("IF_Clear Error\r\nPort = 1");
    EXPECT_EQ(error->textInteractionFlags(), Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    EXPECT_TRUE(error->focusPolicy() & Qt::TabFocus);
    EXPECT_TRUE(error->wordWrap());
    EXPECT_EQ(error->accessibleName(), "IF_Clear Error Port = 1");
    EXPECT_EQ(error->accessibleDescription(), "Port error");
    EXPECT_FALSE(plain->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_EQ(plain->focusPolicy(), Qt::NoFocus);
}

// Text set, inserted, replaced or deleted through the accessibility
// interface goes through the box's key filter and is cut to its length, as
// typing would; the widget shows the result and the next send uses it.
TEST(Assistive, TextFromAssistiveTechnologyIsTyping) {
    using Edit = std::function<void(QAccessibleInterface*)>;
    auto value = [](const char* t) -> Edit {
        return [t](QAccessibleInterface* a) { a->setText(QAccessible::Value, t); };
    };
    struct Case {
        const char* name;
        std::function<TextBox&(Program&)> box;
        Edit edit;
        const char* held;
        std::function<void(Program&)> send;
        std::vector<std::string> sent;
    };
    auto zone = [](int i) { return [i](Program& p) -> TextBox& { return p.privacy().Zones[i]; }; };
    auto setZone = [](Program& p) { p.privacy().CmdPrivacySet[0].click(); };
    const Case cases[] = {
        {"value, hex filtered", zone(0), value(" 1a "), "1A", setZone,
         {"81 01 04 76 00 00 01 0A 00 01 00 05 00 05 FF"}},
        {"replaced, filtered then cut", zone(1),
         [](QAccessibleInterface* a) { a->editableTextInterface()->replaceText(0, 2, "x9zb7"); }, "9B", setZone,
         {"81 01 04 76 00 00 00 01 09 0B 00 05 00 05 FF"}},
        {"deleted, then inserted into the room left", zone(2),
         [](QAccessibleInterface* a) {
             a->editableTextInterface()->deleteText(1, 2);
             a->editableTextInterface()->insertText(1, "-cd");
         },
         "0C", setZone, {"81 01 04 76 00 00 00 01 00 01 00 0C 00 05 FF"}},
        {"speed box", [](Program& p) -> TextBox& { return p.frmPanTilt().PanSpeed; }, value("5"), "5",
         [](Program& p) { p.frmPanTilt().Pan_Tilt_Stop[5].click(); }, {"81 01 06 01 05 17 01 01 FF"}},
        // A line break in the text is no Enter key: the console sends nothing.
        {"console", [](Program& p) -> TextBox& { return p.frmMain().DirectText; }, value("81 01 04 0b 02 ff\r\n"),
         "8101040B02FF", nullptr, {}},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        Panel p("ORX-Beta");
        ASSERT_TRUE(p.started);
        openPrivacy(p.prog());
        TextBox& box = tc.box(p.prog());
        QLineEdit* line = p.line(box);
        ASSERT_NE(line, nullptr);
        const auto mark = p.rig.mark();
        tc.edit(accessible(line));
        EXPECT_EQ(box.text(), tc.held);
        EXPECT_EQ(line->text().toStdString(), tc.held);
        if (tc.send) tc.send(p.prog());
        EXPECT_EQ(p.rig.packetsSince(mark, "01"), tc.sent);
    }
}

// The typed title dialog: the title set as text goes out, and its "Title
// Display" box toggles as a click does.
TEST(Assistive, TitleTextAndDisplaySwitch) {
    Panel p("ORX-Beta");
    ASSERT_TRUE(p.started);
    FrmTitle_K& k = p.prog().frmTitleK();
    std::vector<std::string> sent;
    p.rig.windows.script([&] {
        const auto mark = p.rig.mark();
        operate(qobject_cast<QAbstractButton*>(p.widget(k.Check1)), How::Toggle);
        EXPECT_TRUE(k.Check1.checked());
        QLineEdit* title = p.line(k.Text1);
        accessible(title)->setText(QAccessible::Value, "ABCD");
        EXPECT_EQ(k.Text1.text(), "ABCD");
        qobject_cast<QAbstractButton*>(p.widget(k.OK))->click();
        // Pasted beyond the 20 characters a title holds: cut, the box and
        // the widget agreeing.
        k.Clear.click();
        title->insert("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        EXPECT_EQ(k.Text1.text(), "ABCDEFGHIJKLMNOPQRST");
        EXPECT_EQ(title->text().toStdString(), k.Text1.text());
        sent = p.rig.packetsSince(mark, "01");
        k.Cancel.click();
    });
    p.rig.main().AutoRefreshed.click();
    k.open();
    EXPECT_EQ(sent, (std::vector<std::string>{
                        "81 01 04 74 02 FF",
                        "81 01 04 73 00 00 00 00 00 00 00 00 00 00 00 FF",
                        "81 01 04 73 01 00 01 02 03 1B 1B 1B 1B 1B 1B FF",
                        "81 01 04 73 02 1B 1B 1B 1B 1B 1B 1B 1B 1B 1B FF",
                        "81 01 04 74 00 FF",  // Clear
                    }));
}

// Pasted text is filtered first and cut to the box's length after; a key
// typed into a full box is refused and the caret stays.
TEST(Assistive, PasteIsFilteredBeforeItIsCut) {
    Panel p("ORX-Beta");
    ASSERT_TRUE(p.started);
    openPrivacy(p.prog());
    Privacy& pv = p.prog().privacy();
    struct Case {
        TextBox& box;
        const char* pasted;
        const char* held;
    };
    const Case cases[] = {
        {pv.Zones[0], "  12  ", "12"},
        {pv.Zones[1], "x 3 f 9", "3F"},
        {p.rig.main().DirectText, "81 01 04 0b 02 ff", "8101040B02FF"},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.pasted);
        QLineEdit* line = p.line(tc.box);
        line->selectAll();
        line->insert(tc.pasted);  // what a paste does with the clipboard's text
        EXPECT_EQ(tc.box.text(), tc.held);
        EXPECT_EQ(line->text().toStdString(), tc.held);
    }
    pv.Zones[0].setText("12");
    QLineEdit* full = p.line(pv.Zones[0]);
    full->setFocus();
    full->setCursorPosition(1);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_3, Qt::NoModifier, "3");
    QApplication::sendEvent(full, &key);
    EXPECT_EQ(pv.Zones[0].text(), "12");
    EXPECT_EQ(full->text(), "12");
    EXPECT_EQ(full->cursorPosition(), 1);
}

// A locked box, a status line or a log, takes no text from assistive
// technology: it goes on showing what the form holds.
TEST(Assistive, LockedBoxesKeepTheFormsText) {
    Panel p("ORX-Beta");
    ASSERT_TRUE(p.started);
    FrmMain& m = p.rig.main();
    for (TextBox* box : {&m.ModelVersion, &m.SendText}) {
        SCOPED_TRACE(box->objectName());
        const std::string held = box->text();
        QWidget* w = p.widget(*box);
        QAccessibleInterface* a = accessible(w);
        if (QAccessibleEditableTextInterface* edit = a->editableTextInterface()) edit->insertText(0, "81 01 ");
        a->setText(QAccessible::Value, "81 01 04 00 02 FF");
        EXPECT_EQ(box->text(), held);
        const QString shown = box->multiLine() ? qobject_cast<QPlainTextEdit*>(w)->toPlainText().replace("\n", "\r\n")
                                               : qobject_cast<QLineEdit*>(w)->text();
        EXPECT_EQ(shown.toStdString(), held);
    }
}

// A spin control's arrows are named after its box, and follow its name.
TEST(Assistive, SpinArrowsAreNamedAfterTheirBox) {
    Panel p("ORX-Beta");
    ASSERT_TRUE(p.started);
    auto arrows = [&](const UpDown& ud) {
        auto buttons = p.widget(ud)->findChildren<QToolButton*>();
        EXPECT_EQ(buttons.size(), 2);
        std::vector<std::string> names;
        for (QToolButton* b : buttons) names.push_back(b->accessibleName().toStdString());
        return names;
    };
    FrmPanTilt& pt = p.prog().frmPanTilt();
    EXPECT_EQ(arrows(pt.PSUpDown), (std::vector<std::string>{"Pan Speed up", "Pan Speed down"}));
    int spins = 0;
    for (Form* f : p.prog().forms()) {
        for (Control* c : f->controls()) {
            if (c->kind() != Kind::UpDown) continue;
            const TextBox* box = static_cast<UpDown*>(c)->buddy();
            ASSERT_NE(box, nullptr) << c->objectName();
            const std::string name = box->accessibleName().empty() ? box->objectName() : box->accessibleName();
            EXPECT_EQ(arrows(*static_cast<UpDown*>(c)), (std::vector<std::string>{name + " up", name + " down"}));
            ++spins;
        }
    }
    EXPECT_GT(spins, 10);
    pt.TiltSpeed.setAccessibleName("");
    EXPECT_EQ(arrows(pt.TSUpDown), (std::vector<std::string>{"TiltSpeed up", "TiltSpeed down"}));
}

// Labels that carry a value are read with it; with no value, their name.
TEST(Assistive, ValueLabelsAreReadWithTheirValue) {
    Panel p("ORX-Beta");
    ASSERT_TRUE(p.started);
    FrmChain& chain = p.prog().frmChain();
    PowerOffDialog& off = p.prog().frmAutoPOff();
    struct Case {
        Label& label;
        const char* caption;
        const char* spoken;
    };
    const Case cases[] = {
        {chain.Cell[2], "14", "Camera 1 Commands: 14"},
        {chain.Cell[FrmChain::kColumns - 1], "NOT ANSWERING", "Camera 1 State: NOT ANSWERING"},
        {chain.Cell[FrmChain::kColumns + 1], "", "Camera 2 Model"},
        {off.LblAnswer, "No answer from the camera.", "Timer read state: No answer from the camera."},
        {off.LblAnswer, "", "Timer read state"},
        // The status line changes live: each label is read with its state.
        {p.rig.main().StatusLink, "Not answering since 21:14:05", "Link state: Not answering since 21:14:05"},
        {p.rig.main().StatusCamera, "Camera 2  ORX-Kappa", "Driven camera: Camera 2  ORX-Kappa"},
        // The console's note is a message: read as it is, named while empty.
        {p.rig.main().DirectNote, "Sent, but no closing FF", "Sent, but no closing FF"},
        {p.rig.main().DirectNote, "", "Console note"},
    };
    for (const Case& tc : cases) {
        tc.label.setCaption(tc.caption);
        EXPECT_EQ(p.widget(tc.label)->accessibleName().toStdString(), tc.spoken);
    }
}
