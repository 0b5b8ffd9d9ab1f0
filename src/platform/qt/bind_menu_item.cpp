#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <functional>

#include "platform/qt/binding.h"
#include "platform/qt/captions.h"
#include "platform/qt/form_view.h"

namespace orbus::qt {

namespace {

// Menus show their entries with keyboard mnemonics, each letter once per
// menu (the menu bar counts as one), given to the entries on offer in
// order; a menu none of whose entries is on offer is hidden with them.
void markMenus(FormView& view, const std::vector<MenuItem*>& items) {
    std::string taken;
    for (MenuItem* item : items) {
        auto* act = qobject_cast<QAction*>(view.objectFor(item));
        if (!act) continue;
        const bool shown = item->shown();
        const QString text = captionText(shown ? withMnemonic(item->caption(), taken) : item->caption());
        // Only what changed: each change makes the menu lay itself out again.
        if (act->isVisible() != shown) act->setVisible(shown);
        if (act->text() != text) act->setText(text);
        if (!item->children().empty()) markMenus(view, item->children());
    }
}

void apply(FormView& view, Control& control, QObject* object, Prop prop) {
    auto* act = qobject_cast<QAction*>(object);
    if (!act) return;
    auto& mi = static_cast<MenuItem&>(control);
    if (prop == Prop::Caption || prop == Prop::Visible) {
        markMenus(view, view.form().topMenus());
        if (!mi.toolTip().empty()) act->setToolTip(q(mi.toolTip()));
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
    auto keys = [](QAction* a, const MenuItem* item) {
        if (!item->shortcut().empty()) a->setShortcut(QKeySequence(q(item->shortcut())));
    };
    std::function<void(MenuItem*, QMenu*)> fill = [&](MenuItem* item, QMenu* menu) {
        menu->setToolTipsVisible(true);
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
                keys(a, child);
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
    for (MenuItem* top : form_.topMenus()) {
        QAction* a;
        if (!top->children().empty()) {
            QMenu* m = mw->menuBar()->addMenu(captionText(top->caption()));
            m->setObjectName(q(top->objectName()));
            menus_[top] = m;
            a = m->menuAction();
            fill(top, m);
        } else {
            a = mw->menuBar()->addAction(captionText(top->caption()));
            keys(a, top);
            connect(a, &QAction::triggered, this, [top] { top->click(); });
        }
        a->setObjectName(q(top->objectName()));
        objects_[top] = a;
        byObject_[a] = top;
    }
    markMenus(*this, form_.topMenus());
}

}  // namespace orbus::qt
