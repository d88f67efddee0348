// The drum machines in the real stockpack.so, through the real plug-in
// scan: both types are listed in the library's order (VUziD8 right after
// the two RazuZuri, Zazud after it and after DovoDorez when that is there)
// and each plays a hit when made from its descriptor.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "framework/Port.h"
#include "machines/BuiltinMachines.h"
#include "host/CorvHost.h"
#include "host/MachineRegistry.h"
#include "plugins/MachineLibraryLoader.h"
#include "tests/host/HostTestSupport.h"

using host_test::ScratchFolder;

namespace {

const std::string kStockPack = CORVANE_STOCKPACK_LIBRARY;

struct MachineDeleter {
    void operator()(CMachine* machine) const { ReleaseMachine(machine); }
};
using MachinePtr = std::unique_ptr<CMachine, MachineDeleter>;

class DrumsInStockPack : public ::testing::Test {
protected:
    ScratchFolder scratch;
    const std::string folder = scratch / "PlugIns";
    CCorvHost host{256, 44100, 0x4};
    CMachineRegistry registry;
    int builtinCount = 0;

    void SetUp() override
    {
        std::filesystem::create_directory(folder);
        std::filesystem::copy_file(kStockPack, folder + "/stockpack.so");
        host.SetRegistry(&registry);
        RegisterBuiltinMachines(host, registry);
        builtinCount = registry.Count();
        ASSERT_EQ(LoadMachineLibraries(folder, host, registry, [](const std::string&) {}), 1);
    }
    void TearDown() override { host.SetRegistry(nullptr); }

    std::vector<std::string> LibraryNames() const
    {
        std::vector<std::string> names;
        for (int i = builtinCount; i < registry.Count(); ++i)
            names.emplace_back(registry.At(i).descriptor->name);
        return names;
    }
};

/// The peak of "Line Out" over blocks after a note-on of note.
double PlayedPeak(CMachine& machine, int note, int blocks)
{
    CPort** ports = machine.ports;
    const ControlEvent event = MakeControlEvent(kEventNoteOn, 0, note, 1.0, 440.0 * std::exp2((note - 69) / 12.0));
    ports[0]->control->Insert(&event);
    double peak = 0.0;
    for (int b = 0; b < blocks; ++b) {
        machine.Work();
        const CAudioBuffer* out = ports[1]->audio;
        const int length = out->length;
        for (int i = 0; i < length; ++i)
            peak = std::max(peak, std::fabs(out->left[i]));
    }
    return peak;
}

} // namespace

TEST_F(DrumsInStockPack, ListedInTheLibraryOrder)
{
    const std::vector<std::string> names = LibraryNames();
    auto position = [&names](const char* name) {
        return static_cast<long>(std::find(names.begin(), names.end(), name) - names.begin());
    };
    const long count = static_cast<long>(names.size());
    const long poly = position("KV RazuZuri (Polyphonic)");
    const long kit = position("KV VUziD8");
    const long kick = position("KV Zazud");
    const long dovo = position("KV DovoDorez");
    ASSERT_LT(kit, count);
    ASSERT_LT(kick, count);
    EXPECT_EQ(position("KV RazuZuri") + 1, poly);
    EXPECT_EQ(kit, poly + 1);
    EXPECT_EQ(kick, (dovo < count ? dovo : kit) + 1);
    EXPECT_GT(kick, kit);

    for (const char* type : {"KV VUziD8", "KV Zazud"}) {
        CMachineInfo* descriptor = nullptr;
        MachinePtr machine(registry.CreateByName(type, &descriptor));
        ASSERT_NE(machine, nullptr) << type;
        EXPECT_EQ(std::string(descriptor->identifier), std::string("CorvPlug::") + type);
        EXPECT_GT(PlayedPeak(*machine, 36, 20), 0.1) << type;
    }
}
