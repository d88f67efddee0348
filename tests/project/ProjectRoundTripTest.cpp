// A rich project saved and read back: everything it holds comes back equal,
// saving it again gives the same bytes, and it plays the same.

#include <gtest/gtest.h>

#include "framework/ControlEvent.h"
#include "project/ProjectCommands.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "tests/project/ProjectDescription.h"
#include "tests/project/ScratchFolder.h"
#include "tests/sequencing/SequencingRig.h"

using namespace project_test;
using namespace sequencing_test;

namespace {

struct Song {
    CRecordingMachine* synth;
    CRecordingMachine* pads;
};

int TrackOf(CSequencingRig& rig, CMachine* machine, int input = 0)
{
    const CSequence& song = rig.sequenceEditor->Sequence();
    return song.IndexOfTrack(song.FindTrack(CSequencingRig::ControlIn(machine, input)));
}

/// Every kind of thing a project holds, a few of each.
Song BuildRichProject(CSequencingRig& rig)
{
    rig.SetTempo(133.0, 12.0);
    CMachineContainer* synthBox = rig.Add(kRecorderType, "Lead", 100, 200);
    CMachineContainer* padsBox = rig.Add(kPadsType, "Drums", 300, 40);
    CMachineContainer* twoBox = rig.Add(kTwoPortsType, "Bass", 5, 500);
    CMachineContainer* customBox = rig.Add(kCustomType, "Odd One", 7, 8);
    synthBox->guiMode = GuiMode::DefaultGui;
    padsBox->guiMode = GuiMode::CustomGui;
    twoBox->guiMode = static_cast<GuiMode>(-1);
    auto* synth = static_cast<CRecordingMachine*>(synthBox->machine);
    auto* pads = static_cast<CRecordingMachine*>(padsBox->machine);
    auto* two = static_cast<CRecordingMachine*>(twoBox->machine);
    for (int i = 0; i < 4; ++i) {
        synth->SetParameter(i, 0.1 * (i + 1));
        two->SetParameter(i, 1.0 / (i + 3));
    }
    pads->SetParameter(1, 0.8);
    static_cast<CCustomStateMachine*>(customBox->machine)->ownState = std::string("custom\0bytes\x01\x02", 14);

    CConnector* masterIn = rig.studio->MasterContainer()->connectors[0];
    rig.studio->Connect(synthBox->connectors[1], masterIn, 0.5);
    rig.studio->Connect(masterIn, padsBox->connectors[1], 0.125);   // dragged the other way
    rig.studio->Connect(twoBox->connectors[1], masterIn, 1e-9);

    CPatternEditor& editor = *rig.patternEditor;
    CPattern* verse = rig.AddPattern(synth, 16);
    verse->AddNote(0, 4, 60);
    verse->AddNote(4, 2, 64);
    verse->AddNote(8, 1, 67);
    editor.SelectProperty(-1);
    editor.AddControlTrack();
    verse->VelocityTrack()->SetPoint(4, 0.3f);
    verse->VelocityTrack()->ClearPoint(50);
    editor.SelectProperty(2);
    editor.AddControlTrack();
    verse->ControlTrack(1)->SetPoint(0, 0.0f);
    verse->ControlTrack(1)->SetPoint(33, 0.66f);
    verse->ControlTrack(1)->SetPoint(63, 1.0f);
    CPattern* chorus = rig.AddPattern(synth, 8);
    chorus->AddNote(1, 7, 72);
    chorus->AddNote(9, 3, 71);
    editor.RenamePattern("Chorus");

    CPattern* beat = rig.AddPattern(pads, 4);
    for (int tick = 0; tick < 16; tick += 2)
        beat->AddNote(tick, 1, tick % 11);
    editor.SelectProperty(-1);
    editor.AddControlTrack();
    beat->VelocityTrack()->SetPoint(2, 0.125f);

    CPattern* line = rig.AddPattern(two, 2, 1);
    line->AddNote(0, 8, 36);
    editor.SelectProperty(3);
    editor.AddControlTrack();
    line->ControlTrack(0)->SetPoint(5, 0.25f);

    CSequenceEditor& sequence = *rig.sequenceEditor;
    sequence.SetLength(40);
    sequence.PlaceEntry(TrackOf(rig, synth), 0, verse);
    sequence.PlaceEntry(TrackOf(rig, synth), 24, verse);
    sequence.PlaceEntry(TrackOf(rig, synth), 16, chorus);
    for (int position : {0, 4, 8})
        sequence.PlaceEntry(TrackOf(rig, pads), position, beat);
    sequence.PlaceEntry(TrackOf(rig, two, 1), 10, line);
    rig.project->notes = "Verse first,\nthen the chorus.";
    return {synth, pads};
}

} // namespace

