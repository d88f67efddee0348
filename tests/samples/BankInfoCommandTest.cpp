// `corvane --bank-info` end to end: the real program on the real General
// MIDI bank and on files it must refuse.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>

#include "tests/project/ScratchFolder.h"
#include "tests/samples/SoundFontBytes.h"

using project_test::CScratchFolder;

namespace {

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Result RunCorvane(const std::string& arguments, const CScratchFolder& folder)
{
    const std::string out = folder.File("stdout.txt");
    const std::string err = folder.File("stderr.txt");
    const std::string command = "XDG_CONFIG_HOME=" + folder.File("config") + " " + CORVANE_BINARY + " " +
                                arguments + " >" + out + " 2>" + err;
    const int status = std::system(command.c_str());
    Result result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadText(out);
    result.err = ReadText(err);
    return result;
}

} // namespace

TEST(BankInfoCommand, PrintsTheRealBankAsJson)
{
    CScratchFolder folder;
    const Result result = RunCorvane("--bank-info /usr/share/sounds/sf2/TimGM6mb.sf2", folder);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const nlohmann::json bank = nlohmann::json::parse(result.out);
    EXPECT_EQ(bank["file"], "/usr/share/sounds/sf2/TimGM6mb.sf2");
    EXPECT_FALSE(bank["name"].get<std::string>().empty());
    ASSERT_GE(bank["information"].size(), 2u);
    EXPECT_EQ(bank["information"][0]["key"], "SoundFont Version");
    EXPECT_EQ(bank["information"][1]["key"], "Sound Engine");
    EXPECT_GT(bank["presets"].size(), 100u);
}

TEST(BankInfoCommand, KeepsFileOrderAndFailsWithTheLoadersMessage)
{
    CScratchFolder folder;
    using namespace bank_test;
    // A name byte that is not UTF-8 still gives valid JSON.
    WriteFile(folder.File("small.sf2"), SmallBank("Caf\xe9", {"Zither", "Accordion"}));
    const Result small = RunCorvane("--bank-info " + folder.File("small.sf2"), folder);
    ASSERT_EQ(small.exitCode, 0) << small.err;
    const nlohmann::json bank = nlohmann::json::parse(small.out);
    EXPECT_EQ(bank["presets"], (nlohmann::json{"Zither", "Accordion"}));
    EXPECT_EQ(bank["name"], "Caf\xef\xbf\xbd");

    WriteFile(folder.File("bad.sf2"), Riff("sfbk", {InfoList("N", 3, 0), PresetDataList({"x"})}));
    const Result bad = RunCorvane("--bank-info " + folder.File("bad.sf2"), folder);
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err, "Error 0x8 Occured While Loading '" + folder.File("bad.sf2") + "'\n");
    EXPECT_TRUE(bad.out.empty());

    const Result missing = RunCorvane("--bank-info " + folder.File("none.sf2"), folder);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Error 0x7 Occured While Loading '" + folder.File("none.sf2") + "'\n");

    EXPECT_EQ(RunCorvane("--bank-info " + folder.File("small.sf2") + " --info x.cvx", folder).exitCode, 2);
}
