// Damaged files: every truncation of a valid file, counts and lengths that
// cannot be what the file holds, and random damage. Each is reported as
// corrupt (or read as far as it makes sense) and never read past its data;
// the sanitizers watch every access.

#include <gtest/gtest.h>

#include <random>

#include "framework/Error.h"
#include "project/ProjectCommands.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "tests/project/ProjectBytes.h"
#include "tests/sequencing/SequencingRig.h"

using namespace project_test;
using namespace sequencing_test;

namespace {

const std::string kPath = "/projects/damaged.cvx";
const std::string kCorrupt = "File '/projects/damaged.cvx' Is Corrupt";

/// A small file with a bit of everything: a machine with its state, a
/// pattern with a note and both kinds of track, a song entry and notes;
/// with the master and a cable when asked.
std::vector<unsigned char> SmallProject(bool withMaster)
{
    CSequencingRig rig(256, 44100, withMaster);
    CRecordingMachine* synth = rig.AddRecorder("Lead");
    if (withMaster)
        rig.studio->Connect(CSequencingRig::ContainerOf(synth)->connectors[1],
                            rig.studio->MasterContainer()->connectors[0], 0.5);
    CPattern* pattern = rig.AddPattern(synth, 1);
    pattern->AddNote(0, 2, 60);
    pattern->AddControlTrack(-1);
    pattern->AddControlTrack(1);
    rig.sequenceEditor->PlaceEntry(0, 2, pattern);
    rig.project->notes = "n";
    return EncodeProject(*rig.project);
}

/// The message reading bytes gives, or "" when they read.
std::string ReadMessage(CSequencingRig& rig, const std::vector<unsigned char>& bytes, std::size_t size)
{
    ClearProject(*rig.project);
    try {
        ReadProjectData(*rig.project, bytes.data(), size, kPath);
    } catch (const CError& error) {
        return error.Message();
    }
    return "";
}

class DamagedFile : public ::testing::Test {
protected:
    std::string Read(const std::vector<unsigned char>& bytes) { return ReadMessage(rig, bytes, bytes.size()); }

    CSequencingRig rig{256, 44100, false};
};

} // namespace

TEST_F(DamagedFile, EveryTruncationIsCorrupt)
{
    // One machine: each read that gets past its record makes and deletes
    // it, which is what takes the time here.
    const std::vector<unsigned char> file = SmallProject(false);
    ASSERT_EQ(Read(file), "");
    for (std::size_t size = 0; size < file.size(); ++size)
        ASSERT_EQ(ReadMessage(rig, file, size), kCorrupt) << "cut at " << size << " of " << file.size();
}

TEST_F(DamagedFile, LengthsAndCountsBeyondTheDataAreCorrupt)
{
    const std::vector<unsigned char> file = SmallProject(true);
    // Offsets of the fields: header 10, ticks per beat 4, machine count 4,
    // the master's record (8-byte state), the lead's (40-byte state).
    const std::size_t machineCount = 14;
    const std::size_t masterRecord = 18;
    const std::size_t leadRecord = masterRecord + 2065 + 8;
    const std::size_t firstBlock = leadRecord + 2065 + 40;
    auto patched = [&file](std::size_t offset, std::int32_t value) {
        std::vector<unsigned char> copy = file;
        for (int i = 0; i < 4; ++i)
            copy[offset + static_cast<std::size_t>(i)] = static_cast<unsigned char>(static_cast<std::uint32_t>(value) >> (8 * i));
        return copy;
    };

    EXPECT_EQ(Read(patched(machineCount, -1)), kCorrupt);
    EXPECT_EQ(Read(patched(machineCount, 0x7fffffff)), kCorrupt);
    EXPECT_EQ(Read(patched(masterRecord + 2060, -8)), kCorrupt);
    EXPECT_EQ(Read(patched(masterRecord + 2060, 0x40000000)), kCorrupt);
    EXPECT_EQ(Read(patched(firstBlock, -4)), kCorrupt);
    EXPECT_EQ(Read(patched(firstBlock, 0x7ffffff0)), kCorrupt);
    // The master's cable block holds the one cable: 28 bytes.
    EXPECT_EQ(Read(patched(firstBlock + 4, 2)), kCorrupt);          // a cable the block has no room for
    EXPECT_EQ(Read(patched(firstBlock + 4, -1)), kCorrupt);
    const std::size_t masterPatterns = firstBlock + 4 + 28;
    EXPECT_EQ(Read(patched(masterPatterns + 4, 1)), kCorrupt);
    const std::size_t leadPatterns = masterPatterns + 8 + 8;        // after the lead's empty cable block
    const std::size_t header = leadPatterns + 8;
    EXPECT_EQ(Read(patched(header + 4, 0)), kCorrupt);              // pattern length 0
    EXPECT_EQ(Read(patched(header + 4, 2000)), kCorrupt);
    EXPECT_EQ(Read(patched(header + 1032, 1000)), kCorrupt);        // notes
    EXPECT_EQ(Read(patched(header + 1032, -1)), kCorrupt);
    EXPECT_EQ(Read(patched(header + 1036, 1000)), kCorrupt);        // tracks
    EXPECT_EQ(Read(patched(header + 1048 + 12 + 4, 100000)), kCorrupt);   // the first track's points
    EXPECT_EQ(Read(patched(header + 1048 + 12 + 4, -2)), kCorrupt);
    // A damaged target only loses the pattern.
    EXPECT_EQ(Read(patched(header + 1040, 55)), "");
    EXPECT_EQ(rig.patternEditor->PatternCount(), 0);
    EXPECT_EQ(rig.sequenceEditor->Sequence().Track(0)->EntryCount(), 0);

    const std::size_t notes = file.size() - 6;   // length 2, "n" and its zero
    EXPECT_EQ(Read(patched(notes, 3)), kCorrupt);
    EXPECT_EQ(Read(patched(notes, -3)), "");
    EXPECT_EQ(rig.project->notes, "");
}

TEST_F(DamagedFile, RandomDamageNeverCrashes)
{
    const std::vector<unsigned char> file = SmallProject(true);
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> position(0, file.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    int corrupt = 0;
    int read = 0;
    for (int round = 0; round < 100; ++round) {
        std::vector<unsigned char> damaged = file;
        const int changes = 1 + round % 8;
        for (int c = 0; c < changes; ++c)
            damaged[position(random)] = static_cast<unsigned char>(byte(random));
        const std::string message = Read(damaged);
        if (message.empty())
            ++read;
        else if (message == kCorrupt || message == "File '" + kPath + "' Has Incompatible Version Number")
            ++corrupt;
        else
            ADD_FAILURE() << message;
    }
    // Most damage lands in names and padding, which still read.
    EXPECT_GT(read, 0);
    EXPECT_GT(corrupt, 0);
}
