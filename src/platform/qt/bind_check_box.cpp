#include <QCheckBox>

#include "platform/qt/binding.h"
#include "platform/qt/captions.h"
#include "platform/qt/form_view.h"

namespace orbus::qt {

namespace {

QWidget* create(FormView& view, Control& control, QWidget* parent) {
    auto* b = new QCheckBox(parent);
    auto* cb = static_cast<CheckBox*>(&control);
    // Any change the form did not make is the operator's click: the
    // mouse, the keyboard, or assistive technology's Toggle and Press.
    QObject::connect(b, &QCheckBox::toggled, &view, [&view, b, cb](bool on) {
        if (view.applying() || on == cb->checked()) return;
        if (b->isEnabled()) cb->click();  // the value flips, then Click
        view.quietly([&] { b->setChecked(cb->checked()); });
    });
    return b;
}

void apply(FormView&, Control& control, QObject* object, Prop prop) {
    auto* b = qobject_cast<QCheckBox*>(object);
    if (!b) return;
    auto& cb = static_cast<CheckBox&>(control);
    if (prop == Prop::Caption) b->setText(captionText(cb.caption()));
    if (prop == Prop::Range || prop == Prop::Value) b->setChecked(cb.checked());
}

}  // namespace

const Binding kCheckBoxBinding{create, apply, nullptr, nullptr};

}  // namespace orbus::qt
