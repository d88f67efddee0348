// CVSTAdapter around the test plug-ins, loaded through the real scanner
// and the real dynamic loader: ports, creation order, the host callback,
// events, audio, parameters, programs, state, and the library's lifetime.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <filesystem>
#include <thread>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/Port.h"
#include "framework/StateBlock.h"
#include "plugins/vst/VSTAdapter.h"
#include "plugins/vst/VSTAdapterInfo.h"
#include "plugins/vst/VSTAdapterList.h"
#include "plugins/vst/VSTHostCallback.h"
#include "project/ProjectCommands.h"
#include "tests/sequencing/SequencingRig.h"
#include "tests/vst/VstTestSupport.h"

using host_test::ScratchFolder;
using namespace vst_test;

namespace {

class VSTAdapterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"StereoEffect", "OneToFour", "TestSynth", "ChunkKeeper", "RejectsEvents"})
            CopyTestPlugin(name, folder);
        ScanInto(folder, scratch / "cache.json", rig.host.get(), rig.registry.get());
    }

    CVSTAdapter* Create(const std::string& name)
    {
        CVSTAdapterInfo* info = FindType(*rig.registry, name);
        EXPECT_NE(info, nullptr) << name;
        return info != nullptr ? static_cast<CVSTAdapter*>(info->CreateMachine()) : nullptr;
    }

    static std::vector<std::string> PortNames(CMachine* machine)
    {
        std::vector<std::string> names;
        for (int i = 0; i < machine->portCount; ++i)
            names.push_back(machine->ports[i]->name + std::string(machine->ports[i]->Is(kPortStereo) ? " (stereo)" : ""));
        return names;
    }

    ScratchFolder scratch;
    std::string folder = scratch / "vst";
    sequencing_test::CSequencingRig rig{64};
};

} // namespace

TEST(VSTAdapterInfo, IdentifierTakesTheLowFourBitsOfTheBytesStoredProjectsUse)
{
    EXPECT_EQ(CVSTAdapterInfo::MakeIdentifier(0x41424344), std::string("VST::\x04\x04\x02\x01"));
    // A zero first value ends the identifier at once.
    EXPECT_EQ(CVSTAdapterInfo::MakeIdentifier(0x12345670), "VST::");
    EXPECT_EQ(CVSTAdapterInfo::MakeIdentifier(0x0F0F00FF), std::string("VST::\x0f\x0f\x0f\x0f"));
    EXPECT_EQ(CVSTAdapterInfo::MakeIdentifier(0x00000021), std::string("VST::\x01\x02"));
    // The extension goes, never a letter of the name.
    EXPECT_EQ(CVSTAdapterInfo::DisplayNameOf("Kars-vst.so"), "Kars-vst");
    EXPECT_EQ(CVSTAdapterInfo::DisplayNameOf("a.b.so"), "a.b");
    EXPECT_EQ(CVSTAdapterInfo::DisplayNameOf("so"), "so");
}

TEST_F(VSTAdapterTest, PortsFollowTheChannelCountsAndTheMidiAnswer)
{
    CVSTAdapter* stereo = Create("StereoEffect");
    CVSTAdapter* oneToFour = Create("OneToFour");
    CVSTAdapter* synth = Create("TestSynth");
    ASSERT_TRUE(stereo && oneToFour && synth);
    EXPECT_EQ(PortNames(stereo), (std::vector<std::string>{"Line In 1 (stereo)", "Line Out 1 (stereo)"}));
    EXPECT_EQ(PortNames(oneToFour),
              (std::vector<std::string>{"Line In 1", "Line Out 1", "Line Out 2", "Line Out 3", "Line Out 4"}));
    // It answers 0 to "receiveVstMidiEvent" but is a synth.
    EXPECT_EQ(PortNames(synth), (std::vector<std::string>{"Control In", "Line Out 1 (stereo)"}));
    EXPECT_TRUE(synth->ports[0]->Is(kPortControl | kPortInput));
    EXPECT_TRUE(synth->IsInstrument());
    EXPECT_FALSE(stereo->IsInstrument());
    EXPECT_EQ(stereo->parameterCount, 4);
    EXPECT_EQ(stereo->programCount, 2);
    for (CMachine* machine : {static_cast<CMachine*>(stereo), static_cast<CMachine*>(oneToFour),
                              static_cast<CMachine*>(synth)})
        ReleaseMachine(machine);
}

