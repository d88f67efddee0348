// The MIDI input machine and its device against a real JACK server: the
// test's own JACK client plays the keyboard.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "framework/ControlBuffer.h"
#include "framework/Error.h"
#include "framework/Port.h"
#include "host/CorvHost.h"
#include "machines/MIDIDevices.h"
#include "machines/MIDIInput.h"
#include "machines/MIDIInputDevice.h"
#include "framework/LittleEndian.h"
#include "platform/Clock.h"
#include "tests/drivers/jack/WaitUntil.h"
#include "tests/machines/JackMidiRig.h"

using machines_test::Message;

namespace {

constexpr int kBlock = 256;

class MIDIInputOnJack : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(rig.Ready()) << rig.Why();
        devices = std::make_unique<CMIDIDevices>(platform::midi::MidiApi::Jack);
        keyboard = devices->FindInput(rig.KeyboardPort().c_str());
        ASSERT_GE(keyboard, 0) << rig.KeyboardPort();
    }
    void TearDown() override { devices.reset(); }

    /// Runs blocks, as fast as the engine would on a loaded machine, until
    /// count events have left the machine or the bound has passed.
    static std::vector<ControlEvent> Collect(CMIDIInput& input, std::size_t count,
                                             std::chrono::milliseconds bound = std::chrono::seconds(5))
    {
        std::vector<ControlEvent> events;
        CControlBuffer* out = input.ports[CMIDIInput::kControlOut]->control;
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (events.size() < count && std::chrono::steady_clock::now() < deadline) {
            out->Clear();
            input.Work();
            for (int i = 0; i < out->Count(); ++i)
                events.push_back(*out->At(i));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return events;
    }

    machines_test::CJackMidiRig rig;
    CCorvHost host{kBlock, 44100, 0};
    std::unique_ptr<CMIDIDevices> devices;
    int keyboard = -1;
};

} // namespace

