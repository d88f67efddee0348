// The scan of VST folders through the real helper process: order, bad
// files recorded while the scan goes on, the cache, and the program's own
// start-up and commands.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "host/CorvHost.h"
#include "host/MachineRegistry.h"
#include "plugins/vst/VSTAdapterInfo.h"
#include "plugins/vst/VSTScanCache.h"
#include "tests/vst/VstTestSupport.h"

using host_test::ScratchFolder;
using namespace vst_test;

namespace {

std::vector<std::string> RegisteredNames(const CMachineRegistry& registry)
{
    std::vector<std::string> names;
    for (const auto& entry : registry) {
        if (dynamic_cast<CVSTAdapterInfo*>(entry->descriptor) != nullptr)
            names.push_back(entry->descriptor->name);
    }
    return names;
}

const VSTScanRecord* RecordFor(const VSTScanReport& report, const std::string& path)
{
    for (const VSTScanRecord& record : report.files) {
        if (record.path == path)
            return &record;
    }
    return nullptr;
}

} // namespace

TEST(VSTScanner, FilesOfAFolderComeBeforeItsSubfoldersInNameOrder)
{
    ScratchFolder scratch;
    const std::string root = scratch / "vst";
    CopyTestPlugin("StereoEffect", root, "b.so");
    CopyTestPlugin("OneToFour", root, "a.so");
    CopyTestPlugin("TestSynth", root + "/sub/deeper", "c.so");
    CopyTestPlugin("ChunkKeeper", root + "/sub", "d.so");
    CopyTestPlugin("ZeroId", root + "/aa", "e.so");
    host_test::WriteBytes(root + "/notes.txt", {'x'});

    CCorvHost host(512, 44100, 0);
    CMachineRegistry registry;
    std::vector<std::string> status;
    const VSTScanReport report = ScanInto(root, scratch / "cache.json", &host, &registry, &status);
    EXPECT_EQ(RegisteredNames(registry), (std::vector<std::string>{"a", "b", "e", "d", "c"}));
    EXPECT_EQ(status, (std::vector<std::string>{"Loading VST PlugIn a.so...", "Loading VST PlugIn b.so...",
                                                "Loading VST PlugIn e.so...", "Loading VST PlugIn d.so...",
                                                "Loading VST PlugIn c.so..."}));
    auto* nested = dynamic_cast<CVSTAdapterInfo*>(registry.At(4).descriptor);
    EXPECT_EQ(nested->Folder(), root + "/sub/deeper/");
    EXPECT_EQ(registry.At(4).library, root + "/sub/deeper/c.so");
    // The unique ID 0x12345670 gives the bare prefix; 0x41424344 its four bytes.
    EXPECT_EQ(std::string(registry.At(2).descriptor->identifier), "VST::");
    EXPECT_EQ(std::string(registry.At(1).descriptor->identifier), "VST::\x04\x04\x02\x01");
    EXPECT_EQ(report.examined, 5);
}

TEST(VSTScanner, BadFilesAreRecordedWithTheirReasonAndSkippedUntilTheyChange)
{
    ScratchFolder scratch;
    const std::string root = scratch / "vst";
    const std::string good = CopyTestPlugin("StereoEffect", root);
    const std::string crasher = CopyTestPlugin("Crasher", root);
    const std::string hanger = CopyTestPlugin("Hanger", root);
    const std::string noEntry = CopyTestPlugin("NoEntry", root);
    const std::string nullEffect = CopyTestPlugin("NullEffect", root);
    const std::string text = root + "/Text.so";
    host_test::WriteBytes(text, {'n', 'o', 't', '\n'});
    const std::string cache = scratch / "cache.json";

    CCorvHost host(512, 44100, 0);
    {
        CMachineRegistry registry;
        const VSTScanReport report = ScanInto(root, cache, &host, &registry, nullptr, 1.0);
        EXPECT_EQ(RegisteredNames(registry), (std::vector<std::string>{"StereoEffect"}));
        EXPECT_EQ(report.failed, 5);
        EXPECT_EQ(RecordFor(report, crasher)->reason.rfind("crashed (signal 11", 0), 0u) << RecordFor(report, crasher)->reason;
        EXPECT_EQ(RecordFor(report, hanger)->reason, "timed out after 1 s");
        EXPECT_EQ(RecordFor(report, noEntry)->reason, "no entry point (VSTPluginMain or main)");
        EXPECT_EQ(RecordFor(report, nullEffect)->reason, "the entry point gave no plug-in instance");
        EXPECT_EQ(RecordFor(report, text)->reason.rfind("cannot be loaded: ", 0), 0u);
    }

    // The next start trusts the cache: nothing examined, the same result,
    // the hanging file costs nothing.
    {
        CMachineRegistry registry;
        const auto start = std::chrono::steady_clock::now();
        const VSTScanReport report = ScanInto(root, cache, &host, &registry, nullptr, 1.0);
        EXPECT_EQ(report.examined, 0);
        EXPECT_EQ(report.failed, 5);
        EXPECT_EQ(RegisteredNames(registry), (std::vector<std::string>{"StereoEffect"}));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
    }

    // A fixed file is examined again and registered.
    std::filesystem::remove(crasher);
    CopyTestPlugin("ChunkKeeper", root, "Crasher.so");
    {
        CMachineRegistry registry;
        const VSTScanReport report = ScanInto(root, cache, &host, &registry, nullptr, 1.0);
        EXPECT_EQ(report.examined, 1);
        EXPECT_EQ(RegisteredNames(registry), (std::vector<std::string>{"Crasher", "StereoEffect"}));
    }
    CVSTScanCache stored(cache);
    stored.Load();
    EXPECT_EQ(stored.Records().size(), 6u);
    EXPECT_TRUE(stored.Records().at(crasher).ok);
    EXPECT_FALSE(stored.Records().at(hanger).ok);
}