TEST_F(VSTAdapterTest, CreationDispatchesInOrderAndTheEntryCallIsAnswered)
{
    CVSTAdapter* adapter = Create("StereoEffect");
    ASSERT_NE(adapter, nullptr);
    TestPluginProbe* probe = ProbeOf(folder + "/StereoEffect.so");
    ASSERT_NE(probe, nullptr);
    const std::vector<int> first(probe->opcodes, probe->opcodes + 6);
    EXPECT_EQ(first, (std::vector<int>{vst::effSetSampleRate, vst::effSetBlockSize, vst::effOpen, vst::effSetPanLaw,
                                       vst::effMainsChanged, vst::effStartProcess}));
    EXPECT_EQ(probe->sampleRate, 44100.0f);
    EXPECT_EQ(probe->blockSize, 64);
    // Asked before the instance existed.
    EXPECT_EQ(probe->entryVersion, 2400);
    EXPECT_EQ(probe->entrySampleRate, 44100);
    EXPECT_EQ(probe->entryBlockSize, 64);
    EXPECT_STREQ(probe->entryVendor, "Mossgrove");
    ASSERT_NE(probe->directory, nullptr);
    EXPECT_EQ(std::string(probe->directory), folder + "/");

    vst::AEffect* effect = adapter->Effect();
    char canDo[] = "sendVstTimeInfo";
    char cannot[] = "offline";
    EXPECT_EQ(effect->resvd1, reinterpret_cast<std::intptr_t>(adapter));
    EXPECT_EQ(VSTHostCallback(effect, vst::audioMasterCanDo, 0, 0, canDo, 0), 1);
    EXPECT_EQ(VSTHostCallback(effect, vst::audioMasterCanDo, 0, 0, cannot, 0), 0);
    EXPECT_EQ(VSTHostCallback(effect, vst::audioMasterTempoAt, 0, 0, nullptr, 0), 1400000);
    ReleaseMachine(adapter);
}

TEST_F(VSTAdapterTest, NotesBecomeMidiEventsWithTruncatedVelocity)
{
    CVSTAdapter* synth = Create("TestSynth");
    ASSERT_NE(synth, nullptr);
    CControlBuffer* in = synth->ports[0]->control;
    const ControlEvent on = MakeControlEvent(kEventNoteOn, 5, 60, 1.0, 261.6);
    const ControlEvent half = MakeControlEvent(kEventNoteOn, 9, 64, 0.5, 329.6);
    const ControlEvent parameter = MakeControlEvent(kEventParameter, 10, 1, 0.3);
    const ControlEvent off = MakeControlEvent(kEventNoteOff, 20, 60, 0.0);
    for (const ControlEvent* event : {&on, &half, &parameter, &off})
        in->Insert(event);
    synth->Work();

    TestPluginProbe* probe = ProbeOf(folder + "/TestSynth.so");
    ASSERT_NE(probe, nullptr);
    ASSERT_EQ(probe->eventCount, 3);
    const unsigned char expected[3][3] = {{0x90, 60, 127}, {0x90, 64, 63}, {0x80, 60, 0}};
    const int deltas[3] = {5, 9, 20};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(probe->events[i].type, vst::kVstMidiType);
        EXPECT_EQ(probe->events[i].byteSize, 24);
        EXPECT_EQ(probe->events[i].deltaFrames, deltas[i]);
        EXPECT_EQ(std::memcmp(probe->events[i].data, expected[i], 3), 0) << "event " << i;
    }
    EXPECT_EQ(in->Count(), 0);
    // The synth plays: its outputs reach the port, widened.
    EXPECT_EQ(synth->ports[1]->audio->left[0], 0.5);
    EXPECT_EQ(synth->ports[1]->audio->right[63], 0.5);
    ReleaseMachine(synth);
}

