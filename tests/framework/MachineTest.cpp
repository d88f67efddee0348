// The default behaviour CMachine gives every machine: parameters, programs,
// names, port buffers and deletion.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/Machine.h"
#include "tests/framework/TestHost.h"
#include "tests/framework/TestMachine.h"
#include "tests/framework/Unpacked.h"

namespace {

using Side = ParameterCall::Side;

/// Text an out-buffer operation writes, starting from a buffer full of 'x'
/// so that writing nothing is told apart from writing "".
template <typename Operation>
std::string Written(Operation operation)
{
    char out[128];
    std::memset(out, 'x', sizeof out);
    out[sizeof out - 1] = '\0';
    operation(out);
    return out;
}

TEST(Machine, ConstructionLeavesEverythingEmptyButTheHost)
{
    CTestHost host;
    CBareMachine machine(&host);
    EXPECT_EQ(Unpacked(machine.host), &host);
    EXPECT_EQ(Unpacked(machine.ports), nullptr);
    EXPECT_EQ(machine.portCount, 0);
    EXPECT_EQ(machine.parameterCount, 0);
    EXPECT_EQ(machine.programCount, 0);
    EXPECT_EQ(machine.currentProgram, 0);
    EXPECT_EQ(machine.triggerCount, 0);
    EXPECT_EQ(Unpacked(machine.container), nullptr);
    EXPECT_EQ(Unpacked(machine.reservedPointer), nullptr);
    EXPECT_EQ(machine.reserved, 0);
    EXPECT_EQ(Unpacked(machine.name), nullptr);
    EXPECT_EQ(Unpacked(machine.programs), nullptr);
    EXPECT_EQ(machine.updateDepth, 0);
    EXPECT_FALSE(machine.IsLocked());
}

TEST(Machine, DefaultsAnswerNothing)
{
    CTestHost host;
    CBareMachine machine(&host);
    machine.parameterCount = 4;
    EXPECT_EQ(machine.GetParameter(2), 0.0);
    EXPECT_EQ(Written([&](char* out) { machine.GetParameterName(1, out); }), "");
    EXPECT_EQ(Written([&](char* out) { machine.FormatParameter(1, 0.5, out); }), "");
    EXPECT_EQ(Written([&](char* out) { machine.FormatCurrentParameter(1, out); }), "");
    EXPECT_EQ(Written([&](char* out) { machine.GetNoteName(60, out); }), "");
    EXPECT_EQ(Written([&](char* out) { machine.GetProgramName(out); }), "");
    EXPECT_EQ(Written([&](char* out) { machine.GetProgramNameIndexed(0, out); }), "");
    std::int16_t top = 7, left = 7, bottom = 7, right = 7;
    EXPECT_FALSE(machine.GetEditorRect(&top, &left, &bottom, &right));
    EXPECT_EQ(machine.CreateEditor(nullptr), nullptr);
    EXPECT_EQ(machine.GetProgram(), 0);
    EXPECT_EQ(machine.GetName(), nullptr);
    // No programs: setting a parameter or a program name has nowhere to go.
    machine.SetParameter(0, 1.0);
    machine.SetProgramName("ignored");
    machine.SetProgram(0);
    EXPECT_EQ(machine.updateDepth, 0);
}

TEST(Machine, SetParameterStoresIntoTheCurrentProgramOnlyInRange)
{
    CTestHost host;
    CTestMachine machine(&host, 2);
    machine.MakePrograms({{0.1, 0.2}, {0.3, 0.4}});
    machine.currentProgram = 1;
    machine.SetParameter(1, 0.9);
    EXPECT_EQ(machine.programs[1]->values[1], 0.9);
    EXPECT_EQ(machine.programs[0]->values[1], 0.2);

    machine.SetParameter(-1, 5.0);
    machine.SetParameter(2, 5.0);
    EXPECT_EQ(machine.programs[1]->values[0], 0.3);
    EXPECT_EQ(machine.programs[1]->values[1], 0.9);

    // A selected program that does not exist takes nothing.
    machine.currentProgram = 2;
    machine.SetParameter(0, 7.0);
    machine.currentProgram = -1;
    machine.SetParameter(0, 7.0);
    EXPECT_EQ(machine.programs[0]->values[0], 0.1);
    EXPECT_EQ(machine.programs[1]->values[0], 0.3);
}

TEST(Machine, SetParameterNotifyTellsTheHostFirst)
{
    CTestHost host;
    CTestMachine machine(&host, 3);
    machine.SetParameterNotify(2, 0.625);
    const std::vector<ParameterCall> expected{{Side::Host, &machine, 2, 0.625}, {Side::Machine, &machine, 2, 0.625}};
    EXPECT_EQ(host.calls, expected);
    EXPECT_EQ(machine.values[2], 0.625);
}

TEST(Machine, FormatCurrentParameterFormatsTheCurrentValue)
{
    class CFormattingMachine : public CBareMachine {
    public:
        using CBareMachine::CBareMachine;
        double GetParameter(int index) override { return index * 0.25; }
        void FormatParameter(int index, double value, char* out) override
        {
            std::sprintf(out, "%d=%g", index, value);
        }
    };
    CTestHost host;
    CFormattingMachine machine(&host);
    machine.parameterCount = 8;
    EXPECT_EQ(Written([&](char* out) { machine.FormatCurrentParameter(3, out); }), "3=0.75");
}

TEST(Machine, SetProgramAppliesItsValuesInsideOneUpdate)
{
    CTestHost host;
    CTestMachine machine(&host, 3);
    machine.MakePrograms({{0.1, 0.2, 0.3}, {0.7, 0.8, 0.9}});
    machine.SetProgram(1);
    EXPECT_EQ(machine.GetProgram(), 1);
    EXPECT_EQ(machine.values, (std::vector<double>{0.7, 0.8, 0.9}));
    ASSERT_EQ(machine.sets.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const CTestMachine::SetCall& set = machine.sets[static_cast<std::size_t>(i)];
        EXPECT_EQ(set.index, i);
        EXPECT_EQ(set.updateDepth, 1) << "outside Begin/EndParameterUpdate";
        EXPECT_EQ(set.currentProgram, 1) << "program selected after its values";
    }
    EXPECT_EQ(machine.updateDepth, 0);
    // Applying a program leaves the programs as they were.
    EXPECT_EQ(machine.programs[0]->values[0], 0.1);
    EXPECT_EQ(machine.programs[1]->values[2], 0.9);
}

TEST(Machine, SetProgramOutOfRangeChangesNothing)
{
    CTestHost host;
    CTestMachine machine(&host, 1);
    machine.MakePrograms({{0.5}});
    machine.SetProgram(1);
    machine.SetProgram(-1);
    EXPECT_EQ(machine.GetProgram(), 0);
    EXPECT_TRUE(machine.sets.empty());
    EXPECT_EQ(machine.updateDepth, 0);
}

TEST(Machine, ShortProgramSetsOnlyTheValuesItHas)
{
    CTestHost host;
    CTestMachine machine(&host, 3);
    machine.values = {1.0, 1.0, 1.0};
    machine.MakePrograms({{0.25}});
    machine.SetProgram(0);
    EXPECT_EQ(machine.values, (std::vector<double>{0.25, 1.0, 1.0}));
}

TEST(Machine, ProgramNames)
{
    CTestHost host;
    CTestMachine machine(&host, 1);
    machine.MakePrograms({{0.0}, {0.0}, {0.0}});
    machine.currentProgram = 1;
    EXPECT_EQ(Written([&](char* out) { machine.GetProgramName(out); }), "Preset 1");
    machine.SetProgramName("Warm Pad");
    EXPECT_EQ(Written([&](char* out) { machine.GetProgramName(out); }), "Warm Pad");
    EXPECT_EQ(Written([&](char* out) { machine.GetProgramNameIndexed(1, out); }), "Warm Pad");
    EXPECT_EQ(Written([&](char* out) { machine.GetProgramNameIndexed(2, out); }), "Preset 2");
    EXPECT_EQ(Written([&](char* out) { machine.GetProgramNameIndexed(3, out); }), "");
    EXPECT_EQ(Written([&](char* out) { machine.GetProgramNameIndexed(-1, out); }), "");

    // A name longer than the record is cut, still terminated.
    const std::string longName(200, 'n');
    machine.SetProgramName(longName.c_str());
    EXPECT_EQ(Written([&](char* out) { machine.GetProgramName(out); }),
              std::string(CProgramRecord::kNameLength - 1, 'n'));
    EXPECT_EQ(Written([&](char* out) { machine.GetProgramNameIndexed(2, out); }), "Preset 2");
}

TEST(Machine, SetNameKeepsACopyAndReplacesTheOld)
{
    CTestHost host;
    CBareMachine machine(&host);
    char name[] = "KV Synth 1";
    machine.SetName(name);
    std::strcpy(name, "changed");
    EXPECT_STREQ(machine.GetName(), "KV Synth 1");
    EXPECT_NE(machine.GetName(), name);
    machine.SetName("Master");
    EXPECT_STREQ(machine.GetName(), "Master");
    EXPECT_EQ(machine.GetName(), Unpacked(machine.name));
    // Renaming to the current name: the text is read before the old copy
    // is freed.
    machine.SetName(machine.GetName());
    EXPECT_STREQ(machine.GetName(), "Master");
}

TEST(Machine, ResizePortBuffersResizesEveryAudioPort)
{
    CTestHost host;
    host.blockSize = 256;
    CTestMachine machine(&host, 0);
    machine.MakePorts({0x111, 0x12, 0x22, 0x21});
    ControlEvent event = MakeControlEvent(kEventNoteOn, 3, 60, 1.0);
    machine.ports[1]->control->Insert(&event);
    machine.ports[0]->audio->left[0] = 1.0;

    machine.ResizePortBuffers(1024);
    EXPECT_EQ(machine.ports[0]->audio->length, 1024);
    EXPECT_TRUE(machine.ports[0]->audio->stereo);
    EXPECT_EQ(machine.ports[0]->audio->left[0], 0.0);
    machine.ports[0]->audio->right[1025] = 1.0;   // the new size, spare samples and all
    EXPECT_EQ(machine.ports[3]->audio->length, 1024);
    EXPECT_EQ(Unpacked(machine.ports[1]->audio), nullptr);
    EXPECT_EQ(machine.ports[1]->control->Count(), 1);
}

TEST(Machine, ReleaseDeletesTheMachine)
{
    CTestHost host;
    bool destroyed = false;
    auto* machine = new CBareMachine(&host);
    machine->destroyed = &destroyed;
    machine->SetName("gone");
    machine->programs = new CProgramRecord*[2]{};   // the base frees the array
    machine->programCount = 2;
    machine->Release();
    EXPECT_TRUE(destroyed);

    destroyed = false;
    machine = new CBareMachine(&host);
    machine->destroyed = &destroyed;
    ReleaseMachine(machine);
    EXPECT_TRUE(destroyed);
    ReleaseMachine(nullptr);
}

TEST(Machine, DestroyedWhileLocked)
{
    // Closing a project can delete a machine its worker left locked.
    CTestHost host;
    auto* machine = new CBareMachine(&host);
    machine->Lock();
    EXPECT_TRUE(machine->IsLocked());
    machine->Release();
}

} // namespace
