#pragma once
// CSequenceEditor: the sequence editor's model. It owns the song (one track
// per control input port), its play state and buttons, the selected track
// with its pattern choice, and the grid gestures in units and track rows
// (CEditorGeometry turns a view's pixels into those). Step plays the song
// once per block.
//
// Threads and locks: the user-interface thread makes every change, each
// one that the audio thread can see with the pattern editor's lock held
// (the audio thread holds it for the whole block). The editor's own lock
// (a CMutex) is taken by the user-interface thread while entries are
// adjusted after a pattern changed length and by whoever draws the song
// cursor; it comes before the pattern editor's lock. The play state that
// views read without a lock (playing, buttons, song position) is atomic.
//
// The notifications from the pattern editor (OnPattern...) arrive with the
// pattern editor's lock already held and take no lock themselves.

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "framework/Mutex.h"
#include "host/InPlaceStep.h"
#include "sequencing/Sequence.h"

class CConnector;
class CEditJournal;
class CHost;
class CMachineContainer;
class CPattern;
class CPatternEditor;
struct CPlaybackLink;
enum class MouseButton;

class CSequenceEditor {
public:
    /// Registers itself with the pattern editor, whose patterns it places;
    /// it must not outlive that editor.
    CSequenceEditor(CHost& host, CPatternEditor& patternEditor);
    ~CSequenceEditor();
    CSequenceEditor(const CSequenceEditor&) = delete;
    CSequenceEditor& operator=(const CSequenceEditor&) = delete;

    /// Where finished edits are reported (the undo history); null for
    /// nowhere. Reports are made with no editor lock held.
    void SetJournal(CEditJournal* target) { journal = target; }

    /// The sequence editor's lock.
    CMutex& Lock() { return lock; }
    const CSequence& Sequence() const { return sequence; }

    // --- Tracks ---

    /// A track for each control input of a machine just placed, in port
    /// order.
    void OnMachineAdded(CMachineContainer* machine);
    void AddTrack(CConnector* target);
    /// Studio lock held: every track of the machine goes.
    void RemoveMachine(CMachineContainer* machine);
    /// Project clearing: every track goes.
    void Clear();

    /// The Sequence Length box (1 … 4096): shrinking drops every entry that
    /// no longer fits.
    void SetLength(int units);
    int Length() const { return sequence.Length(); }

    // --- Pattern list changes (pattern editor's lock held) ---

    void OnPatternAdded(CPattern* pattern);
    void OnPatternRemoved(CPattern* pattern);
    void OnPatternResized(CPattern* pattern);
    void OnAllPatternsRemoved();

    // --- Grid ---

    /// A click in the name column: selects the track; its chosen pattern
    /// becomes the port's first pattern when it had none.
    void SelectTrack(int trackIndex);
    CSequenceTrack* SelectedTrack() const { return selectedTrack; }
    int SelectedTrackIndex() const { return sequence.IndexOfTrack(selectedTrack); }
    /// The selected track's port's patterns, in the project's order.
    std::vector<CPattern*> PatternChoices() const;
    void ChoosePattern(CPattern* pattern);
    /// Left in the selected track: a new entry of the chosen pattern where
    /// it fits; left on an entry (any track): grabs it; right on an entry:
    /// removes it.
    void PressGrid(int unit, int trackIndex, MouseButton button);
    /// Moves the grabbed entry within its track, keeping the grab offset,
    /// where it fits.
    void DragGrid(int unit);
    /// Ends the drag; its move becomes one step.
    void ReleaseGrid();
    CSequenceEntry* DraggedEntry() const { return draggedEntry; }
    /// Project loading: an entry at position in the track, when the pattern
    /// is one of the track's port's and the entry fits. False otherwise.
    bool PlaceEntry(int trackIndex, int position, CPattern* pattern);

    // --- Buttons ---

    /// "Play Pattern": plays from the start, also while playing.
    void Play();
    /// "Stop Pattern": stops, releases Play and Record.
    void Stop();
    /// "Record Song": down presses Play and starts recording; up stops both.
    void RecordSong(bool on);
    /// "Loop Pattern".
    void SetLoop(bool on);
    bool IsPlaying() const { return playing.load(std::memory_order_relaxed); }
    bool IsPlayButtonDown() const { return playButton.load(std::memory_order_relaxed); }
    bool IsRecordButtonDown() const { return recordButton.load(std::memory_order_relaxed); }
    bool IsLooping() const { return loop.load(std::memory_order_relaxed); }
    /// In ticks.
    double SongPosition() const { return songPosition.load(std::memory_order_relaxed); }

    /// Starts (true) and stops (false) hard-disk recording. Called on the
    /// user-interface thread only.
    void SetRecordingHandler(std::function<void(bool)> handler) { recordingHandler = std::move(handler); }
    /// User-interface or display thread: stops the recording when the song
    /// ended on the audio thread while Record Song was down.
    void UpdateFromPlayback();

    // --- Audio thread ---

    /// Pattern editor's lock held: one block of the song.
    void Step();

private:
    void StopFromAudio();
    /// Forgets the grabbed entry; any lock may be held.
    void DropGrab();
    void Edited(const char* label);
    /// Entry edits of one track: undo puts its entries back in place.
    static std::vector<CSequenceEntry> EntriesOf(const CSequenceTrack& track);
    CInPlaceStep EntriesStep(CSequenceTrack* track, std::vector<CSequenceEntry> before);
    void RestoreEntries(CSequenceTrack* track, const std::vector<CSequenceEntry>& entries);
    void StopRecording();

    CHost& host;
    CPatternEditor& patternEditor;
    std::shared_ptr<CPlaybackLink> link;
    CMutex lock;
    CEditJournal* journal = nullptr;
    CSequence sequence;
    CSequenceTrack* selectedTrack = nullptr;

    std::atomic<bool> playing{false};
    std::atomic<bool> loop{false};
    std::atomic<double> songPosition{0.0};
    std::atomic<bool> playButton{false};
    std::atomic<bool> recordButton{false};
    std::atomic<bool> recordingStopPending{false};
    std::function<void(bool)> recordingHandler;

    CSequenceEntry* draggedEntry = nullptr;
    CSequenceTrack* draggedTrack = nullptr;
    int grabOffset = 0;
    std::vector<CSequenceEntry> entriesBeforeDrag;   // the dragged entry's track's
};
