// Saving: the layout of what is written, names that do not fit, and saves
// that fail without harming the file they would have replaced.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "framework/Error.h"
#include "project/ProjectCommands.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "tests/project/ScratchFolder.h"
#include "tests/sequencing/SequencingRig.h"

using namespace project_test;
using namespace sequencing_test;

namespace {

std::int32_t Int32At(const std::vector<unsigned char>& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | bytes[offset + static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(value);
}

std::string FieldAt(const std::vector<unsigned char>& bytes, std::size_t offset)
{
    const auto* text = reinterpret_cast<const char*>(bytes.data() + offset);
    return std::string(text, strnlen(text, 1024));
}

/// Runs a save as a user who may not write where root could: root passes
/// every permission check, so the file-system identity is lowered for the
/// duration (it is per thread and given back after).
template <class Save>
void AsUnprivilegedUser(Save save)
{
    const bool root = ::geteuid() == 0;
    if (root)
        ::setfsuid(65534);
    try {
        save();
    } catch (...) {
        if (root)
            ::setfsuid(0);
        throw;
    }
    if (root)
        ::setfsuid(0);
}

} // namespace

TEST(ProjectSave, HeaderRecordsAndEmptyNotesAreLaidOutFieldByField)
{
    CSequencingRig rig;
    rig.SetTempo(97.5, 6.0);
    rig.studio->MasterContainer()->guiMode = GuiMode::DefaultGui;
    const std::vector<unsigned char> file = EncodeProject(*rig.project);

    // Header, the master's record and state, its two empty blocks, the
    // song block (length, no tracks) and the notes.
    ASSERT_EQ(file.size(), 18u + 2065 + 8 + 16 + 12 + 5);
    EXPECT_EQ(std::vector<unsigned char>(file.begin(), file.begin() + 6),
              (std::vector<unsigned char>{0x20, 0x58, 0x56, 0x43, 4, 0}));
    float tempo;
    float ticksPerBeat;
    std::memcpy(&tempo, &file[6], 4);
    std::memcpy(&ticksPerBeat, &file[10], 4);
    EXPECT_EQ(tempo, 97.5f);
    EXPECT_EQ(ticksPerBeat, 6.0f);
    EXPECT_EQ(Int32At(file, 14), 1);
    EXPECT_EQ(FieldAt(file, 18), "Master");
    EXPECT_EQ(FieldAt(file, 18 + 1024), "Master");
    EXPECT_EQ(Int32At(file, 18 + 2048), 32);
    EXPECT_EQ(Int32At(file, 18 + 2052), 32);
    EXPECT_EQ(Int32At(file, 18 + 2056), 1);
    EXPECT_EQ(Int32At(file, 18 + 2060), 8);
    EXPECT_EQ(file[18 + 2064], 1);
    EXPECT_EQ(Int32At(file, 18 + 2065), 0x50483634);   // "46HP"
    EXPECT_EQ(Int32At(file, 18 + 2065 + 4), 0);
    // Empty cable and pattern blocks, a song of no tracks, the notes.
    const std::size_t blocks = 18 + 2065 + 8;
    EXPECT_EQ(Int32At(file, blocks), 4);
    EXPECT_EQ(Int32At(file, blocks + 4), 0);
    EXPECT_EQ(Int32At(file, blocks + 16), 8);
    EXPECT_EQ(Int32At(file, blocks + 20), 64);
    EXPECT_EQ(std::vector<unsigned char>(file.end() - 5, file.end()), (std::vector<unsigned char>{1, 0, 0, 0, 0}));
}

TEST(ProjectSave, NamesThatDoNotFitTheirFieldAreCut)
{
    CSequencingRig rig;
    const std::string longName(1500, 'a');
    CRecordingMachine* synth = rig.AddRecorder(longName.c_str());
    rig.AddPattern(synth);
    rig.patternEditor->RenamePattern(std::string(1024, 'b'));
    const std::vector<unsigned char> file = EncodeProject(*rig.project);

    CSequencingRig loaded(256, 44100, false);
    ReadProjectData(*loaded.project, file.data(), file.size(), "names.cvx");
    ASSERT_EQ(loaded.studio->Containers().size(), 2u);
    EXPECT_EQ(loaded.studio->Containers()[1]->GetName(), std::string(1023, 'a'));
    ASSERT_EQ(loaded.patternEditor->PatternCount(), 1);
    EXPECT_EQ(loaded.patternEditor->PatternAt(0)->Name(), std::string(1023, 'b'));
}

TEST(ProjectSave, SaveIntoAReadOnlyFolderLeavesTheOldFileAlone)
{
    CScratchFolder folder;
    const std::string file = folder.File("keep.cvx");
    CSequencingRig rig;
    SaveProjectAs(*rig.project, file);
    const std::vector<unsigned char> before = ReadBytes(file);

    rig.AddRecorder("Added later");
    ::chmod(folder.path.c_str(), 0555);
    try {
        AsUnprivilegedUser([&] { SaveProject(*rig.project); });
        FAIL() << "saved into a read-only folder";
    } catch (const CError& error) {
        EXPECT_EQ(error.Message(), "Failed To Open File '" + file + "' For Writing");
    }
    ::chmod(folder.path.c_str(), 0755);
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"keep.cvx"});
}

TEST(ProjectSave, SaveThatRunsOutOfRoomLeavesTheOldFileAlone)
{
    CScratchFolder folder;
    const std::string file = folder.File("full.cvx");
    CSequencingRig rig;
    SaveProjectAs(*rig.project, file);
    const std::vector<unsigned char> before = ReadBytes(file);
    for (int i = 0; i < 3; ++i)
        rig.AddRecorder("Grows the file");

    // A file-size limit stands in for a full disk: the write stops part of
    // the way through, as it would with no room left.
    struct rlimit saved;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit limited = saved;
    limited.rlim_cur = 4096;
    auto* previous = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limited);
    std::string message;
    try {
        SaveProject(*rig.project);
    } catch (const CError& error) {
        message = error.Message();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previous);

    EXPECT_EQ(message, "Failed To Write File '" + file + "'");
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"full.cvx"});
}

TEST(ProjectSave, ReplacingAFileKeepsItsPermissionsAndItsLink)
{
    CScratchFolder folder;
    const std::string file = folder.File("shared.cvx");
    const std::string link = folder.File("link.cvx");
    WriteBytes(file, {1, 2, 3});
    ::chmod(file.c_str(), 0640);
    std::filesystem::create_symlink(file, link);

    CSequencingRig rig;
    rig.AddRecorder("Lead");
    SaveProjectAs(*rig.project, link);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(file), EncodeProject(*rig.project));
    struct stat status;
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);

    CSequencingRig other(256, 44100, false);
    OpenProject(*other.project, link);
    EXPECT_EQ(other.studio->Containers().size(), 2u);
    EXPECT_EQ(ProjectTitle(*other.project), "Corvane Studio - link.cvx");
    ClearProject(*other.project);
    EXPECT_EQ(other.project->path, "");
    EXPECT_EQ(other.studio->MasterContainer(), nullptr);
}
