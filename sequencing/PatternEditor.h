#pragma once
// CPatternEditor: the pattern editor's model. It owns every pattern of the
// project in one list (the saving order and the order of every choice
// list), the machine, port, pattern and property choices, the Pattern
// Length and Note Length boxes, the play buttons, and the piano roll's and
// control lanes' gestures in ticks, rows and values (CEditorGeometry turns
// a view's pixels into those).
//
// Threads and locks: the user-interface thread makes every change. Each
// change that the audio thread can see (a pattern's content, the current
// pattern, the play state) is made with the pattern editor's lock held,
// which the audio thread holds for the whole of each block; so a block
// never sees a half-made edit or a freed note, and an edit waits at most
// for the end of the current block. The lock is never taken twice on one
// thread, and never before the studio lock; the sequence editor's lock, when
// both are needed, comes first.

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/InPlaceStep.h"
#include "sequencing/NoteClipboard.h"
#include "sequencing/PianoRollRows.h"

class CConnector;
class CEditJournal;
class CHost;
class CMachineContainer;
class CNote;
class CPattern;
class CPatternContent;
class CHostMutex;
class CSequenceEditor;
struct CPlaybackLink;

enum class MouseButton { Left, Right };
enum class PianoRollMode { Edit, Select };

class CPatternEditor {
public:
    static constexpr int kMinimumNoteLength = 1;
    static constexpr int kMaximumNoteLength = 1024;

    struct PropertyChoice {
        int propertyId;     // −1 for velocity
        std::string name;   // "Velocity", the parameter's name, or "Property %i"
    };

    explicit CPatternEditor(CHost& host);
    /// A studio that still holds the playback hooks finds them doing
    /// nothing from then on.
    ~CPatternEditor();
    CPatternEditor(const CPatternEditor&) = delete;
    CPatternEditor& operator=(const CPatternEditor&) = delete;

    /// The pattern editor's lock.
    CHostMutex& PlaybackLock() const;
    /// What the studio's hooks hold (see InstallPlayback).
    const std::shared_ptr<CPlaybackLink>& Link() const { return link; }
    CHost& Host() const { return host; }
    /// Where finished edits are reported (the undo history); null for
    /// nowhere. Reports are made with no lock of this editor held.
    void SetJournal(CEditJournal* target) { journal = target; }
    /// The sequence editor that hears of added, removed and resized patterns.
    void SetSequenceEditor(CSequenceEditor* editor) { sequenceEditor = editor; }

    // --- Machines (studio side) ---

    /// A machine placed in the studio joins the machine choices when it has
    /// a control input.
    void OnMachineAdded(CMachineContainer* machine);
    /// Studio lock held: the machine leaves the choices and every pattern
    /// that plays into it is destroyed.
    void OnMachineDeleted(CMachineContainer* machine);
    /// Project clearing: every pattern is destroyed and every choice emptied.
    void Clear();
    const std::vector<CMachineContainer*>& Machines() const { return machines; }
    /// The control input connectors of a machine, in port order.
    static std::vector<CConnector*> ControlInputsOf(const CMachineContainer* machine);

    // --- The project's patterns ---

    int PatternCount() const { return static_cast<int>(patterns.size()); }
    CPattern* PatternAt(int position) const;
    int PositionOf(const CPattern* pattern) const;
    /// The patterns of a port, in list order.
    std::vector<CPattern*> PatternsOf(const CConnector* port) const;
    /// Puts the list in the order of the patterns' stored indexes (the
    /// positions they had when the project was written), which reading
    /// files them by machine instead.
    void SortPatternsByIndex();
    /// Appends a pattern made elsewhere (project loading) and takes it over.
    CPattern* AdoptPattern(std::unique_ptr<CPattern> pattern);

    // --- Choices ---

    /// Chooses a machine of the list (null for none) and its first port.
    void SelectMachine(CMachineContainer* machine);
    CMachineContainer* ChosenMachine() const { return chosenMachine; }
    std::vector<CConnector*> PortChoices() const { return ControlInputsOf(chosenMachine); }
    /// Chooses a port; the current pattern stays when it is one of the
    /// port's, else the port's first becomes current.
    void SelectPort(CConnector* port);
    CConnector* ChosenPort() const { return chosenPort; }
    std::vector<CPattern*> PatternChoices() const { return PatternsOf(chosenPort); }
    /// While Play Pattern is down, the old pattern stops and the new one
    /// plays from its start.
    void SelectPattern(CPattern* pattern);
    CPattern* CurrentPattern() const { return currentPattern; }
    /// Velocity first, then every parameter of the chosen machine.
    std::vector<PropertyChoice> PropertyChoices() const;
    void SelectProperty(int propertyId) { chosenProperty = propertyId; }
    int ChosenProperty() const { return chosenProperty; }

    // --- Commands ---

    /// "Pattern %i" with the smallest i ≥ 1 no pattern of the port has.
    std::string NextPatternName(const CConnector* port) const;
    /// A new pattern of the chosen port, of the Pattern Length box's length,
    /// made current. Null without a chosen port.
    CPattern* AddPattern();
    /// Removes and destroys the current pattern; the one at its place in the
    /// port's list becomes current, or the last one.
    void RemovePattern();
    /// False when the text is the current name or there is no pattern.
    bool RenamePattern(const std::string& newName);
    /// The box (1 … 1024): resizes the current pattern, selects it again and
    /// lets the song drop entries that no longer fit.
    void SetPatternLength(int units);
    int PatternLength() const { return patternLength; }
    void SetNoteLength(int ticks);
    int NoteLength() const { return noteLength; }
    /// A track of the chosen property unless the current pattern has one.
    bool AddControlTrack();
    bool RemoveControlTrack();

