// CCorvHost: the note table, tempo arithmetic, the sample counter and the
// services machines and plug-in libraries reach through CHost.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "host/CorvHost.h"
#include "host/MachineRegistry.h"
#include "samples/HostBankServer.h"
#include "tests/host/HostTestSupport.h"

using host_test::CountingDescriptor;
using host_test::TaggedMachine;

namespace {

// Itanium C++ ABI: a pointer to a virtual member function holds 1 plus the
// byte offset of its vtable slot. Plug-in libraries built elsewhere call the
// host by slot, so the slot of each operation is part of the binary contract.
template <typename MemberFunction>
std::ptrdiff_t SlotOf(MemberFunction function)
{
    static_assert(sizeof(function) == 2 * sizeof(std::ptrdiff_t));
    std::ptrdiff_t raw[2];
    std::memcpy(raw, &function, sizeof raw);
    if ((raw[0] & 1) == 0)
        return -1;   // not virtual
    return (raw[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}

} // namespace

TEST(CorvHostServices, OperationsKeepTheirSlots)
{
    EXPECT_EQ(SlotOf(&CHost::RegisterMachineInfo), 0);
    EXPECT_EQ(SlotOf(&CHost::GetNoteFrequency), 1);
    EXPECT_EQ(SlotOf(&CHost::GetBankServer), 2);
    EXPECT_EQ(SlotOf(&CHost::OnParameterChanged), 3);
    EXPECT_EQ(SlotOf(&CHost::GetSampleCounter), 4);
    EXPECT_EQ(SlotOf(&CHost::GetTempo), 5);
    EXPECT_EQ(SlotOf(&CHost::GetTicksPerBeat), 6);
    EXPECT_EQ(SlotOf(&CHost::GetSamplesPerTick), 7);
    EXPECT_EQ(SlotOf(&CHost::GetSampleRate), 8);
    EXPECT_EQ(SlotOf(&CHost::GetBlockSize), 9);
    EXPECT_EQ(SlotOf(&CHost::SupportsFeature), 10);
    EXPECT_EQ(SlotOf(&CHost::GetCpuFeatures), 11);
    // The host's own class must not move them either (no destructor slot in
    // front of them).
    EXPECT_EQ(SlotOf(&CCorvHost::RegisterMachineInfo), 0);
    EXPECT_EQ(SlotOf(&CCorvHost::GetCpuFeatures), 11);
}

TEST(CorvHostServices, ConstructorArgumentsAreBlockSizeRateAndFeatures)
{
    CCorvHost host(256, 48000, 0x5);
    CHost& services = host;
    EXPECT_EQ(services.GetBlockSize(), 256);
    EXPECT_EQ(services.GetSampleRate(), 48000);
    EXPECT_EQ(services.GetCpuFeatures(), 0x5);
    EXPECT_EQ(services.GetTempo(), 140.0);
    EXPECT_EQ(services.GetTicksPerBeat(), 16.0);
    EXPECT_EQ(services.GetSampleCounter(), 0);

    host.SetAudioFormat(96000, 128);   // rate first, then block size
    EXPECT_EQ(services.GetSampleRate(), 96000);
    EXPECT_EQ(services.GetBlockSize(), 128);
}

TEST(CorvHostNotes, TableIsBuiltByRepeatedMultiplication)
{
    CCorvHost host(512, 44100, 0);
    double expected = 8.175798915636872;
    for (unsigned note = 0; note < 128; ++note) {
        double frequency = -1.0;
        ASSERT_EQ(host.GetNoteFrequency(note, &frequency), 0) << note;
        // Bit for bit: machines tuned against these exact values.
        EXPECT_EQ(frequency, expected) << "note " << note;
        expected *= 1.059463094359;
    }
}

TEST(CorvHostNotes, LandmarkNotes)
{
    CCorvHost host(512, 44100, 0);
    double frequency = 0.0;
    ASSERT_EQ(host.GetNoteFrequency(0, &frequency), 0);
    EXPECT_EQ(frequency, 8.175798915636872);

    // The ratio is 2^(1/12) to 12 digits; 69 steps stray by about 1e-8 Hz.
    ASSERT_EQ(host.GetNoteFrequency(69, &frequency), 0);
    EXPECT_NEAR(frequency, 440.0, 1e-6);

    double octaveAbove = 0.0;
    ASSERT_EQ(host.GetNoteFrequency(81, &octaveAbove), 0);
    EXPECT_NEAR(octaveAbove / frequency, 2.0, 1e-9);

    double last = 0.0;
    ASSERT_EQ(host.GetNoteFrequency(127, &last), 0);
    EXPECT_NEAR(last, 12543.853951415975, 1e-5);
}

TEST(CorvHostNotes, OutOfRangeGivesZeroAndResultTwo)
{
    CCorvHost host(512, 44100, 0);
    for (unsigned note : {128u, 129u, 1000u, 0x7fffffffu, 0xffffffffu}) {
        double frequency = 123.0;
        EXPECT_EQ(host.GetNoteFrequency(note, &frequency), 2) << note;
        EXPECT_EQ(frequency, 0.0) << note;
    }
}

TEST(CorvHostTempo, SamplesPerTickTruncates)
{
    struct Case {
        double tempo;
        double ticksPerBeat;
        int sampleRate;
        int samplesPerTick;
    };
    const Case cases[] = {
        {140, 16, 44100, 1181},    // 1181.25
        {120, 4, 48000, 6000},     // exact
        {1200, 64, 11025, 8},      // 8.61
        {133, 3, 44100, 6631},     // 6631.58: truncated, not rounded
        {1, 1, 44100, 2646000},    // the longest tick the spin controls allow
        {60, 1, 1, 1},
        {61, 1, 1, 0},             // shorter than a sample
    };
    CCorvHost host(512, 44100, 0);
    for (const Case& c : cases) {
        host.SetTempo(c.tempo);
        host.SetTicksPerBeat(c.ticksPerBeat);
        host.SetAudioFormat(c.sampleRate, 512);
        EXPECT_EQ(host.GetSamplesPerTick(), c.samplesPerTick)
            << c.tempo << " BPM, " << c.ticksPerBeat << " TPB, " << c.sampleRate << " Hz";
    }
}

TEST(CorvHostTempo, DefaultsGiveTheStartUpTick)
{
    CCorvHost host(512, 44100, 0);
    EXPECT_EQ(host.GetSamplesPerTick(), 1181);
}

TEST(CorvHostTempo, LimitedSettersKeepEveryTickMeasurable)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double wild[] = {0.0, -0.0, -1.0, -inf, inf, nan, 1e308, 5e-324, 0.5, 1e9};
    CCorvHost host(512, 44100, 0);
    for (double tempo : wild) {
        for (double ticks : wild) {
            host.SetTempoLimited(tempo);
            host.SetTicksPerBeatLimited(ticks);
            const double storedTempo = host.GetTempo();
            const double storedTicks = host.GetTicksPerBeat();
            EXPECT_GE(storedTempo, 1.0) << tempo;
            EXPECT_LE(storedTempo, 1200.0) << tempo;
            EXPECT_GE(storedTicks, 1.0) << ticks;
            EXPECT_LE(storedTicks, 64.0) << ticks;
            // Between the 1200 BPM / 64 TPB tick and the 1 BPM / 1 TPB one.
            const int samples = host.GetSamplesPerTick();
            EXPECT_GE(samples, 34) << tempo << " " << ticks;
            EXPECT_LE(samples, 2646000) << tempo << " " << ticks;
        }
    }
}

TEST(CorvHostTempo, LimitedSettersClampToTheSpinControlRange)
{
    CCorvHost host(512, 44100, 0);
    host.SetTempoLimited(0.0);
    EXPECT_EQ(host.GetTempo(), 1.0);
    host.SetTempoLimited(5000.0);
    EXPECT_EQ(host.GetTempo(), 1200.0);
    host.SetTempoLimited(133.5);   // in range: stored as given, not rounded
    EXPECT_EQ(host.GetTempo(), 133.5);

    host.SetTicksPerBeatLimited(-3.0);
    EXPECT_EQ(host.GetTicksPerBeat(), 1.0);
    host.SetTicksPerBeatLimited(65.0);
    EXPECT_EQ(host.GetTicksPerBeat(), 64.0);
    host.SetTicksPerBeatLimited(24.0);
    EXPECT_EQ(host.GetTicksPerBeat(), 24.0);
}

TEST(CorvHostSampleCounter, AccumulatesAndWrapsLikeA32BitCounter)
{
    CCorvHost host(512, 44100, 0);
    for (int block = 0; block < 10; ++block)
        host.AdvanceSampleCounter(512);
    EXPECT_EQ(host.GetSampleCounter(), 5120);

    // Past INT_MAX it wraps to the negative side, without signed overflow
    // (the sanitizers would stop the test).
    host.AdvanceSampleCounter(INT_MAX - 5120);
    EXPECT_EQ(host.GetSampleCounter(), INT_MAX);
    host.AdvanceSampleCounter(1);
    EXPECT_EQ(host.GetSampleCounter(), INT_MIN);
    host.AdvanceSampleCounter(INT_MAX);
    host.AdvanceSampleCounter(INT_MAX);
    EXPECT_EQ(host.GetSampleCounter(), INT_MAX - 1);   // INT_MIN + 2 INT_MAX, modulo 2^32
}

TEST(CorvHostServices, OnlyTheBankServiceIsAFeature)
{
    CCorvHost host(512, 44100, 0);
    EXPECT_TRUE(host.SupportsFeature(0));
    for (int feature : {1, 2, -1, 100})
        EXPECT_FALSE(host.SupportsFeature(feature)) << feature;
}

TEST(CorvHostServices, BankServerIsTheHostsOwn)
{
    CCorvHost host(512, 44100, 0);
    CBankServer* server = nullptr;
    EXPECT_EQ(host.GetBankServer(&server), 0);
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(server, static_cast<CBankServer*>(host.GetHostBankServer()));

    CCorvHost other(512, 44100, 0);
    CBankServer* otherServer = nullptr;
    other.GetBankServer(&otherServer);
    EXPECT_NE(otherServer, server);

    // A machine built on the host finds the service through it and can
    // connect; its destructor disconnects before the host deletes the
    // service.
    TaggedMachine machine(&host, 0);
    EXPECT_TRUE(machine.IsBankServerAvailable());
    EXPECT_EQ(machine.ConnectBankServer(), 0);
}

TEST(CorvHostParameters, WithoutContainerTheMachineSetsItself)
{
    CCorvHost host(512, 44100, 0);
    TaggedMachine machine(&host, 0);
    int handled = 0;
    host.SetParameterChangeHandler([&](CMachine*, int, double) { ++handled; });

    static_cast<CHost&>(host).OnParameterChanged(&machine, 3, 0.25);
    ASSERT_EQ(machine.received.size(), 1u);
    EXPECT_EQ(machine.received[0].index, 3);
    EXPECT_EQ(machine.received[0].value, 0.25);
    EXPECT_EQ(handled, 0);
}

TEST(CorvHostParameters, WithContainerTheHandlerApplies)
{
    CCorvHost host(512, 44100, 0);
    TaggedMachine machine(&host, 0);
    int containerStandIn = 0;
    machine.container = &containerStandIn;

    struct Call {
        CMachine* machine;
        int index;
        double value;
    };
    std::vector<Call> calls;
    host.SetParameterChangeHandler([&](CMachine* m, int index, double value) { calls.push_back({m, index, value}); });

    host.OnParameterChanged(&machine, 5, -1.5);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].machine, &machine);
    EXPECT_EQ(calls[0].index, 5);
    EXPECT_EQ(calls[0].value, -1.5);
    // The container applies the value; the host does not do it a second time.
    EXPECT_TRUE(machine.received.empty());
    machine.container = nullptr;
}

