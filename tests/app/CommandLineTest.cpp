// The corvane program end to end: the real executable, real projects written
// by the demo generator, real WAV files.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class TemporaryFolder {
public:
    TemporaryFolder()
    {
        char pattern[] = "/tmp/corvane-app-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string File(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// Runs a command line with a private options folder, capturing both streams.
Result RunCommand(const std::string& arguments, const TemporaryFolder& folder, const std::string& environment = "")
{
    const std::string out = folder.File("stdout.txt");
    const std::string err = folder.File("stderr.txt");
    const std::string command = "XDG_CONFIG_HOME=" + folder.File("config") + " CORVANE_REALTIME=0 " + environment +
                                " " + arguments + " >" + out + " 2>" + err;
    const int status = std::system(command.c_str());
    Result result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadText(out);
    result.err = ReadText(err);
    return result;
}

std::string Corvane()
{
    return CORVANE_BINARY;
}

/// The demo project, written by the generator into the folder.
std::string MakeDemo(const TemporaryFolder& folder)
{
    const std::string path = folder.File("demo.cvx");
    const Result made = RunCommand(std::string(DEMOGEN_BINARY) + " " + PLUGIN_FOLDER + " " + path, folder);
    EXPECT_EQ(made.exitCode, 0) << made.err;
    return path;
}

std::uint32_t Read32(const std::string& bytes, std::size_t at)
{
    std::uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

} // namespace

TEST(CommandLine, VersionNamesTheReleaseAndThePlatform)
{
    TemporaryFolder folder;
    const Result result = RunCommand(Corvane() + " --version", folder);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("Version: 3.4.0\nPlatform: "), std::string::npos) << result.out;
}

TEST(CommandLine, BuiltInTypesComeBeforeLibraryTypes)
{
    TemporaryFolder folder;
    const Result result = RunCommand(Corvane() + " --list-machines --quiet", folder);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.rfind("Master\tMaster\tbuilt-in\n", 0), 0u) << result.out;
    const auto lastBuiltIn = result.out.rfind("\tbuilt-in\n");
    const auto firstLibrary = result.out.find(".so\n");
    ASSERT_NE(firstLibrary, std::string::npos) << "the stock library is listed";
    EXPECT_LT(lastBuiltIn, firstLibrary);
    EXPECT_NE(result.out.find("KV RazuZuri\tCorvPlug::KV RazuZuri\t"), std::string::npos);
}

TEST(CommandLine, UsageErrorsExitWithTwo)
{
    TemporaryFolder folder;
    EXPECT_EQ(RunCommand(Corvane() + " --no-such-option", folder).exitCode, 2);
    EXPECT_EQ(RunCommand(Corvane() + " --render x.cvx", folder).exitCode, 2) << "--render needs -o";
    EXPECT_EQ(RunCommand(Corvane() + " --render a.cvx -o a.wav --format mp3", folder).exitCode, 2);
}

TEST(CommandLine, RendersTheSongPlusTheTailRepeatably)
{
    TemporaryFolder folder;
    const std::string demo = MakeDemo(folder);
    const Result info = RunCommand(Corvane() + " --info " + demo, folder);
    ASSERT_EQ(info.exitCode, 0) << info.err;
    const auto project = nlohmann::json::parse(info.out);
    const double tempo = project["tempo"];
    const double ticksPerBeat = project["ticksPerBeat"];
    const long long units = project["sequence"]["length"];
    const int rate = 22050;
    const long long samplesPerTick = static_cast<long long>(60.0 / (ticksPerBeat * tempo) * rate);
    const long long expectedFrames = units * 4 * samplesPerTick + static_cast<long long>(0.5 * rate);

    const std::string first = folder.File("first.wav");
    const std::string second = folder.File("second.wav");
    const std::string options = " --rate 22050 --block 128 --tail 0.5 --quiet";
    ASSERT_EQ(RunCommand(Corvane() + " --render " + demo + " -o " + first + options, folder, "CORVANE_SEED=7").exitCode, 0);
    ASSERT_EQ(RunCommand(Corvane() + " --render " + demo + " -o " + second + options, folder, "CORVANE_SEED=7").exitCode, 0);
    const std::string a = ReadText(first);
    const std::string b = ReadText(second);
    ASSERT_GT(a.size(), 44u);
    EXPECT_TRUE(a == b) << "two renders with one seed differ";
    EXPECT_EQ(Read32(a, 40), expectedFrames * 8) << "stereo float frames of the song and the tail";
    EXPECT_EQ(Read32(a, 24), static_cast<std::uint32_t>(rate));
}

TEST(CommandLine, RenderSummaryAndSixteenBitFormat)
{
    TemporaryFolder folder;
    const std::string demo = MakeDemo(folder);
    const std::string out = folder.File("pcm.wav");
    const Result result = RunCommand(Corvane() + " --render " + demo + " -o " + out + " --format pcm16 --tail 0 --rate 22050 --block 512", folder);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("Rendered " + out + ": "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("real time"), std::string::npos);
    const std::string bytes = ReadText(out);
    ASSERT_GT(bytes.size(), 44u);
    EXPECT_EQ(bytes[20], 1) << "integer PCM";
    EXPECT_EQ(bytes[34], 16);
}

