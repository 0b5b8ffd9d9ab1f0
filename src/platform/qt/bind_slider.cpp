#include <QEvent>
#include <QSlider>

#include "platform/qt/binding.h"
#include "platform/qt/form_view.h"

namespace orbus::qt {

namespace {

QWidget* create(FormView& view, Control& control, QWidget* parent) {
    auto* sl = static_cast<Slider*>(&control);
    auto* s = new QSlider(sl->vertical() ? Qt::Vertical : Qt::Horizontal, parent);
    s->setTickPosition(QSlider::TicksBelow);
    s->installEventFilter(&view);
    QObject::connect(s, &QSlider::valueChanged, &view, [&view, sl](int v) {
        if (!view.applying()) sl->scrollTo(v);
    });
    return s;
}

void apply(FormView&, Control& control, QObject* object, Prop prop) {
    auto* s = qobject_cast<QSlider*>(object);
    if (!s || (prop != Prop::Range && prop != Prop::Value)) return;
    auto& sl = static_cast<Slider&>(control);
    s->setRange(sl.min(), sl.max());
    s->setSingleStep(sl.smallChange());
    s->setPageStep(sl.largeChange());
    s->setTickInterval(sl.tickFrequency());
    s->setValue(sl.value());
}

bool event(FormView&, Control& control, QObject*, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) static_cast<Slider&>(control).mouseDown();
    if (event->type() == QEvent::MouseButtonRelease) static_cast<Slider&>(control).mouseUp();
    return false;
}

}  // namespace

const Binding kSliderBinding{create, apply, nullptr, event};

}  // namespace orbus::qt
