#include "sequencing/NoteClipboard.h"

#include <algorithm>

#include "sequencing/Note.h"
#include "sequencing/Pattern.h"
#include "sequencing/PianoRollRows.h"

CNoteSelection CNoteSelection::Spanning(int rowA, int tickA, int rowB, int tickB)
{
    CNoteSelection selection;
    selection.firstRow = std::min(rowA, rowB);
    selection.lastRow = std::max(rowA, rowB);
    selection.firstTick = std::min(tickA, tickB);
    selection.lastTick = std::max(tickA, tickB);
    return selection;
}

bool CNoteSelection::Contains(const CNote& note, const CPianoRollRows& rows) const
{
    const int row = rows.RowForNote(note.note);
    return row >= firstRow && row <= lastRow && note.start >= firstTick && note.EndTick() - 1 <= lastTick;
}

void CNoteClipboard::Copy(const CPattern& pattern, const CNoteSelection& selection, const CPianoRollRows& rows)
{
    items.clear();
    fromNoteMachine = !rows.HasTriggers();
    for (const CNote* note = pattern.FirstNote(); note != nullptr; note = note->next) {
        if (selection.Contains(*note, rows))
            items.push_back({note->start - selection.firstTick, note->length,
                             rows.RowForNote(note->note) - selection.firstRow});
    }
}

int CNoteClipboard::Paste(CPattern& pattern, int tick, int row, const CPianoRollRows& rows) const
{
    int placed = 0;
    for (const Item& item : items) {
        const int note = rows.NoteForRow(row + item.rowOffset);
        const int start = tick + item.startOffset;
        if (note >= 0 && pattern.CanPlaceNote(start, item.length, note, nullptr)) {
            pattern.AddNote(start, item.length, note);
            ++placed;
        }
    }
    return placed;
}
