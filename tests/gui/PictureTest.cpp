// CPicture: blank pictures, fills, the clip rectangle, drawing between the
// four format pairs with the alpha blend, clipping on both sides, and the
// conversion of rows to a device bitmap.

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "gui/Picture.h"
#include "tests/gui/GuiTestSupport.h"

using namespace gui_test;

TEST(Picture, BlankPicturesHoldByte160EverywhereAndClipToThemselves)
{
    for (const bool alpha : {false, true}) {
        CPicture picture(7, 5, alpha);
        ASSERT_EQ(picture.ByteCount(), 7u * 5u * (alpha ? 4u : 3u));
        for (std::size_t i = 0; i < picture.ByteCount(); ++i)
            ASSERT_EQ(picture.Pixels()[i], 160) << i;
        const CPicture::ClipRect clip = picture.GetClipRect();
        EXPECT_EQ(clip.left, 0);
        EXPECT_EQ(clip.right, 6);
        EXPECT_EQ(clip.top, 0);
        EXPECT_EQ(clip.bottom, 4);
    }
    CPicture empty(-3, 4, false);
    EXPECT_EQ(empty.GetWidth(), 0);
    EXPECT_EQ(empty.ByteCount(), 0u);
    empty.FillClipRect(0x123456);   // nothing to fill, nothing to break
}

TEST(Picture, FillsTakeRedFromTheLowByteAndWriteAlphaZero)
{
    CPicture rgb(4, 4, false);
    rgb.FillClipRect(0x00332211);
    EXPECT_EQ(PixelOf(rgb, 3, 3), (Pixel{0x11, 0x22, 0x33, -1}));

    CPicture rgba(4, 4, true);
    rgba.FillRect(0x00C0B0A0, 1, 1, 2, 2);
    EXPECT_EQ(PixelOf(rgba, 1, 1), (Pixel{0xA0, 0xB0, 0xC0, 0}));
    EXPECT_EQ(PixelOf(rgba, 2, 2), (Pixel{0xA0, 0xB0, 0xC0, 0}));
    EXPECT_EQ(PixelOf(rgba, 0, 0), (Pixel{160, 160, 160, 160}));
    EXPECT_EQ(PixelOf(rgba, 3, 1), (Pixel{160, 160, 160, 160}));
}

TEST(Picture, FillsStayInsideTheClipRectangleAndThePicture)
{
    CPicture picture(10, 8, false);
    picture.SetClipRect(2, 5, 3, 6);
    picture.FillRect(0x0000FF, 0, 0, 10, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x <= 5 && y >= 3 && y <= 6;
            EXPECT_EQ(PixelOf(picture, x, y)[0], inside ? 255 : 160) << x << "," << y;
        }
    }
    // A clip rectangle reaching past the picture fills only the picture;
    // rectangles at the far ends of int do not wrap.
    picture.SetClipRect(-100, INT_MAX, -5, 100);
    picture.FillClipRect(0x00FF00);
    EXPECT_EQ(PixelOf(picture, 9, 7), (Pixel{0, 255, 0, -1}));
    picture.ResetClipRect();
    picture.FillRect(0xFF0000, INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX);
    picture.FillRect(0xFF0000, 8, 6, INT_MAX, INT_MAX);
    EXPECT_EQ(PixelOf(picture, 9, 7), (Pixel{0, 0, 255, -1}));
    EXPECT_EQ(PixelOf(picture, 7, 7), (Pixel{0, 255, 0, -1}));
}

TEST(Picture, AlphaBlendTruncatesTheMixAndKeepsTheDestinationAlpha)
{
    struct Case {
        int alpha;
        Pixel expected;
    };
    // s = (200, 100, 50), d = (10, 20, 30): d' = trunc(s a + d (1 - a)).
    const Case cases[] = {
        {0, {10, 20, 30, -1}},
        {255, {200, 100, 50, -1}},
        {128, {105, 60, 40, -1}},    // a = 0.50196: 105.37, 60.16, 40.04
        {51, {48, 36, 34, -1}},      // a = 0.2: 48, 36, 34
        {1, {10, 20, 30, -1}},       // 10.745, 20.31, 30.08
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alpha);
        const CPicture source = SolidPicture(2, 2, 200, 100, 50, c.alpha);
        CPicture rgb = SolidPicture(2, 2, 10, 20, 30);
        source.Draw(rgb, 0, 0);
        EXPECT_EQ(PixelOf(rgb, 1, 1), c.expected);

        CPicture rgba = SolidPicture(2, 2, 10, 20, 30, 77);
        source.Draw(rgba, 0, 0);
        Pixel withAlpha = c.expected;
        withAlpha[3] = 77;
        EXPECT_EQ(PixelOf(rgba, 0, 1), withAlpha);
    }
}

TEST(Picture, OpaqueSourcesCopyTheirColourAndLeaveTheAlpha)
{
    const CPicture source = SolidPicture(3, 3, 1, 2, 3);
    CPicture rgba = SolidPicture(3, 3, 9, 9, 9, 42);
    source.Draw(rgba, 0, 0);
    EXPECT_EQ(PixelOf(rgba, 2, 2), (Pixel{1, 2, 3, 42}));

    CPicture rgb = SolidPicture(3, 3, 9, 9, 9);
    source.Draw(rgb, 1, 1, 0, 0, 1, 1);
    EXPECT_EQ(PixelOf(rgb, 1, 1), (Pixel{1, 2, 3, -1}));
    EXPECT_EQ(PixelOf(rgb, 2, 2), (Pixel{9, 9, 9, -1}));
}

