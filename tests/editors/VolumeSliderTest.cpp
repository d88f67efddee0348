// The master volume slider: -34 .. +6 over the slider, the gain it sets,
// the position a gain puts it at, and its "%.2fdB" label.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "editors/VolumeSlider.h"

TEST(VolumeSlider, SpansMinus34ToPlus6)
{
    EXPECT_EQ(CVolumeSlider::LevelDbForPosition(1.0), 6.0);
    EXPECT_EQ(CVolumeSlider::LevelDbForPosition(0.0), -34.0);
    EXPECT_NEAR(CVolumeSlider::LevelDbForPosition(0.85), 0.0, 1e-12);
    EXPECT_NEAR(CVolumeSlider::GainForPosition(1.0), 3.98107, 1e-5);
    EXPECT_NEAR(CVolumeSlider::GainForPosition(0.0), 0.000398107, 1e-9);
    EXPECT_NEAR(CVolumeSlider::GainForPosition(0.85), 1.0, 1e-12);
    // 10 dB per quarter: every 0.25 of travel is a factor of 10.
    EXPECT_NEAR(CVolumeSlider::GainForPosition(0.6) / CVolumeSlider::GainForPosition(0.35), 10.0, 1e-9);
}

TEST(VolumeSlider, LabelsTheLevelInHundredthsOfADecibel)
{
    EXPECT_EQ(CVolumeSlider::FormatLabel(1.0), "6.00dB");
    EXPECT_EQ(CVolumeSlider::FormatLabel(0.0), "-34.00dB");
    EXPECT_EQ(CVolumeSlider::FormatLabel(0.5), "-14.00dB");
    EXPECT_EQ(CVolumeSlider::FormatLabel(0.123), "-29.08dB");
    EXPECT_EQ(CVolumeSlider::FormatLabel(0.85), "0.00dB") << "not -0.00dB at unity";
    EXPECT_EQ(CVolumeSlider::FormatLabel(0.84995), "0.00dB");
    EXPECT_EQ(CVolumeSlider::FormatLabel(0.8498), "-0.01dB");
}

TEST(VolumeSlider, TheCurrentGainPlacesTheSlider)
{
    EXPECT_NEAR(CVolumeSlider::PositionForGain(1.0), 0.85, 1e-12);
    for (double x : {0.0, 0.1, 0.5, 0.77, 1.0})
        EXPECT_NEAR(CVolumeSlider::PositionForGain(CVolumeSlider::GainForPosition(x)), x, 1e-12) << x;
    EXPECT_EQ(CVolumeSlider::PositionForGain(100.0), 1.0);
    EXPECT_EQ(CVolumeSlider::PositionForGain(1e-9), 0.0);
    EXPECT_EQ(CVolumeSlider::PositionForGain(0.0), 0.0);
    EXPECT_EQ(CVolumeSlider::PositionForGain(-1.0), 0.0);
}

TEST(VolumeSlider, MovingSetsTheTargetWithinTheRange)
{
    std::vector<double> targets;
    CVolumeSlider slider([&](double gain) { targets.push_back(gain); });
    slider.ShowGain(1.0);
    EXPECT_TRUE(targets.empty()) << "showing the gain sets nothing";
    EXPECT_EQ(slider.GetLabel(), "0.00dB");
    slider.SetPosition(0.6);
    slider.SetPosition(7.0);
    slider.SetPosition(-1.0);
    slider.SetPosition(std::numeric_limits<double>::quiet_NaN());
    ASSERT_EQ(targets.size(), 4u);
    EXPECT_NEAR(targets[0], std::pow(10.0, -1.0), 1e-12);
    EXPECT_NEAR(targets[1], CVolumeSlider::GainForPosition(1.0), 1e-12);
    EXPECT_NEAR(targets[2], CVolumeSlider::GainForPosition(0.0), 1e-15);
    EXPECT_NEAR(targets[3], CVolumeSlider::GainForPosition(0.0), 1e-15) << "NaN never reaches the audio";
    EXPECT_EQ(slider.GetPosition(), 0.0);
}
