#include <QMouseEvent>

#include "platform/qt/binding.h"
#include "platform/qt/form_view.h"
#include "platform/qt/grid_picture.h"

namespace orbus::qt {

namespace {

QWidget* create(FormView& view, Control& control, QWidget* parent) {
    auto* g = new GridPicture(static_cast<Picture*>(&control), parent);
    g->installEventFilter(&view);
    return g;
}

void apply(FormView&, Control&, QObject* object, Prop prop) {
    if (auto* w = qobject_cast<QWidget*>(object); w && prop == Prop::Items) static_cast<GridPicture*>(w)->syncLook();
}

bool event(FormView&, Control& control, QObject* watched, QEvent* event) {
    auto& pic = static_cast<Picture&>(control);
    const auto type = event->type();
    if (type == QEvent::Leave) pic.mouseLeave();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove) return false;
    auto* g = static_cast<GridPicture*>(qobject_cast<QWidget*>(watched));
    const QPoint at = g->imagePoint(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (type == QEvent::MouseButtonPress) pic.mouseDownAt(at.x(), at.y());
    else pic.mouseMoveAt(at.x(), at.y());
    return false;
}

}  // namespace

const Binding kPictureBinding{create, apply, nullptr, event};

}  // namespace orbus::qt
