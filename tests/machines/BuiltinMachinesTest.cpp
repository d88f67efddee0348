// The seven built-in types: registered first and in their order, each
// creating its machine with the ports its cables expect, with or without
// the services the application supplies.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/Port.h"
#include "machines/BuiltinMachines.h"
#include "host/CorvHost.h"
#include "host/MachineRegistry.h"
#include "machines/HDRecorder.h"
#include "machines/HDTrack.h"
#include "machines/HDTrackMachine.h"
#include "machines/MIDIDevices.h"
#include "machines/MIDIInput.h"
#include "tests/drivers/jack/JackTestLock.h"
#include "tests/drivers/jack/JackTestServer.h"
#include "tests/machines/ProgramRun.h"

namespace {

struct Expected {
    const char* name;
    const char* identifier;
    std::vector<std::pair<std::int32_t, const char*>> ports;
};

const std::vector<Expected> kBuiltins = {
    {"Master", "Master", {{0x111, "Line In"}}},
    {"KV Arpeggiator", "CorvPlug::KV Arpeggiator", {{0x12, "Control In"}, {0x22, "Control Out"}}},
    {"KV ControlChange Mapper", "CorvPlug::KV ControlChange Mapper", {{0x12, "Control In"}, {0x22, "Control Out"}}},
    {"KV HD Recorder Track (Mono)", "CorvPlug::KV HD Recorder Track (Mono)", {{0x11, "Line In"}, {0x21, "Line Out"}}},
    {"KV HD Recorder Track (Stereo)", "CorvPlug::KV HD Recorder Track (Stereo)",
     {{0x111, "Line In"}, {0x121, "Line Out"}}},
    {"KV MIDI Input", "CorvPlug::KV MIDI Input", {{0x22, "Control Out"}}},
    {"KV MIDI Output", "CorvPlug::KV MIDI Output", {{0x12, "Control In"}}},
};

struct MachineDeleter {
    void operator()(CMachine* machine) const { ReleaseMachine(machine); }
};

void ExpectTheSevenInOrder(CCorvHost& host, CMachineRegistry& registry)
{
    ASSERT_EQ(registry.Count(), 7);
    for (int i = 0; i < 7; ++i) {
        const Expected& expected = kBuiltins[static_cast<std::size_t>(i)];
        CMachineInfo* info = registry.At(i).descriptor;
        EXPECT_STREQ(info->name, expected.name);
        EXPECT_STREQ(info->identifier, expected.identifier);
        EXPECT_EQ(registry.At(i).library, "");
        std::unique_ptr<CMachine, MachineDeleter> machine(registry.CreateByIdentifier(expected.identifier));
        ASSERT_NE(machine, nullptr) << expected.name;
        CHost* machineHost = machine->host;
        EXPECT_EQ(machineHost, &host);
        ASSERT_EQ(machine->portCount, static_cast<int>(expected.ports.size())) << expected.name;
        for (int p = 0; p < machine->portCount; ++p) {
            EXPECT_EQ(machine->ports[p]->flags, expected.ports[static_cast<std::size_t>(p)].first) << expected.name;
            EXPECT_STREQ(machine->ports[p]->name, expected.ports[static_cast<std::size_t>(p)].second);
        }
        EXPECT_FALSE(machine->IsInstrument()) << expected.name;
    }
}

} // namespace

TEST(BuiltinMachines, SevenTypesInOrderWithoutTheApplicationsServices)
{
    CCorvHost host(256, 44100, 0);
    CMachineRegistry registry;
    host.SetRegistry(&registry);
    RegisterBuiltinMachines(host, registry);
    ExpectTheSevenInOrder(host, registry);
    // A track without a panel still keeps a row, so a project's file names
    // survive a round trip through a program that shows none.
    std::unique_ptr<CMachine, MachineDeleter> track(registry.CreateByName("KV HD Recorder Track (Stereo)"));
    EXPECT_NE(static_cast<CHDTrackMachine*>(track.get())->Row(), nullptr);
    host.SetRegistry(nullptr);
}

TEST(BuiltinMachines, WithTheServicesTracksJoinThePanelAndMidiMachinesSeeTheLists)
{
    jack_test::CJackTestLock lock;
    ASSERT_TRUE(lock.IsHeld());
    // No server under this name: empty lists, and nothing printed.
    jack_test::PointJackNowhere();
    CMIDIDevices devices(platform::midi::MidiApi::Jack);
    EXPECT_EQ(devices.InputCount(), 0);
    EXPECT_EQ(devices.OutputCount(), 0);
    CHDRecorder recorder;

    CCorvHost host(256, 44100, 0);
    CMachineRegistry registry;
    host.SetRegistry(&registry);
    RegisterBuiltinMachines(host, registry, BuiltinMachineServices{&devices, &recorder});
    ExpectTheSevenInOrder(host, registry);
    {
        std::unique_ptr<CMachine, MachineDeleter> mono(registry.CreateByName("KV HD Recorder Track (Mono)"));
        std::unique_ptr<CMachine, MachineDeleter> stereo(registry.CreateByName("KV HD Recorder Track (Stereo)"));
        EXPECT_EQ(recorder.RowCount(), 2);
        EXPECT_FALSE(recorder.Row(0)->IsStereo());
        EXPECT_TRUE(recorder.Row(1)->IsStereo());
        std::unique_ptr<CMachine, MachineDeleter> input(registry.CreateByName("KV MIDI Input"));
        static_cast<CMIDIInput*>(input.get())->SelectDevice(0);   // nothing to choose
        EXPECT_EQ(static_cast<CMIDIInput*>(input.get())->Device(), nullptr);
    }
    EXPECT_EQ(recorder.RowCount(), 0);
    host.SetRegistry(nullptr);
}

TEST(BuiltinMachines, TheProgramListsTheSevenFirst)
{
    const machines_test::ProgramRun run = machines_test::RunProgram({CORVANE_PROGRAM, "--list-machines", "--quiet"});
    ASSERT_EQ(run.exitCode, 0);
    std::istringstream lines(run.out);
    for (const Expected& expected : kBuiltins) {
        std::string line;
        ASSERT_TRUE(std::getline(lines, line)) << expected.name;
        EXPECT_EQ(line, std::string(expected.name) + "\t" + expected.identifier + "\tbuilt-in");
    }
}