TEST_F(VSTAdapterTest, APlugInThatRejectsEventsGetsNoMoreUntilItAsks)
{
    CVSTAdapter* adapter = Create("RejectsEvents");
    ASSERT_NE(adapter, nullptr);
    ASSERT_STREQ(host_test::Unpacked(adapter->ports[0]->name), "Control In");
    TestPluginProbe* probe = ProbeOf(folder + "/RejectsEvents.so");
    const ControlEvent on = MakeControlEvent(kEventNoteOn, 0, 60, 1.0);
    CControlBuffer* in = adapter->ports[0]->control;
    in->Insert(&on);
    adapter->Work();
    EXPECT_FALSE(adapter->WantsMidi());
    in->Insert(&on);
    adapter->Work();
    EXPECT_EQ(probe->processEventsCalls, 1);
    EXPECT_EQ(in->Count(), 0);   // discarded, not piled up
    EXPECT_EQ(VSTHostCallback(adapter->Effect(), vst::audioMasterWantMidi, 0, 0, nullptr, 0), 1);
    in->Insert(&on);
    adapter->Work();
    EXPECT_EQ(probe->processEventsCalls, 2);
    ReleaseMachine(adapter);
}

TEST_F(VSTAdapterTest, AudioGoesThroughAlignedFloatBuffersAndTimeIsAnsweredWithoutLocks)
{
    CVSTAdapter* adapter = Create("OneToFour");
    ASSERT_NE(adapter, nullptr);
    adapter->SetParameter(0, 0.5);
    EXPECT_EQ(adapter->GetParameter(0), 0.5);
    double* input = adapter->ports[0]->audio->left;
    for (int s = 0; s < 64; ++s)
        input[s] = 0.1 * s - 3.0;
    adapter->Work();
    for (int o = 0; o < 4; ++o) {
        const double* output = adapter->ports[1 + o]->audio->left;
        for (int s = 0; s < 64; ++s)
            ASSERT_EQ(output[s], static_cast<double>(static_cast<float>(input[s]) * 0.5f * static_cast<float>(o + 1)))
                << "output " << o << " sample " << s;
    }
    TestPluginProbe* probe = ProbeOf(folder + "/OneToFour.so");
    EXPECT_EQ(probe->timeFlags, vst::kVstTempoValid | vst::kVstTimeSigValid);
    EXPECT_EQ(probe->tempo, 140.0);
    EXPECT_EQ(probe->timeSigNumerator, 1);
    EXPECT_EQ(probe->timeSigDenominator, 4);

    // A new block length: new buffers, the plug-in told.
    rig.studio->Lock().Lock();
    rig.studio->SetBlockSize(256);
    rig.studio->Lock().Unlock();
    adapter->ResizePortBuffers(256);
    adapter->SetBlockSize(256);
    EXPECT_EQ(probe->blockSize, 256);
    adapter->ports[0]->audio->left[255] = 1.0;
    adapter->Work();
    EXPECT_EQ(adapter->ports[4]->audio->left[255], 2.0);
    ReleaseMachine(adapter);
}

TEST_F(VSTAdapterTest, ParametersProgramsAndTheirTexts)
{
    CVSTAdapter* adapter = Create("StereoEffect");
    ASSERT_NE(adapter, nullptr);
    char text[256];
    adapter->GetParameterName(0, text);
    EXPECT_STREQ(text, "Gain");
    adapter->FormatCurrentParameter(0, text);
    EXPECT_STREQ(text, "0.50dB");
    adapter->GetProgramNameIndexed(0, text);
    EXPECT_STREQ(text, "First");
    adapter->GetProgramNameIndexed(1, text);
    EXPECT_STREQ(text, "");
    // Narrowed to the plug-in's float.
    adapter->SetParameter(1, 0.1);
    EXPECT_EQ(adapter->GetParameter(1), static_cast<double>(0.1f));
    EXPECT_EQ(adapter->GetParameter(7), 0.0);
    ReleaseMachine(adapter);
}

TEST_F(VSTAdapterTest, ChunkStateIsSavedWithFlagZeroAndHandedBackUnchanged)
{
    CVSTAdapter* adapter = Create("ChunkKeeper");
    ASSERT_NE(adapter, nullptr);
    void* data = nullptr;
    int length = 0;
    bool hostFormat = true;
    adapter->SaveState(&data, &length, &hostFormat);
    const unsigned char chunk[] = {'c', 'h', 'u', 'n', 'k', 0, 1, 2, 3, 0xfe, 0xff};
    EXPECT_FALSE(hostFormat);
    ASSERT_EQ(length, static_cast<int>(sizeof chunk));
    EXPECT_EQ(std::memcmp(data, chunk, sizeof chunk), 0);
    TestPluginProbe* probe = ProbeOf(folder + "/ChunkKeeper.so");
    EXPECT_EQ(probe->getChunkIndex, 1);

    adapter->LoadState(data, length, false);
    EXPECT_EQ(probe->setChunkIndex, 1);
    ASSERT_EQ(probe->setChunkSize, length);
    EXPECT_EQ(std::memcmp(probe->setChunk, chunk, sizeof chunk), 0);
    std::free(data);
    ReleaseMachine(adapter);
}

