// The peak meter's painting: which segments are lit for silence, a full
// scale sample and a held peak after it falls, their colours, the dim
// shade of unlit segments and the frame added around lit ones.

#include <gtest/gtest.h>

#include <cmath>

#include "host/PeakMeter.h"
#include "editors/PeakMeterPainter.h"
#include "gui/ColorTable.h"
#include "tests/gui/GuiTestSupport.h"

using namespace gui_test;

namespace {

// The tool bar's meter: 32 segments a channel, bars 6 rows high.
constexpr int kWidth = 100;
constexpr int kHeight = 18;
constexpr Pixel kBlack = {0, 0, 0, -1};
constexpr Pixel kGreen = {0, 240, 0, -1};
constexpr Pixel kYellow = {240, 240, 0, -1};
constexpr Pixel kDimGreen = {63, 93, 63, -1};    // 63 + ((c >> 3) & 31)
constexpr Pixel kDimYellow = {93, 93, 63, -1};
constexpr Pixel kDimRed = {93, 63, 63, -1};

/// The segments whose body shows the lit colour of their entry.
std::vector<int> LitBodies(const CPicture& picture, const CColorTable& colors, int channel)
{
    std::vector<int> lit;
    const int n = CPeakMeter::SegmentCount(picture.GetWidth());
    const int top = CPeakMeterPainter::BarTop(channel, picture.GetHeight());
    for (int k = 1; k <= n; ++k) {
        const ColorRef color = colors.GetColor(CPeakMeterPainter::SegmentColorEntry(k, n));
        const Pixel lit0 = {RedOf(color), GreenOf(color), BlueOf(color), -1};
        if (PixelOf(picture, CPeakMeterPainter::SegmentLeft(k), top) == lit0)
            lit.push_back(k);
    }
    return lit;
}

std::vector<int> Range(int first, int last)
{
    std::vector<int> values;
    for (int k = first; k <= last; ++k)
        values.push_back(k);
    return values;
}

} // namespace

TEST(PeakMeterPainter, SilencePaintsEverySegmentDimOnBlack)
{
    CPeakMeter meter;
    meter.Feed(0.0, 0.0);
    const CColorTable colors;
    CPicture picture(kWidth, kHeight, false);
    CPeakMeterPainter::Paint(meter, colors, picture);
    for (int channel = 0; channel < 2; ++channel)
        EXPECT_TRUE(LitBodies(picture, colors, channel).empty());
    // Bars: left at rows 2 .. 7, right at 10 .. 15; bodies at x and x + 1.
    for (int y : {2, 7, 10, 15}) {
        EXPECT_EQ(PixelOf(picture, 2, y), kDimGreen) << y;
        EXPECT_EQ(PixelOf(picture, 3, y), kDimGreen) << y;
        EXPECT_EQ(PixelOf(picture, 4, y), kBlack) << "gap " << y;
        EXPECT_EQ(PixelOf(picture, 2 + 3 * 24, y), kDimYellow) << "segment 25";
        EXPECT_EQ(PixelOf(picture, 2 + 3 * 31 + 1, y), kDimRed) << "segment 32";
    }
    for (int y : {0, 1, 8, 9, 16, 17})
        EXPECT_EQ(PixelOf(picture, 2, y), kBlack) << y;
}

