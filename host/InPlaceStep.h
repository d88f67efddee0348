#pragma once
// CInPlaceStep: how an edit is taken back and made again where it stands,
// without rebuilding the project: a parameter set back, a tempo restored,
// a pattern's events put back under the editor's lock. The undo history
// tries it first and checks the result against the bytes it keeps, so a
// step that does not reproduce them costs only a full reload.
//
// Threads: user-interface thread only.

#include <functional>
#include <utility>

struct CInPlaceStep {
    std::function<void()> undo;   // back to before the edit
    std::function<void()> redo;   // forth to after it
    // What the edit changed (a machine, a cable, a pattern) and which part
    // of it, so that the moves of one drag merge into one step.
    const void* target = nullptr;
    int part = 0;

    bool Empty() const { return !undo || !redo; }

    /// This step followed by later: a drag of the same thing keeps this
    /// undo and takes later's redo; anything else runs both, in order.
    static CInPlaceStep Then(CInPlaceStep earlier, CInPlaceStep later)
    {
        // A part without its way back makes the whole step a reload.
        if (earlier.Empty() || later.Empty())
            return {};
        if (earlier.target != nullptr && earlier.target == later.target && earlier.part == later.part) {
            earlier.redo = std::move(later.redo);
            return earlier;
        }
        CInPlaceStep both;
        both.undo = [first = std::move(earlier.undo), second = std::move(later.undo)] { second(); first(); };
        both.redo = [first = std::move(earlier.redo), second = std::move(later.redo)] { first(); second(); };
        return both;
    }
};