TEST_F(VSTAdapterTest, ParameterStateUsesTheHostBlockAndReadsTheOldForm)
{
    CVSTAdapter* adapter = Create("StereoEffect");
    ASSERT_NE(adapter, nullptr);
    adapter->SetParameter(0, 0.75);
    void* data = nullptr;
    int length = 0;
    bool hostFormat = false;
    adapter->SaveState(&data, &length, &hostFormat);
    EXPECT_TRUE(hostFormat);
    const std::vector<double> values = DecodeStateBlock(data, length);
    EXPECT_EQ(std::memcmp(data, "46HP", 4), 0);
    EXPECT_EQ(values, (std::vector<double>{0.75, 0.25, 0.5, 0.0}));
    std::free(data);

    // "hPvC": a count and 32-bit floats.
    unsigned char old[8 + 2 * 4];
    std::memcpy(old, "hPvC", 4);
    const std::int32_t count = 2;
    const float floats[2] = {0.125f, 0.375f};
    std::memcpy(old + 4, &count, 4);
    std::memcpy(old + 8, floats, 8);
    adapter->LoadState(old, sizeof old, true);
    EXPECT_EQ(adapter->GetParameter(0), 0.125);
    EXPECT_EQ(adapter->GetParameter(1), 0.375);
    // Shorter than a header: ignored.
    adapter->LoadState("46HP\x01", 5, true);
    EXPECT_EQ(adapter->GetParameter(0), 0.125);
    ReleaseMachine(adapter);
}

TEST_F(VSTAdapterTest, TheLibraryAndTheIdleThreadLiveExactlyWhileInstancesExist)
{
    CVSTAdapterInfo* info = FindType(*rig.registry, "StereoEffect");
    ASSERT_NE(info, nullptr);
    EXPECT_FALSE(info->IsLibraryLoaded());
    EXPECT_FALSE(vst_adapters::IdleThreadRunning());
    CMachine* first = info->CreateMachine();
    CMachine* second = info->CreateMachine();
    EXPECT_EQ(info->InstanceCount(), 2);
    EXPECT_TRUE(info->IsLibraryLoaded());
    EXPECT_TRUE(vst_adapters::IdleThreadRunning());
    EXPECT_EQ(vst_adapters::Count(), 2);
    ReleaseMachine(first);
    EXPECT_TRUE(info->IsLibraryLoaded());
    ReleaseMachine(second);
    EXPECT_FALSE(info->IsLibraryLoaded());
    EXPECT_EQ(vst_adapters::Count(), 0);
    EXPECT_FALSE(vst_adapters::IdleThreadRunning());
}

