// Composing one frame of the ticker: the off-screen image that the status bar copies into its
// ticker area.
//
// Each tick measures the text, asks Ticker where to draw it and composes a fresh image of the
// panel's size with the text drawn as one line (line breaks are not interpreted). The status bar
// later draws the image's visible part in one copy. Nothing here keeps state between ticks.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

namespace tarvelin::ui {

// The ticker's typeface: MS Sans Serif 8 pt when the program has loaded it, otherwise the
// application's default family at 8 pt.
QFont tickerFont();

// Width in pixels of text drawn on one line in font on an image (96 dpi).
int tickerTextWidth(const QString& text, const QFont& font);

// A new image of Ticker::kBitmapWidth x Ticker::kBitmapHeight filled with background, with
// text drawn in font and color as one line whose left edge is at x and whose top is at
// Ticker::kTextTop.
QImage composeTickerImage(const QString& text, int x, const QFont& font, const QColor& color,
                          const QColor& background);

}  // namespace tarvelin::ui
