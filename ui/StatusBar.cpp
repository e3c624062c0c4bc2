#include "ui/StatusBar.h"

#include "ui/Ticker.h"

#include <qdrawutil.h>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionFrame>

namespace {

constexpr std::array<int, TStatusBar::kPanelCount - 1> kFixedWidths{70, 70, 465};
// Gap between two panels and the frame's thickness.
constexpr int kGap = 2;
constexpr int kFrame = 1;

}  // namespace

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void TStatusBar::setPanelText(int index, const QString& text)
{
    if (index < 0 || index >= kPanelCount || m_texts[index] == text) {
        return;
    }
    m_texts[index] = text;
    update(panelFrameRect(index));
}

QString TStatusBar::panelText(int index) const
{
    if (index < 0 || index >= kPanelCount) {
        return {};
    }
    return m_texts[index];
}

QRect TStatusBar::panelFrameRect(int index) const
{
    if (index < 0 || index >= kPanelCount) {
        return {};
    }
    int left = 0;
    for (int i = 0; i < index; ++i) {
        left += kFixedWidths[i];
    }
    const int width =
        index < kPanelCount - 1 ? kFixedWidths[index] - kGap : qMax(0, this->width() - left);
    return QRect(left, kGap, width, qMax(0, height() - kGap));
}

QRect TStatusBar::panelRect(int index) const
{
    return panelFrameRect(index).adjusted(kFrame + 1, kFrame, -kFrame - 1, -kFrame);
}

void TStatusBar::setTickerImage(int index, const QImage& image)
{
    if (index < 0 || index >= kPanelCount) {
        return;
    }
    m_tickerImage = image;
    m_tickerPanel = index;
    update(tickerRect(index));
}

QRect TStatusBar::tickerRect(int index) const
{
    using tarvelin::ui::Ticker;
    const QRect frame = panelFrameRect(index);
    if (frame.isNull()) {
        return {};
    }
    return QRect(frame.left() + Ticker::kCopyInset, Ticker::kCopyInset, Ticker::kVisibleWidth,
                 Ticker::kVisibleHeight);
}

Qt::Alignment TStatusBar::panelAlignment(int index) const
{
    return index < 2 ? Qt::AlignHCenter | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter;
}

void TStatusBar::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().window());
    for (int i = 0; i < kPanelCount; ++i) {
        const QRect frame = panelFrameRect(i);
        if (!event->rect().intersects(frame)) {
            continue;
        }
        qDrawShadePanel(&painter, frame, palette(), true, kFrame);
        painter.save();
        painter.setClipRect(panelRect(i));
        paintPanelText(painter, i);
        painter.restore();
    }
    const QRect ticker = tickerRect(m_tickerPanel);
    if (!m_tickerImage.isNull() && event->rect().intersects(ticker)) {
        // The panel's sunken frame stays visible where the ticker area reaches it.
        painter.setClipRect(
            panelFrameRect(m_tickerPanel).adjusted(kFrame, kFrame, -kFrame, -kFrame));
        painter.drawImage(ticker.topLeft(), m_tickerImage, QRect(QPoint(0, 0), ticker.size()));
    }
}

void TStatusBar::paintPanelText(QPainter& painter, int index)
{
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(panelRect(index), static_cast<int>(panelAlignment(index)), m_texts[index]);
}
