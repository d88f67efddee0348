#pragma once
// CArpeggiatorGUI: the arpeggiator's editor, without its window. A tool bar
// with "TPB:" (1 .. 16) and "Length:" (1 .. 32) and the step grid: 32
// columns by 12 rows of 8 x 8 pixel cells at (48, 88), the highest note in
// row 0. A press on a cell toggles it and remembers the new value; dragging
// with the button held writes that value into every cell the pointer passes
// over, also when it moves faster than one cell per event. The window
// (CArpeggiatorGUIView) only forwards the mouse and paints what this says.
//
// The machine picks up every change at its next step: the writes are the
// single stores its editor side offers.
//
// Threads: user-interface thread.

#include <array>
#include <cstdint>

class CArpeggiator;

class CArpeggiatorGUI {
public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 200;
    static constexpr int kGridX = 48;
    static constexpr int kGridY = 88;
    static constexpr int kCellSize = 8;
    static constexpr int kColumns = 32;
    static constexpr int kRows = 12;
    static constexpr int kGridWidth = kColumns * kCellSize;   // 256
    static constexpr int kGridHeight = kRows * kCellSize;     // 96

    enum class ColumnShade { Light, Dark, BeyondLength };

    explicit CArpeggiatorGUI(CArpeggiator& machine);

    CArpeggiator& Machine() const { return machine; }

    // The tool bar's up-downs: the value is written only when it differs.
    void SetStepsPerBeat(int steps);
    void SetLength(int steps);
    int StepsPerBeat() const;
    int Length() const;

    /// The cell under a pixel of the editor; false outside the grid.
    static bool CellAt(int x, int y, int* row, int* column);
    /// Groups of four columns alternate; columns at or past the length are
    /// not played and are shaded apart.
    ColumnShade ShadeOf(int column) const;
    bool Cell(int row, int column) const;

    void OnMousePress(int x, int y);
    void OnMouseMove(int x, int y);
    void OnMouseRelease(int x, int y);
    bool Dragging() const { return dragging; }

    /// Reads the machine again; true when anything the editor shows changed
    /// (a project loaded, the machine stepped on), so the window repaints.
    bool Refresh();
    /// The column the machine plays next, -1 when it is silent.
    int PlayingColumn() const { return shown.playing; }
    /// The note held down, -1 when it is silent.
    int HeldNote() const { return shown.heldNote; }

private:
    struct Shown {
        int stepsPerBeat = 0;
        int length = 0;
        int playing = -1;
        int heldNote = -1;
        std::array<std::uint8_t, kRows * kColumns> cells{};
        bool operator==(const Shown&) const = default;
    };

    Shown Read() const;
    /// Writes the drag value into the cells on the line between two cells.
    void PaintLine(int fromRow, int fromColumn, int toRow, int toColumn);

    CArpeggiator& machine;
    Shown shown;
    bool dragging = false;
    bool paintValue = false;
    int lastRow = 0;
    int lastColumn = 0;
};
