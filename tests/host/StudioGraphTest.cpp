// The graph-editing rules: which cables the connect rule makes, cycles,
// disconnecting, deleting machines, naming new ones, Randomize, the master's
// inputs and the propagation of audio format changes.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "framework/Connection.h"
#include "framework/Error.h"
#include "framework/HostMutex.h"
#include "host/Master.h"
#include "platform/Random.h"
#include "tests/host/TestMachines.h"

using namespace engine_test;

namespace {

constexpr int kBlock = 256;

int CableCount(const CConnector* input)
{
    return static_cast<int>(input->connections.size());
}

} // namespace

// --- Connect rule ---

TEST(ConnectRule, RefusesWhatDoesNotFit)
{
    CEngineStudio engine(kBlock);
    auto* gain = engine.Add<CGain>("Gain", false, false, 1.0);
    auto* other = engine.Add<CGain>("Other", false, false, 1.0);
    auto* events = engine.Add<CControlProbe>("Events");
    auto* emitter = engine.Add<CControlSource>("Emitter");
    CConnector* gainIn = engine.ConnectorOf(gain, 0);
    CConnector* gainOut = engine.ConnectorOf(gain, 1);
    CConnector* otherIn = engine.ConnectorOf(other, 0);
    CConnector* otherOut = engine.ConnectorOf(other, 1);

    EXPECT_EQ(engine.studio->Connect(nullptr, gainIn), nullptr);
    EXPECT_EQ(engine.studio->Connect(gainOut, nullptr), nullptr);
    EXPECT_EQ(engine.studio->Connect(gainOut, gainIn), nullptr) << "same machine";
    EXPECT_EQ(engine.studio->Connect(gainOut, engine.ConnectorOf(events, 0)), nullptr) << "audio to control";
    EXPECT_EQ(engine.studio->Connect(engine.ConnectorOf(emitter, 0), otherIn), nullptr) << "control to audio";
    EXPECT_EQ(engine.studio->Connect(gainOut, otherOut), nullptr) << "output to output";
    EXPECT_EQ(engine.studio->Connect(gainIn, otherIn), nullptr) << "input to input";

    for (const CMachineContainer* container : engine.studio->Containers()) {
        for (const CConnector* connector : container->connectors) {
            EXPECT_TRUE(connector->connections.empty());
            EXPECT_EQ(connector->incoming, 0);
            EXPECT_EQ(connector->outgoing, 0);
        }
    }
}

TEST(ConnectRule, MakesOneCableFromOutputToInputInEitherDragDirection)
{
    CEngineStudio engine(kBlock);
    auto* source = engine.Add<CConstantSource>("Source", false, 1.0);
    auto* probe = engine.Add<CProbe>("Probe", false);
    CConnector* out = engine.ConnectorOf(source, 0);
    CConnector* in = engine.ConnectorOf(probe, 0);

    // Dragged from the input to the output: still output to input.
    CConnection* cable = engine.studio->Connect(in, out, 0.5);
    ASSERT_NE(cable, nullptr);
    EXPECT_EQ(cable->source, out);
    EXPECT_EQ(cable->target, in);
    EXPECT_EQ(cable->volume, 0.5);
    EXPECT_EQ(cable->gain, 0.5);
    EXPECT_EQ(in->incoming, 1);
    EXPECT_EQ(out->outgoing, 1);

    // The same cable dragged again, either way, leaves one.
    EXPECT_EQ(engine.studio->Connect(out, in), nullptr);
    EXPECT_EQ(engine.studio->Connect(in, out), nullptr);
    EXPECT_EQ(CableCount(in), 1);
    EXPECT_EQ(in->incoming, 1);
    EXPECT_EQ(out->outgoing, 1);

    // Control ports connect by the same rule.
    auto* emitter = engine.Add<CControlSource>("Emitter");
    auto* events = engine.Add<CControlProbe>("Events");
    EXPECT_NE(engine.Connect(emitter, 0, events, 0), nullptr);
}

