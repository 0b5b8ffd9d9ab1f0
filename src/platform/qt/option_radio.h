// The widget of an option button, and how screen readers see it.
#pragma once

#include <QRadioButton>

namespace orbus::qt {

// The widget of an option button. Qt's own exclusion is off: the form
// clears an option's siblings itself, whatever chose it. A click anywhere
// in its rectangle chooses it, as on the panel's option buttons: Qt would
// take one only on the round indicator and the caption, which leaves a
// caption-less option (the Memory and Preset dots) almost unclickable.
class OptionRadio : public QRadioButton {
    Q_OBJECT
public:
    explicit OptionRadio(QWidget* parent) : QRadioButton(parent) { setAutoExclusive(false); }

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// Makes screen readers see every option button as the binder means it (once
// per program; later calls do nothing).
void announceOptionButtons();

}  // namespace orbus::qt
