// CMaster and CMasterInfo: the inputs follow the output driver's channel
// count, and a port survives a driver change only when its shape still fits,
// because the cables to it survive exactly as long as the port.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/AudioBuffer.h"
#include "framework/Port.h"
#include "host/CorvHost.h"
#include "host/Master.h"
#include "tests/host/HostTestSupport.h"

using host_test::Unpacked;

namespace {

constexpr int kBlockSize = 384;

template <typename MemberFunction>
std::ptrdiff_t SlotOf(MemberFunction function)
{
    std::ptrdiff_t raw[2];
    std::memcpy(raw, &function, sizeof raw);
    return (raw[0] & 1) != 0 ? (raw[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*)) : -1;
}

class MasterInputs : public ::testing::Test {
protected:
    CCorvHost host{kBlockSize, 44100, 0};
    CMaster master{&host};

    bool Switch(int channels)
    {
        host.SetOutputChannelCount(channels);
        return master.UpdateInputs();
    }
    std::vector<CPort*> Ports() const { return {master.ports, master.ports + master.portCount}; }
};

void ExpectLineIn(const CMaster& master, bool stereo)
{
    ASSERT_EQ(master.portCount, 1);
    const CPort* port = master.ports[0];
    EXPECT_STREQ(port->name, "Line In");
    EXPECT_EQ(port->flags, stereo ? 0x111 : 0x11);
    EXPECT_EQ(Unpacked(port->owner), &master);
    EXPECT_EQ(Unpacked(port->control), nullptr);
    ASSERT_NE(Unpacked(port->audio), nullptr);
    EXPECT_EQ(port->audio->stereo, stereo);
    EXPECT_EQ(port->audio->length, kBlockSize);
    EXPECT_NE(Unpacked(port->audio->left), nullptr);
    if (stereo) {
        EXPECT_NE(Unpacked(port->audio->right), nullptr);
    }
}

} // namespace

TEST_F(MasterInputs, StartsWithoutPortsUntilUpdated)
{
    EXPECT_EQ(master.portCount, 0);
    EXPECT_EQ(master.parameterCount, 0);
    EXPECT_EQ(master.programCount, 0);
    EXPECT_EQ(master.triggerCount, 0);
    EXPECT_FALSE(master.IsInstrument());
    EXPECT_EQ(Unpacked(master.host), &host);
}

TEST_F(MasterInputs, StereoDriverGivesOneStereoLineIn)
{
    EXPECT_TRUE(Switch(2));
    ExpectLineIn(master, true);
}

TEST_F(MasterInputs, StereoToStereoKeepsThePortObject)
{
    ASSERT_TRUE(Switch(2));
    CPort* port = master.ports[0];
    CPort** array = master.ports;
    EXPECT_FALSE(Switch(2));
    EXPECT_FALSE(Switch(2));
    ASSERT_EQ(master.portCount, 1);
    EXPECT_EQ(Unpacked(master.ports), array);
    EXPECT_EQ(master.ports[0], port);
}

TEST_F(MasterInputs, StereoToMonoReplacesThePort)
{
    ASSERT_TRUE(Switch(2));
    EXPECT_TRUE(Switch(1));
    ExpectLineIn(master, false);

    CPort* mono = master.ports[0];
    EXPECT_FALSE(Switch(1));
    EXPECT_EQ(master.ports[0], mono);

    EXPECT_TRUE(Switch(2));
    ExpectLineIn(master, true);
}

TEST_F(MasterInputs, FourChannelsGiveNumberedMonoPorts)
{
    EXPECT_TRUE(Switch(4));
    ASSERT_EQ(master.portCount, 4);
    for (int i = 0; i < 4; ++i) {
        const CPort* port = master.ports[i];
        EXPECT_EQ(std::string(port->name), "Channel " + std::to_string(i + 1));
        EXPECT_EQ(port->flags, 0x11);
        ASSERT_NE(Unpacked(port->audio), nullptr);
        EXPECT_FALSE(port->audio->stereo);
        EXPECT_EQ(port->audio->length, kBlockSize);
    }

    const std::vector<CPort*> before = Ports();
    EXPECT_FALSE(Switch(4));
    EXPECT_EQ(Ports(), before);
}

TEST_F(MasterInputs, ChannelCountChangesAboveTwoRebuild)
{
    ASSERT_TRUE(Switch(4));
    EXPECT_TRUE(Switch(3));
    ASSERT_EQ(master.portCount, 3);
    EXPECT_STREQ(master.ports[2]->name, "Channel 3");

    EXPECT_TRUE(Switch(8));
    ASSERT_EQ(master.portCount, 8);
    EXPECT_STREQ(master.ports[7]->name, "Channel 8");

    // From many mono ports back to one: not the "exactly one mono port" case.
    EXPECT_TRUE(Switch(1));
    ExpectLineIn(master, false);
    EXPECT_TRUE(Switch(3));
    EXPECT_EQ(master.portCount, 3);
}

TEST_F(MasterInputs, NoChannelsRemovesEveryPortEachTime)
{
    ASSERT_TRUE(Switch(2));
    EXPECT_TRUE(Switch(0));
    EXPECT_EQ(master.portCount, 0);
    EXPECT_EQ(Unpacked(master.ports), nullptr);
    EXPECT_TRUE(Switch(0));
    EXPECT_TRUE(Switch(-1));
    EXPECT_EQ(master.portCount, 0);

    EXPECT_TRUE(Switch(2));
    ExpectLineIn(master, true);
}

TEST_F(MasterInputs, PortBuffersFollowTheBlockSizeAtRebuild)
{
    ASSERT_TRUE(Switch(2));
    host.SetAudioFormat(48000, 1024);
    // The same shape keeps the port; its buffer is resized elsewhere.
    EXPECT_FALSE(Switch(2));
    EXPECT_EQ(master.ports[0]->audio->length, kBlockSize);
    EXPECT_TRUE(Switch(1));
    EXPECT_EQ(master.ports[0]->audio->length, 1024);
}

TEST(MasterSlots, UpdateInputsFollowsIsInstrument)
{
    EXPECT_EQ(SlotOf(&CMaster::Work), 12);
    EXPECT_EQ(SlotOf(&CMaster::SetSampleRate), 31);
    EXPECT_EQ(SlotOf(&CMaster::SetBlockSize), 32);
    EXPECT_EQ(SlotOf(&CMaster::IsInstrument), 40);
    EXPECT_EQ(SlotOf(&CMaster::UpdateInputs), 41);
}

TEST(MasterInfo, NamesAndCreation)
{
    CCorvHost host(kBlockSize, 44100, 0);
    CMasterInfo info(&host);
    EXPECT_STREQ(info.name, "Master");
    EXPECT_STREQ(info.identifier, "Master");
    EXPECT_EQ(info.smallIcon, nullptr);
    EXPECT_EQ(info.largeIcon, nullptr);

    for (int channels : {1, 2, 4, 0}) {
        host.SetOutputChannelCount(channels);
        CMachine* machine = info.CreateMachine();
        auto* master = dynamic_cast<CMaster*>(machine);
        ASSERT_NE(master, nullptr);
        EXPECT_EQ(Unpacked(master->host), &host);
        // Created with its inputs already built for the driver: a second
        // update finds nothing to change (except with no channels, where
        // every update reports a change).
        EXPECT_EQ(master->portCount, channels == 4 ? 4 : channels == 0 ? 0 : 1) << channels;
        if (channels > 0) {
            EXPECT_FALSE(master->UpdateInputs()) << channels;
        }
        // Released through the machine interface, ports and all.
        ReleaseMachine(machine);
    }
}