TEST(ConnectRule, DisconnectRemovesOneCableAndKeepsTheOthersInOrder)
{
    CEngineStudio engine(kBlock);
    auto* a = engine.Add<CConstantSource>("A", false, 1.0);
    auto* b = engine.Add<CConstantSource>("B", false, 1.0);
    auto* c = engine.Add<CConstantSource>("C", false, 1.0);
    auto* probe = engine.Add<CProbe>("Probe", false);
    CConnector* in = engine.ConnectorOf(probe, 0);
    ASSERT_NE(engine.Connect(a, 0, probe, 0), nullptr);
    ASSERT_NE(engine.Connect(b, 0, probe, 0), nullptr);
    ASSERT_NE(engine.Connect(c, 0, probe, 0), nullptr);

    engine.studio->Disconnect(in, 1);
    ASSERT_EQ(CableCount(in), 2);
    EXPECT_EQ(in->connections[0]->source, engine.ConnectorOf(a, 0));
    EXPECT_EQ(in->connections[1]->source, engine.ConnectorOf(c, 0));
    EXPECT_EQ(in->incoming, 2);
    EXPECT_EQ(engine.ConnectorOf(b, 0)->outgoing, 0);

    for (int bad : {-1, 2, 100}) {
        try {
            engine.studio->Disconnect(in, bad);
            ADD_FAILURE() << "index " << bad << " accepted";
        } catch (const CError& error) {
            EXPECT_STREQ(error.what(), "Index Out Of Bounds");
        }
    }
    EXPECT_EQ(CableCount(in), 2);
    // The studio lock is not left held by the failed call.
    EXPECT_FALSE(engine.studio->Lock().IsLocked());
}

// --- Cycles ---

TEST(ConnectCycles, RefusesACableThatClosesACycle)
{
    CEngineStudio engine(kBlock);
    auto* a = engine.Add<CGain>("A", false, false, 1.0);
    auto* b = engine.Add<CGain>("B", false, false, 1.0);
    auto* c = engine.Add<CGain>("C", false, false, 1.0);
    ASSERT_NE(engine.Connect(a, 1, b, 0), nullptr);
    EXPECT_EQ(engine.Connect(b, 1, a, 0), nullptr) << "A -> B -> A";
    ASSERT_NE(engine.Connect(b, 1, c, 0), nullptr);
    EXPECT_EQ(engine.Connect(c, 1, a, 0), nullptr) << "A -> B -> C -> A";
    EXPECT_EQ(CableCount(engine.ConnectorOf(a, 0)), 0);
    EXPECT_EQ(engine.ConnectorOf(c, 1)->outgoing, 0);

    // Not a cycle: two paths from A that meet again.
    auto* d = engine.Add<CGain>("D", false, false, 1.0);
    ASSERT_NE(engine.Connect(a, 1, d, 0), nullptr);
    ASSERT_NE(engine.Connect(c, 1, d, 0), nullptr);
    ASSERT_NE(engine.ConnectToMaster(d, 1), nullptr);
    // And the graph still renders.
    engine.RenderQuietly(2);
    EXPECT_EQ(a->workCount, 2);
    EXPECT_EQ(d->workCount, 2);
}

TEST(ConnectCycles, SendLoopIsAllowedButAReturnFedFromTheNormalOutputIsNot)
{
    // Through the send: the send is read as it stands and never requested.
    {
        CEngineStudio engine(kBlock);
        auto* mixer = engine.Add<CSendReturnMixer>("Mixer");
        auto* effect = engine.Add<CGain>("Effect", false, false, 0.5);
        ASSERT_NE(engine.Connect(mixer, 1, effect, 0), nullptr);
        EXPECT_NE(engine.Connect(effect, 1, mixer, 2), nullptr);
        // The other way round too.
        auto* mixer2 = engine.Add<CSendReturnMixer>("Mixer 2");
        auto* effect2 = engine.Add<CGain>("Effect 2", false, false, 0.5);
        ASSERT_NE(engine.Connect(effect2, 1, mixer2, 2), nullptr);
        EXPECT_NE(engine.Connect(mixer2, 1, effect2, 0), nullptr);
    }
    // Through the normal output: the second stage asks the effect, which
    // would ask the mixer.
    {
        CEngineStudio engine(kBlock);
        auto* mixer = engine.Add<CSendReturnMixer>("Mixer");
        auto* effect = engine.Add<CGain>("Effect", false, false, 0.5);
        ASSERT_NE(engine.Connect(mixer, 3, effect, 0), nullptr);
        EXPECT_EQ(engine.Connect(effect, 1, mixer, 2), nullptr);

        auto* mixer2 = engine.Add<CSendReturnMixer>("Mixer 2");
        auto* effect2 = engine.Add<CGain>("Effect 2", false, false, 0.5);
        ASSERT_NE(engine.Connect(effect2, 1, mixer2, 2), nullptr);
        EXPECT_EQ(engine.Connect(mixer2, 3, effect2, 0), nullptr);
        EXPECT_EQ(CableCount(engine.ConnectorOf(effect2, 0)), 0);
    }
}

