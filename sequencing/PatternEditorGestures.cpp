// The piano roll's Edit and Select Mode gestures and the control lanes'
// point editing, in ticks, rows and values.

#include <algorithm>
#include <cmath>
#include <string>

#include "framework/Machine.h"
#include "host/EditJournal.h"
#include "host/MachineContainer.h"
#include "sequencing/EditorGeometry.h"
#include "framework/ScopedLock.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"

namespace {

constexpr int kParameterTextBuffer = 1024;

int WholeTick(double tickPosition)
{
    return static_cast<int>(std::floor(tickPosition));
}

} // namespace

void CPatternEditor::SetMode(PianoRollMode newMode)
{
    if (newMode == mode)
        return;
    mode = newMode;
    FinishGesture();
}

CPianoRollRows CPatternEditor::Rows() const
{
    CMachine* machine = nullptr;
    if (currentPattern != nullptr)
        machine = currentPattern->TargetMachine();
    else if (chosenMachine != nullptr)
        machine = chosenMachine->machine;
    return CPianoRollRows(machine);
}

void CPatternEditor::PressNote(double tickPosition, int row, MouseButton button)
{
    CPattern* pattern = currentPattern;
    if (pattern == nullptr)
        return;
    FinishGesture();
    KeepContent();
    const CPianoRollRows rows = Rows();
    const int tick = WholeTick(tickPosition);
    const int number = rows.NoteForRow(row);

    if (mode == PianoRollMode::Select) {
        if (button == MouseButton::Left) {
            noteDrag = NoteDrag::Rectangle;
            pressTick = tick;
            pressRow = row;
            selection = CNoteSelection::Spanning(row, tick, row, tick);
        }
        return;
    }

    CNote* hit = number >= 0 ? pattern->NoteAt(tick, number) : nullptr;
    if (button == MouseButton::Right) {
        if (hit != nullptr) {
            {
                CScopedLock<CHostMutex> hold(PlaybackLock());
                pattern->RemoveNote(hit);
            }
            EditedEvents("Remove Note");
        }
        return;
    }

    pressTick = tick;
    pressRow = row;
    if (hit != nullptr) {
        switch (CEditorGeometry::GripAt(*hit, tickPosition)) {
        case NoteGrip::Start: noteDrag = NoteDrag::Start; break;
        case NoteGrip::End: noteDrag = NoteDrag::End; break;
        case NoteGrip::Body: noteDrag = NoteDrag::Body; break;
        }
        draggedNote = hit;
        grabbedStart = hit->start;
        grabbedRow = row;
        return;
    }
    if (number < 0 || !pattern->CanPlaceNote(tick, noteLength, number, nullptr))
        return;
    {
        CScopedLock<CHostMutex> hold(PlaybackLock());
        draggedNote = pattern->AddNote(tick, noteLength, number);
        ReserveEventRoom(*pattern);
    }
    // The new note's end follows the pointer while the button stays down;
    // adding and stretching it is one step.
    noteDrag = NoteDrag::End;
    addingNote = true;
    ContinuedEvents("Add Note");
}

void CPatternEditor::DragNote(double tickPosition, int row)
{
    const int tick = WholeTick(tickPosition);
    if (noteDrag == NoteDrag::Rectangle) {
        selection = CNoteSelection::Spanning(pressRow, pressTick, row, tick);
        return;
    }
    if (draggedNote == nullptr || currentPattern == nullptr)
        return;
    DragNoteLocked(tick, row);
}

void CPatternEditor::DragNoteLocked(int tick, int row)
{
    CPattern& pattern = *currentPattern;
    CNote* note = draggedNote;
    int start = note->start;
    int length = note->length;
    int number = note->note;

    switch (noteDrag) {
    case NoteDrag::Start: {
        const int end = note->EndTick();
        start = std::min(tick, end - 1);
        length = end - start;
        break;
    }
    case NoteDrag::End:
        length = std::max(1, tick - note->start + 1);
        break;
    case NoteDrag::Body: {
        // New place first, then only the new row, then only the new start;
        // a note dragged onto another of its number slides the free way.
        const int newStart = grabbedStart + (tick - pressTick);
        const int newNumber = Rows().NoteForRow(grabbedRow + (row - pressRow));
        if (pattern.CanPlaceNote(newStart, length, newNumber, note)) {
            start = newStart;
            number = newNumber;
        } else if (pattern.CanPlaceNote(note->start, length, newNumber, note)) {
            number = newNumber;
        } else if (pattern.CanPlaceNote(newStart, length, note->note, note)) {
            start = newStart;
        }
        break;
    }
    default:
        return;
    }
    if (start == note->start && length == note->length && number == note->note)
        return;
    if (!pattern.CanPlaceNote(start, length, number, note))
        return;
    {
        CScopedLock<CHostMutex> hold(PlaybackLock());
        pattern.PlaceNote(note, start, length, number);
    }
    if (addingNote)
        ContinuedEvents("Add Note");
    else
        ContinuedEvents(noteDrag == NoteDrag::Body ? "Move Note" : "Resize Note");
}

