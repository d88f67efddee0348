#pragma once
// The studio's dark look for plain Qt windows: the palette follows the
// host's colour table (the skinned panels' background, text and accent), so
// that list and combo windows sit beside the skinned editors.
//
// Threads: user-interface thread.

class QColor;
class QWidget;

/// Palette, font ("Verdana", falling back to the desktop's sans serif) and
/// a flat style sheet for a window and its children.
void ApplyStudioLook(QWidget* window);

/// The colours the sample views draw with.
QColor StudioBackground();
QColor StudioGrid();
QColor StudioAccent();
QColor StudioText();
