#include "machines/ArpeggiatorGUI.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "machines/Arpeggiator.h"

CArpeggiatorGUI::CArpeggiatorGUI(CArpeggiator& machine) : machine(machine)
{
    shown = Read();
}

void CArpeggiatorGUI::SetStepsPerBeat(int steps)
{
    steps = std::clamp(steps, CArpeggiator::kMinStepsPerBeat, CArpeggiator::kMaxStepsPerBeat);
    if (steps != machine.GetStepsPerBeat())
        machine.SetStepsPerBeat(steps);
    shown.stepsPerBeat = steps;
}

void CArpeggiatorGUI::SetLength(int steps)
{
    steps = std::clamp(steps, 1, kColumns);
    if (steps != machine.GetLength())
        machine.SetLength(steps);
    shown.length = steps;
}

int CArpeggiatorGUI::StepsPerBeat() const
{
    return machine.GetStepsPerBeat();
}

int CArpeggiatorGUI::Length() const
{
    return machine.GetLength();
}

bool CArpeggiatorGUI::CellAt(int x, int y, int* row, int* column)
{
    if (x < kGridX || y < kGridY || x >= kGridX + kGridWidth || y >= kGridY + kGridHeight)
        return false;
    *column = (x - kGridX) / kCellSize;
    *row = (y - kGridY) / kCellSize;
    return true;
}

CArpeggiatorGUI::ColumnShade CArpeggiatorGUI::ShadeOf(int column) const
{
    if (column >= machine.GetLength())
        return ColumnShade::BeyondLength;
    return (column / 4) % 2 == 0 ? ColumnShade::Light : ColumnShade::Dark;
}

bool CArpeggiatorGUI::Cell(int row, int column) const
{
    return machine.GetCell(row, column);
}

void CArpeggiatorGUI::OnMousePress(int x, int y)
{
    int row = 0, column = 0;
    if (!CellAt(x, y, &row, &column))
        return;
    paintValue = !machine.GetCell(row, column);
    machine.SetCell(row, column, paintValue);
    dragging = true;
    lastRow = row;
    lastColumn = column;
}

void CArpeggiatorGUI::OnMouseMove(int x, int y)
{
    if (!dragging)
        return;
    // Outside the grid the pointer paints nothing; coming back in, it
    // paints from the cell where it re-enters.
    int row = 0, column = 0;
    if (!CellAt(x, y, &row, &column)) {
        lastRow = -1;
        return;
    }
    if (lastRow < 0)
        machine.SetCell(row, column, paintValue);
    else
        PaintLine(lastRow, lastColumn, row, column);
    lastRow = row;
    lastColumn = column;
}

void CArpeggiatorGUI::OnMouseRelease(int, int)
{
    dragging = false;
}

void CArpeggiatorGUI::PaintLine(int fromRow, int fromColumn, int toRow, int toColumn)
{
    // A fast drag reports cells far apart: every cell on the straight line
    // between them was passed over.
    const int steps = std::max(std::abs(toRow - fromRow), std::abs(toColumn - fromColumn));
    for (int i = 0; i <= steps; ++i) {
        const double t = steps == 0 ? 1.0 : static_cast<double>(i) / steps;
        const int row = fromRow + static_cast<int>(std::lround((toRow - fromRow) * t));
        const int column = fromColumn + static_cast<int>(std::lround((toColumn - fromColumn) * t));
        machine.SetCell(row, column, paintValue);
    }
}

CArpeggiatorGUI::Shown CArpeggiatorGUI::Read() const
{
    Shown now;
    now.stepsPerBeat = machine.GetStepsPerBeat();
    now.length = machine.GetLength();
    int note = 0, column = 0;
    now.playing = machine.PlayingStep(&note, &column) ? column : -1;
    now.heldNote = now.playing >= 0 ? note : -1;
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column)
            now.cells[row * kColumns + column] = machine.GetCell(row, column) ? 1 : 0;
    return now;
}

bool CArpeggiatorGUI::Refresh()
{
    const Shown now = Read();
    if (now == shown)
        return false;
    shown = now;
    return true;
}
