#pragma once
// CEditJournal: where the editing models say that the user finished an
// edit, so that the project's undo history can take one step for it. The
// models know nothing of the history; the window connects one (a recorder)
// when it opens, and without one the calls do nothing.
//
// A gesture that changes something continuously (a parameter slider, a
// cable's volume) says Continue while it runs; its one step is taken when
// the gesture ends (Finish, called when the button or key is released), or
// before the next edit's step, whichever comes first.
//
// An edit may bring the way to take it back in place (CInPlaceStep); the
// steps of one gesture are joined, and a step without one is undone by
// reading the project back.
//
// Threads: user-interface thread only.

#include <functional>
#include <string>
#include <utility>

#include "host/InPlaceStep.h"

class CEditJournal {
public:
    using Recorder = std::function<void(const std::string& label, CInPlaceStep step)>;

    void SetRecorder(Recorder handler) { recorder = std::move(handler); }

    /// A finished edit, named as the Edit menu shows it ("Move Note").
    void Record(const std::string& label, CInPlaceStep step = {})
    {
        // A gesture still open is recorded with this edit already made, which
        // may have removed what its in-place step names (a machine deleted
        // while its knob's drag was open): that step is read back whole.
        if (!pending.empty())
            pendingStep = {};
        Finish();
        if (recorder && paused == 0)
            recorder(label, std::move(step));
    }

    /// A gesture in progress: its step comes when it ends.
    void Continue(const std::string& label, CInPlaceStep step = {})
    {
        // Reading a project sets parameters as a user would; none of it
        // may become a step once the reading is over.
        if (paused != 0)
            return;
        pendingStep = pending.empty() ? std::move(step) : CInPlaceStep::Then(std::move(pendingStep), std::move(step));
        pending = label;
    }

    /// The end of a gesture: the step of what it changed, if anything.
    void Finish()
    {
        if (pending.empty())
            return;
        const std::string label = std::move(pending);
        CInPlaceStep step = std::move(pendingStep);
        pending.clear();
        pendingStep = {};
        if (recorder && paused == 0)
            recorder(label, std::move(step));
    }

    /// The project is being replaced: an open gesture names what goes.
    void Forget()
    {
        pending.clear();
        pendingStep = {};
    }

    /// While the history itself rebuilds the project nothing is recorded.
    void Pause() { ++paused; }
    void Resume() { --paused; }

    /// Pauses the journal for a scope: what reading a project does is no
    /// user's edit.
    class CPause {
    public:
        explicit CPause(CEditJournal& journal) : journal(journal) { journal.Pause(); }
        ~CPause() { journal.Resume(); }
        CPause(const CPause&) = delete;
        CPause& operator=(const CPause&) = delete;

    private:
        CEditJournal& journal;
    };

private:
    Recorder recorder;
    std::string pending;
    CInPlaceStep pendingStep;
    int paused = 0;
};