TEST(CommandLine, InfoNamesEveryMachineCableAndPattern)
{
    TemporaryFolder folder;
    const std::string demo = MakeDemo(folder);
    const Result result = RunCommand(Corvane() + " --info " + demo, folder);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto project = nlohmann::json::parse(result.out);
    ASSERT_EQ(project["machines"].size(), 8u);
    EXPECT_EQ(project["machines"][0]["name"], "Master");
    EXPECT_EQ(project["machines"][1]["type"], "CorvPlug::KV RazuZuri (Polyphonic)");
    EXPECT_EQ(project["machines"][2]["type"], "CorvPlug::KV RazuZuri");
    EXPECT_EQ(project["machines"][2]["parameters"].size(), 73u);
    EXPECT_EQ(project["machines"][3]["type"], "CorvPlug::KV VUziD8");
    EXPECT_EQ(project["machines"][4]["type"], "CorvPlug::KV Zazud");
    EXPECT_EQ(project["machines"][5]["type"], "CorvPlug::KV Mixer-Stereo-8-2");
    EXPECT_EQ(project["machines"][6]["type"], "CorvPlug::KV DovoDorez");
    EXPECT_EQ(project["machines"][7]["type"], "CorvPlug::KV DavarorOdir");
    EXPECT_EQ(project["connections"].size(), 8u);
    EXPECT_EQ(project["connections"][0]["destination"]["machine"], 0);
    EXPECT_EQ(project["patterns"].size(), 5u);
    EXPECT_EQ(project["patterns"][0]["notes"].size(), 12u) << "four bars of three-note chords";
    EXPECT_EQ(project["patterns"][2]["controlTracks"].size() >= 1, true);
    EXPECT_EQ(project["sequence"]["length"], 256);
    EXPECT_TRUE(project["warnings"].empty());
}

TEST(CommandLine, ACorruptProjectExitsWithOneAndSaysSo)
{
    TemporaryFolder folder;
    const std::string demo = MakeDemo(folder);
    const std::string whole = ReadText(demo);
    const std::string cut = folder.File("cut.cvx");
    {
        std::ofstream out(cut, std::ios::binary);
        out.write(whole.data(), static_cast<std::streamsize>(whole.size() / 2));
    }
    const Result result = RunCommand(Corvane() + " --render " + cut + " -o " + folder.File("x.wav"), folder);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("File '" + cut + "' Is Corrupt"), std::string::npos) << result.err;
}

TEST(CommandLine, AMissingMachineTypeIsReportedAndTheRestRenders)
{
    TemporaryFolder folder;
    const std::string demo = MakeDemo(folder);
    std::string bytes = ReadText(demo);
    // Rename the bass's type in place: same length, so the file stays whole.
    const std::string type = "CorvPlug::KV RazuZuri";
    const std::string renamed = "CorvPlug::KV RazuZuro";
    std::size_t at = std::string::npos;
    for (std::size_t found = bytes.find(type); found != std::string::npos; found = bytes.find(type, found + 1)) {
        if (bytes[found + type.size()] != ' ')   // not the "(Polyphonic)" type
            at = found;
    }
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, renamed.size(), renamed);
    const std::string edited = folder.File("missing.cvx");
    {
        std::ofstream out(edited, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    const Result info = RunCommand(Corvane() + " --info " + edited + " --quiet", folder);
    ASSERT_EQ(info.exitCode, 0) << info.err;
    const auto project = nlohmann::json::parse(info.out);
    ASSERT_EQ(project["warnings"].size(), 1u);
    EXPECT_EQ(project["warnings"][0].get<std::string>().rfind("Machine of name \"KV RazuZuri 1\" could not be loaded.", 0),
              0u)
        << project["warnings"][0];
    EXPECT_EQ(project["machines"].size(), 7u) << "the rest of the project is there";

    const Result render = RunCommand(Corvane() + " --render " + edited + " -o " + folder.File("rest.wav") + " --quiet --rate 22050 --block 512", folder);
    EXPECT_EQ(render.exitCode, 0) << render.err;
    EXPECT_NE(render.err.find("\"KV RazuZuri 1\" could not be loaded"), std::string::npos)
        << "the missing machine is reported";
    EXPECT_GT(ReadText(folder.File("rest.wav")).size(), 44u);
}

TEST(Demo, TheBundledDemoIsWhatTheGeneratorWrites)
{
    // The bundled file is regenerated with demogen whenever the format or the
    // demo changes; a stale copy would show users something else.
    TemporaryFolder folder;
    const std::string fresh = MakeDemo(folder);
    EXPECT_TRUE(ReadText(fresh) == ReadText(BUNDLED_DEMO))
        << "examples/demo.cvx is stale: run build/tools/demogen build/bin/PlugIns examples/demo.cvx";
    const Result info = RunCommand(Corvane() + " --info " + std::string(BUNDLED_DEMO) + " --quiet", folder);
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_TRUE(nlohmann::json::parse(info.out)["warnings"].empty());
}
