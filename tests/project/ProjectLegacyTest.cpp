// Files of every version the reader takes, built byte by byte: what each
// version carries, what it lacks, and how the reader treats machines it
// cannot make.

#include <gtest/gtest.h>

#include <limits>

#include "framework/Connection.h"
#include "framework/Error.h"
#include "project/ProjectCommands.h"
#include "project/ProjectReader.h"
#include "tests/project/ProjectBytes.h"
#include "tests/project/ScratchFolder.h"
#include "tests/sequencing/SequencingRig.h"

using namespace project_test;
using namespace sequencing_test;

namespace {

const std::vector<unsigned char> kNoState;

class LegacyFile : public ::testing::Test {
protected:
    /// Master and a recorder, the recorder cabled to the master, one
    /// pattern with a note on the recorder, one song entry.
    CProjectBytes TwoMachines(int version, int notesFlag, double gain)
    {
        CProjectBytes file;
        file.Header(version, notesFlag, 120.0f, 8.0f);
        file.Int32(2);
        file.Machine("Master", "Master", 32, 32, 0, CProjectBytes::DefaultState({}));
        file.Machine("Lead", kRecorderType, -5, 70, 1, CProjectBytes::DefaultState({0.25, 0.5}));
        file.Cables({{1, 1, 0, 0, gain}}).Patterns({});
        file.Cables({}).Patterns({{7, 2, "Riff", 1, 0, {{0, 2, 60}}, {}}});
        file.Song(12, {{0, {{3, 7}}}});
        return file;
    }

    void Read(const CProjectBytes& file)
    {
        const std::string path = folder.File("old.cvx");
        WriteBytes(path, file.bytes);
        OpenProject(*rig.project, path);
    }

    CConnection* OnlyCable() const
    {
        CConnector* masterIn = rig.studio->MasterContainer()->connectors[0];
        return masterIn->connections.size() == 1 ? masterIn->connections[0] : nullptr;
    }

    CScratchFolder folder;
    CSequencingRig rig{256, 44100, false};
};

} // namespace

TEST_F(LegacyFile, VersionThreeHasNoTicksPerBeatAndItsNotesFollowTheSong)
{
    rig.SetTempo(140.0, 4.0);
    CProjectBytes file = TwoMachines(3, 0, 0.75);
    file.Notes("Old notes");
    Read(file);

    EXPECT_EQ(rig.host->GetTempo(), 120.0);
    EXPECT_EQ(rig.host->GetTicksPerBeat(), 16.0);
    EXPECT_EQ(rig.project->notes, "Old notes");
    ASSERT_NE(OnlyCable(), nullptr);
    EXPECT_EQ(OnlyCable()->volume, 0.75);

    ASSERT_EQ(rig.studio->Containers().size(), 2u);
    CMachineContainer* lead = rig.studio->Containers()[1];
    EXPECT_EQ(lead->GetName(), "Lead");
    EXPECT_EQ(lead->x, 0);   // negative positions become 0
    EXPECT_EQ(lead->y, 70);
    EXPECT_EQ(lead->guiMode, GuiMode::DefaultGui);
    auto* machine = static_cast<CRecordingMachine*>(lead->machine);
    EXPECT_EQ(machine->values, (std::vector<double>{0.25, 0.5, 0.0, 0.0}));

    ASSERT_EQ(rig.patternEditor->PatternCount(), 1);
    CPattern* riff = rig.patternEditor->PatternAt(0);
    EXPECT_EQ(riff->Name(), "Riff");
    EXPECT_EQ(riff->Index(), 7);
    EXPECT_EQ(riff->NoteCount(), 1);
    EXPECT_EQ(rig.sequenceEditor->Length(), 12);
    const CSequenceTrack& track = *rig.sequenceEditor->Sequence().Track(0);
    ASSERT_EQ(track.EntryCount(), 1);
    EXPECT_EQ(track.Entry(0)->position, 3);
    EXPECT_EQ(track.Entry(0)->pattern, riff);
    EXPECT_EQ(rig.studio->MasterContainer(), rig.studio->Containers()[0]);
}

TEST_F(LegacyFile, VersionTwoCarriesFloatGainsAndNotesOnlyWithItsFlag)
{
    CProjectBytes withNotes = TwoMachines(2, 1, 0.3);
    withNotes.Notes("Flagged");
    Read(withNotes);
    EXPECT_EQ(rig.project->notes, "Flagged");
    ASSERT_NE(OnlyCable(), nullptr);
    EXPECT_EQ(OnlyCable()->volume, static_cast<double>(0.3f));

    rig.project->notes = "left from before";
    Read(TwoMachines(2, 0, 0.3));   // the file ends after the song
    EXPECT_EQ(rig.project->notes, "");
    EXPECT_EQ(rig.patternEditor->PatternCount(), 1);
}

