#include "ui/TickerImage.h"

#include "ui/Ticker.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

namespace tarvelin::ui {

namespace {

constexpr int kPointSize = 8;

// The device the text is measured on: an image, like the one it is drawn on, so measuring and
// drawing agree whatever the screen's resolution.
const QImage& measuringImage()
{
    static const QImage image(1, 1, QImage::Format_RGB32);
    return image;
}

}  // namespace

QFont tickerFont()
{
    const QString family = QStringLiteral("MS Sans Serif");
    if (QFontDatabase::hasFamily(family)) return QFont(family, kPointSize);
    QFont font = QGuiApplication::font();
    font.setPointSize(kPointSize);
    return font;
}

int tickerTextWidth(const QString& text, const QFont& font)
{
    return QFontMetrics(font, &measuringImage()).horizontalAdvance(text);
}

QImage composeTickerImage(const QString& text, int x, const QFont& font, const QColor& color,
                          const QColor& background)
{
    QImage image(Ticker::kBitmapWidth, Ticker::kBitmapHeight, QImage::Format_RGB32);
    image.fill(background);
    if (text.isEmpty()) return image;

    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(color);
    painter.setBackground(background);
    painter.setBackgroundMode(Qt::OpaqueMode);
    const QFontMetrics metrics = painter.fontMetrics();
    painter.drawText(QPoint(x, Ticker::kTextTop + metrics.ascent()), text);
    return image;
}

}  // namespace tarvelin::ui
