// The corvane program on damaged input, end to end: each case runs the real
// program as a child with a time limit and expects an orderly end (exit code
// 0, 1 or 2, a message when it fails, no sanitizer report) and no lost file.

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <limits>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "tests/app/BadInputProjects.h"
#include "tests/app/ChildRun.h"

namespace {

namespace fs = std::filesystem;

class BadInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/corvane-badinput-XXXXXX";
        folder = mkdtemp(pattern);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    std::string File(const std::string& name) const { return folder + "/" + name; }

    ChildResult Run(std::vector<std::string> arguments, double timeoutSeconds = 240.0)
    {
        ChildRequest request;
        request.arguments = std::move(arguments);
        request.timeoutSeconds = timeoutSeconds;
        return RunCorvane(folder, request);
    }

    std::string Demo()
    {
        const std::string path = File("demo.cvx");
        fs::copy_file(BUNDLED_DEMO, path, fs::copy_options::overwrite_existing);
        return path;
    }

    std::string folder;
};

void PutDouble(std::vector<unsigned char>& bytes, std::size_t at, double value)
{
    std::memcpy(bytes.data() + at, &value, 8);
}

void PutInt32(std::vector<unsigned char>& bytes, std::size_t at, std::int32_t value)
{
    std::memcpy(bytes.data() + at, &value, 4);
}

/// Every parameter value of every default state block set to value; every
/// word of the machines' own blocks (recorder tracks aside: theirs is a
/// file name) set to word.
std::vector<unsigned char> WithStates(std::vector<unsigned char> bytes, double value, std::int32_t word)
{
    for (const ProjectLayout::Machine& machine : ParseProjectLayout(bytes).machines) {
        if (machine.stateLength >= 8 && std::memcmp(bytes.data() + machine.state, "46HP", 4) == 0) {
            for (std::size_t at = machine.state + 8; at + 8 <= machine.state + machine.stateLength; at += 8)
                PutDouble(bytes, at, value);
        } else if (machine.type.find("Recorder") == std::string::npos) {
            for (std::size_t at = machine.state; at + 4 <= machine.state + machine.stateLength; at += 4)
                PutInt32(bytes, at, word);
        }
    }
    return bytes;
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace

TEST_F(BadInput, OutOfRangeParameterValuesInEveryMachineAreLimited)
{
    const std::string good = File("every.cvx");
    WriteEveryMachineProject(good);
    const std::vector<unsigned char> bytes = ReadBytes(good);
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        std::int32_t word;
    } cases[] = {{1e9, 0x7FFFFFFF}, {-1e9, std::numeric_limits<std::int32_t>::min()}, {inf, -1},
                 {-inf, 1000000}, {std::nan(""), 0}};
    for (const auto& damage : cases) {
        SCOPED_TRACE(damage.value);
        const std::string project = File("damaged.cvx");
        WriteBytes(project, WithStates(bytes, damage.value, damage.word));

        const ChildResult render = Run({"--render", project, "-o", File("out.wav"), "--tail", "0.25", "--rate", "22050", "--block", "1024", "-q"});
        EXPECT_EQ(DisorderOf(render), "");
        EXPECT_EQ(render.exitCode, 0) << render.err;
        EXPECT_GT(fs::file_size(File("out.wav")), 44u);

        const ChildResult info = Run({"--info", project, "-q"});
        ASSERT_EQ(DisorderOf(info), "");
        ASSERT_EQ(info.exitCode, 0) << info.err;
        const nlohmann::json json = nlohmann::json::parse(info.out);
        for (const auto& machine : json["machines"]) {
            for (const auto& parameter : machine["parameters"]) {
                // Every stored value is one the machine can use: 0 … 1.
                ASSERT_TRUE(parameter["value"].is_number()) << machine["type"] << " " << parameter;
                const double value = parameter["value"].get<double>();
                EXPECT_TRUE(value >= 0.0 && value <= 1.0) << machine["type"] << " " << parameter;
            }
        }
        EXPECT_EQ(info.out.find("-2147483648"), std::string::npos);
    }
}

