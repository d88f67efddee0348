#pragma once
// CBitmapFont: the toolkit's 5 x 7 pixel font for printable ASCII, drawn
// pixel by pixel into a CPicture (LCD texts, labels baked into skins). Each
// glyph advances 6 pixels; characters outside ' ' .. '~' draw as '?'.

#include "gui/Picture.h"

class CBitmapFont {
public:
    static constexpr int kGlyphWidth = 5;
    static constexpr int kGlyphHeight = 7;
    static constexpr int kAdvance = 6;

    /// Whether the glyph's pixel (column, row) is set.
    static bool IsSet(char c, int column, int row);
    /// Width of the text in pixels at a scale (the last glyph's spacing
    /// column not counted).
    static int TextWidth(const char* text, int scale = 1);
    /// Draws the text with its top-left corner at (x, y), every font pixel
    /// a scale x scale square, through FillRect (so the target's clip
    /// rectangle holds).
    static void DrawText(CPicture& target, int x, int y, const char* text, ColorRef color, int scale = 1);
};
