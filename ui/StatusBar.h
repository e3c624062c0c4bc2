// TStatusBar: the main window's status bar, four sunken panels along the bottom edge.
//
// Panels 0 and 1 (70 pixels, centred) take the date and the time, panel 2 (465 pixels, left)
// the ticker, panel 3 (the rest, left) the version text. The bar only paints panel texts and
// the latest ticker image; who writes them and when is the business of the main window and the
// clock. It has no size grip.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <array>

class TStatusBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPanelCount = 4;

    explicit TStatusBar(QWidget* parent = nullptr);

    // Sets the text of panel index and repaints that panel only, and only when the text changed.
    void setPanelText(int index, const QString& text);
    QString panelText(int index) const;

    // The panel's inner rectangle (inside its sunken frame), in the bar's coordinates.
    QRect panelRect(int index) const;
    // The panel's outer rectangle including its frame.
    QRect panelFrameRect(int index) const;
    Qt::Alignment panelAlignment(int index) const;

    // Shows the visible part of a composed ticker image over panel index and repaints the
    // ticker's rectangle only. The image stays until the next one, so a repaint of the bar
    // shows the ticker at once.
    void setTickerImage(int index, const QImage& image);
    // Where the ticker image lands: 3 pixels inside panel index's left edge and 3 pixels down,
    // the image's top-left (465 - 4) x (20 - 4) pixels.
    QRect tickerRect(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws the text of one panel into its inner rectangle; the painter is clipped to it.
    virtual void paintPanelText(QPainter& painter, int index);

private:
    std::array<QString, kPanelCount> m_texts;
    QImage m_tickerImage;
    int m_tickerPanel = -1;
};
