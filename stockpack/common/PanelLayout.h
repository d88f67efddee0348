#pragma once
// The layout of a stock editor's panel: rows of titled sections, each a
// run of cells (a knob, a small knob or a selector with its label under
// it), placed left to right. Pure arithmetic, so tests can check that
// every control lies on the skin and none overlaps another.

#include <vector>

namespace panel_layout {

enum class CellKind { Knob, SmallKnob, Selector };

struct Cell {
    int parameter;
    CellKind kind;
    const char* label;   // printed under the control; may be empty
    int entries = 0;     // selectors: the list's length
};

struct Section {
    const char* title;
    std::vector<Cell> cells;
};

using Row = std::vector<Section>;

struct Metrics {
    int left = 16;            // first section's x
    int top = 24;             // first row's title line
    int sectionGap = 16;
    /// When set, each row's sections are spread so that the row ends here
    /// (the gaps grow, never shrink below sectionGap).
    int justifyRight = 0;
    int rowHeight = 62;
    int titleHeight = 11;     // title line to the controls
    int knobCell = 40;
    int smallKnobCell = 30;
    int selectorCell = 64;
    int knobSize = 32;        // the controls' own sizes, for centring
    int smallKnobSize = 22;
    int selectorWidth = 60;
    int selectorHeight = 16;
};

struct PlacedCell {
    Cell cell;
    int x, y, width, height;   // the control's rectangle
};

struct PlacedTitle {
    const char* text;
    int x, y;
};

struct Placement {
    std::vector<PlacedCell> cells;
    std::vector<PlacedTitle> titles;
    int right = 0;    // the widest row's end
    int bottom = 0;   // the last row's end (labels included)
};

int CellWidth(const Metrics& metrics, CellKind kind);
Placement Place(const std::vector<Row>& rows, const Metrics& metrics = {});

} // namespace panel_layout
