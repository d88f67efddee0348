// The glide unit: the first target jumps, later ones slide over
// |distance| x seconds-per-octave + fixed seconds, to the sample.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "stockpack/dsp/Portamento.h"

namespace {

constexpr int kRate = 44100;

/// Samples of offset output until it reads exactly 0 (the slide's length).
long SlideLength(CPortamento& glide)
{
    long count = 0;
    double value = 1.0;
    while (count < 20 * kRate) {
        glide.RenderOffset(&value, 1);
        if (value == 0.0)
            return count;
        ++count;
    }
    return -1;
}

} // namespace

TEST(Portamento, FirstTargetJumps)
{
    CPortamento glide;
    glide.SetSampleRate(kRate);
    glide.SetTimes(0.5, 1.0);
    glide.Start(6.0);
    EXPECT_FALSE(glide.IsSliding());
    double offset = 1.0;
    glide.RenderOffset(&offset, 1);
    EXPECT_EQ(offset, 0.0);
    EXPECT_EQ(glide.Pitch(), 6.0);

    // After Reset there is again nothing to slide from.
    glide.Reset();
    glide.Start(3.0);
    EXPECT_FALSE(glide.IsSliding());
    EXPECT_EQ(glide.Pitch(), 3.0);
}

TEST(Portamento, SlideTakesDistanceTimesGlidePlusFixedTime)
{
    struct Case {
        double fixedSeconds, perOctave, from, to;
    };
    for (const Case& c : {Case{0.1, 0.0, 5.0, 6.0}, Case{0.0, 0.2, 5.0, 7.5}, Case{0.05, 0.1, 8.0, 5.0},
                          Case{0.4, 0.4, 4.0, 4.0 + 1.0 / 12}}) {
        CPortamento glide;
        glide.SetSampleRate(kRate);
        glide.SetTimes(c.fixedSeconds, c.perOctave);
        glide.Start(c.from);
        glide.Start(c.to);
        ASSERT_TRUE(glide.IsSliding());
        // The first sample still sounds the old pitch.
        double first;
        glide.RenderOffset(&first, 1);
        EXPECT_DOUBLE_EQ(first, c.from - c.to);
        const double seconds = std::fabs(c.to - c.from) * c.perOctave + c.fixedSeconds;
        EXPECT_NEAR(static_cast<double>(SlideLength(glide) + 1), seconds * kRate, 1.0)
            << c.fixedSeconds << " " << c.perOctave;
        EXPECT_FALSE(glide.IsSliding());
        EXPECT_EQ(glide.Pitch(), c.to);
    }
}

TEST(Portamento, ZeroTimeJumpsAndStraightSlideIsLinear)
{
    CPortamento glide;
    glide.SetSampleRate(kRate);
    glide.SetTimes(0.0, 0.0);
    glide.Start(5.0);
    glide.Start(9.0);
    EXPECT_FALSE(glide.IsSliding());
    EXPECT_EQ(glide.Pitch(), 9.0);

    glide.SetTimes(0.01, 0.0);   // 441 samples
    glide.Start(10.0);
    std::vector<double> pitch(441);
    glide.RenderPitch(pitch.data(), 441);
    for (int i = 0; i < 441; ++i)
        EXPECT_NEAR(pitch[static_cast<std::size_t>(i)], 9.0 + i / 441.0, 1e-9) << i;
}

TEST(Portamento, CurvedSlideKeepsItsEnds)
{
    for (double curve : {-8.0, 8.0}) {
        CPortamento glide;
        glide.SetSampleRate(kRate);
        glide.SetTimes(0.01, 0.0);
        glide.SetCurve(curve);
        glide.Start(5.0);
        glide.Start(6.0);
        std::vector<double> pitch(442);
        glide.RenderPitch(pitch.data(), 442);
        EXPECT_EQ(pitch.front(), 5.0);
        EXPECT_EQ(pitch.back(), 6.0);
        for (std::size_t i = 1; i < pitch.size(); ++i)
            ASSERT_GE(pitch[i], pitch[i - 1]) << curve;
        if (curve < 0) {
            EXPECT_GT(pitch[220], 5.6);
        } else {
            EXPECT_LT(pitch[220], 5.4);
        }
    }
}

TEST(Portamento, NewTargetMidSlideStartsFromWhereThePitchIs)
{
    CPortamento glide;
    glide.SetSampleRate(kRate);
    glide.SetTimes(0.1, 0.0);
    glide.Start(5.0);
    glide.Start(7.0);
    std::vector<double> pitch(2205);
    glide.RenderPitch(pitch.data(), 2205);
    const double midway = glide.Pitch();
    EXPECT_NEAR(midway, 6.0, 0.01);
    glide.Start(4.0);
    double next;
    glide.RenderPitch(&next, 1);
    EXPECT_EQ(next, midway);

    // A target that is not a number is ignored.
    glide.Start(std::nan(""));
    EXPECT_EQ(glide.Target(), 4.0);
}
