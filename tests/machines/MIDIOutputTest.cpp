// The MIDI output machine and its device against a real JACK server: the
// test's own JACK client plays the sound module and checks every byte.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

#include "framework/ControlBuffer.h"
#include "framework/Error.h"
#include "framework/Port.h"
#include "host/CorvHost.h"
#include "machines/MIDIDevices.h"
#include "machines/MIDIOutput.h"
#include "machines/MIDIOutputDevice.h"
#include "framework/LittleEndian.h"
#include "tests/drivers/jack/WaitUntil.h"
#include "tests/machines/JackMidiRig.h"

using machines_test::Message;
using machines_test::MidiMessage;

namespace {

constexpr int kBlock = 256;

class MIDIOutputOnJack : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(rig.Ready()) << rig.Why();
        devices = std::make_unique<CMIDIDevices>(platform::midi::MidiApi::Jack);
        module = devices->FindOutput(rig.ModulePort().c_str());
        ASSERT_GE(module, 0) << rig.ModulePort();
    }
    void TearDown() override { devices.reset(); }

    /// One block: the events into "Control In", then Work.
    static void Block(CMIDIOutput& output, const std::vector<ControlEvent>& events)
    {
        CControlBuffer* in = output.ports[CMIDIOutput::kControlIn]->control;
        in->Clear();
        for (const ControlEvent& event : events)
            in->Insert(&event);
        output.Work();
    }

    /// A controller nothing else sends, and everything that arrived up to
    /// and with it. Since messages leave in order, whatever was not there
    /// before the marker was never sent.
    std::vector<MidiMessage> UpToMarker(CMIDIOutput& output, int channel)
    {
        output.SetParameter(119, 1.0);
        Block(output, {});
        std::vector<MidiMessage> all;
        for (int round = 0; round < 50; ++round) {
            for (const MidiMessage& message : rig.Take(1, std::chrono::milliseconds(100)))
                all.push_back(message);
            if (!all.empty() && all.back() == Message(static_cast<std::uint8_t>(0xB0 + channel), 119, 127)) {
                all.pop_back();
                return all;
            }
        }
        ADD_FAILURE() << "the marker never arrived";
        return all;
    }

    machines_test::CJackMidiRig rig;
    CCorvHost host{kBlock, 44100, 0};
    std::unique_ptr<CMIDIDevices> devices;
    int module = -1;
};

} // namespace

TEST_F(MIDIOutputOnJack, EventsBecomeMessagesOnTheChosenChannelEachSentOnce)
{
    CMIDIOutput output(&host, devices.get());
    output.SelectDevice(module);
    output.SetChannel(5);
    EXPECT_EQ(devices->Output(module)->OpenCount(), 1);
    ASSERT_TRUE(jack_test::WaitUntil([&] { return rig.ModuleConnections() == 1; }));

    Block(output, {
        MakeControlEvent(kEventNoteOn, 10, 60, 1.0, 261.6),
        MakeControlEvent(kEventNoteOff, 20, 60, 0.0),
        MakeControlEvent(kEventParameter, 30, 7, 0.5),
        MakeControlEvent(kEventParameter, 40, 128, 1.0),   // no such controller: nothing
        MakeControlEvent(kEventTriggerOn, 50, 3, 1.0),     // not a MIDI message: nothing
        MakeControlEvent(kEventNoteOn, 300, 62, 2.0),      // after this block: in the next
        MakeControlEvent(kEventNoteOn, 600, 64, -1.0),     // two blocks on
    });
    Block(output, {});
    Block(output, {});
    Block(output, {MakeControlEvent(kEventNoteOff, 0, 64, 0.0)});
    Block(output, {});

    const std::vector<MidiMessage> expected = {
        Message(0x95, 60, 127), Message(0x85, 60, 0), Message(0xB5, 7, 63),
        // Velocities outside 0 .. 1 are held at the ends: a data byte of 128
        // or more would read as a status byte.
        Message(0x95, 62, 127), Message(0x95, 64, 0), Message(0x85, 64, 0),
    };
    EXPECT_EQ(UpToMarker(output, 5), expected);
    EXPECT_EQ(output.Scheduler().SentCount(), 7);
}

