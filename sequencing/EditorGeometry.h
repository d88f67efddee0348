#pragma once
// CEditorGeometry: every conversion between the editors' pixels and the
// models' ticks, rows, units and values, in one place for the views. The
// models speak only in ticks, rows, units and values; a view converts its
// pointer positions here and hands them over.

#include <cstdint>

class CNote;

/// Which part of a note a press on the piano roll grabs.
enum class NoteGrip { Start, End, Body };

class CEditorGeometry {
public:
    // Piano roll: one column per tick, one row per note.
    static constexpr int kPixelsPerTick = 16;
    static constexpr int kPixelsPerRow = 16;
    /// A press this close to a note's left edge drags its start.
    static constexpr int kStartGripPixels = 4;
    /// A press this close to a note's right edge drags its end.
    static constexpr int kEndGripPixels = 7;

    // Control-track view: a lane per track, the value in its top part.
    static constexpr int kLaneHeight = 128;
    static constexpr int kLaneValueHeight = 114;

    // Sequence grid: a column per unit of 4 ticks, a row per track, after
    // the column of track names.
    static constexpr int kPixelsPerUnit = 16;
    static constexpr int kPixelsPerTrack = 16;
    static constexpr int kNameColumnWidth = 196;
    /// The song cursor is redrawn only when it moved more than this.
    static constexpr double kSongCursorEpsilonTicks = 0.001;

    /// A pointer's x in ticks, with the fraction that the grips need.
    static double TickPosition(int x) { return static_cast<double>(x) / kPixelsPerTick; }
    static int TickAt(int x) { return FloorDivide(x, kPixelsPerTick); }
    static int RowAt(int y) { return FloorDivide(y, kPixelsPerRow); }
    static int XOfTick(int tick) { return tick * kPixelsPerTick; }
    static int YOfRow(int row) { return row * kPixelsPerRow; }
    /// The part of the note a pointer at tickPosition grabs: the start
    /// within 4 pixels of the left edge, the end within 7 pixels of the
    /// right edge, the body elsewhere.
    static NoteGrip GripAt(const CNote& note, double tickPosition);

    static int LaneAt(int y) { return FloorDivide(y, kLaneHeight); }
    /// 1 at the top of a lane, 0 from 114 pixels down; y within the lane.
    static float ValueAt(int yInLane);
    static int YOfValue(float value);

    static bool InNameColumn(int x) { return x < kNameColumnWidth; }
    static int UnitAt(int x) { return FloorDivide(x - kNameColumnWidth, kPixelsPerUnit); }
    static int TrackAt(int y) { return FloorDivide(y, kPixelsPerTrack); }
    static int XOfUnit(int unit) { return kNameColumnWidth + unit * kPixelsPerUnit; }
    /// The song cursor's x for a song position in ticks.
    static int XOfSongPosition(double ticks);
    /// Whether a cursor drawn at drawnTicks must be drawn again for nowTicks.
    static bool SongCursorNeedsRedraw(double drawnTicks, double nowTicks);

private:
    static int FloorDivide(int value, int divisor)
    {
        const int quotient = value / divisor;
        return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
    }
};
