// The undo history over the real demo project and the real stock machines:
// every kind of edit a user makes, taken back and made again through the
// models' own gestures, compared as the bytes a save writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/Application.h"
#include "editors/DefaultGUI.h"
#include "editors/StudioGestures.h"
#include "framework/Machine.h"
#include "host/AppOptions.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/MachineRegistry.h"
#include "host/Studio.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "project/ProjectWriter.h"
#include "project/RecoveryFile.h"
#include "project/UndoHistory.h"
#include "sequencing/ControlTrack.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/SequenceEditor.h"
#include "sequencing/StudioPlayback.h"

namespace {

using Bytes = std::vector<unsigned char>;
using studio_view::CStudioGestures;
using studio_view::Point;

/// The application without windows or sound, on the demo.
class CUndoRig {
public:
    CUndoRig()
    {
        folder = (std::filesystem::temp_directory_path() / ("corvane-undo-" + std::to_string(::getpid()))).string();
        std::filesystem::create_directories(folder);
        const std::string optionsPath = folder + "/Corvane.opt";
        {
            CAppOptions stored(optionsPath);
            stored.outputDriver = 0;
            stored.vstPaths.clear();
            stored.Save();
            stored.DisableSaveOnExit();
        }
        CApplication::Settings settings;
        settings.optionsPath = optionsPath;
        settings.saveOptions = false;
        settings.plugInFolder = PLUGIN_FOLDER;
        settings.startAudio = false;
        application.Init(settings);
        OpenProject(application.Project(), BUNDLED_DEMO);
        application.History().Reset(true);
        gestures = std::make_unique<CStudioGestures>(application.Studio(), application.Registry());
        gestures->SetAfterCreate([this](CMachineContainer* machine) {
            AddMachineToEditors(application.PatternEditor(), application.SequenceEditor(), machine);
        });
    }
    ~CUndoRig()
    {
        gestures.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    Bytes Save() { return EncodeProject(application.Project()); }
    CMachineContainer* Machine(const std::string& name) { return application.Studio().FindByName(name.c_str()); }
    CPatternEditor& Patterns() { return application.PatternEditor(); }
    CSequenceEditor& Song() { return application.SequenceEditor(); }
    CEditJournal& Journal() { return application.Studio().Journal(); }

    /// The synthesizer's first pattern is the current one.
    CPattern* ChooseSynthPattern()
    {
        Patterns().SelectMachine(Machine("KV RazuZuri 1"));
        if (Patterns().CurrentPattern() == nullptr)
            Patterns().AddPattern();
        return Patterns().CurrentPattern();
    }
    /// A free cell of the current pattern: tick and piano-roll row.
    std::pair<int, int> FreeCell(int length)
    {
        CPattern* pattern = Patterns().CurrentPattern();
        for (int row = 60; row < 128; ++row)
            for (int tick = 0; tick + length <= pattern->TickCount(); ++tick)
                if (pattern->CanPlaceNote(tick, length, 127 - row, nullptr))
                    return {tick, row};
        return {-1, -1};
    }
    int SynthTrack()
    {
        const CSequence& song = Song().Sequence();
        for (int i = 0; i < song.TrackCount(); ++i)
            if (song.Track(i)->Target()->owner == Machine("KV RazuZuri 1"))
                return i;
        return -1;
    }
    int FreeUnit(int track, int length)
    {
        const CSequence& song = Song().Sequence();
        for (int unit = 0; unit + length <= song.Length(); ++unit)
            if (song.Track(track)->Fits(unit, length, song.Length(), nullptr))
                return unit;
        return -1;
    }

    std::string folder;
    CApplication application;
    std::unique_ptr<CStudioGestures> gestures;
};

struct Edit {
    const char* label;   // as the Edit menu names it
    std::function<void(CUndoRig&)> make;
    /// What the edit needs first (a note to resize), recorded as steps of
    /// their own before the edit's "before".
    std::function<void(CUndoRig&)> prepare = nullptr;
};

std::vector<Edit> AllEdits()
{
    return {
        {"New Machine", [](CUndoRig& rig) {
             for (int id = 1; id <= rig.application.Registry().Count(); ++id)
                 if (std::string(rig.application.Registry().At(id - 1).descriptor->name) == "KV Zazud") {
                     rig.gestures->NewMachine(id, {500, 40});
                     return;
                 }
         }},
        {"Delete Machine", [](CUndoRig& rig) { rig.gestures->DeleteMachine(rig.Machine("KV RazuZuri 1")); }},
        {"Rename Machine", [](CUndoRig& rig) { rig.gestures->Rename(rig.Machine("KV Zazud 1"), "Bass Line"); }},
        {"Move Machine", [](CUndoRig& rig) {
             CMachineContainer* box = rig.Machine("KV DovoDorez 1");
             const Point at{box->x + 30, box->y + 50};
             rig.gestures->Press(at);
             rig.gestures->Move({at.x + 7, at.y + 3});
             rig.gestures->Move({at.x + 40, at.y + 25});
             rig.gestures->Release({at.x + 40, at.y + 25});
         }},
        {"Randomize", [](CUndoRig& rig) { rig.gestures->Randomize(rig.Machine("KV VUziD8 1")); }},
        {"Connect", [](CUndoRig& rig) {
             // The drum machine's output straight into the master as well.
             CConnector* from = rig.Machine("KV VUziD8 1")->connectors.back();
             CConnector* to = rig.Machine("Master")->connectors.front();
             for (CConnector* c : rig.Machine("KV VUziD8 1")->connectors)
                 if (rig.gestures->WouldConnect(c, to))
                     from = c;
             const auto a = rig.gestures->ConnectorCentre(from);
             const auto b = rig.gestures->ConnectorCentre(to);
             rig.gestures->Press({int(a.x), int(a.y)});
             rig.gestures->Release({int(b.x), int(b.y)});
         }},
        {"Disconnect", [](CUndoRig& rig) {
             for (CConnector* input : rig.Machine("KV Mixer 1")->connectors)
                 if (!input->connections.empty()) {
                     rig.gestures->Disconnect({input, 0});
                     return;
                 }
         }},
        {"Cable Volume", [](CUndoRig& rig) {
             CConnector* input = rig.Machine("Master")->connectors.front();
             for (double s : {0.2, 0.35, 0.5, 0.61})
                 rig.gestures->SetCablePosition({input, 0}, s);
             rig.Journal().Finish();
         }},
        {"Change Parameter", [](CUndoRig& rig) {
             CDefaultGUI gui(rig.Machine("KV Zazud 1")->machine);
             gui.SetJournal(&rig.Journal());
             for (double x : {0.1, 0.15, 0.2, 0.9})
                 gui.OnSliderMoved(2, x);
             rig.Journal().Finish();
         }},
        {"Change Tempo", [](CUndoRig& rig) { rig.application.ChangeTempo(97); }},
        {"Change Ticks Per Beat", [](CUndoRig& rig) { rig.application.ChangeTicksPerBeat(8); }},
        {"Add Pattern", [](CUndoRig& rig) {
             rig.ChooseSynthPattern();
             rig.Patterns().AddPattern();
         }},
        {"Remove Pattern", [](CUndoRig& rig) {
             rig.ChooseSynthPattern();
             rig.Patterns().RemovePattern();
         }},
        {"Rename Pattern", [](CUndoRig& rig) {
             rig.ChooseSynthPattern();
             rig.Patterns().RenamePattern("Verse");
         }},
        {"Resize Pattern", [](CUndoRig& rig) {
             rig.ChooseSynthPattern();
             rig.Patterns().SetPatternLength(5);
         }},
        {"Add Note", [](CUndoRig& rig) {
             rig.ChooseSynthPattern();
             const auto [tick, row] = rig.FreeCell(3);
             rig.Patterns().SetNoteLength(1);
             rig.Patterns().PressNote(tick + 0.5, row, MouseButton::Left);
             rig.Patterns().DragNote(tick + 1.5, row);
             rig.Patterns().DragNote(tick + 2.5, row);
             rig.Patterns().ReleaseNote();
         }},
        {"Remove Note", [](CUndoRig& rig) {
             CNote* note = rig.ChooseSynthPattern()->FirstNote();
             rig.Patterns().PressNote(note->start + 0.5, 127 - note->note, MouseButton::Right);
         }},
        {"Move Note", [](CUndoRig& rig) {
             CNote* note = rig.ChooseSynthPattern()->FirstNote();
             const int row = 127 - note->note;
             // Grabbed by the middle of a long note, or the body of a short one.
             const double grab = note->start + note->length / 2.0;
             rig.Patterns().PressNote(grab, row, MouseButton::Left);
             rig.Patterns().DragNote(grab, row - 1);
             rig.Patterns().DragNote(grab, row - 2);
             rig.Patterns().ReleaseNote();
         }},
        {"Resize Note", [](CUndoRig& rig) {
             rig.ChooseSynthPattern();
             const auto [tick, row] = rig.FreeCell(8);
             CPattern* pattern = rig.Patterns().CurrentPattern();
             rig.Patterns().SetNoteLength(6);
             rig.Patterns().PressNote(tick + 0.5, row, MouseButton::Left);
             rig.Patterns().ReleaseNote();
             CNote* note = pattern->NoteAt(tick, 127 - row);
             rig.Patterns().PressNote(note->start + note->length - 0.1, row, MouseButton::Left);
             rig.Patterns().DragNote(note->start + 7.5, row);
             rig.Patterns().ReleaseNote();
         }},
        {"Cut Notes", [](CUndoRig& rig) {
             rig.ChooseSynthPattern();
             rig.Patterns().SetMode(PianoRollMode::Select);
             rig.Patterns().PressNote(0, 0, MouseButton::Left);
             rig.Patterns().DragNote(rig.Patterns().CurrentPattern()->TickCount() - 1, 127);
             rig.Patterns().ReleaseNote();
             rig.Patterns().Cut();
             rig.Patterns().SetMode(PianoRollMode::Edit);
         }},
        {"Paste Notes", [](CUndoRig& rig) {
             rig.ChooseSynthPattern();
             rig.Patterns().SetMode(PianoRollMode::Select);
             rig.Patterns().PressNote(0, 0, MouseButton::Left);
             rig.Patterns().DragNote(rig.Patterns().CurrentPattern()->TickCount() - 1, 127);
             rig.Patterns().ReleaseNote();
             rig.Patterns().Copy();
             rig.Patterns().AddPattern();
             rig.Patterns().Paste(0, 0);
             rig.Patterns().SetMode(PianoRollMode::Edit);
         }},
        {"Add Control Track", [](CUndoRig& rig) {
             rig.ChooseSynthPattern();
             rig.Patterns().SelectProperty(1);
             rig.Patterns().AddControlTrack();
         }},
        {"Set Control Point", [](CUndoRig& rig) {
             CPattern* pattern = rig.ChooseSynthPattern();
             rig.Patterns().SelectProperty(1);
             rig.Patterns().AddControlTrack();
             const int track = pattern->FindControlTrack(1);
             rig.Patterns().PressControl(track, 3, 0.25f, MouseButton::Left);
             rig.Patterns().DragControl(0.5f);
             rig.Patterns().DragControl(0.75f);
             rig.Patterns().ReleaseControl();
         }},
        {"Clear Control Point", [](CUndoRig& rig) {
             CPattern* pattern = rig.ChooseSynthPattern();
             rig.Patterns().SelectProperty(1);
             rig.Patterns().AddControlTrack();
             const int track = pattern->FindControlTrack(1);
             rig.Patterns().PressControl(track, 3, 0.25f, MouseButton::Left);
             rig.Patterns().ReleaseControl();
             rig.Patterns().PressControl(track, 3, 0.0f, MouseButton::Right);
         }},
        {"Remove Control Track", [](CUndoRig& rig) { rig.Patterns().RemoveControlTrack(); },
         [](CUndoRig& rig) {
             CPattern* pattern = rig.ChooseSynthPattern();
             rig.Patterns().SelectProperty(1);
             rig.Patterns().AddControlTrack();
             rig.Patterns().PressControl(pattern->FindControlTrack(1), 3, 0.25f, MouseButton::Left);
             rig.Patterns().ReleaseControl();
         }},
        {"Add Entry", [](CUndoRig& rig) {
             CPattern* pattern = rig.ChooseSynthPattern();
             const int track = rig.SynthTrack();
             rig.Song().SelectTrack(track);
             rig.Song().ChoosePattern(pattern);
             rig.Song().PressGrid(rig.FreeUnit(track, pattern->Length()), track, MouseButton::Left);
             rig.Song().ReleaseGrid();
         },
         [](CUndoRig& rig) { rig.Song().SetLength(rig.Song().Length() + 64); }},
        {"Move Entry", [](CUndoRig& rig) {
             // The entry placed in the free stretch at the song's end.
             const int track = rig.SynthTrack();
             const int unit = rig.Song().Length() - 128;
             rig.Song().PressGrid(unit, track, MouseButton::Left);
             for (int step = 1; step <= 3; ++step)
                 rig.Song().DragGrid(unit + step);
             rig.Song().ReleaseGrid();
         },
         [](CUndoRig& rig) {
             rig.Song().SetLength(rig.Song().Length() + 128);
             CPattern* pattern = rig.ChooseSynthPattern();
             const int track = rig.SynthTrack();
             rig.Song().SelectTrack(track);
             rig.Song().ChoosePattern(pattern);
             rig.Song().PressGrid(rig.Song().Length() - 128, track, MouseButton::Left);
             rig.Song().ReleaseGrid();
         }},
        {"Remove Entry", [](CUndoRig& rig) {
             const int track = rig.SynthTrack();
             const CSequenceEntry* entry = rig.Song().Sequence().Track(track)->Entry(0);
             rig.Song().PressGrid(entry->position, track, MouseButton::Right);
         }},
        {"Sequence Length", [](CUndoRig& rig) { rig.Song().SetLength(rig.Song().Length() / 2); }},
    };
}

} // namespace

// Save, edit, undo, save: the same bytes. Redo, save: the bytes of the edit.
// An edit made of several recorded steps is undone and redone step by step.
TEST(UndoHistory, EveryKindOfEditUndoesAndRedoesExactly)
{
    CUndoRig rig;
    CUndoHistory& history = rig.application.History();
    for (const Edit& edit : AllEdits()) {
        SCOPED_TRACE(edit.label);
        const int prepared = history.StepCount();
        if (edit.prepare)
            edit.prepare(rig);
        const long stepsBefore = history.RecordedSteps();
        const Bytes before = rig.Save();
        edit.make(rig);
        const Bytes after = rig.Save();
        ASSERT_NE(before, after) << "the edit changed nothing";
        ASSERT_EQ(history.UndoLabel(), edit.label);
        const long steps = history.RecordedSteps() - stepsBefore;
        ASSERT_GE(steps, 1);
        for (long i = 0; i < steps; ++i)
            rig.application.Undo();
        EXPECT_EQ(rig.Save(), before);
        for (long i = 0; i < steps; ++i)
            rig.application.Redo();
        EXPECT_EQ(rig.Save(), after);
        EXPECT_EQ(history.UndoLabel(), edit.label);
        // The next kind starts from the demo again.
        while (history.StepCount() > prepared)
            rig.application.Undo();
    }
}

// A drag is one step however many times it moved; a click that changed
// nothing is none.
TEST(UndoHistory, OneStepPerGesture)
{
    CUndoRig rig;
    CUndoHistory& history = rig.application.History();
    CDefaultGUI gui(rig.Machine("KV Zazud 1")->machine);
    gui.SetJournal(&rig.Journal());
    for (int i = 1; i <= 40; ++i)
        gui.OnSliderMoved(0, i / 40.0);
    rig.Journal().Finish();
    EXPECT_EQ(history.StepCount(), 1);
    CMachineContainer* box = rig.Machine("KV Zazud 1");
    rig.gestures->Press({box->x + 20, box->y + 40});
    rig.gestures->Release({box->x + 20, box->y + 40});
    EXPECT_EQ(history.StepCount(), 1);
    EXPECT_EQ(history.UndoLabel(), "Change Parameter");
}

TEST(UndoHistory, KeepsTheLatestFiveHundredSteps)
{
    CUndoRig rig;
    CUndoHistory& history = rig.application.History();
    for (int i = 0; i < CUndoHistory::kMaxSteps + 20; ++i)
        rig.application.ChangeTempo(60 + i % 2);
    EXPECT_EQ(history.StepCount(), CUndoHistory::kMaxSteps);
    // The saved state left the history: the project stays unsaved however far
    // back the user goes.
    history.Undo();
    EXPECT_TRUE(history.IsModified());
    EXPECT_EQ(history.StepCount(), CUndoHistory::kMaxSteps - 1);
    EXPECT_EQ(history.RedoCount(), 1);
}

TEST(UndoHistory, UnsavedMarkerFollowsTheSavedStep)
{
    CUndoRig rig;
    CUndoHistory& history = rig.application.History();
    rig.application.Project().path = rig.folder + "/demo.cvx";
    EXPECT_EQ(rig.application.WindowTitle(), "Corvane Studio - demo.cvx");
    rig.application.ChangeTempo(100);
    EXPECT_EQ(rig.application.WindowTitle(), "Corvane Studio - demo.cvx *");
    ASSERT_TRUE(SaveProject(rig.application.Project()));
    history.MarkSaved();
    EXPECT_FALSE(history.IsModified());
    rig.application.Undo();   // past the save
    EXPECT_EQ(rig.application.WindowTitle(), "Corvane Studio - demo.cvx *");
    rig.application.Redo();   // back at the save
    EXPECT_FALSE(history.IsModified());
    rig.application.Undo();
    rig.application.ChangeTicksPerBeat(6);   // the saved step can no longer come back
    EXPECT_FALSE(history.CanRedo());
    EXPECT_TRUE(history.IsModified());
}

// Random edits, undos and redos over the demo; every 100 actions the
// save-edit-undo-save property is checked, and at the end every step back
// to the start gives the bytes it had when it was made.
TEST(UndoHistory, RandomWalkKeepsEveryStepExact)
{
    CUndoRig rig;
    CUndoHistory& history = rig.application.History();
    std::mt19937 random(23);
    const std::vector<Edit> edits = AllEdits();
    // The cheap, repeatable kinds; the walk mixes them with undo and redo.
    const std::vector<std::function<void(CUndoRig&, int)>> small = {
        [](CUndoRig& rig, int n) { rig.application.ChangeTempo(80 + n % 90); },
        [](CUndoRig& rig, int n) {
            CDefaultGUI gui(rig.Machine("KV Zazud 1")->machine);
            gui.SetJournal(&rig.Journal());
            gui.OnSliderMoved(n % gui.GetParameterCount(), (n % 97) / 97.0);
            rig.Journal().Finish();
        },
        [](CUndoRig& rig, int n) {
            CMachineContainer* box = rig.Machine("Master");
            rig.gestures->Press({box->x + 30, box->y + 50});
            rig.gestures->Release({box->x + 30 + n % 13, box->y + 50 + n % 7});
        },
        [](CUndoRig& rig, int n) {
            rig.ChooseSynthPattern();
            const auto [tick, row] = rig.FreeCell(1);
            if (tick >= 0) {
                rig.Patterns().PressNote(tick + 0.5, row + n % 5, MouseButton::Left);
                rig.Patterns().ReleaseNote();
            }
        },
    };
    std::vector<Bytes> expected{rig.Save()};   // the bytes at each step
    int position = 0;
    // A new step: what could be redone goes, and the oldest beyond the bound.
    const auto pushStep = [&](Bytes bytes) {
        expected.resize(static_cast<std::size_t>(position) + 1);
        expected.push_back(std::move(bytes));
        if (++position > CUndoHistory::kMaxSteps) {
            expected.erase(expected.begin());
            --position;
        }
    };
    for (int action = 1; action <= 2000; ++action) {
        const int choice = static_cast<int>(random() % 10);
        if (choice < 2 && history.CanUndo()) {
            rig.application.Undo();
            --position;
        } else if (choice < 3 && history.CanRedo()) {
            rig.application.Redo();
            ++position;
        } else {
            small[random() % small.size()](rig, action);
            Bytes now = rig.Save();
            if (now != expected[static_cast<std::size_t>(position)])
                pushStep(std::move(now));
        }
        ASSERT_EQ(history.StepCount(), position);
        if (action % 100 == 0) {
            SCOPED_TRACE(action);
            ASSERT_EQ(rig.Save(), expected[static_cast<std::size_t>(position)]);
            const Edit& edit = edits[static_cast<std::size_t>(action / 100) % edits.size()];
            if (edit.prepare) {
                // Its steps in one go; the walk knows the bytes of the last.
                const long recorded = history.RecordedSteps();
                edit.prepare(rig);
                for (long step = recorded + 1; step <= history.RecordedSteps(); ++step)
                    pushStep(step == history.RecordedSteps() ? rig.Save() : Bytes{});
            }
            const Bytes before = rig.Save();
            const long stepsBefore = history.RecordedSteps();
            edit.make(rig);
            const Bytes after = rig.Save();
            const long steps = history.RecordedSteps() - stepsBefore;
            for (long i = 0; i < steps; ++i)
                rig.application.Undo();
            ASSERT_EQ(rig.Save(), before) << edit.label;
            for (long i = 0; i < steps; ++i)
                rig.application.Redo();
            ASSERT_EQ(rig.Save(), after) << edit.label;
            for (long i = 0; i < steps; ++i)
                rig.application.Undo();
            // At the bound the edit's steps pushed the oldest out.
            const long dropped = std::max(0L, position + steps - CUndoHistory::kMaxSteps);
            expected.erase(expected.begin(), expected.begin() + dropped);
            position -= static_cast<int>(dropped);
            ASSERT_EQ(history.StepCount(), position);
            // A step of its own drops what the check left to redo.
            rig.application.ChangeTempo(200 + action / 100);
            pushStep(rig.Save());
        }
    }
    // Back through the latest steps: each gives the bytes it had.
    for (int back = 0; back < 100 && history.CanUndo(); ++back) {
        rig.application.Undo();
        --position;
        if (!expected[static_cast<std::size_t>(position)].empty()) {
            ASSERT_EQ(rig.Save(), expected[static_cast<std::size_t>(position)]) << position;
        }
    }
}

// The everyday edits go back and forth where they stand while the song
// plays: the same machine objects, the song still playing, no reading, and
// the project's bytes those the history kept for the step.
TEST(UndoHistory, EverydayEditsUndoInPlace)
{
    CUndoRig rig;
    CUndoHistory& history = rig.application.History();
    const std::vector<std::string> inPlace = {
        "Change Parameter", "Change Tempo", "Change Ticks Per Beat", "Cable Volume", "Move Machine",
        "Rename Machine", "Add Note", "Remove Note", "Move Note", "Resize Note", "Cut Notes",
        "Paste Notes", "Set Control Point", "Clear Control Point", "Add Entry", "Move Entry", "Remove Entry", "Randomize"};
    const auto objects = [&rig] {
        std::vector<const void*> all;
        for (const CMachineContainer* box : rig.application.Studio().Containers()) {
            all.push_back(box);
            all.push_back(box->machine);
        }
        return all;
    };
    for (const Edit& edit : AllEdits()) {
        if (std::find(inPlace.begin(), inPlace.end(), edit.label) == inPlace.end())
            continue;
        SCOPED_TRACE(edit.label);
        const int start = history.StepCount();
        if (edit.prepare)
            edit.prepare(rig);
        edit.make(rig);
        const Bytes after = rig.Save();
        rig.Song().Play();
        const std::vector<const void*> machines = objects();
        const double songPosition = rig.Song().SongPosition();
        const long reloads = history.Reloads();
        rig.application.Undo();
        EXPECT_EQ(rig.Save(), history.Current());
        rig.application.Redo();
        EXPECT_EQ(rig.Save(), after);
        EXPECT_EQ(history.Reloads(), reloads);
        EXPECT_EQ(objects(), machines);
        EXPECT_TRUE(rig.Song().IsPlaying());
        EXPECT_EQ(rig.Song().SongPosition(), songPosition);
        rig.Song().Stop();
        while (history.StepCount() > start)
            rig.application.Undo();
    }
}

// A step whose own way back does not give the kept bytes is read back whole.
TEST(UndoHistory, InPlaceStepThatMissesFallsBackToReading)
{
    CUndoRig rig;
    CUndoHistory& history = rig.application.History();
    const Bytes before = rig.Save();
    const double tempo = rig.application.Host().GetTempo();
    rig.application.Host().SetTempo(tempo + 10);
    // Claims to undo the tempo change but leaves it.
    rig.Journal().Record("Change Tempo", {[] {}, [] {}});
    const long reloads = history.Reloads();
    rig.application.Undo();
    EXPECT_EQ(history.Reloads(), reloads + 1);
    EXPECT_EQ(rig.Save(), before);
    EXPECT_EQ(rig.application.Host().GetTempo(), tempo);
}

// A knob's drag still open when its machine is deleted: the step that
// takes both back reads the project again and never sets the freed machine.
TEST(UndoHistory, OpenGestureOfADeletedMachineUndoesByReading)
{
    CUndoRig rig;
    const Bytes start = rig.Save();
    CDefaultGUI gui(rig.Machine("KV Zazud 1")->machine);
    gui.SetJournal(&rig.Journal());
    gui.OnSliderMoved(2, 0.9);   // the button is still down
    rig.gestures->DeleteMachine(rig.Machine("KV Zazud 1"));
    while (rig.application.History().CanUndo())
        rig.application.Undo();
    EXPECT_EQ(rig.Save(), start);
}

// Autosave writes the whole file or nothing, in a folder it makes, and never
// over the project's own file.
TEST(UndoHistory, RecoveryFileIsWrittenWholeAndNeverOverTheUsersFile)
{
    const std::string folder = (std::filesystem::temp_directory_path() / ("corvane-recovery-" + std::to_string(::getpid()))).string();
    const std::string path = folder + "/state/Corvane Studio/recovery.cvx";
    CRecoveryFile recovery(path);
    const Bytes bytes(70000, 0x5a);
    recovery.Write(bytes, folder + "/song.cvx");
    recovery.Wait();
    EXPECT_EQ(recovery.LastError(), "");
    EXPECT_EQ(std::filesystem::file_size(path), bytes.size());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder + "/state/Corvane Studio"),
                            std::filesystem::directory_iterator()), 1) << "no temporary file left";
    recovery.Write(Bytes(10, 1), path);   // the user saved into the recovery file itself
    recovery.Wait();
    EXPECT_EQ(std::filesystem::file_size(path), bytes.size());
    EXPECT_EQ(recovery.WritesDone(), 1);
    recovery.Remove();
    EXPECT_FALSE(recovery.Exists());
    std::filesystem::remove_all(folder);
}
