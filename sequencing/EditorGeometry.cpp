#include "sequencing/EditorGeometry.h"

#include <algorithm>
#include <cmath>

#include "sequencing/Note.h"

NoteGrip CEditorGeometry::GripAt(const CNote& note, double tickPosition)
{
    const double fromStartPixels = (tickPosition - note.start) * kPixelsPerTick;
    const double toEndPixels = (note.EndTick() - tickPosition) * kPixelsPerTick;
    if (fromStartPixels < kStartGripPixels)
        return NoteGrip::Start;
    if (toEndPixels < kEndGripPixels)
        return NoteGrip::End;
    return NoteGrip::Body;
}

float CEditorGeometry::ValueAt(int yInLane)
{
    const float value = 1.0f - static_cast<float>(yInLane) / static_cast<float>(kLaneValueHeight);
    return std::clamp(value, 0.0f, 1.0f);
}

int CEditorGeometry::YOfValue(float value)
{
    return static_cast<int>(std::lround((1.0f - std::clamp(value, 0.0f, 1.0f)) * kLaneValueHeight));
}

int CEditorGeometry::XOfSongPosition(double ticks)
{
    return kNameColumnWidth + static_cast<int>(std::floor(ticks / 4.0 * kPixelsPerUnit));
}

bool CEditorGeometry::SongCursorNeedsRedraw(double drawnTicks, double nowTicks)
{
    return std::fabs(nowTicks - drawnTicks) > kSongCursorEpsilonTicks &&
           XOfSongPosition(nowTicks) != XOfSongPosition(drawnTicks);
}