TEST(PeakMeterPainter, AFullScaleSampleLightsTheSegmentsUpToZero)
{
    CPeakMeter meter;
    meter.Feed(1.0, 1.0);
    const CColorTable colors;
    CPicture picture(kWidth, kHeight, false);
    CPeakMeterPainter::Paint(meter, colors, picture);
    for (int channel = 0; channel < 2; ++channel)
        EXPECT_EQ(LitBodies(picture, colors, channel), Range(1, 28)) << channel;
    EXPECT_EQ(PixelOf(picture, 2 + 3 * 23, 4), kGreen) << "segment 24";
    EXPECT_EQ(PixelOf(picture, 2 + 3 * 27, 4), kYellow) << "segment 28";
    EXPECT_EQ(PixelOf(picture, 2 + 3 * 28, 4), kDimRed) << "segment 29, above 0";

    // Frames: a quarter of the colour around each lit body, two quarters
    // in a gap between two lit ones, modulo 256 on what is there.
    EXPECT_EQ(PixelOf(picture, 1, 4), (Pixel{0, 60, 0, -1}));
    EXPECT_EQ(PixelOf(picture, 4, 4), (Pixel{0, 120, 0, -1}));
    EXPECT_EQ(PixelOf(picture, 4, 1), (Pixel{0, 120, 0, -1})) << "corner shared by two frames";
    EXPECT_EQ(PixelOf(picture, 2, 1), (Pixel{0, 60, 0, -1})) << "row above the bar";
    EXPECT_EQ(PixelOf(picture, 3, 8), (Pixel{0, 60, 0, -1})) << "row below the bar";
    EXPECT_EQ(PixelOf(picture, 2 + 3 * 27 + 2, 4), (Pixel{60, 60, 0, -1})) << "after the last lit segment";
    EXPECT_EQ(PixelOf(picture, 2 + 3 * 28 + 2, 4), kBlack) << "between unlit segments";
    // Between the bars each keeps its own frame row: 8 the left's, 9 the right's.
    EXPECT_EQ(PixelOf(picture, 2, 8), (Pixel{0, 60, 0, -1}));
    EXPECT_EQ(PixelOf(picture, 2, 9), (Pixel{0, 60, 0, -1}));
}

TEST(PeakMeterPainter, AfterTheHoldOnlyTheFallingPeakIsLit)
{
    CPeakMeter meter;
    meter.Feed(1.0, 0.0625);   // 0 and -12.04
    meter.Feed(0.0, 0.0);    // the level drops at once, the peaks hold
    meter.Decay(10000);
    meter.Decay(10900);      // still holding
    const CColorTable colors;
    CPicture picture(kWidth, kHeight, false);
    CPeakMeterPainter::Paint(meter, colors, picture);
    EXPECT_EQ(LitBodies(picture, colors, 0), std::vector<int>{28});
    EXPECT_EQ(LitBodies(picture, colors, 1), std::vector<int>{24});

    meter.Decay(11500);      // 0.5 s of falling at 48 per second: -24 and -36.04
    CPeakMeterPainter::Paint(meter, colors, picture);
    EXPECT_EQ(LitBodies(picture, colors, 0), std::vector<int>{20});   // (-27, -24]
    EXPECT_EQ(LitBodies(picture, colors, 1), std::vector<int>{16});   // (-39, -36]
}

TEST(PeakMeterPainter, TakesItsColoursFromTheTable)
{
    CPeakMeter meter;
    meter.Feed(1.0, 1.0);
    CColorTable colors;
    colors.SetColor(CColorTable::kMeterGreen, 0x00102030);
    CPicture picture(kWidth, kHeight, false);
    CPeakMeterPainter::Paint(meter, colors, picture);
    EXPECT_EQ(PixelOf(picture, 2, 12), (Pixel{0x30, 0x20, 0x10, -1}));
    EXPECT_EQ(CPeakMeterPainter::UnlitColor(0x00102030), MakeColorRef(63 + 6, 63 + 4, 63 + 2));
}

TEST(PeakMeterPainter, NarrowAndFlatMetersPaintWhatFits)
{
    CPeakMeter meter;
    meter.Feed(1.0, 1.0);
    const CColorTable colors;
    // 15 pixels: three segments, all in the top four (red), all above 0.
    CPicture narrow(15, kHeight, false);
    CPeakMeterPainter::Paint(meter, colors, narrow);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(CPeakMeterPainter::SegmentColorEntry(k, 3), CColorTable::kMeterRed);
        EXPECT_EQ(PixelOf(narrow, CPeakMeterPainter::SegmentLeft(k), 4), kDimRed) << k;
    }
    // Too small for segments or bars: black, and nothing written outside.
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{4, 18}, {3, 18}, {100, 7}, {100, 5}, {0, 0}, {1, 1}}) {
        CPicture tiny(w, h, false);
        CPeakMeterPainter::Paint(meter, colors, tiny);
        for (std::size_t i = 0; i < tiny.ByteCount(); ++i)
            ASSERT_EQ(tiny.Pixels()[i], 0) << w << "x" << h;
    }
}