TEST_F(LegacyFile, VersionsZeroAndOneGiveEveryCableUnityGain)
{
    for (int version : {0, 1, -1}) {
        Read(TwoMachines(version, 1, 0.3));
        ASSERT_NE(OnlyCable(), nullptr) << version;
        EXPECT_EQ(OnlyCable()->volume, 1.0);
        EXPECT_EQ(rig.sequenceEditor->Sequence().Track(0)->EntryCount(), 1);
        EXPECT_EQ(rig.project->notes, "");
    }
}

TEST_F(LegacyFile, NewerVersionAndForeignMagicAreRefused)
{
    const std::string path = folder.File("new.cvx");
    CProjectBytes newer = TwoMachines(4, 0, 1.0);
    newer.Notes("");
    newer.bytes[4] = 5;
    WriteBytes(path, newer.bytes);
    try {
        OpenProject(*rig.project, path);
        FAIL() << "read a version 5 file";
    } catch (const CError& error) {
        EXPECT_EQ(error.Message(), "File '" + path + "' Has Incompatible Version Number");
    }
    EXPECT_EQ(rig.project->path, path);

    newer.bytes[4] = 4;
    newer.bytes[1] = 'Y';
    WriteBytes(path, newer.bytes);
    try {
        OpenProject(*rig.project, path);
        FAIL() << "read a file of another magic";
    } catch (const CError& error) {
        EXPECT_EQ(error.Message(), "File '" + path + "' Is Corrupt");
    }
    const std::string missing = folder.File("absent.cvx");
    try {
        OpenProject(*rig.project, missing);
        FAIL() << "read a missing file";
    } catch (const CError& error) {
        EXPECT_EQ(error.Message(), "Failed To Open File '" + missing + "' For Reading: it does not exist");
    }
    try {
        OpenProject(*rig.project, folder.path.string());
        FAIL() << "read a folder";
    } catch (const CError& error) {
        EXPECT_EQ(error.Message(), "Failed To Open File '" + folder.path.string() + "' For Reading: it is a folder");
    }
}

TEST_F(LegacyFile, UnregisteredTypeIsReportedAndTheRestLoads)
{
    CProjectBytes file;
    file.Header(4, 0, 100.0f, 16.0f).Int32(3);
    file.Machine("Master", "Master", 32, 32, 0, kNoState);
    file.Machine("Ghost", "CorvPlug::KV Nowhere", 50, 50, 1, CProjectBytes::DefaultState({0.5}));
    file.Machine("Lead", kRecorderType, 90, 90, 0, kNoState);
    file.Cables({}).Patterns({});
    // The ghost's cable and pattern, and the lead's.
    file.Cables({{1, 1, 0, 0, 0.5}}).Patterns({{0, 4, "Ghostly", 1, 0, {{0, 1, 50}}, {}}});
    file.Cables({{2, 1, 0, 0, 0.25}}).Patterns({{1, 4, "Lead 1", 2, 0, {{0, 1, 62}}, {}}});
    // Stored in the ghost's order: its track first, then the lead's.
    file.Song(16, {{0, {{0, 0}}}, {0, {{2, 1}, {8, 1}}}});
    file.Notes("Kept");
    Read(file);

    ASSERT_EQ(rig.reports.size(), 1u);
    EXPECT_EQ(rig.reports[0], "Machine of name \"Ghost\" could not be loaded.\r\nIf you save the project the "
                              "machine's settings, connections, and patterns (if any) will be lost.");
    ASSERT_EQ(rig.studio->Containers().size(), 2u);
    ASSERT_NE(OnlyCable(), nullptr);
    EXPECT_EQ(OnlyCable()->volume, 0.25);
    ASSERT_EQ(rig.patternEditor->PatternCount(), 1);
    EXPECT_EQ(rig.patternEditor->PatternAt(0)->Name(), "Lead 1");
    const CSequenceTrack& lead = *rig.sequenceEditor->Sequence().Track(0);
    ASSERT_EQ(lead.EntryCount(), 2);
    EXPECT_EQ(lead.Entry(0)->position, 2);
    EXPECT_EQ(lead.Entry(1)->position, 8);
    EXPECT_EQ(rig.project->notes, "Kept");
}

