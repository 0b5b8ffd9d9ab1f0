#include "platform/qt/grid_picture.h"

#include "dialogs/title_chars.h"
#include "platform/qt/images.h"

#include <QPainter>
#include <algorithm>

namespace orbus::qt {

void GridPicture::paintEvent(QPaintEvent* e) {
    QFrame::paintEvent(e);
    if (!pic_->image().empty()) {
        paintImage();
        return;
    }
    const int cols = pic_->gridCols(), rows = pic_->gridRows();
    if (cols <= 0 || rows <= 0) return;
    QPainter p(this);
    const QRectF area = QRectF(contentsRect()).adjusted(0, 0, -1, -1);
    const double cw = area.width() / cols, ch = area.height() / rows;
    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    for (int c = 0; c <= cols; ++c) p.drawLine(QPointF(area.left() + c * cw, area.top()), QPointF(area.left() + c * cw, area.bottom()));
    for (int r = 0; r <= rows; ++r) p.drawLine(QPointF(area.left(), area.top() + r * ch), QPointF(area.right(), area.top() + r * ch));
    QColor fill = palette().color(QPalette::Highlight);
    fill.setAlpha(90);
    for (const Picture::Mark& m : pic_->marks()) {
        const QRectF r(area.left() + m.col * cw, area.top() + m.row * ch, std::max(1, m.cols) * cw,
                       std::max(1, m.rows) * ch);
        p.fillRect(r, fill);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawRect(r);
        p.setPen(palette().color(QPalette::Text));
        p.drawText(r, Qt::AlignCenter, QString::fromStdString(m.text));
    }
}

void GridPicture::paintImage() {
    const QPixmap image = namedImage(pic_->image());
    QPainter p(this);
    const QRect area = contentsRect();
    if (pic_->squareCol() >= 0) {
        const int n = pic_->squareSize();
        p.drawPixmap(area, image, QRect(pic_->squareCol() * n + 1, pic_->squareRow() * n + 1, n - 1, n - 1));
    } else {
        p.drawPixmap(area.topLeft(), image);
    }
    if (pic_->inverted()) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.fillRect(area, Qt::white);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    if (pic_->outlineCol() >= 0) {
        // One pixel inside the square under the pointer.
        const int n = title::kSquare;
        p.setPen(QPen(palette().color(QPalette::Highlight), 1));
        p.drawRect(area.left() + pic_->outlineCol() * n + 1, area.top() + pic_->outlineRow() * n + 1, n - 3, n - 3);
    }
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.drawRect(area.adjusted(0, 0, -1, -1));
    }
}

}  // namespace orbus::qt
