// The Qt view: every control of every window has its widget, named and
// labelled for screen readers; model changes reach the widgets and the
// operator's input reaches the handlers.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTextBlock>
#include <QToolTip>
#include <QWidget>

#include "app/meaning.h"
#include "dialogs/deffect.h"
#include "pantilt/frm_pantilt.h"
#include "platform/qt/form_view.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::qt::ViewSet;
using orbus::testing::Rig;

TEST(View, EveryControlHasANamedLabelledWidget) {
    Rig rig;
    ViewSet views(rig.program->forms());
    int checked = 0;
    for (Form* f : rig.program->forms()) {
        QWidget* win = views.windowOf(*f);
        ASSERT_NE(win, nullptr) << f->name();
        EXPECT_EQ(win->windowTitle().toStdString(), f->caption());
        for (Control* c : f->controls()) {
            if (c->kind() == Kind::Timer) continue;
            QObject* o = views.viewOf(*f)->objectFor(c);
            ASSERT_NE(o, nullptr) << c->objectName();
            EXPECT_EQ(o->objectName().toStdString(), c->objectName());
            if (auto* w = qobject_cast<QWidget*>(o)) {
                const bool named = c->kind() == Kind::Label || c->kind() == Kind::Frame ||
                                   c->kind() == Kind::ProgressBar || !w->accessibleName().isEmpty();
                EXPECT_TRUE(named) << c->objectName() << " has no accessible name";
            } else {
                EXPECT_NE(qobject_cast<QAction*>(o), nullptr) << c->objectName();
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 30);
    auto* send = views.viewOf(rig.main())->widgetFor(&rig.main().SendText);
    EXPECT_EQ(send->accessibleName(), "Command History");
    auto* recv = views.viewOf(rig.main())->widgetFor(&rig.main().RecvText);
    EXPECT_EQ(recv->accessibleName(), "Response Window");
    auto* direct = views.viewOf(rig.main())->widgetFor(&rig.main().DirectText);
    EXPECT_EQ(direct->accessibleName(), "Direct Command");
}

TEST(View, ModelChangesReachTheWidgets) {
    Rig rig;
    ViewSet views(rig.program->forms());
    FrmMain& m = rig.main();
    auto* v = views.viewOf(m);
    m.ModelVersion.setText("ORX-Beta");
    EXPECT_EQ(qobject_cast<QLineEdit*>(v->widgetFor(&m.ModelVersion))->text(), "ORX-Beta");
    m.RecvText.setText("90 41 FF \r\n");
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(v->widgetFor(&m.RecvText))->toPlainText(), "90 41 FF \n");
    if (!m.autoCaption()) m.AutoRefreshed_Click();
    EXPECT_EQ(qobject_cast<QPushButton*>(v->widgetFor(&m.AutoRefreshed))->text(), "Auto");
    m.RefreshOnce.setEnabled(false);
    EXPECT_FALSE(v->widgetFor(&m.RefreshOnce)->isEnabled());
    m.CameraSel[3].setEnabled(false);
    m.CameraSel[2].setChecked(true);
    auto* a3 = qobject_cast<QAction*>(v->objectFor(&m.CameraSel[3]));
    auto* a2 = qobject_cast<QAction*>(v->objectFor(&m.CameraSel[2]));
    EXPECT_FALSE(a3->isEnabled());
    EXPECT_TRUE(a2->isChecked());
    m.setCaption("KBM-  B SERIES Control Panel");
    EXPECT_EQ(views.windowOf(m)->windowTitle(), "KBM-  B SERIES Control Panel");
}

TEST(View, OperatorInputReachesTheHandlers) {
    Rig rig;
    rig.openQuietly();
    ViewSet views(rig.program->forms());
    FrmMain& m = rig.main();
    auto* v = views.viewOf(m);

    m.SendText.setText("81 01 FF \r\n");
    qobject_cast<QPushButton*>(v->widgetFor(&m.cmdClearTxt))->click();
    EXPECT_EQ(m.SendText.text(), "");

    // Keys typed into the console go through its key filter.
    auto* line = qobject_cast<QLineEdit*>(v->widgetFor(&m.DirectText));
    for (const char* k : {"8", "1", "g", "a"}) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(k));
        QApplication::sendEvent(line, &press);
    }
    EXPECT_EQ(m.DirectText.text(), "81A");
    EXPECT_EQ(line->text(), "81A");
    // Pasted text is filtered too.
    line->selectAll();
    line->insert("81 01 04 0b 02 ff");
    EXPECT_EQ(m.DirectText.text(), "8101040B02FF");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(line, &enter);
    EXPECT_EQ(m.DirectText.text(), "");
    EXPECT_EQ(m.SendText.text(), "81 01 04 0B 02 FF \r\n");

    // A menu click reaches its handler: Exit ends the program.
    qobject_cast<QAction*>(v->objectFor(&m.Quit))->trigger();
    EXPECT_TRUE(rig.windows.ending());
}

