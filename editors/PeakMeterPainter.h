#pragma once
// CPeakMeterPainter: paints the two-channel peak meter into the meter's RGB
// picture, which the meter's window then presents. Segments are 2 pixels
// wide, one every 3 pixels from x = 2; the left channel's bar runs at y = 2,
// the right one's below it. Lit segments get their colour and a frame of a
// quarter of it added to what is there; unlit ones a dim shade of it.
//
// Threads: user-interface thread (the meter's lock is taken per segment, as
// the audio side feeds it).

#include "gui/Picture.h"

class CColorTable;
class CPeakMeter;

class CPeakMeterPainter {
public:
    /// Rows of one channel's bar: (h - 6) / 2.
    static int BarHeight(int height) { return (height - 6) / 2; }
    /// Top row of a channel's bar: 2 for the left, g + 4 for the right.
    static int BarTop(int channel, int height) { return channel == 0 ? 2 : BarHeight(height) + 4; }
    /// Left column of segment k (1 .. n).
    static int SegmentLeft(int k) { return 2 + 3 * (k - 1); }
    /// Colour table entry of segment k of n: the top four red, the next
    /// four yellow, the rest green.
    static int SegmentColorEntry(int k, int n);
    /// The shade of an unlit segment, per component 63 + ((c >> 3) & 31).
    static ColorRef UnlitColor(ColorRef color);

    /// Clears the picture to black and paints both bars at the picture's
    /// size from the meter's current levels and held peaks.
    static void Paint(CPeakMeter& meter, const CColorTable& colors, CPicture& picture);
};