TEST_F(BadInput, RandomByteFlipsEndInOrder)
{
    // The demo, and the short song with every machine type: rendering the
    // demo's 32 seconds once is enough, the short song is rendered each time.
    const std::string every = File("every.cvx");
    WriteEveryMachineProject(every);
    for (const std::string& original : {Demo(), every}) {
        const std::vector<unsigned char> good = ReadBytes(original);
        const ProjectLayout layout = ParseProjectLayout(good);
        for (unsigned seed = 1; seed <= 3; ++seed) {
            SCOPED_TRACE(original + " seed " + std::to_string(seed));
            std::mt19937 random(seed);
            std::vector<unsigned char> bytes = good;
            // Anywhere in the file, and surely in some parameter's exponent.
            for (int flip = 0; flip < 6; ++flip)
                bytes[random() % bytes.size()] ^= static_cast<unsigned char>(1u << (random() % 8));
            std::vector<ProjectLayout::Machine> withValues;
            for (const ProjectLayout::Machine& machine : layout.machines) {
                if (machine.stateLength > 8 && std::memcmp(good.data() + machine.state, "46HP", 4) == 0)
                    withValues.push_back(machine);
            }
            const ProjectLayout::Machine& machine = withValues[random() % withValues.size()];
            const std::size_t values = (static_cast<std::size_t>(machine.stateLength) - 8) / 8;
            bytes[machine.state + 8 + 8 * (random() % values) + 7] ^= static_cast<unsigned char>(1u << (random() % 8));
            const std::string project = File("flipped.cvx");
            WriteBytes(project, bytes);

            const ChildResult info = Run({"--info", project, "-q"});
            EXPECT_EQ(DisorderOf(info), "");
            if (info.exitCode == 0) {
                EXPECT_NO_THROW(nlohmann::json::parse(info.out));
            }
            if (original == every || seed == 1) {
                const ChildResult render = Run({"--render", project, "-o", File("out.wav"), "--tail", "0", "--rate",
                                                "8000", "--block", "2048", "-q"});
                EXPECT_EQ(DisorderOf(render), "");
            }
        }
    }
}

TEST_F(BadInput, NamesThatAreNotUtf8AreShownReplacedAndKeptAsBytes)
{
    std::vector<unsigned char> bytes = ReadBytes(Demo());
    const ProjectLayout layout = ParseProjectLayout(bytes);
    const char name[] = "Pad \xFF\xC3( \\";
    std::memcpy(bytes.data() + layout.machines[1].record, name, sizeof name);
    ASSERT_FALSE(layout.patternNames.empty());
    std::memcpy(bytes.data() + layout.patternNames[0], name, sizeof name);
    const std::string project = File("names.cvx");
    WriteBytes(project, bytes);

    const ChildResult info = Run({"--info", project, "-q"});
    ASSERT_EQ(DisorderOf(info), "");
    ASSERT_EQ(info.exitCode, 0) << info.err;
    const nlohmann::json json = nlohmann::json::parse(info.out);
    const std::string replaced = "Pad \xEF\xBF\xBD\xEF\xBF\xBD( \\";
    EXPECT_EQ(json["machines"][1]["name"], replaced);
    EXPECT_EQ(json["machines"][1]["nameBytes"], "Pad \\xFF\\xC3( \\\\");
    EXPECT_EQ(json["patterns"][0]["name"], replaced);
    EXPECT_EQ(json["patterns"][0]["nameBytes"], "Pad \\xFF\\xC3( \\\\");
    EXPECT_FALSE(json["machines"][2].contains("nameBytes"));   // UTF-8 names stay as they are
}

TEST_F(BadInput, AnInterruptedRenderLeavesTheTargetAsItWas)
{
    const std::string project = Demo();
    const std::string target = File("song.wav");
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const std::string before = "a good file that was here before";
        WriteBytes(target, std::vector<unsigned char>(before.begin(), before.end()));
        bool sent = false;
        ChildRequest request;
        request.arguments = {"--render", project, "-o", target};
        // Once the render has begun writing its temporary file.
        request.whileRunning = [&](pid_t child) {
            if (sent)
                return;
            for (const auto& entry : fs::directory_iterator(folder)) {
                if (entry.path().filename().string().find(".render-") != std::string::npos) {
                    kill(child, signal);
                    sent = true;
                }
            }
        };
        const ChildResult result = RunCorvane(folder, request);
        ASSERT_TRUE(sent) << result.err;
        EXPECT_EQ(DisorderOf(result), "");
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(Count(result.err, "Render Interrupted, '" + target + "' Left As It Was"), 1u) << result.err;
        const std::vector<unsigned char> after = ReadBytes(target);
        EXPECT_EQ(std::string(after.begin(), after.end()), before);
        for (const auto& entry : fs::directory_iterator(folder))
            EXPECT_EQ(entry.path().filename().string().find(".render-"), std::string::npos) << entry.path();
    }
}

TEST_F(BadInput, ACompleteRenderReplacesTheTargetAndKeepsItsPermissions)
{
    const std::string project = File("every.cvx");
    WriteEveryMachineProject(project);
    const std::string target = File("song.wav");
    WriteBytes(target, {'o', 'l', 'd'});
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    const ChildResult result = Run({"--render", project, "-o", target, "--tail", "0", "--rate", "8000", "-q"});
    EXPECT_EQ(DisorderOf(result), "");
    EXPECT_EQ(result.exitCode, 0);
    const std::vector<unsigned char> wav = ReadBytes(target);
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find(".render-"), std::string::npos) << entry.path();
}

