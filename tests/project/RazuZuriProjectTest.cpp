// A project of real instruments: the stock library is loaded as the
// program loads it, and a project of RazuZuri synthesizers with patterns
// and a song goes through a file and comes back whole, and plays.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "plugins/MachineLibraryLoader.h"
#include "project/ProjectCommands.h"
#include "project/ProjectWriter.h"
#include "tests/project/ProjectDescription.h"
#include "tests/project/ScratchFolder.h"
#include "tests/sequencing/SequencingRig.h"

using namespace project_test;
using namespace sequencing_test;

namespace {

class RazuZuriProject : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(folder.path / "PlugIns");
        std::filesystem::copy_file(CORVANE_STOCKPACK_LIBRARY, folder.path / "PlugIns" / "stockpack.so");
        for (CSequencingRig* rig : {&saved, &loaded})
            ASSERT_EQ(LoadMachineLibraries(folder.File("PlugIns"), *rig->host, *rig->registry, {}), 1);
    }

    /// The largest output sample while the song plays.
    static double SongPeak(CSequencingRig& rig, int blocks)
    {
        rig.sequenceEditor->Play();
        double peak = 0.0;
        for (int b = 0; b < blocks; ++b) {
            rig.driver->Render(1, [&peak](int channels, const double* const* buffers, int length) {
                for (int c = 0; c < channels; ++c)
                    for (int s = 0; s < length; ++s)
                        peak = std::max(peak, std::fabs(buffers[c][s]));
            });
        }
        return peak;
    }

    CScratchFolder folder;
    CSequencingRig saved{512};
    CSequencingRig loaded{512};
};

} // namespace

TEST_F(RazuZuriProject, SongOfSynthesizersRoundTripsAndPlays)
{
    CMachineContainer* mono = saved.Add("CorvPlug::KV RazuZuri", "Lead", 200, 100);
    CMachineContainer* poly = saved.Add("CorvPlug::KV RazuZuri (Polyphonic)", "Pads", 200, 250);
    ASSERT_GT(mono->machine->parameterCount, 4);
    for (int i = 0; i < 4; ++i)
        poly->machine->SetParameter(i, 0.2 * i);
    CConnector* masterIn = saved.studio->MasterContainer()->connectors[0];
    CConnector* monoOut = nullptr;
    for (CConnector* connector : mono->connectors)
        if (connector->IsAudio() && connector->IsOutput())
            monoOut = connector;
    ASSERT_NE(monoOut, nullptr);
    saved.studio->Connect(monoOut, masterIn, 0.7);
    for (CConnector* connector : poly->connectors)
        if (connector->IsAudio() && connector->IsOutput())
            saved.studio->Connect(connector, masterIn, 0.4);

    CPattern* riff = saved.AddPattern(mono->machine, 4);
    for (int tick = 0; tick < 16; tick += 4)
        riff->AddNote(tick, 3, 57 + tick / 4);
    riff->AddControlTrack(-1);
    riff->AddControlTrack(1);
    riff->ControlTrack(1)->SetPoint(0, 0.8f);
    CPattern* chords = saved.AddPattern(poly->machine, 8);
    for (int note : {60, 64, 67})
        chords->AddNote(0, 16, note);
    const CSequence& song = saved.sequenceEditor->Sequence();
    saved.sequenceEditor->SetLength(16);
    saved.sequenceEditor->PlaceEntry(song.IndexOfTrack(song.FindTrack(riff->Target())), 0, riff);
    saved.sequenceEditor->PlaceEntry(song.IndexOfTrack(song.FindTrack(riff->Target())), 4, riff);
    saved.sequenceEditor->PlaceEntry(song.IndexOfTrack(song.FindTrack(chords->Target())), 0, chords);
    saved.project->notes = "RazuZuri";

    const std::string file = folder.File("synths.cvx");
    SaveProjectAs(*saved.project, file);
    OpenProject(*loaded.project, file);
    EXPECT_TRUE(loaded.reports.empty());
    EXPECT_EQ(DescribeProject(*loaded.project), DescribeProject(*saved.project));
    EXPECT_EQ(EncodeProject(*loaded.project), ReadBytes(file));

    // A second of the song: the read-back synthesizers sound.
    EXPECT_GT(SongPeak(loaded, 90), 0.01);
}
