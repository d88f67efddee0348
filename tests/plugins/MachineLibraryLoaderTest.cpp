// LoadMachineLibraries through the real scan: real libraries copied into a
// scratch "PlugIns" folder, opened with the real dynamic loader.

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/Machine.h"
#include "framework/PlugInit.h"
#include "machines/BuiltinMachines.h"
#include "host/CorvHost.h"
#include "host/MachineRegistry.h"
#include "plugins/MachineLibraryLoader.h"
#include "tests/host/HostTestSupport.h"

using host_test::Unpacked;
using host_test::ScratchFolder;

namespace {

const std::string kTwoTypesLibrary = CORVANE_TEST_TWO_TYPES_LIBRARY;
const std::string kNoEntryLibrary = CORVANE_TEST_NO_ENTRY_LIBRARY;

/// Whether the loader still has the library at path mapped. Asking takes a
/// reference, which is given back at once.
bool IsLoaded(const std::string& path)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr)
        return false;
    dlclose(handle);
    return true;
}

/// The folder's "*.so" files in the order the file system lists them, read
/// here without the platform layer.
std::vector<std::string> ListedLibraryFiles(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr)
        return names;
    while (dirent* item = readdir(directory)) {
        const std::string name = item->d_name;
        if (name.size() > 3 && name.compare(name.size() - 3, 3, ".so") == 0 &&
            !std::filesystem::is_directory(folder + "/" + name))
            names.push_back(name);
    }
    closedir(directory);
    return names;
}

std::string StatusLine(const std::string& fileName)
{
    return "Loading PlugIn Library " + fileName + "...";
}

struct MachineDeleter {
    void operator()(CMachine* machine) const { ReleaseMachine(machine); }
};
using MachinePtr = std::unique_ptr<CMachine, MachineDeleter>;

class PlugInFolder : public ::testing::Test {
protected:
    ScratchFolder scratch;
    const std::string folder = scratch / "PlugIns";
    CCorvHost host{512, 44100, 0};
    CMachineRegistry registry;   // destroyed first: releases the libraries' descriptors
    std::vector<std::string> status;
    int builtinCount = 0;

    void SetUp() override
    {
        std::filesystem::create_directory(folder);
        host.SetRegistry(&registry);
        RegisterBuiltinMachines(host, registry);
        builtinCount = registry.Count();
    }
    void TearDown() override { host.SetRegistry(nullptr); }

    std::string Place(const std::string& library, const std::string& name) const
    {
        const std::string path = folder + "/" + name;
        std::filesystem::copy_file(library, path);
        return path;
    }
    std::string PlaceText(const std::string& name, const std::string& text) const
    {
        const std::string path = folder + "/" + name;
        host_test::WriteBytes(path, {text.begin(), text.end()});
        return path;
    }
    int Scan()
    {
        return LoadMachineLibraries(folder, host, registry,
                                    [this](const std::string& line) { status.push_back(line); });
    }
    /// The libraries the scan's types were attributed to, one per type.
    std::vector<std::string> LibrariesOfNewTypes() const
    {
        std::vector<std::string> libraries;
        for (int i = builtinCount; i < registry.Count(); ++i)
            libraries.push_back(registry.At(i).library);
        return libraries;
    }
};

} // namespace

TEST_F(PlugInFolder, RegistersBothTypesInOrderAfterTheBuiltIns)
{
    const std::string path = Place(kTwoTypesLibrary, "twotypes.so");
    EXPECT_EQ(Scan(), 1);

    ASSERT_EQ(registry.Count(), builtinCount + 2);
    EXPECT_STREQ(registry.At(0).descriptor->name, "Master");
    const auto& tone = registry.At(builtinCount);
    const auto& filter = registry.At(builtinCount + 1);
    EXPECT_STREQ(tone.descriptor->name, "Test Tone");
    EXPECT_STREQ(tone.descriptor->identifier, "CorvPlug::Test Tone");
    EXPECT_STREQ(filter.descriptor->name, "Test Filter");
    EXPECT_STREQ(filter.descriptor->identifier, "CorvPlug::Test Filter");
    EXPECT_EQ(tone.library, path);
    EXPECT_EQ(filter.library, path);
    EXPECT_EQ(status, std::vector<std::string>{StatusLine("twotypes.so")});

    // Types registered later are not attributed to the library any more.
    registry.Register(new host_test::CountingDescriptor("Later", "Later", 0, nullptr));
    EXPECT_EQ(registry.At(registry.Count() - 1).library, "");
}

TEST_F(PlugInFolder, EntryReceivesItsOwnModuleAndTheHost)
{
    const std::string path = Place(kTwoTypesLibrary, "twotypes.so");
    ASSERT_EQ(Scan(), 1);

    // Initialised libraries stay loaded: their types live in the registry.
    ASSERT_TRUE(IsLoaded(path));
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr);
    auto module = reinterpret_cast<ModuleHandle (*)()>(dlsym(handle, "TestLibraryModule"));
    auto givenHost = reinterpret_cast<CHost* (*)()>(dlsym(handle, "TestLibraryHost"));
    auto calls = reinterpret_cast<int (*)()>(dlsym(handle, "TestLibraryInitCalls"));
    ASSERT_NE(module, nullptr);
    ASSERT_NE(givenHost, nullptr);
    ASSERT_NE(calls, nullptr);
    EXPECT_EQ(module(), handle);
    EXPECT_EQ(givenHost(), static_cast<CHost*>(&host));
    EXPECT_EQ(calls(), 1);
    dlclose(handle);
}

