#include "platform/form.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <unordered_map>
#include <unordered_set>

namespace orbus {

Form::Form(std::string name, std::string caption) : name_(std::move(name)), caption_(std::move(caption)) {}

Form::~Form() = default;

void Form::setCaption(std::string c) {
    if (caption_ == c) return;
    caption_ = std::move(c);
    changed(FormProp::Caption);
}

void Form::setIcon(std::string key) {
    if (icon_ == key) return;
    icon_ = std::move(key);
    changed(FormProp::Icon);
}

void Form::show() {
    if (visible_) return;
    visible_ = true;
    changed(FormProp::Visible);
}

void Form::hide() {
    if (!visible_) return;
    safely(onHide);
    visible_ = false;
    changed(FormProp::Visible);
}

bool Form::keyDown(const KeyEvent& e) {
    bool used = false;
    if (onKeyDown) safely([&] { used = onKeyDown(e); });
    return used;
}

bool Form::keyUp(const KeyEvent& e) {
    bool used = false;
    if (onKeyUp) safely([&] { used = onKeyUp(e); });
    return used;
}

void Form::deactivated() { safely(onDeactivate); }

void Form::safely(const std::function<void()>& handler) const {
    if (!handler) return;
    try {
        handler();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orbus: window %s: %s\n", name_.c_str(), e.what());
    } catch (...) {
        std::fprintf(stderr, "orbus: window %s: unexpected failure\n", name_.c_str());
    }
}

void Form::move(double left, double top) {
    left_ = left;
    top_ = top;
    changed(FormProp::Geometry);
}

void Form::resize(double width, double height) {
    width_ = width;
    height_ = height;
    changed(FormProp::Geometry);
}

void Form::holdIn(Form* host) { holdIn(host, -1, -1); }

void Form::holdIn(Form* host, double left, double top) {
    if (host == this) host = nullptr;
    if (host_ == host && heldLeft_ == left && heldTop_ == top) return;
    const bool moved = host_ == host;
    host_ = host;
    heldLeft_ = left;
    heldTop_ = top;
    changed(moved ? FormProp::Geometry : FormProp::Host);
}

void Form::setZoom(double z) {
    if (z <= 0 || z == zoom_) return;
    zoom_ = z;
    changed(FormProp::Zoom);
}

void Form::placedByUser(double left, double top, double width, double height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void Form::setWindowState(WindowState s) {
    if (state_ == s) return;
    state_ = s;
    changed(FormProp::State);
}

void Form::raiseWithoutFocus() { changed(FormProp::Raise); }
void Form::sendToBack() { changed(FormProp::ToBack); }
void Form::redraw() { changed(FormProp::Redraw); }

Control* Form::find(const std::string& objectName) const {
    for (Control* c : controls_) {
        if (c->objectName() == objectName) return c;
    }
    return nullptr;
}

std::vector<MenuItem*> Form::topMenus() const {
    std::vector<MenuItem*> out;
    for (Control* c : controls_) {
        if (c->kind() == Kind::MenuItem && !static_cast<MenuItem*>(c)->parent()) {
            out.push_back(static_cast<MenuItem*>(c));
        }
    }
    return out;
}

void Form::unload() {
    if (onUnload) {
        onUnload();
    } else {
        hide();
    }
}

void Form::registerControl(Control* c) { controls_.push_back(c); }

void Form::unregisterControl(Control* c) {
    // A control is listed once; controls mostly go in the reverse of their
    // coming, so the search starts at the back.
    const auto it = std::find(controls_.rbegin(), controls_.rend(), c);
    if (it != controls_.rend()) controls_.erase(std::next(it).base());
}

void Form::appendToTabOrder(Control& c) { appendToTabOrder(std::vector<Control*>{&c}); }

void Form::appendToTabOrder(const std::vector<Control*>& roots) {
    // Each container's controls in the order they have now, gathered once:
    // a form has hundreds of controls and many containers.
    std::unordered_map<const Control*, std::vector<Control*>> inside;
    for (Control* k : controls_) {
        if (k->container()) inside[k->container()].push_back(k);
    }
    // Each root, then what it holds, row by row (controls of one row share
    // their vertical centre), each container followed by its own controls.
    std::vector<Control*> order;
    std::unordered_set<const Control*> moved;
    const auto visit = [&](auto& self, Control* k) -> void {
        // A control met again (a later root inside an earlier one) moves
        // to its later place.
        if (!moved.insert(k).second) std::erase(order, k);
        order.push_back(k);
        const auto found = inside.find(k);
        if (found == inside.end()) return;
        std::vector<Control*> row = found->second;
        std::stable_sort(row.begin(), row.end(), [](const Control* a, const Control* b) {
            const int ca = 2 * a->top() + a->height(), cb = 2 * b->top() + b->height();
            return ca != cb ? ca < cb : a->left() < b->left();
        });
        for (Control* child : row) self(self, child);
    };
    for (Control* root : roots) visit(visit, root);
    std::erase_if(controls_, [&moved](const Control* k) { return moved.count(k) != 0; });
    controls_.insert(controls_.end(), order.begin(), order.end());
}

void Form::changed(FormProp p) {
    if (observer_) observer_(*this, p);
}

}  // namespace orbus
