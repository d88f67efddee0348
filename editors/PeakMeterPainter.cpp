#include "editors/PeakMeterPainter.h"

#include "host/PeakMeter.h"
#include "gui/ColorTable.h"

int CPeakMeterPainter::SegmentColorEntry(int k, int n)
{
    if (k > n - 4)
        return CColorTable::kMeterRed;
    if (k > n - 8)
        return CColorTable::kMeterYellow;
    return CColorTable::kMeterGreen;
}

ColorRef CPeakMeterPainter::UnlitColor(ColorRef color)
{
    const auto dim = [](int component) { return 63 + ((component >> 3) & 31); };
    return MakeColorRef(dim(RedOf(color)), dim(GreenOf(color)), dim(BlueOf(color)));
}

namespace {

/// Adds a quarter of the colour to one pixel, each component modulo 256.
void AddQuarter(CPicture& picture, int x, int y, ColorRef color)
{
    if (x < 0 || y < 0 || x >= picture.GetWidth() || y >= picture.GetHeight())
        return;
    unsigned char* p = picture.PixelAt(x, y);
    p[0] = static_cast<unsigned char>(p[0] + RedOf(color) / 4);
    p[1] = static_cast<unsigned char>(p[1] + GreenOf(color) / 4);
    p[2] = static_cast<unsigned char>(p[2] + BlueOf(color) / 4);
}

/// The one-pixel ring around a body at (x, y), 2 wide and g high: columns
/// x - 1 and x + 2 over rows y - 1 .. y + g, rows y - 1 and y + g between.
void AddFrame(CPicture& picture, int x, int y, int g, ColorRef color)
{
    for (int row = y - 1; row <= y + g; ++row) {
        AddQuarter(picture, x - 1, row, color);
        AddQuarter(picture, x + 2, row, color);
    }
    for (int column = x; column <= x + 1; ++column) {
        AddQuarter(picture, column, y - 1, color);
        AddQuarter(picture, column, y + g, color);
    }
}

} // namespace

void CPeakMeterPainter::Paint(CPeakMeter& meter, const CColorTable& colors, CPicture& picture)
{
    picture.ResetClipRect();
    picture.FillClipRect(MakeColorRef(0, 0, 0));
    const int width = picture.GetWidth();
    const int height = picture.GetHeight();
    const int n = CPeakMeter::SegmentCount(width);
    const int g = BarHeight(height);
    if (n <= 0 || g <= 0)
        return;

    // Frames lie in the gap columns and in the rows just outside a bar, so
    // no frame covers a body: each segment is painted once, in one pass,
    // from one reading of whether it is lit.
    for (int channel = 0; channel < 2; ++channel) {
        const int top = BarTop(channel, height);
        for (int k = 1; k <= n; ++k) {
            const ColorRef color = colors.GetColor(SegmentColorEntry(k, n));
            if (!meter.IsSegmentLit(channel, k, n)) {
                picture.FillRect(UnlitColor(color), SegmentLeft(k), top, 2, g);
                continue;
            }
            picture.FillRect(color, SegmentLeft(k), top, 2, g);
            AddFrame(picture, SegmentLeft(k), top, g, color);
        }
    }
}