    // --- Buttons ---

    /// Down: the current pattern plays on from where it is, looping as Loop
    /// Pattern says. Up: it pauses.
    void SetPlayButton(bool down);
    /// Stops and rewinds the current pattern and releases Play Pattern.
    void PressStopButton();
    void SetLoopButton(bool on);
    bool IsPlayButtonDown() const { return playButton.load(std::memory_order_relaxed); }
    bool IsLoopButtonDown() const { return loopButton; }
    /// The current pattern's play position in ticks, or −1.
    double PlayCursor() const;

    // --- Piano roll (PatternEditorGestures.cpp) ---

    void SetMode(PianoRollMode newMode);
    PianoRollMode Mode() const { return mode; }
    /// The rows of the current port's machine.
    CPianoRollRows Rows() const;
    /// A press at a pointer position in ticks (with its fraction) and a row.
    /// Edit Mode: left adds a note or grabs one, right removes one. Select
    /// Mode: left starts a rectangle.
    void PressNote(double tickPosition, int row, MouseButton button);
    void DragNote(double tickPosition, int row);
    void ReleaseNote();
    /// The note a drag holds, or null.
    CNote* DraggedNote() const { return draggedNote; }

    const std::optional<CNoteSelection>& Selection() const { return selection; }
    const CNoteClipboard& Clipboard() const { return clipboard; }
    bool CanCut() const { return selection.has_value(); }
    bool CanCopy() const { return selection.has_value(); }
    bool CanDelete() const { return selection.has_value(); }
    bool CanDeselect() const { return selection.has_value(); }
    bool CanPaste() const { return !clipboard.IsEmpty(); }
    void Cut();
    void Copy();
    void Paste(int tick, int row);
    void DeleteSelection();
    void Deselect() { selection.reset(); }

    // --- Control lanes (PatternEditorGestures.cpp) ---

    /// Left on an unset point sets it to value; left on a set point starts
    /// a drag of its value; right on a set point clears it.
    void PressControl(int trackIndex, int tick, float value, MouseButton button);
    void DragControl(float value);
    void ReleaseControl();
    /// The machine's text for the dragged point's value, "" without a drag.
    std::string ControlText() const;

    // --- Audio thread ---

    /// Pattern editor's lock held: while Play Pattern is down, a block of
    /// the current pattern; when it stopped playing, Play Pattern is
    /// released.
    void PlaybackStep();
    /// Pattern editor's lock held (the studio's sample-rate change).
    void SetAudioFormat(int sampleRate, int blockSize);

    /// Room in the target's buffers for every event the pattern can write
    /// in a block, so that playback never allocates. Lock held.
    static void ReserveEventRoom(const CPattern& pattern);

private:
    enum class NoteDrag { None, Start, End, Body, Rectangle };

    void SelectPatternLocked(CPattern* pattern);
    void SelectPortLocked(CConnector* port);
    void DestroyPatternsLocked(const std::vector<CPattern*>& doomed);
    void EndGestures();
    /// Lock not held: ends the gestures and records what a drag changed.
    void FinishGesture();
    void Edited(const char* label);
    /// A drag's change: one step when the drag ends.
    void Continued(const char* label);
    /// Edits of the current pattern's notes and points, which undo puts
    /// back in place from the content kept before them.
    void KeepContent();
    void EditedEvents(const char* label);
    void ContinuedEvents(const char* label);
    CInPlaceStep EventsStep();
    /// Undo and redo of an events edit: the content back, the lock held.
    void RestoreContent(CPattern* pattern, const std::shared_ptr<const CPatternContent>& content);
    /// Delete and Cut.
    void RemoveSelected(const char* label);
    void DragNoteLocked(int tick, int row);

    CHost& host;
    std::shared_ptr<CPlaybackLink> link;
    CSequenceEditor* sequenceEditor = nullptr;
    CEditJournal* journal = nullptr;

    std::vector<std::unique_ptr<CPattern>> patterns;
    std::vector<CMachineContainer*> machines;
    CMachineContainer* chosenMachine = nullptr;
    CConnector* chosenPort = nullptr;
    CPattern* currentPattern = nullptr;
    int chosenProperty = -1;
    int patternLength = 16;
    int noteLength = 1;
    std::atomic<bool> playButton{false};
    bool loopButton = false;

    PianoRollMode mode = PianoRollMode::Edit;
    std::optional<CNoteSelection> selection;
    CNoteClipboard clipboard;
    NoteDrag noteDrag = NoteDrag::None;
    CNote* draggedNote = nullptr;
    // The current pattern's content before the edit in progress.
    CPattern* contentPattern = nullptr;
    std::shared_ptr<const CPatternContent> contentBefore;
    bool addingNote = false;
    int pressTick = 0;
    int pressRow = 0;
    int grabbedStart = 0;
    int grabbedRow = 0;

    int controlTrack = -1;
    int controlTick = -1;
};
