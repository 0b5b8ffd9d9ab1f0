// The widget of an option button, and how screen readers see it.
#pragma once

#include <QRadioButton>

namespace orbus::qt {

// The widget of an option button. Qt's own exclusion is off: the form
// clears an option's siblings itself, whatever chose it.
class OptionRadio : public QRadioButton {
    Q_OBJECT
public:
    explicit OptionRadio(QWidget* parent) : QRadioButton(parent) { setAutoExclusive(false); }
};

// Makes screen readers see every option button as the binder means it (once
// per program; later calls do nothing).
void announceOptionButtons();

}  // namespace orbus::qt
