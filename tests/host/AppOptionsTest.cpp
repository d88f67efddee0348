// CAppOptions against real files: defaults, the three readable versions,
// the written layout, damaged and cut files, and the replace-by-rename save.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "host/AppOptions.h"
#include "tests/host/HostTestSupport.h"
#include "tests/host/OptionsFileBytes.h"

using host_test::OptionsFileBytes;
using host_test::ReadBytes;
using host_test::ScopedEnvironment;
using host_test::ScratchFolder;
using host_test::WriteBytes;

namespace {

using Paths = std::vector<std::string>;

/// Every test runs with its own home and configuration folder, so nothing
/// reaches the user's real settings, and without $VST_PATH unless it sets it.
class AppOptionsFile : public ::testing::Test {
protected:
    ScratchFolder folder;
    ScopedEnvironment home{"HOME", folder / "home"};
    ScopedEnvironment config{"XDG_CONFIG_HOME", folder / "config"};
    ScopedEnvironment vstPath{"VST_PATH", std::nullopt};
    const std::string path = folder / "Corvane.opt";

    Paths HomeDefaults() const { return {folder / "home/.vst", "/usr/local/lib/vst", "/usr/lib/vst"}; }
};

/// The nine settings of versions 1 and 3, in file order.
struct Settings {
    std::int32_t outputDriver, nullBufferSize, nullFormat, waveOutDevice, waveOutBufferSize, waveOutFormat,
        asioDriver, asioSetting, asioRateFlags;
};

constexpr Settings kStored{2, 256, 0x400, 3, 1024, 0x8, 1, 7, 16};

OptionsFileBytes& AppendSettings(OptionsFileBytes& file, const Settings& s)
{
    return file.Int(s.outputDriver)
        .Int(s.nullBufferSize)
        .Int(s.nullFormat)
        .Int(s.waveOutDevice)
        .Int(s.waveOutBufferSize)
        .Int(s.waveOutFormat)
        .Int(s.asioDriver)
        .Int(s.asioSetting)
        .Int(s.asioRateFlags);
}

void ExpectDefaults(const CAppOptions& options, const Paths& vstPaths)
{
    EXPECT_EQ(options.outputDriver, -1);
    EXPECT_EQ(options.nullBufferSize, 512);
    EXPECT_EQ(options.nullFormat, 2048);
    EXPECT_EQ(options.waveOutDevice, 0);
    EXPECT_EQ(options.waveOutBufferSize, 512);
    EXPECT_EQ(options.waveOutFormat, 2048);
    EXPECT_EQ(options.asioDriver, 0);
    EXPECT_EQ(options.asioSetting, 0);
    EXPECT_EQ(options.asioRateFlags, 4);
    EXPECT_EQ(options.optionsWindowWidth, 0);
    EXPECT_EQ(options.optionsWindowHeight, 0);
    EXPECT_EQ(options.vstPaths, vstPaths);
}

/// One int32 of a file, and where it must have ended for the reader to take it.
struct StoredField {
    std::size_t end;
    std::int32_t CAppOptions::*member;
    std::int32_t value;
};

/// Writes every prefix of bytes to the options file and reads it back: a
/// field whose four bytes are all there is taken, every other field keeps
/// its default, and the path list is either the file's, whole, or the
/// defaults.
void ReadEveryCut(const std::string& path, const std::vector<unsigned char>& bytes,
                  const std::vector<StoredField>& fields, const Paths& storedPaths)
{
    CAppOptions defaults{std::string()};
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        WriteBytes(path, {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)});
        CAppOptions options(path);
        options.DisableSaveOnExit();
        for (const StoredField& field : fields) {
            const std::int32_t expected = cut >= field.end ? field.value : defaults.*(field.member);
            EXPECT_EQ(options.*(field.member), expected) << "cut at " << cut << ", field ending at " << field.end;
        }
        for (std::int32_t CAppOptions::*member :
             {&CAppOptions::outputDriver, &CAppOptions::nullBufferSize, &CAppOptions::nullFormat,
              &CAppOptions::waveOutDevice, &CAppOptions::waveOutBufferSize, &CAppOptions::waveOutFormat,
              &CAppOptions::asioDriver, &CAppOptions::asioSetting, &CAppOptions::asioRateFlags,
              &CAppOptions::optionsWindowWidth, &CAppOptions::optionsWindowHeight}) {
            bool stored = false;
            for (const StoredField& field : fields)
                stored = stored || field.member == member;
            if (!stored) {
                EXPECT_EQ(options.*member, defaults.*member) << "cut at " << cut;
            }
        }
        EXPECT_EQ(options.vstPaths, cut == bytes.size() ? storedPaths : defaults.vstPaths) << "cut at " << cut;
    }
}

} // namespace

