#pragma once
// The studio's look for Qt's own widgets (menus, tabs, spin boxes, dialogs):
// the graphite and azure of the skinned controls, so that the standard
// widgets and the skins read as one program.
//
// Threads: user-interface thread.

#include <QColor>

class QApplication;

namespace studio_style {

// The skins' palette (tools/skingen draws with the same colours).
inline const QColor kPanel(38, 41, 46);
inline const QColor kPanelDark(24, 26, 29);
inline const QColor kPanelLight(58, 63, 71);
inline const QColor kText(214, 220, 226);
inline const QColor kTextDim(140, 150, 160);
inline const QColor kAccent(0, 150, 204);
inline const QColor kAccentBright(0, 187, 255);

/// Fusion style, the dark palette and the style sheet.
void Apply(QApplication& application);

} // namespace studio_style
