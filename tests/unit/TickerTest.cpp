// The ticker's position arithmetic, driven without a window or a timer.
#include "ui/Ticker.h"

#include <gtest/gtest.h>

#include <vector>

using tarvelin::ui::Ticker;

namespace {

constexpr int W = Ticker::kBitmapWidth;

// The x of every tick, starting from position start.
std::vector<int> drawPositions(int textWidth, int ticks, int start = 0)
{
    int position = start;
    Ticker ticker(position);
    std::vector<int> xs;
    for (int i = 0; i < ticks; ++i) xs.push_back(ticker.advance(textWidth));
    return xs;
}

}  // namespace

TEST(TickerTest, DrawPositionOnGivenTicks)
{
    struct Case {
        const char* name;
        int textWidth;
        int tick;  // 1-based
        int expectedX;
    };
    const Case cases[] = {
        {"first_tick_draws_at_the_visible_left_edge", 100, 1, 0},
        {"moves_one_pixel_a_tick", 100, 2, -1},
        {"last_tick_before_the_wrap", 100, 100, -99},
        {"wraps_when_the_tick_starts_at_minus_width", 100, 101, W},
        {"first_column_visible_five_ticks_after_the_wrap", 100, 106, W - 5},
        {"second_pass_starts_over", 100, 101 + W + 100, W},
        {"empty_text_wraps_on_the_first_tick", 0, 1, W},
        {"empty_text_counts_down", 0, 2, W - 1},
        {"empty_text_reaches_one", 0, W, 1},
        {"empty_text_wraps_again_at_zero", 0, W + 1, W},
        {"text_wider_than_the_panel_scrolls_through", 2000, 2000, -1999},
        {"text_wider_than_the_panel_then_wraps", 2000, 2001, W},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<int> xs = drawPositions(c.textWidth, c.tick);
        EXPECT_EQ(xs.back(), c.expectedX);
    }
}

TEST(TickerTest, EveryPassLastsPanelWidthPlusTextWidth)
{
    for (int textWidth : {0, 1, 37, W, 2000}) {
        SCOPED_TRACE(textWidth);
        const std::vector<int> xs = drawPositions(textWidth, 3 * (W + textWidth) + 10);
        std::vector<size_t> wraps;
        for (size_t i = 0; i < xs.size(); ++i) {
            if (xs[i] == W) wraps.push_back(i);
        }
        ASSERT_GE(wraps.size(), 2u);
        for (size_t i = 1; i < wraps.size(); ++i) {
            EXPECT_EQ(wraps[i] - wraps[i - 1], static_cast<size_t>(W + textWidth));
        }
        // Between two wraps the text passes every position from W down to -textWidth + 1.
        EXPECT_EQ(xs[wraps[1] - 1], -textWidth + 1);
    }
}

TEST(TickerTest, WorksOnTheCallersPositionAndNeverResetsIt)
{
    int tickerPos = 0;
    Ticker ticker(tickerPos);
    ticker.advance(50);
    ticker.advance(50);
    EXPECT_EQ(tickerPos, -2);
    // A new text does not reset the position: the next tick goes on from where it was.
    EXPECT_EQ(ticker.advance(400), -2);
    EXPECT_EQ(tickerPos, -3);
}

TEST(TickerTest, ShorterTextReplacingALongerOneStillWraps)
{
    // The position already lies below minus the new width: the next tick wraps instead of
    // letting the position run away for ever.
    int tickerPos = -300;
    Ticker ticker(tickerPos);
    EXPECT_EQ(ticker.advance(100), W);
    EXPECT_EQ(tickerPos, W - 1);
}
