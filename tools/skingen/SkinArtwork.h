#pragma once
// The studio's skin, drawn procedurally: dark graphite panels with azure
// accents (the colour table's 0xCC9600 and 0xFFBB00), light pointers and
// labels in the toolkit's bitmap font. Every function returns a finished
// picture; RGBA where the piece is drawn over a panel (knobs, thumbs,
// tracks, buttons), RGB where it is a panel itself.

#include "gui/Picture.h"

namespace skin {

/// The start-up splash and about picture.
CPicture Splash(int width, int height);
/// An editor's background: a bevelled panel with a title strip.
CPicture Panel(int width, int height, const char* title);
/// A film strip of frames knobs of size x size, stacked vertically, from
/// the lowest value (pointer at -135 degrees) to the highest (+135).
CPicture KnobStrip(int size, int frames);
/// A fader cap; horizontal thumbs travel left to right.
CPicture SliderThumb(int width, int height, bool horizontal);
/// The groove a thumb travels in, with tick marks.
CPicture SliderTrack(int width, int height, bool horizontal);
/// One state of a button: 0 normal, 1 hover, 2 pressed (or on).
CPicture Button(int width, int height, const char* label, int state);
/// The three states stacked vertically, normal at the top.
CPicture ButtonStrip(int width, int height, const char* label);
/// A backlit LCD window for LCD texts to print on.
CPicture LcdPanel(int width, int height);
/// A tool bar glyph on a clear ground: "new" (a page), "open" (a folder)
/// or "save" (a disk).
CPicture Icon(int size, const char* glyph);

} // namespace skin