TEST_F(AppOptionsFile, NoFileGivesTheDefaults)
{
    CAppOptions options(path);
    options.DisableSaveOnExit();
    ExpectDefaults(options, HomeDefaults());
    EXPECT_EQ(options.vstPaths, CAppOptions::DefaultVstPaths());
    EXPECT_EQ(options.Path(), path);
}

TEST_F(AppOptionsFile, DefaultVstFoldersFollowVstPath)
{
    EXPECT_EQ(CAppOptions::DefaultVstPaths(), HomeDefaults());
    {
        ScopedEnvironment list("VST_PATH", "/opt/vst:/srv/audio/vst");
        EXPECT_EQ(CAppOptions::DefaultVstPaths(), (Paths{"/opt/vst", "/srv/audio/vst"}));
        CAppOptions options(path);
        options.DisableSaveOnExit();
        EXPECT_EQ(options.vstPaths, (Paths{"/opt/vst", "/srv/audio/vst"}));
    }
    {
        ScopedEnvironment list("VST_PATH", "::/only::");   // empty items are no folders
        EXPECT_EQ(CAppOptions::DefaultVstPaths(), Paths{"/only"});
    }
    {
        ScopedEnvironment list("VST_PATH", "");
        EXPECT_EQ(CAppOptions::DefaultVstPaths(), HomeDefaults());
    }
}

