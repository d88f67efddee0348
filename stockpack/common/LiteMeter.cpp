#include "stockpack/common/LiteMeter.h"

#include <algorithm>
#include <cmath>

#include "gui/ColorTable.h"
#include "gui/Picture.h"
#include "stockpack/common/PeakFeed.h"

namespace {
constexpr double kFloorDb = -120.0;
const ColorRef kUnlit = MakeColorRef(30, 33, 37);
}

CLiteMeter::CLiteMeter(CLiteContainer* container, int x, int y, int width, int height, CPeakFeed* feed)
    : CLiteControl(container, x, y, width, height), feed(feed)
{
    SetInput(false);
}

double CLiteMeter::PeakDb(double peak)
{
    return peak > 1e-12 ? 10.0 * std::log10(peak) : kFloorDb;
}

int CLiteMeter::LitSegments(double levelDb)
{
    const double bottomDb = kTopDb - kSegments * kSegmentDb;
    const int segments = static_cast<int>(std::floor((levelDb - bottomDb) / kSegmentDb));
    return std::clamp(segments, 0, kSegments);
}

void CLiteMeter::Update()
{
    double peaks[2] = {0.0, 0.0};
    if (feed != nullptr)
        feed->Take(peaks[0], peaks[1]);
    bool changed = false;
    for (int c = 0; c < 2; ++c) {
        levelDb[c] = std::max(PeakDb(peaks[c]), std::max(levelDb[c] - kFallDbPerRefresh, kFloorDb));
        const int segments = LitSegments(levelDb[c]);
        if (segments != lit[c]) {
            lit[c] = segments;
            changed = true;
        }
    }
    if (changed)
        Redraw();
}

void CLiteMeter::Draw(CPicture& backBuffer)
{
    const CColorTable colors;
    const int columnWidth = (width - 1) / 2;
    const int segmentHeight = height / kSegments;
    for (int c = 0; c < 2; ++c) {
        const int columnX = x + c * (columnWidth + 1);
        for (int s = 0; s < kSegments; ++s) {
            // Segment 0 at the bottom; the top one is above 0 dB.
            const int top = y + height - (s + 1) * segmentHeight;
            ColorRef color = kUnlit;
            if (s < lit[c]) {
                const int index = s >= kSegments - 1   ? CColorTable::kMeterRed
                                : s >= kSegments - 3 ? CColorTable::kMeterYellow
                                                     : CColorTable::kMeterGreen;
                color = colors.GetColor(index);
            }
            backBuffer.FillRect(color, columnX, top, columnWidth, segmentHeight - 1);
        }
    }
}
