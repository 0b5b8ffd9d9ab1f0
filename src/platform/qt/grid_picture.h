// The widget of a picture control.
#pragma once

#include <QFrame>

#include "platform/control.h"

namespace orbus::qt {

// A picture control: a box with the control's grid of cells and its marks,
// or its image (whole, or one square of it as a cell).
class GridPicture : public QFrame {
public:
    GridPicture(Picture* pic, QWidget* parent) : QFrame(parent), pic_(pic) {
        setFrameShape(QFrame::Box);
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Base);
        setMouseTracking(true);
    }
    // Pixels of the image under a point of the widget.
    QPoint imagePoint(const QPoint& p) const { return p - contentsRect().topLeft(); }
    void syncLook() {
        // The whole image sits frameless at its own size; a cell keeps its box.
        const bool whole = !pic_->image().empty() && pic_->squareCol() < 0;
        setFrameShape(whole ? QFrame::NoFrame : QFrame::Box);
        setFocusPolicy(pic_->focusable() ? Qt::StrongFocus : Qt::NoFocus);
        update();
    }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void paintImage();

    Picture* pic_;
};

}  // namespace orbus::qt
