// The Wave Out driver's pure rules: the format search on capability sets
// given to it directly, the format text, and the conversion of doubles to
// 16- and 8-bit device bytes.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "drivers/WaveOutDriver.h"
#include "framework/Error.h"

namespace {

// Format bits by rate nibble and layout bit.
constexpr std::int32_t k11Stereo16 = 0x8;
constexpr std::int32_t k22Stereo16 = 0x80;
constexpr std::int32_t k44Mono8 = 0x100;
constexpr std::int32_t k44Stereo8 = 0x200;
constexpr std::int32_t k44Mono16 = 0x400;
constexpr std::int32_t k44Stereo16 = 0x800;
constexpr std::int32_t k48Stereo8 = 0x2000;
constexpr std::int32_t k48Stereo16 = 0x8000;
constexpr std::int32_t k96Stereo16 = 0x80000;
constexpr std::int32_t k11Mono8 = 0x1;

std::int16_t Sample16(const std::vector<unsigned char>& bytes, std::size_t index)
{
    return static_cast<std::int16_t>(bytes[2 * index] | (bytes[2 * index + 1] << 8));
}

} // namespace

TEST(WaveOutFormatSearch, KeepsARequestTheDeviceShares)
{
    EXPECT_EQ(CWaveOutDriver::SearchFormat(k44Stereo16, 0xFFFFF), k44Stereo16);
    EXPECT_EQ(CWaveOutDriver::SearchFormat(k44Stereo16, k44Stereo16 | k48Stereo16), k44Stereo16);
}

TEST(WaveOutFormatSearch, TriesHigherRatesBeforeLowerOnesWithTheSameLayout)
{
    EXPECT_EQ(CWaveOutDriver::SearchFormat(k44Stereo16, k48Stereo16), k48Stereo16);
    EXPECT_EQ(CWaveOutDriver::SearchFormat(k44Stereo16, k96Stereo16 | k11Stereo16), k96Stereo16);
    // Downward, the nearest rate comes first.
    EXPECT_EQ(CWaveOutDriver::SearchFormat(k44Stereo16, k11Stereo16 | k22Stereo16), k22Stereo16);
}

TEST(WaveOutFormatSearch, KeepsTheRequestedLayoutAtAnyRateBeforeOtherLayouts)
{
    EXPECT_EQ(CWaveOutDriver::SearchFormat(k44Mono8, k11Mono8 | k44Stereo16), k11Mono8);
}

TEST(WaveOutFormatSearch, FallsBackThroughStereo16Mono16Stereo8Mono8)
{
    EXPECT_EQ(CWaveOutDriver::SearchFormat(k44Stereo8, k44Mono16 | k48Stereo16), k48Stereo16);
    EXPECT_EQ(CWaveOutDriver::SearchFormat(k44Stereo16, k44Mono8 | k44Mono16), k44Mono16);
    EXPECT_EQ(CWaveOutDriver::SearchFormat(k44Stereo16, k44Mono8 | k48Stereo8), k48Stereo8);
    EXPECT_EQ(CWaveOutDriver::SearchFormat(k44Stereo16, k11Mono8), k11Mono8);
}

TEST(WaveOutFormatSearch, NothingFittingGivesAFlagThatDoesNotDecode)
{
    const std::int32_t found = CWaveOutDriver::SearchFormat(k44Stereo16, 0);
    EXPECT_EQ(found, 0);
    try {
        DecodeFormatFlag(found);
        FAIL() << "decoded a flag without format bits";
    } catch (const CError& error) {
        EXPECT_STREQ(error.what(), "Invalid Format");
    }
}

TEST(WaveOutFormat, DescribesRateWidthAndChannels)
{
    EXPECT_EQ(CWaveOutDriver::DescribeFormat(k44Stereo16), "44.1kHz, 16bit, Stereo");
    EXPECT_EQ(CWaveOutDriver::DescribeFormat(k11Mono8), "11.0kHz, 8bit, Mono");
    EXPECT_EQ(CWaveOutDriver::DescribeFormat(0x40000), "96.0kHz, 16bit, Mono");
}

TEST(WaveOutConversion, SixteenBitFullScaleIsAsymmetricAndClips)
{
    const std::vector<double> left = {1.0, -1.0, 0.5, -0.5, 1.5, -1.5, 0.0, std::nan(""), -1e-9, 0.999999};
    std::vector<unsigned char> bytes(left.size() * 2);
    CWaveOutDriver::ConvertBlock(left.data(), nullptr, static_cast<int>(left.size()), 16, bytes.data());
    const std::vector<int> expected = {32767, -32768, 16383, -16384, 32767, -32768, 0, 0, 0, 32766};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(Sample16(bytes, i), expected[i]) << "sample " << i << " = " << left[i];
    // Little-endian: -32768 is 00 80.
    EXPECT_EQ(bytes[2], 0x00);
    EXPECT_EQ(bytes[3], 0x80);
}

TEST(WaveOutConversion, StereoInterleavesLeftThenRight)
{
    const double left[3] = {0.25, 0.5, 0.75};
    const double right[3] = {-0.25, -0.5, -0.75};
    std::vector<unsigned char> bytes(12);
    CWaveOutDriver::ConvertBlock(left, right, 3, 16, bytes.data());
    const int expected[6] = {8191, -8192, 16383, -16384, 24575, -24576};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Sample16(bytes, static_cast<std::size_t>(i)), expected[i]) << "value " << i;
}

TEST(WaveOutConversion, EightBitIsUnsignedWithSilenceAt128)
{
    const double left[6] = {0.0, 1.0, -1.0, 0.5, -0.5, 2.0};
    const double right[6] = {0.0, 0.0, 0.0, 0.0, 0.0, -2.0};
    unsigned char bytes[12];
    CWaveOutDriver::ConvertBlock(left, right, 6, 8, bytes);
    const unsigned char expected[12] = {128, 128, 255, 128, 0, 128, 191, 128, 64, 128, 255, 0};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(bytes[i], expected[i]) << "byte " << i;
}
