// `corvane --list-machines`: the listing itself, the real program of this
// build, and a copy of that program with a test library dropped into the
// "PlugIns" folder beside it, which its own start-up scan must find.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "app/MachineListing.h"
#include "machines/BuiltinMachines.h"
#include "host/CorvHost.h"
#include "host/MachineRegistry.h"
#include "plugins/MachineLibraryLoader.h"
#include "tests/host/HostTestSupport.h"

extern char** environ;

using host_test::ScratchFolder;

namespace {

const std::string kTwoTypesLibrary = CORVANE_TEST_TWO_TYPES_LIBRARY;
const std::string kCorvane = CORVANE_EXECUTABLE;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

/// Runs program with arguments, its standard output and error caught in
/// files of scratch.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments, const ScratchFolder& scratch)
{
    const std::string outPath = scratch / "stdout.txt";
    const std::string errPath = scratch / "stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    ProgramRun run;
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        if (waitpid(child, &status, 0) == child && WIFEXITED(status))
            run.exitCode = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    const auto out = host_test::ReadBytes(outPath);
    const auto err = host_test::ReadBytes(errPath);
    run.out.assign(out.begin(), out.end());
    run.err.assign(err.begin(), err.end());
    return run;
}

std::string Listing(const CMachineRegistry& registry)
{
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&text, &size);
    PrintMachineList(registry, stream);
    std::fclose(stream);
    std::string result(text, size);
    std::free(text);
    return result;
}

} // namespace

TEST(MachineListing, OneTabSeparatedLinePerTypeInRegistryOrder)
{
    ScratchFolder scratch;
    const std::string folder = scratch / "PlugIns";
    std::filesystem::create_directory(folder);
    std::filesystem::copy_file(kTwoTypesLibrary, folder + "/twotypes.so");

    CCorvHost host(512, 44100, 0);
    {
        CMachineRegistry registry;
        host.SetRegistry(&registry);
        RegisterBuiltinMachines(host, registry);
        LoadMachineLibraries(folder, host, registry, {});
        const std::vector<std::string> lines = Lines(Listing(registry));
        ASSERT_EQ(static_cast<int>(lines.size()), registry.Count());
        EXPECT_EQ(lines.front(), "Master\tMaster\tbuilt-in");
        const std::string library = folder + "/twotypes.so";
        EXPECT_EQ(lines[lines.size() - 2], "Test Tone\tCorvPlug::Test Tone\t" + library);
        EXPECT_EQ(lines.back(), "Test Filter\tCorvPlug::Test Filter\t" + library);
        host.SetRegistry(nullptr);
    }
}

TEST(MachineListing, RealProgramListsTheMasterFirst)
{
    ScratchFolder scratch;
    const ProgramRun run = RunProgram(kCorvane, {"--list-machines"}, scratch);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Master\tMaster\tbuilt-in");
}

TEST(MachineListing, ProgramFindsALibraryDroppedIntoItsPlugInsFolder)
{
    // A private installation: a copy of the program with its own "PlugIns"
    // folder, so that the build's own folder is left alone.
    ScratchFolder scratch;
    const std::string bin = scratch / "bin";
    const std::string program = bin + "/corvane";
    const std::string plugIns = bin + "/PlugIns";
    std::filesystem::create_directories(plugIns);
    std::filesystem::copy_file(kCorvane, program);
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    std::filesystem::copy_file(kTwoTypesLibrary, plugIns + "/twotypes.so");
    host_test::WriteBytes(plugIns + "/fake.so", {'n', 'o', 't', '\n'});

    const ProgramRun run = RunProgram(program, {"--list-machines"}, scratch);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_GE(lines.size(), 3u) << run.out;
    EXPECT_EQ(lines[0], "Master\tMaster\tbuilt-in");
    // The host's own types, then the library's two, attributed to its path.
    for (std::size_t i = 1; i + 2 < lines.size(); ++i)
        EXPECT_TRUE(lines[i].ends_with("\tbuilt-in")) << lines[i];
    EXPECT_EQ(lines[lines.size() - 2], "Test Tone\tCorvPlug::Test Tone\t" + plugIns + "/twotypes.so");
    EXPECT_EQ(lines.back(), "Test Filter\tCorvPlug::Test Filter\t" + plugIns + "/twotypes.so");

    // Start-up status lines go to standard error, one per library file.
    const std::vector<std::string> status = Lines(run.err);
    EXPECT_NE(std::find(status.begin(), status.end(), "Loading PlugIn Library twotypes.so..."), status.end())
        << run.err;
    EXPECT_NE(std::find(status.begin(), status.end(), "Loading PlugIn Library fake.so..."), status.end()) << run.err;

    const ProgramRun quiet = RunProgram(program, {"--list-machines", "--quiet"}, scratch);
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.out, run.out);
    EXPECT_EQ(quiet.err, "");
}
