// How a pattern turns into control events: the pattern editor's looping
// playback (Step) and the emission of one window of the pattern (Emit),
// which the song uses as well.
//
// Audio thread only, except Play and Stop (user-interface thread, pattern
// editor's lock held). Nothing here allocates: events go into buffers whose
// room the editor reserved.

#include "sequencing/Pattern.h"

#include <algorithm>
#include <limits>

#include "framework/ControlBuffer.h"
#include "framework/ControlEvent.h"
#include "framework/Host.h"
#include "framework/Machine.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "host/Connector.h"

namespace {

// Event times are 32-bit; a note-off further away than that (only at
// absurd tempos) is kept at the latest time the queue can hold.
std::int32_t ToEventTime(std::int64_t time)
{
    constexpr std::int64_t latest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(time, 0, latest));
}

} // namespace

void CPattern::Play(bool rewind)
{
    if (IsPlaying())
        stopRequested.store(true, std::memory_order_relaxed);
    if (rewind)
        playPosition.store(0, std::memory_order_relaxed);
    playing.store(true, std::memory_order_relaxed);
    stopRequested.store(false, std::memory_order_relaxed);
}

void CPattern::Stop(bool rewind)
{
    if (IsPlaying())
        stopRequested.store(true, std::memory_order_relaxed);
    if (rewind)
        playPosition.store(0, std::memory_order_relaxed);
}

void CPattern::Step()
{
    CMachine* machine = TargetMachine();
    if (machine == nullptr || host == nullptr)
        return;
    CScopedLock<CMachine> hold(*machine);
    tempo = host->GetTempo();
    sampleRate = host->GetSampleRate();
    blockSize = host->GetBlockSize();

    const std::int64_t samplesPerTick = host->GetSamplesPerTick();
    const std::int64_t patternSamples = static_cast<std::int64_t>(length) * kTicksPerUnit * samplesPerTick;
    std::int64_t position = playPosition.load(std::memory_order_relaxed);
    if (patternSamples != 0)
        position %= patternSamples;

    // A pattern of no duration (a tick of no samples) has nothing to play.
    if (!IsStopRequested() && patternSamples > 0 && blockSize > 0) {
        // The block is filled pass by pass, so that a looping pattern shorter
        // than a block plays as many passes as fit instead of leaving the
        // rest of the block silent.
        std::int64_t offset = 0;
        std::int64_t remaining = blockSize;
        for (;;) {
            if (position + remaining < patternSamples) {
                Emit(offset, position, remaining, samplesPerTick);
                position += remaining;
                break;
            }
            const std::int64_t toEnd = patternSamples - position;
            Emit(offset, position, toEnd, samplesPerTick);
            offset += toEnd;
            remaining -= toEnd;
            position = 0;
            if (!IsLooping()) {
                playing.store(false, std::memory_order_relaxed);
                break;
            }
            if (remaining == 0)
                break;
        }
    }
    playPosition.store(position, std::memory_order_relaxed);
}

void CPattern::Emit(std::int64_t offset, std::int64_t start, std::int64_t windowLength, std::int64_t samplesPerTick)
{
    if (target == nullptr || target->port == nullptr || target->port->control == nullptr || windowLength <= 0)
        return;
    const std::int64_t end = start + windowLength;
    const std::int64_t shift = offset - start;
    EmitControlValues(shift, start, end, samplesPerTick);
    EmitNotes(shift, start, end, samplesPerTick);
}

void CPattern::EmitControlValues(std::int64_t shift, std::int64_t start, std::int64_t end,
                                 std::int64_t samplesPerTick)
{
    bool anyParameterTrack = false;
    for (const auto& track : controlTracks)
        anyParameterTrack = anyParameterTrack || !track->IsVelocity();
    if (!anyParameterTrack)
        return;

    // The ticks whose sample tick × samplesPerTick lies in [start, end).
    const std::int64_t ticks = TickCount();
    std::int64_t first;
    std::int64_t last;
    if (samplesPerTick > 0) {
        const std::int64_t from = std::max<std::int64_t>(start, 0);
        first = (from + samplesPerTick - 1) / samplesPerTick;
        last = end > 0 ? (end - 1) / samplesPerTick : -1;
    } else {
        // Every tick sits at sample 0.
        first = 0;
        last = start <= 0 && end > 0 ? ticks - 1 : -1;
    }
    last = std::min(last, ticks - 1);

    CControlBuffer* buffer = target->port->control;
    for (std::int64_t tick = first; tick <= last; ++tick) {
        const std::int32_t time = ToEventTime(shift + tick * samplesPerTick);
        for (const auto& track : controlTracks) {
            if (track->IsVelocity())
                continue;
            const CControlPoint& point = track->Point(static_cast<int>(tick));
            if (point.set == 0)
                continue;
            const ControlEvent event =
                MakeControlEvent(kEventParameter, time, track->PropertyId(), static_cast<double>(point.value));
            buffer->Insert(&event);
        }
    }
}

void CPattern::EmitNotes(std::int64_t shift, std::int64_t start, std::int64_t end, std::int64_t samplesPerTick)
{
    CControlBuffer* buffer = target->port->control;
    CControlBuffer* deferred = target->deferred != nullptr ? target->deferred : buffer;
    const bool triggers = TriggerCount() > 0;

    for (const CNote* note = firstNote; note != nullptr; note = note->next) {
        const std::int64_t sample = static_cast<std::int64_t>(note->start) * samplesPerTick;
        if (sample < start || sample >= end)
            continue;
        double velocity = kDefaultPlayVelocity;
        if (velocityTrack != nullptr && note->start >= 0 && note->start < velocityTrack->PointCount())
            velocity = static_cast<double>(velocityTrack->Point(note->start).value);

        const std::int32_t onTime = ToEventTime(shift + sample);
        const std::int64_t offSample = static_cast<std::int64_t>(note->EndTick()) * samplesPerTick;
        const std::int64_t offTime = shift + offSample;
        ControlEvent on;
        ControlEvent off;
        if (!triggers) {
            const std::int32_t number = static_cast<std::uint8_t>(note->note);
            double frequency = 0.0;
            host->GetNoteFrequency(static_cast<unsigned>(number), &frequency);
            on = MakeControlEvent(kEventNoteOn, onTime, number, velocity, frequency);
            off = MakeControlEvent(kEventNoteOff, ToEventTime(offTime), number, 0.0);
        } else {
            on = MakeControlEvent(kEventTriggerOn, onTime, note->note, velocity);
            off = MakeControlEvent(kEventTriggerOff, ToEventTime(offTime), note->note, 0.0);
        }
        buffer->Insert(&on);
        if (offTime < blockSize)
            buffer->Insert(&off);
        else
            deferred->Insert(&off);
    }
}

double CPattern::PlayCursor() const
{
    if (!IsPlaying() || IsStopRequested() || host == nullptr)
        return -1.0;
    const int samplesPerTick = host->GetSamplesPerTick();
    if (samplesPerTick <= 0)
        return 0.0;
    return static_cast<double>(PlayPosition()) / samplesPerTick;
}

double CPattern::SequenceCursor() const
{
    const std::int64_t position = SequenceDisplayPosition();
    if (position == kNotPlayedBySequence || host == nullptr)
        return -1.0;
    const int samplesPerTick = host->GetSamplesPerTick();
    if (samplesPerTick <= 0)
        return 0.0;
    return static_cast<double>(position) / samplesPerTick;
}
