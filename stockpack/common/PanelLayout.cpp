#include "stockpack/common/PanelLayout.h"

#include <algorithm>

namespace panel_layout {

int CellWidth(const Metrics& metrics, CellKind kind)
{
    switch (kind) {
    case CellKind::Knob: return metrics.knobCell;
    case CellKind::SmallKnob: return metrics.smallKnobCell;
    case CellKind::Selector: return metrics.selectorCell;
    }
    return 0;
}

Placement Place(const std::vector<Row>& rows, const Metrics& metrics)
{
    Placement placement;
    int y = metrics.top;
    for (const Row& row : rows) {
        int x = metrics.left;
        const int controlsTop = y + metrics.titleHeight;
        int rowWidth = 0;
        for (const Section& section : row)
            for (const Cell& cell : section.cells)
                rowWidth += CellWidth(metrics, cell.kind);
        const int gaps = static_cast<int>(row.size()) - 1;
        int gap = metrics.sectionGap;
        if (metrics.justifyRight > 0 && gaps > 0)
            gap = std::max(gap, (metrics.justifyRight - metrics.left - rowWidth) / gaps);
        for (const Section& section : row) {
            placement.titles.push_back({section.title, x, y});
            for (const Cell& cell : section.cells) {
                const int cellWidth = CellWidth(metrics, cell.kind);
                PlacedCell placed{cell, 0, 0, 0, 0};
                switch (cell.kind) {
                case CellKind::Knob:
                    placed.width = placed.height = metrics.knobSize;
                    placed.y = controlsTop;
                    break;
                case CellKind::SmallKnob:
                    placed.width = placed.height = metrics.smallKnobSize;
                    // Centred on the big knobs' middle line.
                    placed.y = controlsTop + (metrics.knobSize - metrics.smallKnobSize) / 2;
                    break;
                case CellKind::Selector:
                    placed.width = metrics.selectorWidth;
                    placed.height = metrics.selectorHeight;
                    placed.y = controlsTop + (metrics.knobSize - metrics.selectorHeight) / 2;
                    break;
                }
                placed.x = x + (cellWidth - placed.width) / 2;
                placement.cells.push_back(placed);
                x += cellWidth;
            }
            placement.right = std::max(placement.right, x);
            x += gap;
        }
        y += metrics.rowHeight;
    }
    placement.bottom = y;
    return placement;
}

} // namespace panel_layout
