// The effect types of the real stockpack.so, loaded through the real plug-in
// scan: registered in the library's order among the other stock types, and
// each creating its machine with the host it was given.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "machines/BuiltinMachines.h"
#include "host/CorvHost.h"
#include "host/MachineRegistry.h"
#include "plugins/MachineLibraryLoader.h"
#include "tests/host/HostTestSupport.h"

using host_test::ScratchFolder;
using host_test::Unpacked;

namespace {

struct MachineDeleter {
    void operator()(CMachine* machine) const { ReleaseMachine(machine); }
};
using MachinePtr = std::unique_ptr<CMachine, MachineDeleter>;

/// The stock library's types in the order its entry point registers them.
const std::vector<std::string> kLibraryOrder = {
    "KV RedoRuviz", "KV RazuZuri", "KV RazuZuri (Polyphonic)", "KV VUziD8",
    "KV DovoDorez", "KV Zazud",    "KV Mixer",                 "KV DavarorOdir"};

int OrderOf(const std::string& name)
{
    for (std::size_t i = 0; i < kLibraryOrder.size(); ++i) {
        if (kLibraryOrder[i] == name)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

TEST(StockPackEffects, RegisteredInTheLibraryOrderAndCreatable)
{
    ScratchFolder scratch;
    const std::string folder = scratch / "PlugIns";
    std::filesystem::create_directory(folder);
    std::filesystem::copy_file(CORVANE_STOCKPACK_LIBRARY, folder + "/stockpack.so");
    CCorvHost host{256, 44100, 0x4};
    CMachineRegistry registry;
    host.SetRegistry(&registry);
    RegisterBuiltinMachines(host, registry);
    const int builtinCount = registry.Count();
    ASSERT_EQ(LoadMachineLibraries(folder, host, registry, [](const std::string&) {}), 1);

    // Whatever stock types are present come in the library's order.
    std::vector<std::string> names;
    int previous = -1;
    for (int i = builtinCount; i < registry.Count(); ++i) {
        const std::string name = registry.At(i).descriptor->name;
        names.push_back(name);
        const int order = OrderOf(name);
        ASSERT_GE(order, 0) << name;
        EXPECT_GT(order, previous) << name;
        previous = order;
    }
    EXPECT_EQ(names.front(), "KV RedoRuviz");

    struct Expected {
        const char* name;
        const char* identifier;
        int ports;
        int parameters;
    };
    for (const Expected& e : {Expected{"KV RedoRuviz", "CorvPlug::KV RedoRuviz", 2, 1},
                              Expected{"KV DovoDorez", "CorvPlug::KV DovoDorez", 2, 32},
                              Expected{"KV Mixer", "CorvPlug::KV Mixer-Stereo-8-2", 13, 66}}) {
        CMachineInfo* descriptor = nullptr;
        MachinePtr machine(registry.CreateByIdentifier(e.identifier, &descriptor));
        ASSERT_NE(machine, nullptr) << e.name;
        ASSERT_NE(descriptor, nullptr);
        EXPECT_STREQ(descriptor->name, e.name);
        EXPECT_EQ(Unpacked(machine->host), static_cast<CHost*>(&host));
        EXPECT_FALSE(machine->IsInstrument()) << e.name;
        const int ports = machine->portCount;
        const int parameters = machine->parameterCount;
        EXPECT_EQ(ports, e.ports) << e.name;
        EXPECT_EQ(parameters, e.parameters) << e.name;
    }
    host.SetRegistry(nullptr);
}
