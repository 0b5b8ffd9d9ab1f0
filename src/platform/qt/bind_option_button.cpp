#include "platform/qt/binding.h"
#include "platform/qt/captions.h"
#include "platform/qt/form_view.h"
#include "platform/qt/option_radio.h"

namespace orbus::qt {

namespace {

QWidget* create(FormView& view, Control& control, QWidget* parent) {
    // Screen readers are told what it is by the binder's own interface.
    announceOptionButtons();
    auto* b = new OptionRadio(parent);
    auto* ob = static_cast<OptionButton*>(&control);
    // As for check boxes; clearing a selected option is a click on it
    // too, which selects it again.
    QObject::connect(b, &QRadioButton::toggled, &view, [&view, b, ob](bool on) {
        if (view.applying() || on == ob->value()) return;
        if (b->isEnabled()) ob->click();
        view.quietly([&] { b->setChecked(ob->value()); });
    });
    return b;
}

void apply(FormView&, Control& control, QObject* object, Prop prop) {
    auto* b = qobject_cast<QRadioButton*>(object);
    if (!b) return;
    auto& ob = static_cast<OptionButton&>(control);
    if (prop == Prop::Caption) b->setText(captionText(ob.caption()));
    if (prop == Prop::Range || prop == Prop::Value) b->setChecked(ob.value());
}

}  // namespace

const Binding kOptionButtonBinding{create, apply, nullptr, nullptr};

}  // namespace orbus::qt