TEST_F(MIDIInputOnJack, NotesAndControllersBecomeEventsEightyMillisecondsAfterArrival)
{
    CMIDIInput input(&host, devices.get());
    input.SelectDevice(keyboard);
    EXPECT_EQ(input.DevicePosition(), keyboard);
    EXPECT_EQ(devices->Input(keyboard)->OpenCount(), 1);
    ASSERT_TRUE(jack_test::WaitUntil([&] { return rig.KeyboardConnections() == 1; }));

    const std::int64_t sentAt = platform::QueryPerformanceCounter();
    rig.Send({Message(0x90, 60, 127), Message(0x90, 60, 0), Message(0x85, 62, 64), Message(0xB3, 7, 127),
              Message(0xBF, 10, 0), Message(0xE0, 0, 64), Message(0x90, 64, 1)});
    const std::vector<ControlEvent> events = Collect(input, 6);
    const std::int64_t seenAt = platform::QueryPerformanceCounter();
    ASSERT_EQ(events.size(), 6u);

    double frequency60 = 0.0;
    host.GetNoteFrequency(60, &frequency60);
    EXPECT_EQ(events[0].type, kEventNoteOn);
    EXPECT_EQ(events[0].index, 60);
    EXPECT_DOUBLE_EQ(events[0].value, 1.0);
    EXPECT_EQ(events[0].frequency, frequency60);
    // Velocity 0 is a note-off; played within one sample of its on, it
    // comes a sample later, so that it cannot end the note before it starts.
    EXPECT_EQ(events[1].type, kEventNoteOff);
    EXPECT_EQ(events[1].index, 60);
    EXPECT_GT(events[1].time + 0LL, events[0].time + 0LL);
    EXPECT_EQ(events[2].type, kEventNoteOff);
    EXPECT_EQ(events[2].index, 62);
    EXPECT_EQ(events[3].type, kEventParameter);
    EXPECT_EQ(events[3].index, 7);
    EXPECT_DOUBLE_EQ(events[3].value, 1.0);
    EXPECT_EQ(events[4].type, kEventParameter);
    EXPECT_EQ(events[4].index, 10);
    EXPECT_EQ(events[4].value, 0.0);
    EXPECT_EQ(events[5].type, kEventNoteOn);   // pitch bend in between: not for this machine
    EXPECT_DOUBLE_EQ(events[5].value, 1.0 / 127.0);
    for (const ControlEvent& event : events) {
        EXPECT_GE(event.time, 0);
        EXPECT_LT(event.time, kBlock);
        // Stamped at arrival, after the peer sent and before the machine
        // gave it out.
        const std::int64_t stamp = event.stamp;
        EXPECT_GT(stamp, sentAt);
        EXPECT_LT(stamp, seenAt);
    }
    // Held for the latency: no event leaves before 80 ms after it was sent,
    // less the one block that places it inside.
    const std::int64_t heldNanoseconds = seenAt - sentAt;
    EXPECT_GE(heldNanoseconds, 80'000'000 - 1'000'000'000LL * kBlock / 44100);
    EXPECT_EQ(input.DroppedMessages(), 0);
}

TEST_F(MIDIInputOnJack, ChannelFilterTakesOneChannelOrAll)
{
    CMIDIInput input(&host, devices.get());
    input.SelectDevice(keyboard);
    input.SetChannel(2);   // "Channel 3"
    ASSERT_TRUE(jack_test::WaitUntil([&] { return rig.KeyboardConnections() == 1; }));
    rig.Send({Message(0x93, 1, 100), Message(0x92, 2, 100), Message(0xB1, 3, 5), Message(0xB2, 4, 5),
              Message(0x82, 2, 0), Message(0x80, 5, 0)});
    std::vector<ControlEvent> events = Collect(input, 3);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].index, 2);
    EXPECT_EQ(events[1].index, 4);
    EXPECT_EQ(events[2].index, 2);
    EXPECT_EQ(events[2].type, kEventNoteOff);

    input.SetChannel(CMIDIInput::kAllChannels);
    rig.Send({Message(0x93, 1, 100), Message(0x9F, 2, 100), Message(0xB0, 3, 5)});
    events = Collect(input, 3);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].index, 1);
    EXPECT_EQ(events[1].index, 2);
    EXPECT_EQ(events[2].index, 3);

    input.SetChannel(16);   // no such channel: the filter stays as it was
    EXPECT_EQ(input.GetChannel(), CMIDIInput::kAllChannels);
}

TEST_F(MIDIInputOnJack, TwoMachinesOnOneDeviceBothHearItAndItClosesWhenBothLetGo)
{
    MIDIInputDevice* device = devices->Input(keyboard);
    auto first = std::make_unique<CMIDIInput>(&host, devices.get());
    auto second = std::make_unique<CMIDIInput>(&host, devices.get());
    first->SelectDevice(keyboard);
    second->SelectDevice(keyboard);
    EXPECT_EQ(device->OpenCount(), 2);
    EXPECT_EQ(device->HookCount(), 2);
    ASSERT_TRUE(jack_test::WaitUntil([&] { return rig.KeyboardConnections() == 1; }));

    rig.Send({Message(0x90, 70, 90)});
    EXPECT_EQ(Collect(*first, 1).size(), 1u);
    EXPECT_EQ(Collect(*second, 1).size(), 1u);

    first->SelectDevice(-1);
    EXPECT_EQ(device->OpenCount(), 1);
    EXPECT_EQ(rig.KeyboardConnections(), 1);   // still open for the second
    rig.Send({Message(0x90, 71, 90)});
    const std::vector<ControlEvent> heard = Collect(*second, 1);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].index, 71);
    EXPECT_TRUE(Collect(*first, 1, std::chrono::milliseconds(150)).empty());

    second.reset();   // destruction lets go too
    EXPECT_EQ(device->OpenCount(), 0);
    EXPECT_EQ(device->HookCount(), 0);
    EXPECT_TRUE(jack_test::WaitUntil([&] { return rig.KeyboardConnections() == 0; }));
}

