// Channel arrays of audio ports: alignment, size, silence, and what Resize
// keeps. The two samples past length are written on purpose: filters and
// interpolators read one or two ahead, and the address sanitizer reports
// any write outside the allocation.

#include <gtest/gtest.h>

#include <cstdint>

#include "framework/AudioBuffer.h"
#include "tests/framework/Unpacked.h"

namespace {

bool Aligned16(const double* channel)
{
    return reinterpret_cast<std::uintptr_t>(channel) % 16 == 0;
}

/// Checks that the first count samples are 0, then scribbles over the whole
/// length + 2 so a later check can tell whether the buffer was cleared.
void ExpectSilentAndWritable(double* channel, int length, const char* what)
{
    ASSERT_NE(channel, nullptr) << what;
    EXPECT_TRUE(Aligned16(channel)) << what;
    for (int i = 0; i < length; ++i)
        ASSERT_EQ(channel[i], 0.0) << what << " sample " << i;
    for (int i = 0; i < length + 2; ++i)
        channel[i] = 0.5 + i;
}

TEST(AudioBuffer, StereoChannelsAreAlignedSilentWithTwoSpareSamples)
{
    for (int length : {1, 2, 3, 7, 64, 256, 1023}) {
        SCOPED_TRACE(length);
        CAudioBuffer buffer(length, true);
        EXPECT_TRUE(buffer.stereo);
        EXPECT_EQ(buffer.length, length);
        ExpectSilentAndWritable(buffer.left, length, "left");
        ExpectSilentAndWritable(buffer.right, length, "right");
        EXPECT_NE(Unpacked(buffer.left), Unpacked(buffer.right));
        // The spare samples start zeroed too.
        CAudioBuffer fresh(length, true);
        EXPECT_EQ(fresh.left[length], 0.0);
        EXPECT_EQ(fresh.left[length + 1], 0.0);
        EXPECT_EQ(fresh.right[length + 1], 0.0);
    }
}

TEST(AudioBuffer, MonoHasNoRightChannel)
{
    CAudioBuffer buffer(100, false);
    EXPECT_FALSE(buffer.stereo);
    EXPECT_EQ(Unpacked(buffer.right), nullptr);
    ExpectSilentAndWritable(buffer.left, 100, "left");
    buffer.Clear();
    EXPECT_EQ(buffer.left[99], 0.0);
}

TEST(AudioBuffer, ZeroLengthGivesNullArrays)
{
    CAudioBuffer buffer(0, true);
    EXPECT_EQ(Unpacked(buffer.left), nullptr);
    EXPECT_EQ(Unpacked(buffer.right), nullptr);
    buffer.Clear();
    buffer.Resize(0);
    EXPECT_EQ(Unpacked(buffer.left), nullptr);

    // It becomes a real stereo buffer once it is given a length.
    buffer.Resize(32);
    EXPECT_EQ(buffer.length, 32);
    ExpectSilentAndWritable(buffer.left, 32, "left");
    ExpectSilentAndWritable(buffer.right, 32, "right");

    buffer.Resize(0);
    EXPECT_EQ(buffer.length, 0);
    EXPECT_EQ(Unpacked(buffer.left), nullptr);
    EXPECT_EQ(Unpacked(buffer.right), nullptr);
}

TEST(AudioBuffer, ClearSilencesBothChannels)
{
    CAudioBuffer buffer(48, true);
    for (int i = 0; i < 48; ++i)
        buffer.left[i] = buffer.right[i] = -0.25;
    buffer.Clear();
    for (int i = 0; i < 48; ++i) {
        ASSERT_EQ(buffer.left[i], 0.0) << i;
        ASSERT_EQ(buffer.right[i], 0.0) << i;
    }
}

TEST(AudioBuffer, ResizeToTheSameLengthOnlyClears)
{
    CAudioBuffer buffer(128, true);
    double* left = buffer.left;
    double* right = buffer.right;
    for (int i = 0; i < 128; ++i)
        left[i] = right[i] = 1.0;
    buffer.Resize(128);
    EXPECT_EQ(Unpacked(buffer.left), left);
    EXPECT_EQ(Unpacked(buffer.right), right);
    EXPECT_EQ(buffer.length, 128);
    for (int i = 0; i < 128; ++i) {
        ASSERT_EQ(left[i], 0.0) << i;
        ASSERT_EQ(right[i], 0.0) << i;
    }
}

TEST(AudioBuffer, ResizeToAnotherLengthReallocatesAndClears)
{
    for (bool stereo : {false, true}) {
        SCOPED_TRACE(stereo ? "stereo" : "mono");
        CAudioBuffer buffer(64, stereo);
        ExpectSilentAndWritable(buffer.left, 64, "left");
        for (int length : {512, 16, 17, 2048}) {
            buffer.Resize(length);
            EXPECT_EQ(buffer.length, length);
            EXPECT_EQ(buffer.stereo, stereo);
            ExpectSilentAndWritable(buffer.left, length, "left");
            if (stereo)
                ExpectSilentAndWritable(buffer.right, length, "right");
            else
                EXPECT_EQ(Unpacked(buffer.right), nullptr);
        }
    }
}

} // namespace
