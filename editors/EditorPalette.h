#pragma once
// The colours the pattern, sequence and recorder views paint with: the
// studio's graphite and azure, with a warm play cursor that stands out from
// the azure notes at a glance.
//
// Threads: user-interface thread.

#include <QColor>

#include "editors/StudioStyle.h"

namespace editor_palette {

inline const QColor kGridBackground(30, 33, 37);
inline const QColor kBlackKeyRow(23, 25, 28);
inline const QColor kTickLine(40, 44, 49);
inline const QColor kBeatLine(56, 61, 69);
inline const QColor kBarLine(88, 96, 108);
inline const QColor kOctaveLine(66, 72, 81);
inline const QColor kPatternEnd(0, 150, 204);
inline const QColor kNoteFill(0, 150, 204);
inline const QColor kNoteBorder(150, 225, 255);
inline const QColor kPlayCursor(255, 170, 40);
inline const QColor kSelection(0, 187, 255, 60);
inline const QColor kSelectionBorder(0, 187, 255);
inline const QColor kWhiteKey(196, 200, 206);
inline const QColor kBlackKey(36, 38, 42);
inline const QColor kEntryFill(0, 120, 168);
inline const QColor kSelectedTrack(48, 60, 74);

/// A note's fill: darker for quiet notes, full azure at full velocity.
inline QColor NoteColour(float velocity)
{
    const double v = velocity < 0.0f ? 0.0 : (velocity > 1.0f ? 1.0 : velocity);
    const double shade = 0.35 + 0.65 * v;
    return QColor::fromRgbF(0.0f, static_cast<float>(0.59 * shade + 0.1 * (1 - shade)),
                            static_cast<float>(0.80 * shade + 0.15 * (1 - shade)));
}

} // namespace editor_palette