TEST_F(PlugInFolder, LibraryTypesCreateWorkingMachines)
{
    Place(kTwoTypesLibrary, "twotypes.so");
    ASSERT_EQ(Scan(), 1);

    CMachineInfo* descriptor = nullptr;
    MachinePtr tone(registry.CreateByName("Test Tone", &descriptor));
    ASSERT_NE(tone, nullptr);
    EXPECT_EQ(descriptor, registry.At(builtinCount).descriptor);
    EXPECT_EQ(Unpacked(tone->host), static_cast<CHost*>(&host));
    EXPECT_TRUE(tone->IsInstrument());
    // The library's machine found the host's bank service through the host.
    EXPECT_TRUE(tone->IsBankServerAvailable());

    MachinePtr filter(registry.CreateByIdentifier("CorvPlug::Test Filter"));
    ASSERT_NE(filter, nullptr);
    EXPECT_FALSE(filter->IsInstrument());
}

TEST_F(PlugInFolder, SkipsEverythingThatIsNotAMachineLibrary)
{
    // The check below relies on a closed library really leaving the process.
    const std::string probe = Place(kNoEntryLibrary, "probe.lib");
    void* probeHandle = dlopen(probe.c_str(), RTLD_NOW);
    ASSERT_NE(probeHandle, nullptr) << dlerror();
    dlclose(probeHandle);
    ASSERT_FALSE(IsLoaded(probe)) << "closed libraries stay mapped here; the unload check would prove nothing";

    const std::string good = Place(kTwoTypesLibrary, "twotypes.so");
    const std::string noEntry = Place(kNoEntryLibrary, "noentry.so");
    const std::string notMatching = Place(kTwoTypesLibrary, "twotypes.so.1");
    PlaceText("fake.so", "This is only text pretending to be a library.\n");
    PlaceText("notes.txt", "not a library either\n");
    std::filesystem::create_directory(folder + "/folder.so");

    EXPECT_EQ(Scan(), 1);

    EXPECT_EQ(LibrariesOfNewTypes(), (std::vector<std::string>{good, good}));
    EXPECT_TRUE(IsLoaded(good));
    EXPECT_FALSE(IsLoaded(noEntry));       // opened, no entry point, closed again
    EXPECT_FALSE(IsLoaded(notMatching));   // never opened: not "*.so"

    // One line per file the scan tried, in the order the folder lists them;
    // none for the folder or the file that does not match.
    std::vector<std::string> expected;
    for (const std::string& name : ListedLibraryFiles(folder))
        expected.push_back(StatusLine(name));
    ASSERT_EQ(expected.size(), 3u);
    EXPECT_EQ(status, expected);
}

TEST_F(PlugInFolder, LoadsInDirectoryOrder)
{
    const std::vector<std::string> names{"gamma.so", "alpha.so", "beta.so", "delta.so"};
    for (const std::string& name : names)
        Place(kTwoTypesLibrary, name);
    EXPECT_EQ(Scan(), 4);

    std::vector<std::string> expectedLibraries, expectedStatus;
    for (const std::string& name : ListedLibraryFiles(folder)) {
        expectedLibraries.push_back(folder + "/" + name);
        expectedLibraries.push_back(folder + "/" + name);
        expectedStatus.push_back(StatusLine(name));
    }
    EXPECT_EQ(LibrariesOfNewTypes(), expectedLibraries);
    EXPECT_EQ(status, expectedStatus);

    // Each copy registered its own pair, in its own order.
    for (int i = builtinCount; i < registry.Count(); i += 2) {
        EXPECT_STREQ(registry.At(i).descriptor->name, "Test Tone");
        EXPECT_STREQ(registry.At(i + 1).descriptor->name, "Test Filter");
    }
    // By name, the first library listed wins.
    CMachineInfo* descriptor = nullptr;
    MachinePtr tone(registry.CreateByName("Test Tone", &descriptor));
    EXPECT_EQ(descriptor, registry.At(builtinCount).descriptor);
}

TEST_F(PlugInFolder, MissingFolderLoadsNothing)
{
    EXPECT_EQ(LoadMachineLibraries(scratch / "absent", host, registry,
                                   [this](const std::string& line) { status.push_back(line); }),
              0);
    EXPECT_EQ(registry.Count(), builtinCount);
    EXPECT_TRUE(status.empty());
}

TEST_F(PlugInFolder, EmptyFolderLoadsNothing)
{
    EXPECT_EQ(Scan(), 0);
    EXPECT_EQ(registry.Count(), builtinCount);
    EXPECT_TRUE(status.empty());
}

TEST_F(PlugInFolder, WorksWithoutAStatusCallback)
{
    Place(kTwoTypesLibrary, "twotypes.so");
    PlaceText("fake.so", "text");
    EXPECT_EQ(LoadMachineLibraries(folder, host, registry, StatusCallback{}), 1);
    EXPECT_EQ(registry.Count(), builtinCount + 2);
}

TEST(PlugInFolderLocation, IsBesideTheExecutable)
{
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(DefaultPlugInFolder(), (executable.parent_path() / "PlugIns").string());
}
