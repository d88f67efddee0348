// One cable mixed into one input: the per-sample gain glide and the
// channel rules, measured on real buffers; and the cable slider's mapping.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/AudioBuffer.h"
#include "framework/Connection.h"
#include "host/CableMixer.h"
#include "host/CableVolume.h"

namespace {

void Fill(CAudioBuffer& buffer, double left, double right)
{
    for (int s = 0; s < buffer.length; ++s) {
        buffer.left[s] = left;
        if (buffer.right != nullptr)
            buffer.right[s] = right;
    }
}

// Mixes a constant 1.0 through a cable whose gain starts at from and whose
// volume is to, block by block, and returns the gain applied to each sample.
std::vector<double> GlideSamples(double from, double to, int blocks, int length)
{
    CAudioBuffer source(length, false);
    CAudioBuffer destination(length, false);
    Fill(source, 1.0, 0.0);
    CConnection cable(nullptr, nullptr, from);
    cable.volume = to;
    std::vector<double> applied;
    for (int b = 0; b < blocks; ++b) {
        destination.Clear();
        MixCable(destination, source, cable);
        applied.insert(applied.end(), destination.left, destination.left + length);
    }
    return applied;
}

} // namespace

TEST(CableMixer, ChannelRules)
{
    CAudioBuffer stereo(64, true);
    CAudioBuffer mono(64, false);
    Fill(stereo, 0.75, -0.25);
    Fill(mono, 0.5, 0.0);
    CConnection unity(nullptr, nullptr, 1.0);

    CAudioBuffer toMono(64, false);
    MixCable(toMono, stereo, unity);
    EXPECT_EQ(toMono.left[0], 0.25);   // (0.75 - 0.25) x 0.5
    EXPECT_EQ(toMono.left[63], 0.25);

    CAudioBuffer toStereo(64, true);
    MixCable(toStereo, mono, unity);
    EXPECT_EQ(toStereo.left[10], 0.5);
    EXPECT_EQ(toStereo.right[10], 0.5);

    CAudioBuffer pair(64, true);
    MixCable(pair, stereo, unity);
    EXPECT_EQ(pair.left[5], 0.75);
    EXPECT_EQ(pair.right[5], -0.25);

    // Mixing adds to what is there.
    MixCable(pair, stereo, unity);
    EXPECT_EQ(pair.left[5], 1.5);
    EXPECT_EQ(pair.right[5], -0.5);

    CConnection quiet(nullptr, nullptr, 0.25);
    CAudioBuffer single(64, false);
    MixCable(single, mono, quiet);
    EXPECT_EQ(single.left[0], 0.125);
}

TEST(CableMixer, GlideStepsBeforeTheSampleInDoublePrecision)
{
    const std::vector<double> up = GlideSamples(0.0, 1.0, 30, 256);
    EXPECT_EQ(up[0], (1.0 + 0.1) * 0.0004);
    EXPECT_NE(up[0], (1.0 + static_cast<double>(0.1f)) * 0.0004);
    const double second = up[0] + (1.0 - up[0] + 0.1) * 0.0004;
    EXPECT_EQ(up[1], second);
    EXPECT_TRUE(std::is_sorted(up.begin(), up.end()));
    EXPECT_LE(*std::max_element(up.begin(), up.end()), 1.0);
    // (d + 0.1) shrinks by 0.9996 a step: 1.1 -> 0.1 takes ln 11 / 0.0004,
    // a little under 5995 steps, and the clamp lands it exactly.
    const auto landed = std::find(up.begin(), up.end(), 1.0);
    ASSERT_NE(landed, up.end());
    const long steps = (landed - up.begin()) + 1;
    EXPECT_NEAR(static_cast<double>(steps), std::log(11.0) / 0.0004, 2.0);

    const std::vector<double> down = GlideSamples(1.0, 0.0, 30, 256);
    EXPECT_EQ(down[0], 1.0 - (1.0 + 0.1) * 0.0004);
    EXPECT_TRUE(std::is_sorted(down.rbegin(), down.rend()));
    EXPECT_GE(*std::min_element(down.begin(), down.end()), 0.0);
    EXPECT_EQ(std::find(down.begin(), down.end(), 0.0) - down.begin() + 1, steps);
}

