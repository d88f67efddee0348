// The peak meter's model: what the audio side feeds it, how held peaks fall
// against the tick count, and which segments are lit.

#include <gtest/gtest.h>

#include <cmath>

#include "host/PeakMeter.h"
#include "tests/host/TestMachines.h"

using namespace engine_test;

namespace {

constexpr int kBlock = 256;
constexpr int kWideMeter = 100;   // 32 segments: -84 .. +12

std::vector<int> LitSegments(CPeakMeter& meter, int channel, int width)
{
    std::vector<int> lit;
    const int n = CPeakMeter::SegmentCount(width);
    for (int k = 1; k <= n; ++k) {
        if (meter.IsSegmentLit(channel, k, n))
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

double Db(double amplitude)
{
    return 20.0 * std::log10(amplitude);
}

} // namespace

TEST(PeakMeter, SilenceStaysAtTheFloorAndLightsNothing)
{
    CPeakMeter meter;
    for (int i = 0; i < 10; ++i) {
        meter.Feed(0.0, 0.0);
        meter.Decay(1000u + 700u * static_cast<unsigned>(i));
    }
    for (int channel = 0; channel < 2; ++channel) {
        EXPECT_EQ(meter.Level(channel), -90.0);
        EXPECT_EQ(meter.Peak(channel), -90.0);
        // Up to 34 segments the floor is below the lowest one.
        for (int width : {16, 52, kWideMeter, 106})
            EXPECT_TRUE(LitSegments(meter, channel, width).empty()) << width;
    }
}

TEST(PeakMeter, SegmentRangesTopOutAtPlusTwelve)
{
    EXPECT_EQ(CPeakMeter::SegmentCount(kWideMeter), 32);
    EXPECT_EQ(CPeakMeter::SegmentCount(16), 4);
    EXPECT_EQ(CPeakMeter::SegmentCount(15), 3);
    for (int width : {16, 31, kWideMeter, 200}) {
        const int n = CPeakMeter::SegmentCount(width);
        EXPECT_EQ(CPeakMeter::SegmentLowerBound(n, n) + 3.0, 12.0) << width;
        EXPECT_EQ(CPeakMeter::SegmentLowerBound(n - 3, n), 0.0) << width;   // the top four lie above 0
    }
    EXPECT_EQ(CPeakMeter::SegmentLowerBound(1, 32), -84.0);
}

TEST(PeakMeter, FullScaleSampleLightsUpToZeroThenHoldsAndFalls)
{
    CPeakMeter meter;
    meter.Feed(1.0, 1.0);
    EXPECT_EQ(meter.Level(0), 0.0);
    EXPECT_EQ(meter.Peak(0), 0.0);
    // Segment 28 of 32 is (-3, 0]: everything up to it is lit, nothing above.
    EXPECT_EQ(LitSegments(meter, 0, kWideMeter), Range(1, 28));
    EXPECT_EQ(LitSegments(meter, 1, kWideMeter), Range(1, 28));

    // The next blocks are silent: the level drops, the peak holds.
    meter.Feed(0.0, 0.0);
    EXPECT_EQ(meter.Level(0), -90.0);
    EXPECT_EQ(LitSegments(meter, 0, kWideMeter), std::vector<int>{28});

    const std::uint32_t start = 5000;
    meter.Decay(start);   // starts the hold
    meter.Decay(start + 500);
    meter.Decay(start + 1000);
    EXPECT_EQ(meter.Peak(0), 0.0);
    EXPECT_EQ(meter.Peak(1), 0.0);

    meter.Decay(start + 1250);
    EXPECT_NEAR(meter.Peak(0), -12.0, 1e-9);
    meter.Decay(start + 1500);
    EXPECT_NEAR(meter.Peak(0), -24.0, 1e-9);
    EXPECT_NEAR(meter.Peak(1), -24.0, 1e-9);
    // -24 is the top of segment 20, (-27, -24].
    EXPECT_EQ(LitSegments(meter, 0, kWideMeter), std::vector<int>{20});

    meter.Decay(start + 4000);
    EXPECT_EQ(meter.Peak(0), -90.0);
    EXPECT_TRUE(LitSegments(meter, 0, kWideMeter).empty());
}

TEST(PeakMeter, FallsAtFortyEightPerSecondWhateverTheTimerRate)
{
    for (std::uint32_t tick : {1u, 10u, 33u, 250u}) {
        CPeakMeter meter;
        meter.Feed(1.0, 1.0);
        const std::uint32_t start = 100000;
        meter.Decay(start);
        std::uint32_t now = start;
        while (now < start + 2000) {
            now += tick;
            meter.Decay(now);
        }
        const double fallen = -meter.Peak(0);
        EXPECT_NEAR(fallen, 48.0 * ((now - start) * 0.001 - 1.0), 1e-6) << tick;
    }
}

TEST(PeakMeter, ALouderBlockRestartsTheHoldAndAQuieterOneDoesNot)
{
    CPeakMeter meter;
    meter.Feed(0.25 * 0.25, 0.25 * 0.25);
    meter.Decay(1000);
    meter.Decay(2500);
    const double fallen = meter.Peak(0);
    EXPECT_NEAR(fallen, Db(0.25) - 24.0, 1e-9);

    meter.Feed(0.01 * 0.01, 0.01 * 0.01);   // -40: below the falling peak
    EXPECT_NEAR(meter.Peak(0), fallen, 1e-12);
    EXPECT_NEAR(meter.Level(0), -40.0, 1e-9);

    meter.Feed(0.5 * 0.5, 0.5 * 0.5);
    EXPECT_NEAR(meter.Peak(0), Db(0.5), 1e-9);
    meter.Decay(2600);   // the hold starts again here
    meter.Decay(3600);
    EXPECT_NEAR(meter.Peak(0), Db(0.5), 1e-9);
    meter.Decay(4100);
    EXPECT_NEAR(meter.Peak(0), Db(0.5) - 24.0, 1e-9);
}

TEST(PeakMeter, ChannelsAreIndependentAndATickFromBeforeRestartsTheHold)
{
    CPeakMeter meter;
    meter.Feed(1.0, 0.01);
    EXPECT_EQ(meter.Peak(0), 0.0);
    EXPECT_NEAR(meter.Peak(1), -20.0, 1e-9);
    meter.Decay(50000);
    // The tick count wrapped (or the clock went back): the hold restarts.
    meter.Decay(10);
    meter.Decay(1000);
    EXPECT_EQ(meter.Peak(0), 0.0);
    meter.Decay(1510);
    EXPECT_NEAR(meter.Peak(0), -24.0, 1e-9);
    EXPECT_NEAR(meter.Peak(1), -44.0, 1e-9);
}

TEST(PeakMeter, NarrowMeterHasNoSegmentsAtOrBelowZero)
{
    // Below 16 pixels there are fewer than four segments; the ranges still
    // end at +12, so all of them lie above 0 and a full-scale level lights
    // none.
    CPeakMeter meter;
    meter.Feed(1.0, 1.0);
    for (int width = 0; width < 16; ++width) {
        const int n = CPeakMeter::SegmentCount(width);
        EXPECT_LT(n, 4) << width;
        for (int k = 1; k <= n; ++k)
            EXPECT_GE(CPeakMeter::SegmentLowerBound(k, n), 0.0) << width;
        EXPECT_TRUE(LitSegments(meter, 0, width).empty()) << width;
    }
    EXPECT_FALSE(meter.IsSegmentLit(0, 0, 3));
    EXPECT_FALSE(meter.IsSegmentLit(2, 1, 3));
}

TEST(PeakMeter, EngineFeedsTheSquaredPeakOfEachSide)
{
    CEngineStudio engine(kBlock);
    CPeakMeter meter;
    engine.studio->SetPeakMeter(&meter);
    auto* source = engine.Add<CConstantSource>("Source", true, 0.5, -0.25);
    ASSERT_NE(engine.ConnectToMaster(source, 0), nullptr);
    engine.RenderQuietly(24);   // past the fade-in
    engine.RenderQuietly(1);
    EXPECT_NEAR(meter.Level(0), Db(0.5), 1e-9);
    EXPECT_NEAR(meter.Level(1), Db(0.25), 1e-9);
    EXPECT_NEAR(meter.Peak(0), Db(0.5), 1e-9);
    engine.studio->SetPeakMeter(nullptr);
}

TEST(PeakMeter, EngineFeedsAMonoOutputToBothSides)
{
    CEngineStudio engine(kBlock, 1);
    CPeakMeter meter;
    engine.studio->SetPeakMeter(&meter);
    auto* source = engine.Add<CConstantSource>("Source", false, 0.5);
    ASSERT_NE(engine.ConnectToMaster(source, 0), nullptr);
    engine.RenderQuietly(25);
    EXPECT_NEAR(meter.Level(0), Db(0.5), 1e-9);
    EXPECT_EQ(meter.Level(0), meter.Level(1));
    EXPECT_EQ(meter.Peak(0), meter.Peak(1));
    engine.studio->SetPeakMeter(nullptr);
}

TEST(PeakMeter, EngineWithFourChannelsMetersTheFirstTwo)
{
    CEngineStudio engine(kBlock, 4);
    CPeakMeter meter;
    engine.studio->SetPeakMeter(&meter);
    const double levels[4] = {0.5, 0.125, 1.0, 1.0};
    for (int c = 0; c < 4; ++c) {
        auto* source = engine.Add<CConstantSource>("Source", false, levels[c]);
        ASSERT_NE(engine.ConnectToMaster(source, 0, c), nullptr);
    }
    engine.RenderQuietly(25);
    EXPECT_NEAR(meter.Level(0), Db(0.5), 1e-9);
    EXPECT_NEAR(meter.Level(1), Db(0.125), 1e-9);
    engine.studio->SetPeakMeter(nullptr);
}

TEST(PeakMeter, OneFullScaleSampleThroughTheEngine)
{
    CEngineStudio engine(kBlock);
    CPeakMeter meter;
    engine.studio->SetPeakMeter(&meter);
    auto* impulse = engine.Add<CImpulseSource>("Click", 30, 100, 1.0);
    ASSERT_NE(engine.ConnectToMaster(impulse, 0), nullptr);

    engine.RenderQuietly(29);   // silence, while the fade-in completes
    EXPECT_EQ(meter.Peak(0), -90.0);
    EXPECT_TRUE(LitSegments(meter, 0, kWideMeter).empty());
    const auto out = engine.Render(1);
    EXPECT_EQ(out[0][100], 1.0);
    EXPECT_EQ(meter.Level(0), 0.0);
    EXPECT_EQ(meter.Peak(1), 0.0);
    EXPECT_EQ(LitSegments(meter, 0, kWideMeter), Range(1, 28));

    engine.RenderQuietly(1);
    EXPECT_EQ(meter.Level(0), -90.0);
    EXPECT_EQ(LitSegments(meter, 1, kWideMeter), std::vector<int>{28});
    engine.studio->SetPeakMeter(nullptr);
}
