// The saturation types and the amplifier law, at the points that define
// them.

#include <gtest/gtest.h>

#include <cmath>

#include "stockpack/dsp/Amplifier.h"
#include "stockpack/dsp/Saturation.h"

TEST(Saturation, SoftClipIsCubicInsideAndTwoThirdsBeyond)
{
    EXPECT_EQ(Saturate(SaturationType::SoftClip, 2.0), 2.0 / 3.0);
    EXPECT_EQ(Saturate(SaturationType::SoftClip, -2.0), -2.0 / 3.0);
    EXPECT_DOUBLE_EQ(Saturate(SaturationType::SoftClip, 0.5), 0.458333333333333333);
    EXPECT_DOUBLE_EQ(Saturate(SaturationType::SoftClip, 1.0), 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(Saturate(SaturationType::SoftClip, -0.25), -0.25 + 0.015625 / 3.0);
    // Continuous at the limits.
    EXPECT_NEAR(Saturate(SaturationType::SoftClip, 0.999999), 2.0 / 3.0, 1e-9);
}

TEST(Saturation, DigitalClampsAndDistortFoldsThenClamps)
{
    EXPECT_EQ(Saturate(SaturationType::Digital, 1.5), 1.0);
    EXPECT_EQ(Saturate(SaturationType::Digital, -7.0), -1.0);
    EXPECT_EQ(Saturate(SaturationType::Digital, 0.3), 0.3);

    // 1.5x - 0.5x^3 in single precision.
    const float x = 0.3f;
    EXPECT_EQ(Saturate(SaturationType::Distort, 0.3), static_cast<double>(1.5f * x - 0.5f * x * x * x));
    EXPECT_EQ(Saturate(SaturationType::Distort, 1.0), 1.0);
    EXPECT_EQ(Saturate(SaturationType::Distort, 2.0), -1.0);    // 3 - 4, folded over
    EXPECT_EQ(Saturate(SaturationType::Distort, -1.2), static_cast<double>(1.5f * -1.2f - 0.5f * -1.2f * -1.2f * -1.2f));

    EXPECT_EQ(Saturate(SaturationType::None, 5.0), 5.0);

    double block[4] = {2.0, 0.5, -2.0, 0.0};
    ProcessSaturation(SaturationType::SoftClip, block, 4);
    EXPECT_EQ(block[0], 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(block[1], 0.458333333333333333);
    EXPECT_EQ(block[2], -2.0 / 3.0);
    EXPECT_EQ(block[3], 0.0);
}

TEST(Amplifier, GainIsTwoToTheEnvelopeMinusOne)
{
    EXPECT_EQ(AmplifierGain(0.0), 0.0);
    EXPECT_EQ(AmplifierGain(1.0), 1.0);
    EXPECT_DOUBLE_EQ(AmplifierGain(0.5), std::sqrt(2.0) - 1.0);

    const double envelope[5] = {0.0, 0.25, 0.25, 1.0, 0.0};
    double samples[5] = {1.0, 2.0, -2.0, 0.5, 3.0};
    ApplyAmplifier(envelope, samples, 5);
    EXPECT_EQ(samples[0], 0.0);
    EXPECT_DOUBLE_EQ(samples[1], 2.0 * (std::exp2(0.25) - 1.0));
    EXPECT_DOUBLE_EQ(samples[2], -2.0 * (std::exp2(0.25) - 1.0));
    EXPECT_EQ(samples[3], 0.5);
    EXPECT_EQ(samples[4], 0.0);
}