TEST(ProjectRoundTrip, EverythingComesBackAndSavesToTheSameBytes)
{
    CScratchFolder folder;
    const std::string file = folder.File("song.cvx");
    CSequencingRig saved;
    BuildRichProject(saved);
    SaveProjectAs(*saved.project, file);
    EXPECT_EQ(saved.project->path, file);
    EXPECT_EQ(ProjectTitle(*saved.project), "Corvane Studio - song.cvx");

    CSequencingRig loaded;
    loaded.SetTempo(90.0, 4.0);
    OpenProject(*loaded.project, file);
    EXPECT_TRUE(loaded.reports.empty());
    EXPECT_EQ(DescribeProject(*loaded.project), DescribeProject(*saved.project));
    EXPECT_EQ(EncodeProject(*loaded.project), ReadBytes(file));

    auto* custom = static_cast<CCustomStateMachine*>(loaded.studio->Containers()[4]->machine);
    EXPECT_TRUE(custom->loaded);
    EXPECT_FALSE(custom->loadedHostFormat);
    EXPECT_EQ(custom->ownState, std::string("custom\0bytes\x01\x02", 14));
}

TEST(ProjectRoundTrip, ReadBackSongPlaysTheSameEvents)
{
    CScratchFolder folder;
    const std::string file = folder.File("song.cvx");
    CSequencingRig saved(512);
    const Song original = BuildRichProject(saved);
    WriteProject(*saved.project, file);

    CSequencingRig loaded(512);
    OpenProject(*loaded.project, file);
    auto* synth = static_cast<CRecordingMachine*>(loaded.studio->Containers()[1]->machine);
    auto* pads = static_cast<CRecordingMachine*>(loaded.studio->Containers()[2]->machine);

    for (CSequencingRig* rig : {&saved, &loaded}) {
        rig->sequenceEditor->Play();
        rig->Render(1000);   // the whole song
    }
    ASSERT_EQ(synth->received.size(), original.synth->received.size());
    ASSERT_GT(synth->received.size(), 20u);
    for (std::size_t i = 0; i < synth->received.size(); ++i) {
        const ControlEvent& a = original.synth->received[i].event;
        const ControlEvent& b = synth->received[i].event;
        EXPECT_EQ(original.synth->received[i].block, synth->received[i].block);
        EXPECT_EQ(a.time, b.time);
        EXPECT_EQ(a.type, b.type);
        EXPECT_EQ(a.index, b.index);
        EXPECT_EQ(a.value, b.value);
    }
    EXPECT_EQ(pads->SamplesOf(kEventTriggerOn, 512), original.pads->SamplesOf(kEventTriggerOn, 512));
}

TEST(ProjectRoundTrip, NewProjectStartsWithTheMasterAndKeepsTheTempo)
{
    CSequencingRig rig;
    BuildRichProject(rig);
    rig.project->path = "/somewhere/old.cvx";
    NewProject(*rig.project);
    ASSERT_EQ(rig.studio->Containers().size(), 1u);
    CMachineContainer* master = rig.studio->MasterContainer();
    ASSERT_NE(master, nullptr);
    EXPECT_EQ(master->GetName(), "Master");
    EXPECT_EQ(master->x, 32);
    EXPECT_EQ(master->y, 32);
    EXPECT_EQ(rig.project->notes, "");
    EXPECT_EQ(rig.project->path, "");
    EXPECT_EQ(ProjectTitle(*rig.project), "Corvane Studio");
    EXPECT_EQ(rig.host->GetTempo(), 133.0);
    EXPECT_EQ(rig.host->GetTicksPerBeat(), 12.0);
    EXPECT_EQ(rig.sequenceEditor->Length(), 40);
    EXPECT_EQ(rig.patternEditor->PatternCount(), 0);
    EXPECT_EQ(rig.sequenceEditor->Sequence().TrackCount(), 0);
    EXPECT_FALSE(SaveProject(*rig.project));
}
