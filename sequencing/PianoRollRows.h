#pragma once
// CPianoRollRows: how the piano roll's rows map to notes for a machine, and
// what each row is labelled. A machine without triggers has 128 rows with
// note 127 at the top; a machine of N triggers has N rows with index 0 at
// the top, labelled by the machine.

#include <string>

class CMachine;

class CPianoRollRows {
public:
    /// For the machine of the current port; null gives the 128 note rows.
    explicit CPianoRollRows(CMachine* machine);

    int RowCount() const;
    bool HasTriggers() const { return triggerCount > 0; }
    /// The note of a row, or −1 outside the rows.
    int NoteForRow(int row) const;
    /// The row of a note, or −1 for a number the machine does not have.
    int RowForNote(int note) const;
    /// "C-5" for note 60, or the machine's name for a trigger.
    std::string Label(int row) const;
    /// The five sharps of every octave; the even trigger indexes.
    bool IsBlackKey(int row) const;

    /// "%s-%i" with the note's name and its octave note / 12.
    static std::string NoteLabel(int note);

private:
    CMachine* machine;
    int triggerCount;
};
