// The real stockpack.so through the real plug-in scan: the library is copied
// into a scratch "PlugIns" folder, opened by the loader with the real dynamic
// loader, and its types are used the way the studio uses them, down to a
// rendered note.

#include <gtest/gtest.h>

#include <cmath>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/ControlBuffer.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "framework/Port.h"
#include "machines/BuiltinMachines.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/MachineRegistry.h"
#include "host/Studio.h"
#include "plugins/MachineLibraryLoader.h"
#include "tests/host/HostTestSupport.h"
#include "tests/stockpack/StockTestSupport.h"

using host_test::ScratchFolder;
using host_test::Unpacked;
using namespace stock_test;

namespace {

const std::string kStockPack = CORVANE_STOCKPACK_LIBRARY;

struct MachineDeleter {
    void operator()(CMachine* machine) const { ReleaseMachine(machine); }
};
using MachinePtr = std::unique_ptr<CMachine, MachineDeleter>;

class StockPackLibrary : public ::testing::Test {
protected:
    ScratchFolder scratch;
    const std::string folder = scratch / "PlugIns";
    CCorvHost host{256, 44100, 0x4};
    CMachineRegistry registry;
    std::vector<std::string> status;
    int builtinCount = 0;
    std::string libraryPath;

    void SetUp() override
    {
        std::filesystem::create_directory(folder);
        libraryPath = folder + "/stockpack.so";
        std::filesystem::copy_file(kStockPack, libraryPath);
        host.SetRegistry(&registry);
        RegisterBuiltinMachines(host, registry);
        builtinCount = registry.Count();
        ASSERT_EQ(LoadMachineLibraries(folder, host, registry,
                                       [this](const std::string& line) { status.push_back(line); }),
                  1);
    }
    void TearDown() override { host.SetRegistry(nullptr); }
};

} // namespace

TEST_F(StockPackLibrary, RegistersBothRazuZuriTypesInOrder)
{
    EXPECT_EQ(status, std::vector<std::string>{"Loading PlugIn Library stockpack.so..."});
    // The library registers more types; the two RazuZuri come one after the
    // other, mono first.
    int monoIndex = -1;
    for (int i = builtinCount; i < registry.Count(); ++i) {
        if (std::string(registry.At(i).descriptor->identifier) == "CorvPlug::KV RazuZuri")
            monoIndex = i;
    }
    ASSERT_GE(monoIndex, builtinCount);
    ASSERT_LT(monoIndex + 1, registry.Count());
    const auto& mono = registry.At(monoIndex);
    const auto& poly = registry.At(monoIndex + 1);
    EXPECT_STREQ(mono.descriptor->name, "KV RazuZuri");
    EXPECT_STREQ(mono.descriptor->identifier, "CorvPlug::KV RazuZuri");
    EXPECT_STREQ(poly.descriptor->name, "KV RazuZuri (Polyphonic)");
    EXPECT_STREQ(poly.descriptor->identifier, "CorvPlug::KV RazuZuri (Polyphonic)");
    EXPECT_EQ(mono.library, libraryPath);
    EXPECT_EQ(poly.library, libraryPath);
    EXPECT_EQ(Unpacked(mono.descriptor->smallIcon), nullptr);
    EXPECT_EQ(Unpacked(mono.descriptor->largeIcon), nullptr);
}

TEST_F(StockPackLibrary, ExportsOnlyItsEntryPoint)
{
    void* handle = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(dlsym(handle, "CorvPlugInit"), nullptr);
    // The library's own framework and tables stay inside it.
    EXPECT_EQ(dlsym(handle, "_ZN8CMachineC2EP5CHost"), nullptr);
    EXPECT_EQ(dlsym(handle, "_Z17CreatePlugContextP5CHosti"), nullptr);
    EXPECT_EQ(dlsym(handle, "_ZN8platform6RandomEv"), nullptr);
    dlclose(handle);
}

TEST_F(StockPackLibrary, DescriptorsCreateTheirMachines)
{
    CMachineInfo* descriptor = nullptr;
    MachinePtr mono(registry.CreateByIdentifier("CorvPlug::KV RazuZuri", &descriptor));
    ASSERT_NE(mono, nullptr);
    EXPECT_EQ(descriptor, registry.FindByIdentifier("CorvPlug::KV RazuZuri"));
    MachinePtr poly(registry.CreateByName("KV RazuZuri (Polyphonic)"));
    ASSERT_NE(poly, nullptr);
    MachinePtr second(registry.CreateByName("KV RazuZuri"));

    for (CMachine* machine : {mono.get(), poly.get(), second.get()}) {
        EXPECT_EQ(Unpacked(machine->host), static_cast<CHost*>(&host));
        EXPECT_TRUE(machine->IsInstrument());
        EXPECT_EQ(machine->parameterCount, 73);
        ASSERT_EQ(machine->portCount, 2);
        EXPECT_STREQ(machine->ports[0]->name, "Control In");
        EXPECT_STREQ(machine->ports[1]->name, "Line Out");
        char text[64];
        machine->GetParameterName(72, text);
        EXPECT_STREQ(text, "LFO3 Amp 3");
        machine->FormatParameter(38, 0.0, text);
        EXPECT_STREQ(text, "-oo dB");
    }
}

TEST_F(StockPackLibrary, NoteRendersThroughTheStudio)
{
    CStudio studio(host);
    studio.CreateMaster(registry);
    CMachineContainer* synth =
        studio.CreateMachine(registry.FindByIdentifier("CorvPlug::KV RazuZuri (Polyphonic)"), 100, 100);
    ASSERT_NE(synth, nullptr);
    EXPECT_EQ(synth->GetName(), "KV RazuZuri (Polyphonic) 1");
    CMachine* machine = synth->machine;
    // Wide open, one square voice at full level (parameters as the editor
    // sets them).
    machine->SetParameter(25, 1.0);
    machine->SetParameter(26, 0.0);
    machine->SetParameter(28, 0.0);
    machine->SetParameter(30, 1.0);
    machine->SetParameter(31, 0.0);
    machine->SetParameter(33, 0.0);
    machine->SetParameter(0, 0.0);
    machine->SetParameter(2, 1.0);
    machine->SetParameter(37, 0.0);
    ASSERT_NE(studio.Connect(synth->connectors[1], studio.MasterContainer()->connectors[0]), nullptr);

    int block = 0;
    studio.SetPlaybackHook([&](int) {
        if (block++ == 0) {
            const ControlEvent on = MakeControlEvent(kEventNoteOn, 10, 69, 1.0, 440.0);
            machine->ports[0]->control->Insert(&on);
        }
    });

    constexpr int kBlock = 256, kBlocks = 80;
    std::vector<double> left, right;
    std::vector<double> l(kBlock), r(kBlock);
    double* outputs[2] = {l.data(), r.data()};
    for (int b = 0; b < kBlocks; ++b) {
        CStudio::AudioCallback(&studio, 2, outputs, kBlock);
        left.insert(left.end(), l.begin(), l.end());
        right.insert(right.end(), r.begin(), r.end());
    }
    // Silent until the note; then a 440 Hz square on both channels (the
    // default routing is serial), after the master's fade-in.
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(left[static_cast<std::size_t>(i)], 0.0) << i;
    EXPECT_NEAR(ZeroCrossingHz(left, 44100, 8000, 12000), 440.0, 0.2);
    EXPECT_GT(Rms(left, 8000, 12000), 0.5);
    EXPECT_EQ(left, right);
}