TEST(CableMixer, GlideCarriesOverBlocksThroughTheCable)
{
    // The same glide in blocks of 7 and of 1024 gives the same samples.
    const std::vector<double> small = GlideSamples(0.2, 0.9, 1000, 7);
    const std::vector<double> large = GlideSamples(0.2, 0.9, 7, 1024);
    ASSERT_GE(large.size(), small.size());
    for (std::size_t s = 0; s < small.size(); ++s)
        ASSERT_EQ(small[s], large[s]) << s;

    CAudioBuffer source(16, false);
    CAudioBuffer destination(16, false);
    Fill(source, 1.0, 0.0);
    CConnection cable(nullptr, nullptr, 0.5);
    cable.volume = 0.5;
    MixCable(destination, source, cable);
    EXPECT_EQ(cable.gain, 0.5);   // nothing to glide: exactly the volume
    cable.volume = 0.6;
    MixCable(destination, source, cable);
    EXPECT_GT(cable.gain, 0.5);
    EXPECT_LT(cable.gain, 0.6);
    EXPECT_EQ(cable.volume, 0.6);
}

TEST(CableMixer, UsesTheShorterLengthAndIgnoresEmptyBuffers)
{
    CAudioBuffer longSource(300, true);
    CAudioBuffer shortDestination(100, true);
    Fill(longSource, 1.0, 2.0);
    CConnection unity(nullptr, nullptr, 1.0);
    MixCable(shortDestination, longSource, unity);
    EXPECT_EQ(shortDestination.left[99], 1.0);
    EXPECT_EQ(shortDestination.right[99], 2.0);

    CAudioBuffer shortSource(50, false);
    CAudioBuffer longDestination(200, false);
    Fill(shortSource, 1.0, 0.0);
    MixCable(longDestination, shortSource, unity);
    EXPECT_EQ(longDestination.left[49], 1.0);
    EXPECT_EQ(longDestination.left[50], 0.0);
    EXPECT_EQ(longDestination.left[199], 0.0);

    CAudioBuffer empty(0, true);
    MixCable(empty, longSource, unity);
    MixCable(longDestination, empty, unity);
    EXPECT_EQ(longDestination.left[0], 1.0);
}

TEST(CableVolume, SliderPositionToGain)
{
    EXPECT_EQ(CableGainFromPosition(1.0), 1.0);
    EXPECT_DOUBLE_EQ(CableGainFromPosition(0.0), 1e-9);
    EXPECT_GT(CableGainFromPosition(0.0), 0.0);   // quiet, never silent
    EXPECT_DOUBLE_EQ(CableGainFromPosition(0.5), std::pow(10.0, -4.5));
    EXPECT_NEAR(CableGainFromPosition(8.0 / 9.0), 0.1, 1e-15);   // 10 of these decibels down
    double previous = 0.0;
    for (int i = 0; i <= 100; ++i) {
        const double gain = CableGainFromPosition(i / 100.0);
        EXPECT_GT(gain, previous);
        previous = gain;
    }
}

TEST(CableVolume, GainToSliderPosition)
{
    EXPECT_EQ(CablePositionFromGain(1.0), 1.0);
    EXPECT_EQ(CablePositionFromGain(0.0), 0.0);
    EXPECT_EQ(CablePositionFromGain(-0.5), 0.0);
    EXPECT_EQ(CablePositionFromGain(4.0), 1.0);
    EXPECT_EQ(CablePositionFromGain(1e-12), 0.0);   // below the range
    EXPECT_DOUBLE_EQ(CablePositionFromGain(1e-9), 0.0);
    EXPECT_DOUBLE_EQ(CablePositionFromGain(0.1), 8.0 / 9.0);
    for (int i = 0; i <= 90; ++i) {
        const double position = i / 90.0;
        EXPECT_NEAR(CablePositionFromGain(CableGainFromPosition(position)), position, 1e-12) << i;
    }
}
