#pragma once
// CPattern: a loop of notes and control values for one control input port
// of one machine. Its length is counted in units of 4 ticks; every control
// track holds one point per tick. The pattern editor owns every pattern of
// the project; the sequence places them in time.
//
// Threads: content (notes, tracks, length) changes on the user-interface
// thread with the pattern editor's lock held, which the audio thread holds
// for the whole of each block while it plays (Step, Emit). The play state
// that views show without that lock (playing, the two cursors) is atomic.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sequencing/ControlTrack.h"
#include "sequencing/Note.h"

class CConnector;
class CHost;
class CMachine;

class CPattern {
public:
    static constexpr int kTicksPerUnit = 4;
    static constexpr int kMinimumLength = 1;
    static constexpr int kMaximumLength = 1024;
    static constexpr int kDefaultLength = 16;
    static constexpr int kMidiNoteCount = 128;
    /// The sequence display position of a pattern the song did not play in
    /// the current block.
    static constexpr std::int64_t kNotPlayedBySequence = -1;

    /// A pattern without notes or control tracks, not playing, at position
    /// 0, loop off; it copies the host's sample rate and block size.
    CPattern(CHost* host, int length, const std::string& name, CConnector* target);
    ~CPattern();
    CPattern(const CPattern&) = delete;
    CPattern& operator=(const CPattern&) = delete;

    // --- Content ---

    int Length() const { return length; }
    int TickCount() const { return length * kTicksPerUnit; }
    const std::string& Name() const { return name; }
    void SetName(std::string newName) { name = std::move(newName); }
    /// The serial number in the project file: the list position when saved,
    /// the stored number when loaded.
    std::int32_t Index() const { return index; }
    void SetIndex(std::int32_t newIndex) { index = newIndex; }
    CConnector* Target() const { return target; }
    /// The machine of the target port, or null without a target.
    CMachine* TargetMachine() const;
    /// 0 for machines that play MIDI notes, N for machines of N triggers.
    int TriggerCount() const;

    /// Appends at the tail. When the velocity track's point at start is
    /// unset, it becomes set to 100/127.
    CNote* AddNote(int start, int length, int note);
    /// Unlinks and frees the note; clears the velocity point at its start
    /// when no other note starts there.
    void RemoveNote(CNote* note);
    int NoteCount() const { return noteCount; }
    CNote* FirstNote() const { return firstNote; }
    CNote* LastNote() const { return lastNote; }
    /// The note of this number whose ticks cover tick, or null.
    CNote* NoteAt(int tick, int note) const;
    bool IsValidNoteNumber(int note) const;
    /// The placement rule, the only guard of the note invariants: a valid
    /// number, inside the pattern, at least one tick long, and no other note
    /// of the number (but ignored) overlapping it.
    bool CanPlaceNote(int start, int length, int note, const CNote* ignored) const;
    /// Moves or resizes a note; the caller asked CanPlaceNote first. A
    /// note whose start moves takes its velocity point along.
    void PlaceNote(CNote* note, int start, int length, int number);

    /// Appends a track of TickCount points; id −1 becomes the velocity
    /// track. Returns its index.
    int AddControlTrack(std::int32_t propertyId);
    /// Index of the track with the id, or −1.
    int FindControlTrack(std::int32_t propertyId) const;
    /// Throws "CArray::RemoveItem - Index Out Of Bounds (%i)" for an index
    /// outside the tracks.
    void RemoveControlTrack(int trackIndex);
    int ControlTrackCount() const { return static_cast<int>(controlTracks.size()); }
    CControlTrack* ControlTrack(int trackIndex) const;
    CControlTrack* VelocityTrack() const { return velocityTrack; }
    /// Clears a point by hand or by a note removal, as the velocity rule
    /// asks: a velocity point stays while a note starts at its tick.
    void ClearVelocityPointIfUnused(int tick);

    /// Brings every track to the new tick count; when shrinking, removes
    /// every note that would end past the new end, whole.
    void Resize(int newLength);

    /// How many events one pass over the whole pattern writes: a note-on and
    /// a note-off per note, and one event per set point of a parameter
    /// track. Ports reserve room from it.
    int EventCount() const;

    // --- Playback (PatternPlayback.cpp) ---

    /// Plays from the current position, or from the start with rewind.
    void Play(bool rewind);
    /// Asks the pattern to stop; with rewind also goes back to the start.
    /// The pattern stays marked playing, so that Play resumes it.
    void Stop(bool rewind);
    void SetLoop(bool on) { loop.store(on, std::memory_order_relaxed); }
    bool IsLooping() const { return loop.load(std::memory_order_relaxed); }
    bool IsPlaying() const { return playing.load(std::memory_order_relaxed); }
    bool IsStopRequested() const { return stopRequested.load(std::memory_order_relaxed); }
    /// Samples from the pattern's start.
    std::int64_t PlayPosition() const { return playPosition.load(std::memory_order_relaxed); }

    /// Audio thread, pattern editor's lock held: one block of pattern-editor
    /// playback, with the target machine locked.
    void Step();
    /// Audio thread: writes the events of the pattern's samples
    /// [start, start + length) into the target port, at block time
    /// offset − start + sample. Note-offs that fall in a later block go to
    /// the connector's deferred queue.
    void Emit(std::int64_t offset, std::int64_t start, std::int64_t length, std::int64_t samplesPerTick);

    /// Ticks of the play position, or −1 when not playing or stopping.
    double PlayCursor() const;
    /// Ticks into the pattern at which the song played it in the current
    /// block, or −1.
    double SequenceCursor() const;
    std::int64_t SequenceDisplayPosition() const { return sequenceDisplayPosition.load(std::memory_order_relaxed); }
    void SetSequenceDisplayPosition(std::int64_t samples)
    {
        sequenceDisplayPosition.store(samples, std::memory_order_relaxed);
    }

    /// The host's audio format, copied on a change of sample rate or block
    /// size (pattern editor's lock held) and before each emission.
    void SetAudioFormat(int newSampleRate, int newBlockSize);
    void SetBlockSize(int newBlockSize) { blockSize = newBlockSize; }
    int SampleRate() const { return sampleRate; }
    double Tempo() const { return tempo; }
    int BlockSize() const { return blockSize; }

private:
    void Unlink(CNote* note);
    bool AnyNoteStartsAt(int tick) const;
    void EmitControlValues(std::int64_t shift, std::int64_t start, std::int64_t end, std::int64_t samplesPerTick);
    void EmitNotes(std::int64_t shift, std::int64_t start, std::int64_t end, std::int64_t samplesPerTick);

    CHost* host;
    std::int32_t length;
    std::int32_t index = 0;
    std::string name;
    CConnector* target;

    CNote* firstNote = nullptr;
    CNote* lastNote = nullptr;
    int noteCount = 0;
    std::vector<std::unique_ptr<CControlTrack>> controlTracks;
    CControlTrack* velocityTrack = nullptr;

    double tempo = 0.0;
    int sampleRate = 0;
    int blockSize = 0;
    std::atomic<bool> playing{false};
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> loop{false};
    std::atomic<std::int64_t> playPosition{0};
    std::atomic<std::int64_t> sequenceDisplayPosition{kNotPlayedBySequence};
};