TEST_F(MIDIInputOnJack, StateIsDevicePositionAndChannelInEightBytes)
{
    CMIDIInput input(&host, devices.get());
    std::vector<unsigned char> block(8);
    WriteLittleEndian32(block.data(), keyboard);
    WriteLittleEndian32(block.data() + 4, 9);
    input.LoadState(block.data(), 8, false);
    EXPECT_EQ(input.DevicePosition(), keyboard);
    EXPECT_EQ(input.GetChannel(), 9);
    EXPECT_EQ(devices->Input(keyboard)->OpenCount(), 1);

    void* data = nullptr;
    int length = 0;
    bool hostFormat = true;
    input.SaveState(&data, &length, &hostFormat);
    ASSERT_EQ(length, 8);
    EXPECT_FALSE(hostFormat);
    EXPECT_EQ(ReadLittleEndianInt32(static_cast<unsigned char*>(data)), keyboard);
    EXPECT_EQ(ReadLittleEndianInt32(static_cast<unsigned char*>(data) + 4), 9);
    std::free(data);

    // Another length is ignored; a position outside the list detaches.
    WriteLittleEndian32(block.data(), -1);
    input.LoadState(block.data(), 7, false);
    EXPECT_EQ(input.DevicePosition(), keyboard);
    WriteLittleEndian32(block.data(), devices->InputCount());
    WriteLittleEndian32(block.data() + 4, -1);
    input.LoadState(block.data(), 8, false);
    EXPECT_EQ(input.DevicePosition(), -1);
    EXPECT_EQ(input.GetChannel(), -1);
    EXPECT_EQ(devices->Input(keyboard)->OpenCount(), 0);
}

TEST_F(MIDIInputOnJack, DeviceErrorsCarryTheirMessages)
{
    MIDIInputDevice* device = devices->Input(keyboard);
    auto hook = [](void*, std::uint8_t, std::uint8_t, std::uint8_t) {};
    device->AddHook(hook, this);
    try {
        device->AddHook(hook, this);
        ADD_FAILURE() << "a second AddHook of one pair";
    } catch (const CError& error) {
        EXPECT_STREQ(error.what(), "AddHook: Hook Already Added");
    }
    device->RemoveHook(hook, this);
    try {
        device->RemoveHook(hook, this);
        ADD_FAILURE() << "RemoveHook of a pair not there";
    } catch (const CError& error) {
        EXPECT_STREQ(error.what(), "RemoveHook: Not Found");
    }
    device->Close();   // not open: nothing
    EXPECT_EQ(device->OpenCount(), 0);

    // A port that went away after the lists were made cannot be opened; the
    // machine stays, without a device.
    const std::string gone = rig.AddSecondKeyboard();
    CMIDIDevices later(platform::midi::MidiApi::Jack);
    const int position = later.FindInput(gone.c_str());
    ASSERT_GE(position, 0);
    rig.RemoveSecondKeyboard();
    CMIDIInput input(&host, &later);
    try {
        input.SelectDevice(position);
        ADD_FAILURE() << "opened a port that is gone";
    } catch (const CError& error) {
        EXPECT_EQ(std::string(error.what()), "midiInOpen For Device <" + gone + "> Failed With Error Code 0x2");
    }
    EXPECT_EQ(input.Device(), nullptr);
    EXPECT_EQ(later.Input(position)->HookCount(), 0);
    // From a project, the same failure is kept for the command to show.
    std::vector<unsigned char> block(8);
    WriteLittleEndian32(block.data(), position);
    input.LoadState(block.data(), 8, false);
    EXPECT_EQ(input.DeviceError(), "midiInOpen For Device <" + gone + "> Failed With Error Code 0x2");
}
