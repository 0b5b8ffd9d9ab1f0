#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <cctype>
#include <functional>

#include "platform/qt/binding.h"
#include "platform/qt/captions.h"
#include "platform/qt/form_view.h"

namespace orbus::qt {

namespace {

void apply(FormView&, Control& control, QObject* object, Prop prop) {
    auto* act = qobject_cast<QAction*>(object);
    if (!act) return;
    auto& mi = static_cast<MenuItem&>(control);
    if (prop == Prop::Caption) {
        // Top-level menus keep the keyboard mnemonic given when built.
        if (mi.parent()) act->setText(captionText(mi.caption()));
    } else if (prop == Prop::Checked) {
        act->setCheckable(mi.checkable());
        act->setChecked(mi.checked());
    }
}

}  // namespace

// Menu items are built with their menus, the menu bar's first.
const Binding kMenuItemBinding{nullptr, apply, nullptr, nullptr};

void FormView::buildMenus() {
    auto* mw = static_cast<QMainWindow*>(window_);
    std::function<void(MenuItem*, QMenu*)> fill = [&](MenuItem* item, QMenu* menu) {
        for (MenuItem* child : item->children()) {
            if (child->separator()) menu->addSeparator();
            QAction* a;
            if (!child->children().empty()) {
                QMenu* sub = menu->addMenu(captionText(child->caption()));
                sub->setObjectName(q(child->objectName()));
                menus_[child] = sub;
                a = sub->menuAction();
                fill(child, sub);
            } else {
                a = menu->addAction(captionText(child->caption()));
                connect(a, &QAction::triggered, this, [a, child] {
                    a->setChecked(child->checked());
                    child->click();
                });
            }
            a->setObjectName(q(child->objectName()));
            objects_[child] = a;
            byObject_[a] = child;
        }
    };
    std::string used;
    for (MenuItem* top : form_.topMenus()) {
        // Keyboard access to the menu bar: the first letter not yet taken.
        std::string text = top->caption();
        if (text.find('&') == std::string::npos) {
            for (std::size_t i = 0; i < text.size(); ++i) {
                char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
                if (std::isalpha(static_cast<unsigned char>(c)) && used.find(c) == std::string::npos) {
                    used += c;
                    text = text.substr(0, i) + "&" + text.substr(i);
                    break;
                }
            }
        }
        QAction* a;
        if (!top->children().empty()) {
            QMenu* m = mw->menuBar()->addMenu(captionText(text));
            m->setObjectName(q(top->objectName()));
            menus_[top] = m;
            a = m->menuAction();
            fill(top, m);
        } else {
            a = mw->menuBar()->addAction(captionText(text));
            connect(a, &QAction::triggered, this, [top] { top->click(); });
        }
        a->setObjectName(q(top->objectName()));
        objects_[top] = a;
        byObject_[a] = top;
    }
}

}  // namespace orbus::qt