TEST_F(VSTAdapterTest, AVanishedPlugInGivesAMessageAndAProjectNamingItLoadsTheRest)
{
    CMachineContainer* effect = rig.Add(CVSTAdapterInfo::MakeIdentifier(0x41424344).c_str(), "Effect", 100, 100);
    ASSERT_NE(effect, nullptr);
    effect->machine->SetParameter(0, 0.25);
    CMachineContainer* synth = rig.Add(CVSTAdapterInfo::MakeIdentifier(0x53594e31).c_str(), "Synth", 10, 10);
    ASSERT_NE(synth, nullptr);
    rig.studio->Connect(synth->connectors[1], effect->connectors[0]);
    rig.studio->Connect(effect->connectors[1], rig.studio->MasterContainer()->connectors[0]);
    const std::string file = scratch / "vst.cvx";
    SaveProjectAs(*rig.project, file);

    // Read back while the plug-ins exist: the same parameter, the cables.
    {
        sequencing_test::CSequencingRig loaded{64};
        ScanInto(folder, scratch / "cache.json", loaded.host.get(), loaded.registry.get());
        OpenProject(*loaded.project, file);
        EXPECT_TRUE(loaded.reports.empty());
        ASSERT_EQ(loaded.studio->Containers().size(), 3u);
    }

    // A type registered by an earlier scan whose file is gone since.
    CVSTAdapterInfo gone(rig.host.get(), "Gone.so", folder + "/", folder + "/Gone.so", VSTEntryKind::PluginMain, 7);
    testing::internal::CaptureStderr();
    EXPECT_EQ(gone.CreateMachine(), nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(gone.LastLoadError().find(folder + "/Gone.so"), std::string::npos) << gone.LastLoadError();
    EXPECT_NE(said.find("VST PlugIn 'Gone' could not be loaded"), std::string::npos) << said;
    EXPECT_EQ(gone.InstanceCount(), 0);

    std::filesystem::remove(folder + "/StereoEffect.so");
    sequencing_test::CSequencingRig loaded{64};
    ScanInto(folder, scratch / "cache.json", loaded.host.get(), loaded.registry.get());
    OpenProject(*loaded.project, file);
    ASSERT_EQ(loaded.reports.size(), 1u);
    EXPECT_NE(loaded.reports[0].find("\"Effect\""), std::string::npos) << loaded.reports[0];
    EXPECT_EQ(loaded.studio->Containers().size(), 2u);   // the master and the synth
}

TEST_F(VSTAdapterTest, TheIdleThreadGivesIdleTimeUntilThePlugInDeclines)
{
    CVSTAdapter* adapter = Create("StereoEffect");
    ASSERT_NE(adapter, nullptr);
    TestPluginProbe* probe = ProbeOf(folder + "/StereoEffect.so");
    // Asked for in effOpen; effIdle answers 1 twice, then 0, which ends it.
    for (int waited = 0; waited < 200 && adapter->NeedsIdle(); ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(adapter->NeedsIdle());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(probe->idleCalls, 3);
    ReleaseMachine(adapter);
}

TEST_F(VSTAdapterTest, TheSfzPlayerStartsWithItsFourthParameterAtTheMiddle)
{
    CopyTestPlugin("StereoEffect", scratch / "sfz", "sfz.so");
    ScanInto(scratch / "sfz", scratch / "cache.json", rig.host.get(), rig.registry.get());
    CVSTAdapter* sfz = Create("sfz");
    CVSTAdapter* other = Create("StereoEffect");
    ASSERT_TRUE(sfz && other);
    EXPECT_EQ(sfz->GetParameter(3), 0.5);
    EXPECT_EQ(other->GetParameter(3), 0.0);
    ReleaseMachine(sfz);
    ReleaseMachine(other);
}

TEST(VSTProjects, PlugInsSharingAnIdentifierComeBackAsTheTypeTheirNameCarries)
{
    // Identifiers keep 16 bits of the unique ID; Debian's MaFreeverb and
    // MaGigaverb share one. Two copies of one plug-in stand in for them.
    ScratchFolder scratch;
    const std::string folder = scratch / "vst";
    CopyTestPlugin("StereoEffect", folder, "Alpha.so");
    CopyTestPlugin("StereoEffect", folder, "Alpha Beta.so");
    const std::string file = scratch / "twins.cvx";
    {
        sequencing_test::CSequencingRig rig{64};
        ScanInto(folder, scratch / "cache.json", rig.host.get(), rig.registry.get());
        CVSTAdapterInfo* second = FindType(*rig.registry, "Alpha Beta");
        ASSERT_NE(second, nullptr);
        ASSERT_STREQ(second->identifier, FindType(*rig.registry, "Alpha")->identifier);
        ASSERT_NE(rig.studio->CreateMachine(second, 10, 10), nullptr);
        ASSERT_NE(rig.studio->CreateMachine(FindType(*rig.registry, "Alpha"), 10, 10), nullptr);
        SaveProjectAs(*rig.project, file);
    }
    sequencing_test::CSequencingRig loaded{64};
    ScanInto(folder, scratch / "cache.json", loaded.host.get(), loaded.registry.get());
    OpenProject(*loaded.project, file);
    ASSERT_EQ(loaded.studio->Containers().size(), 3u);
    EXPECT_STREQ(loaded.studio->Containers()[1]->descriptor->name, "Alpha Beta");
    EXPECT_STREQ(loaded.studio->Containers()[2]->descriptor->name, "Alpha");
}
