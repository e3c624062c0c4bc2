// The ticker's position arithmetic: where the news line is drawn on each tick of Timer1.
//
// The position is the x at which the text's left edge is drawn inside the ticker bitmap, one
// pixel further left on every tick. Once the text has wholly left on the left it wraps to the
// bitmap's right edge and re-enters from the right. The class works on the main window's
// TickerPos variable, so the state stays where the window keeps it; it knows nothing of fonts,
// timers or painting.
#pragma once

namespace tarvelin::ui {

class Ticker {
public:
    static constexpr int kBitmapWidth = 465;  // the ticker panel's width
    static constexpr int kBitmapHeight = 20;  // the status bar's height
    static constexpr int kTextTop = 1;        // y of the text's top inside the bitmap
    // The part of the bitmap that reaches the screen: its top-left (W - 4) x (H - 4) pixels,
    // placed kCopyInset pixels right of the panel's left edge and kCopyInset pixels down.
    static constexpr int kCopyInset = 3;
    static constexpr int kVisibleWidth = kBitmapWidth - 4;
    static constexpr int kVisibleHeight = kBitmapHeight - 4;

    // position is the caller's TickerPos; it must outlive this object.
    explicit Ticker(int& position, int bitmapWidth = kBitmapWidth)
        : m_position(position), m_bitmapWidth(bitmapWidth)
    {
    }

    // Whether a tick that starts at position wraps for a text textWidth pixels wide.
    static bool wraps(int position, int textWidth) { return position <= -textWidth; }

    // One tick: wraps when the text has left on the left, returns the x at which this tick
    // draws the text, and leaves the position one pixel further left.
    int advance(int textWidth)
    {
        if (wraps(m_position, textWidth)) m_position = m_bitmapWidth;
        const int drawX = m_position;
        --m_position;
        return drawX;
    }

    int position() const { return m_position; }

private:
    int& m_position;
    int m_bitmapWidth;
};

}  // namespace tarvelin::ui
