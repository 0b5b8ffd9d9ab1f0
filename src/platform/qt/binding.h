// How each kind of control is shown. A kind's binding makes the widget for
// a control, shows the control's changes on it and hands the control the
// operator's input; the view keeps what all controls share (place,
// visibility, enabled state, spoken name) and dispatches the rest here.
#pragma once

#include "platform/control.h"

class QEvent;
class QObject;
class QWidget;

namespace orbus::qt {

class FormView;

struct Binding {
    // Makes the control's widget under `parent`, its signals wired to the
    // control; unset for kinds without a widget of their own (menu items
    // are built with their menus, timers have none).
    QWidget* (*create)(FormView& view, Control& control, QWidget* parent) = nullptr;
    // Shows a change of the control on its widget (or menu action).
    void (*apply)(FormView& view, Control& control, QObject* object, Prop prop) = nullptr;
    // Gives the widget its spoken name in the kind's own way; false leaves
    // it to the name every control takes from its caption or its own name.
    bool (*name)(Control& control, QWidget* widget) = nullptr;
    // An event on the control's widget, after the form has seen the keys;
    // true when the widget must not have it.
    bool (*event)(FormView& view, Control& control, QObject* watched, QEvent* event) = nullptr;
};

const Binding& bindingFor(Kind kind);

extern const Binding kButtonBinding;
extern const Binding kCheckBoxBinding;
extern const Binding kOptionButtonBinding;
extern const Binding kLabelBinding;
extern const Binding kFrameBinding;
extern const Binding kTextBoxBinding;
extern const Binding kSliderBinding;
extern const Binding kComboBoxBinding;
extern const Binding kMenuItemBinding;
extern const Binding kProgressBarBinding;
extern const Binding kUpDownBinding;
extern const Binding kPictureBinding;
extern const Binding kTableBinding;

// Names again the spin arrows that step `changed` (a box, or the arrows
// themselves) after the box's spoken name.
void renameSpinArrows(FormView& view, const Control& changed);

}  // namespace orbus::qt
