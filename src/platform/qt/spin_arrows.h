// The widget of an up-down control: two arrow buttons, one above the other.
#pragma once

#include <QString>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/control.h"

namespace orbus::qt {

// Spin arrows bound to a text box.
class SpinArrows : public QWidget {
public:
    explicit SpinArrows(QWidget* parent) : QWidget(parent) {
        auto* lay = new QVBoxLayout(this);
        lay->setContentsMargins(0, 0, 0, 0);
        lay->setSpacing(0);
        up = new QToolButton(this);
        down = new QToolButton(this);
        up->setArrowType(Qt::UpArrow);
        down->setArrowType(Qt::DownArrow);
        for (auto* b : {up, down}) {
            b->setAutoRepeat(true);
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            b->setFocusPolicy(Qt::NoFocus);
            lay->addWidget(b);
        }
    }
    // The arrows are named after their box ("Pan Speed up"), never a bare
    // "Down" that a screen reader's list would mix up with a drive button.
    void nameAfter(const QString& box) {
        up->setAccessibleName(box + " up");
        down->setAccessibleName(box + " down");
    }
    QToolButton* up;
    QToolButton* down;
};

// The name a box's spin arrows take: the box's spoken name, or its own name.
QString spinBoxName(const UpDown& ud);

}  // namespace orbus::qt