// --- Delete Machine ---

TEST(DeleteMachine, DropsItsCablesBothWaysAndTheGraphStillRenders)
{
    // Declared before the studio, whose own end calls the hook too.
    std::vector<CMachineContainer*> deleted;
    bool lockHeldInHook = false;
    CEngineStudio engine(kBlock);
    CStudio* studio = engine.studio.get();
    studio->AddDeleteHook([&deleted, &lockHeldInHook, studio](CMachineContainer* container) {
        deleted.push_back(container);
        lockHeldInHook = studio->Lock().IsLockedByCaller();
    });
    auto* source = engine.Add<CConstantSource>("Source", false, 1.0);
    auto* middle = engine.Add<CGain>("Middle", false, false, 1.0);
    auto* other = engine.Add<CConstantSource>("Other", false, 0.5);
    ASSERT_NE(engine.Connect(source, 0, middle, 0), nullptr);
    ASSERT_NE(engine.ConnectToMaster(middle, 1), nullptr);
    ASSERT_NE(engine.ConnectToMaster(other, 0), nullptr);
    engine.RenderQuietly(1);

    CMachineContainer* container = engine.ContainerOf(middle);
    ASSERT_TRUE(engine.studio->DeleteMachine(container));
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0], container);
    EXPECT_TRUE(lockHeldInHook);
    EXPECT_EQ(engine.studio->FindByName("Middle"), nullptr);
    EXPECT_EQ(engine.studio->Containers().size(), 3u);

    EXPECT_EQ(engine.ConnectorOf(source, 0)->outgoing, 0);
    CConnector* master = engine.MasterInput();
    ASSERT_EQ(CableCount(master), 1);
    EXPECT_EQ(master->connections[0]->source, engine.ConnectorOf(other, 0));
    EXPECT_EQ(master->incoming, 1);

    engine.RenderQuietly(2);
    EXPECT_EQ(source->workCount, 3);   // unreached now, still processed
    // Deleting it again, or something never placed, changes nothing.
    EXPECT_FALSE(engine.studio->DeleteMachine(container));
    EXPECT_FALSE(engine.studio->DeleteMachine(nullptr));
}

TEST(DeleteMachine, TheMasterCannotBeDeleted)
{
    CEngineStudio engine(kBlock);
    auto* source = engine.Add<CConstantSource>("Source", false, 1.0);
    ASSERT_NE(engine.ConnectToMaster(source, 0), nullptr);
    CMachineContainer* master = engine.studio->MasterContainer();
    ASSERT_NE(master, nullptr);
    EXPECT_EQ(master->GetName(), "Master");
    EXPECT_EQ(master->x, CStudio::kMasterX);
    EXPECT_EQ(master->y, CStudio::kMasterY);

    EXPECT_FALSE(engine.studio->DeleteMachine(master));
    EXPECT_EQ(engine.studio->MasterContainer(), master);
    EXPECT_EQ(engine.studio->FindByName("Master"), master);
    EXPECT_EQ(CableCount(engine.MasterInput()), 1);

    // The command goes by the instance name.
    CMachineContainer* renamed = engine.ContainerOf(source);
    renamed->SetName("Master");
    EXPECT_FALSE(engine.studio->DeleteMachine(renamed));
    renamed->SetName("Source");
    EXPECT_TRUE(engine.studio->DeleteMachine(renamed));
    EXPECT_EQ(CableCount(engine.MasterInput()), 0);
}

// --- New Machine ---

TEST(NewMachine, NamesWithTheSmallestFreeNumberAndClampsThePosition)
{
    CEngineStudio engine(kBlock);
    CCorvHost* host = &engine.host;
    CTestInfo tone("Tone", [host] { return new CConstantSource(host, false, 0.0); });

    CMachineContainer* first = engine.studio->CreateMachine(&tone, 40, 50);
    CMachineContainer* second = engine.studio->CreateMachine(&tone, -5, -7);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->GetName(), "Tone 1");
    EXPECT_STREQ(first->machine->GetName(), "Tone 1");
    EXPECT_EQ(first->descriptor, &tone);
    EXPECT_EQ(first->x, 40);
    EXPECT_EQ(first->y, 50);
    EXPECT_EQ(second->GetName(), "Tone 2");
    EXPECT_EQ(second->x, 0);
    EXPECT_EQ(second->y, 0);

    ASSERT_TRUE(engine.studio->DeleteMachine(first));
    CMachineContainer* refill = engine.studio->CreateMachine(&tone, 10, -1);
    EXPECT_EQ(refill->GetName(), "Tone 1");
    EXPECT_EQ(refill->x, 10);
    EXPECT_EQ(refill->y, 0);
    // A user's rename takes a number out of use.
    refill->SetName("Tone 3");
    EXPECT_EQ(engine.studio->CreateMachine(&tone, 0, 0)->GetName(), "Tone 1");
    EXPECT_EQ(engine.studio->CreateMachine(&tone, 0, 0)->GetName(), "Tone 4");
    // Other types count separately.
    CTestInfo noise("Noise", [host] { return new CConstantSource(host, false, 0.0); });
    EXPECT_EQ(engine.studio->CreateMachine(&noise, 0, 0)->GetName(), "Noise 1");
    EXPECT_EQ(engine.studio->CreateMachine(nullptr, 0, 0), nullptr);
    engine.studio->Clear();   // before the descriptors go
}

