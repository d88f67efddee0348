// Decoding the drivers' format flags: one nibble per sample rate, one bit
// per layout, the lowest non-zero nibble deciding.

#include <gtest/gtest.h>

#include "drivers/AudioOutputDriver.h"
#include "framework/Error.h"

namespace {

void ExpectFormat(std::int32_t flag, int rate, int bits, bool stereo)
{
    const AudioFormat format = DecodeFormatFlag(flag);
    EXPECT_EQ(format.sampleRate, rate) << std::hex << flag;
    EXPECT_EQ(format.bitsPerSample, bits) << std::hex << flag;
    EXPECT_EQ(format.stereo, stereo) << std::hex << flag;
}

std::string DecodeError(std::int32_t flag)
{
    try {
        DecodeFormatFlag(flag);
    } catch (const CError& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(FormatFlag, TheDefaultIs44100SixteenBitStereo)
{
    ExpectFormat(2048, 44100, 16, true);
}

TEST(FormatFlag, EachNibbleIsARate)
{
    const int rates[5] = {11025, 22050, 44100, 48000, 96000};
    for (int nibble = 0; nibble < 5; ++nibble) {
        const int shift = 4 * nibble;
        ExpectFormat(0x1 << shift, rates[nibble], 8, false);
        ExpectFormat(0x2 << shift, rates[nibble], 8, true);
        ExpectFormat(0x4 << shift, rates[nibble], 16, false);
        ExpectFormat(0x8 << shift, rates[nibble], 16, true);
    }
    ExpectFormat(0x10, 22050, 8, false);
}

TEST(FormatFlag, SeveralBitsInANibbleFollowItsValue)
{
    // Below 4 the width is 8 bits; only the values 2 and 8 are stereo.
    ExpectFormat(0x3, 11025, 8, false);
    ExpectFormat(0x6, 11025, 16, false);
    ExpectFormat(0xA, 11025, 16, false);
    ExpectFormat(0xC, 11025, 16, false);
    ExpectFormat(0xF00, 44100, 16, false);
}

TEST(FormatFlag, TheLowestNonZeroNibbleWins)
{
    ExpectFormat(0x801, 11025, 8, false);
    ExpectFormat(0x8820, 22050, 8, true);
    ExpectFormat(0xFFFF0, 22050, 16, false);
    ExpectFormat(0x48000, 48000, 16, true);
    // Bits above the 20 format bits are not looked at.
    ExpectFormat(0x7F00800, 44100, 16, true);
}

TEST(FormatFlag, NoFormatBitIsInvalid)
{
    EXPECT_FALSE(IsValidFormatFlag(0));
    EXPECT_FALSE(IsValidFormatFlag(0x100000));
    EXPECT_FALSE(IsValidFormatFlag(static_cast<std::int32_t>(0xFFF00000u)));
    EXPECT_TRUE(IsValidFormatFlag(0x80000));
    EXPECT_EQ(DecodeError(0), "Invalid Format");
    EXPECT_EQ(DecodeError(0x100000), "Invalid Format");
    EXPECT_EQ(DecodeError(static_cast<std::int32_t>(0xFFF00000u)), "Invalid Format");
}

TEST(FormatFlag, EncodingRoundTrips)
{
    for (int rate : {11025, 22050, 44100, 48000, 96000}) {
        for (int bits : {8, 16}) {
            for (bool stereo : {false, true}) {
                const std::int32_t flag = FormatFlagFor(rate, bits, stereo);
                ASSERT_TRUE(IsValidFormatFlag(flag));
                ExpectFormat(flag, rate, bits, stereo);
            }
        }
    }
    EXPECT_EQ(FormatFlagFor(44100, 16, true), 2048);
    EXPECT_EQ(FormatFlagFor(32000, 16, true), 0);
}