TEST_F(MIDIOutputOnJack, TheControllerParametersSendInTheNextBlock)
{
    CMIDIOutput output(&host, devices.get());
    output.SelectDevice(module);
    ASSERT_TRUE(jack_test::WaitUntil([&] { return rig.ModuleConnections() == 1; }));
    EXPECT_EQ(output.parameterCount, 128);
    output.SetParameter(10, 0.25);
    output.SetParameter(127, 1.0);
    output.SetParameter(128, 1.0);   // outside: ignored
    EXPECT_EQ(output.GetParameter(10), 0.25);
    EXPECT_EQ(output.GetParameter(128), 0.0);
    Block(output, {});
    Block(output, {});   // each change is sent once
    EXPECT_EQ(UpToMarker(output, 0), (std::vector<MidiMessage>{Message(0xB0, 10, 31), Message(0xB0, 127, 127)}));

    char text[32];
    output.GetParameterName(10, text);
    EXPECT_STREQ(text, "CC 10");
    output.FormatParameter(10, 0.5, text);
    EXPECT_STREQ(text, "63");
    output.FormatParameter(10, 2.0, text);
    EXPECT_STREQ(text, "254");
    output.FormatParameter(10, -1.0, text);
    EXPECT_STREQ(text, "129");   // -127 modulo 256
    output.FormatParameter(10, 1e300, text);   // no undefined conversion
    EXPECT_STREQ(text, "64");    // 1000000 modulo 256
}

TEST_F(MIDIOutputOnJack, WithoutADeviceEventsAreDroppedAndTheDeviceClosesWithTheLastMachine)
{
    MIDIOutputDevice* device = devices->Output(module);
    auto first = std::make_unique<CMIDIOutput>(&host, devices.get());
    auto second = std::make_unique<CMIDIOutput>(&host, devices.get());
    Block(*first, {MakeControlEvent(kEventNoteOn, 0, 1, 1.0)});   // no device yet
    first->SelectDevice(module);
    second->SelectDevice(module);
    EXPECT_EQ(device->OpenCount(), 2);
    ASSERT_TRUE(jack_test::WaitUntil([&] { return rig.ModuleConnections() == 1; }));
    Block(*second, {MakeControlEvent(kEventNoteOn, 0, 2, 1.0)});
    first->SelectDevice(-1);
    EXPECT_EQ(device->OpenCount(), 1);
    Block(*first, {MakeControlEvent(kEventNoteOn, 0, 3, 1.0)});   // dropped again
    EXPECT_EQ(UpToMarker(*second, 0), (std::vector<MidiMessage>{Message(0x90, 2, 127)}));
    second.reset();
    EXPECT_EQ(device->OpenCount(), 0);
    try {
        device->Write(0x90, 1, 1);
        ADD_FAILURE() << "wrote to a closed device";
    } catch (const CError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "MIDIOutputDevice[" + rig.ModulePort() + "]::Write() Called But Device Is Not Open");
    }
}

TEST_F(MIDIOutputOnJack, StateIsDevicePositionAndChannel)
{
    CMIDIOutput output(&host, devices.get());
    std::vector<unsigned char> block(8);
    WriteLittleEndian32(block.data(), module);
    WriteLittleEndian32(block.data() + 4, 15);
    output.LoadState(block.data(), 8, false);
    EXPECT_EQ(output.DevicePosition(), module);
    EXPECT_EQ(output.GetChannel(), 15);

    void* data = nullptr;
    int length = 0;
    bool hostFormat = true;
    output.SaveState(&data, &length, &hostFormat);
    ASSERT_EQ(length, 8);
    EXPECT_FALSE(hostFormat);
    EXPECT_EQ(ReadLittleEndianInt32(static_cast<unsigned char*>(data)), module);
    EXPECT_EQ(ReadLittleEndianInt32(static_cast<unsigned char*>(data) + 4), 15);
    std::free(data);

    WriteLittleEndian32(block.data(), -1);
    output.LoadState(block.data(), 9, false);   // ignored
    EXPECT_EQ(output.DevicePosition(), module);
    WriteLittleEndian32(block.data() + 4, 16);      // no such channel: kept
    output.LoadState(block.data(), 8, false);
    EXPECT_EQ(output.DevicePosition(), -1);
    EXPECT_EQ(output.GetChannel(), 15);
    EXPECT_EQ(devices->Output(module)->OpenCount(), 0);
}
