#include <QEvent>
#include <QGroupBox>

#include "platform/qt/binding.h"
#include "platform/qt/captions.h"
#include "platform/qt/form_view.h"

namespace orbus::qt {

namespace {

QWidget* create(FormView& view, Control&, QWidget* parent) {
    auto* g = new QGroupBox(parent);
    g->installEventFilter(&view);
    return g;
}

void apply(FormView&, Control& control, QObject* object, Prop prop) {
    auto* g = qobject_cast<QGroupBox*>(object);
    if (g && prop == Prop::Caption) g->setTitle(captionText(static_cast<Frame&>(control).caption()));
}

bool event(FormView&, Control& control, QObject*, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) static_cast<Frame&>(control).click();
    return false;
}

}  // namespace

const Binding kFrameBinding{create, apply, nullptr, event};

}  // namespace orbus::qt