TEST(View, PortDialogWidgetsDriveTheDialog) {
    Rig rig;
    ViewSet views(rig.program->forms());
    rig.program->start();
    FrmOpen& o = rig.open();
    auto* v = views.viewOf(o);
    EXPECT_TRUE(views.windowOf(o)->isVisible());
    auto* combo = qobject_cast<QComboBox*>(v->widgetFor(&o.ComList1));
    ASSERT_EQ(combo->count(), 14);
    EXPECT_EQ(combo->itemText(11), "Com 12");
    EXPECT_EQ(combo->itemText(12), "Simulator");
    EXPECT_EQ(combo->itemText(13), QString::fromUtf8("Network\u2026"));
    EXPECT_EQ(combo->currentIndex(), 0);
    auto* r1 = qobject_cast<QRadioButton*>(v->widgetFor(&o.OBrate[1]));
    r1->click();
    EXPECT_TRUE(o.OBrate[1].value());
    EXPECT_FALSE(o.OBrate[0].value());
    EXPECT_FALSE(qobject_cast<QRadioButton*>(v->widgetFor(&o.OBrate[0]))->isChecked());
    // OK is the default button: Enter in the dialog confirms.
    EXPECT_TRUE(qobject_cast<QPushButton*>(v->widgetFor(&o.Command1))->isDefault());
    // The tab order follows the design: list, (the simulator's models, shown
    // for its entry only), speeds, OK, then the reason to copy when there is one.
    auto tabOrder = [&] {
        QWidget* w = combo;
        std::vector<std::string> order;
        for (int i = 0; i < 7 && w; ++i) {
            order.push_back(w->objectName().toStdString());
            w = w->nextInFocusChain();
            while (w && w != combo && (w->focusPolicy() == Qt::NoFocus || !w->isVisible())) w = w->nextInFocusChain();
            if (w == combo) break;
        }
        return order;
    };
    EXPECT_EQ(tabOrder(), (std::vector<std::string>{"ComList1", "OBrate_0", "OBrate_1", "OBrate_2", "Command1"}));
    combo->setCurrentIndex(FrmOpen::kSimulatorEntry);
    emit combo->activated(FrmOpen::kSimulatorEntry);
    EXPECT_TRUE(o.simulatorChosen());
    o.showReason("Something to copy.", false);
    EXPECT_EQ(tabOrder(), (std::vector<std::string>{"ComList1", "TxtModels", "OBrate_0", "OBrate_1", "OBrate_2",
                                                    "Command1", "LblReason"}));
}

TEST(View, MessageLabelsAreReadWithTheirMessage) {
    Rig rig;
    ViewSet views(rig.program->forms());
    FrmOpen& o = rig.open();
    QWidget* error = views.viewOf(o)->widgetFor(&o.LblDBG0);
    // No message yet: the role word, never an empty name.
    EXPECT_EQ(error->accessibleName(), "Port error");
    EXPECT_EQ(error->accessibleDescription(), "Port error");
    o.LblDBG0.setCaption("IF_Clear Error\r\nPort = 1");
    EXPECT_EQ(error->accessibleName(), "IF_Clear Error Port = 1");
    EXPECT_EQ(qobject_cast<QLabel*>(error)->text(), "IF_Clear Error\nPort = 1");
    o.LblDBG0.setCaption("");
    EXPECT_EQ(error->accessibleName(), "Port error");
    rig.program->start();
    EXPECT_EQ(views.viewOf(o)->widgetFor(&o.LblDevice)->accessibleName(), "No serial device");
    EXPECT_EQ(views.viewOf(o)->widgetFor(&o.Label1)->accessibleName(), "Com Port");

    FrmInfo& info = rig.info();
    info.LbSubtitle.setCaption("Interface Clear Start");
    EXPECT_EQ(views.viewOf(info)->widgetFor(&info.LbSubtitle)->accessibleName(), "Interface Clear Start");
    FrmPanTilt& pt = rig.program->frmPanTilt();
    QWidget* ir = views.viewOf(pt)->widgetFor(&pt.LblIR);
    pt.LblIR.setCaption("IR Condition:NG");
    EXPECT_EQ(ir->accessibleName(), "IR Condition:NG");
    EXPECT_EQ(ir->accessibleDescription(), "IR condition");
    pt.LblIR.setCaption("");
    EXPECT_EQ(ir->accessibleName(), "IR condition");
}

