#include "platform/qt/form_view.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QScrollArea>

#include <algorithm>

#include "platform/qt/binding.h"
#include "platform/qt/captions.h"
#include "platform/qt/form_windows.h"
#include "platform/qt/keys.h"

namespace orbus::qt {

FormView::FormView(Form& form, ViewSet* set) : form_(form), set_(set) { build(); }

bool FormView::owns(const QWidget* w) const {
    for (; w; w = w->parentWidget()) {
        if (w == window_) return true;
        for (const FormView* g : guests_) {
            if (w == g->window_) return false;
        }
    }
    return false;
}

const Control* FormView::controlOf(QWidget* w) const {
    for (; w && w != window_; w = w->parentWidget()) {
        auto it = byObject_.find(w);
        if (it != byObject_.end()) return it->second;
    }
    return nullptr;
}

bool FormView::formKey(QObject* watched, QEvent* event) {
    auto* ke = static_cast<QKeyEvent*>(event);
    // The form sees a key once, where it first arrives: at the widget with
    // the focus, or at the window when none of its widgets has it.
    QWidget* focus = QApplication::focusWidget();
    if (focus && !owns(focus)) focus = nullptr;
    if (watched != (focus ? focus : window_)) return false;
    KeyEvent e = formKeyOf(ke);
    if (e.key == Key::Other && e.ch == 0) return false;
    e.focus = controlOf(focus);
    return event->type() == QEvent::KeyPress ? form_.keyDown(e) : form_.keyUp(e);
}

FormView::~FormView() {
    // Held windows and the host outlive each other in any order.
    for (FormView* g : guests_) {
        g->window_->setParent(nullptr, g->ownFlags_);
        g->host_ = nullptr;
    }
    guests_.clear();
    if (host_) {
        host_->guests_.erase(std::remove(host_->guests_.begin(), host_->guests_.end(), this), host_->guests_.end());
        window_->setParent(nullptr, ownFlags_);
        host_ = nullptr;
    }
    form_.setObserver(nullptr);
    for (Control* c : form_.controls()) {
        if (c->kind() != Kind::Timer) c->setObserver(nullptr);
    }
    delete window_;
}

QObject* FormView::objectFor(const Control* c) const {
    auto it = objects_.find(c);
    return it == objects_.end() ? nullptr : it->second;
}

QWidget* FormView::widgetFor(const Control* c) const { return qobject_cast<QWidget*>(objectFor(c)); }

void FormView::build() {
    const bool hasMenus = !form_.topMenus().empty();
    if (hasMenus) {
        auto* w = new MainWin(this);
        auto* scroll = new QScrollArea(w);
        canvas_ = new QWidget;
        scroll->setWidget(canvas_);
        // The controls keep their places; the area grows with the window and
        // scrolls only where the window is smaller than what it holds.
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        w->setCentralWidget(scroll);
        window_ = w;
    } else {
        auto* d = new DialogWin(this);
        d->setModal(false);
        canvas_ = d;
        window_ = d;
    }
    window_->setObjectName(q(form_.name()));
    window_->setWindowTitle(q(form_.caption()));
    window_->setAccessibleName(q(form_.caption()));
    window_->setWindowIcon(iconFor(form_.icon().empty() ? "orbus" : form_.icon()));
    window_->setAttribute(Qt::WA_ShowWithoutActivating, false);

    if (hasMenus) buildMenus();
    for (Control* c : form_.controls()) {
        if (c->kind() == Kind::Timer || c->kind() == Kind::MenuItem) continue;
        const auto create = bindingFor(c->kind()).create;
        QWidget* w = create ? create(*this, *c, parentFor(*c)) : new QWidget(parentFor(*c));
        objects_[c] = w;
        byObject_[w] = c;
        w->setObjectName(q(c->objectName()));
    }
    for (Control* c : form_.controls()) {
        if (c->kind() == Kind::Timer) continue;
        applyAll(*c);
        c->setObserver([this](Control& ctl, Prop p) { applyControl(ctl, p); });
    }
    baseFont_ = window_->font();
    if (form_.zoom() != 1.0) applyZoom();
    if (hasMenus) measureCanvas();
    ownFlags_ = window_->windowFlags();
    syncTabOrder();
    // Keys reach the form before the control with the focus, and the form
    // hears when its window stops being the active one.
    window_->installEventFilter(this);
    for (QWidget* w : window_->findChildren<QWidget*>()) w->installEventFilter(this);
    form_.setObserver([this](Form&, FormProp p) { applyForm(p); });
    applyForm(FormProp::Geometry);
    if (form_.visible()) applyForm(FormProp::Visible);
    // A held window whose focus moves out to its host's controls has lost
    // the keyboard, as a window of its own does when another one is activated.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (host_ && old && owns(old) && !(now && owns(now))) form_.deactivated();
    });
    if (form_.host()) followHost();
}

