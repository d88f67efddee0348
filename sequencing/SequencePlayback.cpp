// The song's playback, once per block on the audio thread with the pattern
// editor's lock held: every entry that sounds in the block writes its
// pattern's events at the matching block offset; at the song's end the
// block either goes on from the start (loop) or playback stops.
//
// Nothing here allocates or takes a lock; recording is stopped later on the
// user-interface thread (UpdateFromPlayback).

#include <algorithm>

#include "framework/Host.h"
#include "framework/LockAssert.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/SequenceEditor.h"

namespace {

// A looping song shorter than a block wraps several times within it; each
// pass takes at least one unit of 4 ticks, so this many passes always end a
// block and only guard against a tick of no length.
constexpr int kMaximumPassesPerBlock = 1 << 20;

} // namespace

void CSequenceEditor::StopFromAudio()
{
    playing.store(false, std::memory_order_relaxed);
    playButton.store(false, std::memory_order_relaxed);
    if (recordButton.exchange(false, std::memory_order_relaxed))
        recordingStopPending.store(true, std::memory_order_relaxed);
}

void CSequenceEditor::Step()
{
    CORVANE_ASSERT_HELD(patternEditor.PlaybackLock());
    for (int i = 0; i < sequence.TrackCount(); ++i) {
        for (const auto& entry : sequence.Track(i)->Entries())
            entry->pattern->SetSequenceDisplayPosition(CPattern::kNotPlayedBySequence);
    }
    if (!IsPlaying()) {
        StopFromAudio();
        return;
    }

    const int hostBlockSize = host.GetBlockSize();
    std::int64_t block = hostBlockSize;
    const double samplesPerTick = static_cast<double>(host.GetSamplesPerTick());
    const double endTicks = sequence.Length() * 4.0;
    std::int64_t offset = 0;
    double t = SongPosition();
    // A tick of no samples would make the song's time stand still.
    if (block <= 0 || samplesPerTick <= 0.0)
        return;

    bool stopped = false;
    for (int pass = 0; pass < kMaximumPassesPerBlock; ++pass) {
        const double ticksCovered = static_cast<double>(block) / samplesPerTick;
        const std::int64_t beyondEnd =
            std::clamp<std::int64_t>(static_cast<std::int64_t>((t + ticksCovered - endTicks) * samplesPerTick), 0,
                                     block);

        for (int i = 0; i < sequence.TrackCount(); ++i) {
            for (const auto& entry : sequence.Track(i)->Entries()) {
                CPattern* pattern = entry->pattern;
                const double u = entry->position * 4.0;
                const double w = (entry->position + pattern->Length()) * 4.0;
                const bool sounds = (t >= u && t <= w) || (t < u && u < t + ticksCovered);
                if (!sounds)
                    continue;
                // Negative when the entry starts inside this stretch.
                const auto start = static_cast<std::int64_t>((t - u) * samplesPerTick);
                pattern->SetBlockSize(hostBlockSize);
                pattern->Emit(offset, start, block, static_cast<std::int64_t>(samplesPerTick));
                pattern->SetSequenceDisplayPosition(start);
            }
        }

        if (beyondEnd == 0) {
            songPosition.store(t + ticksCovered, std::memory_order_relaxed);
            break;
        }
        if (IsLooping()) {
            // The rest of the block plays from the start of the song.
            songPosition.store(0.0, std::memory_order_relaxed);
            t = 0.0;
            offset += block - beyondEnd;
            block = beyondEnd;
            continue;
        }
        block -= beyondEnd;
        if (block <= 0)
            stopped = true;
        else
            songPosition.store(t + static_cast<double>(block) / samplesPerTick, std::memory_order_relaxed);
        break;
    }
    if (stopped)
        StopFromAudio();
}