// --- Randomize ---

TEST(Randomize, SetsEveryParameterToAFloatInsideOneUpdate)
{
    CEngineStudio engine(kBlock);
    auto* machine = engine.Add<CEngineMachine>("Knobs", std::initializer_list<PortSpec>{}, 40);
    CMachineContainer* container = engine.ContainerOf(machine);

    platform::SeedRandom(12345);
    ASSERT_TRUE(engine.studio->Randomize(container));
    EXPECT_EQ(machine->updateDepth, 0);
    ASSERT_EQ(machine->parameterSets.size(), 40u);
    platform::SeedRandom(12345);
    bool someDiffer = false;
    for (int i = 0; i < 40; ++i) {
        const CEngineMachine::ParameterSet& set = machine->parameterSets[static_cast<std::size_t>(i)];
        EXPECT_EQ(set.index, i);
        EXPECT_EQ(set.updateDepth, 1) << i;
        EXPECT_TRUE(set.locked) << i;
        EXPECT_GE(set.value, 0.0);
        EXPECT_LE(set.value, 1.0);
        EXPECT_EQ(set.value, static_cast<double>(static_cast<float>(set.value))) << i;
        // rand() / 32767 in single precision, in parameter order.
        const float expected = static_cast<float>(platform::Random()) / 32767.0f;
        EXPECT_EQ(set.value, static_cast<double>(expected)) << i;
        someDiffer = someDiffer || set.value != machine->parameterSets[0].value;
    }
    EXPECT_TRUE(someDiffer);
    EXPECT_FALSE(machine->IsLocked());

    // The same seed repeats the same values.
    const std::vector<double> firstValues = machine->values;
    platform::SeedRandom(12345);
    ASSERT_TRUE(engine.studio->Randomize(container));
    EXPECT_EQ(machine->values, firstValues);
}

TEST(Randomize, RefusedForAMachineWithoutParameters)
{
    CEngineStudio engine(kBlock);
    auto* machine = engine.Add<CEngineMachine>("Plain", std::initializer_list<PortSpec>{}, 0);
    EXPECT_FALSE(engine.studio->Randomize(engine.ContainerOf(machine)));
    EXPECT_TRUE(machine->parameterSets.empty());
    EXPECT_FALSE(engine.studio->Randomize(nullptr));
}

// --- Master inputs ---