QWidget* FormView::parentFor(Control& c) {
    if (Control* f = c.container()) {
        if (QWidget* w = widgetFor(f)) return w;
    }
    return canvas_;
}

void FormView::syncTabOrder() {
    QWidget* prev = nullptr;
    for (Control* c : form_.controls()) {
        QWidget* w = widgetFor(c);
        if (!w || w->focusPolicy() == Qt::NoFocus) continue;
        if (prev) QWidget::setTabOrder(prev, w);
        prev = w;
    }
}

void FormView::placeControl(Control& c) {
    QWidget* w = widgetFor(&c);
    if (!w) return;
    w->setGeometry(zpx(c.left()), zpx(c.top()), std::max(1, zpx(c.width())), std::max(1, zpx(c.height())));
}

void FormView::applyAll(Control& c) {
    for (Prop p : {Prop::Geometry, Prop::Caption, Prop::Text, Prop::Range, Prop::Value, Prop::Items,
                   Prop::Checked, Prop::Color, Prop::Accessible, Prop::Enabled, Prop::Visible}) {
        applyControl(c, p);
    }
    if (QWidget* w = widgetFor(&c); w && !c.toolTip().empty()) w->setToolTip(q(c.toolTip()));
}

void FormView::applyControl(Control& c, Prop p) {
    QObject* obj = objectFor(&c);
    if (!obj) return;
    const bool was = applying_;
    applying_ = true;
    QWidget* w = qobject_cast<QWidget*>(obj);
    auto* act = qobject_cast<QAction*>(obj);
    const Binding& binding = bindingFor(c.kind());
    switch (p) {
    case Prop::Visible:
        if (act) act->setVisible(c.visible());
        else if (w) w->setVisible(c.visible());
        if (w && !c.container() && !guests_.empty()) arrangeGuests();
        break;
    case Prop::Enabled:
        if (act) act->setEnabled(c.enabled());
        else if (w) w->setEnabled(c.enabled());
        break;
    case Prop::Geometry:
        placeControl(c);
        break;
    case Prop::Accessible:
        if (!(binding.name && binding.name(c, w)) && w && !c.accessibleName().empty())
            w->setAccessibleName(q(c.accessibleName()));
        break;
    default:
        break;
    }
    if (binding.apply) binding.apply(*this, c, obj, p);
    // The caption names the widget, unless the control has a spoken name of
    // its own; a control without a caption takes nothing from it.
    if (p == Prop::Caption && !(binding.name && binding.name(c, w)) && c.accessibleName().empty() && w) {
        if (const auto* captioned = dynamic_cast<const Captioned*>(&c))
            w->setAccessibleName(spokenCaption(captioned->caption()));
    }
    applying_ = was;
}

void FormView::closeRequested() { form_.unload(); }

bool FormView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        if (formKey(watched, event)) return true;
    }
    if (watched == window_ && event->type() == QEvent::WindowDeactivate) {
        form_.deactivated();
        for (FormView* g : guests_) g->form_.deactivated();
    }
    auto it = byObject_.find(watched);
    if (it == byObject_.end()) return false;
    Control* c = it->second;
    const auto take = bindingFor(c->kind()).event;
    return take && take(*this, *c, watched, event);
}

ViewSet::ViewSet(const std::vector<Form*>& forms) {
    for (Form* f : forms) views_.push_back(std::make_unique<FormView>(*f, this));
}

ViewSet::~ViewSet() { views_.clear(); }

FormView* ViewSet::viewOf(const Form& f) const {
    for (const auto& v : views_) {
        if (&v->form() == &f) return v.get();
    }
    return nullptr;
}

QWidget* ViewSet::windowOf(const Form& f) const {
    FormView* v = viewOf(f);
    return v ? v->window() : nullptr;
}

QWidget* ViewSet::mainWindow() const {
    for (const auto& v : views_) {
        if (qobject_cast<QMainWindow*>(v->window())) return v->window();
    }
    return nullptr;
}

}  // namespace orbus::qt