TEST_F(AppOptionsFile, LivesInTheConfigurationFolder)
{
    const std::string expected = folder / "config/Corvane Studio/Corvane.opt";
    EXPECT_EQ(CAppOptions::DefaultPath(), expected);
    {
        // Written at destruction, into a folder that did not exist.
        CAppOptions options;
        EXPECT_EQ(options.Path(), expected);
        options.outputDriver = 2;
    }
    CAppOptions reread(expected);
    reread.DisableSaveOnExit();
    EXPECT_EQ(reread.outputDriver, 2);

    // A relative $XDG_CONFIG_HOME is not a configuration folder.
    ScopedEnvironment relative("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(CAppOptions::DefaultPath(), folder / "home/.config/Corvane Studio/Corvane.opt");
}

TEST_F(AppOptionsFile, RoundTripKeepsEveryField)
{
    const Paths folders{"/home/user/My VST", "", "/usr/lib/vst", "/opt/Plug-ins \xc3\xbcn\xc3\xaf"};
    {
        CAppOptions options(path);
        options.outputDriver = 2;
        options.nullBufferSize = 128;
        options.nullFormat = 0x1;
        options.waveOutDevice = 5;
        options.waveOutBufferSize = 2048;
        options.waveOutFormat = 0x80000;
        options.asioDriver = 3;
        options.asioSetting = -9;
        options.asioRateFlags = 0x20;
        options.optionsWindowWidth = 812;
        options.optionsWindowHeight = 377;
        options.vstPaths = folders;
        EXPECT_TRUE(options.Save());
        options.DisableSaveOnExit();
    }
    CAppOptions reread(path);
    reread.DisableSaveOnExit();
    EXPECT_EQ(reread.outputDriver, 2);
    EXPECT_EQ(reread.nullBufferSize, 128);
    EXPECT_EQ(reread.nullFormat, 0x1);
    EXPECT_EQ(reread.waveOutDevice, 5);
    EXPECT_EQ(reread.waveOutBufferSize, 2048);
    EXPECT_EQ(reread.waveOutFormat, 0x80000);
    EXPECT_EQ(reread.asioDriver, 3);
    EXPECT_EQ(reread.asioSetting, -9);
    EXPECT_EQ(reread.asioRateFlags, 0x20);
    EXPECT_EQ(reread.optionsWindowWidth, 812);
    EXPECT_EQ(reread.optionsWindowHeight, 377);
    EXPECT_EQ(reread.vstPaths, folders);
}

TEST_F(AppOptionsFile, WritesTheVersionThreeLayout)
{
    {
        CAppOptions options(path);
        options.outputDriver = kStored.outputDriver;
        options.nullBufferSize = kStored.nullBufferSize;
        options.nullFormat = kStored.nullFormat;
        options.waveOutDevice = kStored.waveOutDevice;
        options.waveOutBufferSize = kStored.waveOutBufferSize;
        options.waveOutFormat = kStored.waveOutFormat;
        options.asioDriver = kStored.asioDriver;
        options.asioSetting = kStored.asioSetting;
        options.asioRateFlags = kStored.asioRateFlags;
        options.optionsWindowWidth = 640;
        options.optionsWindowHeight = 480;
        options.vstPaths = {"/a", "/bc"};
        // Written by the destructor.
    }
    OptionsFileBytes expected = OptionsFileBytes::Head(3);
    AppendSettings(expected, kStored).Int(640).Int(480).Paths({"/a", "/bc"});
    EXPECT_EQ(ReadBytes(path), expected.bytes);
    EXPECT_EQ(expected.Size(), 56u + 4 + 3 + 4 + 4);
}

TEST_F(AppOptionsFile, DisabledSaveWritesNothing)
{
    {
        CAppOptions options(path);
        options.outputDriver = 1;
        options.DisableSaveOnExit();
    }
    EXPECT_FALSE(std::filesystem::exists(path));

    CAppOptions nowhere{std::string()};
    EXPECT_FALSE(nowhere.Save());
}

TEST_F(AppOptionsFile, ReadsVersionOne)
{
    OptionsFileBytes file = OptionsFileBytes::Head(1);
    AppendSettings(file, kStored).Paths({"/v1/first", "/v1/second"});
    WriteBytes(path, file.bytes);

    CAppOptions options(path);
    options.DisableSaveOnExit();
    EXPECT_EQ(options.outputDriver, 2);
    EXPECT_EQ(options.nullBufferSize, 256);
    EXPECT_EQ(options.nullFormat, 0x400);
    EXPECT_EQ(options.waveOutDevice, 3);
    EXPECT_EQ(options.waveOutBufferSize, 1024);
    EXPECT_EQ(options.waveOutFormat, 0x8);
    EXPECT_EQ(options.asioDriver, 1);
    EXPECT_EQ(options.asioSetting, 7);
    EXPECT_EQ(options.asioRateFlags, 16);
    // Version 1 stored no window size: the path count follows the settings.
    EXPECT_EQ(options.optionsWindowWidth, 0);
    EXPECT_EQ(options.optionsWindowHeight, 0);
    EXPECT_EQ(options.vstPaths, (Paths{"/v1/first", "/v1/second"}));
}

TEST_F(AppOptionsFile, ReadsVersionTwoWithItsDriverShift)
{
    struct Case {
        std::int32_t storedDriver;
        std::int32_t loadedDriver;
    };
    for (const Case c : {Case{0, 1}, Case{1, 2}}) {
        OptionsFileBytes file = OptionsFileBytes::Head(2);
        file.Int(c.storedDriver).Int(4).Int(768).Int(0x200).Int(2).Int(9).Int(8);
        file.Int(700).Int(500).Paths({"/v2/vst"});
        WriteBytes(path, file.bytes);

        CAppOptions options(path);
        options.DisableSaveOnExit();
        EXPECT_EQ(options.outputDriver, c.loadedDriver);
        // Version 2 had no null driver and nothing to store for it.
        EXPECT_EQ(options.nullBufferSize, 512);
        EXPECT_EQ(options.nullFormat, 2048);
        EXPECT_EQ(options.waveOutDevice, 4);
        EXPECT_EQ(options.waveOutBufferSize, 768);
        EXPECT_EQ(options.waveOutFormat, 0x200);
        EXPECT_EQ(options.asioDriver, 2);
        EXPECT_EQ(options.asioSetting, 9);
        EXPECT_EQ(options.asioRateFlags, 8);
        EXPECT_EQ(options.optionsWindowWidth, 700);
        EXPECT_EQ(options.optionsWindowHeight, 500);
        EXPECT_EQ(options.vstPaths, Paths{"/v2/vst"});
    }
}

TEST_F(AppOptionsFile, VersionTwoDriverAtTheIntegerLimitDoesNotOverflow)
{
    OptionsFileBytes file = OptionsFileBytes::Head(2);
    file.Int(INT32_MAX).Int(4).Int(768).Int(0x200).Int(2).Int(9).Int(8).Int(700).Int(500).Paths({});
    WriteBytes(path, file.bytes);
    CAppOptions options(path);   // the sanitizers stop the test on signed overflow
    options.DisableSaveOnExit();
    EXPECT_EQ(options.waveOutDevice, 4);
    EXPECT_EQ(options.optionsWindowHeight, 500);
}

TEST_F(AppOptionsFile, ZeroVstPathsIsAnEmptyListNotTheDefaults)
{
    for (std::int32_t version : {1, 2, 3}) {
        OptionsFileBytes file = OptionsFileBytes::Head(version);
        if (version == 2)
            file.Int(0).Int(0).Int(512).Int(2048).Int(0).Int(0).Int(4).Int(0).Int(0);
        else
            AppendSettings(file, kStored);
        if (version == 3)
            file.Int(0).Int(0);
        file.Paths({});
        WriteBytes(path, file.bytes);

        CAppOptions options(path);
        EXPECT_TRUE(options.vstPaths.empty()) << "version " << version;
        // And it stays empty through the next save.
    }
    CAppOptions reread(path);
    reread.DisableSaveOnExit();
    EXPECT_TRUE(reread.vstPaths.empty());
}

TEST_F(AppOptionsFile, WrongMagicIsIgnoredAndOverwritten)
{
    for (const std::string& magic : {std::string("CvOp"), std::string("povc"), std::string("pOvD"),
                                     std::string("\0\0\0\0", 4)}) {
        OptionsFileBytes file;
        file.Raw(magic).Int(3);
        AppendSettings(file, kStored).Int(640).Int(480).Paths({"/elsewhere"});
        WriteBytes(path, file.bytes);
        {
            CAppOptions options(path);
            ExpectDefaults(options, HomeDefaults());
            options.asioSetting = 42;
        }
        const std::vector<unsigned char> written = ReadBytes(path);
        ASSERT_GE(written.size(), 8u);
        EXPECT_EQ(std::string(written.begin(), written.begin() + 4), "pOvC");
        CAppOptions reread(path);
        reread.DisableSaveOnExit();
        EXPECT_EQ(reread.asioSetting, 42);
        EXPECT_EQ(reread.vstPaths, HomeDefaults());
    }
}

TEST_F(AppOptionsFile, UnknownVersionKeepsTheDefaults)
{
    for (std::int32_t version : {0, 4, -1, -3, INT32_MAX, INT32_MIN}) {
        OptionsFileBytes file = OptionsFileBytes::Head(version);
        AppendSettings(file, kStored).Int(640).Int(480).Paths({"/future"});
        WriteBytes(path, file.bytes);
        CAppOptions options(path);
        options.DisableSaveOnExit();
        ExpectDefaults(options, HomeDefaults());
    }
}

TEST_F(AppOptionsFile, VersionThreeCutAtEveryOffset)
{
    const Paths stored{"/srv/vst/one", "/srv/vst/two"};
    OptionsFileBytes file = OptionsFileBytes::Head(3);
    AppendSettings(file, kStored).Int(640).Int(480).Paths(stored);
    ReadEveryCut(path, file.bytes,
                 {{12, &CAppOptions::outputDriver, 2},
                  {16, &CAppOptions::nullBufferSize, 256},
                  {20, &CAppOptions::nullFormat, 0x400},
                  {24, &CAppOptions::waveOutDevice, 3},
                  {28, &CAppOptions::waveOutBufferSize, 1024},
                  {32, &CAppOptions::waveOutFormat, 0x8},
                  {36, &CAppOptions::asioDriver, 1},
                  {40, &CAppOptions::asioSetting, 7},
                  {44, &CAppOptions::asioRateFlags, 16},
                  {48, &CAppOptions::optionsWindowWidth, 640},
                  {52, &CAppOptions::optionsWindowHeight, 480}},
                 stored);
}

TEST_F(AppOptionsFile, VersionTwoCutAtEveryOffset)
{
    const Paths stored{"/old/vst"};
    OptionsFileBytes file = OptionsFileBytes::Head(2);
    file.Int(1).Int(4).Int(768).Int(0x200).Int(2).Int(9).Int(8).Int(700).Int(500).Paths(stored);
    ReadEveryCut(path, file.bytes,
                 {{12, &CAppOptions::outputDriver, 2},
                  {16, &CAppOptions::waveOutDevice, 4},
                  {20, &CAppOptions::waveOutBufferSize, 768},
                  {24, &CAppOptions::waveOutFormat, 0x200},
                  {28, &CAppOptions::asioDriver, 2},
                  {32, &CAppOptions::asioSetting, 9},
                  {36, &CAppOptions::asioRateFlags, 8},
                  {40, &CAppOptions::optionsWindowWidth, 700},
                  {44, &CAppOptions::optionsWindowHeight, 500}},
                 stored);
}

TEST_F(AppOptionsFile, VersionOneCutAtEveryOffset)
{
    const Paths stored{"/v1", "/v1/also", ""};
    OptionsFileBytes file = OptionsFileBytes::Head(1);
    AppendSettings(file, kStored).Paths(stored);
    ReadEveryCut(path, file.bytes,
                 {{12, &CAppOptions::outputDriver, 2},
                  {16, &CAppOptions::nullBufferSize, 256},
                  {20, &CAppOptions::nullFormat, 0x400},
                  {24, &CAppOptions::waveOutDevice, 3},
                  {28, &CAppOptions::waveOutBufferSize, 1024},
                  {32, &CAppOptions::waveOutFormat, 0x8},
                  {36, &CAppOptions::asioDriver, 1},
                  {40, &CAppOptions::asioSetting, 7},
                  {44, &CAppOptions::asioRateFlags, 16}},
                 stored);
}

TEST_F(AppOptionsFile, ImpossibleCountsAndLengthsKeepTheDefaultPaths)
{
    const auto withPathBytes = [](const std::function<void(OptionsFileBytes&)>& tail) {
        OptionsFileBytes file = OptionsFileBytes::Head(3);
        AppendSettings(file, kStored).Int(640).Int(480);
        tail(file);
        return file.bytes;
    };
    const std::vector<std::vector<unsigned char>> files = {
        withPathBytes([](OptionsFileBytes& f) { f.Int(INT32_MAX); }),
        withPathBytes([](OptionsFileBytes& f) { f.Int(INT32_MAX).Path("/real").Path("/also"); }),
        withPathBytes([](OptionsFileBytes& f) { f.Int(-1).Path("/real"); }),
        withPathBytes([](OptionsFileBytes& f) { f.Int(INT32_MIN); }),
        withPathBytes([](OptionsFileBytes& f) { f.Int(2).Int(INT32_MAX).Raw("/x"); }),
        withPathBytes([](OptionsFileBytes& f) { f.Int(1).Int(-5).Raw("/x\0"); }),
        withPathBytes([](OptionsFileBytes& f) { f.Int(2).Path("/first").Int(1000).Raw("/short"); }),
        withPathBytes([](OptionsFileBytes& f) { f.Int(3).Path("/a").Path("/b"); }),   // one short
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        WriteBytes(path, files[i]);
        CAppOptions options(path);
        options.DisableSaveOnExit();
        EXPECT_EQ(options.vstPaths, HomeDefaults()) << "file " << i;
        // Everything before the list was whole and is taken.
        EXPECT_EQ(options.asioRateFlags, 16) << "file " << i;
        EXPECT_EQ(options.optionsWindowHeight, 480) << "file " << i;
    }
}

TEST_F(AppOptionsFile, StoredTextEndsAtItsStoredLength)
{
    // The last string lacks its zero: the reader stops at the stored length,
    // never past the end of the file (the sanitizers watch the bytes).
    OptionsFileBytes file = OptionsFileBytes::Head(3);
    AppendSettings(file, kStored).Int(640).Int(480).Int(2).Path("/ok").Int(4).Raw("/abc");
    WriteBytes(path, file.bytes);
    CAppOptions options(path);
    options.DisableSaveOnExit();
    EXPECT_EQ(options.vstPaths, (Paths{"/ok", "/abc"}));

    // A zero inside the stored length ends the text there.
    OptionsFileBytes inner = OptionsFileBytes::Head(3);
    AppendSettings(inner, kStored).Int(640).Int(480).Int(1).Int(6).Raw(std::string("/ab\0cd", 6));
    WriteBytes(path, inner.bytes);
    CAppOptions second(path);
    second.DisableSaveOnExit();
    EXPECT_EQ(second.vstPaths, Paths{"/ab"});
}

TEST_F(AppOptionsFile, RandomCorruptionNeverEscapesTheFile)
{
    const Paths stored{"/srv/vst/one", "/srv/vst/two", "/usr/lib/vst"};
    OptionsFileBytes file = OptionsFileBytes::Head(3);
    AppendSettings(file, kStored).Int(640).Int(480).Paths(stored);
    std::mt19937 random(20240611);   // fixed: the same damage every run
    for (int round = 0; round < 2000; ++round) {
        std::vector<unsigned char> damaged = file.bytes;
        const int flips = 1 + static_cast<int>(random() % 6);
        for (int flip = 0; flip < flips; ++flip) {
            // Past the head, so that the body is always parsed.
            const std::size_t at = 8 + random() % (damaged.size() - 8);
            damaged[at] = static_cast<unsigned char>(random());
        }
        if (random() % 4 == 0)
            damaged.resize(8 + random() % (damaged.size() - 8));
        CAppOptions options{std::string()};
        options.ReadFrom(damaged);
        if (options.vstPaths == HomeDefaults())
            continue;
        std::size_t textBytes = 0;
        for (const std::string& folder : options.vstPaths)
            textBytes += folder.size();
        EXPECT_LE(textBytes, damaged.size()) << "round " << round;
    }
}

TEST_F(AppOptionsFile, SaveCreatesTheFolderAndLeavesNoTemporary)
{
    const std::string nested = folder / "deep/er/Corvane Studio/Corvane.opt";
    CAppOptions options(nested);
    options.DisableSaveOnExit();
    ASSERT_TRUE(options.Save());
    ASSERT_TRUE(options.Save());   // the folder now exists: no error either

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "deep/er/Corvane Studio"))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"Corvane.opt"});
}