TEST_F(LegacyFile, MasterAndTheOldSynthesizerName)
{
    CProjectBytes file;
    file.Header(4, 0, 140.0f, 16.0f).Int32(2);
    file.Machine("CorvPlug::KV Moravox", kRecorderType, 1, 2, 0, kNoState);
    file.Machine("Master", "Master", 400, 300, 0, kNoState);
    file.Cables({}).Patterns({}).Cables({{0, 1, 1, 0, 1.0}}).Patterns({});
    file.Song(64, {{0, {}}}).Notes("");
    Read(file);
    ASSERT_EQ(rig.studio->Containers().size(), 2u);
    EXPECT_EQ(rig.studio->Containers()[0]->GetName(), "CorvPlug::KV RazuZuri");
    EXPECT_EQ(rig.studio->Containers()[0]->identifier, kRecorderType);
    CMachineContainer* master = rig.studio->MasterContainer();
    ASSERT_EQ(master, rig.studio->Containers()[1]);
    EXPECT_EQ(master->x, 400);
    EXPECT_EQ(master->y, 300);
    EXPECT_NE(OnlyCable(), nullptr);
}

TEST_F(LegacyFile, ValuesThatDoNotFitAreLimitedOrLeftOut)
{
    CProjectBytes file;
    file.Header(4, 0, 0.0f, 1000.0f).Int32(3);
    file.Machine("Master", "Master", 0, 0, 0, kNoState);
    // A state block shorter than its header, and one whose count claims
    // more values than it holds.
    file.Machine("Short", kRecorderType, 0, 0, 0, {0x34, 0x36, 0x48, 0x50});
    std::vector<unsigned char> overclaimed = CProjectBytes::DefaultState({0.5, 0.75});
    overclaimed[4] = 9;
    file.Machine("Over", kRecorderType, 0, 0, 0, overclaimed);
    file.Cables({}).Patterns({});
    file.Cables({{1, 1, 0, 0, std::numeric_limits<double>::quiet_NaN()}}).Patterns({});
    TrackRecord tooLong{0, std::vector<std::pair<float, std::uint8_t>>(20, {0.5f, 1})};
    tooLong.points[3] = {7.0f, 1};
    tooLong.points[4] = {std::numeric_limits<float>::quiet_NaN(), 1};
    TrackRecord duplicate{0, {{0.1f, 1}}};
    TrackRecord unknown{9, {{0.1f, 1}}};
    PatternRecord odd{5, 4, "Odd", 2, 0,
                      {{0, 4, 60}, {2, 1, 60}, {14, 4, 61}, {-1, 1, 62}, {3, 0, 63}, {3, 1, 200}, {4, 1, 60}},
                      {tooLong, duplicate, unknown}};
    PatternRecord lost{6, 4, "No port", 2, 7, {{0, 1, 60}}, {}};
    file.Cables({}).Patterns({odd, lost});
    // Entries: past the end, overlapping, before the start, of no pattern,
    // of the pattern without a port, and one that fits.
    file.Song(5000, {{0, {{4094, 5}, {0, 5}, {2, 5}, {-4, 5}, {8, 99}, {12, 6}}}}).Notes("");
    Read(file);

    EXPECT_EQ(rig.host->GetTempo(), 1.0);
    EXPECT_EQ(rig.host->GetTicksPerBeat(), 64.0);
    EXPECT_EQ(OnlyCable()->volume, 1.0);
    auto* shortState = static_cast<CRecordingMachine*>(rig.studio->Containers()[1]->machine);
    auto* overState = static_cast<CRecordingMachine*>(rig.studio->Containers()[2]->machine);
    EXPECT_EQ(shortState->values, (std::vector<double>{0, 0, 0, 0}));
    EXPECT_EQ(overState->values, (std::vector<double>{0.5, 0.75, 0, 0}));

    ASSERT_EQ(rig.patternEditor->PatternCount(), 1);
    CPattern* pattern = rig.patternEditor->PatternAt(0);
    ASSERT_EQ(pattern->NoteCount(), 2);
    EXPECT_EQ(pattern->FirstNote()->start, 0);
    EXPECT_EQ(pattern->LastNote()->start, 4);
    ASSERT_EQ(pattern->ControlTrackCount(), 1);
    const CControlTrack& track = *pattern->ControlTrack(0);
    EXPECT_EQ(track.PointCount(), 16);
    EXPECT_EQ(track.Point(3).value, 1.0f);
    EXPECT_EQ(track.Point(4).value, 0.0f);
    EXPECT_EQ(track.Point(15).value, 0.5f);

    EXPECT_EQ(rig.sequenceEditor->Length(), 4096);
    const CSequenceTrack& song = *rig.sequenceEditor->Sequence().Track(1);   // Over's
    ASSERT_EQ(song.EntryCount(), 1);
    EXPECT_EQ(song.Entry(0)->position, 0);
}
