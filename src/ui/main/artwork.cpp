#include "ui/main/artwork.h"

#include "ui/colours.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace lorimand {

QPixmap arrowPicture(ArrowDirection direction)
{
    constexpr int kSize = 34;
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBrightGreen);
    // An arrow pointing up: a triangular head over a shaft.
    QPolygonF arrow({{17, 3}, {31, 17}, {22, 17}, {22, 31}, {12, 31}, {12, 17}, {3, 17}});
    if (direction == ArrowDirection::Down) {
        QTransform flip;
        flip.translate(0, kSize);
        flip.scale(1, -1);
        arrow = flip.map(arrow);
    }
    painter.drawPolygon(arrow);
    return pixmap;
}

QIcon programIcon()
{
    // A black tile with a green "L" and a shifted copy of it: text and its encoded twin.
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::black);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const double unit = size / 32.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(kBrightGreen);
        painter.drawRect(QRectF(5 * unit, 4 * unit, 5 * unit, 20 * unit));
        painter.drawRect(QRectF(5 * unit, 19 * unit, 13 * unit, 5 * unit));
        painter.setBrush(kLinkBlue);
        painter.drawRect(QRectF(16 * unit, 9 * unit, 5 * unit, 20 * unit));
        painter.drawRect(QRectF(16 * unit, 24 * unit, 12 * unit, 5 * unit));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace lorimand
