#include <QApplication>
#include <QLabel>

#include "platform/qt/binding.h"
#include "platform/qt/captions.h"
#include "platform/qt/form_view.h"

namespace orbus::qt {

namespace {

QWidget* create(FormView&, Control& control, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
    if (static_cast<Label&>(control).fixedPitch()) {
        // Only the family is set: the size still follows the window's.
        QFont f;
        f.setFamily("monospace");
        f.setStyleHint(QFont::Monospace);
        f.setFixedPitch(true);
        l->setFont(f);
        l->setWordWrap(false);
    }
    return l;
}

// A label the operator may copy from takes selection by mouse and keyboard
// (and with it the focus, so Tab reaches it). Other labels are left as Qt
// makes them. True when the label changed.
bool showSelectable(QLabel* l, bool selectable) {
    const Qt::TextInteractionFlags copyable = Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;
    const Qt::TextInteractionFlags now = l->textInteractionFlags();
    if (selectable == ((now & copyable) == copyable)) return false;
    l->setTextInteractionFlags(selectable ? copyable : Qt::NoTextInteraction);
    // Qt gives a selectable label the focus on a click only.
    if (selectable) l->setFocusPolicy(Qt::StrongFocus);
    return true;
}

void showColors(const Label& l, QLabel* w) {
    // Colours through the palette, the border as the label's frame: a style
    // sheet would keep the label's text from following the window's size.
    QPalette pal = w->parentWidget() ? w->parentWidget()->palette() : QApplication::palette();
    if (l.foreColor() != kDefaultColor) pal.setColor(QPalette::WindowText, QColor(colorText(l.foreColor())));
    const bool filled = l.backColor() != kDefaultColor;
    if (filled) pal.setColor(QPalette::Window, QColor(colorText(l.backColor())));
    w->setPalette(pal);
    w->setAutoFillBackground(filled);
    w->setFrameShape(l.bordered() ? QFrame::Box : QFrame::NoFrame);
    w->setMargin(l.bordered() ? 1 : 0);
    // A paragraph to read and copy starts at the top, under what it explains.
    w->setAlignment(l.centered()     ? Qt::AlignCenter
                    : l.selectable() ? (Qt::AlignLeft | Qt::AlignTop)
                                     : (Qt::AlignLeft | Qt::AlignVCenter));
}

void apply(FormView& view, Control& control, QObject* object, Prop prop) {
    auto* w = qobject_cast<QLabel*>(object);
    if (!w) return;
    auto& l = static_cast<Label&>(control);
    if (prop == Prop::Caption) {
        w->setText(captionText(withoutMnemonic(l.caption())));
        // Whether the caption can be copied is taken with the caption; a
        // label made copyable after the window was built joins the tab
        // order then.
        if (showSelectable(w, l.selectable())) view.syncTabOrder();
    } else if (prop == Prop::Color) {
        showColors(l, w);
    }
}

// How a label is read out. A message label is read with its message, its
// role word as the description; the role word stands in for an empty
// message. A label that carries a value (one given a name of its own: a
// cell of a table, the state line of a dialog) is read with its name and
// its value. False for other labels, which keep their caption or name.
bool name(Control& control, QWidget* w) {
    if (!w) return false;
    const auto& l = static_cast<Label&>(control);
    const QString text = spokenCaption(l.caption()).trimmed();
    if (!l.messageRole().empty()) {
        w->setAccessibleName(text.isEmpty() ? q(l.messageRole()) : text);
        w->setAccessibleDescription(q(l.messageRole()));
        return true;
    }
    if (control.accessibleName().empty()) return false;
    const QString spoken = q(control.accessibleName());
    w->setAccessibleName(text.isEmpty() ? spoken : spoken + ": " + text);
    return true;
}

}  // namespace

const Binding kLabelBinding{create, apply, name, nullptr};

}  // namespace orbus::qt
