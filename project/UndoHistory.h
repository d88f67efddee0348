#pragma once
// CUndoHistory: the project's undo and redo. Each step keeps the whole
// project as the project writer encodes it after the edit, so undoing and
// redoing give back exactly what was there, whatever the edit touched (a
// deleted machine comes back with its cables, patterns and song entries).
// Steps whose encoding equals the previous one (a click that changed
// nothing) are not kept. The oldest steps go beyond kMaxSteps.
//
// Going to the next or previous step first tries the edit's own way back
// and forth (CInPlaceStep): applied where it stands, it keeps every machine,
// voice, plug-in window and the playing song, and the project's encoding
// must then equal the step's bytes. Otherwise, and for edits without one,
// going to another step clears the project and reads that step's bytes
// with the project reader, which takes the studio's and the editors' locks
// for every change the audio thread can see, as the edits themselves do.
// The pattern and sequence editors' choices (machine, port, pattern,
// property, track) are kept where they still exist.
//
// The history also knows the step that was last saved, so the project
// knows whether it has unsaved changes.
//
// Threads: user-interface thread only.

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "host/InPlaceStep.h"

class CProject;

class CUndoHistory {
public:
    static constexpr int kMaxSteps = 500;

    explicit CUndoHistory(CProject& project);

    /// After a project was made, opened or recovered: what is open now is
    /// where the history starts; saved says whether it is what the
    /// project's file holds.
    void Reset(bool saved);

    /// A finished edit: one step named label ("Move Note"). False when the
    /// project is as it was after the last step.
    bool Record(const std::string& label, CInPlaceStep step = {});

    bool CanUndo() const { return position > 0; }
    bool CanRedo() const { return position + 1 < static_cast<int>(states.size()); }
    /// The name of the step Undo takes back, "" for none.
    std::string UndoLabel() const;
    std::string RedoLabel() const;
    /// Changes made since the last step and not recorded (the notes, a
    /// GUI shown) become a step of their own first, so Redo brings them back.
    void Undo();
    void Redo();

    /// Steps that can be undone (at most kMaxSteps).
    int StepCount() const { return position; }
    int RedoCount() const { return static_cast<int>(states.size()) - 1 - position; }
    /// Every step ever recorded, those dropped at the bound included.
    long RecordedSteps() const { return recorded; }
    /// Undos and redos that read the whole project back.
    long Reloads() const { return reloads; }

    /// The project was written to its file now.
    void MarkSaved() { savedPosition = position; }
    /// Whether the project differs from its file (always, without a
    /// saved step still in the history).
    bool IsModified() const { return savedPosition != position; }

    /// The project's bytes at the current step: what a save would write,
    /// unrecorded changes aside. Copying these needs no lock.
    const std::vector<unsigned char>& Current() const { return states[static_cast<std::size_t>(position)].bytes; }
    /// Steps recorded since the counter was last taken (autosave's count).
    int TakeStepCount();
    int StepsSinceTaken() const { return stepsSinceTaken; }

private:
    struct State {
        std::string label;                 // of the step that led here
        std::vector<unsigned char> bytes;  // the project after it
        CInPlaceStep step;                 // that edit, in place
        long generation = 0;               // of the objects the step names
    };

    void GoTo(int target);
    bool GoInPlace(int target);
    void Reload(int target);

    CProject& project;
    std::deque<State> states;
    int position = 0;
    int savedPosition = 0;   // -1 when the saved state left the history
    int stepsSinceTaken = 0;
    long recorded = 0;
    long reloads = 0;
    // Counts the readings that replaced every object: a step made before
    // one names objects that are gone.
    long generation = 0;
};
