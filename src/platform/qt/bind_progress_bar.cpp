#include <QProgressBar>

#include "platform/qt/binding.h"
#include "platform/qt/form_view.h"

namespace orbus::qt {

namespace {

QWidget* create(FormView&, Control&, QWidget* parent) {
    auto* p = new QProgressBar(parent);
    p->setTextVisible(false);
    return p;
}

void apply(FormView&, Control& control, QObject* object, Prop prop) {
    auto* pb = qobject_cast<QProgressBar*>(object);
    if (!pb || (prop != Prop::Range && prop != Prop::Value)) return;
    auto& bar = static_cast<ProgressBar&>(control);
    pb->setRange(bar.min(), bar.max());
    pb->setValue(bar.value());
}

}  // namespace

const Binding kProgressBarBinding{create, apply, nullptr, nullptr};

}  // namespace orbus::qt
