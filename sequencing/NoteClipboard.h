#pragma once
// The piano roll's selection rectangle and its clipboard of notes. Notes
// are kept relative to the rectangle: start from its first tick, row from
// its top row, so that a paste lands the copied top row on the clicked row
// whatever kind of machine the notes came from.

#include <vector>

class CNote;
class CPattern;
class CPianoRollRows;

struct CNoteSelection {
    int firstRow = 0;
    int lastRow = 0;
    int firstTick = 0;
    int lastTick = 0;

    /// The rectangle spanned by two corners, in either order.
    static CNoteSelection Spanning(int rowA, int tickA, int rowB, int tickB);
    /// The note's row lies within the rows and its ticks within the ticks.
    bool Contains(const CNote& note, const CPianoRollRows& rows) const;
};

class CNoteClipboard {
public:
    struct Item {
        int startOffset;   // ticks after the rectangle's first tick
        int length;        // ticks
        int rowOffset;     // rows below the rectangle's top row
    };

    /// Replaces the clipboard with the notes inside the rectangle.
    void Copy(const CPattern& pattern, const CNoteSelection& selection, const CPianoRollRows& rows);
    /// Places every note that the placement rule allows, the top row at
    /// row and the first tick at tick. Returns how many were placed.
    int Paste(CPattern& pattern, int tick, int row, const CPianoRollRows& rows) const;

    bool IsEmpty() const { return items.empty(); }
    /// Whether the notes came from a machine that plays MIDI notes.
    bool FromNoteMachine() const { return fromNoteMachine; }
    const std::vector<Item>& Items() const { return items; }

private:
    std::vector<Item> items;
    bool fromNoteMachine = true;
};
