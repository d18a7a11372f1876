#include "ui/help/banner.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPen>

#include "ui/colours.h"

namespace lorimand {

namespace {

const QColor kMidGreen(0, 200, 60);
const QColor kDarkGreen(0, 110, 0);

QFont bannerFont(int pixelSize, int weight)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

// Draws text into rect, shrunk until it fits, so a wide system font cannot clip it.
void drawFitted(QPainter &painter, const QRect &rect, int flags, const QString &text, QFont font)
{
    while (font.pixelSize() > 6 && QFontMetrics(font).horizontalAdvance(text) > rect.width()) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    painter.setFont(font);
    painter.drawText(rect, flags, text);
}

} // namespace

QPixmap advertBanner()
{
    // 24-bit colour, as the banner was made for.
    QImage image(kBannerWidth, kBannerHeight, QImage::Format_RGB888);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);

        painter.setPen(QPen(kDarkGreen, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(1, 1, kBannerWidth - 2, kBannerHeight - 2));

        // The dollar sign in a ring at the right end.
        const QRect coin(kBannerWidth - 58, 6, 48, 48);
        painter.setPen(QPen(kBrightGreen, 3));
        painter.drawEllipse(coin.adjusted(2, 2, -2, -2));
        painter.setPen(kBrightGreen);
        painter.setFont(bannerFont(34, QFont::Black));
        painter.drawText(coin, Qt::AlignCenter, QStringLiteral("$"));

        const QRect text(12, 4, coin.left() - 22, kBannerHeight - 8);
        painter.setPen(kBrightGreen);
        drawFitted(painter, QRect(text.left(), text.top(), text.width(), 30),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QCoreApplication::translate("lorimand::Banner", "GET PAID TO READ E-MAIL!"),
                   bannerFont(24, QFont::Black));
        painter.setPen(kMidGreen);
        drawFitted(painter, QRect(text.left(), text.top() + 32, text.width(), 20),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QCoreApplication::translate("lorimand::Banner",
                                               "Cash for every message you open. Join free today!"),
                   bannerFont(13, QFont::Bold));
    }
    return QPixmap::fromImage(image);
}

QPixmap helpIcon()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setPen(kBrightGreen);
        painter.setFont(bannerFont(15, QFont::Black));
        painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    }
    return QPixmap::fromImage(image);
}

} // namespace lorimand
