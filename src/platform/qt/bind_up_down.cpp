#include "platform/qt/binding.h"
#include "platform/qt/form_view.h"
#include "platform/qt/spin_arrows.h"

namespace orbus::qt {

namespace {

QWidget* create(FormView& view, Control& control, QWidget* parent) {
    auto* s = new SpinArrows(parent);
    auto* ud = static_cast<UpDown*>(&control);
    s->nameAfter(spinBoxName(*ud));
    QObject::connect(s->up, &QToolButton::clicked, &view, [ud] { ud->up(); });
    QObject::connect(s->down, &QToolButton::clicked, &view, [ud] { ud->down(); });
    return s;
}

void apply(FormView& view, Control& control, QObject*, Prop prop) {
    if (prop == Prop::Accessible) renameSpinArrows(view, control);
}

}  // namespace

void renameSpinArrows(FormView& view, const Control& changed) {
    for (Control* other : view.form().controls()) {
        auto* ud = other->kind() == Kind::UpDown ? static_cast<UpDown*>(other) : nullptr;
        if (!ud || (ud != &changed && ud->buddy() != &changed)) continue;
        if (QWidget* arrows = view.widgetFor(ud)) static_cast<SpinArrows*>(arrows)->nameAfter(spinBoxName(*ud));
    }
}

const Binding kUpDownBinding{create, apply, nullptr, nullptr};

}  // namespace orbus::qt