TEST_F(BadInput, UnusableOptionsValuesFallBackAndTheFileIsRepairedOnce)
{
    const std::string optionsFolder = File("config/Corvane Studio");
    fs::create_directories(optionsFolder);
    const std::string optionsFile = optionsFolder + "/Corvane.opt";
    // Offsets of the version-3 fields, their damaged and their default values.
    const struct {
        std::size_t offset;
        std::int32_t damaged;
        std::int32_t repaired;
        const char* field;
    } cases[] = {{8, 7, -1, "Output Driver"},          {16, 0, 2048, "Null Format"},
                 {20, -3, 0, "Wave Out Device"},       {28, 0x100000, 2048, "Wave Out Format"},
                 {32, -1, 0, "ASIO Driver"},           {44, -640, 0, "Options Window Width"},
                 {48, -480, 0, "Options Window Height"}};
    // All of them in one file: each is reported and repaired on its own.
    std::vector<unsigned char> bytes(56, 0);
    std::memcpy(bytes.data(), "pOvC", 4);
    const std::int32_t fields[] = {3, 0, 512, 2048, 0, 2048, 2048, 0, 0, 4, 0, 0, 0};
    for (std::size_t i = 0; i < std::size(fields); ++i)
        PutInt32(bytes, 4 + 4 * i, fields[i]);
    for (const auto& damage : cases)
        PutInt32(bytes, damage.offset, damage.damaged);
    WriteBytes(optionsFile, bytes);

    const ChildResult first = Run({"--list-machines"});
    EXPECT_EQ(DisorderOf(first), "");
    EXPECT_EQ(first.exitCode, 0) << first.err;
    const std::vector<unsigned char> repaired = ReadBytes(optionsFile);
    ASSERT_EQ(repaired.size(), bytes.size());
    for (const auto& damage : cases) {
        SCOPED_TRACE(damage.field);
        EXPECT_EQ(Count(first.err, "Options File '" + optionsFile + "': " + damage.field + " " +
                                       std::to_string(damage.damaged) + " Is Not Usable, " +
                                       std::to_string(damage.repaired) + " Used Instead"),
                  1u)
            << first.err;
        std::int32_t stored;
        std::memcpy(&stored, repaired.data() + damage.offset, 4);
        EXPECT_EQ(stored, damage.repaired);
    }
    // The values that were fine are kept as they were.
    EXPECT_EQ(std::vector<unsigned char>(repaired.begin() + 12, repaired.begin() + 16),
              std::vector<unsigned char>(bytes.begin() + 12, bytes.begin() + 16));

    const ChildResult second = Run({"--list-machines"});
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.err.find("Options File"), std::string::npos) << second.err;
}

TEST_F(BadInput, AHugeFileIsRefusedWithoutBeingReadWhole)
{
    constexpr off_t kGigabyte = 1LL << 30;
    // All zeros, and a good project followed by zeros: both sparse, so the
    // test costs no disk.
    const std::string zeros = File("zeros.cvx");
    WriteBytes(zeros, {});
    ASSERT_EQ(truncate(zeros.c_str(), kGigabyte), 0);
    const std::string padded = File("padded.cvx");
    WriteBytes(padded, ReadBytes(Demo()));
    ASSERT_EQ(truncate(padded.c_str(), kGigabyte), 0);

    // Under the address sanitizer a limit on address space cannot be set
    // (its shadow memory alone is larger), so the peak resident memory
    // tells whether the file was read whole.
    const ChildResult baseline = Run({"--info", File("demo.cvx"), "-q"});
    ASSERT_EQ(baseline.exitCode, 0);
    for (const std::string& path : {zeros, padded}) {
        SCOPED_TRACE(path);
        const ChildResult result = Run({"--info", path, "-q"});
        EXPECT_EQ(DisorderOf(result), "");
        EXPECT_LT(result.maxRssKb, baseline.maxRssKb + 256 * 1024) << "baseline " << baseline.maxRssKb << " kB";
    }
    EXPECT_NE(Run({"--info", zeros, "-q"}).err.find("File '" + zeros + "' Is Corrupt"), std::string::npos);
}

TEST_F(BadInput, FilesThatCannotBeReadSayWhy)
{
    const ChildResult missing = Run({"--info", File("absent.cvx")});
    EXPECT_EQ(DisorderOf(missing), "");
    EXPECT_NE(missing.err.find("Failed To Open File '" + File("absent.cvx") + "' For Reading: it does not exist"),
              std::string::npos)
        << missing.err;
    const ChildResult directory = Run({"--render", folder, "-o", File("out.wav")});
    EXPECT_NE(directory.err.find("For Reading: it is a folder"), std::string::npos) << directory.err;
    EXPECT_EQ(directory.exitCode, 1);
}

