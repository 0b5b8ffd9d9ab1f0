#include <QComboBox>

#include "platform/qt/binding.h"
#include "platform/qt/captions.h"
#include "platform/qt/form_view.h"

namespace orbus::qt {

namespace {

QWidget* create(FormView& view, Control& control, QWidget* parent) {
    auto* cb = new QComboBox(parent);
    auto* combo = static_cast<ComboBox*>(&control);
    QObject::connect(cb, &QComboBox::activated, &view, [combo](int i) { combo->choose(i); });
    return cb;
}

void apply(FormView&, Control& control, QObject* object, Prop prop) {
    auto* cb = qobject_cast<QComboBox*>(object);
    if (!cb) return;
    auto& combo = static_cast<ComboBox&>(control);
    if (prop == Prop::Items) {
        cb->clear();
        for (const auto& s : combo.items()) cb->addItem(q(s));
    }
    if (prop == Prop::Items || prop == Prop::Range || prop == Prop::Value) cb->setCurrentIndex(combo.listIndex());
}

}  // namespace

const Binding kComboBoxBinding{create, apply, nullptr, nullptr};

}  // namespace orbus::qt