void CPatternEditor::ReleaseNote()
{
    FinishGesture();
}

void CPatternEditor::Copy()
{
    if (selection.has_value() && currentPattern != nullptr)
        clipboard.Copy(*currentPattern, *selection, Rows());
    selection.reset();
}

void CPatternEditor::DeleteSelection()
{
    RemoveSelected("Delete Notes");
}

void CPatternEditor::RemoveSelected(const char* label)
{
    bool removed = false;
    CPattern* pattern = currentPattern;
    KeepContent();
    if (selection.has_value() && pattern != nullptr) {
        const CPianoRollRows rows = Rows();
        std::vector<CNote*> inside;
        for (CNote* note = pattern->FirstNote(); note != nullptr; note = note->next) {
            if (selection->Contains(*note, rows))
                inside.push_back(note);
        }
        EndGestures();
        CScopedLock<CHostMutex> hold(PlaybackLock());
        for (CNote* note : inside)
            pattern->RemoveNote(note);
        removed = !inside.empty();
    }
    selection.reset();
    if (removed)
        EditedEvents(label);
}

void CPatternEditor::Cut()
{
    if (selection.has_value() && currentPattern != nullptr)
        clipboard.Copy(*currentPattern, *selection, Rows());
    RemoveSelected("Cut Notes");
}

void CPatternEditor::Paste(int tick, int row)
{
    CPattern* pattern = currentPattern;
    KeepContent();
    if (pattern != nullptr && !clipboard.IsEmpty()) {
        const CPianoRollRows rows = Rows();
        {
            CScopedLock<CHostMutex> hold(PlaybackLock());
            clipboard.Paste(*pattern, tick, row, rows);
            ReserveEventRoom(*pattern);
        }
        EditedEvents("Paste Notes");
    }
    selection.reset();
}

void CPatternEditor::PressControl(int trackIndex, int tick, float value, MouseButton button)
{
    FinishGesture();
    KeepContent();
    controlTrack = -1;
    controlTick = -1;
    CPattern* pattern = currentPattern;
    CControlTrack* track = pattern != nullptr ? pattern->ControlTrack(trackIndex) : nullptr;
    if (track == nullptr || tick < 0 || tick >= track->PointCount())
        return;
    if (button == MouseButton::Right) {
        if (track->IsSet(tick)) {
            {
                CScopedLock<CHostMutex> hold(PlaybackLock());
                track->ClearPoint(tick);
            }
            EditedEvents("Clear Control Point");
        }
        return;
    }
    if (!track->IsSet(tick)) {
        {
            CScopedLock<CHostMutex> hold(PlaybackLock());
            track->SetPoint(tick, value);
            ReserveEventRoom(*pattern);
        }
        ContinuedEvents("Set Control Point");
    }
    controlTrack = trackIndex;
    controlTick = tick;
}

void CPatternEditor::DragControl(float value)
{
    CControlTrack* track = currentPattern != nullptr ? currentPattern->ControlTrack(controlTrack) : nullptr;
    if (track == nullptr || !track->IsSet(controlTick))
        return;
    {
        CScopedLock<CHostMutex> hold(PlaybackLock());
        track->SetPoint(controlTick, value);
    }
    ContinuedEvents("Set Control Point");
}

void CPatternEditor::ReleaseControl()
{
    FinishGesture();
}

std::string CPatternEditor::ControlText() const
{
    CControlTrack* track = currentPattern != nullptr ? currentPattern->ControlTrack(controlTrack) : nullptr;
    if (track == nullptr || !track->IsSet(controlTick))
        return "";
    const float value = track->Point(controlTick).value;
    if (track->IsVelocity())
        return std::to_string(std::lround(value * 127.0f));
    CMachine* machine = currentPattern->TargetMachine();
    if (machine == nullptr)
        return "";
    char text[kParameterTextBuffer] = {};
    machine->FormatParameter(track->PropertyId(), static_cast<double>(value), text);
    text[kParameterTextBuffer - 1] = '\0';
    return text;
}