namespace {
/// A 6 x 4 source whose pixel (x, y) is (x, y, 99).
CPicture Coordinates()
{
    CPicture source(6, 4, false);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x)
            SetPixel(source, x, y, x, y, 99);
    }
    return source;
}
} // namespace

TEST(Picture, ClippingAtTheDestinationTrimsTheSameSideOfTheSource)
{
    const CPicture source = Coordinates();
    // At a negative position the part of the source inside is shown.
    CPicture target = SolidPicture(5, 5, 0, 0, 0);
    source.Draw(target, -3, -2, 0, 0, 6, 4);
    EXPECT_EQ(PixelOf(target, 0, 0), (Pixel{3, 2, 99, -1}));
    EXPECT_EQ(PixelOf(target, 2, 1), (Pixel{5, 3, 99, -1}));
    EXPECT_EQ(PixelOf(target, 3, 0), (Pixel{0, 0, 0, -1}));
    EXPECT_EQ(PixelOf(target, 0, 2), (Pixel{0, 0, 0, -1}));

    // The destination's clip rectangle trims like its edges do.
    target = SolidPicture(8, 8, 0, 0, 0);
    target.SetClipRect(3, 4, 2, 2);
    source.Draw(target, 1, 1, 0, 0, 6, 4);
    EXPECT_EQ(PixelOf(target, 3, 2), (Pixel{2, 1, 99, -1}));
    EXPECT_EQ(PixelOf(target, 4, 2), (Pixel{3, 1, 99, -1}));
    EXPECT_EQ(PixelOf(target, 5, 2), (Pixel{0, 0, 0, -1}));
    EXPECT_EQ(PixelOf(target, 3, 3), (Pixel{0, 0, 0, -1}));
}

TEST(Picture, ClippingAtTheSourceTrimsTheSameSideOfTheDestination)
{
    const CPicture source = Coordinates();
    CPicture target = SolidPicture(8, 8, 0, 0, 0);
    // Two columns before the source's left edge: they are dropped at the
    // destination too, so source column 0 lands at 2 + 2.
    source.Draw(target, 2, 2, -2, -1, 4, 3);
    EXPECT_EQ(PixelOf(target, 4, 3), (Pixel{0, 0, 99, -1}));
    EXPECT_EQ(PixelOf(target, 5, 4), (Pixel{1, 1, 99, -1}));
    EXPECT_EQ(PixelOf(target, 3, 3), (Pixel{0, 0, 0, -1}));
    EXPECT_EQ(PixelOf(target, 4, 2), (Pixel{0, 0, 0, -1}));
    EXPECT_EQ(PixelOf(target, 6, 3), (Pixel{0, 0, 0, -1}));

    // Past the right and bottom ends of the source.
    target = SolidPicture(8, 8, 0, 0, 0);
    source.Draw(target, 0, 0, 4, 2, 5, 5);
    EXPECT_EQ(PixelOf(target, 1, 1), (Pixel{5, 3, 99, -1}));
    EXPECT_EQ(PixelOf(target, 2, 1), (Pixel{0, 0, 0, -1}));
    EXPECT_EQ(PixelOf(target, 1, 2), (Pixel{0, 0, 0, -1}));

    // Blocks entirely outside, empty or at the ends of int draw nothing.
    const CPicture before = SolidPicture(8, 8, 0, 0, 0);
    for (const auto& args : std::vector<std::array<int, 6>>{{8, 0, 0, 0, 3, 3},
                                                            {-6, 0, 0, 0, 6, 4},
                                                            {0, 0, 6, 0, 3, 3},
                                                            {0, 0, 0, 0, 0, 4},
                                                            {INT_MAX, INT_MAX, 0, 0, INT_MAX, INT_MAX},
                                                            {INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MAX, INT_MAX}}) {
        target = SolidPicture(8, 8, 0, 0, 0);
        source.Draw(target, args[0], args[1], args[2], args[3], args[4], args[5]);
        EXPECT_EQ(std::vector<unsigned char>(target.Pixels(), target.Pixels() + target.ByteCount()),
                  std::vector<unsigned char>(before.Pixels(), before.Pixels() + before.ByteCount()));
    }
}

TEST(Picture, PresentingWritesBgrRowsPaddedToFourBytesAndOnlyTheBand)
{
    CPicture picture(5, 3, false);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            SetPixel(picture, x, y, 10 * y + x, 100 + x, 200 + y);
    }
    const std::ptrdiff_t stride = 16;   // 15 bytes of pixels, padded
    std::vector<unsigned char> bits(3 * stride, 0xEE);
    picture.PresentRows(bits.data(), stride, 1, 5);   // rows 1 and 2 only
    for (int i = 0; i < stride; ++i)
        EXPECT_EQ(bits[i], 0xEE) << "row 0 untouched";
    for (int y = 1; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const unsigned char* p = bits.data() + y * stride + 3 * x;
            EXPECT_EQ(p[0], 200 + y);
            EXPECT_EQ(p[1], 100 + x);
            EXPECT_EQ(p[2], 10 * y + x);
        }
        EXPECT_EQ(bits[y * stride + 15], 0xEE) << "padding untouched";
    }
    picture.PresentRows(bits.data(), stride, -4, 5);
    EXPECT_EQ(bits[0], 200);
}

TEST(Picture, MovingHandsThePixelsOver)
{
    CPicture source = SolidPicture(3, 2, 1, 2, 3, 4);
    const unsigned char* block = source.Pixels();
    CPicture moved(std::move(source));
    EXPECT_EQ(moved.Pixels(), block);
    EXPECT_EQ(moved.GetWidth(), 3);
    EXPECT_TRUE(moved.HasAlpha());
    EXPECT_EQ(source.GetWidth(), 0);
    EXPECT_EQ(source.ByteCount(), 0u);
}
