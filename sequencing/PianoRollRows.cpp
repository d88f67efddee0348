#include "sequencing/PianoRollRows.h"

#include <array>
#include <cstdio>

#include "framework/Machine.h"
#include "sequencing/Pattern.h"

namespace {

constexpr std::array<const char*, 12> kNoteNames = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

// Machines write names of any length into a caller's buffer; this is far
// more than any name a row can show.
constexpr int kNoteNameBuffer = 1024;

} // namespace

CPianoRollRows::CPianoRollRows(CMachine* machine)
    : machine(machine), triggerCount(machine != nullptr && machine->triggerCount > 0 ? machine->triggerCount : 0)
{
}

int CPianoRollRows::RowCount() const
{
    return triggerCount > 0 ? triggerCount : CPattern::kMidiNoteCount;
}

int CPianoRollRows::NoteForRow(int row) const
{
    if (row < 0 || row >= RowCount())
        return -1;
    return triggerCount > 0 ? row : CPattern::kMidiNoteCount - 1 - row;
}

int CPianoRollRows::RowForNote(int note) const
{
    if (note < 0 || note >= RowCount())
        return -1;
    return triggerCount > 0 ? note : CPattern::kMidiNoteCount - 1 - note;
}

std::string CPianoRollRows::NoteLabel(int note)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s-%i", kNoteNames[static_cast<std::size_t>(note % 12)], note / 12);
    return text;
}

std::string CPianoRollRows::Label(int row) const
{
    const int note = NoteForRow(row);
    if (note < 0)
        return "";
    if (triggerCount == 0)
        return NoteLabel(note);
    char name[kNoteNameBuffer] = {};
    machine->GetNoteName(note, name);
    name[kNoteNameBuffer - 1] = '\0';
    return name;
}

bool CPianoRollRows::IsBlackKey(int row) const
{
    const int note = NoteForRow(row);
    if (note < 0)
        return false;
    if (triggerCount > 0)
        return note % 2 == 0;
    switch (note % 12) {
    case 1: case 3: case 6: case 8: case 10:
        return true;
    default:
        return false;
    }
}
