// LCD texts: the black mask and its opacity, and scrolling one pixel per
// timer tick until the text has moved by the control's width.

#include <gtest/gtest.h>

#include "gui/BitmapFont.h"
#include "gui/LiteLCDText.h"
#include "tests/gui/GuiTestSupport.h"

using namespace gui_test;

namespace {

int InkPixels(const CPicture& mask)
{
    int count = 0;
    for (int y = 0; y < mask.GetHeight(); ++y) {
        for (int x = 0; x < mask.GetWidth(); ++x)
            count += PixelOf(mask, x, y)[3] > 0 ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(LiteLCDText, RendersABlackMaskWithTheOpacityAsAlpha)
{
    const CPicture background = SolidPicture(80, 20, 100, 200, 150);
    CLiteContainer panel(80, 20, &background);
    auto* lcd = new CLiteLCDText(&panel, 0, 0, 80, 20, 0.5);
    lcd->SetText("I");
    const CPicture& mask = lcd->GetMask();
    // 'I' is 11 font pixels; ink is black at half opacity, paper clear.
    EXPECT_EQ(InkPixels(mask), 11);
    const int top = (20 - CBitmapFont::kGlyphHeight) / 2;
    EXPECT_EQ(PixelOf(mask, 2 + 2, top + 1), (Pixel{0, 0, 0, 127}));
    EXPECT_EQ(PixelOf(mask, 0, 0), (Pixel{0, 0, 0, 0}));

    panel.RedrawAll();
    // Half-opaque black over the skin halves it (truncated); paper shows
    // the skin unchanged.
    EXPECT_EQ(PixelOf(panel.GetBackBuffer(), 4, top + 1), (Pixel{50, 100, 75, -1}));
    EXPECT_EQ(PixelOf(panel.GetBackBuffer(), 40, 2), (Pixel{100, 200, 150, -1}));
}

TEST(LiteLCDText, ShortTextsStandStill)
{
    CRecordingContainer panel(80, 20);
    CRecordingWindow window;
    panel.SetWindow(&window);
    auto* lcd = new CLiteLCDText(&panel, 0, 0, 80, 20);
    lcd->SetText("Corvane");   // 41 pixels
    EXPECT_FALSE(lcd->IsScrolling());
    EXPECT_TRUE(window.timersStarted.empty());
    lcd->OnTimer();
    EXPECT_EQ(lcd->GetScrollPosition(), 0);
    panel.SetWindow(nullptr);
}

TEST(LiteLCDText, LongTextsScrollAPixelATickAndStopAtTheWidth)
{
    CRecordingContainer panel(40, 12);
    CRecordingWindow window;
    window.container = &panel;
    panel.SetWindow(&window);
    auto* lcd = new CLiteLCDText(&panel, 0, 0, 40, 12);
    lcd->SetText("Program 12: Warm Strings");
    ASSERT_TRUE(lcd->IsScrolling());
    ASSERT_EQ(window.timersStarted.size(), 1u);
    EXPECT_EQ(window.timersStarted[0].second, 100);

    const int inkAtStart = InkPixels(lcd->GetMask());
    for (int tick = 1; tick <= 40; ++tick) {
        const std::size_t presents = window.presented.size();
        lcd->OnTimer();
        ASSERT_EQ(lcd->GetScrollPosition(), tick);
        ASSERT_EQ(window.presented.size(), presents + 1);
        EXPECT_TRUE(window.presented.back().locked) << "ticks redraw under the panel's lock";
    }
    EXPECT_NE(InkPixels(lcd->GetMask()), inkAtStart) << "the text moved";
    EXPECT_TRUE(lcd->IsScrolling());
    lcd->OnTimer();   // would pass the width
    EXPECT_EQ(lcd->GetScrollPosition(), 40);
    EXPECT_FALSE(lcd->IsScrolling());
    ASSERT_EQ(window.timersStopped.size(), 1u);
    lcd->OnTimer();
    EXPECT_EQ(lcd->GetScrollPosition(), 40);

    // A new text starts again from the left.
    lcd->SetText("Another long program name");
    EXPECT_EQ(lcd->GetScrollPosition(), 0);
    EXPECT_TRUE(lcd->IsScrolling());
    EXPECT_EQ(window.timersStarted.size(), 2u);
    lcd->SetText("Short");
    EXPECT_FALSE(lcd->IsScrolling());
    EXPECT_EQ(window.timersStopped.size(), 2u);
    panel.SetWindow(nullptr);
}

TEST(LiteLCDText, APanelDeletedBeforeItsWindowStopsTheScrollTimer)
{
    CRecordingWindow window;
    {
        CLiteContainer panel(40, 12);
        panel.SetWindow(&window);
        auto* lcd = new CLiteLCDText(&panel, 0, 0, 40, 12);
        lcd->SetText("Program 12: Warm Strings");
        ASSERT_EQ(window.timersStarted.size(), 1u);
    }
    ASSERT_FALSE(window.timersStopped.empty());
    EXPECT_EQ(window.timersStopped.front(), window.timersStarted.front().first);
}
