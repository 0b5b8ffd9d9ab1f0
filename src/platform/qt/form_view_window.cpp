#include "platform/qt/form_view.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

#include "platform/qt/captions.h"
#include "platform/qt/images.h"

namespace orbus::qt {

void FormView::followHost() {
    FormView* host = form_.host() && set_ ? set_->viewOf(*form_.host()) : nullptr;
    if (host == host_) return;
    const bool was = applying_;
    applying_ = true;
    if (host_) host_->releaseGuest(this);
    host_ = host;
    if (host_) {
        host_->holdGuest(this);
    } else {
        window_->setParent(nullptr, ownFlags_);
        applyForm(FormProp::Geometry);
    }
    window_->setVisible(form_.visible());
    applying_ = was;
}

void FormView::holdGuest(FormView* guest) {
    guests_.push_back(guest);
    guest->window_->setParent(canvas_, Qt::Widget);
    arrangeGuests();
}

void FormView::releaseGuest(FormView* guest) {
    guests_.erase(std::remove(guests_.begin(), guests_.end(), guest), guests_.end());
    arrangeGuests();
}

void FormView::arrangeGuests() {
    int y = canvasOwn_.height(), w = canvasOwn_.width();
    if (!guests_.empty()) {
        // Right under the lowest control the camera's layout shows.
        int bottom = 0;
        for (Control* c : form_.controls()) {
            if (c->container() || !c->visible()) continue;
            if (QWidget* cw = widgetFor(c)) bottom = std::max(bottom, cw->geometry().bottom() + 1);
        }
        y = bottom + px(120);
    }
    for (FormView* g : guests_) {
        g->window_->move(0, y);
        y += g->window_->height();
        w = std::max(w, g->window_->width());
    }
    canvas_->setMinimumSize(w, y);
}

void FormView::applyForm(FormProp p) {
    const bool was = applying_;
    applying_ = true;
    switch (p) {
    case FormProp::Caption:
        window_->setWindowTitle(q(form_.caption()));
        window_->setAccessibleName(q(form_.caption()));
        break;
    case FormProp::Visible:
        if (form_.visible()) {
            window_->show();
            shownOnce_ = true;
        } else {
            window_->hide();
        }
        break;
    case FormProp::Geometry: {
        // The form's size is the outer size of the window, title bar and
        // borders included; the window is kept on the screen.
        const int w = px(form_.width()), h = px(form_.height());
        if (host_) {
            // Held: no frame of its own; its place is under the host's
            // controls, its size its own.
            window_->setFixedSize(std::max(1, w), std::max(1, h));
            host_->arrangeGuests();
            break;
        }
        const QSize deco = decorations();
        QPoint pos(px(form_.left()), px(form_.top()));
        if (QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen()) {
            const QRect avail = screen->availableGeometry();
            pos.setX(std::clamp(pos.x(), avail.left(), std::max(avail.left(), avail.right() + 1 - w)));
            pos.setY(std::clamp(pos.y(), avail.top(), std::max(avail.top(), avail.bottom() + 1 - h)));
        }
        window_->move(pos);
        const QSize client(std::max(1, w - deco.width()), std::max(1, h - deco.height()));
        if (form_.resizable()) {
            window_->resize(client);
        } else {
            window_->setFixedSize(client);
        }
        break;
    }
    case FormProp::State:
        switch (form_.windowState()) {
        case WindowState::Normal: window_->setWindowState(Qt::WindowNoState); break;
        case WindowState::Minimized: window_->setWindowState(Qt::WindowMinimized); break;
        case WindowState::Maximized: window_->setWindowState(Qt::WindowMaximized); break;
        }
        break;
    case FormProp::Icon:
        window_->setWindowIcon(iconFor(form_.icon().empty() ? "orbus" : form_.icon()));
        break;
    case FormProp::Raise:
        window_->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window_->raise();
        window_->setAttribute(Qt::WA_ShowWithoutActivating, false);
        break;
    case FormProp::ToBack:
        window_->lower();
        break;
    case FormProp::Host:
        followHost();
        break;
    case FormProp::Redraw:
        // Nothing holds the event loop any more: the window paints itself
        // at the next turn.
        window_->update();
        break;
    }
    applying_ = was;
}

QSize FormView::decorations() const {
    if (!window_->isVisible()) return lastDecorations_;
    const QSize d = window_->frameGeometry().size() - window_->size();
    if (d.width() >= 0 && d.height() >= 0) lastDecorations_ = d;
    return lastDecorations_;
}

void FormView::geometryChangedByUser() {
    if (applying_ || host_ || !window_->isVisible()) return;
    const QRect frame = window_->frameGeometry();
    form_.placedByUser(twips(frame.x()), twips(frame.y()), twips(frame.width()), twips(frame.height()));
}

void FormView::stateChangedByUser() {
    if (applying_ || host_) return;
    const auto s = window_->windowState();
    form_.stateChangedByUser(s & Qt::WindowMinimized   ? WindowState::Minimized
                             : s & Qt::WindowMaximized ? WindowState::Maximized
                                                       : WindowState::Normal);
}

}  // namespace orbus::qt