TEST(CorvHostParameters, WithContainerButNoHandlerTheMachineSetsItself)
{
    CCorvHost host(512, 44100, 0);
    TaggedMachine machine(&host, 0);
    int containerStandIn = 0;
    machine.container = &containerStandIn;
    host.OnParameterChanged(&machine, 1, 0.75);
    ASSERT_EQ(machine.received.size(), 1u);
    EXPECT_EQ(machine.received[0].value, 0.75);
    machine.container = nullptr;

    host.OnParameterChanged(nullptr, 1, 0.75);   // ignored
}

TEST(CorvHostRegistration, WithoutRegistryTheDescriptorIsReleased)
{
    std::vector<int> releases;
    CCorvHost host(512, 44100, 0);
    CHost& services = host;
    EXPECT_EQ(services.RegisterMachineInfo(new CountingDescriptor("Orphan", "CorvPlug::Orphan", 7, &releases)), 0);
    EXPECT_EQ(releases, std::vector<int>{7});
    EXPECT_EQ(services.RegisterMachineInfo(nullptr), 0);
}

TEST(CorvHostRegistration, WithRegistryTheRegistryOwnsIt)
{
    std::vector<int> releases;
    {
        CMachineRegistry registry;
        CCorvHost host(512, 44100, 0);
        host.SetRegistry(&registry);
        EXPECT_EQ(host.RegisterMachineInfo(new CountingDescriptor("Kept", "CorvPlug::Kept", 1, &releases)), 0);
        EXPECT_EQ(host.RegisterMachineInfo(new CountingDescriptor("Kept too", "CorvPlug::Kept too", 2, &releases)),
                  0);
        ASSERT_EQ(registry.Count(), 2);
        EXPECT_STREQ(registry.At(0).descriptor->name, "Kept");
        EXPECT_STREQ(registry.At(1).descriptor->name, "Kept too");
        EXPECT_TRUE(releases.empty());
    }
    EXPECT_EQ(releases, (std::vector<int>{1, 2}));
}
