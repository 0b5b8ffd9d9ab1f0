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
        window_->setFocusPolicy(Qt::NoFocus);
        applyForm(FormProp::Geometry);
    }
    window_->setVisible(form_.visible());
    applying_ = was;
}

void FormView::holdGuest(FormView* guest) {
    guests_.push_back(guest);
    guest->window_->setParent(canvas_, Qt::Widget);
    // A click anywhere in a held window gives it the keys, as a click in a
    // window of its own activates it.
    guest->window_->setFocusPolicy(Qt::ClickFocus);
    arrangeGuests();
}

void FormView::releaseGuest(FormView* guest) {
    guests_.erase(std::remove(guests_.begin(), guests_.end(), guest), guests_.end());
    arrangeGuests();
}

int FormView::zpx(double twips) const {
    return static_cast<int>(std::lround(twips * form_.zoom() / kTwipsPerPixel));
}

QPointF FormView::contentExtent() const {
    double right = 0, bottom = 0;
    for (const Control* c : form_.controls()) {
        if (c->container() || !c->visible() || c->kind() == Kind::Timer || c->kind() == Kind::MenuItem) continue;
        right = std::max(right, static_cast<double>(c->left() + c->width()));
        bottom = std::max(bottom, static_cast<double>(c->top() + c->height()));
    }
    return {right, bottom};
}

void FormView::measureCanvas() {
    // The right margin is kept small so that a vertical scroll bar does not
    // bring a horizontal one for a few empty pixels.
    const QPointF extent = contentExtent();
    canvasOwn_ = QSize(zpx(extent.x() + 30), zpx(extent.y() + 60));
    arrangeGuests();
}

void FormView::arrangeGuests() {
    int y = canvasOwn_.height(), w = canvasOwn_.width(), h = y;
    int below = 0;
    if (!guests_.empty()) {
        // Right under the lowest control the camera's layout shows.
        for (Control* c : form_.controls()) {
            if (c->container() || !c->visible()) continue;
            if (QWidget* cw = widgetFor(c)) below = std::max(below, cw->geometry().bottom() + 1);
        }
        below += zpx(120);
    }
    for (FormView* g : guests_) {
        const Form& gf = g->form_;
        if (gf.heldLeft() >= 0 && gf.heldTop() >= 0) {
            // A place of its own in this window's arrangement.
            g->window_->move(zpx(gf.heldLeft()), zpx(gf.heldTop()));
        } else {
            g->window_->move(0, below);
            below += g->window_->height();
        }
        w = std::max(w, g->window_->geometry().right() + 1);
        h = std::max(h, g->window_->geometry().bottom() + 1);
    }
    canvas_->setMinimumSize(w, h);
}

void FormView::applyZoom() {
    QFont f = baseFont_;
    if (f.pointSizeF() > 0) {
        // Text shrinks a shade more than the boxes around it: check boxes and
        // option buttons keep their marks' size.
        f.setPointSizeF(std::floor(baseFont_.pointSizeF() * form_.zoom() * 4 * 0.93) / 4);
    } else if (f.pixelSize() > 0) {
        f.setPixelSize(std::max(1, static_cast<int>(std::lround(baseFont_.pixelSize() * form_.zoom()))));
    }
    window_->setFont(f);
    for (Control* c : form_.controls()) {
        if (c->kind() != Kind::Timer && c->kind() != Kind::MenuItem) placeControl(*c);
    }
}

void FormView::fitScreen() {
    if (host_ || !form_.topMenus().empty()) return;
    QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect a = screen->availableGeometry();
    // The title bar and frame come on top of the window's own size.
    const QSize deco = decorations().isEmpty() ? QSize(10, 40) : decorations();
    const double z = std::min({1.0, (a.width() - deco.width()) * kTwipsPerPixel / std::max(1.0, form_.width()),
                               (a.height() - deco.height()) * kTwipsPerPixel / std::max(1.0, form_.height())});
    if (z < form_.zoom()) form_.setZoom(z);
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
            fitScreen();
            window_->show();
            shownOnce_ = true;
        } else {
            window_->hide();
            window_->setWindowModality(Qt::NonModal);
        }
        break;
    case FormProp::Geometry: {
        // The form's size is the outer size of the window, title bar and
        // borders included; the window is kept on the screen.
        const int w = zpx(form_.width()), h = zpx(form_.height());
        if (host_) {
            // Held: no frame of its own; its place is the host's to give,
            // its size its own.
            window_->setFixedSize(std::max(1, w), std::max(1, h));
            host_->arrangeGuests();
            break;
        }
        if (!form_.topMenus().empty()) measureCanvas();
        const QSize deco = decorations();
        QPoint pos(px(form_.left()), px(form_.top()));
        if (QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen()) {
            const QRect avail = screen->availableGeometry();
            pos.setX(std::clamp(pos.x(), avail.left(), std::max(avail.left(), avail.right() + 1 - w)));
            pos.setY(std::clamp(pos.y(), avail.top(), std::max(avail.top(), avail.bottom() + 1 - h)));
        }
        window_->move(pos);
        QSize client(std::max(1, w - deco.width()), std::max(1, h - deco.height()));
        if (form_.topMenus().empty()) {
            // The frame and title bar come around what the window holds,
            // never over it.
            const QPointF extent = contentExtent();
            client = client.expandedTo(QSize(zpx(extent.x() + 60), zpx(extent.y() + 60)));
        }
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
    case FormProp::Zoom:
        applyZoom();
        if (!form_.topMenus().empty()) measureCanvas();
        applying_ = was;
        applyForm(FormProp::Geometry);
        return;
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
    const double z = form_.zoom();
    form_.placedByUser(twips(frame.x()), twips(frame.y()), twips(frame.width()) / z, twips(frame.height()) / z);
}

void FormView::stateChangedByUser() {
    if (applying_ || host_) return;
    const auto s = window_->windowState();
    form_.stateChangedByUser(s & Qt::WindowMinimized   ? WindowState::Minimized
                             : s & Qt::WindowMaximized ? WindowState::Maximized
                                                       : WindowState::Normal);
}

}  // namespace orbus::qt
