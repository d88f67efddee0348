// CMachineRegistry: order, icons, the first-match rules of both lookups and
// the release of every descriptor it was given.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Error.h"
#include "machines/BuiltinMachines.h"
#include "host/CorvHost.h"
#include "host/MachineRegistry.h"
#include "host/Master.h"
#include "tests/host/HostTestSupport.h"

using host_test::Unpacked;
using host_test::CountingDescriptor;
using host_test::TaggedMachine;

namespace {

struct MachineDeleter {
    void operator()(CMachine* machine) const { ReleaseMachine(machine); }
};
using MachinePtr = std::unique_ptr<CMachine, MachineDeleter>;

int TagOf(CMachine* machine)
{
    auto* tagged = dynamic_cast<TaggedMachine*>(machine);
    return tagged != nullptr ? tagged->tag : -1;
}

IconHandle Icon(int& storage)
{
    return &storage;
}

} // namespace

TEST(MachineRegistryOrder, EntriesStayInRegistrationOrder)
{
    std::vector<int> releases;
    CMachineRegistry registry;
    const char* names[] = {"Zeta", "Alpha", "Mu", "Beta"};
    for (int i = 0; i < 4; ++i)
        registry.Register(new CountingDescriptor(names[i], names[i], i, &releases));

    ASSERT_EQ(registry.Count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_STREQ(registry.At(i).descriptor->name, names[i]);

    std::vector<std::string> iterated;
    for (const auto& entry : registry)
        iterated.push_back(entry->descriptor->name);
    EXPECT_EQ(iterated, (std::vector<std::string>{"Zeta", "Alpha", "Mu", "Beta"}));

    registry.Register(nullptr);   // nothing to own
    EXPECT_EQ(registry.Count(), 4);
}

TEST(MachineRegistryOrder, DescriptorsAreReleasedOnceFrontToBack)
{
    std::vector<int> releases;
    {
        CMachineRegistry registry;
        for (int tag = 1; tag <= 5; ++tag)
            registry.Register(new CountingDescriptor("Same", "Same", tag, &releases));
        EXPECT_TRUE(releases.empty());
    }
    EXPECT_EQ(releases, (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(MachineRegistryIcons, MissingIconsFallBackToTheApplications)
{
    int appSmall = 0, appLarge = 0, ownSmall = 0, ownLarge = 0;
    CMachineRegistry registry;
    registry.SetFallbackIcons(Icon(appSmall), Icon(appLarge));

    auto* bare = new CountingDescriptor("Bare", "Bare", 0, nullptr);
    auto* dressed = new CountingDescriptor("Dressed", "Dressed", 1, nullptr);
    dressed->smallIcon = Icon(ownSmall);
    dressed->largeIcon = Icon(ownLarge);
    auto* half = new CountingDescriptor("Half", "Half", 2, nullptr);
    half->largeIcon = Icon(ownLarge);
    registry.Register(bare);
    registry.Register(dressed);
    registry.Register(half);

    EXPECT_EQ(registry.At(0).smallIcon, Icon(appSmall));
    EXPECT_EQ(registry.At(0).largeIcon, Icon(appLarge));
    EXPECT_EQ(registry.At(1).smallIcon, Icon(ownSmall));
    EXPECT_EQ(registry.At(1).largeIcon, Icon(ownLarge));
    EXPECT_EQ(registry.At(2).smallIcon, Icon(appSmall));
    EXPECT_EQ(registry.At(2).largeIcon, Icon(ownLarge));
    // The descriptor itself is left as its library made it.
    EXPECT_EQ(bare->smallIcon, nullptr);
}

TEST(MachineRegistryLookup, CreateByNameTakesTheFirstOfTwins)
{
    CMachineRegistry registry;
    registry.Register(new CountingDescriptor("Other", "CorvPlug::Other", 1, nullptr));
    auto* first = new CountingDescriptor("Twin", "CorvPlug::Twin A", 2, nullptr);
    registry.Register(first);
    registry.Register(new CountingDescriptor("Twin", "CorvPlug::Twin B", 3, nullptr));

    for (int attempt = 0; attempt < 3; ++attempt) {
        CMachineInfo* descriptor = nullptr;
        MachinePtr machine(registry.CreateByName("Twin", &descriptor));
        EXPECT_EQ(TagOf(machine.get()), 2);
        EXPECT_EQ(descriptor, first);
    }
    MachinePtr withoutDescriptor(registry.CreateByName("Other"));
    EXPECT_EQ(TagOf(withoutDescriptor.get()), 1);
}

TEST(MachineRegistryLookup, CreateByNameComparesWholeNamesExactly)
{
    CMachineRegistry registry;
    registry.Register(new CountingDescriptor("Twin", "CorvPlug::Twin", 1, nullptr));

    for (const char* name : {"twin", "TWIN", "Twi", "Twin ", "Twins", ""}) {
        try {
            MachinePtr machine(registry.CreateByName(name));
            ADD_FAILURE() << "created a machine for <" << name << ">";
        } catch (const CError& error) {
            EXPECT_EQ(error.Message(), std::string("Machine <") + name + "> Not Found");
        }
    }
}

TEST(MachineRegistryLookup, UnknownNameInAnEmptyRegistry)
{
    CMachineRegistry registry;
    try {
        MachinePtr machine(registry.CreateByName("Master"));
        FAIL() << "no type was registered";
    } catch (const CError& error) {
        EXPECT_STREQ(error.what(), "Machine <Master> Not Found");
    }
}

TEST(MachineRegistryLookup, IdentifierTakesTheFirstMatchAndMissesQuietly)
{
    CMachineRegistry registry;
    auto* first = new CountingDescriptor("One", "CorvPlug::Shared", 1, nullptr);
    registry.Register(first);
    registry.Register(new CountingDescriptor("Two", "CorvPlug::Shared", 2, nullptr));
    registry.Register(new CountingDescriptor("Three", "CorvPlug::Three", 3, nullptr));

    EXPECT_EQ(registry.FindByIdentifier("CorvPlug::Shared"), first);
    EXPECT_STREQ(registry.FindByIdentifier("CorvPlug::Three")->name, "Three");

    CMachineInfo* descriptor = nullptr;
    MachinePtr machine(registry.CreateByIdentifier("CorvPlug::Shared", &descriptor));
    EXPECT_EQ(TagOf(machine.get()), 1);
    EXPECT_EQ(descriptor, first);

    // A project naming a type nobody has: no machine, no exception, and the
    // caller's descriptor is left alone.
    CMachineInfo* untouched = first;
    EXPECT_NO_THROW({
        EXPECT_EQ(registry.FindByIdentifier("CorvPlug::Missing"), nullptr);
        EXPECT_EQ(registry.FindByIdentifier("corvplug::shared"), nullptr);
        EXPECT_EQ(registry.FindByIdentifier(nullptr), nullptr);
        EXPECT_EQ(registry.CreateByIdentifier("CorvPlug::Missing", &untouched), nullptr);
    });
    EXPECT_EQ(untouched, first);
}

TEST(MachineRegistryLookup, NameAndIdentifierAreSeparateKeys)
{
    CMachineRegistry registry;
    registry.Register(new CountingDescriptor("Shown Name", "CorvPlug::Stored", 1, nullptr));
    EXPECT_EQ(registry.FindByIdentifier("Shown Name"), nullptr);
    EXPECT_THROW(MachinePtr(registry.CreateByName("CorvPlug::Stored")), CError);
}

TEST(MachineRegistryLibraries, TypesAreAttributedToTheCurrentLibrary)
{
    CMachineRegistry registry;
    registry.Register(new CountingDescriptor("Built In", "Built In", 0, nullptr));
    registry.SetCurrentLibrary("/opt/corvane/PlugIns/one.so");
    registry.Register(new CountingDescriptor("From One", "From One", 1, nullptr));
    registry.SetCurrentLibrary({});
    registry.Register(new CountingDescriptor("Built In Later", "Built In Later", 2, nullptr));

    EXPECT_EQ(registry.At(0).library, "");
    EXPECT_EQ(registry.At(1).library, "/opt/corvane/PlugIns/one.so");
    EXPECT_EQ(registry.At(2).library, "");
}

TEST(BuiltinMachines, MasterComesFirstAndIsFoundByName)
{
    CCorvHost host(512, 44100, 0);
    CMachineRegistry registry;
    host.SetRegistry(&registry);
    RegisterBuiltinMachines(host, registry);

    ASSERT_GE(registry.Count(), 1);
    EXPECT_STREQ(registry.At(0).descriptor->name, "Master");
    EXPECT_STREQ(registry.At(0).descriptor->identifier, "Master");
    EXPECT_EQ(registry.At(0).library, "");
    EXPECT_EQ(registry.FindByIdentifier("Master"), registry.At(0).descriptor);

    // A new project's master, created the way the studio creates it.
    MachinePtr master(registry.CreateByName("Master"));
    ASSERT_NE(dynamic_cast<CMaster*>(master.get()), nullptr);
    EXPECT_EQ(Unpacked(master->host), &host);
    EXPECT_EQ(master->portCount, 1);
    host.SetRegistry(nullptr);
}