TEST_F(BadInput, EmptyAndUnreadableProjectsGiveOneMessageAndExitCode1)
{
    const std::string empty = File("empty.cvx");
    WriteBytes(empty, {});
    const ChildResult emptyResult = Run({"--info", empty, "-q"});
    EXPECT_EQ(DisorderOf(emptyResult), "");
    EXPECT_EQ(emptyResult.exitCode, 1) << emptyResult.err;

    // Refused by its permissions, which root would pass: the child runs as
    // an ordinary user, so the folder must be open to it.
    fs::permissions(folder, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    const std::string locked = Demo();
    fs::permissions(locked, fs::perms::owner_write);
    ChildRequest request;
    request.arguments = {"--info", locked, "-q"};
    request.asUnprivilegedUser = true;
    const ChildResult lockedResult = RunCorvane(folder, request);
    EXPECT_EQ(DisorderOf(lockedResult), "");
    EXPECT_EQ(lockedResult.exitCode, 1) << lockedResult.err;
    EXPECT_NE(lockedResult.err.find("Failed To Open File '" + locked + "' For Reading"), std::string::npos)
        << lockedResult.err;
}

TEST_F(BadInput, ANonFiniteTailIsAUsageError)
{
    for (const char* tail : {"nan", "inf", "-nan"}) {
        const ChildResult result = Run({"--render", Demo(), "-o", File("out.wav"), "--tail", tail});
        EXPECT_EQ(DisorderOf(result), "");
        EXPECT_EQ(result.exitCode, 2) << tail;
        EXPECT_FALSE(fs::exists(File("out.wav")));
    }
}

TEST_F(BadInput, ARenderThatFailsToWriteStopsAtTheFirstFailedWrite)
{
    const ChildResult result = Run({"--render", Demo(), "-o", "/dev/full"});
    EXPECT_EQ(DisorderOf(result), "");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(Count(result.err, "Can't Write To File </dev/full>: No space left on device"), 1u) << result.err;
    // Stopped at once: no progress line was ever printed.
    EXPECT_EQ(result.err.find("Rendering:"), std::string::npos) << result.err;
}

TEST_F(BadInput, ASilentOrClippingRenderSaysSo)
{
    // Every instrument's type missing: the song plays nothing.
    std::vector<unsigned char> bytes = ReadBytes(Demo());
    for (const ProjectLayout::Machine& machine : ParseProjectLayout(bytes).machines) {
        if (machine.type.find("RazuZuri") != std::string::npos || machine.type.find("VUziD8") != std::string::npos ||
            machine.type.find("Zazud") != std::string::npos)
            bytes[machine.record + 1024 + 9] = 'X';   // "CorvPlug:X..."
    }
    const std::string silent = File("silent.cvx");
    WriteBytes(silent, bytes);
    const ChildResult quiet =
        Run({"--render", silent, "-o", File("silent.wav"), "--tail", "0", "--rate", "8000", "--block", "2048"});
    EXPECT_EQ(DisorderOf(quiet), "");
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(Count(quiet.err, "The render is silent: 4 machines of the project could not be loaded"), 1u)
        << quiet.err;

    // Cables at +34 dB drive the master far past full scale.
    const std::string loud = File("loud.cvx");
    WriteEveryMachineProject(loud, 50.0);
    const ChildResult clipped =
        Run({"--render", loud, "-o", File("loud.wav"), "--tail", "0", "--rate", "8000", "--format", "pcm16"});
    EXPECT_EQ(DisorderOf(clipped), "");
    EXPECT_NE(clipped.err.find(" samples clipped, "), std::string::npos) << clipped.err;
    const ChildResult beyond = Run({"--render", loud, "-o", File("loud.wav"), "--tail", "0", "--rate", "8000"});
    EXPECT_NE(beyond.err.find(" samples beyond full scale, "), std::string::npos) << beyond.err;
}

TEST_F(BadInput, DriversAreNamedByTheirLinuxSystemOrTheirOwnName)
{
    // The project is missing, so each play ends at reading it: only the
    // name's acceptance is in question.
    for (const char* name : {"alsa", "Wave Out", "waveout", "jack", "ASIO", "null"}) {
        const ChildResult result = Run({"--play", File("absent.cvx"), "--driver", name});
        EXPECT_EQ(DisorderOf(result), "");
        EXPECT_EQ(result.exitCode, 1) << name << ": " << result.err;
    }
    EXPECT_EQ(Run({"--play", File("absent.cvx"), "--driver", "oss"}).exitCode, 2);
    const ChildResult list = Run({"--list-drivers"});
    EXPECT_NE(list.out.find("1 Wave Out (ALSA): "), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("2 ASIO (JACK): "), std::string::npos) << list.out;
}
