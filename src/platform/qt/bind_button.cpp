#include <QPushButton>

#include "platform/qt/binding.h"
#include "platform/qt/captions.h"
#include "platform/qt/form_view.h"

namespace orbus::qt {

namespace {

QWidget* create(FormView& view, Control& control, QWidget* parent) {
    auto* b = new QPushButton(parent);
    auto* btn = static_cast<Button*>(&control);
    b->setAutoDefault(false);
    b->setDefault(btn->isDefault());
    QObject::connect(b, &QPushButton::pressed, &view, [btn] { btn->mouseDown(); });
    QObject::connect(b, &QPushButton::released, &view, [btn] { btn->mouseUp(); });
    QObject::connect(b, &QPushButton::clicked, &view, [btn] { btn->click(); });
    return b;
}

void apply(FormView&, Control& control, QObject* object, Prop prop) {
    auto* b = qobject_cast<QPushButton*>(object);
    if (b && prop == Prop::Caption) b->setText(captionText(static_cast<Button&>(control).caption()));
}

}  // namespace

const Binding kButtonBinding{create, apply, nullptr, nullptr};

}  // namespace orbus::qt
