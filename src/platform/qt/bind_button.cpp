#include <QApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QPushButton>
#include <QShortcut>

#include "platform/form.h"
#include "platform/qt/binding.h"
#include "platform/qt/captions.h"
#include "platform/qt/form_view.h"

namespace orbus::qt {

namespace {

// A button's key works it as a click does: pressed, let go, clicked. A key
// that reaches far works from the program's main window as well as from the
// button's own, and is out of the way while any other window is active.
void bindShortcut(QPushButton* b, const Button& btn) {
    auto* sc = new QShortcut(QKeySequence(q(btn.shortcut())), b);
    QObject::connect(sc, &QShortcut::activated, b, [b] {
        if (b->isEnabled() && b->isVisible()) b->animateClick();
    });
    if (!btn.shortcutFarReaching()) return;
    sc->setContext(Qt::ApplicationShortcut);
    auto follow = [sc, b] {
        QWidget* active = QApplication::activeWindow();
        sc->setEnabled(active && (active == b->window() || qobject_cast<QMainWindow*>(active)));
    };
    QObject::connect(qApp, &QApplication::focusChanged, sc, follow);
    follow();
}

// Buttons of dialogs carry mnemonics. The main window's letters belong to
// its menu bar, and a window that takes keys itself (the drive keys, typed
// titles) keeps them: their buttons carry none, nor do buttons that act
// while held, which a mnemonic cannot hold.
bool takesMnemonic(const Button& btn) {
    const Form& f = btn.form();
    return f.topMenus().empty() && !f.onKeyDown && !btn.onMouseDown;
}

// The caption with a mnemonic not used by the window's other buttons.
QString markedCaption(FormView& view, const Button& btn) {
    if (!takesMnemonic(btn)) return captionText(btn.caption());
    std::string taken;
    for (const Control* c : btn.form().controls()) {
        if (c == &btn || c->kind() != Kind::Button) continue;
        if (auto* other = qobject_cast<QPushButton*>(view.objectFor(c))) {
            if (const char m = mnemonicOf(other->text().toStdString())) taken += m;
        }
    }
    return captionText(withMnemonic(btn.caption(), taken));
}

QWidget* create(FormView& view, Control& control, QWidget* parent) {
    auto* b = new QPushButton(parent);
    auto* btn = static_cast<Button*>(&control);
    b->setAutoDefault(false);
    b->setDefault(btn->isDefault());
    QObject::connect(b, &QPushButton::pressed, &view, [btn] { btn->mouseDown(); });
    QObject::connect(b, &QPushButton::released, &view, [btn] { btn->mouseUp(); });
    QObject::connect(b, &QPushButton::clicked, &view, [btn] { btn->click(); });
    if (!btn->shortcut().empty()) bindShortcut(b, *btn);
    return b;
}

void apply(FormView& view, Control& control, QObject* object, Prop prop) {
    auto* b = qobject_cast<QPushButton*>(object);
    if (b && prop == Prop::Caption) b->setText(markedCaption(view, static_cast<Button&>(control)));
}

}  // namespace

const Binding kButtonBinding{create, apply, nullptr, nullptr};

}  // namespace orbus::qt
