#include "ui/main/artwork.h"

#include <array>

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "ui/colours.h"

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

namespace {

// The program icon on a 32 x 32 grid: a black tile with a green "L" and a shifted
// copy of it, text and its encoded twin.
struct IconShape
{
    QRectF rect;
    QColor colour;
};

constexpr int kIconGrid = 32;

const std::array<IconShape, 4> &iconShapes()
{
    static const std::array<IconShape, 4> shapes{{
        {QRectF(5, 4, 5, 20), kBrightGreen},
        {QRectF(5, 19, 13, 5), kBrightGreen},
        {QRectF(16, 9, 5, 20), kLinkBlue},
        {QRectF(16, 24, 12, 5), kLinkBlue},
    }};
    return shapes;
}

} // namespace

QImage programIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.scale(size / double(kIconGrid), size / double(kIconGrid));
    for (const IconShape &shape : iconShapes()) {
        painter.setBrush(shape.colour);
        painter.drawRect(shape.rect);
    }
    return image;
}

QByteArray programIconSvg()
{
    QByteArray svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" "
                                    "width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
                                    "  <rect width=\"%1\" height=\"%1\" fill=\"#000000\"/>\n")
                         .arg(kIconGrid)
                         .toUtf8();
    for (const IconShape &shape : iconShapes()) {
        svg +=
            QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>\n")
                .arg(shape.rect.x())
                .arg(shape.rect.y())
                .arg(shape.rect.width())
                .arg(shape.rect.height())
                .arg(shape.colour.name())
                .toUtf8();
    }
    svg += "</svg>\n";
    return svg;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 64}) {
        icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
    }
    return icon;
}

} // namespace lorimand
