#include "platform/qt/images.h"

#include "dialogs/title_chars.h"

#include <QColor>
#include <QFont>
#include <QPainter>

namespace orbus::qt {

namespace {

// The camera's title character set: 16 x 5 squares of 25 pixels, one line
// between squares, each glyph centred (401 x 126 pixels).
QPixmap titleCharsetImage() {
    static const QPixmap image = [] {
        const int sq = title::kSquare;
        QPixmap pm(title::kColumns * sq + 1, title::kRows * sq + 1);
        pm.fill(Qt::white);
        QPainter p(&pm);
        p.setPen(QColor(200, 200, 200));
        for (int c = 0; c <= title::kColumns; ++c) p.drawLine(c * sq, 0, c * sq, pm.height() - 1);
        for (int r = 0; r <= title::kRows; ++r) p.drawLine(0, r * sq, pm.width() - 1, r * sq);
        QFont font("DejaVu Sans");
        font.setPixelSize(15);
        font.setBold(true);
        QFont small = font;
        small.setPixelSize(10);
        p.setPen(Qt::black);
        p.setRenderHint(QPainter::TextAntialiasing);
        for (const title::TitleChar& c : title::titleChars()) {
            const QString glyph = QString::fromUtf8(c.glyph);
            p.setFont(glyph.size() > 1 ? small : font);
            const QRect square((c.code % title::kColumns) * sq + 1, (c.code / title::kColumns) * sq + 1, sq - 1, sq - 1);
            p.drawText(square, Qt::AlignCenter, glyph);
        }
        return pm;
    }();
    return image;
}

}  // namespace

QPixmap namedImage(const std::string& key) {
    if (key == "title-charset") return titleCharsetImage();
    return {};
}

QIcon iconFor(const std::string& key) {
    // A camera body with its lens; pan-tilt models stand on a yoke. Colours
    // tell the models apart in the task bar.
    QColor body(70, 90, 120);
    bool yoke = false;
    if (key == "orx-kappa") {
        body = QColor(30, 60, 140);
        yoke = true;
    } else if (key == "orx-gamma") {
        body = QColor(20, 130, 120);
        yoke = true;
    } else if (key == "orx-beta") {
        body = QColor(200, 110, 20);
        yoke = true;
    }
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        if (yoke) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(60, 60, 60));
            p.drawRect(24, 44, 16, 8);
            p.drawRoundedRect(14, 52, 36, 8, 3, 3);
        }
        p.setPen(QPen(body.darker(150), 2));
        p.setBrush(body);
        p.drawRoundedRect(6, yoke ? 14 : 18, 46, 30, 6, 6);
        p.setBrush(QColor(20, 20, 20));
        p.drawEllipse(QPointF(44, yoke ? 29 : 33), 11, 11);
        p.setBrush(QColor(120, 170, 230));
        p.drawEllipse(QPointF(44, yoke ? 29 : 33), 5, 5);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace orbus::qt
