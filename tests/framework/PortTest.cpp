// What a port's flags give it.

#include <gtest/gtest.h>

#include <cstring>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/Port.h"
#include "tests/framework/TestHost.h"
#include "tests/framework/TestMachine.h"
#include "tests/framework/Unpacked.h"

namespace {

TEST(Port, StereoAudioInputHasABufferOfTheHostBlockSize)
{
    CTestHost host;
    host.blockSize = 333;
    CBareMachine owner(&host);
    CPort port(&host, &owner, 0x111, "Line In");
    EXPECT_EQ(port.flags, 0x111);
    EXPECT_TRUE(port.Is(kPortAudio | kPortInput | kPortStereo));
    EXPECT_FALSE(port.Is(kPortOutput));
    ASSERT_NE(Unpacked(port.audio), nullptr);
    EXPECT_TRUE(port.audio->stereo);
    EXPECT_EQ(port.audio->length, 333);
    EXPECT_NE(port.audio->left, nullptr);
    EXPECT_NE(port.audio->right, nullptr);
    EXPECT_EQ(Unpacked(port.control), nullptr);
    EXPECT_EQ(Unpacked(port.owner), &owner);
    EXPECT_STREQ(port.name, "Line In");
}

TEST(Port, MonoAudioOutputHasNoRightChannel)
{
    CTestHost host;
    host.blockSize = 64;
    CPort port(&host, nullptr, 0x21, "Line Out");
    ASSERT_NE(Unpacked(port.audio), nullptr);
    EXPECT_FALSE(port.audio->stereo);
    EXPECT_EQ(port.audio->right, nullptr);
    EXPECT_EQ(port.audio->length, 64);
}

TEST(Port, ControlInputHasAnEmptyEventBufferAndNoAudio)
{
    CTestHost host;
    CPort port(&host, nullptr, 0x12, "Control In");
    EXPECT_EQ(Unpacked(port.audio), nullptr);
    ASSERT_NE(Unpacked(port.control), nullptr);
    EXPECT_EQ(port.control->Count(), 0);
}

TEST(Port, APortMayCarryBoth)
{
    CTestHost host;
    host.blockSize = 8;
    CPort port(&host, nullptr, kPortAudio | kPortControl | kPortOutput, "Both");
    ASSERT_NE(Unpacked(port.audio), nullptr);
    EXPECT_EQ(port.audio->length, 8);
    EXPECT_NE(Unpacked(port.control), nullptr);
}

TEST(Port, NameIsACopy)
{
    CTestHost host;
    char name[] = "AUX1OUT";
    CPort port(&host, nullptr, 0x161, name);
    std::strcpy(name, "changed");
    EXPECT_NE(Unpacked(port.name), name);
    EXPECT_STREQ(port.name, "AUX1OUT");
    EXPECT_TRUE(port.Is(kPortAuxiliary | kPortOutput));
}

} // namespace