TEST_F(AppOptionsFile, SaveReplacesTheFileInsteadOfRewritingIt)
{
    // The old file is kept whole until the new one is complete: a second
    // name for the old file still shows its old bytes after the save.
    OptionsFileBytes old = OptionsFileBytes::Head(3);
    AppendSettings(old, kStored).Int(640).Int(480).Paths({"/old"});
    WriteBytes(path, old.bytes);
    const std::string second = folder / "second-name.opt";
    ASSERT_EQ(link(path.c_str(), second.c_str()), 0);

    CAppOptions options(path);
    options.DisableSaveOnExit();
    options.asioSetting = 1234;
    options.vstPaths = {"/new", "/newer"};
    ASSERT_TRUE(options.Save());

    EXPECT_EQ(ReadBytes(second), old.bytes);
    struct stat oldInfo {}, newInfo {};
    ASSERT_EQ(stat(second.c_str(), &oldInfo), 0);
    ASSERT_EQ(stat(path.c_str(), &newInfo), 0);
    EXPECT_NE(oldInfo.st_ino, newInfo.st_ino);
    CAppOptions reread(path);
    reread.DisableSaveOnExit();
    EXPECT_EQ(reread.asioSetting, 1234);
    EXPECT_EQ(reread.vstPaths, (Paths{"/new", "/newer"}));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST_F(AppOptionsFile, SaveFailsQuietlyWhereNoFolderCanBeMade)
{
    WriteBytes(folder / "blocker", {'x'});
    CAppOptions options(folder / "blocker/Corvane Studio/Corvane.opt");
    EXPECT_FALSE(options.Save());
    // The destructor tries again and fails as quietly.
}