TEST(MasterInputs, FollowTheDriversChannelCount)
{
    CEngineStudio engine(kBlock);
    auto* source = engine.Add<CConstantSource>("Source", true, 0.5, 0.5);
    CMachine* master = engine.studio->MasterContainer()->machine;
    ASSERT_EQ(master->portCount, 1);
    EXPECT_EQ(master->ports[0]->flags, 0x111);
    EXPECT_STREQ(master->ports[0]->name, "Line In");
    ASSERT_NE(engine.ConnectToMaster(source, 0), nullptr);

    // Stereo again: nothing changes, the cable stays.
    EXPECT_FALSE(engine.studio->UpdateMasterInputs());
    EXPECT_EQ(CableCount(engine.MasterInput()), 1);

    engine.host.SetOutputChannelCount(1);
    EXPECT_TRUE(engine.studio->UpdateMasterInputs());
    ASSERT_EQ(master->portCount, 1);
    EXPECT_EQ(master->ports[0]->flags, 0x11);
    EXPECT_STREQ(master->ports[0]->name, "Line In");
    ASSERT_EQ(engine.studio->MasterContainer()->connectors.size(), 1u);
    EXPECT_EQ(engine.MasterInput()->port, master->ports[0]);
    EXPECT_EQ(CableCount(engine.MasterInput()), 0);
    EXPECT_EQ(engine.ConnectorOf(source, 0)->outgoing, 0);
    EXPECT_FALSE(engine.studio->UpdateMasterInputs());

    engine.host.SetOutputChannelCount(4);
    EXPECT_TRUE(engine.studio->UpdateMasterInputs());
    ASSERT_EQ(master->portCount, 4);
    ASSERT_EQ(engine.studio->MasterContainer()->connectors.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(master->ports[i]->flags, 0x11);
        EXPECT_EQ(std::string(master->ports[i]->name), "Channel " + std::to_string(i + 1));
        EXPECT_EQ(engine.MasterInput(i)->port, master->ports[i]);
    }
    ASSERT_NE(engine.ConnectToMaster(source, 0, 3), nullptr);
    EXPECT_FALSE(engine.studio->UpdateMasterInputs());
    EXPECT_EQ(CableCount(engine.MasterInput(3)), 1);

    engine.host.SetOutputChannelCount(2);
    EXPECT_TRUE(engine.studio->UpdateMasterInputs());
    ASSERT_EQ(master->portCount, 1);
    EXPECT_EQ(master->ports[0]->flags, 0x111);
    EXPECT_EQ(engine.ConnectorOf(source, 0)->outgoing, 0);

    engine.host.SetOutputChannelCount(0);
    EXPECT_TRUE(engine.studio->UpdateMasterInputs());
    EXPECT_EQ(master->portCount, 0);
    EXPECT_TRUE(engine.studio->MasterContainer()->connectors.empty());
}

// --- Audio format and idle propagation ---

TEST(StudioFormat, SampleRateAndBlockSizeReachEveryMachineUnderItsLock)
{
    CHostMutex patternLock;
    CEngineStudio engine(kBlock);
    engine.studio->SetPatternLock(&patternLock);
    int playerRate = 0;
    bool playerLocked = false;
    engine.studio->SetPlayerSampleRateHook([&](int rate) {
        playerRate = rate;
        playerLocked = patternLock.IsLocked();
    });
    auto* source = engine.Add<CConstantSource>("Source", true, 1.0, 1.0);
    auto* gain = engine.Add<CGain>("Gain", false, true, 1.0);
    auto* knobs = engine.Add<CEngineMachine>("Knobs", std::initializer_list<PortSpec>{}, 3);

    engine.studio->SetSampleRate(48000);
    EXPECT_EQ(playerRate, 48000);
    EXPECT_TRUE(playerLocked);
    EXPECT_FALSE(patternLock.IsLocked());
    for (CEngineMachine* machine : {static_cast<CEngineMachine*>(source), static_cast<CEngineMachine*>(gain),
                                    static_cast<CEngineMachine*>(knobs)}) {
        EXPECT_EQ(machine->sampleRate, 48000);
        EXPECT_TRUE(machine->formatCallsLocked);
    }

    engine.studio->SetBlockSize(512);
    for (CEngineMachine* machine : {static_cast<CEngineMachine*>(source), static_cast<CEngineMachine*>(gain),
                                    static_cast<CEngineMachine*>(knobs)}) {
        EXPECT_EQ(machine->blockSize, 512);
        EXPECT_TRUE(machine->formatCallsLocked);
        EXPECT_FALSE(machine->IsLocked());
    }
    // Buffers are resized before the machine hears the new size.
    EXPECT_EQ(source->portLengthAtSetBlockSize, 512);
    EXPECT_EQ(gain->portLengthAtSetBlockSize, 512);
    EXPECT_EQ(source->Audio(0).length, 512);
    EXPECT_NE(source->Audio(0).right, nullptr);
    EXPECT_EQ(gain->Audio(0).length, 512);
    EXPECT_EQ(gain->Audio(1).length, 512);
    CMachine* master = engine.studio->MasterContainer()->machine;
    EXPECT_EQ(master->ports[0]->audio->length, 512);
    EXPECT_FALSE(engine.studio->Lock().IsLocked());
    engine.studio->SetPatternLock(nullptr);
}

TEST(StudioFormat, IdlePassReachesEveryMachine)
{
    CEngineStudio engine(kBlock);
    auto* a = engine.Add<CConstantSource>("A", false, 0.0);
    auto* b = engine.Add<CProbe>("B", false);
    engine.studio->IdlePass();
    engine.studio->IdlePass();
    EXPECT_EQ(a->idleCount, 2);
    EXPECT_EQ(b->idleCount, 2);
    EXPECT_FALSE(engine.studio->Lock().IsLocked());
}