TEST(VSTScanner, TheProgramScansAtStartUpAndListsAndRescansTheCache)
{
    ScratchFolder scratch;
    const std::string root = scratch / "vst";
    const std::string good = CopyTestPlugin("StereoEffect", root);
    CopyTestPlugin("Crasher", root);
    const std::vector<std::string> environment = {"VST_PATH=" + root, "XDG_CACHE_HOME=" + (scratch / "cache"),
                                                  "XDG_CONFIG_HOME=" + (scratch / "config"),
                                                  "CORVANE_VST_SCANNER=" VST_SCANNER};

    const ProgramResult listed = RunProgram({"--list-machines"}, environment, scratch);
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    const std::vector<std::string> lines = Lines(listed.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "StereoEffect\tVST::\\x04\\x04\\x02\\x01\t" + good);
    const std::vector<std::string> status = Lines(listed.err);
    EXPECT_NE(std::find(status.begin(), status.end(), "Loading VST PlugIn StereoEffect.so..."), status.end());
    EXPECT_NE(std::find(status.begin(), status.end(), "Loading VST PlugIn Crasher.so..."), status.end());
    EXPECT_TRUE(std::filesystem::exists(scratch / "cache/Corvane Studio/vst-cache.json"));

    const ProgramResult cache = RunProgram({"--list-vst-cache"}, environment, scratch);
    ASSERT_EQ(cache.exitCode, 0);
    const std::vector<std::string> entries = Lines(cache.out);
    ASSERT_EQ(entries.size(), 2u) << cache.out;
    EXPECT_EQ(entries[0].rfind("failed\tcrashed (signal 11", 0), 0u) << entries[0];
    EXPECT_EQ(entries[1], "ok\tVST::\\x04\\x04\\x02\\x01\tVSTPluginMain\t2 in, 2 out\t" + good);

    // A forced rescan examines again even though nothing changed.
    const ProgramResult rescan = RunProgram({"--rescan-vst"}, environment, scratch);
    ASSERT_EQ(rescan.exitCode, 0);
    EXPECT_EQ(rescan.out, cache.out);
    EXPECT_NE(rescan.err.find("Examined 2 VST plug-in files"), std::string::npos) << rescan.err;
}

TEST(VSTScanner, AMissingHelperBlamesNoFile)
{
    ScratchFolder scratch;
    const std::string root = scratch / "vst";
    CopyTestPlugin("StereoEffect", root);
    const std::string cache = scratch / "cache.json";
    CCorvHost host(512, 44100, 0);
    CMachineRegistry registry;
    VSTScanSettings settings;
    settings.folders = {root};
    settings.cachePath = cache;
    settings.examine.helperPath = scratch / "no-such-helper";
    const VSTScanReport report = ScanVstFolders(settings, &host, &registry);
    ASSERT_EQ(report.files.size(), 1u);
    EXPECT_FALSE(report.files[0].ok);
    EXPECT_NE(report.files[0].reason.find("could not be started"), std::string::npos);
    // Not remembered: with the helper back, the file registers.
    const VSTScanReport again = ScanInto(root, cache, &host, &registry);
    EXPECT_EQ(again.examined, 1);
    EXPECT_EQ(again.registered, 1);
}