TEST(View, HeldKeysInThePanTiltWindowDriveTheHead) {
    Rig rig({"ORX-Beta"});
    ViewSet views(rig.program->forms());
    ASSERT_TRUE(rig.startUp());
    FrmPanTilt& pt = rig.program->frmPanTilt();
    QWidget* win = views.windowOf(pt);
    ASSERT_TRUE(win->isVisible());
    win->activateWindow();
    QApplication::setActiveWindow(win);
    QWidget* home = views.viewOf(pt)->widgetFor(&pt.Pan_Tilt_Direct[8]);
    home->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), home);
    auto send = [&](QWidget* to, QEvent::Type type, int key, Qt::KeyboardModifiers mods, bool repeat = false) {
        QKeyEvent e(type, key, mods, QString(), repeat);
        QApplication::sendEvent(to, &e);
    };
    auto mark = rig.mark();
    send(home, QEvent::KeyPress, Qt::Key_Home, Qt::KeypadModifier);  // keypad 7, Num Lock off
    send(home, QEvent::KeyPress, Qt::Key_Home, Qt::KeypadModifier, true);
    send(home, QEvent::KeyRelease, Qt::Key_Home, Qt::KeypadModifier, true);
    send(home, QEvent::KeyRelease, Qt::Key_Home, Qt::KeypadModifier);
    rig.run(0.05);  // the release counts once no repeat follows
    EXPECT_EQ(rig.packetsSince(mark),
              (std::vector<std::string>{"81 01 06 01 18 17 01 01 FF", "81 01 06 01 18 18 03 03 FF"}));
    // The window losing the keyboard during a drive stops the head.
    mark = rig.mark();
    send(home, QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(win, &deactivate);
    EXPECT_EQ(rig.packetsSince(mark),
              (std::vector<std::string>{"81 01 06 01 18 17 01 03 FF", "81 01 06 01 18 18 03 03 FF"}));
    // In a speed box the arrows stay with the box.
    QWidget* speed = views.viewOf(pt)->widgetFor(&pt.PanSpeed);
    speed->setFocus();
    mark = rig.mark();
    send(speed, QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    send(speed, QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
    EXPECT_TRUE(rig.packetsSince(mark).empty());
    // Each direction button names its key.
    EXPECT_NE(views.viewOf(pt)->widgetFor(&pt.Pan_Tilt_Stop[5])->toolTip().indexOf("keypad 7"), -1);
}

TEST(View, EnterInADialogBoxPressesItsDefaultButton) {
    Rig rig({"KBM-R16"});
    ViewSet views(rig.program->forms());
    ASSERT_TRUE(rig.startUp());
    FrmDeffect& d = rig.program->frmDeffect();
    const auto mark = rig.mark();
    rig.windows.script([&] {
        auto* box = qobject_cast<QLineEdit*>(views.viewOf(d)->widgetFor(&d.DELevel));
        ASSERT_NE(box, nullptr);
        box->setFocus();
        box->selectAll();
        for (const char* k : {"2", "x", "0"}) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(k));
            QApplication::sendEvent(box, &press);
        }
        EXPECT_EQ(d.DELevel.text(), "20");
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QApplication::sendEvent(box, &enter);
        if (d.visible()) d.unload();  // Enter did not reach OK: end the wait
    });
    rig.main().EffectLevel.click();
    EXPECT_EQ(rig.packetsSince(mark, "01"), std::vector<std::string>{"81 01 04 65 14 FF"});
}

// The caret of a log reaches the form at the same place in its CR LF text,
// and a log line's tool tip is its meaning.
TEST(View, LogCaretAndToolTipsReadTheLineMeaning) {
    Rig rig({"KBM-R05"});
    rig.openQuietly();
    ViewSet views(rig.program->forms());
    FrmMain& m = rig.main();
    m.DirectText.type("81090400FF\r");
    m.DirectText.type("8101040B02FF\r");
    rig.run(1);
    auto* send = qobject_cast<QPlainTextEdit*>(views.viewOf(m)->widgetFor(&m.SendText));
    ASSERT_NE(send, nullptr);
    QTextCursor c = send->textCursor();
    c.setPosition(send->document()->findBlockByNumber(1).position() + 3);
    send->setTextCursor(c);
    EXPECT_EQ(lineAt(m.SendText.text(), m.SendText.selStart()), "81 01 04 0B 02 FF ");
    EXPECT_EQ(m.LineMeaning.text(), "Camera 1: Iris Open (iris one step open)");
    auto* recv = qobject_cast<QPlainTextEdit*>(views.viewOf(m)->widgetFor(&m.RecvText));
    c = recv->textCursor();
    c.setPosition(1);
    recv->setTextCursor(c);
    EXPECT_EQ(m.LineMeaning.text(), "Camera 1: answer to the power inquiry: 02 (on)");
    auto* meaning = views.viewOf(m)->widgetFor(&m.LineMeaning);
    EXPECT_EQ(meaning->accessibleName(), "Line meaning");
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(meaning)->toPlainText().toStdString(), m.LineMeaning.text());

    // The tool tip over the first line of the command log.
    send->show();
    QApplication::processEvents();
    const QRect first = send->cursorRect(QTextCursor(send->document()->findBlockByNumber(0)));
    QHelpEvent help(QEvent::ToolTip, first.center(), send->viewport()->mapToGlobal(first.center()));
    QApplication::sendEvent(send->viewport(), &help);
    EXPECT_EQ(QToolTip::text().toStdString(), "Camera 1: inquiry, power");
}
